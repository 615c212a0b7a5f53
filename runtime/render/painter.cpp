#include "render/painter.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

#include "render/color.h"
#include "render/text_engine.h"

namespace xb::render {
namespace {

void setColour(cairo_t* cr, double colour, Rgb fallback = {0, 0, 0}) {
  Rgb c = rgbOr(colour, fallback);
  cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

struct IRect {
  int x, y, w, h;
};
IRect snap(const Rect& r) {
  int x = static_cast<int>(std::lround(r.x)), y = static_cast<int>(std::lround(r.y));
  int rr = static_cast<int>(std::lround(r.right())), b = static_cast<int>(std::lround(r.bottom()));
  return {x, y, std::max(0, rr - x), std::max(0, b - y)};
}

void fillRect(cairo_t* cr, int x, int y, int w, int h, double colour) {
  if (w <= 0 || h <= 0) return;
  setColour(cr, colour);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
}

// Top and left edges in one colour, bottom and right in another.
void bevel(cairo_t* cr, IRect r, double topLeft, double bottomRight) {
  if (r.w <= 0 || r.h <= 0) return;
  fillRect(cr, r.x, r.y, r.w - 1, 1, topLeft);
  fillRect(cr, r.x, r.y, 1, r.h - 1, topLeft);
  fillRect(cr, r.x, r.y + r.h - 1, r.w, 1, bottomRight);
  fillRect(cr, r.x + r.w - 1, r.y, 1, r.h, bottomRight);
}

void outline(cairo_t* cr, IRect r, double colour) { bevel(cr, r, colour, colour); }

void dotted(cairo_t* cr, IRect r, double colour) {
  if (r.w <= 0 || r.h <= 0) return;
  setColour(cr, colour);
  for (int x = r.x; x < r.x + r.w; x += 2) {
    cairo_rectangle(cr, x, r.y, 1, 1);
    cairo_rectangle(cr, x, r.y + r.h - 1, 1, 1);
  }
  for (int y = r.y; y < r.y + r.h; y += 2) {
    cairo_rectangle(cr, r.x, y, 1, 1);
    cairo_rectangle(cr, r.x + r.w - 1, y, 1, 1);
  }
  cairo_fill(cr);
}

void paint(cairo_t* cr, const FillOp& op) {
  IRect r = snap(op.r);
  fillRect(cr, r.x, r.y, r.w, r.h, op.colour);
}

void paint(cairo_t* cr, const FrameOp& op) {
  IRect r = snap(op.r);
  IRect in{r.x + 1, r.y + 1, r.w - 2, r.h - 2};
  switch (op.style) {
    case FrameStyle::Line:
      for (int i = 0; i < std::max(1, static_cast<int>(std::lround(op.width))); ++i)
        outline(cr, {r.x + i, r.y + i, r.w - 2 * i, r.h - 2 * i}, op.colour);
      break;
    case FrameStyle::Raised:
      bevel(cr, r, sysclr::kButtonHighlight, sysclr::kDarkShadow);
      bevel(cr, in, sysclr::kLight, sysclr::kButtonShadow);
      break;
    case FrameStyle::Sunken:
      bevel(cr, r, sysclr::kButtonShadow, sysclr::kButtonHighlight);
      bevel(cr, in, sysclr::kDarkShadow, sysclr::kLight);
      break;
    case FrameStyle::Pressed:
      outline(cr, r, sysclr::kDarkShadow);
      fillRect(cr, in.x, in.y, in.w, 1, sysclr::kButtonShadow);
      fillRect(cr, in.x, in.y, 1, in.h, sysclr::kButtonShadow);
      break;
    case FrameStyle::Etched:
      outline(cr, {r.x, r.y, r.w - 1, r.h - 1}, sysclr::kButtonShadow);
      bevel(cr, {r.x + 1, r.y + 1, r.w - 1, r.h - 1}, sysclr::kButtonHighlight,
            sysclr::kButtonHighlight);
      fillRect(cr, r.x + 1, r.y + 1, r.w - 3, 1, sysclr::kButtonHighlight);
      break;
    case FrameStyle::Focus:
      dotted(cr, r, op.colour);
      break;
  }
}

void paint(cairo_t* cr, const LineOp& op) {
  cairo_save(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  setColour(cr, op.colour);
  cairo_set_line_width(cr, std::max(1.0, op.width));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  if (op.dashed) {
    double d[] = {2, 2};
    cairo_set_dash(cr, d, 2, 0);
  }
  cairo_move_to(cr, std::round(op.x1) + 0.5, std::round(op.y1) + 0.5);
  cairo_line_to(cr, std::round(op.x2) + 0.5, std::round(op.y2) + 0.5);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void paint(cairo_t* cr, const ArrowOp& op) {
  IRect r = snap(op.r);
  int s = std::max(2, std::min(r.w, r.h) / 4);  // half the base
  double cx = r.x + r.w / 2, cy = r.y + r.h / 2;
  cairo_save(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  setColour(cr, op.colour);
  int hh = (s + 1) / 2;
  switch (op.dir) {
    case Direction::Down:
      cairo_move_to(cr, cx - s, cy - hh);
      cairo_line_to(cr, cx + s + 1, cy - hh);
      cairo_line_to(cr, cx + 0.5, cy - hh + s + 0.5);
      break;
    case Direction::Up:
      cairo_move_to(cr, cx - s, cy + hh);
      cairo_line_to(cr, cx + s + 1, cy + hh);
      cairo_line_to(cr, cx + 0.5, cy + hh - s - 0.5);
      break;
    case Direction::Right:
      cairo_move_to(cr, cx - hh, cy - s);
      cairo_line_to(cr, cx - hh, cy + s + 1);
      cairo_line_to(cr, cx - hh + s + 0.5, cy + 0.5);
      break;
    case Direction::Left:
      cairo_move_to(cr, cx + hh, cy - s);
      cairo_line_to(cr, cx + hh, cy + s + 1);
      cairo_line_to(cr, cx + hh - s - 0.5, cy + 0.5);
      break;
  }
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_restore(cr);
}

void paint(cairo_t* cr, const TextOp& t) {
  IRect box = snap(t.box);
  if (box.w <= 0 || box.h <= 0) return;
  int n = static_cast<int>(t.text.size());
  std::vector<int> off;
  PangoLayout* l = TextEngine::instance().layout(t.font, t.text, &off);
  if (!t.tabStops.empty()) {
    PangoTabArray* tabs = pango_tab_array_new(static_cast<gint>(t.tabStops.size()), TRUE);
    for (size_t i = 0; i < t.tabStops.size(); ++i)
      pango_tab_array_set_tab(tabs, static_cast<gint>(i), PANGO_TAB_LEFT,
                              static_cast<gint>(std::lround(t.tabStops[i])));
    pango_layout_set_tabs(l, tabs);
    pango_tab_array_free(tabs);
    TextEngine::instance().decorated();
  }
  if (t.mnemonic >= 0 && t.mnemonic < n) {
    PangoAttrList* attrs = pango_attr_list_new();
    PangoAttribute* u = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
    u->start_index = static_cast<guint>(off[static_cast<size_t>(t.mnemonic)]);
    u->end_index = static_cast<guint>(off[static_cast<size_t>(t.mnemonic) + 1]);
    pango_attr_list_insert(attrs, u);
    pango_layout_set_attributes(l, attrs);
    pango_attr_list_unref(attrs);
    TextEngine::instance().decorated();
  }
  auto xAt = [&](int index) {
    PangoRectangle pos;
    pango_layout_index_to_pos(l, off[static_cast<size_t>(std::clamp(index, 0, n))], &pos);
    return static_cast<double>(pos.x) / PANGO_SCALE;
  };
  PangoRectangle logical;
  pango_layout_get_pixel_extents(l, nullptr, &logical);
  double x = box.x;
  if (t.halign == HAlign::Center) x = box.x + (box.w - logical.width) / 2.0;
  else if (t.halign == HAlign::Right) x = box.x + box.w - logical.width;
  if (t.firstChar > 0) x -= xAt(t.firstChar);
  double y = box.y;
  if (t.valign == VAlign::Center) y = box.y + (box.h - logical.height) / 2.0;
  else if (t.valign == VAlign::Bottom) y = box.y + box.h - logical.height;
  x = std::floor(x);
  y = std::floor(y);

  cairo_save(cr);
  cairo_rectangle(cr, box.x, box.y, box.w, box.h);
  cairo_clip(cr);
  if (t.embossed) {
    setColour(cr, sysclr::kButtonHighlight);
    cairo_move_to(cr, x + 1, y + 1);
    pango_cairo_show_layout(cr, l);
    setColour(cr, sysclr::kGrayText);
  } else {
    setColour(cr, t.fg);
  }
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, l);

  int s = std::clamp(std::min(t.selStart, t.selEnd), 0, n);
  int e = std::clamp(std::max(t.selStart, t.selEnd), 0, n);
  if (s < e) {
    double x1 = std::floor(x + xAt(s)), x2 = std::floor(x + xAt(e));
    cairo_save(cr);
    cairo_rectangle(cr, x1, y, x2 - x1, logical.height);
    cairo_clip(cr);
    setColour(cr, t.selBg, {49, 106, 197});
    cairo_paint(cr);
    setColour(cr, t.selFg, {255, 255, 255});
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, l);
    cairo_restore(cr);
  }
  if (t.caret >= 0) {
    double cx = std::floor(x + xAt(t.caret));
    // Keep a caret at the right edge visible.
    cx = std::min(cx, static_cast<double>(box.x + box.w - 1));
    setColour(cr, t.fg);
    cairo_rectangle(cr, cx, y, 1, logical.height);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

}  // namespace

void paintOp(cairo_t* cr, const DrawOp& op) {
  std::visit([cr](const auto& o) { paint(cr, o); }, op);
}

Rect boundsOf(const DrawOp& op) {
  return std::visit(
      [](const auto& o) -> Rect {
        using T = std::decay_t<decltype(o)>;
        if constexpr (std::is_same_v<T, TextOp>) {
          return o.box;
        } else if constexpr (std::is_same_v<T, LineOp>) {
          double w = std::max(1.0, o.width) + 1;
          double x = std::min(o.x1, o.x2), y = std::min(o.y1, o.y2);
          return {x - w, y - w, std::abs(o.x2 - o.x1) + 2 * w, std::abs(o.y2 - o.y1) + 2 * w};
        } else {
          return o.r;
        }
      },
      op);
}

void paintList(cairo_t* cr, const DrawList& list, const Rect& clip) {
  cairo_save(cr);
  for (const DrawOp& op : list)
    if (!boundsOf(op).intersect(clip).empty()) paintOp(cr, op);
  cairo_restore(cr);
}

void paintList(cairo_t* cr, const DrawList& list) {
  cairo_save(cr);
  for (const DrawOp& op : list) paintOp(cr, op);
  cairo_restore(cr);
}

}  // namespace xb::render
