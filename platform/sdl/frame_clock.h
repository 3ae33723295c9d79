// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

#include "platform/runtime.h"

union SDL_Event;

namespace brz::sdl {

class Screen;

// The real clock and the frames drawn on it, one rule for the live loop and
// for a replay: the windows are drawn when they changed, at most once a
// frame, and in between the caller sleeps until its next wake or an event.
class FrameClock {
 public:
  // `draw` draws the windows as the runtime has them now. `work`, if given,
  // does a slice of work of the program's own and says whether some is
  // left: each wait does one slice, and while some is left waits no longer
  // than it takes to give the system its turn.
  FrameClock(const Runtime& runtime, const Screen& screen, std::function<void()> draw,
             std::function<bool()> work = {});

  // The clock reads 0 from now on; a frame lasts as long as the display
  // takes to refresh.
  void start();
  // The real clock in microseconds since the start; the runtime's
  // millisecond clock is it rounded down, so no tick ever runs before its
  // time.
  std::int64_t micros() const;
  Millis now() const { return micros() / 1000; }
  Millis frameMs() const { return frameMs_; }
  // When SDL stamped the event, on the clock: an event queued behind a slow
  // frame keeps its place among the ticks that ran before it.
  Millis stamped(const SDL_Event& event) const;

  // Draws the windows at once.
  void draw();
  // Draws the windows if they changed and a frame has passed since the last
  // one; then waits for an event until `wake`, or until the next frame when a
  // change is still to be drawn. True when an event came, in `event`.
  bool drawThenWait(Millis now, Millis wake, SDL_Event& event);

 private:
  bool changed() const;

  const Runtime& runtime_;
  const Screen& screen_;
  std::function<void()> draw_;
  std::function<bool()> work_;
  std::uint64_t base_ = 0;
  std::uint32_t ticksBase_ = 0;  // SDL's tick count when the clock read 0
  Millis frameMs_ = 16;
  Millis lastFrame_ = -16;  // when drawThenWait last drew
  std::uint64_t drawnRevision_ = ~std::uint64_t{0};
};

}  // namespace brz::sdl
