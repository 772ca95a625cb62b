// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window_system.h"

#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#endif

namespace vemol::platform {
namespace {

bool IsWayland(GdkDisplay* display) {
#ifdef GDK_WINDOWING_WAYLAND
    return display && GDK_IS_WAYLAND_DISPLAY(display);
#else
    (void)display;
    return false;
#endif
}

}  // namespace

bool PlacesWindowsItself(GdkDisplay* display) { return IsWayland(display); }
bool CommitsOnFrameClock(GdkDisplay* display) { return IsWayland(display); }

}  // namespace vemol::platform
