// Index files: order, seeking, upkeep on append and update, sharing between processes.
#include <sys/wait.h>

#include "core/date.h"
#include "db_fixture.h"

namespace xb::test {
namespace {

std::string trimmed(const Value& v) {
  std::string s = v.str();
  return s.substr(0, s.find_last_not_of(' ') + 1);
}

class DbIndexTest : public DbTest {
 protected:
  void SetUp() override {
    DbTest::SetUp();
    DbeLoad("DBFDBE", true);
    DbeLoad("NTXDBE", true);
    DbeBuild("DBFNTX", "DBFDBE", "NTXDBE");
    file = makeCustomers();
    fill(file, {{"Schulz", 10}, {"Meier", 2}, {"Zorro", -1.5}, {"Meier", -5}, {"Becker", 0}});
  }
  // The values of a field in the order the work area walks.
  std::vector<std::string> walk(const char* field) {
    std::vector<std::string> out;
    for (DbGoTop(); !Eof(); DbSkip()) {
      Value v = FieldGet(field);
      out.push_back(v.isNum() ? std::to_string(static_cast<int>(v.num() * 10)) : trimmed(v));
    }
    return out;
  }
  std::string file;
};

TEST_F(DbIndexTest, WalksAndSeeksInKeyOrder) {
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  ASSERT_TRUE(OrdCreate(path("byname"), "NAME"));
  EXPECT_EQ(walk("NAME"), (std::vector<std::string>{"Becker", "Meier", "Meier", "Schulz", "Zorro"}));
  EXPECT_TRUE(DbSeek("Mei"));
  EXPECT_TRUE(Found());
  EXPECT_EQ(RecNo(), 2u);
  DbSkip();
  EXPECT_EQ(RecNo(), 4u);
  DbSkip(-2);
  EXPECT_EQ(trimmed(FieldGet("NAME")), "Becker");
  DbSkip(-1);
  EXPECT_TRUE(Bof());
  EXPECT_FALSE(DbSeek("Mz"));
  EXPECT_FALSE(Found());
  EXPECT_TRUE(Eof());
  EXPECT_FALSE(DbSeek("Mz", true));
  EXPECT_FALSE(Eof());
  EXPECT_EQ(trimmed(FieldGet("NAME")), "Schulz");
  DbGoBottom();
  EXPECT_EQ(trimmed(FieldGet("NAME")), "Zorro");

  ASSERT_TRUE(OrdCreate(path("byamount"), "AMOUNT"));  // negative numbers sort first
  EXPECT_EQ(walk("AMOUNT"), (std::vector<std::string>{"-50", "-15", "0", "20", "100"}));
  EXPECT_TRUE(DbSeek(-1.5));
  EXPECT_EQ(trimmed(FieldGet("NAME")), "Zorro");
  EXPECT_EQ(OrdSetFocus("byname"), "BYAMOUNT");
  EXPECT_EQ(OrdKey(), "NAME");
  OrdSetFocus(0);
  EXPECT_EQ(walk("NAME").front(), "Schulz");
  EXPECT_TRUE(errors.empty());
}

TEST_F(DbIndexTest, KeyOfSeveralFields) {
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  ASSERT_TRUE(OrdCreate(path("both"), "NAME+AMOUNT"));
  EXPECT_EQ(OrdKey(), "NAME+AMOUNT");
  EXPECT_TRUE(DbSeek(arrayValue({"Meier", 2})));
  EXPECT_EQ(RecNo(), 2u);
  EXPECT_TRUE(DbSeek(arrayValue({"Meier", -5})));
  EXPECT_EQ(RecNo(), 4u);
  EXPECT_FALSE(DbSeek(arrayValue({"Meier", 3})));
  EXPECT_FALSE(DbSeek(Value::date(5)));
  EXPECT_EQ(lastGenCode(), gen::kDataType);
}

TEST_F(DbIndexTest, KeptCurrentOnAppendAndUpdateAndKeptInItsFile) {
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  ASSERT_TRUE(OrdCreate(path("byname"), "NAME"));
  ASSERT_TRUE(DbAppend());
  FieldPut("NAME", "Aaron");
  DbCommit();
  DbGoto(3);  // Zorro
  ASSERT_TRUE(DbRLock());
  FieldPut("NAME", "Anton");
  DbRUnlock();
  EXPECT_EQ(walk("NAME"), (std::vector<std::string>{"Aaron", "Anton", "Becker", "Meier", "Meier", "Schulz"}));
  DbCloseArea();

  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  ASSERT_TRUE(OrdListAdd(path("byname")));
  EXPECT_EQ(OrdCount(), 1);
  EXPECT_EQ(walk("NAME"), (std::vector<std::string>{"Aaron", "Anton", "Becker", "Meier", "Meier", "Schulz"}));
  EXPECT_TRUE(DbSeek("Anton"));
  EXPECT_EQ(RecNo(), 3u);
  EXPECT_TRUE(errors.empty());
}

// Two processes append under one index at the same time: each one's entries survive the
// other's rewrites of the index file.
TEST_F(DbIndexTest, ProcessesShareTheIndex) {
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  ASSERT_TRUE(OrdCreate(path("byname"), "NAME"));
  DbCloseArea();
  auto appender = [&](const std::string& prefix) {
    pid_t pid = fork();
    if (pid == 0) {
      db::resetForTesting();
      DbeLoad("DBFDBE", true);
      DbeLoad("NTXDBE", true);
      DbeBuild("DBFNTX", "DBFDBE", "NTXDBE");
      bool ok = DbUseArea(true, "", file, "", true) && OrdListAdd(path("byname"));
      for (int i = 0; ok && i < 100; ++i) {
        ok = DbAppend();
        FieldPut("NAME", prefix + std::to_string(1000 + i));
        DbRUnlock();
      }
      _exit(ok && errors.empty() ? 0 : 1);
    }
    return pid;
  };
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  ASSERT_TRUE(OrdListAdd(path("byname")));
  pid_t a = appender("P"), b = appender("Q");
  int sa = 0, sb = 0;
  waitpid(a, &sa, 0);
  waitpid(b, &sb, 0);
  EXPECT_EQ(sa, 0);
  EXPECT_EQ(sb, 0);
  EXPECT_TRUE(DbSeek("Q1099"));
  std::vector<std::string> names = walk("NAME");
  ASSERT_EQ(names.size(), 205u);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
  EXPECT_EQ(names[3], "P1000");
  EXPECT_EQ(names[103], "Q1000");
}

TEST_F(DbIndexTest, BadIndexUseIsAnError) {
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  EXPECT_FALSE(DbSeek("x"));
  EXPECT_EQ(lastGenCode(), gen::kNoOrder);
  EXPECT_FALSE(OrdCreate(path("bad"), "NAME+SALARY"));
  EXPECT_EQ(lastGenCode(), gen::kNoField);
  EXPECT_NE(lastError().description.find("SALARY"), std::string::npos);
  EXPECT_FALSE(fs::exists(path("bad.ntx")));

  ASSERT_TRUE(OrdCreate(path("byname"), "NAME"));
  OrdListClear();
  std::string d = readFile(path("byname.ntx"));
  d[40] = static_cast<char>(d[40] ^ 0x55);
  writeFile(path("byname.ntx"), d);
  EXPECT_FALSE(OrdListAdd(path("byname")));
  EXPECT_EQ(lastGenCode(), gen::kCorruption);
  EXPECT_EQ(lastError().fileName, path("byname.ntx"));
  EXPECT_EQ(lastError().subSystem, "NTXDBE");
  EXPECT_EQ(OrdCount(), 0);
  EXPECT_FALSE(OrdListAdd(path("table")));
  EXPECT_EQ(lastGenCode(), gen::kNoFile);
}

}  // namespace
}  // namespace xb::test
