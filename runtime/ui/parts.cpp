#include "ui/parts.h"

#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "ui/events.h"
#include "ui/keys.h"

namespace xb {

namespace {
template <class T>
T& as(Object& o) {
  return static_cast<T&>(o);
}
}  // namespace

// ---- XbpStatic ----

const ClassDesc& XbpStatic::staticClass() {
  static const ClassDesc d("XbpStatic", &XbpWindow::staticClass(), [](ClassDesc& c) {
    c.member(
         "caption", [](Object& o) { return as<XbpStatic>(o).caption(); },
         [](Object& o, const Value& v) { as<XbpStatic>(o).setCaption(v); })
        .field("type", &XbpStatic::type)
        .field("options", &XbpStatic::options)
        .method("setCaption", [](Object& o, Args a) { return as<XbpStatic>(o).setCaption(a[0]); })
        .factory([] { return std::make_shared<XbpStatic>(); });
  });
  return d;
}

Value XbpStatic::setCaption(const Value& caption) {
  if (!usable("setCaption")) return Value(false);
  caption_ = caption;
  invalidate();
  return Value(true);
}

// ---- XbpPushButton ----

const ClassDesc& XbpPushButton::staticClass() {
  static const ClassDesc d("XbpPushButton", &XbpWindow::staticClass(), [](ClassDesc& c) {
    c.member(
         "caption", [](Object& o) { return as<XbpPushButton>(o).caption(); },
         [](Object& o, const Value& v) { as<XbpPushButton>(o).setCaption(v); })
        .field("default", &XbpPushButton::isDefault)
        .field("border", &XbpPushButton::border)
        .method("setCaption", [](Object& o, Args a) { return as<XbpPushButton>(o).setCaption(a[0]); })
        .factory([] { return std::make_shared<XbpPushButton>(); });
  });
  return d;
}

Value XbpPushButton::setCaption(const Value& caption) {
  if (!usable("setCaption")) return Value(false);
  caption_ = caption;
  invalidate();
  return Value(true);
}

Value XbpPushButton::keyboard(const Value& mp1, const Value& mp2) {
  if (!usable("keyboard")) return Value();
  if (mp1.isNum() && isEnabled()) {
    int k = static_cast<int>(mp1.num());
    if (k == key::kSpace || (k == key::kEnter && slot(Slot::keyboard).isNil()))
      PostAppEvent(ev::kActivate, Value(), Value(), selfValue());
  }
  return callSlot(Slot::keyboard, mp1, mp2);
}

Value XbpPushButton::lbDown(const Value& mp1, const Value& mp2) {
  if (!usable("lbDown")) return Value();
  pressed_ = true;
  invalidate();
  return callSlot(Slot::lbDown, mp1, mp2);
}

Value XbpPushButton::lbUp(const Value& mp1, const Value& mp2) {
  if (!usable("lbUp")) return Value();
  if (pressed_) {
    pressed_ = false;
    invalidate();
    auto p = pointOf(mp1);
    if (p && Rect{0, 0, size_.w, size_.h}.contains(*p) && isEnabled())
      PostAppEvent(ev::kActivate, Value(), Value(), selfValue());
  }
  return callSlot(Slot::lbUp, mp1, mp2);
}

Value XbpPushButton::activate(const Value& mp1, const Value& mp2) {
  if (!usable("activate")) return Value();
  return callSlot(Slot::activate, mp1, mp2);
}

// ---- XbpTabPage ----

const ClassDesc& XbpTabPage::staticClass() {
  static const ClassDesc d("XbpTabPage", &XbpWindow::staticClass(), [](ClassDesc& c) {
    c.field("caption", &XbpTabPage::caption)
        .field("tabHeight", &XbpTabPage::tabHeight)
        .member("minimized", [](Object& o) { return Value(as<XbpTabPage>(o).minimized()); })
        .method("minimize", [](Object& o, Args) { return as<XbpTabPage>(o).minimize(); })
        .method("maximize", [](Object& o, Args) { return as<XbpTabPage>(o).maximize(); })
        .factory([] { return std::make_shared<XbpTabPage>(); });
  });
  return d;
}

int XbpTabPage::tabIndex() const {
  auto p = parent_.lock();
  if (!p) return 0;
  int n = 0;
  for (auto& k : p->children()) {
    if (k->isDestroyed() || !k->isDerivedFrom("XbpTabPage")) continue;
    ++n;
    if (k.get() == this) return n;
  }
  return 0;
}

Value XbpTabPage::minimize() {
  if (!usable("minimize")) return Value(false);
  if (!minimized_) {
    minimized_ = true;
    invalidate();
  }
  return Value(true);
}

Value XbpTabPage::maximize() {
  if (!usable("maximize")) return Value(false);
  if (minimized_) {
    minimized_ = false;
    invalidate();
  }
  return Value(true);
}

Value XbpTabPage::toFront() {
  Value r = XbpWindow::toFront();
  if (!r.isTrue()) return r;
  maximize();
  if (auto p = parent_.lock()) {
    for (auto& k : p->children())
      if (k.get() != this && !k->isDestroyed())
        if (auto page = std::dynamic_pointer_cast<XbpTabPage>(k)) page->minimize();
  }
  return Value(true);
}

Value XbpTabPage::lbDown(const Value& mp1, const Value& mp2) {
  if (!usable("lbDown")) return Value();
  auto p = pointOf(mp1);
  auto par = parent_.lock();
  if (p && par && p->y >= size_.h - tabHeight) {
    int idx = static_cast<int>(std::floor(p->x / kTabWidth)) + 1;
    for (auto& k : par->children()) {
      auto page = std::dynamic_pointer_cast<XbpTabPage>(k);
      if (page && !page->isDestroyed() && page->tabIndex() == idx) {
        PostAppEvent(ev::kTabActivate, Value(), Value(), Value(page));
        break;
      }
    }
  }
  return callSlot(Slot::lbDown, mp1, mp2);
}

// ---- XbpScrollBar ----

const ClassDesc& XbpScrollBar::staticClass() {
  static const ClassDesc d("XbpScrollBar", &XbpWindow::staticClass(), [](ClassDesc& c) {
    c.field("horizontal", &XbpScrollBar::horizontal)
        .field("pageSize", &XbpScrollBar::pageSize)
        .method("setRange", [](Object& o, Args a) { return as<XbpScrollBar>(o).setRange(a[0]); })
        .method("setData", [](Object& o, Args a) { return as<XbpScrollBar>(o).setData(a); })
        .method("getData", [](Object& o, Args) { return as<XbpScrollBar>(o).getData(); })
        .factory([] { return std::make_shared<XbpScrollBar>(); });
  });
  return d;
}

Value XbpScrollBar::setRange(const Value& range) {
  if (!usable("setRange")) return Value();
  Value old = arrayValue({Value(min_), Value(max_)});
  auto r = pointOf(range);
  if (!r || r->y < r->x)
    return uiError(gen::kArgument, "XbpScrollBar:setRange: the range must be {min, max} with min <= max", "setRange", old);
  min_ = static_cast<int>(r->x);
  max_ = static_cast<int>(r->y);
  pos_ = std::clamp(pos_, min_, max_);
  invalidate();
  return old;
}

Value XbpScrollBar::setData(Args a) {
  if (!usable("setData")) return Value(false);
  if (a.empty() || !a[0].isNum())
    return uiError(gen::kArgument, "XbpScrollBar:setData: the position must be a number", "setData", Value(false));
  pos_ = std::clamp(static_cast<int>(a[0].num()), min_, max_);
  invalidate();
  return Value(true);
}

void XbpScrollBar::moveTo(int pos, int command) {
  pos_ = std::clamp(pos, min_, max_);
  invalidate();
  PostAppEvent(ev::kScroll, arrayValue({Value(pos_), Value(command)}), Value(), selfValue());
}

Value XbpScrollBar::keyboard(const Value& mp1, const Value& mp2) {
  if (!usable("keyboard")) return Value();
  if (mp1.isNum()) {
    int k = static_cast<int>(mp1.num());
    int back = horizontal ? key::kLeft : key::kUp, fwd = horizontal ? key::kRight : key::kDown;
    if (k == back) moveTo(pos_ - 1, scrollcmd::kLineUp);
    else if (k == fwd) moveTo(pos_ + 1, scrollcmd::kLineDown);
    else if (k == key::kPgUp) moveTo(pos_ - pageSize, scrollcmd::kPageUp);
    else if (k == key::kPgDn) moveTo(pos_ + pageSize, scrollcmd::kPageDown);
    else if (k == key::kHome) moveTo(min_, scrollcmd::kTop);
    else if (k == key::kEnd) moveTo(max_, scrollcmd::kBottom);
  }
  return callSlot(Slot::keyboard, mp1, mp2);
}

Value XbpScrollBar::lbDown(const Value& mp1, const Value& mp2) {
  if (!usable("lbDown")) return Value();
  if (auto p = pointOf(mp1)) {
    // Clicks before the middle page back, after it page on (y grows upwards).
    bool before = horizontal ? p->x < size_.w / 2 : p->y > size_.h / 2;
    if (before) moveTo(pos_ - pageSize, scrollcmd::kPageUp);
    else moveTo(pos_ + pageSize, scrollcmd::kPageDown);
  }
  return callSlot(Slot::lbDown, mp1, mp2);
}

}  // namespace xb
