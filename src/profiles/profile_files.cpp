// Which file decides a press, and what its actions do.
#include "profiles/profile_files.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "desktop/input.h"
#include "desktop/window_queries.h"
#include "platform/ports.h"
#include "platform/vk.h"
#include "profiles/catalogue.h"
#include "profiles/handler_memory.h"
#include "profiles/profile_model.h"
#include "receiver/receiver.h"
#include "receiver/remote_button.h"
#include "state/messages.h"
#include "state/key_names.h"
#include "state/trace.h"

namespace {

using namespace profile_model;

constexpr const char* kFrameHost = "applicationframehost.exe";
constexpr const char* kHostedAppClass = "Windows.UI.Core.CoreWindow";

// The set in force. A press copies the pointer under the lock and keeps its set to its
// end; a load swaps in the next whole. (A plain lock rather than the standard atomic
// shared pointer, whose lock bit the thread sanitizer cannot follow.)
struct Switch {
    std::mutex lock;
    std::shared_ptr<const ProfileSet> set;  // guarded by lock
    std::atomic<bool> any{false};
    std::atomic<bool> elevated{false};
    std::shared_ptr<const std::vector<ProfileProblem>> problems;  // guarded by lock
};
Switch g_profiles;

// The facts of one window that the matches ask about, each read once.
class WindowView {
public:
    explicit WindowView(WindowHandle window) : window_(window) {}
    const std::string& Process() {
        if (!processRead_) {
            processRead_ = true;
            process_ = Lower(ProfileProcessOfWindow(window_));
        }
        return process_;
    }
    const std::string& Title() {
        if (!titleRead_) {
            titleRead_ = true;
            Desktop* desktop = Os().desktop;
            if (desktop != nullptr && window_ != 0 && desktop->WindowText(window_, 0, title_)) {
                title_ = Lower(title_);
            } else {
                title_.clear();
            }
        }
        return title_;
    }
    const std::string& Class() {
        if (!classRead_) {
            classRead_ = true;
            Desktop* desktop = Os().desktop;
            className_ = desktop == nullptr || window_ == 0
                             ? std::string()
                             : Lower(desktop->ClassName(window_, kClassBufferChars));
        }
        return className_;
    }

private:
    WindowHandle window_;
    bool processRead_ = false, titleRead_ = false, classRead_ = false;
    std::string process_, title_, className_;
};

bool Holds(const ProfileMatch& match, WindowView& view) {
    if (!match.title.empty() && view.Title().find(match.title) == std::string::npos) return false;
    if (!match.className.empty() && view.Class() != match.className) return false;
    return true;
}

// The file of one layer that decides for the window, and another as specific, if any.
struct LayerChoice {
    const ProfileFile* file = nullptr;
    const ProfileFile* alsoMatched = nullptr;
};

// The more specific match ranks higher; between those, the longer title text (a site's
// "- YouTube" over the "Netflix" a video's name happens to contain).
std::pair<int, int> Rank(const ProfileMatch& match) {
    return {match.specificity, match.titleChars};
}

LayerChoice Choose(const ProfileSet& set, ProfileLayer layer, WindowView& view) {
    LayerChoice choice;
    const auto& index = set.byProcess[layer == ProfileLayer::User ? 0 : 1];
    if (index.empty() || view.Process().empty()) return choice;
    const auto found = index.find(view.Process());
    if (found == index.end()) return choice;
    const auto& files = layer == ProfileLayer::User ? set.user : set.shipped;
    std::pair<int, int> best{0, 0};
    // The candidates are in file-name order: the first of equals wins.
    for (const ProfileSet::Candidate& c : found->second) {
        const ProfileFile& file = files[c.file];
        const ProfileMatch& match = file.matches[c.match];
        const std::pair<int, int> rank = Rank(match);
        if (rank < best) continue;
        if (!Holds(match, view)) continue;
        if (&file == choice.file) {
            // The same file by a better table of its own: the one it tied with is behind now.
            if (rank > best) best = rank, choice.alsoMatched = nullptr;
        } else if (rank > best) {
            best = rank;
            choice.file = &file;
            choice.alsoMatched = nullptr;
        } else if (choice.alsoMatched == nullptr) {
            choice.alsoMatched = &file;
        }
    }
    return choice;
}

WindowHandle ForegroundHandle() {
    Desktop* desktop = Os().desktop;
    return desktop == nullptr ? 0 : desktop->ForegroundWindow();
}

std::string Where(const ProfileFile& file, int line) {
    std::string text = std::string(LayerWord(file.layer)) + " profile " + file.fileName;
    if (line > 0) text += ":" + std::to_string(line);
    return text;
}

std::string Named(const ProfileFile& file, int line) {
    return Where(file, line) + " \"" + file.name + "\"";
}

// A step where the file decided the press: the display names the file's program.
TraceFact Decided(const ProfileFile& file, std::string text) {
    TraceFact fact(TraceKind::Profile, std::move(text));
    fact.shownName = file.name;
    return fact;
}

void RunStep(const ProfileStep& step, const ProfileFile& file) {
    Desktop* desktop = Os().desktop;
    switch (step.kind) {
        case ProfileStep::Keys: {
            const ProfileChord& c = step.chord;
            SendChord(c.key, c.ctrl, c.alt, c.shift, c.win, c.scanCodes);
            return;
        }
        case ProfileStep::AppCommand: {
            if (desktop == nullptr) return;
            const WindowHandle front = desktop->ForegroundWindow();
            const LParam lParam = static_cast<LParam>(static_cast<uint32_t>(step.appCommand) << 16);
            const bool ok = desktop->Post(front, wm::APPCOMMAND, front, lParam);
            TraceMessage(MessageRole::Handler, false, front, wm::APPCOMMAND, front, lParam, ok);
            return;
        }
        case ProfileStep::Message: {
            if (desktop == nullptr) return;
            // Posted, never sent: a program that stops answering cannot hold the remote.
            const WindowHandle target =
                step.text.empty() ? desktop->ForegroundWindow() : FindWindowByClass(step.text);
            if (target == 0) {
                TraceAction([&] { return "no window of class " + step.text + " for the message"; });
                return;
            }
            const bool ok = desktop->Post(target, step.message, step.wParam, step.lParam);
            TraceMessage(MessageRole::Handler, false, target, step.message, step.wParam, step.lParam, ok);
            return;
        }
        case ProfileStep::Open: {
            // The loader keeps `open` out of shipped files; checked again here, where it acts.
            if (file.layer != ProfileLayer::User) return;
            if (g_profiles.elevated.load()) {
                TraceAction([&] {
                    return "open " + step.text + " refused: the program runs as administrator";
                });
                return;
            }
            Shell* shell = Os().shell;
            const intptr_t result =
                shell == nullptr ? 0 : shell->Execute(0, "open", step.text, "", "", kSwShowNormal);
            TraceAction([&] {
                return "open " + step.text +
                       (result > 32 ? std::string() : " (failed, " + std::to_string(result) + ")");
            });
            return;
        }
    }
}

void RunAction(const ProfileAction& action, const ProfileFile& file) {
    for (const ProfileStep& step : action.steps) RunStep(step, file);
}

const ProfileAction* ActionFor(const ProfileFile* file, int32_t button) {
    if (file == nullptr || button < 0 || button >= kButtonCount) return nullptr;
    const std::optional<ProfileAction>& action = file->press[static_cast<size_t>(button)];
    return action ? &*action : nullptr;
}

bool Decides(const ProfileAction* action) {
    return action != nullptr && action->kind != ProfileAction::Default;
}

const ProfileAction* HoldActionFor(const ProfileFile* file, int32_t button) {
    if (file == nullptr || button < 0 || button >= kButtonCount) return nullptr;
    const std::optional<ProfileAction>& action = file->hold[static_cast<size_t>(button)];
    return Decides(action ? &*action : nullptr) ? &*action : nullptr;
}

}  // namespace

