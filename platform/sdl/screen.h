// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/runtime.h"
#include "platform/sdl/fonts.h"
#include "platform/sdl/look.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Cursor;

namespace brz::sdl {

class Painter;

SDL_Renderer* createRenderer(SDL_Window* window);

// The real windows: one SDL window for each runtime window that has been
// shown, kept in line with the runtime (shown, hidden, stacked, titled, placed
// and sized as it says) and drawn from its state.
class Screen {
 public:
  Screen(Runtime& runtime, Fonts& fonts);
  ~Screen();
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  // Carries out on the real windows what the runtime changed.
  void sync();
  // Draws what changed in every shown window since it was last drawn.
  void paint();
  // The windows to draw again although the runtime did not change.
  void invalidate(std::uint32_t sdlWindowId);
  bool invalid() const;

  // The runtime window behind an SDL window, or null.
  Window* find(std::uint32_t sdlWindowId) const;
  SDL_Window* sdlWindow(const Window* window) const;

  // Shows a window's custom pointer, or the arrow for null.
  void setPointer(const PictureRef& picture);

 private:
  struct Real {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::unique_ptr<Painter> painter;
    std::string title;
    const Picture* icon = nullptr;
    PixelRect area;
    bool shown = false;
    bool invalid = true;       // to be drawn whole
    bool active = false;       // the active window when last drawn
    bool keepsPixels = false;  // the renderer draws into the window's own pixels
  };
  struct Pointer {
    std::weak_ptr<const Picture> picture;
    SDL_Cursor* cursor = nullptr;
  };

  Real& create(Window& window);
  void restack();

  Runtime& runtime_;
  Fonts& fonts_;
  std::map<const Window*, Real> reals_;
  std::vector<Window*> stacking_;  // the shown windows, front first, as last carried out
  std::map<const Picture*, Pointer> pointers_;
  const Picture* pointer_ = nullptr;
};

}  // namespace brz::sdl
