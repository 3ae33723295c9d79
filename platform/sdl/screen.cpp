// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/screen.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

#include "platform/sdl/display.h"
#include "platform/sdl/message_box.h"
#include "platform/sdl/painter.h"
#include "platform/sdl/pointer.h"
#include "platform/sdl/x11_errors.h"

namespace brz::sdl {

namespace {

SDL_Surface* surfaceOf(const Picture& picture) {
  return SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(picture.argb.data()),
                                            picture.width, picture.height, 32, picture.width * 4,
                                            SDL_PIXELFORMAT_ARGB8888);
}

}  // namespace

// A window manager shows more than the layout's 32 x 32: it gets a larger
// rendering of the same drawing where there is one.
void setIcon(SDL_Window* window, Runtime& runtime, const Picture& icon) {
  if (!showsWindowIcons() || icon.width <= 0 || icon.height <= 0) return;
  PictureRef large;
  if (!icon.fromFile) large = runtime.layoutPicture(icon.source + "_large");
  SDL_Surface* surface = surfaceOf(large && large->width > icon.width ? *large : icon);
  SDL_SetWindowIcon(window, surface);
  SDL_FreeSurface(surface);
}

// Drawn in software straight into the window: these few small windows need
// no graphics card, the pixels are the same on every machine (and the same as
// in the offscreen tests), and it costs the least on a plain X server. No
// vsync: the loop paces its frames itself, and some drivers refuse it.
SDL_Renderer* createRenderer(SDL_Window* window) {
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  return renderer ? renderer : SDL_CreateRenderer(window, -1, 0);
}

WindowScreen::WindowScreen(Runtime& runtime, Fonts& fonts) : runtime_(runtime), fonts_(fonts) {}

WindowScreen::~WindowScreen() {
  SDL_SetCursor(SDL_GetDefaultCursor());
  for (auto& [picture, pointer] : pointers_) SDL_FreeCursor(pointer.cursor);
  for (auto& [window, real] : reals_) {
    real.painter.reset();
    if (real.renderer) SDL_DestroyRenderer(real.renderer);
    SDL_DestroyWindow(real.window);
  }
}

WindowScreen::Real& WindowScreen::create(Window& window) {
  Real& real = reals_[&window];
  real.area = clientArea(window, fonts_.scale());
  real.title = window.caption();
  real.window =
      SDL_CreateWindow(real.title.c_str(), real.area.x, real.area.y, std::max(1, real.area.w),
                       std::max(1, real.area.h), SDL_WINDOW_HIDDEN);
  if (!real.window) {
    std::fprintf(stderr, "brizzlet: cannot open the window %s: %s\n", window.name().c_str(),
                 SDL_GetError());
    return real;
  }
  real.renderer = createRenderer(real.window);
  if (!real.renderer) {
    std::fprintf(stderr, "brizzlet: cannot draw the window %s: %s\n", window.name().c_str(),
                 SDL_GetError());
    return real;
  }
  real.painter = std::make_unique<Painter>(real.renderer, fonts_);
  SDL_RendererInfo info;
  real.keepsPixels =
      SDL_GetRendererInfo(real.renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
  return real;
}

void WindowScreen::sync() {
  bool restacked = false;
  for (const auto& owned : runtime_.windows()) {
    Window& window = *owned;
    auto found = reals_.find(&window);
    if (found == reals_.end() && !window.visible()) continue;
    Real& real = found != reals_.end() ? found->second : create(window);
    if (!real.window) continue;
    if (real.title != window.caption()) {
      real.title = window.caption();
      SDL_SetWindowTitle(real.window, real.title.c_str());
    }
    const Picture* icon = window.icon().get();
    if (icon != real.icon) {
      real.icon = icon;
      if (icon) setIcon(real.window, runtime_, *icon);
    }
    PixelRect area = clientArea(window, fonts_.scale());
    if (area.x != real.area.x || area.y != real.area.y)
      SDL_SetWindowPosition(real.window, area.x, area.y);
    if (area.w != real.area.w || area.h != real.area.h) {
      SDL_SetWindowSize(real.window, std::max(1, area.w), std::max(1, area.h));
      real.invalid = true;
    }
    real.area = area;
    if (window.visible() != real.shown) {
      real.shown = window.visible();
      if (real.shown) {
        SDL_ShowWindow(real.window);
        real.invalid = true;
      } else {
        SDL_HideWindow(real.window);
      }
      restacked = true;
    }
  }
  if (restacked || runtime_.zOrder() != stacking_) restack();
}

// Raises the shown windows from the back to the front, so they end up in the
// runtime's order.
void WindowScreen::restack() {
  stacking_ = runtime_.zOrder();
  for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
    auto found = reals_.find(*it);
    if (found != reals_.end() && found->second.window) SDL_RaiseWindow(found->second.window);
  }
}

