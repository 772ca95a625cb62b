// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Version dialog (template 103 with the program's icon), modal, owned by the main window.
#include "platform/main_window.h"
#include "resources/catalogue.h"

namespace vemol::platform {

// Runs the dialog until its OK button closes it; Escape and the desktop's close request
// are ignored, as the dialog has no close box.
void RunVersionDialog(MainWindow* owner, const resources::Catalogue& catalogue);

}  // namespace vemol::platform
