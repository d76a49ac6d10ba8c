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
