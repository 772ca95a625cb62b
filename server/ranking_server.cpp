// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/ranking_server.h"

#include <CivetServer.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <optional>
#include <stdexcept>
#include <thread>
#include <variant>

#include "replay/replay.h"
#include "server/connection_front.h"
#include "server/health_probe.h"
#include "server/listen_address.h"
#include "server/metrics.h"
#include "server/ranking_page.h"
#include "server/ranking_period.h"
#include "server/rate_limiter.h"
#include "server/replay_checker.h"
#include "server/replay_routes.h"
#include "server/request_log.h"
#include "server/score_submission.h"
#include "server/score_writer.h"

namespace vemol::ranking {
namespace {

using Clock = std::chrono::steady_clock;

struct Reply {
    int status = 200;
    std::string body;
    std::string_view contentType = "text/plain; charset=utf-8";
    std::string outcome;  // for the log
    // One more header, or none: its name and value.
    std::string extraHeader, extraValue;
    bool databaseError = false;  // counted for the metrics
};

Reply Text(int status, std::string message, std::string outcome) {
    return Reply{status, std::move(message) + "\n", "text/plain; charset=utf-8", std::move(outcome), {}, {}};
}

Reply WithHeader(Reply reply, std::string name, std::string value) {
    reply.extraHeader = std::move(name);
    reply.extraValue = std::move(value);
    return reply;
}

// The database failed: 503, and the reason in the log.
Reply Unavailable(const char* message, const StoreError& error) {
    Reply reply = Text(503, message, error.what());
    reply.databaseError = true;
    return reply;
}

// Sends the reply and closes the connection afterwards: the game speaks HTTP/1.0 and
// expects the server to close. CivetWeb writes the status line (in the request's HTTP
// version, with its own status text) and a Date header.
void Send(mg_connection* connection, const Reply& reply) {
    std::string type(reply.contentType), length = std::to_string(reply.body.size());
    mg_response_header_start(connection, reply.status);
    mg_response_header_add(connection, "Content-Type", type.c_str(), -1);
    mg_response_header_add(connection, "Content-Length", length.c_str(), -1);
    mg_response_header_add(connection, "Cache-Control", "no-cache", -1);
    mg_response_header_add(connection, "X-Content-Type-Options", "nosniff", -1);
    if (!reply.extraHeader.empty())
        mg_response_header_add(connection, reply.extraHeader.c_str(), reply.extraValue.c_str(), -1);
    mg_response_header_add(connection, "Connection", "close", -1);
    mg_response_header_send(connection);
    const mg_request_info* request = mg_get_request_info(connection);
    if (std::string_view(request->request_method) != "HEAD") mg_write(connection, reply.body.data(), reply.body.size());
}

enum class BodyRead { Complete, TooLarge, TimedOut, Broken };

// Reads the body within the request's time limit. One byte per call: CivetWeb's read
// waits for all it was asked for, so larger calls would let a client that trickles
// bytes hold the thread past the limit. Bytes already received come from its buffer.
// With a `chunk` above 1 a call takes up to that many bytes: only for a path whose
// requests must announce their length, which the front passes on once all of it has
// arrived.
BodyRead ReadBody(mg_connection* connection, Clock::time_point deadline, std::string& body,
                  long long largest = kLargestBody, long long chunk = 1) {
    long long length = mg_get_request_info(connection)->content_length;
    if (length > largest) return BodyRead::TooLarge;
    for (;;) {
        long long left = length - static_cast<long long>(body.size());
        if (length >= 0 && left == 0) return BodyRead::Complete;
        if (Clock::now() > deadline) return BodyRead::TimedOut;
        char bytes[16 * 1024];
        std::size_t want =
            length < 0 ? 1 : static_cast<std::size_t>(std::clamp(left, 1LL, std::min<long long>(chunk, sizeof bytes)));
        int got = mg_read(connection, bytes, want);
        if (got == 0 && length < 0) return BodyRead::Complete;  // no Content-Length: the body ends at close
        if (got <= 0) return Clock::now() > deadline ? BodyRead::TimedOut : BodyRead::Broken;
        if (static_cast<long long>(body.size()) + got > largest) return BodyRead::TooLarge;
        body.append(bytes, static_cast<std::size_t>(got));
    }
}

std::int64_t SecondsSince1970() { return static_cast<std::int64_t>(std::time(nullptr)); }

// /healthz answers within this, whatever the database does.
constexpr auto kHealthLimit = std::chrono::milliseconds(1500);

// What the handlers share.
struct Context {
    ScoreStore& store;
    ScoreWriter writer;
    RateLimiter limiter;
    HealthProbe health;
    ServerSettings settings;
    Metrics metrics;
    std::unique_ptr<ConnectionFront> front;
    // Checks uploaded replays; none when the host turned uploads off.
    std::unique_ptr<ReplayChecker> checker;
    // Requests being served, and whether the server is stopping: CivetWeb's own stop
    // cuts reads and writes short, so a stop first waits for these to finish.
    std::atomic<int> inFlight = 0;
    std::atomic<bool> stopping = false;

