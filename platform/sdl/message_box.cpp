// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/message_box.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

#include "platform/runtime.h"
#include "platform/sdl/look.h"
#include "platform/sdl/painter.h"
#include "platform/sdl/screen.h"

namespace brz::sdl {

namespace {

// In 96-dpi pixels: the margins round the text, the OK button, the widest line.
constexpr int kMargin = 16, kButtonWidth = 75, kButtonHeight = 23, kMaxTextWidth = 420;

class BoxWindow : public Window {
 public:
  BoxWindow(Runtime& runtime, const WindowLayout& layout, std::span<const ControlLayout> controls)
      : Window(runtime, layout, controls) {}
};

}  // namespace

bool showMessageBox(const std::string& title, const std::string& text, Fonts& fonts,
                    SDL_Window* parent, const std::function<void(const SDL_Event&)>& elsewhere) {
  // The box is a little window of its own toolkit: a label and a button.
  MeasuringHost host(fonts);
  Runtime runtime(host);
  const Scale& scale = fonts.scale();
  int margin = scale.pixels(kMargin), buttonWidth = scale.pixels(kButtonWidth),
      buttonHeight = scale.pixels(kButtonHeight);
  Font font;
  auto lines = fonts.wrap(text, font, scale.pixels(kMaxTextWidth));
  int textWidth = 0;
  for (const auto& line : lines) textWidth = std::max(textWidth, fonts.width(line, font));
  int textHeight = fonts.lineHeight(font) * static_cast<int>(lines.size());
  int w = std::max(textWidth, buttonWidth) + 2 * margin;
  int h = margin + textHeight + margin + buttonHeight + margin * 3 / 4;
  std::vector<ControlLayout> controls = {
      {.kind = ControlKind::CommandButton,
       .name = "OK",
       .left = scale.toTwips((w - buttonWidth) / 2),
       .top = scale.toTwips(h - buttonHeight - margin * 3 / 4),
       .width = scale.toTwips(buttonWidth),
       .height = scale.toTwips(buttonHeight),
       .caption = "OK"},
      {.kind = ControlKind::Label,
       .name = "Text",
       .left = scale.toTwips(margin),
       .top = scale.toTwips(margin),
       .width = scale.toTwips(textWidth + scale.pixels(1)),
       .height = scale.toTwips(textHeight),
       .caption = text},
  };
  BoxWindow box(runtime,
                {.name = "MsgBox",
                 .caption = title,
                 .clientWidth = scale.toTwips(w),
                 .clientHeight = scale.toTwips(h)},
                controls);
  bool answered = false;
  auto& ok = box.control<CommandButton>("OK");
  ok.click = [&] { answered = true; };
  box.show();
  ok.setFocus();

  int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
  if (parent) {
    int px, py, pw, ph;
    SDL_GetWindowPosition(parent, &px, &py);
    SDL_GetWindowSize(parent, &pw, &ph);
    x = px + (pw - w) / 2;
    y = py + (ph - h) / 2;
  }
  SDL_Window* window = SDL_CreateWindow(title.c_str(), x, y, w, h, SDL_WINDOW_HIDDEN);
  if (!window) return false;
  SDL_Renderer* renderer = createRenderer(window);
  if (!renderer) {
    SDL_DestroyWindow(window);
    return false;
  }
  if (parent) SDL_SetWindowModalFor(window, parent);
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  std::uint32_t id = SDL_GetWindowID(window);
  {
    Painter painter(renderer, fonts);
    std::uint64_t painted = ~std::uint64_t{0};
    bool pressed = false;
    while (!answered) {
      if (runtime.revision() != painted) {
        painted = runtime.revision();
        painter.paint(box);
        SDL_RenderPresent(renderer);
      }
      SDL_Event event;
      if (SDL_WaitEvent(&event) != 1) break;
      std::uint32_t target = 0;
      switch (event.type) {
        case SDL_WINDOWEVENT:
          target = event.window.windowID;
          break;
        case SDL_MOUSEMOTION:
          target = event.motion.windowID;
          break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
          target = event.button.windowID;
          break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
          target = id;  // the keyboard belongs to the modal box
          break;
        case SDL_QUIT:
          SDL_PushEvent(&event);  // for the game's own loop to see
          answered = true;
          continue;
        default:
          break;
      }
      if (target != id) {
        elsewhere(event);
        continue;
      }
      if (event.type == SDL_WINDOWEVENT) {
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) answered = true;
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) painted = ~std::uint64_t{0};
      } else if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) {
        pressed = true;
      } else if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT &&
                 pressed) {
        // OK answers on the release, as a push button does: the box is gone
        // before the release could reach it otherwise, and SDL would take the
        // button for still held down.
        pressed = false;
        runtime.clickAt(box, scale.pointAt(event.button.x), scale.pointAt(event.button.y));
      } else if (event.type == SDL_KEYDOWN) {
        SDL_Keycode key = event.key.keysym.sym;
        if (key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE || key == SDLK_ESCAPE)
          answered = true;
      }
    }
  }
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  // The keyboard goes back where it was, also with no window manager to say so.
  if (parent) {
    SDL_RaiseWindow(parent);
    SDL_SetWindowInputFocus(parent);
  }
  return true;
}

}  // namespace brz::sdl
