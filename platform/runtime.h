// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/controls.h"
#include "platform/host.h"
#include "platform/picture.h"
#include "platform/sound.h"
#include "platform/window.h"

namespace brz {

enum class MouseButton { Left, Right, Other };

// The double-click rectangle, centred on the first press: 4 x 4 pixels of the
// 96-dpi look, so the same size in twips at every scale.
inline constexpr Twips kDoubleClickSize = 4 * kTwipsPerPixel;

// A failing call on a control: it stops the program with this report.
class FatalError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Thrown by End: unwinds every handler up to the event loop, so nothing after
// End runs, not even the rest of the handler that called it.
struct ProgramEnd {};

// The toolkit the two windows are written against: windows created on first
// reference, timers on a clock it is handed, mouse and keyboard routing, and
// the global calls (LoadPicture, MsgBox, End). Everything runs on one thread;
// each event is handled to its end before the next.
class Runtime {
 public:
  // A line for every effect outside the windows: sounds, pictures read,
  // message boxes, the end. What tests and the scenario runner watch.
  using Trace = std::function<void(const std::string& line)>;

  // A runtime on `host`, which must outlive it; without one, on a
  // HeadlessHost of its own.
  explicit Runtime(Host& host, Trace trace = {});
  explicit Runtime(Trace trace = {});
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // --- windows ---------------------------------------------------------------
  // The single instance of a window, created and loaded on first reference:
  // its load handler runs before this returns, also when that happens inside
  // another window's load handler.
  template <class W>
  W& form() {
    for (auto& window : windows_)
      if (auto* found = dynamic_cast<W*>(window.get())) return *found;
    auto created = std::make_unique<W>(*this);
    W& window = *created;
    windows_.push_back(std::move(created));
    if (window.load) window.load();
    return window;
  }
  // A window already created, reached by a base class it implements (such as
  // an interface one library declares and another's window fulfils).
  template <class W>
  W& existing() const {
    for (auto& window : windows_)
      if (auto* found = dynamic_cast<W*>(window.get())) return *found;
    throw std::logic_error("no window of the kind asked for has been created");
  }
  // Starts the program: creates and loads the start-up window, then shows it.
  template <class W>
  void start() {
    guard([&] { form<W>().show(); });
  }
  // Every window created so far, in creation order.
  const std::vector<std::unique_ptr<Window>>& windows() const { return windows_; }
  Window* findWindow(std::string_view name) const;
  // Shown windows, front first.
  std::vector<Window*> zOrder() const;
  Window* activeWindow() const;

  // --- clock and timers ------------------------------------------------------
  Millis now() const { return now_; }
  // Virtual time: runs every tick that falls due up to `time`, in time order,
  // ties in the order the timers were created, then sets the clock to `time`.
  void advanceTo(Millis time);
  // Real time: like advanceTo, but a timer that fell more than one interval
  // behind (a stalled machine) ticks once, not in a burst. Returns whether it
  // dropped ticks so, which a recording of the session has to say.
  bool runDueTimers(Millis realNow);
  // When the next tick falls due, if any timer is enabled.
  std::optional<Millis> nextDue() const;
  // Every timer in creation order: its interval and how long until it next
  // ticks, both 0 for one that does not tick. With the windows' state, this
  // is all that decides what the ticks to come will do.
  struct TimerPhase {
    int interval = 0;
    Millis untilDue = 0;
    bool operator==(const TimerPhase&) const = default;
  };
  std::vector<TimerPhase> timerPhases() const;
  // The least common multiple of the enabled timers' intervals, the time in
  // which every one of them ticks a whole number of times; 0 with none
  // enabled, and `most` when it would be longer.
  Millis timerPeriod(Millis most) const;
  // Moves the clock and every timer's next tick on by `time` together,
  // running no tick: the skip of a program at rest.
  void skipTime(Millis time);