    // The client as the front accepted it; a connection made to CivetWeb directly (only
    // possible from this machine) is its own sender.
    std::string Peer(const mg_connection* connection) const {
        const mg_request_info* request = mg_get_request_info(connection);
        std::string client = front ? front->ClientOf(request->remote_port) : std::string();
        return client.empty() ? std::string(request->remote_addr) : client;
    }

    std::string Sender(mg_connection* connection) const {
        std::string peer = Peer(connection);
        if (settings.behindProxy && (peer == "127.0.0.1" || peer == "::1")) {
            // An address is short; a longer value is cut so it cannot swell the limiter.
            if (const char* forwarded = mg_get_header(connection, "X-Real-IP"); forwarded && *forwarded)
                return std::string(forwarded).substr(0, 64);
        }
        return peer;
    }

    // True when the sender's range may post now: counted in the database when it keeps a
    // shared allowance, else here.
    // Replay uploads have an allowance of the same size of their own (`kind` "replay:").
    bool AllowPost(const std::string& sender, Clock::time_point now, const std::string& kind = "") {
        if (settings.postsPerMinute <= 0) return true;
        std::string range = kind + SenderRange(sender);
        if (std::optional<bool> shared = store.AllowPost(range, settings.postsPerMinute)) return *shared;
        return limiter.Allow(range, now);
    }
};

Reply PostScore(Context& context, mg_connection* connection, Clock::time_point started);

// Serves one path: each request is answered by `respond` and logged.
class PathHandler : public CivetHandler {
public:
    using Responder = Reply (*)(Context&, mg_connection*, Clock::time_point started);
    // `label` names the path in the metrics.
    PathHandler(Context& context, const char* label, Responder get, Responder post)
        : context_(context), label_(label), get_(get), post_(post) {}

    bool handleGet(CivetServer*, mg_connection* connection) override { return Handle(connection, get_); }
    bool handleHead(CivetServer*, mg_connection* connection) override { return Handle(connection, get_); }
    bool handlePost(CivetServer*, mg_connection* connection) override { return Handle(connection, post_); }
    bool handlePut(CivetServer*, mg_connection* connection) override { return Handle(connection, nullptr); }
    bool handleDelete(CivetServer*, mg_connection* connection) override { return Handle(connection, nullptr); }
    bool handleOptions(CivetServer*, mg_connection* connection) override { return Handle(connection, nullptr); }
    bool handlePatch(CivetServer*, mg_connection* connection) override { return Handle(connection, nullptr); }

private:
    bool Handle(mg_connection* connection, Responder respond) {
        Clock::time_point started = Clock::now();
        ++context_.inFlight;
        Reply reply;
        if (context_.stopping) {
            reply = Text(503, "the ranking server is restarting; try again in a moment", "stopping");
        } else if (respond) {
            reply = respond(context_, connection, started);
        } else {
            reply = Text(405, "method not allowed", "method not allowed");
            reply.extraHeader = "Allow";
            reply.extraValue = get_ ? "GET, HEAD" : "POST";
        }
        Send(connection, reply);
        --context_.inFlight;
        const mg_request_info* request = mg_get_request_info(connection);
        context_.metrics.CountRequest(label_, reply.status);
        if (post_ == PostScore && respond == post_) context_.metrics.CountPost(reply.status, Clock::now() - started);
        if (reply.databaseError) context_.metrics.CountDatabaseError();
        std::string sender = context_.Sender(connection);
        std::string_view path = request->local_uri_raw ? request->local_uri_raw : "";
        // An upload token is a key to an entry for a few minutes: kept out of the log.
        if (path.starts_with(kReplayUploadPath)) path = "/replays/upload/(token)";
        LogRequest({sender, request->request_method, path, reply.status, Clock::now() - started, reply.outcome});
        return true;
    }

