// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/painter.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace brz::sdl {

namespace {

// Frames whose texts and pictures were not drawn for this long lose their textures.
constexpr std::uint64_t kKeepFrames = 120;
// The check box's square and the classic seven-by-seven tick inside it, in
// 96-dpi pixels.
constexpr int kCheckSize = 13;
constexpr const char* kTick[] = {
    "......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X....",
};
// The cross on a close box, and the icon in a title bar, in 96-dpi pixels.
constexpr const char* kCross[] = {
    "XX....XX", ".XX..XX.", "..XXXX..", "...XX...", "..XXXX..", ".XX..XX.", "XX....XX",
};
constexpr int kTitleIcon = 16;
// The title bar's colours and caption, from the classic scheme.
constexpr Color kActiveTitle = 0x80000002, kInactiveTitle = 0x80000003;
constexpr Color kActiveTitleText = 0x80000009, kInactiveTitleText = 0x80000013;
constexpr Font kTitleFont{8.25f, true};

SDL_Rect toSdl(const PixelRect& r) {
  return {r.x, r.y, r.w, r.h};
}

PixelRect inset(const PixelRect& r, int by) {
  return {r.x + by, r.y + by, r.w - 2 * by, r.h - 2 * by};
}

// A line of text as it is drawn: each pixel struck again `strike` pixels to
// its right, the darker of the two kept (a bold face's emboldening), then
// made a square of `magnify` pixels a side, as a picture's pixel is (a
// bitmap size, kept crisp). Null when SDL has no memory for it.
SDL_Surface* struckAndMagnified(SDL_Surface* rendered, int strike, int magnify) {
  SDL_Surface* plain = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_Surface* out =
      plain ? SDL_CreateRGBSurfaceWithFormat(0, (plain->w + strike) * magnify, plain->h * magnify,
                                             32, SDL_PIXELFORMAT_ARGB8888)
            : nullptr;
  if (out) {
    for (int y = 0; y < out->h; ++y) {
      auto* to = reinterpret_cast<std::uint32_t*>(static_cast<char*>(out->pixels) +
                                                  static_cast<size_t>(y) * out->pitch);
      auto* from =
          reinterpret_cast<const std::uint32_t*>(static_cast<const char*>(plain->pixels) +
                                                 static_cast<size_t>(y / magnify) * plain->pitch);
      for (int x = 0; x < out->w; ++x) {
        std::uint32_t darkest = 0;
        for (int at = x / magnify - strike; at <= x / magnify; ++at)
          if (at >= 0 && at < plain->w && (from[at] >> 24) > (darkest >> 24)) darkest = from[at];
        to[x] = darkest;
      }
    }
  }
  SDL_FreeSurface(plain);
  return out;
}

}  // namespace

// Each edge is placed from the window's origin, never from a container's
// rounded one, so a pixel is drawn as the control exactly when the twips at
// its middle (Scale::pointAt) hit it.
PixelRect toPixels(const TwipsRect& r, Twips x, Twips y, const Scale& scale) {
  int left = scale.toPixels(x + r.x), top = scale.toPixels(y + r.y);
  return {left, top, scale.toPixels(x + r.x + r.w) - left, scale.toPixels(y + r.y + r.h) - top};
}

std::vector<PixelRect> damagedPixels(const std::vector<TwipsRect>& damage, const Scale& scale,
                                     const PixelRect& client) {
  std::vector<PixelRect> out;
  for (const TwipsRect& r : damage) {
    // A pixel more on every side: a pixel a rectangle's edge only grazes
    // is drawn again, whichever way its twips round.
    PixelRect p = toPixels(r, 0, 0, scale);
    PixelRect grown{p.x - 1, p.y - 1, p.w + 2, p.h + 2};
    if (PixelRect shown = intersect(grown, client); !shown.empty()) out.push_back(shown);
  }
  // A control's old and new places mostly overlap.
  join(out);
  return out;
}

Painter::Painter(SDL_Renderer* renderer, Fonts& fonts)
    : renderer_(renderer), fonts_(fonts), scale_(fonts.scale()) {}

