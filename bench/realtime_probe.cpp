// SPDX-License-Identifier: GPL-3.0-or-later
// The real game through the real front end, on the real clock, watched from
// inside. It is the game's own main with three things added that only
// observe: the timers' tick handlers are wrapped to note when each tick ran,
// SDL's two ways of presenting a frame are wrapped (at link time, -Wl,--wrap)
// to note when each window's frame was presented, and in `respond` a second
// thread plays the player's mouse by pushing clicks into SDL's event queue.
//
//   bench_realtime timing SECONDS   the menu left alone
//   bench_realtime round SECONDS    a Basmi round from the first second on
//   bench_realtime respond SECONDS  a Time Attack round, a shot at the field
//                                   every 600 to 900 ms, a reload when empty
//   bench_realtime logo SECONDS     the menu after a click on the logo, which
//                                   leaves its timer at 1 ms until a round ends
//   bench_realtime busy SECONDS     a Time Attack round, a hit every 250 ms and
//                                   a reload every sixth shot, so that every
//                                   mosquito flies, ever faster
//   bench_realtime startup          the start up to the first menu frame
// Each times the ticks over SECONDS after five seconds of start-up. `timing`
// measures the CPU in the menu twice: while the credits ticker still runs
// (from the 15th second, the slide-in long over) and from 80 s to 110 s,
// when nothing moves any more.
//
// Run it in the directory of the run-time files. It prints one line per
// figure, "figure NAME VALUE UNIT", for run-benchmarks to take medians of.
// With BRIZZLET_BENCH_LAUNCHED set to the launch's wall-clock time in seconds
// (bash's $EPOCHREALTIME) it also reports the start-up to the first menu frame.
// For each stretch whose CPU it reports it also counts the frames presented,
// reports the audio device's thread apart, and prints the sizes of the
// windows shown ("windows NAME WxH...") and whether the audio device kept
// playing ("sound NAME playing" or "resting"), for the bare program that
// measures the floor under it.
#include <SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "assets/layout_pictures.h"
#include "game/form1.h"
#include "menu/menutama.h"
#include "menu/start.h"
#include "platform/sdl/frontend.h"

namespace {

enum class Mode { Timing, Round, Respond, Logo, Busy, Startup };

// Nanoseconds on the clock the front end runs the timers by.
std::int64_t nowNs() {
  static const double scale = 1e9 / static_cast<double>(SDL_GetPerformanceFrequency());
  return static_cast<std::int64_t>(static_cast<double>(SDL_GetPerformanceCounter()) * scale);
}

double wallSeconds() {
  timespec t{};
  clock_gettime(CLOCK_REALTIME, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void figure(const char* name, double value, const char* unit) {
  std::printf("figure %s %.4f %s\n", name, value, unit);
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return NAN;
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(std::lround(p * static_cast<double>(v.size() - 1)))];
}

double mean(const std::vector<double>& v) {
  double sum = 0;
  for (double x : v) sum += x;
  return v.empty() ? NAN : sum / static_cast<double>(v.size());
}

struct Cpu {
  double process = 0;   // every thread, seconds
  double main = 0;      // the window thread alone
  double audio = 0;     // the audio device's thread
  long audioWakes = 0;  // how many times the audio thread was put on a CPU
  static Cpu now() {
    Cpu c;
    // SDL names the audio device's thread SDLAudioP and the device's number.
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
      std::string name;
      std::getline(std::ifstream(task.path() / "comm"), name);
      if (!name.starts_with("SDLAudioP")) continue;
      double ran = 0, waited = 0;
      long slices = 0;
      std::ifstream(task.path() / "schedstat") >> ran >> waited >> slices;
      c.audio += ran / 1e9;
      c.audioWakes += slices;
    }
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    c.process = static_cast<double>(self.ru_utime.tv_sec + self.ru_stime.tv_sec) +
                static_cast<double>(self.ru_utime.tv_usec + self.ru_stime.tv_usec) / 1e6;
    rusage thread{};
    getrusage(RUSAGE_THREAD, &thread);
    c.main = static_cast<double>(thread.ru_utime.tv_sec + thread.ru_stime.tv_sec) +
             static_cast<double>(thread.ru_utime.tv_usec + thread.ru_stime.tv_usec) / 1e6;
    return c;
  }
};

// Everything the hooks note. Touched by the window thread only, except the
// atomics shared with the clicking thread.
struct Watch {
  Mode mode = Mode::Timing;
  int seconds = 60;
  brz::Runtime* rt = nullptr;
  double launchedAt = 0;  // wall clock, seconds; 0 when not given

