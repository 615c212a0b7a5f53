#include "render/looks.h"

// GCC 12 warns falsely about moving strings inside the draw-op variant (its bugs 105329
// and 107138).
#pragma GCC diagnostic ignored "-Wrestrict"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include <algorithm>
#include <cmath>

#include "render/color.h"

namespace xb::render {
namespace {

double fgOr(const Colours& c, double d) { return c.fg.value_or(d); }
double bgOr(const Colours& c, double d) { return c.bg.value_or(d); }

constexpr double kScrollBarWidth = 16;

}  // namespace

std::string stripMnemonic(const std::string& caption, int& mnemonic) {
  std::string out;
  mnemonic = -1;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '~' && i + 1 < caption.size()) {
      if (caption[i + 1] == '~') {
        out.push_back('~');
        ++i;
        continue;
      }
      if (mnemonic < 0) mnemonic = static_cast<int>(out.size());
      continue;
    }
    out.push_back(caption[i]);
  }
  return out;
}

DrawList dialogLook(const DialogLook& d) {
  DrawList l;
  l.push_back(FillOp{{0, 0, d.w, d.h}, sysclr::kDialog});
  l.push_back(FrameOp{{0, 0, d.w, d.h}, FrameStyle::Raised});
  if (d.titleBar && d.titleHeight > 0) {
    Rect bar{d.border, d.border, d.w - 2 * d.border, d.titleHeight - 2};
    l.push_back(FillOp{bar, d.active ? sysclr::kActiveTitle : sysclr::kInactiveTitle});
    Font f = d.font;
    f.bold = true;
    TextOp t;
    t.box = {bar.x + 6, bar.y, bar.w - 30, bar.h};
    t.text = d.title;
    t.font = f;
    t.fg = d.active ? sysclr::kTitleText : sysclr::kInactiveTitleText;
    l.push_back(std::move(t));
    // The close box.
    Rect box{bar.right() - 20, bar.y + 3, 16, bar.h - 6};
    l.push_back(FillOp{box, sysclr::kButtonFace});
    l.push_back(FrameOp{box, FrameStyle::Raised});
    double cx = box.x + 5, cy = box.y + (box.h - 6) / 2;
    l.push_back(LineOp{cx, cy, cx + 5, cy + 5, sysclr::kButtonText});
    l.push_back(LineOp{cx + 5, cy, cx, cy + 5, sysclr::kButtonText});
  }
  return l;
}

DrawList areaLook(double w, double h, Colours c) {
  return {FillOp{{0, 0, w, h}, bgOr(c, sysclr::kDialog)}};
}

Rect editTextBox(double w, double h, bool border) {
  double b = border ? 2 : 0;
  return {kEditTextInset, b, w - 2 * kEditTextInset, h - 2 * b};
}

DrawList editLook(const EditLook& e) {
  DrawList l;
  double bg = e.enabled ? bgOr(e.colours, e.editable ? sysclr::kEntryField : sysclr::kDialog)
                        : bgOr(e.colours, sysclr::kDialog);
  l.push_back(FillOp{{0, 0, e.w, e.h}, bg});
  if (e.border) l.push_back(FrameOp{{0, 0, e.w, e.h}, FrameStyle::Sunken});
  TextOp t;
  t.box = editTextBox(e.w, e.h, e.border);
  t.text = e.text;
  t.font = e.font;
  t.fg = e.enabled ? fgOr(e.colours, sysclr::kWindowText) : sysclr::kGrayText;
  t.halign = e.align;
  t.firstChar = e.align == HAlign::Left ? std::max(0, e.firstChar) : 0;
  if (e.focused && e.enabled) {
    t.selStart = e.selStart;
    t.selEnd = e.selEnd;
    t.selFg = sysclr::kHighlightText;
    t.selBg = sysclr::kHighlight;
    t.caret = std::clamp(e.caret, 0, static_cast<int>(e.text.size()));
  }
  l.push_back(std::move(t));
  return l;
}

