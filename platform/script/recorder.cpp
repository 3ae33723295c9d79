// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/script/recorder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "platform/properties.h"
#include "platform/system.h"

namespace brz {

// Created only if it is not there: a recording never takes the place of a
// file, be it an older recording or one of the game's own, nor of one made
// meanwhile.
Recorder::Recorder(const std::string& path, const std::string& header, const ScriptScreen& screen)
    : path_(path) {
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(filePath(path), error)))
    throw std::runtime_error("cannot write the recording " + shown(path) + ": the file exists");
  out_ = createNewFile(path);
  if (!out_)
    throw std::runtime_error("cannot write the recording " + shown(path) + ": " +
                             std::strerror(errno));
  write("# " + header);
  write(screen.line());
}

Recorder::~Recorder() {
  std::fclose(out_);
}

void Recorder::write(const std::string& line) {
  if (failed_) return;
  // Flushed line by line: a crash or a kill loses at most the input at hand.
  if (std::fputs((line + '\n').c_str(), out_) == EOF || std::fflush(out_) != 0) {
    // The game goes on; the player learns once that the file is incomplete.
    failed_ = true;
    std::fprintf(stderr, "brizzlet: cannot write the recording %s: %s\n", shown(path_).c_str(),
                 std::strerror(errno));
  }
}

void Recorder::waitUntil(Millis time) {
  if (time > written_) write("wait " + std::to_string(time - written_));
  written_ = std::max(written_, time);
}

void Recorder::stalled(const Runtime& runtime, Millis before) {
  if (finished_) return;
  waitUntil(before);
  write("stall " + std::to_string(runtime.now() - before));
  written_ = runtime.now();
}

void Recorder::beforeInput(const Runtime& runtime) {
  if (!finished_) before_ = expectLines(runtime);
}

void Recorder::input(const Runtime& runtime, const std::string& command) {
  if (finished_) return;
  waitUntil(runtime.now());
  if (runtime.ended()) {
    // Nothing after the input that ends the program runs in a replay: the
    // state is checked just before it.
    for (const std::string& line : before_) write(line);
    finished_ = true;
  }
  write(command);
  if (!runtime.fatalError().empty()) {
    write("# the program stopped: " + runtime.fatalError());
    finished_ = true;
  }
}

void Recorder::finish(const Runtime& runtime) {
  if (finished_) return;
  waitUntil(runtime.now());
  for (const std::string& line : expectLines(runtime)) write(line);
  finished_ = true;
}

std::vector<std::string> Recorder::expectLines(const Runtime& runtime) const {
  // A text that begins with the start directory (a directory list's Path, a
  // media player's FileName) has it written as <dir>, and the separator after
  // it as "/", so the file replays in any directory on any system.
  std::string directory = quote(runtime.startDirectory());
  directory.pop_back();  // "DIR, as a quoted text begins with it
  std::string separator = quote(std::string(1, kPathSeparator));
  separator = separator.substr(1, separator.size() - 2);
  auto placed = [&](std::string value) {
    if (directory.size() <= 1 || !value.starts_with(directory)) return value;
    std::string_view rest = std::string_view(value).substr(directory.size());
    if (rest.starts_with(separator))
      return '"' + std::string(kStartDirectory) + '/' + std::string(rest.substr(separator.size()));
    if (rest == "\"") return '"' + std::string(kStartDirectory) + '"';
    return value;
  };
  std::vector<std::string> lines;
  forEachProperty(
      runtime, [&](const std::string& name, const Control* control, const PropertyValue& value) {
        std::string line = "expect " + name + " " + placed(formatValue(value));
        // A label that sizes itself to its text is measured with the fonts of
        // the machine that drew it; the runner measures without fonts. Kept as
        // a note, not a check.
        auto* label = dynamic_cast<const Label*>(control);
        if (label && label->autoSize && (name.ends_with(".Width") || name.ends_with(".Height")))
          line = "# measured with this machine's fonts: " + line;
        lines.push_back(std::move(line));
      });
  return lines;
}

}  // namespace brz
