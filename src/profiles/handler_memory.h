// What the catalogue's handlers remember from one press to the next. The press engine
// owns it and installs it; the handlers are plain functions in a constant table, with
// no context of their own, so they reach it through HandlerMemoryInUse().
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/types.h"

struct ProfileHoldWait;  // profiles/profile_files.cpp

struct HandlerMemory {
    // Multi-tap letter entry (row 125): the digit being tapped and how often. The
    // main window's timer commits it, so it is guarded.
    struct LetterEntry {
        int32_t pendingDigit = -1;  // -1: none
        int32_t tapCount = 0;
    };
    std::mutex letterLock;
    LetterEntry letter;  // guarded by letterLock

    // The window that let the last send to it run out of time. Until it answers again it
    // is given only the short bound, so a program that stops answering holds the remote
    // once, not at every press. Only the reader thread sends.
    WindowHandle unanswering = 0;

    // Row 148 acts on every third press of a seek button (reader thread only).
    int rewindPresses = 0;
    int forwardPresses = 0;

    // A press of a button that a profile file gives a [hold] action, waiting to learn
    // whether it is held. The frames of the press (reader thread) and the main window's
    // timer both end it, so it is guarded.
    std::mutex holdLock;
    std::shared_ptr<ProfileHoldWait> holdWait;  // guarded by holdLock
};

// Null puts back the memory used while no engine installed one (the tools, tests of
// single handlers).
void InstallHandlerMemory(HandlerMemory* memory);
HandlerMemory& HandlerMemoryInUse();
