#include "edit/valfuncs.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/date.h"
#include "core/error.h"
#include "core/format.h"
#include "core/text.h"
#include "edit/picture.h"

namespace xb {
namespace {

// Texts longer than this are refused instead of exhausting memory.
constexpr double kMaxText = 16.0 * 1024 * 1024;
// Str and friends: widths and decimals beyond this are no numbers anyone prints.
constexpr double kMaxWidth = 1024;

Value argError(const char* op, std::initializer_list<Value> args, int gen = gen::kArgument) {
  auto e = makeError(gen, gen == gen::kStringOverflow ? "String overflow" : "Argument error", op);
  e->args = arrayValue(args);
  e->canSubstitute = true;
  return substituteError(e);
}

std::string textError(const char* op, std::initializer_list<Value> args, int gen = gen::kArgument) {
  Value r = argError(op, args, gen);
  return r.isChar() ? r.str() : std::string();
}

// A count argument: a number from 0 up to `max`; NIL gives `dflt` when allowed.
bool countArg(const Value& v, double max, long long& out) {
  if (!v.isNum() || !std::isfinite(v.num())) return false;
  double d = std::trunc(v.num());
  if (d > max) return false;
  out = d < 0 ? 0 : static_cast<long long>(d);
  return true;
}

bool isBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string padText(const char* op, const Value& v, const Value& n, const Value& fill, int where) {
  std::string s;
  switch (v.type()) {
    case Type::Character: s = v.str(); break;
    case Type::Numeric: s = AllTrim(Value(numberDefaultText(v.num(), v.number().width, v.number().decimals))); break;
    case Type::Date: s = dateToText(v.date()); break;
    case Type::Logical: s = v.logical() ? "T" : "F"; break;
    default: return textError(op, {v, n, fill});
  }
  long long len = 0;
  if (!countArg(n, kMaxText, len)) {
    return textError(op, {v, n, fill}, n.isNum() ? gen::kStringOverflow : gen::kArgument);
  }
  char f = ' ';
  if (fill.isChar() && !fill.str().empty()) f = fill.str()[0];
  else if (!fill.isNil() && !fill.isChar()) return textError(op, {v, n, fill});
  size_t want = static_cast<size_t>(len);
  if (s.size() >= want) return s.substr(0, want);
  size_t gap = want - s.size();
  size_t left = where < 0 ? gap : where == 0 ? gap / 2 : 0;
  return std::string(left, f) + s + std::string(gap - left, f);
}

}  // namespace

// ---- Transform ----

std::string Transform(const Value& v, std::string_view picture) {
  if (v.isArray() || v.isObject() || v.isBlock()) {
    return textError("TRANSFORM", {v, Value(picture)});
  }
  edit::Picture p = edit::parsePicture(picture);
  edit::Layout l;
  edit::makeLayout(p, v, l);
  std::string out;
  edit::formatInto(l, p, v, out);
  return out;
}

std::string Transform(const Value& v, const char* picture) {
  return Transform(v, std::string_view(picture ? picture : ""));
}

std::string Transform(const Value& v, const std::string& picture) {
  return Transform(v, std::string_view(picture));
}

std::string Transform(const Value& v, const Value& picture) {
  if (picture.isNil()) return Transform(v, std::string_view());
  if (!picture.isChar()) return textError("TRANSFORM", {v, picture});
  return Transform(v, std::string_view(picture.str()));
}

// ---- numbers ----

Value Val(const Value& text) {
  if (!text.isChar()) {
    Value r = argError("VAL", {text});
    return r.isNum() ? r : Value(0);
  }
  const std::string& s = text.str();
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  std::string digits;
  int decimals = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9') {
      digits += c;
      if (point) ++decimals;
    } else if (c == '.' && !point) {
      point = true;
      digits += c;
    } else {
      break;
    }
  }
  double v = 0;
  if (!digits.empty() && digits != ".") {
    if (digits[0] == '.') digits.insert(digits.begin(), '0');
    std::from_chars(digits.data(), digits.data() + digits.size(), v);
  }
  if (neg && v != 0) v = -v;
  return Value::number(v, -1, decimals);
}

