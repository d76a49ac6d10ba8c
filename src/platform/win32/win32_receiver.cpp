#include <windows.h>
#include <setupapi.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/receiver_device.h"
#include "platform/win32/adapters.h"
#include "ui/trace_output.h"

namespace {

constexpr DWORD kPropertyBufferBytes = 256;

bool ParseGuid(const std::string& text, GUID& out) {
    unsigned int d1 = 0, d2 = 0, d3 = 0, b[8] = {};
    char close = 0;
    if (std::sscanf(text.c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x%c", &d1, &d2, &d3, &b[0],
                    &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &close) != 12 ||
        close != '}')
        return false;
    out.Data1 = d1;
    out.Data2 = static_cast<unsigned short>(d2);
    out.Data3 = static_cast<unsigned short>(d3);
    for (int i = 0; i < 8; ++i) out.Data4[i] = static_cast<unsigned char>(b[i]);
    return true;
}

bool IsPipePath(const std::string& path) {
    const std::string prefix = "\\\\.\\pipe\\";
    if (path.size() <= prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(path[i])) != prefix[i]) return false;
    }
    return true;
}

// The virtual receiver's pipe, when the environment names one.
std::optional<std::string> VirtualReceiverPipe() {
    char buffer[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA(kVirtualReceiverVariable, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return std::nullopt;
    std::string name(buffer, n);
    if (!IsPipePath(name)) return std::nullopt;
    return name;
}

std::optional<std::string> Property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    BYTE buffer[kPropertyBufferBytes] = {};
    if (!SetupDiGetDeviceRegistryPropertyA(set, &device, property, nullptr, buffer,
                                           sizeof buffer, nullptr))
        return std::nullopt;
    buffer[sizeof buffer - 1] = 0;
    return std::string(reinterpret_cast<const char*>(buffer));
}

HANDLE ToHandle(ReceiverHandle* h) { return reinterpret_cast<HANDLE>(h); }

const char* RefusalNote(PipeServerVerdict verdict) {
    switch (verdict) {
        case PipeServerVerdict::AnotherUser:
            return "-- the virtual receiver's pipe is served by a program of another user: not "
                   "read; waiting for the receiver --";
        case PipeServerVerdict::LowerIntegrity:
            return "-- the virtual receiver's pipe is served by a program with fewer rights than "
                   "Orbiscope Remote: not read; waiting for the receiver --";
        default:
            return "-- who serves the virtual receiver's pipe cannot be told: not read; waiting "
                   "for the receiver --";
    }
}

class Win32Receiver : public ReceiverDevice {
public:
    explicit Win32Receiver(PipeServerIdentityFn serverOf) : serverOf_(serverOf) {}

    std::optional<std::vector<DeviceInterfaceInfo>> PresentInterfaces(
        const std::string& classGuid) override {
        std::optional<std::string> pipe;
        if (!virtualRefused_.load()) pipe = VirtualReceiverPipe();
        if (pipe) {
            return std::vector<DeviceInterfaceInfo>{
                DeviceInterfaceInfo{*pipe, std::string("Orbiscope virtual receiver"), std::nullopt}};
        }
        GUID guid{};
        if (!ParseGuid(classGuid, guid)) return std::nullopt;
        HDEVINFO set =
            SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE) return std::nullopt;
        std::vector<DeviceInterfaceInfo> out;
        for (DWORD index = 0;; ++index) {
            SP_DEVICE_INTERFACE_DATA iface{};
            iface.cbSize = sizeof iface;
            if (!SetupDiEnumDeviceInterfaces(set, nullptr, &guid, index, &iface)) break;
            DWORD required = 0;
            SetupDiGetDeviceInterfaceDetailA(set, &iface, nullptr, 0, &required, nullptr);
            if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) continue;
            std::vector<BYTE> storage(required);
            auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.data());
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
            SP_DEVINFO_DATA device{};
            device.cbSize = sizeof device;
            if (!SetupDiGetDeviceInterfaceDetailA(set, &iface, detail, required, nullptr, &device))
                continue;
            DeviceInterfaceInfo info;
            info.devicePath = detail->DevicePath;
            info.friendlyName = Property(set, device, SPDRP_FRIENDLYNAME);
            if (!info.friendlyName) info.deviceDescription = Property(set, device, SPDRP_DEVICEDESC);
            out.push_back(std::move(info));
        }
        SetupDiDestroyDeviceInfoList(set);
        return out;
    }

    ReceiverHandle* Open(const std::string& devicePath) override {
        // A pipe's server learns who reads it but may not act as that user.
        const DWORD qos =
            IsPipePath(devicePath) ? SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION : 0;
        HANDLE h =
            CreateFileA(devicePath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, qos, nullptr);
        if (h == INVALID_HANDLE_VALUE || h == nullptr) return nullptr;
        if (GetFileType(h) == FILE_TYPE_PIPE) {
            // The release program keeps the virtual receiver, so a pipe of that name is read
            // only from a server of this user at this program's integrity level or above.
            // A refused one is given up for the session: the real receiver is waited for.
            const PipeServerVerdict verdict = CheckPipeServer(h, serverOf_);
            if (verdict != PipeServerVerdict::Trusted) {
                CloseHandle(h);
                const std::optional<std::string> named = VirtualReceiverPipe();
                if (named && *named == devicePath && !virtualRefused_.exchange(true))
                    TraceNote(RefusalNote(verdict));
                return nullptr;
            }
            // The reader polls: an idle pipe must answer at once, as the driver does.
            DWORD mode = PIPE_READMODE_BYTE | PIPE_NOWAIT;
            if (!SetNamedPipeHandleState(h, &mode, nullptr, nullptr)) {
                CloseHandle(h);
                return nullptr;
            }
        }
        return reinterpret_cast<ReceiverHandle*>(h);
    }

    ReadResult Read(ReceiverHandle* handle, uint8_t* buffer, size_t size) override {
        DWORD got = 0;
        const DWORD ask = size > 0x10000 ? 0x10000 : static_cast<DWORD>(size);
        if (ReadFile(ToHandle(handle), buffer, ask, &got, nullptr)) {
            if (got == 0) return ReadResult{ReadStatus::NoData, 0};
            return ReadResult{ReadStatus::Data, got};
        }
        // A non-blocking pipe with nothing queued; a gone writer is ERROR_BROKEN_PIPE.
        if (GetLastError() == ERROR_NO_DATA) return ReadResult{ReadStatus::NoData, 0};
        return ReadResult{ReadStatus::Failed, 0};
    }

    void Close(ReceiverHandle* handle) override { CloseHandle(ToHandle(handle)); }

private:
    PipeServerIdentityFn serverOf_;
    std::atomic<bool> virtualRefused_{false};
};

}  // namespace

ReceiverDevice& Win32ReceiverDevice() {
    // Never destroyed: the receiver object may still close its handle at exit.
    static Win32Receiver* const instance = new Win32Receiver(nullptr);
    return *instance;
}

std::unique_ptr<ReceiverDevice> MakeWin32ReceiverDevice(PipeServerIdentityFn serverOf) {
    return std::make_unique<Win32Receiver>(serverOf);
}
