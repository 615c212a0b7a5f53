// Exchange with GDAL: tables written here are read by ogrinfo, tables written by ogr2ogr
// are read here.
#include <cstdio>

#include "core/date.h"
#include "core/text.h"
#include "db_fixture.h"

namespace xb::test {
namespace {

bool haveTool(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string run(const std::string& cmd) {
  std::string out;
  FILE* p = popen((cmd + " 2>&1").c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

std::string trimmed(const Value& v) {
  std::string s = v.str();
  return s.substr(0, s.find_last_not_of(' ') + 1);
}

using DbGdalTest = DbTest;

TEST_F(DbGdalTest, OgrinfoReadsOurTables) {
  if (!haveTool("ogrinfo")) GTEST_SKIP() << "ogrinfo (Debian package gdal-bin) is not installed";
  std::string file = makeCustomers("kunden.dbf");
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  ASSERT_TRUE(DbAppend());
  FieldPut("NAME", cp("Größe Äöü ß"));
  FieldPut("AMOUNT", -1234.56);
  FieldPut("BORN", Value::date(dayNumber(1999, 12, 31)));
  FieldPut("ACTIVE", true);
  ASSERT_TRUE(DbAppend());
  FieldPut("NAME", "Zweite Zeile");
  FieldPut("AMOUNT", 0.5);
  FieldPut("ACTIVE", false);
  DbCloseArea();
  ASSERT_TRUE(errors.empty());

  std::string out = run("ogrinfo -ro -al -fid 0 " + file);
  EXPECT_NE(out.find("Feature Count: 2"), std::string::npos) << out;
  EXPECT_NE(out.find("NAME (String) = Größe Äöü ß"), std::string::npos) << out;
  EXPECT_NE(out.find("AMOUNT (Real) = -1234.56"), std::string::npos) << out;
  EXPECT_NE(out.find("BORN (Date) = 1999/12/31"), std::string::npos) << out;
  EXPECT_NE(out.find("ACTIVE (String) = T"), std::string::npos) << out;
  EXPECT_NE(out.find("AMOUNT: Real (10.2)"), std::string::npos) << out;
  out = run("ogrinfo -ro -al -fid 1 " + file);
  EXPECT_NE(out.find("AMOUNT (Real) = 0.50"), std::string::npos) << out;
  EXPECT_NE(out.find("ACTIVE (String) = F"), std::string::npos) << out;
  EXPECT_EQ(out.find("BORN (Date)"), std::string::npos) << out;  // the empty date is null
}

TEST_F(DbGdalTest, TablesFromOgr2ogrAreReadHere) {
  if (!haveTool("ogr2ogr")) GTEST_SKIP() << "ogr2ogr (Debian package gdal-bin) is not installed";
  writeFile(path("in.csv"),
            "name,amount,count,day\n"
            "\"Müller, Jörg\",12.50,7,2024-02-29\n"
            "\"Öl\",-3.25,-12,\n");
  std::string out = run("ogr2ogr -f 'ESRI Shapefile' -oo AUTODETECT_TYPE=YES " + path("out") + " " + path("in.csv"));
  std::string file = path("out/in.dbf");
  ASSERT_TRUE(fs::exists(file)) << out;
  ASSERT_TRUE(DbUseArea(true, "", file, "", true, true));
  ASSERT_EQ(LastRec(), 2u);
  EXPECT_EQ(trimmed(FieldGet("NAME")), cp("Müller, Jörg"));
  Value amount = FieldGet("AMOUNT");
  EXPECT_DOUBLE_EQ(amount.num(), 12.5);
  EXPECT_EQ(FieldGet("COUNT").num(), 7);
  EXPECT_EQ(FieldGet("DAY").date(), dayNumber(2024, 2, 29));
  DbSkip();
  EXPECT_EQ(trimmed(FieldGet("NAME")), cp("Öl"));
  EXPECT_DOUBLE_EQ(FieldGet("AMOUNT").num(), -3.25);
  EXPECT_EQ(FieldGet("COUNT").num(), -12);
  EXPECT_EQ(FieldGet("DAY").date(), 0);
  EXPECT_TRUE(errors.empty()) << errors.front()->description;

  // Written here, it is still GDAL's table in its own code page.
  DbCloseArea();
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  FieldPut("NAME", cp("Größer"));
  DbCloseArea();
  out = run("ogrinfo -ro -al -fid 0 " + file);
  EXPECT_NE(out.find("name (String) = Größer"), std::string::npos) << out;
}

}  // namespace
}  // namespace xb::test
