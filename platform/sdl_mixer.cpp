// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl_mixer.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <dlfcn.h>

#include <cstdint>
#include <memory>
#include <utility>

#include "audio/soundfont.h"
#include "platform/rendered_tune.h"

namespace vemol::platform {
namespace {

// CD-quality stereo; 1024 frames per mixing buffer is 23 ms of latency, under two
// frames of the game at 60 per second.
constexpr int kFrequency = 44100;
constexpr int kOutputChannels = 2;
constexpr int kBufferFrames = 1024;

// Deliberate difference: music-half-volume.
// FluidSynth renders a General MIDI tune close to full scale at a gain of 1.2; at half
// that the tune leaves room for the effects on top instead of clipping with every hit.
constexpr float kTuneGain = 0.6f;

// An effect, or the tune made into samples (see RenderedTune).
class SdlClip : public AudioClip {
public:
    explicit SdlClip(Mix_Chunk* chunk) : chunk_(chunk) {}
    explicit SdlClip(std::unique_ptr<RenderedTune> tune) : tune_(std::move(tune)) {}
    ~SdlClip() override {
        if (chunk_) Mix_FreeChunk(chunk_);  // halts the channels that play it first
        // Unhooked under the mixer's lock, so the mixer no longer reads the tune.
        if (tune_ && Mix_GetMusicHookData() == tune_.get()) Mix_HookMusic(nullptr, nullptr);
    }
    SdlClip(const SdlClip&) = delete;
    SdlClip& operator=(const SdlClip&) = delete;

    Mix_Chunk* chunk() const { return chunk_; }
    RenderedTune* tune() const { return tune_.get(); }

private:
    Mix_Chunk* chunk_ = nullptr;
    std::unique_ptr<RenderedTune> tune_;
};

// The mixer's music hook: the tune's samples go where SDL_mixer would put its own music.
void FillMusic(void* tune, Uint8* stream, int bytes) {
    auto* playing = static_cast<RenderedTune*>(tune);
    const int frameBytes = playing->channels() * int(sizeof(std::int16_t));
    playing->fill(reinterpret_cast<std::int16_t*>(stream), bytes / frameBytes);
}

extern "C" void IgnoreAlsaDiagnostic(const char*, int, const char*, int, const char*, ...) {}

// On a machine without a sound card libasound prints a screenful of diagnostics while
// SDL tries it; the player should read our one line instead. SDL loads the same
// library, so a handler set here holds for SDL's use too while `library` stays open.
void* SilenceAlsaDiagnostics() {
    void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(library, "snd_lib_error_set_handler"))) {
        set(&IgnoreAlsaDiagnostic);
    }
    return library;
}

std::string SdlError() {
    const char* text = SDL_GetError();
    return text && *text ? text : "unknown error";
}

}  // namespace

SdlMixerDevice::~SdlMixerDevice() {
    close();
    if (alsa_) dlclose(alsa_);
}

bool SdlMixerDevice::open(int effectChannels) {
    if (open_) return true;
    // Deliberate difference: no-sdl-signals.
    // SDL would otherwise catch Ctrl+C and SIGTERM and turn them into quit events that
    // nobody reads here: the game could no longer be stopped from outside.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!alsa_) alsa_ = SilenceAlsaDiagnostics();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error_ = "no audio output can be used (" + SdlError() + ")";
        return false;
    }
    if (Mix_OpenAudio(kFrequency, MIX_DEFAULT_FORMAT, kOutputChannels, kBufferFrames) != 0) {
        error_ = "the audio output cannot be opened (" + SdlError() + ")";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(effectChannels);
    // Opening the mixer installs its own fallback SoundFont over SDL_SOUNDFONTS, so our
    // choice is handed over afterwards.
    SoundFontChoice soundFont = ChooseSoundFont();
    soundFonts_ = soundFont.paths;
    soundFontProblem_ = soundFont.problem;
    if (!soundFonts_.empty()) Mix_SetSoundFonts(soundFonts_.c_str());
    open_ = true;
    return true;
}

std::unique_ptr<AudioClip> SdlMixerDevice::loadEffect(resources::Bytes wave) {
    if (!open_) return nullptr;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(wave.data(), int(wave.size())), 1);
    if (!chunk) {
        error_ = "it cannot be read (" + SdlError() + ")";
        return nullptr;
    }
    return std::make_unique<SdlClip>(chunk);
}

std::unique_ptr<AudioClip> SdlMixerDevice::loadMidi(resources::Bytes midi) {
    if (!open_) return nullptr;
    // Without a SoundFont the mixer would fall back to Timidity and fail with a message
    // about timidity.cfg that would only mislead the player: say what is really missing.
    if (soundFonts_.empty()) {
        error_ = soundFontProblem_;
        return nullptr;
    }
    // The mixer may have opened at another rate or channel count than asked; its format
    // is always the signed 16-bit samples asked for.
    int frequency = kFrequency, channels = kOutputChannels;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    auto tune = std::make_unique<RenderedTune>(midi, soundFonts_, RenderedTune::Format{frequency, channels, kTuneGain});
    if (!tune->ok()) {
        error_ = "the tune cannot be played (" + tune->error() + ")";
        return nullptr;
    }
    return std::make_unique<SdlClip>(std::move(tune));
}

void SdlMixerDevice::playEffect(AudioClip& effect) {
    // The first free channel; when all are busy the effect is dropped rather than cutting
    // one off.
    if (Mix_Chunk* chunk = static_cast<SdlClip&>(effect).chunk()) Mix_PlayChannel(-1, chunk, 0);
}

void SdlMixerDevice::playMusic(AudioClip& music, bool loopForever) {
    RenderedTune* tune = static_cast<SdlClip&>(music).tune();
    if (!tune) return;
    if (playingTune_ && playingTune_ != tune) playingTune_->stop();
    if (Mix_GetMusicHookData() != tune) Mix_HookMusic(&FillMusic, tune);
    tune->play(loopForever);
    playingTune_ = tune;
}

void SdlMixerDevice::stop(AudioClip& clip) {
    auto& sdlClip = static_cast<SdlClip&>(clip);
    if (sdlClip.tune() && sdlClip.tune() == playingTune_) {
        // Silent from the next mixing buffer on, without waiting for the mixer's lock.
        playingTune_->stop();
        playingTune_ = nullptr;
    }
    if (Mix_Chunk* chunk = sdlClip.chunk()) {
        const int channels = Mix_AllocateChannels(-1);
        for (int channel = 0; channel < channels; ++channel) {
            if (Mix_Playing(channel) && Mix_GetChunk(channel) == chunk) Mix_HaltChannel(channel);
        }
    }
}

void SdlMixerDevice::stopAll() {
    if (!open_) return;
    Mix_HaltChannel(-1);
    if (playingTune_) playingTune_->stop();
    playingTune_ = nullptr;
}

void SdlMixerDevice::close() {
    if (!open_) return;
    stopAll();
    Mix_HookMusic(nullptr, nullptr);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
}

std::unique_ptr<AudioDevice> MakeSdlMixerDevice() { return std::make_unique<SdlMixerDevice>(); }

}  // namespace vemol::platform