Painter::~Painter() {
  for (auto& [key, cached] : texts_) SDL_DestroyTexture(cached.texture);
  for (auto& [key, cached] : pictures_) SDL_DestroyTexture(cached.texture);
}

void Painter::paint(const Window& window) {
  paint(window,
        {0, 0, scale_.toPixels(window.clientWidth()), scale_.toPixels(window.clientHeight())});
}

std::vector<PixelRect> Painter::paintDamage(const Window& window,
                                            const std::vector<TwipsRect>& damage) {
  PixelRect client{0, 0, scale_.toPixels(window.clientWidth()),
                   scale_.toPixels(window.clientHeight())};
  std::vector<PixelRect> rects = damagedPixels(damage, scale_, client);
  for (const PixelRect& r : rects) paint(window, r);
  return rects;
}

void Painter::paint(const Window& window, const PixelRect& area) {
  ++frame_;
  window_ = &window;
  int w = scale_.toPixels(window.clientWidth()), h = scale_.toPixels(window.clientHeight());
  PixelRect all = intersect({0, 0, w, h}, area);
  if (!all.empty()) {
    setClip(all);
    fillBehind(window, all, toRgb(window.backColor()));
    paintChildren(window, 0, 0, all);
  }
  SDL_RenderSetClipRect(renderer_, nullptr);
  evict();
}

// The damage of a control that moved is mostly the control itself: the back
// colour is not filled where the opaque control covering the most of the
// area draws every pixel anyway. A pixel inside its edges, so no pixel
// rounded either way is left undrawn.
void Painter::fillBehind(const Container& container, const PixelRect& area, Rgb colour) {
  PixelRect most;
  for (const Control* child : container.children()) {
    if (!child->visible()) continue;
    PixelRect covered = intersect(inset(toPixels(child->opaqueArea(), 0, 0, scale_), 1), area);
    if (!covered.empty() && covered.w * covered.h > most.w * most.h) most = covered;
  }
  if (most.empty()) return fill(area, colour);
  int right = most.x + most.w, bottom = most.y + most.h;
  fill({area.x, area.y, area.w, most.y - area.y}, colour);
  fill({area.x, bottom, area.w, area.y + area.h - bottom}, colour);
  fill({area.x, most.y, most.x - area.x, most.h}, colour);
  fill({right, most.y, area.x + area.w - right, most.h}, colour);
}

void Painter::paintFrame(const Window& window, const PixelRect& outer, bool active,
                         const PixelRect& area) {
  ++frame_;
  window_ = &window;
  PixelRect all = intersect(outer, area);
  setClip(all);
  if (!all.empty()) {
    fill(outer, kFace);
    raised(outer);
    PixelRect bar = titleBar(outer, scale_), close = closeBox(outer, scale_);
    fill(bar, toRgb(active ? kActiveTitle : kInactiveTitle));
    int x = bar.x + px(2);
    if (PictureRef icon = titleIcon(window)) {
      picture(icon, x, bar.y + (bar.h - icon->height) / 2, false);
      x += icon->width + px(3);
    }
    setClip(intersect(all, {bar.x, bar.y, close.x - px(2) - bar.x, bar.h}));
    text(window.caption(), kTitleFont, toRgb(active ? kActiveTitleText : kInactiveTitleText), x,
         bar.y + (bar.h - fonts_.lineHeight(kTitleFont)) / 2);
    setClip(all);
    fill(close, kFace);
    raised(close);
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 8; ++col)
        if (kCross[row][col] == 'X')
          fill({close.x + px(4 + col), close.y + px(3 + row), px(1), px(1)}, {0, 0, 0});
  }
  SDL_RenderSetClipRect(renderer_, nullptr);
  evict();
}

// From the largest rendering of the drawing there is, so a large screen
// gets no blocky icon: the layout's 32 x 32 one, or a larger one stored
// beside it.
PictureRef Painter::titleIcon(const Window& window) {
  const PictureRef& icon = window.icon();
  if (!icon || icon->width <= 0 || icon->height <= 0) return nullptr;
  auto& [source, small] = titleIcons_[icon.get()];
  if (!small || source.lock() != icon) {
    source = icon;
    int size = px(kTitleIcon);
    PictureRef from = icon;
    if (icon->width < size && !icon->fromFile)
      if (PictureRef large = window.runtime().layoutPicture(icon->source + "_large");
          large && large->width > icon->width)
        from = large;
    small = std::make_shared<Picture>(resampled(*from, size, size));
  }
  return small;
}

