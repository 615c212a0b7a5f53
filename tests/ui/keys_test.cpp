#include <gtest/gtest.h>

#include "core/text.h"
#include "ui/keys.h"

namespace xb::key {
namespace {

struct KeyCase {
  const char* name;
  int code;
};

// Every key the toolkit's key tables name, with the code it must arrive as.
const KeyCase kTableKeys[] = {
    {"Esc", 27},               {"Alt+F4", 327795},         {"Tab", 9},
    {"Shift+Tab", 131081},     {"Enter", 13},              {"Down", 65576},
    {"Up", 65574},             {"Ctrl+Home", 589860},      {"Ctrl+End", 589859},
    {"Shift+Right", 196647},   {"Shift+Left", 196645},     {"Shift+End", 196643},
    {"Shift+Home", 196644},    {"Ctrl+U", 21},             {"Ctrl+Left", 589861},
    {"Ctrl+Right", 589863},    {"Left", 65573},            {"Right", 65575},
    {"Home", 65572},           {"End", 65571},             {"Ins", 65581},
    {"Ctrl+Ins", 589869},      {"Shift+Ins", 196653},      {"Backspace", 8},
    {"Del", 65582},            {"Shift+Del", 196654},      {"Ctrl+T", 20},
    {"Ctrl+Y", 25},            {"Ctrl+Backspace", 524415}, {"F4", 65651},
    {"Shift+Up", 196646},      {"Shift+Down", 196648},     {"Space", 32},
};

TEST(KeyNames, EveryTableKeyComesOutOfItsNameExactly) {
  for (auto& k : kTableKeys) {
    auto code = codeOfName(k.name);
    ASSERT_TRUE(code.has_value()) << k.name;
    EXPECT_EQ(*code, k.code) << k.name;
  }
}

TEST(KeyNames, NameOfCodeGivesANameThatReadsBackToTheCode) {
  for (auto& k : kTableKeys) {
    std::string n = nameOfCode(k.code);
    EXPECT_EQ(codeOfName(n), k.code) << k.name << " named " << n;
  }
  EXPECT_EQ(nameOfCode(327795), "Alt+F4");
  EXPECT_EQ(nameOfCode(131081), "Shift+Tab");
  EXPECT_EQ(nameOfCode(589860), "Ctrl+Home");
}

TEST(KeyNames, ModifiersCombineInAnyOrderAndWithoutRegardToCase) {
  EXPECT_EQ(codeOfName("ctrl+shift+left"), codeOfName("Shift+Ctrl+Left"));
  EXPECT_EQ(*codeOfName("Ctrl+Shift+Left"), 65536 + 0x25 + 131072 + 524288);
  EXPECT_EQ(codeOfName("escape"), 27);
  EXPECT_EQ(codeOfName("PageDown"), codeOfName("PgDn"));
}

TEST(KeyNames, CharactersAreTheirCodePage850Codes) {
  EXPECT_EQ(codeOfName("a"), 'a');
  EXPECT_EQ(codeOfName("Shift+a"), 'A');
  EXPECT_EQ(codeOfName("ä"), 0x84);
  EXPECT_EQ(codeOfName("ß"), 0xE1);
  EXPECT_EQ(nameOfCode(0x84), "ä");
  EXPECT_EQ(codeOfName("65651"), 65651) << "a number is the code itself";
  EXPECT_EQ(codeOfName("Ctrl+C"), 3);
}

TEST(KeyNames, KeypadAndFunctionKeysHaveRowsOfTheirOwn) {
  EXPECT_EQ(codeOfName("F1"), 65536 + 0x70);
  EXPECT_EQ(codeOfName("F12"), 65536 + 0x7B);
  EXPECT_EQ(codeOfName("Num7"), 65536 + 0x67);
  EXPECT_EQ(nameOfCode(65536 + 0x67), "Num7");
}

TEST(KeyNames, UnknownNamesAreRefused) {
  for (const char* bad : {"", "F0", "F25", "Hyper+A", "Ctrl+", "€", "abc", "Shift+", "-3"})
    EXPECT_FALSE(codeOfName(bad).has_value()) << bad;
}

}  // namespace
}  // namespace xb::key
