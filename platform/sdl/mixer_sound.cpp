// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/mixer_sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <fcntl.h>
#include <fluidsynth.h>
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
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace brz::sdl {

namespace {

// Small, so that a shot sounds the moment it is fired (about 12 ms at 44.1 kHz).
constexpr int kChunkSamples = 512;
// After this long with nothing playing the audio thread rests (see restWhileSilent).
constexpr int kRestAfterSeconds = 2;
// How many decoded sounds are kept for their files' bytes.
constexpr size_t kKeptChunks = 8;

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

struct Mixer;

// A MIDI piece synthesized once, into memory. The sound thread writes it
// block by block into a buffer sized for the whole piece up front, so that it
// never moves; the audio thread plays what is written so far. Synthesizing
// live in the audio callback instead costs a few percent of a core for as
// long as the music plays, every time it plays.
class Piece {
 public:
  ~Piece() { finish(); }
  Piece(const Piece&) = delete;
  Piece& operator=(const Piece&) = delete;

  // The piece of `bytes`, its first block already written; null with the
  // reason in `fault`. Loads the soundfonts: the libraries' stderr should be
  // quiet around it.
  static std::shared_ptr<Piece> make(const Mixer& mixer, std::string bytes, double seconds,
                                     std::string& fault);

  const std::string& bytes() const { return bytes_; }
  bool rendering() const { return synth_ != nullptr; }
  // Writes the next block; at the end of the piece frees the synthesizer.
  void render();

  // Read by the audio thread.
  const Uint8* frame(size_t at) const { return samples_.get() + at * frameBytes_; }
  size_t frameBytes() const { return frameBytes_; }
  std::atomic<size_t> written{0};        // frames written so far
  std::atomic<size_t> length{SIZE_MAX};  // frames in all, once the render is over

 private:
  Piece() = default;
  void finish();

  std::string bytes_;
  std::unique_ptr<Uint8[]> samples_;
  size_t capacity_ = 0;  // frames
  size_t frameBytes_ = 4;
  size_t pieceFrames_ = 0;    // the piece's own length
  size_t lastSound_ = 0;      // the frame after the last one heard
  size_t silenceFrames_ = 0;  // a second's worth
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
  SDL_AudioStream* convert_ = nullptr;  // when the mixer's format is not the synth's
};

// What the music hook plays; changed by the sound thread only while the hook
// is off.
struct Playback {
  std::shared_ptr<Piece> piece;
  size_t at = 0;                     // the next frame to play
  std::atomic<bool> playing{false};  // cleared by the audio thread at the end
};

// The sounds decoded last, each with the bytes of its file: a shot reads its
// file at every load, so that one removed or damaged fails then, but decodes
// it again only when the bytes have changed. A chunk lives on while a voice
// holds it, also once it has left the cache.
class Chunks {
 public:
  // The chunk of `bytes`, decoded now or before; null with the decoder's
  // reason in Mix_GetError().
  std::shared_ptr<Mix_Chunk> get(const std::string& bytes) {
    for (auto kept = kept_.begin(); kept != kept_.end(); ++kept) {
      if (kept->bytes != bytes) continue;
      std::rotate(kept_.begin(), kept, std::next(kept));  // the latest first
      return kept_.front().chunk;
    }
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) {
      SDL_SetError("the file is too large");
      return nullptr;
    }
    Mix_Chunk* decoded = nullptr;
    {
      QuietStderr quiet;
      decoded = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    }
    if (!decoded) return nullptr;
    std::shared_ptr<Mix_Chunk> chunk(decoded, Mix_FreeChunk);
    kept_.push_front({bytes, chunk});
    if (kept_.size() > kKeptChunks) kept_.pop_back();
    return chunk;
  }
  void clear() { kept_.clear(); }

 private:
  struct Kept {
    std::string bytes;
    std::shared_ptr<Mix_Chunk> chunk;
  };
  std::deque<Kept> kept_;
};

// What the sound thread knows of the mixer.
struct Mixer {
  bool open = false;
  bool music = true;                 // false: no soundfont to play MIDI with
  const void* musicOwner = nullptr;  // the voice whose piece holds the music stream
  int frequency = 44100;
  Uint16 format = AUDIO_S16SYS;
  int channels = 2;
  int frameBytes = 4;
  std::string soundFonts;                     // the usable ones, separated by ':'
  std::atomic<std::uint64_t> mixedFrames{0};  // every frame the mixer has put out
  // The last piece synthesized, kept while its file's bytes are the same, so
  // that a replay costs no synthesis.
  std::shared_ptr<Piece> piece;
  Playback playback;
  Chunks chunks;

  // The audio thread's rest. It may rest only while `mayRest` is set, which
  // the sound thread clears, waking it, before it touches the mixer.
  std::mutex restLock;
  std::condition_variable restWake;
  bool mayRest = false;            // under restLock
  std::uint64_t silentFrames = 0;  // the audio thread's: frames since the last sound

  bool rendering() const { return piece && piece->rendering(); }
};

// Lets the audio thread rest, or wakes it and keeps it awake: each of the
// mixer's calls waits for the mixer's lock, which a resting audio thread
// holds.
void letRest(Mixer& mixer, bool may) {
  {
    std::lock_guard<std::mutex> hold(mixer.restLock);
    mixer.mayRest = may;
  }
  if (!may) mixer.restWake.notify_one();
}

// The synthesizer's gain with the music at full volume, as SDL_mixer sets it
// when it plays MIDI itself, so that the music is as loud as it always was.
constexpr float kMusicGain = 1.2f;
// Frames synthesized at a time: a slice of the sound thread's time short
// enough that a request waiting behind it is not noticed.
constexpr size_t kRenderFrames = 4096;
// How long the synthesizer may ring on after the piece's own end, at most.
constexpr double kTailSeconds = 10;
// How long a piece is taken to last when its length cannot be read.
constexpr double kUnknownSeconds = 600;

std::shared_ptr<Piece> Piece::make(const Mixer& mixer, std::string bytes, double seconds,
                                   std::string& fault) {
  std::shared_ptr<Piece> piece(new Piece);
  Piece& p = *piece;
  p.bytes_ = std::move(bytes);
  p.frameBytes_ = static_cast<size_t>(mixer.frameBytes);
  double known = seconds < 0 ? kUnknownSeconds : std::min(seconds, kUnknownSeconds);
  p.pieceFrames_ = static_cast<size_t>(known * mixer.frequency + 0.5);
  p.capacity_ = p.pieceFrames_ + static_cast<size_t>(kTailSeconds * mixer.frequency);
  p.silenceFrames_ = static_cast<size_t>(mixer.frequency);
  p.samples_.reset(new (std::nothrow) Uint8[p.capacity_ * p.frameBytes_]);
  if (!p.samples_) {
    fault = "not enough memory for the piece";
    return nullptr;
  }
  if (mixer.format != AUDIO_S16SYS || mixer.channels != 2) {
    p.convert_ = SDL_NewAudioStream(AUDIO_S16SYS, 2, mixer.frequency, mixer.format,
                                    static_cast<Uint8>(mixer.channels), mixer.frequency);
    if (!p.convert_) {
      fault = SDL_GetError();
      return nullptr;
    }
  }
  // FluidSynth's own defaults otherwise (its reverb and chorus among them),
  // as SDL_mixer plays MIDI.
  if (!(p.settings_ = new_fluid_settings())) {
    fault = "Failed to create FluidSynth settings";
    return nullptr;
  }
  fluid_settings_setnum(p.settings_, "synth.sample-rate", mixer.frequency);
  if (!(p.synth_ = new_fluid_synth(p.settings_))) {
    fault = "Failed to create FluidSynth synthesizer";
    return nullptr;
  }
  fluid_synth_set_gain(p.synth_, kMusicGain);
  int loaded = 0;
  std::string failed;
  for (size_t at = 0; at < mixer.soundFonts.size();) {
    size_t end = std::min(mixer.soundFonts.find(':', at), mixer.soundFonts.size());
    std::string path = mixer.soundFonts.substr(at, end - at);
    at = end + 1;
    if (fluid_synth_sfload(p.synth_, path.c_str(), 1) != FLUID_FAILED)
      ++loaded;
    else if (failed.empty())
      failed = path;
  }
  if (!loaded) {
    fault = "Failed to access the SoundFont " + failed;
    return nullptr;
  }
  if (!(p.player_ = new_fluid_player(p.synth_))) {
    fault = "Failed to create FluidSynth player";
    return nullptr;
  }
  if (fluid_player_add_mem(p.player_, p.bytes_.data(), p.bytes_.size()) != FLUID_OK ||
      fluid_player_play(p.player_) != FLUID_OK) {
    fault = "FluidSynth failed to load in-memory song";
    return nullptr;
  }
  p.render();
  return piece;
}

void Piece::render() {
  if (!synth_) return;
  size_t at = written.load(std::memory_order_relaxed);
  size_t frames = std::min(kRenderFrames, capacity_ - at);
  std::int16_t block[kRenderFrames * 2];
  if (fluid_synth_write_s16(synth_, static_cast<int>(frames), block, 0, 2, block, 1, 2) != FLUID_OK)
    std::memset(block, 0, frames * sizeof block[0] * 2);
  // The synthesizer's dither leaves a silent output at ±1.
  for (size_t i = 0; i < frames * 2; ++i)
    if (block[i] > 1 || block[i] < -1) lastSound_ = at + i / 2 + 1;
  if (convert_) {
    SDL_AudioStreamPut(convert_, block, static_cast<int>(frames * sizeof block[0] * 2));
    int got = SDL_AudioStreamGet(convert_, samples_.get() + at * frameBytes_,
                                 static_cast<int>((capacity_ - at) * frameBytes_));
    frames = got > 0 ? static_cast<size_t>(got) / frameBytes_ : 0;
  } else {
    std::memcpy(samples_.get() + at * frameBytes_, block, frames * frameBytes_);
  }
  at += frames;
  written.store(at, std::memory_order_release);
  // Past the piece's own end the synthesizer rings on until its last voice
  // dies away, far below hearing: the piece ends where its output falls
  // silent for a second, or at the cap.
  bool silentSecond =
      at >= pieceFrames_ && at - std::max(lastSound_, pieceFrames_) >= silenceFrames_;
  if (silentSecond || at == capacity_ || fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING) {
    finish();
    length.store(std::min(at, std::max(pieceFrames_, lastSound_)), std::memory_order_release);
  }
}

void Piece::finish() {
  if (player_) delete_fluid_player(player_);
  if (synth_) delete_fluid_synth(synth_);
  if (settings_) delete_fluid_settings(settings_);
  if (convert_) SDL_FreeAudioStream(convert_);
  player_ = nullptr;
  synth_ = nullptr;
  settings_ = nullptr;
  convert_ = nullptr;
}

// On the audio thread: the piece from where it is, as far as it is written.
// The mixer hands the hook a silent buffer, and what is not written yet stays
// silent.
void playPiece(Playback& playback, Uint8* stream, int bytes) {
  if (!playback.playing.load(std::memory_order_relaxed)) return;
  const Piece& piece = *playback.piece;
  size_t length = piece.length.load(std::memory_order_acquire);
  size_t written = piece.written.load(std::memory_order_acquire);
  size_t frames = std::min(static_cast<size_t>(bytes) / piece.frameBytes(), written - playback.at);
  std::memcpy(stream, piece.frame(playback.at), frames * piece.frameBytes());
  playback.at += frames;
  if (playback.at >= length) playback.playing.store(false, std::memory_order_relaxed);
}

// On the audio thread, with the mixer's lock held. SDL's audio thread wakes
// for every buffer and runs the mixer, also when nothing plays (pausing the
// device does not change that): once no channel and no music has played for
// a while it waits here instead, until the sound thread has something for
// the mixer. What the mixer is then asked to play starts with the buffer
// after this one, as promptly as from a device that never rested.
void restWhileSilent(Mixer& mixer, int bytes) {
  if (mixer.playback.playing.load(std::memory_order_relaxed) || Mix_Playing(-1) > 0) {
    mixer.silentFrames = 0;
    return;
  }
  mixer.silentFrames += static_cast<std::uint64_t>(bytes / mixer.frameBytes);
  if (mixer.silentFrames < static_cast<std::uint64_t>(kRestAfterSeconds) * mixer.frequency) return;
  std::unique_lock<std::mutex> hold(mixer.restLock);
  mixer.restWake.wait(hold, [&] { return !mixer.mayRest; });
  mixer.silentFrames = 0;
}

// The music hook, installed for as long as the device is open: the mixer
// calls it for every buffer.
void SDLCALL mixMusic(void* data, Uint8* stream, int bytes) {
  auto& mixer = *static_cast<Mixer*>(data);
  restWhileSilent(mixer, bytes);
  playPiece(mixer.playback, stream, bytes);
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
    chunk_ = nullptr;
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
    if (piece_) {
      bool mine = state_.musicOwner == this;
      if (mine && state_.playback.playing && !pastItsEnd()) return;
      if (stopped_ || !mine) {
        stopped_ = false;
        loadMusic();
      } else {
        startMusic(state_, piece_);
        markStart();
      }
    } else if (chunk_) {
      if (!Mix_Playing(channel_)) Mix_PlayChannel(channel_, chunk_.get(), 0);
    }
  }

  void stop() {
    stopped_ = true;
    if (!state_.open) return;
    if (piece_ && state_.musicOwner == this) haltMusic(state_);
    Mix_HaltChannel(channel_);
  }

 private:
  // The file is read at every load, so that one gone fails then; false
  // when it cannot be, said once.
  bool readFile(std::string& bytes) {
    SDL_RWops* file = SDL_RWFromFile(path_.c_str(), "rb");
    if (!file) {
      report(("Couldn't open '" + path_ + "'").c_str());
      return false;
    }
    size_t size = 0;
    void* data = SDL_LoadFile_RW(file, &size, 1);
    if (!data) {
      report();
      return false;
    }
    bytes.assign(static_cast<const char*>(data), size);
    SDL_free(data);
    return true;
  }

  void playChunk() {
    std::shared_ptr<Mix_Chunk> chunk;
    if (std::string bytes; readFile(bytes)) {
      chunk = state_.chunks.get(bytes);
      if (!chunk) report();
    }
    // Playing on the player's own channel cuts what it played before.
    Mix_HaltChannel(channel_);
    chunk_ = std::move(chunk);
    if (chunk_) Mix_PlayChannel(channel_, chunk_.get(), 0);
  }

  // While the file's bytes are the same the piece synthesized before plays
  // again.
  void loadMusic() {
    releaseMusic();
    if (state_.musicOwner) haltMusic(state_);  // another player's piece gives way
    std::string bytes;
    if (!readFile(bytes)) return;
    seconds_ = midiSeconds(bytes);
    if (!state_.piece || state_.piece->bytes() != bytes) {
      state_.piece = nullptr;
      std::string fault;
      std::shared_ptr<Piece> piece;
      {
        QuietStderr quiet;
        piece = Piece::make(state_, std::move(bytes), seconds_, fault);
      }
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
    endFrame_ = seconds_ < 0 ? 0
                             : state_.mixedFrames +
                                   static_cast<std::uint64_t>(seconds_ * state_.frequency + 0.5);
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

}  // namespace

namespace {

// Opens the audio device and chooses the soundfont; false with no device.
// Each fault is said once on stderr.
bool openMixer(Mixer& mixer) {
  int opened = -1;
  {
    QuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
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
  if (Mix_QuerySpec(&mixer.frequency, &format, &channels) != 0) {
    mixer.format = format;
    mixer.channels = channels;
    mixer.frameBytes = SDL_AUDIO_BITSIZE(format) / 8 * channels;
  }
  // FluidSynth's own diagnostics would reach stderr while the music is
  // synthesized: each fault is said in the game's words instead.
  for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
    fluid_set_log_function(level, nullptr, nullptr);
  Mix_SetPostMix(
      [](void* state, Uint8*, int bytes) {
        auto& s = *static_cast<Mixer*>(state);
        s.mixedFrames += static_cast<std::uint64_t>(bytes / s.frameBytes);
      },
      &mixer);
  Mix_HookMusic(mixMusic, &mixer);
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
  mixer.soundFonts = usable;
  return true;
}

void closeMixer(Mixer& mixer) {
  Mix_HookMusic(nullptr, nullptr);
  mixer.playback.playing = false;
  mixer.playback.piece = nullptr;
  mixer.piece = nullptr;
  mixer.chunks.clear();
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
        // Synthesizing does not touch the mixer: the audio thread may rest.
        if (requests.empty() && !quit && mixer.open) letRest(mixer, true);
        // A piece being synthesized goes on between requests, a block at a
        // time, so that a shot waits for no more than one block.
        wake.wait(hold, [&] { return quit || !requests.empty() || mixer.rendering(); });
        if (!requests.empty()) {
          busy = true;
          request = std::move(requests.front());
          requests.pop_front();
        } else if (quit) {
          break;  // every request carried out
        }
      }
      if (request) {
        letRest(mixer, false);
        request();
      } else {
        mixer.piece->render();
      }
    }
    // For good: closing the device waits for the audio thread to end.
    letRest(mixer, false);
    voices.clear();
    if (mixer.open) closeMixer(mixer);
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
