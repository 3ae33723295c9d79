// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime.h"
#include "platform/sdl/fonts.h"
#include "platform/sdl/look.h"

struct SDL_Surface;
struct SDL_Renderer;

namespace brz::sdl {

class Painter;

// How a screen shows in a host window of another size: magnified by the
// largest whole number at which it fits, at least 1, so it stays crisp, and
// centred; a screen larger than the window is cut off evenly at both sides.
struct Showing {
  int factor = 1;
  int x = 0, y = 0;  // where the screen's top left falls in the host window
  static Showing fit(int screenWidth, int screenHeight, int hostWidth, int hostHeight);
  // The screen's pixel under a pixel of the host window; it may lie off the
  // screen.
  int screenX(int hostX) const;
  int screenY(int hostY) const;
};

// The whole screen as one picture, for a display that gives the game a
// single surface (one desktop window, a browser's canvas): every shown
// window at its Left and Top, in the frame a window manager would give it,
// the front one over those behind, on the desktop's colour. Each client area
// holds the very pixels the desktop front end draws in that window. Needs
// no display.
class Compositor {
 public:
  // Draws at the scale of `fonts`, on a screen of `width` x `height` pixels.
  Compositor(Fonts& fonts, int width, int height);
  ~Compositor();
  Compositor(const Compositor&) = delete;
  Compositor& operator=(const Compositor&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }
  // A screen of another size, drawn whole at the next compose.
  void resize(int width, int height);
  // Everything is drawn again at the next compose.
  void invalidate() { whole_ = true; }

  // Brings the picture up to date with `windows`, the shown ones, front
  // first: the first is the active one. Draws what changed since the last
  // compose (the windows' damage, which it takes, and whatever moved, came,
  // went or changed its title) and returns the parts of the screen it drew.
  std::vector<PixelRect> compose(const std::vector<Window*>& windows);

  // The picture, straight ARGB, width() pixels a row.
  const std::uint32_t* row(int y) const;
  SDL_Surface* surface() const { return surface_; }

  // What lies at a point of the screen as last composed: the front-most
  // window there, or none on the bare desktop or off the screen; whether the point is in its
  // client area, at (x, y) pixels of it, or on its close box.
  struct Hit {
    Window* window = nullptr;
    bool client = false;
    bool closeBox = false;
    int x = 0, y = 0;
  };
  Hit at(int x, int y) const;

 private:
  // A window as last composed.
  struct Shown {
    Window* window = nullptr;
    PixelRect area;  // frame included
    std::string caption;
    const Picture* icon = nullptr;
  };
  void draw(const PixelRect& rect, const std::vector<Shown>& stack);

  Fonts& fonts_;
  Scale scale_;
  int width_ = 0, height_ = 0;
  SDL_Surface* surface_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  std::unique_ptr<Painter> painter_;
  std::vector<Shown> stack_;  // front first
  bool whole_ = true;
};

}  // namespace brz::sdl