    Context& context_;
    const char* label_;
    Responder get_;
    Responder post_;
};

Reply PostScore(Context& context, mg_connection* connection, Clock::time_point started) {
    std::string sender = context.Sender(connection);
    try {
        if (!context.AllowPost(sender, started))
            return Text(429, "too many scores from this address; try again in a minute", "rate limited");
    } catch (const StoreError& error) {
        return Unavailable("the ranking cannot store scores right now; try again later", error);
    }
    std::string body;
    switch (ReadBody(connection, started + std::chrono::seconds(context.settings.readTimeLimitSeconds), body)) {
        case BodyRead::TooLarge: return Text(413, "the body is larger than 8 KiB", "body too large");
        case BodyRead::TimedOut: return Text(408, "the request took too long to arrive", "read time limit");
        case BodyRead::Broken: return Text(400, "the body ended early", "body cut short");
        case BodyRead::Complete: break;
    }
    std::variant<NewScore, Refusal> submission = ReadSubmission(body, SecondsSince1970());
    if (auto* refusal = std::get_if<Refusal>(&submission)) {
        return Text(400, refusal->reason, refusal->reason);
    }
    NewScore& score = std::get<NewScore>(submission);
    score.address = sender;
    if (context.checker) {
        try {
            score.uploadToken = NewUploadToken();
        } catch (const std::runtime_error&) {
            // Stored without a way to verify it, as before replays.
        }
    }
    std::string uploadPath = std::string(kReplayUploadPath) + score.uploadToken;
    try {
        // Read from the database for every post, so a ban made by `admin ban` holds at
        // once on every instance.
        if (std::optional<Ban> ban = FindBan(context.store.Bans(), score.name, sender))
            return Text(403, "scores from this " + ban->kind + " are not accepted", "banned " + ban->kind);
        // Answered only now that the score is committed: the game takes a 2xx as stored.
        if (context.writer.Add(std::move(score)) == AddOutcome::Duplicate)
            return Text(200, "already stored", "re-send stored once");
        if (uploadPath.size() == kReplayUploadPath.size()) return Text(200, "stored", "stored");
        return WithHeader(Text(200, "stored", "stored"), kReplayUploadHeader, uploadPath);
    } catch (const StoreError& error) {
        return Unavailable("the ranking cannot store scores right now; try again later", error);
    }
}

// The page and the JSON share the reading of the period's rows and the failure replies.
Reply Ranking(Context& context, mg_connection* connection, bool page) {
    const char* query = mg_get_request_info(connection)->query_string;
    std::optional<RankingPeriod> period = PeriodOfQuery(query);
    if (!period) return Text(400, "period must be day, week, month or all", "unknown period");
    std::optional<bool> verifiedOnly = VerifiedOnlyOfQuery(query);
    if (!verifiedOnly) return Text(400, "verified must be 0 or 1", "unknown view");
    try {
        std::vector<StoredScore> rows =
            context.store.TopScores(kRankingSize, PeriodStart(*period, SecondsSince1970()), *verifiedOnly);
        if (!page) return Reply{200, RenderRankingJson(rows), "application/json", "ranking", {}, {}};
        // The page has no scripts and loads nothing: forbid both, whatever a name holds.
        return WithHeader(
            Reply{200, RenderRankingPage(rows, *period, *verifiedOnly), "text/html; charset=utf-8", "ranking", {}, {}},
            "Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'");
    } catch (const StoreError& error) {
        return Unavailable("the ranking cannot be read right now; try again later", error);
    }
}

Reply GetPage(Context& context, mg_connection* connection, Clock::time_point) {
    return Ranking(context, connection, true);
}

Reply GetJson(Context& context, mg_connection* connection, Clock::time_point) {
    return Ranking(context, connection, false);
}

// Healthy only when a score sent now would be stored.
Reply GetHealth(Context& context, mg_connection*, Clock::time_point) {
    std::optional<std::string> failure = context.health.Check(kHealthLimit);
    if (!failure) return Text(503, "the ranking's database does not answer in time", "database does not answer");
    if (!failure->empty()) return Text(503, "the ranking cannot store scores now: " + *failure, *failure);
    return Text(200, "ok", "healthy");
}

// Requests CivetWeb refuses itself (a malformed request line, an unknown method, an
// oversized header) are logged like every other; its own error page is sent.
int LogRefusal(mg_connection* connection, int status, const char* message) {
    const mg_request_info* request = mg_get_request_info(connection);
    auto* server = static_cast<CivetServer*>(mg_get_user_data(mg_get_context(connection)));
    auto* context = server ? static_cast<const Context*>(server->getUserContext()) : nullptr;
    std::string sender = context ? context->Peer(connection) : std::string(request->remote_addr);
    std::string path = request->local_uri_raw ? request->local_uri_raw
                       : request->request_uri ? request->request_uri
                                              : "-";
    LogRequest({sender, request->request_method ? request->request_method : "-", path, status, Clock::duration::zero(),
                std::string("refused: ") + (message ? message : "")});
    return 1;
}

CivetCallbacks Callbacks() {
    CivetCallbacks callbacks{};
    callbacks.http_error = LogRefusal;
    return callbacks;
}

Reply NotFound(Context&, mg_connection*, Clock::time_point) { return Text(404, "not found", "not found"); }

// A verified entry's replay, to watch with the game; nothing for any other entry.
Reply GetReplay(Context& context, mg_connection* connection, Clock::time_point started) {
    std::optional<std::int64_t> id = EntryOfReplayPath(mg_get_request_info(connection)->local_uri);
    if (!id) return NotFound(context, connection, started);
    try {
        std::optional<StoredReplay> replay = context.store.FindReplay(*id);
        if (!replay || replay->state != ReplayState::Verified || replay->hidden)
            return Text(404, "no verified replay for this entry", "no verified replay");
        std::string file = std::to_string(*id) + ".vemolreplay";
        return WithHeader(
            Reply{200, std::string(replay->bytes.begin(), replay->bytes.end()), kReplayContentType, "replay", {}, {}},
            "Content-Disposition", "attachment; filename=\"vemol-" + file + "\"");
    } catch (const StoreError& error) {
        return Unavailable("the replay cannot be read right now; try again later", error);
    }
}

// Takes the replay of the entry the token is bound to and queues its check. The token
// is checked and used only once the whole body is in, so a cut or refused upload may be
// tried again while the token is valid.
Reply PostReplay(Context& context, mg_connection* connection, Clock::time_point started) {
    const mg_request_info* request = mg_get_request_info(connection);
    std::optional<std::string> token = TokenOfUploadPath(request->local_uri);
    if (!token || !context.checker) return Text(404, "no such upload", "unknown upload");
    if (request->content_length < 0) return Text(411, "give the replay's Content-Length", "upload without length");
    if (request->content_length > static_cast<long long>(replay::kMaxReplayFileBytes))
        return Text(413, "the replay is larger than the largest the game writes", "replay too large");
    try {
        if (!context.AllowPost(context.Sender(connection), started, "replay:"))
            return Text(429, "too many replays from this address; try again in a minute", "rate limited");
    } catch (const StoreError& error) {
        return Unavailable("the ranking cannot take replays right now; try again later", error);
    }
    if (!context.checker->Reserve())
        return WithHeader(Text(503, "too many replays wait for their check; try again in a minute", "queue full"),
                          "Retry-After", "60");
    std::string body;
    auto limit = started + std::chrono::seconds(context.settings.readTimeLimitSeconds);
    BodyRead read = ReadBody(connection, limit, body, static_cast<long long>(replay::kMaxReplayFileBytes), 16 * 1024);
    if (read != BodyRead::Complete) {
        context.checker->Release();
        return read == BodyRead::TimedOut ? Text(408, "the replay took too long to arrive", "read time limit")
                                          : Text(400, "the replay ended early", "body cut short");
    }
    try {
        auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(body.data()), body.size());
        std::optional<ReplayToCheck> entry = context.store.AcceptReplay(*token, SecondsSince1970(), bytes);
        if (!entry) {
            context.checker->Release();
            return Text(404, "no such upload, or its time has passed", "unknown upload");
        }
        context.checker->Enqueue(*entry);
        return Text(202, "replay received; it is checked in a moment",
                    "replay of entry " + std::to_string(entry->entryId));
    } catch (const StoreError& error) {
        context.checker->Release();
        return Unavailable("the ranking cannot take replays right now; try again later", error);
    }
}

Reply GetMetrics(Context& context, mg_connection*, Clock::time_point) {
    return Reply{
        200,
        context.metrics.Render(context.writer.QueueLength(), context.checker ? context.checker->QueueLength() : 0),
        "text/plain; version=0.0.4; charset=utf-8",
        "metrics",
        {},
        {}};
}

// CivetWeb listens on loopback only: the front passes it requests that have arrived.
std::vector<std::string> CivetOptions(const ServerSettings& settings) {
    std::string timeLimit = std::to_string(settings.readTimeLimitSeconds * 1000);
    return {"listening_ports",    "127.0.0.1:0", "num_threads",       std::to_string(settings.threads),
            "request_timeout_ms", timeLimit,     "enable_keep_alive", "no",
            "linger_timeout_ms",  "1000"};
}

}  // namespace