std::string Str(const Value& n, const Value& width, const Value& decimals) {
  if (!n.isNum()) return textError("STR", {n, width, decimals});
  if (width.isNil()) return numberDefaultText(n.num(), n.number().width, n.number().decimals);
  long long w = 0, d = 0;
  if (!countArg(width, kMaxWidth, w) || w < 1 || (!decimals.isNil() && !countArg(decimals, kMaxWidth, d))) {
    return textError("STR", {n, width, decimals});
  }
  return numberToText(n.num(), static_cast<int>(w), static_cast<int>(d));
}

std::string StrZero(const Value& n, const Value& width, const Value& decimals) {
  std::string s = Str(n, width, decimals);
  if (!n.isNum() || s.empty() || s[0] == '*') return s;
  size_t lead = s.find_first_not_of(' ');
  if (lead == std::string::npos) return s;
  bool neg = s[lead] == '-';
  if (neg) s.erase(lead, 1), s.insert(0, 1, '-'), ++lead;
  for (size_t i = neg ? 1 : 0; i < lead; ++i) s[i] = '0';
  return s;
}

// ---- dates ----

std::string DToC(const Value& date) {
  if (!date.isDate()) return textError("DTOC", {date});
  return dateToText(date.date());
}

Value CToD(const Value& text) {
  if (!text.isChar()) {
    Value r = argError("CTOD", {text});
    return r.isDate() ? r : Value::date(0);
  }
  const std::string& s = text.str();
  std::string fmt = effectiveDateFormat();
  if (s.size() == fmt.size()) {
    if (auto d = dateFromText(s, fmt)) return Value::date(*d);
  }
  if (s.find_first_not_of(' ') == std::string::npos) return Value::date(0);
  // Free form: three groups of digits in the order of the format.
  std::string order;
  for (char c : fmt) {
    char k = static_cast<char>(c | 0x20);
    if ((k == 'd' || k == 'm' || k == 'y') && order.find(k) == std::string::npos) order += k;
  }
  int parts[3] = {0, 0, 0};
  size_t lens[3] = {0, 0, 0};
  size_t g = 0;
  for (size_t i = 0; i < s.size();) {
    if (s[i] < '0' || s[i] > '9') {
      ++i;
      continue;
    }
    if (g == 3) return Value::date(0);
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      if (lens[g] < 5) parts[g] = parts[g] * 10 + (s[i] - '0');
      ++lens[g];
      ++i;
    }
    ++g;
  }
  if (g != 3 || order.size() != 3) return Value::date(0);
  int d = 0, m = 0, y = 0;
  for (size_t k = 0; k < 3; ++k) {
    if (order[k] == 'd') d = parts[k];
    if (order[k] == 'm') m = parts[k];
    if (order[k] == 'y') y = lens[k] <= 2 ? expandYear(parts[k]) : parts[k];
  }
  return Value::date(dayNumber(y, m, d));
}

std::string DToS(const Value& date) {
  if (!date.isDate()) return textError("DTOS", {date});
  if (date.date() == 0) return std::string(8, ' ');
  Ymd d = ymdOf(date.date());
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.year % 10000, d.month, d.day);
  return buf;
}

Value SToD(const Value& text) {
  if (!text.isChar()) {
    Value r = argError("STOD", {text});
    return r.isDate() ? r : Value::date(0);
  }
  const std::string& s = text.str();
  if (s.size() != 8) return Value::date(0);
  int n[3] = {0, 0, 0};
  const int widths[3] = {4, 2, 2};
  size_t i = 0;
  for (int k = 0; k < 3; ++k) {
    for (int j = 0; j < widths[k]; ++j, ++i) {
      if (s[i] < '0' || s[i] > '9') return Value::date(0);
      n[k] = n[k] * 10 + (s[i] - '0');
    }
  }
  return Value::date(dayNumber(n[0], n[1], n[2]));
}

// ---- text ----

