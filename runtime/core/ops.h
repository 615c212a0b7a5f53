// Operators on values. Operands that cannot take part raise a run-time error through the
// error block (argument error, numeric error for division by zero, numeric overflow); the
// error block's answer substitutes the result.
#pragma once
#include "core/value.h"

namespace xb {

Value Plus(const Value& a, const Value& b);    // numbers, texts (joined), date + days
Value Minus(const Value& a, const Value& b);   // numbers, texts (trailing blanks moved), dates
Value Times(const Value& a, const Value& b);
Value Divide(const Value& a, const Value& b);
Value Modulo(const Value& a, const Value& b);
Value Negate(const Value& a);
Value Not(const Value& a);

// Comparisons of values of the same kind (numbers, texts, dates, logicals); "Less" of
// texts follows byte order. Other kinds raise an argument error; the answer must be a
// logical, anything else counts as false.
bool Less(const Value& a, const Value& b);
bool LessEqual(const Value& a, const Value& b);
bool Greater(const Value& a, const Value& b);
bool GreaterEqual(const Value& a, const Value& b);

}  // namespace xb
