// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's sound and music: one looping MIDI tune during play and four WAVE effects
// that play over it and over each other, all made from the program's embedded bytes.
//
// Start-up creates the engine and loads the sounds after the window is shown; the
// audio shutdown (ReleaseSounds, then ReleaseAudioEngine) runs when the main window is
// destroyed and when Exit is chosen on the title menu. Without a working audio output
// or without a SoundFont the game plays on, silent where it must, and says once on
// standard error what was missing.
#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "audio/audio_device.h"
#include "game/services.h"
#include "resources/catalogue.h"

namespace vemol {

// Enough channels for a burst of hits on top of a move and a start effect.
constexpr int kEffectChannels = 16;

class AudioEngine : public SoundPlayer {
public:
    // `problems` receives the one line that says what sound is missing (standard error
    // in the program).
    AudioEngine(std::unique_ptr<AudioDevice> device, std::ostream& problems);
    ~AudioEngine() override;
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    // Opens the audio output. False when there is none; the game then stays silent.
    bool CreateAudioEngine();
    // Makes the five segments: START.WAV, MOVE.WAV, HIT.WAV, SELECT.WAV (type "WAVE") and
    // bgm01.mid (type "MIDI"). True when all five are ready to play (the original
    // answered true whatever happened; start-up ignores the answer either way).
    bool LoadSounds(const resources::Catalogue& catalogue);

    void PlaySoundSegment(Segment segment, std::uint32_t flags) override;
    void StartMusic() override;
    void StopSoundSegment(Segment segment) override;

    // Stops everything and frees the segments. Running it again does nothing.
    void ReleaseSounds();
    // Closes the audio output and lets go of the device. Running it again does nothing.
    void ReleaseAudioEngine();
    // The audio shutdown: ReleaseSounds, then ReleaseAudioEngine.
    void Shutdown();

    bool isSegmentLoaded(Segment segment) const;

private:
    AudioClip* clip(Segment segment) const;
    void LoadSegment(const resources::Catalogue& catalogue, Segment segment, std::string& missing);
    void ReportOnce(const std::string& what);

    // Declared before the clips, so that a clip is always freed before the device goes.
    std::unique_ptr<AudioDevice> device_;
    bool open_ = false;
    std::array<std::unique_ptr<AudioClip>, 5> segments_;  // indexed by Segment
    bool musicLoopsForever_ = false;
    std::ostream& problems_;
    bool reported_ = false;
};

}  // namespace vemol
