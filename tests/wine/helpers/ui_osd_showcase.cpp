// Shows the on-screen display's panel for a screenshot:
//   ui_osd_showcase play|volume|muted|contrast READY DONE
// ("contrast": the volume panel in the high-contrast colours)
// Once the panel is up and painted, it writes its screen rectangle ("x y w h") to READY;
// it keeps the panel up (a press every half second would) until DONE appears, or for
// two minutes at most.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ui/osd.h"
#include "ui/win32/osd_window.h"

namespace {

std::string g_ready, g_done;
OsdPanel g_panel;
OsdWindow* g_osd = nullptr;  // for the timer, which has no context
int g_ticks = 0;

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    g_osd->Show(g_panel);
    ++g_ticks;
    if (g_ticks == 3) {
        HWND w = g_osd->hwnd();
        RECT r{};
        GetWindowRect(w, &r);
        if (FILE* f = std::fopen(g_ready.c_str(), "w")) {
            std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
            std::fclose(f);
        }
    }
    if (Exists(g_done) || g_ticks > 240) PostQuitMessage(0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 4) return 1;
    const std::string which = __argv[1];
    g_ready = __argv[2];
    g_done = __argv[3];
    if (which == "volume" || which == "contrast") {
        g_panel = OsdPanel{"Volume 45%", 45};
    } else if (which == "muted") {
        g_panel = OsdPanel{"Muted", -1};
    } else {
        g_panel = OsdPanel{"Play \xC2\xB7 VLC", -1};
    }
    OsdWindow osd;
    g_osd = &osd;
    if (which == "contrast") osd.SetHighContrastQuery([] { return true; });
    if (!osd.Start(instance)) return 2;
    SetTimer(nullptr, 0, 500, &Tick);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    osd.Stop();
    return 0;
}
