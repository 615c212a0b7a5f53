#include <cmath>
#include <limits>

#include "core/date.h"
#include "core/text.h"
#include "edit/valfuncs.h"
#include "edit_fixture.h"

namespace xb::test {
namespace {

Value D(int y, int m, int d) { return Value::date(dayNumber(y, m, d)); }

struct TransformCase {
  const char* what;
  Value value;
  Value picture;
  std::string text;
};

void PrintTo(const TransformCase& c, std::ostream* os) { *os << c.what; }

class TransformTable : public EditTest, public ::testing::WithParamInterface<TransformCase> {};

TEST_P(TransformTable, FormatsThroughPicture) {
  const auto& c = GetParam();
  EXPECT_EQ(Transform(c.value, c.picture), c.text) << c.what;
  EXPECT_TRUE(errors.empty()) << c.what;
}

// clang-format off
const TransformCase kCharacter[] = {
    {"literal replaces a value character", "START", "99:99XXXXXXXXX", "ST:RT         "},
    {"@R inserts literals", "2134567890", "@R (999)999-9999", "(213)456-7890"},
    {"@R with a short value", "21345", "@R (999)999-9999", "(213)45 -    "},
    {"@! alone", "abc", "@!", "ABC"},
    {"@! upper-cases umlauts", cp("äöü"), "@!", cp("ÄÖÜ")},
    {"! template character", cp("äbc"), "!XX", cp("Äbc")},
    {"@! with a template", "abcd", "@! XX-X", "AB-D"},
    {"no picture", "abc", "", "abc"},
    {"NIL picture", "abc", Value(), "abc"},
    {"only @", "abc", "@", "abc"},
    {"@ and a blank", "abc", "@ XXXX", "abc "},
    {"template shorter than the value", "abcdef", "XXX", "abc"},
    {"template longer than the value", "ab", "XXXX", "ab  "},
    {"placeholders show any character", "ab12", "99AA", "ab12"},
    {"A N L Y # show the value", "aZ5y#", "ANLY#", "aZ5y#"},
    {"numeric-only characters are literals for text", "abcd", "X$*.", "a$*."},
    {"lower-case letters are literals", "abcd", "XxXx", "axcx"},
    {"unknown function letter ignored", "abc", "@Q XX", "ab"},
    {"function part without blank is all functions", "abc", "@!XX", "ABC"},
    {"@S is display width only", "abcdef", "@S3", "abcdef"},
    {"@K does not change the text", "abc", "@K XXX", "abc"},
    {"NIL through a template", Value(), "(XXX)", "(   )"},
    {"NIL without template", Value(), "", ""},
    {"empty string", "", "XX", "  "},
};

const TransformCase kNumber[] = {
    {"comma and decimals", 1234.5, "9,999.99", "1,234.50"},
    {"dollar fill", 12.5, "$$$.99", "$12.50"},
    {"negative", -12.5, "999.99", "-12.50"},
    {"overflow", 1000, "999.99", "******"},
    {"@Z zero", 0, "@Z 999", "   "},
    {"@Z zero with decimals blanks the point", 0, "@Z 9,999.99", "        "},
    {"@Z non-zero", 7, "@Z 999", "  7"},
    {"zero", 0, "999", "  0"},
    {"zero integer part", 0.5, "999.99", "  0.50"},
    {"negative below one", -0.5, "999.99", " -0.50"},
    {"half away from zero as printed", 2.675, "9.99", "2.68"},
    {"half away from zero 1.005", 1.005, "9.99", "1.01"},
    {"negative half away from zero", -2.675, "99.99", "-2.68"},
    {"rounding to integer", 123.5, "999", "124"},
    {"rounding to integer negative", -0.5, "99", "-1"},
    {"rounding carries into overflow", 9.995, "9.99", "****"},
    {"negative rounding to zero has no sign", -0.001, "9.99", "0.00"},
    {"no room for the sign", -123, "999", "***"},
    {"sign next to the digits", -12, "999", "-12"},
    {"comma blank without digit to its left", 123, "9,999", "  123"},
    {"sign takes the blank comma", -123, "9,999", " -123"},
    {"two commas", 1234567, "9,999,999", "1,234,567"},
    {"@E exchanges point and comma", 1234.5, "@E 9,999.99", "1.234,50"},
    {"@L zeros", 5, "@L 999", "005"},
    {"@L sign in front", -5, "@L 999", "-05"},
    {"@L comma between zeros", 12.5, "@L 9,999.99", "0,012.50"},
    {"@L with fill argument", 12, "@L_ 9999", "__12"},
    {"@L digit argument is no fill", 12, "@L5 999", "012"},
    {"@L0 is the zero fill", 12, "@L0 999", "012"},
    {"@( with @C: negative gets blanks for CR", -5, "@(C 999", "( 5)   "},
    {"character functions do not touch numbers", 12.5, "@R!A 99.9", "12.5"},
    {"@S does not cut numbers", 12345, "@S2 99999", "12345"},
    {"rounding 0.125", 0.125, "9.99", "0.13"},
    {"shortest decimal text 0.1 + 0.2", 0.1 + 0.2, "9.99999999999999999", "0.30000000000000004"},
    {"@B left-justified", 12, "@B 9999", "12  "},
    {"@B with decimals", 1.5, "@B 999.99", "1.50  "},
    {"@( negative", -5, "@( 999", "( 5)"},
    {"@( positive keeps the width", 5, "@( 999", "  5 "},
    {"@( negative needs the first position", -123, "@( 999", "****"},
    {"@) negative", -5, "@) 999", " (5)"},
    {"@C positive", 5, "@C 999", "  5 CR"},
    {"@C negative gets blanks", -5, "@C 999", " -5   "},
    {"@C zero gets blanks", 0, "@C 999", "  0   "},
    {"@X negative", -5, "@X 999", " -5 DB"},
    {"@X positive gets blanks", 5, "@X 999", "  5   "},
    {"@( and @X together", -5, "@(X 999", "( 5) DB"},
    {"@( overflow covers the suffix", 10000, "@( 999", "****"},
    {"star fill", 12.5, "***.99", "*12.50"},
    {"star fill through commas", 12, "***,***", "*****12"},
    {"star fill with digit left of comma", 1234, "***,***", "**1,234"},
    {"dollar fill through commas", 12, "$$$,$$9", "$$$$$12"},
    {"# placeholder", 42, "####", "  42"},
    {"literal text", 5, "99 kg", " 5 kg"},
    {"decimal point without integer places", 0.5, ".99", ".50"},
    {"negative without integer places", -0.5, ".99", "***"},
    {"point without decimals", 12, "999.", " 12."},
    {"default integer", 5, "", "         5"},
    {"default fraction", 12.5, "", "        12.50"},
    {"default negative", -5, Value(), "        -5"},
    {"default from table field width", Value::number(12.5, 6, 1), "", "  12.5"},
    {"default from table field no decimals", Value::number(3, 5, 0), "", "    3"},
    {"default overflow", 12345678901.0, "", "**********"},
    {"@Z on default template", 0, "@Z", "          "},
    {"@E on default template", 1234.5, "@E", "      1234,50"},
    {"infinity", std::numeric_limits<double>::infinity(), "999", "***"},
    {"NaN", std::nan(""), "99.9", "****"},
    {"huge", 1e300, "999", "***"},
};

const TransformCase kDate[] = {
    {"setting 4 with century", D(1990, 9, 15), "", "15.09.1990"},
    {"empty date keeps separators", Value::date(0), "", "  .  .    "},
    {"@D is the default", D(1990, 9, 15), "@D", "15.09.1990"},
    {"@E day/month with slash", D(1990, 9, 15), "@E", "15/09/1990"},
    {"a template does not change a date", D(1990, 9, 15), "99/99", "15.09.1990"},
    {"leap day", D(2024, 2, 29), "", "29.02.2024"},
};

const TransformCase kLogical[] = {
    {"Y true", true, "Y", "Y"},
    {"Y false", false, "Y", "N"},
    {"default true", true, "", "T"},
    {"L false", false, "L", "F"},
    {"@! only", true, "@!", "T"},
    {"literals around", true, "[Y]", "[Y]"},
    {"second placeholder blank", true, "YY", "Y "},
    {"X placeholder is T/F", false, "X", "F"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Character, TransformTable, ::testing::ValuesIn(kCharacter));
INSTANTIATE_TEST_SUITE_P(Number, TransformTable, ::testing::ValuesIn(kNumber));
INSTANTIATE_TEST_SUITE_P(Date, TransformTable, ::testing::ValuesIn(kDate));
INSTANTIATE_TEST_SUITE_P(Logical, TransformTable, ::testing::ValuesIn(kLogical));

using TransformDates = EditTest;

TEST_F(TransformDates, FollowSettingsFourAndForty) {
  Value d = D(1990, 9, 15);
  Set(set::kCentury, false);
  EXPECT_EQ(Transform(d, ""), "15.09.90");
  EXPECT_EQ(Transform(Value::date(0), ""), "  .  .  ");
  EXPECT_EQ(Transform(d, "@E"), "15/09/90");
  Set(set::kDateFormat, "mm/dd/yyyy");
  Set(set::kCentury, true);
  EXPECT_EQ(Transform(d, ""), "09/15/1990");
  EXPECT_EQ(Transform(d, "@E"), "15/09/1990");
  Set(set::kDateFormat, "yyyy-mm-dd");
  EXPECT_EQ(Transform(d, ""), "1990-09-15");
}

using TransformErrors = EditTest;

TEST_F(TransformErrors, ValuesWithoutTextAreArgumentErrors) {
  EXPECT_EQ(Transform(arrayValue({1, 2}), "999"), "");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0]->genCode, gen::kArgument);
  EXPECT_EQ(errors[0]->operation, "TRANSFORM");
  EXPECT_EQ(Transform(Value(makeBlock([](Args) { return Value(); })), ""), "");
  EXPECT_EQ(errors.size(), 2u);
}

TEST_F(TransformErrors, PictureOfWrongKindIsAnError) {
  EXPECT_EQ(Transform(Value(5), Value(123)), "");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0]->genCode, gen::kArgument);
}

TEST_F(TransformErrors, HandlerSubstituteIsTheResult) {
  ErrorBlock(Value(makeBlock([](Args) { return Value("subst"); })));
  EXPECT_EQ(Transform(arrayValue({}), ""), "subst");
}

}  // namespace
}  // namespace xb::test
