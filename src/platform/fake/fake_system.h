// Stand-ins for the power, shell and network services. The power fake never sleeps or
// shuts anything down; it records what was asked and answers as scripted.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/ports.h"

class FakePower : public SystemPower {
public:
    OsVersion version{true, kPlatformNt, 6, 1};
    bool privilegeGranted = true;
    bool powerStateSucceeds = true;
    bool lowPowerActive = false;
    bool powerOffActive = false;

    std::vector<std::string> privileges;  // names asked for, in order
    struct PowerState {
        bool suspend;
        bool force;
    };
    std::vector<PowerState> powerStates;
    std::vector<uint32_t> exits;
    int32_t displayRequired = 0;
    // Every call in order ("privilege", "suspend", "hibernate", "exit 12", "display").
    std::vector<std::string> calls;
    // Runs inside SetSystemPowerState, where the real call sleeps until the wake.
    std::function<void()> whileAsleep;

    OsVersion Version() override { return version; }
    bool EnablePrivilege(const std::string& name) override;
    bool SetSystemPowerState(bool suspend, bool force) override;
    bool ExitSystem(uint32_t flags) override;
    bool LowPowerActive() override { return lowPowerActive; }
    bool PowerOffActive() override { return powerOffActive; }
    void SetDisplayRequired() override;
};

// Records each request; answers from `results` in order, then `defaultResult`.
// Files in memory; a folder listed in `unwritable` (or below one) refuses every write.
class FakeFiles : public LocalFiles {
public:
    std::string appData = "C:\\Users\\me\\AppData\\Local";
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::vector<std::string> unwritable;
    // Files another program holds open: without sharing deletion they cannot be renamed
    // or replaced; held exclusively they cannot even be opened.
    std::set<std::string> heldWithoutDeleteSharing;
    std::set<std::string> heldExclusively;
    int32_t opens = 0;      // OpenAppend calls that opened a file
    int32_t openFiles = 0;  // of those, the files still open
    bool elevated = false;  // RunsElevated

    // Another program deletes the file: handles open on it write on into nothing.
    void DeleteUnderHandles(const std::string& path);

    std::string LocalAppDataFolder() override { return appData; }
    bool MakeFolders(const std::string& path) override;
    OpenStatus OpenAppend(const std::string& path, std::unique_ptr<AppendFile>& out) override;
    // The file's size in bytes; -1 when there is none.
    int64_t FileSize(const std::string& path);
    bool Replace(const std::string& from, const std::string& to) override;
    bool RunsElevated() override { return elevated; }

private:
    class File;
    std::map<std::string, int32_t> deletions_;
    bool Writable(const std::string& path) const;
};

class FakeShell : public Shell {
public:
    struct Call {
        WindowHandle owner;
        std::string verb;
        std::string file;
        std::string parameters;
        std::string directory;
        int32_t show;
    };
    std::vector<Call> calls;
    std::vector<intptr_t> results;
    intptr_t defaultResult = 42;
    std::string modulePath = "C:\\Program Files\\Orbiscope\\OrbiscopeRemote.exe";

    intptr_t Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& directory,
                     int32_t show) override;
    std::string ModulePath() override { return modulePath; }
};

// Connection attempts that succeed or fail as told and, when held, block the caller
// until the test lets them go: this is how a probe that outlives its wait is shown.
// Safe to use from several threads.
class FakeNetwork : public Network {
public:
    bool TcpConnect(const std::string& host, uint16_t port) override;

    void SetReachable(bool reachable);
    // From now on callers block inside TcpConnect until Release().
    void Hold();
    void Release();
    // Waits until a caller is blocked inside TcpConnect (at most a few seconds).
    bool WaitUntilBlocked();

    int32_t Attempts() const;
    std::vector<std::pair<std::string, uint16_t>> Targets() const;

private:
    mutable std::mutex lock_;
    std::condition_variable changed_;
    bool reachable_ = true;
    bool held_ = false;
    int32_t blocked_ = 0;
    std::vector<std::pair<std::string, uint16_t>> targets_;
};
