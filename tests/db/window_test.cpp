// Reading through the table's map: records changed after a scan passed over them, a file that
// grows beyond its map, and a file cut short under it by another program.
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include "db/dbf.h"
#include "db_fixture.h"

namespace xb::test {
namespace {

class DbWindowTest : public DbTest {
 protected:
  // A customer table of n records: NAME "Kunde <i>", AMOUNT i + 0.25, ACTIVE for even i.
  std::string makeTable(int n, const std::string& name = "win.dbf") {
    std::string file = makeCustomers(name);
    EXPECT_TRUE(DbUseArea(true, "", file, "MAKE", false));
    for (int i = 1; i <= n; ++i) {
      DbAppend();
      FieldPut("NAME", "Kunde " + std::to_string(i));
      FieldPut("AMOUNT", i + 0.25);
      FieldPut("ACTIVE", i % 2 == 0);
    }
    DbCloseArea();
    return file;
  }
  static std::string name(int i) {
    std::string s = "Kunde " + std::to_string(i);
    return s + std::string(20 - s.size(), ' ');
  }
};

// After the scan has passed over records without copying them, changing one changes that
// record only: its other fields, its neighbours and a rollback all stay right.
TEST_F(DbWindowTest, ChangingARecordReachedByAScanKeepsEverythingElse) {
  std::string file = makeTable(10);
  ASSERT_TRUE(DbUseArea(true, "", file, "A", true));
  for (int i = 1; i < 5; ++i) DbSkip();
  ASSERT_EQ(RecNo(), 5u);
  ASSERT_TRUE(DbRLock());
  FieldPut("NAME", "Geändert");
  EXPECT_EQ(FieldGet("AMOUNT").num(), 5.25);
  EXPECT_FALSE(FieldGet("ACTIVE").logical());
  DBRROLLBACK();
  EXPECT_EQ(FieldGet("NAME").str(), name(5));
  FieldPut("AMOUNT", 99.5);
  DbDelete();
  DbCommit();
  DbRUnlock();

  ASSERT_TRUE(DbUseArea(true, "", file, "B", true));
  for (int i = 1; i <= 10; ++i) {
    EXPECT_EQ(FieldGet("NAME").str(), name(i));
    EXPECT_EQ(FieldGet("AMOUNT").num(), i == 5 ? 99.5 : i + 0.25);
    EXPECT_EQ(Deleted(), i == 5);
    DbSkip();
  }
  EXPECT_TRUE(Eof());
  EXPECT_TRUE(errors.empty());
}

// Records appended by another work area, more than the map of the reader has room for: the
// reader renews its map and reads every one of them.
TEST_F(DbWindowTest, ReaderFollowsATableGrowingBeyondItsMap) {
  const size_t room = db::setMapRoomForTesting(0);  // a map only twice the file
  std::string file = makeTable(3);
  ASSERT_TRUE(DbUseArea(true, "", file, "READER", true));
  ASSERT_TRUE(DbUseArea(true, "", file, "WRITER", true));
  for (int i = 4; i <= 3000; ++i) {
    DbAppend();
    FieldPut("NAME", "Kunde " + std::to_string(i));
    FieldPut("AMOUNT", i + 0.25);
  }
  DbCommit();
  DbSelectArea("READER");
  int seen = 0;
  for (DbGoTop(); !Eof(); DbSkip()) {
    ++seen;
    ASSERT_EQ(FieldGet("NAME").str(), name(seen));
    ASSERT_EQ(FieldGet("AMOUNT").num(), seen + 0.25);
  }
  EXPECT_EQ(seen, 3000);
  EXPECT_TRUE(errors.empty());
  db::setMapRoomForTesting(room);
}

// Another program cuts the file short while a scan runs: the records still there read as
// before, the first one gone is an error naming the file, and the process lives on.
TEST_F(DbWindowTest, FileCutShortUnderAScanIsAnErrorNotACrash) {
  std::string file = makeTable(2000);
  const std::string d = readFile(file);
  const size_t hdr = static_cast<unsigned char>(d[8]) | static_cast<unsigned char>(d[9]) << 8;
  const size_t len = static_cast<unsigned char>(d[10]) | static_cast<unsigned char>(d[11]) << 8;
  const int keep = 300;  // ends within a page; the pages behind it go altogether

  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  for (int i = 1; i < 1500; ++i) DbSkip();
  Value at1500 = FieldGet("NAME");
  EXPECT_EQ(at1500.str(), name(1500));
  DbGoTop();
  ASSERT_EQ(::truncate(file.c_str(), static_cast<off_t>(hdr + keep * len + len / 2)), 0);

  int read = 0;
  for (; read < 2000 && errors.empty() && !Eof(); DbSkip()) {
    Value v = FieldGet("NAME");
    if (!errors.empty()) break;
    ASSERT_EQ(v.str(), name(read + 1));
    ++read;
  }
  EXPECT_EQ(read, keep);
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(lastError().genCode, gen::kCorruption) << lastError().description;
  EXPECT_NE(lastError().description.find(file), std::string::npos);

  // A record far behind the new end, reached directly: the same error.
  errors.clear();
  DbGoto(1500);
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(lastError().genCode, gen::kCorruption);
  DbCloseArea();
}

// The same when the record was current before the cut: its fields are not read as zeros.
TEST_F(DbWindowTest, CurrentRecordCutAwayIsNotReadAsZeros) {
  std::string file = makeTable(2000);
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  for (int i = 1; i < 1800; ++i) DbSkip();
  ASSERT_EQ(RecNo(), 1800u);
  ASSERT_EQ(::truncate(file.c_str(), 4096), 0);
  for (const char* field : {"NAME", "AMOUNT", "BORN", "ACTIVE"}) {
    errors.clear();
    Value v = FieldGet(field);
    ASSERT_EQ(errors.size(), 1u) << field;
    EXPECT_EQ(lastError().genCode, gen::kCorruption) << lastError().description;
    EXPECT_NE(lastError().description.find(file), std::string::npos);
  }
  DbCloseArea();
}

// The guard takes faults in table maps only: any other bus error ends the process as it
// would without it (or is reported by the sanitizer that has the signal first).
TEST_F(DbWindowTest, OtherBusErrorsStillEndTheProcess) {
  std::string file = makeTable(5);
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));  // the guard is in place now
  const std::string other = path("other.bin");
  EXPECT_EXIT(
      {
        int fd = ::open(other.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::ftruncate(fd, 8192) != 0) ::_exit(0);
        auto* p = static_cast<volatile char*>(::mmap(nullptr, 8192, PROT_READ, MAP_SHARED, fd, 0));
        if (p == MAP_FAILED || ::ftruncate(fd, 0) != 0) ::_exit(0);
        char c = p[4096];
        ::_exit(c == 0 ? 0 : 0);  // reached only if the fault was swallowed
      },
      // Killed by SIGBUS, or by the sanitizer's report of it (an abort or an error exit):
      // anything but the exit 0 of a fault that was swallowed.
      [](int status) { return !(WIFEXITED(status) && WEXITSTATUS(status) == 0); },
      "");
  DbCloseArea();
}

}  // namespace
}  // namespace xb::test
