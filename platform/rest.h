// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a program on the real clock has come to rest, so that its loop can
// sleep until input instead of waking for ticks that change nothing.
//
// The handlers read no clock: when a whole period of the enabled timers (the
// least common multiple of their intervals) leaves every property and every
// timer's phase as it was and traces nothing, every period after it does the
// same. A program at rest skips the whole periods it slept through
// (Runtime::skipTime) and runs what is left of the last one, so every tick
// after it falls where it would have. The scenario runner's waits follow the
// same rule, with the same limit.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/properties.h"
#include "platform/runtime.h"

namespace brz {

class RestWatch {
 public:
  // The longest a watch takes to find a program at rest: two whole periods
  // in which nothing changes. A program whose timers take longer than half of
  // it to come round is not watched; none of the game's take over 1.5 s. The
  // runner gives a wait this long to come to rest; a script may hold windows
  // whose timers come round in minutes, and a look costs the loop the same
  // whatever the period.
  static constexpr Millis kLongestWatch = 60 * 60 * 1000;

  explicit RestWatch(Runtime& runtime) : runtime_(&runtime) {}

  // The runtime's trace: each line is an effect outside the windows.
  void traced() { ++traced_; }
  // Runs the ticks due by `until` through `runTicks` (the caller's way of
  // running them up to a time), stopping at the end of a watched period for
  // a look; at rest, skips the whole periods slept and runs every tick of
  // what is left.
  void runTo(Millis until, const std::function<void(Millis)>& runTicks);
  // Nothing will change but by input: no tick needs to wake the caller.
  bool atRest() const { return rest_ > 0; }
  // When the watch next looks at the program, on its clock; -1 at rest, or
  // when its timers do not come round soon enough to be watched. runTo looks
  // once a call: a caller far behind runs to each look in turn.
  Millis nextLook() { return atRest() ? -1 : lookAt(); }
  // Input came, or anything else from outside: the program may move again.
  void stir() { *this = RestWatch(*runtime_, traced_); }

 private:
  RestWatch(Runtime& runtime, std::uint64_t traced) : runtime_(&runtime), traced_(traced) {}

  // Comparing every property costs more than a period of most programs'
  // ticks, so it is done only after a period in which the cheap signs (the
  // revision, the trace, the timers' phases) stayed still.
  struct Signs {
    std::uint64_t revision = 0, traced = 0;
    std::vector<Runtime::TimerPhase> phases;
    bool operator==(const Signs&) const = default;
  };
  Signs signs() const { return {runtime_->revision(), traced_, runtime_->timerPhases()}; }
  std::vector<PropertyValue> state() const;
  Millis lookAt();
  void look();

  Runtime* runtime_;
  std::uint64_t traced_ = 0;
  Millis rest_ = 0;     // at rest: the length of the periods skipped
  Millis period_ = 0;   // of the timers as the watch began
  Millis lookAt_ = -1;  // the end of the period watched, or -1
  Signs signs_;         // as the period began
  bool stateWatched_ = false;
  std::vector<PropertyValue> state_;  // as the period began, when watched
};

}  // namespace brz
