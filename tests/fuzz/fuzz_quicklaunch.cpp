// Opens arbitrary favourite texts through QuickLaunch with the shell and the network
// faked: never a crash, at most one shell request, and for every text that is not a
// web address the file and parameters put back together give the trimmed text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/macros.h"
#include "unit/fake_env.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    FakeEnv env;
    env.network.SetReachable((data[0] & 1) != 0);
    env.shell.defaultResult = static_cast<intptr_t>(data[0] >> 1);  // 0..127: failures too
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    env.settings->SetMacro(1, 0);
    env.settings->SetFavorite(1, text);

    const int handled = MacroButtonAction(1, 31);
    const std::string trimmed = TrimFavorite(text);
    if (env.shell.calls.size() > 1) std::abort();
    if (env.ui.boxes.size() > 1) std::abort();
    if (env.shell.calls.empty()) {
        // Only an unreachable web favourite opens nothing.
        if (!IsWebFavorite(trimmed) || (data[0] & 1) != 0 || handled != 0) std::abort();
        return 0;
    }
    const FakeShell::Call& call = env.shell.calls[0];
    if (IsWebFavorite(trimmed)) {
        if (call.file != trimmed || !call.parameters.empty()) std::abort();
    } else {
        const std::string joined =
            call.parameters.empty() && call.file == trimmed ? call.file : call.file + " " + call.parameters;
        if (joined != trimmed) std::abort();
    }
    if ((handled != 0) != (env.shell.defaultResult > 32)) std::abort();
    if ((handled == 0) != (env.ui.boxes.size() == 1)) std::abort();
    return 0;
}
