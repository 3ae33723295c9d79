// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/runtime.h"

namespace brz {

// How a script run ended: the exit status of `brizzlet-script`.
enum ScriptStatus : int {
  kScriptPassed = 0,        // ran to its end, or the program ended; no expect failed
  kScriptExpectFailed = 1,  // at least one expect failed
  kScriptError = 2,         // the script is wrong or cannot be read, or the output cannot be
                            // written: nothing after the bad line ran
  kScriptFatal = 3,         // the program stopped with a fatal run-time error
};

// Written in an expected value for the directory the program started in, so
// that a recording replays in any directory.
inline constexpr std::string_view kStartDirectory = "<dir>";

// The screen a script's windows are laid out on, as its `screen WIDTH HEIGHT
// SCALE` line states it: pixels, drawn at a whole-number scale. A script
// without one is on a 1024 x 768 screen at scale 1.
struct ScriptScreen {
  static constexpr int kWidest = 32767, kLargestScale = 16;
  int width = 1024, height = 768, scale = 1;

  // Its size in twips, where windows centre, as the front end measures it.
  std::pair<Twips, Twips> twips() const;
  // The script line that states it.
  std::string line() const;
};

// Runs scenario scripts (docs/scripting.md) against a program on a virtual
// clock. Every run builds a fresh runtime on the host it was given, reads
// the lines before the script's first command (its screen among them), hands
// the runtime to `start` (which creates and shows the program's first
// window), then reads the rest line by line and runs each command as it is
// read.
class ScriptRunner {
 public:
  using Start = std::function<void(Runtime&)>;

  // The furthest the virtual clock may go, in ms (about 31 700 years): a wait
  // past it is a script error, so no arithmetic on the clock can overflow.
  static constexpr Millis kClockLimit = 1'000'000'000'000'000;

  // On `host`, which must outlive the runner; without one, on a HeadlessHost.
  // The runner prints the runtime's trace itself.
  explicit ScriptRunner(Start start);
  ScriptRunner(Start start, Host& host);

  // Runs one script on a new runtime, writing what it prints to `out`.
  // Returns a ScriptStatus.
  int run(std::istream& script, std::ostream& out) const;

 private:
  Start start_;
  std::shared_ptr<HeadlessHost> ownHost_;
  Host* host_;
};

// How a script's time passes when it drives windows a person watches, as
// `brizzlet --replay` does: at the real clock's pace, the pointer shown
// where the input lands.
class ScriptPace {
 public:
  virtual ~ScriptPace() = default;
  // Takes the runtime's clock to `time` as `wait` does (every tick), or as
  // `stall` does (a timer a whole interval behind ticks once). False when
  // the person stopped the replay.
  virtual bool runTo(Runtime& runtime, Millis time, bool stall) = 0;
  // Just before an input at (x, y) in `window`'s client area, in twips.
  virtual void pointTo(const Window& window, Twips x, Twips y) = 0;
};

// Runs a script as ScriptRunner::run does, on a runtime built elsewhere, its
// program started by `start` and its waits and stalls taken by `pace`.
// Returns a ScriptStatus.
int playScript(Runtime& runtime, const ScriptRunner::Start& start, std::istream& script,
               std::ostream& out, ScriptPace& pace);

// The command line `brizzlet-script [FILE]`: runs FILE, or `in` when no file
// is named. `args` are the arguments after the program name. A file that
// cannot be opened, a wrong command line or output that cannot be written is
// reported on `err` with status kScriptError.
int runScriptCommand(std::span<const std::string> args, const ScriptRunner& runner,
                     std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace brz
