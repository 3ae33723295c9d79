// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/host.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace brz {

std::pair<Twips, Twips> estimateText(const std::string& text, const Font& font, Twips wrapWidth) {
  Twips em = font.points * 20;  // a point is 20 twips
  auto widthOf = [&](size_t chars) { return std::ceil(chars * em * 0.5f); };
  Twips lineHeight = std::ceil(em * 1.2f);
  if (wrapWidth <= 0) return {widthOf(text.size()), lineHeight};
  std::vector<size_t> words;
  for (size_t pos = 0; pos <= text.size();) {
    size_t end = std::min(text.find_first_of(" \n", pos), text.size());
    if (end > pos) words.push_back(end - pos);
    pos = end + 1;
  }
  Twips width = wrapWidth;
  for (size_t word : words) width = std::max(width, widthOf(word));
  int lines = 1;
  size_t used = 0;  // characters on the current line
  for (size_t word : words) {
    size_t wanted = used == 0 ? word : used + 1 + word;
    if (used > 0 && widthOf(wanted) > width) {
      ++lines;
      wanted = word;
    }
    used = wanted;
  }
  return {width, lines * lineHeight};
}

}  // namespace brz