  // The runtime's clock counts from just before the start; `zeroNs` is read
  // first thing in the start, microseconds later.
  std::int64_t zeroNs = 0;
  // Ticks are counted and timed from the end of the start-up on, for
  // `seconds`; the ones due during the start-up are counted apart.
  static constexpr brz::Millis kSettled = 5'000;
  long startupTicks = 0;
  std::vector<double> gameLate, menuLate;  // ms after the due moment, per tick
  std::vector<double> pairGap;             // ms between the two timers' ticks due together
  std::int64_t menuTickAt = 0;
  brz::Millis menuTickDue = -1;
  long gameTicks = 0, menuTicks = 0;

  // Stretches of the run whose CPU time is reported, in runtime ms.
  struct Stretch {
    const char* name;
    brz::Millis from, to;
    Cpu atFrom, atTo;
    bool started = false, ended = false;
    long frames = 0;  // presented between from and to
  };
  std::vector<Stretch> stretches;
  bool firstMenuFrame = false;

  std::atomic<std::uint32_t> gameWindowId{0};
  std::atomic<std::int64_t> clickPushedNs{0};  // 0: none outstanding
  std::int64_t clickHandledNs = 0;
  std::vector<double> response, handling;
  long shots = 0, clicksLost = 0;
  std::atomic<bool> done{false};
} watch;

double lateMs(brz::Millis due) {
  return static_cast<double>(nowNs() - watch.zeroNs) / 1e6 - static_cast<double>(due);
}

std::uint32_t findWindow(const std::string& title) {
  for (std::uint32_t id = 1; id < 64; ++id)
    if (SDL_Window* w = SDL_GetWindowFromID(id))
      if (title == SDL_GetWindowTitle(w)) return id;
  return 0;
}

// The player's mouse: a left click on a bare spot of the field every 600 to
// 900 ms (more than the double-click time apart), pushed into the queue the
// way the window system's events arrive.
void clicker() {
  std::mt19937 random(12345);
  // Client pixel (200, 109): Left 3000, Top 1155 in the field, between the
  // lanes of nyamuk4 and nyamuk2.
  const int x = 200, y = 109;
  while (!watch.done) {
    std::this_thread::sleep_for(std::chrono::milliseconds(600 + random() % 301));
    std::uint32_t window = watch.gameWindowId;
    if (!window || watch.done || watch.clickPushedNs != 0) continue;
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = window;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = SDL_PRESSED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    event.button.timestamp = SDL_GetTicks();
    watch.clickPushedNs = nowNs();
    SDL_PushEvent(&event);
    event.type = SDL_MOUSEBUTTONUP;
    event.button.state = SDL_RELEASED;
    SDL_PushEvent(&event);
  }
}

// The windows on the screen, in pixels: what the floor program opens.
void shownWindows(const char* stretch) {
  std::printf("windows %s", stretch);
  for (std::uint32_t id = 1; id < 64; ++id)
    if (SDL_Window* window = SDL_GetWindowFromID(id))
      if (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) {
        int width = 0, height = 0;
        SDL_GetWindowSize(window, &width, &height);
        std::printf(" %dx%d", width, height);
      }
  std::printf("\n");
}

void report() {
  Watch& w = watch;
  figure("timer1_ticks", static_cast<double>(w.gameTicks), "ticks");
  figure("timer1_expected", w.seconds * 20.0, "ticks");
  figure("timer1_startup_ticks_lost", Watch::kSettled / 50.0 - static_cast<double>(w.startupTicks),
         "ticks");
  figure("timer1_late_mean", mean(w.gameLate), "ms");
  figure("timer1_late_p99", percentile(w.gameLate, 0.99), "ms");
  figure("timer1_late_max", percentile(w.gameLate, 1.0), "ms");
  figure("timer1_late_min", percentile(w.gameLate, 0.0), "ms");
  if (w.mode == Mode::Timing) {
    figure("menu_timer1_ticks", static_cast<double>(w.menuTicks), "ticks");
    figure("menu_late_mean", mean(w.menuLate), "ms");
    figure("timers_gap_max", percentile(w.pairGap, 1.0), "ms");
    // Drift: how much later the ticks of the last sixth of the run come than
    // those of the first.
    size_t sixth = w.gameLate.size() / 6;
    if (sixth > 0) {
      std::vector<double> first(w.gameLate.begin(), w.gameLate.begin() + sixth);
      std::vector<double> last(w.gameLate.end() - sixth, w.gameLate.end());
      figure("timer1_late_drift", mean(last) - mean(first), "ms");
    }
  }
  for (const auto& stretch : w.stretches) {
    double span = static_cast<double>(stretch.to - stretch.from) / 1000.0;
    std::string name = std::string("cpu_") + stretch.name;
    figure(name.c_str(), 100.0 * (stretch.atTo.process - stretch.atFrom.process) / span, "%");
    name += "_main_thread";
    figure(name.c_str(), 100.0 * (stretch.atTo.main - stretch.atFrom.main) / span, "%");
    figure((std::string("frames_") + stretch.name).c_str(),
           static_cast<double>(stretch.frames) / span, "/s");
    figure((std::string("cpu_") + stretch.name + "_audio_thread").c_str(),
           100.0 * (stretch.atTo.audio - stretch.atFrom.audio) / span, "%");
    // The device wakes 86 times a second for its 512-frame buffers while it
    // plays, and rests when nothing has sounded for a while: a stretch that
    // kept it playing half the time or more is measured against a floor that
    // plays too.
    double wakes = static_cast<double>(stretch.atTo.audioWakes - stretch.atFrom.audioWakes) / span;
    figure((std::string("audio_wakes_") + stretch.name).c_str(), wakes, "/s");
    std::printf("sound %s %s\n", stretch.name, wakes >= 43 ? "playing" : "resting");
    if (stretch.frames > 0)
      figure((std::string("cpu_per_frame_") + stretch.name).c_str(),
             1e3 * (stretch.atTo.process - stretch.atFrom.process) /
                 static_cast<double>(stretch.frames),
             "ms");
  }
  if (w.mode == Mode::Respond) {
    figure("click_to_frame_median", percentile(w.response, 0.5), "ms");
    figure("click_to_frame_p90", percentile(w.response, 0.9), "ms");
    figure("click_to_handler_median", percentile(w.handling, 0.5), "ms");
    figure("shots", static_cast<double>(w.shots), "shots");
    figure("clicks_without_frame", static_cast<double>(w.clicksLost), "clicks");
  }
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0)
      figure("peak_rss", std::atof(line.c_str() + 6) / 1024.0, "MB");
  std::fflush(stdout);
}

