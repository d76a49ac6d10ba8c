// The start-up command line, as whoever starts the program writes it: the arguments are
// what follows the program's own name, quoted or not; the name alone asks for nothing;
// "/s" in any case among the arguments asks for the settings, and a second copy
// forwards exactly that request to the first; "/exportprofile" takes the word after it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/fake/fake_os.h"
#include "state/messages.h"
#include "ui/profile_watch.h"
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

    // "/exportprofile": its value is part of the arguments, and a name made from it is a
    // plain file name of one folder.
    if (const std::optional<std::string> value = ExportProfileArgument(line)) {
        Check(args.find(*value) != std::string::npos);
        const std::string name = SafeProfileFileName(*value);
        Check(name.size() > 5 && name.compare(name.size() - 5, 5, ".toml") == 0);
        Check(name.find_first_of("\\/:*?\"<>|") == std::string::npos && name.front() != '.');
    }
    return 0;
}
