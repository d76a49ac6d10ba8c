// The routing trace served on a named pipe to the signed-in user's own viewers, at most
// kMaxViewers at once. One thread serves them all with overlapped I/O: each viewer has
// its own queue, so a viewer that stops reading only loses its own lines (counted, and
// told to it when it reads again) and never holds up a press, and a viewer that closes
// is noticed at once, with or without a press.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ui/trace_output.h"

// The pipe's security: only the user the program runs as (its token's user) has any
// access, and processes below the program's own integrity level can neither read nor
// write it.
class TracePipeSecurity {
public:
    // Null when the process token cannot be read.
    static std::unique_ptr<TracePipeSecurity> ForThisUser();
    SECURITY_ATTRIBUTES* Attributes() { return &attributes_; }

private:
    TracePipeSecurity() = default;
    std::vector<BYTE> user_, label_, dacl_, sacl_;
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
};

// "\\.\pipe\OrbiscopeRemoteTrace-<session id>" for this process's session.
std::string ThisSessionTracePipeName();

class TracePipeServer : public TraceViewers {
public:
    static constexpr DWORD kMaxViewers = kTraceMaxViewers;
    using CreatePipeFn = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                         LPSECURITY_ATTRIBUTES);
    // `create` is CreateNamedPipeA; tests watch what it is given.
    explicit TracePipeServer(std::string pipeName, CreatePipeFn create = &CreateNamedPipeA);
    ~TracePipeServer() override;

    // Starts serving; false when the thread, its events or the pipe's security cannot be
    // made. A name another program already holds ends the serving with TracePipeTaken().
    bool Start();
    // Ends every viewer and the serving thread; waits for them.
    void Stop();
    void Publish(const std::string& line) override;
    // The viewers attached now.
    int32_t ViewerCount();
    // True once another program was found holding the name.
    bool Taken() const { return taken_.load(); }

private:
    struct Viewer;
    void Serve();
    void Drop(size_t index);
    void SendNext(Viewer& viewer);
    HANDLE Listen(bool first, OVERLAPPED& ov, bool& failed, bool& connected);
    void ReportCount();

    std::string name_;
    CreatePipeFn create_;
    std::unique_ptr<TracePipeSecurity> security_;
    HANDLE stop_ = nullptr;
    HANDLE wake_ = nullptr;
    std::thread server_;
    std::atomic<bool> taken_{false};
    // Guards the list only: Publish takes it to queue a line, the serving thread to add
    // or remove a viewer; neither ever makes or waits for a thread under it.
    std::mutex lock_;
    std::vector<std::unique_ptr<Viewer>> viewers_;
    int32_t reported_ = -1;
};
