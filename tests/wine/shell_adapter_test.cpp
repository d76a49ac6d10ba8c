#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/fake/fake_os.h"
#include "receiver/receiver.h"
#include "engine/macros.h"
#include "wine_support.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(ShellAdapter, OpensAnExistingProgramWithItsParameters) {
    const std::string dir = TestProgramDirectory();
    const std::string marker = dir + "\\shell_target_ran.txt";
    DeleteFileA(marker.c_str());
    const intptr_t result = Win32Shell().Execute(
        reinterpret_cast<WindowHandle>(GetDesktopWindow()), "", dir + "\\shell_target.exe",
        marker + " /play list.m3u", "", SW_SHOWNORMAL);
    EXPECT_GT(result, 32);
    ASSERT_TRUE(PumpUntil([&] { return GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; },
                          15000));
    EXPECT_TRUE(PumpUntil([&] { return ReadFile(marker) == "/play list.m3u"; }, 5000));
    DeleteFileA(marker.c_str());
}

TEST(ShellAdapter, MissingFileFails) {
    const std::string missing = TestProgramDirectory() + "\\no_such_program_here.exe";
    const intptr_t result = Win32Shell().Execute(0, "", missing, "", "", SW_SHOWNORMAL);
    EXPECT_LE(result, 32);
    EXPECT_GE(result, 0);
}

TEST(ShellAdapter, QuickLaunchOfAMissingFileReportsIt) {
    FakeUserInterface ui;
    Platform p = RealPlatform();
    p.shell = &Win32Shell();
    p.ui = &ui;
    ScopedPlatform real(p);
    const std::string favourite =
        "  " + TestProgramDirectory() + "\\no_such_program_here.exe /x  ";
    EXPECT_EQ(QuickLaunch(favourite), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Error on QuickLaunch: The file or path you specified was not found.");
    EXPECT_EQ(ui.boxes[0].caption, "Orbiscope Remote Error");
}

TEST(ShellAdapter, ModulePathIsTheRunningProgram) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string module = Win32Shell().ModulePath();
    EXPECT_EQ(module, path);
    EXPECT_NE(module.find("wine_tests.exe"), std::string::npos);
}

}  // namespace