struct ProfileHoldWait {
    ProfileSnapshot set;  // keeps the file of the press in memory until it has ended
    const ProfileFile* file = nullptr;
    int32_t button = -1;
    const ProfileAction* tap = nullptr;  // null: the next layer took the press already
    const ProfileAction* hold = nullptr;
    uint32_t start = 0;
    uint32_t lastSeen = 0;
    int32_t frames = 1;
    uint32_t sleeps = 0;  // the receiver's count of suspends and resumes at the start
    bool held = false;
};

namespace {

void StopHoldTimer() {
    if (UserInterface* ui = Os().ui) (void)ui->KillTimer(MainWindowHandle(), kProfileHoldTimer);
}

// The timer comes back when the press may have ended: the release gap after its last frame.
void ArmHoldTimerLocked(const ProfileHoldWait& wait, uint32_t now) {
    UserInterface* ui = Os().ui;
    if (ui == nullptr) return;
    const uint32_t sinceSeen = now - wait.lastSeen;
    const uint32_t next =
        sinceSeen > kProfileHoldReleaseMs ? 0 : kProfileHoldReleaseMs + 1 - sinceSeen;
    (void)ui->SetTimer(MainWindowHandle(), kProfileHoldTimer, std::max(next, kProfileHoldPollMs));
}

// A press that went to sleep with the computer is over, and nothing of it runs after the
// wake.
bool SleptLocked(const ProfileHoldWait& wait) { return TheReceiver().sleeps.load() != wait.sleeps; }

// With the hold lock held, for a frame of the press: the hold action, once the press has
// lasted hold_ms. Only a frame shows that the press still goes on (the reader delivers
// frames up to a read cycle late, so a timer could not tell a long press from a tap that
// ended just before it), and a tap of up to kHoldShortestTapFrames frames never holds,
// however late the reader saw its frames.
void HoldIfDueLocked(ProfileHoldWait& wait, uint32_t now) {
    const uint32_t lasted = now - wait.start;
    if (wait.held || wait.frames <= kHoldShortestTapFrames ||
        lasted < static_cast<uint32_t>(wait.file->holdMs))
        return;
    wait.held = true;
    TraceStep([&] {
        TraceFact fact = Decided(
            *wait.file, Named(*wait.file, wait.hold->line) + " " + RemoteButtonName(wait.button) +
                            " held: hold action after " + std::to_string(lasted) + " ms");
        // The display says how long it took.
        fact.number = static_cast<int32_t>(std::max<uint32_t>(lasted, 1));
        fact.flag = true;
        return fact;
    });
    RunAction(*wait.hold, *wait.file);
}

// With the hold lock held: the press has ended; a press let go before hold_ms does what
// the button does. On a frame of the next press the trace of that code says so; on the
// main window's timer, a line of its own.
void EndWaitLocked(std::shared_ptr<ProfileHoldWait>& slot, bool onTimer = false) {
    const std::shared_ptr<ProfileHoldWait> wait = std::move(slot);
    slot.reset();
    StopHoldTimer();
    if (wait == nullptr || wait->held || wait->tap == nullptr) return;
    if (SleptLocked(*wait)) {
        TraceStep([&] {
            return RemoteButtonName(wait->button) + std::string(" before the sleep: forgotten");
        });
        return;
    }
    const uint32_t lasted = TickNow() - wait->start;
    const std::string text = Named(*wait->file, wait->tap->line) + " " +
                             RemoteButtonName(wait->button) + " let go: press action after " +
                             std::to_string(lasted) + " ms";
    {
        // The press gets a record for the display of its own: the timer's, or on a frame of
        // the next press one inside that code's (whose line still lists the actions), so
        // that no panel names the next button for this one's action. The display says
        // which button it was and how long the press took.
        std::optional<TimerTrace> own;
        if (!onTimer) own.emplace();
        TraceTimerButton(wait->button);
        TraceStep([&] {
            TraceFact fact = Decided(*wait->file, text);
            fact.number = static_cast<int32_t>(std::max<uint32_t>(lasted, 1));
            return fact;
        });
        RunAction(*wait->tap, *wait->file);
    }
    // The lines: the timer's in one of their own, the next press's code in a step.
    if (onTimer) {
        TraceTimedNote(text, "timer");
    } else {
        TraceStep([&] { return text; });
    }
}

// The press waits for its end; tap null when the next layer has taken it already.
void StartWait(const ProfileSnapshot& set, const ProfileFile& file, int32_t button,
               const ProfileAction* tap, const ProfileAction* hold) {
    auto wait = std::make_shared<ProfileHoldWait>();
    wait->set = set;
    wait->file = &file;
    wait->button = button;
    wait->tap = tap;
    wait->hold = hold;
    wait->start = wait->lastSeen = TickNow();
    wait->sleeps = TheReceiver().sleeps.load();
    HandlerMemory& memory = HandlerMemoryInUse();
    std::lock_guard<std::mutex> lock(memory.holdLock);
    EndWaitLocked(memory.holdWait);
    memory.holdWait = std::move(wait);
    ArmHoldTimerLocked(*memory.holdWait, memory.holdWait->start);
}

// The user's file decides before the shipped one; each traces what it did with the button.
ProfileAnswer Resolve(const ProfileSnapshot& snapshot, int32_t button, bool global) {
    const ProfileSet& set = *snapshot;
    WindowView view(ForegroundHandle());
    const LayerChoice user = Choose(set, ProfileLayer::User, view);
    const LayerChoice shipped = Choose(set, ProfileLayer::Shipped, view);
    if (user.file == nullptr && shipped.file == nullptr) return ProfileAnswer::NoFile;
    const uint64_t bit = uint64_t{1} << button;
    const ProfileFile* holdFile = nullptr;
    for (const LayerChoice* choice : {&user, &shipped}) {
        if (holdFile == nullptr && HoldActionFor(choice->file, button) != nullptr)
            holdFile = choice->file;
    }
    for (const LayerChoice* choice : {&user, &shipped}) {
        const ProfileFile* file = choice->file;
        if (file == nullptr) continue;
        if (global && (file->takesGlobal & bit) == 0) continue;
        const ProfileAction* action = ActionFor(file, button);
        if (!Decides(action)) {
            if (!global) {
                TraceStep([&] {
                    return Named(*file, action != nullptr ? action->line : 0) + " leaves " +
                           RemoteButtonName(button);
                });
            }
            continue;
        }
        TraceStep([&] {
            std::string text = Named(*file, action->line);
            if (global) text += std::string(" takes global button ") + RemoteButtonName(button);
            if (choice == &user && Decides(ActionFor(shipped.file, button))) {
                text += " (shadows " + Where(*shipped.file, ActionFor(shipped.file, button)->line) + ")";
            } else if (!global) {
                if (const int row = ForegroundCatalogueRow(); row > 0)
                    text += " (shadows row " + std::to_string(row) + ")";
            }
            if (choice->alsoMatched != nullptr)
                text += " (also matched " + choice->alsoMatched->fileName + ")";
            const bool waits = HoldActionFor(file, button) != nullptr && !global;
            if (waits) text += ", waits to see whether it is held";
            TraceFact fact = Decided(*file, std::move(text));
            if (waits) fact.number = -1;
            return fact;
        });
        if (const ProfileAction* hold = HoldActionFor(file, button); hold != nullptr && !global) {
            StartWait(snapshot, *file, button, action, hold);
            return ProfileAnswer::Handled;
        }
        RunAction(*action, *file);
        return ProfileAnswer::Handled;
    }
    if (global) return ProfileAnswer::NoFile;
    // No file decides the button itself: the next layer takes the press now, and the
    // file's hold action still follows if the press lasts.
    if (holdFile != nullptr) StartWait(snapshot, *holdFile, button, nullptr, HoldActionFor(holdFile, button));
    return ProfileAnswer::FellThrough;
}

std::string Describes(const ProfileSet* set, WindowHandle window) {
    if (set == nullptr) return std::string();
    WindowView view(window);
    for (const ProfileLayer layer : {ProfileLayer::User, ProfileLayer::Shipped}) {
        if (const LayerChoice c = Choose(*set, layer, view); c.file != nullptr)
            return Where(*c.file, 0);
    }
    return std::string();
}

}  // namespace

