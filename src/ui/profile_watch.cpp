#include "ui/profile_watch.h"

#include <algorithm>
#include <cctype>

#include "state/notices.h"
#include "state/settings_store.h"
#include "ui/shell.h"
#include "ui/trace_output.h"

const char* const kUserProfilesFolder = "Orbiscope\\Remote\\Profiles";
const char* const kShippedProfilesFolder = "Profiles";
const char* const kProfileSuffix = ".toml";
const char* const kProfileUnreadableText = "the file cannot be read";

namespace {

std::string Join(const std::string& folder, const std::string& name) {
    return folder + "\\" + name;
}

void ByName(std::vector<FolderEntry>& entries) {
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
}

std::vector<FolderEntry> ListFolder(FolderFiles& files, const std::string& folder) {
    std::vector<FolderEntry> entries;
    if (!folder.empty() && !files.List(folder, kProfileSuffix, entries)) entries.clear();
    ByName(entries);
    return entries;
}

// One more byte than a profile may have, so that the profiles can tell a file too long.
void ReadLayer(FolderFiles& files, const std::string& folder,
               const std::vector<FolderEntry>& entries, ProfileLayer layer,
               std::vector<ProfileText>& out, std::vector<ProfileProblem>& unreadable) {
    for (const FolderEntry& entry : entries) {
        ProfileText text{entry.name, std::string()};
        if (files.Read(Join(folder, entry.name), kMaxProfileBytes + 1, text.text)) {
            out.push_back(std::move(text));
        } else {
            unreadable.push_back(ProfileProblem{layer, entry.name, 0, kProfileUnreadableText});
        }
    }
}

}  // namespace

ProfileFolderPaths CurrentProfileFolders() {
    ProfileFolderPaths paths;
    if (FolderFiles* files = Os().folders) {
        const std::string roaming = files->RoamingAppDataFolder();
        if (!roaming.empty()) paths.user = Join(roaming, kUserProfilesFolder);
    }
    const std::string program = ProgramDirectory();
    if (!program.empty()) paths.shipped = Join(program, kShippedProfilesFolder);
    return paths;
}

void TellProfileProblem(const ProfileProblem& problem) {
    const std::string text = problem.Describe();
    TraceNote("-- " + text + " --");
    if (ReadSettingsKeyValue("ReceiverNotifications", 1) != 0) Notice(text);
}

ProfileFolderTexts ReadProfileFolders(FolderFiles& files, const ProfileFolderPaths& paths) {
    ProfileFolderTexts texts;
    ReadLayer(files, paths.user, ListFolder(files, paths.user), ProfileLayer::User, texts.user,
              texts.unreadable);
    ReadLayer(files, paths.shipped, ListFolder(files, paths.shipped), ProfileLayer::Shipped,
              texts.shipped, texts.unreadable);
    return texts;
}

void ProfileWatch::Start(const ProfileFolderPaths& paths) {
    paths_ = paths;
    loaded_.reset();
    failedReads_ = 0;
    FolderFiles* files = Os().folders;
    if (files == nullptr) return;
    if (!paths_.user.empty()) (void)files->MakeFolders(paths_.user);
    // Nothing waits at start-up for an editor to let go of a file.
    failedReads_ = kProfileReadRetries;
    (void)Load(*files, List(*files));
}

bool ProfileWatch::Poll() {
    FolderFiles* files = Os().folders;
    if (files == nullptr) return false;
    const Listing now = List(*files);
    if (loaded_ && *loaded_ == now) return false;
    return Load(*files, now);
}

ProfileWatch::Listing ProfileWatch::List(FolderFiles& files) const {
    return Listing{ListFolder(files, paths_.user), ListFolder(files, paths_.shipped)};
}

bool ProfileWatch::Load(FolderFiles& files, const Listing& listing) {
    ProfileFolderTexts texts;
    ReadLayer(files, paths_.user, listing.user, ProfileLayer::User, texts.user, texts.unreadable);
    ReadLayer(files, paths_.shipped, listing.shipped, ProfileLayer::Shipped, texts.shipped,
              texts.unreadable);
    // A file an editor holds while it saves is read again at the next poll, with the
    // profiles in force left as they were meanwhile.
    if (!texts.unreadable.empty() && failedReads_ < kProfileReadRetries) {
        ++failedReads_;
        return false;
    }
    failedReads_ = 0;
    std::vector<ProfileProblem> problems =
        install_(std::move(texts.user), std::move(texts.shipped));
    problems.insert(problems.end(), texts.unreadable.begin(), texts.unreadable.end());
    // What the settings list as not loaded: the files left unread as well.
    RecordProfileProblems(problems);
    // A file left out because it could not be read is tried again until it can.
    if (texts.unreadable.empty()) {
        loaded_ = listing;
    } else {
        loaded_.reset();
    }

    // Only the versions of files there now are remembered: a file that comes back
    // broken in a new version is told again.
    std::set<std::string> current;
    for (const ProfileProblem& problem : problems) {
        std::string key = ProblemKey(listing, problem);
        if (told_.count(key) == 0 && current.count(key) == 0 && tell_) tell_(problem);
        current.insert(std::move(key));
    }
    told_ = std::move(current);
    return true;
}

std::string ProfileWatch::ProblemKey(const Listing& listing, const ProfileProblem& problem) const {
    const std::vector<FolderEntry>& entries =
        problem.layer == ProfileLayer::User ? listing.user : listing.shipped;
    FolderEntry version;
    for (const FolderEntry& entry : entries) {
        if (entry.name == problem.fileName) version = entry;
    }
    return std::string(problem.layer == ProfileLayer::User ? "u|" : "s|") + problem.fileName + "|" +
           std::to_string(version.size) + "|" + std::to_string(version.lastWrite) + "|" +
           std::to_string(problem.line) + "|" + problem.message;
}

