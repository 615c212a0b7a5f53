// Number and date fields read eight characters at a time: the same values as the general
// reading, for every layout a table holds, and the general way for everything else.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "core/date.h"
#include "db/fieldparse.h"

namespace xb::test {
namespace {

using namespace db::fieldparse;

// The field's text placed `before` bytes into a buffer of other bytes, as in a record.
struct Placed {
  std::string buf;
  const char* raw;
  Placed(const std::string& text, int before, char filler = '#') : buf(static_cast<size_t>(before), filler) {
    buf += text;
    buf += "~~~~";  // the next field
    raw = buf.data() + before;
  }
};

// The value the general reading gives (from_chars over the trimmed text).
double generalValue(const std::string& text) {
  size_t b = text.find_first_not_of(' ');
  if (b == std::string::npos) return 0;
  size_t e = text.find_last_not_of(' ') + 1;
  double v = 0;
  auto [p, ec] = std::from_chars(text.data() + b, text.data() + e, v);
  EXPECT_TRUE(ec == std::errc() && p == text.data() + e) << text;
  return v;
}

TEST(NumberFieldTest, ReadsTheUsualLayoutsExactly) {
  struct Case {
    const char* text;
    int dec;
    double value;
  };
  const Case cases[] = {
      {"     12.50", 2, 12.5},          {"-1234.5678", 4, -1234.5678},   {"0.12345678", 8, 0.12345678},
      {"  -0.00", 2, -0.0},             {"       .50", 2, 0.5},          {"      -.5", 1, -0.5},
      {"         7", 0, 7},             {"-7", 0, -7},                   {"123456789012345", 0, 123456789012345.0},
      {"1234567.12345678", 8, 1234567.12345678}, {"   99999999.99", 2, 99999999.99}, {"0", 0, 0},
      {".50", 2, 0.5},                  {"-.5", 1, -0.5},                {"-12345678", 0, -12345678},
      {"   123456789.5", 1, 123456789.5},
  };
  for (const Case& c : cases) {
    for (int before : {16, 9}) {
      Placed p(c.text, before);
      double v = -1;
      ASSERT_TRUE(numberField(p.raw, static_cast<int>(std::strlen(c.text)), c.dec, before, v)) << c.text;
      EXPECT_EQ(v, c.value) << c.text;
      EXPECT_EQ(std::signbit(v), std::signbit(c.value)) << c.text;
    }
  }
}

// Left to the general reading, which knows these forms or calls them errors.
TEST(NumberFieldTest, LeavesEverythingElseToTheGeneralReading) {
  struct Case {
    const char* text;
    int dec;
  };
  const Case cases[] = {
      {"          ", 0},  // empty: zero, said by the general reading
      {"      1,25", 2},  {"      +7.5", 1},  {"  1.5     ", 1},  // point, sign or place of other writers
      {"     12.5 ", 2},  {"   1 2.50", 2},   {"    --1.0", 1},   {"    1-.00", 2},
      {"        -", 0},   {"         .", 0},  {"      1x.5", 1},  {"  12345.6", 2},
      {"1234567890123456", 0},                                   // more digits than a double holds exactly
  };
  for (const Case& c : cases) {
    const int len = static_cast<int>(std::strlen(c.text));
    Placed p(c.text, 16);
    double v = -1;
    EXPECT_FALSE(numberField(p.raw, len, c.dec, 16, v)) << c.text;
  }
  // Zeros where a writer left the field unset.
  Placed zeros(std::string("  \0\0\0.00", 9), 16);
  double v = -1;
  EXPECT_FALSE(numberField(zeros.raw, 9, 2, 16, v));
}

// Too close to the start of the buffer for the eight-byte reads: not read there at all.
TEST(NumberFieldTest, NeverReadsBeforeItsBuffer) {
  const std::string text = "   12.50";
  double v = 0;
  // As the first field of a record, behind the delete flag: the read reaching back 8 bytes
  // from the point would leave the buffer, so the caller reads it the general way.
  std::string rec = " " + text;
  EXPECT_FALSE(numberField(rec.data() + 1, static_cast<int>(text.size()), 2, 1, v));
  std::string longer = "12345678" + text;
  ASSERT_TRUE(numberField(longer.data() + 8, static_cast<int>(text.size()), 2, 8, v));
  EXPECT_EQ(v, 12.5);
}

// Random values in random field shapes, written as tables write them: the fast reading
// takes each one and gives the very double that the general reading gives.
TEST(NumberFieldTest, AgreesWithTheGeneralReadingOnWrittenNumbers) {
  std::mt19937_64 rng(20261211);
  int taken = 0;
  for (int i = 0; i < 20000; ++i) {
    const int dec = static_cast<int>(rng() % 9);
    const int len = dec + 2 + static_cast<int>(rng() % 14);
    const int intRoom = len - (dec ? dec + 1 : 0);
    const int intDigits = 1 + static_cast<int>(rng() % static_cast<uint64_t>(std::min(intRoom, 15 - dec)));
    const bool negative = rng() % 3 == 0 && intDigits < intRoom;
    const double scale = std::pow(10.0, intDigits - 1);
    double value = std::floor(static_cast<double>(rng() % 1000000007) / 1000000007.0 * 9 * scale + scale * (intDigits > 1));
    value += static_cast<double>(rng() % 100000000) / 1e8;
    if (negative) value = -value;
    char text[64];
    std::snprintf(text, sizeof text, "%*.*f", len, dec, value);
    if (static_cast<int>(std::strlen(text)) != len) continue;  // rounding made it one wider
    // Anywhere in a record, digits in the bytes before it.
    const int before = static_cast<int>(rng() % 24);
    Placed p(text, before, static_cast<char>('0' + rng() % 10));
    double v = 0;
    const bool fast = numberField(p.raw, len, dec, before, v);
    int digits = 0;
    for (char c : std::string(text)) digits += c >= '0' && c <= '9';
    // Written by the table's own rules (at most 15 digits) and with room for the reads
    // before it, it must be taken.
    if (digits <= 15 && before + len - (dec ? dec + 1 : 0) >= 16 && before + len >= 8) {
      ASSERT_TRUE(fast) << "'" << text << "' dec " << dec << " before " << before;
      ++taken;
    }
    if (fast) {
      ASSERT_EQ(v, generalValue(text)) << "'" << text << "' dec " << dec;
    }
  }
  EXPECT_GT(taken, 5000);
}

TEST(DateFieldTest, DayNumbersAcrossMonthsAndYears) {
  MonthMemo memo;
  int32_t day = -1;
  // Every day from 1999-12-01 to 2001-03-31 in order, then back and forth.
  std::vector<int32_t> days;
  for (int32_t d = dayNumber(1999, 12, 1); d <= dayNumber(2001, 3, 31); ++d) days.push_back(d);
  std::mt19937 rng(7);
  for (int i = 0; i < 500; ++i) days.push_back(dayNumber(1 + static_cast<int>(rng() % 9999), 1 + static_cast<int>(rng() % 12), 1 + static_cast<int>(rng() % 28)));
  for (int32_t d : days) {
    Ymd ymd = ymdOf(d);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", ymd.year, ymd.month, ymd.day);
    ASSERT_TRUE(dateField(text, memo, day)) << text;
    ASSERT_EQ(day, d) << text;
  }
}

// Days that do not exist are refused even right after a good day of the same month, whose
// numbers the memo still holds; the memo is not spoilt by them.
TEST(DateFieldTest, RefusesDaysThatDoNotExist) {
  MonthMemo memo;
  int32_t day = 0;
  struct Case {
    const char* text;
    bool read;
    int32_t day;
  };
  const Case cases[] = {
      {"20230215", true, dayNumber(2023, 2, 15)}, {"20230229", false, 0}, {"20230200", false, 0},
      {"20230228", true, dayNumber(2023, 2, 28)}, {"20240229", true, dayNumber(2024, 2, 29)},
      {"20241301", false, 0},                     {"00000101", false, 0}, {"00000000", true, 0},
      {"        ", false, 0},                     {"2024 101", false, 0}, {"2024-1-1", false, 0},
      {"19000229", false, 0},                     {"20000229", true, dayNumber(2000, 2, 29)},
      {"20000231", false, 0},                     {"20000230", false, 0}, {"20001231", true, dayNumber(2000, 12, 31)},
  };
  for (const Case& c : cases) {
    day = -1;
    EXPECT_EQ(dateField(c.text, memo, day), c.read) << c.text;
    if (c.read) {
      EXPECT_EQ(day, c.day) << c.text;
    }
  }
}

}  // namespace
}  // namespace xb::test
