#include <gtest/gtest.h>

#include "tests/ui/ui_fixture.h"
#include "core/text.h"
#include "ui/keys.h"
#include "ui/listbox.h"
#include "ui/sle.h"

namespace xb::test {
namespace {

const char* const kTimes[] = {"12:00", "12:30", "01:00", "01:30", "02:00", "02:30",
                              "03:00", "03:30", "04:00", "04:30", "05:00", "05:30"};

// A list of the twelve half-hour items (time, tab, "test"), 100 x 80: five rows of 16.
class ListBoxTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dlg = dialog();
    list = newPart<XbpListBox>(area(dlg), Value(), pointValue(10, 10), pointValue(100, 80));
    list->create();
    for (auto t : kTimes) list->addItem(Value(std::string(t) + "\ttest"));
    list->setSlot(Slot::itemMarked, Value(makeBlock([this](Args) -> Value {
                    log.push_back("marked " + std::to_string(list->firstMarked()));
                    return Value();
                  })));
    list->setSlot(Slot::itemSelected, Value(makeBlock([this](Args) -> Value {
                    log.push_back("selected " + std::to_string(list->firstMarked()));
                    return Value();
                  })));
    hb->runUntilIdle();
  }
  // y of the middle of a row (0 = top row) in the list's own coordinates.
  static double rowY(int row) { return 80 - 16 * row - 8; }

  std::shared_ptr<XbpDialog> dlg;
  std::shared_ptr<XbpListBox> list;
  std::vector<std::string> log;
};

TEST_F(ListBoxTest, ClickMarksTheItemUnderThePointer) {
  hb->click(list, 20, rowY(2));
  hb->runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"marked 3"}));
  EXPECT_EQ(focusHolder(), list);
  EXPECT_EQ(list->getData().array()->at(1).num(), 3);
  list->setTopItem(Value(11));
  hb->click(list, 20, rowY(3));  // below the last item
  hb->runUntilIdle();
  EXPECT_EQ(log.size(), 1u);
  EXPECT_EQ(list->firstMarked(), 3);
}

TEST_F(ListBoxTest, ArrowKeysMoveTheMarkingAndScroll) {
  SetAppFocus(Value(list));
  for (auto k : {"Down", "Down", "Up", "End", "Home", "PgDn"}) hb->key(std::string_view(k));
  hb->runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"marked 1", "marked 2", "marked 1", "marked 12", "marked 1",
                                           "marked 6"}));
  EXPECT_EQ(list->getTopItem().num(), 2) << "item 6 is kept in sight";
  hb->key("End");
  hb->runUntilIdle();
  EXPECT_EQ(list->topItem(), 8);
  EXPECT_EQ(list->getVisibleItems().num(), 5);
}

TEST_F(ListBoxTest, DoubleClickAndEnterSelect) {
  hb->dblClick(list, 20, rowY(1));
  hb->runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"marked 2", "selected 2"}));
  log.clear();
  hb->key("Down");
  hb->key("Enter");
  hb->runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"marked 3", "selected 3"}));
}

TEST_F(ListBoxTest, SetDataMarksWithoutRaisingItemMarked) {
  list->setData({arrayValue({Value(7)})});
  hb->runUntilIdle();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(list->firstMarked(), 7);
  list->setData({Value(9)});
  EXPECT_EQ(list->getData().array()->at(1).num(), 9);
  list->setData({arrayValue({})});
  EXPECT_EQ(list->getData().array()->size(), 0u);
  list->setData({Value(13)});
  EXPECT_TRUE(errorWith(gen::kBound, "there is no item 13 (12 items)"));
}

TEST_F(ListBoxTest, ItemOperationsKeepTheMarkingOnTheSameItem) {
  list->setData({Value(3)});
  list->insItem(Value(1), Value("first"));
  EXPECT_EQ(list->firstMarked(), 4);
  EXPECT_EQ(list->getItem(Value(1)).str(), "first");
  list->delItem(Value(2));
  EXPECT_EQ(list->firstMarked(), 3);
  EXPECT_EQ(list->getItem(Value(3)).str(), std::string("01:00\ttest"));
  list->setItem(Value(3), Value("x"));
  EXPECT_EQ(list->getItem(Value(3)).str(), "x");
  EXPECT_EQ(list->numItems().num(), 12);
  list->delItem(Value(3));
  EXPECT_TRUE(list->getData().array()->size() == 0) << "deleting the marked item drops the marking";
  for (auto bad : {Value(0), Value(20), Value("1")}) {
    errors.clear();
    list->getItem(bad);
    EXPECT_TRUE(errorWith(gen::kBound, "getItem")) << ValType(bad);
  }
  list->addItem(Value(5));
  EXPECT_TRUE(errorWith(gen::kArgument, "must be text"));
  list->clear();
  EXPECT_EQ(list->numItems().num(), 0);
}

