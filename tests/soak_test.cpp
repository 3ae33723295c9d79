// SPDX-License-Identifier: GPL-3.0-or-later
// A month of play in virtual time on the real windows: the menu left idle for
// hours, rounds of every mode played to their ends, a Basmi round left running
// for most of a day, and the balm button falling for ever once a balm round
// has dropped it. Between big steps of the clock it checks that memory and
// the windows stay as they were, that no tick is lost, and that no position
// stops moving or jumps because single precision ran out.
//   BRIZZLET_SOAK_DAYS=365 build/tests/soak_test    (a sanitizer build runs 3)
#include <gtest/gtest.h>
#include <malloc.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "game/form1.h"
#include "menu/menutama.h"
#include "menu/start.h"
#include "platform/counters.h"
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

constexpr Millis kHour = 3600 * 1000;
constexpr Millis kDay = 24 * kHour;

class Soak : public testing::Test {
 protected:
  Soak() {
    rt = std::make_unique<Runtime>(host, [this](const std::string&) { ++traceLines; });
    startBrizzlet(*rt);
    auto flight = g().Timer1.tick;  // counted from outside, the handler left as it is
    g().Timer1.tick = [this, flight] {
      ++flightTicks;
      flight();
    };
  }
  Form1& g() { return rt->form<Form1>(); }
  menutama& m() { return rt->form<menutama>(); }
  void wait(Millis ms) { rt->advanceTo(rt->now() + ms); }
  void click(Control& c) { ASSERT_TRUE(rt->click(c)) << c.ref(); }
  void hit(Image& mosquito) {
    if (g().plor.text() == "0") click(g().reload);
    click(mosquito);
    wait(150);
  }

  // The clock in steps of an hour at most, checking after each what must
  // never change; the idle menu writes nothing to the trace.
  void idle(Millis length) {
    for (Millis left = length; left > 0 && !HasFatalFailure(); left -= kHour) {
      long traced = traceLines;
      wait(std::min(kHour, left));
      ASSERT_TRUE(rt->running()) << rt->fatalError();
      ASSERT_EQ(rt->windows().size(), 2u);
      ASSERT_EQ(flightTicks, rt->now() / 50) << "a flight tick lost or added";
      for (const Image* n : {&g().nyamuk1, &g().nyamuk2, &g().nyamuk3, &g().nyamuk4, &g().nyamuk5})
        ASSERT_TRUE(n->left() >= -400 && n->left() <= 9900) << n->name() << " " << n->left();
      ASSERT_TRUE(std::isfinite(g().Command1.top()));
      if (!g().visible()) {
        EXPECT_EQ(traceLines, traced) << "the idle menu writes to the trace";
      }
    }
  }

  // One flight tick, each mosquito a whole step of its speed times the level.
  void checkOneFlightTick() {
    Image* lanes[] = {&g().nyamuk1, &g().nyamuk2, &g().nyamuk3, &g().nyamuk4, &g().nyamuk5};
    const int speeds[] = {-5, -6, -5, 6, 4};
    double expected[5];
    for (int i = 0; i < 5; ++i) {
      expected[i] = lanes[i]->left() + speeds[i] * toNumber(g().ganas.text());
      if (speeds[i] < 0 && expected[i] < 1) expected[i] = g().Frame1.width();
      if (speeds[i] > 0 && expected[i] > g().Frame1.width()) expected[i] = -400;
    }
    wait(50);
    for (int i = 0; i < 5; ++i)
      ASSERT_EQ(lanes[i]->left(), expected[i]) << lanes[i]->name() << ", day " << rt->now() / kDay;
  }

  void playRounds(bool leaveBasmiRunning) {
    click(m().Command1);  // Time Attack runs out
    hit(g().nyamuk1);
    wait(60 * 1000);
    EXPECT_FALSE(g().visible()) << "a Time Attack round did not run out";

    click(m().Command3);  // ten hits drop the balm button; a catch; the bites end it
    for (int n = 0; n < 10; ++n) hit(g().nyamuk3);
    wait(400);
    if (g().visible() && rt->canTakeInput(g().Command1)) click(g().Command1);
    for (int n = 0; n < 60 && g().visible(); ++n) wait(10 * 1000);
    EXPECT_FALSE(g().visible()) << "a balm round was never bitten to its end";

    click(m().Command2);  // all thirty, the highest visible number first
    for (int n = 0; n < 40 && g().visible(); ++n)
      for (Image* i : {&g().nyamuk5, &g().nyamuk4, &g().nyamuk3, &g().nyamuk2, &g().nyamuk1})
        if (i->visible()) {
          hit(*i);
          break;
        }
    EXPECT_FALSE(g().visible()) << "a Basmi round did not end with its last mosquito";
    if (!leaveBasmiRunning) return;

    // Left alone for twenty hours, the score drains for ever in whole numbers.
    click(m().Command2);
    hit(g().nyamuk1);
    double last = toNumber(g().Score.text());
    for (int hour = 0; hour < 20 && !HasFatalFailure(); ++hour) {
      idle(kHour);
      ASSERT_NO_FATAL_FAILURE(checkOneFlightTick());
      double score = toNumber(g().Score.text());
      ASSERT_LT(score, last) << "the score stopped draining";
      ASSERT_EQ(g().Score.text(), numberText(std::trunc(score)));
      last = score;
    }
    click(g().Command3_0);  // give up
  }

  GameHost host{BRIZZLET_ASSETS_DIR};
  std::unique_ptr<Runtime> rt;
  long traceLines = 0, flightTicks = 0;
};

TEST_F(Soak, AMonthOfPlayKeepsMemoryTicksAndPositions) {
  const char* asked = std::getenv("BRIZZLET_SOAK_DAYS");
  const long days = asked && *asked ? std::atol(asked) : BRIZZLET_SANITIZED ? 3 : 30;
  size_t heapAfterFirstDay = 0;
  for (long day = 0; day < days && !HasFatalFailure(); ++day) {
    idle(kHour);
    ASSERT_NO_FATAL_FAILURE(playRounds(day % 2 == 1));
    float restingTop = g().Command1.top();
    idle((day + 1) * kDay - kHour - rt->now());
    // The menu's animation and the fallen balm button have come to rest.
    float frame = m().Frame2.left(), ticker = m().Label6.left();
    idle(kHour);
    EXPECT_EQ(m().Frame2.left(), frame);
    EXPECT_EQ(m().Label6.left(), ticker);
    EXPECT_EQ(g().Command1.top(), restingTop);
    if (day == 0) heapAfterFirstDay = mallinfo2().uordblks;
  }
  ASSERT_EQ(rt->now(), days * kDay);
  // Later days keep nothing the first did not (a little slack for the
  // allocator's own bookkeeping).
  if (!BRIZZLET_SANITIZED && days > 1) {
    EXPECT_LE(mallinfo2().uordblks, heapAfterFirstDay + 64 * 1024);
  }
  std::cout << days << " days; " << flightTicks << " flight ticks\n";
}

}  // namespace
}  // namespace brz
