// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The connection to the desktop's display, made once before any window.
#include <glib.h>

namespace vemol::platform {

// The window system's own command-line options (--display and the like), for the
// program's option parser. Parsing them opens no display.
GOptionGroup* DisplayOptionGroup();

// Opens the display; false when there is none. `applicationId` becomes the program's name
// and class (Wayland's app id, X11's WM_CLASS), by which the desktop finds its entry.
bool OpenDisplay(int& argc, char**& argv, const char* applicationId);

}  // namespace vemol::platform
