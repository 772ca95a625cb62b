// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/admin_command.h"

#include <utf8proc.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits>
#include <utility>

#include "server/ranking_page.h"
#include "server/score_store.h"

namespace vemol::ranking {
namespace {

constexpr const char* kAdminUsage =
    "Usage: vemol-ranking admin [--db LOCATION] COMMAND\n"
    "  list [--name N] [--address A] [--since TIME] [--until TIME] [--limit K]\n"
    "  hide ID...            unhide ID...     (ids apart or as 3,7,12)\n"
    "  ban name NAME         ban address ADDR|IPV6-PREFIX/BITS\n"
    "  unban name NAME       unban address ADDR|IPV6-PREFIX/BITS\n"
    "  bans\n"
    "  purge --since TIME [--until TIME] [--address A]\n"
    "  log [--limit K]\n"
    "  replay ID FILE        the entry's uploaded replay, whatever its check, to FILE\n"
    "TIME is UTC: 2026-12-09, '2026-12-09 17:40', 2026-12-09T17:40:05Z or @SECONDS.\n";

int Usage(const std::string& what) {
    std::fprintf(stderr, "vemol-ranking admin: %s\n%s", what.c_str(), kAdminUsage);
    return 2;
}

std::optional<std::int64_t> ReadInteger(const std::string& text, std::int64_t lowest) {
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lowest) return std::nullopt;
    return value;
}

// The command's words and its --flag values, in the order given.
struct Command {
    std::vector<std::string> words;
    std::vector<std::pair<std::string, std::string>> flags;
    bool Has(const std::string& flag) const {
        for (const auto& given : flags)
            if (given.first == flag) return true;
        return false;
    }
};

std::optional<Command> Split(const std::vector<std::string>& arguments, std::string& database) {
    Command command;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!arguments[i].starts_with("--")) {
            command.words.push_back(arguments[i]);
            continue;
        }
        if (i + 1 == arguments.size()) return std::nullopt;
        if (arguments[i] == "--db")
            database = arguments[i + 1];
        else
            command.flags.emplace_back(arguments[i], arguments[i + 1]);
        ++i;
    }
    return command;
}

int List(ScoreStore& store, const Command& command) {
    EntryFilter filter;
    for (const auto& [flag, value] : command.flags) {
        std::optional<std::int64_t> number = flag == "--limit" ? ReadInteger(value, 1) : ParseTime(value);
        if (flag == "--name")
            filter.name = value;
        else if (flag == "--address")
            filter.address = value;
        else if (!number)
            return Usage("bad value for " + flag + ": " + value);
        else if (flag == "--since")
            filter.since = *number;
        else if (flag == "--until")
            filter.until = *number;
        else if (flag == "--limit")
            filter.limit = static_cast<int>(std::min<std::int64_t>(*number, 1'000'000));
        else
            return Usage("unknown flag " + flag);
    }
    // The replay's check comes last, so scripts reading the earlier columns keep working.
    std::printf("id\ttime\taddress\tname\tscore\tstate\tcomment\treplay\n");
    for (const Entry& entry : store.ListEntries(filter)) {
        std::string replay = ReplayStateName(entry.replay);
        if (entry.replay == ReplayState::Failed) replay += ": " + entry.replayReason;
        std::printf("%lld\t%s\t%s\t%s\t%d\t%s\t%s\t%s\n", static_cast<long long>(entry.id),
                    FormatDate(entry.score.receivedAt).c_str(), entry.address.c_str(), entry.score.name.c_str(),
                    entry.score.score, entry.hidden ? "hidden" : "shown", entry.score.comment.c_str(), replay.c_str());
    }
    return 0;
}

int Hide(ScoreStore& store, const Command& command, bool hidden) {
    // Ids apart or comma-separated, as purge and log print them.
    std::vector<std::int64_t> ids;
    for (std::size_t i = 1; i < command.words.size(); ++i) {
        std::string_view rest = command.words[i];
        while (!rest.empty()) {
            std::string word(rest.substr(0, rest.find(',')));
            rest.remove_prefix(std::min(rest.size(), word.size() + 1));
            std::optional<std::int64_t> id = ReadInteger(word, 1);
            if (!id) return Usage("not an entry id: " + word);
            ids.push_back(*id);
        }
    }
    if (ids.empty() || !command.flags.empty()) return Usage("give the ids of the entries");
    const char* verb = hidden ? "hide" : "unhide";
    std::vector<std::int64_t> changed = store.SetHidden(ids, hidden, std::string(verb) + " " + JoinIds(ids));
    std::printf("%s: %zu of %zu entries changed%s%s\n", verb, changed.size(), ids.size(), changed.empty() ? "" : ": ",
                JoinIds(changed).c_str());
    return 0;
}

