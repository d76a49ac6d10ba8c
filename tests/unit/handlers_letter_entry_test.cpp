// Multi-tap letter entry where two threads meet: the digit presses on the reader thread
// and the commits on the main window's timer. What a user taps and sees is in
// tests/scenarios/, the files with "letter" in their names.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "fake_env.h"
#include "profiles/handlers.h"

namespace {

TEST(LetterEntry, ReaderAndTimerThreadsNeverTypeOutsideTheGroup) {
    FakeEnv env;
    env.Foreground("notepad.exe", "Untitled - Notepad");
    // The digit presses (reader thread) and the commits (main thread) race; every
    // letter typed must still be one of the group's.
    std::atomic<bool> done{false};
    std::thread timerThread([&] {
        while (!done.load()) LetterEntryTimer();
    });
    for (int i = 0; i < 2000; ++i) EXPECT_EQ(HandleRow125(i % 3 == 0 ? Digit7 : Digit9), 1);
    done.store(true);
    timerThread.join();
    LetterEntryTimer();
    for (const auto& batch : env.input.batches) {
        ASSERT_EQ(batch.size(), 2u);
        const char c = static_cast<char>(batch[0].virtualKey);
        EXPECT_TRUE((c >= 'P' && c <= 'S') || (c >= 'W' && c <= 'Z')) << c;
    }
    EXPECT_FALSE(env.input.batches.empty());
}

}  // namespace
