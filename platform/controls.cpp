// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/controls.h"

#include <algorithm>
#include <cmath>

#include "platform/layout.h"
#include "platform/runtime.h"
#include "platform/window.h"

namespace brz {

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

namespace {

// The control above `control`, or null when its container is the window.
const Control* holderOf(const Control& control) {
  return control.container().asControl();
}

// Where a container's origin lies in the client area's twips.
std::pair<Twips, Twips> originOf(const Control* holder) {
  Twips x = 0, y = 0;
  for (; holder; holder = holderOf(*holder)) {
    x += holder->left();
    y += holder->top();
  }
  return {x, y};
}

// Whether a part of the client area that `control` covers is hidden behind
// an opaque control in front of it or of a container above it: what changes
// there cannot be seen. Only one control that covers all of it counts.
bool hiddenInFront(const Control& control, const TwipsRect& area) {
  for (const Control* c = &control; c; c = holderOf(*c)) {
    auto [x, y] = originOf(holderOf(*c));
    for (const Control* sibling : c->container().children()) {
      if (sibling == c) break;
      if (sibling->visible() && sibling->opaqueArea().movedBy(x, y).contains(area)) return true;
    }
  }
  return false;
}

}  // namespace

TwipsRect Control::shownArea() const {
  if (!visible_) return {};
  TwipsRect area = bounds();
  for (const Control* holder = holderOf(*this); holder; holder = holderOf(*holder)) {
    if (!holder->visible()) return {};
    area = intersect(area.movedBy(holder->left(), holder->top()), holder->childArea());
  }
  return intersect(area, {0, 0, window_.clientWidth(), window_.clientHeight()});
}

void Control::changed(bool draws, const TwipsRect& before) {
  runtime().touch();
  if (!draws) return;
  for (const TwipsRect& area : {before, shownArea()})
    if (!area.empty() && !hiddenInFront(*this, area)) window_.damage(area);
}

bool Control::damageCounts() const {
  return !window_.wholeDamaged();
}

void Control::setLeft(Twips value) {
  update(left_, value);
}
void Control::setTop(Twips value) {
  update(top_, value);
}
void Control::setWidth(Twips value) {
  update(width_, value);
}
void Control::setHeight(Twips value) {
  update(height_, value);
}
void Control::setVisible(bool value) {
  update(visible_, value);
}
void Control::setEnabled(bool value) {
  update(enabled_, value, drawsText());
}
void Control::setTag(std::string value) {
  tag_ = std::move(value);
}
void Control::setBackColor(Color value) {
  update(backColor_, value, drawsBackColor());
}
void Control::setForeColor(Color value) {
  update(foreColor_, value, drawsText());
}
void Control::setFont(Font value) {
  update(font_, value, drawsText());
}

// The colours are the kind's defaults where the layout names none.
void Control::applyStyle(const ControlLayout& row) {
  if (row.back != kDefaultColor) setBackColor(row.back);
  if (row.fore != kDefaultColor) setForeColor(row.fore);
  setFont(Font{row.points, row.bold});
  setTag(std::string(row.tag));
}

void Control::applyLayout(const ControlLayout& row, Runtime& /*runtime*/) {
  setLeft(row.left);
  setTop(row.top);
  setWidth(row.width);
  setHeight(row.height);
  applyStyle(row);
  setVisible(!row.hidden);
  setEnabled(!row.disabled);
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
  update(caption_, std::move(value));
}

// The pointer is not drawn in the window.
void Frame::setMouseIcon(PictureRef icon) {
  update(mouseIcon_, std::move(icon), false);
}

void Frame::applyLayout(const ControlLayout& row, Runtime& runtime) {
  Control::applyLayout(row, runtime);
  setCaption(std::string(row.caption));
  if (!row.mouseIcon.empty()) setMouseIcon(runtime.layoutPicture(row.mouseIcon));
}

void Frame::properties(PropertyList& out) const {
  Control::properties(out);
  out.emplace_back("Caption", caption_);
  out.emplace_back("BackColor", ColorValue{backColor()});
}

Label::Label(Window& w, Container& c, std::string name, int index)
    : Control(ControlKind::Label, w, c, std::move(name), index) {}

void Label::setCaption(std::string value) {
  update(caption_, std::move(value));
  if (autoSize) {
    // A wrapped label keeps its width unless a word is wider; it then widens
    // to that word, keeping its Left, and never breaks or clips a word.
    auto [w, h] = runtime().measureText(caption_, font(), wordWrap ? width() : 0);
    if (!wordWrap || w > width()) setWidth(w);
    setHeight(h);
  }
}

void Label::applyLayout(const ControlLayout& row, Runtime& runtime) {
  Control::applyLayout(row, runtime);
  caption_ = std::string(row.caption);
  alignment = row.centred ? Alignment::Center : Alignment::Left;
  wordWrap = row.wrapped;
  autoSize = row.autoSize;
  transparent = row.transparent;
}

void Label::properties(PropertyList& out) const {
  Control::properties(out);
  out.emplace_back("Caption", caption_);
  out.emplace_back("BackColor", ColorValue{backColor()});
}

TextBox::TextBox(Window& w, Container& c, std::string name, int index)
    : Control(ControlKind::TextBox, w, c, std::move(name), index) {}

void TextBox::setText(std::string value) {
  if (!update(text_, std::move(value))) return;
  if (change) change();
}

void TextBox::applyLayout(const ControlLayout& row, Runtime& runtime) {
  Control::applyLayout(row, runtime);
  if (row.back == kDefaultColor) setBackColor(kWhite);
  if (row.fore == kDefaultColor) setForeColor(kBlack);
  text_ = std::string(row.caption);
}

void TextBox::properties(PropertyList& out) const {
  Control::properties(out);
  out.emplace_back("Text", text_);
  out.emplace_back("BackColor", ColorValue{backColor()});
}

Image::Image(Window& w, Container& c, std::string name, int index, ControlKind kind)
    : Control(kind, w, c, std::move(name), index) {}

void Image::setPicture(PictureRef picture) {
  if (picture && picture->fromFile) runtime().trace("picture " + ref() + " " + picture->source);
  if (picture == picture_) return;
  TwipsRect before = damageCounts() ? shownArea() : TwipsRect{};
  picture_ = std::move(picture);
  // Read once here rather than at every change around it; a decoder may
  // have worked it out once for all the loads of the same picture.
  pictureOpaque_ = picture_ && picture_->width > 0 &&
                   (picture_->opaque ? *picture_->opaque : allOpaque(picture_->argb));
  changed(damageCounts(), before);
}

// A picture's pixel is a pixel of the look, at every scale.
TwipsRect Image::opaqueArea() const {
  if (!pictureOpaque_) return {};
  return intersect(bounds(), {left(), top(), Twips(picture_->width * kTwipsPerPixel),
                              Twips(picture_->height * kTwipsPerPixel)});
}

void Image::applyLayout(const ControlLayout& row, Runtime& runtime) {
  Control::applyLayout(row, runtime);
  if (!row.picture.empty()) setPicture(runtime.layoutPicture(row.picture));
}

void Image::properties(PropertyList& out) const {
  Control::properties(out);
}

PictureBox::PictureBox(Window& w, Container& c, std::string name, int index)
    : Image(w, c, std::move(name), index, ControlKind::PictureBox) {}

// Its sunken border is two pixels wide at every scale.
TwipsRect PictureBox::childArea() const {
  constexpr Twips kBorder = 2 * kTwipsPerPixel;
  return {left() + kBorder, top() + kBorder, width() - 2 * kBorder, height() - 2 * kBorder};
}

CommandButton::CommandButton(Window& w, Container& c, std::string name, int index)
    : Control(ControlKind::CommandButton, w, c, std::move(name), index) {}

void CommandButton::setCaption(std::string value) {
  update(caption_, std::move(value));
}

void CommandButton::setMouseIcon(PictureRef icon) {
  update(mouseIcon_, std::move(icon), false);
}

void CommandButton::applyLayout(const ControlLayout& row, Runtime& runtime) {
  Control::applyLayout(row, runtime);
  setCaption(std::string(row.caption));
  graphical = row.graphical;
  if (!row.mouseIcon.empty()) setMouseIcon(runtime.layoutPicture(row.mouseIcon));
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
  update(caption_, std::move(value));
}

void CheckBox::setValue(int value) {
  update(value_, value);
}

void CheckBox::applyLayout(const ControlLayout& row, Runtime& runtime) {
  Control::applyLayout(row, runtime);
  setCaption(std::string(row.caption));
  setValue(row.value);
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

void Timer::applyLayout(const ControlLayout& row, Runtime& /*runtime*/) {
  setTag(std::string(row.tag));
  setInterval(row.interval);
  setEnabled(!row.disabled);
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
  update(x1_, v);
}
void Line::setY1(Twips v) {
  update(y1_, v);
}
void Line::setX2(Twips v) {
  update(x2_, v);
}
void Line::setY2(Twips v) {
  update(y2_, v);
}

// Its width is in pixels of the look, at every scale.
TwipsRect Line::bounds() const {
  Twips reach = Twips(kTwipsPerPixel * std::max(1, borderWidth));
  return {std::min(x1_, x2_) - reach, std::min(y1_, y2_) - reach,
          std::abs(x2_ - x1_) + 2 * reach + kTwipsPerPixel,
          std::abs(y2_ - y1_) + 2 * reach + kTwipsPerPixel};
}

// A line's place is its two ends, held in the row's Left/Top and Width/Height.
void Line::applyLayout(const ControlLayout& row, Runtime& /*runtime*/) {
  borderWidth = row.borderWidth;
  setX1(row.left);
  setY1(row.top);
  setX2(row.width);
  setY2(row.height);
  applyStyle(row);
  setVisible(!row.hidden);
  setEnabled(!row.disabled);
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

// Built in one string of the right length: the game asks for a path at
// every shot. Windows takes '/' as a separator too.
std::string filePath(const std::string& directory, std::string_view name, char separator) {
  auto isSeparator = [separator](char c) { return c == separator || c == '/'; };
  while (!name.empty() && (name.front() == '\\' || name.front() == '/')) name.remove_prefix(1);
  bool add = !directory.empty() && !isSeparator(directory.back());
  std::string path;
  path.reserve(directory.size() + add + name.size());
  path += directory;
  if (add) path += separator;
  for (char c : name) path += c == '\\' || c == '/' ? separator : c;
  return path;
}

}  // namespace brz