int ChangeBan(ScoreStore& store, const Command& command, bool banned) {
    if (command.words.size() != 3 || !command.flags.empty()) return Usage("give name NAME or address ADDR");
    Ban ban{command.words[1], command.words[2], 0};
    // Names are stored in NFC: a name typed in another spelling still finds its posts.
    if (ban.kind == "name") {
        if (utf8proc_uint8_t* composed = utf8proc_NFC(reinterpret_cast<const utf8proc_uint8_t*>(ban.value.c_str()))) {
            ban.value = reinterpret_cast<char*>(composed);
            std::free(composed);
        }
    }
    if (!IsValidBan(ban)) return Usage("not a name or an address (IPv4, IPv6 or IPv6/BITS): " + ban.value);
    std::string action = (banned ? "ban " : "unban ") + ban.kind + " " + ban.value;
    bool changed = store.SetBan(ban, banned, action);
    std::printf("%s%s\n", action.c_str(), changed ? "" : (banned ? ": already banned" : ": was not banned"));
    return 0;
}

int Purge(ScoreStore& store, const Command& command) {
    EntryFilter filter;
    filter.limit = std::numeric_limits<int>::max();
    std::string action = "purge";
    for (const auto& [flag, value] : command.flags) {
        std::optional<std::int64_t> time = ParseTime(value);
        if (flag == "--address")
            filter.address = value;
        else if (flag != "--since" && flag != "--until")
            return Usage("unknown flag " + flag);
        else if (!time)
            return Usage("bad time for " + flag + ": " + value);
        else
            (flag == "--since" ? filter.since : filter.until) = *time;
        action += " " + flag + " " + value;
    }
    if (!command.Has("--since")) return Usage("purge needs --since");
    std::vector<std::int64_t> ids;
    for (const Entry& entry : store.ListEntries(filter))
        if (!entry.hidden) ids.push_back(entry.id);
    std::vector<std::int64_t> hidden = store.SetHidden(ids, true, action);
    std::printf("purge: %zu entries hidden%s%s\n", hidden.size(), hidden.empty() ? "" : ": ", JoinIds(hidden).c_str());
    return 0;
}

// Writes an entry's stored replay, also one whose check failed, for the host to watch
// with vemol --replay.
int ExportReplay(ScoreStore& store, const Command& command) {
    std::optional<std::int64_t> id = command.words.size() == 3 ? ReadInteger(command.words[1], 1) : std::nullopt;
    if (!id || !command.flags.empty()) return Usage("give the entry's id and a file");
    std::optional<StoredReplay> replay = store.FindReplay(*id);
    if (!replay) {
        std::fprintf(stderr, "vemol-ranking admin: entry %lld has no replay\n", static_cast<long long>(*id));
        return 1;
    }
    const std::string& file = command.words[2];
    FILE* out = std::fopen(file.c_str(), "wb");
    bool written = out && std::fwrite(replay->bytes.data(), 1, replay->bytes.size(), out) == replay->bytes.size();
    if (out && std::fclose(out) != 0) written = false;
    if (!written) {
        std::fprintf(stderr, "vemol-ranking admin: cannot write %s\n", file.c_str());
        return 1;
    }
    std::printf("replay of entry %lld (%s) written to %s\n", static_cast<long long>(*id),
                ReplayStateName(replay->state), file.c_str());
    return 0;
}

