#include <gtest/gtest.h>

#include "tests/ui/ui_fixture.h"
#include "ui/keys.h"

namespace xb::test {
namespace {

using EventsTest = UiTest;

// A plain part inside the dialog's drawing area.
WindowRef plainPart(const Value& parent, double x, double y, double w = 50, double h = 20) {
  auto p = newPart<XbpIWindow>(parent, Value(), pointValue(x, y), pointValue(w, h));
  p->create();
  return p;
}

TEST_F(EventsTest, QueueIsFifoAndNextAndLastReportTheRightEvent) {
  auto d = dialog();
  hb->runUntilIdle();
  EXPECT_EQ(NextAppEvent(), 0);
  PostAppEvent(ev::kBase + 500, Value(1), Value("a"), Value(d));
  PostAppEvent(ev::kBase + 501, Value(2), Value("b"), Value(d));
  Value m1, m2, t;
  EXPECT_EQ(NextAppEvent(m1, m2, t), ev::kBase + 500);
  EXPECT_EQ(m1.num(), 1);
  EXPECT_EQ(AppEvent(m1, m2, t), ev::kBase + 500);
  EXPECT_EQ(m2.str(), "a");
  EXPECT_EQ(t.object(), d);
  EXPECT_EQ(LastAppEvent(), ev::kBase + 500);
  EXPECT_EQ(AppEvent(m1, m2, t), ev::kBase + 501);
  EXPECT_EQ(m1.num(), 2);
  EXPECT_EQ(LastAppEvent(), ev::kBase + 501);
  EXPECT_EQ(NextAppEvent(), 0);
}

TEST_F(EventsTest, NilTargetMeansTheApplicationWindow) {
  auto d = dialog();
  hb->runUntilIdle();
  Value m1, m2, t;
  PostAppEvent(ev::kBase + 500);
  AppEvent(m1, m2, t);
  EXPECT_TRUE(t.isNil()) << "no application window yet";
  SetAppWindow(Value(d));
  PostAppEvent(ev::kBase + 500);
  AppEvent(m1, m2, t);
  EXPECT_EQ(t.object(), d);
}

struct FocusLog {
  std::vector<std::string> log;
  void watch(const WindowRef& p, const std::string& name) {
    p->setSlot(Slot::setInputFocus, logBlock(log, "set " + name));
    p->setSlot(Slot::killInputFocus, logBlock(log, "kill " + name));
  }
};

TEST_F(EventsTest, SetAppFocusQueuesKillThenSetAndMovesTheHolderAtOnce) {
  auto d = dialog();
  hb->runUntilIdle();
  auto a = plainPart(area(d), 10, 10), b = plainPart(area(d), 10, 40);
  FocusLog f;
  f.watch(a, "A");
  f.watch(b, "B");
  SetAppFocus(Value(a));
  EXPECT_EQ(SetAppFocus().object(), a) << "the holder changes before any event runs";
  SetAppFocus(Value(b));
  EXPECT_EQ(SetAppFocus().object(), b);
  EXPECT_TRUE(f.log.empty()) << "focus methods never run synchronously";
  dispatchQueuedEvents();
  EXPECT_EQ(f.log, (std::vector<std::string>{"set A", "kill A", "set B"}));
}

TEST_F(EventsTest, FocusMovedBackByAKillHandlerEndsOnThePartNamedLast) {
  auto d = dialog();
  hb->runUntilIdle();
  auto a = plainPart(area(d), 10, 10), b = plainPart(area(d), 10, 40);
  SetAppFocus(Value(a));
  dispatchQueuedEvents();
  std::vector<std::string> log;
  std::weak_ptr<XbpWindow> wa = a;
  a->setSlot(Slot::killInputFocus, Value(makeBlock([&](Args) -> Value {
               log.push_back("kill A");
               SetAppFocus(Value(wa.lock()));  // validation refuses to let go
               return Value();
             })));
  a->setSlot(Slot::setInputFocus, logBlock(log, "set A"));
  b->setSlot(Slot::setInputFocus, logBlock(log, "set B"));
  b->setSlot(Slot::killInputFocus, logBlock(log, "kill B"));
  SetAppFocus(Value(b));
  dispatchQueuedEvents();
  EXPECT_EQ(SetAppFocus().object(), a);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "set A");
  EXPECT_EQ(log, (std::vector<std::string>{"kill A", "set B", "kill B", "set A"}));
}

TEST_F(EventsTest, FocusOnTheHolderItselfQueuesNothing) {
  auto d = dialog();
  auto a = plainPart(area(d), 10, 10);
  SetAppFocus(Value(a));
  hb->runUntilIdle();
  SetAppFocus(Value(a));
  EXPECT_EQ(NextAppEvent(), 0);
}

TEST_F(EventsTest, SetAppFocusRefusesWhatIsNotALivePart) {
  auto d = dialog();
  auto a = plainPart(area(d), 10, 10);
  hb->runUntilIdle();
  SetAppFocus(Value(42));
  EXPECT_TRUE(errorWith(gen::kArgument, "SetAppFocus"));
  a->destroy();
  SetAppFocus(Value(a));
  EXPECT_TRUE(errorWith(gen::kDestroyed, "SetAppFocus"));
  EXPECT_EQ(SetAppFocus().object(), d) << "the focus stays where it was";
}

TEST_F(EventsTest, EventForADestroyedTargetIsDroppedWithAMessageNamingIt) {
  auto d = dialog();
  hb->runUntilIdle();
  auto a = plainPart(area(d), 10, 10);
  PostAppEvent(ev::kBase + 500, Value(), Value(), Value(a));
  PostAppEvent(ev::kBase + 501, Value(), Value(), Value(d));
  a->destroy();
  Value m1, m2, t;
  EXPECT_EQ(AppEvent(m1, m2, t), ev::kBase + 501);
  EXPECT_EQ(t.object(), d);
  EXPECT_TRUE(diagWith("1049076 dropped: its target XbpIWindow has been destroyed"));
}

TEST_F(EventsTest, PostingToSomethingThatIsNotALivePartIsAnError) {
  auto d = dialog();
  auto a = plainPart(area(d), 10, 10);
  hb->runUntilIdle();
  EXPECT_FALSE(PostAppEvent(ev::kClose, Value(), Value(), Value("x")));
  EXPECT_TRUE(errorWith(gen::kArgument, "not a window part"));
  a->destroy();
  EXPECT_FALSE(PostAppEvent(ev::kClose, Value(), Value(), Value(a)));
  EXPECT_TRUE(errorWith(gen::kNotTarget, "has been destroyed"));
  EXPECT_EQ(NextAppEvent(), 0);
}

TEST_F(EventsTest, AppEventEndsTheApplicationWhenNoInputWillCome) {
  dialog();
  hb->runUntilIdle();
  Value m1, m2, t;
  EXPECT_THROW(AppEvent(m1, m2, t), QuitSignal);
  EXPECT_TRUE(diagWith("no more input"));
}

TEST_F(EventsTest, AppEventWithTimeoutReturnsZeroWhenNothingCame) {
  dialog();
  hb->runUntilIdle();
  Value m1(1), m2(2), t(3);
  double before = hb->now();
  EXPECT_EQ(AppEvent(m1, m2, t, 0.5), 0);
  EXPECT_TRUE(m1.isNil() && t.isNil());
  EXPECT_DOUBLE_EQ(hb->now() - before, 0.5);
}

TEST_F(EventsTest, SetAppEventRegistersLooksUpAndRemoves) {
  Value blk(makeBlock([](Args) { return Value(); }));
  EXPECT_TRUE(SetAppEvent(Value(key::kF4)).isNil());
  EXPECT_TRUE(SetAppEvent(Value(key::kF4), blk).isNil());
  EXPECT_EQ(SetAppEvent(Value(key::kF4)).block(), blk.block());
  EXPECT_EQ(SetAppEvent(Value(key::kF4), Value()).block(), blk.block());
  EXPECT_TRUE(SetAppEvent(Value(key::kF4)).isNil());
  SetAppEvent(Value("F4"));
  EXPECT_TRUE(errorWith(gen::kArgument, "SetAppEvent"));
}

TEST_F(EventsTest, KeysGoToTheHolderAtTheTimeTheyAreTaken) {
  auto d = dialog();
  auto a = plainPart(area(d), 10, 10), b = plainPart(area(d), 10, 40);
  hb->runUntilIdle();
  std::vector<std::string> log;
  std::weak_ptr<XbpWindow> wb = b;
  a->setSlot(Slot::keyboard, Value(makeBlock([&](Args k) -> Value {
               log.push_back("A " + key::nameOfCode(static_cast<int>(k[0].num())));
               SetAppFocus(Value(wb.lock()));  // Tab moves on
               return Value();
             })));
  b->setSlot(Slot::keyboard, Value(makeBlock([&](Args k) -> Value {
               log.push_back("B " + key::nameOfCode(static_cast<int>(k[0].num())));
               return Value();
             })));
  SetAppFocus(Value(a));
  hb->key("Tab");
  hb->type("x");
  hb->runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"A Tab", "B x"}));
}

