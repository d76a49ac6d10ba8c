// The trace's pipe server against the real pipes: who may open it, how many viewers it
// keeps, and that viewers who come and go leave nothing behind.
#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helpers/poll.h"
#include "ui/win32/trace_pipe.h"

namespace {

std::string TestPipeName(const char* what) {
    return "\\\\.\\pipe\\orbiscope-test-trace-" + std::string(what) + "-" +
           std::to_string(GetCurrentProcessId());
}

std::string UserSidString() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "";
    BYTE info[512];
    DWORD size = 0;
    std::string text;
    if (GetTokenInformation(token, TokenUser, info, sizeof info, &size)) {
        char* s = nullptr;
        if (ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(info)->User.Sid, &s)) {
            text = s;
            LocalFree(s);
        }
    }
    CloseHandle(token);
    return text;
}

std::string DaclText(SECURITY_ATTRIBUTES* attributes) {
    char* s = nullptr;
    if (attributes == nullptr || !ConvertSecurityDescriptorToStringSecurityDescriptorA(
                                     attributes->lpSecurityDescriptor, SDDL_REVISION_1,
                                     DACL_SECURITY_INFORMATION, &s, nullptr))
        return "";
    std::string text = s;
    LocalFree(s);
    return text;
}

HANDLE OpenViewer(const std::string& name) {
    for (int i = 0; i < 50; ++i) {
        HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (h != INVALID_HANDLE_VALUE) return h;
        // Busy: every instance serves a viewer; not found: between two instances.
        if (GetLastError() == ERROR_PIPE_BUSY) {
            WaitNamedPipeA(name.c_str(), 100);
        } else {
            Sleep(10);
        }
    }
    return INVALID_HANDLE_VALUE;
}

// What the server asks of CreateNamedPipe.
struct CreateCall {
    DWORD openMode, pipeMode, maxInstances;
    std::string dacl;
    bool labelled;
};
std::vector<CreateCall> g_calls;

HANDLE WINAPI RecordingCreate(LPCSTR name, DWORD openMode, DWORD pipeMode, DWORD maxInstances,
                              DWORD outBytes, DWORD inBytes, DWORD timeout,
                              LPSECURITY_ATTRIBUTES attributes) {
    bool labelled = false;
    if (attributes != nullptr) {
        BOOL present = FALSE, defaulted = FALSE;
        ACL* sacl = nullptr;
        void* ace = nullptr;
        labelled = GetSecurityDescriptorSacl(attributes->lpSecurityDescriptor, &present, &sacl,
                                             &defaulted) &&
                   present && sacl != nullptr && sacl->AceCount == 1 && GetAce(sacl, 0, &ace) &&
                   static_cast<ACE_HEADER*>(ace)->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE &&
                   (static_cast<SYSTEM_MANDATORY_LABEL_ACE*>(ace)->Mask &
                    SYSTEM_MANDATORY_LABEL_NO_READ_UP) != 0;
    }
    g_calls.push_back(CreateCall{openMode, pipeMode, maxInstances, DaclText(attributes), labelled});
    return CreateNamedPipeA(name, openMode, pipeMode, maxInstances, outBytes, inBytes, timeout,
                            attributes);
}

// Only the user the program runs as may open the pipe, at no integrity level below the
// program's; remote clients are turned away; the first instance is made only if the name
// is free. The system under Wine keeps no descriptor for pipes, so the descriptor is read
// where it is handed to CreateNamedPipe.
TEST(TracePipe, OpenedOnlyToThisUserAndNeverToRemoteClients) {
    const std::string user = UserSidString();
    ASSERT_FALSE(user.empty());
    g_calls.clear();
    TracePipeServer server(TestPipeName("security"), &RecordingCreate);
    ASSERT_TRUE(server.Start());
    HANDLE viewer = OpenViewer(TestPipeName("security"));
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(Within(10000, [&] { return g_calls.size() >= 2; }));
    server.Stop();
    CloseHandle(viewer);
    for (size_t i = 0; i < g_calls.size(); ++i) {
        const CreateCall& c = g_calls[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(c.dacl, "D:P(A;;FA;;;" + user + ")");
        EXPECT_TRUE(c.labelled);
        EXPECT_NE(c.pipeMode & PIPE_REJECT_REMOTE_CLIENTS, 0u);
        EXPECT_EQ(c.maxInstances, TracePipeServer::kMaxViewers);
        // The second instance is made while the first serves a viewer.
        EXPECT_EQ((c.openMode & FILE_FLAG_FIRST_PIPE_INSTANCE) != 0, i == 0);
    }
}

// A program that made the name first keeps its pipe to itself: the server does not join
// it, serves nobody and says so.
TEST(TracePipe, ANameTakenFirstIsNotServed) {
    const std::string name = TestPipeName("squatted");
    HANDLE squatter =
        CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                         PIPE_UNLIMITED_INSTANCES, 4096, 0, 0, nullptr);
    ASSERT_NE(squatter, INVALID_HANDLE_VALUE);
    g_calls.clear();
    TracePipeServer server(name, &RecordingCreate);
    ASSERT_TRUE(server.Start());
    EXPECT_TRUE(Within(10000, [&] { return server.Taken(); }));
    Sleep(200);
    EXPECT_EQ(g_calls.size(), 1u);  // it does not try again
    server.Stop();
    CloseHandle(squatter);
}

// Viewers that connect and close, with no line ever published, are noticed as they go:
// afterwards the server has no viewer and the process the threads it had. At most
// kMaxViewers are served at once, and lines reach them.
TEST(TracePipe, ViewersThatComeAndGoLeaveNothingBehind) {
    const std::string name = TestPipeName("cycles");
    TracePipeServer server(name);
    ASSERT_TRUE(server.Start());
    ASSERT_TRUE(Within(10000, [&] { return WaitNamedPipeA(name.c_str(), 0) != FALSE; }));
    const int32_t threads = ThreadsOf(GetCurrentProcessId());
    for (int i = 0; i < 1000; ++i) {
        HANDLE viewer = OpenViewer(name);
        ASSERT_NE(viewer, INVALID_HANDLE_VALUE) << "cycle " << i << " error " << GetLastError();
        CloseHandle(viewer);
    }
    EXPECT_TRUE(Within(10000, [&] { return server.ViewerCount() == 0; }));
    EXPECT_EQ(ThreadsOf(GetCurrentProcessId()), threads);

    std::vector<HANDLE> viewers;
    for (DWORD i = 0; i < TracePipeServer::kMaxViewers; ++i) viewers.push_back(OpenViewer(name));
    for (HANDLE v : viewers) ASSERT_NE(v, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(Within(10000, [&] { return server.ViewerCount() == 4; }));
    HANDLE extra = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(extra, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PIPE_BUSY));
    server.Publish("12:00:00.000 | Play");
    for (HANDLE v : viewers) {
        char buffer[64] = {};
        DWORD n = 0;
        EXPECT_TRUE(ReadFile(v, buffer, sizeof buffer - 1, &n, nullptr));
        EXPECT_STREQ(buffer, "12:00:00.000 | Play\n");
    }
    CloseHandle(viewers.back());
    viewers.pop_back();
    HANDLE next = OpenViewer(name);  // room again once one left
    EXPECT_NE(next, INVALID_HANDLE_VALUE);
    viewers.push_back(next);
    server.Stop();
    for (HANDLE v : viewers) CloseHandle(v);
    if (extra != INVALID_HANDLE_VALUE) CloseHandle(extra);
}

}  // namespace