int Run(ScoreStore& store, const Command& command) {
    const std::string& verb = command.words.front();
    if (verb == "list" && command.words.size() == 1) return List(store, command);
    if (verb == "hide" || verb == "unhide") return Hide(store, command, verb == "hide");
    if (verb == "ban" || verb == "unban") return ChangeBan(store, command, verb == "ban");
    if (verb == "purge" && command.words.size() == 1) return Purge(store, command);
    if (verb == "replay") return ExportReplay(store, command);
    if (verb == "bans" && command.words.size() == 1 && command.flags.empty()) {
        for (const Ban& ban : store.Bans())
            std::printf("%s\t%s\t%s\n", ban.kind.c_str(), ban.value.c_str(), FormatDate(ban.since).c_str());
        return 0;
    }
    if (verb == "log" && command.words.size() == 1) {
        int limit = 50;
        for (const auto& [flag, value] : command.flags) {
            std::optional<std::int64_t> number = ReadInteger(value, 1);
            if (flag != "--limit" || !number) return Usage("log takes only --limit K");
            limit = static_cast<int>(std::min<std::int64_t>(*number, 1'000'000));
        }
        for (const AuditEntry& line : store.AuditLog(limit))
            std::printf("%s\t%s\t%s\n", FormatDate(line.at).c_str(), line.action.c_str(), line.entries.c_str());
        return 0;
    }
    return Usage("unknown command " + verb);
}

}  // namespace

std::optional<std::int64_t> ParseTime(const std::string& text) {
    if (text.starts_with('@')) return ReadInteger(text.substr(1), 0);
    std::tm fields{};
    int used = 0;
    int count = std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &fields.tm_year, &fields.tm_mon, &fields.tm_mday, &used);
    if (count != 3) return std::nullopt;
    std::string rest = text.substr(static_cast<std::size_t>(used));
    if (!rest.empty()) {
        int more = 0;
        if ((rest[0] != ' ' && rest[0] != 'T') ||
            std::sscanf(rest.c_str() + 1, "%2d:%2d%n", &fields.tm_hour, &fields.tm_min, &more) != 2)
            return std::nullopt;
        rest = rest.substr(1 + static_cast<std::size_t>(more));
        if (rest.starts_with(':')) {
            if (std::sscanf(rest.c_str() + 1, "%2d%n", &fields.tm_sec, &more) != 1) return std::nullopt;
            rest = rest.substr(1 + static_cast<std::size_t>(more));
        }
        if (rest == "Z") rest.clear();
    }
    if (!rest.empty() || fields.tm_mon < 1 || fields.tm_mon > 12 || fields.tm_mday < 1 || fields.tm_mday > 31 ||
        fields.tm_hour > 23 || fields.tm_min > 59 || fields.tm_sec > 59)
        return std::nullopt;
    fields.tm_year -= 1900;
    fields.tm_mon -= 1;
    return static_cast<std::int64_t>(timegm(&fields));
}

int RunAdmin(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "--help") {
            std::fputs(kAdminUsage, stdout);
            return 0;
        }
    }
    std::string database = "sqlite:ranking.db";
    std::optional<Command> command = Split(arguments, database);
    if (!command) return Usage("a flag lacks its value");
    if (command->words.empty()) return Usage("no command given");
    try {
        std::unique_ptr<ScoreStore> store = OpenScoreStore(database);
        return Run(*store, *command);
    } catch (const StoreError& error) {
        std::fprintf(stderr, "vemol-ranking admin: %s\n", error.what());
        return 1;
    }
}

}  // namespace vemol::ranking

namespace vemol::ranking {

int RunBackup(const std::vector<std::string>& arguments) {
    std::string database = "sqlite:ranking.db";
    std::vector<std::string> files;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--db" && i + 1 < arguments.size())
            database = arguments[++i];
        else
            files.push_back(arguments[i]);
    }
    if (files.size() != 1 || files[0].starts_with("--")) {
        std::fputs("Usage: vemol-ranking backup [--db LOCATION] FILE\n", stderr);
        return 2;
    }
    // Opening a SQLite store creates a missing file: a wrong path must not give an empty backup.
    if (database.starts_with("sqlite:") && !std::filesystem::exists(database.substr(7))) {
        std::fprintf(stderr, "vemol-ranking backup: no database at %s\n", database.substr(7).c_str());
        return 1;
    }
    try {
        OpenScoreStore(database)->Backup(files[0]);
        std::printf("backed up to %s\n", files[0].c_str());
        return 0;
    } catch (const StoreError& error) {
        std::fprintf(stderr, "vemol-ranking backup: %s\n", error.what());
        return 1;
    }
}

}  // namespace vemol::ranking
