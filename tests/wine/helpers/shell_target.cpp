// Started through the shell by the Wine tests: writes its command line into the file
// named by its first argument, so the test can see that it ran and what it got.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    std::string args(commandLine != nullptr ? commandLine : "");
    const size_t blank = args.find(' ');
    const std::string path = args.substr(0, blank);
    const std::string rest = blank == std::string::npos ? std::string() : args.substr(blank + 1);
    if (path.empty()) return 2;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 1;
    std::fwrite(rest.data(), 1, rest.size(), f);
    std::fclose(f);
    return 0;
}
