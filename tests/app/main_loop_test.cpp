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
    void waitForEvent() override {
        log.push_back("wait");
        if (pending.empty()) pending.push_back("menu-close");
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
    });
    const std::vector<std::string> expected = {"event menu-open", "wait", "event menu-close", "frame", "quit"};
    EXPECT_EQ(events.log, expected);
    EXPECT_EQ(frames, 1);
}

}  // namespace
}  // namespace vemol
