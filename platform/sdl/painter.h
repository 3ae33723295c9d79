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

struct SDL_Renderer;
struct SDL_Texture;

namespace brz::sdl {

// Draws a window's client area in the classic desktop look onto a renderer:
// the window's back colour, then its controls back to front (the first child
// of a container is in front), each clipped to its container, at the scale
// of its fonts. Keeps the textures of texts and pictures it drew for the
// next frames.
class Painter : private ControlPainter {
 public:
  Painter(SDL_Renderer* renderer, Fonts& fonts);
  ~Painter();
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  // Draws the whole client area, its top left at the renderer's origin.
  void paint(const Window& window);
  // Draws only the pixels of the client area in `area`, as a whole drawing
  // would have them; the others are left as they are.
  void paint(const Window& window, const PixelRect& area);
  // Draws what a window's damage touched (Window::takeDamage); returns the
  // rectangles of pixels it drew.
  std::vector<PixelRect> paintDamage(const Window& window, const std::vector<TwipsRect>& damage);
  // Draws the pixels in `area` of the frame a window manager gives a window
  // whose whole area (windowArea) is `outer`, in the renderer's own pixels:
  // the raised edge, the title bar with the window's icon and caption (lit
  // for the active window), and the close box. The client area is left to
  // paint.
  void paintFrame(const Window& window, const PixelRect& outer, bool active, const PixelRect& area);

 private:
  struct Cached {
    SDL_Texture* texture = nullptr;
    int w = 0, h = 0;
    std::uint64_t usedInFrame = 0;
  };
  struct CachedPicture {
    std::weak_ptr<const Picture> picture;
    SDL_Texture* texture = nullptr;
  };

  // The children of a container whose origin is (x, y) twips from the window's.
  void paintChildren(const Container& container, Twips x, Twips y, const PixelRect& clip);
  // Each kind in box_, clipped to clip_; its container's origin is at
  // (originX_, originY_) twips from the window's.
  void paint(const Frame& frame) override;
  void paint(const Label& label) override;
  void paint(const TextBox& box) override;
  void paint(const Image& image) override;
  void paint(const PictureBox& box) override;
  void paint(const CommandButton& button) override;
  void paint(const CheckBox& box) override;
  void paint(const Line& line) override;
  void paint(const DirListBox& box) override;
  void paint(const MediaPlayer& player) override;

  // The back colour of a container's area, but where an opaque child will
  // cover it.
  void fillBehind(const Container& container, const PixelRect& area, Rgb colour);
  void setClip(const PixelRect& clip);
  void fill(const PixelRect& r, Rgb colour);
  void rectangle(const PixelRect& r, Rgb colour);
  void bevel(const PixelRect& r, Rgb topLeft, Rgb bottomRight);
  void raised(const PixelRect& r);
  void sunken(const PixelRect& r);
  void dottedRectangle(const PixelRect& r);
  // Magnified by the scale, unless the picture is drawn for this screen already.
  void picture(const PictureRef& picture, int x, int y, bool magnify = true);
  // The window's icon at the title bar's size on this screen.
  PictureRef titleIcon(const Window& window);
  // One line of text at (x, y), its top left, in the narrow face if asked;
  // returns its width.
  int text(const std::string& line, const Font& font, Rgb colour, int x, int y,
           bool narrow = false);
  // Lines of text in a box, left-aligned or centred; greyed and embossed when
  // the control is disabled.
  void textLines(const std::vector<std::string>& lines, const Font& font, Rgb colour,
                 const PixelRect& box, bool centred, bool enabled);
  void evict();
  // A length of the 96-dpi look in pixels of this screen.
  int px(int classic) const { return scale_.pixels(classic); }

  SDL_Renderer* renderer_;
  Fonts& fonts_;
  Scale scale_;
  const Window* window_ = nullptr;
  PixelRect clip_;
  PixelRect box_;
  Twips originX_ = 0, originY_ = 0;
  std::uint64_t frame_ = 0;
  std::map<std::string, Cached> texts_;
  std::map<const Picture*, CachedPicture> pictures_;
  std::map<const Picture*, std::pair<std::weak_ptr<const Picture>, PictureRef>> titleIcons_;
};

// A part of the client area in pixels, (x, y) twips being the origin of the
// container it is measured in.
PixelRect toPixels(const TwipsRect& r, Twips x, Twips y, const Scale& scale);
// The pixels to draw again for a window's damage, within its client area.
std::vector<PixelRect> damagedPixels(const std::vector<TwipsRect>& damage, const Scale& scale,
                                     const PixelRect& client);

// What a window's client area looks like, drawn with no display at the scale
// of the fonts: the pixels a screenshot of it would hold, as straight ARGB.
Picture paintOffscreen(const Window& window, Fonts& fonts);

}  // namespace brz::sdl
