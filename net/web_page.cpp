// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/web_page.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "net/ranking_settings.h"
#include "net/texts.h"

namespace vemol::net {
namespace {

constexpr std::chrono::milliseconds kBrowserPause{500};

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) parts.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string BaseName(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

BrowserFamily FamilyOfName(const std::string& name) {
    static constexpr std::string_view kChromium[] = {"chrom", "brave", "vivaldi", "edge", "opera"};
    static constexpr std::string_view kFirefox[] = {"firefox",  "librewolf", "iceweasel",
                                                    "waterfox", "icecat",    "floorp"};
    std::string lower = Lower(name);
    for (auto part : kChromium)
        if (lower.find(part) != std::string::npos) return BrowserFamily::Chromium;
    for (auto part : kFirefox)
        if (lower.find(part) != std::string::npos) return BrowserFamily::Firefox;
    return BrowserFamily::Plain;
}

// x-www-browser and friends are links to the real browser: follow them to know its family.
BrowserFamily FamilyOfProgram(const std::string& path) {
    BrowserFamily family = FamilyOfName(BaseName(path));
    if (family != BrowserFamily::Plain) return family;
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved)) return FamilyOfName(BaseName(resolved));
    return family;
}

// The arguments that open `address` in a new window at the top-left corner, 800 x 600.
std::vector<std::string> PlacementArguments(BrowserFamily family, const std::string& address) {
    switch (family) {
        case BrowserFamily::Chromium:
            return {"--new-window", "--window-position=0,0", "--window-size=800,600", address};
        case BrowserFamily::Firefox:
            // Firefox lets us choose the size but not the place; the desktop places it.
            return {"-width", "800", "-height", "600", "-new-window", address};
        case BrowserFamily::Plain: break;
    }
    return {address};
}

BrowserCommand CommandFor(const std::string& program, const std::string& address) {
    BrowserCommand command;
    command.family = FamilyOfProgram(program);
    command.argv.push_back(program);
    for (std::string& arg : PlacementArguments(command.family, address)) command.argv.push_back(std::move(arg));
    return command;
}

// One entry of $BROWSER: a command line whose "%s" stands for the address (appended when
// absent). An entry that says where the address goes is taken as the user wrote it.
std::optional<BrowserCommand> CommandFromBrowserEntry(WebPageSystem& system, const std::string& entry,
                                                      const std::string& address) {
    std::vector<std::string> words = Split(entry, ' ');
    if (words.empty()) return std::nullopt;
    std::optional<std::string> program = system.findProgram(words[0]);
    if (!program) return std::nullopt;
    bool placesAddress = std::any_of(words.begin() + 1, words.end(),
                                     [](const std::string& w) { return w.find("%s") != std::string::npos; });
    if (words.size() == 1) return CommandFor(*program, address);
    BrowserCommand command;
    command.family = FamilyOfProgram(*program);
    command.argv.push_back(*program);
    for (std::size_t i = 1; i < words.size(); ++i) {
        std::string word = words[i];
        for (std::size_t at; (at = word.find("%s")) != std::string::npos;) word.replace(at, 2, address);
        command.argv.push_back(word);
    }
    if (!placesAddress) command.argv.push_back(address);
    return command;
}

std::optional<std::string> HttpHandlerIn(const std::string& mimeappsFile) {
    std::ifstream file(mimeappsFile);
    std::string line;
    bool inDefaults = false;
    while (std::getline(file, line)) {
        if (!line.empty() && line[0] == '[') {
            inDefaults = line.rfind("[Default Applications]", 0) == 0;
        } else if (inDefaults && line.rfind("x-scheme-handler/http=", 0) == 0) {
            auto handlers = Split(line.substr(line.find('=') + 1), ';');
            if (!handlers.empty()) return handlers.front();
        }
    }
    return std::nullopt;
}

// The mimeapps.list files in the order the desktop consults them.
std::vector<std::string> MimeappsFiles(WebPageSystem& system) {
    std::string home = system.environment("HOME").value_or("");
    std::string configHome = system.environment("XDG_CONFIG_HOME").value_or(home + "/.config");
    std::string dataHome = system.environment("XDG_DATA_HOME").value_or(home + "/.local/share");
    std::vector<std::string> files{configHome + "/mimeapps.list"};
    for (auto& dir : Split(system.environment("XDG_CONFIG_DIRS").value_or("/etc/xdg"), ':'))
        files.push_back(dir + "/mimeapps.list");
    files.push_back(dataHome + "/applications/mimeapps.list");
    auto dataDirs = system.environment("XDG_DATA_DIRS").value_or("/usr/local/share:/usr/share");
    for (auto& dir : Split(dataDirs, ':')) files.push_back(dir + "/applications/mimeapps.list");
    return files;
}

// The desktop's default web browser, when it names a program we can find: the handler
// "org.mozilla.firefox.desktop" or "firefox.desktop" gives "firefox".
std::optional<std::string> DesktopDefaultBrowser(WebPageSystem& system) {
    for (const std::string& file : MimeappsFiles(system)) {
        std::optional<std::string> handler = HttpHandlerIn(file);
        if (!handler) continue;
        std::string id = Lower(*handler);
        if (id.ends_with(".desktop")) id.resize(id.size() - 8);
        std::string shortId = id.substr(id.rfind('.') + 1);
        for (const std::string& name : {id, shortId})
            if (auto program = system.findProgram(name)) return program;
        return std::nullopt;  // the desktop named a browser we cannot start directly
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> WebPageSystem::environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void WebPageSystem::pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

std::optional<BrowserCommand> FindBrowserCommand(WebPageSystem& system, std::string_view address) {
    const std::string url(address);
    if (auto browsers = system.environment("BROWSER")) {
        for (const std::string& entry : Split(*browsers, ':'))
            if (auto command = CommandFromBrowserEntry(system, entry, url)) return command;
    }
    if (auto program = DesktopDefaultBrowser(system)) return CommandFor(*program, url);
    static constexpr const char* kKnownBrowsers[] = {
        "x-www-browser",        "firefox",       "firefox-esr",    "chromium", "chromium-browser", "google-chrome",
        "google-chrome-stable", "brave-browser", "microsoft-edge", "vivaldi",  "librewolf"};
    for (const char* name : kKnownBrowsers)
        if (auto program = system.findProgram(name)) return CommandFor(*program, url);
    if (auto opener = system.findProgram("xdg-open")) return BrowserCommand{{*opener, url}};
    return std::nullopt;
}

WebPageResult OpenWebPage(std::int32_t& openHomePage, const RankingServer& server, WebPageSystem& system) {
    WebPageResult result;
    result.address = openHomePage == 1 ? std::string(homePageAddress()) : server.pageAddress();
    // Deliberate difference: krm-home-forgotten.
    // Cleared whether or not a browser starts, so a failed "KRM HOME" does not turn the
    // next "Ranking Page" into the home page.
    openHomePage = 0;
    std::optional<BrowserCommand> command = FindBrowserCommand(system, result.address);
    if (!command) {
        result.message = TranslatedWith("No web browser was found to open %s.", {result.address});
        return result;
    }
    if (!system.start(command->argv)) {
        result.message = TranslatedWith("The web browser %s could not be started to open %s.",
                                        {command->argv.front(), result.address});
        return result;
    }
    result.opened = true;
    system.pause(kBrowserPause);
    return result;
}

}  // namespace vemol::net
