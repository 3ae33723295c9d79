// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/picture.h"
#include "platform/properties.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/types.h"

namespace brz {

class Container;
class Runtime;
class SoundChannel;
class Window;
struct ControlLayout;

enum class ControlKind {
  Frame,
  Label,
  TextBox,
  Image,
  PictureBox,
  CommandButton,
  CheckBox,
  Timer,
  Line,
  DirListBox,
  MediaPlayer,
};

using Handler = std::function<void()>;
// The pointer's place in the control's own twips.
using MouseHandler = std::function<void(Twips x, Twips y)>;

class Frame;
class Label;
class TextBox;
class Image;
class PictureBox;
class CommandButton;
class CheckBox;
class Line;
class DirListBox;
class MediaPlayer;

// What draws the controls, one function for each kind that shows (a timer
// never does). The runtime knows no pixels: the front end implements this.
class ControlPainter {
 public:
  virtual ~ControlPainter() = default;
  virtual void paint(const Frame& frame) = 0;
  virtual void paint(const Label& label) = 0;
  virtual void paint(const TextBox& box) = 0;
  virtual void paint(const Image& image) = 0;
  virtual void paint(const PictureBox& box) = 0;
  virtual void paint(const CommandButton& button) = 0;
  virtual void paint(const CheckBox& box) = 0;
  virtual void paint(const Line& line) = 0;
  virtual void paint(const DirListBox& box) = 0;
  virtual void paint(const MediaPlayer& player) = 0;
};

// What every control has: a name (and an index within a control array), a
// container, a place in it, visibility, enabled state and a free Tag. A setter
// that changes what a player could see marks the parts of its window's client
// area it touched as damaged; setting a value a control already has changes
// nothing.
class Control {
 public:
  Control(ControlKind kind, Window& window, Container& container, std::string name, int index);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  int index() const { return index_; }  // -1 outside a control array
  std::string localName() const;        // "Command3(1)"
  std::string ref() const;              // "Form1.Command3(1)"
  Window& window() const { return window_; }
  Container& container() const { return container_; }
  Runtime& runtime() const;

  Twips left() const { return left_; }
  Twips top() const { return top_; }
  Twips width() const { return width_; }
  Twips height() const { return height_; }
  void setLeft(Twips value);
  void setTop(Twips value);
  void setWidth(Twips value);
  void setHeight(Twips value);
  bool visible() const { return visible_; }
  void setVisible(bool value);
  void show() { setVisible(true); }
  void hide() { setVisible(false); }
  bool enabled() const { return enabled_; }
  virtual void setEnabled(bool value);
  const std::string& tag() const { return tag_; }
  void setTag(std::string value);
  Color backColor() const { return backColor_; }
  void setBackColor(Color value);
  Color foreColor() const { return foreColor_; }
  void setForeColor(Color value);
  const Font& font() const { return font_; }
  void setFont(Font value);

  // Sets it up from its row of the window's layout.
  virtual void applyLayout(const ControlLayout& row, Runtime& runtime);

  // Whether the pointer can land on it: lines and timers never take the mouse.
  virtual bool takesMouse() const { return true; }
  // Whether a click on it gives it the keyboard focus.
  virtual bool takesFocus() const { return false; }
  // What a click does to the control itself, before its Click handler runs.
  virtual void press() {}
  // Whether a right-button press clicks it as a left one does.
  virtual bool clicksWithEitherButton() const { return false; }
  // Whether a quick second press on it is a double click rather than a click.
  virtual bool doubleClicks() const { return true; }
  // Whether a key pressed while it has the focus clicks it.
  virtual bool pressedBy(std::string_view /*key*/) const { return false; }
  // Whether it has no window of its own: its container draws it and answers
  // the mouse over it.
  virtual bool windowless() const { return false; }
  // The custom pointer it shows, if any.
  virtual PictureRef mouseIcon() const { return nullptr; }
  // Frames and picture boxes hold other controls.
  virtual Container* asContainer() { return nullptr; }
  virtual const Container* asContainer() const { return nullptr; }

