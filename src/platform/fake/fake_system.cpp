#include "platform/fake/fake_system.h"

#include <chrono>

bool FakePower::EnablePrivilege(const std::string& name) {
    privileges.push_back(name);
    calls.push_back("privilege " + name);
    return privilegeGranted;
}

bool FakePower::SetSystemPowerState(bool suspend, bool force) {
    powerStates.push_back(PowerState{suspend, force});
    calls.push_back(suspend ? "suspend" : "hibernate");
    if (whileAsleep) whileAsleep();
    return powerStateSucceeds;
}

bool FakePower::ExitSystem(uint32_t flags) {
    exits.push_back(flags);
    calls.push_back("exit " + std::to_string(flags));
    return true;
}

void FakePower::SetDisplayRequired() {
    ++displayRequired;
    calls.push_back("display");
}

intptr_t FakeShell::Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                            const std::string& parameters, const std::string& directory,
                            int32_t show) {
    calls.push_back(Call{owner, verb, file, parameters, directory, show});
    if (results.empty()) return defaultResult;
    const intptr_t r = results.front();
    results.erase(results.begin());
    return r;
}

bool FakeNetwork::TcpConnect(const std::string& host, uint16_t port) {
    std::unique_lock<std::mutex> hold(lock_);
    targets_.emplace_back(host, port);
    ++blocked_;
    changed_.notify_all();
    changed_.wait(hold, [this] { return !held_; });
    --blocked_;
    return reachable_;
}

void FakeNetwork::SetReachable(bool reachable) {
    std::lock_guard<std::mutex> hold(lock_);
    reachable_ = reachable;
}

void FakeNetwork::Hold() {
    std::lock_guard<std::mutex> hold(lock_);
    held_ = true;
}

void FakeNetwork::Release() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        held_ = false;
    }
    changed_.notify_all();
}

bool FakeNetwork::WaitUntilBlocked() {
    std::unique_lock<std::mutex> hold(lock_);
    return changed_.wait_for(hold, std::chrono::seconds(5), [this] { return held_ && blocked_ > 0; });
}

int32_t FakeNetwork::Attempts() const {
    std::lock_guard<std::mutex> hold(lock_);
    return static_cast<int32_t>(targets_.size());
}

std::vector<std::pair<std::string, uint16_t>> FakeNetwork::Targets() const {
    std::lock_guard<std::mutex> hold(lock_);
    return targets_;
}

bool FakeFiles::Writable(const std::string& path) const {
    for (const std::string& u : unwritable) {
        if (path.compare(0, u.size(), u) == 0) return false;
    }
    return true;
}

bool FakeFiles::MakeFolders(const std::string& path) {
    if (!Writable(path)) return false;
    folders.insert(path);
    return true;
}

class FakeFiles::File : public LocalFiles::AppendFile {
public:
    File(FakeFiles& files, std::string path)
        : files_(files), path_(std::move(path)), deletions_(files_.deletions_[path_]) {
        ++files_.opens;
        ++files_.openFiles;
    }
    ~File() override { --files_.openFiles; }
    bool Write(const std::string& bytes) override {
        if (!files_.Writable(path_)) return false;
        if (StillAtItsPath()) files_.files[path_] += bytes;
        return true;
    }
    int64_t Size() override { return StillAtItsPath() ? files_.FileSize(path_) : 0; }
    bool StillAtItsPath() override { return files_.deletions_[path_] == deletions_; }

private:
    FakeFiles& files_;
    std::string path_;
    int32_t deletions_;
};

void FakeFiles::DeleteUnderHandles(const std::string& path) {
    files.erase(path);
    ++deletions_[path];
}

LocalFiles::OpenStatus FakeFiles::OpenAppend(const std::string& path,
                                             std::unique_ptr<AppendFile>& out) {
    const size_t slash = path.rfind('\\');
    if (!Writable(path) || slash == std::string::npos || folders.count(path.substr(0, slash)) == 0)
        return OpenStatus::Failed;
    if (heldExclusively.count(path) != 0) return OpenStatus::Busy;
    files[path];
    out = std::make_unique<File>(*this, path);
    return OpenStatus::Opened;
}

int64_t FakeFiles::FileSize(const std::string& path) {
    const auto it = files.find(path);
    return it == files.end() ? -1 : static_cast<int64_t>(it->second.size());
}

bool FakeFiles::Replace(const std::string& from, const std::string& to) {
    const auto it = files.find(from);
    if (it == files.end() || !Writable(to) || heldWithoutDeleteSharing.count(from) != 0 ||
        heldWithoutDeleteSharing.count(to) != 0 || heldExclusively.count(from) != 0 ||
        heldExclusively.count(to) != 0)
        return false;
    files[to] = std::move(it->second);
    files.erase(from);
    // A handle follows its file: neither name is what a handle opened by it holds now.
    ++deletions_[from];
    ++deletions_[to];
    return true;
}
