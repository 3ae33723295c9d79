// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/picture.h"
#include "platform/properties.h"
#include "platform/sound.h"
#include "platform/types.h"

namespace brz {

class Container;
class Runtime;
class SoundChannel;
class Window;

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

const char* kindName(ControlKind kind);

using Handler = std::function<void()>;
// Button, Shift, X, Y: the pointer's place in the control's own twips.
using MouseHandler = std::function<void(int button, int shift, Twips x, Twips y)>;

// What every control has: a name (and an index within a control array), a
// container, a place in it, visibility, enabled state and a free Tag. Setters
// tell the runtime that something a player could see has changed.
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

  // Whether the pointer can land on it: lines and timers never take the mouse.
  virtual bool takesMouse() const { return true; }
  // Frames and picture boxes hold other controls.
  virtual Container* asContainer() { return nullptr; }
  virtual const Container* asContainer() const { return nullptr; }

  // Every property the scenario runner can print, in a fixed order.
  virtual void properties(PropertyList& out) const;

  Handler click;
  MouseHandler mouseMove;

 protected:
  void changed();

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
  PictureRef mouseIcon() const { return mouseIcon_; }
  void setMouseIcon(PictureRef icon);
  Container* asContainer() override { return this; }
  const Container* asContainer() const override { return this; }
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
  void initCaption(std::string value) { caption_ = std::move(value); }
  void properties(PropertyList& out) const override;

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
  bool locked = false;  // shows its text but takes no typing
  void initText(std::string value) { text_ = std::move(value); }
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
  void properties(PropertyList& out) const override;

 private:
  PictureRef picture_;
};

class PictureBox : public Image, public Container {
 public:
  PictureBox(Window& w, Container& c, std::string name, int index);
  Container* asContainer() override { return this; }
  const Container* asContainer() const override { return this; }
};

class CommandButton : public Control {
 public:
  CommandButton(Window& w, Container& c, std::string name, int index);
  const std::string& caption() const { return caption_; }
  void setCaption(std::string value);
  bool graphical = false;  // the graphical style: its back colour shows
  PictureRef mouseIcon() const { return mouseIcon_; }
  void setMouseIcon(PictureRef icon);
  void setFocus();
  bool hasFocus() const;
  void properties(PropertyList& out) const override;

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
  void properties(PropertyList& out) const override;

 private:
  Twips x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

// Its Path is the directory the program was started in.
class DirListBox : public Control {
 public:
  DirListBox(Window& w, Container& c, std::string name, int index);
  const std::string& path() const { return path_; }
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
  void properties(PropertyList& out) const override;

 private:
  std::string fileName_;
  std::unique_ptr<SoundChannel> channel_;
};

// The file name of a constant that begins with a backslash, joined to a
// directory: filePath("/games/brizzlet", "\\gun.wav") is
// "/games/brizzlet/gun.wav".
std::string filePath(const std::string& directory, std::string_view name);

}  // namespace brz
