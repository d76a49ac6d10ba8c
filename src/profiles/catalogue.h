// The catalogue of supported programs: how each is recognised and what each button
// sends it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/types.h"

// The first row whose rule holds for the foreground window, in catalogue order, or -1.
// Rows are numbered 1..155.
int ForegroundCatalogueRow();
// Runs the handler of row (1..155) for the button: 1 handled, 0 not.
int HandleCatalogueButton(int row, int32_t button);
// Whether a top-level window belongs to a catalogued program (the window-search walk).
bool WindowIsCatalogued(WindowHandle window);
// Row 88's rule: a SageTV-family program is in front.
bool ForegroundIsSageTvFamily();

constexpr int kCatalogueRows = 155;
