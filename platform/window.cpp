// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window.h"

#include <algorithm>

#include "platform/runtime.h"

namespace brz {

namespace {

std::unique_ptr<Control> makeControl(ControlKind kind, Window& w, Container& c, std::string name,
                                     int index) {
  switch (kind) {
    case ControlKind::Frame:
      return std::make_unique<Frame>(w, c, name, index);
    case ControlKind::Label:
      return std::make_unique<Label>(w, c, name, index);
    case ControlKind::TextBox:
      return std::make_unique<TextBox>(w, c, name, index);
    case ControlKind::Image:
      return std::make_unique<Image>(w, c, name, index);
    case ControlKind::PictureBox:
      return std::make_unique<PictureBox>(w, c, name, index);
    case ControlKind::CommandButton:
      return std::make_unique<CommandButton>(w, c, name, index);
    case ControlKind::CheckBox:
      return std::make_unique<CheckBox>(w, c, name, index);
    case ControlKind::Timer:
      return std::make_unique<Timer>(w, c, name, index);
    case ControlKind::Line:
      return std::make_unique<Line>(w, c, name, index);
    case ControlKind::DirListBox:
      return std::make_unique<DirListBox>(w, c, name, index);
    case ControlKind::MediaPlayer:
      return std::make_unique<MediaPlayer>(w, c, name, index);
  }
  throw std::logic_error("unknown control kind");
}

// The colours a kind has when the layout names none.
Color defaultBack(ControlKind kind) {
  return kind == ControlKind::TextBox ? kWhite : kButtonFace;
}
Color defaultFore(ControlKind kind) {
  return kind == ControlKind::TextBox ? kBlack : kWindowText;
}

void setUp(Control& control, const ControlLayout& row, Runtime& runtime) {
  std::string caption(row.caption);
  if (row.kind == ControlKind::Line) {
    auto& line = static_cast<Line&>(control);
    line.setX1(row.left);
    line.setY1(row.top);
    line.setX2(row.width);
    line.setY2(row.height);
    line.borderWidth = row.borderWidth;
  } else {
    control.setLeft(row.left);
    control.setTop(row.top);
    control.setWidth(row.width);
    control.setHeight(row.height);
  }
  control.setBackColor(row.back == kDefaultColor ? defaultBack(row.kind) : row.back);
  control.setForeColor(row.fore == kDefaultColor ? defaultFore(row.kind) : row.fore);
  control.setFont(Font{row.points, row.bold});
  control.setTag(std::string(row.tag));
  control.setVisible(!row.hidden && row.kind != ControlKind::Timer);
  switch (row.kind) {
    case ControlKind::Frame: {
      auto& frame = static_cast<Frame&>(control);
      frame.setCaption(caption);
      if (!row.mouseIcon.empty()) frame.setMouseIcon(runtime.layoutPicture(row.mouseIcon));
      break;
    }
    case ControlKind::Label: {
      auto& label = static_cast<Label&>(control);
      label.initCaption(caption);
      label.alignment = row.centred ? Alignment::Center : Alignment::Left;
      label.wordWrap = row.wrapped;
      label.autoSize = row.autoSize;
      label.transparent = row.transparent;
      break;
    }
    case ControlKind::TextBox: {
      auto& box = static_cast<TextBox&>(control);
      box.initText(caption);
      box.locked = true;  // the counters show numbers the player does not edit
      break;
    }
    case ControlKind::Image:
    case ControlKind::PictureBox:
      if (!row.picture.empty())
        static_cast<Image&>(control).setPicture(runtime.layoutPicture(row.picture));
      break;
    case ControlKind::CommandButton: {
      auto& button = static_cast<CommandButton&>(control);
      button.setCaption(caption);
      button.graphical = row.graphical;
      if (!row.mouseIcon.empty()) button.setMouseIcon(runtime.layoutPicture(row.mouseIcon));
      break;
    }
    case ControlKind::CheckBox: {
      auto& box = static_cast<CheckBox&>(control);
      box.setCaption(caption);
      box.setValue(row.value);
      break;
    }
    case ControlKind::Timer: {
      auto& timer = static_cast<Timer&>(control);
      timer.setInterval(row.interval);
      timer.setEnabled(!row.disabled);
      return;
    }
    default:
      break;
  }
  control.setEnabled(!row.disabled);
}

}  // namespace

Window::Window(Runtime& runtime, const WindowLayout& layout,
               std::span<const ControlLayout> controls)
    : runtime_(runtime),
      name_(layout.name),
      caption_(layout.caption),
      width_(layout.clientWidth + kFrameWidth),
      height_(layout.clientHeight + kFrameHeight),
      backColor_(layout.back) {
  if (!layout.icon.empty()) icon_ = runtime.layoutPicture(layout.icon);
  for (const ControlLayout& row : controls) {
    Container* container = this;
    if (!row.container.empty()) {
      Control* holder = find(row.container);
      if (!holder || !holder->asContainer())
        throw std::logic_error(name_ + ": no container " + std::string(row.container));
      container = holder->asContainer();
    }
    auto control = makeControl(row.kind, *this, *container, std::string(row.name), row.index);
    setUp(*control, row, runtime);
    container->addChild(*control);
    controls_.push_back(std::move(control));
  }
}

Window::~Window() = default;

void Window::setCaption(std::string value) {
  caption_ = std::move(value);
  runtime_.touch();
}
void Window::setLeft(Twips value) {
  left_ = value;
  runtime_.touch();
}
void Window::setTop(Twips value) {
  top_ = value;
  runtime_.touch();
}
void Window::setWidth(Twips value) {
  width_ = value;
  runtime_.touch();
}
void Window::setHeight(Twips value) {
  height_ = value;
  runtime_.touch();
}

void Window::show() {
  if (!shownBefore_) {
    shownBefore_ = true;
    left_ = (runtime_.screenWidth() - width_) / 2;
    top_ = (runtime_.screenHeight() - height_) / 2;
  }
  visible_ = true;
  runtime_.raise(*this);
  runtime_.touch();
}

void Window::hide() {
  visible_ = false;
  runtime_.touch();
}

void Window::setActiveControl(Control* control) {
  activeControl_ = control;
  runtime_.touch();
}

Control* Window::find(std::string_view name, int index) const {
  for (const auto& control : controls_)
    if (control->name() == name && control->index() == index) return control.get();
  return nullptr;
}

void Window::properties(PropertyList& out) const {
  out.emplace_back("Caption", caption_);
  out.emplace_back("Left", double{left_});
  out.emplace_back("Top", double{top_});
  out.emplace_back("Width", double{width_});
  out.emplace_back("Height", double{height_});
  out.emplace_back("Visible", visible_);
  out.emplace_back("BackColor", ColorValue{backColor_});
  out.emplace_back("ActiveControl", activeControl_ ? activeControl_->localName() : std::string());
}

}  // namespace brz
