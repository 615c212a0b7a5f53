#include "ui/menu.h"

#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "core/text.h"
#include "ui/backend.h"
#include "ui/events.h"
#include "ui/keys.h"

namespace xb {

namespace {
XbpMenu& M(Object& o) { return static_cast<XbpMenu&>(o); }
XbpClipboard& CL(Object& o) { return static_cast<XbpClipboard&>(o); }
}  // namespace

const ClassDesc& XbpMenu::staticClass() {
  static const ClassDesc d("XbpMenu", &XbpWindow::staticClass(), [](ClassDesc& c) {
    c.field("title", &XbpMenu::title)
        .method("addItem", [](Object& o, Args a) { return M(o).addItem(a[0]); })
        .method("insItem", [](Object& o, Args a) { return M(o).insItem(a[0], a[1]); })
        .method("delItem", [](Object& o, Args a) { return M(o).delItem(a[0]); })
        .method("getItem", [](Object& o, Args a) { return M(o).getItem(a[0]); })
        .method("setItem", [](Object& o, Args a) { return M(o).setItem(a[0], a[1]); })
        .method("numItems", [](Object& o, Args) { return M(o).numItems(); })
        .method("enableItem", [](Object& o, Args a) { return M(o).enableItem(a[0]); })
        .method("disableItem", [](Object& o, Args a) { return M(o).disableItem(a[0]); })
        .method("isItemEnabled", [](Object& o, Args a) { return M(o).isItemEnabled(a[0]); })
        .method("checkItem", [](Object& o, Args a) { return M(o).checkItem(a[0], a.size() > 1 ? a[1] : Value(true)); })
        .method("isItemChecked", [](Object& o, Args a) { return M(o).isItemChecked(a[0]); })
        .method("popUp", [](Object& o, Args a) { return M(o).popUp(a[0], a[1], a[2], a[3]); })
        .factory([] { return std::make_shared<XbpMenu>(); });
  });
  return d;
}

std::string XbpMenu::shownCaption(const std::string& caption) {
  std::string out;
  for (char c : caption)
    if (c != '~') out += c;
  return out;
}

char XbpMenu::mnemonic(const std::string& caption) {
  auto t = caption.find('~');
  if (t == std::string::npos || t + 1 >= caption.size()) return 0;
  return caption[t + 1];
}

bool XbpMenu::validItem(const Value& n, const char* method) {
  if (n.isNum() && n.num() >= 1 && n.num() <= static_cast<double>(items_.size())) return true;
  std::string what = n.isNum() ? std::to_string(static_cast<long long>(n.num())) : "of type " + ValType(n);
  uiError(gen::kBound, "XbpMenu:" + std::string(method) + ": there is no item " + what + " (" +
                           std::to_string(items_.size()) + " items)",
          method);
  return false;
}

std::optional<MenuItem> XbpMenu::itemOf(const Value& v, const char* method) {
  if (!v.isArray() || v.array()->size() < 1) {
    uiError(gen::kArgument, "XbpMenu:" + std::string(method) + ": an item is {caption, action [, style, attr]}", method);
    return std::nullopt;
  }
  const auto& a = v.array()->items();
  MenuItem it;
  it.caption = a[0];
  it.action = a.size() > 1 ? a[1] : Value();
  if (a.size() > 2 && a[2].isNum()) it.style = static_cast<int>(a[2].num());
  if (a.size() > 3 && a[3].isNum()) it.attr = static_cast<int>(a[3].num());
  if (!it.isSeparator() && !it.caption.isChar()) {
    uiError(gen::kArgument, "XbpMenu:" + std::string(method) + ": the caption of an item must be text", method);
    return std::nullopt;
  }
  if (!it.action.isNil() && !it.action.isBlock()) {
    uiError(gen::kArgument, "XbpMenu:" + std::string(method) + ": the action of an item must be a code block or NIL",
            method);
    return std::nullopt;
  }
  it.enabled = !(it.attr & menuattr::kDisabled);
  it.checked = (it.attr & menuattr::kChecked) != 0;
  return it;
}

Value XbpMenu::addItem(const Value& item) {
  if (!usable("addItem")) return Value(0);
  if (auto it = itemOf(item, "addItem")) {
    items_.push_back(*it);
    layoutForItems();
  }
  return numItems();
}

Value XbpMenu::insItem(const Value& n, const Value& item) {
  if (!usable("insItem")) return Value(false);
  if (!(n.isNum() && n.num() == static_cast<double>(items_.size()) + 1) && !validItem(n, "insItem")) return Value(false);
  auto it = itemOf(item, "insItem");
  if (!it) return Value(false);
  items_.insert(items_.begin() + (static_cast<int>(n.num()) - 1), *it);
  layoutForItems();
  return Value(true);
}

Value XbpMenu::delItem(const Value& n) {
  if (!usable("delItem") || !validItem(n, "delItem")) return Value(false);
  items_.erase(items_.begin() + (static_cast<int>(n.num()) - 1));
  layoutForItems();
  return Value(true);
}

Value XbpMenu::getItem(const Value& n) {
  if (!usable("getItem") || !validItem(n, "getItem")) return Value();
  const auto& it = items_[static_cast<size_t>(n.num()) - 1];
  int attr = (it.enabled ? 0 : menuattr::kDisabled) | (it.checked ? menuattr::kChecked : 0);
  return arrayValue({it.caption, it.action, Value(it.style), Value(attr)});
}

Value XbpMenu::setItem(const Value& n, const Value& item) {
  if (!usable("setItem") || !validItem(n, "setItem")) return Value(false);
  auto it = itemOf(item, "setItem");
  if (!it) return Value(false);
  items_[static_cast<size_t>(n.num()) - 1] = *it;
  layoutForItems();
  return Value(true);
}

Value XbpMenu::enableItem(const Value& n) {
  if (!usable("enableItem") || !validItem(n, "enableItem")) return Value(false);
  items_[static_cast<size_t>(n.num()) - 1].enabled = true;
  invalidate();
  return Value(true);
}

Value XbpMenu::disableItem(const Value& n) {
  if (!usable("disableItem") || !validItem(n, "disableItem")) return Value(false);
  items_[static_cast<size_t>(n.num()) - 1].enabled = false;
  invalidate();
  return Value(true);
}

Value XbpMenu::isItemEnabled(const Value& n) {
  if (!usable("isItemEnabled") || !validItem(n, "isItemEnabled")) return Value(false);
  return Value(items_[static_cast<size_t>(n.num()) - 1].enabled);
}

Value XbpMenu::checkItem(const Value& n, const Value& on) {
  if (!usable("checkItem") || !validItem(n, "checkItem")) return Value(false);
  items_[static_cast<size_t>(n.num()) - 1].checked = on.isNil() || on.isTrue();
  invalidate();
  return Value(true);
}

Value XbpMenu::isItemChecked(const Value& n) {
  if (!usable("isItemChecked") || !validItem(n, "isItemChecked")) return Value(false);
  return Value(items_[static_cast<size_t>(n.num()) - 1].checked);
}

double XbpMenu::rowHeight(int n) const {
  if (n < 1 || n > static_cast<int>(items_.size())) return 0;
  if (items_[static_cast<size_t>(n) - 1].isSeparator()) return kMenuSeparatorHeight;
  return std::ceil(backend().metrics().lineHeight(*this)) + 6;
}

double XbpMenu::rowTop(int n) const {
  double y = kMenuPadding;
  for (int i = 1; i < n; ++i) y += rowHeight(i);
  return y;
}

void XbpMenu::layoutForItems() {
  double w = 0;
  auto& m = backend().metrics();
  for (auto& it : items_)
    if (!it.isSeparator()) w = std::max(w, m.textWidth(*this, shownCaption(it.caption.str())));
  size_ = {std::ceil(w) + 50, rowTop(static_cast<int>(items_.size()) + 1) + kMenuPadding};
  sizeGiven_ = true;
  invalidate();
}

int XbpMenu::itemAt(Point local) const {
  if (local.x < 0 || local.x >= size_.w) return 0;
  double fromTop = size_.h - local.y;
  for (int n = 1; n <= static_cast<int>(items_.size()); ++n) {
    double top = rowTop(n);
    if (fromTop >= top && fromTop < top + rowHeight(n)) return items_[static_cast<size_t>(n) - 1].isSeparator() ? 0 : n;
  }
  return 0;
}

bool XbpMenu::choose(int n) {
  if (!open_ || n < 1 || n > static_cast<int>(items_.size())) return false;
  const auto& it = items_[static_cast<size_t>(n) - 1];
  if (it.isSeparator() || !it.enabled) return false;
  chosen_ = n;
  open_ = false;
  return true;
}

Value XbpMenu::destroy() {
  if (!usable("destroy")) return Value();
  open_ = false;
  Value r = XbpWindow::destroy();
  items_.clear();
  return r;
}

void XbpMenu::cancel() {
  chosen_ = 0;
  open_ = false;
}

Value XbpMenu::popUp(const Value& part, const Value& pos, const Value&, const Value&) {
  if (!usable("popUp")) return Value(0);
  if (open_) return uiError(gen::kUnsupported, "XbpMenu:popUp: the menu is already open", "popUp", Value(0));
  if (!isCreated()) create();
  if (!isCreated()) return Value(0);
  auto at = pointOf(pos);
  if (!at) return uiError(gen::kArgument, "XbpMenu:popUp: the position must be {x, y}", "popUp", Value(0));
  Point desk = *at;
  if (!part.isNil()) {
    auto p = windowOf(part);
    if (!p || p->isDestroyed())
      return uiError(gen::kArgument, "XbpMenu:popUp: the part to show the menu at is not a live window part", "popUp",
                     Value(0));
    Rect r = p->absoluteRect();
    desk = {r.x + at->x, r.y + at->y};
  }
  layoutForItems();
  // The menu hangs below the point, or above it when there is no room below.
  double y = desk.y - size_.h;
  if (y < 0) y = desk.y;
  pos_ = {desk.x, y};
  highlight_ = 0;
  chosen_ = 0;
  open_ = true;
  visible_ = true;
  raiseZ();
  backend().topLevelShown(*this);
  invalidate();
  auto me = std::static_pointer_cast<XbpMenu>(selfRef());
  pushInputCapture(me);
  struct Closer {
    std::shared_ptr<XbpMenu> m;
    ~Closer() {
      m->open_ = false;
      popInputCapture(m);
      if (!m->isDestroyed()) {
        m->visible_ = false;
        backend().topLevelHidden(*m);
        m->invalidate();
      }
    }
  } closer{me};
  while (open_ && !isDestroyed()) {
    Value m1, m2, t;
    int code = AppEvent(m1, m2, t);
    if (auto w = windowOf(t)) w->handleEvent(code, m1, m2);
  }
  int chosen = chosen_;
  if (chosen > 0 && !isDestroyed()) PostAppEvent(ev::kItemSelected, Value(chosen), Value(), selfValue());
  return Value(chosen);
}

Value XbpMenu::handleEvent(int code, const Value& mp1, const Value& mp2) {
  if (code == ev::kMenuSelect && !isDestroyed()) {
    if (!open_ || !mp1.isNum() || !choose(static_cast<int>(mp1.num())))
      uiDiagnostic("XbpMenu: item " + (mp1.isNum() ? std::to_string(static_cast<int>(mp1.num())) : ValType(mp1)) +
                   " cannot be chosen (menu " + (open_ ? "open" : "not open") + ")");
    return Value();
  }
  return XbpWindow::handleEvent(code, mp1, mp2);
}

void XbpMenu::moveHighlight(int dir) {
  int n = static_cast<int>(items_.size());
  if (n == 0) return;
  int h = highlight_;
  for (int i = 0; i < n; ++i) {
    h += dir;
    if (h < 1) h = n;
    if (h > n) h = 1;
    if (!items_[static_cast<size_t>(h) - 1].isSeparator()) {
      highlight_ = h;
      invalidate();
      return;
    }
  }
}

Value XbpMenu::keyboard(const Value& mp1, const Value& mp2) {
  if (!usable("keyboard")) return Value();
  if (open_ && mp1.isNum()) {
    int k = static_cast<int>(mp1.num());
    if (k == key::kDown) moveHighlight(+1);
    else if (k == key::kUp) moveHighlight(-1);
    else if (k == key::kEnter) choose(highlight_);
    else if (k == key::kEsc) cancel();
    else if (k >= 32 && k <= 255) {
      unsigned char want = cpUpper(static_cast<unsigned char>(k));
      for (size_t i = 0; i < items_.size(); ++i) {
        const auto& it = items_[i];
        if (it.isSeparator() || !it.enabled || !it.caption.isChar()) continue;
        char mn = mnemonic(it.caption.str());
        if (mn && cpUpper(static_cast<unsigned char>(mn)) == want) {
          choose(static_cast<int>(i) + 1);
          break;
        }
      }
    }
  }
  return callSlot(Slot::keyboard, mp1, mp2);
}

Value XbpMenu::lbDown(const Value& mp1, const Value& mp2) {
  if (!usable("lbDown")) return Value();
  if (auto p = pointOf(mp1); p && open_ && !Rect{0, 0, size_.w, size_.h}.contains(*p)) cancel();
  return callSlot(Slot::lbDown, mp1, mp2);
}

Value XbpMenu::lbUp(const Value& mp1, const Value& mp2) {
  if (!usable("lbUp")) return Value();
  if (auto p = pointOf(mp1); p && open_) {
    if (int n = itemAt(*p)) choose(n);
  }
  return callSlot(Slot::lbUp, mp1, mp2);
}

Value XbpMenu::motion(const Value& mp1, const Value& mp2) {
  if (!usable("motion")) return Value();
  if (auto p = pointOf(mp1); p && open_) {
    int n = itemAt(*p);
    if (n != highlight_) {
      highlight_ = n;
      invalidate();
    }
  }
  return callSlot(Slot::motion, mp1, mp2);
}

Value XbpMenu::itemSelected(const Value& mp1, const Value& mp2) {
  if (!usable("itemSelected")) return Value();
  if (mp1.isNum() && mp1.num() >= 1 && mp1.num() <= static_cast<double>(items_.size())) {
    const Value action = items_[static_cast<size_t>(mp1.num()) - 1].action;
    if (action.isBlock()) return Eval(action, {mp1, Value(), selfValue()});
  }
  return callSlot(Slot::itemSelected, mp1, mp2);
}

// ---- clipboard ----

const ClassDesc& XbpClipboard::staticClass() {
  static const ClassDesc d("XbpClipboard", &Object::staticClass(), [](ClassDesc& c) {
    c.method("create", [](Object& o, Args) { return CL(o).create(); })
        .method("open", [](Object& o, Args) { return CL(o).open(); })
        .method("close", [](Object& o, Args) { return CL(o).close(); })
        .method("destroy", [](Object& o, Args) { return CL(o).destroy(); })
        .method("getBuffer", [](Object& o, Args a) {
          return CL(o).getBuffer(a.empty() ? Value(clipformat::kText) : a[0]);
        })
        .method("setBuffer", [](Object& o, Args a) {
          return CL(o).setBuffer(a[0], a.size() > 1 ? a[1] : Value(clipformat::kText));
        })
        .method("clear", [](Object& o, Args) { return CL(o).clear(); })
        .method("queryFormats", [](Object& o, Args) { return CL(o).queryFormats(); })
        .factory([] { return std::make_shared<XbpClipboard>(); });
  });
  return d;
}

bool XbpClipboard::ready(const char* method) {
  if (state_ == State::open) return true;
  std::string why = state_ == State::destroyed ? "has been destroyed" : "is not open";
  uiError(state_ == State::destroyed ? gen::kDestroyed : gen::kUnsupported,
          std::string("XbpClipboard:") + method + ": the clipboard " + why, method);
  return false;
}

Value XbpClipboard::create() {
  if (state_ == State::destroyed)
    return uiError(gen::kDestroyed, "XbpClipboard:create: the clipboard has been destroyed", "create", Value(self()));
  if (state_ == State::init) state_ = State::created;
  return Value(self());
}

Value XbpClipboard::open() {
  if (state_ == State::destroyed || state_ == State::init)
    return uiError(state_ == State::init ? gen::kUnsupported : gen::kDestroyed,
                   std::string("XbpClipboard:open: the clipboard ") +
                       (state_ == State::init ? "has not been created" : "has been destroyed"),
                   "open", Value(false));
  state_ = State::open;
  return Value(true);
}

Value XbpClipboard::close() {
  if (state_ != State::open) return Value(false);
  state_ = State::created;
  return Value(true);
}

Value XbpClipboard::destroy() {
  if (state_ == State::destroyed)
    return uiError(gen::kDestroyed, "XbpClipboard:destroy: the clipboard has been destroyed", "destroy");
  state_ = State::destroyed;
  return Value(self());
}

Value XbpClipboard::getBuffer(const Value& format) {
  if (!ready("getBuffer")) return Value();
  if (!format.isNum() || format.num() != clipformat::kText) return Value();  // only text is kept
  auto t = backend().clipboardText();
  return t ? Value(*t) : Value();
}

Value XbpClipboard::setBuffer(const Value& data, const Value& format) {
  if (!ready("setBuffer")) return Value(false);
  if (!format.isNum() || format.num() != clipformat::kText)
    return uiError(gen::kUnsupported, "XbpClipboard:setBuffer: only text (format 1) can be put on the clipboard",
                   "setBuffer", Value(false));
  if (!data.isChar())
    return uiError(gen::kArgument, "XbpClipboard:setBuffer: the data must be text, not of type " + ValType(data),
                   "setBuffer", Value(false));
  backend().setClipboardText(data.str());
  return Value(true);
}

Value XbpClipboard::clear() {
  if (!ready("clear")) return Value(false);
  backend().clearClipboard();
  return Value(true);
}

Value XbpClipboard::queryFormats() {
  if (!ready("queryFormats")) return Value();
  if (backend().clipboardText()) return arrayValue({Value(clipformat::kText)});
  return arrayValue({});
}

}  // namespace xb
