// Reading number and date fields eight characters at a time: the per-field step of every
// scan of a table, so the usual contents take a few instructions and anything else is left
// to the general (slower, more forgiving) path, which also gives the errors.
#pragma once
#include <bit>
#include <cstdint>
#include <cstring>

#include "core/date.h"

namespace xb::db::fieldparse {

[[gnu::always_inline]] inline uint64_t load8(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}

constexpr uint64_t kZeros = 0x3030303030303030ull;  // "00000000"
constexpr uint64_t kBlanks = 0x2020202020202020ull;

static_assert(std::endian::native == std::endian::little, "the first character is the lowest byte");

// True when all eight characters of w are digits.
[[gnu::always_inline]] inline bool allDigits(uint64_t w) {
  return ((w & 0xF0F0F0F0F0F0F0F0ull) | (((w + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) >> 4)) ==
         0x3333333333333333ull;
}

// The number written by eight digit characters, the first one the most significant.
[[gnu::always_inline]] inline uint32_t eightDigits(uint64_t w) {
  w -= kZeros;
  w = w * 10 + (w >> 8);  // pairs of digits
  const uint64_t mask = 0x000000FF000000FFull;
  w = (((w & mask) * 0x000F424000000064ull) + (((w >> 16) & mask) * 0x0000271000000001ull)) >> 32;
  return static_cast<uint32_t>(w);
}

// The eight bytes of w with all but the last n (0..8) characters made '0'.
[[gnu::always_inline]] inline uint64_t lastDigits(uint64_t w, int n) {
  // The bytes before the last n, for n = 0..8.
  static constexpr uint64_t kBefore[] = {~0ull,           (1ull << 56) - 1, (1ull << 48) - 1,
                                         (1ull << 40) - 1, (1ull << 32) - 1, (1ull << 24) - 1,
                                         (1ull << 16) - 1, (1ull << 8) - 1,  0};
  const uint64_t before = kBefore[n];
  return (w & ~before) | (kZeros & before);
}

// The value of the n (0..8) digit characters that end at `end`, or false when one of them is
// no digit. Reads the eight bytes before `end`, so end - 8 must lie inside the buffer.
[[gnu::always_inline]] inline bool digitsBefore(const char* end, int n, uint64_t& out) {
  const uint64_t w = lastDigits(load8(end - 8), n);
  if (!allDigits(w)) return false;
  out = eightDigits(w);
  return true;
}

// The same for up to sixteen digits; end - 16 must lie inside the buffer when n > 8.
[[gnu::always_inline]] inline bool digitsBefore16(const char* end, int n, uint64_t& out) {
  if (n <= 8) return digitsBefore(end, n, out);
  uint64_t hi = 0, lo = 0;
  if (!digitsBefore(end - 8, n - 8, hi) || !digitsBefore(end, 8, lo)) return false;
  out = hi * 100000000ull + lo;
  return true;
}

// Blanks at the start of the len characters at p.
[[gnu::always_inline]] inline int leadingBlanks(const char* p, int len) {
  int b = 0;
  for (; b + 8 <= len; b += 8) {
    const uint64_t x = load8(p + b) ^ kBlanks;
    if (x) return b + std::countr_zero(x) / 8;
  }
  while (b < len && p[b] == ' ') ++b;
  return b;
}


// What reading a number field of a given width and decimals, `before` bytes into its
// buffer, needs beyond its bytes: worked out once per field.
struct NumberShape {
  int len = 0;
  int intEnd = 0;            // where the whole digits end (the point, or the field's end)
  int dec = 0;
  int maxWholeDigits = 0;    // the eight-byte reads have room for this many; 0: never read so
  unsigned fractionBits = 0; // 8 * dec
  uint64_t fractionMask = 0; // the fraction's bytes in the field's last eight
  // The short way, for at most eight digits in all: the eight bytes before the point hold
  // the sign and the whole digits, anything before them is blank.
  bool shortWay = false;
  uint64_t outside = 0;      // bytes of those eight that lie before the field
  uint64_t head = 0;         // bytes of the field in the eight before those, which must be blank
};

inline NumberShape numberShape(int len, int dec, int before) {
  NumberShape n;
  if (dec > 8 || len < 1 || dec >= len) return n;
  n.len = len;
  n.dec = dec;
  n.intEnd = dec > 0 ? len - dec - 1 : len;
  // Reads end at the point and at the field's end and reach back 8 or 16 bytes.
  if (before + len >= 8 && before + n.intEnd >= 8) n.maxWholeDigits = before + n.intEnd >= 16 ? 15 : 8;
  n.fractionBits = 8 * static_cast<unsigned>(dec);
  n.fractionMask = dec > 0 ? ~0ull << (64 - n.fractionBits) : 0;
  n.shortWay = dec < 8 && n.maxWholeDigits > 0 &&
               (n.intEnd <= 8 || (n.intEnd <= 16 && before + n.intEnd >= 16));
  if (n.intEnd < 8) n.outside = n.intEnd == 0 ? ~0ull : (1ull << (8 * (8 - n.intEnd))) - 1;
  if (n.intEnd > 8 && n.intEnd <= 16) n.head = ~0ull << (8 * (16 - n.intEnd));
  return n;
}

// A number field as tables hold it: right-aligned, blanks before an optional minus sign,
// the decimal point where the field's decimals put it, at most 15 digits. False for
// anything else, which the caller reads the general way.
[[gnu::always_inline]] inline bool numberField(const char* raw, const NumberShape& shape, double& out) {
  static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  const int intEnd = shape.intEnd, dec = shape.dec;
  if (shape.shortWay && (dec == 0 || raw[intEnd] == '.') &&
      (shape.head == 0 || !((load8(raw + intEnd - 16) ^ kBlanks) & shape.head))) {
    // The eight bytes before the point, those before the field taken as blanks: blanks,
    // an optional minus sign, the whole digits.
    const uint64_t whole = (load8(raw + intEnd - 8) & ~shape.outside) | (kBlanks & shape.outside);
    const uint64_t marks = whole ^ kBlanks;  // zero bytes are blanks
    if (marks != 0) {
      const int lead = std::countr_zero(marks) / 8;
      const bool negative = ((whole >> (8 * lead)) & 0xFF) == '-';
      const int digits = 8 - lead - static_cast<int>(negative) + dec;
      if (digits > 0 && digits <= 8) {
        const uint64_t w = lastDigits((whole >> shape.fractionBits) | (load8(raw + shape.len - 8) & shape.fractionMask), digits);
        if (!allDigits(w)) return false;
        double v = static_cast<double>(eightDigits(w));
        if (dec > 0) v /= kPow10[dec];
        out = negative ? -v : v;
        return true;
      }
    }
  }
  if (shape.maxWholeDigits == 0) return false;
  if (dec > 0 && raw[intEnd] != '.') return false;
  int s = leadingBlanks(raw, intEnd);
  const bool negative = s < intEnd && raw[s] == '-';
  if (negative) ++s;
  const int intDigits = intEnd - s;
  const int digits = intDigits + dec;
  if (digits == 0 || digits > 15 || intDigits > shape.maxWholeDigits) return false;
  const char* end = raw + intEnd + (dec > 0 ? dec + 1 : 0);
  uint64_t mantissa = 0;
  if (digits <= 8) {
    // Whole digits and fraction digits side by side in one word, the point left out.
    uint64_t w = load8(end - 8);
    if (dec > 0) {
      const uint64_t whole = dec == 8 ? 0 : load8(raw + intEnd - 8) >> shape.fractionBits;
      w = whole | (w & shape.fractionMask);
    }
    w = lastDigits(w, digits);
    if (!allDigits(w)) return false;
    mantissa = eightDigits(w);
  } else {
    static constexpr uint64_t kIntPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    uint64_t whole = 0, fraction = 0;
    if (!digitsBefore16(raw + intEnd, intDigits, whole)) return false;
    if (dec > 0 && !digitsBefore(end, dec, fraction)) return false;
    mantissa = whole * kIntPow10[dec] + fraction;
  }
  // At most 15 digits: exact as a double, and one division by an exact power of ten gives
  // the correctly rounded value.
  double v = static_cast<double>(mantissa);
  if (dec > 0) v /= kPow10[dec];
  out = negative ? -v : v;
  return true;
}

// The same for a field of `len` characters with `dec` decimals, `before` bytes into its buffer.
inline bool numberField(const char* raw, int len, int dec, int before, double& out) {
  return numberField(raw, numberShape(len, dec, before), out);
}

// Day numbers of the month a date field named last, so the next date of the same month
// (tables are often in date order) needs no calendar arithmetic.
struct MonthMemo {
  uint64_t yearMonth = ~0ull;  // the six characters YYYYMM, as bytes
  int32_t dayZero = 0;         // day number of the day before the first
  uint32_t days = 0;
};

// Eight digits YYYYMMDD to a day number; "00000000", which some writers put for no date,
// is the empty date 0. False for anything else (blanks, garbage, a day that does not exist),
// which the caller sorts out the general way.
[[gnu::always_inline]] inline bool dateField(const char* raw, MonthMemo& memo, int32_t& day) {
  const uint64_t w = load8(raw);
  if (!allDigits(w)) return false;
  const uint64_t yearMonth = w & 0x0000FFFFFFFFFFFFull;
  const uint32_t dd = static_cast<uint32_t>((raw[6] - '0') * 10 + (raw[7] - '0'));
  if (yearMonth != memo.yearMonth) {
    if (w == kZeros) {
      day = 0;
      return true;
    }
    const uint32_t all = eightDigits(w);
    const int y = static_cast<int>(all / 10000), m = static_cast<int>(all / 100 % 100);
    const int n = daysInMonth(y, m);
    if (y < 1 || n == 0) return false;
    memo.yearMonth = yearMonth;
    memo.dayZero = dayNumber(y, m, 1) - 1;
    memo.days = static_cast<uint32_t>(n);
  }
  if (dd < 1 || dd > memo.days) return false;
  day = memo.dayZero + static_cast<int32_t>(dd);
  return true;
}

}  // namespace xb::db::fieldparse
