// The text engines: comma-delimited and fixed-width files through the work-area functions.
#include "core/date.h"
#include "core/text.h"
#include "db_fixture.h"

namespace xb::test {
namespace {

std::string trimmed(const Value& v) {
  std::string s = v.str();
  return s.substr(0, s.find_last_not_of(' ') + 1);
}

class DbTextTableTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    DbeLoad("DELDBE");
    DbeLoad("SDFDBE");
  }
  Value structure() {
    return arrayValue({arrayValue({"NAME", "C", 12, 0}), arrayValue({"AMOUNT", "N", 7, 2}),
                       arrayValue({"BORN", "D", 8, 0}), arrayValue({"ACTIVE", "L", 1, 0})});
  }
  void appendTwo(const std::string& engine, const std::string& file) {
    ASSERT_TRUE(DbCreate(file, structure(), engine));
    ASSERT_TRUE(DbUseArea(true, engine, file, "", false));
    ASSERT_TRUE(DbAppend());
    FieldPut("NAME", cp("Meier, \"Jö\""));
    FieldPut("AMOUNT", -12.5);
    FieldPut("BORN", Value::date(dayNumber(1970, 2, 28)));
    FieldPut("ACTIVE", true);
    ASSERT_TRUE(DbAppend());
    FieldPut("NAME", "Zwei");
    DbCloseArea();
    ASSERT_TRUE(errors.empty()) << errors.front()->description;
  }
  void expectTwo(const std::string& engine, const std::string& file) {
    ASSERT_TRUE(DbUseArea(true, engine, file, "", false));
    EXPECT_EQ(LastRec(), 2u);
    EXPECT_EQ(trimmed(FieldGet("NAME")), cp("Meier, \"Jö\""));
    EXPECT_EQ(FieldGet("AMOUNT").num(), -12.5);
    EXPECT_EQ(FieldGet("AMOUNT").number().decimals, 2);
    EXPECT_EQ(FieldGet("BORN").date(), dayNumber(1970, 2, 28));
    EXPECT_TRUE(FieldGet("ACTIVE").isTrue());
    DbSkip();
    EXPECT_EQ(trimmed(FieldGet("NAME")), "Zwei");
    EXPECT_EQ(FieldGet("BORN").date(), 0);
    DbSkip();
    EXPECT_TRUE(Eof());
  }
};

TEST_F(DbTextTableTest, DelimitedFilesAreWrittenAndReadBack) {
  std::string file = path("kunden.txt");
  appendTwo("DELDBE", file);
  EXPECT_EQ(readFile(file), cp("\"Meier, \"\"Jö\"\"\",-12.50,19700228,T\r\n\"Zwei\",,,\r\n"));
  expectTwo("DELDBE", file);
  // Appending goes on at the end.
  ASSERT_TRUE(DbAppend());
  FieldPut("NAME", "Drei");
  DbCloseArea();
  const std::string all = readFile(file);
  EXPECT_EQ(all.substr(all.size() - 13), "\r\n\"Drei\",,,\r\n");
  EXPECT_TRUE(errors.empty());
}

TEST_F(DbTextTableTest, FixedWidthFilesAreWrittenAndReadBack) {
  std::string file = path("kunden.sdf");
  appendTwo("SDFDBE", file);
  EXPECT_EQ(readFile(file), cp("Meier, \"Jö\"  -12.5019700228T\r\nZwei" + std::string(24, ' ') + "\r\n"));
  expectTwo("SDFDBE", file);
}

TEST_F(DbTextTableTest, DelimitedFileOfAnotherProgramWithoutStructure) {
  std::string file = path("fremd.csv");
  writeFile(file, "\"Anna\",12,3.5,T\n\"Bernd, B.\",-7,10.25,F\n");
  ASSERT_TRUE(DbUseArea(true, "DELDBE", file, "", true));
  Value s = DbStruct();
  ASSERT_EQ(Len(s), 4u);
  EXPECT_EQ(s.array()->at(1).array()->at(2).str(), "C");
  EXPECT_EQ(s.array()->at(2).array()->at(2).str(), "N");
  EXPECT_EQ(s.array()->at(3).array()->at(4).num(), 2);
  EXPECT_EQ(s.array()->at(4).array()->at(2).str(), "L");
  EXPECT_EQ(FieldName(1), "FIELD1");
  DbGoBottom();
  EXPECT_EQ(trimmed(FieldGet(1)), "Bernd, B.");
  EXPECT_EQ(FieldGet(2).num(), -7);
  EXPECT_EQ(FieldGet(3).num(), 10.25);
  EXPECT_FALSE(FieldGet(4).isTrue());
  EXPECT_TRUE(errors.empty());
}

TEST_F(DbTextTableTest, BadLinesAndRewritesAreErrors) {
  std::string file = path("kunden.txt");
  appendTwo("DELDBE", file);
  ASSERT_TRUE(DbUseArea(true, "DELDBE", file, "", false));
  FieldPut("NAME", "anders");
  DbCommit();
  EXPECT_EQ(lastGenCode(), gen::kUnsupported);
  DBRROLLBACK();
  DbCloseArea();
  errors.clear();
  const std::string good = readFile(file);

  struct Case {
    const char* label;
    std::string line;
    const char* mentions;
  };
  const Case cases[] = {
      {"open quote", "\"offen,1,19700101,T\r\n", "Line 3"},
      {"too many values", "\"a\",1,19700101,T,9\r\n", "Line 3"},
      {"no date", "\"a\",1,19701399,T\r\n", "BORN"},
      {"no number", "\"a\",1x,19700101,T\r\n", "AMOUNT"},
      {"too wide", "\"dreizehn Zeich\",1,19700101,T\r\n", "NAME"},
  };
  for (auto& c : cases) {
    errors.clear();
    writeFile(file, good + c.line);
    EXPECT_FALSE(DbUseArea(true, "DELDBE", file, "", true)) << c.label;
    ASSERT_EQ(errors.size(), 1u) << c.label;
    EXPECT_EQ(lastGenCode(), gen::kCorruption) << c.label;
    EXPECT_NE(lastError().description.find(c.mentions), std::string::npos) << lastError().description;
    EXPECT_EQ(lastError().fileName, file);
    EXPECT_EQ(readFile(file), good + c.line);
  }
}

}  // namespace
}  // namespace xb::test
