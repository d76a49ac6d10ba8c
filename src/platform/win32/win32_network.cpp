#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <mutex>
#include <string>

#include "platform/win32/adapters.h"

namespace {

// The shell starts Winsock at start-up; starting it here as well keeps the adapter
// usable on its own (tests), and WSAStartup counts its callers.
bool StartWinsock() {
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        WSADATA data{};
        started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return started;
}

class Win32NetworkImpl : public Network {
public:
    bool TcpConnect(const std::string& host, uint16_t port) override {
        if (!StartWinsock()) return false;
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_protocol = IPPROTO_TCP;
        addrinfo* found = nullptr;
        const std::string service = std::to_string(port);
        if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return false;
        bool connected = false;
        for (addrinfo* a = found; a != nullptr && !connected; a = a->ai_next) {
            SOCKET s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
            if (s == INVALID_SOCKET) continue;
            connected = connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0;
            closesocket(s);
        }
        freeaddrinfo(found);
        return connected;
    }
};

}  // namespace

Network& Win32Network() {
    static Win32NetworkImpl network;
    return network;
}
