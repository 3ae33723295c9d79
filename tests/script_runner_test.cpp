// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/script/script_runner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/counters.h"

namespace brz {
namespace {

using K = ControlKind;

// clang-format off
constexpr ControlLayout kMainControls[] = {
    {.kind = K::Label, .name = "Say", .width = 900, .height = 300, .caption = "hello"},
    {.kind = K::CommandButton, .name = "Greet", .left = 1000, .top = 1000, .width = 1000, .height = 500},
    {.kind = K::CommandButton, .name = "Item", .index = 0, .top = 2000, .width = 400, .height = 400},
    {.kind = K::CommandButton, .name = "Item", .index = 1, .left = 500, .top = 2000, .width = 400, .height = 400},
    {.kind = K::Frame, .name = "Box", .left = 3000, .width = 2000, .height = 2000, .disabled = true},
    {.kind = K::CommandButton, .name = "Inside", .container = "Box", .left = 100, .top = 100, .width = 500, .height = 500},
    {.kind = K::CommandButton, .name = "Hidden", .top = 3000, .width = 500, .height = 500, .hidden = true},
    {.kind = K::CommandButton, .name = "Noise", .left = 100, .top = 3600, .width = 500, .height = 300},
    {.kind = K::CommandButton, .name = "Quit", .left = 1000, .top = 3500, .width = 500, .height = 300},
    {.kind = K::MediaPlayer, .name = "Player", .hidden = true},
};
// clang-format on

constexpr ControlLayout kSideControls[] = {
    {.kind = K::CommandButton, .name = "Knob", .left = 0, .top = 0, .width = 500, .height = 500},
};

class SideWindow : public Window {
 public:
  explicit SideWindow(Runtime& rt)
      : Window(rt, {.name = "Side", .clientWidth = 1000, .clientHeight = 1000}, kSideControls) {}
};

// A window with something for every command: a label the handlers write to,
// a control array, a disabled frame, a hidden button and a player.
class MainWindow : public Window {
 public:
  explicit MainWindow(Runtime& rt)
      : Window(rt, {.name = "Main", .caption = "Main", .clientWidth = 6000, .clientHeight = 4500},
               kMainControls) {
    load = [this] { runtime().form<SideWindow>(); };  // created, never shown
    unload = [this] { runtime().end(); };
    mouseMove = [this](Twips x, Twips y) {
      say.setCaption("window " + numberText(x) + " " + numberText(y));
    };
    say.click = [this] { say.setTag(numberText(toNumber(say.tag()) + 1)); };
    auto& greet = control<CommandButton>("Greet");
    greet.click = [this, &greet] {
      greet.setTag(numberText(toNumber(greet.tag()) + 1));
      say.setCaption("say \"hi\"  \\ twice");
    };
    greet.mouseMove = [this](Twips x, Twips y) {
      say.setCaption("Greet " + numberText(x) + " " + numberText(y));
    };
    for (int i = 0; i < 2; ++i)
      control<CommandButton>("Item", i).click = [this, i] {
        say.setCaption("item " + std::to_string(i));
      };
    control<CommandButton>("Hidden").click = [this] { say.setCaption("hidden clicked"); };
    control<CommandButton>("Noise").click = [this] {
      player.setFileName("/snd/gun.wav");
      player.play();
      runtime().msgBox("hi there");
    };
    control<CommandButton>("Quit").click = [this] { runtime().end(); };
  }
  Label& say = control<Label>("Say");
  MediaPlayer& player = control<MediaPlayer>("Player");
};

// Two small windows with no timers, for the order of a dump and long waits.
constexpr ControlLayout kTinyControls[] = {
    {.kind = K::Label, .name = "A", .caption = "a"},
    {.kind = K::Label, .name = "B", .index = 0},
    {.kind = K::Label, .name = "B", .index = 1},
};
class TinyWindow : public Window {
 public:
  explicit TinyWindow(Runtime& rt) : Window(rt, {.name = "Tiny"}, kTinyControls) {}
};

struct Result {
  int status;
  std::string out;
};

Result run(
    const std::string& script,
    ScriptRunner::Start start = [](Runtime& rt) { rt.start<MainWindow>(); }) {
  ScriptRunner runner(std::move(start));
  std::istringstream in(script);
  std::ostringstream out;
  int status = runner.run(in, out);
  return {status, out.str()};
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

// --- script errors ---------------------------------------------------------------

struct BadLine {
  const char* line;
  const char* message;  // how the report after "script error at line N: " begins
};

const BadLine kBadLines[] = {
    {"jump 5", "unknown command \"jump\""},
    {"click Nowhere", "unknown window \"Nowhere\""},
    {"click Main.Nothing", "unknown control \"Main.Nothing\""},
    {"click Main.Item(2)", "unknown control \"Main.Item(2)\""},
    {"click Main.Item", "\"Main.Item\" is a control array"},
    {"print Main.Greet.Colour", "unknown property \"Main.Greet.Colour\""},
    {"print Main.caption", "unknown property \"Main.caption\""},
    {"print Main", "malformed property \"Main\""},
    {"click Main..Greet", "malformed name \"Main..Greet\""},
    {"click Main.Item(1", "malformed name"},
    {"wait 1.5", "malformed time \"1.5\""},
    {"wait -5", "negative wait \"-5\""},
    {"wait 99999999999999999999999", "wait 99999999999999999999999 takes the clock past"},
    {"wait 1000000000000001", "wait 1000000000000001 takes the clock past its limit"},
    {"stall 1000000000000001", "stall 1000000000000001 takes the clock past its limit"},
    {"screen 1024 768 1", "screen comes before every other command"},
    {"clickat Main 1x 2", "malformed number \"1x\""},
    {"clickat Main 1 .5", "malformed number \".5\""},
    {"move Main.Greet nan 2", "malformed number"},
    {"clickat Main 1 1000000000000000000000000000000000000000000", "number out of range"},
    {"clickat Main 1", "wrong number of arguments: clickat WINDOW X Y [left|right|middle]"},
    {"clickat Main 1 2 Left", "a mouse button is left, right or middle, not \"Left\""},
    {"move Main.Greet 1", "wrong number of arguments: move REF X Y"},
    {"click", "wrong number of arguments: click REF"},
    {"click Main.Greet Main.Say", "wrong number of arguments: click REF"},
    {"trace On", "trace takes on or off, not \"On\""},
    {"expect Main.Say.Caption", "wrong number of arguments: expect REF.PROP VALUE"},
    {"close Main.Greet", "not a window: \"Main.Greet\""},
};

TEST(ScriptRunnerTest, BadLinesStopTheRunWithTheirLineNumber) {
  for (const BadLine& bad : kBadLines) {
    SCOPED_TRACE(bad.line);
    // Blank lines and comments count; nothing after the bad line runs.
    Result r = run("print Main.Say.Caption\n\n  # a comment\n" + std::string(bad.line) +
                   "\nprint Main.Say.Caption\n");
    EXPECT_EQ(r.status, kScriptError);
    auto out = lines(r.out);
    ASSERT_EQ(out.size(), 2u) << r.out;
    EXPECT_EQ(out[0], "Main.Say.Caption = \"hello\"");
    EXPECT_EQ(out[1].rfind("script error at line 4: " + std::string(bad.message), 0), 0u) << out[1];
  }
  // A bad line does nothing of what it names: Noise (at 100, 3600) would
  // trace a sound, but the bad Y is found first.
  Result r = run("trace on\nclickat Main 200 zz\n");
  EXPECT_EQ(r.out, "script error at line 2: malformed number \"zz\"\n");
  // An earlier failed expect does not change the status of a script error.
  r = run("expect Main.Say.Caption \"bye\"\nwait x\n");
  EXPECT_EQ(r.status, kScriptError);
}

// Control bytes and long words in what a message quotes stay off the terminal.
TEST(ScriptRunnerTest, MessagesQuoteTheScriptHarmlessly) {
  EXPECT_EQ(run(std::string("\x1b[2J\0\rx\n", 8)).out,
            "script error at line 1: unknown command \"\\x1b[2J\\x00\\x0dx\"\n");
  EXPECT_EQ(run(std::string(300'000, 'w') + " Main\n").out,
            "script error at line 1: unknown command \"" + std::string(128, 'w') +
                "...(300000 bytes)\"\n");
}

// Windows centre on the screen stated before the first command, else on 1024 x 768.
TEST(ScriptRunnerTest, WindowsCentreOnTheScriptsScreen) {
  EXPECT_EQ(run("print Main.Left\n").out, "Main.Left = 4605\n");
  EXPECT_EQ(run("# recorded\nscreen 2560 1600 2\nprint Main.Left\n").out, "Main.Left = 6525\n");
}

// --- input, expectations and values ------------------------------------------------

TEST(ScriptRunnerTest, InputThePlayerCouldNotMakeIsIgnoredAndEchoed) {
  Result r =
      run("click \t Main.Hidden  \n"
          "click Main.Inside\n"  // in the disabled frame
          "move Main.Hidden 1   2\n"
          "click Side\n"
          "click Side.Knob\n"
          "clickat Side 1 2\n"
          "moveat Side 1 2\n"
          "clickat Main 3200 200\n"  // over Inside: the disabled frame passes it to the window
          "print Main.Say.Caption\n");
  EXPECT_EQ(r.status, kScriptPassed);
  EXPECT_EQ(r.out,
            "ignored: click Main.Hidden\n"
            "ignored: click Main.Inside\n"
            "ignored: move Main.Hidden 1 2\n"
            "ignored: click Side\n"
            "ignored: click Side.Knob\n"
            "ignored: clickat Side 1 2\n"
            "ignored: moveat Side 1 2\n"
            "Main.Say.Caption = \"hello\"\n");
}

TEST(ScriptRunnerTest, ClickAtNamesAButtonAndMakesDoubleClicks) {
  // Say, a label, clicks with either button; Greet, a button, with the left.
  Result r =
      run("clickat Main 100 100\nclickat Main 120 80\n"  // a double click: one click
          "clickat Main 100 100 right\nwait 501\nclickat Main 100 100 right\n"
          "clickat Main 100 100 middle\nclickat Main 1100 1100 right\n"
          "print Main.Say.Tag\nprint Main.Greet.Tag\n");
  EXPECT_EQ(r.out, "Main.Say.Tag = \"3\"\nMain.Greet.Tag = \"\"\n");
}

TEST(ScriptRunnerTest, PointerAndKeysReachTheirControls) {
  Result r =
      run("moveat Main 1100.5 1200.25\n"
          "print Main.Say.Caption\n"
          "move Main.Greet -3 4.75\n"
          "print Main.Say.Caption\n"
          "move Main 7 8\n"
          "print Main.Say.Caption\n"
          "clickat Main 600 2100\n"
          "print Main.Say.Caption\n"
          "click Main.Item(0)\n"
          "print Main.Item(0).Caption\n"
          "print Main.ActiveControl\n");
  EXPECT_EQ(r.out,
            "Main.Say.Caption = \"Greet 100.5 200.25\"\n"
            "Main.Say.Caption = \"Greet -3 4.75\"\n"
            "Main.Say.Caption = \"window 7 8\"\n"
            "Main.Say.Caption = \"item 1\"\n"
            "Main.Item(0).Caption = \"\"\n"
            "Main.ActiveControl = \"Item(0)\"\n");
}

TEST(ScriptRunnerTest, FailedExpectationsAreReportedAndTheRunGoesOn) {
  Result r =
      run("click Main.Greet\r\n"
          "expect Main.Say.Caption \"say \\\"hi\\\"  \\\\ twice\"  \r\n"
          "expect Main.Say.Caption \"say \\\"hi\\\" \\\\ twice\"\n"
          "expect Main.Greet.Visible True\n"
          "expect Main.Greet.Left 1000.0\n"
          "expect Main.BackColor &H8000000F\n"
          "print Main.Greet.Tag\n");
  EXPECT_EQ(r.status, kScriptExpectFailed);
  EXPECT_EQ(r.out,
            "expect failed at line 3: Main.Say.Caption = \"say \\\"hi\\\"  \\\\ twice\", "
            "expected \"say \\\"hi\\\" \\\\ twice\"\n"
            "expect failed at line 5: Main.Greet.Left = 1000, expected 1000.0\n"
            "Main.Greet.Tag = \"1\"\n");
}

// --- how a run ends ----------------------------------------------------------------

TEST(ScriptRunnerTest, TheProgramsEndAndFatalErrorsStopTheScript) {
  Result r = run("click Main.Quit\nprint Main.Say.Caption\njump\n");
  EXPECT_EQ(r.status, kScriptPassed);
  EXPECT_EQ(r.out, "end\n");
  // While tracing, the end is the trace line alone.
  r = run("wait 30\ntrace on\nclose Main\nprint Main.Say.Caption\n");
  EXPECT_EQ(r.out, "[30] end\n");
  // A failed expect before the end still fails the run.
  r = run("expect Main.Caption \"Other\"\nclick Main.Quit\n");
  EXPECT_EQ(r.status, kScriptExpectFailed);
  EXPECT_EQ(lines(r.out).back(), "end");
  // Ended during its start: no line runs, not even a bad one.
  r = run("jump\n", [](Runtime& rt) {
    rt.start<MainWindow>();
    rt.guard([&] { rt.end(); });
  });
  EXPECT_EQ(r.status, kScriptPassed);
  EXPECT_EQ(r.out, "end\n");

  // A fatal error in a tick ends a scenario (missing_magazine_picture); here,
  // one during the start, also one the runtime does not catch, and in a
  // click: status 3.
  r = run("print Main.Say.Caption\n", [](Runtime& rt) { rt.guard([&] { rt.fatal("no start"); }); });
  EXPECT_EQ(r.status, kScriptFatal);
  EXPECT_EQ(r.out, "fatal: no start\n");
  r = run("print Main.Say.Caption\n", [](Runtime&) { throw std::logic_error("bad layout"); });
  EXPECT_EQ(r.status, kScriptFatal);
  EXPECT_EQ(r.out, "fatal: bad layout\n");
  // An earlier failed expect does not lower the status.
  r = run("expect Main.Caption \"x\"\nclick Main.Greet\n", [](Runtime& rt) {
    rt.start<MainWindow>();
    rt.form<MainWindow>().control<CommandButton>("Greet").click = [&rt] { rt.fatal("boom"); };
  });
  EXPECT_EQ(r.status, kScriptFatal);
}

// --- dump ---------------------------------------------------------------------------

TEST(ScriptRunnerTest, DumpListsWindowsInCreationOrderAndControlsInLayoutOrder) {
  Result r = run("dump\n", [](Runtime& rt) {
    rt.start<TinyWindow>();
    rt.form<SideWindow>();
  });
  EXPECT_EQ(r.status, kScriptPassed);
  std::vector<std::string> owners;
  for (const std::string& line : lines(r.out)) {
    std::string name = line.substr(0, line.find(" = "));
    std::string owner = name.substr(0, name.rfind('.'));
    if (owners.empty() || owners.back() != owner) owners.push_back(owner);
  }
  EXPECT_EQ(owners, (std::vector<std::string>{"Tiny", "Tiny.A", "Tiny.B(0)", "Tiny.B(1)", "Side",
                                              "Side.Knob"}));
  EXPECT_NE(r.out.find("\nTiny.A.Caption = \"a\"\n"), std::string::npos);
  EXPECT_EQ(lines(r.out).front(), "Tiny.Caption = \"\"");
}

}  // namespace
}  // namespace brz
