// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of a round, on the real windows, set up where a played scenario
// could hardly reach: mosquitoes placed at the boundaries, counters at their
// last step.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "game/form1.h"
#include "menu/menutama.h"
#include "menu/start.h"
#include "platform/counters.h"
#include "platform/properties.h"
#include "platform/rest.h"

namespace brz {
namespace {

// Without a decoder the runtime only opens the picture files.
class Round : public ::testing::Test {
 protected:
  Round() {
    rt = std::make_unique<Runtime>(host, [this](const std::string& line) {
      trace.push_back(std::to_string(rt->now()) + " " + line);
    });
    startBrizzlet(*rt);
  }

  Form1& game() { return rt->form<Form1>(); }
  menutama& menu() { return rt->form<menutama>(); }
  void wait(Millis ms) { rt->advanceTo(rt->now() + ms); }
  void click(Control& control) { ASSERT_TRUE(rt->click(control)) << control.ref(); }
  std::string file(const std::string& name) { return BRIZZLET_ASSETS_DIR "/" + name; }
  std::vector<Image*> mosquitoes() {
    Form1& g = game();
    return {&g.nyamuk1, &g.nyamuk2, &g.nyamuk3, &g.nyamuk4, &g.nyamuk5};
  }
  // Mid-field, where a few ticks at a low level move none out.
  void parkMosquitoes() {
    for (Image* m : mosquitoes()) m->setLeft(3000);
  }
  void expectLefts(std::vector<Image*> which, Twips left) {
    for (Image* m : which) EXPECT_EQ(m->left(), left) << m->name();
  }
  std::vector<std::string> traceOf(const std::string& what) {
    std::vector<std::string> found;
    for (const auto& line : trace)
      if (line.find(what) != std::string::npos) found.push_back(line);
    return found;
  }

