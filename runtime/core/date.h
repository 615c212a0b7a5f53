// Dates are day numbers (Julian day numbers); 0 is the empty date.
#pragma once
#include <cstdint>

namespace xb {

struct Ymd {
  int year = 0, month = 0, day = 0;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);
bool isValidYmd(int year, int month, int day);
// 0 when the date does not exist.
int32_t dayNumber(int year, int month, int day);
// The empty date gives {0, 0, 0}.
Ymd ymdOf(int32_t dayNumber);
// Day of week, 1 = Sunday ... 7 = Saturday; 0 for the empty date.
int dayOfWeek(int32_t dayNumber);
int32_t today();

}  // namespace xb
