// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/language.h"

#include <glib.h>
#include <gtk/gtk.h>
#include <libintl.h>

#include <clocale>
#include <cstring>

#include "net/texts.h"

#ifndef VEMOL_LOCALE_DIR
#define VEMOL_LOCALE_DIR "/usr/local/share/locale"
#endif

namespace vemol::platform {

std::string CatalogueFolder() {
    std::string folder;
    if (gchar* program = g_file_read_link("/proc/self/exe", nullptr)) {
        gchar* programFolder = g_path_get_dirname(program);
        gchar* candidate = g_build_filename(programFolder, "..", "share", "locale", nullptr);
        if (g_file_test(candidate, G_FILE_TEST_IS_DIR)) folder = candidate;
        g_free(candidate);
        g_free(programFolder);
        g_free(program);
    }
    return folder.empty() ? VEMOL_LOCALE_DIR : folder;
}

void SetUpLanguage(const std::string& catalogueFolder) {
    // A locale the system has not generated leaves the C locale; the game's texts are
    // UTF-8 all the same.
    if (!std::setlocale(LC_ALL, "")) std::setlocale(LC_ALL, "C.UTF-8");
    // The C library ignores LANGUAGE under the plain "C" locale (the one a session without
    // LANG gets); a player who asks for a language by LANGUAGE alone still gets it.
    const char* messages = std::setlocale(LC_MESSAGES, nullptr);
    const char* language = g_getenv("LANGUAGE");
    if (language && *language && messages && (!std::strcmp(messages, "C") || !std::strcmp(messages, "POSIX")))
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    gtk_disable_setlocale();  // done here, before GTK would do it again
    bindtextdomain(net::kTextDomain, catalogueFolder.c_str());
    bind_textdomain_codeset(net::kTextDomain, "UTF-8");
    textdomain(net::kTextDomain);
}

}  // namespace vemol::platform