DrawList mleLook(const MleLook& m, Metrics& metrics) {
  DrawList l;
  double bg = m.enabled ? bgOr(m.colours, m.editable ? sysclr::kEntryField : sysclr::kDialog)
                        : bgOr(m.colours, sysclr::kDialog);
  l.push_back(FillOp{{0, 0, m.w, m.h}, bg});
  if (m.border) l.push_back(FrameOp{{0, 0, m.w, m.h}, FrameStyle::Sunken});
  Rect inner = editTextBox(m.w, m.h, m.border);
  inner.y += 1;
  inner.h -= 2;
  double lh = metrics.lineHeight(m.font);
  int selS = std::min(m.selStart, m.selEnd), selE = std::max(m.selStart, m.selEnd);
  size_t start = 0;
  int line = 0;
  double y = inner.y;
  while (start <= m.text.size()) {
    size_t nl = m.text.find('\n', start);
    size_t end = nl == std::string::npos ? m.text.size() : nl;
    size_t shownEnd = end > start && m.text[end - 1] == '\r' ? end - 1 : end;
    if (line >= m.firstLine) {
      if (y >= inner.bottom()) break;
      TextOp t;
      t.box = {inner.x, y, inner.w, std::min(lh, inner.bottom() - y)};
      t.valign = VAlign::Top;
      t.text = m.text.substr(start, shownEnd - start);
      t.font = m.font;
      t.fg = m.enabled ? fgOr(m.colours, sysclr::kWindowText) : sysclr::kGrayText;
      t.firstChar = std::max(0, m.firstCol);
      if (m.focused && m.enabled) {
        int ls = static_cast<int>(start), le = static_cast<int>(shownEnd);
        int s = std::clamp(selS, ls, le), e = std::clamp(selE, ls, le);
        if (s < e) {
          t.selStart = s - ls;
          t.selEnd = e - ls;
          t.selFg = sysclr::kHighlightText;
          t.selBg = sysclr::kHighlight;
        }
        if (m.caret >= ls && m.caret <= le) t.caret = m.caret - ls;
      }
      l.push_back(std::move(t));
      y += lh;
    }
    if (nl == std::string::npos) break;
    start = nl + 1;
    ++line;
  }
  return l;
}

DrawList buttonLook(const ButtonLook& b) {
  DrawList l;
  Rect r{0, 0, b.w, b.h};
  l.push_back(FillOp{r, bgOr(b.colours, sysclr::kButtonFace)});
  Rect face = r;
  if (b.focused || b.isDefault) {
    l.push_back(FrameOp{r, FrameStyle::Line, sysclr::kWindowFrame});
    face = r.inset(1);
  }
  l.push_back(FrameOp{face, b.pressed ? FrameStyle::Pressed : FrameStyle::Raised});
  TextOp t;
  t.text = stripMnemonic(b.caption, t.mnemonic);
  t.box = face.inset(2);
  if (b.pressed) t.box = t.box.moved(1, 1);
  t.font = b.font;
  t.halign = HAlign::Center;
  t.fg = fgOr(b.colours, sysclr::kButtonText);
  t.embossed = !b.enabled;
  l.push_back(std::move(t));
  if (b.focused && b.enabled) {
    Rect fr = face.inset(3);
    if (b.pressed) fr = fr.moved(1, 1);
    l.push_back(FrameOp{fr, FrameStyle::Focus, sysclr::kFocusFrame});
  }
  return l;
}

