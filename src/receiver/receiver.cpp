#include "receiver/receiver.h"

IrReceiver& TheReceiver() {
    static IrReceiver receiver;
    return receiver;
}

void AppendValue(uint8_t v) {
    IrReceiver& rx = TheReceiver();
    if (rx.valueCount + 1 >= kMaxValues) {
        rx.valueCount = 0;
        return;
    }
    rx.values[rx.valueCount++] = v;
}
