// The routing trace served on a named pipe: any number of viewers, each with its own
// queue and writer thread, so a viewer that stops reading only loses its own lines
// (counted, and told to it when it reads again) and never holds up a press.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ui/trace_output.h"

class TracePipeServer : public TraceViewers {
public:
    explicit TracePipeServer(std::string pipeName);
    ~TracePipeServer() override;

    // Starts accepting viewers; false when the thread or its events cannot be made.
    bool Start();
    // Ends every viewer and the accepting thread; waits for them.
    void Stop();
    void Publish(const std::string& line) override;

private:
    struct Viewer;
    void AcceptLoop();
    void WriteLoop(const std::shared_ptr<Viewer>& viewer);
    // Joins the threads of viewers that left; reports the count. Called with lock_ held.
    void ReapLocked();

    std::string name_;
    HANDLE stop_ = nullptr;
    std::thread acceptor_;
    std::mutex lock_;
    std::vector<std::shared_ptr<Viewer>> viewers_;
    int32_t reported_ = -1;
};
