// The end of a round, whichever way it ends. Callers write the mode's last and
// high score around it.
#include "game/form1.h"
#include "menu/menutama.h"

namespace brz {

void Form1::EndRound() {
  menutama& m = menu();

  // 1. Re-arm the menu's slide-in: the panel just off the left edge, the
  // title picture with it, steps of 150 every 50 ms.
  m.Frame2.setLeft(m.Frame2.width() * -1);
  m.Picture3.setLeft(m.Frame2.left());
  m.Timer1.setInterval(50);
  m.Timer1.setTag("150");

  // 2. The end message follows the score box's colour, not the labels.
  m.Label5.setCaption("GAME OVER");
  if (Score.backColor() == kGreen) m.Label5.setCaption("Your score bigger than high score");

  // 3. A full magazine.
  plor.setText("6");
  pl.setPicture(runtime().loadPicture(file("\\plor6.gif")));

  // 4. The mosquitoes stand still.
  ganas.setText("0");

  // 5. The menu takes the game window's place.
  m.setLeft(left());
  m.setTop(top());
  m.setWidth(8200);
  m.setHeight(height());
  hide();

  // 6. The music from its beginning.
  if (soundOn()) MediaPlayer2.setFileName(file("\\backsound.mid"));

  // 7. The clock stops.
  Timer3.disable();
}

}  // namespace brz
