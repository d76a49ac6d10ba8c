// Profile files: what the buttons do in one program, in a TOML file a person can read,
// change and share. The user's own files come before the shipped ones, and both before
// the built-in catalogue; a file names only the buttons it changes. The format is a
// public interface (docs/profile-files.md): stable, and every error reported with its line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

enum class ProfileLayer { User, Shipped };

// fileName as in the folder, e.g. "vlc.toml".
struct ProfileText {
    std::string fileName;
    std::string text;
};

// A file that could not be used, and why. line 0: the whole file is at fault.
struct ProfileProblem {
    ProfileLayer layer = ProfileLayer::User;
    std::string fileName;
    int line = 0;
    std::string message;
    // "user profile vlc.toml:7: unknown button \"Plya\""
    std::string Describe() const;
};

// Parses every file of both layers and puts the result in force at once: a press under
// way keeps the set it started with. Returns the files that could not be used, each
// skipped whole; the others are in force.
std::vector<ProfileProblem> InstallProfiles(std::vector<ProfileText> user,
                                            std::vector<ProfileText> shipped);

// Whether the program runs elevated (set by the shell): a user file's `open` is refused
// meanwhile, since it would run with more rights than the user who wrote it.
void SetProfilesElevated(bool elevated);
bool ProfilesElevated();

struct ProfileExport {
    bool ok = false;
    std::string fileName;            // e.g. "vlc.toml"
    std::string text;                // the profile file, ready to edit
    std::vector<std::string> notes;  // the buttons that could not be exported, and why
    std::string error;               // when not ok
};
// A built-in row ("80") or a process name ("vlc.exe"): the file in force for it, else the
// built-in row, as profile file text. Letter entry, clicks and timed keys stay with the
// built-in row; the notes say which buttons those are.
ProfileExport ExportProfile(const std::string& rowOrProcess);

// `text` (UTF-8) as a TOML basic string, as the program writes names, processes and
// titles into files: quotes, backslashes and control characters escaped.
std::string TomlQuoted(const std::string& text);

constexpr size_t kMaxProfileBytes = 256 * 1024;

// The files that could not be used, as last recorded: InstallProfiles records its own;
// whoever reads the folders records those with the files it could not read as well.
void RecordProfileProblems(std::vector<ProfileProblem> problems);
std::vector<ProfileProblem> ProfileProblemsInForce();

// ---- Teaching a button.

struct TaughtText {
    bool ok = false;
    std::string text;   // the whole file with the change
    std::string error;  // why the file was left as it was
};
// The file with one button of its [buttons] set to `action`, written as a file writes a
// value ("\"Ctrl+P\"", "{ app_command = \"MEDIA_PLAY\" }", "\"none\""), every other byte
// kept: comments, order, the other buttons, the line's own comment. The change is read
// back before it is given: a file that would mean anything else besides is left alone.
TaughtText TeachButtonInText(const ProfileText& file, int32_t button, const std::string& action);

// ---- For the settings window's list of programs.

enum class ProgramSource { User, Shipped, BuiltIn };
struct KnownProgram {
    ProgramSource source = ProgramSource::BuiltIn;
    std::string name;      // "mpv"; a built-in row: its program's file, or its windows
    std::string process;   // "mpv.exe"; "" for a row that knows its program by the window alone
    std::string fileName;  // a profile file's, e.g. "mpv.toml"
    int row = 0;           // a built-in row's number
};
// The user's files and the shipped files in force, then the built-in rows in their order.
std::vector<KnownProgram> KnownPrograms();

// What a button does in one program and which layer says so.
struct ButtonUse {
    enum Kind : uint8_t {
        Layer,    // a profile file or the built-in row: `action`, from `from`
        Global,   // a global button (volume, mute, power, macro) no file takes over
        Default,  // no layer names it: the button's default key, if it has one
    };
    Kind kind = Default;
    std::string action;
    std::string from;  // "user profile mpv.toml:7", "built-in row 80"
};
// For each button, from the top: the user's file for the program's process, the shipped
// file, the built-in row for that process. The program's own file is always one of them.
std::vector<ButtonUse> ButtonsOf(const KnownProgram& program);

// ---- For the dispatcher and the catalogue's questions.

// The files in force, shared by a press from its start to its end; null when no file is.
struct ProfileSet;
using ProfileSnapshot = std::shared_ptr<const ProfileSet>;

// ---- For the help, which writes a page per file from what the loader read.

// A file in force as written: its matches in the case the file gives them.
struct ProfileOutline {
    struct Match {
        std::string process, title, className;  // "" where the match does not ask
    };
    ProfileLayer layer = ProfileLayer::User;
    std::string fileName, name, text;
    std::vector<Match> matches;
    std::vector<int32_t> pressed, held;  // the buttons it decides when pressed, and held
    int holdMs = 0;
    std::vector<std::string> messageClasses;  // the classes its window messages go to
};
// The user's files, then the shipped ones, each layer in file-name order.
std::vector<ProfileOutline> OutlineProfiles(const ProfileSnapshot& profiles);

// ---- For the dispatcher and the catalogue's questions.

ProfileSnapshot ProfilesInForce();

enum class ProfileAnswer {
    NoFile,       // no file matches the window in front
    Handled,      // a file took the button
    FellThrough,  // files match, but none names the button: the next layer decides
};
// The user's file, then the shipped file, for the window in front.
ProfileAnswer RunProfileButton(const ProfileSnapshot& profiles, int32_t button);
// A global button (volume, mute, macro) that a file for the window in front takes with
// `takes_global`; Handled only when it did.
ProfileAnswer RunProfileGlobalButton(const ProfileSnapshot& profiles, int32_t button);
// The program in front, or the window, is one a file describes: "user profile mpv.toml"
// ("" when none).
std::string ProfileForForeground();
std::string ProfileForWindow(WindowHandle window);
// The program a file describes by the process that owns the window: a packaged app's
// frame (ApplicationFrameHost.exe) stands for the app whose window it hosts.
std::string ProfileProcessOfWindow(WindowHandle window);

// A button that the file deciding it gives a [hold] action waits for the press to end:
// held for the file's hold_ms, the hold action runs; let go sooner, the button's own.
// The reader thread hands every frame of a matched button here first: true when a
// waiting press took the frame (nothing else is to happen with it). A new press, or
// another button, ends the wait first.
bool ProfileHoldFrame(int32_t button, bool newPress);
// The main window's timer (kProfileHoldTimer) while a press waits: a press whose frames
// stopped coming has ended.
void ProfileHoldTimer();
constexpr uint32_t kProfileHoldPollMs = 10;  // the shortest period a timer has
// No frame for this long: the button was let go. A held button sends a frame every
// 114 ms, but the reader polls (a read slice, then a 100 ms pause), so the engine sees
// them up to a read cycle late: bench/release_gap_bench measured gaps of 100 to 204 ms
// between the frames of one held press. 300 ms leaves room for Windows' coarser sleeps
// (a 100 ms pause may last 115) and a busy machine.
constexpr uint32_t kProfileHoldReleaseMs = 300;
// Universal remotes send 3 or 4 frames for a tap: a press of this many frames or fewer is
// never a hold.
constexpr int32_t kHoldShortestTapFrames = 4;
