// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/frontend.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <memory>
#include <string>

#include "platform/properties.h"
#include "platform/rest.h"
#include "platform/script/recorder.h"
#include "platform/sdl/display.h"
#include "platform/sdl/fonts.h"
#include "platform/sdl/frame_clock.h"
#include "platform/sdl/look.h"
#include "platform/sdl/mixer_sound.h"
#include "platform/sdl/pointer.h"
#include "platform/sdl/replay.h"
#include "platform/sdl/screen.h"
#include "platform/sdl/sdl_pictures.h"
#include "platform/sdl/single_screen.h"
#include "platform/sdl/x11_errors.h"
#include "platform/system.h"

namespace brz::sdl {

namespace {

constexpr const char* kTitle = "Brizzlet";
// With no timer due and no input the loop still looks round this often. At
// rest nothing changes but by input, the look is only a net under a lost
// wake-up, and each costs a millisecond or so: once in half a minute.
constexpr Millis kIdleWakeMs = 1000, kRestWakeMs = 30'000;

void setHints() {
  SDL_SetHint(SDL_HINT_APP_NAME, kTitle);
  // Closing a window runs its unload handler; it does not quit by itself.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // A click on a window in the back clicks there, as it brings it to the front.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Moves are reported over the windows only, never dragged outside them.
  SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
  // A tap on a touch screen is the mouse's move, press and release, once:
  // the loop takes those and leaves the finger's own events alone.
  SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "1");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // The software renderer's frames go straight to the window, not through GL.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
}

// SDL falls back to drawing off screen when it finds no display; the game
// then only runs there when asked to by name (SDL_VIDEODRIVER).
bool onADisplay() {
  std::string driver = SDL_GetCurrentVideoDriver();
  if (driver != "offscreen" && driver != "dummy") return true;
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  return asked && driver == asked;
}

MouseButton buttonOf(std::uint8_t sdlButton) {
  if (sdlButton == SDL_BUTTON_LEFT) return MouseButton::Left;
  if (sdlButton == SDL_BUTTON_RIGHT) return MouseButton::Right;
  return MouseButton::Other;
}

// One run of the game on the desktop: the runtime with its services, the real
// windows and the event loop; or, replaying a recording, the windows driven
// by it (Replay).
class DesktopSession final : public Host {
 public:
  // The windows are drawn at the scale asked for, else the display's, chosen
  // once at the start.
  explicit DesktopSession(const Game& game)
      : game_(game), scale_(game.scale > 0 ? game.scale : displayScale()), fonts_(scale_) {
    runtime_ = std::make_unique<Runtime>(*this, [this](const std::string&) { rest_->traced(); });
    rest_ = std::make_unique<RestWatch>(*runtime_);
    // Where the display has room for one window only, it is always the screen.
    if (game.singleWindow || oneWindowOnly())
      screen_ = std::make_unique<SingleScreen>(*runtime_, fonts_);
    else
      screen_ = std::make_unique<WindowScreen>(*runtime_, fonts_);
    frames_ = std::make_unique<FrameClock>(
        *runtime_, *screen_, [this] { frame(); }, [this] { return between(); });
  }

  // --- what the runtime asks of the desktop ------------------------------------
  PictureDecoder* pictures() override { return &decoder_; }
  std::span<const unsigned char> layoutPicture(std::string_view name) override {
    return game_.layoutPictures ? game_.layoutPictures(name) : std::span<const unsigned char>{};
  }
  SoundBackend& sound() override { return sound_; }
  std::pair<Twips, Twips> measureText(const std::string& text, const Font& font,
                                      Twips wrapWidth) override {
    if (fonts_.available()) return fonts_.measure(text, font, wrapWidth);
    return estimateText(text, font, wrapWidth);
  }
  Millis doubleClickTime() override {
    const char* hint = SDL_GetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME);
    int ms = hint ? std::atoi(hint) : 0;
    return ms > 0 ? ms : 500;
  }
  // The display's, unless SDL cannot tell: then the headless 1024 x 768.
  std::pair<Twips, Twips> screenSize() override {
    SDL_Rect bounds;
    if (displayBounds(bounds)) return {scale_.toTwips(bounds.w), scale_.toTwips(bounds.h)};
    return HeadlessHost().screenSize();
  }
  // The display as a recording states it: its pixels and the drawing scale.
  ScriptScreen recordedScreen() {
    SDL_Rect bounds;
    if (!displayBounds(bounds)) return {};
    return {.width = bounds.w, .height = bounds.h, .scale = scale_.factor()};
  }
  std::string startDirectory() override {
    std::error_code error;
    return gameDirectory(error);
  }