std::string ProfileProblem::Describe() const {
    std::string text = std::string(LayerWord(layer)) + " profile " + fileName;
    if (line > 0) text += ":" + std::to_string(line);
    return text + ": " + message;
}

std::vector<ProfileProblem> InstallProfiles(std::vector<ProfileText> user,
                                            std::vector<ProfileText> shipped) {
    std::vector<ProfileProblem> problems;
    auto set = std::make_shared<ProfileSet>();
    ReadProfileLayer(ProfileLayer::User, user, set->user, problems);
    ReadProfileLayer(ProfileLayer::Shipped, shipped, set->shipped, problems);
    RecordProfileProblems(problems);
    for (int layer = 0; layer < 2; ++layer) {
        const auto& files = layer == 0 ? set->user : set->shipped;
        for (uint32_t f = 0; f < files.size(); ++f) {
            for (uint32_t m = 0; m < files[f].matches.size(); ++m)
                set->byProcess[layer][files[f].matches[m].process].push_back({f, m});
        }
    }
    const bool any = !set->user.empty() || !set->shipped.empty();
    std::shared_ptr<const ProfileSet> next;
    if (any) next = std::move(set);
    {
        std::lock_guard<std::mutex> hold(g_profiles.lock);
        g_profiles.set.swap(next);
        g_profiles.any.store(any);
    }
    // The set before is freed here, outside the lock, unless a press still holds it.
    return problems;
}