  struct : HeadlessHost {
    std::string startDirectory() override { return BRIZZLET_ASSETS_DIR; }
  } host;
  std::vector<std::string> trace;
  std::unique_ptr<Runtime> rt;
};

using Lines = std::vector<std::string>;

TEST_F(Round, NothingMovesAtLevelZeroInOrOutOfARound) {
  // The trace holds what reaches outside: the music, not the compiled-in pictures.
  EXPECT_EQ(trace, (Lines{"0 sound MediaPlayer2 open " + file("backsound.mid")}));
  // That the menu then comes to rest is TheTicksSkippedAtRestChangeNothing.
  wait(5000);
  EXPECT_EQ(game().nyamuk1.left(), 5760);
  click(menu().Command1);  // Time Attack starts at level 0
  wait(5000);
  EXPECT_EQ(game().nyamuk5.left(), 600);
  EXPECT_EQ(game().nyamuk2.left(), 4800);
  EXPECT_EQ(game().Score.text(), "0");
}

TEST_F(Round, MosquitoesLeaveTheFieldStrictlyPastItsEdges) {
  click(menu().Command1);
  parkMosquitoes();
  game().ganas.setText("1");
  game().nyamuk1.setLeft(6);     // a step of 5 leaves it at exactly 1: it stays
  game().nyamuk4.setLeft(7449);  // a step of 6 leaves it at exactly the width: it stays
  wait(50);
  EXPECT_EQ(game().nyamuk1.left(), 1);
  EXPECT_EQ(game().nyamuk4.left(), 7455);
  EXPECT_EQ(game().Score.text(), "0");
  // One more tick: both are out, come back at the other side and cost 10 each,
  // the lanes in their order: nyamuk1's cost is counted before nyamuk4 moves.
  std::vector<Twips> fourAtEachCost;
  auto paintScore = game().Score.change;
  game().Score.change = [&] {
    fourAtEachCost.push_back(game().nyamuk4.left());
    paintScore();
  };
  wait(50);
  game().Score.change = paintScore;
  EXPECT_EQ(fourAtEachCost, (std::vector<Twips>{7455, -400}));
  EXPECT_EQ(game().nyamuk1.left(), 7455);
  EXPECT_EQ(game().nyamuk4.left(), -400);
  EXPECT_EQ(game().Score.text(), "-20");
}

TEST_F(Round, ABiteCostsOneBalmAndSendsAllThreeBack) {
  click(menu().Command3);  // balm mode: level 5, the three at 6000, field 9900
  EXPECT_EQ(game().width(), 10000);
  EXPECT_EQ(game().Frame1.width(), 9900);
  EXPECT_TRUE(game().Image2.visible() && game().Balsem1.visible());
  game().nyamuk2.setLeft(1080 + 30);  // 6 x 5 = 30 per tick: exactly on the line
  wait(50);
  EXPECT_EQ(game().Balsem.text(), "3");
  game().nyamuk2.setLeft(1079 + 30);  // a twip past it
  wait(50);
  EXPECT_EQ(game().Balsem.text(), "2");
  expectLefts({&game().nyamuk1, &game().nyamuk2, &game().nyamuk3}, 9900);
  EXPECT_EQ(game().Score.text(), "0");  // a bite costs no points
  EXPECT_EQ(menu().your3.caption(), "0");
}

TEST_F(Round, TheLastBiteEndsTheRoundInsideTheFlightTick) {
  click(menu().Command3);
  game().Balsem.setText("1");
  game().Score.setText("1200");  // above the high score: green
  game().nyamuk1.setLeft(1100);
  wait(50);
  EXPECT_FALSE(game().visible());
  EXPECT_EQ(game().ganas.text(), "0");
  EXPECT_EQ(game().Frame1.width(), 7455);
  EXPECT_EQ(game().width(), 7605);
  expectLefts({&game().nyamuk1, &game().nyamuk3}, 7455);  // sent to the narrowed field's edge
  EXPECT_TRUE(game().nyamuk4.visible());
  EXPECT_FALSE(game().Balsem1.visible());
  EXPECT_EQ(menu().high3.caption(), "1200");
  EXPECT_EQ(menu().Label5.caption(), "Your score bigger than high score");
}

TEST_F(Round, AStepPastTheWholeBiteLineIsAnEscapeNotABite) {
  click(menu().Command3);
  game().ganas.setText("300");  // nyamuk1 steps 1500
  game().nyamuk1.setLeft(1100);
  for (Image* m : {&game().nyamuk2, &game().nyamuk3}) m->setLeft(9900);
  wait(50);
  EXPECT_EQ(game().Balsem.text(), "3");
  EXPECT_EQ(game().nyamuk1.left(), 9900);
  // nyamuk4 and nyamuk5, hidden in this mode, fly out too and cost points.
  EXPECT_FALSE(game().nyamuk4.visible());
  EXPECT_EQ(game().Score.text(), "-10");
  game().nyamuk4.setLeft(9000);
  wait(50);
  EXPECT_EQ(game().nyamuk4.left(), -400);
  EXPECT_EQ(game().Score.text(), "-20");
}

TEST_F(Round, TheGunSoundComesBeforeTheScore) {
  click(menu().Command1);
  game().Score.change = [this] { trace.push_back("score " + game().Score.text()); };
  click(game().nyamuk1);
  EXPECT_EQ(Lines(trace.end() - 2, trace.end()),
            (Lines{"0 sound MediaPlayer1 open " + file("gun.wav"), "score 35"}));
}

TEST_F(Round, AHighScoreIsReplacedOnlyByAGreaterScore) {
  click(menu().Command1);
  parkMosquitoes();
  menu().high1.setCaption("35");
  click(game().nyamuk1);  // 35: equal, stays white
  EXPECT_EQ(game().Score.backColor(), kWhite);
  game().time.setText("1");
  wait(500);
  EXPECT_EQ(menu().high1.caption(), "35");
  EXPECT_EQ(menu().Label5.caption(), "GAME OVER");
  // The clock stops, and the menu takes the game window's place, 8200 wide; the
  // scenario time_attack_round plays such an end tick for tick.
  EXPECT_FALSE(game().visible() || game().Timer3.enabled());
  EXPECT_EQ(menu().top(), game().top());
  EXPECT_EQ(menu().width(), 8200);

  click(menu().Command1);  // the reset runs under the old caption: white
  parkMosquitoes();
  menu().high1.setCaption("34");
  click(game().nyamuk1);
  EXPECT_EQ(game().Score.backColor(), kGreen);
  game().time.setText("1");
  wait(500);
  EXPECT_EQ(menu().high1.caption(), "35");
  // The high score is raised before the end, yet the message follows the box.
  EXPECT_EQ(menu().Label5.caption(), "Your score bigger than high score");
}

TEST_F(Round, BasmiDrainsTheScoreFromTheFirstHit) {
  click(menu().Command2);
  wait(2000);
  EXPECT_EQ(game().time.text(), "0");  // no time passes before the first hit
  parkMosquitoes();
  double before = toNumber(game().Score.text());
  click(game().nyamuk1);
  wait(1000);
  EXPECT_EQ(game().time.text(), "2");
  EXPECT_EQ(toNumber(game().Score.text()), before + 195 - 2 * 50);
}

TEST_F(Round, TheThirtiethBasmiHitEndsTheRoundInsideTheHit) {
  click(menu().Command2);
  game().sisa.setText("1");  // each count on the way hides its mosquito
  game().sisa.setText("2");
  EXPECT_FALSE(game().nyamuk3.visible());
  game().sisa.setText("1");
  EXPECT_FALSE(game().nyamuk2.visible());
  EXPECT_TRUE(game().nyamuk1.visible());
  Twips oldLeft = game().nyamuk1.left(), oldTop = game().nyamuk1.top();
  click(game().nyamuk1);
  EXPECT_FALSE(game().visible());
  EXPECT_EQ(game().sisa.text(), "0");
  EXPECT_EQ(game().ganas.text(), "0");
  // 30 + 5 x 11, then the bonus of 10 x 0: the level was reset by the end.
  EXPECT_EQ(game().Score.text(), "85");
  EXPECT_EQ(menu().your2.caption(), "85");
  for (Image* m : mosquitoes()) EXPECT_TRUE(m->visible()) << m->name();
  EXPECT_FALSE(game().Frame2.visible());
  // The click handler still moved the splash and the mosquito afterwards.
  EXPECT_TRUE(game().Image1.left() == oldLeft && game().Image1.top() == oldTop);
  EXPECT_EQ(game().nyamuk1.left(), 7455);
}

TEST_F(Round, EveryTenthBalmHitDropsABalmButton) {
  click(menu().Command3);
  EXPECT_EQ(game().Command1.top(), -5000);
  game().time.setText("1");
  click(game().nyamuk1);
  EXPECT_EQ(game().time.text(), "10");
  EXPECT_EQ(game().Command1.top(), -1000);
  EXPECT_TRUE(game().Timer4.enabled());
  wait(50 * 8);
  EXPECT_EQ(game().Command1.top(), 200);
  click(game().Command1);  // caught
  EXPECT_EQ(game().Balsem.text(), "4");
  EXPECT_EQ(game().Command1.top(), -36000);
  // It falls on; its lower edge is back in the field after 237 ticks.
  wait(50 * 237);
  EXPECT_EQ(game().Command1.top() + game().Command1.height(), 45);
}

TEST_F(Round, TheLastBulletEmptiesTheGunAndNothingShootsUntilAReload) {
  click(menu().Command1);
  game().plor.setText("1");
  trace.clear();
  click(game().Frame1);
  EXPECT_EQ(game().plor.text(), "0");
  EXPECT_FALSE(game().Frame1.enabled());
  EXPECT_EQ(game().reload.backColor(), kRed);
  EXPECT_TRUE(game().reload.hasFocus() && game().Timer6.enabled() && game().tmplor.enabled());
  EXPECT_EQ(traceOf("gun").size(), 1u);
  // Nothing on the field takes a click now.
  EXPECT_FALSE(rt->click(game().nyamuk1));
  EXPECT_FALSE(rt->click(game().Frame1));
  rt->clickAt(game(), 3000, 2000);
  EXPECT_EQ(game().plor.text(), "0");
  EXPECT_EQ(game().Score.text(), "0");
  wait(300);
  EXPECT_EQ(traceOf("reload.wav"), (Lines{"300 sound MediaPlayer1 open " + file("reload.wav")}));
  EXPECT_FALSE(game().Timer6.enabled());
  EXPECT_EQ(traceOf("picture").back(), "120 picture Form1.pl " + file("plor0.gif"));
  // Space presses the focused reload button.
  rt->pressKey("space");
  EXPECT_EQ(game().plor.text(), "6");
  EXPECT_TRUE(game().Frame1.enabled());
  EXPECT_EQ(game().reload.backColor(), kButtonFace);
}

TEST_F(Round, TheReloadCueSoundsAfterAQuickReloadTooAndWaitsForTheSound) {
  click(menu().Command1);
  game().plor.setText("1");
  click(game().Frame1);
  wait(100);
  click(game().reload);
  wait(200);
  EXPECT_EQ(traceOf("reload.wav").size(), 2u);

  click(menu().Check1);  // off
  game().plor.setText("1");
  click(game().Frame1);
  click(game().reload);
  wait(3000);
  EXPECT_TRUE(game().Timer6.enabled());
  EXPECT_EQ(traceOf("reload.wav").size(), 2u);
  click(menu().Check1);  // on: plays the music, then the next cue tick plays once
  wait(300);
  EXPECT_EQ(traceOf("reload.wav").size(), 3u);
  EXPECT_FALSE(game().Timer6.enabled());
}

TEST_F(Round, TheMagazinePictureShowsTheShotThenTheCountAtTheSecondTick) {
  click(menu().Command1);
  trace.clear();
  click(game().Frame1);  // 5 left
  wait(30);
  click(game().Frame1);  // 4 left; the animation under way is not restarted
  wait(20);
  click(game().reload);  // 6 at once; the animation goes on
  wait(70);
  EXPECT_EQ(traceOf("picture"), (Lines{"50 picture Form1.pl " + file("plor6.gif"),
                                       "60 picture Form1.pl " + file("plor7.gif"),
                                       "120 picture Form1.pl " + file("plor6.gif")}));
  EXPECT_EQ(game().pl.tag(), "0");
  EXPECT_FALSE(game().tmplor.enabled());
}

TEST_F(Round, TheTraceAimsAtTheShotUntilTheFlashEnds) {
  click(menu().Command1);
  parkMosquitoes();
  rt->move(game().Frame1, 100, 200);
  EXPECT_EQ(game().Line1.x2(), 100);
  click(game().Frame1);
  rt->move(game().Frame1, 500, 600);  // the shown trace stays
  EXPECT_EQ(game().Line1.x2(), 100);
  EXPECT_TRUE(game().dak.visible());
  wait(100);
  EXPECT_FALSE(game().Line1.visible());
  EXPECT_FALSE(game().dak.visible());
  rt->move(game().Frame1, 500, 600);
  EXPECT_EQ(game().Line1.y2(), 600);
  // A hit aims at the mosquito's old place plus 160, then sends it back.
  game().nyamuk4.setLeft(2000);
  click(game().nyamuk4);
  EXPECT_EQ(game().Line1.x2(), 2160);
  EXPECT_EQ(game().Line1.y2(), 720 + 160);
  EXPECT_EQ(game().Image1.left(), 2000);
  EXPECT_EQ(game().nyamuk4.left(), -400);
  // Every move over the field parks the focus on the unseen button.
  EXPECT_TRUE(game().Command2.hasFocus());
}

TEST_F(Round, PicturesWithoutAClickHandlerAreNeitherHitNorMiss) {
  click(menu().Command3);
  click(game().Image2);
  EXPECT_EQ(game().plor.text(), "6");
  click(game().Frame1);
  click(game().Line1);  // a line passes the click to the field: a miss
  EXPECT_EQ(game().plor.text(), "4");
}

// The first launch resets the score under the layout's caption; giving up
// late in the round shows all five mosquitoes again and writes no score.
TEST_F(Round, GivingUpLateInBasmiShowsAllFiveAgainAndWritesNoScore) {
  game().Score.setText("5");
  game().Score.setBackColor(kGreen);  // would turn white if the reset recoloured it
  click(menu().Command2);
  EXPECT_EQ(game().Score.backColor(), kGreen);
  EXPECT_EQ(game().caption(), kBasmiCaption);
  EXPECT_TRUE(game().Frame2.visible());
  EXPECT_EQ(menu().left(), -100);
  EXPECT_EQ(menu().width(), 13000);
  game().sisa.setText("3");  // hides nyamuk4 on the way
  game().sisa.setText("2");
  click(game().nyamuk1);
  ASSERT_FALSE(game().nyamuk3.visible());
  game().Score.setText("2000");  // green
  click(game().Command3_0);
  EXPECT_EQ(game().caption(), "");
  EXPECT_FALSE(game().visible());
  for (Image* m : mosquitoes()) EXPECT_TRUE(m->visible()) << m->name();
  EXPECT_EQ(menu().your2.caption(), "85");  // written by the hit, not by the give-up
  EXPECT_EQ(menu().high2.caption(), "1000");
  EXPECT_EQ(menu().Label5.caption(), "Your score bigger than high score");
  EXPECT_FALSE(game().Frame2.visible());
  EXPECT_EQ(game().plor.text(), "6");
  // The next round sees no mode in the caption when it resets the score, so
  // the box stays green; a reset of a score already "0" does not repaint it.
  click(menu().Command1);
  EXPECT_EQ(game().caption(), kTimeAttackCaption);
  EXPECT_EQ(game().Score.text(), "0");
  click(game().Command3_1);
  click(menu().Command3);
  EXPECT_EQ(game().Score.backColor(), kGreen);
  click(game().nyamuk1);
  EXPECT_EQ(game().Score.backColor(), kWhite);
}

// While the game window shows, the Play buttons do nothing; giving up a balm
// round then restores the field.
TEST_F(Round, PlayButtonsDoNothingDuringARoundAndGivingUpABalmRoundRestoresTheField) {
  click(menu().Command3);
  click(menu().Command1);
  EXPECT_EQ(game().caption(), kBalmCaption);
  EXPECT_EQ(game().Frame1.width(), 9900);
  EXPECT_EQ(game().time.text(), "10");
  click(menu().Command2);
  EXPECT_FALSE(game().Frame2.visible());
  click(game().Command3_1);
  EXPECT_EQ(game().width(), 7605);
  EXPECT_EQ(game().Frame1.width(), 7455);
  EXPECT_FALSE(game().Image2.visible() || game().Balsem1.visible());
  EXPECT_TRUE(game().nyamuk5.visible());
  wait(1000);  // no balm rules run under the empty caption
  EXPECT_EQ(menu().your3.caption(), "0");
}

TEST_F(Round, AMouseMoveOverTheBackdropBringsTheGameBackOnceTheClockRuns) {
  click(menu().Command1);
  click(menu().Frame2);  // the backdrop raised in front
  EXPECT_EQ(rt->activeWindow(), &menu());
  rt->move(menu(), 10, 10);
  EXPECT_EQ(rt->activeWindow(), &menu());
  click(game().nyamuk1);
  click(menu().Frame2);
  rt->move(menu(), 10, 10);
  EXPECT_EQ(rt->activeWindow(), &game());
}

// --- rest on the real clock -------------------------------------------------------

// Driven as the desktop loop drives it, waking at odd times, the menu comes
// to rest once its ticker has run off and sleeps through the ticks; yet after
// the rest, a logo click and a round started from it every property is as on
// windows where every tick ran.
TEST_F(Round, TheTicksSkippedAtRestChangeNothing) {
  std::unique_ptr<RestWatch> rest;
  Runtime b(host, [&](const std::string&) { rest->traced(); });
  rest = std::make_unique<RestWatch>(b);
  startBrizzlet(b);
  auto state = [](const Runtime& r) {
    std::string all;
    forEachProperty(r, [&](const std::string& name, const Control*, const PropertyValue& value) {
      all += name + " = " + formatValue(value) + "\n";
    });
    return all;
  };
  auto both = [&](Millis ms) {
    Millis end = rt->now() + ms;
    rt->advanceTo(end);
    for (Millis t = b.now(); t < end;) {
      t = std::min(end, t + (rest->atRest() ? 1000 : 37));  // as the loop wakes
      rest->runTo(t, [&](Millis time) { b.advanceTo(time); });
    }
    EXPECT_EQ(state(b), state(*rt));
    EXPECT_EQ(b.now(), rt->now());
    EXPECT_TRUE(b.timerPhases() == rt->timerPhases());
  };
  both(20'000);
  EXPECT_FALSE(rest->atRest()) << "the ticker still moves";
  both(180'000);
  EXPECT_TRUE(rest->atRest());
  for (const char* name : {"Picture2", "Command1"}) {
    click(*menu().find(name));
    ASSERT_TRUE(b.click(*b.form<menutama>().find(name)));
    rest->stir();
    both(100);
    both(30'000);
  }
}

}  // namespace
}  // namespace brz
