// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window.h"

#include <algorithm>

#include "platform/runtime.h"

namespace brz {

namespace {

TwipsRect holding(const TwipsRect& a, const TwipsRect& b) {
  Twips left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  return {left, top, std::max(a.x + a.w, b.x + b.w) - left, std::max(a.y + a.h, b.y + b.h) - top};
}

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
    control->applyLayout(row, runtime);
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
  damageAll();
  runtime_.touch();
}
void Window::setHeight(Twips value) {
  height_ = value;
  damageAll();
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

// The focus shows on a button or a check box.
void Window::setActiveControl(Control* control) {
  if (control == activeControl_) return;
  if (activeControl_) damage(activeControl_->shownArea());
  activeControl_ = control;
  if (control) damage(control->shownArea());
  runtime_.touch();
}

// Few rectangles are drawn one by one; many are drawn as the one that holds
// them all, which costs less than walking the controls for each.
void Window::damage(const TwipsRect& area) {
  addDamage(area);
  TwipsRect all{0, 0, clientWidth(), clientHeight()};
  wholeDamaged_ =
      !all.empty() && std::any_of(damage_.begin(), damage_.end(),
                                  [&](const TwipsRect& held) { return held.contains(all); });
}

void Window::addDamage(const TwipsRect& area) {
  constexpr size_t kMostRectangles = 8;
  TwipsRect shown = intersect(area, {0, 0, clientWidth(), clientHeight()});
  if (shown.empty()) return;
  for (const TwipsRect& held : damage_)
    if (held.contains(shown)) return;
  std::erase_if(damage_, [&](const TwipsRect& held) { return shown.contains(held); });
  damage_.push_back(shown);
  if (damage_.size() <= kMostRectangles) return;
  // Many controls moving a little each (a swarm of mosquitoes) leave pairs
  // of old and new places that mostly overlap: each pair is joined first,
  // so their few rectangles are not drawn as one that spans the window.
  auto size = [](const TwipsRect& r) { return static_cast<double>(r.w) * r.h; };
  for (size_t i = 0; i < damage_.size(); ++i)
    for (size_t j = i + 1; j < damage_.size();) {
      TwipsRect both = holding(damage_[i], damage_[j]);
      if (size(both) <= size(damage_[i]) + size(damage_[j])) {
        damage_[i] = both;
        damage_.erase(damage_.begin() + static_cast<std::ptrdiff_t>(j));
        j = i + 1;
      } else {
        ++j;
      }
    }
  if (damage_.size() <= kMostRectangles) return;
  TwipsRect all = damage_.front();
  for (const TwipsRect& r : damage_) all = holding(all, r);
  damage_ = {all};
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