void Painter::paintChildren(const Container& container, Twips x, Twips y, const PixelRect& clip) {
  const auto& children = container.children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    const Control& child = **it;
    if (!child.visible()) continue;
    PixelRect box = toPixels(child.bounds(), x, y, scale_);
    PixelRect inner = intersect(box, clip);
    if (inner.empty()) continue;
    setClip(inner);
    box_ = box;
    originX_ = x;
    originY_ = y;
    child.paintWith(*this);
    if (const Container* holder = child.asContainer()) {
      PixelRect holderClip = intersect(toPixels(child.childArea(), x, y, scale_), clip);
      if (!holderClip.empty())
        paintChildren(*holder, x + child.left(), y + child.top(), holderClip);
    }
  }
}

void Painter::paint(const Image& image) {
  picture(image.picture(), box_.x, box_.y);
}

void Painter::paint(const PictureBox& box) {
  PixelRect clip = clip_;
  // Its border and an opaque picture filling the inside cover every pixel
  // the back colour would: the large ones in the menu move at every tick.
  const PictureRef& shown = box.picture();
  PixelRect inside = inset(box_, px(2));
  bool covered = shown && shown->width > 0 && scale_.pixels(shown->width) >= inside.w &&
                 scale_.pixels(shown->height) >= inside.h && shown->opaque.value_or(false);
  if (!covered) fill(box_, toRgb(box.backColor()));
  sunken(box_);
  setClip(intersect(inside, clip));
  if (!clip_.empty()) picture(shown, inside.x, inside.y);
}

void Painter::paint(const DirListBox& box) {
  PixelRect clip = clip_;
  fill(box_, {255, 255, 255});
  sunken(box_);
  setClip(intersect(inset(box_, px(2)), clip));
  if (!clip_.empty()) text(box.path(), box.font(), {0, 0, 0}, box_.x + px(3), box_.y + px(3));
}

void Painter::paint(const MediaPlayer&) {
  fill(box_, kFace);
  raised(box_);
}

// The etched border starts half a line down, with the caption on it; also
// when there is no caption, as the classic frame has it.
void Painter::paint(const Frame& frame) {
  const PixelRect& box = box_;
  fill(box, toRgb(frame.backColor()));
  int top = fonts_.lineHeight(frame.font()) / 2;
  int one = px(1);
  PixelRect edge{box.x, box.y + top, box.w - one, box.h - top - one};
  rectangle({edge.x + one, edge.y + one, edge.w, edge.h}, kHighlight);
  rectangle(edge, kShadow);
  if (frame.caption().empty()) return;
  int width = fonts_.width(frame.caption(), frame.font());
  fill({box.x + px(6), box.y, width + px(4), fonts_.lineHeight(frame.font())},
       toRgb(frame.backColor()));
  textLines({frame.caption()}, frame.font(), toRgb(frame.foreColor()),
            {box.x + px(8), box.y, box.w - px(8), box.h}, false, frame.enabled());
}

// A label that sizes itself without wrapping keeps to one line; every other
// label wraps its caption at its width.
void Painter::paint(const Label& label) {
  const PixelRect& box = box_;
  if (!label.transparent) fill(box, toRgb(label.backColor()));
  std::vector<std::string> lines;
  if (label.autoSize && !label.wordWrap)
    lines = {label.caption()};
  else
    lines = fonts_.wrap(label.caption(), label.font(), box.w);
  textLines(lines, label.font(), toRgb(label.foreColor()), box,
            label.alignment == Alignment::Center, label.enabled());
}

void Painter::paint(const TextBox& box) {
  const PixelRect& r = box_;
  fill(r, box.enabled() ? toRgb(box.backColor()) : kFace);
  sunken(r);
  PixelRect inside = inset(r, px(2));
  setClip(intersect(inside, clip_));
  if (!clip_.empty())
    textLines({box.text()}, box.font(), toRgb(box.foreColor()), inset(inside, px(1)), false,
              box.enabled());
}

