// The handlers of the catalogue rows that are more than a keystroke table.
#pragma once

#include <cstdint>

#include "profiles/keymap.h"

// Sends a table's list for the button: 1 when the table maps it, 0 when not.
int SendMappedKeys(const keys::KeyMap& table, int32_t button);
void SendStrokes(const keys::Strokes& strokes);

// Multi-tap letter entry (row 125): the commit when LetterEntryTimer fires on the
// main window's thread.
void LetterEntryTimer();

// How long a message sent to another program (rows 55 and 148) is waited for. A
// program the system reports as hung is given up on at once; one that is merely
// slow is waited for this long at most, so a stuck player cannot stop every later
// button. A window that ran out of time at its last send gets only the short bound
// until it answers again.
constexpr uint32_t kSendTimeoutMs = 1000;
constexpr uint32_t kSendRetryTimeoutMs = 50;

// Puts the handlers' state (the pending letter, row 148's press counters) back to
// how the process starts.
void ResetHandlerState();

// The text in the title of the web-radio player window (row 12): its rule and its
// handler both use it.
extern const char* const kWebRadioTitleText;

// Rows whose handler is more than a table lookup.
int HandleRow006(int32_t button);  // window messages to "TouchTone Main"
int HandleRow012(int32_t button);  // clicks in the web-radio player
int HandleRow013(int32_t button);
int HandleRow016(int32_t button);
int HandleRow030(int32_t button);  // slide-show programs: by title
int HandleRow055(int32_t button);
int HandleRow078(int32_t button);  // raise the player window, then keys
int HandleRow094(int32_t button);  // timed keys
int HandleRow097(int32_t button);  // by class
int HandleRow105(int32_t button);
int HandleRow107(int32_t button);  // by title
int HandleRow109(int32_t button);
int HandleRow111(int32_t button);
int HandleRow112(int32_t button);
int HandleRow116(int32_t button);
int HandleRow122(int32_t button);
int HandleRow125(int32_t button);  // letter entry
int HandleRow128(int32_t button);
int HandleRow132(int32_t button);
int HandleRow136(int32_t button);  // keys + one click
int HandleRow138(int32_t button);  // keys + one click
int HandleRow148(int32_t button);
int HandleRow149(int32_t button);  // by title
int HandleRow150(int32_t button);  // by Windows version
