// The receiver: discovery by device-interface class, the wait and reader threads,
// the unpacking of the byte stream into duration values.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

constexpr int32_t kMaxValues = 1000;

class ReceiverHandle;

// The one receiver object of the process.
struct IrReceiver {
    std::atomic<int32_t> reconnect{0};
    std::atomic<ReceiverHandle*> handle{nullptr};
    uint8_t values[kMaxValues] = {};
    int32_t valueCount = 0;
    int32_t fullValuePending = 0;
};

IrReceiver& TheReceiver();

// Appends one duration value; past 999 values everything collected is dropped.
void AppendValue(uint8_t v);
