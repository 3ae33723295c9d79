// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/runtime.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/counters.h"
#include "platform/sdl/sdl_pictures.h"

namespace brz {
namespace {

using K = ControlKind;

// A small window with one of everything the routing rules care about.
// clang-format off
constexpr ControlLayout kPlayControls[] = {
    {.kind = K::CommandButton, .name = "Front", .left = 0, .top = 0, .width = 1000, .height = 1000},
    {.kind = K::CommandButton, .name = "Give", .index = 0, .left = 4000, .top = 0, .width = 500, .height = 500},
    {.kind = K::CommandButton, .name = "Give", .index = 1, .left = 4600, .top = 0, .width = 500, .height = 500},
    {.kind = K::Frame, .name = "Field", .left = 500, .top = 500, .width = 3000, .height = 3000},
    {.kind = K::CheckBox, .name = "Sound", .left = 4000, .top = 1000, .width = 900, .height = 300, .value = 1},
    {.kind = K::TextBox, .name = "Count", .left = 4000, .top = 2000, .width = 900, .height = 300, .caption = "6"},
    {.kind = K::Timer, .name = "Slow", .interval = 50},
    {.kind = K::Timer, .name = "Fast", .disabled = true, .interval = 20},
    {.kind = K::Line, .name = "Trace", .container = "Field", .left = 0, .top = 0, .width = 3000, .height = 3000},
    {.kind = K::Image, .name = "Bug", .container = "Field", .left = 800, .top = 800, .width = 500, .height = 400},
    {.kind = K::Image, .name = "Hidden", .container = "Field", .left = 2000, .top = 2000, .width = 500, .height = 500, .hidden = true},
    {.kind = K::Image, .name = "Behind", .container = "Field", .left = 2000, .top = 2000, .width = 500, .height = 500},
    {.kind = K::Timer, .name = "InField", .container = "Field", .interval = 50},
};
// clang-format on

struct Log {
  std::vector<std::string> lines;
  void operator()(std::string line) { lines.push_back(std::move(line)); }
};

Log* gLog = nullptr;  // where the test windows write what their handlers did

struct OtherWindow;

struct PlayWindow : Window {
  explicit PlayWindow(Runtime& rt)
      : Window(rt, {.name = "Play", .caption = "Play", .clientWidth = 6000, .clientHeight = 4000},
               kPlayControls) {
    load = [this] {
      (*gLog)("Play load");
      runtime().form<OtherWindow>();
      (*gLog)("Play load done");
    };
    for (const auto& control : controls()) {
      Control* c = control.get();
      c->click = [c] { (*gLog)("click " + c->localName()); };
      c->mouseMove = [c](Twips x, Twips y) {
        (*gLog)("move " + c->localName() + " " + numberText(x) + " " + numberText(y));
      };
      if (auto* timer = dynamic_cast<Timer*>(c))
        timer->tick = [this, c] {
          (*gLog)(c->localName() + " " + std::to_string(runtime().now()));
        };
    }
    mouseMove = [](Twips x, Twips y) {
      (*gLog)("move window " + numberText(x) + " " + numberText(y));
    };
    Count.change = [this] { (*gLog)("change " + Count.text()); };
  }
  TextBox& Count = control<TextBox>("Count");
  Timer& Slow = control<Timer>("Slow");
  Timer& Fast = control<Timer>("Fast");
  Timer& InField = control<Timer>("InField");
  Frame& Field = control<Frame>("Field");
  CommandButton& Front = control<CommandButton>("Front");
};

struct OtherWindow : Window {
  explicit OtherWindow(Runtime& rt)
      : Window(rt, {.name = "Other", .caption = "Other", .clientWidth = 3000, .clientHeight = 2000},
               {}) {
    load = [this] {
      (*gLog)("Other load");
      runtime().form<PlayWindow>().show();  // the first window is already there
      hide();
    };
    unload = [this] { runtime().end(); };
  }
};

class RuntimeTest : public ::testing::Test {
 protected:
  RuntimeTest() { gLog = &log; }
  PlayWindow& started() {
    rt.start<PlayWindow>();
    log.lines.clear();
    return rt.form<PlayWindow>();
  }
  Log log;
  Runtime rt;
};

using Lines = std::vector<std::string>;

TEST_F(RuntimeTest, WindowIsCreatedOnFirstReferenceEvenInsideAnotherLoad) {
  rt.start<PlayWindow>();
  EXPECT_EQ(log.lines, (Lines{"Play load", "Other load", "Play load done"}));
  ASSERT_EQ(rt.windows().size(), 2u);
  EXPECT_EQ(rt.windows()[0]->name(), "Play");
  auto& play = rt.form<PlayWindow>();
  EXPECT_TRUE(play.visible());
  EXPECT_FALSE(rt.form<OtherWindow>().visible());
  EXPECT_EQ(rt.activeWindow(), &play);
  // Shown for the first time: centred on the screen.
  EXPECT_EQ(play.left(), (rt.screenWidth() - 6000 - kFrameWidth) / 2);
}

TEST_F(RuntimeTest, ChangeRunsNestedAndOnlyWhenTheTextChanges) {
  auto& w = started();
  w.Count.change = [&] {
    log("change " + w.Count.text());
    if (w.Count.text() == "0") w.Count.setText("10");  // its own box, nested
    log("after " + w.Count.text());
  };
  w.Count.setText("0");
  EXPECT_EQ(log.lines, (Lines{"change 0", "change 10", "after 10", "after 10"}));
  log.lines.clear();
  w.Count.setText("10");
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(RuntimeTest, EndInsideANestedHandlerStopsEverythingAfterIt) {
  auto& w = started();
  w.Count.change = [&] {
    log("change");
    rt.end();
  };
  w.Front.click = [&] {
    w.Count.setText("5");
    log("after the assignment");
  };
  EXPECT_TRUE(rt.click(w.Front));
  EXPECT_EQ(log.lines, (Lines{"change"}));
  EXPECT_TRUE(rt.ended());
  // Nothing is dispatched after the end.
  rt.advanceTo(10000);
  EXPECT_FALSE(rt.click(w.Front));
  EXPECT_EQ(log.lines, (Lines{"change"}));
}

TEST_F(RuntimeTest, TimersTickOnExactMultiplesWithTiesInCreationOrder) {
  auto& w = started();
  rt.advanceTo(100);
  EXPECT_EQ(log.lines, (Lines{"Slow 50", "InField 50", "Slow 100", "InField 100"}));
  log.lines.clear();
  // Enabling at 110 starts the count from 110; enabling again changes nothing.
  rt.advanceTo(110);
  w.Fast.enable();
  rt.advanceTo(125);
  w.Fast.enable();
  rt.advanceTo(150);
  EXPECT_EQ(log.lines, (Lines{"Fast 130", "Slow 150", "Fast 150", "InField 150"}));
}

TEST_F(RuntimeTest, TimerChangesInsideATickAreSafe) {
  auto& w = started();
  w.Slow.tick = [&] {
    log("Slow " + std::to_string(rt.now()));
    w.Slow.disable();
    w.InField.setInterval(30);  // restarts its count from now
  };
  w.InField.tick = [&] { log("InField " + std::to_string(rt.now())); };
  rt.advanceTo(120);
  EXPECT_EQ(log.lines, (Lines{"Slow 50", "InField 80", "InField 110"}));
  log.lines.clear();
  // Disabled and enabled again: counts afresh from the moment of enabling
  // (its tick then restarts InField's count once more).
  w.Slow.enable();
  rt.advanceTo(200);
  EXPECT_EQ(log.lines, (Lines{"InField 140", "Slow 170", "InField 200"}));
}

TEST_F(RuntimeTest, ClicksGoToTheFrontMostControlThatTakesThem) {
  auto& w = started();
  rt.clickAt(w, 700, 700);  // Front lies over the field here
  // Inside the field: the line takes nothing, so the picture under it does.
  rt.clickAt(w, 500 + 850, 500 + 850);
  // A hidden picture passes the click to the one behind it.
  rt.clickAt(w, 500 + 2200, 500 + 2200);
  // Bare field, and bare window.
  rt.clickAt(w, 500 + 2800, 500 + 1000);
  rt.clickAt(w, 5500, 3800);
  EXPECT_EQ(log.lines, (Lines{"click Front", "click Bug", "click Behind", "click Field"}));
  // A disabled container passes clicks and moves to the one above.
  log.lines.clear();
  w.Field.setEnabled(false);
  rt.clickAt(w, 500 + 850, 500 + 850);  // on Bug, in the disabled field: the window
  rt.moveAt(w, 500 + 850, 500 + 850);
  EXPECT_FALSE(rt.click(w.control<Image>("Bug")));
  EXPECT_EQ(log.lines, (Lines{"move window 1350 1350"}));
}

TEST_F(RuntimeTest, MovesArriveInTheControlsOwnTwips) {
  auto& w = started();
  rt.moveAt(w, 500 + 2000, 500 + 2500);
  rt.moveAt(w, 500 + 850, 500 + 820);
  rt.move(w.control<Line>("Trace"), 10, 20);  // a line passes it to its container
  EXPECT_EQ(log.lines, (Lines{"move Field 2000 2500", "move Bug 50 20", "move Field 10 20"}));
}

// Presses at the picture Bug (1350, 1350), the button Front (700, 700) and
// the bare window; each group starts well after the one before.
TEST_F(RuntimeTest, PressesClickByButtonAndDoubleClicksComeInPairs) {
  auto& w = started();
  w.click = [] { (*gLog)("click window"); };
  using B = MouseButton;
  struct Press {
    Twips x, y;
    Millis after = 0;
    B button = B::Left;
  };
  Millis t = 0;
  auto clicks = [&](std::initializer_list<Press> presses) {
    log.lines.clear();
    t += 10000;
    for (const Press& p : presses) rt.press(w, p.x, p.y, p.button, t += p.after);
    return log.lines.size();
  };
  EXPECT_EQ(clicks({{1350, 1350}, {1350, 1350, 500}}), 1u);  // within the double-click time
  EXPECT_EQ(clicks({{1350, 1350}, {1350, 1350, 501}}), 2u);
  EXPECT_EQ(clicks({{1350, 1350}, {1350, 1350}, {1350, 1350}, {1350, 1350}}), 2u);
  // The rectangle is 60 twips across, centred on the first press.
  EXPECT_EQ(clicks({{1350, 1350}, {1380, 1320}}), 1u);
  EXPECT_EQ(clicks({{1350, 1350}, {1395, 1350}}), 2u);
  EXPECT_EQ(clicks({{1350, 1350}, {1350, 1305}}), 2u);
  // Either button clicks a picture; a pair is the same button twice on the
  // same control, with no other press between.
  EXPECT_EQ(clicks({{1350, 1350, 0, B::Right}, {1350, 1350, 0, B::Right}}), 1u);
  EXPECT_EQ(clicks({{1350, 1350, 0, B::Right}, {1350, 1350}}), 2u);
  EXPECT_EQ(clicks({{1350, 1350}, {700, 700}, {1350, 1350}}), 3u);
  EXPECT_EQ(clicks({{1350, 1350, 0, B::Other}}), 0u);
  // A button takes every left press and no other; the window pairs too.
  EXPECT_EQ(clicks({{700, 700}, {700, 700}, {700, 700, 0, B::Right}}), 2u);
  EXPECT_EQ(clicks({{5500, 3800}, {5500, 3800}}), 1u);
  EXPECT_EQ(log.lines, (Lines{"click window"}));
  w.hide();
  EXPECT_FALSE(rt.press(w, 5500, 3800, B::Left, t));
}

TEST_F(RuntimeTest, SpaceAndEnterPressTheFocusedButtonOfTheActiveWindow) {
  auto& w = started();
  rt.pressKey("space");  // nothing has the focus yet
  w.Front.setFocus();
  rt.pressKey("space");
  rt.pressKey("enter");
  rt.pressKey("a");
  w.Front.setEnabled(false);
  rt.pressKey("space");
  EXPECT_EQ(log.lines, (Lines{"click Front", "click Front"}));
  // A click gives a button the focus.
  auto& give = w.control<CommandButton>("Give", 0);
  rt.click(give);
  EXPECT_TRUE(give.hasFocus());
}

// A one-pixel 24-bit BMP of the colour 0xRRGGBB.
std::string onePixelBmp(std::uint32_t rgb) {
  auto le = [](std::uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i));
    return out;
  };
  return "BM" + le(58, 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(1, 4) + le(1, 4) + le(1, 2) +
         le(24, 2) + le(0, 4) + le(4, 4) + le(2835, 4) + le(2835, 4) + le(0, 4) + le(0, 4) +
         le(rgb, 3) + le(0, 1);
}

TEST(Pictures, DecoderNamesTheFileAndTheReason) {
  SdlPictureDecoder decoder;
  EXPECT_THROW(decoder.decodeFile(std::string(BRIZZLET_TEST_DATA) + "/corrupt.gif"), FatalError);
  // Files that are no picture, and pictures larger than a screen, which are
  // refused from their headers: each is all the decoder gets to see. A missing
  // file is named with its reason last.
  auto error = [&](const std::string& path) {
    try {
      decoder.decodeFile(path);
    } catch (const FatalError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  auto file = [](const std::string& name, std::string bytes) {
    std::string path = testing::TempDir() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  };
  using namespace std::string_literals;
  std::string dir = testing::TempDir() + "/plor2.gif";
  std::filesystem::create_directories(dir);
  EXPECT_EQ(error(dir), "LoadPicture: cannot read \"" + dir + "\": it is a directory");
  // What is no file is refused before it is opened: a named pipe would block.
  std::string fifo = testing::TempDir() + "/plor1.gif";
  std::filesystem::remove(fifo);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(error(fifo),
            "LoadPicture: cannot read \"" + fifo + "\": it is a named pipe, not a file");
  EXPECT_EQ(error("/dev/zero"),
            "LoadPicture: cannot read \"/dev/zero\": it is a device, not a file");
  std::string empty = file("plor3.gif", "");
  EXPECT_EQ(error(empty), "LoadPicture: cannot read \"" + empty + "\": the file is empty");
  std::string text = file("plor4.gif", "hello");
  EXPECT_EQ(error(text), "LoadPicture: cannot decode \"" + text +
                             "\": it is not a GIF, PNG, JPEG, BMP, ICO or CUR picture");
  std::string png = file("plor5.gif", "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x2e\xe0\0\0\x2e\xe0"s);
  EXPECT_EQ(error(png), "LoadPicture: cannot show \"" + png +
                            "\": the picture is 12000 x 12000 pixels, more than 8192 a side");
  // A small screen, a comment, then a frame wider than any screen.
  std::string gif = file("plor6.gif",
                         "GIF89a\1\0\1\0\0\0\0"
                         "\x21\xfe\3abc\0"
                         "\x2c\0\0\0\0\x29\x23\1\0\0\2\0"s);
  EXPECT_NE(error(gif).find("9001 x 1 pixels"), std::string::npos) << error(gif);
  // Stored top down, its height negative.
  std::string bmp =
      file("plor7.gif", "BM"s + std::string(12, '\0') + "\x28\0\0\0\1\0\0\0\xd7\xdc\xff\xff"s);
  EXPECT_NE(error(bmp).find("1 x 9001 pixels"), std::string::npos) << error(bmp);

  // The same bytes are decoded once, but the file is read at every load: new
  // bytes, damaged bytes or a removed file are seen at once.
  std::string pic = file("plor8.gif", onePixelBmp(0xFF0000));
  PictureRef red = decoder.decodeFile(pic);
  EXPECT_EQ(decoder.decodeFile(pic), red);
  file("plor8.gif", onePixelBmp(0x00FF00));
  PictureRef green = decoder.decodeFile(pic);
  EXPECT_EQ(green->argb.at(0), 0xFF00FF00u);
  // The same bytes and more after them: a new file, not the one decoded.
  file("plor8.gif", onePixelBmp(0x00FF00) + "more");
  EXPECT_NE(decoder.decodeFile(pic), green);
  file("plor8.gif", "hello");
  EXPECT_NE(error(pic).find("it is not a GIF"), std::string::npos) << error(pic);
  file("plor8.gif", onePixelBmp(0x00FF00));
  std::filesystem::remove(pic);
  EXPECT_EQ(error(pic), "LoadPicture: cannot read \"" + pic + "\": No such file or directory");
}

TEST(FilePath, JoinsTheLayoutsNamesWithEachSystemsSeparator) {
  EXPECT_EQ(filePath("/games/brizzlet", "\\gun.wav", '/'), "/games/brizzlet/gun.wav");
  EXPECT_EQ(filePath("C:\\Games", "\\gun.wav", '\\'), "C:\\Games\\gun.wav");
  // A root already ends in its separator; a Linux directory's backslash is
  // part of its name, not a separator.
  EXPECT_EQ(filePath("/", "\\gun.wav", '/'), "/gun.wav");
  EXPECT_EQ(filePath("C:\\", "\\gun.wav", '\\'), "C:\\gun.wav");
  EXPECT_EQ(filePath("C:/Games/", "\\a/b.gif", '\\'), "C:/Games/a\\b.gif");
  EXPECT_EQ(filePath("/odd\\", "\\gun.wav", '/'), "/odd\\/gun.wav");
}

}  // namespace
}  // namespace brz