std::string RTrim(const Value& text) {
  if (!text.isChar()) return textError("RTRIM", {text});
  const std::string& s = text.str();
  size_t e = s.find_last_not_of(' ');
  return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

std::string Trim(const Value& text) {
  if (!text.isChar()) return textError("TRIM", {text});
  return RTrim(text);
}

std::string LTrim(const Value& text) {
  if (!text.isChar()) return textError("LTRIM", {text});
  const std::string& s = text.str();
  size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

std::string AllTrim(const Value& text) {
  if (!text.isChar()) return textError("ALLTRIM", {text});
  const std::string& s = text.str();
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

std::string PadL(const Value& v, const Value& n, const Value& fill) { return padText("PADL", v, n, fill, -1); }
std::string PadR(const Value& v, const Value& n, const Value& fill) { return padText("PADR", v, n, fill, 1); }
std::string PadC(const Value& v, const Value& n, const Value& fill) { return padText("PADC", v, n, fill, 0); }

bool Empty(const Value& v) {
  switch (v.type()) {
    case Type::Nil: return true;
    case Type::Character:
      for (char c : v.str())
        if (!isBlankChar(c)) return false;
      return true;
    case Type::Numeric: return v.num() == 0;
    case Type::Date: return v.date() == 0;
    case Type::Logical: return !v.logical();
    case Type::Array: return v.array()->size() == 0;
    default: return false;
  }
}

std::string Upper(const Value& text) {
  if (!text.isChar()) return textError("UPPER", {text});
  return cpUpper(text.str());
}

std::string Lower(const Value& text) {
  if (!text.isChar()) return textError("LOWER", {text});
  return cpLower(text.str());
}

std::string Left(const Value& text, const Value& n) {
  long long k = 0;
  if (!text.isChar() || !countArg(n, 1e18, k)) return textError("LEFT", {text, n});
  return text.str().substr(0, static_cast<size_t>(std::min<long long>(k, static_cast<long long>(text.str().size()))));
}

std::string Right(const Value& text, const Value& n) {
  long long k = 0;
  if (!text.isChar() || !countArg(n, 1e18, k)) return textError("RIGHT", {text, n});
  const std::string& s = text.str();
  size_t c = static_cast<size_t>(std::min<long long>(k, static_cast<long long>(s.size())));
  return s.substr(s.size() - c);
}

std::string SubStr(const Value& text, const Value& start, const Value& count) {
  if (!text.isChar() || !start.isNum() || !std::isfinite(start.num()) ||
      (!count.isNil() && (!count.isNum() || !std::isfinite(count.num())))) {
    return textError("SUBSTR", {text, start, count});
  }
  const std::string& s = text.str();
  long long len = static_cast<long long>(s.size());
  long long b = static_cast<long long>(std::max(-1e18, std::min(1e18, std::trunc(start.num()))));
  if (b < 0) b = std::max(0LL, len + b);  // from the end
  else if (b > 0) b -= 1;
  if (b >= len) return {};
  long long c = len - b;
  if (!count.isNil()) c = std::min(c, static_cast<long long>(std::max(0.0, std::min(1e18, std::trunc(count.num())))));
  return s.substr(static_cast<size_t>(b), static_cast<size_t>(c));
}

std::string Space(const Value& n) {
  long long k = 0;
  if (!countArg(n, kMaxText, k)) return textError("SPACE", {n}, n.isNum() ? gen::kStringOverflow : gen::kArgument);
  return std::string(static_cast<size_t>(k), ' ');
}

std::string Replicate(const Value& text, const Value& n) {
  long long k = 0;
  if (!text.isChar() || !n.isNum()) return textError("REPLICATE", {text, n});
  if (!countArg(n, kMaxText, k) || static_cast<double>(k) * static_cast<double>(text.str().size()) > kMaxText) {
    return textError("REPLICATE", {text, n}, gen::kStringOverflow);
  }
  std::string out;
  out.reserve(static_cast<size_t>(k) * text.str().size());
  for (long long i = 0; i < k; ++i) out += text.str();
  return out;
}

Value Min(const Value& a, const Value& b) {
  if (a.isNum() && b.isNum()) return b.num() < a.num() ? b : a;
  if (a.isDate() && b.isDate()) return b.date() < a.date() ? b : a;
  return argError("MIN", {a, b});
}

Value Max(const Value& a, const Value& b) {
  if (a.isNum() && b.isNum()) return b.num() > a.num() ? b : a;
  if (a.isDate() && b.isDate()) return b.date() > a.date() ? b : a;
  return argError("MAX", {a, b});
}

}  // namespace xb
