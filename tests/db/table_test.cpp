// DBF tables: the file layout, values of every field type, code pages and bad input.
#include <cstring>

#include "core/date.h"
#include "core/text.h"
#include "db_fixture.h"

namespace xb::test {
namespace {

uint32_t le32(const std::string& d, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t{static_cast<unsigned char>(d[at + static_cast<size_t>(i)])} << (8 * i);
  return v;
}
uint16_t le16(const std::string& d, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(d[at]) | static_cast<unsigned char>(d[at + 1]) << 8);
}
// Byte offset of a field of a record in the raw file.
size_t rawOffset(const std::string& d, uint32_t recno, int fieldOffset) {
  return le16(d, 8) + static_cast<size_t>(recno - 1) * le16(d, 10) + static_cast<size_t>(fieldOffset);
}

using DbTableTest = DbTest;

TEST_F(DbTableTest, WrittenValuesComeBackWithTheirTypesAndWidths) {
  std::string file = makeCustomers();
  const std::string name = cp("Jürgen Öztürk");
  const int32_t born = dayNumber(1970, 2, 28);
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  ASSERT_TRUE(DbAppend());
  FieldPut("NAME", name);
  FieldPut("AMOUNT", -1234.5);
  FieldPut("BORN", Value::date(born));
  FieldPut("ACTIVE", true);
  ASSERT_TRUE(DbAppend());
  FieldPut("NAME", "Zweiter");
  DbCloseArea();
  ASSERT_TRUE(errors.empty());

  ASSERT_TRUE(DbUseArea(true, "", file, "", true, true));
  EXPECT_EQ(LastRec(), 2u);
  EXPECT_EQ(FieldGet("NAME").str(), name + std::string(20 - name.size(), ' '));
  Value amount = FieldGet(2);
  EXPECT_EQ(amount.num(), -1234.5);
  EXPECT_EQ(amount.number().width, 10);
  EXPECT_EQ(amount.number().decimals, 2);
  EXPECT_EQ(FieldGet("BORN").date(), born);
  EXPECT_TRUE(FieldGet("ACTIVE").isTrue());
  DbSkip();
  EXPECT_EQ(FieldGet("AMOUNT").num(), 0);
  EXPECT_TRUE(FieldGet("BORN").isDate());
  EXPECT_EQ(FieldGet("BORN").date(), 0);
  EXPECT_FALSE(FieldGet("ACTIVE").isTrue());
  EXPECT_TRUE(errors.empty());
}

TEST_F(DbTableTest, FileHasTheCommonHeaderAndCp850Marker) {
  std::string file = makeCustomers();
  fill(file, {{cp("Müller"), 12.5}, {"B", 1}});
  std::string d = readFile(file);
  EXPECT_EQ(static_cast<unsigned char>(d[0]), 0x03);
  EXPECT_EQ(le32(d, 4), 2u);
  EXPECT_EQ(le16(d, 8), 32 + 4 * 32 + 1);
  EXPECT_EQ(le16(d, 10), 1 + 20 + 10 + 8 + 1);
  EXPECT_EQ(static_cast<unsigned char>(d[29]), 0x02);
  EXPECT_EQ(static_cast<unsigned char>(d[le16(d, 8) - 1]), 0x0D);
  EXPECT_EQ(d.size(), le16(d, 8) + 2u * le16(d, 10) + 1);
  EXPECT_EQ(d.back(), '\x1A');
  EXPECT_EQ(d.substr(rawOffset(d, 1, 1), 6), cp("Müller"));
  EXPECT_EQ(d.substr(rawOffset(d, 1, 21), 10), "     12.50");
}

struct CodePageCase {
  const char* label;
  uint8_t ldid;
  const char* cpg;      // nullptr: no .cpg file
  std::string raw;      // bytes stored in the file for the text
  std::string utf8;     // the same text, readable
};

class DbCodePageTest : public DbTest, public ::testing::WithParamInterface<CodePageCase> {};

// A table marked with another code page is converted on read and on write; fields that
// are not written keep their bytes.
TEST_P(DbCodePageTest, ConvertsOnReadAndWrite) {
  const auto& c = GetParam();
  std::string file = makeCustomers();
  fill(file, {{"x", 1}, {"keep", 2}});
  std::string d = readFile(file);
  d[29] = static_cast<char>(c.ldid);
  std::string field = c.raw + std::string(20 - c.raw.size(), ' ');
  d.replace(rawOffset(d, 1, 1), 20, field);
  d.replace(rawOffset(d, 2, 1), 20, field);
  writeFile(file, d);
  if (c.cpg) writeFile(path("cust.cpg"), c.cpg);

  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  std::string text = FieldGet("NAME").str();
  EXPECT_EQ(text.substr(0, text.find_last_not_of(' ') + 1), cp(c.utf8));
  FieldPut("NAME", cp(c.utf8));
  FieldPut("AMOUNT", 5);
  DbCloseArea();
  ASSERT_TRUE(errors.empty()) << errors.front()->description;
  std::string after = readFile(file);
  EXPECT_EQ(after.substr(rawOffset(after, 1, 1), 20), field);
  EXPECT_EQ(after.substr(rawOffset(after, 2, 1), 20), field);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DbCodePageTest,
    ::testing::Values(CodePageCase{"cp850", 0x02, nullptr, "M\x81ller \xE1", "Müller ß"},
                      CodePageCase{"unmarked", 0x00, nullptr, "M\x81ller", "Müller"},
                      CodePageCase{"cp1252", 0x57, nullptr, "M\xFCller \xDF", "Müller ß"},
                      CodePageCase{"cp437", 0x01, nullptr, "\x8E\x99\x9A", "ÄÖÜ"},
                      CodePageCase{"cpgUtf8", 0x02, "UTF-8", "M\xC3\xBCller", "Müller"},
                      CodePageCase{"cpgAnsi", 0x00, "ANSI 1252", "\xC4pfel", "Äpfel"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(DbTableTest, TextThatTheTablesCodePageCannotHoldIsRefused) {
  std::string file = makeCustomers();
  fill(file, {{"alt", 1}});
  std::string d = readFile(file);
  d[29] = 0x57;  // CP1252 has no box-drawing characters
  writeFile(file, d);
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  FieldPut("NAME", std::string("a\xB3" "b"));
  EXPECT_EQ(lastGenCode(), gen::kDataType);
  DbCommit();
  DbGoto(1);
  EXPECT_EQ(FieldGet("NAME").str().substr(0, 3), "alt");
}

TEST_F(DbTableTest, ValuesThatDoNotFitAreErrorsAndLeaveTheFieldAlone) {
  std::string file = makeCustomers();
  fill(file, {{"Original", 7.25}});
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  struct Case {
    const char* field;
    Value value;
    int genCode;
  };
  const Case cases[] = {
      {"NAME", std::string(21, 'x'), gen::kDataWidth},
      {"NAME", 12, gen::kDataType},
      {"AMOUNT", 12345678.9, gen::kDataWidth},
      {"AMOUNT", "7", gen::kDataType},
      {"BORN", "19700101", gen::kDataType},
      {"ACTIVE", 1, gen::kDataType},
      {"NOSUCH", 1, gen::kNoField},
  };
  for (auto& c : cases) {
    errors.clear();
    FieldPut(c.field, c.value);
    ASSERT_EQ(errors.size(), 1u) << c.field;
    EXPECT_EQ(lastError().genCode, c.genCode) << c.field;
    EXPECT_EQ(lastError().fileName, file);
    EXPECT_EQ(lastError().subSystem, "DBFDBE");
    EXPECT_NE(lastError().description.find(c.field), std::string::npos) << lastError().description;
  }
  errors.clear();
  FieldPut("NAME", std::string(20, 'y') + "    ");  // blanks beyond the width lose nothing
  FieldPut("AMOUNT", 9999999.99);
  EXPECT_TRUE(errors.empty());
  DBRROLLBACK();
  DbCloseArea();
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  EXPECT_EQ(FieldGet("NAME").str().substr(0, 8), "Original");
  EXPECT_EQ(FieldGet("AMOUNT").num(), 7.25);
}

TEST_F(DbTableTest, GarbageInAFieldIsAnErrorNamingFileAndField) {
  std::string file = makeCustomers();
  fill(file, {{"Gut", 1}, {"Kaputt", 2}});
  std::string d = readFile(file);
  d.replace(rawOffset(d, 2, 31), 8, "2024AB01");
  d.replace(rawOffset(d, 2, 21), 10, "   1x.5   ");
  writeFile(file, d);
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  EXPECT_EQ(FieldGet("BORN").date(), 0);
  EXPECT_TRUE(errors.empty());
  DbSkip();
  for (const char* field : {"BORN", "AMOUNT"}) {
    errors.clear();
    FieldGet(field);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(lastError().genCode, gen::kCorruption);
    EXPECT_NE(lastError().description.find(field), std::string::npos);
    EXPECT_NE(lastError().description.find(file), std::string::npos);
  }
  EXPECT_EQ(FieldGet("NAME").str().substr(0, 6), "Kaputt");
}

// Number texts as other programs write them.
TEST_F(DbTableTest, NumberTextsOfOtherWritersAreRead) {
  std::string file = makeCustomers();
  fill(file, {{"A", 1}});
  const std::pair<const char*, double> cases[] = {
      {"     12.50", 12.5}, {"-1234.5678", -1234.5678}, {"0.12345678", 0.12345678},
      {"      1,25", 1.25}, {"      +7.5", 7.5},         {"  -0.00   ", 0},
      {"        .5", 0.5},  {"        5.", 5},           {"          ", 0},
      {"9999999999", 9999999999.0}};
  for (auto& [text, expected] : cases) {
    std::string d = readFile(file);
    d.replace(rawOffset(d, 1, 21), 10, text);
    writeFile(file, d);
    ASSERT_TRUE(DbUseArea(true, "", file, "", true, true));
    Value v = FieldGet("AMOUNT");
    EXPECT_DOUBLE_EQ(v.num(), expected) << text;
    EXPECT_EQ(v.number().width, 10);
    DbCloseArea();
  }
  EXPECT_TRUE(errors.empty());
}

// Twenty digits are more than an exact integer holds; they are read the long way.
TEST_F(DbTableTest, WidestNumberFieldIsRead) {
  std::string file = path("wide.dbf");
  ASSERT_TRUE(DbCreate(file, arrayValue({arrayValue({"N", "N", 20, 0})})));
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  DbAppend();
  DbCloseArea();
  std::string d = readFile(file);
  d.replace(rawOffset(d, 1, 1), 20, "99999999999999999999");
  writeFile(file, d);
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  EXPECT_DOUBLE_EQ(FieldGet(1).num(), 1e20);
  EXPECT_TRUE(errors.empty());
}

struct CorruptCase {
  const char* label;
  std::function<void(std::string&)> damage;
  int genCode;
};

class DbCorruptTableTest : public DbTest, public ::testing::WithParamInterface<CorruptCase> {};

// A damaged file is refused with a clear error and is not touched.
TEST_P(DbCorruptTableTest, RefusedWithoutTouchingTheFile) {
  std::string file = makeCustomers();
  fill(file, {{"A", 1}, {"B", 2}, {"C", 3}});
  std::string d = readFile(file);
  GetParam().damage(d);
  writeFile(file, d);
  for (bool shared : {true, false}) {
    errors.clear();
    EXPECT_FALSE(DbUseArea(true, "", file, "", shared));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(lastError().genCode, GetParam().genCode) << lastError().description;
    EXPECT_EQ(lastError().fileName, file);
    EXPECT_NE(lastError().description.find(file), std::string::npos);
    EXPECT_FALSE(Used());
  }
  EXPECT_EQ(readFile(file), d);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DbCorruptTableTest,
    ::testing::Values(
        CorruptCase{"RecordLengthDoesNotMatchFields", [](std::string& d) { d[10] = static_cast<char>(d[10] + 1); }, gen::kCorruption},
        CorruptCase{"CountBeyondFileEnd", [](std::string& d) { d[4] = 9; }, gen::kCorruption},
        CorruptCase{"FieldNameWithoutTerminator", [](std::string& d) { d.replace(32, 11, "ABCDEFGHIJK"); }, gen::kCorruption},
        CorruptCase{"FieldListWithoutEndMark", [](std::string& d) { d[32 + 4 * 32] = 'X'; }, gen::kCorruption},
        CorruptCase{"UnknownFieldType", [](std::string& d) { d[32 + 11] = 'Q'; }, gen::kCorruption},
        CorruptCase{"MemoField", [](std::string& d) { d[32 + 11] = 'M'; }, gen::kUnsupported},
        CorruptCase{"NotATable", [](std::string& d) { d = "Dies ist keine Tabelle, nur ein Text.\r\n"; }, gen::kCorruption},
        CorruptCase{"TruncatedHeader", [](std::string& d) { d.resize(40); }, gen::kCorruption},
        CorruptCase{"EmptyFile", [](std::string& d) { d.clear(); }, gen::kCorruption}),
    [](const auto& info) { return std::string(info.param.label); });

// Every header byte damaged in turn: the table opens or is refused, its records read or
// give errors, nothing crashes and nothing is written.
TEST_F(DbTableTest, DamagedHeaderBytesNeverCrashOrWrite) {
  std::string file = makeCustomers();
  fill(file, {{"A", 1}, {"B", 2}});
  const std::string good = readFile(file);
  const size_t hdrLen = le16(good, 8);
  for (size_t pos = 0; pos < hdrLen; ++pos) {
    for (unsigned char bad : {0x00, 0x7F, 0xFF}) {
      if (static_cast<unsigned char>(good[pos]) == bad) continue;
      std::string d = good;
      d[pos] = static_cast<char>(bad);
      writeFile(file, d);
      if (DbUseArea(true, "", file, "", true, true)) {
        for (DbGoTop(); !Eof(); DbSkip())
          for (int f = 1; f <= FCount(); ++f) FieldGet(f);
        DbCloseArea();
      } else {
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(lastError().fileName, file);
      }
      ASSERT_EQ(readFile(file), d) << "byte " << pos;
    }
  }
}

// A count one beyond the records present is what a writer leaves that dies between
// writing the count and the record: the records present are the table.
TEST_F(DbTableTest, CountOneBeyondTheRecordsTrustsTheRecords) {
  std::string file = makeCustomers();
  fill(file, {{"A", 1}, {"B", 2}, {"C", 3}});
  std::string d = readFile(file);
  d[4] = 4;
  writeFile(file, d);
  ASSERT_TRUE(DbUseArea(true, "", file, "", true, true));
  EXPECT_EQ(LastRec(), 3u);
  DbGoBottom();
  EXPECT_EQ(FieldGet("NAME").str().substr(0, 1), "C");
  DbCloseArea();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(readFile(file), d);
  // The next append puts its record where the lost one would have been.
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  ASSERT_TRUE(DbAppend());
  FieldPut("NAME", "D");
  DbCloseArea();
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  EXPECT_EQ(LastRec(), 4u);
  DbGoBottom();
  EXPECT_EQ(FieldGet("NAME").str().substr(0, 1), "D");
}

TEST_F(DbTableTest, MissingFileHasItsOwnCode) {
  EXPECT_FALSE(DbUseArea(true, "", path("nothere.dbf"), "", true));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(lastError().genCode, gen::kNoFile);
  EXPECT_EQ(lastError().osCode, 2);
  EXPECT_EQ(lastError().fileName, path("nothere.dbf"));
}

TEST_F(DbTableTest, RetryAnswerOpensOnceTheFileIsThere) {
  std::string file = path("later.dbf");
  answer = [&](const ErrorRef&) {
    makeCustomers("later.dbf");
    return Value(true);
  };
  EXPECT_TRUE(DbUseArea(true, "", file, "", true));
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_TRUE(Used());
}

TEST_F(DbTableTest, BadStructuresCreateNoFile) {
  struct Case {
    const char* label;
    Value structure;
  };
  const Case cases[] = {
      {"duplicate", arrayValue({arrayValue({"A", "C", 5, 0}), arrayValue({"a", "N", 5, 0})})},
      {"long name", arrayValue({arrayValue({"ELEVENCHARS", "C", 5, 0})})},
      {"memo", arrayValue({arrayValue({"NOTE", "M", 10, 0})})},
      {"zero width", arrayValue({arrayValue({"A", "C", 0, 0})})},
      {"decimals", arrayValue({arrayValue({"A", "N", 4, 3})})},
      {"no fields", arrayValue({})},
      {"not an array", Value("A,C,10")},
  };
  for (auto& c : cases) {
    errors.clear();
    EXPECT_FALSE(DbCreate(path("bad.dbf"), c.structure)) << c.label;
    EXPECT_EQ(errors.size(), 1u) << c.label;
    EXPECT_FALSE(fs::exists(path("bad.dbf"))) << c.label;
  }
  EXPECT_EQ(errors.back()->genCode, gen::kArgument);
}

TEST_F(DbTableTest, ReadOnlyTableRefusesWrites) {
  std::string file = makeCustomers();
  fill(file, {{"A", 1}});
  std::string before = readFile(file);
  ASSERT_TRUE(DbUseArea(true, "", file, "", false, true));
  FieldPut("NAME", "B");
  EXPECT_EQ(lastGenCode(), gen::kTableReadOnly);
  EXPECT_FALSE(DbAppend());
  EXPECT_EQ(lastGenCode(), gen::kTableReadOnly);
  DbCloseArea();
  EXPECT_EQ(readFile(file), before);
}

// FieldGetInto, which overwrites one value per field, gives what FieldGet gives for every
// field type, blank and odd field contents, also in a table of another code page, and
// reuses the text it holds instead of making a new one for each record.
class DbFieldGetIntoTest : public DbTest, public ::testing::WithParamInterface<CodePageCase> {};

TEST_P(DbFieldGetIntoTest, GivesWhatFieldGetGivesAndReusesTheText) {
  const auto& c = GetParam();
  std::string file = path("all.dbf");
  ASSERT_TRUE(DbCreate(file, arrayValue({arrayValue({"NAME", "C", 20, 0}), arrayValue({"COUNT", "N", 5, 0}),
                                         arrayValue({"AMOUNT", "N", 10, 2}), arrayValue({"BORN", "D", 8, 0}),
                                         arrayValue({"ACTIVE", "L", 1, 0})})));
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  DbAppend();
  FieldPut(1, "x");
  FieldPut(2, 3);
  FieldPut(3, -12.5);
  FieldPut(4, Value::date(2460000));
  FieldPut(5, true);
  DbAppend();  // all blank
  DbAppend();
  FieldPut(1, "Zwanzig Zeichen lang");
  FieldPut(2, -9999);
  FieldPut(3, -123456.78);
  FieldPut(4, Value::date(0));
  FieldPut(5, false);
  DbAppend();
  DbCloseArea();
  ASSERT_TRUE(errors.empty()) << errors.front()->description;
  // Record 1 in the table's code page, record 4 as other writers leave fields.
  std::string d = readFile(file);
  d[29] = static_cast<char>(c.ldid);
  d.replace(rawOffset(d, 1, 1), 20, c.raw + std::string(20 - c.raw.size(), ' '));
  d.replace(rawOffset(d, 4, 21), 5, "   +7");
  d.replace(rawOffset(d, 4, 26), 10, "   1,5    ");
  d.replace(rawOffset(d, 4, 36), 8, "00000000");
  d.replace(rawOffset(d, 4, 44), 1, "y");
  writeFile(file, d);

  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  const int fields = FCount();
  std::vector<Value> row(static_cast<size_t>(fields));
  std::vector<std::vector<Value>> seen;
  // A text longer than any field: kept (same buffer, same capacity) when it is reused,
  // while a new string would be allocated for the field's width.
  row[0] = std::string(100, '-');
  const char* text = row[0].str().data();
  for (DbGoTop(); !Eof(); DbSkip()) {
    for (int f = 1; f <= fields; ++f) {
      Value& v = row[static_cast<size_t>(f) - 1];
      Value fresh = FieldGet(f);
      ASSERT_TRUE(FieldGetInto(f, v));
      EXPECT_EQ(ValType(v), ValType(fresh)) << "record " << RecNo() << " field " << f;
      EXPECT_TRUE(exactlyEqual(v, fresh)) << "record " << RecNo() << " field " << f;
      EXPECT_EQ(v.number().width, fresh.number().width);
      EXPECT_EQ(v.number().decimals, fresh.number().decimals);
    }
    EXPECT_EQ(row[0].str().data(), text) << "record " << RecNo();
    EXPECT_GE(row[0].str().capacity(), 100u) << "record " << RecNo();
    seen.push_back(row);
  }
  ASSERT_TRUE(errors.empty()) << errors.front()->description;
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0][0].str(), cp(c.utf8) + std::string(20 - cp(c.utf8).size(), ' '));
  EXPECT_EQ(seen[0][2].num(), -12.5);
  EXPECT_EQ(seen[0][2].number().width, 10);
  EXPECT_EQ(seen[0][2].number().decimals, 2);
  EXPECT_EQ(seen[0][3].date(), 2460000);
  EXPECT_TRUE(seen[0][4].logical());
  EXPECT_EQ(seen[1][0].str(), std::string(20, ' '));
  EXPECT_EQ(seen[1][1].num(), 0);
  EXPECT_TRUE(seen[1][3].isDate());
  EXPECT_EQ(seen[1][3].date(), 0);
  EXPECT_FALSE(seen[1][4].logical());
  EXPECT_EQ(seen[2][0].str(), "Zwanzig Zeichen lang");
  EXPECT_EQ(seen[2][1].num(), -9999);
  EXPECT_EQ(seen[2][2].num(), -123456.78);
  EXPECT_EQ(seen[2][3].date(), 0);
  EXPECT_EQ(seen[3][1].num(), 7);
  EXPECT_EQ(seen[3][2].num(), 1.5);
  EXPECT_EQ(seen[3][3].date(), 0);
  EXPECT_TRUE(seen[3][4].logical());
}

INSTANTIATE_TEST_SUITE_P(
    Tables, DbFieldGetIntoTest,
    ::testing::Values(CodePageCase{"cp850", 0x02, nullptr, "M\x81ller \xE1", "Müller ß"},
                      CodePageCase{"cp1252", 0x57, nullptr, "M\xFCller \xDF", "Müller ß"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(DbTableTest, FieldGetIntoReportsBadPositionsAndBadFields) {
  Value v = "old";
  EXPECT_FALSE(FieldGetInto(1, v));
  EXPECT_EQ(lastGenCode(), gen::kNoTable);
  EXPECT_TRUE(v.isNil());

  std::string file = makeCustomers();
  fill(file, {{"Gut", 1}, {"Kaputt", 2}});
  std::string d = readFile(file);
  d.replace(rawOffset(d, 2, 21), 10, "   1x.5   ");
  writeFile(file, d);
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  for (int pos : {0, -1, 5}) {
    errors.clear();
    v = "old";
    EXPECT_FALSE(FieldGetInto(pos, v)) << pos;
    EXPECT_EQ(lastGenCode(), gen::kNoField) << pos;
    EXPECT_TRUE(v.isNil()) << pos;
  }
  // A fraction names no field (it is not cut to a position).
  errors.clear();
  EXPECT_TRUE(FieldGet(1.5).isNil());
  EXPECT_EQ(lastGenCode(), gen::kNoField);

  DbSkip();
  errors.clear();
  v = Value::number(1, 10, 2);
  EXPECT_FALSE(FieldGetInto(2, v));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(lastError().genCode, gen::kCorruption);
  EXPECT_NE(lastError().description.find("AMOUNT"), std::string::npos);
  EXPECT_TRUE(v.isNil());
  EXPECT_TRUE(FieldGetInto(1, v));
  EXPECT_EQ(v.str().substr(0, 6), "Kaputt");
}

}  // namespace
}  // namespace xb::test
