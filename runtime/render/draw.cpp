#include "render/draw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "core/text.h"

namespace xb::render {

Rect Rect::intersect(const Rect& o) const {
  double l = std::max(x, o.x), t = std::max(y, o.y);
  double r = std::min(right(), o.right()), b = std::min(bottom(), o.bottom());
  if (r <= l || b <= t) return {l, t, 0, 0};
  return {l, t, r - l, b - t};
}

Rect Rect::unite(const Rect& o) const {
  if (o.empty()) return *this;
  if (empty()) return o;
  double l = std::min(x, o.x), t = std::min(y, o.y);
  return {l, t, std::max(right(), o.right()) - l, std::max(bottom(), o.bottom()) - t};
}

Font parseFont(const std::string& name) {
  Font f;
  std::string rest = name;
  size_t dot = name.find('.');
  if (dot != std::string::npos && dot > 0) {
    std::string size = name.substr(0, dot);
    char* end = nullptr;
    double pts = std::strtod(size.c_str(), &end);
    if (end == size.c_str() + size.size() && pts > 0) {
      f.points = pts;
      rest = name.substr(dot + 1);
    }
  }
  // Trailing style words.
  std::istringstream in(rest);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  while (!words.empty()) {
    if (iequals(words.back(), "Bold")) f.bold = true;
    else if (iequals(words.back(), "Italic")) f.italic = true;
    else break;
    words.pop_back();
  }
  if (!words.empty()) {
    std::string fam;
    for (const auto& w : words) fam += (fam.empty() ? "" : " ") + w;
    f.family = fam;
  }
  return f;
}

std::string compoundName(const Font& f) {
  std::ostringstream out;
  if (f.points == std::floor(f.points)) out << static_cast<long>(f.points);
  else out << f.points;
  out << '.' << f.family;
  if (f.bold) out << " Bold";
  if (f.italic) out << " Italic";
  return out.str();
}

}  // namespace xb::render
