// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>

#include "platform/runtime.h"
#include "platform/script/script_runner.h"

namespace brz::sdl {

class FrameClock;
class Screen;

// A recording (or any script) played in the real windows in place of the
// player, at the pace it says: each wait and stall takes as long on the real
// clock, every tick at its time and the windows drawn in between, and the
// pointer shown where each input lands. The player's mouse and keys are
// dropped meanwhile; closing a window stops the replay.
class Replay final : public ScriptPace {
 public:
  Replay(Runtime& runtime, Screen& screen, FrameClock& frames)
      : runtime_(runtime), screen_(screen), frames_(frames) {}

  // Plays `script`, named `name` in what it reports, its program started by
  // `start` on the screen the script states. Returns 0 when it ends in the
  // state it recorded, else 1 (2 for a file that is no script, or a replay
  // stopped) with the differences on stderr.
  int play(const ScriptRunner::Start& start, std::istream& script, const std::string& name);

  bool runTo(Runtime& runtime, Millis time, bool stall) override;
  void pointTo(const Window& window, Twips x, Twips y) override;

 private:
  bool idleUntil(Millis time);

  Runtime& runtime_;
  Screen& screen_;
  FrameClock& frames_;
  bool stopped_ = false;
};

}  // namespace brz::sdl
