// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/compositor.h"

#include <SDL.h>

#include <algorithm>
#include <stdexcept>

#include "platform/sdl/painter.h"

namespace brz::sdl {

namespace {

// The classic scheme's desktop colour.
constexpr Color kDesktop = 0x80000001;

bool contains(const PixelRect& outer, const PixelRect& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
         inner.y + inner.h <= outer.y + outer.h;
}

bool inside(const PixelRect& r, int x, int y) {
  return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h;
}

// Rounded down, also below zero.
int floorDiv(int a, int b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

}  // namespace

Showing Showing::fit(int screenWidth, int screenHeight, int hostWidth, int hostHeight) {
  Showing showing;
  if (screenWidth > 0 && screenHeight > 0)
    showing.factor = std::max(1, std::min(hostWidth / screenWidth, hostHeight / screenHeight));
  showing.x = (hostWidth - screenWidth * showing.factor) / 2;
  showing.y = (hostHeight - screenHeight * showing.factor) / 2;
  return showing;
}

int Showing::screenX(int hostX) const {
  return floorDiv(hostX - x, factor);
}

int Showing::screenY(int hostY) const {
  return floorDiv(hostY - y, factor);
}

Compositor::Compositor(Fonts& fonts, int width, int height) : fonts_(fonts), scale_(fonts.scale()) {
  resize(width, height);
}

Compositor::~Compositor() {
  painter_.reset();
  if (renderer_) SDL_DestroyRenderer(renderer_);
  SDL_FreeSurface(surface_);
}

// Drawn in software into a surface of its own, as the desktop's windows are
// drawn into theirs: the same renderer gives the same pixels.
void Compositor::resize(int width, int height) {
  width = std::max(1, width);
  height = std::max(1, height);
  if (surface_ && width == width_ && height == height_) return;
  painter_.reset();
  if (renderer_) SDL_DestroyRenderer(renderer_);
  SDL_FreeSurface(surface_);
  renderer_ = nullptr;
  surface_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (surface_) renderer_ = SDL_CreateSoftwareRenderer(surface_);
  if (!renderer_)
    throw std::runtime_error(std::string("cannot draw the screen: ") + SDL_GetError());
  painter_ = std::make_unique<Painter>(renderer_, fonts_);
  width_ = width;
  height_ = height;
  whole_ = true;
}

const std::uint32_t* Compositor::row(int y) const {
  return reinterpret_cast<const std::uint32_t*>(static_cast<const char*>(surface_->pixels) +
                                                static_cast<size_t>(y) * surface_->pitch);
}

// A window drawn again whole is one that came, moved, changed its size or
// title, or changed its place in the stack (so also the one that became or
// stopped being the active one); each of those also uncovers the place it
// left. Of the others only their damage is drawn.
std::vector<PixelRect> Compositor::compose(const std::vector<Window*>& windows) {
  std::vector<Shown> stack;
  std::vector<PixelRect> dirty;
  if (whole_) dirty.push_back({0, 0, width_, height_});
  for (size_t i = 0; i < windows.size(); ++i) {
    Window& window = *windows[i];
    Shown now{&window, windowArea(window, scale_), window.caption(), window.icon().get()};
    std::vector<TwipsRect> damage = window.takeDamage();
    auto was = std::find_if(stack_.begin(), stack_.end(),
                            [&](const Shown& shown) { return shown.window == &window; });
    if (was == stack_.end() || static_cast<size_t>(was - stack_.begin()) != i ||
        was->area != now.area || was->caption != now.caption || was->icon != now.icon) {
      dirty.push_back(now.area);
      if (was != stack_.end()) dirty.push_back(was->area);
    } else {
      PixelRect client = clientArea(window, scale_);
      for (PixelRect r : damagedPixels(damage, scale_, {0, 0, client.w, client.h}))
        dirty.push_back({r.x + client.x, r.y + client.y, r.w, r.h});
    }
    stack.push_back(std::move(now));
  }
  for (const Shown& was : stack_)
    if (std::none_of(windows.begin(), windows.end(), [&](Window* w) { return w == was.window; }))
      dirty.push_back(was.area);
  stack_ = std::move(stack);
  whole_ = false;

  std::vector<PixelRect> drawn;
  for (const PixelRect& r : dirty)
    if (PixelRect shown = intersect(r, {0, 0, width_, height_}); !shown.empty())
      drawn.push_back(shown);
  join(drawn);
  for (const PixelRect& r : drawn) draw(r, stack_);
  SDL_RenderFlush(renderer_);
  return drawn;
}

// Back to front, from the front-most window that covers the whole rectangle
// (the desktop when none does): what lies behind that one cannot show.
void Compositor::draw(const PixelRect& rect, const std::vector<Shown>& stack) {
  size_t back = stack.size();
  bool covered = false;
  for (size_t i = 0; i < stack.size() && !covered; ++i)
    if (contains(stack[i].area, rect)) {
      back = i + 1;
      covered = true;
    }
  if (!covered) {
    Rgb desktop = toRgb(kDesktop);
    SDL_SetRenderDrawColor(renderer_, desktop.r, desktop.g, desktop.b, 255);
    SDL_Rect r{rect.x, rect.y, rect.w, rect.h};
    SDL_RenderFillRect(renderer_, &r);
  }
  for (size_t i = back; i-- > 0;) {
    const Shown& shown = stack[i];
    if (intersect(shown.area, rect).empty()) continue;
    PixelRect client = clientArea(*shown.window, scale_);
    if (!contains(client, rect)) painter_->paintFrame(*shown.window, shown.area, i == 0, rect);
    PixelRect area = intersect(client, rect);
    if (area.empty()) continue;
    // The client area is drawn as in a window of its own, its top left at
    // the origin.
    SDL_Rect origin{client.x, client.y, client.w, client.h};
    SDL_RenderSetViewport(renderer_, &origin);
    painter_->paint(*shown.window, {area.x - client.x, area.y - client.y, area.w, area.h});
    SDL_RenderSetViewport(renderer_, nullptr);
  }
}

// What lies off the screen cannot be seen, nor clicked.
Compositor::Hit Compositor::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  for (const Shown& shown : stack_) {
    if (!inside(shown.area, x, y)) continue;
    Hit hit{.window = shown.window};
    PixelRect client = clientArea(*shown.window, scale_);
    if (inside(client, x, y)) {
      hit.client = true;
      hit.x = x - client.x;
      hit.y = y - client.y;
    } else {
      hit.closeBox = inside(closeBox(shown.area, scale_), x, y);
    }
    return hit;
  }
  return {};
}

}  // namespace brz::sdl
