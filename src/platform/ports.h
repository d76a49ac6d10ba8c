// The operating-system services the portable code uses, one small abstract class per
// concern. A port states what the system does; the policy lives in the core.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

class Port {
public:
    Port() = default;
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;
    virtual ~Port() = default;
};

// The 32-bit millisecond tick count and sleeping.
class Clock : public Port {
public:
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t ms) = 0;
};

// One synthetic input event, as SendInput takes it.
struct InputEvent {
    enum Kind : uint32_t { Keyboard = 1, Mouse = 0 };
    Kind kind = Keyboard;
    uint16_t virtualKey = 0;  // keyboard
    uint16_t scanCode = 0;    // keyboard
    uint32_t flags = 0;       // KEYEVENTF_* or MOUSEEVENTF_*
    bool operator==(const InputEvent& o) const {
        return kind == o.kind && virtualKey == o.virtualKey && scanCode == o.scanCode &&
               flags == o.flags;
    }
};

// Inserts one batch of events into the input stream in a single call.
class InputInjector : public Port {
public:
    // Returns how many events the system inserted.
    virtual uint32_t Inject(const std::vector<InputEvent>& batch) = 0;
};

// Windows: the foreground, enumeration, facts about one window, messages, activation,
// the cursor and the screen.
class Desktop : public Port {
public:
    virtual WindowHandle ForegroundWindow() = 0;
    virtual WindowHandle DesktopWindow() = 0;
    // GetWindowText with a buffer of bufferChars characters (terminator included);
    // 0 reads the whole title. False when the window does not exist.
    virtual bool WindowText(WindowHandle w, size_t bufferChars, std::string& out) = 0;
    // GetClassName with a buffer of bufferChars characters; "" on failure.
    virtual std::string ClassName(WindowHandle w, size_t bufferChars) = 0;
    virtual ProcessId WindowProcess(WindowHandle w) = 0;  // 0 when none
    virtual ThreadId WindowThread(WindowHandle w) = 0;    // 0 when none
    virtual uint32_t WindowStyle(WindowHandle w) = 0;     // GWL_STYLE
    virtual bool IsVisible(WindowHandle w) = 0;           // IsWindowVisible
    virtual bool WindowRect(WindowHandle w, Rect& out) = 0;
    virtual bool WindowExists(WindowHandle w) = 0;
    // Top-level windows in the system's order (topmost first).
    virtual std::vector<WindowHandle> TopLevelWindows() = 0;
    // All descendants, in EnumChildWindows order.
    virtual std::vector<WindowHandle> Descendants(WindowHandle parent) = 0;
    virtual WindowHandle FirstChild(WindowHandle parent) = 0;
    virtual WindowHandle NextSibling(WindowHandle w) = 0;
    // FindWindow(className, NULL): a top-level window of the class, or 0.
    virtual WindowHandle FindTopLevelByClass(const std::string& className) = 0;
    // The windows of a named desktop (OpenDesktop with access, EnumDesktopWindows);
    // nullopt when the desktop cannot be opened.
    virtual std::optional<std::vector<WindowHandle>> DesktopWindows(const std::string& name,
                                                                     uint32_t access) = 0;

    virtual bool Post(WindowHandle w, MessageId m, WParam wp, LParam lp) = 0;
    virtual bool PostToThread(ThreadId t, MessageId m, WParam wp, LParam lp) = 0;
    virtual LResult Send(WindowHandle w, MessageId m, WParam wp, LParam lp) = 0;
    // SendMessageTimeout with SMTO_ABORTIFHUNG: false when the target is hung, the
    // time ran out or the window is gone.
    virtual bool SendAbortIfHung(WindowHandle w, MessageId m, WParam wp, LParam lp,
                                        uint32_t timeoutMs, LResult* result) = 0;
    virtual MessageId RegisterMessage(const std::string& name) = 0;

