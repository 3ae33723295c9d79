// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/round_host.h"
#include "platform/runtime.h"

namespace brz {

// The window a round is played in, as the menu launching it sees it. The menu
// knows the game only through this, as the game knows the menu only as its
// RoundHost.
class GameWindow : public Window {
 public:
  using Window::Window;

  // Sets the window up for a round of `mode`: its counters, panels and field,
  // and last its caption, so the counters' change handlers run under the
  // caption of the round before.
  virtual void launch(Mode mode) = 0;
  // Sets the score to "0": its change handler runs under whatever caption
  // the window has at this moment.
  virtual void resetScore() = 0;
  // Whether the round clock runs: from the first hit of a round to its end.
  virtual bool roundClockRunning() const = 0;
  // The cross-hair the play field shows as its pointer.
  virtual PictureRef aimCursor() const = 0;
  // Asks the background music to play (a piece that plays goes on), or to stop.
  virtual void playMusic() = 0;
  virtual void stopMusic() = 0;
};

// The game window's single instance, created and loaded on first reference:
// its load handler runs before this returns.
GameWindow& gameWindow(Runtime& runtime);

}  // namespace brz
