// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Modal message boxes with one OK button, as the game's dialogs and start-up use them.
#include <gtk/gtk.h>

namespace vemol::platform {

enum class MessageKind { Plain, Error };

// Runs a modal box owned by `owner` (may be null) and returns when it is closed.
// An empty caption gets the program's name, as the desktop would show it.
void ShowMessageBox(GtkWindow* owner, const char* text, const char* caption, MessageKind kind = MessageKind::Plain);

}  // namespace vemol::platform
