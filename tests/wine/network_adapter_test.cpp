#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include "wine_support.h"

namespace {

// A loopback listener on a free port, for the length of one test.
class Listener {
public:
    Listener() {
        WSADATA data{};
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        if (socket_ == INVALID_SOCKET || bind(socket_, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0)
            return;
        int size = sizeof(a);
        getsockname(socket_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
    }
    ~Listener() {
        Close();
        if (started_) WSACleanup();
    }
    bool Listen() { return socket_ != INVALID_SOCKET && listen(socket_, 4) == 0; }
    void Close() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
    uint16_t port() const { return port_; }

private:
    bool started_ = false;
    SOCKET socket_ = INVALID_SOCKET;
    uint16_t port_ = 0;
};

TEST(NetworkAdapter, ConnectsToAListeningLoopbackPort) {
    Listener listener;
    ASSERT_NE(listener.port(), 0);
    ASSERT_TRUE(listener.Listen());
    EXPECT_TRUE(Win32Network().TcpConnect("127.0.0.1", listener.port()));
    EXPECT_TRUE(Win32Network().TcpConnect("localhost", listener.port()));
}

TEST(NetworkAdapter, ClosedPortAndUnknownHostFail) {
    Listener listener;
    const uint16_t port = listener.port();
    ASSERT_NE(port, 0);
    listener.Close();
    EXPECT_FALSE(Win32Network().TcpConnect("127.0.0.1", port));
    EXPECT_FALSE(Win32Network().TcpConnect("", port));
}

}  // namespace
