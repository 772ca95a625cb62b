#pragma once
// The main loop's turn rule: each turn handles one pending window-system event or, when
// none is pending, runs exactly one frame. The quit request is taken after every other
// pending event, in a turn of its own that runs no frame.
#include <functional>

namespace vemol {

class LoopEvents {
public:
    virtual ~LoopEvents() = default;
    // Handles one pending event, the quit request last; false when nothing was pending.
    virtual bool handleOneEvent() = 0;
    virtual bool quitTaken() const = 0;
    // True while frames must not run (a menu is pulled down).
    virtual bool framesHeld() const = 0;
    // Blocks until an event arrives.
    virtual void waitForEvent() = 0;
};

void RunMainLoop(LoopEvents& events, const std::function<void()>& runFrame);

}  // namespace vemol
