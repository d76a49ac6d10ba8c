#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "wine_support.h"

#include <shlobj.h>

namespace {

// A folder name in Greek and Japanese, as the core holds it (UTF-8).
const std::string kName =
    "\xce\x9f\xcf\x81\xce\xbc\xcf\x80\xce\xb9\xcf\x83\xce\xba\xcf\x8c\xcf\x80\xce\xb9\xce\xbf "
    "\xe3\x83\xaa\xe3\x83\xa2\xe3\x82\xb3\xe3\x83\xb3";

std::string TempFolder() {
    wchar_t buffer[MAX_PATH] = {};
    std::wstring path(buffer, GetTempPathW(MAX_PATH, buffer));
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return Narrow(path);
}

void WriteRaw(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

// A scratch folder below one named in two scripts, removed with everything in it.
class FoldersAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        top_ = TempFolder() + "\\" + kName + " folders";
        folder_ = top_ + "\\Remote\\Profiles";
        ASSERT_TRUE(files_.MakeFolders(folder_));
    }
    void TearDown() override { RemoveTree(Widen(top_)); }
    // Links are removed, never followed.
    static void RemoveTree(const std::wstring& path) {
        WIN32_FIND_DATAW found{};
        HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring inner = path + L"\\" + name;
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 &&
                    (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                    RemoveTree(inner);
                } else if (!DeleteFileW(inner.c_str())) {
                    RemoveDirectoryW(inner.c_str());
                }
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(path.c_str());
    }
    FolderFiles& files_ = Win32FolderFiles();
    std::string top_, folder_;
};

TEST_F(FoldersAdapter, ListsThePlainFilesOfOneKindWithSizeAndTime) {
    WriteRaw(folder_ + "\\mpv.toml", "[program]\n");
    WriteRaw(folder_ + "\\" + kName + ".TOML", "x");
    WriteRaw(folder_ + "\\notes.txt", "not listed");
    WriteRaw(folder_ + "\\old.toml.bak", "not listed");
    ASSERT_TRUE(CreateDirectoryW(Widen(folder_ + "\\folder.toml").c_str(), nullptr));
    // A link to a file outside the folder is no file of the folder (where the system
    // makes links for this user at all).
    const bool linked =
        CreateSymbolicLinkW(Widen(folder_ + "\\outside.toml").c_str(),
                            Widen(folder_ + "\\..\\..\\secret.toml").c_str(), 0) != FALSE;
    if (linked) WriteRaw(top_ + "\\secret.toml", "secret");

    std::vector<FolderEntry> listed;
    ASSERT_TRUE(files_.List(folder_, ".toml", listed));
    std::sort(listed.begin(), listed.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].name, "mpv.toml");
    EXPECT_EQ(listed[0].size, 10u);
    EXPECT_EQ(listed[1].name, kName + ".TOML");
    EXPECT_EQ(listed[1].size, 1u);

    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(
        GetFileAttributesExW(Widen(folder_ + "\\mpv.toml").c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(listed[0].lastWrite, (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                       data.ftLastWriteTime.dwLowDateTime);

    std::string text;
    EXPECT_FALSE(files_.Read(folder_ + "\\folder.toml", 100, text));
    if (linked) {
        EXPECT_FALSE(files_.Read(folder_ + "\\outside.toml", 100, text));
        EXPECT_EQ(text, "");
    }
    EXPECT_FALSE(files_.List(folder_ + "\\missing", ".toml", listed));
    EXPECT_TRUE(listed.empty());
}

TEST_F(FoldersAdapter, ReadsAFileUpToTheLimit) {
    const std::string bytes(40000, 'a');
    WriteRaw(folder_ + "\\big.toml", bytes);
    std::string text;
    ASSERT_TRUE(files_.Read(folder_ + "\\big.toml", 100000, text));
    EXPECT_EQ(text, bytes);
    ASSERT_TRUE(files_.Read(folder_ + "\\big.toml", 20001, text));
    EXPECT_EQ(text.size(), 20001u);
    EXPECT_FALSE(files_.Read(folder_ + "\\missing.toml", 100, text));
}

TEST_F(FoldersAdapter, WritesANewFileAndNeverReplacesOne) {
    const std::string path = folder_ + "\\" + kName + ".toml";
    EXPECT_EQ(files_.WriteNew(path, "first"), FolderFiles::CreateStatus::Written);
    EXPECT_EQ(files_.WriteNew(path, "second"), FolderFiles::CreateStatus::Exists);
    std::string text;
    ASSERT_TRUE(files_.Read(path, 100, text));
    EXPECT_EQ(text, "first");
    EXPECT_EQ(files_.WriteNew(folder_ + "\\missing\\x.toml", "x"),
              FolderFiles::CreateStatus::Failed);
}

TEST_F(FoldersAdapter, ReplacesOnlyAFileThatIsThereAndLeavesNothingBeside) {
    const std::string path = folder_ + "\\" + kName + ".toml";
    WriteRaw(path, "# mine\nPlay = \"Space\"\n");
    ASSERT_TRUE(files_.ReplaceExisting(path, "# mine\nPlay = \"Ctrl+P\"\n"));
    std::string text;
    ASSERT_TRUE(files_.Read(path, 100, text));
    EXPECT_EQ(text, "# mine\nPlay = \"Ctrl+P\"\n");
    std::vector<FolderEntry> listed;
    ASSERT_TRUE(files_.List(folder_, "", listed));
    ASSERT_EQ(listed.size(), 1u);  // no temporary file left beside it
    EXPECT_EQ(listed[0].name, kName + ".toml");

    const std::string missing = folder_ + "\\missing.toml";
    EXPECT_FALSE(files_.ReplaceExisting(missing, "x"));
    EXPECT_EQ(GetFileAttributesW(Widen(missing).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(files_.ReplaceExisting(folder_, "x"));  // a folder is no file
}

TEST_F(FoldersAdapter, DeletesOnlyAFileThatIsThere) {
    const std::string path = folder_ + "\\" + kName + ".toml";
    WriteRaw(path, "[remote]\n");
    ASSERT_TRUE(files_.DeleteExisting(path));
    EXPECT_EQ(GetFileAttributesW(Widen(path).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(files_.DeleteExisting(path));
    EXPECT_FALSE(files_.DeleteExisting(folder_));  // a folder is no file
    EXPECT_NE(GetFileAttributesW(Widen(folder_).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(FoldersAdapterSystem, NamesTheRoamingFolderAndTheTokensElevation) {
    FolderFiles& files = Win32FolderFiles();
    wchar_t roaming[MAX_PATH] = {};
    ASSERT_TRUE(
        SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming)));
    EXPECT_EQ(files.RoamingAppDataFolder(), Narrow(roaming));

    // Elevated exactly when the token counts the administrators among its groups: a
    // filtered (not elevated) token of an administrator has that group deny-only.
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                         DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                         &administrators));
    BOOL member = FALSE;
    ASSERT_TRUE(CheckTokenMembership(nullptr, administrators, &member));
    FreeSid(administrators);
    EXPECT_EQ(files.ProcessElevated(), member != FALSE);
}

}  // namespace
