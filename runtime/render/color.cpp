#include "render/color.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace xb::render {
namespace {

// Classic VGA-like palette; the "light" half is the bright variant of the first.
constexpr std::array<Rgb, 16> kPalette = {{
    {0, 0, 0},       {0, 0, 170},     {0, 170, 0},     {0, 170, 170},
    {170, 0, 0},     {170, 0, 170},   {170, 85, 0},    {192, 192, 192},
    {128, 128, 128}, {85, 85, 255},   {85, 255, 85},   {85, 255, 255},
    {255, 85, 85},   {255, 85, 255},  {255, 255, 85},  {255, 255, 255},
}};

struct SysColour {
  int number;
  std::string_view name;
  Rgb rgb;
};

// A quiet, light look close to the classic desktop it imitates.
constexpr std::array<SysColour, 33> kSystem = {{
    {-1, "scrollbar", {212, 208, 200}},
    {-2, "desktop", {58, 110, 165}},
    {-3, "activetitle", {10, 36, 106}},
    {-4, "inactivetitle", {128, 128, 128}},
    {-5, "menu", {240, 240, 240}},
    {-6, "window", {255, 255, 255}},
    {-7, "windowframe", {0, 0, 0}},
    {-8, "menutext", {0, 0, 0}},
    {-9, "windowtext", {0, 0, 0}},
    {-10, "titletext", {255, 255, 255}},
    {-11, "activeborder", {212, 208, 200}},
    {-12, "inactiveborder", {212, 208, 200}},
    {-13, "appworkspace", {128, 128, 128}},
    {-14, "highlight", {49, 106, 197}},
    {-15, "highlighttext", {255, 255, 255}},
    {-16, "buttonface", {225, 225, 225}},
    {-17, "buttonshadow", {160, 160, 160}},
    {-18, "graytext", {128, 128, 128}},
    {-19, "buttontext", {0, 0, 0}},
    {-20, "inactivetitletext", {212, 208, 200}},
    {-21, "buttonhighlight", {255, 255, 255}},
    {-22, "darkshadow", {105, 105, 105}},
    {-23, "light", {227, 227, 227}},
    {-24, "infotext", {0, 0, 0}},
    {-25, "infobackground", {255, 255, 225}},
    {-27, "hotlight", {0, 102, 204}},
    {-28, "activetitlegradient", {166, 202, 240}},
    {-29, "inactivetitlegradient", {192, 192, 192}},
    {-30, "menuhighlight", {49, 106, 197}},
    {-31, "menubar", {240, 240, 240}},
    {-45, "dialog", {240, 240, 240}},
    {-46, "focusframe", {0, 0, 0}},
    {-47, "entryfield", {255, 255, 255}},
}};

const SysColour* findSystem(double colour) {
  for (const auto& s : kSystem)
    if (s.number == colour) return &s;
  return nullptr;
}

}  // namespace

std::optional<Rgb> rgbOf(double colour) {
  if (!std::isfinite(colour)) return std::nullopt;
  if (colour >= 16777216) {
    // Same decomposition as the graphics functions; components beyond 255 cannot be shown.
    double x = colour - 16777216;
    double b = std::floor(x / 65536);
    x -= b * 65536;
    double g = std::floor(x / 256);
    x -= g * 256;
    if (b > 255) return std::nullopt;
    auto c = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
    return Rgb{c(x), c(g), c(b)};
  }
  if (colour >= 0) {
    if (colour > 15 || colour != std::floor(colour)) return std::nullopt;
    return kPalette[static_cast<size_t>(colour)];
  }
  if (const SysColour* s = findSystem(colour)) return s->rgb;
  return std::nullopt;
}

Rgb rgbOr(double colour, Rgb fallback) { return rgbOf(colour).value_or(fallback); }

std::string_view systemColourName(double colour) {
  const SysColour* s = findSystem(colour);
  return s ? s->name : std::string_view{};
}

double rgbNumber(int r, int g, int b) {
  auto c = [](int v) { return std::clamp(v, 0, 255); };
  return c(r) + c(g) * 256.0 + c(b) * 65536.0 + 16777216.0;
}

}  // namespace xb::render
