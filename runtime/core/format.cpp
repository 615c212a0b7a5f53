#include "core/format.h"

#include <cmath>
#include <cstdio>

#include "core/date.h"
#include "core/settings.h"

namespace xb {

std::string effectiveDateFormat() {
  std::string f = setText(set::kDateFormat);
  if (f.empty()) f = "mm/dd/yy";
  bool century = setFlag(set::kCentury);
  auto lower = [](char c) { return static_cast<char>(c | 0x20); };
  // Count the y run and widen or narrow it to the century setting.
  size_t start = std::string::npos, len = 0;
  for (size_t i = 0; i < f.size(); ++i) {
    if (lower(f[i]) == 'y') {
      if (start == std::string::npos) start = i;
      ++len;
    }
  }
  if (start != std::string::npos) {
    f.replace(start, len, century ? "yyyy" : "yy");
  }
  return f;
}

std::string dateToText(int32_t day, std::string_view format) {
  Ymd d = ymdOf(day);
  std::string out(format);
  auto lower = [](char c) { return static_cast<char>(c | 0x20); };
  auto fill = [&](char key, int value) {
    size_t count = 0;
    for (char c : out)
      if (lower(c) == key) ++count;
    if (!count) return;
    std::string digits(count, ' ');
    if (day != 0) {
      std::string s = std::to_string(value);
      while (s.size() < count) s.insert(s.begin(), '0');
      digits = s.substr(s.size() - count);
    }
    size_t k = 0;
    for (char& c : out)
      if (lower(c) == key) c = digits[k++];
  };
  fill('d', d.day);
  fill('m', d.month);
  fill('y', d.year);
  return out;
}

std::string dateToText(int32_t day) { return dateToText(day, effectiveDateFormat()); }

std::optional<int32_t> dateFromText(std::string_view text, std::string_view format) {
  auto lower = [](char c) { return static_cast<char>(c | 0x20); };
  bool blank = true;
  for (size_t i = 0; i < format.size(); ++i) {
    char k = lower(format[i]);
    if ((k == 'd' || k == 'm' || k == 'y') && i < text.size() && text[i] != ' ') blank = false;
  }
  if (blank) return 0;
  int d = 0, m = 0, y = 0, ylen = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    char k = lower(format[i]);
    if (k != 'd' && k != 'm' && k != 'y') continue;
    char c = i < text.size() ? text[i] : ' ';
    if (c == ' ') continue;
    if (c < '0' || c > '9') return std::nullopt;
    int digit = c - '0';
    if (k == 'd') d = d * 10 + digit;
    if (k == 'm') m = m * 10 + digit;
    if (k == 'y') {
      y = y * 10 + digit;
      ++ylen;
    }
  }
  if (ylen <= 2) {
    int epoch = setNumber(set::kEpoch);
    int century = epoch / 100 * 100;
    y += century;
    if (y < epoch) y += 100;
  }
  int32_t n = dayNumber(y, m, d);
  if (n == 0) return std::nullopt;
  return n;
}

std::optional<int32_t> dateFromText(std::string_view text) {
  return dateFromText(text, effectiveDateFormat());
}

std::string numberToText(double v, int width, int decimals) {
  if (width <= 0) return {};
  if (decimals < 0) decimals = 0;
  double scale = std::pow(10.0, decimals);
  double r = std::round(std::fabs(v) * scale) / scale;
  if (v < 0) r = -r;
  char buf[512];
  int n = std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, r);
  if (n < 0 || n > width || !std::isfinite(v)) return std::string(static_cast<size_t>(width), '*');
  return buf;
}

std::string numberDefaultText(double v, int width, int decimals) {
  if (width > 0) return numberToText(v, width, decimals < 0 ? 0 : decimals);
  bool fraction = std::floor(v) != v;
  int dec = fraction ? setNumber(set::kDecimals) : 0;
  return numberToText(v, dec ? 10 + 1 + dec : 10, dec);
}

}  // namespace xb
