// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/picture.h"
#include "platform/sound.h"
#include "platform/types.h"

namespace brz {

// What the runtime asks of the world outside it. The desktop front end
// answers with SDL's pictures, sound, fonts and a real message box;
// HeadlessHost answers with none of them, for the scenario runner and the
// tests. The runtime's clock is not asked for: whoever drives the runtime
// moves it on (advanceTo, runDueTimers), so a virtual clock and the real one
// drive the same code. The desktop settings (double-click time, screen size,
// start directory) are read once, when the runtime is built.
class Host {
 public:
  virtual ~Host() = default;

  // Turns picture files and stored pictures into pixels. Null: a file is
  // opened to check that it is there, but not decoded.
  virtual PictureDecoder* pictures() = 0;
  // The bytes of a picture stored with a layout, by name; empty when there
  // are none (the picture is then left blank).
  virtual std::span<const unsigned char> layoutPicture(std::string_view name) = 0;
  // Where the media players' channels come from.
  virtual SoundBackend& sound() = 0;
  // The size of a text in a font, in twips; wrapWidth > 0 wraps at that width.
  virtual std::pair<Twips, Twips> measureText(const std::string& text, const Font& font,
                                              Twips wrapWidth) = 0;
  // A modal message box with an OK button; returns when it is answered.
  virtual void messageBox(const std::string& text) = 0;

  // The longest time between the two presses of a double click.
  virtual Millis doubleClickTime() = 0;
  // The screen's width and height in twips: where windows are centred.
  virtual std::pair<Twips, Twips> screenSize() = 0;
  // The directory of the game's run-time files (gameDirectory in system.h):
  // the Path of every directory list box.
  virtual std::string startDirectory() = 0;
};

// Text measured without fonts: an average glyph is half an em wide, a line
// 1.2 em high; wrapped text fills lines word by word and widens to its
// longest word, as the real measure does.
std::pair<Twips, Twips> estimateText(const std::string& text, const Font& font, Twips wrapWidth);

// A host with no desktop: pictures only checked, silence, estimated text, a
// message box answered at once, a 1024 x 768 screen at 96 dpi, and no start
// directory. Tests override what they need.
class HeadlessHost : public Host {
 public:
  PictureDecoder* pictures() override { return nullptr; }
  std::span<const unsigned char> layoutPicture(std::string_view) override { return {}; }
  SoundBackend& sound() override { return silent_; }
  std::pair<Twips, Twips> measureText(const std::string& text, const Font& font,
                                      Twips wrapWidth) override {
    return estimateText(text, font, wrapWidth);
  }
  void messageBox(const std::string&) override {}
  Millis doubleClickTime() override { return 500; }
  std::pair<Twips, Twips> screenSize() override {
    return {1024 * kTwipsPerPixel, 768 * kTwipsPerPixel};
  }
  std::string startDirectory() override { return {}; }

 private:
  SilentSound silent_;
};

}  // namespace brz
