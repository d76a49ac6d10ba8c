#include "ui/another_remote.h"

#include <algorithm>

#include "receiver/remote_button.h"
#include "state/notices.h"
#include "state/settings_store.h"
#include "ui/osd.h"
#include "ui/trace_output.h"

const char* const kAnotherRemoteCaption = "Orbiscope Remote";

namespace {

std::mutex g_problemsLock;
std::vector<RemoteFileProblem> g_problems;  // guarded by g_problemsLock

std::string Join(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

std::vector<FolderEntry> ListRemotes(FolderFiles& files, const std::string& folder) {
    std::vector<FolderEntry> entries;
    if (folder.empty() || !files.List(folder, kProfileSuffix, entries)) entries.clear();
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

struct FolderRead {
    LearnedRemotesRead read;
    std::vector<std::string> names;  // every file there, used or not
};

FolderRead ReadFolder(FolderFiles& files, const std::string& folder) {
    FolderRead out;
    std::vector<ProfileText> texts;
    std::vector<RemoteFileProblem> unreadable;
    for (const FolderEntry& entry : ListRemotes(files, folder)) {
        out.names.push_back(entry.name);
        ProfileText text{entry.name, std::string()};
        if (files.Read(Join(folder, entry.name), kMaxProfileBytes + 1, text.text)) {
            texts.push_back(std::move(text));
        } else {
            unreadable.push_back(RemoteFileProblem{entry.name, 0, kProfileUnreadableText});
        }
    }
    out.read = ReadLearnedRemotes(std::move(texts));
    out.read.problems.insert(out.read.problems.end(), unreadable.begin(), unreadable.end());
    return out;
}

const LearnedRemote* Find(const LearnedRemotes& remotes, const std::string& name) {
    for (const LearnedRemote& remote : remotes)
        if (remote.name == name) return &remote;
    return nullptr;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameCode(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    const CRButton stored(a.data(), static_cast<int32_t>(a.size()), nullptr, 0, 0);
    const CRButton received(b.data(), static_cast<int32_t>(b.size()), nullptr, 0, 0);
    return stored.MatchCode(received) != 0;
}

}  // namespace

std::string LearnedRemotesFolder(const ProfileFolderPaths& paths) {
    return paths.user.empty() ? std::string() : Join(paths.user, kLearnedRemotesFolder);
}

void RemoteLearner::Feed(const std::vector<uint8_t>& values, uint32_t tick) {
    std::lock_guard<std::mutex> hold(lock_);
    const bool newPress = !heard_ || tick - lastTick_ > kProfileHoldReleaseMs;
    heard_ = true;
    lastTick_ = tick;
    if (newPress) {
        if (presses_ == 0) first_ = values;
        if (presses_ == 1) second_ = values;
        presses_ = std::min(presses_ + 1, 3);
        return;
    }
    // A frame of the press under way: its own code again, or the repeat frame.
    if (presses_ > 2) return;
    const std::vector<uint8_t>& own = presses_ == 1 ? first_ : second_;
    if (repeat_.empty() && !SameCode(own, values)) repeat_ = values;
}

void RemoteLearner::StartOver() {
    std::lock_guard<std::mutex> hold(lock_);
    presses_ = 0;
    heard_ = false;
    first_.clear();
    second_.clear();
    repeat_.clear();
}

RemoteLearner::Step RemoteLearner::Current() const {
    std::lock_guard<std::mutex> hold(lock_);
    return presses_ == 0 ? Step::FirstPress : presses_ == 1 ? Step::SecondPress : Step::Learned;
}

bool RemoteLearner::Toggles() const {
    std::lock_guard<std::mutex> hold(lock_);
    return presses_ >= 2 && !SameCode(first_, second_);
}

bool RemoteLearner::HasRepeat() const {
    std::lock_guard<std::mutex> hold(lock_);
    return !repeat_.empty();
}

LearnedButton RemoteLearner::Result(int32_t button) const {
    const bool toggles = Toggles();
    std::lock_guard<std::mutex> hold(lock_);
    LearnedButton learned;
    learned.button = button;
    learned.code = CRButton(first_.data(), static_cast<int32_t>(first_.size()), second_.data(),
                            static_cast<int32_t>(second_.size()), toggles ? 1 : 0);
    learned.hasRepeat = !repeat_.empty();
    if (learned.hasRepeat)
        learned.repeat = CRButton(repeat_.data(), static_cast<int32_t>(repeat_.size()), nullptr, 0, 0);
    return learned;
}

std::string CodeClashText(const CodeClash& clash) {
    if (clash.kind == CodeClash::BuiltIn)
        return "This code already means " + FriendlyButtonName(clash.button) +
               " on the Orbiscope remote.";
    if (clash.kind == CodeClash::Learned)
        return "This code is already " + FriendlyButtonName(clash.button) + " on " + clash.remote + ".";
    return std::string();
}

RemoteChange SaveLearnedButton(FolderFiles& files, const std::string& folder,
                               const std::string& remoteName, const LearnedButton& learned) {
    RemoteChange change;
    const std::string nothing = " Nothing was saved.";
    const std::string name = Trimmed(remoteName);
    if (name.empty()) {
        change.text = "Type the remote's name first.";
        return change;
    }
    if (folder.empty()) {
        change.text = "Your profiles folder cannot be made." + nothing;
        return change;
    }
    const FolderRead current = ReadFolder(files, folder);
    const CodeClash clash = FindCodeClash(TheButtonMap(), current.read.remotes, name, learned);
    if (clash.kind != CodeClash::None) {
        change.text = CodeClashText(clash) + nothing;
        return change;
    }
    const LearnedRemote* existing = Find(current.read.remotes, name);
    LearnedRemote remote =
        existing != nullptr ? *existing : LearnedRemote{name, SafeProfileFileName(name), {}};
    remote.buttons.erase(std::remove_if(remote.buttons.begin(), remote.buttons.end(),
                                        [&](const LearnedButton& b) { return b.button == learned.button; }),
                         remote.buttons.end());
    remote.buttons.push_back(learned);
    const std::string text = LearnedRemoteText(remote);
    // What is written reads back as this remote, or nothing is written.
    RemoteFileProblem problem;
    const std::optional<LearnedRemote> back = ParseLearnedRemote({remote.fileName, text}, problem);
    if (!back || back->name != name) {
        change.text = "The remote's name cannot be written in its file (" + problem.message + ")." +
                      nothing;
        return change;
    }
    const std::string path = Join(folder, remote.fileName);
    if (!files.MakeFolders(folder)) {
        change.text = folder + " cannot be made." + nothing;
        return change;
    }
    bool written = false;
    if (existing != nullptr) {
        written = files.ReplaceExisting(path, text);
    } else {
        const FolderFiles::CreateStatus status = files.WriteNew(path, text);
        if (status == FolderFiles::CreateStatus::Exists) {
            change.text = path + " is there already and is not this remote's file." + nothing;
            return change;
        }
        written = status == FolderFiles::CreateStatus::Written;
    }
    if (!written) {
        change.text = path + " cannot be written." + nothing;
        return change;
    }
    (void)ReloadLearnedRemotes(files, folder);
    change.ok = true;
    return change;
}

RemoteChange RemoveLearnedButton(FolderFiles& files, const std::string& folder,
                                 const std::string& remoteName, int32_t button) {
    RemoteChange change;
    const FolderRead current = ReadFolder(files, folder);
    const LearnedRemote* existing = Find(current.read.remotes, remoteName);
    if (existing == nullptr) {
        change.text = "The remote " + remoteName + " is no longer learned.";
        return change;
    }
    LearnedRemote remote = *existing;
    remote.buttons.erase(std::remove_if(remote.buttons.begin(), remote.buttons.end(),
                                        [&](const LearnedButton& b) { return b.button == button; }),
                         remote.buttons.end());
    const std::string path = Join(folder, remote.fileName);
    const bool done = remote.buttons.empty() ? files.DeleteExisting(path)
                                             : files.ReplaceExisting(path, LearnedRemoteText(remote));
    if (!done) {
        change.text = path + " cannot be changed. Nothing was removed.";
        return change;
    }
    (void)ReloadLearnedRemotes(files, folder);
    change.ok = true;
    return change;
}

RemoteChange RemoveLearnedRemote(FolderFiles& files, const std::string& folder,
                                 const std::string& remoteName) {
    RemoteChange change;
    const FolderRead current = ReadFolder(files, folder);
    const LearnedRemote* existing = Find(current.read.remotes, remoteName);
    if (existing == nullptr) {
        change.text = "The remote " + remoteName + " is no longer learned.";
        return change;
    }
    const std::string path = Join(folder, existing->fileName);
    if (!files.DeleteExisting(path)) {
        change.text = path + " cannot be deleted. Nothing was removed.";
        return change;
    }
    (void)ReloadLearnedRemotes(files, folder);
    change.ok = true;
    return change;
}

std::vector<RemoteFileProblem> ReloadLearnedRemotes(FolderFiles& files, const std::string& folder) {
    FolderRead current = ReadFolder(files, folder);
    InstallLearnedRemotes(std::move(current.read.remotes));
    std::lock_guard<std::mutex> hold(g_problemsLock);
    g_problems = current.read.problems;
    return current.read.problems;
}

std::vector<RemoteFileProblem> LearnedRemoteProblems() {
    std::lock_guard<std::mutex> hold(g_problemsLock);
    return g_problems;
}

void RemoteWatch::Start(const std::string& folder) {
    folder_ = folder;
    loaded_.reset();
    (void)Poll();
}

bool RemoteWatch::Poll() {
    FolderFiles* files = Os().folders;
    if (files == nullptr || folder_.empty()) return false;
    std::vector<FolderEntry> now = ListRemotes(*files, folder_);
    if (loaded_ && *loaded_ == now) return false;
    const std::vector<RemoteFileProblem> problems = ReloadLearnedRemotes(*files, folder_);
    loaded_ = std::move(now);
    std::vector<std::string> current;
    for (const RemoteFileProblem& problem : problems) {
        FolderEntry version;
        for (const FolderEntry& entry : *loaded_)
            if (entry.name == problem.fileName) version = entry;
        std::string key = problem.Describe() + "|" + std::to_string(version.size) + "|" +
                          std::to_string(version.lastWrite);
        if (std::find(told_.begin(), told_.end(), key) == told_.end() && tell_) tell_(problem);
        current.push_back(std::move(key));
    }
    told_ = std::move(current);
    return true;
}

void TellRemoteProblem(const RemoteFileProblem& problem) {
    const std::string text = problem.Describe();
    TraceNote("-- " + text + " --");
    if (ReadSettingsKeyValue("ReceiverNotifications", 1) != 0) Notice(text);
}

void AnotherRemoteLogic::Initialize() {
    for (int32_t id = 0; id < kButtonCount; ++id) c_.AddComboItem(IDC_REMOTE_BUTTON, FriendlyButtonName(id));
    FillList();
    ShowStatus();
}

void AnotherRemoteLogic::ShowStatus() {
    std::string text = saved_.empty() ? std::string() : saved_ + "\n";
    switch (learner_->Current()) {
    case RemoteLearner::Step::FirstPress:
        text += "Listening: presses of any remote are captured here and do nothing else. "
                "Press a button of the other remote, let it go, then press it again.";
        break;
    case RemoteLearner::Step::SecondPress:
        text += "Got the first press. Press the same button again.";
        break;
    case RemoteLearner::Step::Learned:
        text = std::string("Learned ") +
               (learner_->Toggles() ? "a code in two variants" : "one code") +
               (learner_->HasRepeat() ? ", with the frame it repeats while held" : "") +
               ". Choose the button it stands for, then Save.";
        break;
    }
    c_.SetText(IDC_REMOTE_STATUS, text);
    c_.SetEnabled(IDC_REMOTE_SAVE, learner_->Current() == RemoteLearner::Step::Learned);
}

bool AnotherRemoteLogic::OnCommand(int32_t id, uint32_t code) {
    if (code != pagemsg::BN_CLICKED_) return false;
    if (id == IDC_REMOTE_START_OVER) {
        learner_->StartOver();
        saved_.clear();
        ShowStatus();
        return true;
    }
    if (id == IDC_REMOTE_SAVE) {
        Save();
        return true;
    }
    if (id == IDC_REMOTE_REMOVE) {
        Remove();
        return true;
    }
    return false;
}

void AnotherRemoteLogic::Tell(const std::string& text) {
    if (UserInterface* ui = Os().ui)
        (void)ui->ShowMessageBox(c_.Window(), text, kAnotherRemoteCaption, kMbOk | kMbIconExclamation);
}

void AnotherRemoteLogic::Save() {
    FolderFiles* files = Os().folders;
    const std::string name = Trimmed(c_.Text(IDC_REMOTE_NAME));
    const int32_t button = c_.ComboSelection(IDC_REMOTE_BUTTON);
    if (name.empty()) return Tell("Type the remote's name first.");
    if (learner_->Current() != RemoteLearner::Step::Learned)
        return Tell("Press a button of the other remote twice first.");
    if (button < 0 || button >= kButtonCount) return Tell("Choose the button that this code stands for.");
    if (files == nullptr) return;
    const RemoteChange change = SaveLearnedButton(*files, folder_, name, learner_->Result(button));
    if (!change.ok) return Tell(change.text);
    saved_ = "Saved: " + FriendlyButtonName(button) + " on " + name + ".";
    learner_->StartOver();
    FillList();
    ShowStatus();
}

void AnotherRemoteLogic::Remove() {
    FolderFiles* files = Os().folders;
    const int32_t at = c_.ListSelection(IDC_REMOTE_LEARNED);
    if (files == nullptr || at < 0 || static_cast<size_t>(at) >= rows_.size()) {
        return Tell("Choose a learned remote or one of its buttons first.");
    }
    const Row row = rows_[static_cast<size_t>(at)];
    if (row.remote.empty()) return Tell("A file that is not loaded stays as it is: mend or delete it in the Remotes folder of your profiles.");
    const RemoteChange change =
        row.button < 0 ? RemoveLearnedRemote(*files, folder_, row.remote)
                       : RemoveLearnedButton(*files, folder_, row.remote, row.button);
    if (!change.ok) Tell(change.text);
    FillList();
}

void AnotherRemoteLogic::FillList() {
    rows_.clear();
    std::vector<std::vector<std::string>> lines;
    if (FolderFiles* files = Os().folders) {
        (void)ReloadLearnedRemotes(*files, folder_);
    }
    const std::shared_ptr<const LearnedRemotes> remotes = LearnedRemotesInForce();
    for (const LearnedRemote& remote : *remotes) {
        rows_.push_back(Row{remote.name, -1});
        lines.push_back({remote.name});
        for (const LearnedButton& b : remote.buttons) {
            rows_.push_back(Row{remote.name, b.button});
            lines.push_back({"    " + FriendlyButtonName(b.button)});
        }
    }
    for (const RemoteFileProblem& problem : LearnedRemoteProblems()) {
        rows_.push_back(Row{});  // nothing to remove: the file is the user's to mend
        lines.push_back({"Not loaded: " + problem.Describe()});
    }
    c_.SetListRows(IDC_REMOTE_LEARNED, lines);
}
