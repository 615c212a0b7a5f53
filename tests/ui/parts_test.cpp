#include <gtest/gtest.h>

#include "tests/ui/ui_fixture.h"
#include "ui/keys.h"
#include "ui/parts.h"
#include "ui/presspace.h"
#include "ui/sle.h"

namespace xb::test {
namespace {

class PartsTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dlg = dialog();
    hb->runUntilIdle();
  }
  std::shared_ptr<XbpPushButton> button(double x, double y, std::vector<std::string>& log) {
    auto b = newPart<XbpPushButton>(area(dlg), Value(), pointValue(x, y), pointValue(120, 30));
    b->setCaption(Value("Test"));
    b->setSlot(Slot::activate, logBlock(log, "activate"));
    b->create();
    return b;
  }
  std::shared_ptr<XbpDialog> dlg;
};

TEST_F(PartsTest, PushButtonActivatesByClickSpaceAndEnter) {
  std::vector<std::string> log;
  auto b = button(10, 250, log);
  hb->click(b, 60, 15);
  hb->runUntilIdle();
  EXPECT_EQ(log.size(), 1u) << "click";
  EXPECT_EQ(focusHolder(), b) << "a click focuses the button";
  hb->key(" ");
  hb->key("Enter");
  hb->runUntilIdle();
  EXPECT_EQ(log.size(), 3u) << "Space and Enter";
  EXPECT_EQ(LastAppEvent(), ev::kActivate);
}

TEST_F(PartsTest, PushButtonActivationIsTheFixedEventCode) {
  std::vector<std::string> log;
  auto b = button(10, 250, log);
  SetAppFocus(Value(b));
  hb->runUntilIdle();
  hb->key(" ");
  hb->runUntilIdle();
  EXPECT_EQ(LastAppEvent(), 1048609);
  PostAppEvent(1048609, Value(), Value(), Value(b));
  dispatchQueuedEvents();
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(PartsTest, EnterIsLeftToAnApplicationThatHandlesTheButtonsKeys) {
  std::vector<std::string> log;
  auto b = button(10, 250, log);
  b->setSlot(Slot::keyboard, logBlock(log, "key"));
  SetAppFocus(Value(b));
  hb->key("Enter");
  hb->runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"key"}));
}

TEST_F(PartsTest, ReleaseOutsideTheButtonDoesNotActivate) {
  std::vector<std::string> log;
  auto b = button(10, 250, log);
  hb->drag(b, 60, 15, 200, 15);
  hb->runUntilIdle();
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(b->pressed());
}

TEST_F(PartsTest, ButtonWithoutPointerFocusLeavesTheFocusWhereItIs) {
  std::vector<std::string> log;
  auto sle = newPart<XbpSle>(area(dlg), Value(), pointValue(10, 10), pointValue(100, 20));
  sle->create();
  auto b = button(10, 250, log);
  b->pointerFocus = false;
  SetAppFocus(Value(sle));
  hb->click(b, 5, 5);
  hb->runUntilIdle();
  EXPECT_EQ(log.size(), 1u);
  EXPECT_EQ(focusHolder(), sle);
}

TEST_F(PartsTest, StaticShowsItsCaption) {
  auto s = newPart<XbpStatic>(area(dlg), Value(), pointValue(10, 10), pointValue(100, 20));
  s->create();
  SetMember(Value(s), "caption", Value("Name:"));
  EXPECT_EQ(s->labelText(), "Name:");
  EXPECT_EQ(GetMember(Value(s), "caption").str(), "Name:");
}