    virtual ThreadId CurrentThread() = 0;
    virtual bool AttachThreadInput(ThreadId from, ThreadId to, bool attach) = 0;
    virtual bool SetForegroundWindow(WindowHandle w) = 0;
    virtual bool ShowWindow(WindowHandle w, int32_t command) = 0;
    virtual WindowHandle SetFocus(WindowHandle w) = 0;

    virtual Point CursorPos() = 0;
    virtual bool SetCursorPos(int32_t x, int32_t y) = 0;
    // Width and height of the primary screen (SM_CXSCREEN, SM_CYSCREEN).
    virtual Point ScreenSize() = 0;

    // Lower-cases text by the ANSI code page's rules (CharLowerBuffA).
    virtual std::string LowerCase(const std::string& text) = 0;
    // Text in the ANSI code page, as the calls above give titles, classes and process
    // names, in UTF-8.
    virtual std::string AnsiToUtf8(const std::string& text) = 0;
};

struct ProcessEntry {
    ProcessId pid = 0;
    std::string exeFile;  // as the process list reports it
};

// How a process stands to this one: synthetic input from a program at a lower integrity
// level does not reach a program running as administrator.
enum class Elevation { NotElevated, Elevated, AccessDenied, Unknown };

// Tool Help snapshots, the cheap per-process image-name lookup, termination.
class ProcessList : public Port {
public:
    // A snapshot of all processes, in the system's order; false when none can be taken.
    virtual bool Snapshot(std::vector<ProcessEntry>& out) = 0;
    // The image file name of one process without walking the list
    // (QueryFullProcessImageName); false where the system cannot answer.
    virtual bool ImageName(ProcessId pid, std::string& out) = 0;
    // OpenProcess with full access and TerminateProcess.
    virtual bool Terminate(ProcessId pid, uint32_t exitCode) = 0;
    // This process's own id (GetCurrentProcessId).
    virtual ProcessId CurrentProcess() = 0;
    // Elevated: the process runs at a higher integrity level than this one (its token);
    // AccessDenied: it or its token cannot be opened for a query.
    virtual Elevation ProcessElevation(ProcessId pid) = 0;
    // When the process started (GetProcessTimes, 100 ns units); 0 when it cannot be read.
    virtual uint64_t ProcessStartTime(ProcessId pid) = 0;
};

// Version, power management and display power saving.
class SystemPower : public Port {
public:
    virtual OsVersion Version() = 0;
    // Opens the process token and enables one privilege; false on any failure.
    virtual bool EnablePrivilege(const std::string& name) = 0;
    // SetSystemPowerState(suspend, force): returns after the computer woke up.
    virtual bool SetSystemPowerState(bool suspend, bool force) = 0;
    virtual bool ExitSystem(uint32_t flags) = 0;
    virtual bool LowPowerActive() = 0;  // SPI_GETLOWPOWERACTIVE
    virtual bool PowerOffActive() = 0;  // SPI_GETPOWEROFFACTIVE
    virtual void SetDisplayRequired() = 0;  // SetThreadExecutionState(ES_DISPLAY_REQUIRED)
};

enum class Hive { CurrentUser, LocalMachine };

constexpr uint32_t kRegNone = 0, kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4,
                   kRegMultiSz = 7;

enum class RegStatus { Ok, Missing, MoreData, Error };

// An open registry key. Names are ASCII; the data of text values (REG_SZ,
// REG_EXPAND_SZ, REG_MULTI_SZ) is UTF-8 here, terminators included, whatever the
// system stores it as; other types are the bytes as stored.
class RegistryKey : public Port {
public:
    // RegQueryValueEx with a buffer of bufferBytes bytes (of the data as handed out):
    // the type and the bytes read.
    virtual RegStatus Query(const std::string& name, size_t bufferBytes, uint32_t& type,
                            std::vector<uint8_t>& data) = 0;
    // RegQueryValueEx of the whole value, however long it is.
    virtual RegStatus QueryAll(const std::string& name, uint32_t& type,
                               std::vector<uint8_t>& data) = 0;
    virtual bool Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) = 0;
};

