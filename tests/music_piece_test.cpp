// SPDX-License-Identifier: GPL-3.0-or-later
// A piece written block by block from its source, at the mixer's rate or
// resampled to it: every frame arrives, the tail too, and no more than the
// buffer holds.
#include "platform/sdl/sound/music_piece.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

namespace brz::sdl {
namespace {

// A steady tone, loud to its last frame.
class Tone : public PieceSource {
 public:
  explicit Tone(size_t frames) : frames_(frames) {}
  size_t maxFrames() const override { return frames_; }
  size_t render(std::int16_t* block, size_t frames) override {
    frames = std::min(frames, frames_ - written_);
    for (size_t i = 0; i < frames; ++i, ++written_)
      block[2 * i] = block[2 * i + 1] =
          static_cast<std::int16_t>(8000 * std::sin(0.05 * static_cast<double>(written_)));
    return frames;
  }
  bool over() const override { return written_ == frames_; }
  size_t length() const override { return written_; }

 private:
  size_t frames_;
  size_t written_ = 0;
};

// The piece made whole, as the sound thread makes it.
std::shared_ptr<Piece> made(int sourceRate, int mixerRate, size_t frames) {
  Piece::Format format;
  format.frequency = mixerRate;
  std::string fault;
  std::shared_ptr<Piece> piece =
      Piece::make(format, sourceRate, "bytes", std::make_unique<Tone>(frames), fault);
  EXPECT_TRUE(piece) << fault;
  if (piece)
    while (piece->rendering()) piece->render();
  return piece;
}

// The loudest sample of the piece's last `frames` frames.
int loudestOfLast(const Piece& piece, size_t frames) {
  int loudest = 0;
  const auto* samples = reinterpret_cast<const std::int16_t*>(piece.frame(0));
  for (size_t i = 2 * (piece.length - frames); i < 2 * piece.length; ++i)
    loudest = std::max(loudest, std::abs(static_cast<int>(samples[i])));
  return loudest;
}

TEST(MusicPiece, AtAnyRateItLastsAsLongAndKeepsItsTail) {
  for (auto [from, to] :
       {std::pair{44100, 44100}, std::pair{44100, 48000}, std::pair{48000, 44100}}) {
    std::shared_ptr<Piece> piece = made(from, to, 44100);  // a second, or nearly
    ASSERT_TRUE(piece);
    double expected = 44100.0 * to / from;
    EXPECT_NEAR(static_cast<double>(piece->length), expected, 2) << from << " to " << to;
    EXPECT_LE(piece->length.load(), piece->written.load());
    EXPECT_GT(loudestOfLast(*piece, 64), 4000) << from << " to " << to;
  }
}

}  // namespace
}  // namespace brz::sdl
