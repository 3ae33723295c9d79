// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/controls.h"

#include "platform/runtime.h"
#include "platform/window.h"

namespace brz {

const char* kindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Frame:
      return "Frame";
    case ControlKind::Label:
      return "Label";
    case ControlKind::TextBox:
      return "TextBox";
    case ControlKind::Image:
      return "Image";
    case ControlKind::PictureBox:
      return "PictureBox";
    case ControlKind::CommandButton:
      return "CommandButton";
    case ControlKind::CheckBox:
      return "CheckBox";
    case ControlKind::Timer:
      return "Timer";
    case ControlKind::Line:
      return "Line";
    case ControlKind::DirListBox:
      return "DirListBox";
    case ControlKind::MediaPlayer:
      return "MediaPlayer";
  }
  return "?";
}

// --- Control -----------------------------------------------------------------

Control::Control(ControlKind kind, Window& window, Container& container, std::string name,
                 int index)
    : kind_(kind), window_(window), container_(container), name_(std::move(name)), index_(index) {}

std::string Control::localName() const {
  if (index_ < 0) return name_;
  return name_ + "(" + std::to_string(index_) + ")";
}

std::string Control::ref() const {
  return window_.name() + "." + localName();
}

Runtime& Control::runtime() const {
  return window_.runtime();
}

// Assigning a property the value it holds is no change, and costs the front
// end nothing: the menu's ticker assigns its resting place at every tick.
void Control::changed() {
  runtime().touch();
}

void Control::setLeft(Twips value) {
  if (left_ == value) return;
  left_ = value;
  changed();
}
void Control::setTop(Twips value) {
  if (top_ == value) return;
  top_ = value;
  changed();
}
void Control::setWidth(Twips value) {
  if (width_ == value) return;
  width_ = value;
  changed();
}
void Control::setHeight(Twips value) {
  if (height_ == value) return;
  height_ = value;
  changed();
}
void Control::setVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  changed();
}
void Control::setEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  changed();
}
void Control::setTag(std::string value) {
  tag_ = std::move(value);
}
void Control::setBackColor(Color value) {
  if (backColor_ == value) return;
  backColor_ = value;
  changed();
}
void Control::setForeColor(Color value) {
  if (foreColor_ == value) return;
  foreColor_ = value;
  changed();
}
void Control::setFont(Font value) {
  font_ = value;
  changed();
}

void Control::properties(PropertyList& out) const {
  out.emplace_back("Left", double{left_});
  out.emplace_back("Top", double{top_});
  out.emplace_back("Width", double{width_});
  out.emplace_back("Height", double{height_});
  out.emplace_back("Visible", visible_);
  out.emplace_back("Enabled", enabled_);
  out.emplace_back("Tag", tag_);
}

// --- the kinds ---------------------------------------------------------------

Frame::Frame(Window& w, Container& c, std::string name, int index)
    : Control(ControlKind::Frame, w, c, std::move(name), index) {}

void Frame::setCaption(std::string value) {
  caption_ = std::move(value);
  changed();
}

void Frame::setMouseIcon(PictureRef icon) {
  mouseIcon_ = std::move(icon);
  changed();
}

void Frame::properties(PropertyList& out) const {
  Control::properties(out);
  out.emplace_back("Caption", caption_);
  out.emplace_back("BackColor", ColorValue{backColor()});
}

Label::Label(Window& w, Container& c, std::string name, int index)
    : Control(ControlKind::Label, w, c, std::move(name), index) {}

void Label::setCaption(std::string value) {
  caption_ = std::move(value);
  if (autoSize) {
    // A wrapped label keeps its width unless a word is wider; it then widens
    // to that word, keeping its Left, and never breaks or clips a word.
    auto [w, h] = runtime().measureText(caption_, font(), wordWrap ? width() : 0);
    if (!wordWrap || w > width()) setWidth(w);
    setHeight(h);
  }
  changed();
}

void Label::properties(PropertyList& out) const {
  Control::properties(out);
  out.emplace_back("Caption", caption_);
  out.emplace_back("BackColor", ColorValue{backColor()});
}

TextBox::TextBox(Window& w, Container& c, std::string name, int index)
    : Control(ControlKind::TextBox, w, c, std::move(name), index) {}

void TextBox::setText(std::string value) {
  if (value == text_) return;
  text_ = std::move(value);
  changed();
  if (change) change();
}

void TextBox::properties(PropertyList& out) const {
  Control::properties(out);
  out.emplace_back("Text", text_);
  out.emplace_back("BackColor", ColorValue{backColor()});
}

Image::Image(Window& w, Container& c, std::string name, int index, ControlKind kind)
    : Control(kind, w, c, std::move(name), index) {}

