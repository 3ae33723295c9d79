// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/runtime.h"
#include "platform/script/script_runner.h"

// A recording of a session in the scenario language of brizzlet-script:
// the screen it was played on, every input the runtime took, at the
// millisecond of the runtime's clock it took it, and at the end the state the
// windows reached as expect lines, so that replaying the file checks it ends
// in the same state. Knows nothing of SDL: a front end tells it what reached
// the runtime.
namespace brz {

class Recorder {
 public:
  // Creates the file, which must not exist yet, and writes `header` as its
  // first comment, then the screen. Throws std::runtime_error naming the
  // file when it cannot be created.
  Recorder(const std::string& path, const std::string& header, const ScriptScreen& screen);
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // The real loop ran the due ticks from `before` up to the runtime's clock
  // and dropped ticks a stall swallowed: written as `stall`, which a plain
  // wait could not reproduce.
  void stalled(const Runtime& runtime, Millis before);
  // Just before an input reaches the runtime: the state it will be checked
  // against, should the input end the program.
  void beforeInput(const Runtime& runtime);
  // The runtime took an input, written as the command `command`.
  void input(const Runtime& runtime, const std::string& command);
  // The game stops without an input having ended it (closed from outside,
  // for one): the state it stops in, if not written yet.
  void finish(const Runtime& runtime);

 private:
  void waitUntil(Millis time);
  void write(const std::string& line);
  std::vector<std::string> expectLines(const Runtime& runtime) const;

  std::string path_;
  std::FILE* out_ = nullptr;
  Millis written_ = 0;  // the clock as far as the file has taken it
  std::vector<std::string> before_;
  bool finished_ = false;
  bool failed_ = false;
};

}  // namespace brz
