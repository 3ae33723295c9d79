// SPDX-License-Identifier: GPL-3.0-or-later
// The six-shot magazine, its picture and the reload.
#include "game/form1.h"
#include "platform/counters.h"

namespace brz {

namespace {
// The shot frame's picture is named like a count's.
constexpr std::string_view kShotFrame = "7";
}  // namespace

void Form1::plor_Change() {
  if (toNumber(plor.text()) != 0) {
    Frame1.setEnabled(true);
    reload.setBackColor(kButtonFace);
  } else {
    // Empty: no more shots, a red reload button with the focus, and a cue.
    Frame1.setEnabled(false);
    reload.setBackColor(kRed);
    reload.setFocus();
    Timer6.enable();
  }
}

// Refills at any time, also a full magazine.
void Form1::reload_Click() {
  if (soundOn()) MediaPlayer1.setFileName(file("\\reload.wav"));
  refillMagazine();
}

// Two steps after a shot: the shot frame, then the picture of the count as it
// is by then. The files are read afresh every time.
void Form1::tmplor_Tick() {
  if (toNumber(pl.tag()) == 0) {
    showMagazine(kShotFrame);
    pl.setTag("1");
  } else {
    showMagazine(plor.text());
    pl.setTag("0");
    tmplor.disable();
  }
}

// The empty-magazine cue: waits, ticking, until the sound is on.
void Form1::Timer6_Tick() {
  if (soundOn()) {
    MediaPlayer1.setFileName(file("\\reload.wav"));
    Timer6.disable();
  }
}

// --- the steps the shots, the reload and the end of a round share ------------

void Form1::spendBullet() {
  add(plor, -1);
  tmplor.enable();
}

void Form1::refillMagazine() {
  const std::string full = numberText(kMagazineSize);
  plor.setText(full);
  showMagazine(full);
}

void Form1::showMagazine(std::string_view picture) {
  pl.setPicture(runtime().loadPicture(file("\\plor" + std::string(picture) + ".gif")));
}

}  // namespace brz
