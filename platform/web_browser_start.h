// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system side of opening a web page: finding programs on PATH and starting the browser
// detached from the game, through GLib's process spawning.
#include <optional>
#include <string>
#include <vector>

#include "net/web_page.h"

namespace vemol::platform {

class GlibWebPageSystem : public net::WebPageSystem {
public:
    std::optional<std::string> findProgram(const std::string& name) override;
    // Starts argv[0] (a path, or a name looked up on PATH) in a session of its own, its
    // standard input /dev/null. GLib forks twice, so the browser is re-parented to init and
    // never left a zombie, and reports an exec that failed; false (said on standard error)
    // when the program could not be started.
    bool start(const std::vector<std::string>& argv) override;
};

}  // namespace vemol::platform