  // Where it draws and answers the mouse, in its container's twips.
  virtual TwipsRect bounds() const { return {left_, top_, width_, height_}; }
  // What its children are clipped to, in its container's twips.
  virtual TwipsRect childArea() const { return bounds(); }
  // The part of its bounds it covers with no gap or transparency, hiding
  // what lies behind, in its container's twips.
  virtual TwipsRect opaqueArea() const { return bounds(); }
  // The part of the client area it shows in: its bounds clipped by every
  // container above it and by the client area; empty when it or a container
  // above it is hidden.
  TwipsRect shownArea() const;
  virtual void paintWith(ControlPainter& painter) const = 0;

  // Every property the scenario runner can print, in a fixed order.
  virtual void properties(PropertyList& out) const;

  Handler click;
  MouseHandler mouseMove;

 protected:
  // Whether a change of enabled state, fore colour or font shows on it.
  virtual bool drawsText() const { return true; }
  virtual bool drawsBackColor() const { return true; }
  // A property changed: the runtime's revision moves on, and when `draws`,
  // what the control covered before (`before`, from shownArea) and covers
  // now is damaged.
  void changed(bool draws, const TwipsRect& before);
  // Whether a change can still add to its window's damage: not while the
  // whole client area is damaged, as it stays in a window no front end
  // draws, where working out what a change touched was most of its cost.
  bool damageCounts() const;
  // Sets a field; true, after the damage, when the value was new.
  template <class T>
  bool update(T& field, T value, bool draws = true) {
    if (field == value) return false;
    if (!draws || !damageCounts()) {
      field = std::move(value);
      changed(false, {});
      return true;
    }
    TwipsRect before = shownArea();
    field = std::move(value);
    changed(draws, before);
    return true;
  }
  // Sets up what every kind takes from its layout row but its place.
  void applyStyle(const ControlLayout& row);

 private:
  ControlKind kind_;
  Window& window_;
  Container& container_;
  std::string name_;
  int index_;
  Twips left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::string tag_;
  Color backColor_ = kButtonFace;
  Color foreColor_ = kWindowText;
  Font font_;
};

// Holds child controls in one ordered list that is both the drawing order and
// the hit-test order: the first child is in front.
class Container {
 public:
  virtual ~Container() = default;
  // The control this is, or null for a window: asked at every change, where
  // a dynamic_cast costs more than the change itself.
  virtual const Control* asControl() const { return nullptr; }
  const std::vector<Control*>& children() const { return children_; }
  void addChild(Control& child) { children_.push_back(&child); }

 private:
  std::vector<Control*> children_;
};

class Frame : public Control, public Container {
 public:
  Frame(Window& w, Container& c, std::string name, int index);
  const std::string& caption() const { return caption_; }
  void setCaption(std::string value);
  PictureRef mouseIcon() const override { return mouseIcon_; }
  void setMouseIcon(PictureRef icon);
  Container* asContainer() override { return this; }
  const Container* asContainer() const override { return this; }
  const Control* asControl() const override { return this; }
  bool clicksWithEitherButton() const override { return true; }
  void applyLayout(const ControlLayout& row, Runtime& runtime) override;
  void paintWith(ControlPainter& painter) const override { painter.paint(*this); }
  void properties(PropertyList& out) const override;

