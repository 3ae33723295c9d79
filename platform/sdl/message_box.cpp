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

// The box's client area in pixels and its two controls: the text wrapped no
// wider than kMaxTextWidth, the OK button centred under it.
struct BoxLayout {
  int width = 0, height = 0;
  std::vector<ControlLayout> controls;
};

BoxLayout layOut(const std::string& text, Fonts& fonts) {
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
  return {w,
          h,
          {{.kind = ControlKind::CommandButton,
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
            .caption = text}}};
}

// A hidden window of `w` x `h` pixels centred over `parent` (or the screen);
// null if SDL cannot make one.
SDL_Window* openWindow(const std::string& title, int w, int h, SDL_Window* parent) {
  int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
  if (parent) {
    int px, py, pw, ph;
    SDL_GetWindowPosition(parent, &px, &py);
    SDL_GetWindowSize(parent, &pw, &ph);
    x = px + (pw - w) / 2;
    y = py + (ph - h) / 2;
  }
  return SDL_CreateWindow(title.c_str(), x, y, w, h, SDL_WINDOW_HIDDEN);
}

// The SDL window an event is for; the keyboard belongs to the modal box.
std::uint32_t targetOf(const SDL_Event& event, std::uint32_t box) {
  switch (event.type) {
    case SDL_WINDOWEVENT:
      return event.window.windowID;
    case SDL_MOUSEMOTION:
      return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return event.button.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return box;
    default:
      return 0;
  }
}

}  // namespace

// The box is a little window of its own toolkit: a label and a button.
MessageBox::MessageBox(const std::string& title, const std::string& text, Fonts& fonts)
    : host_(fonts), runtime_(host_), scale_(fonts.scale()) {
  const Scale& scale = scale_;
  BoxLayout layout = layOut(text, fonts);
  window_ = std::make_unique<BoxWindow>(runtime_,
                                        WindowLayout{.name = "MsgBox",
                                                     .caption = title,
                                                     .clientWidth = scale.toTwips(layout.width),
                                                     .clientHeight = scale.toTwips(layout.height)},
                                        layout.controls);
  auto& ok = window_->control<CommandButton>("OK");
  ok.click = [this] { answered_ = true; };
  window_->show();
  ok.setFocus();
}

MessageBox::~MessageBox() = default;

void MessageBox::handle(const SDL_Event& event) {
  if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) {
    pressed_ = true;
  } else if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT &&
             pressed_) {
    // On the release: the box is gone before the release could reach it
    // otherwise, and SDL would take the button for still held down.
    pressed_ = false;
    runtime_.clickAt(*window_, scale_.pointAt(event.button.x), scale_.pointAt(event.button.y));
  } else if (event.type == SDL_KEYDOWN) {
    SDL_Keycode key = event.key.keysym.sym;
    if (key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE || key == SDLK_ESCAPE)
      answered_ = true;
  }
}

// The box's own event loop, until it is answered: it draws the box when it
// changed or was uncovered, and hands what is not for it to `elsewhere`.
bool showMessageBox(const std::string& title, const std::string& text, Fonts& fonts,
                    SDL_Window* parent, const std::function<void(const SDL_Event&)>& elsewhere) {
  MessageBox box(title, text, fonts);
  int width = fonts.scale().toPixels(box.window().clientWidth());
  int height = fonts.scale().toPixels(box.window().clientHeight());
  SDL_Window* window = openWindow(title, width, height, parent);
  if (!window) return false;
  SDL_Renderer* renderer = createRenderer(window);
  if (!renderer) {
    SDL_DestroyWindow(window);
    return false;
  }
  if (parent) SDL_SetWindowModalFor(window, parent);
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  {
    Painter painter(renderer, fonts);
    std::uint32_t id = SDL_GetWindowID(window);
    std::uint64_t painted = ~std::uint64_t{0};
    while (!box.answered()) {
      if (box.revision() != painted) {
        painted = box.revision();
        painter.paint(box.window());
        SDL_RenderPresent(renderer);
      }
      SDL_Event event;
      if (SDL_WaitEvent(&event) != 1) break;
      if (event.type == SDL_QUIT) {
        SDL_PushEvent(&event);  // for the game's own loop to see
        box.close();
      } else if (targetOf(event, id) != id) {
        elsewhere(event);
      } else if (event.type == SDL_WINDOWEVENT) {
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) box.close();
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) painted = ~std::uint64_t{0};
      } else {
        box.handle(event);
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