TEST_F(PartsTest, TabClickRaisesTabActivateAndToFrontPutsTheOthersBehind) {
  std::vector<std::string> log;
  auto p1 = newPart<XbpTabPage>(area(dlg), Value(), pointValue(0, 0), pointValue(300, 200));
  auto p2 = newPart<XbpTabPage>(area(dlg), Value(), pointValue(0, 0), pointValue(300, 200));
  p1->caption = Value("Eins");
  p2->caption = Value("Zwei");
  p1->create();
  p2->create();
  auto onP1 = newPart<XbpSle>(Value(p1), Value(), pointValue(10, 10), pointValue(50, 20));
  onP1->create();
  p1->setSlot(Slot::tabActivate, Value(makeBlock([&log, w = std::weak_ptr<XbpTabPage>(p1)](Args) -> Value {
                log.push_back("tab 1");
                w.lock()->toFront();
                return Value();
              })));
  p2->setSlot(Slot::tabActivate, logBlock(log, "tab 2"));
  p2->toFront();
  EXPECT_TRUE(p1->minimized());
  EXPECT_FALSE(onP1->isVisible()) << "parts on a page in the background are out of sight";
  hb->click(p2, kTabWidth / 2, 200 - kTabHeight / 2);  // the first tab, seen through the front page
  hb->click(p2, kTabWidth * 1.5, 200 - kTabHeight / 2);
  hb->runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"tab 1", "tab 2"}));
  EXPECT_FALSE(p1->minimized());
  EXPECT_TRUE(p2->minimized());
  EXPECT_TRUE(onP1->isVisible());
}

TEST_F(PartsTest, ScrollBarKeysMoveWithinTheRangeAndReport) {
  auto sb = newPart<XbpScrollBar>(area(dlg), Value(), pointValue(300, 0), pointValue(16, 200));
  sb->create();
  sb->setRange(arrayValue({Value(1), Value(20)}));
  std::vector<int> seen;
  sb->setSlot(Slot::scroll, Value(makeBlock([&seen](Args a) -> Value {
                seen.push_back(static_cast<int>(a[0].array()->at(1).num()));
                return Value();
              })));
  SetAppFocus(Value(sb));
  for (auto k : {"Down", "Down", "PgDn", "PgDn", "Up", "Home"}) hb->key(std::string_view(k));
  hb->runUntilIdle();
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 13, 20, 19, 1}));
  sb->setRange(arrayValue({Value(5), Value(1)}));
  EXPECT_TRUE(errorWith(gen::kArgument, "setRange"));
}

TEST_F(PartsTest, PresentationSpaceKeepsAttributesAndDrawsFromTheCurrentPosition) {
  std::vector<std::string> log;
  auto b = button(10, 250, log);
  auto ps = std::dynamic_pointer_cast<XbpPresSpace>(b->lockPS().object());
  ASSERT_TRUE(ps);
  Value attrs = arrayValue({Value(1), Value(), Value(), Value()});
  ps->setAttrLine({attrs});
  ps->line(pointValue(60, 13), pointValue(62, 14));
  ps->line(Value(), pointValue(58, 14));
  b->unlockPS();
  ASSERT_EQ(ps->ops().size(), 2u);
  EXPECT_EQ(ps->ops()[1].from.x, 62) << "a NIL start draws from the end of the last line";
  EXPECT_EQ(ps->ops()[1].lineAttrs.array()->at(1).num(), 1);
  Value old = ps->setAttrLine({arrayValue({Value(4)})});
  EXPECT_EQ(old.array()->at(1).num(), 1) << "the previous attributes come back";
  EXPECT_EQ(b->lockPS().object(), ps) << "one presentation space per part";

  struct Sink : DrawSink {
    std::vector<DrawOp> got;
    void draw(XbpPresSpace&, const DrawOp& op) override { got.push_back(op); }
  };
  auto sink = std::make_shared<Sink>();
  ps->setSink(sink);
  ps->line(pointValue(1, 1), pointValue(2, 2));
  ASSERT_EQ(sink->got.size(), 1u) << "with a renderer the drawing goes to it";
  EXPECT_EQ(sink->got[0].lineAttrs.array()->at(1).num(), 4);
  EXPECT_EQ(ps->ops().size(), 2u) << "and is not kept as well";
}