  // --- input -----------------------------------------------------------------
  // Whether the player could reach it: its window is shown, and it and every
  // container above it are visible and enabled.
  bool canTakeInput(const Control& control) const;
  bool canTakeInput(const Window& window) const { return window.visible(); }
  // A click on a control (a line passes it to its container). Returns false,
  // and does nothing, when the player could not make it.
  bool click(Control& control);
  bool click(Window& window);
  // A click at a point of a window's client area, routed to the front-most
  // control there that takes it.
  bool clickAt(Window& window, Twips x, Twips y);
  // The player presses a mouse button at a point of a window's client area,
  // at time `at` on this clock: where every press from the front end, the
  // scenario runner and the monkey enters. Frames, labels, images, picture
  // boxes and the window itself click with either button, and the second
  // press of a double click on them (the same button on the same control,
  // within the double-click time and rectangle of the first) is no click; a
  // third press starts a new pair. Buttons and check boxes click with the
  // left button, every press. Returns false, and does nothing, when the
  // player could not make it.
  bool press(Window& window, Twips x, Twips y, MouseButton button, Millis at);
  bool move(Control& control, Twips x, Twips y);
  bool move(Window& window, Twips x, Twips y);
  bool moveAt(Window& window, Twips x, Twips y);
  // A key press for the focused control of the active window: space and enter
  // press a focused button, space flips a focused check box.
  void pressKey(std::string_view key);
  // The player closes a window: its unload handler runs.
  void close(Window& window);
  // Where a point of a window lands: the control that takes it (null for the
  // window itself) and the point in that control's own twips.
  struct Hit {
    Control* control = nullptr;
    Twips x = 0, y = 0;
  };
  Hit hitTest(const Window& window, Twips x, Twips y) const;

  // --- the toolkit's global calls --------------------------------------------
  PictureRef loadPicture(const std::string& path);
  PictureRef layoutPicture(std::string_view name);
  void msgBox(const std::string& text);
  [[noreturn]] void end();
  [[noreturn]] void fatal(const std::string& message);

  // --- state of the program --------------------------------------------------
  bool running() const { return !ended_ && fatalError_.empty(); }
  bool ended() const { return ended_; }
  const std::string& fatalError() const { return fatalError_; }
  // Bumped by every change a player could see, so a front end redraws only
  // when something changed.
  std::uint64_t revision() const { return revision_; }
  void touch() { ++revision_; }

  // The host's screen and start directory, as it gave them when asked once.
  Twips screenWidth() const { return screenWidth_; }
  Twips screenHeight() const { return screenHeight_; }
  // A screen other than the host's, such as the one a recording was made on:
  // set before any window shows, as windows centre on it then.
  void setScreen(Twips width, Twips height) { screenWidth_ = width, screenHeight_ = height; }
  // The start directory: the Path of every directory list box.
  const std::string& startDirectory() const { return startDirectory_; }

  Host& host() const { return host_; }
  SoundBackend& sound() { return host_.sound(); }
  std::pair<Twips, Twips> measureText(const std::string& text, const Font& font,
                                      Twips wrapWidth) const;
  void trace(const std::string& line);

  // Runs one outside event (a tick, a click, a start) and turns End and fatal
  // errors into the program's state. Nested calls just run.
  template <class F>
  void guard(F&& event) {
    if (!running()) return;
    if (depth_ > 0) {
      event();
      return;
    }
    ++depth_;
    try {
      event();
    } catch (const ProgramEnd&) {
      ended_ = true;
    } catch (const FatalError& error) {
      fatalError_ = error.what();
    }
    --depth_;
  }

 private:
  friend class Timer;
  friend class Window;
  void registerTimer(Timer& timer);
  void raise(Window& window);
  void deliverClick(Control& control);
  bool runTimers(Millis until, bool skipMissed);

  std::unique_ptr<HeadlessHost> ownHost_;  // when built without a host
  Host& host_;
  Trace trace_;
  std::vector<std::unique_ptr<Window>> windows_;
  std::vector<Window*> zOrder_;  // front first; hidden windows keep their place
  std::vector<Timer*> timers_;
  Millis now_ = 0;
  bool ended_ = false;
  std::string fatalError_;
  int depth_ = 0;
  std::uint64_t revision_ = 0;
  Twips screenWidth_, screenHeight_;
  std::string startDirectory_;
  // The last press that could begin a double click.
  struct FirstPress {
    const void* target = nullptr;  // null: none
    MouseButton button = MouseButton::Left;
    Twips x = 0, y = 0;
    Millis at = 0;
  } firstPress_;
  Millis doubleClickTime_;
};

}  // namespace brz
