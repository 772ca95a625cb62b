#include "app/main_loop.h"

namespace vemol {

void RunMainLoop(LoopEvents& events, const std::function<void()>& runFrame) {
    while (!events.quitTaken()) {
        if (events.handleOneEvent()) continue;
        // Nothing pending. A pulled-down menu holds the game still, like the desktop's
        // modal menu loop did: wait for the next event instead of spinning.
        if (events.framesHeld())
            events.waitForEvent();
        else
            runFrame();
    }
}

}  // namespace vemol
