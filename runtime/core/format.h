// Text forms of numbers and dates shared by output, the value functions and the engines.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace xb {

// The date format in force: setting 4, with four-digit years when setting 40 is on even
// if the format says "yy".
std::string effectiveDateFormat();
// Date as text in the given format ("dd.mm.yyyy", "mm/dd/yy", ...); the empty date keeps
// the separators and blanks the digits.
std::string dateToText(int32_t day, std::string_view format);
std::string dateToText(int32_t day);
// Parses a date in the given format. All blank gives the empty date (0); nullopt when the
// text is not a real calendar date. Two-digit years use the epoch of setting 5.
std::optional<int32_t> dateFromText(std::string_view text, std::string_view format);
std::optional<int32_t> dateFromText(std::string_view text);

// The decimal digits of |v| rounded half away from zero to `decimals` places, taken from the
// shortest text that reads back as v, so 2.675 rounds to 2.68 as the user sees it. The
// integer part has no leading zeros ("" for 0); the fraction has exactly `decimals` digits.
// false for NaN and infinities.
bool roundedDigits(double v, int decimals, std::string& intDigits, std::string& fracDigits);

// Width and decimals of a number shown without a picture: its own width/decimals when it
// has them; else 10 integer positions and its own decimals, or setting 3 decimals when it
// has a fractional part.
struct NumberShape {
  int width;
  int decimals;
};
NumberShape defaultNumberShape(double v, int width = -1, int decimals = -1);

// A two-digit year in the century window of setting 5 (epoch 1950: 49 -> 2049, 50 -> 1950).
int expandYear(int twoDigitYear);

// A number right-aligned in `width` with `decimals` decimals, rounded half away from zero;
// "*" in every position when it does not fit.
std::string numberToText(double v, int width, int decimals);
// The text a number has without a picture, in the shape of defaultNumberShape.
std::string numberDefaultText(double v, int width = -1, int decimals = -1);

}  // namespace xb
