// SPDX-License-Identifier: GPL-3.0-or-later
// Mosquito flight: every 50 ms each mosquito moves along its lane by a step
// that grows with the ferocity level; in the balm mode the three that fly left
// bite the character at the field's left end.
#include "game/form1.h"
#include "platform/counters.h"

namespace brz {

namespace {

// A Left below this means a left-flying mosquito has reached the character.
constexpr Twips kBiteLine = 1080;

}  // namespace

void Form1::Timer1_Tick() {
  // 1. Each lane in turn. Hidden mosquitoes fly and cost points too.
  // The level is read once: nothing a lane does changes it.
  double g = toNumber(ganas.text());
  for (const Lane& lane : lanes_) {
    double step = lane.speed * g;
    lane.mosquito.setLeft(
        static_cast<Twips>(lane.mosquito.left() + (lane.leftward ? -step : step)));
    bool leftTheField =
        lane.leftward ? lane.mosquito.left() < 1 : lane.mosquito.left() > Frame1.width();
    if (leftTheField) {
      lane.mosquito.setLeft(entryLeft(lane));
      add(Score, -10);
    }
  }

  // 2. The balm mode: the last score follows the score, and the left-flying
  // mosquitoes bite. One bite costs one balm however many crossed the line.
  if (isMode(Mode::Balm)) {
    host().showLastScore(Mode::Balm, Score.text());
    if (nyamuk1.left() < kBiteLine || nyamuk2.left() < kBiteLine || nyamuk3.left() < kBiteLine) {
      add(Balsem, -1);  // may end the round, which narrows the field
      nyamuk1.setLeft(Frame1.width());
      nyamuk2.setLeft(Frame1.width());
      nyamuk3.setLeft(Frame1.width());
    }
  }
}

}  // namespace brz
