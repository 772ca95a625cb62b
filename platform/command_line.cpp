// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/command_line.h"

#include <cstdio>

#include "net/texts.h"
#include "platform/display.h"

#ifndef VEMOL_VERSION
#define VEMOL_VERSION "1.0"
#endif

namespace vemol::platform {
namespace {

using net::ToTranslate;
using net::Translated;

// Frees what the option parser filled in, however parsing ends.
struct ParsedValues {
    gchar* rankingServer = nullptr;
    gchar* replayFile = nullptr;
    gboolean version = FALSE;
    ~ParsedValues() {
        g_free(rankingServer);
        g_free(replayFile);
    }
};

int Mistake(const char* program, const char* reason) {
    std::fprintf(stderr, "%s: %s\n", program, reason);
    std::fprintf(stderr, Translated("Try \"%s --help\" for more information.\n"), program);
    return 2;
}

}  // namespace

CommandLine ParseCommandLine(int& argc, char**& argv) {
    ParsedValues values;
    const GOptionEntry entries[] = {
        {"ranking-server", 0, 0, G_OPTION_ARG_STRING, &values.rankingServer,
         ToTranslate("Send scores to, and open the ranking page of, this ranking server (port 80 when none is given)"),
         ToTranslate("HOST[:PORT]")},
        {"replay", 0, 0, G_OPTION_ARG_FILENAME, &values.replayFile,
         ToTranslate("Play back the game recorded in FILE, then go on to the title (Home or Escape stops it)"),
         ToTranslate("FILE")},
        {"version", 0, 0, G_OPTION_ARG_NONE, &values.version, ToTranslate("Print the version and exit"), nullptr},
        {}};
    GOptionContext* context = g_option_context_new(Translated("[REPLAY-FILE]"));
    g_option_context_set_translation_domain(context, net::kTextDomain);
    g_option_context_set_summary(context,
                                 Translated("Vemol, the dice game: shoot matching dice before they reach you."));
    g_option_context_set_description(
        context, Translated("The ranking server can also be named in vemol/vemol.conf under $XDG_CONFIG_HOME or\n"
                            "$XDG_CONFIG_DIRS ([ranking] server=HOST[:PORT]). A replay file named alone plays as\n"
                            "with --replay. See vemol(6)."));
    g_option_context_add_main_entries(context, entries, net::kTextDomain);
    g_option_context_add_group(context, DisplayOptionGroup());

    const char* program = "vemol";
    CommandLine result;
    GError* error = nullptr;
    if (!g_option_context_parse(context, &argc, &argv, &error)) {
        result.exitCode = Mistake(program, error->message);
        g_error_free(error);
    } else if (values.version) {
        std::printf("vemol %s\n", VEMOL_VERSION);
        result.exitCode = 0;
    } else if (argc > (values.replayFile ? 1 : 2)) {
        result.exitCode = Mistake(program, net::TranslatedWith("unexpected argument \"%s\"", {argv[argc - 1]}).c_str());
    } else {
        if (values.rankingServer) result.rankingServer = values.rankingServer;
        if (values.replayFile)
            result.replayFile = values.replayFile;
        else if (argc == 2)
            result.replayFile = argv[1];
    }
    g_option_context_free(context);
    return result;
}

}  // namespace vemol::platform
