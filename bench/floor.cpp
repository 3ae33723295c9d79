// SPDX-License-Identifier: GPL-3.0-or-later
// The floor under the real-clock figures: a bare SDL program that opens
// windows of the sizes the game shows, presents one cleared frame in each and
// then only waits for events, drawing nothing; with --audio it also keeps an
// audio device of the game's (44.1 kHz, 16-bit stereo, buffers of 512 frames)
// playing silence, as the game's plays while there is music. What it costs,
// this machine's window system, sound and SDL cost any program. With
// --frames N it also draws N frames a second, for a floor that presents as
// often as the game did.
//
//   bench_floor SECONDS [--audio] [--frames N] WxH...
// prints "figure floor_cpu VALUE %", the CPU of the whole process over
// SECONDS after a second of settling; with SECONDS 0 it ends at once. With
// BRIZZLET_BENCH_LAUNCHED set (bash's $EPOCHREALTIME at the launch) it also
// prints "figure floor_startup VALUE ms", the launch to its first frame.
// Built for Windows too, as the bare program beside the game's start-up
// under Wine.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>
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
    std::fprintf(stderr, "usage: bench_floor SECONDS [--audio] [--frames N] WxH...\n");
    return 2;
  }
  int seconds = std::atoi(argv[1]);
  bool audio = false;
  double frames = 0;
  std::vector<std::pair<int, int>> sizes;
  for (int i = 2; i < argc; ++i) {
    int width = 0, height = 0;
    if (std::strcmp(argv[i], "--audio") == 0)
      audio = true;
    else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc)
      frames = std::atof(argv[++i]);
    else if (std::sscanf(argv[i], "%dx%d", &width, &height) == 2)
      sizes.emplace_back(width, height);
  }
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO | (audio ? SDL_INIT_AUDIO : 0)) != 0) {
    std::fprintf(stderr, "bench_floor: %s\n", SDL_GetError());
    return 1;
  }
  if (audio) {
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 512;
    want.callback = [](void*, Uint8* stream, int bytes) { std::memset(stream, 0, bytes); };
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (device == 0) {
      std::fprintf(stderr, "bench_floor: %s\n", SDL_GetError());
      return 1;
    }
    SDL_PauseAudioDevice(device, 0);
  }
  std::vector<std::pair<SDL_Window*, SDL_Renderer*>> windows;
  for (auto [width, height] : sizes) {
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
    windows.emplace_back(window, renderer);
  }
  if (const char* launched = std::getenv("BRIZZLET_BENCH_LAUNCHED"))
    std::printf("figure floor_startup %.4f ms\n", (wallSeconds() - std::atof(launched)) * 1e3);
  if (seconds > 0) {
    Uint32 settled = SDL_GetTicks() + 1000, end = settled + static_cast<Uint32>(seconds) * 1000;
    // With --frames, N frames a second in all: every window at each wake, a
    // small rectangle drawn and sent as the game sends what changed.
    double every = frames > 0 && !windows.empty() ? 1000.0 * windows.size() / frames : 0;
    double nextFrame = settled;
    double from = -1;
    for (Uint32 now; (now = SDL_GetTicks()) < end;) {
      if (from < 0 && now >= settled) from = cpuSeconds();
      if (every > 0 && now >= nextFrame) {
        for (auto [window, renderer] : windows) {
          SDL_Rect drawn{static_cast<int>(now / 50 % 200), 40, 40, 30};
          SDL_SetRenderDrawColor(renderer, now / 50 % 2 ? 255 : 0, 0, 0, 255);
          SDL_RenderFillRect(renderer, &drawn);
          SDL_RenderFlush(renderer);
          SDL_Rect sent{0, 40, 240, 30};
          SDL_UpdateWindowSurfaceRects(window, &sent, 1);
        }
        while (nextFrame <= now) nextFrame += every;
      }
      Uint32 wake = from < 0 ? settled : end;
      if (every > 0) wake = std::min(wake, static_cast<Uint32>(std::ceil(nextFrame)));
      SDL_Event event;
      if (wake > now) SDL_WaitEventTimeout(&event, static_cast<int>(wake - now));
    }
    std::printf("figure floor_cpu %.4f %%\n", 100.0 * (cpuSeconds() - from) / seconds);
  }
  for (auto [window, renderer] : windows) SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
