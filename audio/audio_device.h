// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the game's sound operations need from the machine: an output that mixes short
// effects over one looping tune, everything made from bytes in memory. The platform
// supplies the real one (SDL2_mixer); tests supply recorders.
#include <memory>
#include <string>

#include "resources/catalogue.h"

namespace vemol {

// A sound made ready by an AudioDevice, an effect or a tune. Destroying it frees it; the
// engine destroys every clip before it closes the device.
class AudioClip {
public:
    virtual ~AudioClip() = default;
};

class AudioDevice {
public:
    virtual ~AudioDevice() = default;

    // Opens the output with `effectChannels` channels for overlapping effects. On failure
    // returns false and error() says what was missing, in words a player understands.
    virtual bool open(int effectChannels) = 0;
    // A PCM WAVE file; null on failure (see error()).
    virtual std::unique_ptr<AudioClip> loadEffect(resources::Bytes wave) = 0;
    // A Standard MIDI File; null on failure (see error()). The bytes must outlive the clip.
    virtual std::unique_ptr<AudioClip> loadMidi(resources::Bytes midi) = 0;

    // Plays an effect on a free channel, over the tune and over other effects.
    virtual void playEffect(AudioClip& effect) = 0;
    // Plays the tune from its beginning, replacing any tune that plays; loops it without
    // a gap until stopped when `loopForever`, else plays it once.
    virtual void playMusic(AudioClip& music, bool loopForever) = 0;
    // Silences the clip at once wherever it plays; nothing if it does not play.
    virtual void stop(AudioClip& clip) = 0;
    virtual void stopAll() = 0;
    // Closes the output; clips must be freed before.
    virtual void close() = 0;

    virtual std::string error() const = 0;
};

}  // namespace vemol
