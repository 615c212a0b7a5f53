#include "render/scene.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "render/color.h"
#include "render/painter.h"
#include "render/text_engine.h"
#include "ui/dialog.h"
#include "ui/presspace.h"

namespace xb::render {
namespace {

double attrColour(const Value& attrs, double fallback) {
  if (attrs.isArray() && attrs.array()->size() >= 1) {
    Value c = attrs.array()->at(1);
    if (c.isNum() && rgbOf(c.num())) return c.num();
  }
  return fallback;
}

double attrNumber(const Value& attrs, size_t i, double fallback) {
  if (attrs.isArray() && attrs.array()->size() >= i) {
    Value v = attrs.array()->at(i);
    if (v.isNum()) return v.num();
  }
  return fallback;
}

}  // namespace

// Presentation-space drawing of the window's parts, straight onto the picture.
class SceneSink : public DrawSink {
 public:
  explicit SceneSink(WindowScene* s) : scene_(s) {}
  void detach() { scene_ = nullptr; }

  void draw(XbpPresSpace& ps, const xb::DrawOp& op) override {
    if (!scene_) return;
    WindowRef part = ps.part();
    WindowRef top = scene_->top();
    if (!part || !top || part->topLevel() != top) return;
    Rect pr = scene_->rectOf(*part);
    Rect clip = scene_->visibleRectOf(*part);
    if (scene_->updating_) clip = clip.intersect(scene_->clip_);
    if (clip.empty()) return;
    // Part coordinates have their origin at the lower-left pixel, y upwards.
    auto X = [&](double x) { return pr.x + x; };
    auto Y = [&](double y) { return pr.y + pr.h - 1 - y; };
    DrawList l;
    switch (op.kind) {
      case xb::DrawOp::line:
        l.push_back(LineOp{X(op.from.x), Y(op.from.y), X(op.to.x), Y(op.to.y),
                           attrColour(op.lineAttrs, clr::kBlack),
                           std::max(1.0, attrNumber(op.lineAttrs, 3, 1)),
                           attrNumber(op.lineAttrs, 4, 1) > 1});
        break;
      case xb::DrawOp::box: {
        double x1 = std::min(X(op.from.x), X(op.to.x)), x2 = std::max(X(op.from.x), X(op.to.x));
        double y1 = std::min(Y(op.from.y), Y(op.to.y)), y2 = std::max(Y(op.from.y), Y(op.to.y));
        Rect r{x1, y1, x2 - x1 + 1, y2 - y1 + 1};
        int mode = op.fill.isNum() ? static_cast<int>(op.fill.num()) : 1;  // 1 outline, 2 fill, 3 both
        if (mode & 2) l.push_back(FillOp{r, attrColour(op.areaAttrs, clr::kBlack)});
        if (mode & 1 || mode == 0)
          l.push_back(FrameOp{r, FrameStyle::Line, attrColour(op.lineAttrs, clr::kBlack)});
        break;
      }
      case xb::DrawOp::string: {
        Font f = ps.font().isChar() ? parseFont(ps.font().str()) : fontOf(*part);
        double lh = pangoMetrics().lineHeight(f);
        double w = pangoMetrics().textWidth(f, op.text);
        TextOp t;
        // The point is the start of the base line.
        t.box = {X(op.from.x), Y(op.from.y) - std::round(lh * 0.8), std::ceil(w) + 1, lh};
        t.text = op.text;
        t.font = f;
        t.valign = VAlign::Top;
        t.fg = attrColour(op.stringAttrs, clr::kBlack);
        l.push_back(std::move(t));
        break;
      }
      case xb::DrawOp::marker: {
        double x = X(op.from.x), y = Y(op.from.y);
        double c = attrColour(op.lineAttrs, clr::kBlack);
        l.push_back(LineOp{x - 2, y, x + 2, y, c});
        l.push_back(LineOp{x, y - 2, x, y + 2, c});
        break;
      }
    }
    cairo_t* cr = scene_->pic_.context();
    cairo_rectangle(cr, clip.x, clip.y, clip.w, clip.h);
    cairo_clip(cr);
    paintList(cr, l);
    cairo_destroy(cr);
    scene_->changed_.push_back(clip);
  }