class Registry : public Port {
public:
    // RegCreateKeyEx when create is set (missing keys are made), RegOpenKeyEx otherwise;
    // access is the KEY_* mask. Null when the key cannot be opened.
    virtual std::unique_ptr<RegistryKey> Open(Hive hive, const std::string& path, uint32_t access,
                                              bool create) = 0;
};
constexpr uint32_t kKeyRead = 0x20019, kKeyWrite = 0x20006;

// ShellExecute and the running program's own path. Every text is UTF-8, so a path in
// any script goes through whole.
class Shell : public Port {
public:
    virtual intptr_t Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& directory,
                             int32_t show) = 0;
    // The full path of the running executable.
    virtual std::string ModulePath() = 0;
};

// A TCP connection attempt (Winsock).
class Network : public Port {
public:
    virtual bool TcpConnect(const std::string& host, uint16_t port) = 0;
};

constexpr uint32_t kMbOk = 0x0, kMbYesNo = 0x4, kMbIconHand = 0x10, kMbIconExclamation = 0x30,
                   kMbIconInformation = 0x40, kMbIconWarning = 0x30;
constexpr int32_t kIdOk = 1, kIdYes = 6, kIdNo = 7;

struct UnsupportedAnswer {
    bool closedWithOk = false;
    bool dontShowAgain = false;  // the check box, read back only on OK
};

// Message boxes, the program's own dialogs shown from other threads, and the
// main window's timers.
class UserInterface : public Port {
public:
    virtual int32_t ShowMessageBox(WindowHandle owner, const std::string& text,
                               const std::string& caption, uint32_t flags) = 0;
    // The unsupported-program warning, modal, no owner.
    virtual UnsupportedAnswer ShowUnsupportedDialog(const std::string& message) = 0;
    // Closes the warning if one is open now, as if cancelled; from any thread.
    virtual void CloseUnsupportedDialog() = 0;
    // SetTimer / KillTimer on a window.
    virtual bool SetTimer(WindowHandle w, uintptr_t id, uint32_t ms) = 0;
    virtual bool KillTimer(WindowHandle w, uintptr_t id) = 0;
    // Waits ms while answering the messages other threads send to this thread's windows
    // (a message box that another thread shows over one of them needs its owner to answer).
    virtual void WaitServingSentMessages(uint32_t ms) = 0;
};

// Shell_NotifyIcon.
struct NotifyIconData {
    WindowHandle window = 0;
    uint32_t id = 0;
    uint32_t flags = 0;  // NIF_MESSAGE 1 | NIF_ICON 2 | NIF_TIP 4
    MessageId callbackMessage = 0;
    int32_t iconResource = 0;
    std::string tip;
    // With kNifInfo: a balloon over the icon (title up to 63 characters, text up to 255).
    std::string infoTitle;
    std::string info;
};
constexpr uint32_t kNifMessage = 1, kNifIcon = 2, kNifTip = 4, kNifInfo = 0x10;

class NotifyIcon : public Port {
public:
    enum class Op { Add, Modify, Delete };
    virtual bool Notify(Op op, const NotifyIconData& data) = 0;
};

