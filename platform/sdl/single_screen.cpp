// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/single_screen.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/sdl/display.h"
#include "platform/sdl/message_box.h"
#include "platform/sdl/pointer.h"
#include "platform/sdl/x11_errors.h"

namespace brz::sdl {

namespace {

constexpr const char* kUntitled = "Brizzlet";

bool isButton(const SDL_Event& event) {
  return event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP;
}

}  // namespace

SingleScreen::SingleScreen(Runtime& runtime, Fonts& fonts) : runtime_(runtime), fonts_(fonts) {}

SingleScreen::~SingleScreen() {
  if (!systemPointer_) SDL_ShowCursor(SDL_ENABLE);
  SDL_FreeSurface(pointerSurface_);
  SDL_FreeSurface(under_);
  compositor_.reset();
  if (window_) SDL_DestroyWindow(window_);
}

std::vector<Window*> SingleScreen::stack() const {
  std::vector<Window*> windows = runtime_.zOrder();
  if (box_) windows.insert(windows.begin(), &box_->window());
  return windows;
}

// The screen is the runtime's, the one its windows centre on: the display's,
// or the one a recording was made on. The host window opens when the first
// window shows, as large as the screen where the desktop leaves the room.
void SingleScreen::sync() {
  std::vector<Window*> windows = stack();
  const Scale& scale = fonts_.scale();
  int width = scale.toPixels(runtime_.screenWidth()),
      height = scale.toPixels(runtime_.screenHeight());
  if (!window_) {
    if (windows.empty()) return;
    compositor_ = std::make_unique<Compositor>(fonts_, width, height);
    rgba_ = showsRgba();
    SDL_Rect room{0, 0, width, height};
    if (!windowRoom(room)) room = {0, 0, width, height};
    window_ = SDL_CreateWindow(kUntitled, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               std::min(width, room.w), std::min(height, room.h),
                               SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (!window_) {
      std::fprintf(stderr, "brizzlet: cannot open the window: %s\n", SDL_GetError());
      compositor_.reset();
      return;
    }
    SDL_ShowWindow(window_);
    wholeShown_ = false;
  }
  if (width != compositor_->width() || height != compositor_->height()) {
    compositor_->resize(width, height);
    underAt_ = {};
    // Shown as it is, the screen is the window, pixel for pixel.
    if (rgba_) SDL_SetWindowSize(window_, width, height);
    wholeShown_ = false;
  }
  if (!wholeShown_) {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    showing_ = Showing::fit(compositor_->width(), compositor_->height(), w, h);
  }
  // The window is titled as the window in front, as a task bar shows it.
  if (windows.empty()) return;
  std::string title = windows.front()->caption().empty() ? kUntitled : windows.front()->caption();
  if (title != title_) {
    title_ = title;
    SDL_SetWindowTitle(window_, title_.c_str());
  }
  const Picture* icon = windows.front()->icon().get();
  if (icon && icon != icon_) {
    icon_ = icon;
    setIcon(window_, windows.front()->runtime(), *icon);
  }
}

void SingleScreen::paint() {
  if (!compositor_) return;
  // A hidden window is drawn whole when it shows again.
  for (const auto& window : runtime_.windows())
    if (!window->visible()) window->takeDamage();
  if (rgba_) putBackUnderPointer();
  present(compositor_->compose(stack()));
}

bool SingleScreen::invalid() const {
  return compositor_ && (!wholeShown_ || pointerArea() != pointerShown_);
}

void SingleScreen::windowEvent(const SDL_Event& event) {
  if (!window_ || event.window.windowID != SDL_GetWindowID(window_)) return;
  switch (event.window.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_EXPOSED:
      wholeShown_ = false;
      sync();
      break;
    case SDL_WINDOWEVENT_LEAVE:
      mouseIn_ = false;
      break;
    default:
      break;
  }
}

Screen::Spot SingleScreen::spotAt(int hostX, int hostY) const {
  if (!compositor_ || box_) return {};
  Compositor::Hit hit = compositor_->at(showing_.screenX(hostX), showing_.screenY(hostY));
  if (!hit.client) return {};
  return {hit.window, hit.x, hit.y};
}

Screen::Spot SingleScreen::spotOf(const SDL_Event& event) const {
  if (!window_) return {};
  std::uint32_t id = SDL_GetWindowID(window_);
  if (event.type == SDL_MOUSEMOTION && event.motion.windowID == id)
    return spotAt(event.motion.x, event.motion.y);
  if (isButton(event) && event.button.windowID == id) return spotAt(event.button.x, event.button.y);
  return {};
}

Screen::Spot SingleScreen::pointer() const {
  if (!window_ || SDL_GetMouseFocus() != window_) return {};
  int x = 0, y = 0;
  SDL_GetMouseState(&x, &y);
  return spotAt(x, y);
}

// Closing the host window takes the whole screen away: it closes the window
// in front. A close box closes its window when the left button that pressed
// it is let go over it.
Window* SingleScreen::closing(const SDL_Event& event) {
  if (!window_) return nullptr;
  std::uint32_t id = SDL_GetWindowID(window_);
  if (event.type == SDL_WINDOWEVENT && event.window.windowID == id &&
      event.window.event == SDL_WINDOWEVENT_CLOSE)
    return runtime_.activeWindow();
  if (!isButton(event) || event.button.windowID != id || event.button.button != SDL_BUTTON_LEFT)
    return nullptr;
  Compositor::Hit hit =
      compositor_->at(showing_.screenX(event.button.x), showing_.screenY(event.button.y));
  Window* box = hit.closeBox ? hit.window : nullptr;
  if (event.type == SDL_MOUSEBUTTONDOWN) {
    pressedClose_ = box;
    return nullptr;
  }
  Window* closed = box == pressedClose_ ? box : nullptr;
  pressedClose_ = nullptr;
  return closed;
}

Window* SingleScreen::destroyed(const SDL_Event& event) const {
  if (!window_ || !destroyedFromOutside(event, window_) || runtime_.windows().empty())
    return nullptr;
  Window* active = runtime_.activeWindow();
  return active ? active : runtime_.windows().front().get();
}

void SingleScreen::setPointer(const PictureRef& picture) {
  mouseIn_ = window_ && SDL_GetMouseFocus() == window_;
  if (mouseIn_) SDL_GetMouseState(&mouseX_, &mouseY_);
  showPointer(picture);
}

// The system's arrow shows wherever the game's own pointer does not.
void SingleScreen::showPointer(const PictureRef& picture) {
  PictureRef shown = picture && picture->width > 0 && picture->height > 0 ? picture : nullptr;
  int factor = fonts_.scale().factor() * showing_.factor;
  if (shown != pointer_ || factor != pointerFactor_) {
    pointer_ = shown;
    pointerFactor_ = factor;
    SDL_FreeSurface(pointerSurface_);
    pointerSurface_ = nullptr;
    if (shown) {
      Picture big = magnified(*shown, Scale(factor));
      pointerSurface_ =
          SDL_CreateRGBSurfaceWithFormat(0, big.width, big.height, 32, SDL_PIXELFORMAT_ARGB8888);
      if (pointerSurface_) {
        for (int y = 0; y < big.height; ++y)
          std::memcpy(static_cast<char*>(pointerSurface_->pixels) + y * pointerSurface_->pitch,
                      &big.argb[static_cast<size_t>(y) * big.width], big.width * 4);
        SDL_SetSurfaceBlendMode(pointerSurface_, SDL_BLENDMODE_BLEND);
      }
    }
  }
  bool system = pointerArea().empty();
  if (system != systemPointer_) {
    SDL_ShowCursor(system ? SDL_ENABLE : SDL_DISABLE);
    systemPointer_ = system;
  }
}

// Its hot spot, the middle, on the mouse.
PixelRect SingleScreen::pointerArea() const {
  if (!pointerSurface_ || !mouseIn_ || box_) return {};
  return {mouseX_ - pointerSurface_->w / 2, mouseY_ - pointerSurface_->h / 2, pointerSurface_->w,
          pointerSurface_->h};
}

void SingleScreen::pointTo(const Window& window, Twips x, Twips y) {
  if (window_ && compositor_ && window.visible()) {
    const Scale& scale = fonts_.scale();
    PixelRect client = clientArea(window, scale);
    int m = showing_.factor;
    mouseX_ = (client.x + scale.toPixels(x)) * m + showing_.x + m / 2;
    mouseY_ = (client.y + scale.toPixels(y)) * m + showing_.y + m / 2;
    mouseIn_ = true;
    SDL_WarpMouseInWindow(window_, mouseX_, mouseY_);
  }
  showPointer(pointerAt(runtime_, window, x, y));
}

// The box is a window of the screen, over the window in front. Until it is
// answered the rest of the screen takes no input, and is drawn again only
// when the host window needs it.
bool SingleScreen::messageBox(const std::string& title, const std::string& text) {
  sync();
  if (!window_) return false;
  MessageBox box(title, text, fonts_);
  Window& boxWindow = box.window();
  if (Window* parent = runtime_.activeWindow()) {
    boxWindow.setLeft(parent->left() + (parent->width() - boxWindow.width()) / 2);
    boxWindow.setTop(parent->top() + (parent->height() - boxWindow.height()) / 2);
  } else {
    boxWindow.setLeft((runtime_.screenWidth() - boxWindow.width()) / 2);
    boxWindow.setTop((runtime_.screenHeight() - boxWindow.height()) / 2);
  }
  box_ = &box;
  showPointer(pointer_);
  sync();
  std::uint32_t id = SDL_GetWindowID(window_);
  std::uint64_t painted = ~std::uint64_t{0};
  while (!box.answered()) {
    if (box.revision() != painted || !wholeShown_) {
      painted = box.revision();
      paint();
    }
    SDL_Event event;
    if (!waitEvent(event, -1)) break;
    if (event.type == SDL_QUIT) {
      SDL_PushEvent(&event);  // for the game's own loop to see
      box.close();
    } else if (event.type == SDL_WINDOWEVENT) {
      if (event.window.windowID == id && event.window.event == SDL_WINDOWEVENT_CLOSE)
        box.close();
      else
        windowEvent(event);
    } else if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
      box.handle(event);
    } else if (isButton(event) && event.button.windowID == id) {
      int x = showing_.screenX(event.button.x), y = showing_.screenY(event.button.y);
      Compositor::Hit hit = compositor_->at(x, y);
      if (hit.window == &boxWindow && hit.closeBox && event.type == SDL_MOUSEBUTTONUP) {
        box.close();
      } else if (bool on = hit.window == &boxWindow && hit.client;
                 on || event.type == SDL_MOUSEBUTTONUP) {
        // A release off the box ends a press on it, clicking nothing.
        SDL_Event local = event;
        local.button.x = on ? hit.x : -1;
        local.button.y = on ? hit.y : -1;
        box.handle(local);
      }
    }
  }
  // Off the screen before the box goes.
  box_ = nullptr;
  sync();
  paint();
  showPointer(pointer_);
  return true;
}

void SingleScreen::present(std::vector<PixelRect> rects) {
  if (rgba_) return presentRgba(std::move(rects));
  SDL_Surface* host = window_ ? SDL_GetWindowSurface(window_) : nullptr;
  if (!host) return;
  std::vector<PixelRect> sent;
  if (!wholeShown_) {
    SDL_FillRect(host, nullptr, SDL_MapRGB(host->format, 0, 0, 0));
    rects = {{0, 0, compositor_->width(), compositor_->height()}};
    sent.push_back({0, 0, host->w, host->h});
  }
  // The pointer's old and new places, in the screen's pixels that hold them.
  PixelRect pointer = pointerArea();
  if (pointer != pointerShown_)
    for (const PixelRect& r : {pointerShown_, pointer})
      if (!r.empty()) {
        int left = showing_.screenX(r.x), top = showing_.screenY(r.y);
        rects.push_back({left, top, showing_.screenX(r.x + r.w - 1) + 1 - left,
                         showing_.screenY(r.y + r.h - 1) + 1 - top});
      }
  for (const PixelRect& r : rects) copy(host, r, sent);
  pointerShown_ = pointer;
  if (!wholeShown_) sent.resize(1);
  wholeShown_ = true;
  std::vector<SDL_Rect> out;
  for (const PixelRect& r : sent) out.push_back({r.x, r.y, r.w, r.h});
  if (!out.empty()) SDL_UpdateWindowSurfaceRects(window_, out.data(), static_cast<int>(out.size()));
}

namespace {

// ARGB to R, G, B, A in memory and back: red and blue change places, and
// the pixel is made opaque. (The compositor draws no colour by its alpha.)
void swapRedAndBlue(SDL_Surface* surface, const PixelRect& rect) {
  for (int y = rect.y; y < rect.y + rect.h; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(static_cast<char*>(surface->pixels) +
                                                 static_cast<size_t>(y) * surface->pitch);
    for (int x = rect.x; x < rect.x + rect.w; ++x) {
      std::uint32_t p = row[x];
      row[x] = 0xFF000000 | (p & 0xFF00) | (p >> 16 & 0xFF) | (p & 0xFF) << 16;
    }
  }
}

}  // namespace

// The screen is the host window, pixel for pixel (sync). Each part is shown
// in the display's order and turned back for the compositor to draw on.
void SingleScreen::presentRgba(std::vector<PixelRect> rects) {
  SDL_Surface* screen = compositor_->surface();
  PixelRect whole{0, 0, screen->w, screen->h};
  if (!wholeShown_) rects = {whole};
  PixelRect pointer = pointerArea();
  if (pointer != pointerShown_) rects.insert(rects.end(), {pointerShown_, pointer});
  if (!pointer.empty()) {
    if (!under_ || under_->w != pointer.w || under_->h != pointer.h) {
      SDL_FreeSurface(under_);
      under_ =
          SDL_CreateRGBSurfaceWithFormat(0, pointer.w, pointer.h, 32, SDL_PIXELFORMAT_ARGB8888);
    }
    SDL_Rect at{pointer.x, pointer.y, pointer.w, pointer.h};
    SDL_SetSurfaceBlendMode(screen, SDL_BLENDMODE_NONE);
    SDL_SetClipRect(screen, nullptr);  // the compositor's drawing leaves one set
    if (under_ && SDL_BlitSurface(screen, &at, under_, nullptr) == 0) {
      underAt_ = pointer;
      at = {pointer.x, pointer.y, pointer.w, pointer.h};
      SDL_BlitSurface(pointerSurface_, nullptr, screen, &at);
    }
  }
  pointerShown_ = pointer;
  wholeShown_ = true;
  if (SDL_MUSTLOCK(screen)) SDL_LockSurface(screen);
  for (const PixelRect& r : rects)
    if (PixelRect shown = intersect(r, whole); !shown.empty()) {
      swapRedAndBlue(screen, shown);
      showRgba(window_, screen->pixels, screen->pitch, {shown.x, shown.y, shown.w, shown.h});
      swapRedAndBlue(screen, shown);
    }
  if (SDL_MUSTLOCK(screen)) SDL_UnlockSurface(screen);
}

// The screen as composed, for the compositor to draw on.
void SingleScreen::putBackUnderPointer() {
  if (underAt_.empty()) return;
  SDL_Rect at{underAt_.x, underAt_.y, underAt_.w, underAt_.h};
  SDL_SetSurfaceBlendMode(under_, SDL_BLENDMODE_NONE);
  SDL_SetClipRect(compositor_->surface(), nullptr);
  SDL_BlitSurface(under_, nullptr, compositor_->surface(), &at);
  underAt_ = {};
}

// Each pixel of the screen becomes a square of the showing's factor.
void SingleScreen::copy(SDL_Surface* host, const PixelRect& rect, std::vector<PixelRect>& sent) {
  PixelRect from = intersect(rect, {0, 0, compositor_->width(), compositor_->height()});
  if (from.empty()) return;
  int m = showing_.factor;
  PixelRect to =
      intersect({from.x * m + showing_.x, from.y * m + showing_.y, from.w * m, from.h * m},
                {0, 0, host->w, host->h});
  if (to.empty()) return;
  const SDL_PixelFormat& format = *host->format;
  if (format.BytesPerPixel == 4) {
    if (SDL_MUSTLOCK(host)) SDL_LockSurface(host);
    bool same = format.Rshift == 16 && format.Gshift == 8 && format.Bshift == 0;
    for (int y = to.y; y < to.y + to.h; ++y) {
      const std::uint32_t* in = compositor_->row(showing_.screenY(y));
      auto* out = reinterpret_cast<std::uint32_t*>(static_cast<char*>(host->pixels) +
                                                   static_cast<size_t>(y) * host->pitch);
      int sx = showing_.screenX(to.x), k = to.x - showing_.x - sx * m;
      for (int x = to.x; x < to.x + to.w; ++x) {
        std::uint32_t p = in[sx];
        out[x] = same ? (p & 0xFFFFFF) | format.Amask
                      : ((p >> 16 & 0xFF) << format.Rshift) | ((p >> 8 & 0xFF) << format.Gshift) |
                            ((p & 0xFF) << format.Bshift) | format.Amask;
        if (++k == m) {
          k = 0;
          ++sx;
        }
      }
    }
    if (SDL_MUSTLOCK(host)) SDL_UnlockSurface(host);
  } else {
    SDL_Rect src{from.x, from.y, from.w, from.h};
    SDL_Rect dst{from.x * m + showing_.x, from.y * m + showing_.y, from.w * m, from.h * m};
    SDL_BlitScaled(compositor_->surface(), &src, host, &dst);
  }
  sent.push_back(to);
  PixelRect pointer = pointerArea();
  if (intersect(pointer, to).empty()) return;
  SDL_Rect clip{to.x, to.y, to.w, to.h}, at{pointer.x, pointer.y, pointer.w, pointer.h};
  SDL_SetClipRect(host, &clip);
  SDL_BlitSurface(pointerSurface_, nullptr, host, &at);
  SDL_SetClipRect(host, nullptr);
}

}  // namespace brz::sdl
