// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/sdl/compositor.h"
#include "platform/sdl/screen.h"

struct SDL_Window;
struct SDL_Surface;

namespace brz::sdl {

class MessageBox;

// The whole screen in one desktop window, for desktops where the game's own
// windows cannot be placed (tiling window managers, Wayland): the runtime's
// windows composed on it as a window manager would show them, the message
// box among them, and the screen shown crisp at a whole-number size in the
// window (Showing). The mouse goes to the front-most window under it, in
// that window's pixels; a custom pointer is drawn with the screen.
class SingleScreen final : public Screen {
 public:
  SingleScreen(Runtime& runtime, Fonts& fonts);
  ~SingleScreen() override;
  SingleScreen(const SingleScreen&) = delete;
  SingleScreen& operator=(const SingleScreen&) = delete;

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
  // The windows on the screen, front first: the message box when it is up,
  // then the runtime's shown windows.
  std::vector<Window*> stack() const;
  Spot spotAt(int hostX, int hostY) const;
  void showPointer(const PictureRef& picture);
  // The custom pointer's place in the host window, empty when none shows.
  PixelRect pointerArea() const;
  // Copies parts of the screen into the host window, the pointer over them.
  void present(std::vector<PixelRect> rects);
  // Where the display shows the screen's own pixels (showsRgba), the
  // pointer is drawn in them, what it covers kept to be put back before the
  // screen is drawn again.
  void presentRgba(std::vector<PixelRect> rects);
  void putBackUnderPointer();
  void copy(SDL_Surface* host, const PixelRect& rect, std::vector<PixelRect>& sent);

  Runtime& runtime_;
  Fonts& fonts_;
  std::unique_ptr<Compositor> compositor_;  // made when the first window shows
  bool rgba_ = false;                       // the host window shows the compositor's pixels
  SDL_Surface* under_ = nullptr;            // what the pointer covers there
  PixelRect underAt_;
  SDL_Window* window_ = nullptr;
  std::string title_;
  const Picture* icon_ = nullptr;
  Showing showing_;
  bool wholeShown_ = false;  // the host window holds the whole screen
  MessageBox* box_ = nullptr;
  PictureRef pointer_;
  SDL_Surface* pointerSurface_ = nullptr;  // magnified for the host window
  int pointerFactor_ = 0;
  bool mouseIn_ = false;
  int mouseX_ = 0, mouseY_ = 0;  // in the host window
  PixelRect pointerShown_;       // where it was last drawn there
  bool systemPointer_ = true;
  Window* pressedClose_ = nullptr;  // a close box pressed and not yet let go
};

}  // namespace brz::sdl
