#include "core/ops.h"

#include <cmath>
#include <optional>

#include "core/error.h"

namespace xb {
namespace {

Value operandError(const char* op, std::initializer_list<Value> operands, int code = gen::kArgument,
                   const char* text = "Argument error") {
  auto e = makeError(code, text, op);
  e->args = Value(makeArray(std::vector<Value>(operands)));
  e->canSubstitute = true;
  return substituteError(e);
}

Value checked(double r, const char* op, const Value& a, const Value& b) {
  if (std::isfinite(r)) return Value(r);
  return operandError(op, {a, b}, gen::kNumOverflow, "Numeric overflow");
}

}  // namespace

Value Plus(const Value& a, const Value& b) {
  if (a.isNum() && b.isNum()) return checked(a.num() + b.num(), "+", a, b);
  if (a.isChar() && b.isChar()) return Value(a.str() + b.str());
  if (a.isDate() && b.isNum()) return Value::date(a.date() + static_cast<int32_t>(b.num()));
  if (a.isNum() && b.isDate()) return Value::date(b.date() + static_cast<int32_t>(a.num()));
  return operandError("+", {a, b});
}

Value Minus(const Value& a, const Value& b) {
  if (a.isNum() && b.isNum()) return checked(a.num() - b.num(), "-", a, b);
  if (a.isDate() && b.isDate()) return Value(static_cast<double>(a.date() - b.date()));
  if (a.isDate() && b.isNum()) return Value::date(a.date() - static_cast<int32_t>(b.num()));
  if (a.isChar() && b.isChar()) {
    // Trailing blanks of the left text move to the end of the result.
    const std::string& l = a.str();
    size_t end = l.find_last_not_of(' ');
    std::string trimmed = end == std::string::npos ? std::string() : l.substr(0, end + 1);
    return Value(trimmed + b.str() + std::string(l.size() - trimmed.size(), ' '));
  }
  return operandError("-", {a, b});
}

Value Times(const Value& a, const Value& b) {
  if (a.isNum() && b.isNum()) return checked(a.num() * b.num(), "*", a, b);
  return operandError("*", {a, b});
}

Value Divide(const Value& a, const Value& b) {
  if (!a.isNum() || !b.isNum()) return operandError("/", {a, b});
  if (b.num() == 0) return operandError("/", {a, b}, gen::kNumError, "Zero divisor");
  return checked(a.num() / b.num(), "/", a, b);
}

Value Modulo(const Value& a, const Value& b) {
  if (!a.isNum() || !b.isNum()) return operandError("%", {a, b});
  if (b.num() == 0) return operandError("%", {a, b}, gen::kNumError, "Zero divisor");
  return checked(std::fmod(a.num(), b.num()), "%", a, b);
}

Value Negate(const Value& a) {
  if (a.isNum()) return Value(-a.num());
  return operandError("-", {a});
}

Value Not(const Value& a) {
  if (a.isLogical()) return Value(!a.logical());
  return operandError(".NOT.", {a});
}

namespace {
// -1, 0, 1; nullopt when the kinds cannot be ordered.
std::optional<int> order(const Value& a, const Value& b) {
  if (a.type() != b.type()) return std::nullopt;
  switch (a.type()) {
    case Type::Numeric: return a.num() < b.num() ? -1 : a.num() > b.num() ? 1 : 0;
    case Type::Date: return a.date() < b.date() ? -1 : a.date() > b.date() ? 1 : 0;
    case Type::Logical: return int(a.logical()) - int(b.logical());
    case Type::Character: {
      int c = a.str().compare(b.str());
      return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    default: return std::nullopt;
  }
}

bool compareWith(const Value& a, const Value& b, const char* op, bool (*test)(int)) {
  if (auto o = order(a, b)) return test(*o);
  return operandError(op, {a, b}).isTrue();
}
}  // namespace

bool Less(const Value& a, const Value& b) {
  return compareWith(a, b, "<", [](int o) { return o < 0; });
}
bool LessEqual(const Value& a, const Value& b) {
  return compareWith(a, b, "<=", [](int o) { return o <= 0; });
}
bool Greater(const Value& a, const Value& b) {
  return compareWith(a, b, ">", [](int o) { return o > 0; });
}
bool GreaterEqual(const Value& a, const Value& b) {
  return compareWith(a, b, ">=", [](int o) { return o >= 0; });
}

}  // namespace xb