// Raised and bevelled; the graphical style shows the back colour. The button
// with the focus in the active window gets a black outline and a dotted
// rectangle inside.
void Painter::paint(const CommandButton& button) {
  const PixelRect& box = box_;
  fill(box, button.graphical ? toRgb(button.backColor()) : kFace);
  bool focused = button.hasFocus() && window_->runtime().activeWindow() == window_;
  PixelRect face = box;
  if (focused) {
    rectangle(box, kDarkShadow);
    face = inset(box, px(1));
  }
  raised(face);
  PixelRect inside = inset(face, px(2));
  auto lines = fonts_.wrap(button.caption(), button.font(), inside.w - px(4));
  int height = fonts_.lineHeight(button.font()) * static_cast<int>(lines.size());
  PixelRect textBox{inside.x, inside.y + (inside.h - height) / 2, inside.w, height};
  textLines(lines, button.font(), toRgb(button.foreColor()), textBox, true, button.enabled());
  if (focused) dottedRectangle(inset(inside, px(1)));
}

void Painter::paint(const CheckBox& box) {
  const PixelRect& r = box_;
  fill(r, toRgb(box.backColor()));
  int size = px(kCheckSize), one = px(1);
  PixelRect square{r.x, r.y + (r.h - size) / 2, size, size};
  fill(square, box.enabled() ? kHighlight : kFace);
  sunken(square);
  if (box.value() == 1) {
    Rgb tick = box.enabled() ? Rgb{0, 0, 0} : kGrayText;
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 7; ++col)
        if (kTick[row][col] == 'X')
          fill({square.x + px(3 + col), square.y + px(3 + row), one, one}, tick);
  }
  int height = fonts_.lineHeight(box.font());
  PixelRect caption{r.x + size + px(4), r.y + (r.h - height) / 2, r.w - size - px(4), height};
  textLines({box.caption()}, box.font(), toRgb(box.foreColor()), caption, false, box.enabled());
  if (box.window().activeControl() == &box && window_->runtime().activeWindow() == window_) {
    int width = fonts_.width(box.caption(), box.font());
    dottedRectangle({caption.x - one, caption.y - one, width + px(3), height + px(2)});
  }
}

// A line of BorderWidth 96-dpi pixels in its colour, with round ends; its
// ends at the middle of the squares the end points fall in.
void Painter::paint(const Line& line) {
  Twips x = originX_, y = originY_;
  Rgb c = toRgb(line.backColor());
  float middle = px(1) / 2.0f;
  float x1 = scale_.toPixels(x + line.x1()) + middle, y1 = scale_.toPixels(y + line.y1()) + middle;
  float x2 = scale_.toPixels(x + line.x2()) + middle, y2 = scale_.toPixels(y + line.y2()) + middle;
  int width = px(std::max(1, line.borderWidth));
  SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
  if (width == 1) {
    SDL_RenderDrawLine(renderer_, static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2),
                       static_cast<int>(y2));
    return;
  }
  float half = width / 2.0f;
  float dx = x2 - x1, dy = y2 - y1, length = std::hypot(dx, dy);
  if (length > 0) {
    float nx = -dy / length * half, ny = dx / length * half;
    SDL_Color colour{c.r, c.g, c.b, 255};
    SDL_Vertex v[4] = {{{x1 + nx, y1 + ny}, colour, {0, 0}},
                       {{x1 - nx, y1 - ny}, colour, {0, 0}},
                       {{x2 - nx, y2 - ny}, colour, {0, 0}},
                       {{x2 + nx, y2 + ny}, colour, {0, 0}}};
    int indices[6] = {0, 1, 2, 0, 2, 3};
    SDL_RenderGeometry(renderer_, nullptr, v, 4, indices, 6);
  }
  for (auto [cx, cy] : {std::pair{x1, y1}, std::pair{x2, y2}}) {
    for (int row = 0; row < width; ++row) {
      float ry = row + 0.5f - half;
      int span = static_cast<int>(std::lround(std::sqrt(std::max(0.0f, half * half - ry * ry))));
      fill({static_cast<int>(std::floor(cx)) - span, static_cast<int>(std::floor(cy - half)) + row,
            2 * span, 1},
           c);
    }
  }
}

