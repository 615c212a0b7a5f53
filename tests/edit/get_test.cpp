#include "edit/get.h"

#include <sstream>

#include "core/date.h"
#include "core/text.h"
#include "edit/valfuncs.h"
#include "edit_fixture.h"

namespace xb::test {
namespace {

Value D(int y, int m, int d) { return Value::date(dayNumber(y, m, d)); }

// A variable and an engine bound to it through a get/set block.
struct Bound {
  std::shared_ptr<Value> var = std::make_shared<Value>();
  int writes = 0;
  std::shared_ptr<Get> get;

  Bound(const Value& start, const Value& picture) {
    *var = start;
    auto v = var;
    Value block(makeBlock([v, this](Args a) -> Value {
      if (a.size() > 0) {
        *v = a[0];
        ++writes;
      }
      return *v;
    }));
    get = Get::New(Value(), Value(), block, "v", picture);
  }
};

// One step: a method called by name, with an optional argument; "=member" assigns.
struct Step {
  Step(std::string o, Value a = {}) : op(std::move(o)), arg(std::move(a)) {}
  std::string op;
  Value arg;
};

std::string describe(const std::vector<Step>& steps) {
  std::ostringstream os;
  for (auto& s : steps) {
    os << s.op;
    if (s.arg.isChar()) os << "(\"" << s.arg.str() << "\")";
    if (s.arg.isNum()) os << "(" << s.arg.num() << ")";
    os << " ";
  }
  return os.str();
}

void run(Get& g, const std::vector<Step>& steps) {
  for (auto& s : steps) {
    if (s.op[0] == '=') g.set(s.op.substr(1), s.arg);
    else if (s.arg.isNil()) g.call(s.op);
    else g.call(s.op, {s.arg});
  }
}

struct EditCase {
  const char* what;
  Value start;
  const char* picture;
  std::vector<Step> steps;
  std::string buffer;
  int pos;
  bool typeOut;
  bool rejected;
  Value assigned;  // the variable after _assign
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.what; }

class EditTable : public EditTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditTable, StepsGiveBufferCaretAndValue) {
  const auto& c = GetParam();
  Bound b(c.start, c.picture);
  b.get->setFocus();
  run(*b.get, c.steps);
  std::string trace = std::string(c.what) + ": " + describe(c.steps);
  EXPECT_EQ(b.get->buffer().str(), c.buffer) << trace;
  EXPECT_EQ(b.get->pos(), c.pos) << trace;
  EXPECT_EQ(b.get->typeOut(), c.typeOut) << trace;
  EXPECT_EQ(b.get->rejected(), c.rejected) << trace;
  b.get->_assign();
  EXPECT_EQ(ValType(*b.var), ValType(c.assigned)) << trace;
  EXPECT_TRUE(exactlyEqual(*b.var, c.assigned))
      << trace << " wrote " << Transform(*b.var, "") << " expected " << Transform(c.assigned, "");
  if (c.assigned.isNum()) {
    EXPECT_EQ(b.var->number().width, c.assigned.number().width) << trace;
    if (c.assigned.number().decimals >= 0) {
      EXPECT_EQ(b.var->number().decimals, c.assigned.number().decimals) << trace;
    }
  }
  EXPECT_EQ(b.get->buffer().str().size(), c.buffer.size()) << trace;
  EXPECT_TRUE(errors.empty()) << trace;
}

const char* kDemo = "99:99XXXXXXXXX";

// clang-format off
const EditCase kCharacterEdits[] = {
    {"focus loads Transform's text", "START", kDemo, {},
     "ST:RT         ", 1, false, false, "START"},
    {"overstrike a digit", "START", kDemo, {{"Overstrike", "1"}},
     "1T:RT         ", 2, false, false, "1T:RT         "},
    {"9 refuses a letter; untouched text writes the value back", "START", kDemo, {{"Overstrike", "a"}},
     "ST:RT         ", 1, false, true, "START"},
    {"insert shifts the run and drops its last character", "START", kDemo, {{"Insert", "1"}},
     "1S:RT         ", 2, false, false, "1S:RT         "},
    {"typing skips the literal", "START", kDemo, {{"Insert", "12"}},
     "12:RT         ", 4, false, false, "12:RT         "},
    {"insert at the end of a run before a literal", "START", kDemo, {{"Right"}, {"Insert", "9"}},
     "S9:RT         ", 4, false, false, "S9:RT         "},
    {"overstrike at the end of a run before a literal", "START", kDemo, {{"Right"}, {"Overstrike", "9"}},
     "S9:RT         ", 4, false, false, "S9:RT         "},
    {"insert in the middle of a run", "abcdefg", "XX-XXXX", {{"=pos", 4}, {"Insert", "Z"}},
     "ab-Zdef", 5, false, false, "ab-Zdef"},
    {"9 refuses a letter in the second run", "START", kDemo, {{"=pos", 4}, {"Insert", "Z"}},
     "ST:RT         ", 4, false, true, "START"},
    {"typing on a literal goes to the next editable position", "START", kDemo, {{"=pos", 3}, {"Overstrike", "1"}},
     "ST:1T         ", 5, false, false, "ST:1T         "},
    {"typing at the last position sets typeOut", "START", kDemo, {{"=pos", 14}, {"Overstrike", "x"}},
     "ST:RT        x", 14, true, false, "ST:RT        x"},
    {"insert at the last position", "START", kDemo, {{"=pos", 14}, {"Insert", "x"}},
     "ST:RT        x", 14, true, false, "ST:RT        x"},
    {"typing past the end", "START", kDemo, {{"=pos", 15}, {"Overstrike", "x"}},
     "ST:RT         ", 15, true, false, "START"},
    {"right skips the literal", "START", kDemo, {{"Right"}, {"Right"}},
     "ST:RT         ", 4, false, false, "START"},
    {"left at the first position", "START", kDemo, {{"Left"}},
     "ST:RT         ", 1, true, false, "START"},
    {"right at the last position", "START", kDemo, {{"=pos", 14}, {"Right"}},
     "ST:RT         ", 14, true, false, "START"},
    {"end goes to the last non-blank", "START", kDemo, {{"_End"}},
     "ST:RT         ", 5, false, false, "START"},
    {"home after end", "START", kDemo, {{"_End"}, {"home"}},
     "ST:RT         ", 1, false, false, "START"},
    {"backspace across a literal", "START", kDemo, {{"=pos", 4}, {"BackSpace"}},
     "S :RT         ", 2, false, false, "S :RT         "},
    {"backspace at the first position", "START", kDemo, {{"BackSpace"}},
     "ST:RT         ", 1, true, false, "START"},
    {"delete shifts only its run", "START", kDemo, {{"Delete"}},
     "T :RT         ", 1, false, false, "T :RT         "},
    {"delete on a literal does nothing", "START", kDemo, {{"=pos", 3}, {"Delete"}},
     "ST:RT         ", 3, false, false, "START"},
    {"delend keeps literals", "START", kDemo, {{"Right"}, {"DelEnd"}},
     "S :           ", 2, false, false, "S :           "},
    {"delwordleft at a run start takes the word before the literal", "START", kDemo, {{"=pos", 4}, {"DelWordLeft"}},
     "  :RT         ", 1, false, false, "  :RT         "},
    {"delwordleft in a run", "foo bar baz", "XXXXXXXXXXX", {{"=pos", 9}, {"DelWordLeft"}},
     "foo baz    ", 5, false, false, "foo baz    "},
    {"delwordright takes word and blanks", "foo bar baz", "XXXXXXXXXXX", {{"DelWordRight"}},
     "bar baz    ", 1, false, false, "bar baz    "},
    {"delwordright on blanks takes the blanks", "ab  cd", "XXXXXX", {{"=pos", 3}, {"DelWordRight"}},
     "abcd  ", 3, false, false, "abcd  "},
    {"delwordright stops at a literal", "2134567890", "@R (999)999-9999", {{"=pos", 6}, {"DelWordRight"}},
     "(213)   -7890", 6, false, false, "213   7890"},
    {"A refuses digits", "abc", "AAA", {{"Overstrike", "1"}},
     "abc", 1, false, true, "abc"},
    {"A takes umlauts", "abc", "AAA", {{"Overstrike", cp("ö")}},
     cp("öbc"), 2, false, false, cp("öbc")},
    {"N refuses a sign", "abc", "NNN", {{"Overstrike", "-"}},
     "abc", 1, false, true, "abc"},
    {"N takes digits", "abc", "NNN", {{"Overstrike", "7"}},
     "7bc", 2, false, false, "7bc"},
    {"# takes a blank", "123", "###", {{"Overstrike", " "}},
     " 23", 2, false, false, " 23"},
    {"# refuses a letter", "123", "###", {{"Overstrike", "a"}},
     "123", 1, false, true, "123"},
    {"! shows and stores upper case", "abc", "!!!", {{"Overstrike", cp("ä")}},
     cp("ÄBC"), 2, false, false, cp("ÄBC")},
    {"L takes Y and stores upper case", "x", "L", {{"Overstrike", "y"}},
     "Y", 1, true, false, "Y"},
    {"Y refuses T", "x", "Y", {{"Overstrike", "t"}},
     "x", 1, false, true, "x"},
    {"X takes anything printable", "abc", "XXX", {{"Overstrike", "%"}},
     "%bc", 2, false, false, "%bc"},
    {"control characters are refused", "abc", "XXX", {{"Overstrike", "\t"}},
     "abc", 1, false, true, "abc"},
    {"@! upper-cases typing", "abc", "@!", {{"Overstrike", cp("ü")}},
     cp("ÜBC"), 2, false, false, cp("ÜBC")},
    {"@A refuses digits", "abc", "@A", {{"Overstrike", "5"}},
     "abc", 1, false, true, "abc"},
    {"@R writes the value without literals", "2134567890", "@R (999)999-9999", {{"Overstrike", "9"}},
     "(913)456-7890", 3, false, false, "9134567890"},
    {"@R with a short value", "21345", "@R (999)999-9999", {{"_End"}, {"Right"}, {"Overstrike", "6"}},
     "(213)456-    ", 10, false, false, "213456    "},
    {"@K first key empties the text", "hello", "@K XXXXX", {{"Overstrike", "a"}},
     "a    ", 2, false, false, "a    "},
    {"@K ends with a caret move", "hello", "@K XXXXX", {{"Right"}, {"Overstrike", "a"}},
     "hallo", 3, false, false, "hallo"},
    {"characters beyond the template are kept", "abcdef", "XXX", {{"Overstrike", "z"}},
     "zbc", 2, false, false, "zbcdef"},
    {"template longer than the value", "ab", "XXXX", {{"=pos", 3}, {"Overstrike", "c"}},
     "abc ", 4, false, false, "abc "},
    {"no picture edits the whole value", "abc", "", {{"_End"}, {"Overstrike", "z"}},
     "abz", 3, true, false, "abz"},
    {"only @ edits the whole value", "abc", "@", {{"Insert", "z"}},
     "zab", 2, false, false, "zab"},
    {"NIL becomes text only when typed", Value(), "XXX", {{"Overstrike", "a"}},
     "a  ", 2, false, false, "a  "},
    {"NIL untouched stays NIL", Value(), "XXX", {{"Right"}},
     "   ", 2, false, false, Value()},
};

const EditCase kNumberEdits[] = {
    {"focus loads Transform's text", 12.5, "999.99", {},
     " 12.50", 1, false, false, 12.5},
    {"first key empties the text", 12.5, "999.99", {{"Overstrike", "7"}},
     "7  .  ", 2, false, false, 7},
    {"digits flow over the point", 12.5, "999.99", {{"Overstrike", "1234"}},
     "123.4 ", 6, false, false, 123.4},
    {"ToDecPos right-aligns the integer digits", 12.5, "999.99", {{"Insert", "5"}, {"ToDecPos"}},
     "  5.00", 5, false, false, 5},
    {"decimals typed after ToDecPos", 12.5, "999.99", {{"ToDecPos"}, {"Overstrike", "2"}},
     " 12.20", 6, false, false, 12.2},
    {"minus sign", 12.5, "999.99", {{"Overstrike", "-"}, {"Overstrike", "5"}, {"ToDecPos"}},
     " -5.00", 5, false, false, -5},
    {"decimal point key clears and moves", 12.5, "999.99", {{"Overstrike", "."}, {"Overstrike", "5"}},
     "  0.50", 6, false, false, 0.5},
    {"minus then point keeps the sign", 12.5, "999.99", {{"Overstrike", "-"}, {"Overstrike", "."}, {"Overstrike", "5"}},
     " -0.50", 6, false, false, -0.5},
    {"comma key acts like the point", 12.5, "999.99", {{"Insert", ","}},
     "  0.00", 5, false, false, 0},
    {"letters are refused and keep clear", 12.5, "999.99", {{"Overstrike", "x"}, {"Overstrike", "3"}},
     "3  .  ", 2, false, false, 3},
    {"refused letter", 12.5, "999.99", {{"Overstrike", "x"}},
     " 12.50", 1, false, true, 12.5},
    {"$ refuses a sign", 12.5, "$$$.99", {{"Overstrike", "-"}},
     "$12.50", 1, false, true, 12.5},
    {"commas are skipped while typing", 1234.5, "9,999.99", {{"Overstrike", "123"}},
     "1 23 .  ", 5, false, false, 123},
    {"commas come back with ToDecPos", 1234.5, "9,999.99", {{"Overstrike", "1234"}, {"ToDecPos"}},
     "1,234.00", 7, false, false, 1234},
    {"backspace across the point", 12.5, "999.99", {{"ToDecPos"}, {"BackSpace"}},
     " 1 .50", 3, false, false, 1.5},
    {"delete in the decimals", 12.25, "999.99", {{"ToDecPos"}, {"Delete"}},
     " 12.5 ", 5, false, false, 12.5},
    {"delend in the integer part", 12.5, "999.99", {{"Right"}, {"Right"}, {"DelEnd"}},
     " 1 .  ", 3, false, false, 1},
    {"CondClear empties", 12.5, "999.99", {{"CondClear"}},
     "   .  ", 1, false, false, 0},
    {"CondClear after a move keeps the text", 12.5, "999.99", {{"Right"}, {"CondClear"}},
     " 12.50", 2, false, false, 12.5},
    {"ToDecPos without decimals goes to the last digit", 42, "9999", {{"Overstrike", "7"}, {"ToDecPos"}},
     "   7", 4, false, false, 7},
    {"@E reads the comma as the point", 1234.5, "@E 9,999.99", {{"ToDecPos"}, {"Overstrike", "75"}},
     "1.234,75", 8, true, false, 1234.75},
    {"@L keeps zeros", 5, "@L 999", {{"Overstrike", "42"}, {"ToDecPos"}},
     "042", 3, false, false, 42},
    {"@( reads parentheses as negative", -5, "@( 999", {{"Right"}, {"Right"}, {"Overstrike", "7"}},
     "( 7)", 3, true, false, -7},
    {"@X reads DB as negative", -5, "@X 999", {{"Right"}, {"Right"}, {"Overstrike", "8"}},
     " -8 DB", 3, true, false, -8},
    {"@B typing and ToDecPos", 12, "@B 9999", {{"Overstrike", "34"}, {"ToDecPos"}},
     "34  ", 4, false, false, 34},
    {"overflow untouched writes the value back", 1000, "999.99", {},
     "******", 1, false, false, 1000},
    {"overflow cleared by the first key", 1000, "999.99", {{"Overstrike", "9"}},
     "9  .  ", 2, false, false, 9},
    {"no template keeps the layout's decimals", 12.5, "", {{"Overstrike", "12"}, {"ToDecPos"}},
     "        12.00", 12, false, false, Value::number(12, -1, 2)},
    {"table field keeps width and decimals", Value::number(12.5, 6, 1), "", {{"Overstrike", "3"}, {"ToDecPos"}},
     "   3.0", 6, false, false, Value::number(3, 6, 1)},
};

const EditCase kDateEdits[] = {
    {"focus loads Transform's text", D(2026, 4, 1), "", {},
     "01.04.2026", 1, false, false, D(2026, 4, 1)},
    {"valid date is written", D(2026, 4, 1), "", {{"Overstrike", "30"}},
     "30.04.2026", 4, false, false, D(2026, 4, 30)},
    {"31.04. is not written", D(2026, 4, 1), "", {{"Overstrike", "31"}},
     "31.04.2026", 4, false, false, D(2026, 4, 1)},
    {"letters refused", D(2026, 4, 1), "", {{"Overstrike", "x"}},
     "01.04.2026", 1, false, true, D(2026, 4, 1)},
    {"delend blanks the date", D(2026, 4, 1), "", {{"DelEnd"}},
     "  .  .    ", 1, false, false, Value::date(0)},
    {"typing over the separators", D(2026, 4, 1), "", {{"Overstrike", "24122025"}},
     "24.12.2025", 10, true, false, D(2025, 12, 24)},
    {"@E day/month with slashes", D(2026, 4, 1), "@E", {{"=pos", 4}, {"Overstrike", "05"}},
     "01/05/2026", 7, false, false, D(2026, 5, 1)},
};

const EditCase kLogicalEdits[] = {
    {"Y field", true, "Y", {{"Overstrike", "n"}},
     "N", 1, true, false, false},
    {"Y refuses x", true, "Y", {{"Overstrike", "x"}},
     "Y", 1, false, true, true},
    {"L field takes y as T", false, "L", {{"Overstrike", "y"}},
     "T", 1, true, false, true},
    {"default field", true, "", {{"Overstrike", "f"}},
     "F", 1, true, false, false},
    {"blank logical is false", true, "", {{"DelEnd"}},
     " ", 1, false, false, false},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Character, EditTable, ::testing::ValuesIn(kCharacterEdits));
INSTANTIATE_TEST_SUITE_P(Number, EditTable, ::testing::ValuesIn(kNumberEdits));
INSTANTIATE_TEST_SUITE_P(Date, EditTable, ::testing::ValuesIn(kDateEdits));
INSTANTIATE_TEST_SUITE_P(Logical, EditTable, ::testing::ValuesIn(kLogicalEdits));

// ---- bad dates ----

struct BadDateCase {
  Value start;
  int pos;
  const char* typed;
  bool bad;
};

class BadDates : public EditTest, public ::testing::WithParamInterface<BadDateCase> {};

TEST_P(BadDates, OnlyRealCalendarDatesOrBlank) {
  const auto& c = GetParam();
  Bound b(c.start, "");
  b.get->setFocus();
  b.get->setPos(c.pos);
  b.get->Overstrike(c.typed);
  EXPECT_EQ(b.get->badDate(), c.bad) << b.get->buffer().str();
}

INSTANTIATE_TEST_SUITE_P(Edit, BadDates,
                         ::testing::Values(BadDateCase{D(2026, 4, 1), 1, "31", true},      // 31.04.
                                           BadDateCase{D(2025, 2, 1), 1, "29", true},      // 29.02.2025
                                           BadDateCase{D(2024, 2, 1), 1, "29", false},     // leap year
                                           BadDateCase{D(2026, 1, 15), 4, "13", true},     // month 13
                                           BadDateCase{D(2026, 1, 15), 4, "00", true},     // month 0
                                           BadDateCase{D(2026, 1, 15), 1, "00", true},     // day 0
                                           BadDateCase{D(2026, 1, 15), 1, "28", false}));  // plain

using GetDates = EditTest;

TEST_F(GetDates, BlankDateIsNotBadButAPartlyBlankOneIs) {
  Bound b(Value::date(0), "");
  b.get->setFocus();
  EXPECT_EQ(b.get->buffer().str(), "  .  .    ");
  EXPECT_FALSE(b.get->badDate());
  b.get->Overstrike("1505");
  EXPECT_EQ(b.get->buffer().str(), "15.05.    ");
  EXPECT_TRUE(b.get->badDate());  // a blank year is no year
  b.get->_assign();
  EXPECT_EQ(b.get->buffer().str(), "15.05.    ");
  EXPECT_TRUE(exactlyEqual(*b.var, Value::date(0)));
  EXPECT_EQ(b.writes, 0);
}

TEST_F(GetDates, TwoDigitYearsFollowTheEpoch) {
  Set(set::kCentury, false);
  Set(set::kEpoch, 1950);
  Bound b(D(1990, 9, 15), "");
  b.get->setFocus();
  EXPECT_EQ(b.get->buffer().str(), "15.09.90");
  b.get->setPos(7);
  b.get->Overstrike("26");
  b.get->_assign();
  EXPECT_TRUE(exactlyEqual(*b.var, D(2026, 9, 15)));
  b.get->setPos(7);
  b.get->Overstrike("51");
  b.get->_assign();
  EXPECT_TRUE(exactlyEqual(*b.var, D(1951, 9, 15)));
}

// ---- focus, clear and loading ----

using GetFocus = EditTest;

TEST_F(GetFocus, ClearIsSetForNumbersAndKOnly) {
  struct {
    Value v;
    const char* pic;
    bool clear;
  } cases[] = {{12, "999", true}, {"ab", "XX", false}, {"ab", "@K XX", true}, {true, "L", false},
               {D(2026, 1, 1), "@K", true}, {D(2026, 1, 1), "", false}};
  for (auto& c : cases) {
    Bound b(c.v, c.pic);
    EXPECT_FALSE(b.get->hasFocus());
    b.get->setFocus();
    EXPECT_TRUE(b.get->hasFocus());
    EXPECT_EQ(b.get->clear(), c.clear) << c.pic;
    b.get->killFocus();
    EXPECT_FALSE(b.get->hasFocus());
    EXPECT_FALSE(b.get->clear());
  }
}

TEST_F(GetFocus, WithoutFocusEditingDoesNothing) {
  Bound b("abc", "XXX");
  b.get->reset();
  EXPECT_EQ(b.get->buffer().str(), "abc");
  b.get->Overstrike("z");
  b.get->DelEnd();
  b.get->Right();
  EXPECT_EQ(b.get->buffer().str(), "abc");
  EXPECT_EQ(b.get->pos(), 1);
}

TEST_F(GetFocus, ResetAndUpdateBufferReloadFromTheVariable) {
  Bound b("START", kDemo);
  b.get->setFocus();
  b.get->setPos(5);
  *b.var = "12345";
  b.get->UpdateBuffer();
  EXPECT_EQ(b.get->buffer().str(), "12:45         ");
  EXPECT_EQ(b.get->pos(), 5);
  EXPECT_TRUE(exactlyEqual(b.get->original(), Value("12345")));
  *b.var = "ab";
  b.get->reset();
  EXPECT_EQ(b.get->buffer().str(), "ab:           ");
  EXPECT_EQ(b.get->pos(), 1);
}

TEST_F(GetFocus, ChangedFollowsTheText) {
  Bound b("abc", "XXX");
  b.get->setFocus();
  EXPECT_FALSE(b.get->changed());
  b.get->Overstrike("z");
  EXPECT_TRUE(b.get->changed());
  b.get->home();
  b.get->Overstrike("a");
  EXPECT_FALSE(b.get->changed());
}

TEST_F(GetFocus, TypeNamesTheVariable) {
  EXPECT_EQ(Bound("a", "").get->type(), "C");
  EXPECT_EQ(Bound(1, "").get->type(), "N");
  EXPECT_EQ(Bound(D(2026, 1, 1), "").get->type(), "D");
  EXPECT_EQ(Bound(false, "").get->type(), "L");
  EXPECT_EQ(Bound(Value(), "").get->type(), "U");
}

TEST_F(GetFocus, PictureAssignmentReformats) {
  Bound b("abc", "XXX");
  b.get->setFocus();
  b.get->setPicture("@!");
  EXPECT_EQ(b.get->buffer().str(), "ABC");
  b.get->setPicture(Value());
  EXPECT_EQ(b.get->buffer().str(), "abc");
  b.get->setPicture(Value(5));
  EXPECT_EQ(lastGenCode(), gen::kArgument);
  EXPECT_TRUE(b.get->picture().isNil());
}

// ---- by name, as the edit field reaches it ----

using GetByName = EditTest;

TEST_F(GetByName, MembersAndMethodsAreReachable) {
  Bound b("START", kDemo);
  Value g(b.get);
  for (const char* m : {"buffer", "pos", "type", "picture", "hasFocus", "clear", "typeOut", "rejected",
                        "changed", "original"}) {
    EXPECT_TRUE(IsMemberVar(g, m)) << m;
  }
  for (const char* m : {"setFocus", "killFocus", "reset", "UpdateBuffer", "_assign", "badDate", "home",
                        "_End", "Left", "Right", "ToDecPos", "Insert", "Overstrike", "BackSpace", "Delete",
                        "DelWordLeft", "DelWordRight", "DelEnd", "CondClear", "display", "init", "initClass"}) {
    EXPECT_TRUE(IsMethod(g, m)) << m;
  }
  Send(g, "SETFOCUS");
  SetMember(g, "Pos", 6);
  Send(g, "insert", {"x"});
  EXPECT_EQ(GetMember(g, "BUFFER").str(), "ST:RTx        ");
  EXPECT_TRUE(GetMember(g, "changed").isTrue());
  EXPECT_EQ(GetMember(g, "type").str(), "C");
  EXPECT_FALSE(Send(g, "badDate").isTrue());
  SetMember(g, "clear", true);
  EXPECT_TRUE(GetMember(g, "clear").isTrue());
  EXPECT_EQ(ClassDesc::find("get"), &Get::staticClass());
  EXPECT_EQ(&Get::initClass(), &Get::staticClass());
}

TEST_F(GetByName, InitTakesBlockNamePictureAndTwoMore) {
  auto g = std::make_shared<Get>();
  Value var = "ab";
  Value block(makeBlock([&var](Args a) { return a.size() ? (var = a[0]) : var; }));
  Value pre(makeBlock([](Args) { return Value(true); }));
  g->call("init", {block, "cName", "!X", pre, Value()});
  EXPECT_EQ(g->name(), "cName");
  EXPECT_TRUE(g->preBlock().isBlock());
  g->setFocus();
  EXPECT_EQ(g->buffer().str(), "Ab");
  g->call("init", {block, "n", "", Value(5), Value()});
  EXPECT_EQ(lastGenCode(), gen::kArgument);
  EXPECT_TRUE(g->preBlock().isNil());
  EXPECT_FALSE(g->hasFocus());
}

TEST_F(GetByName, InsertWithoutTextIsAnError) {
  Bound b("ab", "XX");
  b.get->setFocus();
  b.get->call("Insert", {Value(5)});
  EXPECT_EQ(lastGenCode(), gen::kArgument);
  EXPECT_EQ(b.get->buffer().str(), "ab");
}

// A subclass replaces display, as the edit field's invisible engine does.
class CountingGet : public Get {
 public:
  void display() override { ++draws; }
  int draws = 0;
};

TEST_F(GetByName, DisplayIsTheReplaceableDrawingStep) {
  Value var = "ab";
  auto g = Get::make<CountingGet>(1, 2, Value(makeBlock([&var](Args a) { return a.size() ? (var = a[0]) : var; })),
                                  "", "XX");
  EXPECT_EQ(g->row.num(), 1);
  int before = g->draws;
  g->setFocus();
  g->Overstrike("z");
  g->Right();
  EXPECT_EQ(g->draws - before, 3);
  EXPECT_EQ(g->visibleText(), "");  // the base drawing step never ran
}

TEST_F(GetByName, BaseDisplayScrollsWithS) {
  Bound b("abcdefghij", "@S4");
  b.get->setFocus();
  EXPECT_EQ(b.get->visibleText(), "abcd");
  b.get->setPos(7);
  EXPECT_EQ(b.get->visibleText(), "defg");
  b.get->home();
  EXPECT_EQ(b.get->visibleText(), "abcd");
  b.get->_End();
  EXPECT_EQ(b.get->visibleText(), "ghij");
}

// ---- bad input ----

using GetBadInput = EditTest;

TEST_F(GetBadInput, ShortBufferFromOutsideIsPaddedAndLiteralsKept) {
  Bound b("START", kDemo);
  b.get->setFocus();
  b.get->setBuffer("ST");
  EXPECT_EQ(b.get->buffer().str(), "ST:           ");
  b.get->setBuffer("12x45");
  EXPECT_EQ(b.get->buffer().str(), "12:45         ");
  EXPECT_TRUE(errors.empty());
}

TEST_F(GetBadInput, NumberBufferWithoutTrailingBlanks) {
  // The edit field hands back a numeric text with trailing blanks removed.
  Bound b(-5, "@( 999");
  b.get->setFocus();
  EXPECT_EQ(b.get->buffer().str(), "( 5)");
  Bound c(5, "@( 999");
  c.get->setFocus();
  c.get->setBuffer("  6");
  EXPECT_EQ(c.get->buffer().str(), "  6 ");
  c.get->_assign();
  EXPECT_TRUE(exactlyEqual(*c.var, Value(6)));
}

TEST_F(GetBadInput, LongOrWrongBufferIsRefusedAndChangesNothing) {
  Bound b("START", kDemo);
  b.get->setFocus();
  b.get->setBuffer("ST:RT          too long");
  EXPECT_EQ(lastGenCode(), gen::kDataWidth);
  EXPECT_EQ(b.get->buffer().str(), "ST:RT         ");
  b.get->setBuffer(Value(42));
  EXPECT_EQ(lastGenCode(), gen::kArgument);
  EXPECT_EQ(b.get->buffer().str(), "ST:RT         ");
  b.get->_assign();
  EXPECT_TRUE(exactlyEqual(*b.var, Value("START")));
}

TEST_F(GetBadInput, NilBufferIsReloadedByTheNextEdit) {
  Bound b("START", kDemo);
  b.get->setFocus();
  b.get->setBuffer(Value());
  EXPECT_TRUE(b.get->buffer().isNil());
  b.get->_assign();
  EXPECT_EQ(b.writes, 0);
  b.get->Overstrike("1");
  EXPECT_EQ(b.get->buffer().str(), "1T:RT         ");
}

TEST_F(GetBadInput, TypeChangedBetweenFocusAndAssignIsAnError) {
  Bound b("abc", "XXX");
  b.get->setFocus();
  b.get->Overstrike("z");
  *b.var = 5;
  b.get->_assign();
  EXPECT_EQ(lastGenCode(), gen::kDataType);
  EXPECT_TRUE(exactlyEqual(*b.var, Value(5)));
  EXPECT_EQ(b.writes, 0);
}

TEST_F(GetBadInput, NilThatBecameTextIsNoTypeChange) {
  Bound b(Value(), "XX");
  b.get->setFocus();
  b.get->Overstrike("a");
  b.get->_assign();
  b.get->Overstrike("b");
  b.get->_assign();
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(exactlyEqual(*b.var, Value("ab")));
}

TEST_F(GetBadInput, OverflowTextEditedIsNotANumber) {
  Bound b(1000, "999.99");
  b.get->setFocus();
  b.get->Right();  // ends the clear state: the stars stay
  b.get->Overstrike("1");
  EXPECT_EQ(b.get->buffer().str(), "*1****");
  b.get->_assign();
  EXPECT_EQ(lastGenCode(), gen::kDataType);
  EXPECT_TRUE(exactlyEqual(*b.var, Value(1000)));
}

TEST_F(GetBadInput, ArrayVariableIsReportedAndKept) {
  Value arr = arrayValue({1});
  Bound b(arr, "XXX");
  b.get->setFocus();
  EXPECT_EQ(lastGenCode(), gen::kArgument);
  EXPECT_EQ(b.get->buffer().str(), "");
  b.get->Overstrike("a");
  b.get->_assign();
  EXPECT_TRUE(exactlyEqual(*b.var, arr));
}

TEST_F(GetBadInput, BlockThatIsNoBlockRaisesOnRead) {
  auto g = Get::New(Value(), Value(), Value("not a block"), "", "XX");
  g->setFocus();
  EXPECT_EQ(lastGenCode(), gen::kNotABlock);
  // The handler's answer (false here) stands in for the value.
  EXPECT_EQ(g->type(), "L");
  EXPECT_EQ(g->buffer().str(), "F ");
}

TEST_F(GetBadInput, PicturesWithoutTemplate) {
  for (const char* pic : {"", "@", "@Q", "@!Q", "@S"}) {
    Bound b("abc", pic);
    b.get->setFocus();
    EXPECT_EQ(b.get->buffer().str().size(), 3u) << pic;
    b.get->_End();
    b.get->Insert("z");
    EXPECT_EQ(b.get->buffer().str().size(), 3u) << pic;
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(GetBadInput, PosIsClamped) {
  Bound b("abc", "XXX");
  b.get->setFocus();
  b.get->setPos(99);
  EXPECT_EQ(b.get->pos(), 4);
  b.get->setPos(-3);
  EXPECT_EQ(b.get->pos(), 1);
  b.get->set("pos", "x");
  EXPECT_EQ(lastGenCode(), gen::kArgument);
  EXPECT_EQ(b.get->pos(), 1);
}

}  // namespace
}  // namespace xb::test
