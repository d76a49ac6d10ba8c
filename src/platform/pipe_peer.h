// Who serves a named pipe that this process reads, and whether to read it: a pipe's name
// is taken by whoever makes it first, so the name alone says nothing about the server.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A process as its token describes it.
struct PeerIdentity {
    std::string userSid;                   // "S-1-5-21-..."; "" when it cannot be read
    std::optional<uint32_t> integrityRid;  // the mandatory label's level, 0x2000 medium
};

enum class PipeServerVerdict { Trusted, Unknown, AnotherUser, LowerIntegrity };

// A server is read only when it runs as this process's user at an integrity level not
// below this process's: another user's program, or a sandboxed one of the same user,
// could otherwise feed it what it likes. What cannot be told counts as untrusted.
inline PipeServerVerdict JudgePipeServer(const std::optional<PeerIdentity>& server,
                                         const std::optional<PeerIdentity>& self) {
    if (!server || !self || server->userSid.empty() || self->userSid.empty() ||
        !server->integrityRid || !self->integrityRid)
        return PipeServerVerdict::Unknown;
    if (server->userSid != self->userSid) return PipeServerVerdict::AnotherUser;
    if (*server->integrityRid < *self->integrityRid) return PipeServerVerdict::LowerIntegrity;
    return PipeServerVerdict::Trusted;
}