struct RankingServer::Parts {
    Context context;
    PathHandler script, page, json, health, metrics, replays, other;
    CivetCallbacks callbacks = Callbacks();
    CivetServer civet;
    // Serves /metrics alone where the host gave it its own address.
    std::unique_ptr<CivetServer> metricsCivet;

    Parts(ScoreStore& store, const ServerSettings& settings, const ListenAddress& address)
        : context{store, ScoreWriter(store), RateLimiter(settings.postsPerMinute), HealthProbe(store), settings, {}, {},
                  {}},
          script(context, "score", nullptr, PostScore),
          page(context, "page", GetPage, nullptr),
          json(context, "json", GetJson, nullptr),
          health(context, "healthz", GetHealth, nullptr),
          metrics(context, "metrics", GetMetrics, nullptr),
          replays(context, "replays", GetReplay, PostReplay),
          other(context, "other", NotFound, NotFound),
          civet(CivetOptions(settings), &callbacks, &context) {
        civet.addHandler(kScoreScriptPath, script);
        civet.addHandler(kRankingPagePath, page);
        civet.addHandler(kRankingJsonPath, json);
        civet.addHandler(kHealthPath, health);
        civet.addHandler(std::string(kReplaysPath), replays);
        if (settings.replayQueue > 0) {
            context.checker =
                std::make_unique<ReplayChecker>(store, context.metrics, static_cast<std::size_t>(settings.replayQueue),
                                                settings.verifier ? settings.verifier : GameRulesVerifier());
        }
        civet.addHandler("/", other);
        if (settings.metricsListen.empty()) {
            civet.addHandler(kMetricsPath, metrics);
        } else {
            std::optional<ListenAddress> where = ParseListenAddress(settings.metricsListen);
            if (!where)
                throw std::runtime_error("cannot serve metrics on " + settings.metricsListen + ": not ADDR:PORT");
            std::vector<std::string> options{"listening_ports",    where->host + ":" + std::to_string(where->port),
                                             "num_threads",        "2",
                                             "request_timeout_ms", "5000",
                                             "enable_keep_alive",  "no"};
            metricsCivet = std::make_unique<CivetServer>(options, &callbacks, &context);
            metricsCivet->addHandler(kMetricsPath, metrics);
            metricsCivet->addHandler("/", other);
        }
        FrontLimits limits;
        limits.whole = std::chrono::seconds(settings.readTimeLimitSeconds);
        limits.silence = std::min(limits.whole, std::chrono::seconds(5));
        limits.perAddress = settings.connectionsPerAddress;
        // Behind a proxy every player arrives from it: the proxy holds slow clients itself.
        limits.loopbackUncapped = settings.behindProxy;
        context.front = std::make_unique<
            ConnectionFront>(address, civet.getListeningPorts().front(), limits, [](const FrontRefusal& refusal) {
            LogRequest({refusal.address, refusal.method, refusal.path, refusal.status, refusal.took, refusal.outcome});
        });
    }
};

