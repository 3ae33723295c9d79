// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime.h"
#include "platform/sdl/fonts.h"
#include "platform/sdl/look.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Cursor;
union SDL_Event;

namespace brz::sdl {

class Painter;

SDL_Renderer* createRenderer(SDL_Window* window);
// Gives a window manager a runtime window's icon, as large as there is one.
void setIcon(SDL_Window* window, Runtime& runtime, const Picture& icon);

// Where the runtime's windows show, and where the mouse meets them: all the
// event loop and a replay know of the display.
class Screen {
 public:
  virtual ~Screen() = default;

  // Carries out on the display what the runtime changed.
  virtual void sync() = 0;
  // Draws what changed since it was last drawn.
  virtual void paint() = 0;
  // Whether there is something to draw although the runtime did not change.
  virtual bool invalid() const = 0;
  // An SDL window event: a window uncovered, resized, left by the pointer.
  virtual void windowEvent(const SDL_Event& event) = 0;

  // A point of a window's client area, in its pixels; no window for none.
  struct Spot {
    Window* window = nullptr;
    int x = 0, y = 0;
  };
  // Where a mouse motion or button event points.
  virtual Spot spotOf(const SDL_Event& event) const = 0;
  // Where the mouse points now.
  virtual Spot pointer() const = 0;
  // The window the player closes by this event, or null.
  virtual Window* closing(const SDL_Event& event) = 0;
  // The window another program took away by this event, or null.
  virtual Window* destroyed(const SDL_Event& event) const = 0;

  // Shows a custom pointer where the mouse is, or the arrow for null.
  virtual void setPointer(const PictureRef& picture) = 0;
  // Puts the mouse on a point of a window (in its twips), showing what
  // pointer it would show there: a replay shows where its input lands.
  virtual void pointTo(const Window& window, Twips x, Twips y) = 0;
  // The toolkit's modal message box, over the active window: returns when
  // it is answered, or false at once when it cannot be shown. Meanwhile the
  // windows are drawn again as needed but take no input.
  virtual bool messageBox(const std::string& title, const std::string& text) = 0;
};

// The real windows: one SDL window for each runtime window that has been
// shown, kept in line with the runtime (shown, hidden, stacked, titled, placed
// and sized as it says) and drawn from its state.
class WindowScreen final : public Screen {
 public:
  WindowScreen(Runtime& runtime, Fonts& fonts);
  ~WindowScreen() override;
  WindowScreen(const WindowScreen&) = delete;
  WindowScreen& operator=(const WindowScreen&) = delete;

  void sync() override;
  void paint() override;
  bool invalid() const override;
  void windowEvent(const SDL_Event& event) override;
  Spot spotOf(const SDL_Event& event) const override;
  Spot pointer() const override;
  Window* closing(const SDL_Event& event) override;
  Window* destroyed(const SDL_Event& event) const override;
  void setPointer(const PictureRef& picture) override;
  void pointTo(const Window& window, Twips x, Twips y) override;
  bool messageBox(const std::string& title, const std::string& text) override;

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
  // The runtime window behind an SDL window, or null.
  Window* find(std::uint32_t sdlWindowId) const;

  Runtime& runtime_;
  Fonts& fonts_;
  std::map<const Window*, Real> reals_;
  std::vector<Window*> stacking_;  // the shown windows, front first, as last carried out
  std::map<const Picture*, Pointer> pointers_;
  const Picture* pointer_ = nullptr;
};

}  // namespace brz::sdl
