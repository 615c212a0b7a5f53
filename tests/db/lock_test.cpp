// Shared use: exclusive opening, record and file locks between processes and between work
// areas of one process, concurrent appends, a writer killed while appending, a full disk.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

#include "db_fixture.h"

namespace xb::test {
namespace {

// Runs fn in a child process; its result is the exit code.
pid_t spawn(const std::function<int()>& fn) {
  pid_t pid = fork();
  if (pid == 0) {
    db::resetForTesting();  // the child opens its own tables
    int code = 1;
    try {
      code = fn();
    } catch (...) {
      code = 99;
    }
    _exit(code);
  }
  return pid;
}

int waitFor(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A pipe to tell a child when to go on.
struct Signal {
  int fd[2];
  Signal() { EXPECT_EQ(pipe(fd), 0); }
  ~Signal() {
    close(fd[0]);
    close(fd[1]);
  }
  void send() { EXPECT_EQ(write(fd[1], "x", 1), 1); }
  void wait() {
    char c;
    EXPECT_EQ(read(fd[0], &c, 1), 1);
  }
};

std::string trimmed(const Value& v) {
  std::string s = v.str();
  return s.substr(0, s.find_last_not_of(' ') + 1);
}

using DbLockTest = DbTest;

TEST_F(DbLockTest, ExclusiveOpenIsRefusedToOthersWithSharingViolation) {
  std::string file = makeCustomers();
  ASSERT_TRUE(DbUseArea(true, "", file, "", false));
  pid_t child = spawn([&] {
    bool opened = DbUseArea(true, "", file, "", true);
    if (opened || errors.empty()) return 1;
    const ErrorObject& e = *errors.back();
    return e.genCode == gen::kOpen && e.osCode == 32 && e.canDefault && e.fileName == file ? 0 : 2;
  });
  EXPECT_EQ(waitFor(child), 0);
  DbCloseArea();
  // Shared users keep an exclusive one out in the same way.
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  pid_t child2 = spawn([&] { return !DbUseArea(true, "", file, "", false) && lastGenCode() == gen::kOpen ? 0 : 1; });
  EXPECT_EQ(waitFor(child2), 0);
}

TEST_F(DbLockTest, LockHeldElsewhereGivesLockErrorAfterTheWait) {
  std::string file = makeCustomers();
  fill(file, {{"A", 1}, {"B", 2}});
  Signal locked, release;
  pid_t child = spawn([&] {
    if (!DbUseArea(true, "", file, "", true) || !DbRLock(1)) return 1;
    locked.send();
    release.wait();
    DbRUnlock();
    return 0;
  });
  locked.wait();
  Set(set::kLockWait, 0.2);
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(DbRLock(1));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(190));
  ASSERT_EQ(lastGenCode(), gen::kLock);
  EXPECT_TRUE(lastError().canDefault);
  EXPECT_TRUE(lastError().canRetry);
  // Retry waits again; the second refusal comes back to the error block.
  errors.clear();
  answer = [](const ErrorRef& e) { return Value(e->tries == 0); };
  EXPECT_FALSE(DbRLock(1));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[1]->tries, 1);
  answer = nullptr;
  EXPECT_EQ(lastError().fileName, file);
  EXPECT_EQ(Len(DbRLockList()), 0u);
  EXPECT_TRUE(DbRLock(2));  // another record is free
  EXPECT_FALSE(FLock());
  EXPECT_EQ(lastGenCode(), gen::kLock);
  release.send();
  EXPECT_EQ(waitFor(child), 0);
  EXPECT_TRUE(DbRLock(1));
  EXPECT_TRUE(FLock());
}

TEST_F(DbLockTest, TwoAreasOfOneProcessExcludeEachOther) {
  std::string file = makeCustomers();
  fill(file, {{"A", 1}, {"B", 2}});
  Set(set::kLockWait, 0);
  ASSERT_TRUE(DbUseArea(true, "", file, "ONE", true));
  ASSERT_TRUE(DbUseArea(true, "", file, "TWO", true));
  DbSelectArea("ONE");
  ASSERT_TRUE(DbRLock(1));
  DbSelectArea("TWO");
  EXPECT_FALSE(DbRLock(1));
  EXPECT_EQ(lastGenCode(), gen::kLock);
  EXPECT_FALSE(FLock());
  EXPECT_TRUE(DbRLock(2));
  inArea("ONE", [] { DbRUnlock(); return Value(); });
  EXPECT_TRUE(DbRLock(1));
}

TEST_F(DbLockTest, LockListFollowsLocksAndUnlocks) {
  std::string file = makeCustomers();
  fill(file, {{"A", 1}, {"B", 2}, {"C", 3}});
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  auto list = [] {
    std::vector<double> out;
    Value locks = DbRLockList();
    for (auto& v : locks.array()->items()) out.push_back(v.num());
    return out;
  };
  EXPECT_TRUE(DbRLock(1));
  EXPECT_TRUE(DbRLock(3));
  EXPECT_TRUE(DbRLock(3));
  EXPECT_EQ(list(), (std::vector<double>{1, 3}));
  DbRUnlock(1);
  EXPECT_EQ(list(), (std::vector<double>{3}));
  ASSERT_TRUE(DbAppend());  // releases the others and holds the new record
  EXPECT_EQ(list(), (std::vector<double>{4}));
  EXPECT_TRUE(DbAppend(false));
  EXPECT_EQ(list(), (std::vector<double>{4, 5}));
  DbRUnlock();
  EXPECT_TRUE(list().empty());
  EXPECT_TRUE(errors.empty());
}

// The exact total proves that no update was lost; the lock re-reads the record, so each
// process adds to the other's latest value.
TEST_F(DbLockTest, TwoProcessesAddingUnderLocksEndWithTheExactTotal) {
  std::string file = makeCustomers();
  fill(file, {{"counter", 0}});
  constexpr int kRounds = 2000;
  auto worker = [&] {
    Set(set::kLockWait, 30);
    if (!DbUseArea(true, "", file, "", true)) return 1;
    for (int i = 0; i < kRounds; ++i) {
      if (!DbRLock(1)) return 2;
      FieldPut("AMOUNT", FieldGet("AMOUNT").num() + 1);
      DbRUnlock(1);
    }
    return errors.empty() ? 0 : 3;
  };
  pid_t a = spawn(worker), b = spawn(worker);
  EXPECT_EQ(waitFor(a), 0);
  EXPECT_EQ(waitFor(b), 0);
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  EXPECT_EQ(FieldGet("AMOUNT").num(), 2 * kRounds);
}

TEST_F(DbLockTest, WritingWithoutTheLockIsRefusedNotLost) {
  std::string file = makeCustomers();
  fill(file, {{"counter", 0}});
  auto worker = [&] {
    if (!DbUseArea(true, "", file, "", true)) return 1;
    for (int i = 0; i < 200; ++i) {
      DbGoto(1);
      FieldPut("AMOUNT", FieldGet("AMOUNT").num() + 1);
      DbCommit();
    }
    if (errors.size() != 200) return 2;
    for (auto& e : errors)
      if (e->genCode != gen::kUnlocked || e->fileName != file) return 3;
    return 0;
  };
  pid_t a = spawn(worker), b = spawn(worker);
  EXPECT_EQ(waitFor(a), 0);
  EXPECT_EQ(waitFor(b), 0);
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  EXPECT_EQ(FieldGet("AMOUNT").num(), 0);
}

TEST_F(DbLockTest, TwoProcessesAppendingAtOnceLoseNoRecord) {
  std::string file = makeCustomers();
  constexpr int kEach = 500;
  auto appender = [&](const std::string& who) {
    return [&, who] {
      if (!DbUseArea(true, "", file, "", true)) return 1;
      for (int i = 1; i <= kEach; ++i) {
        if (!DbAppend()) return 2;
        FieldPut("NAME", who);
        FieldPut("AMOUNT", i);
        DbCommit();
      }
      return errors.empty() ? 0 : 3;
    };
  };
  pid_t a = spawn(appender("A")), b = spawn(appender("B"));
  EXPECT_EQ(waitFor(a), 0);
  EXPECT_EQ(waitFor(b), 0);
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  EXPECT_EQ(LastRec(), 2u * kEach);
  std::map<std::string, int> next = {{"A", 1}, {"B", 1}};
  for (DbGoTop(); !Eof(); DbSkip()) {
    std::string who = trimmed(FieldGet("NAME"));
    ASSERT_TRUE(next.count(who)) << "record " << RecNo();
    EXPECT_EQ(FieldGet("AMOUNT").num(), next[who]++) << "record " << RecNo();
  }
  EXPECT_EQ(next["A"], kEach + 1);
  EXPECT_EQ(next["B"], kEach + 1);
}

// Killed at any moment, the appender leaves a table whose count matches its records:
// every counted record is whole, only the last may still be blank (appended, values not
// yet written).
TEST_F(DbLockTest, WriterKilledWhileAppendingLeavesAConsistentTable) {
  for (int round = 0; round < 3; ++round) {
    std::string file = makeCustomers("kill" + std::to_string(round) + ".dbf");
    Signal started;
    pid_t child = spawn([&] {
      if (!DbUseArea(true, "", file, "", round == 1 ? false : true)) return 1;
      for (int i = 1;; ++i) {
        DbAppend();
        FieldPut("NAME", "rec " + std::to_string(i));
        FieldPut("AMOUNT", i);
        DbCommit();
        if (i == 50) started.send();
      }
    });
    started.wait();
    std::this_thread::sleep_for(std::chrono::milliseconds(5 + 20 * round));
    kill(child, SIGKILL);
    EXPECT_EQ(waitFor(child), 128 + SIGKILL);

    const size_t size = fs::file_size(file);
    ASSERT_TRUE(DbUseArea(true, "", file, "", true)) << lastError().description;
    const uint32_t n = LastRec();
    EXPECT_GE(n, 50u);
    const size_t hdr = 32 + 4 * 32 + 1, rec = 40;
    EXPECT_LE(hdr + n * rec, size);
    for (DbGoTop(); !Eof(); DbSkip()) {
      std::string name = trimmed(FieldGet("NAME"));
      if (RecNo() == n && name.empty()) continue;  // appended, not yet filled
      EXPECT_EQ(name, "rec " + std::to_string(RecNo()));
      EXPECT_EQ(FieldGet("AMOUNT").num(), RecNo());
    }
    // The table goes on growing from there.
    ASSERT_TRUE(DbAppend());
    FieldPut("NAME", "after");
    DbCloseArea();
    ASSERT_TRUE(DbUseArea(true, "", file, "", true));
    EXPECT_EQ(LastRec(), n + 1);
    DbGoBottom();
    EXPECT_EQ(trimmed(FieldGet("NAME")), "after");
    DbCloseArea();
    EXPECT_TRUE(errors.empty());
  }
}

// With the file size limited the disk is "full": the append fails with its own error and
// the table stays as it was before the failed append.
TEST_F(DbLockTest, FullDiskIsAWriteErrorAndLeavesTheTableWhole) {
  std::string file = makeCustomers();
  fill(file, {{"A", 1}, {"B", 2}});
  const auto before = fs::file_size(file);
  pid_t child = spawn([&] {
    signal(SIGXFSZ, SIG_IGN);
    rlimit lim{static_cast<rlim_t>(before + 3 * 40 + 10), static_cast<rlim_t>(before + 3 * 40 + 10)};
    setrlimit(RLIMIT_FSIZE, &lim);
    if (!DbUseArea(true, "", file, "", true)) return 1;
    for (int i = 0; i < 10; ++i) {
      if (!DbAppend()) break;
      FieldPut("NAME", "voll " + std::to_string(i));
      DbCommit();
    }
    for (auto& e : errors)
      if (e->genCode == gen::kWrite && e->osCode == 112 && e->fileName == file) return 0;
    return 2;
  });
  EXPECT_EQ(waitFor(child), 0);
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  EXPECT_EQ(LastRec(), 5u);
  for (DbGoTop(); !Eof(); DbSkip()) {
    std::string name = trimmed(FieldGet("NAME"));
    if (RecNo() <= 2) EXPECT_EQ(name, RecNo() == 1 ? "A" : "B");
    else EXPECT_EQ(name, "voll " + std::to_string(RecNo() - 3));
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(DbLockTest, RecordWrittenButNotCountedIsOverwrittenByTheNextAppend) {
  std::string file = makeCustomers();
  fill(file, {{"A", 1}});
  std::string d = readFile(file);
  d.pop_back();  // the end mark
  d += " uncounted" + std::string(30, ' ') + "\x1A";
  writeFile(file, d);
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  EXPECT_EQ(LastRec(), 1u);
  ASSERT_TRUE(DbAppend());
  EXPECT_EQ(trimmed(FieldGet("NAME")), "");
  FieldPut("NAME", "counted");
  DbCommit();
  DbCloseArea();
  ASSERT_TRUE(DbUseArea(true, "", file, "", true));
  EXPECT_EQ(LastRec(), 2u);
  DbGoBottom();
  EXPECT_EQ(trimmed(FieldGet("NAME")), "counted");
}

}  // namespace
}  // namespace xb::test