TEST_F(EventsTest, MouseGoesToTheTopmostVisiblePartUnderThePointer) {
  auto d = dialog();
  auto under = plainPart(area(d), 10, 10, 100, 100);
  auto over = plainPart(area(d), 50, 50, 100, 100);
  hb->runUntilIdle();
  std::vector<std::string> log;
  auto watch = [&](const WindowRef& p, std::string n) {
    p->setSlot(Slot::lbDown, Value(makeBlock([&log, n](Args a) -> Value {
                 auto pt = pointOf(a[0]);
                 log.push_back(n + " " + std::to_string(int(pt->x)) + "," + std::to_string(int(pt->y)));
                 return Value();
               })));
  };
  watch(under, "under");
  watch(over, "over");
  hb->click(under, 60, 60);  // inside both: the later part lies on top
  hb->click(under, 20, 20);  // only the lower one
  hb->runUntilIdle();
  under->toFront();
  hb->click(under, 60, 60);
  over->toFront();
  over->hide();
  hb->click(under, 60, 60);
  hb->runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"over 20,20", "under 20,20", "under 60,60", "under 60,60"}));
}

TEST_F(EventsTest, ClickOnADisabledPartReachesNothingAndSaysSo) {
  auto d = dialog();
  auto p = plainPart(area(d), 10, 10);
  hb->runUntilIdle();
  std::vector<std::string> log;
  p->setSlot(Slot::lbDown, logBlock(log, "down"));
  p->disable();
  hb->click(p, 5, 5);
  hb->runUntilIdle();
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(diagWith("disabled"));
}

