#include "core/format.h"

#include <algorithm>
#include <charconv>
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
  bool hasYear = false;
  for (size_t i = 0; i < format.size(); ++i) {
    char k = lower(format[i]);
    if (k != 'd' && k != 'm' && k != 'y') continue;
    hasYear = hasYear || k == 'y';
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
  // A blank year is not "this century": the date is incomplete.
  if (hasYear && ylen == 0) return std::nullopt;
  if (ylen <= 2) y = expandYear(y);
  int32_t n = dayNumber(y, m, d);
  if (n == 0) return std::nullopt;
  return n;
}

std::optional<int32_t> dateFromText(std::string_view text) {
  return dateFromText(text, effectiveDateFormat());
}

bool roundedDigits(double v, int decimals, std::string& intDigits, std::string& fracDigits) {
  if (!std::isfinite(v)) return false;
  if (decimals < 0) decimals = 0;
  // Shortest round-trip text in fixed notation: at most 309 integer digits or 330 decimals.
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::fixed);
  if (res.ec != std::errc()) return false;
  std::string_view s(buf, static_cast<size_t>(res.ptr - buf));
  size_t dot = s.find('.');
  std::string_view ip = s.substr(0, dot);
  std::string_view fp = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
  size_t dec = static_cast<size_t>(decimals);
  intDigits.assign(ip);
  fracDigits.assign(fp.substr(0, std::min(dec, fp.size())));
  fracDigits.resize(dec, '0');
  if (fp.size() > dec && fp[dec] >= '5') {
    // Carry through the fraction into the integer part.
    bool carry = true;
    for (size_t i = fracDigits.size(); carry && i-- > 0;) {
      if (fracDigits[i] == '9') {
        fracDigits[i] = '0';
      } else {
        ++fracDigits[i];
        carry = false;
      }
    }
    for (size_t i = intDigits.size(); carry && i-- > 0;) {
      if (intDigits[i] == '9') {
        intDigits[i] = '0';
      } else {
        ++intDigits[i];
        carry = false;
      }
    }
    if (carry) intDigits.insert(intDigits.begin(), '1');
  }
  size_t nz = intDigits.find_first_not_of('0');
  intDigits.erase(0, nz == std::string::npos ? intDigits.size() : nz);
  return true;
}

NumberShape defaultNumberShape(double v, int width, int decimals) {
  if (width > 0) return {width, decimals < 0 ? 0 : decimals};
  int dec = decimals;
  if (dec < 0) dec = std::isfinite(v) && std::floor(v) != v ? setNumber(set::kDecimals) : 0;
  return {dec > 0 ? 10 + 1 + dec : 10, dec};
}

int expandYear(int y) {
  int epoch = setNumber(set::kEpoch);
  y += epoch / 100 * 100;
  if (y < epoch) y += 100;
  return y;
}

std::string numberToText(double v, int width, int decimals) {
  if (width <= 0) return {};
  if (decimals < 0) decimals = 0;
  std::string ip, fp;
  std::string stars(static_cast<size_t>(width), '*');
  if (!roundedDigits(v, decimals, ip, fp)) return stars;
  if (ip.empty()) ip = "0";
  bool zero = ip == "0" && fp.find_first_not_of('0') == std::string::npos;
  std::string body = (v < 0 && !zero ? "-" : "") + ip;
  if (decimals > 0) body += "." + fp;
  if (body.size() > static_cast<size_t>(width)) return stars;
  return std::string(static_cast<size_t>(width) - body.size(), ' ') + body;
}

std::string numberDefaultText(double v, int width, int decimals) {
  NumberShape s = defaultNumberShape(v, width, decimals);
  return numberToText(v, s.width, s.decimals);
}

}  // namespace xb
