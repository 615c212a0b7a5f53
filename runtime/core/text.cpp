#include "core/text.h"

#include <algorithm>
#include <array>

namespace xb {
namespace {

constexpr std::array<char16_t, 128> kHigh = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8,
    0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2,
    0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1,
    0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD,
    0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2,
    0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534,
    0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560,
    0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, 0x00D3, 0x00DF, 0x00D4,
    0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD,
    0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8, 0x00B0,
    0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0};

// Lower-case letter -> upper-case letter pairs above 127.
constexpr std::array<std::pair<unsigned char, unsigned char>, 30> kCasePairs = {{
    {0x81, 0x9A}, {0x82, 0x90}, {0x83, 0xB6}, {0x84, 0x8E}, {0x85, 0xB7}, {0x86, 0x8F},
    {0x87, 0x80}, {0x88, 0xD2}, {0x89, 0xD3}, {0x8A, 0xD4}, {0x8B, 0xD8}, {0x8C, 0xD7},
    {0x8D, 0xDE}, {0x91, 0x92}, {0x93, 0xE2}, {0x94, 0x99}, {0x95, 0xE3}, {0x96, 0xEA},
    {0x97, 0xEB}, {0x9B, 0x9D}, {0xA0, 0xB5}, {0xA1, 0xD6}, {0xA2, 0xE0}, {0xA3, 0xE9},
    {0xA4, 0xA5}, {0xC6, 0xC7}, {0xD0, 0xD1}, {0xE4, 0xE5}, {0xE7, 0xE8}, {0xEC, 0xED},
}};

struct Tables {
  std::array<unsigned char, 256> upper{};
  std::array<unsigned char, 256> lower{};
  std::array<unsigned char, 256> flags{};  // 1 letter, 2 upper, 4 lower
  Tables() {
    for (int c = 0; c < 256; ++c) upper[c] = lower[c] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c) {
      upper[c] = static_cast<unsigned char>(c - 32);
      lower[c - 32] = static_cast<unsigned char>(c);
      flags[c] = 1 | 4;
      flags[c - 32] = 1 | 2;
    }
    for (auto [lo, up] : kCasePairs) {
      upper[lo] = up;
      lower[up] = lo;
      flags[lo] = 1 | 4;
      flags[up] = 1 | 2;
    }
    // Letters without a case partner in this code page: ß, ÿ, dotless i.
    for (unsigned char c : {0xE1, 0x98, 0xD5}) flags[c] = 1 | 4;
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

void appendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

// Decodes one UTF-8 sequence at s[i]; advances i. Returns nullopt for malformed input.
std::optional<char32_t> decodeUtf8(std::string_view s, size_t& i) {
  auto b0 = static_cast<unsigned char>(s[i]);
  int len = b0 < 0x80 ? 1 : (b0 >> 5) == 6 ? 2 : (b0 >> 4) == 14 ? 3 : (b0 >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) {
    ++i;
    return std::nullopt;
  }
  char32_t u = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
  for (int k = 1; k < len; ++k) {
    auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      i += k;
      return std::nullopt;
    }
    u = (u << 6) | (b & 0x3F);
  }
  i += len;
  return u;
}

}  // namespace

bool cpIsAlpha(unsigned char c) { return tables().flags[c] & 1; }
bool cpIsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool cpIsAlnum(unsigned char c) { return cpIsAlpha(c) || cpIsDigit(c); }
bool cpIsUpper(unsigned char c) { return tables().flags[c] & 2; }
bool cpIsLower(unsigned char c) { return tables().flags[c] & 4; }
unsigned char cpUpper(unsigned char c) { return tables().upper[c]; }
unsigned char cpLower(unsigned char c) { return tables().lower[c]; }

std::string cpUpper(std::string_view s) {
  std::string r(s);
  for (auto& ch : r) ch = static_cast<char>(cpUpper(static_cast<unsigned char>(ch)));
  return r;
}
std::string cpLower(std::string_view s) {
  std::string r(s);
  for (auto& ch : r) ch = static_cast<char>(cpLower(static_cast<unsigned char>(ch)));
  return r;
}

char32_t cpToUnicode(unsigned char c) { return c < 0x80 ? c : kHigh[c - 0x80]; }

std::optional<unsigned char> unicodeToCp(char32_t u) {
  if (u < 0x80) return static_cast<unsigned char>(u);
  for (size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == u) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

std::string cpToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (unsigned char c : s) appendUtf8(out, cpToUnicode(c));
  return out;
}

std::optional<std::string> utf8ToCp(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    auto u = decodeUtf8(s, i);
    if (!u) return std::nullopt;
    auto c = unicodeToCp(*u);
    if (!c) return std::nullopt;
    out += static_cast<char>(*c);
  }
  return out;
}

std::string utf8ToCpLossy(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    auto u = decodeUtf8(s, i);
    auto c = u ? unicodeToCp(*u) : std::nullopt;
    out += c ? static_cast<char>(*c) : '?';
  }
  return out;
}

bool iequals(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return cpUpper(static_cast<unsigned char>(x)) == cpUpper(static_cast<unsigned char>(y));
         });
}

bool ILess::operator()(std::string_view a, std::string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return cpUpper(static_cast<unsigned char>(x)) < cpUpper(static_cast<unsigned char>(y));
  });
}

}  // namespace xb
