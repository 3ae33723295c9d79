// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// A build with no synthesizer plays its MIDI music from a rendering made at
// build time: an Ogg Vorbis file beside the MIDI file, named after it, that
// names the MIDI bytes it was made from in a comment of its own. The player
// reads the MIDI file as ever, and plays the rendering only while those bytes
// are the ones it names, so that a MIDI file changed since never plays
// another tune. No SDL here: the tool that renders uses it too.
namespace brz::sdl {

// The comment that names the MIDI bytes: their SHA-256, in lower-case hex,
// as `sha256sum` prints it.
inline constexpr std::string_view kMusicKeyTag = "BRIZZLET_MIDI_SHA256";

// Where the rendering of the MIDI file at `midiPath` lies.
std::string renderingPath(const std::string& midiPath);

// The key of a MIDI file's bytes.
std::string musicKey(std::string_view midiBytes);

// Why an Ogg file is not whole, or "": each page there, its checksum right,
// up to the page marked last, and nothing after. ("is cut short", "is
// damaged": words that follow the file's name.)
std::string renderingFault(std::string_view oggBytes);

// The key an Ogg Vorbis file names, or "" when it names none (or is no Ogg
// Vorbis file, or is cut short before its comments).
std::string renderingKey(std::string_view oggBytes);

}  // namespace brz::sdl
