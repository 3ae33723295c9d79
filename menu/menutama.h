// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/game_window.h"

namespace brz {

// The menu window and start-up window: the title animation, the three Play
// buttons, "Sound ON", "About", "EXIT" and the last and high scores. During a
// round it is stretched behind the game window as a backdrop.
class menutama : public RoundHost {
 public:
  explicit menutama(Runtime& runtime);

  // --- controls, named as in the layout ---
  Frame& Frame2 = control<Frame>("Frame2");
  PictureBox& Picture3 = control<PictureBox>("Picture3");
  PictureBox& Picture2 = control<PictureBox>("Picture2");
  Label& Label7 = control<Label>("Label7");
  Label& Label6 = control<Label>("Label6");
  Label& Label5 = control<Label>("Label5");
  Timer& Timer1 = control<Timer>("Timer1");
  CommandButton& Command5 = control<CommandButton>("Command5");
  CommandButton& Command4 = control<CommandButton>("Command4");
  CheckBox& Check1 = control<CheckBox>("Check1");
  Frame& Frame1 = control<Frame>("Frame1");
  CommandButton& Command3 = control<CommandButton>("Command3");
  Label& your3 = control<Label>("your3");
  Label& high3 = control<Label>("high3");
  CommandButton& Command2 = control<CommandButton>("Command2");
  Label& your2 = control<Label>("your2");
  Label& high2 = control<Label>("high2");
  CommandButton& Command1 = control<CommandButton>("Command1");
  Label& high1 = control<Label>("high1");
  Label& Your1 = control<Label>("Your1");

  // What the game window asks of the menu.
  bool soundOn() const override { return Check1.value() == 1; }
  const std::string& highScore(Mode mode) const override { return scores(mode).high.caption(); }
  void showLastScore(Mode mode, const std::string& score) override;
  void recordScore(Mode mode, const std::string& score) override;
  void replaySlideIn() override;
  void showEndMessage(bool beatHighScore) override;
  void takePlaceOf(const Window& window) override;

 private:
  // The last and the high score of each mode, in the order of the modes.
  struct ScoreLabels {
    Label& last;
    Label& high;
  };
  const ScoreLabels scoreLabels_[3] = {{Your1, high1}, {your2, high2}, {your3, high3}};
  const ScoreLabels& scores(Mode mode) const { return scoreLabels_[static_cast<int>(mode)]; }

  void Form_Load();
  void Form_Unload();
  void Form_MouseMove();
  void Timer1_Tick();
  void Picture2_Click();
  void StartRound();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Check1_Click();
  void Command4_Click();
  void Command5_Click();

  GameWindow& game() { return gameWindow(runtime()); }
};

}  // namespace brz
