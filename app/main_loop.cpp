// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_loop.h"

namespace vemol {

void RunMainLoop(LoopEvents& events, const std::function<float()>& runFrame) {
    float idle = 0.0f;
    while (!events.quitTaken()) {
        if (events.handleOneEvent()) {
            idle = 0.0f;  // the frame looks at the time again
            continue;
        }
        // Nothing pending. A pulled-down menu holds the game still, like the desktop's
        // modal menu loop did: wait for the next event instead of spinning.
        if (events.framesHeld()) {
            events.waitForEvent(-1.0f);
        } else if (idle > 0.0f) {
            events.waitForEvent(idle);
            idle = 0.0f;
        } else {
            idle = runFrame();
            if (idle < 0.0f) return;
        }
    }
}

}  // namespace vemol
