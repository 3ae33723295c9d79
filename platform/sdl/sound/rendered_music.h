// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/sdl/sound/music_piece.h"

namespace brz::sdl {

// The piece of the MIDI file at `midiPath`, whose bytes are `bytes`, in a
// build with no synthesizer: its rendering made at build time (music_key.h),
// decoded whole by SDL_mixer into the mixer's `format`. Null, with the reason
// in `fault`, when the rendering is missing or cannot be decoded, or was made
// from other bytes: a MIDI file changed since plays no other tune.
std::shared_ptr<Piece> renderedPiece(const Piece::Format& format, const std::string& midiPath,
                                     std::string bytes, std::string& fault);

}  // namespace brz::sdl
