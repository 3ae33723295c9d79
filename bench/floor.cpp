// SPDX-License-Identifier: GPL-3.0-or-later
// The floor under the real-clock figures: a bare SDL program that opens
// windows of the sizes the game shows, presents one cleared frame in each and
// then only waits for events, drawing nothing. What it costs, this machine's
// window system and SDL cost any program.
//
//   bench_floor SECONDS WxH...
// prints "figure floor_cpu VALUE %", the CPU of the whole process over
// SECONDS after a second of settling; with SECONDS 0 it ends at once. With
// BRIZZLET_BENCH_LAUNCHED set (bash's $EPOCHREALTIME at the launch) it also
// prints "figure floor_startup VALUE ms", the launch to its first frame.
// Built for Windows too, as the bare program beside the game's start-up
// under Wine.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace {

double cpuSeconds() {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
#else
  rusage self{};
  getrusage(RUSAGE_SELF, &self);
  return static_cast<double>(self.ru_utime.tv_sec + self.ru_stime.tv_sec) +
         static_cast<double>(self.ru_utime.tv_usec + self.ru_stime.tv_usec) / 1e6;
#endif
}

double wallSeconds() {
  timespec t{};
  clock_gettime(CLOCK_REALTIME, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_floor SECONDS WxH...\n");
    return 2;
  }
  int seconds = std::atoi(argv[1]);
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "bench_floor: %s\n", SDL_GetError());
    return 1;
  }
  std::vector<SDL_Window*> windows;
  for (int i = 2; i < argc; ++i) {
    int width = 0, height = 0;
    if (std::sscanf(argv[i], "%dx%d", &width, &height) != 2) continue;
    SDL_Window* window = SDL_CreateWindow("floor", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                          width, height, 0);
    SDL_Renderer* renderer =
        window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
    if (!renderer) {
      std::fprintf(stderr, "bench_floor: %s\n", SDL_GetError());
      return 1;
    }
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    windows.push_back(window);
  }
  if (const char* launched = std::getenv("BRIZZLET_BENCH_LAUNCHED"))
    std::printf("figure floor_startup %.4f ms\n", (wallSeconds() - std::atof(launched)) * 1e3);
  if (seconds > 0) {
    Uint32 settled = SDL_GetTicks() + 1000, end = settled + static_cast<Uint32>(seconds) * 1000;
    double from = -1;
    for (Uint32 now; (now = SDL_GetTicks()) < end;) {
      if (from < 0 && now >= settled) from = cpuSeconds();
      SDL_Event event;
      SDL_WaitEventTimeout(&event, static_cast<int>((from < 0 ? settled : end) - now));
    }
    std::printf("figure floor_cpu %.4f %%\n", 100.0 * (cpuSeconds() - from) / seconds);
  }
  for (SDL_Window* window : windows) SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
