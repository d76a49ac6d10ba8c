// The receiver's driver as the system sees it: device interfaces of a class, opened
// as a file and read without blocking.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports.h"

// An open receiver. Only the adapter that made it knows what it points to.
class ReceiverHandle;

// One present interface of the class, in the order the device set lists it.
struct DeviceInterfaceInfo {
    std::string devicePath;
    std::optional<std::string> friendlyName;       // read into a 256-byte buffer
    std::optional<std::string> deviceDescription;  // likewise
};

enum class ReadStatus { Failed, NoData, Data };

struct ReadResult {
    ReadStatus status = ReadStatus::Failed;
    size_t bytes = 0;  // > 0 exactly when status is Data
};

class ReceiverDevice : public Port {
public:
    // The present interfaces of the class (GUID in braces); nullopt when the device
    // set cannot be had. Interfaces whose detail cannot be read are left out.
    virtual std::optional<std::vector<DeviceInterfaceInfo>> PresentInterfaces(
        const std::string& classGuid) = 0;
    // Read-only, no sharing, existing file only; null on failure.
    [[nodiscard]] virtual ReceiverHandle* Open(const std::string& devicePath) = 0;
    // Returns at once: the bytes queued (up to size), none, or a failure once the
    // device is gone.
    virtual ReadResult Read(ReceiverHandle* handle, uint8_t* buffer, size_t size) = 0;
    virtual void Close(ReceiverHandle* handle) = 0;
};

// Names a named pipe (\\.\pipe\...) that stands in for the receiver class: the
// virtual receiver of development machines and tests.
constexpr const char* kVirtualReceiverVariable = "ORBISCOPE_VIRTUAL_RECEIVER";
constexpr const char* kDefaultVirtualReceiverPipe = "\\\\.\\pipe\\orbiscope-receiver";
