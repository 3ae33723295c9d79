// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/screen.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

#include "platform/sdl/painter.h"

namespace brz::sdl {

namespace {

SDL_Surface* surfaceOf(const Picture& picture) {
  return SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(picture.argb.data()),
                                            picture.width, picture.height, 32, picture.width * 4,
                                            SDL_PIXELFORMAT_ARGB8888);
}

}  // namespace

// Drawn in software straight into the window: these few small windows need
// no graphics card, the pixels are the same on every machine (and the same as
// in the offscreen tests), and it costs the least on a plain X server. No
// vsync: the loop paces its frames itself, and some drivers refuse it.
SDL_Renderer* createRenderer(SDL_Window* window) {
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  return renderer ? renderer : SDL_CreateRenderer(window, -1, 0);
}

Screen::Screen(Runtime& runtime, Fonts& fonts) : runtime_(runtime), fonts_(fonts) {}

Screen::~Screen() {
  SDL_SetCursor(SDL_GetDefaultCursor());
  for (auto& [picture, pointer] : pointers_) SDL_FreeCursor(pointer.cursor);
  for (auto& [window, real] : reals_) {
    real.painter.reset();
    if (real.renderer) SDL_DestroyRenderer(real.renderer);
    SDL_DestroyWindow(real.window);
  }
}

Screen::Real& Screen::create(Window& window) {
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

void Screen::sync() {
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
      if (icon && icon->width > 0 && icon->height > 0) {
        // A window manager shows more than the layout's 32 x 32: it gets a
        // larger rendering of the same drawing where there is one.
        PictureRef large;
        if (!icon->fromFile) large = runtime_.layoutPicture(icon->source + "_large");
        SDL_Surface* surface = surfaceOf(large && large->width > icon->width ? *large : *icon);
        SDL_SetWindowIcon(real.window, surface);
        SDL_FreeSurface(surface);
      }
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
void Screen::restack() {
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
void Screen::paint() {
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

void Screen::invalidate(std::uint32_t sdlWindowId) {
  for (auto& [window, real] : reals_)
    if (real.window && SDL_GetWindowID(real.window) == sdlWindowId) real.invalid = true;
}

bool Screen::invalid() const {
  return std::any_of(reals_.begin(), reals_.end(), [&](const auto& entry) {
    const Real& real = entry.second;
    return real.shown && real.invalid;
  });
}

Window* Screen::find(std::uint32_t sdlWindowId) const {
  for (const auto& [window, real] : reals_)
    if (real.window && SDL_GetWindowID(real.window) == sdlWindowId)
      return const_cast<Window*>(window);
  return nullptr;
}

SDL_Window* Screen::sdlWindow(const Window* window) const {
  auto found = reals_.find(window);
  return found == reals_.end() ? nullptr : found->second.window;
}

// Magnified like every other picture; the hot spot is its centre, where a
// cross-hair's lines meet.
void Screen::setPointer(const PictureRef& picture) {
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