  int run() {
    Runtime& runtime = *runtime_;
    if (!game_.recordPath.empty()) {
      try {
        recorder_ = std::make_unique<Recorder>(
            game_.recordPath, std::string("brizzlet ") + BRIZZLET_VERSION + " recording",
            recordedScreen());
      } catch (const std::exception& error) {
        std::fprintf(stderr, "brizzlet: %s\n", error.what());
        return 1;
      }
    }

    std::ifstream replay;
    if (!game_.replayPath.empty()) {
      replay.open(filePath(game_.replayPath));
      if (!replay) {
        std::fprintf(stderr, "brizzlet: cannot open the recording %s: %s\n",
                     shown(game_.replayPath).c_str(), std::strerror(errno));
        return 2;
      }
    }

    frames_->start();
    auto start = [this](Runtime& runtime) { runtime.guard([&] { game_.start(runtime); }); };
    if (replay.is_open()) {
      replaying_ = true;
      return Replay(runtime, *screen_, *frames_).play(start, replay, game_.replayPath);
    }
    start(runtime);
    loop();
    if (recorder_) recorder_->finish(runtime);

    if (runtime.ended()) return 0;
    if (!runtime.fatalError().empty()) {
      fatal("Run-time error: " + runtime.fatalError());
      return 1;
    }
    std::fprintf(stderr, "brizzlet: stopped from outside\n");
    return 1;
  }

  // Reports an error that stops the game: a message box, and the same text
  // on stderr.
  void fatal(const std::string& text) {
    sound_.settle();
    std::fprintf(stderr, "brizzlet: %s\n", text.c_str());
    showBox(text);
  }

 private:
  // Ticks run at their due times; in between the loop sleeps until the next
  // tick, the next frame or input, whichever comes first. A program at rest
  // (RestWatch) sleeps until input.
  void loop() {
    Runtime& runtime = *runtime_;
    while (runtime.running() && !quit_) {
      ticksRun_ = frames_->now();
      runDueTimers(ticksRun_);
      if (!runtime.running()) break;
      Millis now = frames_->now();
      Millis wake = now + (rest_->atRest() ? kRestWakeMs : kIdleWakeMs);
      batchUntil_ = -1;
      if (!rest_->atRest())
        if (auto due = nextTickWake()) wake = std::min(wake, *due);
      SDL_Event event;
      bool got = frames_->drawThenWait(now, wake, event);
      while (got && runtime.running() && !quit_) {
        runDueTimers(eventTime(event));  // the ticks due before the event come first
        handle(event);
        got = SDL_PollEvent(&event) == 1;
      }
    }
  }

  // Runs the ticks due by `until`, watching for rest on the way.
  void runDueTimers(Millis until) {
    rest_->runTo(until, [this](Millis time) { runTicks(time); });
  }

  // An input then carries the millisecond of the last tick run before it, so
  // a recording's waits put it after exactly the same ticks. Ticks a stall
  // swallowed are dropped here but would all run in a wait: a recording says
  // so with a stall of its own.
  void runTicks(Millis until) {
    // The ticks held back for the batch were not late: every one of them runs.
    if (batchUntil_ > runtime_->now()) runtime_->advanceTo(std::min(until, batchUntil_));
    Millis before = runtime_->now();
    if (runtime_->runDueTimers(until) && recorder_) recorder_->stalled(*runtime_, before);
  }

  // When the loop next has to wake for a tick. A timer faster than the
  // display ticks in batches, all its ticks due by then at once a frame after
  // the last run, each still at its own time on the runtime's clock: no one
  // sees a tick before the frame after it, and waking a thousand times a
  // second would cost more than the whole menu. The others wake the loop at
  // their due times.
  std::optional<Millis> nextTickWake() {
    std::optional<Millis> wake;
    Millis batch = ticksRun_ + frames_->frameMs();
    for (const Runtime::TimerPhase& phase : runtime_->timerPhases()) {
      if (phase.interval <= 0) continue;
      Millis due = runtime_->now() + phase.untilDue;
      if (phase.interval < frames_->frameMs() && due < batch) {
        due = batch;
        batchUntil_ = batch;
      }
      if (!wake || due < *wake) wake = due;
    }
    return wake;
  }

  // When SDL stamped the event, on the runtime's clock: an event queued
  // behind a slow frame keeps its place among the ticks, and two presses
  // keep the time the player put between them.
  Millis eventTime(const SDL_Event& event) const {
    return std::clamp(frames_->stamped(event), runtime_->now(), frames_->now());
  }

  // Hands an input to the runtime, and to the recording as `command` when
  // the runtime takes it.
  template <class Deliver>
  void deliver(Deliver&& deliver, const std::function<std::string()>& command) {
    if (recorder_) recorder_->beforeInput(*runtime_);
    bool taken = deliver();
    if (recorder_ && taken) recorder_->input(*runtime_, command());
  }

  static std::string buttonWord(const SDL_Event& event) {
    switch (buttonOf(event.button.button)) {
      case MouseButton::Left:
        return "";
      case MouseButton::Right:
        return " right";
      default:
        return " middle";
    }
  }

  static std::string at(const Window& window, Twips x, Twips y) {
    return window.name() + " " + formatValue(static_cast<double>(x)) + " " +
           formatValue(static_cast<double>(y));
  }

  // Draws the windows as they are now (through FrameClock, which paces it).
  void frame() {
    screen_->sync();
    screen_->paint();
    updatePointer();
    drawn_ = true;
  }

  // At each wait, between frames: the sound's own work. The sound begins
  // after the first frame, once the display lets it (soundMayBegin): opening
  // the audio device takes from a few to a few hundred milliseconds, which
  // the first frame is not kept waiting for.
  bool between() {
    if (!drawn_ || !soundMayBegin()) return false;
    sound_.begin();  // once; then it changes nothing
    return sound_.work();
  }

