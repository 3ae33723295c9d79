// SPDX-License-Identifier: GPL-3.0-or-later
// The MIDI reader on files built here: a piece's length through tempo
// changes and SMPTE timing, and files that are cut short or are none.
#include "platform/sdl/sound/midi_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace brz::sdl {
namespace {

using namespace std::string_literals;

std::string bigEndian(size_t value, int bytes) {
  std::string out;
  while (bytes--) out += static_cast<char>(value >> (8 * bytes) & 0xFF);
  return out;
}

std::string chunk(const std::string& kind, const std::string& body) {
  return kind + bigEndian(body.size(), 4) + body;
}

std::string track(const std::string& events) {
  return chunk("MTrk", events);
}

// The header counts the chunks that are tracks.
std::string midiFile(unsigned division, const std::vector<std::string>& chunks) {
  size_t tracks = std::count_if(chunks.begin(), chunks.end(),
                                [](const std::string& c) { return c.starts_with("MTrk"); });
  std::string file = chunk("MThd", bigEndian(1, 2) + bigEndian(tracks, 2) + bigEndian(division, 2));
  for (const std::string& c : chunks) file += c;
  return file;
}

const std::string kEnd = "\x00\xFF\x2F\x00"s;

// 96 ticks a beat; the tempo track halves the beat at tick 96, and the notes
// end at tick 288: half a second at 120 beats a minute, then two beats at 240.
// The notes' track holds messages of one data byte, a SysEx, a meta event
// and running status across it, so a miscounted message shifts every tick
// after it.
const std::string kTempoTrack =
    "\x00\xFF\x51\x03\x07\xA1\x20"s + "\x60\xFF\x51\x03\x03\xD0\x90"s + kEnd;
const std::string kNotes = "\x00\xC0\x05"s + "\x00\xD0\x30"s + "\x00\xF0\x03\x7E\x7F\xF7"s +
                           "\x00\x90\x3C\x64"s + "\x00\xFF\x06\x01X"s + "\x81\x40\x3C\x00"s +
                           "\x00\x40\x64"s + "\x60\x40\x00"s + kEnd;

TEST(MidiFile, LengthFollowsTempoChangesAndSmpteTimingFaultsAreSaid) {
  EXPECT_DOUBLE_EQ(midiSeconds(midiFile(96, {track(kTempoTrack), track(kNotes)})), 1.0);
  // A chunk of another kind between the tracks is not one of them.
  std::string other = midiFile(96, {track(kTempoTrack), chunk("XFIH", "\x01\x02"s), track(kNotes)});
  EXPECT_DOUBLE_EQ(midiSeconds(other), 1.0);
  EXPECT_EQ(midiFault(other), "");
  EXPECT_EQ(midiFault(other.substr(0, other.size() - 3)), "the file is cut short in track 2 of 2");
  // With no tempo given, 120 beats a minute.
  EXPECT_DOUBLE_EQ(midiSeconds(midiFile(96, {track(kNotes)})), 1.5);
  // 25 frames a second of 40 ticks: 2500 ticks are 2.5 s, whatever tempo.
  std::string smpte =
      "\x00\xFF\x51\x03\x03\xD0\x90"s + "\x00\x90\x3C\x64"s + "\x93\x44\x80\x3C\x00"s + kEnd;
  EXPECT_DOUBLE_EQ(midiSeconds(midiFile(0xE728, {track(smpte)})), 2.5);

  // Files cut short or not MIDI at all are said.
  std::string whole = midiFile(96, {track(kTempoTrack), track(kNotes)});
  EXPECT_TRUE(looksLikeMidi(whole));
  EXPECT_EQ(midiFault(whole), "");
  std::string riff = "RIFF"s + bigEndian(0, 4) + "RMID" + chunk("data", whole);
  EXPECT_TRUE(looksLikeMidi(riff));
  EXPECT_EQ(midiFault(riff), "");
  EXPECT_DOUBLE_EQ(midiSeconds(riff), 1.0);

  EXPECT_EQ(midiFault(whole.substr(0, 12)), "its header is cut short");
  std::string cut = whole.substr(0, whole.size() - 3);
  EXPECT_EQ(midiFault(cut), "the file is cut short in track 2 of 2");
  EXPECT_LT(midiSeconds(cut), 0);
  EXPECT_EQ(midiFault(whole.substr(0, 14 + 8 + kTempoTrack.size())),
            "the file is cut short in track 2 of 2");
  // Data with no status byte to run on.
  EXPECT_LT(midiSeconds(midiFile(96, {track("\x00\x3C\x64"s + kEnd)})), 0);

  std::string wave = "RIFF"s + bigEndian(0, 4) + "WAVEfmt ";
  EXPECT_FALSE(looksLikeMidi(wave));
  EXPECT_EQ(midiFault(wave), "it is not a MIDI file");
}

}  // namespace
}  // namespace brz::sdl