void SetProfilesElevated(bool elevated) { g_profiles.elevated.store(elevated); }

void RecordProfileProblems(std::vector<ProfileProblem> problems) {
    auto next = std::make_shared<const std::vector<ProfileProblem>>(std::move(problems));
    std::lock_guard<std::mutex> hold(g_profiles.lock);
    g_profiles.problems.swap(next);
}

std::vector<ProfileProblem> ProfileProblemsInForce() {
    std::shared_ptr<const std::vector<ProfileProblem>> problems;
    {
        std::lock_guard<std::mutex> hold(g_profiles.lock);
        problems = g_profiles.problems;
    }
    return problems == nullptr ? std::vector<ProfileProblem>() : *problems;
}

namespace profile_model {

std::string DescribeChord(const ProfileChord& c) {
    std::string text;
    if (c.ctrl) text += "Ctrl+";
    if (c.alt) text += "Alt+";
    if (c.shift) text += "Shift+";
    if (c.win) text += "Win+";
    const std::string key = FileKeyName(c.key);
    text += key.empty() ? KeyName(c.key) : key;
    return c.scanCodes ? text + " (scan codes)" : text;
}

std::string DescribeAction(const ProfileAction& action) {
    if (action.kind == ProfileAction::Nothing) return "nothing";
    if (action.kind == ProfileAction::Default) return "default";
    std::string text;
    for (const ProfileStep& step : action.steps) {
        if (!text.empty()) text += ", ";
        switch (step.kind) {
            case ProfileStep::Keys: text += DescribeChord(step.chord); break;
            case ProfileStep::AppCommand: {
                const char* name = AppCommandNameOf(step.appCommand);
                text += "app command " +
                        (name != nullptr ? std::string(name) : std::to_string(step.appCommand));
                break;
            }
            case ProfileStep::Message: {
                char number[16];
                std::snprintf(number, sizeof(number), "0x%X", static_cast<unsigned>(step.message));
                text += std::string("message ") + number + " (" + std::to_string(step.wParam) +
                        ", " + std::to_string(step.lParam) + ") to " +
                        (step.text.empty() ? std::string("the window in front") : step.text);
                break;
            }
            case ProfileStep::Open: text += "open " + step.text; break;
        }
    }
    return text;
}

std::string WhereInFile(const ProfileFile& file, int line) { return Where(file, line); }

}  // namespace profile_model
bool ProfilesElevated() { return g_profiles.elevated.load(); }

