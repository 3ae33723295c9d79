// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/mixer_sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#ifdef __linux__
#include <dlfcn.h>
#endif

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/sdl/sound/audio_rest.h"
#include "platform/sdl/sound/chunk_cache.h"
#include "platform/sdl/sound/midi_file.h"
#include "platform/sdl/sound/mix_limiter.h"
#include "platform/sdl/sound/music_piece.h"
#include "platform/sdl/sound/sound_files.h"
#ifdef BRIZZLET_FLUIDSYNTH
#include "platform/sdl/sound/synth_process.h"
#else
#include "platform/sdl/sound/rendered_music.h"
#endif
#ifdef BRIZZLET_SOUND_THREAD
#include "platform/sdl/sound/sound_thread.h"
#else
#include "platform/sdl/sound/sound_inline.h"
#endif

namespace brz::sdl {

namespace {

// Whether the music is synthesized here: else it is played from its
// rendering, which needs no soundfont.
#ifdef BRIZZLET_FLUIDSYNTH
constexpr bool kSynthesizer = true;
#else
constexpr bool kSynthesizer = false;
#endif

// Small, so that a shot sounds the moment it is fired (about 12 ms at 44.1 kHz).
constexpr int kChunkSamples = 512;

// What the sound thread knows of the mixer.
struct Mixer {
  bool open = false;
  bool music = true;                 // false: no soundfont to play MIDI with
  const void* musicOwner = nullptr;  // the voice whose piece holds the music stream
  Piece::Format format;
  std::string soundFonts;                     // the usable ones, separated by ':'
  std::atomic<std::uint64_t> mixedFrames{0};  // every frame the mixer has put out
  // The last piece made, kept while its file's bytes are the same, so that a
  // replay costs no synthesis.
  std::shared_ptr<Piece> piece;
  Playback playback;
  ChunkCache chunks;
  AudioRest rest;
  // How far each source is turned down, for the limiter to turn the mix up.
  std::atomic<int> headroom{1};
  MixLimiter limiter;  // the audio thread's

  bool rendering() const { return piece && piece->rendering(); }
};

// The music hook, installed for as long as the device is open: the mixer
// calls it for every buffer.
void SDLCALL mixMusic(void* data, Uint8* stream, int bytes) {
  auto& mixer = *static_cast<Mixer*>(data);
  bool sounding = mixer.playback.playing.load(std::memory_order_relaxed) || Mix_Playing(-1) > 0;
  mixer.rest.afterBuffer(sounding, static_cast<std::uint64_t>(bytes / mixer.format.frameBytes),
                         mixer.format.frequency);
  playPiece(mixer.playback, stream, bytes, mixer.headroom);
}

// Mix_HookMusic takes the mixer's lock: once it returns the audio thread is
// out of the hook until it is set again.
void startMusic(Mixer& mixer, std::shared_ptr<Piece> piece) {
  Mix_HookMusic(nullptr, nullptr);
  mixer.playback.piece = std::move(piece);
  mixer.playback.at = 0;
  mixer.playback.playing = true;
  Mix_HookMusic(mixMusic, &mixer);
}

void haltMusic(Mixer& mixer) {
  Mix_HookMusic(nullptr, nullptr);
  mixer.playback.playing = false;
  Mix_HookMusic(mixMusic, &mixer);
}

// The piece of a MIDI file's bytes; null with the reason in `fault`.
std::shared_ptr<Piece> makePiece(const Mixer& mixer, const std::string& path, std::string bytes,
                                 std::string& fault) {
#ifdef BRIZZLET_FLUIDSYNTH
  (void)path;
  std::unique_ptr<PieceSource> source =
      synthesizeApart(bytes, mixer.soundFonts, mixer.format.frequency, fault);
  if (!source) return nullptr;
  return Piece::make(mixer.format, mixer.format.frequency, std::move(bytes), std::move(source),
                     fault);
#else
  return renderedPiece(mixer.format, path, std::move(bytes), fault);
#endif
}

// ALSA prints its own view of a fault on stderr, many lines for one (its
// search for a card that is not there): the game says what failed in one
// line of its own instead. SDL loads ALSA when it tries it, if it is there.
#ifdef __linux__
void ignoreAlsa(const char*, int, const char*, int, const char*, ...) {}

void quietAlsa() {
  void* alsa = dlopen("libasound.so.2", RTLD_LAZY);  // kept open, as SDL keeps it
  auto setReport = alsa ? reinterpret_cast<int (*)(decltype(&ignoreAlsa))>(
                              dlsym(alsa, "snd_lib_error_set_handler"))
                        : nullptr;
  if (setReport) setReport(ignoreAlsa);
}
#else
void quietAlsa() {}
#endif

// One player's voice in the mixer, on the sound thread.
class Voice : public SoundChannel {
 public:
  Voice(Mixer& state, std::string name, int channel)
      : state_(state), name_(std::move(name)), channel_(channel) {}
  Voice(const Voice&) = delete;
  Voice& operator=(const Voice&) = delete;
  ~Voice() override {
    Mix_HaltChannel(channel_);
    chunk_ = nullptr;
    releaseMusic();
  }

