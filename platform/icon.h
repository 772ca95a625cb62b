// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <gdk-pixbuf/gdk-pixbuf.h>

#include "resources/catalogue.h"

namespace vemol::platform {

// The program's icon (group 118's one 32 x 32, 16-colour image) as a pixbuf with the
// mask as transparency, or null when the resource is missing or malformed.
GdkPixbuf* LoadProgramIcon(const resources::Catalogue& catalogue);

// The window's icons, 16 to 256 pixels square, from the desktop icon set built into the
// program, for gtk_window_set_icon_list; free with g_list_free_full(list, g_object_unref).
GList* LoadWindowIcons();

}  // namespace vemol::platform
