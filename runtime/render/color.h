// Colour numbers of the runtime and the RGB they stand for.
//  0 .. 15      the 16-colour palette (0 black, 1 blue, ... 7 light grey, 8 dark grey, 15 white)
//  negative     system colours: -(i + 1) for the Windows system colour index i (-1 scroll bar,
//               -6 window, -16 button face, ...) and the runtime's own -45 .. -47
//  16777216 ..  RGB numbers: R + G * 256 + B * 65536 + 16777216
// Anything else (16 .. 16777215, fractions of a palette index, NaN) is no colour.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace xb::render {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace clr {
// Palette.
inline constexpr double kBlack = 0, kBlue = 1, kGreen = 2, kCyan = 3, kRed = 4, kMagenta = 5,
                        kBrown = 6, kPaleGray = 7, kDarkGray = 8, kLightBlue = 9,
                        kLightGreen = 10, kLightCyan = 11, kLightRed = 12, kLightMagenta = 13,
                        kYellow = 14, kWhite = 15;
}  // namespace clr

namespace sysclr {
// System colours (Windows system colour index i is -(i + 1)).
inline constexpr double kScrollBar = -1, kDesktop = -2, kActiveTitle = -3,
                        kInactiveTitle = -4, kMenu = -5, kWindow = -6, kWindowFrame = -7,
                        kMenuText = -8, kWindowText = -9, kTitleText = -10,
                        kActiveBorder = -11, kInactiveBorder = -12, kAppWorkspace = -13,
                        kHighlight = -14, kHighlightText = -15, kButtonFace = -16,
                        kButtonShadow = -17, kGrayText = -18, kButtonText = -19,
                        kInactiveTitleText = -20, kButtonHighlight = -21, kDarkShadow = -22,
                        kLight = -23, kInfoText = -24, kInfoBackground = -25,
                        kHotLight = -27, kActiveTitleGradient = -28,
                        kInactiveTitleGradient = -29, kMenuHighlight = -30, kMenuBar = -31;
// The runtime's own: dialog background, the frame of a focused part, and the background of
// entry fields and lists (the combo-box field's default background).
inline constexpr double kDialog = -45, kFocusFrame = -46, kEntryField = -47;
}  // namespace sysclr

// The RGB of a colour number; nullopt when the number is no colour.
std::optional<Rgb> rgbOf(double colour);
// The RGB of a colour number, or `fallback` for a number that is no colour.
Rgb rgbOr(double colour, Rgb fallback);

// Names of the system colours for documentation and scripts ("window", "highlight", ...);
// empty for a number that is not a system colour.
std::string_view systemColourName(double colour);

// The RGB colour number of components (clamped to 0..255).
double rgbNumber(int r, int g, int b);

}  // namespace xb::render
