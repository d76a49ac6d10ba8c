// Which program owns the window in front, facts about windows and processes, the
// searches and activation, and the cooperating-window title protocol. Nothing is
// cached: every call reads the current state.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

constexpr size_t kTitleBufferChars = 250;  // titles of windows other than the foreground
constexpr size_t kClassBufferChars = 255;  // class names: at most 254 characters
constexpr size_t kMaxProcessNameChars = 254;

// Lower-cases by the ANSI code page's rules.
std::string LowerAnsi(const std::string& text);

// The foreground window's whole title; false when there is no foreground window.
bool ForegroundWindowTitle(std::string& title);
std::string ForegroundWindowClass();
std::string WindowTitle(WindowHandle window);
std::string WindowClass(WindowHandle window);  // read into a 256-character buffer
std::string ProcessNameOfWindow(WindowHandle window);
std::string ForegroundProcessName();

bool ForegroundProcessIs(const char* name);
bool ForegroundProcessContains(const char* part);
bool WindowProcessIs(WindowHandle window, const char* name);
bool WindowProcessContains(WindowHandle window, const char* part);

WindowHandle FindWindowByTitlePart(const std::string& text);
WindowHandle FindDescendantByTitleAndClass(WindowHandle parent, const std::string& className,
                                           const std::string& title);
WindowHandle FindWindowByClass(const std::string& className);  // top-level, no title given
void BringWindowToFront(WindowHandle window);
void FocusWindow(WindowHandle window);

// The cooperating-window protocol.
bool ForegroundIsCooperating();
bool WindowIsCooperating(WindowHandle window);
bool ForegroundHasPluginClass();
bool WindowHasPluginClass(WindowHandle window);
bool ForegroundTitleHasFlag(const char* flag);  // lower-cased foreground title contains flag
bool NoMouseFlag();                             // "-ms"
bool FavoritesFlag();                           // "-f"
bool PowerFlag();                               // "-p"
int CooperatingKeyHandler(int32_t button);

bool ForegroundIsSupported();
void AutoSwitch();
