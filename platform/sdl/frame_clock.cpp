// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/frame_clock.h"

#include <SDL.h>

#include <algorithm>

#include "platform/sdl/display.h"
#include "platform/sdl/screen.h"

namespace brz::sdl {

FrameClock::FrameClock(const Runtime& runtime, const Screen& screen, std::function<void()> draw,
                       std::function<bool()> work)
    : runtime_(runtime), screen_(screen), draw_(std::move(draw)), work_(std::move(work)) {}

void FrameClock::start() {
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0)
    frameMs_ = std::max(1, 1000 / mode.refresh_rate);
  lastFrame_ = -frameMs_;
  base_ = SDL_GetPerformanceCounter();
  ticksBase_ = SDL_GetTicks();
}

std::int64_t FrameClock::micros() const {
  return static_cast<std::int64_t>((SDL_GetPerformanceCounter() - base_) * 1000000 /
                                   SDL_GetPerformanceFrequency());
}

Millis FrameClock::stamped(const SDL_Event& event) const {
  return static_cast<Millis>(event.common.timestamp) - ticksBase_;
}

void FrameClock::draw() {
  drawnRevision_ = runtime_.revision();
  draw_();
}

bool FrameClock::changed() const {
  return screen_.invalid() || runtime_.revision() != drawnRevision_;
}

bool FrameClock::drawThenWait(Millis now, Millis wake, SDL_Event& event) {
  if (changed() && now - lastFrame_ >= frameMs_) {
    draw();
    lastFrame_ = now;
  }
  if (changed()) wake = std::min(wake, lastFrame_ + frameMs_);
  if (work_ && work_()) wake = std::min(wake, micros() / 1000 + 1);
  Millis timeout = (wake * 1000 - micros() + 999) / 1000;
  return timeout > 0 ? waitEvent(event, static_cast<int>(timeout)) : SDL_PollEvent(&event) == 1;
}

}  // namespace brz::sdl