TEST_F(ListBoxTest, GeometryOfItems) {
  list->setItemsHeight(Value(20));
  EXPECT_EQ(list->getItemsHeight().num(), 20);
  EXPECT_EQ(list->getVisibleItems().num(), 4);
  list->setTopItem(Value(5));
  EXPECT_EQ(list->itemAt({5, 79}), 5);
  EXPECT_EQ(list->itemAt({5, 1}), 8);
  list->setColumnWidth(Value(30));
  EXPECT_EQ(list->getColumnWidth().num(), 30);
  list->setTabStops(arrayValue({Value(8)}));
  EXPECT_EQ(list->getTabStops().array()->at(1).num(), 8);
  list->setTabStops(Value(8));
  EXPECT_TRUE(errorWith(gen::kArgument, "setTabStops"));
}

class ComboTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dlg = dialog();
    combo = newPart<XbpComboBox>(area(dlg), Value(), pointValue(10, 150), pointValue(100, 100));
    combo->tabStop = true;
    combo->create();
    for (auto t : kTimes) Send(Value(combo), "addItem", {Value(std::string(t) + "\ttest")});
    Send(GetMember(Value(combo), "XbpSLE"), "setData", {Value("03:30")});
    Send(GetMember(Value(combo), "XbpListBox"), "setTabStops", {arrayValue({Value(8)})});
    hb->runUntilIdle();
  }
  std::shared_ptr<XbpDialog> dlg;
  std::shared_ptr<XbpComboBox> combo;
};

TEST_F(ComboTest, PartsAreReachableByNameAndTheListStartsClosed) {
  EXPECT_EQ(combo->labelText(), "03:30");
  EXPECT_EQ(Send(Value(combo), "numItems").num(), 12);
  EXPECT_FALSE(combo->listBox()->isVisible());
  EXPECT_TRUE(GetMember(Value(combo), "XbpListBox").object()->isDerivedFrom("XbpListBox"));
  EXPECT_EQ(combo->listBox()->tabStops().size(), 1u);
}

TEST_F(ComboTest, F4OpensTheListAndAClickOnAnItemTakesItAndCloses) {
  SetAppFocus(Value(combo));
  hb->key("F4");
  hb->runUntilIdle();
  EXPECT_TRUE(combo->listBox()->isVisible());
  hb->click(combo->listBox(), 20, 80 - 16 - 8);  // second row
  hb->runUntilIdle();
  EXPECT_EQ(combo->sle()->text(), "12:30\ttest");
  EXPECT_FALSE(combo->listBox()->isVisible());
  EXPECT_EQ(focusHolder(), combo) << "the list hands the focus to its combo box";
}

TEST_F(ComboTest, TheDropDownButtonTogglesTheList) {
  std::vector<std::string> log;
  combo->setSlot(Slot::lbDown, logBlock(log, "down"));
  Rect b = combo->buttonRect();
  hb->click(combo, b.x + 4, b.y + 4);
  hb->runUntilIdle();
  EXPECT_TRUE(combo->isDropped());
  hb->click(combo, b.x + 4, b.y + 4);
  hb->runUntilIdle();
  EXPECT_FALSE(combo->isDropped());
  hb->click(combo, 50, 30);  // where the closed list would be: not the combo box's
  hb->runUntilIdle();
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(partAt({30 + kDialogBorder + 10 + 50, 50 + kDialogBorder + 150 + 30}), dlg->drawingArea());
}

TEST_F(ComboTest, UpAndDownStepThroughTheItemsWithTheListClosed) {
  std::vector<std::string> log;
  combo->setSlot(Slot::itemMarked, logBlock(log, "marked"));
  SetAppFocus(Value(combo));
  hb->key("Down");
  hb->key("Down");
  hb->key("Up");
  hb->runUntilIdle();
  EXPECT_EQ(combo->sle()->text(), "12:00\ttest");
  EXPECT_EQ(log.size(), 3u);
}

TEST_F(ComboTest, OtherKeysEditTheLineAndLosingTheFocusClosesTheList) {
  SetAppFocus(Value(combo));
  hb->key("End");
  hb->type("x");
  hb->key("F4");
  hb->runUntilIdle();
  EXPECT_EQ(combo->sle()->text(), "03:30x");
  EXPECT_TRUE(combo->isDropped());
  auto other = newPart<XbpSle>(area(dlg), Value(), pointValue(10, 10), pointValue(50, 20));
  other->create();
  SetAppFocus(Value(other));
  hb->runUntilIdle();
  EXPECT_FALSE(combo->isDropped());
}

}  // namespace
}  // namespace xb::test
