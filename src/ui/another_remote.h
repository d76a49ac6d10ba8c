// Another remote: a television's or a DVD player's remote drives the program as aliases
// of the 42 buttons. What its dialog does (learning a button's code, saving it,
// removing a remote or a button), and the watch that keeps the learned files in force.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports.h"
#include "profiles/remote_files.h"
#include "ui/pages.h"
#include "ui/profile_watch.h"

// "<user profiles>\Remotes"; "" when there is no user folder.
std::string LearnedRemotesFolder(const ProfileFolderPaths& paths);

// Two presses of one button of the other remote, as the raw capture hands them over
// (any thread). A frame after a gap longer than a held button leaves starts a press;
// a frame within a press that is not the press's own code is the remote's repeat frame.
// The two presses differ when the remote toggles a bit between them: both are kept, as
// variants 1 and 2.
class RemoteLearner {
public:
    enum class Step { FirstPress, SecondPress, Learned };
    void Feed(const std::vector<uint8_t>& values, uint32_t tick);
    void StartOver();
    Step Current() const;
    bool Toggles() const;
    bool HasRepeat() const;
    // The learned code standing for `button`; only once Learned.
    LearnedButton Result(int32_t button) const;

private:
    mutable std::mutex lock_;
    int presses_ = 0;
    bool heard_ = false;
    uint32_t lastTick_ = 0;
    std::vector<uint8_t> first_, second_, repeat_;
};

// "This code already means Play on the Orbiscope remote." /
// "This code is already Volume Up on Living room TV."; "" for no clash.
std::string CodeClashText(const CodeClash& clash);

struct RemoteChange {
    bool ok = false;
    std::string text;  // what to tell the user when not ok
};
// Adds (or replaces) the button in the remote's file, made when the remote is new. A
// code that clashes with a built-in or another learned code is refused and nothing is
// written. The folder is read again, so the change is in force at once.
RemoteChange SaveLearnedButton(FolderFiles& files, const std::string& folder,
                               const std::string& remoteName, const LearnedButton& learned);
RemoteChange RemoveLearnedRemote(FolderFiles& files, const std::string& folder,
                                 const std::string& remoteName);
// The last button taken out of a file takes the file with it.
RemoteChange RemoveLearnedButton(FolderFiles& files, const std::string& folder,
                                 const std::string& remoteName, int32_t button);

// Reads every file of the folder and puts the remotes in force; the files left out.
std::vector<RemoteFileProblem> ReloadLearnedRemotes(FolderFiles& files, const std::string& folder);
// The files left out at the last reload.
std::vector<RemoteFileProblem> LearnedRemoteProblems();

// Reads the folder again whenever a name, size or write time in it changes. What
// cannot be used is told once per version of the file.
class RemoteWatch {
public:
    using Tell = std::function<void(const RemoteFileProblem&)>;
    explicit RemoteWatch(Tell tell) : tell_(std::move(tell)) {}
    void Start(const std::string& folder);
    bool Poll();

private:
    std::string folder_;
    std::optional<std::vector<FolderEntry>> loaded_;
    std::vector<std::string> told_;
    Tell tell_;
};
// To the trace always, in a balloon only while ReceiverNotifications is on.
void TellRemoteProblem(const RemoteFileProblem& problem);

// The dialog: the remote's name, the status of the two presses, the button it stands
// for, Save, and the list of learned remotes with Remove.
class AnotherRemoteLogic {
public:
    AnotherRemoteLogic(PageControls& controls, std::string folder,
                       std::shared_ptr<RemoteLearner> learner)
        : c_(controls), folder_(std::move(folder)), learner_(std::move(learner)) {}
    void Initialize();
    bool OnCommand(int32_t id, uint32_t code);
    // A code was captured: the status follows.
    void ShowStatus();

private:
    void Save();
    void Remove();
    void FillList();
    void Tell(const std::string& text);

    PageControls& c_;
    std::string folder_;
    std::shared_ptr<RemoteLearner> learner_;
    struct Row {
        std::string remote;
        int32_t button = -1;  // -1: the remote itself
    };
    std::vector<Row> rows_;
    std::string saved_;  // the last button saved, for the status
};

extern const char* const kAnotherRemoteCaption;