TEST_F(PartsTest, ColoursAndPresentationParameters) {
  auto s = newPart<XbpStatic>(area(dlg), Value(), pointValue(10, 10), pointValue(100, 20),
                              arrayValue({arrayValue({Value(pp::kBgColor), Value(12)})}));
  s->create();
  EXPECT_EQ(s->colorBG().num(), 12);
  EXPECT_EQ(s->setColorFG({Value(1)}).isNil(), true);
  EXPECT_EQ(s->setColorFG({Value(3)}).num(), 1) << "the previous colour comes back";
  s->setPresParam({Value(pp::kFgColor), Value(5)});
  EXPECT_EQ(s->colorFG().num(), 5);
  s->setPresParam({Value("bad")});
  EXPECT_TRUE(errorWith(gen::kArgument, "setPresParam"));
  uint64_t before = s->paintSerial();
  s->setColorBG({Value(-47)});
  EXPECT_GT(s->paintSerial(), before) << "a change of look asks for a repaint";
}

TEST_F(PartsTest, GeometryShowHideEnableAndParents) {
  auto s = newPart<XbpStatic>(area(dlg), Value(), pointValue(10, 20), pointValue(100, 20));
  s->create();
  Rect r = s->absoluteRect();
  EXPECT_DOUBLE_EQ(r.x, 30 + kDialogBorder + 10);
  EXPECT_DOUBLE_EQ(r.y, 50 + kDialogBorder + 20);
  s->setPos(pointValue(1, 2));
  s->setSize(pointValue(3, 4));
  EXPECT_EQ(s->currentPos().array()->at(2).num(), 2);
  EXPECT_EQ(s->currentSize().array()->at(1).num(), 3);
  s->setSize(Value("big"));
  EXPECT_TRUE(errorWith(gen::kArgument, "setSize"));
  s->hide();
  EXPECT_FALSE(s->isVisible());
  s->show();
  dlg->hide();
  EXPECT_FALSE(s->isVisible()) << "a part is visible only when its window is";
  dlg->show();
  EXPECT_TRUE(s->isVisible());
  dlg->disable();
  EXPECT_FALSE(s->isEnabled());
  dlg->enable();
  EXPECT_EQ(s->setParent({}).object(), dlg->drawingArea());
  EXPECT_EQ(dlg->drawingArea()->childList().array()->size(), 1u);
  auto other = newPart<XbpStatic>(area(dlg), Value(), pointValue(0, 0), pointValue(10, 10));
  other->create();
  s->setParent({Value(other)});
  EXPECT_EQ(dlg->drawingArea()->childList().array()->size(), 1u);
  EXPECT_EQ(other->childList().array()->at(1).object(), s);
  other->setParent({Value(s)});
  EXPECT_TRUE(errorWith(gen::kArgument, "own ancestor"));
}

TEST_F(PartsTest, DestroyTakesTheChildrenAndEmptiesTheSlots) {
  auto s = newPart<XbpStatic>(area(dlg), Value(), pointValue(10, 20), pointValue(100, 20));
  s->create();
  std::weak_ptr<XbpWindow> watch = s;
  s->setSlot(Slot::paint, Value(makeBlock([keep = std::shared_ptr<XbpWindow>(s)](Args) { return Value(); })));
  dlg->destroy();
  EXPECT_TRUE(s->isDestroyed());
  EXPECT_TRUE(s->slot(Slot::paint).isNil()) << "blocks holding the part are let go";
  s.reset();
  EXPECT_TRUE(watch.expired()) << "nothing keeps a destroyed part alive";
}

TEST_F(PartsTest, TerminalWindowIsATopLevelPartThatCloses) {
  auto crt = std::dynamic_pointer_cast<XbpWindow>(newObjectByName("RootCrt", {}).object());
  ASSERT_TRUE(crt);
  EXPECT_TRUE(crt->isDerivedFrom("XbpCrt"));
  crt->create();
  EXPECT_EQ(crt->parent(), AppDesktop()) << "a top-level part goes to the desktop";
  std::vector<std::string> log;
  crt->setSlot(Slot::close, logBlock(log, "close"));
  hb->closeWindow(crt);
  hb->runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"close"}));
}

}  // namespace
}  // namespace xb::test
