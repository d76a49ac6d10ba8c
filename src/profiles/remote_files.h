// The files of learned remotes: one TOML file per remote in the "Remotes" folder below
// the user's profiles (docs/profile-files.md). The format is a public interface: every
// fault is reported with its file and line, and a file with one is left out whole.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "profiles/profile_files.h"
#include "receiver/learned_codes.h"

extern const char* const kLearnedRemotesFolder;  // "Remotes", below the user's profiles

// The longest and shortest code a file may give: what the receiver collects at most, and
// what the press engine takes at least.
constexpr size_t kLearnedCodeShortest = 6;
constexpr size_t kLearnedCodeLongest = 999;
constexpr size_t kRemoteNameChars = 64;

struct RemoteFileProblem {
    std::string fileName;
    int line = 0;  // 0: the whole file
    std::string message;
    // "learned remote Remotes\\tv.toml:7: unknown button \"Plya\""
    std::string Describe() const;
};

// One file on its own (no clash with other files is looked for).
std::optional<LearnedRemote> ParseLearnedRemote(const ProfileText& file, RemoteFileProblem& problem);

// Every file in name order. A file with a fault, or whose code clashes with a built-in
// code or with a file read before it, is left out whole; the others are in `remotes`.
struct LearnedRemotesRead {
    LearnedRemotes remotes;
    std::vector<RemoteFileProblem> problems;
};
LearnedRemotesRead ReadLearnedRemotes(std::vector<ProfileText> files);

// The file for a remote, as the settings write it.
std::string LearnedRemoteText(const LearnedRemote& remote);