DrawList staticLook(const StaticLook& s, Metrics& metrics) {
  DrawList l;
  Rect r{0, 0, s.w, s.h};
  switch (s.kind) {
    case StaticLook::text: {
      if (s.colours.bg) l.push_back(FillOp{r, *s.colours.bg});
      TextOp t;
      t.text = stripMnemonic(s.caption, t.mnemonic);
      t.box = r;
      t.font = s.font;
      t.halign = s.halign;
      t.valign = s.valign;
      t.fg = fgOr(s.colours, sysclr::kWindowText);
      t.embossed = !s.enabled;
      l.push_back(std::move(t));
      break;
    }
    case StaticLook::groupBox: {
      if (s.colours.bg) l.push_back(FillOp{r, *s.colours.bg});
      double lh = metrics.lineHeight(s.font);
      l.push_back(FrameOp{{0, std::floor(lh / 2), s.w, s.h - std::floor(lh / 2)}, FrameStyle::Etched});
      if (!s.caption.empty()) {
        TextOp t;
        t.text = stripMnemonic(s.caption, t.mnemonic);
        double tw = metrics.textWidth(s.font, t.text);
        l.push_back(FillOp{{6, 0, tw + 4, lh}, bgOr(s.colours, sysclr::kDialog)});
        t.box = {8, 0, std::min(tw + 1, s.w - 10), lh};
        t.font = s.font;
        t.fg = fgOr(s.colours, sysclr::kWindowText);
        t.embossed = !s.enabled;
        l.push_back(std::move(t));
      }
      break;
    }
    case StaticLook::raisedBox:
      l.push_back(FillOp{r, bgOr(s.colours, sysclr::kButtonFace)});
      l.push_back(FrameOp{r, FrameStyle::Raised});
      break;
    case StaticLook::recessedBox:
      l.push_back(FillOp{r, bgOr(s.colours, sysclr::kButtonFace)});
      l.push_back(FrameOp{r, FrameStyle::Sunken});
      break;
    case StaticLook::raisedFrame:
      l.push_back(FrameOp{r, FrameStyle::Raised});
      break;
    case StaticLook::recessedFrame:
      l.push_back(FrameOp{r, FrameStyle::Sunken});
      break;
    case StaticLook::fgBox:
      l.push_back(FillOp{r, fgOr(s.colours, sysclr::kWindowText)});
      break;
    case StaticLook::bgBox:
      l.push_back(FillOp{r, bgOr(s.colours, sysclr::kDialog)});
      break;
    case StaticLook::fgFrame:
      l.push_back(FrameOp{r, FrameStyle::Line, fgOr(s.colours, sysclr::kWindowText)});
      break;
    case StaticLook::bgFrame:
      l.push_back(FrameOp{r, FrameStyle::Line, bgOr(s.colours, sysclr::kDialog)});
      break;
    case StaticLook::hLine:
      l.push_back(FrameOp{{0, std::floor(s.h / 2) - 1, s.w, 2}, FrameStyle::Etched});
      break;
    case StaticLook::vLine:
      l.push_back(FrameOp{{std::floor(s.w / 2) - 1, 0, 2, s.h}, FrameStyle::Etched});
      break;
  }
  return l;
}

double listItemHeight(const ListLook& l, Metrics& metrics) {
  return l.itemHeight > 0 ? l.itemHeight : std::ceil(metrics.lineHeight(l.font)) + 2;
}

int listVisibleItems(const ListLook& l, Metrics& metrics) {
  double inner = l.h - (l.border ? 4 : 0);
  return std::max(1, static_cast<int>(std::floor(inner / listItemHeight(l, metrics))));
}

DrawList dropButtonLook(double w, double h, bool pressed, bool enabled) {
  DrawList l;
  Rect r{0, 0, w, h};
  l.push_back(FillOp{r, sysclr::kButtonFace});
  l.push_back(FrameOp{r, pressed ? FrameStyle::Pressed : FrameStyle::Raised});
  Rect a = pressed ? r.moved(1, 1) : r;
  l.push_back(ArrowOp{a, Direction::Down, enabled ? sysclr::kButtonText : sysclr::kGrayText});
  return l;
}