ProfileSnapshot ProfilesInForce() {
    // Without files, a press pays one relaxed load here.
    if (!g_profiles.any.load(std::memory_order_relaxed)) return nullptr;
    std::lock_guard<std::mutex> hold(g_profiles.lock);
    return g_profiles.set;
}

ProfileAnswer RunProfileButton(const ProfileSnapshot& profiles, int32_t button) {
    if (profiles == nullptr || button < 0 || button >= kButtonCount) return ProfileAnswer::NoFile;
    return Resolve(profiles, button, false);
}

ProfileAnswer RunProfileGlobalButton(const ProfileSnapshot& profiles, int32_t button) {
    if (profiles == nullptr || button <= Power || button >= kButtonCount)
        return ProfileAnswer::NoFile;
    return Resolve(profiles, button, true);
}

std::vector<ProfileOutline> OutlineProfiles(const ProfileSnapshot& profiles) {
    std::vector<ProfileOutline> out;
    if (profiles == nullptr) return out;
    for (const auto* files : {&profiles->user, &profiles->shipped}) {
        for (const ProfileFile& file : *files) {
            ProfileOutline o;
            o.layer = file.layer;
            o.fileName = file.fileName;
            o.name = file.name;
            o.text = file.text;
            o.holdMs = file.holdMs;
            for (const ProfileMatch& m : file.matches) o.matches.push_back(m.written);
            for (int32_t b = 0; b < kButtonCount; ++b) {
                if (Decides(ActionFor(&file, b))) o.pressed.push_back(b);
                if (HoldActionFor(&file, b) != nullptr) o.held.push_back(b);
                for (const auto* action : {ActionFor(&file, b), HoldActionFor(&file, b)}) {
                    if (action == nullptr) continue;
                    for (const ProfileStep& step : action->steps) {
                        if (step.kind == ProfileStep::Message && !step.text.empty() &&
                            std::find(o.messageClasses.begin(), o.messageClasses.end(),
                                      step.text) == o.messageClasses.end())
                            o.messageClasses.push_back(step.text);
                    }
                }
            }
            out.push_back(std::move(o));
        }
    }
    return out;
}

