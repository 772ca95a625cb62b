// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gtk_clock.h"

#include <glib.h>

namespace vemol::platform {

GtkClock::GtkClock() : startUs_(g_get_monotonic_time()) {}

// Whole milliseconds times 0.001, in single precision, as the game has always counted
// time: the reads within one frame mostly see the same value, which keeps a replay small.
float GtkClock::now() {
    const std::int64_t ms = (g_get_monotonic_time() - startUs_) / 1000;
    return static_cast<float>(ms) * 0.001f;
}

}  // namespace vemol::platform
