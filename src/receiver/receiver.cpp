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

const char* const kReceiverInterfaceClass = "{5c3e9a71-2b84-4d0f-a6c2-71e0d94b3f28}";

int EnumerateInterfaces(DeviceInterfaceList& list) { return static_cast<int>(list.entries.size()); }
bool OpenReceiver() { return false; }
void StartReceiver(int32_t reconnect, WindowHandle) { TheReceiver().reconnect = reconnect; }
int ReceiverWaitThread(WindowHandle) { return 0; }
int ReaderThread(WindowHandle) { return 0; }
void StopReceiverThreads() {}
void CloseReceiver() {}
void DiscardPendingInput() { TheReceiver().valueCount = 0; }
void SetFirstRunHook(FirstRunHook) {}