  void open(const std::string& path) override {
    path_ = path;
    stopped_ = false;
    std::string bytes;
    if (std::string fault = readSoundFile(path, bytes); !fault.empty()) {
      // What played before stops: the player has nothing to play now.
      report(fault.c_str());
      Mix_HaltChannel(channel_);
      releaseMusic();
      return;
    }
    if (looksLikeMidi(bytes)) {
      Mix_HaltChannel(channel_);
      releaseMusic();
      // With no soundfont the game has said once that there is no music.
      if (!state_.music) return;
      if (std::string fault = midiFault(bytes); !fault.empty()) {
        report(fault.c_str());
        return;
      }
      loadMusic(std::move(bytes));
    } else {
      releaseMusic();
      playChunk(std::move(bytes));
    }
  }

  // A piece that plays goes on; one that ended starts again from the top. A
  // MIDI piece halted in its middle resumes oddly when simply replayed, so
  // after a stop it is read afresh.
  void play() override {
    if (path_.empty()) return;
    if (piece_) {
      bool mine = state_.musicOwner == this;
      if (mine && state_.playback.playing && !pastItsEnd()) return;
      if (stopped_ || !mine) {
        stopped_ = false;
        std::string bytes;
        if (std::string fault = readSoundFile(path_, bytes); !fault.empty()) {
          releaseMusic();
          report(fault.c_str());
          return;
        }
        loadMusic(std::move(bytes));
      } else {
        startMusic(state_, piece_);
        markStart();
      }
    } else if (chunk_) {
      if (!Mix_Playing(channel_)) Mix_PlayChannel(channel_, chunk_.get(), 0);
    }
  }

  void stop() override {
    stopped_ = true;
    if (piece_ && state_.musicOwner == this) haltMusic(state_);
    Mix_HaltChannel(channel_);
  }

 private:
  void playChunk(std::string bytes) {
    std::shared_ptr<Mix_Chunk> chunk = state_.chunks.get(std::move(bytes));
    if (!chunk) report();
    // Playing on the player's own channel cuts what it played before.
    Mix_HaltChannel(channel_);
    chunk_ = std::move(chunk);
    if (chunk_) Mix_PlayChannel(channel_, chunk_.get(), 0);
  }

  // While the file's bytes are the same the piece made before plays again.
  void loadMusic(std::string bytes) {
    releaseMusic();
    if (state_.musicOwner) haltMusic(state_);  // another player's piece gives way
    seconds_ = midiSeconds(bytes);
    if (!state_.piece || state_.piece->bytes() != bytes) {
      state_.piece = nullptr;
      std::string fault;
      std::shared_ptr<Piece> piece = makePiece(state_, path_, std::move(bytes), fault);
      if (!piece) {
        report(fault.c_str());
        return;
      }
      state_.piece = std::move(piece);
    }
    piece_ = state_.piece;
    state_.musicOwner = this;
    startMusic(state_, piece_);
    markStart();
  }

  // Where the piece would end, counted in the frames the mixer puts out, so
  // that a stalled machine does not end it early.
  void markStart() {
    endFrame_ = seconds_ < 0
                    ? 0
                    : state_.mixedFrames +
                          static_cast<std::uint64_t>(seconds_ * state_.format.frequency + 0.5);
  }
  bool pastItsEnd() const { return endFrame_ > 0 && state_.mixedFrames >= endFrame_; }

  void releaseMusic() {
    if (!piece_) return;
    if (state_.musicOwner == this) {
      haltMusic(state_);
      state_.musicOwner = nullptr;
    }
    piece_ = nullptr;
  }

  void report(const char* why = Mix_GetError()) {
    if (!reported_.insert(path_).second) return;
    std::fprintf(stderr, "brizzlet: %s is silent: cannot play \"%s\": %s\n", name_.c_str(),
                 path_.c_str(), why);
  }

