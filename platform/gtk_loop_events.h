// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <functional>

#include "game/services.h"

namespace vemol::platform {

// The main loop's events from GTK's main context, plus the quit request, which is taken
// after every event already pending.
class GtkLoopEvents : public LoopEvents {
public:
    explicit GtkLoopEvents(std::function<bool()> framesHeld) : framesHeld_(std::move(framesHeld)) {}
    void postQuit() { quitPosted_ = true; }
    bool quitPosted() const { return quitPosted_; }
    bool handleOneEvent() override;
    bool quitTaken() const override { return quitTaken_; }
    bool framesHeld() const override { return framesHeld_(); }
    void waitForEvent(float seconds) override;

private:
    std::function<bool()> framesHeld_;
    bool quitPosted_ = false;
    bool quitTaken_ = false;
};

}  // namespace vemol::platform