DrawList listLook(const ListLook& l, Metrics& metrics) {
  DrawList out;
  Rect r{0, 0, l.w, l.h};
  double bg = bgOr(l.colours, l.enabled ? sysclr::kEntryField : sysclr::kDialog);
  out.push_back(FillOp{r, bg});
  if (l.border) out.push_back(FrameOp{r, FrameStyle::Sunken});
  Rect inner = l.border ? r.inset(2) : r;
  const int n = static_cast<int>(l.items.size());
  const int visible = listVisibleItems(l, metrics);
  const int top = std::clamp(l.topItem, 0, std::max(0, n - 1));
  const bool bar = n > visible;
  if (bar) inner.w -= kScrollBarWidth;
  const double ih = listItemHeight(l, metrics);
  std::vector<double> tabs;
  double unit = metrics.charWidth(l.font);
  for (double t : l.tabStops) tabs.push_back(t * unit);
  double fg = l.enabled ? fgOr(l.colours, sysclr::kWindowText) : sysclr::kGrayText;
  for (int i = top; i < n; ++i) {
    double y = inner.y + (i - top) * ih;
    if (y >= inner.bottom()) break;
    Rect row{inner.x, y, inner.w, std::min(ih, inner.bottom() - y)};
    bool marked = i < static_cast<int>(l.marked.size()) && l.marked[static_cast<size_t>(i)];
    if (marked) out.push_back(FillOp{row, l.markBg.value_or(sysclr::kHighlight)});
    TextOp t;
    t.box = {row.x + 2, row.y, row.w - 4, row.h};
    t.text = l.items[static_cast<size_t>(i)];
    t.font = l.font;
    t.tabStops = tabs;
    t.fg = marked ? l.markFg.value_or(sysclr::kHighlightText) : fg;
    out.push_back(std::move(t));
    if (l.focused && i == l.cursor) out.push_back(FrameOp{row, FrameStyle::Focus, sysclr::kFocusFrame});
  }
  if (bar) {
    Rect sb{inner.right(), inner.y, kScrollBarWidth, inner.h};
    out.push_back(FillOp{sb, sysclr::kScrollBar});
    double bh = std::min(kScrollBarWidth, sb.h / 2);
    Rect up{sb.x, sb.y, sb.w, bh}, down{sb.x, sb.bottom() - bh, sb.w, bh};
    for (auto [b, dir] : {std::pair{up, Direction::Up}, std::pair{down, Direction::Down}}) {
      out.push_back(FillOp{b, sysclr::kButtonFace});
      out.push_back(FrameOp{b, FrameStyle::Raised});
      out.push_back(ArrowOp{b, dir, sysclr::kButtonText});
    }
    double track = sb.h - 2 * bh;
    if (track > 8) {
      double th = std::max(8.0, track * visible / n);
      double ty = sb.y + bh + (track - th) * top / std::max(1, n - visible);
      Rect thumb{sb.x, std::round(ty), sb.w, std::round(th)};
      out.push_back(FillOp{thumb, sysclr::kButtonFace});
      out.push_back(FrameOp{thumb, FrameStyle::Raised});
    }
  }
  return out;
}

DrawList scrollBarLook(const ScrollBarLook& s) {
  DrawList l;
  Rect r{0, 0, s.w, s.h};
  l.push_back(FillOp{r, sysclr::kScrollBar});
  const double len = s.horizontal ? s.w : s.h, thick = s.horizontal ? s.h : s.w;
  const double b = std::min(thick, len / 2);
  Rect first = s.horizontal ? Rect{0, 0, b, s.h} : Rect{0, 0, s.w, b};
  Rect last = s.horizontal ? Rect{s.w - b, 0, b, s.h} : Rect{0, s.h - b, s.w, b};
  double arrow = s.enabled ? sysclr::kButtonText : sysclr::kGrayText;
  for (auto [box, dir] : {std::pair{first, s.horizontal ? Direction::Left : Direction::Up},
                          std::pair{last, s.horizontal ? Direction::Right : Direction::Down}}) {
    l.push_back(FillOp{box, sysclr::kButtonFace});
    l.push_back(FrameOp{box, FrameStyle::Raised});
    l.push_back(ArrowOp{box, dir, arrow});
  }
  double track = len - 2 * b;
  int range = std::max(1, s.maximum - s.minimum + 1);
  if (track > 8 && s.enabled) {
    double th = std::clamp(track * s.pageSize / (range + s.pageSize), 8.0, track);
    double at = b + (track - th) * std::clamp(s.position - s.minimum, 0, range - 1) /
                        std::max(1, range - 1);
    Rect thumb = s.horizontal ? Rect{std::round(at), 0, std::round(th), s.h}
                              : Rect{0, std::round(at), s.w, std::round(th)};
    l.push_back(FillOp{thumb, sysclr::kButtonFace});
    l.push_back(FrameOp{thumb, FrameStyle::Raised});
  }
  return l;
}

