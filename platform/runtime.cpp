// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/runtime.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <tuple>

#include "platform/system.h"

namespace brz {

Runtime::Runtime(Host& host, Trace trace)
    : host_(host),
      trace_(std::move(trace)),
      startDirectory_(host.startDirectory()),
      doubleClickTime_(host.doubleClickTime()) {
  std::tie(screenWidth_, screenHeight_) = host.screenSize();
}

Runtime::Runtime(Trace trace)
    : ownHost_(std::make_unique<HeadlessHost>()),
      host_(*ownHost_),
      trace_(std::move(trace)),
      startDirectory_(host_.startDirectory()),
      doubleClickTime_(host_.doubleClickTime()) {
  std::tie(screenWidth_, screenHeight_) = host_.screenSize();
}

Runtime::~Runtime() {
  // Controls unregister nothing on the way out: drop the timer list first.
  timers_.clear();
}

// --- windows -------------------------------------------------------------------

Window* Runtime::findWindow(std::string_view name) const {
  for (const auto& window : windows_)
    if (window->name() == name) return window.get();
  return nullptr;
}

std::vector<Window*> Runtime::zOrder() const {
  std::vector<Window*> shown;
  for (Window* window : zOrder_)
    if (window->visible()) shown.push_back(window);
  return shown;
}

Window* Runtime::activeWindow() const {
  for (Window* window : zOrder_)
    if (window->visible()) return window;
  return nullptr;
}

void Runtime::raise(Window& window) {
  std::erase(zOrder_, &window);
  zOrder_.insert(zOrder_.begin(), &window);
}

// --- clock and timers ------------------------------------------------------------

void Runtime::registerTimer(Timer& timer) {
  timer.order_ = static_cast<int>(timers_.size());
  timers_.push_back(&timer);
}

std::optional<Millis> Runtime::nextDue() const {
  std::optional<Millis> due;
  for (const Timer* timer : timers_)
    if (timer->enabled() && timer->interval_ > 0 && (!due || timer->nextDue_ < *due))
      due = timer->nextDue_;
  return due;
}

std::vector<Runtime::TimerPhase> Runtime::timerPhases() const {
  std::vector<TimerPhase> phases;
  for (const Timer* timer : timers_) {
    if (timer->enabled() && timer->interval_ > 0)
      phases.push_back({timer->interval_, timer->nextDue_ - now_});
    else
      phases.push_back({});
  }
  return phases;
}

Millis Runtime::timerPeriod(Millis most) const {
  Millis period = 0;
  for (const Timer* timer : timers_)
    if (timer->enabled() && timer->interval_ > 0)
      period =
          std::min(most, period ? std::lcm(period, Millis{timer->interval_}) : timer->interval_);
  return period;
}

void Runtime::skipTime(Millis time) {
  now_ += time;
  for (Timer* timer : timers_) timer->nextDue_ += time;
}

bool Runtime::runTimers(Millis until, bool skipMissed) {
  bool dropped = false;
  while (running()) {
    Timer* next = nullptr;
    for (Timer* timer : timers_) {
      if (!timer->enabled() || timer->interval_ <= 0 || timer->nextDue_ > until) continue;
      if (!next || timer->nextDue_ < next->nextDue_) next = timer;  // ties: creation order
    }
    if (!next) break;
    if (skipMissed && until - next->nextDue_ >= next->interval_) {
      // Drop the ticks a stall swallowed; keep the grid of whole intervals.
      Millis missed = (until - next->nextDue_) / next->interval_;
      next->nextDue_ += missed * next->interval_;
      dropped = true;
    }
    now_ = std::max(now_, next->nextDue_);
    next->nextDue_ += next->interval_;
    guard([&] {
      if (next->tick) next->tick();
    });
  }
  now_ = std::max(now_, until);
  return dropped;
}

void Runtime::advanceTo(Millis time) {
  runTimers(time, false);
}

bool Runtime::runDueTimers(Millis realNow) {
  return runTimers(realNow, true);
}

// --- input -----------------------------------------------------------------------

bool Runtime::canTakeInput(const Control& control) const {
  if (!control.window().visible()) return false;
  for (const Control* c = &control; c;) {
    if (!c->visible() || !c->enabled()) return false;
    const Container& holder = c->container();
    c = dynamic_cast<const Control*>(&holder);
  }
  return true;
}

namespace {

// The control above `control`, or null when its container is the window.
Control* containerControl(const Control& control) {
  return dynamic_cast<Control*>(&control.container());
}

}  // namespace

void Runtime::deliverClick(Control& control) {
  raise(control.window());
  if (control.takesFocus()) control.window().setActiveControl(&control);
  control.press();
  if (control.click) control.click();
}

bool Runtime::click(Control& control) {
  if (!running() || !canTakeInput(control)) return false;
  if (!control.takesMouse()) {
    if (Control* holder = containerControl(control)) return click(*holder);
    return click(control.window());
  }
  guard([&] { deliverClick(control); });
  return true;
}

bool Runtime::click(Window& window) {
  if (!running() || !canTakeInput(window)) return false;
  guard([&] {
    raise(window);
    touch();
    if (window.click) window.click();
  });
  return true;
}

Runtime::Hit Runtime::hitTest(const Window& window, Twips x, Twips y) const {
  Hit hit{nullptr, x, y};
  const Container* container = &window;
  for (bool descended = true; descended;) {
    descended = false;
    for (Control* child : container->children()) {
      if (!child->visible() || !child->takesMouse()) continue;
      TwipsRect area = child->bounds();
      Twips lx = hit.x - area.x, ly = hit.y - area.y;
      if (lx < 0 || ly < 0 || lx >= area.w || ly >= area.h) continue;
      hit = {child, lx, ly};
      if (const Container* inner = child->asContainer()) {
        container = inner;
        descended = true;
      }
      break;
    }
  }
  // A disabled control and everything in it pass the point to the nearest
  // enabled container above: find the outermost disabled one on the path.
  Control* outermostDisabled = nullptr;
  for (Control* c = hit.control; c; c = containerControl(*c))
    if (!c->enabled()) outermostDisabled = c;
  if (!outermostDisabled) return hit;
  Hit passed{containerControl(*outermostDisabled), x, y};
  for (Control* c = passed.control; c; c = containerControl(*c)) {
    passed.x -= c->left();
    passed.y -= c->top();
  }
  return passed;
}

bool Runtime::clickAt(Window& window, Twips x, Twips y) {
  if (!running() || !canTakeInput(window)) return false;
  Hit hit = hitTest(window, x, y);
  if (!hit.control) return click(window);
  guard([&] { deliverClick(*hit.control); });
  return true;
}

bool Runtime::press(Window& window, Twips x, Twips y, MouseButton button, Millis at) {
  if (!running() || !canTakeInput(window)) return false;
  Hit hit = hitTest(window, x, y);
  const void* target = hit.control ? static_cast<const void*>(hit.control) : &window;
  bool counts =
      button == MouseButton::Left ||
      (button == MouseButton::Right && (!hit.control || hit.control->clicksWithEitherButton()));
  if (!counts || (hit.control && !hit.control->doubleClicks())) {
    firstPress_.target = nullptr;  // any other press breaks a double click
  } else {
    const FirstPress& first = firstPress_;
    bool second = first.target == target && first.button == button &&
                  std::abs(x - first.x) * 2 <= kDoubleClickSize &&
                  std::abs(y - first.y) * 2 <= kDoubleClickSize &&
                  at - first.at <= doubleClickTime_;
    if (second) {
      firstPress_.target = nullptr;  // a third press starts afresh
      return true;
    }
    firstPress_ = {target, button, x, y, at};
  }
  if (!counts) return true;
  if (!hit.control) return click(window);
  guard([&] { deliverClick(*hit.control); });
  return true;
}

bool Runtime::move(Control& control, Twips x, Twips y) {
  if (!running() || !canTakeInput(control)) return false;
  if (!control.takesMouse()) {
    Twips cx = x + control.left(), cy = y + control.top();
    if (Control* holder = containerControl(control)) return move(*holder, cx, cy);
    return move(control.window(), cx, cy);
  }
  guard([&] {
    if (control.mouseMove) control.mouseMove(x, y);
  });
  return true;
}

bool Runtime::move(Window& window, Twips x, Twips y) {
  if (!running() || !canTakeInput(window)) return false;
  guard([&] {
    if (window.mouseMove) window.mouseMove(x, y);
  });
  return true;
}

bool Runtime::moveAt(Window& window, Twips x, Twips y) {
  if (!running() || !canTakeInput(window)) return false;
  Hit hit = hitTest(window, x, y);
  if (!hit.control) return move(window, x, y);
  guard([&] {
    if (hit.control->mouseMove) hit.control->mouseMove(hit.x, hit.y);
  });
  return true;
}

void Runtime::pressKey(std::string_view key) {
  Window* window = activeWindow();
  if (!running() || !window) return;
  Control* focused = window->activeControl();
  if (!focused || !canTakeInput(*focused)) return;
  if (focused->pressedBy(key)) guard([&] { deliverClick(*focused); });
}

void Runtime::close(Window& window) {
  if (!running()) return;
  guard([&] {
    if (window.unload) window.unload();
    window.hide();
  });
}

// --- the toolkit's global calls --------------------------------------------------

PictureRef Runtime::loadPicture(const std::string& path) {
  if (PictureDecoder* decoder = host_.pictures()) {
    PictureRef picture = decoder->decodeFile(path);
    touch();
    return picture;
  }
  // Without a decoder the file is still really opened, so a missing file
  // fails exactly where it would in the game.
  int file = openToRead(path);
  if (file < 0) fatal("LoadPicture: cannot read \"" + path + "\": " + std::strerror(errno));
  ::close(file);
  auto picture = std::make_shared<Picture>();
  picture->source = path;
  picture->fromFile = true;
  return picture;
}

PictureRef Runtime::layoutPicture(std::string_view name) {
  std::span<const unsigned char> bytes = host_.layoutPicture(name);
  PictureDecoder* decoder = host_.pictures();
  if (decoder && !bytes.empty()) return decoder->decodeMemory(bytes, std::string(name));
  auto picture = std::make_shared<Picture>();
  picture->source = std::string(name);
  return picture;
}

void Runtime::msgBox(const std::string& text) {
  trace("msgbox " + quote(text));
  host_.messageBox(text);
}

void Runtime::end() {
  trace("end");
  throw ProgramEnd{};
}

void Runtime::fatal(const std::string& message) {
  throw FatalError(message);
}

std::pair<Twips, Twips> Runtime::measureText(const std::string& text, const Font& font,
                                             Twips wrapWidth) const {
  return host_.measureText(text, font, wrapWidth);
}

void Runtime::trace(const std::string& line) {
  if (trace_) trace_(line);
}

}  // namespace brz
