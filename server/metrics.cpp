// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/metrics.h"

#include <cstdio>

namespace vemol::ranking {
namespace {

// The reason a post was refused, from its status.
const char* RefusalReason(int status) {
    switch (status) {
        case 400: return "invalid";
        case 403: return "banned";
        case 408: return "too_slow";
        case 413: return "too_large";
        case 429: return "rate_limited";
        case 503: return "unavailable";
        default: return "other";
    }
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

void Header(std::string& out, const char* name, const char* type, const char* help) {
    out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
}

}  // namespace

void Metrics::CountRequest(const std::string& path, int status) {
    std::lock_guard lock(mutex_);
    ++requests_[{path, status}];
}

void Metrics::CountPost(int status, std::chrono::steady_clock::duration took) {
    double seconds = std::chrono::duration<double>(took).count();
    std::lock_guard lock(mutex_);
    if (status == 200)
        ++stored_;
    else
        ++refused_[RefusalReason(status)];
    for (std::size_t i = 0; i < kBuckets.size(); ++i)
        if (seconds <= kBuckets[i]) ++postBuckets_[i];
    ++postCount_;
    postSeconds_ += seconds;
}

void Metrics::CountCheck(bool verified, double seconds) {
    std::lock_guard lock(mutex_);
    ++(verified ? checksVerified_ : checksFailed_);
    checkSeconds_ += seconds;
}

std::string Metrics::Render(std::size_t writeQueueLength, std::size_t replayQueueLength) {
    std::lock_guard lock(mutex_);
    std::string out;
    Header(out, "vemol_ranking_requests_total", "counter", "Requests answered, by path and status.");
    for (const auto& [key, count] : requests_) {
        out += "vemol_ranking_requests_total{path=\"" + key.first + "\",status=\"" + std::to_string(key.second) +
               "\"} " + std::to_string(count) + "\n";
    }
    Header(out, "vemol_ranking_posts_stored_total", "counter", "Scores answered as stored (re-sends included).");
    out += "vemol_ranking_posts_stored_total " + std::to_string(stored_) + "\n";
    Header(out, "vemol_ranking_posts_refused_total", "counter", "Scores refused, by reason.");
    for (const auto& [reason, count] : refused_)
        out += "vemol_ranking_posts_refused_total{reason=\"" + reason + "\"} " + std::to_string(count) + "\n";
    Header(out, "vemol_ranking_post_duration_seconds", "histogram", "Time from a post's arrival to its answer.");
    for (std::size_t i = 0; i < kBuckets.size(); ++i) {
        out += "vemol_ranking_post_duration_seconds_bucket{le=\"" + Number(kBuckets[i]) + "\"} " +
               std::to_string(postBuckets_[i]) + "\n";
    }
    out += "vemol_ranking_post_duration_seconds_bucket{le=\"+Inf\"} " + std::to_string(postCount_) + "\n";
    out += "vemol_ranking_post_duration_seconds_sum " + Number(postSeconds_) + "\n";
    out += "vemol_ranking_post_duration_seconds_count " + std::to_string(postCount_) + "\n";
    Header(out, "vemol_ranking_database_errors_total", "counter", "Database calls that failed.");
    out += "vemol_ranking_database_errors_total " + std::to_string(databaseErrors_.load()) + "\n";
    Header(out, "vemol_ranking_write_queue_length", "gauge", "Scores waiting for the next transaction.");
    out += "vemol_ranking_write_queue_length " + std::to_string(writeQueueLength) + "\n";
    Header(out, "vemol_ranking_replay_checks_total", "counter", "Replays checked, by outcome.");
    out += "vemol_ranking_replay_checks_total{outcome=\"verified\"} " + std::to_string(checksVerified_) + "\n";
    out += "vemol_ranking_replay_checks_total{outcome=\"failed\"} " + std::to_string(checksFailed_) + "\n";
    Header(out, "vemol_ranking_replay_check_seconds", "summary", "Time spent checking replays.");
    out += "vemol_ranking_replay_check_seconds_sum " + Number(checkSeconds_) + "\n";
    out += "vemol_ranking_replay_check_seconds_count " + std::to_string(checksVerified_ + checksFailed_) + "\n";
    Header(out, "vemol_ranking_replay_queue_length", "gauge", "Uploaded replays waiting for their check.");
    out += "vemol_ranking_replay_queue_length " + std::to_string(replayQueueLength) + "\n";
    return out;
}

}  // namespace vemol::ranking
