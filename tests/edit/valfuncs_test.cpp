#include <functional>

#include "core/date.h"
#include "core/text.h"
#include "edit/valfuncs.h"
#include "edit_fixture.h"

namespace xb::test {
namespace {

Value D(int y, int m, int d) { return Value::date(dayNumber(y, m, d)); }

// A text-valued call, its expected result, and the error it must raise (0: none).
struct TextCase {
  const char* what;
  std::function<std::string()> call;
  std::string expected;
  int error;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.what; }

class TextFunctions : public EditTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(TextFunctions, GiveTheirTextOrRaise) {
  const auto& c = GetParam();
  EXPECT_EQ(c.call(), c.expected) << c.what;
  if (c.error) {
    ASSERT_EQ(errors.size(), 1u) << c.what;
    EXPECT_EQ(errors[0]->genCode, c.error) << c.what;
  } else {
    EXPECT_TRUE(errors.empty()) << c.what;
  }
}

const Value kDay = D(1990, 9, 15);

// clang-format off
const TextCase kTexts[] = {
    {"Str default integer", [] { return Str(5); }, "         5", 0},
    {"Str default fraction", [] { return Str(12.5); }, "        12.50", 0},
    {"Str keeps the decimals of Val", [] { return Str(Val("1.5")); }, "         1.5", 0},
    {"Str width rounds half away", [] { return Str(12.5, 5); }, "   13", 0},
    {"Str width and decimals", [] { return Str(12.345, 8, 2); }, "   12.35", 0},
    {"Str negative", [] { return Str(-1.5, 4, 1); }, "-1.5", 0},
    {"Str overflow", [] { return Str(1000, 3); }, "***", 0},
    {"Str zero width", [] { return Str(5, 0); }, "", gen::kArgument},
    {"Str of text", [] { return Str("x"); }, "", gen::kArgument},
    {"Str width of wrong kind", [] { return Str(5, "a"); }, "", gen::kArgument},
    {"Str of NIL", [] { return Str(Value()); }, "", gen::kArgument},
    {"StrZero", [] { return StrZero(12, 5); }, "00012", 0},
    {"StrZero negative", [] { return StrZero(-5, 4); }, "-005", 0},
    {"StrZero decimals", [] { return StrZero(1.5, 6, 2); }, "001.50", 0},
    {"DToC", [] { return DToC(kDay); }, "15.09.1990", 0},
    {"DToC empty", [] { return DToC(Value::date(0)); }, "  .  .    ", 0},
    {"DToC of text", [] { return DToC("15.09.1990"); }, "", gen::kArgument},
    {"DToS", [] { return DToS(kDay); }, "19900915", 0},
    {"DToS empty", [] { return DToS(Value::date(0)); }, "        ", 0},
    {"DToS of NIL", [] { return DToS(Value()); }, "", gen::kArgument},
    {"AllTrim", [] { return AllTrim("  a b  "); }, "a b", 0},
    {"Trim", [] { return Trim("  a b  "); }, "  a b", 0},
    {"RTrim", [] { return RTrim("a  "); }, "a", 0},
    {"LTrim", [] { return LTrim("  a b  "); }, "a b  ", 0},
    {"AllTrim of blanks", [] { return AllTrim("   "); }, "", 0},
    {"AllTrim of NIL", [] { return AllTrim(Value()); }, "", gen::kArgument},
    {"Trim of a number", [] { return Trim(5); }, "", gen::kArgument},
    {"PadR", [] { return PadR("ab", 4); }, "ab  ", 0},
    {"PadL with fill", [] { return PadL("ab", 4, "*"); }, "**ab", 0},
    {"PadC", [] { return PadC("ab", 5); }, " ab  ", 0},
    {"PadR cuts", [] { return PadR("abcdef", 3); }, "abc", 0},
    {"PadL also keeps the first characters", [] { return PadL("abcdef", 3); }, "abc", 0},
    {"PadR of a number", [] { return PadR(12.5, 7); }, "12.50  ", 0},
    {"PadL of a logical", [] { return PadL(true, 3); }, "  T", 0},
    {"PadR of a date", [] { return PadR(kDay, 12); }, "15.09.1990  ", 0},
    {"PadR negative length", [] { return PadR("a", -1); }, "", 0},
    {"PadR of NIL", [] { return PadR(Value(), 3); }, "", gen::kArgument},
    {"PadR length of wrong kind", [] { return PadR("a", "x"); }, "", gen::kArgument},
    {"PadR huge", [] { return PadR("a", 1e12); }, "", gen::kStringOverflow},
    {"Upper umlauts", [] { return Upper(cp("äbc")); }, cp("ÄBC"), 0},
    {"Lower umlauts", [] { return Lower(cp("ÄÖÜ")); }, cp("äöü"), 0},
    {"Upper of NIL", [] { return Upper(Value()); }, "", gen::kArgument},
    {"Left", [] { return Left("abc", 2); }, "ab", 0},
    {"Left beyond", [] { return Left("abc", 5); }, "abc", 0},
    {"Left negative", [] { return Left("abc", -1); }, "", 0},
    {"Right", [] { return Right("abc", 2); }, "bc", 0},
    {"Right of NIL", [] { return Right(Value(), 2); }, "", gen::kArgument},
    {"SubStr", [] { return SubStr("abcdef", 2, 3); }, "bcd", 0},
    {"SubStr from the end", [] { return SubStr("abcdef", -2); }, "ef", 0},
    {"SubStr start 0", [] { return SubStr("abc", 0); }, "abc", 0},
    {"SubStr beyond", [] { return SubStr("abc", 5); }, "", 0},
    {"SubStr start of wrong kind", [] { return SubStr("abc", "1"); }, "", gen::kArgument},
    {"Space", [] { return Space(3); }, "   ", 0},
    {"Space huge", [] { return Space(1e12); }, "", gen::kStringOverflow},
    {"Replicate", [] { return Replicate("ab", 3); }, "ababab", 0},
    {"Replicate huge", [] { return Replicate("ab", 1e10); }, "", gen::kStringOverflow},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Values, TextFunctions, ::testing::ValuesIn(kTexts));

using ValFunctions = EditTest;

TEST_F(ValFunctions, ValReadsTheLeadingNumber) {
  struct {
    const char* text;
    double value;
    int decimals;
  } cases[] = {{"12.50", 12.5, 2}, {"  -3", -3, 0}, {"abc", 0, 0}, {"1,5", 1, 0}, {".5", 0.5, 1},
               {"", 0, 0},         {"+7x", 7, 0},   {"-", 0, 0},   {"1e3", 1, 0}, {"0.1", 0.1, 1}};
  for (auto& c : cases) {
    Value v = Val(c.text);
    EXPECT_EQ(v.num(), c.value) << c.text;
    EXPECT_EQ(v.number().decimals, c.decimals) << c.text;
  }
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(Val(Value()).num(), 0);
  EXPECT_EQ(lastGenCode(), gen::kArgument);
}

TEST_F(ValFunctions, ValOfShownNumberIsTheNumber) {
  // What the edit field's asterisk rule relies on: Val of a text after its first character.
  EXPECT_EQ(Val(SubStr(Transform(-12.5, "999.99"), 2)).num(), 12.5);
  EXPECT_EQ(Val(" -12.50").num(), -12.5);
}

TEST_F(ValFunctions, StrAndTransformWithoutPictureAgree) {
  for (Value v : {Value(0), Value(5), Value(-5), Value(12.5), Value(-0.125), Value(1e9), Value(1e10),
                  Value::number(12.5, 6, 1), Val("3.141")}) {
    EXPECT_EQ(Str(v), Transform(v, "")) << Str(v);
  }
}

TEST_F(ValFunctions, CToDReadsInTheOrderOfSettingFour) {
  EXPECT_TRUE(exactlyEqual(CToD("15.09.1990"), kDay));
  EXPECT_TRUE(exactlyEqual(CToD("1.5.2026"), D(2026, 5, 1)));
  EXPECT_TRUE(exactlyEqual(CToD("15.09.90"), kDay));  // two-digit year, epoch 1900
  EXPECT_TRUE(exactlyEqual(CToD("31.04.2026"), Value::date(0)));
  EXPECT_TRUE(exactlyEqual(CToD(""), Value::date(0)));
  EXPECT_TRUE(exactlyEqual(CToD("  .  .    "), Value::date(0)));
  EXPECT_TRUE(exactlyEqual(CToD("15.09"), Value::date(0)));
  Set(set::kDateFormat, "mm/dd/yyyy");
  EXPECT_TRUE(exactlyEqual(CToD("09/15/1990"), kDay));
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(exactlyEqual(CToD(5), Value::date(0)));
  EXPECT_EQ(lastGenCode(), gen::kArgument);
}

TEST_F(ValFunctions, DToCAndCToDRoundTrip) {
  for (int32_t day = dayNumber(1999, 12, 1); day < dayNumber(2001, 3, 1); day += 7) {
    EXPECT_TRUE(exactlyEqual(CToD(DToC(Value::date(day))), Value::date(day))) << DToC(Value::date(day));
    EXPECT_TRUE(exactlyEqual(SToD(DToS(Value::date(day))), Value::date(day)));
  }
}

TEST_F(ValFunctions, SToD) {
  EXPECT_TRUE(exactlyEqual(SToD("19900915"), kDay));
  EXPECT_TRUE(exactlyEqual(SToD("20250229"), Value::date(0)));  // no leap year
  EXPECT_TRUE(exactlyEqual(SToD("2025022"), Value::date(0)));
  EXPECT_TRUE(exactlyEqual(SToD("        "), Value::date(0)));
  EXPECT_TRUE(errors.empty());
}

TEST_F(ValFunctions, EmptyPerKind) {
  struct {
    Value v;
    bool empty;
  } cases[] = {{Value(), true},          {"", true},          {" \t\r\n", true}, {" a ", false},
               {0, true},                {0.001, false},      {-1, false},       {Value::date(0), true},
               {kDay, false},            {false, true},       {true, false},     {arrayValue({}), true},
               {arrayValue({1}), false}, {Value(makeBlock([](Args) { return Value(); })), false}};
  for (auto& c : cases) EXPECT_EQ(Empty(c.v), c.empty) << ValType(c.v) << " " << c.v.str();
  EXPECT_TRUE(errors.empty());
}

TEST_F(ValFunctions, MinMax) {
  EXPECT_EQ(Min(1, 2).num(), 1);
  EXPECT_EQ(Max(1, 2).num(), 2);
  EXPECT_TRUE(exactlyEqual(Max(kDay, D(2000, 1, 1)), D(2000, 1, 1)));
  EXPECT_TRUE(errors.empty());
  Min(1, "a");
  EXPECT_EQ(lastGenCode(), gen::kArgument);
}

TEST_F(ValFunctions, HandlerSubstituteOfTheRightKindIsTheResult) {
  ErrorBlock(Value(makeBlock([](Args) { return Value("?"); })));
  EXPECT_EQ(AllTrim(Value()), "?");
  EXPECT_EQ(Val(Value()).num(), 0);  // a text is no number: the empty result
}

}  // namespace
}  // namespace xb::test
