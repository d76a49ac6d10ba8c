// The trace log on the real file system, with another program holding the file.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "state/notices.h"
#include "state/trace.h"
#include "ui/trace_output.h"
#include "wine_support.h"

namespace {

// The real files, under a folder of the test's own.
class TestFolderFiles : public LocalFiles {
public:
    explicit TestFolderFiles(std::string folder) : folder_(std::move(folder)) {}
    std::string LocalAppDataFolder() override { return folder_; }
    bool MakeFolders(const std::string& p) override { return Win32Files().MakeFolders(p); }
    OpenStatus OpenAppend(const std::string& p, std::unique_ptr<AppendFile>& out) override {
        return Win32Files().OpenAppend(p, out);
    }
    int64_t FileSize(const std::string& p) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExA(p.c_str(), GetFileExInfoStandard, &data)) return -1;
        return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    bool Replace(const std::string& from, const std::string& to) override {
        return Win32Files().Replace(from, to);
    }
    bool RunsElevated() override { return Win32Files().RunsElevated(); }

private:
    std::string folder_;
};

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int g_notices = 0;
void CountNotice(const std::string&) { ++g_notices; }

void TraceOneCode() { CodeTrace code(30); }  // a code that matched nothing: one line

// A tool that follows the log without sharing deletion keeps it from rolling over; the
// log goes on in the same file, and rolls over once the tool let go. The handle the log
// keeps open lets others read, write and rename the file meanwhile.
TEST(TraceLog, HeldOpenByAnotherProgramDuringRollOver) {
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string base =
        std::string(temp) + "orbiscope-log-" + std::to_string(GetCurrentProcessId());
    const std::string folder = base + "\\Orbiscope\\Remote";
    const std::string log = folder + "\\trace.log", old = folder + "\\trace.old.log";
    TestFolderFiles files(base);
    ASSERT_TRUE(files.MakeFolders(folder));
    {
        std::ofstream out(log, std::ios::binary);
        out << std::string(kTraceLogLimitBytes - 10, 'x');
    }
    Platform platform = RealPlatform();
    platform.files = &files;
    ScopedPlatform scope(platform);
    g_notices = 0;
    SetNoticeSink(&CountNotice);

    HANDLE tool = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(tool, INVALID_HANDLE_VALUE);
    StartTrace(true, nullptr);
    ASSERT_TRUE(TraceLogOn());
    TraceOneCode();
    TraceOneCode();
    EXPECT_TRUE(TraceLogOn());
    EXPECT_EQ(GetFileAttributesA(old.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_GT(files.FileSize(log), kTraceLogLimitBytes);

    CloseHandle(tool);
    TraceOneCode();
    EXPECT_TRUE(TraceLogOn());
    EXPECT_EQ(g_notices, 0);
    EXPECT_GT(files.FileSize(old), kTraceLogLimitBytes);
    // Readable while the log holds it open.
    EXPECT_NE(Contents(log).find("no match (30 values)"), std::string::npos);
    StopTrace();
    SetNoticeSink(nullptr);
    DeleteFileA(log.c_str());
    DeleteFileA(old.c_str());
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA((base + "\\Orbiscope").c_str());
    RemoveDirectoryA(base.c_str());
}

// Another program deletes the log while the program holds it open (shared for deletion):
// the next line starts a new file at the log's path, and the log stays on. Windows 10
// takes a deleted file's name away at once; Wine keeps it until the last handle closes
// and lets it be opened meanwhile, so the test takes the name away as Windows does, by
// moving the file aside before deleting it. (The older Windows way, the name kept but
// refusing every open, is told by the handle's delete-pending flag, which Wine does not
// report.)
TEST(TraceLog, DeletedWhileHeldStartsANewFile) {
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    const std::string base =
        std::string(temp) + "orbiscope-deleted-" + std::to_string(GetCurrentProcessId());
    const std::string folder = base + "\\Orbiscope\\Remote";
    const std::string log = folder + "\\trace.log";
    TestFolderFiles files(base);
    Platform platform = RealPlatform();
    platform.files = &files;
    ScopedPlatform scope(platform);
    g_notices = 0;
    SetNoticeSink(&CountNotice);
    StartTrace(true, nullptr);
    ASSERT_TRUE(TraceLogOn());
    TraceOneCode();
    const std::string aside = folder + "\\deleted.tmp";
    ASSERT_TRUE(MoveFileA(log.c_str(), aside.c_str())) << GetLastError();
    ASSERT_TRUE(DeleteFileA(aside.c_str())) << GetLastError();
    TraceOneCode();
    TraceOneCode();
    EXPECT_TRUE(TraceLogOn());
    EXPECT_EQ(g_notices, 0);
    StopTrace();  // the doomed file's last handle goes
    const std::string now = Contents(log);
    EXPECT_NE(now.find("no match (30 values)"), std::string::npos) << now;
    SetNoticeSink(nullptr);
    DeleteFileA(log.c_str());
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA((base + "\\Orbiscope").c_str());
    RemoveDirectoryA(base.c_str());
}

// Wine starts every program with one token, and outside a virtual desktop has no shell:
// nothing of the user's runs with fewer rights, so the log is kept. On Windows a program
// started with "Run as administrator" runs above the shell and keeps it off.
TEST(TraceLog, KeptWhereNoProgramOfTheUserRunsWithFewerRights) {
    EXPECT_FALSE(Win32Files().RunsElevated());
}

}  // namespace
