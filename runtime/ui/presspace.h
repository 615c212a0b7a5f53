// The presentation space of a part (lockPS): drawing attributes and a current position.
// It does not draw itself; drawing calls go to a DrawSink that the renderer installs
// (Cairo on the part's picture, later a character-cell painter). Without a sink the calls
// are kept in a list of drawing operations, which is also what tests look at.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/object.h"
#include "ui/window.h"

namespace xb {

class XbpPresSpace;

// One drawing call, in the part's coordinates (lower-left origin, y up).
struct DrawOp {
  enum Kind { line, box, string, marker } kind = line;
  Point from, to;
  std::string text;       // CP850, for strings
  Value lineAttrs;        // attribute arrays as they were when the call was made
  Value areaAttrs;
  Value stringAttrs;
  Value fill;             // box fill mode
};

class DrawSink {
 public:
  virtual ~DrawSink() = default;
  virtual void draw(XbpPresSpace& ps, const DrawOp& op) = 0;
};

class XbpPresSpace : public Object {
  XB_CLASS()
 public:
  XbpPresSpace() = default;
  explicit XbpPresSpace(const WindowRef& part) : part_(part) {}

  // Attribute setters return the previous attribute array; no argument leaves it. An array
  // element that is NIL keeps the attribute it stands for.
  Value setAttrLine(Args a);
  Value setAttrArea(Args a);
  Value setAttrMarker(Args a);
  Value setAttrString(Args a);
  // setColor(fg [, bg]): returns the previous {fg, bg}.
  Value setColor(Args a);
  Value setFont(Args a);
  Value drawMode(Args a);
  Value lastError() const { return Value(lastError_); }

  // Drawing: a NIL start point draws from the current position; the end becomes it.
  Value line(const Value& from, const Value& to);
  Value box(const Value& from, const Value& to, const Value& fill = {});
  Value string(const Value& at, const Value& text);

  const Value& lineAttrs() const { return line_; }
  const Value& areaAttrs() const { return area_; }
  const Value& markerAttrs() const { return marker_; }
  const Value& stringAttrs() const { return string_; }
  const Value& font() const { return font_; }
  Point currentPos() const { return cur_; }
  WindowRef part() const { return part_.lock(); }

  void setSink(std::shared_ptr<DrawSink> sink) { sink_ = std::move(sink); }
  DrawSink* sink() const { return sink_.get(); }
  // Drawing calls made while no sink was installed (the last 5000 to 10000 of them).
  const std::vector<DrawOp>& ops() const { return ops_; }
  void clearOps() { ops_.clear(); }

 private:
  Value mergeAttrs(Value& attrs, Args a);
  void emit(DrawOp op);

  std::weak_ptr<XbpWindow> part_;
  Value line_ = arrayValue({Value(), Value(), Value(), Value()});
  Value area_ = arrayValue({Value(), Value(), Value(), Value(), Value()});
  Value marker_ = arrayValue({Value(), Value(), Value(), Value(), Value()});
  Value string_ = arrayValue({Value(), Value(), Value(), Value(), Value()});
  Value font_;
  Value mode_ = Value(1);
  Point cur_;
  int lastError_ = 0;
  std::shared_ptr<DrawSink> sink_;
  std::vector<DrawOp> ops_;
};

}  // namespace xb
