// SPDX-License-Identifier: GPL-3.0-or-later
// Shooting and aiming on the play field.
#include "game/form1.h"
#include "platform/counters.h"

namespace brz {

namespace {
// The trace aims at this point of a mosquito picture.
constexpr Twips kAimOffset = 160;
}  // namespace

// A click on the bare field: a miss. The field is disabled while the magazine
// is empty, so this never runs without a bullet.
void Form1::Frame1_Click() {
  showShotFlash();
  spendBullet();
  playGunSound();
}

void Form1::Frame1_MouseMove(Twips x, Twips y) {
  // Keeps the music going: a play request leaves playing music alone and
  // restarts a piece that has ended.
  if (soundOn()) MediaPlayer2.play();
  // The focus is parked on the unseen button, so keys do nothing in play.
  Command2.setFocus();
  // While a shot's trace shows, it stays at the shot's aim point.
  if (!Line1.visible()) {
    Line1.setX2(x);
    Line1.setY2(y);
  }
}

void Form1::nyamuk_Click(const Lane& lane) {
  Image& mosquito = lane.mosquito;
  Line1.setX2(mosquito.left() + kAimOffset);
  Line1.setY2(mosquito.top() + kAimOffset);
  HitMosquito();
  // Still done after a hit that ended the round, on the hidden window.
  Image1.setLeft(mosquito.left());
  Image1.setTop(mosquito.top());
  mosquito.setLeft(entryLeft(lane));
}

void Form1::Timer5_Tick() {
  dak.hide();
  Line1.hide();
  Timer5.disable();
}

// --- the steps a hit shares with a miss ----------------------------------------

// The trace's free end is wherever the shot aimed it.
void Form1::showShotFlash() {
  Line1.show();
  Timer5.enable();
  dak.show();
}

void Form1::playGunSound() {
  if (soundOn()) MediaPlayer1.setFileName(file("\\gun.wav"));
}

}  // namespace brz
