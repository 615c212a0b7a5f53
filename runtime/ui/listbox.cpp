#include "ui/listbox.h"

#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "ui/events.h"
#include "ui/keys.h"
#include "ui/sle.h"

namespace xb {

namespace {
XbpListBox& L(Object& o) { return static_cast<XbpListBox&>(o); }
XbpComboBox& CB(Object& o) { return static_cast<XbpComboBox&>(o); }
}  // namespace

const ClassDesc& XbpListBox::staticClass() {
  static const ClassDesc d("XbpListBox", &XbpWindow::staticClass(), [](ClassDesc& c) {
    c.field("dataLink", &XbpListBox::dataLink)
        .field("markMode", &XbpListBox::markMode)
        .field("horizScroll", &XbpListBox::horizScroll)
        .field("vertScroll", &XbpListBox::vertScroll)
        .method("addItem", [](Object& o, Args a) { return L(o).addItem(a[0]); })
        .method("insItem", [](Object& o, Args a) { return L(o).insItem(a[0], a[1]); })
        .method("delItem", [](Object& o, Args a) { return L(o).delItem(a[0]); })
        .method("getItem", [](Object& o, Args a) { return L(o).getItem(a[0]); })
        .method("setItem", [](Object& o, Args a) { return L(o).setItem(a[0], a[1]); })
        .method("clear", [](Object& o, Args) { return L(o).clear(); })
        .method("numItems", [](Object& o, Args) { return L(o).numItems(); })
        .method("getData", [](Object& o, Args a) { return L(o).getData(a); })
        .method("setData", [](Object& o, Args a) { return L(o).setData(a); })
        .method("getTopItem", [](Object& o, Args) { return L(o).getTopItem(); })
        .method("setTopItem", [](Object& o, Args a) { return L(o).setTopItem(a[0]); })
        .method("getVisibleItems", [](Object& o, Args) { return L(o).getVisibleItems(); })
        .method("getItemsHeight", [](Object& o, Args) { return L(o).getItemsHeight(); })
        .method("setItemsHeight", [](Object& o, Args a) { return L(o).setItemsHeight(a[0]); })
        .method("setColumnWidth", [](Object& o, Args a) { return L(o).setColumnWidth(a[0]); })
        .method("getColumnWidth", [](Object& o, Args) { return L(o).getColumnWidth(); })
        .method("setTabStops", [](Object& o, Args a) { return L(o).setTabStops(a[0]); })
        .method("getTabStops", [](Object& o, Args) { return L(o).getTabStops(); })
        .factory([] { return std::make_shared<XbpListBox>(); });
  });
  return d;
}

// ---- items ----

bool XbpListBox::validItem(const Value& n, const char* method, bool allowAppend) {
  int count = static_cast<int>(items_.size());
  int hi = allowAppend ? count + 1 : count;
  if (n.isNum() && n.num() >= 1 && n.num() <= hi && n.num() == std::floor(n.num())) return true;
  std::string what = n.isNum() ? std::to_string(static_cast<long long>(n.num())) : "of type " + ValType(n);
  uiError(gen::kBound, className() + ":" + method + ": there is no item " + what + " (" + std::to_string(count) +
                           " items)",
          method);
  return false;
}

Value XbpListBox::addItem(const Value& text) {
  if (!usable("addItem")) return Value(0);
  if (!text.isChar())
    return uiError(gen::kArgument, className() + ":addItem: the item must be text, not of type " + ValType(text),
                   "addItem", numItems());
  items_.push_back(text.str());
  invalidate();
  return numItems();
}

Value XbpListBox::insItem(const Value& n, const Value& text) {
  if (!usable("insItem")) return Value(false);
  if (!validItem(n, "insItem", true)) return Value(false);
  if (!text.isChar())
    return uiError(gen::kArgument, className() + ":insItem: the item must be text", "insItem", Value(false));
  int k = static_cast<int>(n.num());
  items_.insert(items_.begin() + (k - 1), text.str());
  std::set<int> m;
  for (int i : marked_) m.insert(i >= k ? i + 1 : i);
  marked_ = std::move(m);
  if (cursor_ >= k) ++cursor_;
  invalidate();
  return Value(true);
}

Value XbpListBox::delItem(const Value& n) {
  if (!usable("delItem")) return Value(false);
  if (!validItem(n, "delItem")) return Value(false);
  int k = static_cast<int>(n.num());
  items_.erase(items_.begin() + (k - 1));
  std::set<int> m;
  for (int i : marked_)
    if (i != k) m.insert(i > k ? i - 1 : i);
  marked_ = std::move(m);
  if (cursor_ > k || cursor_ > static_cast<int>(items_.size())) --cursor_;
  if (top_ > std::max(1, static_cast<int>(items_.size()))) top_ = std::max(1, static_cast<int>(items_.size()));
  invalidate();
  return Value(true);
}

Value XbpListBox::getItem(const Value& n) {
  if (!usable("getItem")) return Value();
  if (!validItem(n, "getItem")) return Value();
  return Value(items_[static_cast<size_t>(n.num()) - 1]);
}

Value XbpListBox::setItem(const Value& n, const Value& text) {
  if (!usable("setItem")) return Value(false);
  if (!validItem(n, "setItem")) return Value(false);
  if (!text.isChar())
    return uiError(gen::kArgument, className() + ":setItem: the item must be text", "setItem", Value(false));
  items_[static_cast<size_t>(n.num()) - 1] = text.str();
  invalidate();
  return Value(true);
}

Value XbpListBox::clear() {
  if (!usable("clear")) return Value(false);
  items_.clear();
  marked_.clear();
  cursor_ = 0;
  top_ = 1;
  invalidate();
  return Value(true);
}

// ---- marking ----

Value XbpListBox::getData(Args) {
  if (!usable("getData")) return Value();
  std::vector<Value> v;
  for (int i : marked_) v.emplace_back(i);
  Value arr(makeArray(std::move(v)));
  if (!dataLink.isNil()) Eval(dataLink, {arr});
  return arr;
}

Value XbpListBox::setData(Args a) {
  if (!usable("setData")) return Value(false);
  auto given = dataArgument(a, dataLink);
  if (!given) return Value(false);
  const Value& v = *given;
  std::vector<Value> wanted;
  if (v.isNum()) wanted.push_back(v);
  else if (v.isArray()) wanted = v.array()->items();
  else if (!v.isNil())
    return uiError(gen::kArgument, className() + ":setData: the marking must be an item number or an array of them",
                   "setData", Value(false));
  std::set<int> m;
  for (auto& w : wanted) {
    if (!validItem(w, "setData")) continue;
    m.insert(static_cast<int>(w.num()));
    if (markMode == markmode::kSingle) break;
  }
  marked_ = std::move(m);
  if (!marked_.empty()) {
    cursor_ = *marked_.begin();
    keepVisible(cursor_);
  }
  invalidate();
  return Value(true);
}

int XbpListBox::visibleRows() const { return std::max(1, static_cast<int>(std::floor(size_.h / itemHeight_))); }

void XbpListBox::keepVisible(int item) {
  if (item < 1) return;
  if (item < top_) top_ = item;
  int rows = visibleRows();
  if (item >= top_ + rows) top_ = item - rows + 1;
}

Value XbpListBox::setTopItem(const Value& n) {
  if (!usable("setTopItem")) return Value(false);
  if (!validItem(n, "setTopItem")) return Value(false);
  top_ = static_cast<int>(n.num());
  invalidate();
  return Value(true);
}

Value XbpListBox::setItemsHeight(const Value& h) {
  if (!usable("setItemsHeight")) return Value(false);
  if (!h.isNum() || h.num() <= 0)
    return uiError(gen::kArgument, className() + ":setItemsHeight: the height must be a positive number",
                   "setItemsHeight", Value(false));
  itemHeight_ = h.num();
  invalidate();
  return Value(true);
}

Value XbpListBox::setColumnWidth(const Value& w) {
  if (!usable("setColumnWidth")) return Value(false);
  if (!w.isNum() || w.num() < 0)
    return uiError(gen::kArgument, className() + ":setColumnWidth: the width must be a number", "setColumnWidth",
                   Value(false));
  columnWidth_ = w.num();
  invalidate();
  return Value(true);
}

Value XbpListBox::setTabStops(const Value& stops) {
  if (!usable("setTabStops")) return Value(false);
  if (!stops.isArray())
    return uiError(gen::kArgument, className() + ":setTabStops: the tab stops must be an array of numbers",
                   "setTabStops", Value(false));
  std::vector<double> t;
  for (auto& s : stops.array()->items()) {
    if (!s.isNum())
      return uiError(gen::kArgument, className() + ":setTabStops: the tab stops must be an array of numbers",
                     "setTabStops", Value(false));
    t.push_back(s.num());
  }
  tabStops_ = std::move(t);
  invalidate();
  return Value(true);
}

Value XbpListBox::getTabStops() const {
  std::vector<Value> v;
  for (double d : tabStops_) v.emplace_back(d);
  return Value(makeArray(std::move(v)));
}

int XbpListBox::itemAt(Point local) const {
  if (local.y < 0 || local.y >= size_.h || local.x < 0 || local.x >= size_.w) return 0;
  int row = static_cast<int>(std::floor((size_.h - local.y) / itemHeight_));
  int item = top_ + row;
  return item >= 1 && item <= static_cast<int>(items_.size()) ? item : 0;
}

void XbpListBox::markByUser(int item) {
  int count = static_cast<int>(items_.size());
  if (count == 0) return;
  item = std::clamp(item, 1, count);
  if (markMode == markmode::kMultiple && lastByMouse_) {
    if (!marked_.erase(item)) marked_.insert(item);
  } else {
    marked_ = {item};
  }
  cursor_ = item;
  keepVisible(item);
  invalidate();
  PostAppEvent(ev::kItemMarked, Value(), Value(), selfValue());
}

Value XbpListBox::keyboard(const Value& mp1, const Value& mp2) {
  if (!usable("keyboard")) return Value();
  if (mp1.isNum() && !items_.empty()) {
    int k = static_cast<int>(mp1.num());
    int cur = cursor_ ? cursor_ : 0;
    int rows = visibleRows();
    lastByMouse_ = false;
    switch (k) {
      case key::kDown: markByUser(cur + 1); break;
      case key::kUp: markByUser(cur > 1 ? cur - 1 : 1); break;
      case key::kPgDn: markByUser(cur + rows); break;
      case key::kPgUp: markByUser(cur - rows); break;
      case key::kHome: markByUser(1); break;
      case key::kEnd: markByUser(static_cast<int>(items_.size())); break;
      case key::kEnter:
        if (!marked_.empty()) PostAppEvent(ev::kItemSelected, Value(), Value(), selfValue());
        break;
      default: break;
    }
  }
  return callSlot(Slot::keyboard, mp1, mp2);
}

Value XbpListBox::lbDown(const Value& mp1, const Value& mp2) {
  if (!usable("lbDown")) return Value();
  if (auto p = pointOf(mp1)) {
    if (int item = itemAt(*p)) {
      lastByMouse_ = true;
      markByUser(item);
    }
  }
  return callSlot(Slot::lbDown, mp1, mp2);
}

Value XbpListBox::lbDblClick(const Value& mp1, const Value& mp2) {
  if (!usable("lbDblClick")) return Value();
  if (auto p = pointOf(mp1)) {
    if (int item = itemAt(*p)) {
      if (!marked_.count(item)) {
        marked_ = {item};
        cursor_ = item;
        invalidate();
      }
      lastByMouse_ = true;
      PostAppEvent(ev::kItemSelected, Value(), Value(), selfValue());
    }
  }
  return callSlot(Slot::lbDblClick, mp1, mp2);
}

Value XbpListBox::wheel(const Value& mp1, const Value& mp2) {
  if (!usable("wheel")) return Value();
  // mp2 {keys, delta}: 120 per notch, positive away from the user; three rows a notch.
  if (mp2.isArray() && mp2.array()->size() >= 2 && mp2.array()->items()[1].isNum()) {
    int rows = static_cast<int>(-mp2.array()->items()[1].num() / 120 * 3);
    int maxTop = std::max(1, static_cast<int>(items_.size()) - visibleRows() + 1);
    top_ = std::clamp(top_ + rows, 1, maxTop);
    invalidate();
  }
  return callSlot(Slot::wheel, mp1, mp2);
}

Value XbpListBox::itemMarked(const Value& mp1, const Value& mp2) {
  if (!usable("itemMarked")) return Value();
  Value r = callSlot(Slot::itemMarked, mp1, mp2);
  if (notify) notify(ev::kItemMarked);
  return r;
}

Value XbpListBox::itemSelected(const Value& mp1, const Value& mp2) {
  if (!usable("itemSelected")) return Value();
  Value r = callSlot(Slot::itemSelected, mp1, mp2);
  if (notify) notify(ev::kItemSelected);
  return r;
}

// ---- combo box ----

const ClassDesc& XbpComboBox::staticClass() {
  static const ClassDesc d("XbpComboBox", &XbpWindow::staticClass(), [](ClassDesc& c) {
    c.member("XbpSLE", [](Object& o) { return CB(o).sle() ? Value(CB(o).sle()) : Value(); })
        .member("XbpListBox", [](Object& o) { return CB(o).listBox() ? Value(CB(o).listBox()) : Value(); })
        .field("type", &XbpComboBox::type)
        .field("dataLink", &XbpComboBox::dataLink)
        .method("setData", [](Object& o, Args a) { return CB(o).setData(a); })
        .method("getData", [](Object& o, Args a) { return CB(o).getData(a); })
        .method("listBoxFocus", [](Object& o, Args a) { return CB(o).listBoxFocus(a[0]); });
    // The list methods work on the list part.
    for (const char* m : {"addItem", "insItem", "delItem", "getItem", "setItem", "clear", "numItems", "getTopItem",
                          "setTopItem", "getVisibleItems", "getItemsHeight", "setItemsHeight", "setColumnWidth",
                          "setTabStops", "getTabStops"}) {
      std::string name = m;
      c.method(name, [name](Object& o, Args a) {
        auto l = CB(o).listBox();
        return l ? l->call(name, a) : Value();
      });
    }
    c.factory([] { return std::make_shared<XbpComboBox>(); });
  });
  return d;
}

Value XbpComboBox::init(const Value& parent, const Value& owner, const Value& pos, const Value& size,
                        const Value& presParam, const Value& visible) {
  Value r = XbpWindow::init(parent, owner, pos, size, presParam, visible);
  if (!sle_) {
    sle_ = std::make_shared<XbpSle>();
    sle_->init(selfValue());
    list_ = std::make_shared<XbpListBox>();
    list_->init(selfValue(), Value(), Value(), Value(), Value(), Value(false));
  }
  return r;
}

Value XbpComboBox::create(const Value& parent, const Value& owner, const Value& pos, const Value& size,
                          const Value& presParam, const Value& visible) {
  if (!usable("create")) return Value();
  if (!sle_) XbpComboBox::init();
  XbpWindow::create(parent, owner, pos, size, presParam, visible);
  if (!isCreated()) return selfValue();
  sle_->create(selfValue());
  list_->create(selfValue(), Value(), Value(), Value(), Value(), Value(type == combotype::kSimple));
  layout();
  sle_->setFocusProxy(selfRef());
  list_->setFocusProxy(selfRef());
  if (type == combotype::kDropDownList) sle_->editable = false;
  std::weak_ptr<XbpComboBox> weak = std::static_pointer_cast<XbpComboBox>(selfRef());
  list_->notify = [weak](int code) {
    if (auto c = weak.lock(); c && !c->isDestroyed()) c->onList(code);
  };
  return selfValue();
}

void XbpComboBox::layout() {
  if (!sle_ || !list_) return;
  double eh = std::min(kComboEditHeight, size_.h);
  double bw = type == combotype::kSimple ? 0 : kComboButtonWidth;
  sle_->setPos(pointValue(0, size_.h - eh));
  sle_->setSize(pointValue(std::max(0.0, size_.w - bw), eh));
  list_->setPos(pointValue(0, 0));
  list_->setSize(pointValue(size_.w, std::max(0.0, size_.h - eh)));
}

Value XbpComboBox::setSize(const Value& size) {
  Value r = XbpWindow::setSize(size);
  if (r.isTrue()) layout();
  return r;
}

Rect XbpComboBox::buttonRect() const {
  if (type == combotype::kSimple) return {};
  double eh = std::min(kComboEditHeight, size_.h);
  return {size_.w - kComboButtonWidth, size_.h - eh, kComboButtonWidth, eh};
}

bool XbpComboBox::hitsAt(Point local) const {
  if (type == combotype::kSimple || dropped_) return true;
  return local.y >= size_.h - std::min(kComboEditHeight, size_.h);
}

std::string XbpComboBox::labelText() const { return sle_ ? sle_->text() : std::string(); }

Value XbpComboBox::setData(Args a) {
  if (!usable("setData")) return Value(false);
  auto given = dataArgument(a, dataLink);
  if (!given) return Value(false);
  return sle_->setData({*given});
}

Value XbpComboBox::getData(Args) {
  if (!usable("getData")) return Value();
  Value t(sle_->text());
  if (!dataLink.isNil()) Eval(dataLink, {t});
  return t;
}

Value XbpComboBox::listBoxFocus(const Value& open) {
  if (!usable("listBoxFocus")) return Value(false);
  if (type == combotype::kSimple) return Value(true);
  if (open.isLogical() && open.logical() != dropped_) {
    dropped_ = open.logical();
    if (dropped_) {
      // The list marks the item that the edit line shows, if there is one.
      const auto& items = list_->items();
      auto it = std::find(items.begin(), items.end(), sle_->text());
      if (it != items.end()) list_->setData({Value(static_cast<int>(it - items.begin()) + 1)});
      XbpWindow::toFront();  // the open list lies over the parts below the combo box
      list_->show();
    } else {
      list_->hide();
    }
    invalidate();
  }
  return Value(dropped_);
}

void XbpComboBox::takeItem(int item) {
  if (item < 1 || item > static_cast<int>(list_->items().size())) return;
  sle_->setData({Value(list_->items()[static_cast<size_t>(item) - 1])});
  sle_->setMarked(arrayValue({Value(1), Value(static_cast<int>(sle_->text().size()) + 1)}));
}

void XbpComboBox::onList(int code) {
  int item = list_->firstMarked();
  if (code == ev::kItemMarked) {
    takeItem(item);
    PostAppEvent(ev::kItemMarked, Value(), Value(), selfValue());
    if (dropped_ && list_->lastMarkByMouse()) {
      listBoxFocus(Value(false));
      PostAppEvent(ev::kItemSelected, Value(), Value(), selfValue());
    }
  } else if (code == ev::kItemSelected) {
    takeItem(item);
    if (dropped_) listBoxFocus(Value(false));
    PostAppEvent(ev::kItemSelected, Value(), Value(), selfValue());
  }
}

Value XbpComboBox::keyboard(const Value& mp1, const Value& mp2) {
  if (!usable("keyboard")) return Value();
  if (mp1.isNum()) {
    int k = static_cast<int>(mp1.num());
    bool toggle = k == key::kF4 || k == key::virt(key::vk::kDown, key::kAlt) || k == key::virt(key::vk::kUp, key::kAlt);
    if (toggle && type != combotype::kSimple) {
      listBoxFocus(Value(!dropped_));
    } else if (dropped_ && (k == key::kUp || k == key::kDown || k == key::kPgUp || k == key::kPgDn)) {
      list_->keyboard(mp1);  // the list marks; its notification copies the text
    } else if (dropped_ && k == key::kEnter) {
      takeItem(list_->firstMarked());
      listBoxFocus(Value(false));
      PostAppEvent(ev::kItemSelected, Value(), Value(), selfValue());
    } else if (dropped_ && k == key::kEsc) {
      listBoxFocus(Value(false));
    } else if (k == key::kUp || k == key::kDown) {
      int count = static_cast<int>(list_->items().size());
      if (count > 0) {
        int cur = list_->firstMarked();
        int next = k == key::kDown ? std::min(cur + 1, count) : std::max(cur - 1, 1);
        if (cur == 0) next = 1;
        list_->setData({Value(next)});
        takeItem(next);
        PostAppEvent(ev::kItemMarked, Value(), Value(), selfValue());
      }
    } else {
      sle_->nativeKey(k);
    }
  }
  return callSlot(Slot::keyboard, mp1, mp2);
}

Value XbpComboBox::lbDown(const Value& mp1, const Value& mp2) {
  if (!usable("lbDown")) return Value();
  if (auto p = pointOf(mp1); p && buttonRect().contains(*p)) listBoxFocus(Value(!dropped_));
  return callSlot(Slot::lbDown, mp1, mp2);
}

Value XbpComboBox::killInputFocus(const Value& mp1, const Value& mp2) {
  if (!usable("killInputFocus")) return Value();
  if (dropped_) listBoxFocus(Value(false));
  return XbpWindow::killInputFocus(mp1, mp2);
}

}  // namespace xb
