// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/menutama.h"

#include "platform/counters.h"

namespace brz {

namespace {

using K = ControlKind;

constexpr std::string_view kCreditsFirstHalf =
    "Brizzlet!!! version 1.0, a mosquito shooting game of mouse skill, made by the Brizzlet "
    "team.   Aim with the cross-hair, click to shoot, and reload before the gun runs dry.   "
    "Six bullets and one steady hand.   ";
constexpr std::string_view kCreditsSecondHalf =
    "Greetings to every player who ever lost a night's sleep to a mosquito.   Time Attack: every "
    "hit buys time.   Basmi: thirty mosquitoes, and the clock eats your score.   Balm mode: keep "
    "them off your friend and catch the falling balm.   Thanks for playing!";

constexpr std::string_view kAboutText =
    "Brizzlet!!! 1.0 - a mosquito shooting game of mouse skill, by the Brizzlet team.";

constexpr WindowLayout kWindow = {
    .name = "menutama",
    .caption = "Brizzlet Main Menu",
    .clientWidth = 4470,
    .clientHeight = 5130,
    .back = kRed,
    .icon = "icon",
};

// Container by container, each in stacking order: the first row is in front.
// clang-format off
constexpr ControlLayout kControls[] = {
    // Directly in the window. The panel and the pictures start off to the left
    // and slide in; the credits ticker starts above the client area.
    {.kind = K::Frame, .name = "Frame2", .left = -11040, .top = 240, .width = 4215, .height = 4815, .caption = "Menu", .back = kBlue, .fore = kWhite, .points = 12},
    {.kind = K::PictureBox, .name = "Picture3", .left = -6360, .top = 330, .width = 3375, .height = 4470, .picture = "title"},
    {.kind = K::PictureBox, .name = "Picture2", .left = -2880, .top = 360, .width = 3030, .height = 4245, .picture = "logo"},
    {.kind = K::Label, .name = "Label7", .left = -6720, .top = -300, .width = 19710, .height = 195, .caption = kCreditsSecondHalf, .fore = kWhite, .autoSize = true, .transparent = true},
    {.kind = K::Label, .name = "Label6", .left = 5020, .top = -300, .width = 15285, .height = 195, .caption = kCreditsFirstHalf, .fore = kWhite, .autoSize = true, .transparent = true},
    {.kind = K::Label, .name = "Label5", .left = 6075, .top = 720, .width = 1140, .height = 795, .points = 24, .bold = true, .centred = true, .wrapped = true, .autoSize = true, .transparent = true},
    {.kind = K::Label, .name = "Label4", .left = 1200, .top = 2040, .width = 2175, .height = 855, .caption = "Loading...", .points = 24, .bold = true, .centred = true, .wrapped = true, .transparent = true},
    {.kind = K::Label, .name = "Label2", .left = 7680, .top = 6240, .width = 495, .height = 255, .caption = "Boo!"},
    // The menu panel.
    {.kind = K::CommandButton, .name = "Command5", .container = "Frame2", .left = 2880, .top = 4320, .width = 1215, .height = 375, .caption = "EXIT"},
    {.kind = K::CommandButton, .name = "Command4", .container = "Frame2", .left = 1560, .top = 4320, .width = 1215, .height = 375, .caption = "About"},
    {.kind = K::CheckBox, .name = "Check1", .container = "Frame2", .left = 120, .top = 4320, .width = 1215, .height = 255, .caption = "Sound ON", .back = kBlue, .fore = kWhite, .bold = true, .value = 1},
    {.kind = K::Frame, .name = "Frame4", .container = "Frame2", .left = 120, .top = 2880, .width = 3975, .height = 1215, .caption = "Jangan Sampai Nyamuknya berhasil !!!", .back = kGreen, .fore = kBlack, .bold = true},
    {.kind = K::Frame, .name = "Frame3", .container = "Frame2", .left = 120, .top = 1560, .width = 3975, .height = 1215, .caption = "Basmi Semua Nyamuk", .back = kGreen, .fore = kBlack, .bold = true},
    {.kind = K::Frame, .name = "Frame1", .container = "Frame2", .left = 120, .top = 270, .width = 3975, .height = 1095, .caption = "Time Attack", .back = kGreen, .fore = kBlack, .bold = true},
    // The balm mode's frame.
    {.kind = K::CommandButton, .name = "Command3", .container = "Frame4", .left = 2160, .top = 720, .width = 1455, .height = 375, .caption = "Play This Game", .back = kLightCyan, .graphical = true},
    {.kind = K::Label, .name = "your3", .container = "Frame4", .left = 3120, .top = 480, .width = 90, .height = 195, .caption = "0", .back = kYellow, .autoSize = true},
    {.kind = K::Label, .name = "Label3", .index = 5, .container = "Frame4", .left = 2160, .top = 480, .width = 975, .height = 195, .caption = "Your Score  : ", .back = kYellow, .autoSize = true},
    {.kind = K::Label, .name = "Label3", .index = 4, .container = "Frame4", .left = 2160, .top = 240, .width = 975, .height = 195, .caption = "High Score  : ", .back = kYellow, .autoSize = true},
    {.kind = K::Label, .name = "high3", .container = "Frame4", .left = 3120, .top = 240, .width = 360, .height = 195, .caption = "1000", .back = kYellow, .autoSize = true},
    {.kind = K::Label, .name = "Label1", .index = 3, .container = "Frame4", .left = 240, .top = 360, .width = 1935, .height = 855, .caption = "Tolong! Nyamuk2 itu menyerangku! TEMBAK !! Aku mau lari kalau balsemku habis...", .fore = kBlack, .wrapped = true, .transparent = true},
    // The Basmi mode's frame.
    {.kind = K::CommandButton, .name = "Command2", .container = "Frame3", .left = 2160, .top = 720, .width = 1455, .height = 375, .caption = "Play Basmi", .back = kCyan, .graphical = true},
    {.kind = K::Label, .name = "your2", .container = "Frame3", .left = 3000, .top = 360, .width = 90, .height = 195, .caption = "0", .back = kYellow, .autoSize = true},
    {.kind = K::Label, .name = "high2", .container = "Frame3", .left = 3000, .top = 120, .width = 360, .height = 195, .caption = "1000", .back = kYellow, .autoSize = true},
    {.kind = K::Label, .name = "Label1", .index = 1, .container = "Frame3", .left = 120, .top = 360, .width = 1935, .height = 735, .caption = "Tembakin 30 nyamuk ampe abis. Diwaktu lho! Jgn Santai-satai!", .fore = kBlack, .wrapped = true, .transparent = true},
    {.kind = K::Label, .name = "Label3", .index = 3, .container = "Frame3", .left = 2040, .top = 360, .width = 975, .height = 195, .caption = "Your Score  : ", .back = kYellow, .autoSize = true},
    {.kind = K::Label, .name = "Label3", .index = 2, .container = "Frame3", .left = 2040, .top = 120, .width = 975, .height = 195, .caption = "High Score  : ", .back = kYellow, .autoSize = true},
    // The Time Attack frame.
    {.kind = K::CommandButton, .name = "Command1", .container = "Frame1", .left = 2160, .top = 600, .width = 1455, .height = 375, .caption = "Play Time Attack", .back = kLightCyan, .graphical = true},
    {.kind = K::Label, .name = "Label1", .index = 0, .container = "Frame1", .left = 120, .top = 240, .width = 1935, .height = 855, .caption = "Ket: Tembak nyamuknya sebelum waktunya habis. Pokonya ya gitu dech... cobain aja", .fore = kBlack, .wrapped = true, .transparent = true},
    {.kind = K::Label, .name = "high1", .container = "Frame1", .left = 3000, .top = 120, .width = 360, .height = 195, .caption = "1000", .back = kLightYellow, .autoSize = true},
    {.kind = K::Label, .name = "Label3", .index = 0, .container = "Frame1", .left = 2040, .top = 120, .width = 975, .height = 195, .caption = "High Score  : ", .back = kLightYellow, .autoSize = true},
    {.kind = K::Label, .name = "Label3", .index = 1, .container = "Frame1", .left = 2040, .top = 360, .width = 975, .height = 195, .caption = "Your Score  : ", .back = kLightYellow, .autoSize = true},
    {.kind = K::Label, .name = "Your1", .container = "Frame1", .left = 3000, .top = 360, .width = 90, .height = 195, .caption = "0", .back = kLightYellow, .autoSize = true},
    // The title animation; its Tag is the slide step in twips.
    {.kind = K::Timer, .name = "Timer1", .interval = 50, .tag = "50"},
};
// clang-format on

}  // namespace

menutama::menutama(Runtime& runtime) : RoundHost(runtime, kWindow, kControls) {
  load = [this] { Form_Load(); };                          // the program's start
  unload = [this] { Form_Unload(); };                      // the player closes the menu
  mouseMove = [this](Twips, Twips) { Form_MouseMove(); };  // over the backdrop
  Timer1.tick = [this] { Timer1_Tick(); };                 // the slide-in and the credits
  Picture2.click = [this] { Picture2_Click(); };           // the logo hurries the slide
  Command1.click = [this] { Command1_Click(); };           // "Play Time Attack"
  Command2.click = [this] { Command2_Click(); };           // "Play Basmi"
  Command3.click = [this] { Command3_Click(); };           // "Play This Game", the balm mode
  Check1.click = [this] { Check1_Click(); };               // "Sound ON"
  Command4.click = [this] { Command4_Click(); };           // "About"
  Command5.click = [this] { Command5_Click(); };           // "EXIT"
}

// The first reference to the game window creates and loads it, which shows
// this window and starts the music before this load goes on.
void menutama::Form_Load() {
  Command1.setMouseIcon(game().aimCursor());
  Command2.setMouseIcon(game().aimCursor());
  Command3.setMouseIcon(game().aimCursor());
}

void menutama::Form_Unload() {
  runtime().end();
}

// Over the backdrop while the round clock runs, the game window comes back to
// the front.
void menutama::Form_MouseMove() {
  if (game().roundClockRunning()) game().show();
}

// The slide-in of the panel and the two pictures, and the credits ticker.
// Every Left is read afresh; the step is the Tag as it is at this moment.
void menutama::Timer1_Tick() {
  if (Frame2.left() < 61) Frame2.setLeft(Frame2.left() + toNumber(Timer1.tag()));
  if (Picture2.left() < 8040) Picture2.setLeft(Picture2.left() + toNumber(Timer1.tag()));
  if (Picture3.left() < 4560) Picture3.setLeft(Picture3.left() + toNumber(Timer1.tag()));
  // The second half follows the first at a fixed distance, one tick behind;
  // the ticker stops for good once it has run out on the left.
  Label7.setLeft(Label6.left() + 15360);
  if (static_cast<float>(Label7.left() + Label7.width()) > -30) Label6.setLeft(Label6.left() - 30);
}

// A click on the logo: the rest of the slide at the timer's fastest rate.
void menutama::Picture2_Click() {
  Timer1.setInterval(1);
  Timer1.setTag("150");
}

void menutama::StartRound() {
  game().show();
  // The red backdrop behind the game window.
  setLeft(-100);
  setTop(-100);
  setWidth(13000);
  setHeight(11000);
  // Runs the score's Change under whatever caption the game window has now.
  game().resetScore();
  // The credits enter from the right along the top.
  Label6.setLeft(13000);
  Label6.setTop(0);
  Label7.setTop(0);
}

// During a round the menu is the backdrop behind the game window, and on a
// wide screen its Play buttons can be reached. A launch then would mix two
// modes' state into every later round, so a Play button does nothing while
// the game window is shown.

void menutama::Command1_Click() {
  if (game().visible()) return;
  StartRound();
  game().launch(Mode::TimeAttack);
}

void menutama::Command2_Click() {
  if (game().visible()) return;
  StartRound();
  game().launch(Mode::Basmi);
}

// The balm mode widens the game window before it is shown.
void menutama::Command3_Click() {
  if (game().visible()) return;
  game().launch(Mode::Balm);
  StartRound();
}

// --- what the game window asks of the menu -------------------------------------

void menutama::showLastScore(Mode mode, const std::string& score) {
  scores(mode).last.setCaption(score);
}

void menutama::recordScore(Mode mode, const std::string& score) {
  showLastScore(mode, score);
  if (isHigher(score, highScore(mode))) scores(mode).high.setCaption(score);
}

// The panel just off the left edge, the title picture with it, steps of 150
// every 50 ms.
void menutama::replaySlideIn() {
  Frame2.setLeft(Frame2.width() * -1);
  Picture3.setLeft(Frame2.left());
  Timer1.setInterval(50);
  Timer1.setTag("150");
}

void menutama::showEndMessage(bool beatHighScore) {
  Label5.setCaption("GAME OVER");
  if (beatHighScore) Label5.setCaption("Your score bigger than high score");
}

// Where the game window was, as tall as it, and wide enough for the panel and
// the title picture.
void menutama::takePlaceOf(const Window& window) {
  setLeft(window.left());
  setTop(window.top());
  setWidth(8200);
  setHeight(window.height());
}

// --- the options -----------------------------------------------------------------

void menutama::Check1_Click() {
  if (Check1.value() == 1)
    game().playMusic();
  else
    game().stopMusic();
}

void menutama::Command4_Click() {
  runtime().msgBox(std::string(kAboutText));
}

void menutama::Command5_Click() {
  runtime().end();
}

}  // namespace brz
