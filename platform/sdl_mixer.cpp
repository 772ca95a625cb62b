#include "platform/sdl_mixer.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <dlfcn.h>

#include <future>
#include <memory>
#include <utility>

#include "audio/soundfont.h"
#include "platform/serial_worker.h"

namespace vemol::platform {
namespace {

// CD-quality stereo; 1024 frames per mixing buffer is 23 ms of latency, under two
// frames of the game at 60 per second.
constexpr int kFrequency = 44100;
constexpr int kOutputChannels = 2;
constexpr int kBufferFrames = 1024;

Mix_Music* LoadMidi(resources::Bytes midi) {
    return Mix_LoadMUSType_RW(SDL_RWFromConstMem(midi.data(), int(midi.size())), MUS_MID, 1);
}

// An effect, or the tune. A tune that has played keeps the synthesizer's state (held
// notes, reverb, the player's position): halted and restarted in place it would begin
// with the notes that sounded when it stopped and lag behind its own start, and the
// mixer offers no way to silence its synthesizer. So each start after the first plays
// a tune made afresh. Making or freeing a synthesizer loads or drops the whole SoundFont,
// 50 to 300 ms with a small one: never on the frame thread. Both run on one worker, in
// order: a stopped tune is freed before the next fresh one is made, so at most two
// synthesizers (the playing one and the next) are ever alive.
class SdlClip : public AudioClip {
public:
    explicit SdlClip(Mix_Chunk* chunk) : chunk_(chunk) {}
    SdlClip(Mix_Music* music, resources::Bytes midi) : music_(music), midi_(midi) {}
    ~SdlClip() override {
        if (chunk_) Mix_FreeChunk(chunk_);  // halts the channels that play it first
        if (music_) Mix_FreeMusic(music_);  // halts it first if it plays
        if (next_.valid()) {
            if (Mix_Music* unused = next_.get()) Mix_FreeMusic(unused);
        }
        worker_.reset();  // finishes freeing a stopped tune
    }
    SdlClip(const SdlClip&) = delete;
    SdlClip& operator=(const SdlClip&) = delete;

    Mix_Chunk* chunk() const { return chunk_; }
    Mix_Music* music() const { return music_; }

    // The tune to play now: the loaded one the first time, a fresh one after that
    // (normally ready long before: a game lasts longer than the making). Starts making
    // the next.
    Mix_Music* takeFreshMusic() {
        if (played_) {
            retire();
            music_ = next_.valid() ? next_.get() : LoadMidi(midi_);
        }
        played_ = true;
        if (music_) makeNext();
        return music_;
    }

    // The tune is done with: halted if it still plays and freed, on the worker.
    void retire() {
        if (!music_) return;
        Mix_Music* old = std::exchange(music_, nullptr);
        worker().post([old] { Mix_FreeMusic(old); });
    }

private:
    void makeNext() {
        auto made = std::make_shared<std::promise<Mix_Music*>>();
        next_ = made->get_future();
        worker().post([made, midi = midi_] { made->set_value(LoadMidi(midi)); });
    }

    SerialWorker& worker() {
        // SDL keeps an error text per thread that only this frees.
        if (!worker_) worker_ = std::make_unique<SerialWorker>([] { SDL_TLSCleanup(); });
        return *worker_;
    }

    Mix_Chunk* chunk_ = nullptr;
    Mix_Music* music_ = nullptr;
    resources::Bytes midi_;
    bool played_ = false;
    std::future<Mix_Music*> next_;          // the fresh tune being made for the next start
    std::unique_ptr<SerialWorker> worker_;  // makes and frees tunes, in order
};

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
    // FluidSynth renders a General MIDI tune close to full scale; at half volume the tune
    // leaves room for the effects on top instead of clipping with every hit.
    Mix_VolumeMusic(MIX_MAX_VOLUME / 2);
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
    Mix_Music* music = LoadMidi(midi);
    if (!music) {
        error_ = "the tune cannot be played (" + SdlError() + ")";
        return nullptr;
    }
    return std::make_unique<SdlClip>(music, midi);
}

void SdlMixerDevice::playEffect(AudioClip& effect) {
    // The first free channel; when all are busy the effect is dropped rather than cutting
    // one off.
    if (Mix_Chunk* chunk = static_cast<SdlClip&>(effect).chunk()) Mix_PlayChannel(-1, chunk, 0);
}

void SdlMixerDevice::playMusic(AudioClip& music, bool loopForever) {
    Mix_Music* fresh = static_cast<SdlClip&>(music).takeFreshMusic();
    if (!fresh) return;
    // Mix_PlayMusic halts what plays and starts the tune at its beginning; -1 loops it
    // inside the synthesizer, without a gap.
    Mix_PlayMusic(fresh, loopForever ? -1 : 1);
    playingMusic_ = fresh;
}

void SdlMixerDevice::stop(AudioClip& clip) {
    auto& sdlClip = static_cast<SdlClip&>(clip);
    if (sdlClip.music() && sdlClip.music() == playingMusic_) {
        // Freeing halts it first, within a mixing buffer, without the frame thread
        // waiting for the mixer's lock.
        playingMusic_ = nullptr;
        sdlClip.retire();
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
    Mix_HaltMusic();
    playingMusic_ = nullptr;
}

void SdlMixerDevice::close() {
    if (!open_) return;
    stopAll();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
}

std::unique_ptr<AudioDevice> MakeSdlMixerDevice() { return std::make_unique<SdlMixerDevice>(); }

}  // namespace vemol::platform