// A window is drawn again only where what it shows changed: the software
// renderer draws straight into the window's pixels, which stay as they are
// between frames, so only the damaged rectangles are drawn and sent to the
// display. Another renderer keeps no pixels and draws the whole window.
void WindowScreen::paint() {
  Window* active = runtime_.activeWindow();
  for (auto& [constWindow, real] : reals_) {
    Window& window = const_cast<Window&>(*constWindow);
    std::vector<TwipsRect> damage = window.takeDamage();
    if (!real.shown || !real.painter) continue;
    // The focus of a window shows only while it is the active one.
    if ((&window == active) != real.active) {
      real.active = &window == active;
      real.invalid = true;
    }
    if (real.invalid || !real.keepsPixels) {
      if (!real.invalid && damage.empty()) continue;
      real.painter->paint(window);
      SDL_RenderPresent(real.renderer);
      real.invalid = false;
      continue;
    }
    std::vector<PixelRect> rects = real.painter->paintDamage(window, damage);
    if (rects.empty()) continue;
    std::vector<SDL_Rect> sent;
    for (const PixelRect& r : rects) sent.push_back({r.x, r.y, r.w, r.h});
    SDL_RenderFlush(real.renderer);
    SDL_UpdateWindowSurfaceRects(real.window, sent.data(), static_cast<int>(sent.size()));
  }
}

void WindowScreen::windowEvent(const SDL_Event& event) {
  if (event.window.event != SDL_WINDOWEVENT_EXPOSED &&
      event.window.event != SDL_WINDOWEVENT_SIZE_CHANGED)
    return;
  for (auto& [window, real] : reals_)
    if (real.window && SDL_GetWindowID(real.window) == event.window.windowID) real.invalid = true;
}

bool WindowScreen::invalid() const {
  return std::any_of(reals_.begin(), reals_.end(), [&](const auto& entry) {
    const Real& real = entry.second;
    return real.shown && real.invalid;
  });
}

Window* WindowScreen::find(std::uint32_t sdlWindowId) const {
  for (const auto& [window, real] : reals_)
    if (real.window && SDL_GetWindowID(real.window) == sdlWindowId)
      return const_cast<Window*>(window);
  return nullptr;
}

// SDL gives each event the pixels of the window it is for.
Screen::Spot WindowScreen::spotOf(const SDL_Event& event) const {
  if (event.type == SDL_MOUSEMOTION)
    return {find(event.motion.windowID), event.motion.x, event.motion.y};
  if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP)
    return {find(event.button.windowID), event.button.x, event.button.y};
  return {};
}

Screen::Spot WindowScreen::pointer() const {
  SDL_Window* focus = SDL_GetMouseFocus();
  Spot spot{focus ? find(SDL_GetWindowID(focus)) : nullptr};
  SDL_GetMouseState(&spot.x, &spot.y);
  return spot;
}

Window* WindowScreen::closing(const SDL_Event& event) {
  if (event.type != SDL_WINDOWEVENT || event.window.event != SDL_WINDOWEVENT_CLOSE) return nullptr;
  return find(event.window.windowID);
}

Window* WindowScreen::destroyed(const SDL_Event& event) const {
  for (const auto& [window, real] : reals_)
    if (destroyedFromOutside(event, real.window)) return const_cast<Window*>(window);
  return nullptr;
}

void WindowScreen::pointTo(const Window& window, Twips x, Twips y) {
  auto found = reals_.find(&window);
  if (found != reals_.end() && found->second.window && window.visible())
    SDL_WarpMouseInWindow(found->second.window, fonts_.scale().toPixels(x),
                          fonts_.scale().toPixels(y));
  setPointer(pointerAt(runtime_, window, x, y));
}

// A window of its own, modal for the active one. While it is up the game's
// windows are drawn again when uncovered.
bool WindowScreen::messageBox(const std::string& title, const std::string& text) {
  auto found = reals_.find(runtime_.activeWindow());
  SDL_Window* parent = found == reals_.end() ? nullptr : found->second.window;
  return showMessageBox(title, text, fonts_, parent, [this](const SDL_Event& event) {
    if (event.type != SDL_WINDOWEVENT) return;
    windowEvent(event);
    paint();
  });
}

// Magnified like every other picture; the hot spot is its centre, where a
// cross-hair's lines meet.
void WindowScreen::setPointer(const PictureRef& picture) {
  std::erase_if(pointers_, [&](auto& entry) {
    if (!entry.second.picture.expired()) return false;
    if (pointer_ == entry.first) {
      SDL_SetCursor(SDL_GetDefaultCursor());
      pointer_ = nullptr;
    }
    SDL_FreeCursor(entry.second.cursor);
    return true;
  });
  if (picture.get() == pointer_) return;
  SDL_Cursor* cursor = SDL_GetDefaultCursor();
  if (picture) {
    Pointer& made = pointers_[picture.get()];
    if (!made.cursor) {
      made.picture = picture;
      Picture big = magnified(*picture, fonts_.scale());
      SDL_Surface* surface = surfaceOf(big);
      made.cursor = SDL_CreateColorCursor(surface, big.width / 2, big.height / 2);
      SDL_FreeSurface(surface);
    }
    if (made.cursor) cursor = made.cursor;
  }
  SDL_SetCursor(cursor);
  pointer_ = picture.get();
}

}  // namespace brz::sdl