  void handle(const SDL_Event& event) {
    Runtime& runtime = *runtime_;
    rest_->stir();
    if (Window* window = screen_->closing(event)) {
      deliver([&] { return runtime.close(*window), true; },
              [&] { return "close " + window->name(); });
      return;
    }
    switch (event.type) {
      case SDL_QUIT:
        quit_ = true;
        break;
      case SDL_WINDOWEVENT:
        screen_->windowEvent(event);
        break;
      case SDL_MOUSEMOTION:
        if (Screen::Spot spot = screen_->spotOf(event); spot.window) {
          Window& window = *spot.window;
          Twips x = scale_.pointAt(spot.x), y = scale_.pointAt(spot.y);
          deliver([&] { return runtime.moveAt(window, x, y); },
                  [&] { return "moveat " + at(window, x, y); });
          screen_->setPointer(pointerAt(runtime, window, x, y));
        } else {
          screen_->setPointer(nullptr);
        }
        break;
      case SDL_MOUSEBUTTONDOWN:
        // Every press is recorded, taken or not: the runtime's double-click
        // rule pairs presses, so a replay needs the swallowed ones too.
        if (Screen::Spot spot = screen_->spotOf(event); spot.window) {
          SDL_Event local = event;
          local.button.x = spot.x;
          local.button.y = spot.y;
          Twips x = scale_.pointAt(spot.x), y = scale_.pointAt(spot.y);
          deliver([&] { return press(runtime, *spot.window, scale_, local), true; },
                  [&] { return "clickat " + at(*spot.window, x, y) + buttonWord(event); });
        }
        break;
      case SDL_KEYDOWN:
        if (event.key.repeat) break;
        if (event.key.keysym.sym == SDLK_SPACE)
          deliver([&] { return runtime.pressKey("space"), true; }, [] { return "key space"; });
        if (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER)
          deliver([&] { return runtime.pressKey("enter"), true; }, [] { return "key enter"; });
        break;
      case SDL_SYSWMEVENT:
        // A window another program destroyed ends the game as a close of it
        // would; the game cannot go on without it in any case.
        if (Window* window = screen_->destroyed(event)) {
          runtime.close(*window);
          if (runtime.running()) quit_ = true;
        }
        break;
      default:
        break;
    }
  }

  // The pointer follows what lies under it, also when the control moved
  // under a still mouse.
  void updatePointer() {
    Screen::Spot spot = screen_->pointer();
    if (!spot.window) screen_->setPointer(nullptr);
    if (!spot.window || !spot.window->visible()) return;
    screen_->setPointer(
        pointerAt(*runtime_, *spot.window, scale_.pointAt(spot.x), scale_.pointAt(spot.y)));
  }

  // Modal: the game waits for OK, and what the player did to the windows
  // meanwhile is dropped.
  void messageBox(const std::string& text) override {
    frames_->draw();
    // A replay answers at once, as the runner does; the recording's stall
    // holds the time the player took.
    if (replaying_) return;
    if (!showBox(text))
      std::fprintf(stderr, "brizzlet: cannot show the message \"%s\": %s\n", text.c_str(),
                   SDL_GetError());
  }

  bool showBox(const std::string& text) { return screen_->messageBox(kTitle, text); }

  const Game& game_;
  Scale scale_;
  Fonts fonts_;
  SdlPictureDecoder decoder_;
  MixerSound sound_{MixerSound::Start::Later};
  std::unique_ptr<Runtime> runtime_;
  std::unique_ptr<Screen> screen_;
  std::unique_ptr<Recorder> recorder_;
  std::unique_ptr<RestWatch> rest_;
  std::unique_ptr<FrameClock> frames_;
  Millis ticksRun_ = 0;     // when the loop last ran the ticks due
  Millis batchUntil_ = -1;  // ticks due up to then are held back for one run
  bool quit_ = false;
  bool replaying_ = false;
  bool drawn_ = false;  // the first frame
};

}  // namespace

bool press(Runtime& runtime, Window& window, const Scale& scale, const SDL_Event& event) {
  return runtime.press(window, scale.pointAt(event.button.x), scale.pointAt(event.button.y),
                       buttonOf(event.button.button), runtime.now());
}

int run(const Game& game) {
  setHints();
  if (!startVideo()) return 1;
  watchWindowDestruction();
  if (!onADisplay()) {
    std::fprintf(stderr, "brizzlet: no display to show the game on\n");
    SDL_Quit();
    return 1;
  }
  int status = 1;
  {
    std::unique_ptr<DesktopSession> session;
    try {
      session = std::make_unique<DesktopSession>(game);
      status = session->run();
    } catch (const std::exception& error) {
      std::string text = std::string("Internal error: ") + error.what();
      if (session) {
        session->fatal(text);
      } else {
        std::fprintf(stderr, "brizzlet: %s\n", text.c_str());
      }
      status = 1;
    }
  }
  SDL_Quit();
  return leave(status);
}

}  // namespace brz::sdl
