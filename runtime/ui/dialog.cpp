#include "ui/dialog.h"

#include <algorithm>

#include "core/error.h"
#include "ui/backend.h"
#include "ui/events.h"

namespace xb {

namespace {
XbpDialog& D(Object& o) { return static_cast<XbpDialog&>(o); }
XbpCrt& C(Object& o) { return static_cast<XbpCrt&>(o); }
}  // namespace

const ClassDesc& XbpDialog::staticClass() {
  static const ClassDesc d("XbpDialog", &XbpWindow::staticClass(), [](ClassDesc& c) {
    c.member(
         "title", [](Object& o) { return Value(D(o).title()); },
         [](Object& o, const Value& v) { D(o).setTitle(v.isChar() ? v.str() : std::string()); })
        .member("drawingArea", [](Object& o) {
          auto a = D(o).drawingArea();
          return a ? Value(a) : Value();
        })
        .field("moveWithOwner", &XbpDialog::moveWithOwner)
        .field("sysMenu", &XbpDialog::sysMenu)
        .field("minButton", &XbpDialog::minButton)
        .field("maxButton", &XbpDialog::maxButton)
        .field("titleBar", &XbpDialog::titleBar)
        .field("icon", &XbpDialog::icon)
        .field("border", &XbpDialog::border)
        .method("getFrameState", [](Object& o, Args) { return D(o).getFrameState(); })
        .method("setFrameState", [](Object& o, Args a) { return D(o).setFrameState(a[0]); })
        .method("getModalState", [](Object& o, Args) { return D(o).getModalState(); })
        .method("setModalState", [](Object& o, Args a) { return D(o).setModalState(a[0]); })
        .method("setTitle", [](Object& o, Args a) {
          Value old(D(o).title());
          if (a[0].isChar()) D(o).setTitle(a[0].str());
          return old;
        })
        .method("getTitle", [](Object& o, Args) { return Value(D(o).title()); })
        .factory([] { return std::make_shared<XbpDialog>(); });
  });
  return d;
}

Value XbpDialog::init(const Value& parent, const Value& owner, const Value& pos, const Value& size,
                      const Value& presParam, const Value& visible) {
  Value r = XbpWindow::init(parent, owner, pos, size, presParam, visible);
  ensureArea();
  return r;
}

void XbpDialog::ensureArea() {
  if (!area_) {
    area_ = std::make_shared<XbpIWindow>();
    area_->init(selfValue());
  }
}

Value XbpDialog::create(const Value& parent, const Value& owner, const Value& pos,
                        const Value& size, const Value& presParam, const Value& visible) {
  if (!usable("create")) return Value();
  ensureArea();
  XbpWindow::create(parent, owner, pos, size, presParam, visible);
  if (!isCreated()) return selfValue();
  layoutArea();
  area_->create(selfValue());
  if (visible_) {
    activateWindow(selfRef());
    if (!focusHolder()) SetAppFocus(selfValue());
  }
  return selfValue();
}

void XbpDialog::layoutArea() {
  if (!area_) return;
  double w = std::max(0.0, size_.w - 2 * kDialogBorder);
  double h = std::max(0.0, size_.h - 2 * kDialogBorder - (titleBar ? kDialogTitleHeight : 0.0));
  area_->setPos(pointValue(kDialogBorder, kDialogBorder));
  area_->setSize(pointValue(w, h));
}

Value XbpDialog::setSize(const Value& size) {
  Value r = XbpWindow::setSize(size);
  if (r.isTrue()) layoutArea();
  return r;
}

Value XbpDialog::destroy() {
  if (!usable("destroy")) return Value();
  if (activeWindow().get() == this) deactivateWindow(selfRef());
  setModalWindow(selfRef(), false);
  return XbpWindow::destroy();
}

Value XbpDialog::show() {
  Value r = XbpWindow::show();
  if (r.isTrue() && isCreated() && frameState_ != frame::kMinimized) activateWindow(selfRef());
  return r;
}

Value XbpDialog::hide() {
  Value r = XbpWindow::hide();
  if (r.isTrue() && activeWindow().get() == this) deactivateWindow(selfRef());
  return r;
}

Value XbpDialog::toFront() {
  Value r = XbpWindow::toFront();
  return r;
}

bool XbpDialog::isActive() const { return activeWindow().get() == this; }

void XbpDialog::setTitle(const std::string& t) {
  title_ = t;
  if (isCreated()) {
    backend().topLevelChanged(*this);
    invalidate();
  }
}

Value XbpDialog::setFrameState(const Value& state) {
  if (!usable("setFrameState")) return Value(false);
  if (!state.isNum()) return Value(false);
  int s = static_cast<int>(state.num());
  if (s != frame::kMinimized && s != frame::kMaximized && s != frame::kNormalized) return Value(false);
  int old = frameState_;
  frameState_ = s;
  if (isCreated() && old != s) {
    if (s == frame::kMinimized) deactivateWindow(selfRef());
    else if (old == frame::kMinimized && visible_) activateWindow(selfRef());
    backend().topLevelChanged(*this);
    invalidate();
  }
  return Value(true);
}

Value XbpDialog::setModalState(const Value& state) {
  if (!usable("setModalState")) return Value(false);
  if (!state.isNum()) return Value(false);
  int s = static_cast<int>(state.num());
  if (s != modal::kModeless && s != modal::kApplicationModal && s != modal::kSystemModal) return Value(false);
  modalState_ = s;
  setModalWindow(selfRef(), s != modal::kModeless);
  return Value(true);
}

Value XbpDialog::close(const Value& mp1, const Value& mp2) { return callSlot(Slot::close, mp1, mp2); }

Value XbpDialog::setDisplayFocus(const Value& mp1, const Value& mp2) {
  invalidate();
  return callSlot(Slot::setDisplayFocus, mp1, mp2);
}

Value XbpDialog::killDisplayFocus(const Value& mp1, const Value& mp2) {
  invalidate();
  return callSlot(Slot::killDisplayFocus, mp1, mp2);
}

// ---- terminal-style window ----

const ClassDesc& XbpCrt::staticClass() {
  static const ClassDesc d("XbpCrt", &XbpWindow::staticClass(), [](ClassDesc& c) {
    c.field("title", &XbpCrt::title)
        .method("getFrameState", [](Object& o, Args) { return C(o).getFrameState(); })
        .method("setFrameState", [](Object& o, Args a) { return C(o).setFrameState(a[0]); })
        .method("setModalState", [](Object& o, Args a) { return C(o).setModalState(a[0]); })
        .factory([] { return std::make_shared<XbpCrt>(); });
  });
  return d;
}

const ClassDesc& RootCrt::staticClass() {
  static const ClassDesc d("RootCrt", &XbpCrt::staticClass(), [](ClassDesc& c) {
    c.factory([] { return std::make_shared<RootCrt>(); });
  });
  return d;
}

Value XbpCrt::create(const Value& parent, const Value& owner, const Value& pos, const Value& size,
                     const Value& presParam, const Value& visible) {
  XbpWindow::create(parent, owner, pos, size, presParam, visible);
  if (isCreated() && visible_) {
    activateWindow(selfRef());
    if (!focusHolder()) SetAppFocus(selfValue());
  }
  return selfValue();
}

Value XbpCrt::close(const Value& mp1, const Value& mp2) { return callSlot(Slot::close, mp1, mp2); }

Value XbpCrt::setFrameState(const Value& state) {
  if (!usable("setFrameState")) return Value(false);
  if (!state.isNum()) return Value(false);
  int s = static_cast<int>(state.num());
  if (s < frame::kMinimized || s > frame::kNormalized) return Value(false);
  frameState_ = s;
  if (s == frame::kMinimized) deactivateWindow(selfRef());
  return Value(true);
}

Value XbpCrt::setModalState(const Value& state) {
  if (!usable("setModalState")) return Value(false);
  if (!state.isNum()) return Value(false);
  modalState_ = static_cast<int>(state.num());
  setModalWindow(selfRef(), modalState_ != modal::kModeless);
  return Value(true);
}

}  // namespace xb
