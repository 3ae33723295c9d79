#pragma once

#include "platform/runtime.h"

namespace brz {

class Form1;

// The menu window and start-up window: the title animation, the three Play
// buttons, "Sound ON", "About", "EXIT" and the last and high scores. During a
// round it is stretched behind the game window as a backdrop.
class menutama : public Window {
 public:
  explicit menutama(Runtime& runtime);

  // --- controls, named as in the layout ---
  Frame& Frame2 = control<Frame>("Frame2");
  PictureBox& Picture3 = control<PictureBox>("Picture3");
  PictureBox& Picture2 = control<PictureBox>("Picture2");
  Label& Label7 = control<Label>("Label7");
  Label& Label6 = control<Label>("Label6");
  Label& Label5 = control<Label>("Label5");
  Label& Label4 = control<Label>("Label4");
  Label& Label2 = control<Label>("Label2");
  Timer& Timer1 = control<Timer>("Timer1");
  CommandButton& Command5 = control<CommandButton>("Command5");
  CommandButton& Command4 = control<CommandButton>("Command4");
  CheckBox& Check1 = control<CheckBox>("Check1");
  Frame& Frame4 = control<Frame>("Frame4");
  Frame& Frame3 = control<Frame>("Frame3");
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

 private:
  void Form_Load();
  void Form_Unload();
  void Form_MouseMove(int button, int shift, Twips x, Twips y);
  void Timer1_Tick();
  void Picture2_Click();
  void StartRound();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Check1_Click();
  void Command4_Click();
  void Command5_Click();

  Form1& game();
};

}  // namespace brz
