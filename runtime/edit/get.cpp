#include "edit/get.h"

#include <algorithm>
#include <cmath>

#include "core/error.h"
#include "core/format.h"
#include "core/text.h"

namespace xb {
namespace {

using edit::kLiteral;
using edit::kSlot;

// Errors of the engine understand only "default": the operation is left undone.
void engineError(int genCode, std::string description, const char* op,
                 std::initializer_list<Value> args) {
  auto e = makeError(genCode, std::move(description), op);
  e->args = arrayValue(args);
  e->canDefault = true;
  settleError(e, {}, {});
}

Get& G(Object& o) { return static_cast<Get&>(o); }

}  // namespace

const ClassDesc& Get::staticClass() {
  static const ClassDesc d("Get", &Object::staticClass(), [](ClassDesc& c) {
    c.member("buffer", [](Object& o) { return G(o).buffer(); },
             [](Object& o, const Value& v) { G(o).setBuffer(v); })
        .member("pos", [](Object& o) { return Value(G(o).pos()); },
                [](Object& o, const Value& v) { G(o).setPos(v); })
        .member("type", [](Object& o) { return Value(G(o).type()); })
        .member("picture", [](Object& o) { return G(o).picture(); },
                [](Object& o, const Value& v) { G(o).setPicture(v); })
        .member("hasFocus", [](Object& o) { return Value(G(o).hasFocus()); })
        .member("clear", [](Object& o) { return Value(G(o).clear()); },
                [](Object& o, const Value& v) { G(o).setClear(v); })
        .member("typeOut", [](Object& o) { return Value(G(o).typeOut()); })
        .member("rejected", [](Object& o) { return Value(G(o).rejected()); })
        .member("changed", [](Object& o) { return Value(G(o).changed()); })
        .member("original", [](Object& o) { return G(o).original(); })
        .member("name", [](Object& o) { return Value(G(o).name()); })
        .member("block", [](Object& o) { return G(o).block(); })
        .member("preBlock", [](Object& o) { return G(o).preBlock(); })
        .member("postBlock", [](Object& o) { return G(o).postBlock(); })
        .field("row", &Get::row)
        .field("col", &Get::col);
    auto action = [&c](const char* name, void (Get::*m)()) {
      c.method(name, [m](Object& o, Args) -> Value {
        (G(o).*m)();
        return Value(o.self());
      });
    };
    action("setFocus", &Get::setFocus);
    action("killFocus", &Get::killFocus);
    action("reset", &Get::reset);
    action("UpdateBuffer", &Get::UpdateBuffer);
    action("_assign", &Get::_assign);
    action("home", &Get::home);
    action("_End", &Get::_End);
    action("Left", &Get::Left);
    action("Right", &Get::Right);
    action("ToDecPos", &Get::ToDecPos);
    action("BackSpace", &Get::BackSpace);
    action("Delete", &Get::Delete);
    action("DelWordLeft", &Get::DelWordLeft);
    action("DelWordRight", &Get::DelWordRight);
    action("DelEnd", &Get::DelEnd);
    action("CondClear", &Get::CondClear);
    action("display", &Get::display);
    auto typing = [&c](const char* name, void (Get::*m)(std::string_view)) {
      c.method(name, [m, name](Object& o, Args a) -> Value {
        if (a[0].isChar()) {
          (G(o).*m)(a[0].str());
        } else {
          engineError(gen::kArgument, "Argument error", name, {a[0]});
        }
        return Value(o.self());
      });
    };
    typing("Insert", &Get::Insert);
    typing("Overstrike", &Get::Overstrike);
    c.method("badDate", [](Object& o, Args) { return Value(G(o).badDate()); })
        .method("init",
                [](Object& o, Args a) -> Value {
                  G(o).init(a[0], a[1], a[2], a[3], a[4]);
                  return Value(o.self());
                })
        .method("initClass", [](Object& o, Args) -> Value {
          Get::initClass();
          return Value(o.self());
        })
        .factory([] { return std::make_shared<Get>(); });
  });
  return d;
}

namespace {
// Registered at start, so the class can be found by name before the first engine exists.
[[maybe_unused]] const ClassDesc& kRegistered = Get::staticClass();
}  // namespace

const ClassDesc& Get::initClass() { return staticClass(); }

void Get::init(const Value& block, const Value& name, const Value& picture, const Value& preBlock,
               const Value& postBlock) {
  block_ = block;
  name_.clear();
  if (name.isChar()) name_ = name.str();
  else if (!name.isNil()) engineError(gen::kArgument, "Argument error", "GET:INIT", {name});
  loaded_ = haveText_ = hasFocus_ = clear_ = typeOut_ = rejected_ = changed_ = false;
  picture_ = Value();
  pic_ = edit::parsePicture("");
  setPicture(picture);
  preBlock_ = postBlock_ = Value();
  for (auto [arg, slot] : {std::pair{&preBlock, &preBlock_}, std::pair{&postBlock, &postBlock_}}) {
    if (arg->isBlock() || arg->isNil()) *slot = *arg;
    else engineError(gen::kArgument, "Argument error", "GET:INIT", {*arg});
  }
  text_.clear();
  loadedText_.clear();
  original_ = Value();
  typeLetter_ = 'U';
  pos_ = 1;
  display();
}

// ---- the variable ----

Value Get::varGet() const { return Eval(block_); }
void Get::varPut(const Value& v) const { Eval(block_, {v}); }

void Get::load() {
  Value v = varGet();
  edit::Layout layout;
  edit::makeLayout(pic_, v, layout);
  std::string text;
  edit::formatInto(layout, pic_, v, text);
  layout_ = std::move(layout);
  text_ = text;
  loadedText_ = std::move(text);
  original_ = v;
  typeLetter_ = valTypeChar(v);
  loaded_ = haveText_ = true;
  changed_ = false;
  if (pos_ > static_cast<int>(text_.size()) + 1) pos_ = static_cast<int>(text_.size()) + 1;
  if (v.isArray() || v.isObject() || v.isBlock()) {
    // Nothing to show or edit; the variable is written back unchanged.
    engineError(gen::kArgument, "Value cannot be edited", "GET", {v});
  }
}

void Get::ensureText() {
  if (!haveText_) load();
}

// ---- members ----

Value Get::buffer() const { return haveText_ ? Value(text_) : Value(); }

void Get::setBuffer(const Value& v) {
  if (v.isNil()) {
    haveText_ = false;
    display();
    return;
  }
  if (!v.isChar()) {
    engineError(gen::kArgument, "Argument error", "GET:BUFFER", {v});
    return;
  }
  if (!loaded_) load();
  const std::string& s = v.str();
  if (s.size() > layout_.size()) {
    engineError(gen::kDataWidth, "Text longer than the picture", "GET:BUFFER",
                {v, Value(static_cast<double>(layout_.size()))});
    return;
  }
  std::string t = s;
  t.resize(layout_.size(), ' ');
  for (size_t i = 0; i < t.size(); ++i)
    if (layout_.role[i] == kLiteral) t[i] = layout_.tmpl[i];
  text_ = std::move(t);
  haveText_ = true;
  pos_ = std::clamp(pos_, 1, static_cast<int>(text_.size()) + 1);
  changed_ = text_ != loadedText_;
  display();
}

void Get::setPos(const Value& p) {
  if (!p.isNum() || !std::isfinite(p.num())) {
    engineError(gen::kArgument, "Argument error", "GET:POS", {p});
    return;
  }
  int len = static_cast<int>(haveText_ ? text_.size() : layout_.size());
  pos_ = static_cast<int>(std::clamp(std::trunc(p.num()), 1.0, static_cast<double>(len) + 1));
  display();
}

std::string Get::type() const {
  return std::string(1, loaded_ ? typeLetter_ : valTypeChar(varGet()));
}

void Get::setPicture(const Value& picture) {
  if (!picture.isNil() && !picture.isChar()) {
    engineError(gen::kArgument, "Argument error", "GET:PICTURE", {picture});
    return;
  }
  picture_ = picture;
  pic_ = edit::parsePicture(picture.str());
  if (loaded_) load();  // the text always follows the picture in force
  display();
}

void Get::setClear(const Value& flag) {
  if (!flag.isLogical()) {
    engineError(gen::kArgument, "Argument error", "GET:CLEAR", {flag});
    return;
  }
  clear_ = flag.logical();
}

// ---- positions (1-based) ----

bool Get::editableAt(int p) const {
  return p >= 1 && p <= static_cast<int>(layout_.size()) && layout_.editable(static_cast<size_t>(p - 1));
}
int Get::firstEditable() const { return nextEditable(0); }
int Get::lastEditable() const { return prevEditable(static_cast<int>(layout_.size()) + 1); }
int Get::nextEditable(int p) const {
  for (int q = std::max(p + 1, 1); q <= static_cast<int>(layout_.size()); ++q)
    if (editableAt(q)) return q;
  return 0;
}
int Get::prevEditable(int p) const {
  for (int q = std::min(p - 1, static_cast<int>(layout_.size())); q >= 1; --q)
    if (editableAt(q)) return q;
  return 0;
}
int Get::runEnd(int p) const {
  while (editableAt(p + 1)) ++p;
  return p;
}

void Get::removeAt(int p, int count) {
  int e = runEnd(p);
  count = std::min(count, e - p + 1);
  if (count <= 0) return;
  for (int q = p; q <= e - count; ++q) text_[static_cast<size_t>(q - 1)] = text_[static_cast<size_t>(q - 1 + count)];
  for (int q = e - count + 1; q <= e; ++q) text_[static_cast<size_t>(q - 1)] = ' ';
}

void Get::finishEdit() {
  clear_ = false;
  changed_ = text_ != loadedText_;
  display();
}

// ---- focus and loading ----

void Get::setFocus() {
  if (hasFocus_) return;
  hasFocus_ = true;
  typeOut_ = rejected_ = false;
  load();
  int f = firstEditable();
  pos_ = f ? f : 1;
  clear_ = layout_.type == 'N' || pic_.K;
  display();
}

void Get::killFocus() {
  hasFocus_ = false;
  clear_ = false;
  typeOut_ = false;
  display();
}

void Get::reset() {
  typeOut_ = rejected_ = false;
  load();
  int f = firstEditable();
  pos_ = f ? f : 1;
  clear_ = hasFocus_ && (layout_.type == 'N' || pic_.K);
  display();
}

void Get::UpdateBuffer() {
  load();
  display();
}

std::optional<Value> Get::untransform() const {
  if (!haveText_) return std::nullopt;
  switch (layout_.type) {
    case 'C':
    case 'U': {
      // Characters beyond what the picture shows are kept: the picture is a window on the
      // value, not a cut.
      const std::string& orig = original_.str();
      std::string s;
      if (pic_.R) {
        size_t slots = 0;
        for (size_t i = 0; i < text_.size(); ++i) {
          if (layout_.role[i] == kSlot) {
            s += text_[i];
            ++slots;
          }
        }
        if (orig.size() > slots) s += orig.substr(slots);
      } else {
        s = text_;
        if (orig.size() > s.size()) s += orig.substr(s.size());
      }
      return Value(std::move(s));
    }
    case 'N': {
      double v = 0;
      bool neg = false;
      if (!edit::readNumber(layout_, pic_, text_, v, neg)) return std::nullopt;
      if (v == 0) v = 0;  // no negative zero from a lone "-"
      const Number& n = original_.number();
      if (original_.isNum() && (n.width > 0 || n.decimals >= 0)) return Value::number(v, n.width, n.decimals);
      // Without a template the layout came from the value: keep its decimals, so 12.50
      // edited to 12.00 keeps showing two decimals.
      if (!pic_.hasTemplate) return Value::number(v, -1, layout_.decimals);
      return Value(v);
    }
    case 'D': {
      auto d = dateFromText(text_, layout_.dateFormat);
      if (!d) return std::nullopt;
      return Value::date(*d);
    }
    case 'L':
      for (size_t i = 0; i < text_.size(); ++i) {
        if (layout_.role[i] != kSlot) continue;
        unsigned char u = cpUpper(static_cast<unsigned char>(text_[i]));
        return Value(u == 'T' || u == 'Y');
      }
      return original_;
    default: return original_;
  }
}

void Get::_assign() {
  if (!loaded_ || !haveText_) return;
  Value out;
  if (text_ == loadedText_) {
    // Untouched text: the value as it was loaded, never a reformatted copy of it.
    out = original_;
  } else {
    auto v = untransform();
    if (!v) {
      // A date being typed is not yet a date: the variable keeps its value, badDate tells.
      if (layout_.type == 'D') return;
      engineError(gen::kDataType, "Text is no number", "GET:_ASSIGN", {Value(text_)});
      return;
    }
    out = std::move(*v);
  }
  char now = valTypeChar(varGet());
  if (now != typeLetter_ && now != valTypeChar(out)) {
    engineError(gen::kDataType, "Variable changed its type while edited", "GET:_ASSIGN",
                {Value(std::string(1, typeLetter_)), Value(std::string(1, now))});
    return;
  }
  varPut(out);
}

bool Get::badDate() const {
  return layout_.type == 'D' && haveText_ && !dateFromText(text_, layout_.dateFormat);
}

// ---- caret ----

void Get::home() {
  if (!hasFocus_) return;
  typeOut_ = false;
  clear_ = false;
  int f = firstEditable();
  if (f) pos_ = f;
  else typeOut_ = true;
  display();
}

void Get::_End() {
  if (!hasFocus_) return;
  ensureText();
  typeOut_ = false;
  clear_ = false;
  int last = 0;
  for (int q = 1; q <= static_cast<int>(text_.size()); ++q)
    if (editableAt(q) && text_[static_cast<size_t>(q - 1)] != ' ') last = q;
  if (!last) last = firstEditable();
  if (last) pos_ = last;
  else typeOut_ = true;
  display();
}

void Get::Left() {
  if (!hasFocus_) return;
  typeOut_ = false;
  clear_ = false;
  int p = prevEditable(pos_);
  if (p) pos_ = p;
  else typeOut_ = true;
  display();
}

void Get::Right() {
  if (!hasFocus_) return;
  typeOut_ = false;
  clear_ = false;
  int p = nextEditable(pos_);
  if (p) pos_ = p;
  else typeOut_ = true;
  display();
}

void Get::ToDecPos() {
  if (!hasFocus_ || layout_.type != 'N') return;
  ensureText();
  typeOut_ = false;
  double v = 0;
  bool neg = false;
  if (edit::readNumber(layout_, pic_, text_, v, neg)) {
    text_ = edit::formatNumber(layout_, pic_, v, neg && v == 0);
  }
  int p = 0;
  if (pic_.B) {
    size_t dp = text_.find(pic_.E ? ',' : '.');
    if (dp != std::string::npos) p = nextEditable(static_cast<int>(dp) + 1);
  } else if (layout_.point >= 0) {
    p = nextEditable(layout_.point + 1);
  }
  if (!p) p = lastEditable();
  if (p) pos_ = p;
  finishEdit();
}

// ---- typing ----

void Get::typeChar(unsigned char c, bool insert) {
  typeOut_ = false;
  rejected_ = false;
  if (!hasFocus_) return;
  ensureText();
  if (layout_.type == 'N' && (c == '.' || c == ',')) {
    // The decimal separator is never stored: it moves the caret to the decimals.
    CondClear();
    ToDecPos();
    return;
  }
  int target = clear_ ? firstEditable() : editableAt(pos_) ? pos_ : nextEditable(pos_);
  if (!target) {
    typeOut_ = true;
    display();
    return;
  }
  unsigned char stored = c;
  if (!edit::accepts(layout_, pic_, static_cast<size_t>(target - 1), c, stored)) {
    rejected_ = true;
    display();
    return;
  }
  if (clear_) text_ = edit::emptyText(layout_, pic_);
  if (insert) {
    for (int q = runEnd(target); q > target; --q) text_[static_cast<size_t>(q - 1)] = text_[static_cast<size_t>(q - 2)];
  }
  text_[static_cast<size_t>(target - 1)] = static_cast<char>(stored);
  int next = nextEditable(target);
  if (next) {
    pos_ = next;
  } else {
    pos_ = target;
    typeOut_ = true;
  }
  finishEdit();
}

void Get::Insert(std::string_view ch) {
  bool anyRejected = false;
  typeOut_ = rejected_ = false;
  for (char c : ch) {
    typeChar(static_cast<unsigned char>(c), true);
    anyRejected = anyRejected || rejected_;
  }
  rejected_ = anyRejected;
}

void Get::Overstrike(std::string_view ch) {
  bool anyRejected = false;
  typeOut_ = rejected_ = false;
  for (char c : ch) {
    typeChar(static_cast<unsigned char>(c), false);
    anyRejected = anyRejected || rejected_;
  }
  rejected_ = anyRejected;
}

// ---- deleting ----

void Get::BackSpace() {
  if (!hasFocus_) return;
  ensureText();
  typeOut_ = false;
  int p = prevEditable(pos_);
  if (!p) {
    typeOut_ = true;
    display();
    return;
  }
  removeAt(p, 1);
  pos_ = p;
  finishEdit();
}

void Get::Delete() {
  if (!hasFocus_) return;
  ensureText();
  typeOut_ = false;
  if (editableAt(pos_)) removeAt(pos_, 1);
  finishEdit();
}

void Get::DelWordLeft() {
  if (!hasFocus_) return;
  ensureText();
  typeOut_ = false;
  // The character left of the caret; at the start of a run that is the end of the run
  // before it (literals are skipped, never deleted).
  int q = prevEditable(pos_);
  if (!q) {
    finishEdit();
    return;
  }
  int start = q;
  auto blank = [this](int p) { return text_[static_cast<size_t>(p - 1)] == ' '; };
  while (editableAt(start) && blank(start)) --start;
  while (editableAt(start) && !blank(start)) --start;
  ++start;
  removeAt(start, q - start + 1);
  pos_ = start;
  finishEdit();
}

void Get::DelWordRight() {
  if (!hasFocus_) return;
  ensureText();
  typeOut_ = false;
  int p = editableAt(pos_) ? pos_ : nextEditable(pos_);
  if (!p) {
    finishEdit();
    return;
  }
  int e = runEnd(p);
  auto blank = [this](int q) { return text_[static_cast<size_t>(q - 1)] == ' '; };
  int i = p;
  if (!blank(i)) {
    while (i <= e && !blank(i)) ++i;
  }
  while (i <= e && blank(i)) ++i;
  removeAt(p, i - p);
  pos_ = p;
  finishEdit();
}

void Get::DelEnd() {
  if (!hasFocus_) return;
  ensureText();
  typeOut_ = false;
  for (int q = std::max(pos_, 1); q <= static_cast<int>(text_.size()); ++q)
    if (editableAt(q)) text_[static_cast<size_t>(q - 1)] = ' ';
  finishEdit();
}

void Get::CondClear() {
  if (!hasFocus_ || !clear_) return;
  ensureText();
  text_ = edit::emptyText(layout_, pic_);
  int f = firstEditable();
  pos_ = f ? f : 1;
  finishEdit();
}

// ---- drawing ----

void Get::display() {
  if (!haveText_) {
    visible_.clear();
    scrollOffset_ = 0;
    return;
  }
  int width = pic_.scroll;
  int len = static_cast<int>(text_.size());
  if (width <= 0 || len <= width) {
    scrollOffset_ = 0;
    visible_ = text_;
    return;
  }
  int caret = pos_ - 1;
  if (caret < scrollOffset_) scrollOffset_ = caret;
  if (caret >= scrollOffset_ + width) scrollOffset_ = caret - width + 1;
  scrollOffset_ = std::clamp(scrollOffset_, 0, len - width);
  visible_ = text_.substr(static_cast<size_t>(scrollOffset_), static_cast<size_t>(width));
}

}  // namespace xb
