// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// Standard MIDI files read from their bytes: no file, no library, no state.
namespace brz::sdl {

// Whether the bytes start as a standard MIDI file, or as one wrapped in RIFF.
bool looksLikeMidi(std::string_view bytes);

// Why a MIDI file cannot be played in full, or "" when its header and every
// track it announces are all there. The synthesizer would take a file cut
// short, then complain of it on stderr at every start of the piece.
std::string midiFault(std::string_view bytes);

// How long a MIDI piece lasts, in seconds, from its start to the last end of
// a track, through its tempo changes; negative when the file cannot be read
// that far. The synthesizer counts a piece as playing until its last voice
// has died away, far below hearing (a cymbal rings on for seconds), and some
// time more: the player goes by the piece's own length instead.
double midiSeconds(std::string_view bytes);

}  // namespace brz::sdl
