// The two folders of profile files, the shipped one in the install folder and the
// user's own, read at start-up and read again whenever a file in either changes, so that
// an edit is in force within a second without a restart. What cannot be used is told
// once per version of the file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ports.h"
#include "profiles/profile_files.h"

// Below the roaming application data, and below the program's folder.
extern const char* const kUserProfilesFolder;     // "Orbiscope\Remote\Profiles"
extern const char* const kShippedProfilesFolder;  // "Profiles"
extern const char* const kProfileSuffix;          // ".toml"
extern const char* const kProfileUnreadableText;  // a listed file that cannot be read

constexpr uintptr_t kProfilePollTimer = 107;  // 106 is the hold timer
constexpr uint32_t kProfilePollPeriodMs = 1000;
// Polls in a row that a listed file may fail to read (an editor holding it while it
// saves) before the folders are loaded without it.
constexpr int32_t kProfileReadRetries = 3;

struct ProfileFolderPaths {
    std::string user;     // "" when the system names no roaming folder
    std::string shipped;  // "" when the program's folder is unknown
};
ProfileFolderPaths CurrentProfileFolders();

// A problem told: to the trace's viewers and log always, in a balloon only while
// ReceiverNotifications is on.
void TellProfileProblem(const ProfileProblem& problem);

// Both folders' files as the profiles take them, in the order of their names. A file
// that cannot be read is left out and named in `unreadable`.
struct ProfileFolderTexts {
    std::vector<ProfileText> user, shipped;
    std::vector<ProfileProblem> unreadable;
};
ProfileFolderTexts ReadProfileFolders(FolderFiles& files, const ProfileFolderPaths& paths);

class ProfileWatch {
public:
    using Install = std::function<std::vector<ProfileProblem>(std::vector<ProfileText>,
                                                              std::vector<ProfileText>)>;
    using Tell = std::function<void(const ProfileProblem&)>;
    ProfileWatch(Install install, Tell tell) : install_(std::move(install)), tell_(std::move(tell)) {}

    // Start-up: the user's folder is made when missing, then both are read and installed.
    void Start(const ProfileFolderPaths& paths);
    // The timer: both folders are listed; any change of a name, size or write time
    // reads and installs both again. True when it did.
    bool Poll();

private:
    struct Listing {
        std::vector<FolderEntry> user, shipped;
        bool operator==(const Listing&) const = default;
    };
    Listing List(FolderFiles& files) const;
    bool Load(FolderFiles& files, const Listing& listing);
    // "layer|name|size|time|message" of a problem with the version of its file.
    std::string ProblemKey(const Listing& listing, const ProfileProblem& problem) const;

    Install install_;
    Tell tell_;
    ProfileFolderPaths paths_;
    std::optional<Listing> loaded_;
    int32_t failedReads_ = 0;
    std::set<std::string> told_;
};

// "/exportprofile <row or process>" anywhere among the arguments (without regard to
// case): the value, "" when none follows; nullopt without the switch.
std::optional<std::string> ExportProfileArgument(const std::string& commandLine);

// What the export says to the user, and the process's exit code.
struct ExportReport {
    bool ok = false;
    std::string path;  // the file written
    std::string text;
};
// The profile in force for the row or process, as a new file in the user's folder: the
// name the export chose, else with "-2", "-3"... before ".toml"; no file is replaced.
// `install` and `exportProfile` are the profiles' own, given so the steps can be tested.
ExportReport ExportProfileToUserFolder(
    const std::string& rowOrProcess, FolderFiles& files, const ProfileFolderPaths& paths,
    const ProfileWatch::Install& install,
    const std::function<ProfileExport(const std::string&)>& exportProfile);

// The export's name made safe as a file name in one folder.
std::string SafeProfileFileName(const std::string& name);