RankingServer::RankingServer(ScoreStore& store, const ServerSettings& settings) {
    std::optional<ListenAddress> address = ParseListenAddress(settings.listen);
    if (!address) throw std::runtime_error("cannot listen on " + settings.listen + ": not ADDR:PORT");
    try {
        parts_ = std::make_unique<Parts>(store, settings, *address);
    } catch (const CivetException& error) {
        throw std::runtime_error("cannot start the request threads: " + std::string(error.what()));
    }
}

RankingServer::~RankingServer() {
    if (!parts_) return;
    // The front stops taking connections and passes on the requests that arrive within
    // their time limits; then new requests are turned away while the ones in flight
    // finish, within the time a request may take and a little more for the database.
    Context& context = parts_->context;
    context.front->Stop();
    context.stopping = true;
    auto deadline = Clock::now() + std::chrono::seconds(context.settings.readTimeLimitSeconds + 10);
    while (context.inFlight > 0 && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (parts_->metricsCivet) parts_->metricsCivet->close();
    parts_->civet.close();
}

int RankingServer::port() const { return parts_->context.front->port(); }

int RankingServer::metricsPort() const {
    return parts_->metricsCivet ? parts_->metricsCivet->getListeningPorts().front() : 0;
}

}  // namespace vemol::ranking
