// SPDX-License-Identifier: GPL-3.0-or-later
// Hits and the round clock.
#include "game/form1.h"
#include "platform/counters.h"

namespace brz {

// Every click on a mosquito runs this once.
void Form1::HitMosquito() {
  showShotFlash();

  // The round clock runs from the first hit on; the hit picture shows for
  // half a second.
  Timer3.enable();
  Image1.show();
  Timer2.enable();

  // Fiercer mosquitoes; the hit is scored with the raised level.
  add(ganas, 1);
  playGunSound();
  add(Score, 30 + 5 * toNumber(ganas.text()));

  // The mode's own counters. The last Basmi hit ends the round inside the
  // `sisa` assignment; the bonus then adds nothing, since `ganas` is "0" again.
  if (isMode(Mode::TimeAttack)) add(time, 1);
  if (isMode(Mode::Basmi)) {
    add(sisa, -1);
    add(Score, 10 * toNumber(ganas.text()));
  }
  if (Balsem1.visible()) {
    add(Score, 1 + toNumber(ganas.text()));
    add(time, -1);
  }

  // The bullet, taken from whatever the magazine holds now: after the last
  // Basmi hit that is the refilled one, so the next round starts with five.
  spendBullet();
}

void Form1::Timer2_Tick() {
  Image1.hide();
  Timer2.disable();
}

void Form1::Timer3_Tick() {
  // Time Attack: the time left runs down; the round ends when it is gone.
  if (isMode(Mode::TimeAttack)) {
    add(time, -1);
    if (toNumber(time.text()) < 1) {
      host().recordScore(Mode::TimeAttack, Score.text());
      EndRound();
    }
  }
  // Basmi: the time used runs up and drains the score, with no floor.
  if (isMode(Mode::Basmi)) {
    add(time, 1);
    add(Score, -50);
  }
}

}  // namespace brz