 private:
  std::string caption_;
  PictureRef mouseIcon_;
};

enum class Alignment { Left, Center };

class Label : public Control {
 public:
  Label(Window& w, Container& c, std::string name, int index);
  const std::string& caption() const { return caption_; }
  // A label that sizes itself keeps its layout size until its caption is
  // assigned; then it fits the new text. One that wraps keeps its Left and
  // width and grows in height, and widens only to hold a word wider than it.
  void setCaption(std::string value);
  Alignment alignment = Alignment::Left;
  bool wordWrap = false;
  bool autoSize = false;
  bool transparent = false;
  bool windowless() const override { return true; }
  bool clicksWithEitherButton() const override { return true; }
  TwipsRect opaqueArea() const override { return transparent ? TwipsRect{} : bounds(); }
  void applyLayout(const ControlLayout& row, Runtime& runtime) override;
  void paintWith(ControlPainter& painter) const override { painter.paint(*this); }
  void properties(PropertyList& out) const override;

 protected:
  bool drawsBackColor() const override { return !transparent; }

 private:
  std::string caption_;
};

class TextBox : public Control {
 public:
  TextBox(Window& w, Container& c, std::string name, int index);
  const std::string& text() const { return text_; }
  // Runs the Change handler at once, nested, before returning; assigning the
  // text the box already holds changes nothing and runs no handler.
  void setText(std::string value);
  bool takesFocus() const override { return true; }
  void applyLayout(const ControlLayout& row, Runtime& runtime) override;
  void paintWith(ControlPainter& painter) const override { painter.paint(*this); }
  void properties(PropertyList& out) const override;

  Handler change;

 private:
  std::string text_;
};

// An image and a picture box both show a picture; the picture box draws a
// border around it and can hold controls.
class Image : public Control {
 public:
  Image(Window& w, Container& c, std::string name, int index,
        ControlKind kind = ControlKind::Image);
  const PictureRef& picture() const { return picture_; }
  void setPicture(PictureRef picture);
  bool windowless() const override { return true; }
  bool clicksWithEitherButton() const override { return true; }
  // Shown at its own size from the top left: it hides what is behind where
  // it has no transparent pixel.
  TwipsRect opaqueArea() const override;
  void applyLayout(const ControlLayout& row, Runtime& runtime) override;
  void paintWith(ControlPainter& painter) const override { painter.paint(*this); }
  void properties(PropertyList& out) const override;

 protected:
  bool drawsText() const override { return false; }
  bool drawsBackColor() const override { return false; }

 private:
  PictureRef picture_;
  bool pictureOpaque_ = false;
};

class PictureBox : public Image, public Container {
 public:
  PictureBox(Window& w, Container& c, std::string name, int index);
  Container* asContainer() override { return this; }
  const Container* asContainer() const override { return this; }
  const Control* asControl() const override { return this; }
  bool windowless() const override { return false; }
  // Filled with its back colour; its children stay inside its border.
  TwipsRect opaqueArea() const override { return bounds(); }
  TwipsRect childArea() const override;
  void paintWith(ControlPainter& painter) const override { painter.paint(*this); }

 protected:
  bool drawsBackColor() const override { return true; }
};

class CommandButton : public Control {
 public:
  CommandButton(Window& w, Container& c, std::string name, int index);
  const std::string& caption() const { return caption_; }
  void setCaption(std::string value);
  bool graphical = false;  // the graphical style: its back colour shows
  PictureRef mouseIcon() const override { return mouseIcon_; }
  void setMouseIcon(PictureRef icon);
  void setFocus();
  bool hasFocus() const;
  bool takesFocus() const override { return true; }
  bool doubleClicks() const override { return false; }
  bool pressedBy(std::string_view key) const override { return key == "space" || key == "enter"; }
  void applyLayout(const ControlLayout& row, Runtime& runtime) override;
  void paintWith(ControlPainter& painter) const override { painter.paint(*this); }
  void properties(PropertyList& out) const override;

 protected:
  bool drawsBackColor() const override { return graphical; }

