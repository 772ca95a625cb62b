// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/version_dialog.h"

#include "platform/icon.h"
#include "platform/template_dialog.h"

namespace vemol::platform {

void RunVersionDialog(MainWindow* owner, const resources::Catalogue& catalogue) {
    TemplateDialog dialog(owner ? owner->window() : nullptr, resources::versionDialogTemplate());
    GdkPixbuf* icon = LoadProgramIcon(catalogue);
    if (icon) {
        dialog.setImage(resources::kIconGroupId, icon);
        g_object_unref(icon);
    }
    dialog.run([&dialog](int command) {
        if (command == 1) dialog.end(0);
    });
}

}  // namespace vemol::platform