// --- drawing primitives --------------------------------------------------------

void Painter::setClip(const PixelRect& clip) {
  clip_ = clip;
  SDL_Rect r = toSdl(clip);
  SDL_RenderSetClipRect(renderer_, &r);
}

void Painter::fill(const PixelRect& r, Rgb colour) {
  // An empty clip would mean no clipping at all to SDL: draw nothing instead.
  if (r.empty() || clip_.empty()) return;
  SDL_SetRenderDrawColor(renderer_, colour.r, colour.g, colour.b, 255);
  SDL_Rect rect = toSdl(r);
  SDL_RenderFillRect(renderer_, &rect);
}

// Lines and bevels are a 96-dpi pixel thick: a band of the scale's factor.
void Painter::rectangle(const PixelRect& r, Rgb colour) {
  int one = px(1);
  fill({r.x, r.y, r.w, one}, colour);
  fill({r.x, r.y + r.h - one, r.w, one}, colour);
  fill({r.x, r.y, one, r.h}, colour);
  fill({r.x + r.w - one, r.y, one, r.h}, colour);
}

void Painter::bevel(const PixelRect& r, Rgb topLeft, Rgb bottomRight) {
  int one = px(1);
  fill({r.x, r.y, r.w - one, one}, topLeft);
  fill({r.x, r.y, one, r.h - one}, topLeft);
  fill({r.x, r.y + r.h - one, r.w, one}, bottomRight);
  fill({r.x + r.w - one, r.y, one, r.h}, bottomRight);
}

void Painter::raised(const PixelRect& r) {
  bevel(r, kHighlight, kDarkShadow);
  bevel(inset(r, px(1)), kLight, kShadow);
}

void Painter::sunken(const PixelRect& r) {
  bevel(r, kShadow, kHighlight);
  bevel(inset(r, px(1)), kDarkShadow, kLight);
}

void Painter::dottedRectangle(const PixelRect& r) {
  int one = px(1);
  for (int i = 0; i < r.w; i += 2 * one) {
    fill({r.x + i, r.y, one, one}, {0, 0, 0});
    fill({r.x + i, r.y + r.h - one, one, one}, {0, 0, 0});
  }
  for (int i = 0; i < r.h; i += 2 * one) {
    fill({r.x, r.y + i, one, one}, {0, 0, 0});
    fill({r.x + r.w - one, r.y + i, one, one}, {0, 0, 0});
  }
}