// The stretches begin and end as the clock passes their times, and the run
// ends after the last. Called at each flight tick, and at each wake of the
// loop, because a program at rest runs no tick for as long as it rests.
void passTime(brz::Millis now) {
  Watch& w = watch;
  if (w.done || w.stretches.empty()) return;
  for (auto& stretch : w.stretches) {
    // A tick can be dropped when the loop falls a whole interval behind.
    if (now >= stretch.from && !stretch.started) {
      shownWindows(stretch.name);
      stretch.atFrom = Cpu::now();
      stretch.from = now;
      stretch.started = true;
    }
    if (now >= stretch.to && !stretch.ended) {
      stretch.atTo = Cpu::now();
      stretch.to = now;
      stretch.ended = true;
    }
  }
  if (now >= w.stretches.back().to) {
    w.done = true;
    report();
    w.rt->guard([&w] { w.rt->end(); });
  }
}

void start(brz::Runtime& rt) {
  Watch& w = watch;
  w.rt = &rt;
  w.zeroNs = nowNs();
  brz::startBrizzlet(rt);
  auto& game = rt.form<brz::Form1>();
  auto& menu = rt.form<brz::menutama>();

  // The menu's timer was made first, so of two ticks due together its runs first.
  menu.Timer1.tick = [&w, tick = menu.Timer1.tick] {
    if (w.rt->now() > Watch::kSettled && w.rt->now() <= Watch::kSettled + w.seconds * 1000) {
      ++w.menuTicks;
      w.menuLate.push_back(lateMs(w.rt->now()));
    }
    w.menuTickAt = nowNs();
    w.menuTickDue = w.rt->now();
    tick();
  };

  game.Timer1.tick = [&w, &rt, &game, &menu, tick = game.Timer1.tick] {
    brz::Millis now = rt.now();
    if (now > Watch::kSettled + w.seconds * 1000) {
      // Past the timed minute.
    } else if (now > Watch::kSettled) {
      w.gameLate.push_back(lateMs(now));
      if (w.menuTickDue == now)
        w.pairGap.push_back(static_cast<double>(nowNs() - w.menuTickAt) / 1e6);
      ++w.gameTicks;
    } else {
      ++w.startupTicks;
    }
    // A click that reached nothing (the window was still coming up) is let go.
    std::int64_t pushed = w.clickPushedNs;
    if (pushed != 0 && w.clickHandledNs == 0 && nowNs() - pushed > 500'000'000) {
      ++w.clicksLost;
      w.clickPushedNs = 0;
    }
    passTime(now);
    switch (w.mode) {
      case Mode::Timing:
        break;
      case Mode::Round:
        if (now == 1'000) rt.click(menu.Command2);
        break;
      case Mode::Logo:
        if (now == 1'000) rt.click(menu.Picture2);
        break;
      case Mode::Busy:
        // As the scenario runner's busy hour: every shot hits.
        if (now == 1'000) rt.click(menu.Command1);
        if (now > 1'000 && now % 250 == 0 && game.visible()) {
          static long shot = 0;
          brz::Image* mosquitoes[] = {&game.nyamuk1, &game.nyamuk2, &game.nyamuk3, &game.nyamuk4,
                                      &game.nyamuk5};
          rt.click(*mosquitoes[shot % 5]);
          if (shot++ % 6 == 5) rt.click(game.reload);
        }
        break;
      case Mode::Startup:
        if (w.firstMenuFrame) {
          shownWindows("startup");
          w.done = true;
          std::fflush(stdout);
          rt.end();
        }
        return tick();
      case Mode::Respond:
        if (now == 1'000) rt.click(menu.Command1);
        // The front end makes the real window at its next frame.
        if (now > 1'000 && w.gameWindowId == 0)
          w.gameWindowId = findWindow(std::string(brz::kTimeAttackCaption));
        if (game.visible() && game.plor.text() == "0") rt.click(game.reload);
        break;
    }
    tick();
  };

  game.Frame1.click = [&w, click = game.Frame1.click] {
    if (w.clickPushedNs != 0 && w.clickHandledNs == 0) {
      w.clickHandledNs = nowNs();
      ++w.shots;
    }
    click();
  };
}

}  // namespace

namespace {

// A frame the game presented on a window, whichever way it went to the
// display: the first of the menu, and the first of the game window that
// shows a shot's trace after a click.
void presented(SDL_Window* window) {
  Watch& w = watch;
  if (!window || !w.rt) return;
  std::int64_t at = nowNs();
  for (auto& stretch : w.stretches)
    if (stretch.started && !stretch.ended) ++stretch.frames;
  if (!w.firstMenuFrame && std::strcmp(SDL_GetWindowTitle(window), "Brizzlet Main Menu") == 0) {
    w.firstMenuFrame = true;
    if (w.launchedAt > 0)
      figure("startup_to_menu_frame", (wallSeconds() - w.launchedAt) * 1e3, "ms");
  }
  std::int64_t pushed = w.clickPushedNs;
  if (pushed != 0 && w.clickHandledNs != 0 && SDL_GetWindowID(window) == w.gameWindowId) {
    auto& game = w.rt->form<brz::Form1>();
    if (game.Line1.visible()) {
      w.response.push_back(static_cast<double>(at - pushed) / 1e6);
      w.handling.push_back(static_cast<double>(w.clickHandledNs - pushed) / 1e6);
    } else {
      ++w.clicksLost;
    }
    w.clickHandledNs = 0;
    w.clickPushedNs = 0;
  }
}

}  // namespace

// A window drawn whole is presented with SDL_RenderPresent; one drawn where
// it changed sends those rectangles with SDL_UpdateWindowSurfaceRects. The
// software renderer's own present calls SDL inside the library, which the
// wrapping does not see, so no frame is counted twice.
extern "C" {
void __real_SDL_RenderPresent(SDL_Renderer* renderer);
int __real_SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int count);

void __wrap_SDL_RenderPresent(SDL_Renderer* renderer) {
  __real_SDL_RenderPresent(renderer);
  presented(SDL_RenderGetWindow(renderer));
}

// The loop's wait, on the window thread: the time it wakes at, on the
// runtime's clock.
int __real_SDL_WaitEventTimeout(SDL_Event* event, int timeout);
int __wrap_SDL_WaitEventTimeout(SDL_Event* event, int timeout) {
  int got = __real_SDL_WaitEventTimeout(event, timeout);
  if (watch.rt && watch.rt->running()) passTime((nowNs() - watch.zeroNs) / 1'000'000);
  return got;
}

int __wrap_SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int count) {
  int status = __real_SDL_UpdateWindowSurfaceRects(window, rects, count);
  presented(window);
  return status;
}
}

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "timing";
  watch.mode = mode == "round"     ? Mode::Round
               : mode == "respond" ? Mode::Respond
               : mode == "logo"    ? Mode::Logo
               : mode == "busy"    ? Mode::Busy
               : mode == "startup" ? Mode::Startup
                                   : Mode::Timing;
  watch.seconds = argc > 2 ? std::atoi(argv[2]) : 60;
  brz::Millis timed = Watch::kSettled + watch.seconds * 1000;
  switch (watch.mode) {
    case Mode::Timing:
      // The slide-in is over after 11 s; the credits ticker runs until about
      // 67 s and the music ends about then too. Then nothing moves.
      watch.stretches = {{"menu_ticker", 15'000, std::max<brz::Millis>(timed, 20'000), {}, {}},
                         {"menu_rest", 80'000, 110'000, {}, {}}};
      break;
    case Mode::Round:
      watch.stretches = {{"round", Watch::kSettled, timed, {}, {}}};
      break;
    case Mode::Respond:
      watch.stretches = {{"shooting", Watch::kSettled, timed, {}, {}}};
      break;
    case Mode::Logo:
      // At 1 ms a tick the slide and the ticker are over within 3 s.
      watch.stretches = {{"menu_fast_timer", Watch::kSettled, timed, {}, {}}};
      break;
    case Mode::Busy:
      watch.stretches = {{"busy", Watch::kSettled, timed, {}, {}}};
      break;
    case Mode::Startup:
      break;
  }
  if (const char* launched = std::getenv("BRIZZLET_BENCH_LAUNCHED"))
    watch.launchedAt = std::atof(launched);

  std::thread mouse;
  if (watch.mode == Mode::Respond) mouse = std::thread(clicker);
  brz::sdl::Game game;
  game.layoutPictures = brz::assets::layoutPicture;
  game.start = start;
  int status = brz::sdl::run(game);
  watch.done = true;
  if (mouse.joinable()) mouse.join();
  return status;
}
