#include <gtest/gtest.h>

#include "core/text.h"

namespace xb {
namespace {

TEST(TextTest, EveryCp850ByteSurvivesTheTripThroughUtf8) {
  for (int c = 1; c < 256; ++c) {
    std::string s(1, static_cast<char>(c));
    auto back = utf8ToCp(cpToUtf8(s));
    ASSERT_TRUE(back.has_value()) << c;
    EXPECT_EQ(*back, s) << c;
  }
}

TEST(TextTest, GermanLettersConvertAndChangeCase) {
  std::string s = cp("äöüßÄÖÜ");
  EXPECT_EQ(s, "\x84\x94\x81\xE1\x8E\x99\x9A");
  EXPECT_EQ(cpUpper(s), cp("ÄÖÜßÄÖÜ"));
  EXPECT_EQ(cpLower(cp("ÄÖÜ Straße")), cp("äöü straße"));
  for (unsigned char c : s) EXPECT_TRUE(cpIsAlpha(c));
  EXPECT_FALSE(cpIsAlpha(static_cast<unsigned char>(cp("½")[0])));
  EXPECT_FALSE(cpIsAlpha('1'));
}

TEST(TextTest, CharactersOutsideCp850AreRefused) {
  EXPECT_FALSE(utf8ToCp("5 €").has_value());
  EXPECT_FALSE(utf8ToCp("\xC3").has_value());  // cut sequence
  EXPECT_EQ(utf8ToCpLossy("5 €"), "5 ?");
}

TEST(TextTest, NamesCompareWithoutCase) {
  EXPECT_TRUE(iequals("XbpSle", "XBPSLE"));
  EXPECT_FALSE(iequals("XbpSle", "XbpSl"));
  EXPECT_TRUE(ILess()("abc", "ABD"));
}

}  // namespace
}  // namespace xb
