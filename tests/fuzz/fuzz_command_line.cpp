// The start-up command line, as whoever starts the program writes it: the arguments are
// what follows the program's own name, quoted or not; the name alone asks for nothing;
// "/s" in any case among the arguments asks for the settings, and a second copy
// forwards exactly that request to the first.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/fake/fake_os.h"
#include "state/messages.h"
#include "ui/shell.h"
#include "ui/trace_output.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const std::string args = CommandLineArguments(line);
    Check(args.size() <= line.size() &&
          line.compare(line.size() - args.size(), args.size(), args) == 0);
    Check(CommandLineArguments(line.substr(0, line.size() - args.size())).empty());
    Check(CommandLineArguments("\"C:\\Program Files\\Orbiscope\\OrbiscopeRemote.exe\"" + args) ==
          args);

    FakeDesktop desktop;
    Platform ports;
    ports.desktop = &desktop;
    ScopedPlatform scope(ports);
    const std::string lower = desktop.LowerCase(line);
    const bool asks = CommandLineAsksForSettings(lower);
    Check(asks == (args.find("/s") != std::string::npos || args.find("/S") != std::string::npos));

    const bool asksTrace = CommandLineAsksForTraceLog(lower);
    Check(asksTrace == (CommandLineArguments(lower).find("/trace") != std::string::npos));

    const WindowHandle running = desktop.Add(FakeWindow{});
    Check(!ForwardToRunningInstance(0, lower));
    Check(ForwardToRunningInstance(running, lower) == (asks || asksTrace));
    Check(desktop.messages.size() == (asks ? 1u : 0u) + (asksTrace ? 1u : 0u));
    if (asks) Check(desktop.messages.back().window == running &&
                    desktop.messages.back().message == WM_REMOTE_SHOWSETTINGS);
    return 0;
}
