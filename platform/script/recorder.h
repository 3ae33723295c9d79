// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "platform/runtime.h"

// A recording of a session in the scenario language of brizzlet-script:
// every input the runtime took, at the millisecond of the runtime's clock it
// took it, and at the end the state the windows reached as expect lines, so
// that replaying the file checks it ends in the same state. Knows nothing of
// SDL: a front end tells it what reached the runtime.
namespace brz {

class Recorder {
 public:
  // Creates (or empties) the file and writes `header` as its first comment.
  // Throws std::runtime_error naming the file when it cannot be written.
  Recorder(const std::string& path, const std::string& header);

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
  std::ofstream out_;
  Millis written_ = 0;  // the clock as far as the file has taken it
  std::vector<std::string> before_;
  bool finished_ = false;
  bool failed_ = false;
};

}  // namespace brz
