// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/runtime.h"
#include "platform/sdl/fonts.h"

struct SDL_Window;
union SDL_Event;

namespace brz::sdl {

// The toolkit's message box as a window of its own little runtime: the text,
// wrapped, and an OK button under it, with the focus. Whoever shows it
// places it, draws it and hands it the player's input.
class MessageBox {
 public:
  MessageBox(const std::string& title, const std::string& text, Fonts& fonts);
  ~MessageBox();
  MessageBox(const MessageBox&) = delete;
  MessageBox& operator=(const MessageBox&) = delete;

  Window& window() const { return *window_; }
  // Bumped by every change to draw.
  std::uint64_t revision() const { return runtime_.revision(); }
  bool answered() const { return answered_; }
  // The player's input to it: an SDL event for the box, its mouse events in
  // pixels of its client area. OK answers on the release of a left press,
  // as a push button does; Enter, Space and Escape answer too.
  void handle(const SDL_Event& event);
  // The box is closed, or the program asked to quit: that answers it too.
  void close() { answered_ = true; }

 private:
  MeasuringHost host_;
  Runtime runtime_;
  Scale scale_;
  std::unique_ptr<Window> window_;
  bool answered_ = false;
  bool pressed_ = false;
};

// The toolkit's message box: the text and an OK button in a window of its
// own, centred over `parent` (or the screen), in the same look as the game's
// windows. Modal: returns once OK is pressed (a click, Enter, Space or Escape)
// or the box is closed. Events for the other windows go to `elsewhere`, which
// redraws them but takes no input. Returns false if the box cannot be shown.
bool showMessageBox(const std::string& title, const std::string& text, Fonts& fonts,
                    SDL_Window* parent, const std::function<void(const SDL_Event&)>& elsewhere);

}  // namespace brz::sdl
