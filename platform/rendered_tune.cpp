// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rendered_tune.h"

#include <fluidsynth.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace vemol::platform {
namespace {

constexpr int kStereo = 2;
// FluidSynth advances its MIDI player once per block of this many frames, so the tune's
// end is found to the same block as when the synthesizer loops it itself.
constexpr int kSynthBlockFrames = 64;
// The longest tune made; a longer one would loop after this.
constexpr std::size_t kLongestTuneSeconds = 600;
// Below the frame thread's priority: the making must never take a frame's time.
constexpr int kSynthesisNice = 10;

std::size_t PageRoundUp(std::size_t bytes) {
    const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

}  // namespace

struct RenderedTune::Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
};

RenderedTune::RenderedTune(resources::Bytes midi, const std::string& soundFonts, Format format)
    : channels_(std::max(1, format.channels)) {
    if (midi.size() < 4 || std::memcmp(midi.data(), "MThd", 4) != 0) {
        error_ = "it is not a Standard MIDI File";
        return;
    }
    synth_ = new Synth;
    synth_->settings = new_fluid_settings();
    fluid_settings_setnum(synth_->settings, "synth.sample-rate", double(format.frequency));
    fluid_settings_setnum(synth_->settings, "synth.gain", double(format.gain));
    synth_->synth = new_fluid_synth(synth_->settings);
    // Each SoundFont goes on top of the ones before, so the last one named wins where
    // several hold the same instrument.
    std::string_view rest = soundFonts;
    while (!rest.empty() && synth_->synth) {
        const std::string path(rest.substr(0, rest.find(':')));
        rest.remove_prefix(std::min(rest.size(), path.size() + 1));
        if (!path.empty() && fluid_synth_sfload(synth_->synth, path.c_str(), 1) == FLUID_FAILED) {
            error_ = "the SoundFont " + path + " cannot be loaded";
        }
    }
    if (synth_->synth) synth_->player = new_fluid_player(synth_->synth);
    if (!synth_->player || fluid_player_add_mem(synth_->player, midi.data(), midi.size()) != FLUID_OK) {
        if (error_.empty()) error_ = "the synthesizer cannot be started";
    }
    const std::size_t bytes = PageRoundUp(std::size_t(format.frequency) * kLongestTuneSeconds * kStereo * 2);
    void* reserved = error_.empty() ? mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0)
                                    : MAP_FAILED;
    if (error_.empty() && reserved == MAP_FAILED) error_ = "there is no memory for it";
    if (!error_.empty()) {
        freeSynthesizer();
        return;
    }
    samples_ = static_cast<std::int16_t*>(reserved);
    reservedBytes_ = bytes;
    thread_ = std::thread([this] { synthesize(); });
}

RenderedTune::~RenderedTune() {
    cancel_.store(true);
    if (thread_.joinable()) thread_.join();
    freeSynthesizer();
    if (samples_) munmap(samples_, reservedBytes_);
}

void RenderedTune::synthesize() {
    setpriority(PRIO_PROCESS, std::uint32_t(gettid()), kSynthesisNice);
    const std::size_t capacity = reservedBytes_ / (kStereo * 2);
    std::size_t made = 0;
    fluid_player_play(synth_->player);
    while (!cancel_.load(std::memory_order_relaxed) && made + kSynthBlockFrames <= capacity &&
           fluid_player_get_status(synth_->player) == FLUID_PLAYER_PLAYING) {
        std::int16_t* block = samples_ + made * kStereo;
        fluid_synth_write_s16(synth_->synth, kSynthBlockFrames, block, 0, kStereo, block, 1, kStereo);
        made += kSynthBlockFrames;
        madeFrames_.store(made, std::memory_order_release);
    }
    freeSynthesizer();
    // The pages past the tune's end were never touched; give the reservation back.
    const std::size_t used = PageRoundUp(made * kStereo * 2);
    if (used < reservedBytes_) {
        munmap(reinterpret_cast<char*>(samples_) + used, reservedBytes_ - used);
        reservedBytes_ = used;
    }
    made_.store(true, std::memory_order_release);
    made_.notify_all();
}

void RenderedTune::freeSynthesizer() {
    if (!synth_) return;
    if (synth_->player) {
        fluid_player_stop(synth_->player);
        delete_fluid_player(synth_->player);
    }
    if (synth_->synth) delete_fluid_synth(synth_->synth);
    if (synth_->settings) delete_fluid_settings(synth_->settings);
    delete synth_;
    synth_ = nullptr;
}

std::size_t RenderedTune::waitUntilMade() const {
    if (!thread_.joinable()) return 0;
    made_.wait(false, std::memory_order_acquire);
    return madeFrames_.load(std::memory_order_acquire);
}

void RenderedTune::play(bool loopForever) {
    loopForever_.store(loopForever);
    restart_.store(true);
    playing_.store(true);
}

void RenderedTune::stop() { playing_.store(false); }

void RenderedTune::fill(std::int16_t* out, int frames) {
    if (!playing_.load()) return;
    if (restart_.exchange(false)) position_ = 0, ended_ = false;
    while (frames > 0 && !ended_) {
        // Read "made" before the count: once it is set the count is the whole tune.
        const bool whole = made_.load(std::memory_order_acquire);
        const std::size_t ready = madeFrames_.load(std::memory_order_acquire);
        if (position_ >= ready) {
            if (!whole) return;  // caught up with the making: wait in place
            if (ready == 0 || !loopForever_.load()) {
                ended_ = true;
                return;
            }
            position_ = 0;  // the loop, without a gap
            continue;
        }
        const int count = int(std::min<std::size_t>(std::size_t(frames), ready - position_));
        copyFrames(samples_ + position_ * kStereo, out, count);
        out += std::size_t(count) * std::size_t(channels_);
        frames -= count;
        position_ += std::size_t(count);
    }
}

// Stereo to the output's channels: the same two, both folded into one, or the front pair
// of a surround output with the other channels left silent.
void RenderedTune::copyFrames(const std::int16_t* from, std::int16_t* to, int count) const {
    if (channels_ == kStereo) {
        std::memcpy(to, from, std::size_t(count) * kStereo * sizeof(std::int16_t));
        return;
    }
    for (int i = 0; i < count; ++i, from += kStereo, to += channels_) {
        if (channels_ == 1) {
            to[0] = std::int16_t((int(from[0]) + int(from[1])) / 2);
        } else {
            to[0] = from[0];
            to[1] = from[1];
        }
    }
}

}  // namespace vemol::platform
