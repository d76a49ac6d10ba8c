// Profile files from the input, loaded as the user's and as a shipped file: any bytes at
// all are either put in force or refused with a reason, never half-loaded, and the presses
// into the program they describe leave no key held down and no window sent (rather than
// posted) a message. The export of the file in force gives back its text unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_machine.h"
#include "profiles/profile_files.h"
#include "receiver/button_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool buttons = (LoadDefaultButtons(), true);
    (void)buttons;
    FuzzedDataProvider in(data, size);
    const uint8_t flags = in.ConsumeIntegral<uint8_t>();
    const std::string text = in.ConsumeRemainingBytesAsString();

    FakeEnv env;
    env.Foreground("player.exe", "Movie - Player", "PlayerWnd");
    const WindowHandle other = env.AddWindow("other.exe", "Other", "Winamp v1.x");
    SetProfilesElevated((flags & 1) != 0);
    const std::vector<ProfileProblem> problems =
        InstallProfiles({{"user.toml", text}}, {{"shipped.toml", text}});
    for (const ProfileProblem& p : problems) {
        Check(p.line >= 0 && !p.message.empty());
        Check(p.fileName == (p.layer == ProfileLayer::User ? "user.toml" : "shipped.toml"));
    }
    // One text in both layers: the shipped one can only be refused for more (an `open`).
    Check(problems.size() <= 2);
    const bool userRefused = !problems.empty() && problems[0].layer == ProfileLayer::User;
    Check(!userRefused || problems.size() == 2);
    Check((ProfilesInForce() != nullptr) == (problems.size() < 2));

    // The presses are the slow part; a refused file changes none of them.
    for (int32_t b = 0; ProfilesInForce() != nullptr && b < kButtonCount; ++b) {
        env.Receive(b, (b + flags) % 2 + 1);
        for (const bool down : env.input.keyDown) Check(!down);
    }
    // A file's messages are posted: a program that stops answering never holds the remote.
    for (const FakeMessage& m : env.desktop.messages) Check(m.window != other || !m.sent);

    const ProfileExport out = ExportProfile("player.exe");
    if (out.ok && out.fileName == "user.toml") Check(!userRefused && out.text == text);
    (void)InstallProfiles({}, {});
    SetProfilesElevated(false);
    return 0;
}