// At the picture's own size (a 96-dpi pixel for every 15 twips), magnified
// by the scale's factor with nearest-neighbour sampling, its transparent
// parts showing what lies behind. The texture holds it magnified already: a
// scaled copy cut by a clip rectangle may land a pixel off from an uncut one,
// and a window drawn in parts must match one drawn whole.
void Painter::picture(const PictureRef& picture, int x, int y, bool magnify) {
  if (!picture || picture->width <= 0 || picture->height <= 0 || clip_.empty()) return;
  auto& cached = pictures_[picture.get()];
  Scale scale = magnify ? scale_ : Scale(1);
  int w = scale.pixels(picture->width), h = scale.pixels(picture->height);
  if (!cached.texture || cached.picture.lock() != picture) {
    if (cached.texture) SDL_DestroyTexture(cached.texture);
    cached.picture = picture;
    // A picture with no transparent pixel is copied, not blended: the same
    // pixels, at a fraction of the cost for the large ones that move. Held
    // without its alpha, it has the window's own format, and each row is
    // copied whole.
    bool opaque = picture->opaque ? *picture->opaque : allOpaque(picture->argb);
    cached.texture =
        SDL_CreateTexture(renderer_, opaque ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_ARGB8888,
                          SDL_TEXTUREACCESS_STATIC, w, h);
    if (!cached.texture) return;
    if (scale.factor() == 1) {
      SDL_UpdateTexture(cached.texture, nullptr, picture->argb.data(), w * 4);
    } else {
      Picture big = magnified(*picture, scale);
      SDL_UpdateTexture(cached.texture, nullptr, big.argb.data(), w * 4);
    }
    SDL_SetTextureBlendMode(cached.texture, opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
  }
  SDL_Rect dst{x, y, w, h};
  SDL_RenderCopy(renderer_, cached.texture, nullptr, &dst);
}

int Painter::text(const std::string& line, const Font& font, Rgb colour, int x, int y,
                  bool narrow) {
  Fonts::Face face = fonts_.face(font, narrow);
  if (!face.font || line.empty()) return 0;
  std::string key = line;
  key += '\0';
  key += std::to_string(scale_.fontPixels(font.points)) + (font.bold ? "b" : "r") +
         (narrow ? "n" : "") + std::to_string(colour.r) + "," + std::to_string(colour.g) + "," +
         std::to_string(colour.b);
  Cached& cached = texts_[key];
  if (!cached.texture) {
    SDL_Surface* surface =
        TTF_RenderUTF8_Blended(face.font, line.c_str(), {colour.r, colour.g, colour.b, 255});
    if (!surface) return 0;
    if (face.strike > 0 || face.magnify > 1) {
      SDL_Surface* done = struckAndMagnified(surface, face.strike, face.magnify);
      SDL_FreeSurface(surface);
      surface = done;
      if (!surface) return 0;
    }
    cached.texture = SDL_CreateTextureFromSurface(renderer_, surface);
    cached.w = surface->w;
    cached.h = surface->h;
    SDL_FreeSurface(surface);
    if (!cached.texture) return 0;
  }
  cached.usedInFrame = frame_;
  int w = cached.w, h = cached.h;
  if (!clip_.empty()) {
    SDL_Rect dst{x, y, w, h};
    SDL_RenderCopy(renderer_, cached.texture, nullptr, &dst);
  }
  return w;
}

void Painter::textLines(const std::vector<std::string>& lines, const Font& font, Rgb colour,
                        const PixelRect& box, bool centred, bool enabled) {
  int height = fonts_.lineHeight(font);
  int y = box.y;
  for (const std::string& line : lines) {
    int x = box.x;
    bool narrow = fonts_.narrowed(line, font, box.w);
    if (centred) x += (box.w - fonts_.width(line, font, narrow)) / 2;
    if (enabled) {
      text(line, font, colour, x, y, narrow);
    } else {
      text(line, font, kHighlight, x + px(1), y + px(1), narrow);
      text(line, font, kGrayText, x, y, narrow);
    }
    y += height;
  }
}

void Painter::evict() {
  std::erase_if(texts_, [&](auto& entry) {
    if (frame_ - entry.second.usedInFrame < kKeepFrames) return false;
    SDL_DestroyTexture(entry.second.texture);
    return true;
  });
  std::erase_if(pictures_, [](auto& entry) {
    if (!entry.second.picture.expired()) return false;
    SDL_DestroyTexture(entry.second.texture);
    return true;
  });
  std::erase_if(titleIcons_, [](auto& entry) { return entry.second.first.expired(); });
}

Picture paintOffscreen(const Window& window, Fonts& fonts) {
  Picture shot;
  shot.source = window.name();
  shot.width = fonts.scale().toPixels(window.clientWidth());
  shot.height = fonts.scale().toPixels(window.clientHeight());
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormat(0, shot.width, shot.height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return shot;
  if (SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface)) {
    {
      Painter painter(renderer, fonts);
      painter.paint(window);
      SDL_RenderFlush(renderer);
    }
    SDL_DestroyRenderer(renderer);
  }
  shot.argb.resize(static_cast<size_t>(shot.width) * shot.height);
  for (int y = 0; y < shot.height; ++y)
    std::memcpy(&shot.argb[static_cast<size_t>(y) * shot.width],
                static_cast<const char*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch,
                static_cast<size_t>(shot.width) * 4);
  SDL_FreeSurface(surface);
  return shot;
}

}  // namespace brz::sdl
