// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop front end without a display: colours and pixels, the mouse
// rules, text measuring, and what the painter draws, read back from an
// offscreen picture of a window.
#include "platform/sdl/frontend.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/form1.h"
#include "menu/menutama.h"
#include "menu/start.h"
#include "platform/runtime.h"
#include "platform/sdl/compositor.h"
#include "platform/sdl/fonts.h"
#include "platform/sdl/look.h"
#include "platform/sdl/painter.h"
#include "platform/sdl/pointer.h"
#include "tools/game_host.h"

namespace brz::sdl {
namespace {

using K = ControlKind;

// Coordinates below are in pixels (x 15 twips) so the checks read in pixels.
constexpr Twips px(int pixels) {
  return static_cast<Twips>(pixels * 15);
}

// clang-format off
constexpr ControlLayout kControls[] = {
    {.kind = K::CommandButton, .name = "Plain", .left = px(10), .top = px(10), .width = px(60), .height = px(24), .caption = "", .back = kGreen},
    {.kind = K::CommandButton, .name = "Coloured", .left = px(80), .top = px(10), .width = px(60), .height = px(24), .back = kGreen, .graphical = true},
    {.kind = K::Frame, .name = "Front", .left = px(10), .top = px(50), .width = px(60), .height = px(60), .back = kBlue},
    {.kind = K::Frame, .name = "Field", .left = px(40), .top = px(80), .width = px(100), .height = px(80), .back = kWhite, .mouseIcon = "cross"},
    {.kind = K::TextBox, .name = "Score", .left = px(150), .top = px(10), .width = px(60), .height = px(24), .caption = "", .back = kGreen},
    {.kind = K::Label, .name = "Clear", .left = px(150), .top = px(50), .width = px(40), .height = px(20), .transparent = true},
    {.kind = K::Label, .name = "Solid", .left = px(150), .top = px(80), .width = px(40), .height = px(20), .back = kYellow},
    {.kind = K::CheckBox, .name = "Sound", .left = px(150), .top = px(110), .width = px(60), .height = px(17), .back = kLightCyan, .value = 1},
    {.kind = K::PictureBox, .name = "Logo", .left = px(150), .top = px(140), .width = px(20), .height = px(20), .back = kWhite},
    {.kind = K::Line, .name = "Trace", .container = "Field", .left = px(10), .top = px(40), .width = px(90), .height = px(40), .back = kYellow, .borderWidth = 5},
    {.kind = K::Image, .name = "Bug", .container = "Field", .left = px(70), .top = px(20), .width = px(4), .height = px(4)},
    {.kind = K::CommandButton, .name = "Balm", .container = "Field", .left = px(70), .top = px(60), .width = px(20), .height = px(10)},
    {.kind = K::Image, .name = "Wide", .container = "Field", .left = px(80), .top = px(5), .width = px(40), .height = px(10)},
};
// clang-format on

struct TestWindow : Window {
  explicit TestWindow(Runtime& rt)
      : Window(rt,
               {.name = "Test",
                .caption = "Test",
                .clientWidth = px(220),
                .clientHeight = px(170),
                .back = kLightCyan},
               kControls) {}
};

// A picture of solid ARGB pixels, with the given one left transparent.
PictureRef solid(int w, int h, std::uint32_t argb, int clearX = -1, int clearY = -1) {
  auto picture = std::make_shared<Picture>();
  picture->width = w;
  picture->height = h;
  picture->argb.assign(static_cast<size_t>(w) * h, argb);
  if (clearX >= 0) picture->argb[static_cast<size_t>(clearY) * w + clearX] = 0;
  return picture;
}

class Drawn : public ::testing::Test {
 protected:
  Drawn() {
    rt.start<TestWindow>();
    w = &rt.form<TestWindow>();
  }
  template <class T = Control>
  T& the(std::string_view name) {
    return w->control<T>(name);
  }
  // The colour at a pixel of the client area.
  Rgb at(int x, int y) {
    if (!shot || shotRevision != rt.revision()) {
      shot = std::make_unique<Picture>(paintOffscreen(*w, fonts));
      shotRevision = rt.revision();
    }
    std::uint32_t p = shot->argb[static_cast<size_t>(y) * shot->width + x];
    return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
            static_cast<std::uint8_t>(p)};
  }
  // How many pixels of a box are dark: where text is drawn.
  int darkPixels(int x, int y, int width, int height) {
    int dark = 0;
    for (int j = y; j < y + height; ++j)
      for (int i = x; i < x + width; ++i)
        if (Rgb c = at(i, j); c.r + c.g + c.b < 200) ++dark;
    return dark;
  }
  // The colours at pixels: x, y, colour, x, y, colour...
  void expectColours() {}
  template <class... More>
  void expectColours(int x, int y, Rgb colour, More... more) {
    EXPECT_EQ(at(x, y), colour) << x << "," << y;
    expectColours(more...);
  }

