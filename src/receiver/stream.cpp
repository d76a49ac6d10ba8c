#include "receiver/stream.h"

#include "receiver/receiver.h"
#include "receiver/remote_button.h"

bool UnpackByte(IrReceiver& rx, uint8_t b) {
    switch (rx.escapeState) {
        case IrReceiver::kAwaitingWholeValue:
            rx.escapeState = IrReceiver::kNoEscape;
            AppendValue(rx, b);
            return false;
        case IrReceiver::kAwaitingWholeOrEnd:
            rx.escapeState = IrReceiver::kNoEscape;
            if (b >= kFirstEndMark) return true;
            AppendValue(rx, b);
            return false;
        default: break;
    }
    const uint8_t high = static_cast<uint8_t>(b >> 4);
    const uint8_t low = static_cast<uint8_t>(b & 0xF);
    if (high == kEscape) {
        rx.fullValuePending = 1;
        rx.escapeState = IrReceiver::kAwaitingWholeValue;
    } else if (low == kEscape) {
        rx.fullValuePending = 0;
        AppendValue(rx, high);
        rx.escapeState = IrReceiver::kAwaitingWholeOrEnd;
    } else if (rx.fullValuePending != 0) {
        rx.fullValuePending = 0;
        AppendValue(rx, low);
    } else {
        AppendValue(rx, high);
        AppendValue(rx, low);
    }
    return false;
}

bool UnpackByte(uint8_t b) { return UnpackByte(TheReceiver(), b); }

void ResetUnpacker(IrReceiver& rx) {
    rx.escapeState = IrReceiver::kNoEscape;
    rx.fullValuePending = 0;
}
