// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Deliberate difference: tune-at-once.
// The looping tune synthesized once into samples, instead of by a synthesizer running for
// as long as a game lasts.
//
// FluidSynth with a General MIDI SoundFont costs over 1 % of a core while it plays (its
// reverb and chorus run on every sample, notes sounding or not), for a tune that is the
// same every time. So the tune is synthesized once, ahead of need, on a worker thread at
// low priority (about a second of CPU for 80 s of music, while the opening movie plays),
// and the synthesizer with its SoundFont is freed when it is done. Play then copies
// samples: every start begins at the tune's true beginning, with no notes left over from
// the last game, and the memory is the same in the hundredth game as in the first.
//
// The samples are published as they are made: a tune started before the making is
// finished plays what is ready and waits (silently, in place) only if it catches up,
// which a synthesizer running fifty times faster than playback does not let happen.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

#include "resources/catalogue.h"

namespace vemol::platform {

class RenderedTune {
public:
    // The output's rate and channels, and the loudness of the tune (the synthesizer's
    // gain).
    struct Format {
        int frequency = 44100;
        int channels = 2;
        float gain = 0.6f;
    };

    // Loads the SoundFonts (a ':'-separated list) and readies the Standard MIDI File
    // `midi`, then starts the synthesis on its own thread. On failure ok() is false,
    // error() says why and nothing runs.
    RenderedTune(resources::Bytes midi, const std::string& soundFonts, Format format);
    // Stops the synthesis if it still runs and frees everything.
    ~RenderedTune();
    RenderedTune(const RenderedTune&) = delete;
    RenderedTune& operator=(const RenderedTune&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // Any thread: plays from the beginning (looping without a gap when `loopForever`,
    // else once), or silences it.
    void play(bool loopForever);
    void stop();

    // The audio thread: writes the next `frames` frames of channels() interleaved signed
    // 16-bit samples into `out`, which holds silence. Nothing when the tune does not play.
    void fill(std::int16_t* out, int frames);
    int channels() const { return channels_; }

    // Waits until the whole tune is made; its length in frames (0 if nothing was made).
    std::size_t waitUntilMade() const;

private:
    void synthesize();
    void freeSynthesizer();
    void copyFrames(const std::int16_t* from, std::int16_t* to, int count) const;

    const int channels_;
    std::string error_;
    // FluidSynth's objects, used by the synthesis thread only once it has started.
    struct Synth;
    Synth* synth_ = nullptr;

    // Stereo frames of the whole tune, in a reservation big enough for the longest tune
    // we make; the pages beyond the tune's end are never touched and are handed back.
    std::int16_t* samples_ = nullptr;
    std::size_t reservedBytes_ = 0;
    std::atomic<std::size_t> madeFrames_{0};  // published as the synthesis goes
    std::atomic<bool> made_{false};           // madeFrames_ is the tune's whole length
    std::atomic<bool> cancel_{false};
    std::thread thread_;

    std::atomic<bool> playing_{false};
    std::atomic<bool> loopForever_{false};
    std::atomic<bool> restart_{false};
    // The audio thread's only.
    std::size_t position_ = 0;
    bool ended_ = false;  // a tune played once has played
};

}  // namespace vemol::platform
