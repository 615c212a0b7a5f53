#include "ui/window.h"

#include <algorithm>

#include "core/error.h"
#include "ui/backend.h"
#include "ui/events.h"
#include "ui/presspace.h"

namespace xb {

namespace {
uint64_t nextZ() {
  static uint64_t z = 0;
  return ++z;
}
XbpWindow& W(Object& o) { return static_cast<XbpWindow&>(o); }

constexpr const char* kSlotNames[] = {
    "close",      "setInputFocus", "killInputFocus", "setDisplayFocus", "killDisplayFocus",
    "keyboard",   "tabActivate",   "activate",       "paint",           "itemMarked",
    "itemSelected", "lbDown",      "lbUp",           "lbClick",         "lbDblClick",
    "rbDown",     "rbUp",          "rbClick",        "rbDblClick",      "mbDown",
    "mbUp",       "mbClick",       "motion",         "wheel",           "move",
    "resize",     "scroll",        "quit"};
static_assert(std::size(kSlotNames) == static_cast<size_t>(Slot::count));
}  // namespace

const char* slotName(Slot s) { return kSlotNames[static_cast<size_t>(s)]; }

Value pointValue(double x, double y) { return arrayValue({Value(x), Value(y)}); }

std::optional<Point> pointOf(const Value& v) {
  if (!v.isArray() || v.array()->size() < 2) return std::nullopt;
  const auto& it = v.array()->items();
  if (!it[0].isNum() || !it[1].isNum()) return std::nullopt;
  return Point{it[0].num(), it[1].num()};
}
std::optional<Size> sizeOf(const Value& v) {
  auto p = pointOf(v);
  if (!p) return std::nullopt;
  return Size{p->x, p->y};
}

std::optional<Value> dataArgument(Args a, const Value& dataLink) {
  if (!a.empty()) return a[0];
  if (dataLink.isNil()) return std::nullopt;
  return Eval(dataLink);
}

Value uiError(int genCode, const std::string& description, const std::string& operation,
              const Value& fallback) {
  auto e = makeError(genCode, description, operation, "XBP");
  e->subCode = 6000 + genCode;
  e->canDefault = true;
  return settleError(e, {}, fallback);
}

WindowRef windowOf(const Value& v) {
  if (!v.isObject()) return nullptr;
  return std::dynamic_pointer_cast<XbpWindow>(v.object());
}

Value newObjectByName(std::string_view className, Args args) {
  registerUiClasses();
  auto d = ClassDesc::find(className);
  if (!d) {
    auto e = makeError(gen::kNoMethod, "Unknown class " + std::string(className),
                       std::string(className));
    e->canSubstitute = true;
    return substituteError(e);
  }
  ObjectRef o = d->create();
  if (d->findMethod("init")) o->call("init", args);
  return Value(o);
}

// ---- class descriptor ----

const ClassDesc& XbpWindow::staticClass() {
  static const ClassDesc d("XbpWindow", &Object::staticClass(), [](ClassDesc& c) {
    for (size_t i = 0; i < static_cast<size_t>(Slot::count); ++i) {
      Slot s = static_cast<Slot>(i);
      c.member(
          kSlotNames[i], [s](Object& o) { return W(o).slot(s); },
          [s](Object& o, const Value& v) { W(o).setSlot(s, v); });
    }
    c.field("cargo", &XbpWindow::cargo)
        .field("tabStop", &XbpWindow::tabStop)
        .field("pointerFocus", &XbpWindow::pointerFocus)
        .field("clipChildren", &XbpWindow::clipChildren)
        .field("clipSiblings", &XbpWindow::clipSiblings)
        .field("group", &XbpWindow::group)
        .field("helpLink", &XbpWindow::helpLink)
        .member("visible", [](Object& o) { return Value(W(o).visibleFlag()); });
    auto six = [](auto fn) {
      return [fn](Object& o, Args a) { return fn(W(o), a[0], a[1], a[2], a[3], a[4], a[5]); };
    };
    c.method("init", six([](XbpWindow& w, auto&... v) { return w.init(v...); }))
        .method("create", six([](XbpWindow& w, auto&... v) { return w.create(v...); }))
        .method("destroy", [](Object& o, Args) { return W(o).destroy(); })
        .method("show", [](Object& o, Args) { return W(o).show(); })
        .method("hide", [](Object& o, Args) { return W(o).hide(); })
        .method("isVisible", [](Object& o, Args) {
          if (W(o).isDestroyed())
            return uiError(gen::kDestroyed, o.className() + ":isVisible: the part has been destroyed",
                           "isVisible", Value(false));
          return Value(W(o).isVisible());
        })
        .method("toFront", [](Object& o, Args) { return W(o).toFront(); })
        .method("toBack", [](Object& o, Args) { return W(o).toBack(); })
        .method("setParent", [](Object& o, Args a) { return W(o).setParent(a); })
        .method("setOwner", [](Object& o, Args a) { return W(o).setOwner(a); })
        .method("childList", [](Object& o, Args) { return W(o).childList(); })
        .method("setPos", [](Object& o, Args a) { return W(o).setPos(a[0]); })
        .method("setSize", [](Object& o, Args a) { return W(o).setSize(a[0]); })
        .method("setPosAndSize", [](Object& o, Args a) { return W(o).setPosAndSize(a[0], a[1]); })
        .method("currentPos", [](Object& o, Args) { return W(o).currentPos(); })
        .method("currentSize", [](Object& o, Args) { return W(o).currentSize(); })
        .method("configure", [](Object& o, Args) { return W(o).configure(); })
        .method("setColorFG", [](Object& o, Args a) { return W(o).setColorFG(a); })
        .method("setColorBG", [](Object& o, Args a) { return W(o).setColorBG(a); })
        .method("setPresParam", [](Object& o, Args a) { return W(o).setPresParam(a); })
        .method("enable", [](Object& o, Args) { return W(o).enable(); })
        .method("disable", [](Object& o, Args) { return W(o).disable(); })
        .method("isEnabled", [](Object& o, Args) { return Value(W(o).isEnabled()); })
        .method("lockPS", [](Object& o, Args) { return W(o).lockPS(); })
        .method("unlockPS", [](Object& o, Args a) { return W(o).unlockPS(a); })
        .method("presSpace", [](Object& o, Args) { return W(o).presSpace(); })
        .method("invalidateRect", [](Object& o, Args) {
          W(o).invalidate();
          return Value(true);
        })
        .method("hasInputFocus", [](Object& o, Args) { return Value(W(o).hasInputFocus()); })
        .method("isDerivedFrom", [](Object& o, Args a) {
          if (a[0].isObject()) return Value(o.classDesc().isDerivedFrom(a[0].object()->className()));
          return Value(o.isDerivedFrom(a[0].str()));
        })
        .method("className", [](Object& o, Args) { return Value(o.className()); })
        .method("status", [](Object& o, Args) {
          return Value(W(o).status() == PartStatus::created ? 1 : 0);
        })
        .method("handleEvent", [](Object& o, Args a) {
          if (!a[0].isNum()) return uiError(gen::kArgument, "handleEvent: the event code must be a number", "handleEvent");
          return W(o).handleEvent(static_cast<int>(a[0].num()), a[1], a[2]);
        });
#define XB_EVENT_METHOD(name) \
  c.method(#name, [](Object& o, Args a) { return W(o).name(a[0], a[1]); });
    XB_EVENT_METHOD(keyboard)
    XB_EVENT_METHOD(lbDown)
    XB_EVENT_METHOD(lbUp)
    XB_EVENT_METHOD(lbClick)
    XB_EVENT_METHOD(lbDblClick)
    XB_EVENT_METHOD(rbDown)
    XB_EVENT_METHOD(rbUp)
    XB_EVENT_METHOD(rbClick)
    XB_EVENT_METHOD(rbDblClick)
    XB_EVENT_METHOD(mbDown)
    XB_EVENT_METHOD(mbUp)
    XB_EVENT_METHOD(mbClick)
    XB_EVENT_METHOD(motion)
    XB_EVENT_METHOD(wheel)
    XB_EVENT_METHOD(setInputFocus)
    XB_EVENT_METHOD(killInputFocus)
    XB_EVENT_METHOD(setDisplayFocus)
    XB_EVENT_METHOD(killDisplayFocus)
    XB_EVENT_METHOD(paint)
    XB_EVENT_METHOD(close)
    XB_EVENT_METHOD(activate)
    XB_EVENT_METHOD(itemMarked)
    XB_EVENT_METHOD(itemSelected)
    XB_EVENT_METHOD(tabActivate)
    XB_EVENT_METHOD(scroll)
    XB_EVENT_METHOD(move)
    XB_EVENT_METHOD(resize)
    XB_EVENT_METHOD(quit)
#undef XB_EVENT_METHOD
    c.factory([] { return std::make_shared<XbpWindow>(); });
  });
  return d;
}

const ClassDesc& XbpIWindow::staticClass() {
  static const ClassDesc d("XbpIWindow", &XbpWindow::staticClass(), [](ClassDesc& c) {
    c.factory([] { return std::make_shared<XbpIWindow>(); });
  });
  return d;
}

// ---- life cycle ----

XbpWindow::XbpWindow() = default;
XbpWindow::~XbpWindow() = default;

bool XbpWindow::usable(const char* method) {
  if (status_ != PartStatus::destroyed) return true;
  uiError(gen::kDestroyed, className() + ":" + method + ": the part has been destroyed", method);
  return false;
}

std::string XbpWindow::describe() const {
  std::string l = labelText();
  return l.empty() ? className() : className() + " '" + l + "'";
}

Value XbpWindow::init(const Value& parent, const Value& owner, const Value& pos,
                      const Value& size, const Value& presParam, const Value& visible) {
  if (!usable("init")) return Value();
  applyPartArgs("init", parent, owner, pos, size, presParam, visible);
  return selfValue();
}

void XbpWindow::applyPartArgs(const char* method, const Value& parent, const Value& owner,
                              const Value& pos, const Value& size, const Value& presParam,
                              const Value& visible) {
  std::string where = className() + ":" + method;
  if (!parent.isNil()) {
    auto p = windowOf(parent);
    if (!p) uiError(gen::kArgument, where + ": the parent is not a window part", method);
    else parent_ = p;
  }
  if (!owner.isNil()) {
    if (auto o = windowOf(owner)) owner_ = o;
  }
  if (!pos.isNil()) {
    if (auto p = pointOf(pos)) {
      pos_ = *p;
      posGiven_ = true;
    } else {
      uiError(gen::kArgument, where + ": the position must be {x, y}", method);
    }
  }
  if (!size.isNil()) {
    if (auto s = sizeOf(size)) {
      size_ = *s;
      sizeGiven_ = true;
    } else {
      uiError(gen::kArgument, where + ": the size must be {width, height}", method);
    }
  }
  if (presParam.isArray()) setPresParam({presParam});
  if (visible.isLogical()) visible_ = visible.logical();
}

Value XbpWindow::create(const Value& parent, const Value& owner, const Value& pos,
                        const Value& size, const Value& presParam, const Value& visible) {
  if (!usable("create")) return Value();
  applyPartArgs("create", parent, owner, pos, size, presParam, visible);
  WindowRef p = parent_.lock();
  if (!p && isTopLevelKind()) p = AppDesktop();
  if (!p) {
    uiError(gen::kNoParent, className() + ":create: the part has no parent", "create");
    return selfValue();
  }
  if (p->isDestroyed()) {
    uiError(gen::kDestroyed, className() + ":create: the parent " + p->describe() +
                                 " has been destroyed", "create");
    return selfValue();
  }
  if (!sizeGiven_) size_ = defaultSize();
  attachTo(p);
  status_ = PartStatus::created;
  raiseZ();
  created();
  if (p == AppDesktop() && visible_) backend().topLevelShown(*this);
  invalidate();
  return selfValue();
}

Value XbpWindow::destroy() {
  if (!usable("destroy")) return Value();
  auto keep = selfRef();
  auto kids = children_;
  for (auto& k : kids)
    if (!k->isDestroyed()) k->destroy();
  children_.clear();
  bool topLevel = parent_.lock() == AppDesktop();
  if (status_ == PartStatus::created && topLevel) backend().topLevelDestroyed(*this);
  if (status_ == PartStatus::created) {
    if (auto p = parent_.lock()) p->invalidate();
  }
  status_ = PartStatus::destroyed;
  detach();
  for (auto& s : slots_) s = Value();
  ps_.reset();
  return Value(keep);
}

// ---- tree and geometry ----

void XbpWindow::attachTo(const WindowRef& newParent) {
  auto old = parent_.lock();
  if (old && old != newParent) detach();
  parent_ = newParent;
  auto& kids = newParent->children_;
  if (std::find(kids.begin(), kids.end(), selfRef()) == kids.end()) kids.push_back(selfRef());
}

void XbpWindow::detach() {
  if (auto p = parent_.lock()) {
    auto& kids = p->children_;
    auto me = this;
    kids.erase(std::remove_if(kids.begin(), kids.end(), [me](const WindowRef& k) { return k.get() == me; }),
               kids.end());
  }
}

void XbpWindow::raiseZ() { z_ = nextZ(); }

Value XbpWindow::show() {
  if (!usable("show")) return Value(false);
  bool was = visible_;
  visible_ = true;
  if (!was && isCreated()) {
    if (parent_.lock() == AppDesktop()) backend().topLevelShown(*this);
    invalidate();
  }
  return Value(true);
}

Value XbpWindow::hide() {
  if (!usable("hide")) return Value(false);
  bool was = visible_;
  visible_ = false;
  if (was && isCreated()) {
    if (parent_.lock() == AppDesktop()) backend().topLevelHidden(*this);
    if (auto p = parent_.lock()) p->invalidate();
    invalidate();
  }
  return Value(true);
}

bool XbpWindow::isVisible() const {
  const XbpWindow* w = this;
  auto desk = AppDesktop();
  while (w) {
    if (w == desk.get()) return true;
    if (!w->visible_ || w->status_ != PartStatus::created) return false;
    auto p = w->parent_.lock();
    if (p && !p->showsChildren()) return false;
    w = p.get();
  }
  return false;
}

Value XbpWindow::toFront() {
  if (!usable("toFront")) return Value(false);
  raiseZ();
  if (isCreated()) {
    auto p = parent_.lock();
    if (p == AppDesktop()) {
      backend().topLevelChanged(*this);
      if (visible_) activateWindow(selfRef());
    }
    invalidate();
  }
  return Value(true);
}

Value XbpWindow::toBack() {
  if (!usable("toBack")) return Value(false);
  z_ = 0;  // every other part has a positive stamp
  if (auto p = parent_.lock()) p->invalidate();
  return Value(true);
}

Value XbpWindow::setParent(Args a) {
  if (!usable("setParent")) return Value();
  Value old = parent_.lock() ? Value(parent_.lock()) : Value();
  if (a.empty() || a[0].isNil()) return old;
  auto p = windowOf(a[0]);
  if (!p) return uiError(gen::kArgument, className() + ":setParent: the parent is not a window part", "setParent", old);
  if (p->isDestroyed())
    return uiError(gen::kDestroyed, className() + ":setParent: the new parent has been destroyed", "setParent", old);
  for (auto q = p; q; q = q->parent()) {
    if (q.get() == this)
      return uiError(gen::kArgument, className() + ":setParent: a part cannot be its own ancestor", "setParent", old);
  }
  if (isCreated()) {
    if (auto op = parent_.lock()) op->invalidate();
    attachTo(p);
    invalidate();
  } else {
    parent_ = p;
  }
  return old;
}

Value XbpWindow::setOwner(Args a) {
  Value old = owner_.lock() ? Value(owner_.lock()) : Value();
  if (!a.empty() && !a[0].isNil()) {
    if (auto o = windowOf(a[0])) owner_ = o;
  }
  return old;
}

Value XbpWindow::childList() const {
  std::vector<Value> out;
  for (auto& k : children_)
    if (!k->isDestroyed()) out.emplace_back(k);
  if (status_ == PartStatus::destroyed) {
    const_cast<XbpWindow*>(this)->usable("childList");
  }
  return Value(makeArray(std::move(out)));
}

std::vector<WindowRef> XbpWindow::childrenFrontFirst() const {
  auto v = children_;
  std::stable_sort(v.begin(), v.end(), [](const WindowRef& a, const WindowRef& b) { return a->z_ > b->z_; });
  return v;
}

Value XbpWindow::setPos(const Value& pos) {
  if (!usable("setPos")) return Value(false);
  auto p = pointOf(pos);
  if (!p) return uiError(gen::kArgument, className() + ":setPos: the position must be {x, y}", "setPos", Value(false));
  if (auto par = parent_.lock(); par && isCreated()) par->invalidate();
  pos_ = *p;
  posGiven_ = true;
  if (isCreated() && parent_.lock() == AppDesktop()) backend().topLevelChanged(*this);
  invalidate();
  return Value(true);
}

Value XbpWindow::setSize(const Value& size) {
  if (!usable("setSize")) return Value(false);
  auto s = sizeOf(size);
  if (!s || s->w < 0 || s->h < 0)
    return uiError(gen::kArgument, className() + ":setSize: the size must be {width, height}", "setSize", Value(false));
  if (auto par = parent_.lock(); par && isCreated()) par->invalidate();
  size_ = *s;
  sizeGiven_ = true;
  if (isCreated() && parent_.lock() == AppDesktop()) backend().topLevelChanged(*this);
  invalidate();
  return Value(true);
}

Value XbpWindow::setPosAndSize(const Value& pos, const Value& size) {
  Value a = setPos(pos);
  Value b = setSize(size);
  return Value(a.isTrue() && b.isTrue());
}

Value XbpWindow::currentPos() const { return pointValue(pos_.x, pos_.y); }
Value XbpWindow::currentSize() const { return pointValue(size_.w, size_.h); }

Rect XbpWindow::absoluteRect() const {
  Rect r{pos_.x, pos_.y, size_.w, size_.h};
  auto desk = AppDesktop();
  if (this == desk.get()) return {0, 0, size_.w, size_.h};
  for (auto p = parent_.lock(); p && p != desk; p = p->parent_.lock()) {
    r.x += p->pos_.x;
    r.y += p->pos_.y;
  }
  return r;
}

Point XbpWindow::toLocal(Point desktop) const {
  Rect r = absoluteRect();
  return {desktop.x - r.x, desktop.y - r.y};
}

WindowRef XbpWindow::topLevel() {
  auto desk = AppDesktop();
  WindowRef w = selfRef();
  for (;;) {
    auto p = w->parent_.lock();
    if (!p || p == desk) return w;
    w = p;
  }
}

WindowRef XbpWindow::hitTest(Point local) {
  if (!visible_ || status_ != PartStatus::created) return nullptr;
  if (!(Rect{0, 0, size_.w, size_.h}.contains(local)) || !hitsAt(local)) return nullptr;
  if (!showsChildren()) return selfRef();
  for (auto& k : childrenFrontFirst()) {
    if (auto r = k->hitTest({local.x - k->pos_.x, local.y - k->pos_.y})) return r;
  }
  return selfRef();
}

// ---- colours ----

Value XbpWindow::presParam(int id) const {
  auto it = presParams_.find(id);
  return it == presParams_.end() ? Value() : it->second;
}

std::string XbpWindow::font() const {
  Value f = presParam(pp::kFont);
  return f.isChar() ? f.str() : std::string();
}

Value XbpWindow::setColorFG(Args a) {
  if (!usable("setColorFG")) return Value();
  Value old = presParam(pp::kFgColor);
  if (!a.empty() && !a[0].isNil()) {
    presParams_[pp::kFgColor] = a[0];
    invalidate();
  }
  return old;
}

Value XbpWindow::setColorBG(Args a) {
  if (!usable("setColorBG")) return Value();
  Value old = presParam(pp::kBgColor);
  if (!a.empty() && !a[0].isNil()) {
    presParams_[pp::kBgColor] = a[0];
    invalidate();
  }
  return old;
}

Value XbpWindow::setPresParam(Args a) {
  if (!usable("setPresParam")) return Value();
  std::vector<Value> old;
  for (auto& [id, v] : presParams_) old.push_back(arrayValue({Value(id), v}));
  Value oldArray(makeArray(std::move(old)));
  if (a.empty()) return oldArray;
  if (a[0].isArray()) {
    for (auto& pair : a[0].array()->items()) {
      if (!pair.isArray() || pair.array()->size() < 2 || !pair.array()->items()[0].isNum()) {
        return uiError(gen::kArgument, className() + ":setPresParam: each entry must be {id, value}",
                       "setPresParam", oldArray);
      }
      presParams_[static_cast<int>(pair.array()->items()[0].num())] = pair.array()->items()[1];
    }
  } else if (a[0].isNum() && a.size() >= 2) {
    presParams_[static_cast<int>(a[0].num())] = a[1];
  } else {
    return uiError(gen::kArgument, className() + ":setPresParam: expects {{id, value}, ...} or id, value",
                   "setPresParam", oldArray);
  }
  invalidate();
  return oldArray;
}

Value XbpWindow::enable() {
  if (!usable("enable")) return Value(false);
  if (!enabled_) {
    enabled_ = true;
    invalidate();
  }
  return Value(true);
}

Value XbpWindow::disable() {
  if (!usable("disable")) return Value(false);
  if (enabled_) {
    enabled_ = false;
    invalidate();
  }
  return Value(true);
}

bool XbpWindow::isEnabled() const {
  for (const XbpWindow* w = this; w;) {
    if (!w->enabled_) return false;
    auto p = w->parent_.lock();
    w = p.get();
  }
  return true;
}

// ---- drawing ----

std::shared_ptr<XbpPresSpace> XbpWindow::ps() {
  if (!ps_) ps_ = std::make_shared<XbpPresSpace>(selfRef());
  return ps_;
}

Value XbpWindow::lockPS() {
  if (!usable("lockPS")) return Value();
  ++psLocks_;
  return Value(ps());
}

Value XbpWindow::unlockPS(Args) {
  if (!usable("unlockPS")) return Value(false);
  if (psLocks_ > 0) --psLocks_;
  return Value(true);
}

Value XbpWindow::presSpace() {
  if (!usable("presSpace")) return Value();
  return Value(ps());
}

void XbpWindow::invalidate() {
  ++paintSerial_;
  if (status_ == PartStatus::created) backend().invalidate(*this);
}

// ---- events ----

bool XbpWindow::hasInputFocus() const { return focusHolder().get() == this; }

WindowRef XbpWindow::focusTargetOnClick() {
  if (auto proxy = focusProxy_.lock(); proxy && !proxy->isDestroyed()) return proxy->focusTargetOnClick();
  if (takesFocusOnClick() && pointerFocus) return selfRef();
  return nullptr;
}

Value XbpWindow::callSlot(Slot s, const Value& mp1, const Value& mp2) {
  Value block = slot(s);  // a copy: the callback may replace the slot
  if (block.isNil()) return Value();
  return Eval(block, {mp1, mp2, selfValue()});
}

Value XbpWindow::handleEvent(int code, const Value& mp1, const Value& mp2) {
  if (!usable("handleEvent")) return Value();
  switch (code) {
    case ev::kKeyboard: return keyboard(mp1, mp2);
    case ev::kLbDown: return lbDown(mp1, mp2);
    case ev::kLbUp: return lbUp(mp1, mp2);
    case ev::kLbClick: return lbClick(mp1, mp2);
    case ev::kLbDblClick: return lbDblClick(mp1, mp2);
    case ev::kRbDown: return rbDown(mp1, mp2);
    case ev::kRbUp: return rbUp(mp1, mp2);
    case ev::kRbClick: return rbClick(mp1, mp2);
    case ev::kRbDblClick: return rbDblClick(mp1, mp2);
    case ev::kMbDown: return mbDown(mp1, mp2);
    case ev::kMbUp: return mbUp(mp1, mp2);
    case ev::kMbClick: return mbClick(mp1, mp2);
    case ev::kMotion: return motion(mp1, mp2);
    case ev::kWheel: return wheel(mp1, mp2);
    case ev::kSetInputFocus: return setInputFocus(mp1, mp2);
    case ev::kKillInputFocus: return killInputFocus(mp1, mp2);
    case ev::kSetDisplayFocus: return setDisplayFocus(mp1, mp2);
    case ev::kKillDisplayFocus: return killDisplayFocus(mp1, mp2);
    case ev::kPaint: return paint(mp1, mp2);
    case ev::kClose: return close(mp1, mp2);
    case ev::kActivate: return activate(mp1, mp2);
    case ev::kItemMarked: return itemMarked(mp1, mp2);
    case ev::kItemSelected: return itemSelected(mp1, mp2);
    case ev::kTabActivate: return tabActivate(mp1, mp2);
    case ev::kScroll: return scroll(mp1, mp2);
    case ev::kMove: return move(mp1, mp2);
    case ev::kResize: return resize(mp1, mp2);
    case ev::kQuit: return quit(mp1, mp2);
    default: return Value();
  }
}

Value XbpWindow::keyboard(const Value& a, const Value& b) { return callSlot(Slot::keyboard, a, b); }
Value XbpWindow::lbDown(const Value& a, const Value& b) { return callSlot(Slot::lbDown, a, b); }
Value XbpWindow::lbUp(const Value& a, const Value& b) { return callSlot(Slot::lbUp, a, b); }
Value XbpWindow::lbClick(const Value& a, const Value& b) { return callSlot(Slot::lbClick, a, b); }
Value XbpWindow::lbDblClick(const Value& a, const Value& b) { return callSlot(Slot::lbDblClick, a, b); }
Value XbpWindow::rbDown(const Value& a, const Value& b) { return callSlot(Slot::rbDown, a, b); }
Value XbpWindow::rbUp(const Value& a, const Value& b) { return callSlot(Slot::rbUp, a, b); }
Value XbpWindow::rbClick(const Value& a, const Value& b) { return callSlot(Slot::rbClick, a, b); }
Value XbpWindow::rbDblClick(const Value& a, const Value& b) { return callSlot(Slot::rbDblClick, a, b); }
Value XbpWindow::mbDown(const Value& a, const Value& b) { return callSlot(Slot::mbDown, a, b); }
Value XbpWindow::mbUp(const Value& a, const Value& b) { return callSlot(Slot::mbUp, a, b); }
Value XbpWindow::mbClick(const Value& a, const Value& b) { return callSlot(Slot::mbClick, a, b); }
Value XbpWindow::motion(const Value& a, const Value& b) { return callSlot(Slot::motion, a, b); }
Value XbpWindow::wheel(const Value& a, const Value& b) { return callSlot(Slot::wheel, a, b); }
Value XbpWindow::setInputFocus(const Value& a, const Value& b) {
  invalidate();
  return callSlot(Slot::setInputFocus, a, b);
}
Value XbpWindow::killInputFocus(const Value& a, const Value& b) {
  invalidate();
  return callSlot(Slot::killInputFocus, a, b);
}
Value XbpWindow::setDisplayFocus(const Value& a, const Value& b) { return callSlot(Slot::setDisplayFocus, a, b); }
Value XbpWindow::killDisplayFocus(const Value& a, const Value& b) { return callSlot(Slot::killDisplayFocus, a, b); }
Value XbpWindow::paint(const Value& a, const Value& b) { return callSlot(Slot::paint, a, b); }
Value XbpWindow::close(const Value& a, const Value& b) { return callSlot(Slot::close, a, b); }
Value XbpWindow::activate(const Value& a, const Value& b) { return callSlot(Slot::activate, a, b); }
Value XbpWindow::itemMarked(const Value& a, const Value& b) { return callSlot(Slot::itemMarked, a, b); }
Value XbpWindow::itemSelected(const Value& a, const Value& b) { return callSlot(Slot::itemSelected, a, b); }
Value XbpWindow::tabActivate(const Value& a, const Value& b) { return callSlot(Slot::tabActivate, a, b); }
Value XbpWindow::scroll(const Value& a, const Value& b) { return callSlot(Slot::scroll, a, b); }
Value XbpWindow::move(const Value& a, const Value& b) { return callSlot(Slot::move, a, b); }
Value XbpWindow::resize(const Value& a, const Value& b) { return callSlot(Slot::resize, a, b); }
Value XbpWindow::quit(const Value& a, const Value& b) { return callSlot(Slot::quit, a, b); }

}  // namespace xb