  Runtime rt;
  TestWindow* w = nullptr;
  Fonts fonts;
  std::unique_ptr<Picture> shot;
  std::uint64_t shotRevision = 0;
};

const Rgb kCyanRgb{0x80, 0xFF, 0xFF}, kGreenRgb{0, 0xFF, 0}, kYellowRgb{0xFF, 0xFF, 0},
    kBlueRgb{0, 0, 0xFF}, kWhiteRgb{255, 255, 255}, kBlackRgb{0, 0, 0}, kRedRgb{255, 0, 0};

class Mouse : public Drawn {
 protected:
  Mouse() {
    the<Frame>("Field").setMouseIcon(cross);
    the<Image>("Bug").setPicture(solid(4, 4, 0xFF000000));
  }
  PictureRef pointer(int x, int y) { return pointerAt(rt, *w, px(x), px(y)); }
  PictureRef cross = solid(32, 32, 0xFFFF0000);
};

TEST_F(Mouse, FieldPointerShowsOverItAndWhatItDrawsButNotOverItsButtons) {
  EXPECT_EQ(pointer(100, 90), cross);     // bare field
  EXPECT_EQ(pointer(111, 101), cross);    // the image in it
  EXPECT_EQ(pointer(50, 120), cross);     // the line in it takes no mouse
  EXPECT_EQ(pointer(115, 145), nullptr);  // a button without a pointer of its own
  EXPECT_EQ(pointer(20, 60), nullptr);    // another frame in front of the field
  EXPECT_EQ(pointer(200, 165), nullptr);  // the window
  the<CommandButton>("Balm").setMouseIcon(cross);
  EXPECT_EQ(pointer(115, 145), cross);
  // A pointer picture that is still a placeholder shows the arrow.
  the<Frame>("Field").setMouseIcon(std::make_shared<Picture>());
  EXPECT_EQ(pointer(100, 90), nullptr);
}

// SDL's presses reach the runtime at their place at the screen's scale, with
// their button, at the runtime's time.
TEST_F(Mouse, PressesReachTheRuntimeAtTheirPlaceButtonAndTime) {
  int clicks = 0;
  the("Field").click = [&] { ++clicks; };
  auto press = [&](int factor, int x, int y, Millis ms, std::uint8_t button = SDL_BUTTON_LEFT) {
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = button;
    event.button.x = x;
    event.button.y = y;
    rt.advanceTo(ms);
    return sdl::press(rt, *w, Scale(factor), event);
  };
  press(1, 100, 90, 101000);
  press(1, 100, 90, 101400);  // a double click: one
  press(1, 100, 90, 102000);
  press(1, 100, 90, 102600);  // too slow: two
  press(2, 200, 180, 104000);
  press(2, 204, 176, 104100);  // 2 pixels of the 96-dpi look away: one
  press(2, 200, 180, 106000);
  press(2, 206, 180, 106100);  // 3 pixels away: two
  press(1, 100, 90, 108000, SDL_BUTTON_RIGHT);
  press(1, 100, 90, 109000, SDL_BUTTON_MIDDLE);
  EXPECT_EQ(clicks, 7);
}

// A missing font skips a test on a developer's machine but fails it in CI,
// where the install script has put every font in place.
bool inCi() {
  const char* ci = std::getenv("CI");
  return ci && std::string_view(ci) == "true";
}

// The text a control shows, with the room its frame leaves it in 96-dpi
// pixels (bevels and margins, a frame's inset, a check box's square).
std::pair<std::string, int> textOf(const Control& control) {
  if (auto* label = dynamic_cast<const Label*>(&control)) return {label->caption(), 0};
  if (auto* box = dynamic_cast<const TextBox*>(&control)) return {box->text(), 0};
  if (auto* button = dynamic_cast<const CommandButton*>(&control)) return {button->caption(), 8};
  if (auto* frame = dynamic_cast<const Frame*>(&control)) return {frame->caption(), 16};
  if (auto* box = dynamic_cast<const CheckBox*>(&control)) return {box->caption(), 13 + 4};
  return {};
}

class Text : public ::testing::Test {
 protected:
  void SetUp() override {
    if (fonts.available()) return;
    ASSERT_FALSE(inCi()) << "no font is installed";
    GTEST_SKIP() << "no font is installed";
  }
  Fonts fonts;
};

TEST_F(Text, WrappedLinesFitTheirWidthAndBreakOnlyBetweenWordsMeasuredInTwips) {
  Font font;
  std::string text = "Ket: Tembak nyamuknya sebelum waktunya habis. Pokonya ya gitu dech";
  auto lines = fonts.wrap(text, font, 129);
  ASSERT_GT(lines.size(), 2u);
  std::string joined;
  for (const auto& line : lines) {
    EXPECT_LE(fonts.width(line, font), 129) << line;
    EXPECT_NE(line.front(), ' ');
    joined += (joined.empty() ? "" : " ") + line;
  }
  EXPECT_EQ(joined, text);
  // A word wider than the line stands alone; a line break always breaks.
  EXPECT_EQ(fonts.wrap("Supercalifragilistic x", font, 20),
            (std::vector<std::string>{"Supercalifragilistic", "x"}));
  EXPECT_EQ(fonts.wrap("GAME\r\nOVER", font, 500), (std::vector<std::string>{"GAME", "OVER"}));
  EXPECT_EQ(fonts.wrap("  indented", font, 500), (std::vector<std::string>{"  indented"}));
  // Measured in twips, with bold and size making it larger.
  Font normal, bold{8.25f, true}, big{24, true};
  auto [w, h] = fonts.measure("High Score  : ", normal, 0);
  EXPECT_GT(w, fonts.measure("High Score", normal, 0).first);  // trailing spaces count
  EXPECT_GT(fonts.measure("Sound ON", bold, 0).first, fonts.measure("Sound ON", normal, 0).first);
  EXPECT_GT(fonts.measure("GAME OVER", big, 0).second, 2 * h);
}

// A wrapped label that sizes itself grows a line at a time and widens only to
// hold a word wider than itself, keeping its Left: no word is broken or cut.
TEST_F(Text, WrappedSelfSizingLabelsHoldEveryLineAndTheirWidestWord) {
  // clang-format off
  static constexpr ControlLayout kLabels[] = {
      {.kind = K::Label, .name = "Message", .left = 6075, .top = 720, .width = 1140, .height = 795, .points = 24, .bold = true, .centred = true, .wrapped = true, .autoSize = true},
      {.kind = K::Label, .name = "Note", .left = 120, .top = 360, .width = 1935, .height = 195, .wrapped = true, .autoSize = true},
  };
  // clang-format on
  struct Board : Window {
    explicit Board(Runtime& rt) : Window(rt, {.name = "Board"}, kLabels) {}
  };
  MeasuringHost host(fonts);
  Runtime rt(host);
  auto& message = rt.form<Board>().control<Label>("Message");
  auto& note = rt.form<Board>().control<Label>("Note");
  Font big{24, true}, small;
  auto lineOf = [&](const Font& f) { return fonts.scale().toTwips(fonts.lineHeight(f)); };

  // "bigger" is wider than the label: the label takes its width, one word a line.
  message.setCaption("Your score bigger than high score");
  Twips bigger = fonts.measure("bigger", big, 0).first;
  ASSERT_GT(bigger, 1140);
  EXPECT_EQ(message.width(), bigger);
  EXPECT_EQ(message.left(), 6075);
  EXPECT_EQ(message.height(), 6 * lineOf(big));
  for (const auto& line : fonts.wrap(message.caption(), big, fonts.scale().toPixels(bigger)))
    EXPECT_LE(fonts.width(line, big), fonts.scale().toPixels(message.width())) << line;
  // A shorter text later keeps the width it has and takes the lines it needs.
  message.setCaption("GAME OVER");
  EXPECT_EQ(message.width(), bigger);
  EXPECT_EQ(message.height(), 2 * lineOf(big));
  // An empty caption: one empty line.
  message.setCaption("");
  EXPECT_EQ(message.height(), lineOf(big));

  // Words that all fit wrap within the width the layout gave.
  note.setCaption("Tembakin 30 nyamuk ampe abis. Diwaktu lho! Jgn Santai-satai!");
  EXPECT_EQ(note.width(), 1935);
  EXPECT_EQ(note.height(), 3 * lineOf(small));
}

// Every caption of both windows that does not size itself fits its control at
// 1x, 2x and 3x in the font the game draws with: no letter is cut off and no word
// broken. The credits ticker's halves fit their places.
TEST_F(Text, EveryLayoutCaptionFitsItsControl) {
  if (fonts.regularPath().find("tahoma") == std::string::npos) {
    ASSERT_FALSE(inCi()) << "Tahoma (fonts-wine) is not installed";
    GTEST_SKIP() << "Tahoma (fonts-wine) is not installed";
  }
  for (int f : {1, 2, 3}) {
    Fonts fonts{Scale(f)};
    MeasuringHost host(fonts);
    Runtime rt(host);
    rt.start<menutama>();
    const Scale& scale = fonts.scale();
    // The captions set narrow to fit, and why; each must still need it, so
    // the list shrinks when a cause goes away.
    const std::set<std::string> kNarrowed = {
        "menutama.Label4",  // Tahoma Bold at 24 points sets "Loading..." 161 px wide in 145
    };
    std::set<std::string> narrowed;
    int checked = 0;
    for (const auto& window : rt.windows()) {
      for (const auto& control : window->controls()) {
        if (control->kind() == ControlKind::TextBox) continue;  // the player's, not the layout's
        auto* label = dynamic_cast<const Label*>(control.get());
        if (label && label->autoSize) continue;  // fits its text by itself
        auto [caption, frame] = textOf(*control);
        int room = scale.toPixels(control->width()) - frame * f;
        int tall = scale.toPixels(control->height());
        bool wraps = label && label->wordWrap;
        if (caption.empty()) continue;
        ++checked;
        const Font& font = control->font();
        auto lines = wraps ? fonts.wrap(caption, font, room) : std::vector<std::string>{caption};
        for (const auto& line : lines) {
          if (fonts.narrowed(line, font, room)) {
            narrowed.insert(control->ref());
            continue;
          }
          EXPECT_LE(fonts.width(line, font), room) << control->ref() << ": " << line;
        }
        if (wraps) {
          EXPECT_LE(fonts.lineHeight(font) * static_cast<int>(lines.size()), tall)
              << control->ref() << ": " << lines.size() << " lines";
        }
      }
    }
    EXPECT_EQ(narrowed, kNarrowed);
    EXPECT_GT(checked, 25);

    auto& menu = rt.form<menutama>();
    EXPECT_LE(fonts.measure(menu.Label6.caption(), menu.Label6.font(), 0).first, 15285);
    EXPECT_LE(fonts.measure(menu.Label7.caption(), menu.Label7.font(), 0).first, 19710);
  }
}

// Every text the layouts set bold reads bold at 1x, 2x and 3x: a quarter
// more ink (pixels at least half dark) than the same text set regular.
TEST_F(Text, BoldTextsHaveAQuarterMoreInkAtEveryScale) {
  MeasuringHost host(fonts);
  Runtime rt(host);
  rt.start<menutama>();
  std::vector<std::pair<std::string, Font>> bold = {
      {"GAME OVER", rt.form<menutama>().Label5.font()}};
  for (const auto& window : rt.windows())
    for (const auto& control : window->controls()) {
      std::string text = textOf(*control).first;
      if (control->font().bold && !text.empty()) bold.emplace_back(text, control->font());
    }
  ASSERT_GE(bold.size(), 11u);  // "Reload!", "X", the frames, "Sound ON", the counters...

  // clang-format off
  static constexpr ControlLayout kSheet[] = {
      {.kind = K::Label, .name = "Words", .width = px(240), .height = px(45), .back = kWhite},
  };
  // clang-format on
  struct Sheet : Window {
    explicit Sheet(Runtime& rt)
        : Window(rt, {.name = "Sheet", .clientWidth = px(240), .clientHeight = px(45)}, kSheet) {}
  };
  Runtime paper;
  auto& words = paper.form<Sheet>().control<Label>("Words");
  auto ink = [&](const std::string& text, Font font, Fonts& set) {
    words.setCaption(text);
    words.setFont(font);
    Picture shot = paintOffscreen(paper.form<Sheet>(), set);
    return std::count_if(shot.argb.begin(), shot.argb.end(), [](std::uint32_t c) {
      return ((c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF)) < 3 * 128;
    });
  };
  for (int f : {1, 2, 3}) {
    Fonts set{Scale(f)};
    for (const auto& [text, font] : bold) {
      long heavy = ink(text, font, set), light = ink(text, {font.points, false}, set);
      EXPECT_GE(heavy * 4, light * 5) << text << " at " << font.points << " points, " << f << "x";
    }
  }
}

// The window's colour, a raised bevel (lit top left, dark bottom right), the
// face whatever its colour in the standard style, and nothing spilling out;
// the focused button of the active window shows it.
TEST_F(Drawn, ButtonsAreRaisedAndOnlyTheGraphicalStyleShowsItsColour) {
  expectColours(0, 0, kCyanRgb, 10, 10, kHighlight, 69, 33, kDarkShadow, 68, 32, kShadow, 40, 20,
                kFace, 110, 20, kGreenRgb, 70, 20, kCyanRgb);
  the<CommandButton>("Plain").setFocus();
  expectColours(10, 10, kDarkShadow, 11, 11, kHighlight);  // an outline, the bevel inside
  EXPECT_GT(darkPixels(14, 14, 52, 1), 20);                // the dotted rectangle
  w->setActiveControl(nullptr);
  EXPECT_EQ(at(10, 10), kHighlight);
}

// Front is over Field where they overlap; the picture Wide, sticking out of
// the field's right edge, is cut there, and once hidden shows the field. The
// transparent pixel shows the field behind; a picture box has a sunken
// border and its picture inside it.
TEST_F(Drawn, FirstChildInFrontChildrenClippedAndPicturesShowTheirTransparentParts) {
  the<Image>("Wide").setPicture(solid(40, 10, 0xFFFF0000));
  expectColours(50, 90, kBlueRgb, 100, 100, kWhiteRgb, 135, 90, kRedRgb, 140, 90, kCyanRgb);
  the("Wide").hide();
  EXPECT_EQ(at(135, 90), kWhiteRgb);
  the<Image>("Bug").setPicture(solid(4, 4, 0xFF000000, 1, 1));
  the<PictureBox>("Logo").setPicture(solid(16, 16, 0xFF00FF00));
  expectColours(110, 100, kBlackRgb, 111, 101, kWhiteRgb, 114, 100, kWhiteRgb, 150, 140, kShadow,
                151, 141, kDarkShadow, 152, 142, kGreenRgb, 169, 159, kHighlight);
}

// Level across the field at y = 80 + 40, five wide, its round end reaching
// past the end point.
TEST_F(Drawn, TheLineIsItsWidthInItsColour) {
  auto& line = the<Line>("Trace");
  line.setY2(px(40));
  expectColours(90, 120, kYellowRgb, 90, 118, kYellowRgb, 90, 122, kYellowRgb, 90, 116, kWhiteRgb,
                90, 124, kWhiteRgb, 48, 120, kYellowRgb);
  line.hide();
  EXPECT_EQ(at(90, 120), kWhiteRgb);
}

TEST_F(Drawn, TextBoxesAreSunkenAndShowTheirColourAndTextCheckBoxesTheirTick) {
  auto& score = the<TextBox>("Score");
  expectColours(150, 10, kShadow, 151, 11, kDarkShadow, 209, 33, kHighlight, 180, 20, kGreenRgb);
  EXPECT_EQ(darkPixels(153, 13, 55, 18), 0);
  score.setText("35");
  EXPECT_GT(darkPixels(153, 13, 55, 18), 10);
  score.setBackColor(kWhite);
  EXPECT_EQ(at(200, 28), kWhiteRgb);
  // The check box's tick shows only when checked.
  EXPECT_GT(darkPixels(153, 115, 7, 7), 10);
  the<CheckBox>("Sound").setValue(0);
  EXPECT_EQ(darkPixels(153, 115, 7, 7), 0);
  EXPECT_EQ(at(156, 118), kWhiteRgb);
}

TEST_F(Drawn, LabelsAreTransparentOrFilledAndCentredWhenSaid) {
  expectColours(170, 60, kCyanRgb, 170, 90, kYellowRgb);
  auto& solid = the<Label>("Solid");
  solid.setCaption("ii");
  EXPECT_GT(darkPixels(150, 80, 20, 20), 0);
  EXPECT_EQ(darkPixels(170, 80, 20, 20), 0);
  solid.alignment = Alignment::Center;
  solid.setCaption("");
  solid.setCaption("ii");
  EXPECT_EQ(darkPixels(150, 80, 15, 20) + darkPixels(175, 80, 15, 20), 0);
  EXPECT_GT(darkPixels(165, 80, 10, 20), 0);
  // A label that does not size itself wraps onto a second line.
  solid.setCaption("ii ii ii ii ii ii ii ii ii");
  EXPECT_GT(darkPixels(150, 80 + fonts.lineHeight({}), 40, 20 - fonts.lineHeight({})), 0);
}

TEST_F(Drawn, ChangesDamageWhatTheyTouchedAndNothingThatCannotBeSeen) {
  using Rects = std::vector<TwipsRect>;
  auto rect = [](int x, int y, int width, int height) {
    return TwipsRect{px(x), px(y), px(width), px(height)};
  };
  w->takeDamage();
  // Old and new places; what draws nothing, or is set to what it was, damages nothing.
  the("Bug").setLeft(px(71));
  the("Bug").setForeColor(kWhite);
  the("Bug").setLeft(px(71));
  EXPECT_EQ(w->takeDamage(), (Rects{rect(110, 100, 4, 4), rect(111, 100, 4, 4)}));
  the<Label>("Solid").setCaption("x");
  the("Balm").hide();
  the("Balm").setLeft(px(71));
  EXPECT_EQ(w->takeDamage(), (Rects{rect(150, 80, 40, 20), rect(110, 140, 20, 10)}));
  // Clipped to the client area; a move wholly above it damages nothing.
  the("Clear").setTop(px(-10));
  EXPECT_EQ(w->takeDamage(), (Rects{rect(150, 50, 40, 20), rect(150, 0, 40, 10)}));
  the("Clear").setTop(px(-30));
  w->takeDamage();
  the("Clear").setLeft(px(10));
  EXPECT_EQ(w->takeDamage(), Rects{});
  // Behind the opaque frame in front of its container: only the place it left.
  the("Bug").setLeft(px(5));
  EXPECT_EQ(w->takeDamage(), Rects{rect(111, 100, 4, 4)});
  the("Bug").setTop(px(5));
  EXPECT_EQ(w->takeDamage(), Rects{});
  // A picture with a transparent pixel hides nothing behind it.
  auto& logo = the<PictureBox>("Logo");
  the<Image>("Wide").setPicture(solid(1, 1, 0xFF000000));
  logo.setPicture(solid(20, 20, 0xFF000000, 3, 3));
  w->takeDamage();
  the("Wide").setLeft(px(0));
  EXPECT_EQ(w->takeDamage().size(), 2u);
  // The focus shows on the button that takes it and the one that loses it.
  the<CommandButton>("Plain").setFocus();
  w->takeDamage();
  the<CommandButton>("Coloured").setFocus();
  EXPECT_EQ(w->takeDamage(), (Rects{rect(10, 10, 60, 24), rect(80, 10, 60, 24)}));
}

// The real windows drawn as the screen draws them, whole once and then only
// where damaged, hold the same pixels as windows drawn whole, after every step
// of a menu and two rounds, at 1x and 2x; and so does each window's client
// area on the composed screen of a single window, where no window in front
// covers it, the active one's title bar lit.
TEST(Damage, DrawingTheDamageLeavesTheSamePixelsAsDrawingAll) {
  for (int factor : {1, 2}) {
    Fonts fonts{Scale(factor)};
    struct Host : GameHost {
      Host() : GameHost(BRIZZLET_ASSETS_DIR) {}
      Fonts* fonts;
      std::pair<Twips, Twips> measureText(const std::string& t, const Font& f,
                                          Twips wrap) override {
        return fonts->measure(t, f, wrap);
      }
    } host;
    host.fonts = &fonts;
    Runtime rt(host);
    startBrizzlet(rt);
    const Scale& scale = fonts.scale();
    Compositor screen(fonts, scale.toPixels(rt.screenWidth()), scale.toPixels(rt.screenHeight()));
    struct Canvas {
      SDL_Surface* surface = nullptr;
      SDL_Renderer* renderer = nullptr;
      std::unique_ptr<Painter> painter;
      bool active = false;
      ~Canvas() {
        painter.reset();
        SDL_DestroyRenderer(renderer);
        SDL_FreeSurface(surface);
      }
    };
    std::map<const Window*, std::unique_ptr<Canvas>> canvases;
    int compared = 0;
    auto check = [&](const std::string& step) {
      std::map<const Window*, Picture> wholes;
      for (const auto& window : rt.windows()) {
        std::vector<TwipsRect> damage = window->takeDamage();
        for (const TwipsRect& r : damage) window->damage(r);  // for the screen too
        Picture& whole = wholes[window.get()] = paintOffscreen(*window, fonts);
        auto& canvas = canvases[window.get()];
        bool active = rt.activeWindow() == window.get();
        // As on the screen: a window shown, resized or (de)activated is drawn whole.
        if (!window->visible() || !canvas || canvas->surface->w != whole.width ||
            canvas->surface->h != whole.height || canvas->active != active) {
          canvas = std::make_unique<Canvas>();
          canvas->surface = SDL_CreateRGBSurfaceWithFormat(0, whole.width, whole.height, 32,
                                                           SDL_PIXELFORMAT_ARGB8888);
          canvas->renderer = SDL_CreateSoftwareRenderer(canvas->surface);
          canvas->painter = std::make_unique<Painter>(canvas->renderer, fonts);
          canvas->painter->paint(*window);
          canvas->active = active;
        } else {
          canvas->painter->paintDamage(*window, damage);
        }
        SDL_RenderFlush(canvas->renderer);
        for (int y = 0; y < whole.height; ++y)
          ASSERT_EQ(std::memcmp(static_cast<const char*>(canvas->surface->pixels) +
                                    y * canvas->surface->pitch,
                                &whole.argb[static_cast<size_t>(y) * whole.width], whole.width * 4),
                    0)
              << factor << "x, " << window->name() << " after " << step << ", in row " << y;
        ++compared;
      }
      std::vector<Window*> shown = rt.zOrder();
      screen.compose(shown);
      std::vector<PixelRect> front;  // the windows in front of the one checked
      auto seen = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < screen.width() && y < screen.height() &&
               std::none_of(front.begin(), front.end(), [&](const PixelRect& r) {
                 return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h;
               });
      };
      auto differs = [&](int x, int y, std::uint32_t argb, const std::string& what) {
        if (!seen(x, y) || screen.row(y)[x] == argb) return false;
        ADD_FAILURE() << factor << "x, " << what << " on the screen after " << step << ", at " << x
                      << "," << y;
        return true;
      };
      for (Window* window : shown) {
        const Picture& whole = wholes[window];
        PixelRect client = clientArea(*window, scale);
        PixelRect bar = titleBar(windowArea(*window, scale), scale);
        differs(bar.x, bar.y, front.empty() ? 0xFF000080u : 0xFF808080u, "the title bar");
        for (int y = 0; y < whole.height; ++y)
          for (int x = 0; x < whole.width; ++x)
            if (differs(client.x + x, client.y + y,
                        whole.argb[static_cast<size_t>(y) * whole.width + x], window->name()))
              return;
        front.push_back(windowArea(*window, scale));
      }
      // A window's stale pixels would cover many: a sparse look finds them.
      for (int y = 0; y < screen.height(); y += 4)
        for (int x = 0; x < screen.width(); x += 4)
          if (differs(x, y, 0xFF008080u, "the desktop")) return;
    };

    auto& menu = rt.form<menutama>();
    auto& game = rt.form<Form1>();
    auto wait = [&](Millis ms, const std::string& step) {
      for (Millis end = rt.now() + ms; rt.now() < end;) {
        rt.advanceTo(rt.now() + 150);
        check(step + " at " + std::to_string(rt.now()) + " ms");
      }
    };
    wait(1500, "the slide-in");
    rt.click(menu.Picture2);
    wait(900, "the logo's click");
    ASSERT_TRUE(rt.click(menu.Command1));
    ASSERT_TRUE(game.visible());
    check("Play Time Attack");
    for (int shot = 0; shot < 8; wait(300, "shot " + std::to_string(shot)), ++shot)
      rt.clickAt(game, game.nyamuk1.left() + 200, game.Frame1.top() + game.nyamuk1.top() + 150);
    rt.click(game.reload);
    wait(900, "the reload");
    rt.click(game.Command3_1);
    wait(2700, "the give-up");
    rt.click(menu.Command2);
    check("Play Basmi");
    for (int shot = 0; shot < 6; wait(450, "Basmi shot " + std::to_string(shot)), ++shot)
      rt.clickAt(game, 3000 + 500 * shot, 2000);
    ASSERT_TRUE(rt.running()) << rt.fatalError();
    EXPECT_GT(compared, 100);
  }
}

