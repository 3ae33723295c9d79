// SPDX-License-Identifier: GPL-3.0-or-later
// Renders a MIDI file as the game's synthesizer plays it, into Ogg Vorbis,
// for a build of the game that has no synthesizer (music_key.h):
//   render-music MIDI OGG
// The soundfont is the one the game would choose (SDL_SOUNDFONTS, else the
// system's General MIDI soundfont). The output names the MIDI bytes it was
// made from, and is the same for the same input.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/sdl/sound/midi_file.h"
#include "platform/sdl/sound/midi_synth.h"
#include "platform/sdl/sound/music_key.h"
#include "platform/sdl/sound/sound_files.h"

namespace {

using namespace brz::sdl;

// The rate the game asks of the audio device: on a device of another rate
// SDL_mixer converts the rendering as it decodes it.
constexpr int kRate = 44100;
// Vorbis's quality, from -0.1 to 1: the lowest, about 42 kbit/s for the
// game's music, keeps the whole band and the stereo, a few hundred kilobytes
// for a minute; each step up costs a third more.
constexpr float kQuality = -0.1f;
constexpr size_t kBlockFrames = 4096;

int fail(const std::string& why) {
  std::fprintf(stderr, "render-music: %s\n", why.c_str());
  return 1;
}

// The piece as the game would play it: 16-bit stereo frames.
std::vector<std::int16_t> synthesize(const std::string& midi, std::string& fault) {
  std::vector<std::string> faults;
  std::string soundFonts = usableSoundFonts(findSoundFont(), faults);
  if (soundFonts.empty()) {
    fault = faults.empty() ? "no General MIDI soundfont is installed" : faults.front();
    return {};
  }
  std::unique_ptr<PieceSource> source = synthesizeMidi(midi, soundFonts, kRate, fault);
  if (!source) return {};
  std::vector<std::int16_t> frames;
  while (!source->over()) {
    size_t at = frames.size();
    frames.resize(at + kBlockFrames * 2);
    frames.resize(at + source->render(frames.data() + at, kBlockFrames) * 2);
  }
  frames.resize(std::min(frames.size(), source->length() * 2));
  return frames;
}

// The frames in Ogg Vorbis, with the key of the MIDI bytes among its comments.
std::string encode(const std::vector<std::int16_t>& frames, const std::string& key) {
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, 2, kRate, kQuality) != 0) return "";
  vorbis_comment comments;
  vorbis_comment_init(&comments);
  vorbis_comment_add_tag(&comments, std::string(kMusicKeyTag).c_str(), key.c_str());
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  // A serial number of the content's, so that the same input gives the same bytes.
  ogg_stream_state stream;
  ogg_stream_init(&stream, static_cast<int>(std::stoul(key.substr(0, 7), nullptr, 16)));

  std::string out;
  ogg_page page;
  auto write = [&](const ogg_page& p) {
    out.append(reinterpret_cast<const char*>(p.header), static_cast<size_t>(p.header_len));
    out.append(reinterpret_cast<const char*>(p.body), static_cast<size_t>(p.body_len));
  };
  ogg_packet head, comment, code;
  vorbis_analysis_headerout(&dsp, &comments, &head, &comment, &code);
  ogg_stream_packetin(&stream, &head);
  ogg_stream_packetin(&stream, &comment);
  ogg_stream_packetin(&stream, &code);
  while (ogg_stream_flush(&stream, &page)) write(page);

  size_t total = frames.size() / 2;
  for (size_t at = 0;; at += kBlockFrames) {
    size_t n = std::min(kBlockFrames, total - std::min(at, total));
    if (n > 0) {
      float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i) {
        buffer[0][i] = frames[(at + i) * 2] / 32768.0f;
        buffer[1][i] = frames[(at + i) * 2 + 1] / 32768.0f;
      }
    }
    vorbis_analysis_wrote(&dsp, static_cast<int>(n));  // none: the end
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page)) write(page);
      }
    }
    if (n == 0) break;
  }
  while (ogg_stream_flush(&stream, &page)) write(page);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comments);
  vorbis_info_clear(&info);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: render-music MIDI OGG\n");
    return 2;
  }
  std::string midiPath = argv[1], oggPath = argv[2];
  std::string midi;
  if (std::string fault = readSoundFile(midiPath, midi); !fault.empty())
    return fail("cannot read \"" + midiPath + "\": " + fault);
  if (!looksLikeMidi(midi)) return fail("\"" + midiPath + "\" is not a MIDI file");
  if (std::string fault = midiFault(midi); !fault.empty())
    return fail("\"" + midiPath + "\": " + fault);

  std::string fault;
  std::vector<std::int16_t> frames = synthesize(midi, fault);
  if (!fault.empty()) return fail("cannot synthesize \"" + midiPath + "\": " + fault);
  std::string ogg = encode(frames, musicKey(midi));
  if (ogg.empty()) return fail("the Vorbis encoder refused its settings");

  // Written whole or not at all: a build stopped halfway leaves no rendering
  // that looks finished.
  std::string partial = oggPath + ".part";
  std::FILE* file = std::fopen(partial.c_str(), "wb");
  bool written = file && std::fwrite(ogg.data(), 1, ogg.size(), file) == ogg.size();
  if (file && std::fclose(file) != 0) written = false;
  std::error_code error;
  if (written) std::filesystem::rename(partial, oggPath, error);
  if (!written || error) {
    std::filesystem::remove(partial, error);
    return fail("cannot write \"" + oggPath + "\"");
  }
  std::printf("render-music: %s: %.1f s of music in %zu kB\n", oggPath.c_str(),
              static_cast<double>(frames.size() / 2) / kRate, (ogg.size() + 512) / 1024);
  return 0;
}
