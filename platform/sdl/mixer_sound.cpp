// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/mixer_sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

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

// Why a sound file cannot be read, in plain words, or "": the decoders'
// own words for a directory or an empty file are of their insides.
std::string fileFault(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::strerror(errno);
  std::error_code error;
  std::string fault;
  if (std::filesystem::is_directory(path, error))
    fault = "it is a directory";
  else if (std::fgetc(file) == EOF)
    fault = std::ferror(file) ? std::strerror(errno) : "the file is empty";
  std::fclose(file);
  return fault;
}

std::string readAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint32_t bigEndian32(const std::string& bytes, size_t at) {
  std::uint32_t value = 0;
  for (size_t i = at; i < at + 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
  return value;
}

// Why a MIDI file cannot be played in full, or "" when its header and every
// track it announces are all there. The synthesizer would take a file cut
// short, then complain of it on stderr at every start of the piece.
std::string midiFault(const std::string& path) {
  std::string bytes = readAll(path);
  size_t at = bytes.find("MThd");
  if (at == std::string::npos || at > 20) return "it is not a MIDI file";
  if (bytes.size() < at + 14 || bigEndian32(bytes, at + 4) < 6) return "its header is cut short";
  unsigned tracks =
      static_cast<unsigned char>(bytes[at + 10]) << 8 | static_cast<unsigned char>(bytes[at + 11]);
  at += 8 + bigEndian32(bytes, at + 4);
  for (unsigned track = 0; track < tracks;) {
    if (bytes.size() < at + 8 || bytes.size() - at - 8 < bigEndian32(bytes, at + 4))
      return "the file is cut short in track " + std::to_string(track + 1) + " of " +
             std::to_string(tracks);
    if (bytes.compare(at, 4, "MTrk") == 0) ++track;
    at += 8 + bigEndian32(bytes, at + 4);
  }
  return "";
}

// How long a MIDI piece lasts, in seconds, from its start to the last end of
// a track, through its tempo changes; negative when the file cannot be read
// that far. The synthesizer counts a piece as playing until its last voice
// has died away, far below hearing (a cymbal rings on for seconds), and some
// time more: the player goes by the piece's own length instead.
double midiSeconds(const std::string& bytes) {
  size_t at = bytes.find("MThd");
  if (at == std::string::npos || bytes.size() < at + 14) return -1;
  auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  unsigned tracks = byte(at + 10) << 8 | byte(at + 11);
  unsigned division = byte(at + 12) << 8 | byte(at + 13);
  if (division == 0) return -1;
  std::map<std::uint64_t, double> tempo{{0, 500000}};  // tick -> microseconds a beat
  std::uint64_t lastTick = 0;
  at += 8 + bigEndian32(bytes, at + 4);
  for (unsigned track = 0; track < tracks;) {
    if (bytes.size() < at + 8) return -1;
    size_t end = at + 8 + bigEndian32(bytes, at + 4);
    if (end > bytes.size()) return -1;
    bool isTrack = bytes.compare(at, 4, "MTrk") == 0;
    std::uint64_t tick = 0;
    unsigned running = 0;
    auto number = [&](size_t& i) {  // a variable-length quantity
      std::uint64_t value = 0;
      for (int n = 0; n < 4 && i < end; ++n) {
        unsigned char b = byte(i++);
        value = value << 7 | (b & 0x7F);
        if (!(b & 0x80)) return value;
      }
      return value;
    };
    for (size_t i = at + 8; isTrack && i < end;) {
      tick += number(i);
      if (i >= end) break;
      unsigned status = byte(i) & 0x80 ? byte(i++) : running;
      if (status < 0xF0) running = status;  // only channel messages run on
      if (status == 0xFF) {
        if (i >= end) break;
        unsigned type = byte(i++);
        size_t length = number(i);
        if (length > end - i) break;
        if (type == 0x51 && length == 3)
          tempo[tick] = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
        i += length;
        if (type == 0x2F) break;
      } else if (status == 0xF0 || status == 0xF7) {
        size_t length = number(i);
        i += std::min(length, end - i);
      } else if (status >= 0x80) {
        unsigned kind = status & 0xF0;
        i += kind == 0xC0 || kind == 0xD0 ? 1 : 2;
      } else {
        return -1;  // data with no status to run on
      }
    }
    if (isTrack) ++track;
    lastTick = std::max(lastTick, tick);
    at = end;
  }
  if (division & 0x8000) {  // frames a second and ticks a frame
    int frames = -static_cast<signed char>(division >> 8);
    return frames > 0 ? lastTick / (static_cast<double>(frames) * (division & 0xFF)) : -1;
  }
  double seconds = 0;
  for (auto change = tempo.begin(); change != tempo.end(); ++change) {
    if (change->first >= lastTick) break;
    auto next = std::next(change);
    std::uint64_t until = next == tempo.end() ? lastTick : std::min(next->first, lastTick);
    seconds += (until - change->first) * change->second / 1e6 / division;
  }
  return seconds;
}

// Why a soundfont cannot be used, or "": a SoundFont is a RIFF file of
// kind "sfbk", all of it there.
std::string soundFontFault(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::strerror(errno);
  unsigned char head[12] = {};
  file.read(reinterpret_cast<char*>(head), sizeof head);
  if (!file || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "sfbk", 4) != 0)
    return "it is not a SoundFont file";
  std::uint32_t length =
      head[4] | head[5] << 8 | head[6] << 16 | static_cast<std::uint32_t>(head[7]) << 24;
  std::error_code error;
  if (std::filesystem::file_size(path, error) - 8 < length) return "the file is cut short";
  return "";
}

