// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls.h"
#include "platform/layout.h"

namespace brz {

// The fixed frame around a window's client area, in twips: 5 pixels of border
// on each side and a 22-pixel title bar. Left/Top/Width/Height are the outer
// size, so the client area is the outer size less these.
inline constexpr Twips kFrameWidth = 2 * 5 * kTwipsPerPixel;
inline constexpr Twips kFrameHeight = (2 * 5 + 22) * kTwipsPerPixel;

// A top-level window. It exists once; the runtime creates and loads it on the
// first reference (Runtime::form). Its controls are made from its layout table.
class Window : public Container {
 public:
  Window(Runtime& runtime, const WindowLayout& layout, std::span<const ControlLayout> controls);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  Runtime& runtime() const { return runtime_; }
  const std::string& name() const { return name_; }

  const std::string& caption() const { return caption_; }
  void setCaption(std::string value);
  Twips left() const { return left_; }
  Twips top() const { return top_; }
  Twips width() const { return width_; }
  Twips height() const { return height_; }
  void setLeft(Twips value);
  void setTop(Twips value);
  void setWidth(Twips value);
  void setHeight(Twips value);
  Twips clientWidth() const { return width_ - kFrameWidth; }
  Twips clientHeight() const { return height_ - kFrameHeight; }
  Color backColor() const { return backColor_; }
  const PictureRef& icon() const { return icon_; }

  bool visible() const { return visible_; }
  // Modeless: makes the window visible, brings it to the front and makes it
  // the active window; centres it on the screen the first time.
  void show();
  // Keeps the window, its controls and its running timers.
  void hide();

  // The control with the keyboard focus, or none.
  Control* activeControl() const { return activeControl_; }
  void setActiveControl(Control* control);

  // Every control, in layout order.
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  Control* find(std::string_view name, int index = -1) const;
  template <class T>
  T& control(std::string_view name, int index = -1) const {
    auto* found = dynamic_cast<T*>(find(name, index));
    if (!found) throw std::logic_error("no such control in " + name_ + ": " + std::string(name));
    return *found;
  }

  void properties(PropertyList& out) const;

  // The parts of the client area to draw again, in its twips: a part is
  // clipped to the client area, and dropped when nothing of it is left.
  void damage(const TwipsRect& area);
  void damageAll() { damage({0, 0, clientWidth(), clientHeight()}); }
  // Whether the whole client area is damaged already, so no change adds to it.
  bool wholeDamaged() const { return wholeDamaged_; }
  // What was damaged since the last call; forgets it.
  std::vector<TwipsRect> takeDamage() {
    wholeDamaged_ = false;
    return std::exchange(damage_, {});
  }

  Handler load;
  Handler unload;
  Handler click;
  MouseHandler mouseMove;

 private:
  friend class Runtime;
  void addDamage(const TwipsRect& area);
  Runtime& runtime_;
  std::string name_;
  std::string caption_;
  Twips left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  Color backColor_;
  PictureRef icon_;
  bool visible_ = false;
  bool shownBefore_ = false;
  Control* activeControl_ = nullptr;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<TwipsRect> damage_;
  // Whether a rectangle of damage_ holds the whole client area, asked at
  // every change: worked out at every damage (a change of size damages the
  // window whole, so it is worked out then too) and cleared when taken.
  bool wholeDamaged_ = false;
};

}  // namespace brz
