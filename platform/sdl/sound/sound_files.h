// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// The files the sound player reads: the game's sounds and music, and the
// soundfont to play the music with. Each fault comes back in plain words, for
// a line of the game's own: the decoders' words for a directory or an empty
// file are of their insides.
namespace brz::sdl {

// Reads a sound file whole into `bytes`; returns why it cannot be, or "".
std::string readSoundFile(const std::string& path, std::string& bytes);

// The General MIDI soundfont to play MIDI with: SDL_SOUNDFONTS when it is
// set, else the first of the system's usual places that exists; "" if none.
std::string findSoundFont();

// Of the soundfonts in a list separated by ':' or ';', the usable ones,
// separated by ':'; a line in `faults` for each of the others.
std::string usableSoundFonts(const std::string& list, std::vector<std::string>& faults);

}  // namespace brz::sdl