std::optional<std::string> ExportProfileArgument(const std::string& commandLine) {
    static const std::string kSwitch = "/exportprofile";
    const std::string arguments = CommandLineArguments(commandLine);
    std::string lower = arguments;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t at = lower.find(kSwitch);
    // The switch is a word of its own: "/exportprofiles" is none.
    while (at != std::string::npos) {
        const size_t end = at + kSwitch.size();
        const bool startsWord = at == 0 || lower[at - 1] == ' ' || lower[at - 1] == '\t';
        const bool endsWord = end == lower.size() || lower[end] == ' ' || lower[end] == '\t';
        if (startsWord && endsWord) break;
        at = lower.find(kSwitch, at + 1);
    }
    if (at == std::string::npos) return std::nullopt;
    size_t i = arguments.find_first_not_of(" \t", at + kSwitch.size());
    if (i == std::string::npos) return std::string();
    if (arguments[i] == '"') {
        const size_t close = arguments.find('"', i + 1);
        return arguments.substr(i + 1,
                                close == std::string::npos ? std::string::npos : close - i - 1);
    }
    const size_t end = arguments.find_first_of(" \t", i);
    return arguments.substr(i, end == std::string::npos ? std::string::npos : end - i);
}

std::string SafeProfileFileName(const std::string& name) {
    std::string safe;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        const bool reserved =
            u < 0x20 || u == 0x7F || std::string("\\/:*?\"<>|").find(c) != std::string::npos;
        safe += reserved ? '_' : c;
    }
    // Not "..", nor a name the system would shorten or hide.
    const size_t first = safe.find_first_not_of(". ");
    safe = first == std::string::npos ? std::string() : safe.substr(first);
    std::string lower = safe;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string suffix = kProfileSuffix;
    if (lower.size() >= suffix.size() &&
        lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0)
        safe.resize(safe.size() - suffix.size());
    while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.pop_back();
    if (safe.empty()) safe = "profile";
    // "con.toml" and its kind name a device, not a file, wherever they are.
    std::string device = safe.substr(0, safe.find('.'));
    for (char& c : device) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool numbered = device.size() == 4 &&
                          (device.rfind("COM", 0) == 0 || device.rfind("LPT", 0) == 0) &&
                          device[3] >= '0' && device[3] <= '9';
    if (device == "CON" || device == "PRN" || device == "AUX" || device == "NUL" || numbered)
        safe = "_" + safe;
    return safe + suffix;
}

ExportReport ExportProfileToUserFolder(
    const std::string& rowOrProcess, FolderFiles& files, const ProfileFolderPaths& paths,
    const ProfileWatch::Install& install,
    const std::function<ProfileExport(const std::string&)>& exportProfile) {
    ExportReport report;
    const std::string nothing = "No profile was written: ";
    if (rowOrProcess.empty()) {
        report.text = nothing +
                      "/exportprofile needs a row number or a process name, for example "
                      "\"OrbiscopeRemote.exe /exportprofile 80\" or "
                      "\"OrbiscopeRemote.exe /exportprofile vlc.exe\".";
        return report;
    }
    // The files in force decide what is exported, as they would decide a press.
    ProfileFolderTexts texts = ReadProfileFolders(files, paths);
    (void)install(std::move(texts.user), std::move(texts.shipped));
    const ProfileExport exported = exportProfile(rowOrProcess);
    if (!exported.ok) {
        report.text = nothing + exported.error;
        return report;
    }
    if (paths.user.empty() || !files.MakeFolders(paths.user)) {
        report.text = nothing + "the folder " +
                      (paths.user.empty() ? std::string("for the user's profiles") : paths.user) +
                      " cannot be made.";
        return report;
    }
    const std::string file = SafeProfileFileName(exported.fileName);
    // The file in force may be the user's own already: a copy of it beside it would only
    // claim the same program twice.
    std::string own;
    if (files.Read(Join(paths.user, file), kMaxProfileBytes + 1, own) && own == exported.text) {
        report.ok = true;
        report.path = Join(paths.user, file);
        report.text = "The profile in force for this program is your own file\n" + report.path +
                      "\n\nEdit it to change what the remote's buttons do in this program.";
        return report;
    }
    const std::string stem = file.substr(0, file.size() - std::string(kProfileSuffix).size());
    for (int32_t n = 1; n <= 999; ++n) {
        const std::string name = n == 1 ? file : stem + "-" + std::to_string(n) + kProfileSuffix;
        const std::string path = Join(paths.user, name);
        const FolderFiles::CreateStatus status = files.WriteNew(path, exported.text);
        if (status == FolderFiles::CreateStatus::Exists) continue;
        if (status == FolderFiles::CreateStatus::Failed) {
            report.text = nothing + path + " cannot be written.";
            return report;
        }
        report.ok = true;
        report.path = path;
        report.text = "The profile was written to\n" + path +
                      "\n\nEdit it to change what the remote's buttons do in this program; "
                      "Orbiscope Remote takes each change within a second.";
        if (!exported.notes.empty()) {
            report.text += "\n\nNot exported:";
            for (const std::string& note : exported.notes) report.text += "\n- " + note;
        }
        return report;
    }
    report.text = nothing + "the folder " + paths.user + " already holds " + stem + ".toml to " +
                  stem + "-999.toml.";
    return report;
}
