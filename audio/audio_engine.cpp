// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/audio_engine.h"

#include <ostream>
#include <string_view>

namespace vemol {
namespace {

struct SegmentSource {
    Segment segment;
    std::string_view type;
    std::string_view name;
};

// The order in which the segments are made.
constexpr std::array<SegmentSource, 5> kSources = {{
    {Segment::Start, "WAVE", "START.WAV"},
    {Segment::Move, "WAVE", "MOVE.WAV"},
    {Segment::Hit, "WAVE", "HIT.WAV"},
    {Segment::Select, "WAVE", "SELECT.WAV"},
    {Segment::Music, "MIDI", "bgm01.mid"},
}};

constexpr std::size_t IndexOf(Segment segment) { return static_cast<std::size_t>(segment); }

constexpr bool SourcesFollowSegmentOrder() {
    for (std::size_t i = 0; i < kSources.size(); ++i) {
        if (IndexOf(kSources[i].segment) != i) return false;
    }
    return true;
}
static_assert(SourcesFollowSegmentOrder(), "kSources is indexed by Segment");

}  // namespace

AudioEngine::AudioEngine(std::unique_ptr<AudioDevice> device, std::ostream& problems)
    : device_(std::move(device)), problems_(problems) {}

AudioEngine::~AudioEngine() { Shutdown(); }

bool AudioEngine::CreateAudioEngine() {
    if (open_) return true;
    if (!device_) return false;  // already shut down
    open_ = device_->open(kEffectChannels);
    if (!open_) ReportOnce("no sound: " + device_->error() + "; the game goes on silently");
    return open_;
}

bool AudioEngine::LoadSounds(const resources::Catalogue& catalogue) {
    if (!open_) return false;
    ReleaseSounds();
    std::string missing;
    for (const SegmentSource& source : kSources) LoadSegment(catalogue, source.segment, missing);
    if (!missing.empty()) ReportOnce(missing + "; the game goes on without it");
    return missing.empty();
}

void AudioEngine::LoadSegment(const resources::Catalogue& catalogue, Segment segment, std::string& missing) {
    const SegmentSource& source = kSources[IndexOf(segment)];
    std::string reason;
    if (std::optional<resources::Bytes> bytes = catalogue.find(source.type, source.name)) {
        std::unique_ptr<AudioClip>& slot = segments_[IndexOf(segment)];
        slot = segment == Segment::Music ? device_->loadMidi(*bytes) : device_->loadEffect(*bytes);
        if (!slot) reason = device_->error();
    } else {
        reason = "it is not in the program";
    }
    if (reason.empty()) return;
    if (!missing.empty()) missing += "; ";
    missing += segment == Segment::Music ? "no music" : "no sound " + std::string(source.name);
    missing += " (" + reason + ")";
}

AudioClip* AudioEngine::clip(Segment segment) const { return open_ ? segments_[IndexOf(segment)].get() : nullptr; }

bool AudioEngine::isSegmentLoaded(Segment segment) const { return clip(segment) != nullptr; }

void AudioEngine::PlaySoundSegment(Segment segment, std::uint32_t /*flags*/) {
    AudioClip* sound = clip(segment);
    if (!sound) return;
    // Effects always play over whatever sounds, whatever the flags: the game passes
    // DMUS_SEGF_SECONDARY with every effect. The tune is the one primary sound.
    if (segment == Segment::Music) {
        device_->playMusic(*sound, musicLoopsForever_);
    } else {
        device_->playEffect(*sound);
    }
}

void AudioEngine::StartMusic() {
    musicLoopsForever_ = true;
    // Deliberate difference: tune-at-once.
    // The tune was asked to start on the next beat (DMUS_SEGF_BEAT). Nothing plays
    // before it in our mixer, so there is no beat to wait for: it starts at once,
    // which is the nearest we can do.
    PlaySoundSegment(Segment::Music, DMUS_SEGF_BEAT);
}

void AudioEngine::StopSoundSegment(Segment segment) {
    if (AudioClip* sound = clip(segment)) device_->stop(*sound);
}

void AudioEngine::ReleaseSounds() {
    if (open_) device_->stopAll();
    for (std::unique_ptr<AudioClip>& segment : segments_) segment.reset();
}

void AudioEngine::ReleaseAudioEngine() {
    ReleaseSounds();  // never close the device under a live clip
    if (open_) device_->close();
    open_ = false;
    device_.reset();
}

void AudioEngine::Shutdown() {
    ReleaseSounds();
    ReleaseAudioEngine();
}

// Deliberate difference: silent-without-audio.
// The original kept silent about missing sound; a Linux player without a sound card or
// SoundFont deserves to know why the game is quiet, once, without a message box.
void AudioEngine::ReportOnce(const std::string& what) {
    if (reported_) return;
    reported_ = true;
    problems_ << "vemol: " << what << "." << std::endl;
}

}  // namespace vemol
