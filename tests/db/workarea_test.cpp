// Work areas: selection, aliases, navigation, field access, data links and the record buffer.
#include <cstdlib>

#include "core/text.h"
#include "db_fixture.h"

namespace xb::test {
namespace {

using DbWorkAreaTest = DbTest;

std::string trimmed(const Value& v) {
  std::string s = v.str();
  return s.substr(0, s.find_last_not_of(' ') + 1);
}

TEST_F(DbWorkAreaTest, AreasAliasesAndTheSwitch) {
  std::string a = makeCustomers("a.dbf"), b = makeCustomers("b.dbf");
  fill(a, {{"in a", 1}});
  fill(b, {{"in b", 2}, {"b2", 3}});
  EXPECT_TRUE(DbUseArea(true, "", a, "", true));
  EXPECT_TRUE(DbUseArea(true, "", b, "KUNDEN", true));
  EXPECT_EQ(Select(), 2);
  EXPECT_EQ(Alias(), "KUNDEN");
  EXPECT_EQ(Alias(1), "A");
  EXPECT_EQ(Select("kunden"), 2);
  EXPECT_EQ(Select("NOSUCH"), 0);
  EXPECT_EQ(Len(WorkSpaceList()), 2u);
  EXPECT_EQ(WorkSpaceList().array()->at(1).num(), 1);

  // (alias)->(expression) evaluates there and comes back, also when it breaks out.
  DbGoBottom();
  Value v = DbInArea("A", Value(makeBlock([](Args) { return FieldGet("NAME"); })));
  EXPECT_EQ(trimmed(v), "in a");
  EXPECT_EQ(Select(), 2);
  EXPECT_EQ(RecNo(), 2u);
  recoverable([] { inArea(Value(1), []() -> Value { Break(Value(1)); }); });
  EXPECT_EQ(Select(), 2);

  // The same alias twice is refused; the area stays free.
  EXPECT_FALSE(DbUseArea(true, "", a, "KUNDEN", true));
  EXPECT_EQ(lastGenCode(), gen::kDupAlias);
  EXPECT_EQ(Len(WorkSpaceList()), 2u);

  EXPECT_FALSE(DbSelectArea("NOSUCH"));
  EXPECT_EQ(lastGenCode(), gen::kNoAlias);
  EXPECT_TRUE(DbSelectArea(0));
  EXPECT_EQ(Select(), 3);
  EXPECT_FALSE(Used());
  EXPECT_TRUE(DbSelectArea("A"));
  EXPECT_TRUE(Used());
  DbCloseArea();
  EXPECT_FALSE(Used());
  EXPECT_EQ(Len(WorkSpaceList()), 1u);
}

TEST_F(DbWorkAreaTest, NavigationInNaturalOrder) {
  std::string file = makeCustomers();
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  EXPECT_TRUE(Eof());
  EXPECT_TRUE(Bof());
  EXPECT_EQ(RecNo(), 1u);
  EXPECT_EQ(LastRec(), 0u);
  DbCloseArea();
  std::vector<std::pair<std::string, double>> rows;
  for (int i = 1; i <= 5; ++i) rows.push_back({"R" + std::to_string(i), i});
  fill(file, rows);
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  EXPECT_EQ(RecNo(), 1u);
  EXPECT_FALSE(Bof());
  DbSkip(-1);
  EXPECT_TRUE(Bof());
  EXPECT_EQ(RecNo(), 1u);
  DbSkip(3);
  EXPECT_EQ(RecNo(), 4u);
  EXPECT_EQ(FieldGet("AMOUNT").num(), 4);
  DbSkip(2);
  EXPECT_TRUE(Eof());
  EXPECT_EQ(RecNo(), 6u);
  EXPECT_EQ(trimmed(FieldGet("NAME")), "");
  DbSkip(-1);
  EXPECT_FALSE(Eof());
  EXPECT_EQ(RecNo(), 5u);
  DbGoTop();
  EXPECT_EQ(RecNo(), 1u);
  DbGoBottom();
  EXPECT_EQ(RecNo(), 5u);
  DbGoto(3);
  EXPECT_EQ(trimmed(FieldGet(1)), "R3");
  DbGoto(99);
  EXPECT_TRUE(Eof());
  EXPECT_EQ(RecNo(), 6u);
  int seen = 0;
  for (DbGoTop(); !Eof(); DbSkip()) ++seen;
  EXPECT_EQ(seen, 5);
  EXPECT_TRUE(errors.empty());
}

TEST_F(DbWorkAreaTest, FieldsByNameAndPosition) {
  std::string file = makeCustomers();
  fill(file, {{"X", 1}});
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  EXPECT_EQ(FCount(), 4);
  EXPECT_EQ(FieldPos("amount"), 2);
  EXPECT_EQ(FieldPos("NOSUCH"), 0);
  EXPECT_EQ(FieldName(3), "BORN");
  EXPECT_EQ(FieldName(9), "");
  EXPECT_TRUE(IsFieldVar("Name"));
  EXPECT_TRUE(IsFieldVar("cust->name"));
  EXPECT_FALSE(IsFieldVar("other->name"));
  EXPECT_FALSE(IsFieldVar("SALARY"));
  EXPECT_FALSE(IsFieldVar(Value(1)));
  EXPECT_FALSE(IsFieldVar(Value()));
  FieldGet(5);
  EXPECT_EQ(lastGenCode(), gen::kNoField);
  FieldGet("SALARY");
  EXPECT_EQ(lastGenCode(), gen::kNoField);
  EXPECT_NE(lastError().description.find("SALARY"), std::string::npos);
  EXPECT_EQ(lastError().fileName, file);
  DbCloseArea();
  EXPECT_FALSE(IsFieldVar("NAME"));
  FieldGet("NAME");
  EXPECT_EQ(lastGenCode(), gen::kNoTable);
}

// A form binds an edit field to a table field through a data link.
TEST_F(DbWorkAreaTest, DataLinkBlocksReadAndWriteTheCurrentRecord) {
  std::string a = makeCustomers("a.dbf"), b = makeCustomers("b.dbf");
  fill(a, {{"eins", 1}, {"zwei", 2}});
  fill(b, {{"anders", 9}});
  ASSERT_TRUE(DbUseArea(true, "", a, "", false));
  Value link = FieldBlock("AMOUNT");
  Value fixed = FieldWBlock("NAME", "A");
  EXPECT_EQ(Eval(link).num(), 1);
  EXPECT_EQ(Eval(link, {Value(41.5)}).num(), 41.5);
  EXPECT_EQ(FieldGet("AMOUNT").num(), 41.5);
  DbSkip();
  EXPECT_EQ(Eval(link).num(), 2);
  ASSERT_TRUE(DbUseArea(true, "", b, "", false));
  EXPECT_EQ(Eval(link).num(), 9);  // FieldBlock follows the current area
  EXPECT_EQ(trimmed(Eval(fixed)), "zwei");
  Eval(fixed, {Value("neu")});
  EXPECT_EQ(Select(), 2);
  DbSelectArea("A");
  DbGoTop();
  EXPECT_EQ(FieldGet("AMOUNT").num(), 41.5);
  DbSkip();
  EXPECT_EQ(trimmed(FieldGet("NAME")), "neu");
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(FieldBlock("NOSUCH").isNil());
  EXPECT_EQ(lastGenCode(), gen::kNoField);
}

TEST_F(DbWorkAreaTest, CommitRollbackCloseAndASecondArea) {
  std::string file = makeCustomers();
  fill(file, {{"alt", 1}, {"zwei", 2}});
  ASSERT_TRUE(DbUseArea(true, "", file, "ONE", true));
  ASSERT_TRUE(DbUseArea(true, "", file, "TWO", true));
  DbSelectArea("ONE");

  // Rollback: the record as it was.
  ASSERT_TRUE(DbRLock());
  FieldPut("NAME", "verworfen");
  FieldPut("AMOUNT", 77);
  EXPECT_EQ(trimmed(FieldGet("NAME")), "verworfen");
  DBRROLLBACK();
  EXPECT_EQ(trimmed(FieldGet("NAME")), "alt");
  EXPECT_EQ(FieldGet("AMOUNT").num(), 1);

  // Commit: the other area sees it once it reads the record again.
  FieldPut("NAME", "neu");
  DbCommit();
  DbSelectArea("TWO");
  EXPECT_EQ(trimmed(FieldGet("NAME")), "alt");  // its buffer was read before
  DbGoto(1);
  EXPECT_EQ(trimmed(FieldGet("NAME")), "neu");

  // Moving writes the pending buffer.
  DbSelectArea("ONE");
  FieldPut("AMOUNT", 5);
  DbSkip();
  DbSelectArea("TWO");
  DbSkip(0);
  EXPECT_EQ(FieldGet("AMOUNT").num(), 5);

  // Closing writes it too.
  DbSelectArea("ONE");
  ASSERT_TRUE(DbRLock(2));
  FieldPut("NAME", "beim Schliessen");
  DbCloseArea();
  DbSelectArea("TWO");
  DbGoto(2);
  EXPECT_EQ(trimmed(FieldGet("NAME")), "beim Schliessen");
  EXPECT_TRUE(errors.empty());
}

// Reading on with DbSkip uses read-ahead; a commit in another area of this process still
// shows on the records ahead.
TEST_F(DbWorkAreaTest, SkippingAreaSeesCommitsOfAnotherArea) {
  std::string file = makeCustomers();
  fill(file, {{"eins", 1}, {"zwei", 2}, {"drei", 3}});
  ASSERT_TRUE(DbUseArea(true, "", file, "READER", true));
  ASSERT_TRUE(DbUseArea(true, "", file, "WRITER", true));
  ASSERT_TRUE(DbRLock(3));
  DbGoto(3);
  FieldPut("NAME", "geaendert");
  DbCommit();
  DbSelectArea("READER");
  DbSkip();
  DbSkip();
  EXPECT_EQ(RecNo(), 3u);
  EXPECT_EQ(trimmed(FieldGet("NAME")), "geaendert");
  EXPECT_TRUE(errors.empty());
}

TEST_F(DbWorkAreaTest, DeleteFlagIsKept) {
  std::string file = makeCustomers();
  fill(file, {{"A", 1}, {"B", 2}});
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  EXPECT_FALSE(Deleted());
  DbDelete();
  EXPECT_TRUE(Deleted());
  DbSkip();
  DbCloseArea();
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  EXPECT_TRUE(Deleted());
  DbRecall();
  DbCommit();
  DbSkip(0);
  EXPECT_FALSE(Deleted());
  DbGoto(99);
  DbDelete();
  EXPECT_EQ(lastGenCode(), gen::kNoRecord);
}

TEST_F(DbWorkAreaTest, SettingEightDecidesTheDefaultMode) {
  std::string file = makeCustomers();
  fill(file, {{"A", 1}});
  Set(set::kExclusive, true);
  ASSERT_TRUE(DbUseArea(true, "", file, "", Value()));
  FieldPut("NAME", "no lock needed");
  EXPECT_TRUE(errors.empty());
  EXPECT_FALSE(DbUseArea(true, "", file, "SECOND", Value(true)));
  EXPECT_EQ(lastGenCode(), gen::kOpen);
  EXPECT_EQ(lastError().osCode, 32);
  DbCloseAll();
  errors.clear();
  Set(set::kExclusive, false);
  ASSERT_TRUE(DbUseArea(true, "", file, "", Value()));
  FieldPut("NAME", "needs a lock");
  EXPECT_EQ(lastGenCode(), gen::kUnlocked);
  EXPECT_TRUE(DbUseArea(true, "", file, "SECOND", Value()));
}

// A program may end with tables still open: the exit runs the work areas' destructors,
// which must not touch what the database layer already destroyed.
TEST_F(DbWorkAreaTest, ProgramEndsCleanlyWithTablesOpen) {
  std::string file = makeCustomers();
  fill(file, {{"Offen", 1}});
  EXPECT_EXIT(
      {
        DbUseArea(true, "", file, "A", true);
        DbUseArea(true, "", file, "B", true);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace xb::test
