// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/display.h"

#include <gtk/gtk.h>

namespace vemol::platform {
namespace {

// We draw in software and never ask GDK for OpenGL, yet GDK probes it while it opens the
// display, loading the system's GL driver (on a software-rendered desktop a whole shader
// compiler): about half the CPU of getting the window on screen. The probe is switched off
// for GDK's start only, unless the player chose otherwise, so programs the game starts
// (the browser) inherit nothing. GDK reads the switch when its options are parsed.
bool openGlProbeSkipped = false;

void SkipOpenGlProbe() {
    if (openGlProbeSkipped || g_getenv("GDK_GL")) return;
    g_setenv("GDK_GL", "disable", TRUE);
    openGlProbeSkipped = true;
}

}  // namespace

GOptionGroup* DisplayOptionGroup() {
    SkipOpenGlProbe();
    return gtk_get_option_group(FALSE);
}

bool OpenDisplay(int& argc, char**& argv, const char* applicationId) {
    g_set_prgname(applicationId);
    SkipOpenGlProbe();
    const bool open = gtk_init_check(&argc, &argv);
    if (openGlProbeSkipped) g_unsetenv("GDK_GL");
    if (!open) return false;
    gdk_set_program_class(applicationId);
    return true;
}

}  // namespace vemol::platform
