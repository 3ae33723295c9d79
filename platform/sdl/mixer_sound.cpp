#include "platform/sdl/mixer_sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

namespace brz::sdl {

namespace {

// Small, so that a shot sounds the moment it is fired (about 12 ms at 44.1 kHz).
constexpr int kChunkSamples = 512;

constexpr const char* kSoundFonts[] = {
    "/usr/share/sounds/sf3/default-GM.sf3", "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",   "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/soundfonts/default.sf2",
};

// A standard MIDI file, or one wrapped in RIFF.
bool isMidi(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char head[12] = {};
  file.read(head, sizeof head);
  return std::memcmp(head, "MThd", 4) == 0 ||
         (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "RMID", 4) == 0);
}

}  // namespace

std::string findSoundFont() {
  if (const char* set = std::getenv("SDL_SOUNDFONTS"); set && *set) return set;
  for (const char* path : kSoundFonts) {
    std::error_code error;
    if (std::filesystem::exists(path, error)) return path;
  }
  return {};
}

struct MixerSound::State {
  bool open = false;
  int channels = 0;                  // mixer channels handed out, one per player
  const void* musicOwner = nullptr;  // the player whose piece holds the music stream
};

namespace {

class Player : public SoundChannel {
 public:
  Player(MixerSound::State& state, std::string name, int channel)
      : state_(state), name_(std::move(name)), channel_(channel) {}
  ~Player() override {
    if (!state_.open) return;
    Mix_HaltChannel(channel_);
    if (chunk_) Mix_FreeChunk(chunk_);
    releaseMusic();
  }

  void open(const std::string& path) override {
    path_ = path;
    stopped_ = false;
    if (!state_.open) return;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
      std::fclose(file);
    } else {
      // What played before stops: the player has nothing to play now.
      report(std::strerror(errno));
      Mix_HaltChannel(channel_);
      releaseMusic();
      return;
    }
    if (isMidi(path)) {
      Mix_HaltChannel(channel_);
      loadMusic();
    } else {
      releaseMusic();
      playChunk();
    }
  }

  // A piece that plays goes on; one that ended starts again from the top. A
  // MIDI piece halted in its middle resumes oddly when simply replayed, so
  // after a stop it is read afresh.
  void play() override {
    if (!state_.open || path_.empty()) return;
    if (music_) {
      bool mine = state_.musicOwner == this;
      if (mine && Mix_PlayingMusic()) return;
      if (stopped_ || !mine) {
        stopped_ = false;
        loadMusic();
      } else {
        Mix_PlayMusic(music_, 0);
      }
    } else if (chunk_) {
      if (!Mix_Playing(channel_)) Mix_PlayChannel(channel_, chunk_, 0);
    }
  }

  void stop() override {
    stopped_ = true;
    if (!state_.open) return;
    if (music_ && state_.musicOwner == this) Mix_HaltMusic();
    Mix_HaltChannel(channel_);
  }

 private:
  void playChunk() {
    Mix_Chunk* chunk = Mix_LoadWAV(path_.c_str());
    if (!chunk) report();
    // Playing on the player's own channel cuts what it played before.
    Mix_HaltChannel(channel_);
    if (chunk_) Mix_FreeChunk(chunk_);
    chunk_ = chunk;
    if (chunk_) Mix_PlayChannel(channel_, chunk_, 0);
  }

  void loadMusic() {
    releaseMusic();
    if (state_.musicOwner) Mix_HaltMusic();  // another player's piece gives way
    music_ = Mix_LoadMUS(path_.c_str());
    if (!music_) {
      report();
      return;
    }
    state_.musicOwner = this;
    if (Mix_PlayMusic(music_, 0) != 0) report();
  }

  void releaseMusic() {
    if (!music_) return;
    if (state_.musicOwner == this) {
      Mix_HaltMusic();
      state_.musicOwner = nullptr;
    }
    Mix_FreeMusic(music_);
    music_ = nullptr;
  }

  void report(const char* why = Mix_GetError()) {
    if (!reported_.insert(path_).second) return;
    std::fprintf(stderr, "brizzlet: %s is silent: cannot play \"%s\": %s\n", name_.c_str(),
                 path_.c_str(), why);
  }

  MixerSound::State& state_;
  std::string name_;
  int channel_;
  std::string path_;
  bool stopped_ = false;
  Mix_Chunk* chunk_ = nullptr;
  Mix_Music* music_ = nullptr;
  std::set<std::string> reported_;
};

}  // namespace

MixerSound::MixerSound() : state_(std::make_unique<State>()) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "brizzlet: no sound: %s\n", SDL_GetError());
    return;
  }
  Mix_Init(MIX_INIT_MID);
  if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, kChunkSamples) != 0) {
    std::fprintf(stderr, "brizzlet: no sound: %s\n", Mix_GetError());
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  state_->open = true;
  std::string soundFont = findSoundFont();
  if (soundFont.empty())
    std::fprintf(stderr, "brizzlet: no General MIDI soundfont is installed: no music\n");
  else
    Mix_SetSoundFonts(soundFont.c_str());
}

MixerSound::~MixerSound() {
  if (!state_->open) return;
  Mix_HaltMusic();
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool MixerSound::open() const {
  return state_->open;
}

std::unique_ptr<SoundChannel> MixerSound::createChannel(const std::string& playerName) {
  int channel = state_->channels++;
  if (state_->open && channel >= Mix_AllocateChannels(-1)) Mix_AllocateChannels(channel + 8);
  return std::make_unique<Player>(*state_, playerName, channel);
}

}  // namespace brz::sdl
