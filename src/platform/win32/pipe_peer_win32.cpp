#include <windows.h>

#include <sddl.h>

#include <vector>

#include "platform/win32/adapters.h"

namespace {

std::vector<BYTE> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    DWORD size = 0;
    (void)GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<BYTE> info(size);
    if (size == 0 || !GetTokenInformation(token, kind, info.data(), size, &size)) return {};
    return info;
}

}  // namespace

std::optional<PeerIdentity> ProcessIdentity(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
    PeerIdentity identity;
    const std::vector<BYTE> user = TokenInformation(token, TokenUser);
    if (user.size() >= sizeof(TOKEN_USER)) {
        PSID sid = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
        char* text = nullptr;
        if (IsValidSid(sid) && ConvertSidToStringSidA(sid, &text)) {
            identity.userSid = text;
            LocalFree(text);
        }
    }
    const std::vector<BYTE> label = TokenInformation(token, TokenIntegrityLevel);
    if (label.size() >= sizeof(TOKEN_MANDATORY_LABEL)) {
        PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
        if (IsValidSid(sid) && *GetSidSubAuthorityCount(sid) > 0)
            identity.integrityRid = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
    }
    CloseHandle(token);
    return identity;
}

std::optional<PeerIdentity> PipeServerIdentity(HANDLE pipe) {
    ULONG serverPid = 0;
    if (!GetNamedPipeServerProcessId(pipe, &serverPid)) return std::nullopt;
    HANDLE server = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, serverPid);
    if (server == nullptr) return std::nullopt;
    std::optional<PeerIdentity> identity = ProcessIdentity(server);
    CloseHandle(server);
    return identity;
}

PipeServerVerdict CheckPipeServer(HANDLE pipe, PipeServerIdentityFn serverOf) {
    return JudgePipeServer((serverOf != nullptr ? serverOf : &PipeServerIdentity)(pipe),
                           ProcessIdentity(GetCurrentProcess()));
}
