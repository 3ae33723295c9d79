// SPDX-License-Identifier: GPL-3.0-or-later
// A seeded monkey plays the real windows: random clicks, moves, key presses,
// window closes and waits over every control of both windows, across many
// rounds of every mode, with the real picture files read and decoded. After
// every step it checks the rules that hold whatever the player does. A failure
// names the seed and the step; the same seed replays it exactly. Then a month
// of play in virtual time, and long waits of the scenario runner.
//
// By hand, a longer run or another seed, or a year:
//   BRIZZLET_MONKEY_STEPS=500000 BRIZZLET_MONKEY_SEED=42 build/tests/monkey_test
//   BRIZZLET_SOAK_DAYS=365 build/tests/monkey_test --gtest_filter='Soak*'
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "game/form1.h"
#include "menu/menutama.h"
#include "menu/start.h"
#include "platform/counters.h"
#include "platform/script/script_runner.h"
#include "tools/game_host.h"

#ifndef __has_feature
#define __has_feature(x) 0
#endif
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
#define BRIZZLET_SANITIZED 1  // the sanitizer keeps its own heap, and is slow
#else
#define BRIZZLET_SANITIZED 0
#endif

namespace brz {
namespace {

const std::array<std::string_view, 3> kModeCaptions = {kTimeAttackCaption, kBasmiCaption,
                                                       kBalmCaption};
const char* const kModeNames[] = {"Time Attack", "Basmi", "balm"};
constexpr int kNoRound = -1;
constexpr Twips kBackdropWidth = 13000;  // the menu behind a round

// The game's pictures decoded, its files in the assets' directory; a message
// box only counted.
struct CountingHost : GameHost {
  CountingHost() : GameHost(BRIZZLET_ASSETS_DIR) {}
  int messageBoxes = 0;
  void messageBox(const std::string&) override { ++messageBoxes; }
};

std::uint64_t envNumber(const char* name, std::uint64_t fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

// The plain decimal text the game writes into its counters: no exponent, no
// "-0", no leading zeros, no blanks.
bool isPlainNumber(const std::string& text) {
  return numberText(toNumber(text)) == text;
}

struct Stats {
  long programs = 0;
  std::array<long, 3> ends{}, givenUp{};
};

// One step of the player.
struct Action {
  enum Kind { Wait, Click, ClickAt, Move, MoveAt, Key, Close } kind = Wait;
  Window* window = nullptr;    // ClickAt, MoveAt, Close; Click and Move on a window
  Control* control = nullptr;  // Click and Move on a control
  Twips x = 0, y = 0;
  Millis ms = 0;
  std::string key = "";
};

class Monkey {
 public:
  explicit Monkey(std::uint64_t seed) : random_(seed) { startProgram(); }

  // One random step, then the rules. Returns the first rule broken, or "".
  std::string step();
  const Stats& stats() const { return stats_; }

 private:
  Form1& game() { return rt_->form<Form1>(); }
  menutama& menu() { return rt_->form<menutama>(); }
  int pick(int n) {
    return n > 0 ? static_cast<int>(random_() % static_cast<std::uint64_t>(n)) : 0;
  }
  bool chance(int percent) { return pick(100) < percent; }
  Twips coordinate(Twips low, Twips high) {
    return low + static_cast<Twips>(pick(static_cast<int>(high - low)));
  }

  void startProgram();
  Action choose();
  Control* pressed(const Action& a) const;
  std::string check(const Action& a, const Control* target);

  std::mt19937_64 random_;
  CountingHost host_;
  std::unique_ptr<Runtime> rt_;
  std::vector<Control*> everyControl_;
  Stats stats_;

  // What the monkey knows of the program, from what it did to it.
  int round_ = kNoRound;  // the mode being played, from a launch to its end
  std::array<std::string, 3> highScores_;
};

void Monkey::startProgram() {
  rt_ = std::make_unique<Runtime>(host_);
  startBrizzlet(*rt_);
  ++stats_.programs;
  round_ = kNoRound;
  highScores_ = {"1000", "1000", "1000"};
  everyControl_.clear();
  for (const auto& window : rt_->windows())
    for (const auto& c : window->controls()) everyControl_.push_back(c.get());
}

Action Monkey::choose() {
  Form1& g = game();
  menutama& m = menu();
  Image* const mosquitoes[] = {&g.nyamuk1, &g.nyamuk2, &g.nyamuk3, &g.nyamuk4, &g.nyamuk5};
  Control* const plays[] = {&m.Command1, &m.Command2, &m.Command3};
  Window* const windows[] = {&m, &g};
  auto click = [](Control* c) { return Action{.kind = Action::Click, .control = c}; };
  auto at = [](Action::Kind kind, Window* w, Twips x, Twips y) {
    return Action{.kind = kind, .window = w, .x = x, .y = y};
  };
  auto anyControl = [&] {  // or a window itself
    size_t i = pick(static_cast<int>(everyControl_.size()) + 2);
    return i < everyControl_.size()
               ? std::pair{everyControl_[i], nullptr}
               : std::pair<Control*, Window*>{nullptr, windows[i - everyControl_.size()]};
  };

  if (pick(1000) == 0) return {.kind = Action::Close, .window = windows[pick(2)]};
  // Out of bullets, a player mostly reloads; between rounds, mostly starts one.
  if (g.visible() && g.plor.text() == "0" && chance(40)) return click(&g.reload);
  if (!g.visible() && chance(25)) return click(plays[pick(3)]);

  int roll = pick(100);
  if (roll < 22) {  // wait: mostly a moment, sometimes long enough to end a round
    int scale = pick(10);
    return {.ms = scale < 6 ? pick(200) : scale < 9 ? 200 + pick(1800) : 2000 + pick(18000)};
  }
  if (roll < 52) {  // shoot at a mosquito, by name or at its place
    Image* target = mosquitoes[pick(5)];
    if (!target->visible() && chance(70))
      for (Image* other : mosquitoes)
        if (other->visible()) target = other;
    if (chance(50)) return click(target);
    return at(Action::ClickAt, &g, g.Frame1.left() + target->left() + coordinate(0, 495),
              g.Frame1.top() + target->top() + coordinate(0, 360));
  }
  if (roll < 58)  // shoot at the field
    return at(Action::ClickAt, &g, coordinate(0, g.Frame1.width()),
              g.Frame1.top() + coordinate(0, g.Frame1.height()));
  if (roll < 62) return click(&g.reload);
  if (roll < 72) {  // any control of either window, or a window itself
    auto [control, window] = anyControl();
    // EXIT ends the program; keep it rarer than the rest.
    if (control == &m.Command5 && !chance(20)) control = &m.Check1;
    return {.kind = Action::Click, .window = window, .control = control};
  }
  if (roll < 86) {  // a click or move anywhere, also just outside the client area
    Window* w = windows[pick(2)];
    return at(roll < 80 ? Action::ClickAt : Action::MoveAt, w,
              coordinate(-300, w->clientWidth() + 300), coordinate(-300, w->clientHeight() + 300));
  }
  if (roll < 93) {
    auto [control, window] = anyControl();
    Twips width = control ? control->width() : window->clientWidth();
    Twips height = control ? control->height() : window->clientHeight();
    Action a = at(Action::Move, window, coordinate(0, std::max<Twips>(width, 1)),
                  coordinate(0, std::max<Twips>(height, 1)));
    a.control = control;
    return a;
  }
  const char* const keys[] = {"space", "enter", "space", "enter", "escape", "a", "tab"};
  return {.kind = Action::Key, .key = keys[pick(static_cast<int>(std::size(keys)))]};
}

// The control a click or key press will reach, worked out before it happens
// from what the player can see; null when it reaches no control.
Control* Monkey::pressed(const Action& a) const {
  const Runtime& rt = *rt_;
  switch (a.kind) {
    case Action::Click: {
      Control* c = a.control;
      if (!c || !rt.canTakeInput(*c)) return nullptr;
      while (c && !c->takesMouse()) c = dynamic_cast<Control*>(&c->container());
      return c;
    }
    case Action::ClickAt:
      return a.window->visible() ? rt.hitTest(*a.window, a.x, a.y).control : nullptr;
    case Action::Key: {
      Window* w = rt.activeWindow();
      Control* c = w ? w->activeControl() : nullptr;
      if (!c || !rt.canTakeInput(*c)) return nullptr;
      bool button =
          c->kind() == ControlKind::CommandButton && (a.key == "space" || a.key == "enter");
      bool box = c->kind() == ControlKind::CheckBox && a.key == "space";
      return button || box ? c : nullptr;
    }
    default:
      return nullptr;
  }
}

std::string Monkey::step() {
  if (!rt_->running()) startProgram();  // after a close or EXIT: the player starts it again
  Action a = choose();
  Control* target = pressed(a);
  Runtime& rt = *rt_;
  if (a.kind == Action::Wait) rt.advanceTo(rt.now() + a.ms);
  if (a.kind == Action::Click) a.control ? rt.click(*a.control) : rt.click(*a.window);
  if (a.kind == Action::ClickAt) rt.press(*a.window, a.x, a.y, MouseButton::Left, rt.now());
  if (a.kind == Action::Move)
    a.control ? rt.move(*a.control, a.x, a.y) : rt.move(*a.window, a.x, a.y);
  if (a.kind == Action::MoveAt) rt.moveAt(*a.window, a.x, a.y);
  if (a.kind == Action::Key) rt.pressKey(a.key);
  if (a.kind == Action::Close) rt.close(*a.window);
  return check(a, target);
}

std::string Monkey::check(const Action& a, const Control* target) {
  Runtime& rt = *rt_;
  int boxes = host_.messageBoxes;
  host_.messageBoxes = 0;

  if (!rt.fatalError().empty()) return "fatal run-time error: " + rt.fatalError();
  bool endsProgram = a.kind == Action::Close || target == &menu().Command5;
  if (rt.ended() != endsProgram)
    return rt.ended() ? "the program ended by itself" : "the program did not end";
  if (rt.ended()) return "";

  Form1& g = game();
  menutama& m = menu();
  if (rt.windows().size() != 2) return "a window was added or lost";
  if (boxes != (target == &m.Command4 ? 1 : 0))
    return "a message box came from somewhere other than About";

  // The round: from an accepted Play press with the game window hidden to the
  // end of that round, which alone narrows the menu from the backdrop.
  int endedRound = kNoRound;
  const Control* const plays[] = {&m.Command1, &m.Command2, &m.Command3};
  auto play = std::find(std::begin(plays), std::end(plays), target);
  bool launched = round_ == kNoRound && play != std::end(plays);
  if (launched) round_ = static_cast<int>(play - std::begin(plays));
  if (!launched && round_ != kNoRound && m.width() != kBackdropWidth) {
    endedRound = round_;
    ++stats_.ends[round_];
    if (g.caption().empty()) ++stats_.givenUp[round_];
    round_ = kNoRound;
  }
  if (g.visible() != (round_ != kNoRound))
    return g.visible() ? "the game window is shown with no round running"
                       : "the game window is hidden during a round";
  if (round_ != kNoRound && g.caption() != kModeCaptions[round_])
    return "a round of mode " + std::to_string(round_) + " has the caption \"" + g.caption() + "\"";

  for (TextBox* counter : {&g.Score, &g.Balsem, &g.sisa, &g.time, &g.ganas, &g.plor})
    if (!isPlainNumber(counter->text()))
      return counter->name() + " holds \"" + counter->text() + "\", not a number";
  double bullets = toNumber(g.plor.text());
  if (bullets < 0 || bullets > 6 || bullets != static_cast<int>(bullets))
    return "the magazine holds " + g.plor.text();
  if (g.Frame1.enabled() != (g.plor.text() != "0"))
    return "the field's Enabled does not match " + g.plor.text() + " bullets";

  Label* highs[] = {&m.high1, &m.high2, &m.high3};
  for (int mode = 0; mode < 3; ++mode) {
    const std::string& now = highs[mode]->caption();
    if (!isPlainNumber(now) || toInteger(now) < 1000)
      return highs[mode]->name() + " is \"" + now + "\"";
    if (toInteger(now) < toInteger(highScores_[mode]))
      return highs[mode]->name() + " fell from " + highScores_[mode] + " to " + now;
    if (now != highScores_[mode] && endedRound != mode)
      return highs[mode]->name() + " changed outside the end of a " + kModeNames[mode] + " round";
    highScores_[mode] = now;
  }

  // The flight: every mosquito in its lane and on the field (leftward ones
  // come back at the field's width, rightward ones at -400).
  const Image* const lanes[] = {&g.nyamuk1, &g.nyamuk2, &g.nyamuk3, &g.nyamuk4, &g.nyamuk5};
  const Twips tops[] = {360, 1320, 2520, 720, 1920};
  for (int i = 0; i < 5; ++i)
    if (const Image& n = *lanes[i];
        n.top() != tops[i] || !(n.left() >= (i < 3 ? 1 : -400)) || !(n.left() <= 9900))
      return n.name() + " left its lane or the field: " + numberText(n.left()) + ", " +
             numberText(n.top());

  if (!g.Timer1.enabled() || g.Timer1.interval() != 50 || !m.Timer1.enabled())
    return "a timer that never stops has stopped";
  return "";
}

class MonkeyTest : public testing::TestWithParam<std::uint64_t> {};

TEST_P(MonkeyTest, RandomPlayKeepsEveryRule) {
  std::uint64_t seed = envNumber("BRIZZLET_MONKEY_SEED", GetParam());
  long steps = static_cast<long>(envNumber("BRIZZLET_MONKEY_STEPS", 25000));
  std::cout << "monkey seed " << seed << ", " << steps << " steps" << std::endl;
  Monkey monkey(seed);
  for (long n = 1; n <= steps; ++n) {
    std::string broken = monkey.step();
    if (!broken.empty())
      FAIL() << "seed " << seed << ", step " << n << ": " << broken
             << "\nreplay: BRIZZLET_MONKEY_SEED=" << seed << " BRIZZLET_MONKEY_STEPS=" << n;
  }
  // The monkey must really play: every mode ended, also without giving up.
  const Stats& s = monkey.stats();
  for (int mode = 0; mode < 3; ++mode)
    EXPECT_GT(s.ends[mode] - s.givenUp[mode], 0)
        << kModeNames[mode] << ": " << s.ends[mode] << " ended, " << s.givenUp[mode] << " given up";
  EXPECT_GT(s.programs, 1) << "no close or EXIT was tried";
}

INSTANTIATE_TEST_SUITE_P(Seeds, MonkeyTest, testing::Values(1, 2, 3, 4));

// A month of play in virtual time: every day a balm round that drops the balm
// button, which then falls for ever, a Basmi round left running for twenty
// hours, and the menu idle for the rest. Hour by hour no flight tick is lost
// or added, and a tick still moves each mosquito by a whole step of its speed
// times the level (single precision running out would stop or round it);
// each day ends with the menu and the button at rest, and later days keep no
// memory the first did not.
TEST(Soak, AMonthOfPlayKeepsMemoryTicksAndPositions) {
  constexpr Millis kHour = 3600 * 1000, kDay = 24 * kHour;
  const long days = static_cast<long>(envNumber("BRIZZLET_SOAK_DAYS", BRIZZLET_SANITIZED ? 3 : 30));
  CountingHost host;
  Runtime rt(host);
  startBrizzlet(rt);
  Form1& g = rt.form<Form1>();
  menutama& m = rt.form<menutama>();
  long flightTicks = 0;
  auto flight = g.Timer1.tick;  // counted from outside, the handler left as it is
  g.Timer1.tick = [&] { ++flightTicks, flight(); };
  auto hit = [&](Image& mosquito) {
    if (g.plor.text() == "0") rt.click(g.reload);
    EXPECT_TRUE(rt.click(mosquito)) << mosquito.name();
    rt.advanceTo(rt.now() + 150);
  };
  const std::pair<Image*, int> lanes[] = {
      {&g.nyamuk1, -5}, {&g.nyamuk2, -6}, {&g.nyamuk3, -5}, {&g.nyamuk4, 6}, {&g.nyamuk5, 4}};
  size_t heapAfterFirstDay = 0;
  for (long day = 0; day < days && !HasFailure(); ++day) {
    rt.click(m.Command3);
    for (int n = 0; n < 10; ++n) hit(g.nyamuk3);
    ASSERT_TRUE(g.Timer4.enabled()) << "no balm button dropped";
    rt.click(g.Command3_0);
    rt.click(m.Command2);
    hit(g.nyamuk1);
    for (int hour = 0; hour < 20 && !HasFailure(); ++hour) {
      double score = toNumber(g.Score.text()), level = toNumber(g.ganas.text());
      rt.advanceTo(rt.now() + kHour);
      ASSERT_LT(toNumber(g.Score.text()), score) << "the score stopped draining";
      ASSERT_EQ(g.Score.text(), numberText(std::trunc(toNumber(g.Score.text()))));
      for (auto [mosquito, speed] : lanes) {
        Twips left = mosquito->left(), step = speed * static_cast<Twips>(level);
        rt.advanceTo(rt.now() + 50);
        if (left + step < 1 || left + step > g.Frame1.width()) continue;  // out and in again
        ASSERT_EQ(mosquito->left(), left + step) << mosquito->name() << ", day " << day;
      }
    }
    rt.click(g.Command3_0);
    rt.advanceTo((day + 1) * kDay - kHour);
    ASSERT_EQ(flightTicks, rt.now() / 50) << "a flight tick lost or added, day " << day;
    Twips frame = m.Frame2.left(), ticker = m.Label6.left(), button = g.Command1.top();
    rt.advanceTo((day + 1) * kDay);
    EXPECT_TRUE(m.Frame2.left() == frame && m.Label6.left() == ticker) << "the menu is not at rest";
    EXPECT_EQ(g.Command1.top(), button) << "the balm button still falls";
    if (day == 0) heapAfterFirstDay = mallinfo2().uordblks;
  }
  // A little slack for the allocator's own bookkeeping.
  if (!BRIZZLET_SANITIZED && days > 1) {
    EXPECT_LE(mallinfo2().uordblks, heapAfterFirstDay + 65536);
  }
}

// A long wait skips only time in which nothing would change: thirty years
// and a bit after start-up or a logo click leave the windows as the same bit
// after ten minutes run tick by tick, also for a round played after it. A
// Basmi round never comes to rest, so there the wait stops with an error.
TEST(LongWaits, SkipOnlyTimeInWhichNothingChanges) {
  CountingHost host;
  ScriptRunner runner(startBrizzlet, host);
  auto run = [&](const std::string& script, int status) {
    std::istringstream in(script);
    std::ostringstream out;
    EXPECT_EQ(runner.run(in, out), status) << script.substr(0, 200) << "\n" << out.str();
    return out.str();
  };
  const std::string thirtyYears = "wait 946080001234\n";
  std::string tenMinutes;
  for (int n = 0; n < 200; ++n) tenMinutes += "wait 3000\n";  // each too short to skip any
  tenMinutes += "wait 1234\n";
  const std::string thenPlay = "click menutama.Command2\nclick Form1.nyamuk1\nwait 1700\ndump\n";

  for (std::string prelude : {"", "click menutama.Picture2\nwait 7\n"}) {
    SCOPED_TRACE(prelude);
    EXPECT_EQ(run(prelude + thirtyYears + thenPlay, kScriptPassed),
              run(prelude + tenMinutes + thenPlay, kScriptPassed));
  }
  EXPECT_EQ(run("click menutama.Command2\nclick Form1.nyamuk1\n" + thirtyYears, kScriptError),
            "script error at line 3: wait 946080001234 stopped after 3600000 ms: the program's "
            "state still changes, so a wait this long would run for ever\n");
}

}  // namespace
}  // namespace brz
