// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/host.h"
#include "platform/sdl/look.h"
#include "platform/types.h"

struct _TTF_Font;  // SDL_ttf's font, kept out of the callers' headers

namespace brz::sdl {

// The toolkit's fonts, sized in points on a 96-dpi screen and drawn at the
// screen's scale. The layouts were drawn for a narrow 8-point desktop sans
// serif, so Tahoma (Wine's re-creation, in fonts-wine) comes first: its text
// fits the captions as they were laid out. Liberation Sans stands in when it
// is missing. Fonts in the folder "fonts" beside the program, where the
// Windows build brings its own, are taken before the installed ones.
// Measuring and drawing share this one object, so a label that
// sizes itself fits the text that is drawn in it; the painters take their
// scale from it too.
class Fonts {
 public:
  explicit Fonts(Scale scale = Scale{});
  ~Fonts();
  Fonts(const Fonts&) = delete;
  Fonts& operator=(const Fonts&) = delete;

  // False when no font file is found: text is then neither drawn nor
  // measured (the runtime's own estimate stands in).
  bool available() const { return !regular_.path.empty(); }
  const Scale& scale() const { return scale_; }
  // The file the regular weight comes from, for the error reports and tests.
  const std::string& regularPath() const { return regular_.path; }

  // A face to render a font with, and the whole-pixel factor to magnify what
  // it renders by. Sizes the font file holds as hand-drawn bitmaps at 96 dpi
  // are rendered at that size and magnified, so a 2x screen shows the same
  // crisp glyphs with the same widths as a 1x screen; other sizes are
  // outlines, rendered afresh at the screen's size.
  // A bold face that sets its glyphs no heavier than the regular one (Wine's
  // Tahoma Bold at every size but one: the regular outlines at the bold
  // widths) is emboldened as the toolkits of the time did for a face with no
  // bold weight: each glyph struck again `strike` pixels to the right of
  // itself, before any magnifying. The line grows by that much at its end.
  struct Face {
    _TTF_Font* font = nullptr;
    int magnify = 1;
    int strike = 0;
  };
  // `narrow` asks for the narrow face (see narrowed), when it is installed.
  Face face(const Font& font, bool narrow = false);
  // In pixels of the screen.
  int width(const std::string& text, const Font& font, bool narrow = false);
  // Whether a line wider than the `room` its control gives it is to be set
  // in the narrow face, which holds it there. The layouts' large bold type
  // was drawn narrower than any bold face installed here sets it, and a
  // centred word cut off at both ends cannot be read.
  bool narrowed(const std::string& line, const Font& font, int room);
  int lineHeight(const Font& font);
  // Breaks a text into lines no wider than `widthPx` at spaces and at line
  // breaks; a word wider than the whole line stands alone and overflows.
  std::vector<std::string> wrap(const std::string& text, const Font& font, int widthPx);
  // The size of a text in twips. wrapWidth > 0 wraps it at that width: the
  // width is then wrapWidth, or the widest word when that is wider.
  std::pair<Twips, Twips> measure(const std::string& text, const Font& font, Twips wrapWidth);

 private:
  struct File {
    std::string path;
    std::set<int> strikes;  // the pixel sizes it holds as bitmaps
    // Its contents, read when first needed; its faces read them until
    // they are closed.
    std::shared_ptr<const std::string> bytes;
  };
  bool hasNarrow(const Font& font) const {
    return !(font.bold ? narrowBold_ : narrowRegular_).path.empty();
  }
  Scale scale_;
  File regular_, bold_;
  File narrowRegular_, narrowBold_;  // empty when not installed
  struct Opened {
    _TTF_Font* font = nullptr;
    int strike = 0;
  };
  // A face at a size in pixels, opened once.
  Opened open(int pixels, bool bold, bool narrow);
  std::map<std::tuple<int, bool, bool>, Opened> faces_;
  // Widths measured, by face and text: shaping a line costs more than
  // drawing it, and the same captions are measured at every frame.
  std::unordered_map<std::string, int> widths_;
};

// A headless host that measures text in real fonts: for windows drawn away
// from the game's own loop, such as the message box.
class MeasuringHost : public HeadlessHost {
 public:
  explicit MeasuringHost(Fonts& fonts) : fonts_(fonts) {}
  std::pair<Twips, Twips> measureText(const std::string& text, const Font& font,
                                      Twips wrapWidth) override {
    return fonts_.measure(text, font, wrapWidth);
  }

 private:
  Fonts& fonts_;
};

}  // namespace brz::sdl
