// SPDX-License-Identifier: GPL-3.0-or-later
// The end of a round, whichever way it ends. Callers write the mode's last and
// high score around it.
#include "game/form1.h"

namespace brz {

void Form1::EndRound() {
  // 1. The menu slides in again.
  host().replaySlideIn();

  // 2. The end message follows the score box's colour, not the labels.
  host().showEndMessage(Score.backColor() == kGreen);

  // 3. A full magazine.
  refillMagazine();

  // 4. The mosquitoes stand still.
  ganas.setText("0");

  // 5. The menu takes the game window's place.
  host().takePlaceOf(*this);
  hide();

  // 6. The music from its beginning.
  if (soundOn()) MediaPlayer2.setFileName(file("\\backsound.mid"));

  // 7. The clock stops.
  Timer3.disable();
}

}  // namespace brz
