// Value functions of the runtime: Transform and the conversions and text helpers the
// toolkit and applications use. Text is CP850. An argument of a kind that makes no sense
// raises an argument error (genCode 1) through the error block; the handler's answer is the
// result when it has the right kind, else the empty result of the function.
#pragma once
#include <string>
#include <string_view>

#include "core/value.h"

namespace xb {

// A value formatted through a picture (see docs/picture-engine.md). NIL formats as the
// blank template ("" without one); arrays, objects and blocks and a picture that is
// neither text nor NIL are argument errors.
std::string Transform(const Value& v, const Value& picture);
std::string Transform(const Value& v, std::string_view picture);
std::string Transform(const Value& v, const char* picture);
std::string Transform(const Value& v, const std::string& picture);

// Number at the start of a text: leading blanks, a sign, digits, one ".", digits. The
// result remembers its decimals ("12.50" has 2). Text without a number gives 0.
Value Val(const Value& text);
// Number as text: Str(n) as QOut shows it (10 integer positions, and the decimals of the
// number or of setting 3 when it has a fraction), Str(n, w) right-aligned in w without
// decimals, Str(n, w, d) with d decimals; "*" in every position when it does not fit.
std::string Str(const Value& n, const Value& width = {}, const Value& decimals = {});
// Str padded with zeros on the left instead of blanks ("-" stays in front).
std::string StrZero(const Value& n, const Value& width = {}, const Value& decimals = {});

// Dates: text in the format of setting 4 (four-digit years with setting 40), "YYYYMMDD".
std::string DToC(const Value& date);
// Text to date in the order of setting 4; separators may be any non-digits ("1.5.26").
// A text that is no real date gives the empty date.
Value CToD(const Value& text);
std::string DToS(const Value& date);  // the empty date gives 8 blanks
Value SToD(const Value& text);

// Blanks removed: Trim/RTrim at the end, LTrim at the start, AllTrim at both ends.
std::string Trim(const Value& text);
std::string RTrim(const Value& text);
std::string LTrim(const Value& text);
std::string AllTrim(const Value& text);
// Padded to n characters with `fill` (default blank), cut to the first n when longer.
// Numbers, dates and logicals are padded in their text form without surrounding blanks.
std::string PadL(const Value& v, const Value& n, const Value& fill = {});
std::string PadR(const Value& v, const Value& n, const Value& fill = {});
std::string PadC(const Value& v, const Value& n, const Value& fill = {});

// Empty: blank text (blank, tab, CR, LF only), 0, the empty date, false, NIL, an empty
// array. Objects and blocks are never empty.
bool Empty(const Value& v);

std::string Upper(const Value& text);
std::string Lower(const Value& text);
std::string Left(const Value& text, const Value& n);
std::string Right(const Value& text, const Value& n);
// SubStr(s, start [, count]): start from 1; a negative start counts from the end.
std::string SubStr(const Value& text, const Value& start, const Value& count = {});
std::string Space(const Value& n);
std::string Replicate(const Value& text, const Value& n);
// The smaller / larger of two numbers or two dates.
Value Min(const Value& a, const Value& b);
Value Max(const Value& a, const Value& b);

}  // namespace xb
