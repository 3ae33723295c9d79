// SPDX-License-Identifier: GPL-3.0-or-later
// A month of play in virtual time on the real windows: the menu left idle for
// hours, rounds of every mode played to their ends, a Basmi round left running
// for most of a day, and the balm button falling for ever once a balm round has
// dropped it. Between big steps of the clock it checks that memory and the
// windows stay as they were, that no tick is lost, and that no position stops
// moving or jumps because single precision ran out.
//
// It takes a few seconds for the month; a sanitizer build runs three days
// unless told otherwise:
//   BRIZZLET_SOAK_DAYS=365 build/tests/soak_test
#include <gtest/gtest.h>
#include <malloc.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "game/form1.h"
#include "menu/menutama.h"
#include "menu/start.h"
#include "platform/counters.h"
#include "platform/sdl_pictures.h"
#ifdef BRIZZLET_HAVE_ASSETS
#include "assets/layout_pictures.h"
#endif

#if defined(__SANITIZE_ADDRESS__)
#define BRIZZLET_SANITIZED 1  // the sanitizer keeps its own heap, and is slow
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRIZZLET_SANITIZED 1
#endif
#endif
#ifndef BRIZZLET_SANITIZED
#define BRIZZLET_SANITIZED 0
#endif

namespace brz {
namespace {

constexpr Millis kSecond = 1000;
constexpr Millis kMinute = 60 * kSecond;
constexpr Millis kHour = 60 * kMinute;
constexpr Millis kDay = 24 * kHour;

long soakDays() {
  const char* text = std::getenv("BRIZZLET_SOAK_DAYS");
  return text && *text ? std::atol(text) : BRIZZLET_SANITIZED ? 3 : 30;
}

size_t heapInUse() {
#if BRIZZLET_SANITIZED
  return 0;
#else
  return mallinfo2().uordblks;
#endif
}

class Soak : public testing::Test {
 protected:
  Soak() {
    Services services;
    services.pictures = &decoder;
#ifdef BRIZZLET_HAVE_ASSETS
    services.layoutPictures = [](std::string_view name) { return assets::layoutPicture(name); };
#endif
    services.trace = [this](const std::string&) { ++traceLines; };
    rt = std::make_unique<Runtime>(services);
    rt->setStartDirectory(BRIZZLET_ASSETS_DIR);
    startBrizzlet(*rt);
    // Count the flight ticks from outside, leaving the handler as it is.
    auto flight = game().Timer1.tick;
    game().Timer1.tick = [this, flight] {
      ++flightTicks;
      flight();
    };
    gameControls = game().controls().size();
    menuControls = menu().controls().size();
  }

  Form1& game() {
    return rt->form<Form1>();
  }
  menutama& menu() {
    return rt->form<menutama>();
  }
  void wait(Millis ms) {
    rt->advanceTo(rt->now() + ms);
  }
  void click(Control& control) {
    ASSERT_TRUE(rt->click(control)) << control.ref();
  }

  // A shot at a mosquito, reloading first when the magazine is empty.
  void hit(Image& mosquito) {
    if (game().plor.text() == "0") click(game().reload);
    click(mosquito);
    wait(150);
  }

  // The clock in big steps, checking after each what must never change.
  void idle(Millis length, Millis step = kHour) {
    for (Millis left = length; left > 0 && !HasFatalFailure(); left -= step) {
      long traced = traceLines;
      wait(std::min(step, left));
      checkRun();
      if (!game().visible()) {
        EXPECT_EQ(traceLines, traced) << "the idle menu writes to the trace";
      }
    }
  }

  void checkRun() {
    ASSERT_TRUE(rt->running()) << rt->fatalError();
    ASSERT_EQ(rt->windows().size(), 2u);
    ASSERT_EQ(game().controls().size(), gameControls);
    ASSERT_EQ(menu().controls().size(), menuControls);
    // Not one flight tick lost or added, however far the clock has gone.
    ASSERT_EQ(flightTicks, rt->now() / 50);
    for (const Image* m :
         {&game().nyamuk1, &game().nyamuk2, &game().nyamuk3, &game().nyamuk4, &game().nyamuk5}) {
      ASSERT_GE(m->left(), -400) << m->name();
      ASSERT_LE(m->left(), 9900) << m->name();
    }
    ASSERT_TRUE(std::isfinite(game().Command1.top()));
    ASSERT_TRUE(std::isfinite(menu().Label6.left()));
  }

  // One tick of the flight, checked against the step each mosquito must make.
  void checkOneFlightTick() {
    Form1& g = game();
    struct Lane {
      Image& mosquito;
      int speed;
      bool leftward;
    };
    Lane lanes[] = {{g.nyamuk1, 5, true},
                    {g.nyamuk2, 6, true},
                    {g.nyamuk3, 5, true},
                    {g.nyamuk4, 6, false},
                    {g.nyamuk5, 4, false}};
    double level = toNumber(g.ganas.text());
    double expected[5];
    for (int i = 0; i < 5; ++i) {
      double step = lanes[i].speed * level;
      double next = lanes[i].mosquito.left() + (lanes[i].leftward ? -step : step);
      if (lanes[i].leftward && next < 1) next = g.Frame1.width();
      if (!lanes[i].leftward && next > g.Frame1.width()) next = -400;
      expected[i] = next;
    }
    wait(50);
    for (int i = 0; i < 5; ++i)
      ASSERT_EQ(lanes[i].mosquito.left(), expected[i])
          << lanes[i].mosquito.name() << " at level " << level << ", day " << rt->now() / kDay;
  }

