// A scripted receiver driver: interfaces that come and go, queued bytes, idle reads
// and failures. Safe to drive from a test while the reader thread reads.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/receiver_device.h"

class FakeReceiverDevice : public ReceiverDevice {
public:
    struct Interface {
        std::string devicePath;
        std::optional<std::string> friendlyName;
        std::optional<std::string> deviceDescription;
        bool present = true;
        std::deque<int32_t> queued;  // bytes, and the markers below
    };

    // Adds an interface of the receiver class (listed in the order added).
    void AddInterface(const std::string& path, std::optional<std::string> friendlyName = {},
                      std::optional<std::string> deviceDescription = {});
    // Unplugging fails every read on the device's open handles and hides it.
    void Unplug(const std::string& path);
    void Plug(const std::string& path);
    // Bytes the driver queues for the device.
    void Queue(const std::string& path, const std::vector<uint8_t>& bytes);
    size_t QueuedBytes(const std::string& path) const;
    // In the queue, after the bytes queued so far: one read that fails, or the device
    // being unplugged once the reader gets there.
    void QueueReadFailure(const std::string& path);
    void QueueUnplug(const std::string& path);

    // The next n reads fail (the device itself stays present).
    void FailNextReads(int32_t n);
    bool deviceSetFails = false;
    bool refuseOpen = false;
    // Reads hand out at most this many bytes each (0: as many as asked).
    size_t maxBytesPerRead = 0;

    // What was done, for the tests.
    std::vector<std::string> OpenedPaths() const;
    std::vector<std::string> ClassesAsked() const;
    int32_t OpenHandles() const;
    int32_t Reads() const;
    int32_t IdleReads() const;
    int32_t FailedReads() const;

    std::optional<std::vector<DeviceInterfaceInfo>> PresentInterfaces(
        const std::string& classGuid) override;
    ReceiverHandle* Open(const std::string& devicePath) override;
    ReadResult Read(ReceiverHandle* handle, uint8_t* buffer, size_t size) override;
    void Close(ReceiverHandle* handle) override;

private:
    static constexpr int32_t kFailMark = -1, kUnplugMark = -2;
    void UnplugLocked(Interface& i);
    Interface* Find(const std::string& path);
    const Interface* Find(const std::string& path) const;

    mutable std::mutex lock_;
    std::vector<Interface> interfaces_;
    std::map<uintptr_t, std::string> handles_;  // open handle -> path
    // Handles whose device was unplugged while they were open: they stay dead.
    std::map<uintptr_t, bool> dead_;
    uintptr_t nextHandle_ = 1;
    int32_t failNext_ = 0;
    std::vector<std::string> opened_;
    std::vector<std::string> classes_;
    int32_t reads_ = 0, idleReads_ = 0, failedReads_ = 0;
};
