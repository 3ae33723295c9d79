// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of the three modes, held by the change handlers of the counters,
// and the controls that act on a round from outside them: the balm button and
// the give-up buttons.
#include <algorithm>

#include "game/form1.h"
#include "platform/counters.h"

namespace brz {

namespace {

// Once the falling balm button is this far down it is out of sight for good,
// and it stops there: an unbounded Top would lose its precision after days.
constexpr Twips kBalmButtonFloor = 30000;

}  // namespace

// The starting counters of each mode, set in the order the menu's Play
// buttons set them: `sisa` and `time` have change handlers of their own.
void Form1::launch(Mode mode) {
  switch (mode) {
    case Mode::TimeAttack:
      ganas.setText("0");
      time.setText("30");
      break;
    case Mode::Basmi:
      Frame2.show();
      sisa.setText("30");
      ganas.setText("10");
      time.setText("0");
      break;
    case Mode::Balm:
      // A wider field for the character, only three mosquitoes, all three
      // starting mid-field, and the balm button waiting above the field.
      setWidth(kWideWindow);
      Frame1.setWidth(kWideField);
      Image2.show();
      Balsem1.show();
      Balsem.setText("3");
      ganas.setText("5");
      time.setText("10");
      Command1.setTop(-5000);
      nyamuk4.hide();
      nyamuk5.hide();
      nyamuk1.setLeft(6000);
      nyamuk2.setLeft(6000);
      nyamuk3.setLeft(6000);
      break;
  }
  setCaption(std::string(captionOf(mode)));
}

// Green while the score beats the high score of the mode being played.
void Form1::Score_Change() {
  if (auto mode = modeOf(caption())) paintScore(host().highScore(*mode));
}

// The balm mode ends when the balm is used up. No mode test: only the balm
// mode lowers it.
void Form1::Balsem_Change() {
  if (toNumber(Balsem.text()) >= 1) return;
  narrowField();
  Image2.hide();
  Balsem1.hide();
  nyamuk4.show();
  nyamuk5.show();
  EndRound();
  host().recordScore(Mode::Balm, Score.text());
}

void Form1::sisa_Change() {
  // The field shows as many mosquitoes as are left, once fewer than five are.
  if (sisa.text() == "4") nyamuk5.hide();
  if (sisa.text() == "3") nyamuk4.hide();
  if (sisa.text() == "2") nyamuk3.hide();
  if (sisa.text() == "1") nyamuk2.hide();
  if (sisa.text() == "0") nyamuk1.hide();

  // In Basmi the last score follows every hit; the last hit ends the round.
  if (isMode(Mode::Basmi)) {
    if (toNumber(sisa.text()) >= 1) {
      host().showLastScore(Mode::Basmi, Score.text());
    } else {
      host().recordScore(Mode::Basmi, Score.text());
      showEveryMosquito();
      EndRound();
      Frame2.hide();
    }
  }
}

// The balm mode counts hits down in `time`; every tenth drops a balm button.
void Form1::time_Change() {
  if (!Balsem1.visible()) return;
  if (toNumber(time.text()) != 0) return;
  Timer4.enable();
  Command1.setTop(-1000);
  time.setText("10");
}

void Form1::Command1_Click() {
  add(Balsem, 1);
  Command1.setTop(-36000);
}

// The button falls 150 twips a tick for the rest of the program.
void Form1::Timer4_Tick() {
  Command1.setTop(std::min(Command1.top() + 150, kBalmButtonFloor));
}

// Giving up, with either button. The caption is cleared before the end, so no
// score is written for the round.
void Form1::Command3_Click(int /*index*/) {
  narrowField();
  Image2.hide();
  Balsem1.hide();
  // All five come back: a Basmi round given up late would otherwise leave its
  // shot-out mosquitoes hidden, yet flying and costing points, in every later
  // round.
  showEveryMosquito();
  setCaption("");
  EndRound();
  Frame2.hide();
}

// `nyamuk1` to `nyamuk5`, in this order.
void Form1::showEveryMosquito() {
  for (const Lane& lane : lanes_) lane.mosquito.show();
}

}  // namespace brz