// The audio and MIDI libraries print their own diagnostics on stderr (ALSA's
// search for a device, FluidSynth's and libinstpatch's view of a file), many
// lines for one fault, in their words. While one of their calls runs, stderr
// goes to /dev/null; the game then says what failed, once, in its own line.
class QuietStderr {
 public:
  QuietStderr() {
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~QuietStderr() {
    std::fflush(stderr);
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace

std::string findSoundFont() {
  if (const char* set = std::getenv("SDL_SOUNDFONTS"); set && *set) return set;
  for (const char* path : kSoundFonts) {
    std::error_code error;
    if (std::filesystem::exists(path, error)) return path;
  }
  return {};
}

namespace {

// What the sound thread knows of the mixer.
struct Mixer {
  bool open = false;
  bool music = true;                 // false: no soundfont to play MIDI with
  const void* musicOwner = nullptr;  // the voice whose piece holds the music stream
  int frequency = 44100;
  int frameBytes = 4;
  std::atomic<std::uint64_t> mixedFrames{0};  // every frame the mixer has put out
};

// One player's voice in the mixer, on the sound thread.
class Voice {
 public:
  Voice(Mixer& state, std::string name, int channel)
      : state_(state), name_(std::move(name)), channel_(channel) {}
  Voice(const Voice&) = delete;
  Voice& operator=(const Voice&) = delete;
  ~Voice() {
    if (!state_.open) return;
    Mix_HaltChannel(channel_);
    if (chunk_) Mix_FreeChunk(chunk_);
    releaseMusic();
  }

  void open(const std::string& path) {
    path_ = path;
    stopped_ = false;
    if (!state_.open) return;
    if (std::string fault = fileFault(path); !fault.empty()) {
      // What played before stops: the player has nothing to play now.
      report(fault.c_str());
      Mix_HaltChannel(channel_);
      releaseMusic();
      return;
    }
    if (isMidi(path)) {
      Mix_HaltChannel(channel_);
      releaseMusic();
      // With no soundfont the game has said once that there is no music.
      if (!state_.music) return;
      if (std::string fault = midiFault(path); !fault.empty()) {
        report(fault.c_str());
        return;
      }
      seconds_ = midiSeconds(readAll(path));
      loadMusic();
    } else {
      releaseMusic();
      playChunk();
    }
  }

  // A piece that plays goes on; one that ended starts again from the top. A
  // MIDI piece halted in its middle resumes oddly when simply replayed, so
  // after a stop it is read afresh.
  void play() {
    if (!state_.open || path_.empty()) return;
    if (music_) {
      bool mine = state_.musicOwner == this;
      if (mine && Mix_PlayingMusic() && !pastItsEnd()) return;
      if (stopped_ || !mine) {
        stopped_ = false;
        loadMusic();
      } else if (Mix_PlayMusic(music_, 0) == 0) {
        markStart();
      }
    } else if (chunk_) {
      if (!Mix_Playing(channel_)) Mix_PlayChannel(channel_, chunk_, 0);
    }
  }

  void stop() {
    stopped_ = true;
    if (!state_.open) return;
    if (music_ && state_.musicOwner == this) Mix_HaltMusic();
    Mix_HaltChannel(channel_);
  }

 private:
  void playChunk() {
    Mix_Chunk* chunk = nullptr;
    {
      QuietStderr quiet;
      chunk = Mix_LoadWAV(path_.c_str());
    }
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
    int played = -1;
    {
      QuietStderr quiet;
      music_ = Mix_LoadMUS(path_.c_str());
      if (music_) played = Mix_PlayMusic(music_, 0);
    }
    if (!music_) {
      report();
      return;
    }
    state_.musicOwner = this;
    if (played != 0) report();
    markStart();
  }

  // Where the piece would end, counted in the frames the mixer puts out, so
  // that a stalled machine does not end it early.
  void markStart() {
    endFrame_ = seconds_ < 0 ? 0
                             : state_.mixedFrames +
                                   static_cast<std::uint64_t>(seconds_ * state_.frequency + 0.5);
  }
  bool pastItsEnd() const { return endFrame_ > 0 && state_.mixedFrames >= endFrame_; }

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

  Mixer& state_;
  std::string name_;
  int channel_;
  std::string path_;
  bool stopped_ = false;
  Mix_Chunk* chunk_ = nullptr;
  Mix_Music* music_ = nullptr;
  double seconds_ = -1;         // the piece's length, negative when unknown
  std::uint64_t endFrame_ = 0;  // 0: no end of its own, the mixer's word goes
  std::set<std::string> reported_;
};

}  // namespace

namespace {

// Opens the audio device and chooses the soundfont; false with no device.
// Each fault is said once on stderr.
bool openMixer(Mixer& mixer) {
  int opened = -1;
  {
    QuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
      Mix_Init(MIX_INIT_MID);
      opened = Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, kChunkSamples);
      if (opened != 0) {
        std::string why = Mix_GetError();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        SDL_SetError("%s", why.c_str());
      }
    }
  }
  if (opened != 0) {
    std::fprintf(stderr, "brizzlet: no sound: %s\n", SDL_GetError());
    return false;
  }
  Uint16 format = 0;
  int channels = 0;
  if (Mix_QuerySpec(&mixer.frequency, &format, &channels) != 0)
    mixer.frameBytes = SDL_AUDIO_BITSIZE(format) / 8 * channels;
  Mix_SetPostMix(
      [](void* state, Uint8*, int bytes) {
        auto& s = *static_cast<Mixer*>(state);
        s.mixedFrames += static_cast<std::uint64_t>(bytes / s.frameBytes);
      },
      &mixer);
  // The soundfont is checked here, so that a wrong one is said once, not at
  // every start of the music. SDL_SOUNDFONTS may name several.
  std::string soundFonts = findSoundFont(), usable;
  std::vector<std::string> faults;
  for (size_t at = 0; at < soundFonts.size();) {
    size_t end = std::min(soundFonts.find_first_of(":;", at), soundFonts.size());
    std::string path = soundFonts.substr(at, end - at);
    at = end + 1;
    if (path.empty()) continue;
    if (std::string fault = soundFontFault(path); !fault.empty())
      faults.push_back("cannot use the soundfont \"" + path + "\": " + fault);
    else
      usable += (usable.empty() ? "" : ":") + path;
  }
  if (usable.empty()) mixer.music = false;
  if (soundFonts.empty())
    std::fprintf(stderr, "brizzlet: no General MIDI soundfont is installed: no music\n");
  for (const std::string& fault : faults)
    std::fprintf(stderr, "brizzlet: %s%s\n", usable.empty() ? "no music: " : "", fault.c_str());
  if (!usable.empty()) Mix_SetSoundFonts(usable.c_str());
  return true;
}

void closeMixer() {
  Mix_HaltMusic();
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

// The mixer lives on a thread of its own: opening the device and loading the
// soundfont with the first piece take a few hundred milliseconds, which the
// window thread spends drawing the first frame instead. Requests are carried
// out in the order they were made, those made before the device was ready
// as soon as it is.
struct MixerSound::State {
  // The window thread's.
  int channels = 0;  // mixer channels handed out, one per player
  // The sound thread's.
  Mixer mixer;
  std::map<int, std::unique_ptr<Voice>> voices;
  // Shared, under `lock`.
  std::mutex lock;
  std::condition_variable wake, idle;
  std::deque<std::function<void()>> requests;
  bool ready = false;  // the device is open or known to be missing
  bool busy = true;    // carrying out a request, or opening the device
  bool quit = false;
  std::thread thread;

  // Called by the window thread only.
  void begin() {
    if (!thread.joinable()) thread = std::thread([this] { run(); });
  }

  void post(std::function<void()> request) {
    {
      std::lock_guard<std::mutex> hold(lock);
      requests.push_back(std::move(request));
    }
    wake.notify_one();
  }

  void run() {
    bool open = openMixer(mixer);
    {
      std::lock_guard<std::mutex> hold(lock);
      mixer.open = open;
      ready = true;
    }
    for (;;) {
      std::function<void()> request;
      {
        std::unique_lock<std::mutex> hold(lock);
        busy = false;
        idle.notify_all();
        wake.wait(hold, [&] { return quit || !requests.empty(); });
        if (requests.empty()) break;  // quitting, every request carried out
        busy = true;
        request = std::move(requests.front());
        requests.pop_front();
      }
      request();
    }
    voices.clear();
    if (mixer.open) closeMixer();
    // SDL keeps its error text per thread and frees it itself only for the
    // threads it made.
    SDL_TLSCleanup();
  }
};

namespace {

// A player as the runtime sees it: each call is handed to the sound thread.
class Player : public SoundChannel {
 public:
  Player(MixerSound::State& state, int id) : state_(state), id_(id) {}
  ~Player() override {
    state_.post([&state = state_, id = id_] { state.voices.erase(id); });
  }
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  void open(const std::string& path) override {
    state_.post([&state = state_, id = id_, path] { state.voices.at(id)->open(path); });
  }
  void play() override {
    state_.post([&state = state_, id = id_] { state.voices.at(id)->play(); });
  }
  void stop() override {
    state_.post([&state = state_, id = id_] { state.voices.at(id)->stop(); });
  }

 private:
  MixerSound::State& state_;
  int id_;
};

}  // namespace

MixerSound::MixerSound(Start start) : state_(std::make_unique<State>()) {
  if (start == Start::Now) begin();
}

void MixerSound::begin() {
  state_->begin();
}

MixerSound::~MixerSound() {
  state_->begin();  // what was asked is done, also when nothing was drawn
  {
    std::lock_guard<std::mutex> hold(state_->lock);
    state_->quit = true;
  }
  state_->wake.notify_one();
  state_->thread.join();
}

bool MixerSound::open() const {
  state_->begin();
  std::unique_lock<std::mutex> hold(state_->lock);
  state_->idle.wait(hold, [&] { return state_->ready; });
  return state_->mixer.open;
}

void MixerSound::settle() {
  state_->begin();
  std::unique_lock<std::mutex> hold(state_->lock);
  state_->idle.wait(hold, [&] { return !state_->busy && state_->requests.empty(); });
}

std::unique_ptr<SoundChannel> MixerSound::createChannel(const std::string& playerName) {
  int id = state_->channels++;
  state_->post([state = state_.get(), id, playerName] {
    if (state->mixer.open && id >= Mix_AllocateChannels(-1)) Mix_AllocateChannels(id + 8);
    state->voices[id] = std::make_unique<Voice>(state->mixer, playerName, id);
  });
  return std::make_unique<Player>(*state_, id);
}

}  // namespace brz::sdl
