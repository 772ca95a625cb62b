// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening the ranking page or the maker's home page in a browser window of its own, placed
// at the top-left corner of the screen at 800 x 600 where the browser takes such options.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/ranking_settings.h"

namespace vemol::net {

// What opening a page needs from the system: platform/ finds and starts programs, tests
// replace the environment and the pause too.
class WebPageSystem {
public:
    virtual ~WebPageSystem() = default;
    // An environment variable, when set.
    virtual std::optional<std::string> environment(const char* name);
    // The full path of the program `name` when it can be executed: `name` itself when it
    // holds a slash, else the first match on PATH.
    virtual std::optional<std::string> findProgram(const std::string& name) = 0;
    // Starts a program detached from the game; false when it could not be started.
    virtual bool start(const std::vector<std::string>& argv) = 0;
    // The pause after starting the browser, which gives its window time to come up.
    virtual void pause(std::chrono::milliseconds duration);
};

enum class BrowserFamily { Chromium, Firefox, Plain };

struct BrowserCommand {
    std::vector<std::string> argv;  // argv[0] is a full path
    BrowserFamily family = BrowserFamily::Plain;
};

// Deliberate difference: desktop-browser.
// The command that shows `address`, looking for a browser as a Linux desktop user expects:
// $BROWSER first, then the desktop's default web browser, then well-known browsers on
// PATH, then xdg-open. Empty when there is none at all.
std::optional<BrowserCommand> FindBrowserCommand(WebPageSystem& system, std::string_view address);

struct WebPageResult {
    bool opened = false;
    std::string address;
    std::string message;  // for the player, when not opened
};

// Opens the maker's home page when `openHomePage` is 1, else the ranking page of `server`,
// and clears the flag. After starting the browser it waits half a second, then carries on.
WebPageResult OpenWebPage(std::int32_t& openHomePage, const RankingServer& server, WebPageSystem& system);

}  // namespace vemol::net
