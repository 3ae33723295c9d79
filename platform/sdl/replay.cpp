// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/replay.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "platform/properties.h"
#include "platform/sdl/frame_clock.h"
#include "platform/sdl/screen.h"

namespace brz::sdl {

int Replay::play(const ScriptRunner::Start& start, std::istream& script, const std::string& name) {
  std::ostringstream report;
  int status = playScript(runtime_, start, script, report, *this);
  frames_.draw();
  if (status == kScriptPassed) return 0;
  std::istringstream lines(report.str());
  for (std::string line; std::getline(lines, line);)
    if (line != "end" && !line.starts_with("ignored:"))
      std::fprintf(stderr, "brizzlet: %s: %s\n", shown(name).c_str(), line.c_str());
  return status == kScriptError ? 2 : 1;
}

// The recording's clock runs as the real one: each tick at its time, the
// windows drawn in between.
bool Replay::runTo(Runtime& runtime, Millis time, bool stall) {
  while (runtime.running()) {
    Millis next = time;
    if (auto due = runtime.nextDue(); !stall && due && *due < next) next = *due;
    if (!idleUntil(next)) return false;
    if (stall)
      runtime.runDueTimers(time);
    else
      runtime.advanceTo(std::max(next, runtime.now()));
    if (next >= time) break;
  }
  return true;
}

void Replay::pointTo(const Window& window, Twips x, Twips y) {
  screen_.pointTo(window, x, y);
}

// Draws the windows until the real clock reaches `time`; false once a
// window was closed.
bool Replay::idleUntil(Millis time) {
  while (!stopped_) {
    Millis now = frames_.now();
    SDL_Event event;
    for (bool got = frames_.drawThenWait(now, time, event); got; got = SDL_PollEvent(&event) == 1) {
      if (event.type == SDL_QUIT ||
          (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE))
        stopped_ = true;
      else if (event.type == SDL_WINDOWEVENT)
        screen_.windowEvent(event);
    }
    if (now >= time) break;
  }
  return !stopped_;
}

}  // namespace brz::sdl
