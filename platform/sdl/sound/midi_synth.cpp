// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/midi_synth.h"

#include <fluidsynth.h>

#include <algorithm>

#include "platform/sdl/sound/midi_file.h"

namespace brz::sdl {

namespace {

// The synthesizer's gain with the music at full volume, as SDL_mixer sets it
// when it plays MIDI itself, so that the music is as loud as it always was.
constexpr float kMusicGain = 1.2f;
// How long the synthesizer may ring on after the piece's own end, at most.
constexpr double kTailSeconds = 10;
// How long a piece is taken to last when its length cannot be read.
constexpr double kUnknownSeconds = 600;

class MidiSynth : public PieceSource {
 public:
  MidiSynth() = default;
  ~MidiSynth() override { finish(); }
  MidiSynth(const MidiSynth&) = delete;
  MidiSynth& operator=(const MidiSynth&) = delete;

  std::string load(const std::string& bytes, const std::string& soundFonts, int rate);
  size_t maxFrames() const override { return capacity_; }
  size_t render(std::int16_t* block, size_t frames) override;
  bool over() const override { return synth_ == nullptr; }
  size_t length() const override { return std::min(written_, std::max(pieceFrames_, lastSound_)); }

 private:
  void finish();

  size_t capacity_ = 0;       // frames
  size_t written_ = 0;        // frames
  size_t pieceFrames_ = 0;    // the piece's own length
  size_t lastSound_ = 0;      // the frame after the last one heard
  size_t silenceFrames_ = 0;  // a second's worth
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
};

// Why the piece cannot be made, or "".
std::string MidiSynth::load(const std::string& bytes, const std::string& soundFonts, int rate) {
  for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
    fluid_set_log_function(level, nullptr, nullptr);
  double seconds = midiSeconds(bytes);
  double known = seconds < 0 ? kUnknownSeconds : std::min(seconds, kUnknownSeconds);
  pieceFrames_ = static_cast<size_t>(known * rate + 0.5);
  capacity_ = pieceFrames_ + static_cast<size_t>(kTailSeconds * rate);
  silenceFrames_ = static_cast<size_t>(rate);
  if (!(settings_ = new_fluid_settings())) return "Failed to create FluidSynth settings";
  fluid_settings_setnum(settings_, "synth.sample-rate", rate);
  if (!(synth_ = new_fluid_synth(settings_))) return "Failed to create FluidSynth synthesizer";
  fluid_synth_set_gain(synth_, kMusicGain);
  int loaded = 0;
  std::string failed;
  for (size_t at = 0; at < soundFonts.size();) {
    size_t end = std::min(soundFonts.find(':', at), soundFonts.size());
    std::string path = soundFonts.substr(at, end - at);
    at = end + 1;
    if (fluid_synth_sfload(synth_, path.c_str(), 1) != FLUID_FAILED)
      ++loaded;
    else if (failed.empty())
      failed = path;
  }
  if (!loaded) return "Failed to access the SoundFont " + failed;
  if (!(player_ = new_fluid_player(synth_))) return "Failed to create FluidSynth player";
  // The player keeps a copy of the bytes.
  if (fluid_player_add_mem(player_, bytes.data(), bytes.size()) != FLUID_OK ||
      fluid_player_play(player_) != FLUID_OK)
    return "FluidSynth failed to load in-memory song";
  return "";
}

size_t MidiSynth::render(std::int16_t* block, size_t frames) {
  if (!synth_) return 0;
  frames = std::min(frames, capacity_ - written_);
  if (fluid_synth_write_s16(synth_, static_cast<int>(frames), block, 0, 2, block, 1, 2) != FLUID_OK)
    std::fill(block, block + frames * 2, 0);
  // The synthesizer's dither leaves a silent output at ±1.
  for (size_t i = 0; i < frames * 2; ++i)
    if (block[i] > 1 || block[i] < -1) lastSound_ = written_ + i / 2 + 1;
  written_ += frames;
  bool silentSecond =
      written_ >= pieceFrames_ && written_ - std::max(lastSound_, pieceFrames_) >= silenceFrames_;
  if (silentSecond || written_ == capacity_ ||
      fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING)
    finish();
  return frames;
}

void MidiSynth::finish() {
  if (player_) delete_fluid_player(player_);
  if (synth_) delete_fluid_synth(synth_);
  if (settings_) delete_fluid_settings(settings_);
  player_ = nullptr;
  synth_ = nullptr;
  settings_ = nullptr;
}

}  // namespace

std::unique_ptr<PieceSource> synthesizeMidi(const std::string& bytes, const std::string& soundFonts,
                                            int rate, std::string& fault) {
  auto synth = std::make_unique<MidiSynth>();
  fault = synth->load(bytes, soundFonts, rate);
  if (!fault.empty()) return nullptr;
  return synth;
}

}  // namespace brz::sdl
