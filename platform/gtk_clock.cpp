// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gtk_clock.h"

#include <glib.h>

namespace vemol::platform {

GtkClock::GtkClock() : startUs_(g_get_monotonic_time()) {}

float GtkClock::now() { return static_cast<float>(static_cast<double>(g_get_monotonic_time() - startUs_) * 1e-6); }

}  // namespace vemol::platform