void Image::setPicture(PictureRef picture) {
  picture_ = std::move(picture);
  if (picture_ && picture_->fromFile) runtime().trace("picture " + ref() + " " + picture_->source);
  changed();
}

void Image::properties(PropertyList& out) const {
  Control::properties(out);
}

PictureBox::PictureBox(Window& w, Container& c, std::string name, int index)
    : Image(w, c, std::move(name), index, ControlKind::PictureBox) {}

CommandButton::CommandButton(Window& w, Container& c, std::string name, int index)
    : Control(ControlKind::CommandButton, w, c, std::move(name), index) {}

void CommandButton::setCaption(std::string value) {
  caption_ = std::move(value);
  changed();
}

void CommandButton::setMouseIcon(PictureRef icon) {
  mouseIcon_ = std::move(icon);
  changed();
}

void CommandButton::setFocus() {
  window().setActiveControl(this);
}

bool CommandButton::hasFocus() const {
  return window().activeControl() == this;
}

void CommandButton::properties(PropertyList& out) const {
  Control::properties(out);
  out.emplace_back("Caption", caption_);
  out.emplace_back("BackColor", ColorValue{backColor()});
}

CheckBox::CheckBox(Window& w, Container& c, std::string name, int index)
    : Control(ControlKind::CheckBox, w, c, std::move(name), index) {}

void CheckBox::setCaption(std::string value) {
  caption_ = std::move(value);
  changed();
}

void CheckBox::setValue(int value) {
  value_ = value;
  changed();
}

void CheckBox::properties(PropertyList& out) const {
  Control::properties(out);
  out.emplace_back("Caption", caption_);
  out.emplace_back("Value", double(value_));
  out.emplace_back("BackColor", ColorValue{backColor()});
}

Timer::Timer(Window& w, Container& c, std::string name, int index)
    : Control(ControlKind::Timer, w, c, std::move(name), index) {
  Control::setVisible(false);
  Control::setEnabled(false);
  runtime().registerTimer(*this);
}

void Timer::setInterval(int ms) {
  interval_ = ms;
  nextDue_ = runtime().now() + ms;
}

void Timer::setEnabled(bool value) {
  if (value == enabled()) return;
  Control::setEnabled(value);
  if (value) nextDue_ = runtime().now() + interval_;
}

void Timer::properties(PropertyList& out) const {
  out.emplace_back("Enabled", enabled());
  out.emplace_back("Interval", double(interval_));
  out.emplace_back("Tag", tag());
}

Line::Line(Window& w, Container& c, std::string name, int index)
    : Control(ControlKind::Line, w, c, std::move(name), index) {}

void Line::setX1(Twips v) {
  x1_ = v;
  changed();
}
void Line::setY1(Twips v) {
  y1_ = v;
  changed();
}
void Line::setX2(Twips v) {
  x2_ = v;
  changed();
}
void Line::setY2(Twips v) {
  y2_ = v;
  changed();
}

void Line::properties(PropertyList& out) const {
  out.emplace_back("X1", double{x1_});
  out.emplace_back("Y1", double{y1_});
  out.emplace_back("X2", double{x2_});
  out.emplace_back("Y2", double{y2_});
  out.emplace_back("Visible", visible());
  out.emplace_back("BackColor", ColorValue{backColor()});
}

DirListBox::DirListBox(Window& w, Container& c, std::string name, int index)
    : Control(ControlKind::DirListBox, w, c, std::move(name), index),
      path_(w.runtime().startDirectory()) {}

void DirListBox::properties(PropertyList& out) const {
  Control::properties(out);
  out.emplace_back("Path", path_);
}

MediaPlayer::MediaPlayer(Window& w, Container& c, std::string name, int index)
    : Control(ControlKind::MediaPlayer, w, c, std::move(name), index),
      channel_(w.runtime().sound().createChannel(this->name())) {}

MediaPlayer::~MediaPlayer() = default;

void MediaPlayer::setFileName(std::string path) {
  fileName_ = std::move(path);
  runtime().trace("sound " + name() + " open " + fileName_);
  channel_->open(fileName_);
}

void MediaPlayer::play() {
  runtime().trace("sound " + name() + " play");
  channel_->play();
}

void MediaPlayer::stop() {
  runtime().trace("sound " + name() + " stop");
  channel_->stop();
}

void MediaPlayer::properties(PropertyList& out) const {
  Control::properties(out);
  out.emplace_back("FileName", fileName_);
}

std::string filePath(const std::string& directory, std::string_view name) {
  std::string file(name);
  while (!file.empty() && (file.front() == '\\' || file.front() == '/')) file.erase(0, 1);
  for (char& c : file)
    if (c == '\\') c = '/';
  if (directory.empty() || directory.back() == '/') return directory + file;
  return directory + "/" + file;
}

}  // namespace brz
