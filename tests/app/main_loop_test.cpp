// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main loop's turn rule, with a scripted event source.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/main_loop.h"

namespace vemol {
namespace {

// Events arrive from a script: before turn n, the listed events become pending.
struct ScriptedEvents : LoopEvents {
    std::deque<std::string> pending;
    std::vector<std::string> log;
    bool quitPosted = false, taken = false, menuOpen = false;
    std::function<void(int frame)> onFrame;

    bool handleOneEvent() override {
        if (!pending.empty()) {
            log.push_back("event " + pending.front());
            if (pending.front() == "menu-open") menuOpen = true;
            if (pending.front() == "menu-close") menuOpen = false;
            pending.pop_front();
            return true;
        }
        if (quitPosted) {
            log.push_back("quit");
            taken = true;
            return true;
        }
        return false;
    }
    bool quitTaken() const override { return taken; }
    bool framesHeld() const override { return menuOpen; }
    void waitForEvent(float seconds) override {
        log.push_back(seconds < 0.0f ? "wait" : "wait " + std::to_string(int(seconds * 1000)) + " ms");
        if (pending.empty() && menuOpen) pending.push_back("menu-close");
    }
};

TEST(MainLoop, EachTurnHandlesOneEventOrRunsOneFrameAndTheQuitTurnRunsNoFrame) {
    ScriptedEvents events;
    events.pending = {"a", "b"};
    int frames = 0;
    RunMainLoop(events, [&] {
        frames++;
        events.log.push_back("frame " + std::to_string(frames));
        if (frames == 1) events.pending.push_back("c");
        if (frames == 3) {
            events.quitPosted = true;          // the title menu's Exit, inside a frame
            events.pending.push_back("late");  // an event already queued is still handled first
        }
        return 0.0f;
    });
    const std::vector<std::string> expected = {"event a", "event b", "frame 1",    "event c",
                                               "frame 2", "frame 3", "event late", "quit"};
    EXPECT_EQ(events.log, expected);
}

TEST(MainLoop, NoFramesRunWhileAMenuIsPulledDown) {
    ScriptedEvents events;
    events.pending = {"menu-open"};
    int frames = 0;
    RunMainLoop(events, [&] {
        frames++;
        events.log.push_back("frame");
        events.quitPosted = true;
        return 0.0f;
    });
    const std::vector<std::string> expected = {"event menu-open", "wait", "event menu-close", "frame", "quit"};
    EXPECT_EQ(events.log, expected);
    EXPECT_EQ(frames, 1);
}

// A frame in a pause asks the loop to wait, which an event may cut short; the frame then
// runs again. A negative answer ends the loop (the opening's last step).
TEST(MainLoop, AFrameWaitingIsRunAgainAfterTheWaitOrAnEventAndANegativeAnswerEndsTheLoop) {
    ScriptedEvents events;
    std::vector<float> answers = {0.7f, 0.5f, 0.0f, -1.0f};
    std::size_t frames = 0;
    RunMainLoop(events, [&] {
        events.log.push_back("frame");
        if (frames == 0) events.pending.push_back("click");
        return answers[frames++];
    });
    const std::vector<std::string> expected = {"frame", "event click", "frame", "wait 500 ms", "frame", "frame"};
    EXPECT_EQ(events.log, expected);
}

}  // namespace
}  // namespace vemol