std::string ProfileForForeground() {
    const ProfileSnapshot set = ProfilesInForce();
    return Describes(set.get(), ForegroundHandle());
}

std::string ProfileForWindow(WindowHandle window) {
    const ProfileSnapshot set = ProfilesInForce();
    return Describes(set.get(), window);
}

std::string ProfileProcessOfWindow(WindowHandle window) {
    std::string process = ProcessNameOfWindow(window);
    Desktop* desktop = Os().desktop;
    if (desktop == nullptr || !SameIgnoringCase(process, kFrameHost)) return process;
    // A packaged app's window is a frame the host process owns; the app's own process owns
    // the core window inside it.
    const ProcessId host = desktop->WindowProcess(window);
    for (WindowHandle child = desktop->FirstChild(window); child != 0;
         child = desktop->NextSibling(child)) {
        if (desktop->WindowProcess(child) == host) continue;
        if (desktop->ClassName(child, kClassBufferChars) != kHostedAppClass) continue;
        if (std::string app = ProcessNameOfWindow(child); !app.empty()) return app;
    }
    return process;
}

bool ProfileHoldFrame(int32_t button, bool newPress) {
    HandlerMemory& memory = HandlerMemoryInUse();
    std::lock_guard<std::mutex> lock(memory.holdLock);
    if (memory.holdWait == nullptr) return false;
    if (newPress || memory.holdWait->button != button || SleptLocked(*memory.holdWait)) {
        EndWaitLocked(memory.holdWait);
        return false;
    }
    ProfileHoldWait& wait = *memory.holdWait;
    const uint32_t now = TickNow();
    wait.lastSeen = now;
    ++wait.frames;
    const bool heldBefore = wait.held;
    HoldIfDueLocked(wait, now);
    if (wait.held == heldBefore) {
        TraceStep([&] { return Named(*wait.file, 0) + " waits for the press to end"; });
    }
    ArmHoldTimerLocked(wait, now);
    return true;
}

void ProfileHoldTimer() {
    HandlerMemory& memory = HandlerMemoryInUse();
    std::lock_guard<std::mutex> lock(memory.holdLock);
    if (memory.holdWait == nullptr) {
        StopHoldTimer();
        return;
    }
    const uint32_t now = TickNow();
    if (now - memory.holdWait->lastSeen > kProfileHoldReleaseMs || SleptLocked(*memory.holdWait)) {
        EndWaitLocked(memory.holdWait, true);
        return;
    }
    ArmHoldTimerLocked(*memory.holdWait, now);
}