// A single window's screen shown twice its size with a margin round it, or
// cut where the window is too small: the mouse goes to the front-most window
// under it, in that window's own pixels; a frame takes none, but tells its
// close box, and the bare desktop has no window.
TEST(SingleWindow, TheMouseGoesToTheFrontWindowInItsOwnPixels) {
  EXPECT_EQ(Showing::fit(1024, 768, 1000, 700).factor, 1);
  EXPECT_EQ(Showing::fit(1024, 768, 1000, 700).x, -12);
  Showing showing = Showing::fit(1024, 768, 2100, 1600);
  ASSERT_EQ(showing.factor, 2);
  ASSERT_EQ(showing.x, 26);
  ASSERT_EQ(showing.y, 32);
  GameHost host(BRIZZLET_ASSETS_DIR);
  Runtime rt(host);
  startBrizzlet(rt);
  auto& game = rt.form<Form1>();
  rt.click(rt.form<menutama>().Command1);  // the game over the menu's backdrop
  Fonts fonts;
  Compositor screen(fonts, 1024, 768);
  screen.compose(rt.zOrder());
  auto at = [&](int hostX, int hostY) {
    return screen.at(showing.screenX(hostX), showing.screenY(hostY));
  };
  PixelRect client = clientArea(game, fonts.scale()), frame = windowArea(game, fonts.scale());
  Compositor::Hit hit = at(26 + 2 * (client.x + 10) + 1, 32 + 2 * (client.y + 20));
  EXPECT_TRUE(hit.window == &game && hit.client && hit.x == 10 && hit.y == 20);
  // The backdrop's client area begins 2 pixels off the screen, where no
  // mouse reaches it: the margin is not the screen.
  hit = at(26, 32 + 2 * 100);
  EXPECT_TRUE(hit.window == &rt.form<menutama>() && hit.client && hit.x == 2) << hit.x;
  EXPECT_EQ(at(25, 32 + 2 * 100).window, nullptr);
  hit = at(26 + 2 * (frame.x + 20), 32 + 2 * (frame.y + 10));
  EXPECT_TRUE(hit.window == &game && !hit.client && !hit.closeBox);
  PixelRect close = closeBox(frame, fonts.scale());
  EXPECT_TRUE(at(26 + 2 * (close.x + 8), 32 + 2 * (close.y + 7)).closeBox);
  EXPECT_EQ(at(26 + 2 * 1000, 32 + 2 * 760).window, nullptr);
  EXPECT_EQ(at(0, 0).window, nullptr);
}

}  // namespace
}  // namespace brz::sdl
