#include "edit/picture.h"

#include <cctype>
#include <charconv>
#include <cstring>

#include "core/format.h"
#include "core/settings.h"
#include "core/text.h"

namespace xb::edit {
namespace {

constexpr std::string_view kFunctionLetters = "!ARKSBZLEDC()X";
constexpr std::string_view kCharSlots = "9#ANX!LY";

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isCharSlot(char c) { return kCharSlots.find(c) != std::string_view::npos; }
bool isNumberSlot(char c) { return c == '9' || c == '#' || c == '$' || c == '*'; }

}  // namespace

Picture parsePicture(std::string_view pic) {
  Picture p;
  size_t i = 0;
  if (!pic.empty() && pic[0] == '@') {
    for (i = 1; i < pic.size() && pic[i] != ' '; ++i) {
      switch (upperAscii(pic[i])) {
        case '!': p.upper = true; break;
        case 'A': p.alpha = true; break;
        case 'R': p.R = true; break;
        case 'K': p.K = true; break;
        case 'B': p.B = true; break;
        case 'Z': p.Z = true; break;
        case 'E': p.E = true; break;
        case 'D': p.D = true; break;
        case '(': p.parenFirst = true; break;
        case ')': p.parenDigit = true; break;
        case 'C': p.CR = true; break;
        case 'X': p.DB = true; break;
        case 'L':
          p.L = true;
          // "@L_" pads with "_": the argument is one character that is no function letter,
          // and no digit but "0" (a "9" as fill could not be told from a digit).
          if (i + 1 < pic.size() && pic[i + 1] != ' ' &&
              kFunctionLetters.find(upperAscii(pic[i + 1])) == std::string_view::npos &&
              (!isDigit(pic[i + 1]) || pic[i + 1] == '0') && !std::isalpha(static_cast<unsigned char>(pic[i + 1]))) {
            p.fill = pic[++i];
          }
          break;
        case 'S':
          p.scroll = 0;
          while (i + 1 < pic.size() && isDigit(pic[i + 1]) && p.scroll < 100000) {
            p.scroll = p.scroll * 10 + (pic[++i] - '0');
          }
          break;
        default: break;  // unknown letters are ignored
      }
    }
    if (i < pic.size()) ++i;  // the blank that ends the function part
  }
  p.tmpl.assign(pic.substr(i));
  p.hasTemplate = !p.tmpl.empty();
  return p;
}

std::string dateFormatOf(const Picture& p) {
  if (p.E) return setFlag(set::kCentury) ? "dd/mm/yyyy" : "dd/mm/yy";
  return effectiveDateFormat();
}

void makeLayout(const Picture& p, const Value& v, Layout& l) {
  l.tmpl.clear();
  l.role.clear();
  l.dateFormat.clear();
  l.point = -1;
  l.decimals = 0;
  l.suffix = 0;
  switch (v.type()) {
    case Type::Nil:
    case Type::Character: {
      l.type = v.isNil() ? 'U' : 'C';
      if (p.hasTemplate) {
        l.tmpl = p.tmpl;
        l.role.resize(l.tmpl.size());
        for (size_t i = 0; i < l.tmpl.size(); ++i) l.role[i] = isCharSlot(l.tmpl[i]) ? kSlot : kLiteral;
      } else {
        l.tmpl.assign(v.str().size(), 'X');
        l.role.assign(v.str().size(), kSlot);
      }
      return;
    }
    case Type::Numeric: {
      l.type = 'N';
      if (p.hasTemplate) {
        l.tmpl = p.tmpl;
      } else {
        const Number& n = v.number();
        NumberShape s = defaultNumberShape(n.value, n.width, n.decimals);
        int intDigits = s.width - (s.decimals > 0 ? s.decimals + 1 : 0);
        l.tmpl.assign(static_cast<size_t>(intDigits > 0 ? intDigits : 0), '9');
        if (s.decimals > 0) {
          l.tmpl += '.';
          l.tmpl.append(static_cast<size_t>(s.decimals), '9');
        }
      }
      l.role.resize(l.tmpl.size());
      for (size_t i = 0; i < l.tmpl.size(); ++i) {
        char c = l.tmpl[i];
        if (isNumberSlot(c)) {
          l.role[i] = kDigit;
          if (l.point >= 0) ++l.decimals;
        } else if (c == '.' && l.point < 0) {
          l.role[i] = kPoint;
          l.point = static_cast<int>(i);
        } else if (c == ',' && l.point < 0) {
          l.role[i] = kComma;
        } else {
          l.role[i] = kLiteral;
        }
      }
      l.suffix = (p.parenFirst || p.parenDigit ? 1 : 0) + (p.CR || p.DB ? 3 : 0);
      l.tmpl.append(static_cast<size_t>(l.suffix), ' ');
      l.role.append(static_cast<size_t>(l.suffix), kSuffix);
      return;
    }
    case Type::Date: {
      l.type = 'D';
      l.dateFormat = dateFormatOf(p);
      l.tmpl = l.dateFormat;
      l.role.resize(l.tmpl.size());
      for (size_t i = 0; i < l.tmpl.size(); ++i) {
        char k = static_cast<char>(l.tmpl[i] | 0x20);
        bool digit = k == 'd' || k == 'm' || k == 'y';
        if (digit) l.tmpl[i] = '9';
        l.role[i] = digit ? kSlot : kLiteral;
      }
      return;
    }
    case Type::Logical: {
      l.type = 'L';
      if (!p.hasTemplate) {
        l.tmpl = "L";
        l.role.assign(1, kSlot);
        return;
      }
      // The first placeholder shows the logical; further placeholders stay blank.
      l.tmpl = p.tmpl;
      l.role.assign(l.tmpl.size(), kLiteral);
      bool found = false;
      for (size_t i = 0; i < l.tmpl.size(); ++i) {
        if (!isCharSlot(l.tmpl[i])) continue;
        if (found) {
          l.tmpl[i] = ' ';
        } else {
          l.role[i] = kSlot;
          found = true;
        }
      }
      return;
    }
    default:
      l.type = 'U';  // arrays, objects and blocks have no text
      return;
  }
}

std::string formatNumber(const Layout& l, const Picture& p, double v, bool forceNegative) {
  const size_t n = l.size();
  const size_t body = n - static_cast<size_t>(l.suffix);
  std::string ip, fp;
  if (!roundedDigits(v, l.decimals, ip, fp)) return std::string(n, '*');
  const bool zero = ip.empty() && fp.find_first_not_of('0') == std::string::npos;
  const bool neg = (v < 0 && !zero) || forceNegative;
  if (zero && p.Z && !forceNegative) return std::string(n, ' ');

  std::string out = l.tmpl;
  const size_t intEnd = l.point >= 0 ? static_cast<size_t>(l.point) : body;
  constexpr char kFree = '\0';
  // Integer digits right-aligned; a zero integer part shows "0" where there is room.
  bool hasIntSlot = false;
  for (size_t i = 0; i < intEnd; ++i) hasIntSlot = hasIntSlot || l.role[i] == kDigit;
  if (ip.empty() && hasIntSlot) ip = "0";
  size_t k = ip.size();
  size_t firstDigit = intEnd;
  for (size_t i = intEnd; i-- > 0;) {
    if (l.role[i] != kDigit) continue;
    if (k > 0) {
      out[i] = ip[--k];
      firstDigit = i;
    } else {
      out[i] = kFree;
    }
  }
  auto overflow = [n] { return std::string(n, '*'); };
  if (k > 0) return overflow();

  const bool paren = p.parenFirst || p.parenDigit;
  size_t signPos = std::string::npos;
  if (neg) {
    if (p.parenFirst) {
      if (l.role[0] == kDigit && out[0] != kFree) return overflow();
      signPos = 0;
    } else if (p.L && !paren) {
      for (size_t i = 0; i < intEnd && signPos == std::string::npos; ++i) {
        if (l.role[i] == kDigit) signPos = i;
      }
      if (signPos == std::string::npos || out[signPos] != kFree) return overflow();
    } else {
      if (firstDigit == 0) return overflow();
      size_t s = firstDigit - 1;
      bool free = (l.role[s] == kDigit && out[s] == kFree) || l.role[s] == kComma;
      if (!free) return overflow();
      signPos = s;
    }
    out[signPos] = paren ? '(' : '-';
  }
  const char sep = p.E ? '.' : ',';
  for (size_t i = 0; i < intEnd; ++i) {
    if (l.role[i] == kDigit && out[i] == kFree) {
      char t = l.tmpl[i];
      out[i] = t == '$' ? '$' : t == '*' ? '*' : p.L ? p.fill : ' ';
    } else if (l.role[i] == kComma && i != signPos) {
      // A comma shows when a digit stands to its left, the fill of $ / * / @L otherwise.
      size_t j = i;
      while (j > 0 && l.role[j - 1] == kComma) --j;
      char c = ' ';
      if (j > 0 && l.role[j - 1] == kDigit) {
        char left = out[j - 1];
        if (isDigit(left)) c = sep;
        else if (left != '-' && left != '(' && left != ' ') c = left;
      }
      out[i] = c;
    }
  }
  if (l.point >= 0) {
    out[static_cast<size_t>(l.point)] = p.E ? ',' : '.';
    size_t f = 0;
    for (size_t i = static_cast<size_t>(l.point) + 1; i < body; ++i) {
      if (l.role[i] == kDigit) out[i] = fp[f++];
    }
  }
  if (l.suffix) {
    size_t i = body;
    if (paren) out[i++] = neg ? ')' : ' ';
    if (p.CR || p.DB) {
      const char* s = (neg && p.DB) ? " DB" : (!neg && !zero && p.CR) ? " CR" : "   ";
      std::memcpy(&out[i], s, 3);
    }
  }
  if (p.B) {
    size_t lead = 0;
    while (lead < body && out[lead] == ' ') ++lead;
    if (lead > 0 && lead < body) {
      out.erase(0, lead);
      out.insert(body - lead, lead, ' ');
    }
  }
  return out;
}

void formatInto(const Layout& l, const Picture& p, const Value& v, std::string& out) {
  switch (l.type) {
    case 'C':
    case 'U': {
      const std::string& s = v.str();
      out = l.tmpl;
      size_t k = 0;
      for (size_t i = 0; i < out.size(); ++i) {
        if (l.role[i] != kSlot) continue;
        char c = p.R ? (k < s.size() ? s[k++] : ' ') : (i < s.size() ? s[i] : ' ');
        if (p.upper || l.tmpl[i] == '!') c = static_cast<char>(cpUpper(static_cast<unsigned char>(c)));
        out[i] = c;
      }
      return;
    }
    case 'N': out = formatNumber(l, p, v.num()); return;
    case 'D': out = dateToText(v.date(), l.dateFormat); return;
    case 'L': {
      out = l.tmpl;
      for (size_t i = 0; i < out.size(); ++i) {
        if (l.role[i] != kSlot) continue;
        bool yn = l.tmpl[i] == 'Y';
        out[i] = v.logical() ? (yn ? 'Y' : 'T') : (yn ? 'N' : 'F');
      }
      return;
    }
    default: out.clear(); return;
  }
}

bool readNumber(const Layout& l, const Picture& p, std::string_view text, double& v, bool& negative) {
  const size_t body = l.size() - static_cast<size_t>(l.suffix);
  const char dp = p.E ? ',' : '.';
  bool starFill = false;
  for (size_t i = 0; i < body; ++i) starFill = starFill || (l.role[i] == kDigit && l.tmpl[i] == '*');
  // Overflow: all stars (a number always shows a digit), or a star where none can be.
  if (!text.empty() && text.find_first_not_of('*') == std::string_view::npos) return false;
  if (l.point >= 0 && static_cast<size_t>(l.point) < text.size() && text[static_cast<size_t>(l.point)] == '*') {
    return false;
  }
  std::string num;
  std::string frac;
  bool seenPoint = false;
  negative = false;
  for (size_t i = 0; i < body && i < text.size(); ++i) {
    char r = l.role[i];
    char c = text[i];
    if (r == kLiteral && c == '*' && l.tmpl[i] != '*') return false;  // overflow covers literals too
    if (r == kLiteral && (!p.B || c == l.tmpl[i])) continue;
    // @B moves the digits away from their template positions: find the point by its character.
    bool inFraction = p.B ? seenPoint : (l.point >= 0 && static_cast<int>(i) > l.point);
    if (isDigit(c)) {
      (inFraction ? frac : num) += c;
    } else if (c == '-' || c == '(') {
      negative = true;
    } else if (p.B && c == dp && !seenPoint) {
      seenPoint = true;
    } else if (c == ' ' || c == '+' || c == ',' || c == '.' || c == '$' || (p.L && c == p.fill) ||
               (c == '*' && starFill)) {
      continue;
    } else {
      return false;  // the overflow stars or a character that is no part of a number
    }
  }
  for (size_t i = body; i < text.size() && i < l.size(); ++i) {
    if (text[i] == ')' || (text[i] == 'D' && i + 1 < text.size() && text[i + 1] == 'B')) negative = true;
  }
  if (num.empty()) num = "0";
  if (!frac.empty()) num += "." + frac;
  double r = 0;
  auto res = std::from_chars(num.data(), num.data() + num.size(), r);
  if (res.ec != std::errc()) return false;
  v = negative && r != 0 ? -r : r;
  return true;
}

std::string emptyText(const Layout& l, const Picture& p) {
  std::string out = l.tmpl;
  for (size_t i = 0; i < out.size(); ++i) {
    switch (l.role[i]) {
      case kSlot:
      case kDigit:
      case kComma:
      case kSuffix: out[i] = ' '; break;
      case kPoint: out[i] = p.E ? ',' : '.'; break;
      default: break;
    }
  }
  return out;
}

bool accepts(const Layout& l, const Picture& p, size_t i, unsigned char c, unsigned char& stored) {
  if (i >= l.size() || c < 32 || c == 127) return false;
  const char t = l.tmpl[i];
  const bool digit = c >= '0' && c <= '9';
  const unsigned char u = cpUpper(c);
  stored = c;
  switch (l.type) {
    case 'N':
      if (l.role[i] != kDigit) return false;
      if (digit) return true;
      if (t == '9') return c == '-' || c == '+';
      if (t == '#') return c == '-' || c == '+' || c == ' ';
      return false;
    case 'D': return l.role[i] == kSlot && digit;
    case 'L':
      if (l.role[i] != kSlot) return false;
      if (t == 'Y') {
        stored = u;
        return u == 'Y' || u == 'N';
      }
      // T/F field: "Y" and "N" are taken as "T" and "F", so the text stays what it shows.
      if (u != 'T' && u != 'F' && u != 'Y' && u != 'N') return false;
      stored = (u == 'T' || u == 'Y') ? 'T' : 'F';
      return true;
    default: break;
  }
  if (l.role[i] != kSlot) return false;
  bool ok = false;
  switch (t) {
    case '9': ok = digit; break;
    case '#': ok = digit || c == '+' || c == '-' || c == ' '; break;
    case 'A': ok = cpIsAlpha(c); break;
    case 'N': ok = cpIsAlnum(c); break;
    case 'L': ok = u == 'T' || u == 'F' || u == 'Y' || u == 'N'; stored = u; break;
    case 'Y': ok = u == 'Y' || u == 'N'; stored = u; break;
    default: ok = true; break;  // X and !
  }
  if (ok && p.alpha && !cpIsAlpha(c)) ok = false;
  if (p.upper || t == '!') stored = cpUpper(stored);
  return ok;
}

}  // namespace xb::edit
