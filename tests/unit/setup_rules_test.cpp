// The setup helper's rules (installer/helper/setup_rules.cpp), without Windows: which
// access lists let others change a folder, which folders are made, and which folders of
// an install log the uninstaller may remove.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "setup_rules.h"

namespace {

using namespace setup_rules;

Ace Entry(uint8_t type, uint32_t mask, Who who,
          uint8_t flags = kObjectInherit | kContainerInherit) {
    Ace ace;
    ace.type = type;
    ace.flags = flags;
    ace.mask = mask;
    ace.who = who;
    return ace;
}

constexpr uint32_t kFullControl = 0x001F01FF, kReadAndRun = 0x001200A9, kModify = 0x001301BF;

// What setup gives a folder it makes: SYSTEM and Administrators full control, Users read
// and run.
Acl Protected() {
    Acl acl;
    acl.aces = {Entry(kAllowed, kFullControl, Who::kTrusted),
                Entry(kAllowed, kFullControl, Who::kTrusted),
                Entry(kAllowed, kReadAndRun, Who::kOther)};
    return acl;
}

TEST(SetupRules, TheProtectedListLetsNobodyElseChangeAFolder) {
    EXPECT_EQ(OthersMay(Who::kTrusted, Protected(), kWriteRights, true).verdict, Verdict::kSafe);
}

TEST(SetupRules, AFolderOwnedByAnotherAccountIsOpenWhateverItsList) {
    EXPECT_EQ(OthersMay(Who::kOther, Protected(), kWriteRights, true).verdict,
              Verdict::kOwnedByOther);
}

TEST(SetupRules, NoListAtAllLetsEveryoneIn) {
    Acl none;
    none.present = false;
    EXPECT_EQ(OthersMay(Who::kTrusted, none, kRenameRights, false).verdict, Verdict::kNoList);
    // An empty list grants nothing to anyone.
    EXPECT_EQ(OthersMay(Who::kTrusted, Acl{}, kWriteRights, true).verdict, Verdict::kSafe);
}

TEST(SetupRules, AnyWriteRightOfAnotherAccountOpensTheFolder) {
    for (uint32_t right :
         {kFileAddFile, kFileAddSubdirectory, kFileWriteEa, kFileDeleteChild, kFileWriteAttributes,
          kDelete, kWriteDac, kWriteOwner, kGenericAll, kGenericWrite, kMaximumAllowed}) {
        Acl acl = Protected();
        acl.aces.push_back(Entry(kAllowed, right, Who::kOther));
        const Finding f = OthersMay(Who::kTrusted, acl, kWriteRights, true);
        EXPECT_EQ(f.verdict, Verdict::kGranted) << std::hex << right;
        EXPECT_EQ(f.ace, 3u);
    }
}

// Authenticated Users: Modify, inherit only, as under C:\ — what a folder made there
// would inherit, though the drive's root itself passes.
TEST(SetupRules, WhatAFolderPassesOnCountsForItsOwnContentsOnly) {
    Acl root = Protected();
    root.aces.push_back(
        Entry(kAllowed, kModify, Who::kOther, kObjectInherit | kContainerInherit | kInheritOnly));
    root.aces.push_back(Entry(kAllowed, kFileAddSubdirectory, Who::kOther, 0));  // may make folders
    EXPECT_EQ(OthersMay(Who::kTrusted, root, kRenameChildRights, false).verdict, Verdict::kSafe);
    const Finding f = OthersMay(Who::kTrusted, root, kWriteRights, true);
    EXPECT_EQ(f.verdict, Verdict::kGranted);
    EXPECT_EQ(f.ace, 3u);
    // An inherit-only entry that passes nothing on grants nothing anywhere.
    Acl inert = Protected();
    inert.aces.push_back(Entry(kAllowed, kFullControl, Who::kOther, kInheritOnly));
    EXPECT_EQ(OthersMay(Who::kTrusted, inert, kWriteRights, true).verdict, Verdict::kSafe);
}

TEST(SetupRules, EntriesThatOnlyDenyArePassedOver) {
    Acl acl = Protected();
    for (uint8_t type : {kDenied, kDeniedObject, kDeniedCallback, kDeniedCallbackObject})
        acl.aces.push_back(Entry(type, kFullControl, Who::kOther));
    EXPECT_EQ(OthersMay(Who::kTrusted, acl, kWriteRights, true).verdict, Verdict::kSafe);
}

TEST(SetupRules, CallbackAndObjectEntriesCountAsGranting) {
    for (uint8_t type : {kAllowedCallback, kAllowedObject, kAllowedCallbackObject}) {
        Acl acl = Protected();
        acl.aces.push_back(Entry(type, kWriteDac, Who::kOther));
        EXPECT_EQ(OthersMay(Who::kTrusted, acl, kRenameRights, false).verdict, Verdict::kGranted)
            << int(type);
        acl.aces.back().who = Who::kTrusted;
        EXPECT_EQ(OthersMay(Who::kTrusted, acl, kRenameRights, false).verdict, Verdict::kSafe)
            << int(type);
    }
}

TEST(SetupRules, AnEntryOfAKindNotReadHereRefusesTheFolder) {
    // The compound entry, the audit and alarm kinds, the label and every later kind:
    // whatever their mask or account, they are not skipped.
    for (int type : {0x4, 0x2, 0x3, 0x7, 0x8, 0xD, 0x11, 0x12, 0x13, 0x14, 0x15, 0x40, 0xFF}) {
        Acl acl = Protected();
        acl.aces.push_back(Entry(static_cast<uint8_t>(type), 0, Who::kTrusted, 0));
        const Finding f = OthersMay(Who::kTrusted, acl, kRenameRights, false);
        EXPECT_EQ(f.verdict, Verdict::kUnknownEntry) << type;
        EXPECT_EQ(f.ace, 3u);
    }
}

TEST(SetupRules, ReadingRightsOfOthersLeaveTheFolderClosed) {
    Acl acl = Protected();
    acl.aces.push_back(Entry(kAllowed, kReadAndRun, Who::kOther));
    EXPECT_EQ(OthersMay(Who::kTrusted, acl, kWriteRights, true).verdict, Verdict::kSafe);
}

TEST(SetupRules, PathsUpToTheDrive) {
    EXPECT_EQ(Parent(L"C:\\A\\B"), L"C:\\A");
    EXPECT_EQ(Parent(L"C:\\A"), L"C:\\");
    EXPECT_EQ(Parent(L"C:\\"), L"");
    EXPECT_TRUE(IsRoot(L"D:\\"));
    EXPECT_FALSE(IsRoot(L"D:\\A"));
    EXPECT_EQ(Trimmed(L"C:\\A\\\\"), L"C:\\A");
    EXPECT_EQ(Trimmed(L"C:\\"), L"C:\\");
    EXPECT_TRUE(IsPlainDrivePath(L"C:\\Programme f\u00fcr Fernbedienung\\Orbiscope Remote"));
    EXPECT_TRUE(IsPlainDrivePath(L"C:\\A\\"));
    for (const wchar_t* bad :
         {L"\\\\server\\share\\Remote", L"\\\\?\\C:\\Remote", L"C:Remote", L"C:\\A\\..\\Windows",
          L"C:\\A\\.\\B", L"C:\\A\\\\B", L"C:/A", L"C:\\A\\B:stream", L"C:\\A*", L"1:\\A", L""}) {
        EXPECT_FALSE(IsPlainDrivePath(bad)) << std::wstring(bad).size();
    }
    EXPECT_TRUE(SamePath(L"c:\\program files\\Orbiscope\\", L"C:\\Program Files\\Orbiscope"));
    EXPECT_FALSE(SamePath(L"C:\\Program Files\\Orbiscope2", L"C:\\Program Files\\Orbiscope"));
}

TEST(SetupRules, MissingFoldersAreMadeOutermostFirst) {
    const std::set<std::wstring> there = {L"C:\\", L"C:\\Tools"};
    auto exists = [&there](const std::wstring& p) { return there.count(p) > 0; };
    EXPECT_EQ(
        MissingFolders(L"C:\\Tools\\Orbiscope\\Remote\\", exists),
        (std::vector<std::wstring>{L"C:\\Tools\\Orbiscope", L"C:\\Tools\\Orbiscope\\Remote"}));
    EXPECT_TRUE(MissingFolders(L"C:\\Tools", exists).empty());
    EXPECT_EQ(MissingFolders(L"Q:\\New", exists), (std::vector<std::wstring>{L"Q:\\New"}));
}

TEST(SetupRules, TheLogReadsBackAsWritten) {
    const std::vector<std::wstring> lines = {
        L"folder|C:\\\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac", L"kept|Docs\\index.html",
        L""};
    EXPECT_EQ(LogLines(LogBytes(lines)), lines);
    // Without the mark, with bare LF ends and an unfinished last line.
    std::string bytes;
    for (char c : std::string("a\nb\r\nc")) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    EXPECT_EQ(LogLines(bytes), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_TRUE(LogLines("").empty());
    EXPECT_TRUE(LogLines("\xFF\xFE").empty());
}

TEST(SetupRules, TheUninstallerRemovesOnlyTheInstallFolderItsDocsProfilesAndFoldersAboveIt) {
    const std::wstring install = L"C:\\Tools\\Orbiscope\\Remote";
    const std::vector<std::wstring> log = {
        L"folder|C:\\Tools\\Orbiscope",
        L"folder|C:\\Tools\\Orbiscope\\Remote",
        L"kept|Docs\\index.html",
        L"folder|C:\\Tools\\Orbiscope\\Remote\\Docs",
        L"folder|C:\\Tools\\Orbiscope\\Remote\\Profiles",
        // What a log written by someone else could add.
        L"folder|C:\\Victim",
        L"folder|C:\\Tools\\Orbiscope\\Remote\\..\\..\\..\\Victim",
        L"folder|C:\\Tools\\Orbiscope\\Remote\\Docs\\Deeper",
        L"folder|C:\\Tools\\Orbiscope\\Remote2",
        L"folder|C:\\Tools\\Orbiscope\\Remote\\Docs2",
        L"folder|\\\\server\\share",
        L"folder|C:\\",
        L"folder|",
        L"folder C:\\Tools",
        L"FOLDER|C:\\Tools",
        // Listed twice (an earlier log's lines carried over): removed once.
        L"folder|c:\\tools\\orbiscope\\",
    };
    EXPECT_EQ(
        FoldersToRemove(log, install),
        (std::vector<std::wstring>{L"C:\\Tools\\Orbiscope\\Remote\\Profiles",
                                   L"C:\\Tools\\Orbiscope\\Remote\\Docs",
                                   L"C:\\Tools\\Orbiscope\\Remote", L"C:\\Tools\\Orbiscope"}));
}

TEST(SetupRules, AParentSetupDidNotMakeIsNotListedAndSoStays) {
    const std::vector<std::wstring> log = {L"folder|C:\\Mine\\Remote\\Docs"};
    EXPECT_EQ(FoldersToRemove(log, L"C:\\Mine\\Remote"),
              (std::vector<std::wstring>{L"C:\\Mine\\Remote\\Docs"}));
}

TEST(SetupRules, AnInstallFolderThatIsNoPlainPathRemovesNothing) {
    const std::vector<std::wstring> log = {L"folder|C:\\", L"folder|C:\\Docs"};
    EXPECT_TRUE(FoldersToRemove(log, L"C:\\").empty());
    EXPECT_TRUE(FoldersToRemove({L"folder|\\\\s\\x\\Docs"}, L"\\\\s\\x").empty());
}

}  // namespace
