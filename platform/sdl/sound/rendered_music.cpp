// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/rendered_music.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

#include <cstdint>
#include <filesystem>

#include "platform/sdl/sound/music_key.h"
#include "platform/sdl/sound/sound_files.h"

namespace brz::sdl {

namespace {

// The rendering's Ogg Vorbis, decoded a block at a time as the piece is
// written: decoding it whole takes over half a second, which in a browser
// is half a second of a frozen page.
class Rendering : public PieceSource {
 public:
  explicit Rendering(std::string ogg) : ogg_(std::move(ogg)) {}
  ~Rendering() override {
    if (vorbis_) stb_vorbis_close(vorbis_);
  }
  Rendering(const Rendering&) = delete;
  Rendering& operator=(const Rendering&) = delete;

  // Why the rendering cannot be played, or "".
  std::string open() {
    int error = 0;
    vorbis_ = stb_vorbis_open_memory(reinterpret_cast<const unsigned char*>(ogg_.data()),
                                     static_cast<int>(ogg_.size()), &error, nullptr);
    if (!vorbis_)
      return error == VORBIS_outofmem
                 ? "not enough memory"
                 : "it is not Ogg Vorbis (decoder error " + std::to_string(error) + ")";
    stb_vorbis_info info = stb_vorbis_get_info(vorbis_);
    frames_ = stb_vorbis_stream_length_in_samples(vorbis_);
    rate_ = static_cast<int>(info.sample_rate);
    if (info.channels != 2 || rate_ <= 0 || frames_ == 0)
      return "it is not a stereo piece of a known length";
    return "";
  }

  int rate() const { return rate_; }
  size_t maxFrames() const override { return frames_; }
  size_t render(std::int16_t* block, size_t frames) override {
    if (over_) return 0;
    int got =
        stb_vorbis_get_samples_short_interleaved(vorbis_, 2, block, static_cast<int>(frames * 2));
    size_t decoded = got > 0 ? static_cast<size_t>(got) : 0;
    written_ += decoded;
    // Short of what was asked is the end of the stream (or a fault in it:
    // what was decoded plays).
    over_ = decoded < frames || written_ >= frames_;
    return decoded;
  }
  bool over() const override { return over_; }
  size_t length() const override { return written_; }

 private:
  std::string ogg_;  // stb_vorbis reads it in place
  stb_vorbis* vorbis_ = nullptr;
  size_t frames_ = 0;
  size_t written_ = 0;
  int rate_ = 0;
  bool over_ = false;
};

}  // namespace

std::shared_ptr<Piece> renderedPiece(const Piece::Format& format, const std::string& midiPath,
                                     std::string bytes, std::string& fault) {
  std::string path = renderingPath(midiPath);
  std::string name = "its rendering \"" + std::filesystem::path(path).filename().string() + "\"";
  std::string ogg;
  if (std::string why = readSoundFile(path, ogg); !why.empty()) {
    fault = name + " cannot be read: " + why;
    return nullptr;
  }
  if (std::string why = renderingFault(ogg); !why.empty()) {
    fault = name + " " + why;
    return nullptr;
  }
  std::string key = renderingKey(ogg);
  if (key.empty()) {
    fault = name + " names no MIDI file it was made from";
    return nullptr;
  }
  if (key != musicKey(bytes)) {
    fault = "the file is not the music " + name +
            " was made from, and this build plays MIDI music only from its rendering";
    return nullptr;
  }
  if (ogg.size() > static_cast<size_t>(INT32_MAX)) {
    fault = name + " is too large";
    return nullptr;
  }
  auto rendering = std::make_unique<Rendering>(std::move(ogg));
  if (std::string why = rendering->open(); !why.empty()) {
    fault = name + " cannot be decoded: " + why;
    return nullptr;
  }
  int rate = rendering->rate();
  return Piece::make(format, rate, std::move(bytes), std::move(rendering), fault);
}

}  // namespace brz::sdl
