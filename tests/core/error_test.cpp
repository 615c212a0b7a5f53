#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/callstack.h"
#include "core/error.h"
#include "core/ops.h"
#include "core/settings.h"
#include "support/error_capture.h"

namespace xb {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  fs::path path = fs::temp_directory_path() / ("xb-error-" + std::to_string(::getpid()));
  TempDir() { fs::create_directories(path); }
  ~TempDir() { fs::remove_all(path); }
};

// An operation that fails until the directory it writes into exists: the retry answer can
// make it succeed, the default answer leaves the setting alone.
TEST(ErrorBlockTest, RetryRepeatsTheFailedOperation) {
  TempDir tmp;
  fs::path file = tmp.path / "later" / "alt.txt";
  test::ErrorCapture errors([&](const ErrorRef& e) {
    if (e->tries == 0) fs::create_directories(file.parent_path());
    return Value(true);
  });
  Set(set::kAltFile, file.string());
  ASSERT_EQ(errors.errors.size(), 1u);
  EXPECT_EQ(errors.last().genCode, gen::kCreate);
  EXPECT_EQ(errors.last().osCode, oscode::kFileNotFound);
  EXPECT_EQ(errors.last().fileName, file.string());
  EXPECT_EQ(errors.last().tries, 1);
  EXPECT_EQ(Set(set::kAltFile).str(), file.string());
  EXPECT_TRUE(fs::exists(file));
}

TEST(ErrorBlockTest, DefaultLeavesTheOperationUndone) {
  TempDir tmp;
  test::ErrorCapture errors([](const ErrorRef&) { return Value(false); });
  Set(set::kAltFile, (tmp.path / "missing" / "alt.txt").string());
  EXPECT_EQ(errors.errors.size(), 1u);
  EXPECT_EQ(Set(set::kAltFile).str(), "");
}

TEST(ErrorBlockTest, SubstituteBecomesTheResult) {
  for (double substitute : {0.0, 42.0}) {
    test::ErrorCapture errors([&](const ErrorRef&) { return Value(substitute); });
    EXPECT_EQ(Divide(1, 0).num(), substitute);
  }
}

TEST(ErrorBlockTest, ErrorBlockReturnsThePreviousBlock) {
  Value mine(makeBlock([](Args) { return Value(0); }));
  Value before = ErrorBlock(mine);
  EXPECT_TRUE(before.isBlock());
  EXPECT_TRUE(exactlyEqual(ErrorBlock(before), mine));
  EXPECT_TRUE(exactlyEqual(ErrorBlock(), before));
}

TEST(ErrorBlockTest, AnAnswerTheOperationCannotTakeEndsTheApplication) {
  test::ErrorCapture errors([](const ErrorRef&) { return Value(true); });  // retry, not allowed
  auto e = makeError(gen::kArgument, "cannot retry");
  e->canDefault = true;
  EXPECT_THROW(settleError(e, {}, {}), QuitSignal);
  EXPECT_EQ(ErrorLevel(0), 1);
}

// Breaks from inside several nested code blocks.
void deepBreak(int depth, const Value& v) {
  Value block(makeBlock([v](Args) -> Value { Break(v); }));
  for (int i = 0; i < depth; ++i)
    block = Value(makeBlock([inner = block](Args) { return Eval(inner); }));
  Eval(block);
}

TEST(BreakTest, ReachesTheInnermostRecoveryPointWithItsValue) {
  Value outer, inner;
  bool outerCompleted = recoverable(
      [&] {
        bool innerCompleted =
            recoverable([&] { deepBreak(5, Value("deep")); }, [&](const Value& v) { inner = v; });
        EXPECT_FALSE(innerCompleted);
        EXPECT_EQ(recoveryDepth(), 1);
      },
      [&](const Value& v) { outer = v; });
  EXPECT_TRUE(outerCompleted);
  EXPECT_EQ(inner.str(), "deep");
  EXPECT_TRUE(outer.isNil());
  EXPECT_EQ(recoveryDepth(), 0);
}

TEST(BreakTest, BreakFromTheErrorBlockCarriesTheErrorObject) {
  test::ErrorCapture errors([](const ErrorRef& e) -> Value { Break(Value(e)); });
  Value caught;
  recoverable([] { Divide(1, 0); }, [&](const Value& v) { caught = v; });
  ASSERT_TRUE(caught.isObject());
  EXPECT_EQ(caught.as<ErrorObject>()->genCode, gen::kNumError);
}

// Routines with known lines for the call-stack test.
int lineOfInner = 0, lineOfOuter = 0;
std::vector<std::pair<std::string, int>> seen;

void InnerRoutine() {
  for (int level = 0;; ++level) {
    lineOfInner = __LINE__ + 1;
    std::string name = ProcName(level); int line = ProcLine(level);  // one line on purpose
    if (name.empty() || level > 3) break;
    seen.emplace_back(name, line);
  }
}

void OuterRoutine() {
  lineOfOuter = __LINE__ + 1;
  InnerRoutine();
}

TEST(CallStackTest, ProcNameAndProcLineNameTheRealRoutines) {
  seen.clear();
  OuterRoutine();
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[0].first, "InnerRoutine");
  EXPECT_EQ(seen[0].second, lineOfInner);
  EXPECT_EQ(seen[1].first, "OuterRoutine");
  EXPECT_EQ(seen[1].second, lineOfOuter);
  EXPECT_EQ(seen[2].first, "CallStackTest_ProcNameAndProcLineNameTheRealRoutines_Test:TestBody");
  EXPECT_EQ(ProcName(1000), "");
  EXPECT_EQ(ProcLine(1000), 0);
}

TEST(CallStackTest, BlocksAreNamedAfterTheRoutineThatMadeThem) {
  std::string inBlock;
  Value b(makeBlock([&](Args) {
    inBlock = ProcName(0);
    return Value();
  }));
  Eval(b);
  EXPECT_EQ(inBlock, "(b)CallStackTest_BlocksAreNamedAfterTheRoutineThatMadeThem_Test:TestBody");
}

TEST(CallStackTest, RoutineNamesFromDemangledSymbols) {
  const std::pair<const char*, const char*> cases[] = {
      {"MAIN()", "MAIN"},
      {"xb::XbpGet::Keyboard(xb::Value const&)", "XbpGet:Keyboard"},
      {"STANDARDEH(xb::Value const&)::{lambda(xb::Args)#1}::operator()(xb::Args) const",
       "(b)STANDARDEH"},
      {"(anonymous namespace)::helper(int)", "helper"},
      {"xb::XbpGetController::read(xb::Value const&, bool)", "XbpGetController:read"},
  };
  for (auto [in, out] : cases) EXPECT_EQ(routineName(in), out) << in;
}

TEST(ErrorLevelTest, SetReturnsThePreviousLevel) {
  ErrorLevel(0);
  EXPECT_EQ(ErrorLevel(3), 0);
  EXPECT_EQ(ErrorLevel(), 3);
  EXPECT_EQ(ErrorLevel(0), 3);
  EXPECT_THROW(QUIT(), QuitSignal);
}

}  // namespace
}  // namespace xb