// Files under the user's local application data (the trace log). Paths are UTF-8.
class LocalFiles : public Port {
public:
    // The user's local application-data folder; "" when the system names none.
    virtual std::string LocalAppDataFolder() = 0;
    // Makes the folder and every missing folder above it; true when it exists afterwards.
    virtual bool MakeFolders(const std::string& path) = 0;
    // A file held open for appending. Others may read, write, rename and delete it
    // meanwhile: a tool following the log never keeps it from rolling over.
    class AppendFile {
    public:
        virtual ~AppendFile() = default;
        // False when not all the bytes went.
        virtual bool Write(const std::string& bytes) = 0;
        // Its size in bytes; -1 when it cannot be read.
        virtual int64_t Size() = 0;
        // False once the file was deleted or renamed under the handle, or another file
        // took its name: what is written then reaches nobody.
        virtual bool StillAtItsPath() = 0;
    };
    enum class OpenStatus { Opened, Busy, Failed };
    // Opens the file for appending, making it if missing. Busy: another program holds it
    // in a way that keeps it from being opened now; Failed: it cannot be written.
    virtual OpenStatus OpenAppend(const std::string& path, std::unique_ptr<AppendFile>& out) = 0;
    // Renames `from` to `to`, replacing any file of that name.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    // Whether this process runs with more rights than the user's other programs: above
    // the integrity level of the desktop shell that starts them. False without a shell.
    virtual bool RunsElevated() = 0;
};

// Whole text files in one folder: the program's own and the user's files that it reads
// as a set and the user edits. Paths are UTF-8.
struct FolderEntry {
    std::string name;        // within the folder
    uint64_t size = 0;       // bytes
    uint64_t lastWrite = 0;  // 100 ns units since 1601
    bool operator==(const FolderEntry&) const = default;
};

class FolderFiles : public Port {
public:
    // The user's roaming application-data folder; "" when the system names none.
    virtual std::string RoamingAppDataFolder() = 0;
    // The plain files of the folder whose names end in `suffix` (without regard to case),
    // in no particular order. Folders, links and other reparse points are left out, so
    // nothing listed lies outside the folder. False, with nothing listed, when the folder
    // is missing or cannot be read.
    virtual bool List(const std::string& folder, const std::string& suffix,
                      std::vector<FolderEntry>& out) = 0;
    // At most maxBytes of the file. False when it cannot be read, or is a folder, a link
    // or another reparse point.
    virtual bool Read(const std::string& path, size_t maxBytes, std::string& out) = 0;
    // Makes the folder and every missing folder above it; true when it exists afterwards.
    virtual bool MakeFolders(const std::string& path) = 0;
    enum class CreateStatus { Written, Exists, Failed };
    // A new file with these bytes; a file of that name already there is left alone
    // (Exists). A write that fails part-way leaves no file behind.
    virtual CreateStatus WriteNew(const std::string& path, const std::string& bytes) = 0;
    // The file's bytes replaced by these, written beside it first and then put in its
    // place, so that a failure part-way leaves the old file whole. False, with the file
    // untouched, when it is missing, a folder, a link or another reparse point, or cannot
    // be written.
    virtual bool ReplaceExisting(const std::string& path, const std::string& bytes) = 0;
    // Deletes the file. False, with nothing deleted, when it is missing, a folder, a link
    // or another reparse point, or cannot be deleted.
    virtual bool DeleteExisting(const std::string& path) = 0;
    // Whether this process runs with an elevated (administrator's) token.
    virtual bool ProcessElevated() = 0;
};

class ReceiverDevice;
class Mixer;
class EndpointVolume;

// Every port the process uses, set up once at start-up.
struct Platform {
    Clock* clock = nullptr;
    InputInjector* input = nullptr;
    Desktop* desktop = nullptr;
    ProcessList* processes = nullptr;
    SystemPower* power = nullptr;
    Registry* registry = nullptr;
    Shell* shell = nullptr;
    Network* network = nullptr;
    UserInterface* ui = nullptr;
    NotifyIcon* notifyIcon = nullptr;
    ReceiverDevice* receiver = nullptr;
    Mixer* mixer = nullptr;
    EndpointVolume* endpoint = nullptr;
    LocalFiles* files = nullptr;
    FolderFiles* folders = nullptr;
};

// The process's ports.
Platform& Os();

// The tick count of the installed clock; 0 without one.
uint32_t TickNow();

// Installs a set of ports for a scope (a test) and puts the previous set back.
class ScopedPlatform {
public:
    explicit ScopedPlatform(const Platform& p);
    ~ScopedPlatform();
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    Platform saved_;
};
