// Which program owns the window in front, facts about windows and processes, the
// searches and activation, and the cooperating-window title protocol. Nothing is
// cached: every call reads the current state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/types.h"

constexpr size_t kTitleBufferChars = 250;        // titles of windows other than the foreground
constexpr size_t kClassBufferChars = 255;        // class names: at most 254 characters
constexpr size_t kWindowClassBufferChars = 256;  // the class read for the window-search walk
constexpr size_t kMaxProcessNameChars = 254;

// Lower-cases by the ANSI code page's rules.
std::string LowerAnsi(const std::string& text);

// The foreground window's whole title; false when there is no foreground window.
bool ForegroundWindowTitle(std::string& title);
std::string ForegroundWindowClass();
std::string WindowTitle(WindowHandle window);
// Read into a 256-character buffer, as the catalogue's window tests read it; the
// plug-in class test and the descendant search read at most 254 characters.
std::string WindowClass(WindowHandle window);
// The executable file name (no directory, at most 254 characters, in the case the
// system reports) of the process owning the window; "" when it cannot be learned.
std::string ProcessNameOfWindow(WindowHandle window);
std::string ForegroundProcessName();
// The file name part of a path as the process list reports it.
std::string ProcessFileName(const std::string& reported);

// The patterns are written in lower case; the process name is lower-cased.
bool ForegroundProcessIs(const char* name);
bool ForegroundProcessContains(const char* part);
bool WindowProcessIs(WindowHandle window, const char* name);
bool WindowProcessContains(WindowHandle window, const char* part);

// The top-level window whose title contains text, else the descendant match under the
// last top-level window that has one; 0 when none.
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
// The window found by FindWindowByTitlePart("Orbiscope#") when its lower-cased title
// carries "+fg"; 0 otherwise.
WindowHandle CooperatingWindowAskingForFront();
int CooperatingKeyHandler(int32_t button);

// The window belongs to this program itself (its hidden frame, settings or a dialog).
bool IsOwnWindow(WindowHandle window);

