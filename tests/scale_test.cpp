// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing at the display's density, with no display: the scale factor a
// density gets, twips to pixels and back, the Xft.dpi resource, and windows
// painted offscreen at twice the size, where a click must land on what is
// drawn under it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/runtime.h"
#include "platform/sdl/density.h"
#include "platform/sdl/fonts.h"
#include "platform/sdl/look.h"
#include "platform/sdl/painter.h"

namespace brz::sdl {
namespace {

using K = ControlKind;

TEST(ScaleFactor, NearestWholeMultipleOfNinetySixDpiOfXftDpiWithHalvesGoingDown) {
  const std::map<float, int> expected = {{72, 1},  {144, 1}, {144.5f, 2}, {192, 2},
                                         {240, 2}, {241, 3}, {337, 4},    {480, 5}};
  for (auto [dpi, factor] : expected) EXPECT_EQ(scaleFactorFor(dpi), factor) << dpi << " dpi";
  // Nonsense never gives less than 1 or an absurd size.
  EXPECT_EQ(scaleFactorFor(0), 1);
  EXPECT_EQ(scaleFactorFor(-192), 1);
  EXPECT_EQ(scaleFactorFor(std::numeric_limits<float>::quiet_NaN()), 1);
  EXPECT_EQ(scaleFactorFor(std::numeric_limits<float>::infinity()), kMaxScaleFactor);
  EXPECT_EQ(Scale(0).factor(), 1);
  // The desktop's own dpi, from the resource database's Xft.dpi.
  EXPECT_EQ(xftDpi("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192.0f);
  EXPECT_EQ(xftDpi("Xft.dpi: 144.5"), 144.5f);                 // no line end, a fraction
  EXPECT_EQ(xftDpi("Xft.dpi:\t96\nXft.dpi:\t192\n"), 192.0f);  // the later one holds
  // Absent, another resource, or nothing a screen can have: nothing known.
  EXPECT_EQ(xftDpi(""), std::nullopt);
  EXPECT_EQ(xftDpi("Xcursor.size:\t48\n*dpi:\t192\n"), std::nullopt);
  EXPECT_EQ(xftDpi("Xft.dpi:\tlarge\n"), std::nullopt);
  EXPECT_EQ(xftDpi("Xft.dpi:\t0\n"), std::nullopt);
  EXPECT_EQ(xftDpi("Xft.dpi:\t96000\n"), std::nullopt);
  EXPECT_EQ(xftDpi("Xft.dpi:\t192\nXft.dpi:\tnone\n"), std::nullopt);
  EXPECT_FALSE(plausibleDpi(std::numeric_limits<float>::quiet_NaN()));
}

TEST(Scale, PixelsAndTwipsMapBothWaysAndFontsAndWindowsGrowByTheFactor) {
  for (int factor = 1; factor <= 5; ++factor) {
    Scale scale(factor);
    for (int p = -300; p <= 3000; ++p) {
      ASSERT_EQ(scale.toPixels(scale.pointAt(p)), p) << "factor " << factor;
      ASSERT_EQ(scale.toPixels(scale.toTwips(p)), p) << "factor " << factor;
    }
    // A 96-dpi pixel is 15 twips, whatever the screen.
    EXPECT_EQ(scale.toTwips(scale.pixels(7)), 105.0f);
    EXPECT_EQ(scale.toPixels(105), scale.pixels(7));
    // Any twips land within half a pixel.
    for (Twips t = -100; t < 2000; t += 0.7f)
      ASSERT_LE(std::abs(scale.toTwips(scale.toPixels(t)) - t), 7.5f / factor + 1e-3f) << t;
  }
  // A position exactly between two pixels goes to the lower one, the pixel
  // whose middle it reaches.
  EXPECT_EQ(Scale(1).toPixels(7.5f), 0);
  EXPECT_EQ(Scale(1).toPixels(7.6f), 1);
  EXPECT_EQ(Scale(2).toPixels(3.75f), 0);
  // Fonts, the frame and windows grow by the factor.
  Scale twice(2);
  EXPECT_EQ(twice.fontPixels(8.25f), 22);  // 11 at 96 dpi
  EXPECT_EQ(twice.fontPixels(18), 48);
  struct Plain : Window {
    explicit Plain(Runtime& rt)
        : Window(rt, {.name = "Plain", .clientWidth = 7455, .clientHeight = 4695}, {}) {}
  };
  Runtime rt;
  rt.start<Plain>();
  auto& w = rt.form<Plain>();
  w.setLeft(3000);
  w.setTop(1500);
  EXPECT_EQ(clientArea(w, Scale(1)), (PixelRect{200 + 5, 100 + 27, 497, 313}));
  EXPECT_EQ(clientArea(w, twice), (PixelRect{400 + 10, 200 + 54, 994, 626}));
}

// Besides the layouts' colours, a few more to tell every control apart.
constexpr Color kMagenta = 0x00FF00FF, kOrange = 0x000080FF, kPurple = 0x00800080,
                kGrey = 0x00404040;

// Controls at awkward twips, nested, overlapping: filled labels and frames
// each of their own colour.
// clang-format off
constexpr ControlLayout kControls[] = {
    {.kind = K::Label, .name = "Front", .left = 97.5f, .top = 52.4f, .width = 301, .height = 127.5f, .back = kRed},
    {.kind = K::Frame, .name = "Outer", .left = 22.5f, .top = 7.5f, .width = 1003, .height = 752.3f, .back = kGreen},
    {.kind = K::Frame, .name = "Inner", .container = "Outer", .left = 141.1f, .top = 203.7f, .width = 611, .height = 400.6f, .back = kBlue},
    {.kind = K::Label, .name = "Deep", .container = "Inner", .left = 33.3f, .top = 187.6f, .width = 97.4f, .height = 44.9f, .back = kYellow},
    {.kind = K::Label, .name = "Thin", .container = "Inner", .left = 300, .top = 180, .width = 10, .height = 150, .back = kMagenta},
    {.kind = K::Label, .name = "Tiny", .container = "Inner", .left = 400.2f, .top = 250.1f, .width = 16.2f, .height = 15.4f, .back = kCyan},
    {.kind = K::Label, .name = "Edge", .container = "Outer", .left = 900.6f, .top = 500, .width = 300, .height = 100, .back = kOrange},
    {.kind = K::Label, .name = "Apart", .left = 1100.3f, .top = 640.8f, .width = 217.7f, .height = 90.1f, .back = kPurple},
};
// clang-format on

struct Tangle : Window {
  explicit Tangle(Runtime& rt)
      : Window(rt, {.name = "Tangle", .clientWidth = 1400, .clientHeight = 800, .back = kGrey},
               kControls) {}
};

std::uint32_t pixel(const Picture& shot, int x, int y) {
  return shot.argb[static_cast<size_t>(y) * shot.width + x] & 0xFFFFFF;
}

std::uint32_t argbOf(Color c) {
  Rgb rgb = toRgb(c);
  return (rgb.r << 16) | (rgb.g << 8) | rgb.b;
}

// Every pixel that shows a control's own colour is a pixel where the mouse
// hits that control, and the window's colour where it hits none: along every
// edge, at every level of nesting, at every factor.
TEST(Hits, EveryPixelDrawnAsAControlHitsItAndNoOther) {
  for (int factor = 1; factor <= 3; ++factor) {
    Runtime rt;
    rt.start<Tangle>();
    auto& w = rt.form<Tangle>();
    Fonts fonts{Scale(factor)};
    Picture shot = paintOffscreen(w, fonts);
    ASSERT_EQ(shot.width, fonts.scale().toPixels(1400));
    std::map<std::uint32_t, const Control*> byColour = {{argbOf(kGrey), nullptr}};
    for (const auto& layout : kControls) byColour[argbOf(layout.back)] = w.find(layout.name);
    std::map<const Control*, int> seen;
    int checked = 0;
    for (int y = 0; y < shot.height; ++y)
      for (int x = 0; x < shot.width; ++x) {
        auto found = byColour.find(pixel(shot, x, y));
        if (found == byColour.end()) continue;  // a frame's etched border
        const Scale& scale = fonts.scale();
        const Control* hit = rt.hitTest(w, scale.pointAt(x), scale.pointAt(y)).control;
        ASSERT_EQ(hit, found->second)
            << "factor " << factor << " at " << x << "," << y << ": "
            << (hit ? hit->name() : "the window") << " hit, "
            << (found->second ? found->second->name() : "the window") << " drawn";
        ++seen[hit];
        ++checked;
      }
    EXPECT_EQ(seen.size(), byColour.size()) << "factor " << factor;  // all of them show
    EXPECT_GT(checked, shot.width * shot.height * 3 / 4);
  }
}

class Drawn2x : public ::testing::Test {
 protected:
  // clang-format off
  static constexpr ControlLayout kLayout[] = {
      {.kind = K::CommandButton, .name = "Button", .left = 150, .top = 150, .width = 900, .height = 360, .caption = ""},
      {.kind = K::Image, .name = "Bug", .left = 1500, .top = 150, .width = 45, .height = 45},
      {.kind = K::Label, .name = "Words", .left = 150, .top = 750, .width = 3000, .height = 600, .caption = "Mosquito", .back = kWhite, .points = 12},
      {.kind = K::Line, .name = "Trace", .left = 150, .top = 1800, .width = 1500, .height = 1800, .back = kRed, .borderWidth = 1},
  };
  // clang-format on
  struct Board : Window {
    explicit Board(Runtime& rt)
        : Window(rt, {.name = "Board", .clientWidth = 3600, .clientHeight = 2400, .back = kWhite},
                 kLayout) {}
  };

  Drawn2x() {
    rt.start<Board>();
    w = &rt.form<Board>();
  }
  Picture at(int factor) {
    Fonts fonts{Scale(factor)};
    return paintOffscreen(*w, fonts);
  }

  Runtime rt;
  Board* w = nullptr;
};

TEST_F(Drawn2x, WindowsBevelsAndLinesAreTwiceAsLargeAndThick) {
  Picture one = at(1), two = at(2);
  EXPECT_EQ(two.width, 2 * one.width);
  EXPECT_EQ(two.height, 2 * one.height);
  // The button's outer bevel, lit and dark, then the inner one: two pixels each.
  const std::uint32_t lit = 0xFFFFFF, light = 0xDFDFDF, shadow = 0x808080, dark = 0;
  const std::uint32_t across[] = {lit, lit, light, light}, back[] = {dark, dark, shadow, shadow};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(pixel(two, 20 + i, 30), across[i]) << i;
    EXPECT_EQ(pixel(two, 139 - i, 60), back[i]) << i;
  }
  // A line of BorderWidth 1 is two pixels wide: level across at y = 120 * 2.
  auto& trace = w->control<Line>("Trace");
  trace.setY2(1800);
  Picture level = at(2);
  for (int y = 239; y <= 242; ++y)
    EXPECT_EQ(pixel(level, 100, y), y == 240 || y == 241 ? 0xFF0000u : 0xFFFFFFu) << y;
}

TEST_F(Drawn2x, PicturesAreMagnifiedPixelForPixelWithoutBlending) {
  auto bug = std::make_shared<Picture>();
  bug->width = bug->height = 3;
  bug->argb = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000, 0,
               0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF, 0xFF808080};
  w->control<Image>("Bug").setPicture(bug);
  for (int factor : {1, 2, 3}) {
    Picture shot = at(factor);
    int x0 = 100 * factor, y0 = 10 * factor;
    for (int y = 0; y < 3 * factor; ++y)
      for (int x = 0; x < 3 * factor; ++x) {
        std::uint32_t source = bug->argb[(y / factor) * 3 + x / factor];
        std::uint32_t expected = source == 0 ? 0xFFFFFF : source & 0xFFFFFF;  // clear: the window
        ASSERT_EQ(pixel(shot, x0 + x, y0 + y), expected) << factor << ": " << x << "," << y;
      }
    EXPECT_EQ(pixel(shot, x0 + 3 * factor, y0), 0xFFFFFFu);  // no more than that
  }
}

// Ink drawn as whole 2 x 2 squares, and how much of it is not.
struct Squares {
  int ink = 0, ragged = 0;
};
Squares squaresOf(const Picture& shot, int x0, int y0, int w, int h) {
  Squares s;
  for (int y = y0; y < y0 + h; y += 2)
    for (int x = x0; x < x0 + w; x += 2) {
      std::uint32_t c = pixel(shot, x, y);
      if (c != 0xFFFFFF) ++s.ink;
      if (pixel(shot, x + 1, y) != c || pixel(shot, x, y + 1) != c ||
          pixel(shot, x + 1, y + 1) != c)
        ++s.ragged;
    }
  return s;
}

// The sizes the font holds as bitmaps keep their glyphs and widths at 2x, each
// pixel a square; the larger sizes are outlines, set afresh at twice the size.
TEST_F(Drawn2x, BitmapSizesAreMagnifiedByWholePixelsAndOutlinesSetLarge) {
  Fonts one, two{Scale(2)};
  if (one.regularPath().find("tahoma") == std::string::npos) {
    // In CI the install script has put every font in place: there it fails.
    const char* ci = std::getenv("CI");
    ASSERT_FALSE(ci && std::string_view(ci) == "true") << "Tahoma (fonts-wine) is not installed";
    GTEST_SKIP() << "Tahoma (fonts-wine) is not installed";
  }
  Font bitmap{12, false}, outline{24, false};
  EXPECT_EQ(two.width("Mosquito", bitmap), 2 * one.width("Mosquito", bitmap));
  EXPECT_EQ(two.lineHeight(bitmap), 2 * one.lineHeight(bitmap));
  EXPECT_EQ(two.measure("Mosquito", bitmap, 0), one.measure("Mosquito", bitmap, 0));
  Squares crisp =
      squaresOf(at(2), 20, 100, 2 * one.width("Mosquito", bitmap), 2 * one.lineHeight(bitmap));
  EXPECT_GT(crisp.ink, 50);
  EXPECT_EQ(crisp.ragged, 0);

  // Within what hinting moves.
  EXPECT_NEAR(two.width("Mosquito", outline), 2 * one.width("Mosquito", outline),
              one.width("Mosquito", outline) / 10);
  w->find("Words")->setFont(outline);
  Squares set =
      squaresOf(at(2), 20, 100, 2 * one.width("Mosquito", outline), 2 * one.lineHeight(outline));
  EXPECT_GT(set.ink, 50);
  EXPECT_GT(set.ragged, set.ink / 4);
}

}  // namespace
}  // namespace brz::sdl
