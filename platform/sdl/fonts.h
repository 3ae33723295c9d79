#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/sdl/look.h"
#include "platform/types.h"

struct _TTF_Font;  // SDL_ttf's font, kept out of the callers' headers

namespace brz::sdl {

// The toolkit's fonts: Liberation Sans, regular and bold, sized in points on a
// 96-dpi screen and rendered at the screen's scale. Measuring and drawing
// share this one object, so a label that sizes itself fits the text that is
// drawn in it; the painters take their scale from it too.
class Fonts {
 public:
  explicit Fonts(Scale scale = Scale{});
  ~Fonts();
  Fonts(const Fonts&) = delete;
  Fonts& operator=(const Fonts&) = delete;

  // False when the font files are missing: text is then neither drawn nor
  // measured (the runtime's own estimate stands in).
  bool available() const { return !regularPath_.empty(); }
  const Scale& scale() const { return scale_; }

  _TTF_Font* face(const Font& font);
  // In pixels of the screen.
  int width(const std::string& text, const Font& font);
  int lineHeight(const Font& font);
  // Breaks a text into lines no wider than `widthPx` at spaces and at line
  // breaks; a word wider than the whole line stands alone and overflows.
  std::vector<std::string> wrap(const std::string& text, const Font& font, int widthPx);
  // The size of a text in twips; wrapWidth > 0 wraps it at that width.
  std::pair<Twips, Twips> measure(const std::string& text, const Font& font, Twips wrapWidth);

 private:
  Scale scale_;
  std::string regularPath_, boldPath_;
  std::map<std::pair<int, bool>, _TTF_Font*> faces_;
};

}  // namespace brz::sdl
