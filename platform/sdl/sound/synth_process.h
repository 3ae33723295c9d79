// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/sdl/sound/piece_source.h"

namespace brz::sdl {

// The piece of a MIDI file's bytes, synthesized by the brizzlet-synth
// program (synth_main.cpp) at `rate` frames a second with the soundfonts of a
// list separated by ':'; null with the reason in `fault`.
//
// The synthesizer runs apart from the game because it cannot always fail
// gracefully: short of memory, FluidSynth and the libraries under it crash or
// abort in the middle of loading a soundfont, and then the process that goes
// down is the synthesizer's, the game says so in one line and plays on
// without music. Its own diagnostics stay in it too.
//
// brizzlet-synth lies next to the program, or one directory up (the build
// tree's tools and benchmarks).
std::unique_ptr<PieceSource> synthesizeApart(const std::string& bytes,
                                             const std::string& soundFonts, int rate,
                                             std::string& fault);

// What brizzlet-synth writes on its standard output, in the machine's own
// byte order: kSynthFault and the reason in words, to the end; or kSynthPiece
// and the most frames the piece can take (8 bytes), then blocks, each its
// number of frames (4 bytes) and the frames (16-bit stereo), the last of none,
// followed by the piece's length in frames (8 bytes).
constexpr std::uint32_t kSynthPiece = 0x50435342;  // "BSCP"
constexpr std::uint32_t kSynthFault = 0x46435342;  // "BSCF"

}  // namespace brz::sdl
