// The real game through the real front end, its clock watched:
//   game_timing SECONDS [round]
// counts the ticks of the game window's Timer1 (50 ms) over SECONDS seconds,
// with how late each came on the real clock, then ends the game and prints the
// figures and the peak memory. With `round`, a Basmi round starts after one
// second (its mosquitoes fly from the launch), so both windows keep changing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "assets/layout_pictures.h"
#include "game/form1.h"
#include "menu/menutama.h"
#include "menu/start.h"
#include "platform/sdl/frontend.h"

namespace {

std::string peakMemory() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return line.substr(6);
  return " unknown";
}

}  // namespace

int main(int argc, char** argv) {
  using Clock = std::chrono::steady_clock;
  int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  bool round = argc > 2 && std::string(argv[2]) == "round";
  Clock::time_point started;
  int ticks = 0;
  double lateSum = 0, worst = 0;
  bool launched = false;

  brz::sdl::Game game;
  game.layoutPictures = brz::assets::layoutPicture;
  game.start = [&](brz::Runtime& rt) {
    started = Clock::now();
    brz::startBrizzlet(rt);
    brz::Timer& timer = rt.form<brz::Form1>().Timer1;
    timer.tick = [&, tick = timer.tick] {
      double late = std::chrono::duration<double, std::milli>(Clock::now() - started).count() -
                    static_cast<double>(rt.now());
      ++ticks;
      lateSum += late;
      worst = std::max(worst, late);
      if (round && !launched && rt.now() >= 1000) {
        launched = true;
        rt.click(rt.form<brz::menutama>().Command2);
      }
      if (rt.now() >= seconds * 1000) {
        std::printf(
            "Timer1: %d ticks of %d in %d s, late by %.2f ms on average, %.2f ms at worst\n", ticks,
            seconds * 20, seconds, lateSum / ticks, worst);
        std::printf("peak memory:%s\n", peakMemory().c_str());
        std::fflush(stdout);
        rt.end();
      }
      tick();
    };
  };
  return brz::sdl::run(game);
}
