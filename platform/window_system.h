// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the desktop's window system lets the game do. On Wayland the compositor places
// every window itself (positions we ask for are ignored) and takes a window's new
// picture only when GTK's frame clock commits it.
#include <gdk/gdk.h>

namespace vemol::platform {

bool PlacesWindowsItself(GdkDisplay* display);
bool CommitsOnFrameClock(GdkDisplay* display);

}  // namespace vemol::platform
