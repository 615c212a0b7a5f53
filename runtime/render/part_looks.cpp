// From a part's state (its public accessors) to its look.
#include <algorithm>

#include "render/looks.h"
#include "render/scene.h"
#include "render/text_engine.h"
#include "ui/dialog.h"
#include "ui/listbox.h"
#include "ui/menu.h"
#include "ui/parts.h"
#include "ui/sle.h"

// GCC 12 warns falsely about moving strings inside the draw-op variant (its bugs 105329
// and 107138).
#pragma GCC diagnostic ignored "-Wrestrict"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace xb::render {
namespace {

Colours coloursOf(const XbpWindow& p) {
  Colours c;
  Value fg = p.colorFG(), bg = p.colorBG();
  if (fg.isNum()) c.fg = fg.num();
  if (bg.isNum()) c.bg = bg.num();
  return c;
}

std::string captionOf(const Value& v) { return v.isChar() ? v.str() : std::string(); }

// An edit line inside a combo box shows the focus of the combo box.
bool showsFocus(const XbpWindow& part) {
  if (part.hasInputFocus()) return true;
  WindowRef p = part.parent();
  return p && dynamic_cast<XbpComboBox*>(p.get()) && p->hasInputFocus();
}

DrawList editPartLook(XbpEditBase& e, double w, double h) {
  std::string text = e.unReadable ? std::string(e.text().size(), '*') : e.text();
  int s = std::min(e.markStart(), e.markEnd()) - 1, t = std::max(e.markStart(), e.markEnd()) - 1;
  if (auto* m = dynamic_cast<XbpMle*>(&e)) {
    MleLook look;
    look.w = w;
    look.h = h;
    look.text = text;
    look.firstLine = m->firstLine() - 1;
    look.selStart = s;
    look.selEnd = t;
    look.caret = e.caret() - 1;
    look.focused = showsFocus(e);
    look.enabled = e.isEnabled();
    look.editable = e.editable;
    look.colours = coloursOf(e);
    look.font = fontOf(e);
    return mleLook(look, pangoMetrics());
  }
  EditLook look;
  look.w = w;
  look.h = h;
  look.text = text;
  look.firstChar = e.firstChar() - 1;
  look.selStart = s;
  look.selEnd = t;
  look.caret = e.caret() - 1;
  look.focused = showsFocus(e);
  look.enabled = e.isEnabled();
  look.editable = e.editable;
  look.align = e.align == 2 ? HAlign::Right : e.align == 3 ? HAlign::Center : HAlign::Left;
  look.colours = coloursOf(e);
  look.font = fontOf(e);
  return editLook(look);
}

DrawList staticPartLook(XbpStatic& s, double w, double h) {
  StaticLook look;
  look.w = w;
  look.h = h;
  look.caption = captionOf(s.caption());
  look.enabled = s.isEnabled();
  look.colours = coloursOf(s);
  look.font = fontOf(s);
  switch (s.type) {
    case statictype::kGroupBox: look.kind = StaticLook::groupBox; break;
    case statictype::kRaisedRect: look.kind = StaticLook::raisedBox; break;
    case statictype::kRecessedRect: look.kind = StaticLook::recessedBox; break;
    case statictype::kText: look.kind = StaticLook::text; break;
    default: look.kind = StaticLook::recessedFrame; break;  // icons and bitmaps: a placeholder frame
  }
  return staticLook(look, pangoMetrics());
}

DrawList listPartLook(XbpListBox& l, double w, double h) {
  ListLook look;
  look.w = w;
  look.h = h;
  look.items = l.items();
  look.topItem = l.topItem() - 1;
  look.marked.assign(l.items().size(), false);
  for (int m : l.marked())
    if (m >= 1 && m <= static_cast<int>(look.marked.size())) look.marked[static_cast<size_t>(m - 1)] = true;
  look.cursor = l.cursorItem() - 1;
  look.focused = showsFocus(l);
  look.enabled = l.isEnabled();
  look.tabStops = l.tabStops();
  look.itemHeight = l.itemHeight();
  look.colours = coloursOf(l);
  look.font = fontOf(l);
  return listLook(look, pangoMetrics());
}

}  // namespace