DrawList tabPageLook(const TabLook& t) {
  DrawList l;
  Rect body{0, t.tabHeight - 2, t.w, t.h - t.tabHeight + 2};
  if (t.front) {
    l.push_back(FillOp{body, sysclr::kDialog});
    l.push_back(FrameOp{body, FrameStyle::Raised});
  }
  Rect tab{(t.index - 1) * t.tabWidth, t.front ? 0.0 : 2.0, t.tabWidth, t.tabHeight - (t.front ? 0 : 2)};
  l.push_back(FillOp{tab, sysclr::kDialog});
  l.push_back(FrameOp{tab, FrameStyle::Raised});
  if (t.front) l.push_back(FillOp{{tab.x + 2, tab.bottom() - 2, tab.w - 4, 3}, sysclr::kDialog});
  TextOp c;
  c.text = stripMnemonic(t.caption, c.mnemonic);
  c.box = tab.inset(3);
  c.font = t.font;
  c.halign = HAlign::Center;
  c.fg = sysclr::kWindowText;
  l.push_back(std::move(c));
  return l;
}

MenuLayout menuLayout(const MenuLook& m, Metrics& metrics) {
  MenuLayout lay;
  double lh = std::ceil(metrics.lineHeight(m.font));
  double width = 0;
  double y = 3;
  for (const auto& it : m.items) {
    double h = it.separator ? 8 : lh + 6;
    lay.items.push_back({3, y, 0, h});
    y += h;
    if (!it.separator) {
      int mn;
      width = std::max(width, metrics.textWidth(m.font, stripMnemonic(it.caption, mn)));
    }
  }
  lay.w = std::ceil(width) + 2 * 22 + 6;
  lay.h = y + 3;
  for (auto& r : lay.items) r.w = lay.w - 6;
  return lay;
}

DrawList menuLook(const MenuLook& m, Metrics& metrics) { return menuLook(m, menuLayout(m, metrics)); }

DrawList menuLook(const MenuLook& m, const MenuLayout& lay) {
  DrawList l;
  l.push_back(FillOp{{0, 0, lay.w, lay.h}, sysclr::kMenu});
  l.push_back(FrameOp{{0, 0, lay.w, lay.h}, FrameStyle::Raised});
  for (size_t i = 0; i < m.items.size() && i < lay.items.size(); ++i) {
    const auto& it = m.items[i];
    const Rect& r = lay.items[i];
    if (it.separator) {
      l.push_back(FrameOp{{r.x + 2, r.y + 3, r.w - 4, 2}, FrameStyle::Etched});
      continue;
    }
    bool hi = static_cast<int>(i) == m.highlighted;
    if (hi) l.push_back(FillOp{r, sysclr::kMenuHighlight});
    TextOp t;
    t.text = stripMnemonic(it.caption, t.mnemonic);
    t.box = {r.x + 19, r.y, r.w - 38, r.h};
    t.font = m.font;
    t.fg = hi && it.enabled ? sysclr::kHighlightText : sysclr::kMenuText;
    t.embossed = !it.enabled && !hi;
    if (!it.enabled && hi) t.fg = sysclr::kGrayText;
    l.push_back(std::move(t));
    if (it.checked) {
      double cx = r.x + 6, cy = r.y + r.h / 2;
      double c = hi ? sysclr::kHighlightText : sysclr::kMenuText;
      l.push_back(LineOp{cx, cy, cx + 2, cy + 2, c, 2});
      l.push_back(LineOp{cx + 2, cy + 2, cx + 7, cy - 3, c, 2});
    }
  }
  return l;
}

}  // namespace xb::render
