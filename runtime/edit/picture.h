// The picture language: parsing a picture, laying out its template for one value, and the
// one formatting core that both Transform and the masked-edit engine use, so the engine's
// text with the focus is always Transform's text.
#pragma once
#include <string>
#include <string_view>

#include "core/value.h"

namespace xb::edit {

// The function part ("@" letters) and the template of a picture.
struct Picture {
  bool upper = false;       // @!  every character upper case
  bool alpha = false;       // @A  letters only
  bool R = false;           // @R  literals inserted between the value characters
  bool K = false;           // @K  first typed key empties the text
  bool B = false;           // @B  numbers left-justified
  bool Z = false;           // @Z  zero shown as blanks
  bool L = false;           // @L  integer positions padded with `fill`
  bool E = false;           // @E  "." and "," exchanged; dates day/month/year with "/"
  bool D = false;           // @D  date in the format of setting 4 (the default)
  bool parenFirst = false;  // @(  "(" in the first position of a negative number
  bool parenDigit = false;  // @)  "(" just left of the first digit
  bool CR = false;          // @C  " CR" after positive numbers
  bool DB = false;          // @X  " DB" after negative numbers
  char fill = '0';          // argument of @L
  int scroll = 0;           // argument of @S: visible width, 0 = no scrolling
  bool hasTemplate = false;
  std::string tmpl;
};

Picture parsePicture(std::string_view picture);

// What a position of the text is.
enum Role : char {
  kLiteral = 'l',  // shown as the template character, never editable
  kSlot = 'x',     // editable position of a character, date or logical
  kDigit = 'd',    // editable digit position of a number (9 # $ *)
  kPoint = 'p',    // the decimal point of a number
  kComma = 'c',    // a thousands separator of a number
  kSuffix = 's',   // " CR", " DB" or ")" after a number
};

// The template of a picture laid out for a value: one entry per position of the text.
struct Layout {
  char type = 'U';          // C, N, D, L, or U for NIL (and for values that cannot be shown)
  std::string tmpl;         // template character of each position
  std::string role;         // Role of each position
  std::string dateFormat;   // D: the format the text follows
  int point = -1;           // N: index of the decimal point, -1 without decimals
  int decimals = 0;         // N: digit positions after the point
  int suffix = 0;           // N: width of the suffix
  size_t size() const { return role.size(); }
  bool editable(size_t i) const { return role[i] == kSlot || role[i] == kDigit; }
};

// Raises no error: a value of a kind a picture cannot show gets an empty layout of type U.
void makeLayout(const Picture& p, const Value& v, Layout& out);
// The text of a value through its layout (the value must be of the layout's type, or NIL).
void formatInto(const Layout& l, const Picture& p, const Value& v, std::string& out);
// A number through a numeric layout; `negative` forces a sign on a zero (a lone "-" typed).
std::string formatNumber(const Layout& l, const Picture& p, double v, bool negative = false);

// Reads the number shown in a numeric text: digits, one sign and the decimal point of the
// layout; blanks, fill and separators are ignored. false when the text is no number (the
// overflow stars, a letter).
bool readNumber(const Layout& l, const Picture& p, std::string_view text, double& v, bool& negative);

// The empty text a first typed key leaves: blank editable positions, literals kept.
std::string emptyText(const Layout& l, const Picture& p);

// Is c allowed at position i (0-based)? Gives the character to store (upper-cased etc.).
bool accepts(const Layout& l, const Picture& p, size_t i, unsigned char c, unsigned char& stored);

// The date format of a date picture: "@E" day/month with "/", else setting 4 (with 40).
std::string dateFormatOf(const Picture& p);

}  // namespace xb::edit
