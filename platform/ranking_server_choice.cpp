// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ranking_server_choice.h"

#include <glib.h>

#include <cstdlib>
#include <fstream>

#include "net/texts.h"

namespace vemol::platform {
namespace {

constexpr const char* kGroup = "ranking";
constexpr const char* kKey = "server";

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// XDG: an unset, empty or relative folder means the default.
std::string FolderOrDefault(const char* value, const std::string& fallback) {
    return value && value[0] == '/' ? value : fallback;
}

// The line of the last "server=" in the [ranking] group, the one GKeyFile reads, or 0.
int LineOfServerKey(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    bool inGroup = false;
    int number = 0, found = 0;
    while (std::getline(file, line)) {
        ++number;
        const std::string text = Trimmed(line);
        if (text.starts_with('[')) {
            inGroup = text == std::string("[") + kGroup + "]";
        } else if (inGroup && text.starts_with(kKey)) {
            if (Trimmed(text.substr(0, text.find('='))) == kKey) found = number;
        }
    }
    return found;
}

// The server in one key file, when it names one. A file that is missing or has no
// [ranking] server is passed over in silence; one that names no valid server, or cannot
// be read, is reported.
std::optional<net::RankingServer> ServerInKeyFile(const std::string& path, std::ostream& errors) {
    if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) return std::nullopt;
    GKeyFile* keys = g_key_file_new();
    GError* error = nullptr;
    std::optional<net::RankingServer> server;
    if (!g_key_file_load_from_file(keys, path.c_str(), G_KEY_FILE_NONE, &error)) {
        errors << "vemol: " << path << ": " << error->message << "; "
               << net::Translated("its ranking server is not used") << "\n";
    } else if (gchar* value = g_key_file_get_string(keys, kGroup, kKey, nullptr)) {
        server = net::ParseRankingServer(Trimmed(value));
        if (!server)
            errors << "vemol: " << path << ":" << LineOfServerKey(path) << ": "
                   << net::TranslatedWith(
                          "\"%s\" is not a host name, dotted IPv4 address or bracketed IPv6 "
                          "address with an optional port 1 to 65535; ignored",
                          {value})
                   << "\n";
        g_free(value);
    }
    if (error) g_error_free(error);
    g_key_file_free(keys);
    return server;
}

}  // namespace

std::vector<std::string> RankingKeyFiles() {
    const char* home = std::getenv("HOME");
    std::vector<std::string> folders{
        FolderOrDefault(std::getenv("XDG_CONFIG_HOME"), std::string(home ? home : "") + "/.config")};
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    gchar** list = g_strsplit(dirs && *dirs ? dirs : "/etc/xdg", ":", -1);
    for (gchar** dir = list; *dir; ++dir)
        if ((*dir)[0] == '/') folders.emplace_back(*dir);
    g_strfreev(list);
    std::vector<std::string> files;
    for (const std::string& folder : folders) files.push_back(folder + "/vemol/vemol.conf");
    return files;
}

net::RankingServer ChooseRankingServer(const std::optional<std::string>& fromCommandLine,
                                       const std::vector<std::string>& keyFiles, std::ostream& errors) {
    if (fromCommandLine) {
        if (auto server = net::ParseRankingServer(*fromCommandLine)) return *server;
        errors << "vemol: --ranking-server: "
               << net::TranslatedWith(
                      "\"%s\" is not a host name, dotted IPv4 address or bracketed IPv6 "
                      "address with an optional port 1 to 65535; ignored",
                      {*fromCommandLine})
               << "\n";
    }
    for (const std::string& path : keyFiles)
        if (auto server = ServerInKeyFile(path, errors)) return *server;
    return net::BuiltInRankingServer();
}

}  // namespace vemol::platform
