// Text in code page 850, the application's character set, and its edges to UTF-8.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace xb {

// Letters are the letters of code page 850, umlauts included.
bool cpIsAlpha(unsigned char c);
bool cpIsDigit(unsigned char c);
bool cpIsAlnum(unsigned char c);
bool cpIsUpper(unsigned char c);
bool cpIsLower(unsigned char c);
unsigned char cpUpper(unsigned char c);
unsigned char cpLower(unsigned char c);
std::string cpUpper(std::string_view s);
std::string cpLower(std::string_view s);

// Unicode code point of a CP850 byte, and the byte of a code point (nullopt: not in CP850).
char32_t cpToUnicode(unsigned char c);
std::optional<unsigned char> unicodeToCp(char32_t u);

std::string cpToUtf8(std::string_view cp850);
// Converts UTF-8 to CP850. Returns nullopt when a character cannot be held (or the UTF-8 is
// malformed); `lossy` instead replaces such characters with '?'.
std::optional<std::string> utf8ToCp(std::string_view utf8);
std::string utf8ToCpLossy(std::string_view utf8);

// Case-insensitive comparison for class, member and method names.
bool iequals(std::string_view a, std::string_view b);
struct ILess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

// German literals in the source are written in UTF-8 and converted once with this.
inline std::string cp(std::string_view utf8) { return utf8ToCpLossy(utf8); }

}  // namespace xb