  void playTimeAttack() {
    click(menu().Command1);
    hit(game().nyamuk1);
    wait(kMinute);
    EXPECT_FALSE(game().visible()) << "a Time Attack round did not run out";
  }

  // Ten hits drop the balm button; one catch adds a balm; the bites end it.
  void playBalm() {
    click(menu().Command3);
    for (int n = 0; n < 10; ++n) hit(game().nyamuk3);
    EXPECT_TRUE(game().Timer4.enabled());
    wait(400);  // it falls into the field
    if (game().visible() && rt->canTakeInput(game().Command1)) click(game().Command1);
    for (int n = 0; n < 60 && game().visible(); ++n) wait(10 * kSecond);
    EXPECT_FALSE(game().visible()) << "a balm round was never bitten to its end";
  }

  // All thirty, the visible mosquito with the highest number first.
  void playBasmi() {
    click(menu().Command2);
    Form1& g = game();
    for (int n = 0; n < 40 && g.visible(); ++n) {
      for (Image* m : {&g.nyamuk5, &g.nyamuk4, &g.nyamuk3, &g.nyamuk2, &g.nyamuk1})
        if (m->visible()) {
          hit(*m);
          break;
        }
    }
    EXPECT_FALSE(g.visible()) << "a Basmi round did not end with its last mosquito";
    EXPECT_EQ(g.sisa.text(), "0");
  }

  // A Basmi round with its clock running, left alone: the mosquitoes fly for
  // hours and the score drains for ever.
  void leaveBasmiRunning(Millis length) {
    click(menu().Command2);
    hit(game().nyamuk1);
    double lastScore = toNumber(game().Score.text());
    for (Millis left = length; left > 0 && !HasFatalFailure(); left -= kHour) {
      wait(std::min(kHour, left));
      checkRun();
      ASSERT_NO_FATAL_FAILURE(checkOneFlightTick());
      double score = toNumber(game().Score.text());
      ASSERT_LT(score, lastScore) << "the score stopped draining";
      ASSERT_EQ(game().Score.text(), numberText(score));
      ASSERT_EQ(score, std::trunc(score));
      lastScore = score;
    }
    click(game().Command3_0);  // give up
  }

  SdlPictureDecoder decoder;
  std::unique_ptr<Runtime> rt;
  long traceLines = 0;
  long flightTicks = 0;
  size_t gameControls = 0, menuControls = 0;
};

TEST_F(Soak, AMonthOfPlayKeepsMemoryTicksAndPositions) {
  const long days = soakDays();
  auto started = std::chrono::steady_clock::now();
  size_t heapAfterFirstDay = 0;
  for (long day = 0; day < days && !HasFatalFailure(); ++day) {
    Millis dayStart = rt->now();
    idle(kHour);
    ASSERT_NO_FATAL_FAILURE(playTimeAttack());
    ASSERT_NO_FATAL_FAILURE(playBalm());
    ASSERT_NO_FATAL_FAILURE(playBasmi());
    // The balm button has fallen to its resting place and stays there.
    EXPECT_TRUE(game().Timer4.enabled());
    float restingTop = game().Command1.top();
    if (day % 2 == 1) {
      ASSERT_NO_FATAL_FAILURE(leaveBasmiRunning(20 * kHour));
    }
    idle(dayStart + kDay - kHour - rt->now());
    // The menu's animation has come to rest: the last hour changes none of it.
    float frame = menu().Frame2.left(), ticker = menu().Label6.left();
    idle(kHour);
    EXPECT_EQ(menu().Frame2.left(), frame);
    EXPECT_EQ(menu().Label6.left(), ticker);
    EXPECT_EQ(game().Command1.top(), restingTop);
    if (day == 0) heapAfterFirstDay = heapInUse();
  }
  ASSERT_EQ(rt->now(), days * kDay);
  // Whatever the first day allocated is all there is: later days add nothing
  // that stays (a little slack for the allocator's own bookkeeping).
  if (!BRIZZLET_SANITIZED && days > 1) {
    EXPECT_LE(heapInUse(), heapAfterFirstDay + 64 * 1024)
        << "heap in use grew from " << heapAfterFirstDay << " to " << heapInUse() << " bytes";
  }
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::cout << days << " days of virtual time in " << seconds << " s (" << seconds / days
            << " s a day); " << flightTicks << " flight ticks; heap in use " << heapInUse()
            << " bytes\n";
}

}  // namespace
}  // namespace brz
