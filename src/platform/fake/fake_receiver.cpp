#include "platform/fake/fake_receiver.h"

#include <algorithm>

FakeReceiverDevice::Interface* FakeReceiverDevice::Find(const std::string& path) {
    for (Interface& i : interfaces_)
        if (i.devicePath == path) return &i;
    return nullptr;
}

const FakeReceiverDevice::Interface* FakeReceiverDevice::Find(const std::string& path) const {
    for (const Interface& i : interfaces_)
        if (i.devicePath == path) return &i;
    return nullptr;
}

void FakeReceiverDevice::AddInterface(const std::string& path,
                                      std::optional<std::string> friendlyName,
                                      std::optional<std::string> deviceDescription) {
    std::lock_guard<std::mutex> hold(lock_);
    Interface i;
    i.devicePath = path;
    i.friendlyName = std::move(friendlyName);
    i.deviceDescription = std::move(deviceDescription);
    interfaces_.push_back(std::move(i));
}

void FakeReceiverDevice::UnplugLocked(Interface& i) {
    i.present = false;
    i.queued.clear();
    for (const auto& [h, p] : handles_)
        if (p == i.devicePath) dead_[h] = true;
}

void FakeReceiverDevice::Unplug(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    if (Interface* i = Find(path)) UnplugLocked(*i);
}

void FakeReceiverDevice::QueueReadFailure(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    if (Interface* i = Find(path)) i->queued.push_back(kFailMark);
}

void FakeReceiverDevice::QueueUnplug(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    if (Interface* i = Find(path)) i->queued.push_back(kUnplugMark);
}

void FakeReceiverDevice::Plug(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    if (Interface* i = Find(path)) i->present = true;
}

void FakeReceiverDevice::Queue(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::lock_guard<std::mutex> hold(lock_);
    if (Interface* i = Find(path)) i->queued.insert(i->queued.end(), bytes.begin(), bytes.end());
}

size_t FakeReceiverDevice::QueuedBytes(const std::string& path) const {
    std::lock_guard<std::mutex> hold(lock_);
    const Interface* i = Find(path);
    if (i == nullptr) return 0;
    return static_cast<size_t>(std::count_if(i->queued.begin(), i->queued.end(),
                                             [](int32_t v) { return v >= 0; }));
}

void FakeReceiverDevice::FailNextReads(int32_t n) {
    std::lock_guard<std::mutex> hold(lock_);
    failNext_ = n;
}

std::vector<std::string> FakeReceiverDevice::OpenedPaths() const {
    std::lock_guard<std::mutex> hold(lock_);
    return opened_;
}

std::vector<std::string> FakeReceiverDevice::ClassesAsked() const {
    std::lock_guard<std::mutex> hold(lock_);
    return classes_;
}

int32_t FakeReceiverDevice::OpenHandles() const {
    std::lock_guard<std::mutex> hold(lock_);
    return static_cast<int32_t>(handles_.size());
}

int32_t FakeReceiverDevice::Reads() const {
    std::lock_guard<std::mutex> hold(lock_);
    return reads_;
}

int32_t FakeReceiverDevice::IdleReads() const {
    std::lock_guard<std::mutex> hold(lock_);
    return idleReads_;
}

int32_t FakeReceiverDevice::FailedReads() const {
    std::lock_guard<std::mutex> hold(lock_);
    return failedReads_;
}

std::optional<std::vector<DeviceInterfaceInfo>> FakeReceiverDevice::PresentInterfaces(
    const std::string& classGuid) {
    std::lock_guard<std::mutex> hold(lock_);
    classes_.push_back(classGuid);
    if (deviceSetFails) return std::nullopt;
    std::vector<DeviceInterfaceInfo> out;
    for (const Interface& i : interfaces_) {
        if (!i.present) continue;
        out.push_back(DeviceInterfaceInfo{i.devicePath, i.friendlyName, i.deviceDescription});
    }
    return out;
}

ReceiverHandle* FakeReceiverDevice::Open(const std::string& devicePath) {
    std::lock_guard<std::mutex> hold(lock_);
    const Interface* i = Find(devicePath);
    if (refuseOpen || i == nullptr || !i->present) return nullptr;
    // No sharing: a second open of the same device fails.
    for (const auto& [h, p] : handles_)
        if (p == devicePath && dead_.count(h) == 0) return nullptr;
    const uintptr_t h = nextHandle_++;
    handles_[h] = devicePath;
    opened_.push_back(devicePath);
    return reinterpret_cast<ReceiverHandle*>(h);
}

ReadResult FakeReceiverDevice::Read(ReceiverHandle* handle, uint8_t* buffer, size_t size) {
    std::lock_guard<std::mutex> hold(lock_);
    ++reads_;
    const uintptr_t h = reinterpret_cast<uintptr_t>(handle);
    auto it = handles_.find(h);
    Interface* i = it == handles_.end() ? nullptr : Find(it->second);
    if (i == nullptr || dead_.count(h) != 0 || failNext_ > 0) {
        if (failNext_ > 0) --failNext_;
        ++failedReads_;
        return ReadResult{ReadStatus::Failed, 0};
    }
    if (!i->queued.empty() && i->queued.front() < 0) {
        const int32_t mark = i->queued.front();
        i->queued.pop_front();
        if (mark == kUnplugMark) UnplugLocked(*i);
        ++failedReads_;
        return ReadResult{ReadStatus::Failed, 0};
    }
    const size_t limit = maxBytesPerRead == 0 ? size : std::min(size, maxBytesPerRead);
    size_t n = 0;
    while (n < limit && !i->queued.empty() && i->queued.front() >= 0) {
        buffer[n++] = static_cast<uint8_t>(i->queued.front());
        i->queued.pop_front();
    }
    if (n == 0) {
        ++idleReads_;
        return ReadResult{ReadStatus::NoData, 0};
    }
    return ReadResult{ReadStatus::Data, n};
}

void FakeReceiverDevice::Close(ReceiverHandle* handle) {
    std::lock_guard<std::mutex> hold(lock_);
    const uintptr_t h = reinterpret_cast<uintptr_t>(handle);
    handles_.erase(h);
    dead_.erase(h);
}
