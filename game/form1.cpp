// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/form1.h"

#include "platform/counters.h"

namespace brz {

std::optional<Mode> modeOf(std::string_view caption) {
  for (Mode mode : {Mode::TimeAttack, Mode::Basmi, Mode::Balm})
    if (caption == captionOf(mode)) return mode;
  return std::nullopt;
}

namespace {

using K = ControlKind;

// `plor` starts with a full magazine: its count as the layout's text.
static_assert(kMagazineSize >= 0 && kMagazineSize <= 9, "the layout writes the count as one digit");
constexpr char kFullMagazineText[] = {'0' + kMagazineSize, '\0'};

constexpr WindowLayout kWindow = {
    .name = "Form1",
    .caption = "Brizzlet!!!",
    .clientWidth = 8880,
    .clientHeight = 5100,
    .back = kLightCyan,
    .icon = "icon",
};

// Container by container, each in stacking order: the first row is in front.
// clang-format off
constexpr ControlLayout kControls[] = {
    // Directly in the window.
    {.kind = K::CommandButton, .name = "Command3", .index = 1, .left = 6840, .top = 120, .width = 375, .height = 375, .caption = "X", .points = 13.5f, .bold = true},
    {.kind = K::CommandButton, .name = "Command3", .index = 0, .left = 2160, .top = 4560, .width = 2535, .height = 495, .caption = "GIVE UP / NYERAH !!"},
    {.kind = K::Frame, .name = "Frame4", .left = 1800, .top = 3480, .width = 4335, .height = 975, .caption = "Peluru", .back = kWhite},
    {.kind = K::CommandButton, .name = "Command2", .left = 2760, .top = 4080, .width = 855, .height = 375, .caption = "Nyerah!"},
    {.kind = K::Frame, .name = "Frame3", .left = 4800, .top = 4440, .width = 2535, .height = 615, .back = kLightCyan},
    {.kind = K::Frame, .name = "Balsem1", .left = 0, .top = 4200, .width = 2055, .height = 735, .hidden = true},
    {.kind = K::Frame, .name = "Frame2", .left = 360, .top = 3600, .width = 1455, .height = 735, .hidden = true},
    {.kind = K::TextBox, .name = "time", .left = 1080, .top = 120, .width = 885, .height = 375, .caption = "10", .points = 12, .bold = true},
    {.kind = K::DirListBox, .name = "Dir1", .left = 0, .top = 3840, .width = 615, .height = 315, .hidden = true},
    {.kind = K::TextBox, .name = "ganas", .left = 4800, .top = 120, .width = 375, .height = 375, .caption = "0", .points = 9.75f, .bold = true},
    {.kind = K::Frame, .name = "Frame1", .left = 0, .top = 480, .width = 9135, .height = 3855, .back = kWhite, .mouseIcon = "crosshair"},
    {.kind = K::MediaPlayer, .name = "MediaPlayer1", .left = -480, .top = 3600, .width = 1095, .height = 255, .hidden = true},
    {.kind = K::Label, .name = "Label2", .left = 480, .top = 120, .width = 735, .height = 255, .caption = "TIME", .points = 9.75f, .transparent = true},
    {.kind = K::MediaPlayer, .name = "MediaPlayer2", .left = 0, .top = 4080, .width = 570, .height = 255, .hidden = true},
    {.kind = K::Label, .name = "Label1", .left = 2760, .top = 120, .width = 2175, .height = 255, .caption = "Tingkat keganasan Nyamuk :", .transparent = true},
    // The magazine panel.
    {.kind = K::CommandButton, .name = "reload", .container = "Frame4", .left = 2160, .top = 240, .width = 1935, .height = 615, .caption = "Reload!", .points = 18, .bold = true, .graphical = true},
    {.kind = K::TextBox, .name = "plor", .container = "Frame4", .left = 360, .top = 360, .width = 495, .height = 375, .caption = kFullMagazineText},
    {.kind = K::Image, .name = "dak", .container = "Frame4", .left = 1460, .top = 50, .width = 345, .height = 270, .hidden = true, .picture = "flash"},
    {.kind = K::Image, .name = "pl", .container = "Frame4", .left = 1200, .top = 0, .width = 900, .height = 900, .picture = "magazine", .tag = "0"},
    // The score panel.
    {.kind = K::TextBox, .name = "Score", .container = "Frame3", .left = 720, .top = 120, .width = 1575, .height = 375, .caption = "0", .back = kWhite},
    {.kind = K::Label, .name = "Label5", .container = "Frame3", .left = 120, .top = 240, .width = 465, .height = 195, .caption = "Score:", .transparent = true},
    // The balm panel.
    {.kind = K::TextBox, .name = "Balsem", .container = "Balsem1", .left = 1080, .top = 240, .width = 495, .height = 375, .caption = "3", .points = 9.75f, .bold = true},
    {.kind = K::Label, .name = "Label4", .container = "Balsem1", .left = 120, .top = 240, .width = 555, .height = 195, .caption = "Balsem:"},
    // The Basmi panel.
    {.kind = K::TextBox, .name = "sisa", .container = "Frame2", .left = 720, .top = 360, .width = 375, .height = 285, .caption = "30"},
    {.kind = K::Label, .name = "Label3", .container = "Frame2", .left = 120, .top = 120, .width = 1365, .height = 390, .caption = "Nyamuk Yang Tersisa:", .wrapped = true},
    // The play field. A line's place is its two ends.
    {.kind = K::CommandButton, .name = "Command1", .container = "Frame1", .left = 7440, .top = 3600, .width = 735, .height = 495, .caption = "Balsem"},
    {.kind = K::Line, .name = "Line1", .container = "Frame1", .left = 3480, .top = 3120, .width = 3480, .height = 3360, .hidden = true, .back = kYellow, .borderWidth = 5},
    {.kind = K::Image, .name = "nyamuk5", .container = "Frame1", .left = 600, .top = 1920, .width = 495, .height = 360, .picture = "mosquito_right"},
    {.kind = K::Image, .name = "nyamuk4", .container = "Frame1", .left = 1680, .top = 720, .width = 495, .height = 360, .picture = "mosquito_right"},
    {.kind = K::Image, .name = "nyamuk3", .container = "Frame1", .left = 6120, .top = 2520, .width = 495, .height = 360, .picture = "mosquito_left"},
    {.kind = K::Image, .name = "nyamuk2", .container = "Frame1", .left = 4800, .top = 1320, .width = 495, .height = 360, .picture = "mosquito_left"},
    {.kind = K::Image, .name = "nyamuk1", .container = "Frame1", .left = 5760, .top = 360, .width = 495, .height = 360, .picture = "mosquito_left"},
    {.kind = K::Image, .name = "Image1", .container = "Frame1", .left = 720, .top = 3240, .width = 660, .height = 675, .hidden = true, .picture = "splash"},
    {.kind = K::Image, .name = "Image2", .container = "Frame1", .left = 0, .top = 120, .width = 1920, .height = 3645, .hidden = true, .picture = "portrait"},
    // The timers, in the order they tick when due together.
    {.kind = K::Timer, .name = "Timer1", .interval = 50},
    {.kind = K::Timer, .name = "Timer2", .interval = 500},
    {.kind = K::Timer, .name = "Timer3", .disabled = true, .interval = 500},
    {.kind = K::Timer, .name = "Timer4", .container = "Balsem1", .disabled = true, .interval = 50},
    {.kind = K::Timer, .name = "Timer5", .container = "Frame1", .interval = 100},
    {.kind = K::Timer, .name = "Timer6", .container = "Frame1", .disabled = true, .interval = 300},
    {.kind = K::Timer, .name = "tmplor", .container = "Frame4", .disabled = true, .interval = 60},
};
// clang-format on

}  // namespace

Form1::Form1(Runtime& runtime) : GameWindow(runtime, kWindow, kControls) {
  load = [this] { Form_Load(); };      // once, inside the menu's own load
  unload = [this] { Form_Unload(); };  // the player closes the game window

  Timer1.tick = [this] { Timer1_Tick(); };  // the mosquitoes' flight, and the bites
  Timer2.tick = [this] { Timer2_Tick(); };  // hides the hit picture
  Timer3.tick = [this] { Timer3_Tick(); };  // the round clock

  Frame1.click = [this] { Frame1_Click(); };                                // a miss
  Frame1.mouseMove = [this](Twips x, Twips y) { Frame1_MouseMove(x, y); };  // aiming
  // A hit on a mosquito.
  for (const Lane& lane : lanes_) lane.mosquito.click = [this, &lane] { nyamuk_Click(lane); };
  Timer5.tick = [this] { Timer5_Tick(); };  // ends the shot flash

  plor.change = [this] { plor_Change(); };    // the bullets left
  reload.click = [this] { reload_Click(); };  // the reload
  tmplor.tick = [this] { tmplor_Tick(); };    // the magazine picture after a shot
  Timer6.tick = [this] { Timer6_Tick(); };    // the empty-magazine cue

  Score.change = [this] { Score_Change(); };         // the score's colour
  Balsem.change = [this] { Balsem_Change(); };       // the balm used up ends a balm round
  sisa.change = [this] { sisa_Change(); };           // the mosquitoes left in Basmi
  time.change = [this] { time_Change(); };           // every tenth balm-mode hit drops a balm
  Command1.click = [this] { Command1_Click(); };     // a caught balm button
  Timer4.tick = [this] { Timer4_Tick(); };           // the balm button's fall
  Command3_0.click = [this] { Command3_Click(0); };  // giving up
  Command3_1.click = [this] { Command3_Click(1); };  // giving up
}

GameWindow& gameWindow(Runtime& runtime) {
  return runtime.form<Form1>();
}

void Form1::Form_Load() {
  narrowField();
  host().show();
  hide();
  MediaPlayer2.setFileName(file("\\backsound.mid"));
}

// Closing the game window, even mid-round, ends the whole program.
void Form1::Form_Unload() {
  runtime().end();
}

void Form1::narrowField() {
  setWidth(kNarrowWindow);
  Frame1.setWidth(kNarrowField);
}

void Form1::add(TextBox& counter, double amount) {
  counter.setText(numberText(toNumber(counter.text()) + amount));
}

void Form1::paintScore(const std::string& highScore) {
  Score.setBackColor(isHigher(Score.text(), highScore) ? kGreen : kWhite);
}

}  // namespace brz
