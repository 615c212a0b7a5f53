#include "core/date.h"

#include <ctime>

namespace xb {

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12) return 0;
  return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

bool isValidYmd(int y, int m, int d) {
  return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

int32_t dayNumber(int y, int m, int d) {
  if (!isValidYmd(y, m, d)) return 0;
  // Gregorian calendar to Julian day number.
  int a = (14 - m) / 12;
  int yy = y + 4800 - a;
  int mm = m + 12 * a - 3;
  return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

Ymd ymdOf(int32_t jdn) {
  if (jdn <= 0) return {};
  int a = jdn + 32044;
  int b = (4 * a + 3) / 146097;
  int c = a - 146097 * b / 4;
  int d = (4 * c + 3) / 1461;
  int e = c - 1461 * d / 4;
  int m = (5 * e + 2) / 153;
  Ymd r;
  r.day = e - (153 * m + 2) / 5 + 1;
  r.month = m + 3 - 12 * (m / 10);
  r.year = 100 * b + d - 4800 + m / 10;
  return r;
}

int dayOfWeek(int32_t jdn) { return jdn <= 0 ? 0 : static_cast<int>((jdn + 1) % 7) + 1; }

int32_t today() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return dayNumber(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

}  // namespace xb
