// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/window.h"

namespace brz {

// The three modes of play. The game window's caption is the only record of
// the mode being played: "" after a give-up and the layout's "Brizzlet!!!"
// match none.
enum class Mode { TimeAttack, Basmi, Balm };

inline constexpr std::string_view kTimeAttackCaption = "Brizzlet!!! ~ Time Attack";
inline constexpr std::string_view kBasmiCaption = "Brizzlet!!! ~ Basmi Semua Nyamuk";
inline constexpr std::string_view kBalmCaption =
    "Tolong ... Jangan Sampai Gua digigit nyamuk ! ...";

constexpr std::string_view captionOf(Mode mode) {
  switch (mode) {
    case Mode::TimeAttack:
      return kTimeAttackCaption;
    case Mode::Basmi:
      return kBasmiCaption;
    case Mode::Balm:
      return kBalmCaption;
  }
  return {};
}

// The mode a caption names, compared as exact text.
std::optional<Mode> modeOf(std::string_view caption);

// The window a round is launched from and handed back to: it keeps the last
// and the high score of every mode and the sound switch, and it slides its
// menu in again when a round ends. The game window knows it only through
// this, so the game needs nothing of the menu's own.
class RoundHost : public Window {
 public:
  using Window::Window;

  // Whether the sound is on, read afresh at every call.
  virtual bool soundOn() const = 0;
  // The mode's high score, as its label shows it.
  virtual const std::string& highScore(Mode mode) const = 0;
  // Shows `score` as the mode's last score.
  virtual void showLastScore(Mode mode, const std::string& score) = 0;
  // Shows `score` as the mode's last score, and as its high score too when
  // it is strictly higher.
  virtual void recordScore(Mode mode, const std::string& score) = 0;
  // Puts the menu back off the left edge, to slide in again.
  virtual void replaySlideIn() = 0;
  // The end message of a round: "GAME OVER", or the news of a new high score.
  virtual void showEndMessage(bool beatHighScore) = 0;
  // Moves into the place of `window`, which is about to hide.
  virtual void takePlaceOf(const Window& window) = 0;
};

}  // namespace brz
