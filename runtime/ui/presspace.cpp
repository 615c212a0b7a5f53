#include "ui/presspace.h"

#include "core/error.h"

namespace xb {

namespace {
XbpPresSpace& P(Object& o) { return static_cast<XbpPresSpace&>(o); }
}  // namespace

const ClassDesc& XbpPresSpace::staticClass() {
  static const ClassDesc d("XbpPresSpace", &Object::staticClass(), [](ClassDesc& c) {
    c.method("setAttrLine", [](Object& o, Args a) { return P(o).setAttrLine(a); })
        .method("setAttrArea", [](Object& o, Args a) { return P(o).setAttrArea(a); })
        .method("setAttrMarker", [](Object& o, Args a) { return P(o).setAttrMarker(a); })
        .method("setAttrString", [](Object& o, Args a) { return P(o).setAttrString(a); })
        .method("setColor", [](Object& o, Args a) { return P(o).setColor(a); })
        .method("setFont", [](Object& o, Args a) { return P(o).setFont(a); })
        .method("drawMode", [](Object& o, Args a) { return P(o).drawMode(a); })
        .method("lastError", [](Object& o, Args) { return P(o).lastError(); })
        .factory([] { return std::make_shared<XbpPresSpace>(); });
  });
  return d;
}

Value XbpPresSpace::mergeAttrs(Value& attrs, Args a) {
  // The previous attributes go back as a copy, so the caller can put them back later.
  Value old(makeArray(attrs.array()->items()));
  if (a.empty()) return old;
  if (!a[0].isArray()) {
    lastError_ = gen::kArgument;
    auto e = makeError(gen::kArgument, "XbpPresSpace: the attributes must be an array", "setAttr", "XBP");
    e->canDefault = true;
    settleError(e, {}, {});
    return old;
  }
  auto& dst = attrs.array()->items();
  const auto& src = a[0].array()->items();
  if (dst.size() < src.size()) dst.resize(src.size());
  for (size_t i = 0; i < src.size(); ++i)
    if (!src[i].isNil()) dst[i] = src[i];
  lastError_ = 0;
  return old;
}

Value XbpPresSpace::setAttrLine(Args a) { return mergeAttrs(line_, a); }
Value XbpPresSpace::setAttrArea(Args a) { return mergeAttrs(area_, a); }
Value XbpPresSpace::setAttrMarker(Args a) { return mergeAttrs(marker_, a); }
Value XbpPresSpace::setAttrString(Args a) { return mergeAttrs(string_, a); }

Value XbpPresSpace::setColor(Args a) {
  auto& la = line_.array()->items();
  Value old = arrayValue({la[0], string_.array()->items()[0]});
  if (a.size() >= 1 && !a[0].isNil()) {
    la[0] = a[0];
    area_.array()->items()[0] = a[0];
    string_.array()->items()[0] = a[0];
    marker_.array()->items()[0] = a[0];
  }
  if (a.size() >= 2 && !a[1].isNil()) {
    if (area_.array()->size() < 2) area_.array()->resize(2);
    area_.array()->items()[1] = a[1];
    string_.array()->items()[1] = a[1];
  }
  return old;
}

Value XbpPresSpace::setFont(Args a) {
  Value old = font_;
  if (!a.empty()) font_ = a[0];
  return old;
}

Value XbpPresSpace::drawMode(Args a) {
  Value old = mode_;
  if (!a.empty() && a[0].isNum()) mode_ = a[0];
  return old;
}

void XbpPresSpace::emit(DrawOp op) {
  op.lineAttrs = Value(makeArray(line_.array()->items()));
  op.areaAttrs = Value(makeArray(area_.array()->items()));
  op.stringAttrs = Value(makeArray(string_.array()->items()));
  if (sink_) {
    sink_->draw(*this, op);
    return;
  }
  // Kept for whoever reads them later (a renderer taking over, a test); bounded, so a part
  // drawn on for a long time without a renderer does not grow without end.
  if (ops_.size() >= 10000) ops_.erase(ops_.begin(), ops_.begin() + 5000);
  ops_.push_back(std::move(op));
}

Value XbpPresSpace::line(const Value& from, const Value& to) {
  auto t = pointOf(to);
  auto f = from.isNil() ? std::optional<Point>(cur_) : pointOf(from);
  if (!t || !f) {
    lastError_ = gen::kArgument;
    auto e = makeError(gen::kArgument, "GraLine: the points must be {x, y}", "GraLine", "XBP");
    e->canDefault = true;
    settleError(e, {}, {});
    return Value(false);
  }
  DrawOp op;
  op.kind = DrawOp::line;
  op.from = *f;
  op.to = *t;
  cur_ = *t;
  emit(std::move(op));
  return Value(true);
}

Value XbpPresSpace::box(const Value& from, const Value& to, const Value& fill) {
  auto t = pointOf(to);
  auto f = from.isNil() ? std::optional<Point>(cur_) : pointOf(from);
  if (!t || !f) {
    lastError_ = gen::kArgument;
    auto e = makeError(gen::kArgument, "GraBox: the points must be {x, y}", "GraBox", "XBP");
    e->canDefault = true;
    settleError(e, {}, {});
    return Value(false);
  }
  DrawOp op;
  op.kind = DrawOp::box;
  op.from = *f;
  op.to = *t;
  op.fill = fill;
  cur_ = *t;
  emit(std::move(op));
  return Value(true);
}

Value XbpPresSpace::string(const Value& at, const Value& text) {
  auto p = at.isNil() ? std::optional<Point>(cur_) : pointOf(at);
  if (!p || !text.isChar()) {
    lastError_ = gen::kArgument;
    auto e = makeError(gen::kArgument, "GraStringAt: needs a point {x, y} and a text", "GraStringAt", "XBP");
    e->canDefault = true;
    settleError(e, {}, {});
    return Value(false);
  }
  DrawOp op;
  op.kind = DrawOp::string;
  op.from = *p;
  op.to = *p;
  op.text = text.str();
  emit(std::move(op));
  return Value(true);
}

}  // namespace xb
