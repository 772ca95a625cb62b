// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/web_browser_start.h"

#include <glib.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>

namespace vemol::platform {
namespace {

// Runs in the started program's process before exec: only async-signal-safe calls, since
// the game has other threads. Its own session keeps the browser out of the terminal's
// hang-up, and it starts with no signal blocked whatever the game's thread blocked.
void DetachFromTheGame(gpointer) {
    setsid();
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

}  // namespace

std::optional<std::string> GlibWebPageSystem::findProgram(const std::string& name) {
    gchar* found = g_find_program_in_path(name.c_str());
    if (!found) return std::nullopt;
    std::string path(found);
    g_free(found);
    return path;
}

bool GlibWebPageSystem::start(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    std::vector<gchar*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<gchar*>(arg.c_str()));
    args.push_back(nullptr);
    GError* error = nullptr;
    const gboolean started =
        g_spawn_async(nullptr, args.data(), nullptr, G_SPAWN_SEARCH_PATH, DetachFromTheGame, nullptr, nullptr, &error);
    if (!started) {
        std::fprintf(stderr, "vemol: %s\n", error ? error->message : "the web browser could not be started");
        g_clear_error(&error);
    }
    return started;
}

}  // namespace vemol::platform
