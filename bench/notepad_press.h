// The press the benchmarks measure: Rewind with Notepad in front (catalogue row 125: the
// button message posted, Ctrl+Alt+Left typed), from the received code through the repeat
// filter, the dispatcher and the input; the two variants alternate, so each iteration is
// a new press.
#pragma once

#include <cstdint>
#include <vector>

#include "fake_env.h"
#include "receiver/button_map.h"
#include "receiver/receiver.h"

struct NotepadPress {
    FakeEnv env;
    std::vector<uint8_t> codes[2];
    NotepadPress() {
        TheButtonMap().RemoveAllButtons();
        LoadDefaultButtons();
        env.Foreground("notepad.exe", "Untitled - Notepad", "Notepad");
        for (int v = 0; v < 2; ++v)
            codes[v] = SequenceValues(v == 0 ? kButtonCodes[Rewind].variant1
                                             : kButtonCodes[Rewind].variant2);
    }
    void Press(int i) {
        IrReceiver& rx = TheReceiver();
        rx.valueCount = 0;
        for (uint8_t v : codes[i & 1]) AppendValue(v);
        OnCodeComplete();
        env.input.Clear();
        env.desktop.messages.clear();
    }
};