  Mixer& state_;
  std::string name_;
  int channel_;
  std::string path_;
  bool stopped_ = false;
  std::shared_ptr<Mix_Chunk> chunk_;
  std::shared_ptr<Piece> piece_;  // the MIDI piece it plays
  double seconds_ = -1;           // the piece's length, negative when unknown
  std::uint64_t endFrame_ = 0;    // 0: no end of its own, the mixer's word goes
  std::set<std::string> reported_;
};

// The mixer as the sound thread runs it: the device is opened first and
// closed last, each fault said once on stderr.
class MixerWorker : public SoundThread::Worker {
 public:
  bool start() override {
    mixer_.open = openDevice();
    if (mixer_.open && kSynthesizer) chooseSoundFonts();
    return mixer_.open;
  }
  bool hasWork() const override { return mixer_.rendering(); }
  void work() override { mixer_.piece->render(); }
  // Making a piece does not touch the mixer: the audio thread may rest.
  void quiet(bool quiet) override { mixer_.rest.allow(quiet); }
  std::unique_ptr<SoundChannel> createChannel(const std::string& playerName) override {
    int id = channels_++;
    if (id >= Mix_AllocateChannels(-1)) Mix_AllocateChannels(id + 8);
    // Each player sounds one file at a time: this many at once, at most.
    mixer_.headroom = channels_;
    Mix_Volume(-1, MIX_MAX_VOLUME / channels_);
    return std::make_unique<Voice>(mixer_, playerName, id);
  }
  void finish() override {
    if (mixer_.open) closeDevice();
    // SDL keeps its error text per thread and frees it itself only for the
    // threads it made.
    SDL_TLSCleanup();
  }

 private:
  // Opens the audio device; false with no device, said once.
  bool openDevice() {
    int opened = -1;
    quietAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
      opened = Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, kChunkSamples);
      if (opened != 0) {
        std::string why = Mix_GetError();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        SDL_SetError("%s", why.c_str());
      }
    }
    if (opened != 0) {
      std::fprintf(stderr, "brizzlet: no sound: %s\n", SDL_GetError());
      return false;
    }
    Piece::Format& format = mixer_.format;
    Uint16 sampleFormat = 0;
    int channels = 0;
    if (Mix_QuerySpec(&format.frequency, &sampleFormat, &channels) != 0) {
      format.format = sampleFormat;
      format.channels = channels;
      format.frameBytes = SDL_AUDIO_BITSIZE(sampleFormat) / 8 * channels;
    }
    Mix_SetPostMix(
        [](void* state, Uint8* stream, int bytes) {
          auto& s = *static_cast<Mixer*>(state);
          auto frames = static_cast<size_t>(bytes / s.format.frameBytes);
          s.limiter.process(reinterpret_cast<std::int16_t*>(stream), frames, s.format.channels,
                            s.format.frequency, s.headroom);
          s.mixedFrames += frames;
        },
        &mixer_);
    Mix_HookMusic(mixMusic, &mixer_);
    return true;
  }

  // The soundfont is checked here, so that a wrong one is said once, not at
  // every start of the music. SDL_SOUNDFONTS may name several.
  void chooseSoundFonts() {
    std::string soundFonts = findSoundFont();
    std::vector<std::string> faults;
    mixer_.soundFonts = usableSoundFonts(soundFonts, faults);
    if (mixer_.soundFonts.empty()) mixer_.music = false;
    if (soundFonts.empty())
      std::fprintf(stderr, "brizzlet: no General MIDI soundfont is installed: no music\n");
    for (const std::string& fault : faults)
      std::fprintf(stderr, "brizzlet: %s%s\n", mixer_.soundFonts.empty() ? "no music: " : "",
                   fault.c_str());
  }

  void closeDevice() {
    Mix_HookMusic(nullptr, nullptr);
    mixer_.playback.playing = false;
    mixer_.playback.piece = nullptr;
    mixer_.piece = nullptr;
    mixer_.chunks.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  Mixer mixer_;
  int channels_ = 0;  // mixer channels handed out, one per player
};

}  // namespace

// Where the requests are carried out.
#ifdef BRIZZLET_SOUND_THREAD
class MixerSound::Runner : public SoundThread {
 public:
  using SoundThread::SoundThread;
  bool work() { return false; }
};
#else
class MixerSound::Runner : public InlineSound {
 public:
  using InlineSound::InlineSound;
};
#endif

MixerSound::MixerSound(Start start)
    : runner_(std::make_unique<Runner>(std::make_unique<MixerWorker>())) {
  if (start == Start::Now) begin();
}

MixerSound::~MixerSound() = default;

void MixerSound::begin() {
  runner_->begin();
}

void MixerSound::settle() {
  runner_->settle();
}

bool MixerSound::work() {
  return runner_->work();
}

std::unique_ptr<SoundChannel> MixerSound::createChannel(const std::string& playerName) {
  return runner_->createChannel(playerName);
}

}  // namespace brz::sdl
