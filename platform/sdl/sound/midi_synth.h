// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/sdl/sound/piece_source.h"

namespace brz::sdl {

// The piece of a MIDI file's bytes, synthesized through FluidSynth at `rate`
// frames a second with the soundfonts of a list separated by ':'; null with
// the reason in `fault`. FluidSynth's own defaults otherwise (its reverb and
// chorus among them), as SDL_mixer plays MIDI. FluidSynth's diagnostics are
// silenced: each fault is said in the caller's words instead.
//
// Needs nothing of SDL, so that a tool can make the very frames the game
// would play.
//
// The piece ends where its output falls silent for a second after the
// piece's own length, or at a cap: past its last note the synthesizer rings
// on until its last voice dies away, far below hearing.
std::unique_ptr<PieceSource> synthesizeMidi(const std::string& bytes, const std::string& soundFonts,
                                            int rate, std::string& fault);

}  // namespace brz::sdl
