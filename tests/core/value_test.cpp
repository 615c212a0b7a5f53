#include <gtest/gtest.h>

#include "core/error.h"
#include "core/object.h"
#include "core/ops.h"
#include "core/output.h"
#include "support/error_capture.h"

namespace xb {
namespace {

TEST(ValueTest, ValTypeNamesEveryKind) {
  struct Case {
    Value v;
    const char* type;
  };
  const Case cases[] = {
      {Value(), "U"},          {Value("abc"), "C"},           {Value(1.5), "N"},
      {Value(3), "N"},         {Value::date(2451545), "D"},   {Value(true), "L"},
      {Value(makeArray()), "A"}, {Value(makeBlock([](Args) { return Value(); })), "B"},
      {Value(makeError(1, "x")), "O"},
  };
  for (const auto& c : cases) EXPECT_EQ(ValType(c.v), c.type) << c.type;
}

TEST(ValueTest, NullReferencesAreNil) {
  EXPECT_TRUE(Value(ArrayRef()).isNil());
  EXPECT_TRUE(Value(ObjectRef()).isNil());
  EXPECT_TRUE(Value(BlockRef()).isNil());
}

TEST(ValueTest, ExactAndNonExactComparison) {
  struct Case {
    Value a, b;
    bool exact, nonExact;
  };
  auto arr = makeArray();
  const Case cases[] = {
      {"abc", "abc", true, true},
      {"abcdef", "abc", false, true},   // prefix rule
      {"abc", "abcdef", false, false},  // the right side must be the shorter one
      {"abc", "", false, true},         // an empty right side always matches
      {"abc ", "abc", false, true},
      {1.0, 1, true, true},
      {Value(), 0, false, false},  // NIL is unequal to every number
      {Value(), Value(), true, true},
      {Value::date(10), Value::date(10), true, true},
      {Value::date(10), 10, false, false},
      {true, true, true, true},
      {Value(arr), Value(arr), true, true},
      {Value(arr), Value(makeArray()), false, false},  // identity, not contents
  };
  for (const auto& c : cases) {
    EXPECT_EQ(exactlyEqual(c.a, c.b), c.exact) << outputText(c.a) << " vs " << outputText(c.b);
    EXPECT_EQ(equal(c.a, c.b), c.nonExact);
  }
}

TEST(ValueTest, BlocksAreSharedAndCompareByIdentity) {
  auto counter = std::make_shared<int>(0);
  Value b(makeBlock([counter](Args) { return Value(++*counter); }));
  Value copy = b;
  Eval(copy);
  EXPECT_EQ(Eval(b).num(), 2);
  EXPECT_TRUE(exactlyEqual(b, copy));
  EXPECT_FALSE(exactlyEqual(b, Value(makeBlock([](Args) { return Value(); }))));
}

TEST(ValueTest, BlockKnowsHowManyArgumentsWerePassed) {
  Value seen;
  Value b(makeBlock([&](Args a) {
    seen = Value(static_cast<double>(a.size()));
    return a[0];
  }));
  Eval(b);
  EXPECT_EQ(seen.num(), 0);
  Eval(b, {Value()});  // an explicit NIL counts
  EXPECT_EQ(seen.num(), 1);
  EXPECT_TRUE(Eval(b, {Value(), Value(2)}).isNil());
  EXPECT_EQ(seen.num(), 2);
}

TEST(ValueTest, DataLinkBlockStoresThroughItsVariable) {
  auto var = std::make_shared<Value>("START");
  Value link(makeBlock([var](Args a) {
    if (a.size() > 0) *var = a[0];
    return *var;
  }));
  EXPECT_EQ(Eval(link).str(), "START");
  EXPECT_EQ(Eval(link, {"03:00"}).str(), "03:00");
  EXPECT_EQ(var->str(), "03:00");
  Eval(link, {Value()});
  EXPECT_TRUE(var->isNil());
}

TEST(ValueTest, AssignTextReusesTheTextAndReplacesOtherKinds) {
  Value v(12.5);
  v.assignText("Kunde 1");
  ASSERT_TRUE(v.isChar());
  EXPECT_EQ(v.str(), "Kunde 1");
  v.assignText(std::string(40, 'x'));
  const char* storage = v.str().data();
  v.assignText("shorter");  // fits: the same storage is kept
  EXPECT_EQ(v.str(), "shorter");
  EXPECT_EQ(v.str().data(), storage);
  v.assignText(std::string_view(v.str()).substr(2, 3));  // a part of itself
  EXPECT_EQ(v.str(), "ort");
  v.assignText("");
  EXPECT_TRUE(v.isChar());
  EXPECT_EQ(v.str(), "");
  // A shared array held before is released, not changed.
  auto arr = makeArray({1});
  Value a(arr);
  a.assignText("now text");
  EXPECT_EQ(arr.use_count(), 1);
  EXPECT_EQ(arr->size(), 1u);
}

TEST(ValueTest, ArrayIsOneBasedAndRaisesBoundErrors) {
  test::ErrorCapture errors([](const ErrorRef&) { return Value("substitute"); });
  Value a = arrayValue({1, 2});
  AAdd(a, 3);
  EXPECT_EQ(Len(a), 3u);
  EXPECT_EQ(a.array()->at(1).num(), 1);
  EXPECT_EQ(a.array()->at(3).num(), 3);
  EXPECT_TRUE(errors.errors.empty());
  EXPECT_EQ(a.array()->at(4).str(), "substitute");
  ASSERT_EQ(errors.errors.size(), 1u);
  EXPECT_EQ(errors.last().genCode, gen::kBound);
  EXPECT_EQ(a.array()->at(0).str(), "substitute");
}

TEST(ValueTest, OperatorsOnUsableOperands) {
  EXPECT_EQ(Plus(2, 3).num(), 5);
  EXPECT_EQ(Plus("ab", "cd").str(), "abcd");
  EXPECT_EQ(Minus("ab  ", "cd").str(), "abcd  ");
  EXPECT_EQ(Plus(Value::date(100), 5).date(), 105);
  EXPECT_EQ(Minus(Value::date(100), Value::date(90)).num(), 10);
  EXPECT_EQ(Modulo(7, 3).num(), 1);
  EXPECT_TRUE(Less("Abc", "abc"));
  EXPECT_TRUE(GreaterEqual(Value::date(5), Value::date(5)));
}

TEST(ValueTest, OperatorsOnUnusableOperandsRaiseErrors) {
  test::ErrorCapture errors([](const ErrorRef&) { return Value(-1); });
  struct Case {
    std::function<Value()> op;
    int genCode;
    const char* operation;
  };
  const Case cases[] = {
      {[] { return Plus(1, "a"); }, gen::kArgument, "+"},
      {[] { return Minus(Value(), 1); }, gen::kArgument, "-"},
      {[] { return Times("a", "b"); }, gen::kArgument, "*"},
      {[] { return Divide(1, 0); }, gen::kNumError, "/"},
      {[] { return Modulo(1, 0); }, gen::kNumError, "%"},
      {[] { return Times(1e308, 1e308); }, gen::kNumOverflow, "*"},
      {[] { return Not(1); }, gen::kArgument, ".NOT."},
  };
  for (const auto& c : cases) {
    errors.errors.clear();
    EXPECT_EQ(c.op().num(), -1) << c.operation;  // the answer substitutes the result
    ASSERT_EQ(errors.errors.size(), 1u) << c.operation;
    EXPECT_EQ(errors.last().genCode, c.genCode) << c.operation;
    EXPECT_EQ(errors.last().operation, c.operation);
    EXPECT_TRUE(errors.last().canSubstitute);
    EXPECT_TRUE(errors.last().args.isArray());
  }
}

TEST(ValueTest, ComparingDifferentKindsRaisesAnError) {
  test::ErrorCapture errors([](const ErrorRef&) { return Value(true); });
  EXPECT_TRUE(Less(1, "a"));
  ASSERT_EQ(errors.errors.size(), 1u);
  EXPECT_EQ(errors.last().operation, "<");
}

TEST(ValueTest, EvaluatingSomethingThatIsNotABlockRaisesAnError) {
  test::ErrorCapture errors([](const ErrorRef&) { return Value("instead"); });
  EXPECT_EQ(Eval(Value()).str(), "instead");
  EXPECT_EQ(Eval(Value("text"), {1}).str(), "instead");
  ASSERT_EQ(errors.errors.size(), 2u);
  EXPECT_EQ(errors.errors[0]->genCode, gen::kNotABlock);
  EXPECT_EQ(errors.errors[1]->args.array()->at(1).str(), "text");
}

}  // namespace
}  // namespace xb
