// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "game/game_window.h"

namespace brz {

// The game window's outer width and the play field's, as laid out and in the
// balm mode, which widens both for the character at the field's left end.
inline constexpr Twips kNarrowWindow = 7605, kNarrowField = 7455;
inline constexpr Twips kWideWindow = 10000, kWideField = 9900;

// The bullets of a full magazine: what `plor` starts with and every refill
// writes, and the count in the name of the full magazine's picture.
inline constexpr int kMagazineSize = 6;

// The game window: the play field with its five mosquitoes, the counters of
// a round, the magazine, the give-up buttons, the two sound players and the
// timers that drive a round. Loaded once, then only shown and hidden.
class Form1 : public GameWindow {
 public:
  explicit Form1(Runtime& runtime);

  // --- controls, named as in the layout ---
  CommandButton& Command3_0 = control<CommandButton>("Command3", 0);
  CommandButton& Command3_1 = control<CommandButton>("Command3", 1);
  CommandButton& Command2 = control<CommandButton>("Command2");
  Frame& Balsem1 = control<Frame>("Balsem1");
  Frame& Frame2 = control<Frame>("Frame2");
  TextBox& time = control<TextBox>("time");
  DirListBox& Dir1 = control<DirListBox>("Dir1");
  TextBox& ganas = control<TextBox>("ganas");
  Frame& Frame1 = control<Frame>("Frame1");
  MediaPlayer& MediaPlayer1 = control<MediaPlayer>("MediaPlayer1");
  MediaPlayer& MediaPlayer2 = control<MediaPlayer>("MediaPlayer2");
  CommandButton& reload = control<CommandButton>("reload");
  TextBox& plor = control<TextBox>("plor");
  Image& dak = control<Image>("dak");
  Image& pl = control<Image>("pl");
  TextBox& Score = control<TextBox>("Score");
  TextBox& Balsem = control<TextBox>("Balsem");
  TextBox& sisa = control<TextBox>("sisa");
  CommandButton& Command1 = control<CommandButton>("Command1");
  Line& Line1 = control<Line>("Line1");
  Image& nyamuk5 = control<Image>("nyamuk5");
  Image& nyamuk4 = control<Image>("nyamuk4");
  Image& nyamuk3 = control<Image>("nyamuk3");
  Image& nyamuk2 = control<Image>("nyamuk2");
  Image& nyamuk1 = control<Image>("nyamuk1");
  Image& Image1 = control<Image>("Image1");
  Image& Image2 = control<Image>("Image2");
  Timer& Timer1 = control<Timer>("Timer1");
  Timer& Timer2 = control<Timer>("Timer2");
  Timer& Timer3 = control<Timer>("Timer3");
  Timer& Timer4 = control<Timer>("Timer4");
  Timer& Timer5 = control<Timer>("Timer5");
  Timer& Timer6 = control<Timer>("Timer6");
  Timer& tmplor = control<Timer>("tmplor");

  // What the menu asks of the game window.
  void launch(Mode mode) override;
  void resetScore() override { Score.setText("0"); }
  bool roundClockRunning() const override { return Timer3.enabled(); }
  PictureRef aimCursor() const override { return Frame1.mouseIcon(); }
  void playMusic() override { MediaPlayer2.play(); }
  void stopMusic() override { MediaPlayer2.stop(); }

 private:
  // A mosquito's lane: its speed at level 1 in twips a tick and its way
  // across. A mosquito that leaves the field, or is shot, comes back in at
  // the edge it flies from: a left-flying one at the field's width (read at
  // that moment), a right-flying one at kRightEntry.
  struct Lane {
    Image& mosquito;
    int speed;
    bool leftward;
  };
  static constexpr Twips kRightEntry = -400;  // 95 twips already in the field
  const Lane lanes_[5] = {
      {nyamuk1, 5, true},  {nyamuk2, 6, true},  {nyamuk3, 5, true},
      {nyamuk4, 6, false}, {nyamuk5, 4, false},
  };
  Twips entryLeft(const Lane& lane) const { return lane.leftward ? Frame1.width() : kRightEntry; }

  // Load and unload.
  void Form_Load();
  void Form_Unload();

  // Mosquito flight.
  void Timer1_Tick();

  // Hits and the round clock.
  void HitMosquito();
  void Timer2_Tick();
  void Timer3_Tick();

  // End of round.
  void EndRound();

  // Shooting and aiming.
  void Frame1_Click();
  void Frame1_MouseMove(Twips x, Twips y);
  void nyamuk_Click(const Lane& lane);
  void Timer5_Tick();

  // Magazine and reload.
  void plor_Change();
  void reload_Click();
  void tmplor_Tick();
  void Timer6_Tick();

  // Round counters and mode rules.
  void Score_Change();
  void Balsem_Change();
  void sisa_Change();
  void time_Change();
  void Command1_Click();
  void Timer4_Tick();
  void Command3_Click(int index);

  // The steps the handlers share, named for what they do in the game.
  // A shot, hit or miss: the trace and the flash at the gun, which Timer5 ends.
  void showShotFlash();
  // A shot takes a bullet (the count's change handler runs) and starts the
  // magazine picture's two steps.
  void spendBullet();
  void playGunSound();
  // A full magazine and its picture, with no sound.
  void refillMagazine();
  // Loads the magazine picture afresh: "\plor" & `picture` & ".gif", a count
  // of bullets or the shot frame "7".
  void showMagazine(std::string_view picture);
  // Back to the layout's width, window and field.
  void narrowField();
  void showEveryMosquito();

  // Shared helpers.
  // The menu: the window rounds are launched from, which keeps the scores.
  // Looked up once, as every window lives as long as the runtime: the
  // score's change handler asks for it at every point a mosquito costs.
  RoundHost& host() const {
    if (!host_) host_ = &runtime().existing<RoundHost>();
    return *host_;
  }
  mutable RoundHost* host_ = nullptr;
  bool soundOn() const { return host().soundOn(); }
  bool isMode(Mode mode) const { return caption() == captionOf(mode); }
  // Dir1.Path followed by a name that begins with a backslash.
  std::string file(std::string_view name) const { return filePath(Dir1.path(), name); }
  // Adds to a counter's number and writes it back as text (its Change runs).
  static void add(TextBox& counter, double amount);
  // Colours the score box against a high score.
  void paintScore(const std::string& highScore);
};

}  // namespace brz
