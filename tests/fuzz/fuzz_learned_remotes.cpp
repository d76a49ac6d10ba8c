// A learned remote's file from the input: any bytes are read into a remote or refused
// with a line and a reason, and a remote read is written back into a file that reads as
// the same remote, byte for byte the second time.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_machine.h"
#include "profiles/remote_files.h"
#include "receiver/button_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool buttons = (LoadDefaultButtons(), true);
    (void)buttons;
    const std::string text(reinterpret_cast<const char*>(data), size);
    RemoteFileProblem problem;
    const std::optional<LearnedRemote> remote = ParseLearnedRemote({"tv.toml", text}, problem);
    if (!remote) {
        Check(problem.line >= 0 && !problem.message.empty() && problem.fileName == "tv.toml");
        return 0;
    }
    const std::string written = LearnedRemoteText(*remote);
    const std::optional<LearnedRemote> back = ParseLearnedRemote({"tv.toml", written}, problem);
    Check(back.has_value());
    Check(back->name == remote->name && back->buttons.size() == remote->buttons.size());
    Check(LearnedRemoteText(*back) == written);
    const LearnedRemotesRead read = ReadLearnedRemotes({{"tv.toml", text}});
    Check(read.remotes.size() + read.problems.size() == 1);
    return 0;
}
