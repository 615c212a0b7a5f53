#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "backend/headless/headless.h"
#include "core/error.h"
#include "core/system.h"
#include "ui/dialog.h"
#include "ui/events.h"

namespace {

using namespace xb;

// Runs the application's real start record with a headless backend, recording the
// procedures that ran in their order.
class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetUiForTesting();
    clearExitProcedures();
    ErrorLevel(0);
    backend_ = headless::HeadlessBackend::install();
  }
  void TearDown() override {
    setReportedVersionForTesting(0);
    setBackend(nullptr);
    resetUiForTesting();
    ErrorLevel(0);
  }

  StartRecord recordingRecord() {
    StartRecord r = applicationStartRecord();
    auto wrap = [this](const char* name, Procedure p) {
      return [this, name, p] {
        ran.push_back(name);
        if (p) p();
      };
    };
    r.errorSys = wrap("ERRORSYS", r.errorSys);
    r.dbeSys = wrap("DBESYS", r.dbeSys);
    r.appSys = wrap("APPSYS", r.appSys);
    r.main = wrap("MAIN", r.main);
    r.registerExits = [this, reg = r.registerExits] {
      reg();
      addExitProcedure([this] { ran.push_back("APPEXIT"); });
    };
    return r;
  }

  std::shared_ptr<XbpDialog> mainDialog() {
    return std::dynamic_pointer_cast<XbpDialog>(windowOf(SetAppWindow()));
  }

  std::shared_ptr<headless::HeadlessBackend> backend_;
  std::vector<std::string> ran;
};

TEST_F(ApplicationTest, MainOpensTheDialogAndEndsWhenItIsClosed) {
  Rect seen;
  std::string title;
  int closeCallbacks = 0;
  backend_->step([&] {
    auto d = mainDialog();
    ASSERT_NE(d, nullptr);
    title = cpToUtf8(d->title());
    seen = {d->pos().x, d->pos().y, d->size().w, d->size().h};
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->parent(), AppDesktop());
    d->setSlot(Slot::close, Value(makeBlock([&](Args a) {
      ++closeCallbacks;
      EXPECT_EQ(a.size(), 3u);  // mp1, mp2, the part
      return Value();
    })));
  });
  backend_->closeWindow();
  int code = applicationEntry(recordingRecord());
  EXPECT_EQ(code, 0);
  EXPECT_EQ(title, "Test Combo");
  EXPECT_EQ(seen.x, 30);
  EXPECT_EQ(seen.y, 50);
  EXPECT_EQ(seen.w, 400);
  EXPECT_EQ(seen.h, 450);
  EXPECT_EQ(closeCallbacks, 1);
  const std::vector<std::string> order = {"ERRORSYS", "DBESYS", "APPSYS", "MAIN", "APPEXIT"};
  EXPECT_EQ(ran, order);
  EXPECT_TRUE(backend_->failures().empty());
}

TEST_F(ApplicationTest, OtherEventsKeepTheLoopRunning) {
  std::vector<int> handled;
  backend_->step([&] {
    auto d = mainDialog();
    d->setSlot(Slot::keyboard, Value(makeBlock([&](Args a) {
      handled.push_back(static_cast<int>(a[0].num()));
      return Value();
    })));
    SetAppFocus(Value(d));
  });
  backend_->key(65);
  backend_->step([] { PostAppEvent(ev::kBase + 999, 1, 2); });  // a code nobody knows
  backend_->key(66);
  backend_->step([&] { EXPECT_EQ(ran.back(), "MAIN"); });  // still inside MAIN
  backend_->closeWindow();
  EXPECT_EQ(applicationEntry(recordingRecord()), 0);
  EXPECT_EQ(handled, (std::vector<int>{65, 66}));
  EXPECT_EQ(ran.back(), "APPEXIT");
}

TEST_F(ApplicationTest, CloseEventEndsTheLoopWhateverPartItIsFor) {
  int dispatched = 0;
  backend_->step([&] {
    auto d = mainDialog();
    auto area = d->drawingArea();
    area->setSlot(Slot::close, Value(makeBlock([&](Args) {
      ++dispatched;
      return Value();
    })));
    PostAppEvent(ev::kClose, Value(), Value(), Value(area));
  });
  EXPECT_EQ(applicationEntry(recordingRecord()), 0);
  EXPECT_EQ(dispatched, 1);
  EXPECT_EQ(ran.back(), "APPEXIT");
}

TEST_F(ApplicationTest, QuitDeepInsideACallbackRunsTheExitProceduresWithItsErrorLevel) {
  std::vector<std::string> after;
  backend_->step([&] {
    auto d = mainDialog();
    // A callback that quits from inside nested code blocks.
    Value inner(makeBlock([](Args) -> Value {
      ErrorLevel(7);
      QUIT();
    }));
    Value middle(makeBlock([inner](Args) { return Eval(inner); }));
    d->setSlot(Slot::keyboard, Value(makeBlock([middle](Args) { return Eval(middle); })));
    SetAppFocus(Value(d));
  });
  backend_->key(13);
  backend_->step([&] { after.push_back("step after QUIT"); });
  EXPECT_EQ(applicationEntry(recordingRecord()), 7);
  EXPECT_TRUE(after.empty());
  EXPECT_EQ(ran.back(), "APPEXIT");
  EXPECT_EQ(std::count(ran.begin(), ran.end(), "APPEXIT"), 1);
}

TEST_F(ApplicationTest, AnOldRuntimeEndsWith999AndRunsNothing) {
  setReportedVersionForTesting(0x14FFFFF);
  EXPECT_EQ(applicationEntry(recordingRecord()), 999);
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(mainDialog(), nullptr);
  // The lowest 8 bits do not count: 0x15000xx is new enough.
  setReportedVersionForTesting(0x1500001);
  backend_->closeWindow();
  EXPECT_EQ(applicationEntry(recordingRecord()), 0);
  EXPECT_EQ(ran.front(), "ERRORSYS");
}

TEST(SatzspTest, ReturnsTrueForAnyArgument) {
  EXPECT_TRUE(SATZSP());
  EXPECT_TRUE(SATZSP({Value()}));
  EXPECT_TRUE(SATZSP({Value("x"), Value(1)}));
}

}  // namespace
