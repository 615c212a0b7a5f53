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

// A number right-aligned in `width` with `decimals` decimals, rounded half away from zero;
// "*" in every position when it does not fit.
std::string numberToText(double v, int width, int decimals);
// The text a number has without a picture: its own width/decimals when it has them, else
// 10 integer positions and, for a fraction, setting 3 decimals.
std::string numberDefaultText(double v, int width = -1, int decimals = -1);

}  // namespace xb