 private:
  std::string caption_;
  PictureRef mouseIcon_;
};

class CheckBox : public Control {
 public:
  CheckBox(Window& w, Container& c, std::string name, int index);
  const std::string& caption() const { return caption_; }
  void setCaption(std::string value);
  int value() const { return value_; }  // 1 = checked
  void setValue(int value);
  bool takesFocus() const override { return true; }
  bool doubleClicks() const override { return false; }
  // A click flips it.
  void press() override { setValue(value_ == 1 ? 0 : 1); }
  bool pressedBy(std::string_view key) const override { return key == "space"; }
  void applyLayout(const ControlLayout& row, Runtime& runtime) override;
  void paintWith(ControlPainter& painter) const override { painter.paint(*this); }
  void properties(PropertyList& out) const override;

 private:
  std::string caption_;
  int value_ = 0;
};

// Ticks every Interval ms while enabled, at exact multiples of the interval
// since it was enabled. Runs whatever the state of its window or container.
class Timer : public Control {
 public:
  Timer(Window& w, Container& c, std::string name, int index);
  int interval() const { return interval_; }
  // Restarts the count from now.
  void setInterval(int ms);
  bool takesMouse() const override { return false; }
  void applyLayout(const ControlLayout& row, Runtime& runtime) override;
  void paintWith(ControlPainter&) const override {}  // never shown
  void properties(PropertyList& out) const override;
  // Enabling an enabled timer changes nothing; enabling a disabled one starts
  // the count from now.
  void setEnabled(bool value) override;
  void enable() { setEnabled(true); }
  void disable() { setEnabled(false); }

  Handler tick;

 private:
  friend class Runtime;
  int interval_ = 0;
  Millis nextDue_ = 0;
  int order_ = 0;  // creation order, which breaks ties between due ticks
};

class Line : public Control {
 public:
  Line(Window& w, Container& c, std::string name, int index);
  Twips x1() const { return x1_; }
  Twips y1() const { return y1_; }
  Twips x2() const { return x2_; }
  Twips y2() const { return y2_; }
  void setX1(Twips v);
  void setY1(Twips v);
  void setX2(Twips v);
  void setY2(Twips v);
  int borderWidth = 1;  // pixels
  bool takesMouse() const override { return false; }
  bool windowless() const override { return true; }
  // Both ends with round caps of its width around them, and a pixel more.
  TwipsRect bounds() const override;
  TwipsRect opaqueArea() const override { return {}; }
  void applyLayout(const ControlLayout& row, Runtime& runtime) override;
  void paintWith(ControlPainter& painter) const override { painter.paint(*this); }
  void properties(PropertyList& out) const override;

 protected:
  bool drawsText() const override { return false; }

 private:
  Twips x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

// Its Path is the host's start directory, where the game's files are.
class DirListBox : public Control {
 public:
  DirListBox(Window& w, Container& c, std::string name, int index);
  const std::string& path() const { return path_; }
  void paintWith(ControlPainter& painter) const override { painter.paint(*this); }
  void properties(PropertyList& out) const override;

 private:
  std::string path_;
};

// A sound player. Giving it a file name opens and plays that file at once.
class MediaPlayer : public Control {
 public:
  MediaPlayer(Window& w, Container& c, std::string name, int index);
  ~MediaPlayer() override;
  const std::string& fileName() const { return fileName_; }
  void setFileName(std::string path);
  void play();
  void stop();
  void paintWith(ControlPainter& painter) const override { painter.paint(*this); }
  void properties(PropertyList& out) const override;

 protected:
  bool drawsText() const override { return false; }
  bool drawsBackColor() const override { return false; }

 private:
  std::string fileName_;
  std::unique_ptr<SoundChannel> channel_;
};

// The file name of a constant that begins with a backslash, joined to a
// directory with the system's separator: filePath("/games/brizzlet",
// "\\gun.wav") is "/games/brizzlet/gun.wav", and on Windows
// filePath("C:\\Games", "\\gun.wav") is "C:\\Games\\gun.wav". A directory that
// already ends in a separator, such as a drive's root, gets no second one.
std::string filePath(const std::string& directory, std::string_view name,
                     char separator = kPathSeparator);

}  // namespace brz
