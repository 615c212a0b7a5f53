#include "core/value.h"

#include "core/error.h"
#include "core/object.h"

namespace xb {

Value::Value(ArrayRef a) {
  if (a) v_ = std::move(a);
}
Value::Value(BlockRef b) {
  if (b) v_ = std::move(b);
}
void Value::assignOtherText(std::string_view s) {
  if (auto* t = std::get_if<std::string>(&v_)) t->assign(s.data(), s.size());  // may be a part of *t
  else v_.emplace<std::string>(s);
}

Value::Value(ObjectRef o, int) {
  if (o) v_ = std::move(o);
}

const std::string& Value::str() const {
  static const std::string kEmpty;
  auto p = std::get_if<std::string>(&v_);
  return p ? *p : kEmpty;
}
double Value::num() const {
  auto p = std::get_if<Number>(&v_);
  return p ? p->value : 0.0;
}
const Number& Value::number() const {
  static const Number kZero;
  auto p = std::get_if<Number>(&v_);
  return p ? *p : kZero;
}
int32_t Value::date() const {
  auto p = std::get_if<DateValue>(&v_);
  return p ? p->day : 0;
}
bool Value::logical() const {
  auto p = std::get_if<bool>(&v_);
  return p && *p;
}
const ArrayRef& Value::array() const {
  static const ArrayRef kNull;
  auto p = std::get_if<ArrayRef>(&v_);
  return p ? *p : kNull;
}
const ObjectRef& Value::object() const {
  static const ObjectRef kNull;
  auto p = std::get_if<ObjectRef>(&v_);
  return p ? *p : kNull;
}
const BlockRef& Value::block() const {
  static const BlockRef kNull;
  auto p = std::get_if<BlockRef>(&v_);
  return p ? *p : kNull;
}

char valTypeChar(const Value& v) {
  static constexpr char kLetters[] = {'U', 'C', 'N', 'D', 'L', 'A', 'O', 'B'};
  return kLetters[static_cast<int>(v.type())];
}
std::string ValType(const Value& v) { return std::string(1, valTypeChar(v)); }

bool exactlyEqual(const Value& a, const Value& b) {
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case Type::Nil: return true;
    case Type::Character: return a.str() == b.str();
    case Type::Numeric: return a.num() == b.num();
    case Type::Date: return a.date() == b.date();
    case Type::Logical: return a.logical() == b.logical();
    case Type::Array: return a.array() == b.array();
    case Type::Object: return a.object() == b.object();
    case Type::Block: return a.block() == b.block();
  }
  return false;
}

bool equal(const Value& a, const Value& b) {
  if (a.isChar() && b.isChar()) {
    const auto& l = a.str();
    const auto& r = b.str();
    return l.size() >= r.size() && l.compare(0, r.size(), r) == 0;
  }
  return exactlyEqual(a, b);
}

const Value& Args::operator[](size_t i) const {
  static const Value kNil;
  return i < s_.size() ? s_[i] : kNil;
}

namespace {
ErrorRef boundError(size_t i, size_t n, const char* op) {
  auto e = makeError(gen::kBound, "Array access beyond its bounds", op);
  e->args = arrayValue({Value(static_cast<double>(i)), Value(static_cast<double>(n))});
  e->canSubstitute = true;
  return e;
}
}  // namespace

Value Array::at(size_t i) const {
  if (i < 1 || i > items_.size()) return substituteError(boundError(i, items_.size(), "array access"));
  return items_[i - 1];
}
void Array::put(size_t i, Value v) {
  if (i < 1 || i > items_.size()) {
    auto e = boundError(i, items_.size(), "array assign");
    e->canSubstitute = false;
    e->canDefault = true;
    settleError(e, {}, {});
    return;
  }
  items_[i - 1] = std::move(v);
}
void Array::insert(size_t i, Value v) {
  if (i < 1 || i > items_.size() + 1) {
    auto e = boundError(i, items_.size(), "array insert");
    e->canSubstitute = false;
    e->canDefault = true;
    settleError(e, {}, {});
    return;
  }
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(i - 1), std::move(v));
}
void Array::erase(size_t i) {
  if (i < 1 || i > items_.size()) {
    auto e = boundError(i, items_.size(), "array delete");
    e->canSubstitute = false;
    e->canDefault = true;
    settleError(e, {}, {});
    return;
  }
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i - 1));
}

Value Eval(const Value& block, Args args) {
  if (block.isBlock()) return block.block()->eval(args);
  auto e = makeError(gen::kNotABlock, "Value is not a code block", "EVAL");
  std::vector<Value> a{block};
  e->args = Value(makeArray(std::move(a)));
  e->canSubstitute = true;
  return substituteError(e);
}
Value Eval(const Value& block, std::initializer_list<Value> args) { return Eval(block, Args(args)); }

size_t Len(const Value& v) {
  if (v.isChar()) return v.str().size();
  if (v.isArray()) return v.array()->size();
  auto e = makeError(gen::kArgument, "Argument error", "LEN");
  e->args = arrayValue({v});
  e->canSubstitute = true;
  return static_cast<size_t>(substituteError(e).num());
}

Value AAdd(const Value& array, Value item) {
  if (!array.isArray()) {
    auto e = makeError(gen::kArgument, "Argument error", "AADD");
    e->args = arrayValue({array, item});
    e->canSubstitute = true;
    return substituteError(e);
  }
  array.array()->add(item);
  return item;
}

}  // namespace xb
