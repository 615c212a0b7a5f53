#include "render/color.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace xb::render {
namespace {

TEST(Colour, PaletteSystemAndRgbNumbers) {
  struct Case {
    double colour;
    Rgb rgb;
  };
  const Case cases[] = {
      {0, {0, 0, 0}},          {1, {0, 0, 170}},        {7, {192, 192, 192}},
      {8, {128, 128, 128}},    {12, {255, 85, 85}},     {15, {255, 255, 255}},
      {-47, {255, 255, 255}},  {-6, {255, 255, 255}},   {-14, {49, 106, 197}},
      {16777216, {0, 0, 0}},   {16974337, {1, 2, 3}},   {33554431, {255, 255, 255}},
      {16777216 + 255, {255, 0, 0}},
  };
  for (const Case& c : cases) {
    auto got = rgbOf(c.colour);
    ASSERT_TRUE(got) << c.colour;
    EXPECT_EQ(*got, c.rgb) << c.colour;
  }
}

TEST(Colour, NumbersThatAreNoColour) {
  for (double c : {16.0, 16777215.0, 3.5, -26.0, -48.0, -1000.0, 33554432.0,
                   std::numeric_limits<double>::quiet_NaN()})
    EXPECT_FALSE(rgbOf(c)) << c;
  EXPECT_EQ(rgbOr(-1000, {1, 2, 3}), (Rgb{1, 2, 3}));
}

TEST(Colour, RgbNumberClampsAndRoundTrips) {
  EXPECT_EQ(rgbNumber(1, 2, 3), 16974337);
  EXPECT_EQ(rgbNumber(300, -5, 128), 25166079);
  EXPECT_EQ(*rgbOf(rgbNumber(10, 200, 30)), (Rgb{10, 200, 30}));
}

TEST(Colour, SystemColoursHaveNames) {
  EXPECT_EQ(systemColourName(-47), "entryfield");
  EXPECT_EQ(systemColourName(sysclr::kHighlight), "highlight");
  EXPECT_EQ(systemColourName(3), "");
}

}  // namespace
}  // namespace xb::render
