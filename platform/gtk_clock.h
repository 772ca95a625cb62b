// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Deliberate difference: clock-from-start.
// The game clock: seconds since the program started as a float, so its precision does
// not decay with the machine's uptime.
#include <cstdint>

#include "game/services.h"

namespace vemol::platform {

class GtkClock : public Clock {
public:
    GtkClock();
    float now() override;

private:
    std::int64_t startUs_;
};

}  // namespace vemol::platform
