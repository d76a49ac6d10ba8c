#include "ui/teach.h"

#include <cctype>
#include <vector>

#include "receiver/remote_button.h"

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

void ReloadProfileFolders(FolderFiles& files, const ProfileFolderPaths& paths) {
    ProfileFolderTexts texts = ReadProfileFolders(files, paths);
    std::vector<ProfileProblem> problems =
        InstallProfiles(std::move(texts.user), std::move(texts.shipped));
    problems.insert(problems.end(), texts.unreadable.begin(), texts.unreadable.end());
    RecordProfileProblems(std::move(problems));
}

TaughtSave SaveTaughtButton(FolderFiles& files, const ProfileFolderPaths& paths,
                            const KnownProgram& program, int32_t button, const std::string& action) {
    TaughtSave save;
    const std::string nothing = "Nothing was saved: ";
    const std::string process = Lower(program.process);
    if (process.empty()) {
        save.text = nothing + program.name +
                    " is known by its window alone, and a profile file needs the program's "
                    "process name.";
        return save;
    }
    if (paths.user.empty() || !files.MakeFolders(paths.user)) {
        save.text = nothing + "your profiles folder cannot be made.";
        return save;
    }
    std::string name;
    for (const KnownProgram& known : KnownPrograms()) {
        if (known.source == ProgramSource::User && known.process == process) {
            name = known.fileName;
            break;
        }
    }
    if (name.empty()) {
        const size_t dot = process.rfind('.');
        name = SafeProfileFileName(dot == std::string::npos || dot == 0 ? process
                                                                        : process.substr(0, dot));
    }
    save.path = paths.user + "\\" + name;
    std::string text;
    const bool exists = files.Read(save.path, kMaxProfileBytes + 1, text);
    if (!exists) {
        text = "# Made by teaching a button in Orbiscope Remote's settings.\n[program]\nname = " +
               TomlQuoted(program.source == ProgramSource::BuiltIn ? process : program.name) +
               "\nmatch = { process = " + TomlQuoted(process) + " }\n";
    }
    const TaughtText taught = TeachButtonInText({name, text}, button, action);
    if (!taught.ok) {
        save.text = nothing + save.path + ": " + taught.error + ".";
        return save;
    }
    const bool written = exists ? files.ReplaceExisting(save.path, taught.text)
                                : files.WriteNew(save.path, taught.text) ==
                                      FolderFiles::CreateStatus::Written;
    if (!written) {
        save.text = nothing + save.path + " cannot be written.";
        return save;
    }
    ReloadProfileFolders(files, paths);
    save.ok = true;
    save.text = std::string(RemoteButtonName(button)) + " = " + action + " is saved in\n" +
                save.path;
    return save;
}