Font fontOf(const XbpWindow& part) {
  std::string name = part.font();
  return name.empty() ? Font{} : parseFont(name);
}

DrawList partLook(XbpWindow& part, bool decorated) {
  const double w = part.size().w, h = part.size().h;
  if (auto* d = dynamic_cast<XbpDialog*>(&part)) {
    if (!decorated) return {};
    DialogLook look;
    look.w = w;
    look.h = h;
    look.title = d->title();
    look.active = d->isActive();
    look.titleBar = d->titleBar;
    look.border = kDialogBorder;
    look.titleHeight = d->titleBar ? kDialogTitleHeight : 0;
    look.font = fontOf(part);
    return dialogLook(look);
  }
  if (auto* e = dynamic_cast<XbpEditBase*>(&part)) return editPartLook(*e, w, h);
  if (auto* m = dynamic_cast<XbpMenu*>(&part)) {
    MenuLook look;
    MenuLayout lay;
    lay.w = w;
    lay.h = h;
    int n = 0;
    for (const MenuItem& it : m->items()) {
      ++n;
      MenuItemLook i;
      i.separator = it.isSeparator();
      i.caption = i.separator ? std::string() : captionOf(it.caption);
      i.enabled = it.enabled;
      i.checked = it.checked;
      look.items.push_back(i);
      lay.items.push_back({kMenuPadding, m->rowTop(n), w - 2 * kMenuPadding, m->rowHeight(n)});
    }
    look.highlighted = m->highlighted() - 1;
    look.font = fontOf(*m);
    return menuLook(look, lay);
  }
  if (auto* l = dynamic_cast<XbpListBox*>(&part)) return listPartLook(*l, w, h);
  if (auto* s = dynamic_cast<XbpStatic*>(&part)) return staticPartLook(*s, w, h);
  if (auto* b = dynamic_cast<XbpPushButton*>(&part)) {
    ButtonLook look;
    look.w = w;
    look.h = h;
    look.caption = captionOf(b->caption());
    look.pressed = b->pressed();
    look.focused = b->hasInputFocus();
    look.enabled = b->isEnabled();
    look.isDefault = b->isDefault;
    look.colours = coloursOf(*b);
    look.font = fontOf(*b);
    return buttonLook(look);
  }
  if (auto* c = dynamic_cast<XbpComboBox*>(&part)) {
    // The edit line and the list are parts of their own; the combo box draws its button.
    xb::Rect r = c->buttonRect();
    if (r.w <= 0 || r.h <= 0) return {};
    DrawList l;
    double top = h - (r.y + r.h);
    for (DrawOp op : dropButtonLook(r.w, r.h, c->isDropped(), c->isEnabled())) {
      std::visit(
          [&](auto& o) {
            using T = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<T, LineOp>) {
              o.x1 += r.x;
              o.x2 += r.x;
              o.y1 += top;
              o.y2 += top;
            } else if constexpr (std::is_same_v<T, TextOp>) {
              o.box = o.box.moved(r.x, top);
            } else {
              o.r = o.r.moved(r.x, top);
            }
          },
          op);
      l.push_back(std::move(op));
    }
    return l;
  }
  if (auto* s = dynamic_cast<XbpScrollBar*>(&part)) {
    ScrollBarLook look;
    look.w = w;
    look.h = h;
    look.horizontal = s->horizontal;
    look.minimum = s->minimum();
    look.maximum = s->maximum();
    look.position = s->position();
    look.pageSize = s->pageSize;
    look.enabled = s->isEnabled();
    return scrollBarLook(look);
  }
  if (auto* t = dynamic_cast<XbpTabPage*>(&part)) {
    TabLook look;
    look.w = w;
    look.h = h;
    look.caption = captionOf(t->caption);
    look.index = t->tabIndex();
    look.tabHeight = t->tabHeight;
    look.tabWidth = kTabWidth;
    look.front = !t->minimized();
    look.font = fontOf(*t);
    return tabPageLook(look);
  }
  if (dynamic_cast<XbpIWindow*>(&part)) return areaLook(w, h, coloursOf(part));
  Colours c = coloursOf(part);
  if (c.bg) return areaLook(w, h, c);
  return {};
}

}  // namespace xb::render
