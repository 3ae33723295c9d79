// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/look.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace brz::sdl {

PixelRect intersect(const PixelRect& a, const PixelRect& b) {
  int x1 = std::max(a.x, b.x), y1 = std::max(a.y, b.y);
  int x2 = std::min(a.x + a.w, b.x + b.w), y2 = std::min(a.y + a.h, b.y + b.h);
  return {x1, y1, std::max(0, x2 - x1), std::max(0, y2 - y1)};
}

namespace {

long area(const PixelRect& r) {
  return static_cast<long>(r.w) * r.h;
}

PixelRect holding(const PixelRect& a, const PixelRect& b) {
  int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  return {left, top, std::max(a.x + a.w, b.x + b.w) - left, std::max(a.y + a.h, b.y + b.h) - top};
}

}  // namespace

void join(std::vector<PixelRect>& rects) {
  for (bool joined = true; joined;) {
    joined = false;
    for (size_t i = 0; i < rects.size() && !joined; ++i)
      for (size_t j = i + 1; j < rects.size(); ++j) {
        PixelRect both = holding(rects[i], rects[j]);
        if (area(both) > area(rects[i]) + area(rects[j])) continue;
        rects[i] = both;
        rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
        joined = true;
        break;
      }
  }
}

int scaleFactorFor(float dpi) {
  if (!(dpi > 0)) return 1;  // also NaN
  double factor = std::ceil(static_cast<double>(dpi) / kClassicDpi - 0.5);
  return static_cast<int>(std::clamp(factor, 1.0, static_cast<double>(kMaxScaleFactor)));
}

Picture magnified(const Picture& picture, const Scale& scale) {
  int f = scale.factor();
  Picture big;
  big.source = picture.source;
  big.fromFile = picture.fromFile;
  big.width = picture.width * f;
  big.height = picture.height * f;
  big.argb.resize(static_cast<size_t>(big.width) * std::max(0, big.height));
  for (int y = 0; y < big.height; ++y)
    for (int x = 0; x < big.width; ++x)
      big.argb[static_cast<size_t>(y) * big.width + x] =
          picture.argb[static_cast<size_t>(y / f) * picture.width + x / f];
  return big;
}

// Each new pixel is the mean of the old ones under it, each weighed by how
// much of it lies under, their colours weighed by their opacity too, so a
// transparent pixel lends no colour to its opaque neighbours.
Picture resampled(const Picture& picture, int width, int height) {
  Picture out;
  out.source = picture.source;
  out.fromFile = picture.fromFile;
  if (picture.width <= 0 || picture.height <= 0 || width <= 0 || height <= 0) return out;
  out.width = width;
  out.height = height;
  out.argb.resize(static_cast<size_t>(width) * height);
  double sx = static_cast<double>(picture.width) / width;
  double sy = static_cast<double>(picture.height) / height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      double sum[4] = {}, weights = 0;
      double x0 = x * sx, x1 = x0 + sx, y0 = y * sy, y1 = y0 + sy;
      for (int j = static_cast<int>(y0); j < picture.height && j < y1; ++j)
        for (int i = static_cast<int>(x0); i < picture.width && i < x1; ++i) {
          double weight = (std::min<double>(i + 1, x1) - std::max<double>(i, x0)) *
                          (std::min<double>(j + 1, y1) - std::max<double>(j, y0));
          std::uint32_t p = picture.argb[static_cast<size_t>(j) * picture.width + i];
          double alpha = (p >> 24) / 255.0;
          sum[0] += weight * alpha;
          for (int c = 0; c < 3; ++c) sum[c + 1] += weight * alpha * ((p >> (16 - 8 * c)) & 0xFF);
          weights += weight;
        }
      std::uint32_t p = 0;
      if (sum[0] > 0) {
        p = static_cast<std::uint32_t>(std::lround(255 * sum[0] / weights)) << 24;
        for (int c = 0; c < 3; ++c)
          p |= static_cast<std::uint32_t>(std::lround(sum[c + 1] / sum[0])) << (16 - 8 * c);
      }
      out.argb[static_cast<size_t>(y) * width + x] = p;
    }
  return out;
}

PixelRect clientArea(const Window& window, const Scale& scale) {
  return {scale.toPixels(window.left()) + scale.pixels(kBorderPixels),
          scale.toPixels(window.top()) + scale.pixels(kBorderPixels + kTitlePixels),
          scale.toPixels(window.clientWidth()), scale.toPixels(window.clientHeight())};
}

PixelRect windowArea(const Window& window, const Scale& scale) {
  PixelRect client = clientArea(window, scale);
  int border = scale.pixels(kBorderPixels), title = scale.pixels(kTitlePixels);
  return {client.x - border, client.y - border - title, client.w + 2 * border,
          client.h + 2 * border + title};
}

// The classic frame: a raised edge and the face, kBorderPixels in all; a
// title bar of 21 pixels in it, then a pixel of the face above the client
// area. A 16 x 14 close box stands 2 pixels in from the bar's right end.
PixelRect titleBar(const PixelRect& window, const Scale& scale) {
  int border = scale.pixels(kBorderPixels);
  return {window.x + border, window.y + border, window.w - 2 * border,
          scale.pixels(kTitlePixels - 1)};
}

PixelRect closeBox(const PixelRect& window, const Scale& scale) {
  PixelRect bar = titleBar(window, scale);
  int w = scale.pixels(16), h = scale.pixels(14);
  return {bar.x + bar.w - scale.pixels(2) - w, bar.y + (bar.h - h) / 2, w, h};
}

Rgb toRgb(Color color) {
  // The system colours by index, as the standard classic scheme sets them.
  static constexpr std::array<Rgb, 25> kSystem = {{
      kFace,            // 0 scroll bars
      {0, 128, 128},    // 1 desktop
      {0, 0, 128},      // 2 active title bar
      {128, 128, 128},  // 3 inactive title bar
      kFace,            // 4 menu bar
      {255, 255, 255},  // 5 window background
      {0, 0, 0},        // 6 window frame
      {0, 0, 0},        // 7 menu text
      {0, 0, 0},        // 8 window text
      {255, 255, 255},  // 9 active title text
      kFace,            // 10 active border
      kFace,            // 11 inactive border
      {128, 128, 128},  // 12 application workspace
      {0, 0, 128},      // 13 highlight
      {255, 255, 255},  // 14 highlighted text
      kFace,            // 15 button face
      kShadow,          // 16 button shadow
      kGrayText,        // 17 grey text
      {0, 0, 0},        // 18 button text
      kFace,            // 19 inactive title text
      kHighlight,       // 20 button highlight
      kDarkShadow,      // 21 3-D dark shadow
      kLight,           // 22 3-D light
      {0, 0, 0},        // 23 tool-tip text
      {255, 255, 225},  // 24 tool-tip background
  }};
  if (color & 0x80000000u) {
    std::uint32_t index = color & 0xFFFFu;
    return index < kSystem.size() ? kSystem[index] : kFace;
  }
  return {static_cast<std::uint8_t>(color & 0xFF), static_cast<std::uint8_t>((color >> 8) & 0xFF),
          static_cast<std::uint8_t>((color >> 16) & 0xFF)};
}

}  // namespace brz::sdl
