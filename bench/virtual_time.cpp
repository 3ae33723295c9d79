// SPDX-License-Identifier: GPL-3.0-or-later
// Costs inside the program, with no display and no real clock:
//   - a magazine picture load through SdlPictureDecoder, as every shot does
//     twice (never cached);
//   - the runtime's dispatch of one timer tick, with empty handlers and with
//     the game's own handlers in the menu and in a round;
//   - how often the idle menu tells the front end that something may have
//     changed.
//
//   bench_virtual_time ASSETS_DIR
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "game/form1.h"
#include "menu/menutama.h"
#include "menu/start.h"
#include "platform/sdl/sdl_pictures.h"
#include "tools/game_host.h"

namespace {

using Clock = std::chrono::steady_clock;
using brz::Millis;

double percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

// Loads of the plor GIFs: with a fresh decoder each time (every load
// decodes), and with one decoder (every load reads the file, and decodes
// only bytes it has not seen).
void pictureLoads(const std::string& assets) {
  for (bool fresh : {true, false}) {
    brz::SdlPictureDecoder kept;
    std::vector<double> ms;
    const int kLoads = 4000;
    for (int i = -200; i < kLoads; ++i) {  // the first 200 warm the caches
      std::string file = assets + "/plor" + std::to_string((i + 200) % 8) + ".gif";
      brz::SdlPictureDecoder once;
      brz::SdlPictureDecoder& decoder = fresh ? once : kept;
      auto t0 = Clock::now();
      brz::PictureRef picture = decoder.decodeFile(file);
      auto t1 = Clock::now();
      if (!picture || picture->argb.empty()) {
        std::fprintf(stderr, "no picture in %s\n", file.c_str());
        std::exit(1);
      }
      if (i >= 0) ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::printf(
        "plor GIF load (SdlPictureDecoder, plor0..7.gif, %d loads, %s): median %.4f ms, "
        "p99 %.4f ms [target < 0.5 ms median]\n",
        kLoads, fresh ? "each decoded" : "read each time, decoded once", percentile(ms, 0.5),
        percentile(ms, 0.99));
  }
}

struct Game {
  brz::GameHost host;
  brz::Runtime rt;
  explicit Game(const std::string& assets) : host(assets), rt(host) { brz::startBrizzlet(rt); }
  brz::Form1& game() { return rt.form<brz::Form1>(); }
  brz::menutama& menu() { return rt.form<brz::menutama>(); }
  std::vector<brz::Timer*> timers() {
    std::vector<brz::Timer*> all;
    for (const auto& w : rt.windows())
      for (const auto& c : w->controls())
        if (auto* t = dynamic_cast<brz::Timer*>(c.get())) all.push_back(t);
    return all;
  }
  // Counts every tick from now on, keeping each handler.
  long* countTicks() {
    static long ticks;
    ticks = 0;
    for (brz::Timer* t : timers())
      t->tick = [handler = t->tick] {
        ++ticks;
        if (handler) handler();
      };
    return &ticks;
  }
};

// Runs `span` of virtual time and prints the cost per tick.
void perTick(const char* what, Game& g, long* ticks, Millis span) {
  long before = *ticks;
  auto t0 = Clock::now();
  g.rt.advanceTo(g.rt.now() + span);
  double ns = std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
  long n = *ticks - before;
  std::printf(
      "runtime dispatch, %s: %.0f ns per tick (%ld ticks, %.2f s for %.0f h of virtual time)\n",
      what, ns / static_cast<double>(n), n, ns / 1e9, static_cast<double>(span) / 3.6e6);
}

void dispatch(const std::string& assets) {
  const Millis kHour = 3'600'000;
  {
    Game g(assets);
    long* ticks = g.countTicks();
    for (brz::Timer* t : g.timers()) {
      t->tick = [ticks] { ++*ticks; };
      t->enable();
    }
    perTick("every timer of both windows running, empty handlers", g, ticks, kHour);
  }
  {
    Game g(assets);
    g.rt.advanceTo(5 * 60'000);  // the slide-in and the ticker are over
    long* ticks = g.countTicks();
    std::uint64_t revision = g.rt.revision();
    perTick("menu idle, the game's handlers", g, ticks, 24 * kHour);
    std::printf(
        "idle menu: %.1f revision bumps a second, each a fingerprint check in the front end\n",
        static_cast<double>(g.rt.revision() - revision) / 86400.0);
  }
  {
    Game g(assets);
    g.rt.click(g.menu().Command2);  // Basmi: level 10, all five flying
    g.rt.click(g.game().nyamuk1);   // the round clock runs
    long* ticks = g.countTicks();
    perTick("Basmi round in flight, the game's handlers", g, ticks, kHour);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_virtual_time ASSETS_DIR\n");
    return 2;
  }
  pictureLoads(argv[1]);
  dispatch(argv[1]);
  return 0;
}
