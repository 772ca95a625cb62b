// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The audio output through SDL2_mixer: effects on mixing channels over one music track,
// the MIDI tune synthesized ahead by FluidSynth with a General MIDI SoundFont and played
// through the mixer's music hook. Uses SDL's audio only, never its video or its event loop.
#include <memory>
#include <string>

#include "audio/audio_device.h"

namespace vemol::platform {

class RenderedTune;

class SdlMixerDevice : public AudioDevice {
public:
    SdlMixerDevice() = default;
    ~SdlMixerDevice() override;

    bool open(int effectChannels) override;
    std::unique_ptr<AudioClip> loadEffect(resources::Bytes wave) override;
    std::unique_ptr<AudioClip> loadMidi(resources::Bytes midi) override;
    void playEffect(AudioClip& effect) override;
    void playMusic(AudioClip& music, bool loopForever) override;
    void stop(AudioClip& clip) override;
    void stopAll() override;
    void close() override;
    std::string error() const override { return error_; }

private:
    bool open_ = false;
    std::string soundFonts_;        // what FluidSynth loads; empty when none was found
    std::string soundFontProblem_;  // why there is none
    RenderedTune* playingTune_ = nullptr;
    std::string error_;
    void* alsa_ = nullptr;  // libasound, kept open while its diagnostics are silenced
};

// The device the program plays through.
std::unique_ptr<AudioDevice> MakeSdlMixerDevice();

}  // namespace vemol::platform
