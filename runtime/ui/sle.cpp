#include "ui/sle.h"

#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "ui/backend.h"
#include "ui/events.h"
#include "ui/keys.h"

namespace xb {

namespace {
XbpEditBase& E(Object& o) { return static_cast<XbpEditBase&>(o); }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

const ClassDesc& XbpEditBase::staticClass() {
  static const ClassDesc d("XbpEditBase", &XbpWindow::staticClass(), [](ClassDesc& c) {
    c.field("dataLink", &XbpEditBase::dataLink)
        .field("editable", &XbpEditBase::editable)
        .field("changed", &XbpEditBase::changed)
        .field("bufferLength", &XbpEditBase::bufferLength)
        .field("autoTab", &XbpEditBase::autoTab)
        .field("unReadable", &XbpEditBase::unReadable)
        .field("align", &XbpEditBase::align)
        .method("setData", [](Object& o, Args a) { return E(o).setData(a); })
        .method("getData", [](Object& o, Args a) { return E(o).getData(a); })
        .method("editBuffer", [](Object& o, Args) { return E(o).editBuffer(); })
        .method("queryMarked", [](Object& o, Args) { return E(o).queryMarked(); })
        .method("setMarked", [](Object& o, Args a) { return E(o).setMarked(a[0]); })
        .method("setFirstChar", [](Object& o, Args a) { return E(o).setFirstChar(a[0]); })
        .method("queryFirstChar", [](Object& o, Args) { return E(o).queryFirstChar(); })
        .method("copyMarked", [](Object& o, Args) { return E(o).copyMarked(); })
        .method("cutMarked", [](Object& o, Args) { return E(o).cutMarked(); })
        .method("pasteMarked", [](Object& o, Args) { return E(o).pasteMarked(); })
        .method("delMarked", [](Object& o, Args) { return E(o).delMarked(); })
        .method("clear", [](Object& o, Args) { return E(o).clear(); });
  });
  return d;
}

const ClassDesc& XbpSle::staticClass() {
  static const ClassDesc d("XbpSle", &XbpEditBase::staticClass(), [](ClassDesc& c) {
    c.factory([] { return std::make_shared<XbpSle>(); });
  });
  return d;
}

const ClassDesc& XbpMle::staticClass() {
  static const ClassDesc d("XbpMle", &XbpEditBase::staticClass(), [](ClassDesc& c) {
    c.field("wordWrap", &XbpMle::wordWrap)
        .field("ignoreTab", &XbpMle::ignoreTab)
        .factory([] { return std::make_shared<XbpMle>(); });
  });
  return d;
}

// ---- data ----

Value XbpEditBase::setData(Args a) {
  if (!usable("setData")) return Value(false);
  auto given = dataArgument(a, dataLink);
  if (!given) return Value(false);
  const Value& v = *given;
  if (!v.isNil() && !v.isChar())
    return uiError(gen::kArgument, className() + ":setData: the value must be text, not of type " + ValType(v),
                   "setData", Value(false));
  text_ = v.isChar() ? v.str() : std::string();
  anchor_ = caret_ = firstChar_ = 1;
  changed = false;
  keepCaretVisible();
  invalidate();
  return Value(true);
}

Value XbpEditBase::getData(Args) {
  if (!usable("getData")) return Value();
  Value t(text_);
  if (!dataLink.isNil()) Eval(dataLink, {t});
  return t;
}

Value XbpEditBase::queryMarked() const { return arrayValue({Value(anchor_), Value(caret_)}); }

Value XbpEditBase::setMarked(const Value& range) {
  if (!usable("setMarked")) return Value(false);
  auto p = pointOf(range);
  if (!p) return uiError(gen::kArgument, className() + ":setMarked: the range must be {start, end}", "setMarked", Value(false));
  anchor_ = clampPos(static_cast<int>(p->x));
  caret_ = clampPos(static_cast<int>(p->y));
  keepCaretVisible();
  invalidate();
  return Value(true);
}

Value XbpEditBase::setFirstChar(const Value& pos) {
  if (!usable("setFirstChar")) return Value(false);
  if (!pos.isNum()) return uiError(gen::kArgument, className() + ":setFirstChar: the position must be a number", "setFirstChar", Value(false));
  firstChar_ = clampPos(static_cast<int>(pos.num()));
  invalidate();
  return Value(true);
}

std::string XbpEditBase::markedText() const {
  int a = std::min(anchor_, caret_), b = std::max(anchor_, caret_);
  return text_.substr(static_cast<size_t>(a - 1), static_cast<size_t>(b - a));
}

Value XbpEditBase::copyMarked() {
  if (!usable("copyMarked")) return Value(0);
  std::string t = markedText();
  if (t.empty()) return Value(0);
  backend().setClipboardText(t);
  return Value(static_cast<int>(t.size()));
}

Value XbpEditBase::cutMarked() {
  if (!usable("cutMarked")) return Value(0);
  if (!editable || anchor_ == caret_) return Value(0);
  Value n = copyMarked();
  replaceMarked("");
  return n;
}

Value XbpEditBase::pasteMarked() {
  if (!usable("pasteMarked")) return Value(0);
  if (!editable) return Value(0);
  auto t = backend().clipboardText();
  if (!t || t->empty()) return Value(0);
  std::string ins = *t;
  if (lineBreak().empty()) {
    auto br = ins.find_first_of("\r\n");
    if (br != std::string::npos) ins.resize(br);  // a single line takes the first line only
  }
  return Value(replaceMarked(ins));
}

Value XbpEditBase::delMarked() {
  if (!usable("delMarked")) return Value(0);
  if (!editable || anchor_ == caret_) return Value(0);
  int n = std::abs(caret_ - anchor_);
  replaceMarked("");
  return Value(n);
}

Value XbpEditBase::clear() {
  if (!usable("clear")) return Value(false);
  text_.clear();
  anchor_ = caret_ = firstChar_ = 1;
  changed = true;
  invalidate();
  return Value(true);
}

int XbpEditBase::replaceMarked(const std::string& ins) {
  int a = std::min(anchor_, caret_), b = std::max(anchor_, caret_);
  int removed = b - a;
  int room = std::max(0, bufferLength - (len() - removed));
  std::string use = ins;
  if (static_cast<int>(use.size()) > room) {
    if (room == 0) return 0;  // full: the key is refused, as an edit control does
    use.resize(static_cast<size_t>(room));
    uiDiagnostic(describe() + ": pasted text cut to " + std::to_string(room) + " characters (bufferLength " +
                 std::to_string(bufferLength) + ")");
  }
  text_.replace(static_cast<size_t>(a - 1), static_cast<size_t>(removed), use);
  anchor_ = caret_ = a + static_cast<int>(use.size());
  changed = true;
  keepCaretVisible();
  invalidate();
  return static_cast<int>(use.size());
}

// ---- caret ----

void XbpEditBase::moveCaret(int pos, bool extend) {
  caret_ = clampPos(pos);
  if (!extend) anchor_ = caret_;
  keepCaretVisible();
  invalidate();
}

int XbpEditBase::stepFrom(int pos, int dir) const {
  if (dir > 0) {
    if (pos <= len() - 1 && text_[static_cast<size_t>(pos - 1)] == '\r' && text_[static_cast<size_t>(pos)] == '\n')
      return pos + 2;
    return clampPos(pos + 1);
  }
  if (pos >= 3 && text_[static_cast<size_t>(pos - 3)] == '\r' && text_[static_cast<size_t>(pos - 2)] == '\n')
    return pos - 2;
  return clampPos(pos - 1);
}

void XbpEditBase::lineOf(int, int& start, int& length) const {
  start = 1;
  length = len();
}

double XbpEditBase::caretX(int pos) const {
  int start = 0, length = 0;
  lineOf(pos, start, length);
  int from = visibleStart(start);
  if (pos < from) return kEditPadding;
  auto& m = backend().metrics();
  return kEditPadding +
         m.textWidth(*this, std::string_view(text_).substr(static_cast<size_t>(from - 1), static_cast<size_t>(pos - from)));
}

int XbpEditBase::positionAtX(double x, int lineStart, int lineLen) const {
  int from = visibleStart(lineStart);
  int last = lineStart + lineLen;
  auto& m = backend().metrics();
  int best = from;
  double prev = kEditPadding;
  for (int p = from; p <= last; ++p) {
    double bx = kEditPadding + m.textWidth(*this, std::string_view(text_).substr(static_cast<size_t>(from - 1),
                                                                                  static_cast<size_t>(p - from)));
    if (p > from && x < (prev + bx) / 2) return p - 1;
    best = p;
    prev = bx;
  }
  return best;
}

int XbpEditBase::positionAtPoint(Point local) const { return positionAtX(local.x, 1, len()); }

void XbpEditBase::keepCaretVisible() {
  if (firstChar_ > len() + 1) firstChar_ = len() + 1;
  if (caret_ < firstChar_) firstChar_ = caret_;
  double avail = size_.w - 2 * kEditPadding;
  auto& m = backend().metrics();
  while (firstChar_ < caret_ &&
         m.textWidth(*this, std::string_view(text_).substr(static_cast<size_t>(firstChar_ - 1),
                                                          static_cast<size_t>(caret_ - firstChar_))) > avail)
    ++firstChar_;
}

// ---- keys ----

bool XbpEditBase::nativeKey(int k) {
  using namespace key;
  int lineStart = 0, lineLen = 0;
  lineOf(caret_, lineStart, lineLen);
  auto wordLeft = [this](int p) {
    while (p > 1 && isSpace(text_[static_cast<size_t>(p - 2)])) --p;
    while (p > 1 && !isSpace(text_[static_cast<size_t>(p - 2)])) --p;
    return p;
  };
  auto wordRight = [this](int p) {
    while (p <= len() && !isSpace(text_[static_cast<size_t>(p - 1)])) ++p;
    while (p <= len() && isSpace(text_[static_cast<size_t>(p - 1)])) ++p;
    return p;
  };
  switch (k) {
    case kLeft:
      moveCaret(anchor_ != caret_ ? std::min(anchor_, caret_) : stepFrom(caret_, -1), false);
      return true;
    case kRight:
      moveCaret(anchor_ != caret_ ? std::max(anchor_, caret_) : stepFrom(caret_, +1), false);
      return true;
    case kShiftLeft: moveCaret(stepFrom(caret_, -1), true); return true;
    case kShiftRight: moveCaret(stepFrom(caret_, +1), true); return true;
    case kHome: moveCaret(lineStart, false); return true;
    case kShiftHome: moveCaret(lineStart, true); return true;
    case kEnd: moveCaret(lineStart + lineLen, false); return true;
    case kShiftEnd: moveCaret(lineStart + lineLen, true); return true;
    case kCtrlHome: moveCaret(1, false); return true;
    case kCtrlEnd: moveCaret(len() + 1, false); return true;
    case kCtrlLeft: moveCaret(wordLeft(caret_), false); return true;
    case kCtrlRight: moveCaret(wordRight(caret_), false); return true;
    case kCtrlLeft + kShift: moveCaret(wordLeft(caret_), true); return true;
    case kCtrlRight + kShift: moveCaret(wordRight(caret_), true); return true;
    case kCtrlIns:
    case kCtrlC: copyMarked(); return true;
    case kShiftIns:
    case kCtrlV: pasteMarked(); return true;
    case kShiftDel:
    case kCtrlX: cutMarked(); return true;
    case kCtrlA:
      anchor_ = 1;
      moveCaret(len() + 1, true);
      return true;
    case kBackspace:
      if (!editable) return true;
      if (anchor_ == caret_) {
        if (caret_ == 1) return true;
        anchor_ = stepFrom(caret_, -1);
      }
      replaceMarked("");
      return true;
    case kDel:
      if (!editable) return true;
      if (anchor_ == caret_) {
        if (caret_ > len()) return true;
        caret_ = stepFrom(caret_, +1);
      }
      replaceMarked("");
      return true;
    default: break;
  }
  if (k >= 32 && k <= 255 && k != 127) {
    if (editable) replaceMarked(std::string(1, static_cast<char>(k)));
    return true;
  }
  return false;
}

Value XbpEditBase::keyboard(const Value& mp1, const Value& mp2) {
  if (!usable("keyboard")) return Value();
  if (mp1.isNum()) nativeKey(static_cast<int>(mp1.num()));
  callSlot(Slot::keyboard, mp1, mp2);
  return selfValue();
}

// ---- mouse ----

Value XbpEditBase::lbDown(const Value& mp1, const Value& mp2) {
  if (!usable("lbDown")) return Value();
  if (auto p = pointOf(mp1)) {
    anchor_ = caret_ = positionAtPoint(*p);
    dragging_ = true;
    keepCaretVisible();
    invalidate();
  }
  return callSlot(Slot::lbDown, mp1, mp2);
}

Value XbpEditBase::motion(const Value& mp1, const Value& mp2) {
  if (!usable("motion")) return Value();
  if (auto p = pointOf(mp1); p && dragging_) {
    caret_ = positionAtPoint(*p);
    keepCaretVisible();
    invalidate();
  }
  return callSlot(Slot::motion, mp1, mp2);
}

Value XbpEditBase::lbUp(const Value& mp1, const Value& mp2) {
  if (!usable("lbUp")) return Value();
  if (auto p = pointOf(mp1); p && dragging_) {
    caret_ = positionAtPoint(*p);
    dragging_ = false;
    keepCaretVisible();
    invalidate();
  }
  return callSlot(Slot::lbUp, mp1, mp2);
}

Value XbpEditBase::lbDblClick(const Value& mp1, const Value& mp2) {
  if (!usable("lbDblClick")) return Value();
  if (auto p = pointOf(mp1)) {
    int at = positionAtPoint(*p);
    int s = at, e = at;
    while (s > 1 && !isSpace(text_[static_cast<size_t>(s - 2)])) --s;
    while (e <= len() && !isSpace(text_[static_cast<size_t>(e - 1)])) ++e;
    anchor_ = s;
    caret_ = e;
    dragging_ = false;
    keepCaretVisible();
    invalidate();
  }
  return callSlot(Slot::lbDblClick, mp1, mp2);
}

// ---- multi-line ----

void XbpMle::lineOf(int pos, int& start, int& length) const {
  int p = std::min(pos, len() + 1);
  start = p;
  while (start > 1 && text_[static_cast<size_t>(start - 2)] != '\n') --start;
  int e = start;
  while (e <= len() && text_[static_cast<size_t>(e - 1)] != '\r' && text_[static_cast<size_t>(e - 1)] != '\n') ++e;
  length = e - start;
}

int XbpMle::lineNumberOf(int pos) const {
  int n = 1;
  for (int i = 1; i < pos && i <= len(); ++i)
    if (text_[static_cast<size_t>(i - 1)] == '\n') ++n;
  return n;
}

int XbpMle::lineStartOf(int n) const {
  if (n < 1) return 0;
  int line = 1;
  if (n == 1) return 1;
  for (int i = 1; i <= len(); ++i) {
    if (text_[static_cast<size_t>(i - 1)] == '\n' && ++line == n) return i + 1;
  }
  return 0;
}

int XbpMle::lineCount() const { return lineNumberOf(len() + 1); }

int XbpMle::positionAtPoint(Point local) const {
  double lh = backend().metrics().lineHeight(*this);
  int row = static_cast<int>(std::floor((size_.h - kEditPadding - local.y) / lh));
  int n = std::max(1, firstLine_ + std::max(0, row));
  int start = lineStartOf(n);
  if (start == 0) start = lineStartOf(lineCount());
  int s = 0, l = 0;
  lineOf(start, s, l);
  return positionAtX(local.x, s, l);
}

void XbpMle::keepCaretVisible() {
  double lh = backend().metrics().lineHeight(*this);
  int rows = std::max(1, static_cast<int>((size_.h - 2 * kEditPadding) / lh));
  int line = lineNumberOf(caret_);
  if (line < firstLine_) firstLine_ = line;
  if (line >= firstLine_ + rows) firstLine_ = line - rows + 1;
}

bool XbpMle::nativeKey(int k) {
  using namespace key;
  int start = 0, length = 0;
  lineOf(caret_, start, length);
  int col = caret_ - start;
  auto lineBelow = [&](int dir) -> int {
    int n = lineNumberOf(caret_) + dir;
    int s = lineStartOf(n);
    if (s == 0) return caret_;
    int ls = 0, ll = 0;
    lineOf(s, ls, ll);
    return ls + std::min(col, ll);
  };
  switch (k) {
    case kUp: moveCaret(lineBelow(-1), false); return true;
    case kDown: moveCaret(lineBelow(+1), false); return true;
    case kShiftUp: moveCaret(lineBelow(-1), true); return true;
    case kShiftDown: moveCaret(lineBelow(+1), true); return true;
    case kEnter:
      if (editable) replaceMarked("\r\n");
      return true;
    case kTab:
      if (ignoreTab) return false;
      if (editable) replaceMarked("\t");
      return true;
    default: return XbpEditBase::nativeKey(k);
  }
}

}  // namespace xb