TEST_F(EventsTest, ClickIntoAnotherWindowActivatesIt) {
  auto first = dialog();
  auto second = newPart<XbpDialog>(AppDesktop(), Value(), pointValue(600, 400), pointValue(200, 150));
  second->create();
  hb->runUntilIdle();
  EXPECT_EQ(activeWindow(), second) << "a new visible dialog becomes the active one";
  std::vector<std::string> log;
  first->setSlot(Slot::setDisplayFocus, logBlock(log, "set first"));
  second->setSlot(Slot::killDisplayFocus, logBlock(log, "kill second"));
  hb->click(first->drawingArea(), 10, 10);
  hb->runUntilIdle();
  EXPECT_EQ(activeWindow(), first);
  EXPECT_EQ(log, (std::vector<std::string>{"kill second", "set first"}));
}

TEST_F(EventsTest, ModalDialogRefusesMouseInputForOtherWindows) {
  auto d = dialog();
  auto p = plainPart(area(d), 10, 10);
  auto box = newPart<XbpDialog>(AppDesktop(), Value(), pointValue(600, 600), pointValue(200, 100));
  box->create();
  box->setModalState(Value(modal::kApplicationModal));
  hb->runUntilIdle();
  std::vector<std::string> log;
  p->setSlot(Slot::lbDown, logBlock(log, "down"));
  hb->click(p, 5, 5);
  hb->runUntilIdle();
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(diagWith("is modal"));
  box->setModalState(Value(modal::kModeless));
  hb->click(p, 5, 5);
  hb->runUntilIdle();
  EXPECT_EQ(log.size(), 1u);
}

}  // namespace
}  // namespace xb::test