 private:
  WindowScene* scene_;
};

WindowScene::WindowScene(const WindowRef& top, bool decorated, bool claimSinks)
    : top_(top), decorated_(decorated), claimSinks_(claimSinks), pic_(1, 1), sink_(std::make_shared<SceneSink>(this)) {
  WindowRef r = root();
  if (r) pic_.resize(static_cast<int>(std::lround(r->size().w)), static_cast<int>(std::lround(r->size().h)));
}

WindowScene::~WindowScene() {
  sink_->detach();
  for (const auto& ps : borrowed_)
    if (ps->sink() == sink_.get()) ps->setSink(nullptr);
}

WindowRef WindowScene::root() const {
  WindowRef t = top_.lock();
  if (!t) return nullptr;
  if (!decorated_)
    if (auto* d = dynamic_cast<XbpDialog*>(t.get()))
      if (d->drawingArea()) return d->drawingArea();
  return t;
}

Rect WindowScene::rectOf(const XbpWindow& part) const {
  WindowRef r = root();
  if (!r) return {};
  xb::Rect a = part.absoluteRect(), o = r->absoluteRect();
  return {a.x - o.x, (o.y + o.h) - (a.y + a.h), a.w, a.h};
}

Rect WindowScene::visibleRectOf(const XbpWindow& part) const {
  WindowRef r = root();
  Rect vis = rectOf(part);
  for (WindowRef p = part.parent(); p; p = p->parent()) {
    vis = vis.intersect(rectOf(*p));
    if (p == r) break;
  }
  return vis.intersect({0, 0, static_cast<double>(pic_.width()), static_cast<double>(pic_.height())});
}

Point WindowScene::toDesktop(double px, double py) const {
  WindowRef r = root();
  if (!r) return {px, py};
  xb::Rect o = r->absoluteRect();
  return {o.x + px, o.y + o.h - 1 - py};
}

void WindowScene::invalidate(const XbpWindow& part) {
  if (all_) return;
  Rect r = rectOf(part);
  auto it = lastRect_.find(&part);
  if (it != lastRect_.end() && !(it->second == r)) dirty_.push_back(it->second);
  Rect full{0, 0, static_cast<double>(pic_.width()), static_cast<double>(pic_.height())};
  r = r.intersect(full);
  if (r.empty()) return;
  for (Rect& d : dirty_) {
    // Contained in (or containing) one already marked: keep the larger.
    if (d.intersect(r) == r) return;
    if (r.intersect(d) == d) {
      d = r;
      return;
    }
  }
  dirty_.push_back(r);
}

void WindowScene::invalidateAll() {
  all_ = true;
  dirty_.clear();
}

bool WindowScene::touchesDirty(const Rect& r) const {
  for (const Rect& d : painting_)
    if (!d.intersect(r).empty()) return true;
  return false;
}

void WindowScene::paintTree(XbpWindow& part, cairo_t* cr, const Rect& parentVis) {
  Rect pr = rectOf(part);
  Rect vis = pr.intersect(parentVis);
  if (vis.empty() || !touchesDirty(vis)) return;
  lastRect_[&part] = pr;
  ++drawnLast_;
  DrawList look = partLook(part, decorated_);
  if (!look.empty()) {
    cairo_save(cr);
    cairo_rectangle(cr, vis.x, vis.y, vis.w, vis.h);
    cairo_clip(cr);
    cairo_translate(cr, pr.x, pr.y);
    // Only what touches the rectangles being repainted (a typed character does not lay out
    // the dialog's title again).
    Rect need{};
    for (const Rect& d : painting_) need = need.unite(d.intersect(vis));
    paintList(cr, look, need.moved(-pr.x, -pr.y));
    cairo_restore(cr);
  }
  // The part's own drawing (paint callback, presentation space) comes after its look.
  WindowRef keep = part.selfRef();
  auto ps = part.ps();
  if (ps && ps->sink() != sink_.get()) {
    if (claimSinks_) ps->setSink(sink_);
    else if (!ps->sink()) {
      ps->setSink(sink_);
      borrowed_.push_back(ps);
    }
  }
  Rect saved = clip_;
  clip_ = vis;
  part.paint();
  clip_ = saved;
  if (part.isDestroyed() || !part.showsChildren()) return;
  std::vector<WindowRef> kids = part.childrenFrontFirst();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it)
    if (*it && (*it)->visibleFlag() && !(*it)->isDestroyed()) paintTree(**it, cr, vis);
}

std::vector<Rect> WindowScene::update() {
  WindowRef r = root();
  drawnLast_ = 0;
  if (!r || updating_) return takeChanged();
  int w = static_cast<int>(std::lround(r->size().w)), h = static_cast<int>(std::lround(r->size().h));
  if (w != pic_.width() || h != pic_.height()) {
    pic_.resize(w, h);
    all_ = true;
  }
  Rect full{0, 0, static_cast<double>(pic_.width()), static_cast<double>(pic_.height())};
  if (all_) {
    dirty_.assign(1, full);
    all_ = false;
  }
  if (dirty_.empty()) return takeChanged();
  painting_.swap(dirty_);
  dirty_.clear();
  updating_ = true;
  cairo_t* cr = pic_.context();
  for (const Rect& d : painting_) cairo_rectangle(cr, d.x, d.y, d.w, d.h);
  cairo_clip(cr);
  paintTree(*r, cr, full);
  cairo_destroy(cr);
  updating_ = false;
  // Parts invalidated by paint methods stay marked for the next update.
  for (const Rect& d : painting_) changed_.push_back(d);
  painting_.clear();
  return takeChanged();
}

std::vector<Rect> WindowScene::takeChanged() {
  std::vector<Rect> out;
  out.swap(changed_);
  return out;
}

Picture renderWindow(const WindowRef& top, bool decorated) {
  if (!top) return Picture(1, 1);
  Picture out(1, 1);
  {
    // Parts whose presentation space draws nowhere yet lend it for this picture only.
    WindowScene scene(top, decorated, false);
    scene.update();
    out = std::move(scene.picture());
  }
  return out;
}

std::string screenshotTo(XbpWindow& top, const std::string& path) {
  std::string why;
  if (top.isDestroyed()) return "the window is destroyed";
  if (!renderWindow(top.selfRef(), true).writePng(path, why)) return why;
  return {};
}

bool writeWindowPng(const WindowRef& top, const std::string& path, bool decorated) {
  return renderWindow(top, decorated).writePng(path);
}

}  // namespace xb::render
