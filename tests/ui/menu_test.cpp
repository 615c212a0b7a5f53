#include <gtest/gtest.h>

#include "tests/ui/ui_fixture.h"
#include "core/text.h"
#include "ui/keys.h"
#include "ui/menu.h"
#include "ui/sle.h"

namespace xb::test {
namespace {

// The edit fields' context menu: nine items, two separators given as {NIL, NIL, 4, 0}.
class MenuTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dlg = dialog();
    sle = newPart<XbpSle>(area(dlg), Value(), pointValue(10, 200), pointValue(200, 20));
    sle->create();
    SetAppFocus(Value(sle));
    menu = newPart<XbpMenu>(AppDesktop());
    menu->title = cp("XbpGet Popup");
    menu->create();
    for (const char* c : {"~Prüfen", "~Rückgängig", "", "~Ausschneiden", "~Kopieren", "~Einfügen", "~Löschen", "",
                          "Alles ~markieren"}) {
      if (*c) menu->addItem(arrayValue({Value(cp(c)), Value()}));
      else menu->addItem(arrayValue({Value(), Value(), Value(menustyle::kSeparator), Value(0)}));
    }
    menu->setSlot(Slot::itemSelected, Value(makeBlock([this](Args a) -> Value {
                    chosen.push_back(static_cast<int>(a[0].num()));
                    EXPECT_TRUE(a[1].isNil());
                    EXPECT_EQ(a[2].object(), menu);
                    return Value();
                  })));
    hb->runUntilIdle();
  }
  // Opens the menu at the edit line as a step, so the steps after it work the open menu.
  void popUpAtLine() {
    hb->step([this] { popResult = menu->popUp(Value(sle), pointValue(20, 10)).num(); });
  }
  // y of the middle of item n, from the top, in the menu's coordinates.
  double itemY(int n) const { return menu->size().h - menu->rowTop(n) - menu->rowHeight(n) / 2; }

  std::shared_ptr<XbpDialog> dlg;
  std::shared_ptr<XbpSle> sle;
  std::shared_ptr<XbpMenu> menu;
  std::vector<int> chosen;
  double popResult = -1;
};

TEST_F(MenuTest, RowsFollowTheTextMetrics) {
  // Headless text: 8 pixels a character, lines of 16.
  EXPECT_EQ(menu->rowHeight(1), 22);
  EXPECT_EQ(menu->rowHeight(3), 8);
  EXPECT_EQ(menu->rowTop(4), 3 + 22 + 22 + 8);
  EXPECT_EQ(menu->size().w, 8 * 15 + 50) << "'Alles markieren' is the widest caption";
  EXPECT_EQ(menu->size().h, 3 + 7 * 22 + 2 * 8 + 3);
  EXPECT_EQ(menu->itemAt({10, menu->size().h - menu->rowTop(3) - 4}), 0) << "a separator is no item";
  EXPECT_EQ(menu->itemAt({10, menu->size().h - menu->rowTop(4) - 4}), 4);
}

TEST_F(MenuTest, ItemsSeparatorsAndEnabling) {
  EXPECT_EQ(menu->numItems().num(), 9);
  EXPECT_TRUE(menu->items()[2].isSeparator());
  EXPECT_TRUE(menu->items()[7].isSeparator());
  EXPECT_EQ(XbpMenu::shownCaption(cp("~Kopieren")), "Kopieren");
  EXPECT_EQ(XbpMenu::mnemonic("Alles ~markieren"), 'm');
  menu->disableItem(Value(2));
  EXPECT_FALSE(menu->isItemEnabled(Value(2)).isTrue());
  menu->enableItem(Value(2));
  EXPECT_TRUE(menu->isItemEnabled(Value(2)).isTrue());
  EXPECT_EQ(menu->getItem(Value(5)).array()->at(1).str(), "~Kopieren");
  menu->getItem(Value(10));
  EXPECT_TRUE(errorWith(gen::kBound, "there is no item 10 (9 items)"));
  menu->addItem(arrayValue({Value(3), Value()}));
  EXPECT_TRUE(errorWith(gen::kArgument, "caption"));
}

TEST_F(MenuTest, KeysChooseAndTheNumberArrivesThroughItemSelected) {
  popUpAtLine();
  hb->key("Down");
  hb->key("Down");
  hb->key("Down");  // over the separator to item 4
  hb->key("Enter");
  hb->runUntilIdle();
  EXPECT_EQ(popResult, 4);
  EXPECT_EQ(chosen, (std::vector<int>{4}));
  EXPECT_FALSE(menu->isOpen());
  EXPECT_FALSE(menu->isVisible());
  EXPECT_EQ(focusHolder(), sle) << "a popup menu does not take the focus";
}

TEST_F(MenuTest, MnemonicChoosesOnlyEnabledItems) {
  menu->disableItem(Value(5));
  popUpAtLine();
  hb->key("k");  // ~Kopieren is disabled
  hb->key("E");  // ~Einfügen
  hb->runUntilIdle();
  EXPECT_EQ(chosen, (std::vector<int>{6}));
}

TEST_F(MenuTest, ClickOnAnItemChoosesAndAClickOutsideCloses) {
  popUpAtLine();
  hb->click(menu, 20, itemY(9));
  hb->runUntilIdle();
  EXPECT_EQ(chosen, (std::vector<int>{9}));
  popUpAtLine();
  hb->click(sle, 5, 10);
  hb->runUntilIdle();
  EXPECT_EQ(popResult, 0);
  EXPECT_EQ(chosen.size(), 1u);
  popUpAtLine();
  hb->key("Esc");
  hb->runUntilIdle();
  EXPECT_EQ(popResult, 0);
  EXPECT_EQ(chosen.size(), 1u);
}

TEST_F(MenuTest, MenuOpensBelowThePointOrAboveWhenThereIsNoRoom) {
  Rect s = sle->absoluteRect();
  popUpAtLine();
  hb->step([&] {
    Rect r = menu->absoluteRect();
    EXPECT_DOUBLE_EQ(r.x, s.x + 20);
    EXPECT_DOUBLE_EQ(r.y + r.h, s.y + 10);
    EXPECT_EQ(inputCapture(), menu);
  });
  hb->key("Esc");
  hb->step([&] { menu->popUp(Value(sle), pointValue(20, -150)); });
  hb->step([&] {
    Rect r = menu->absoluteRect();
    EXPECT_DOUBLE_EQ(r.y, s.y - 150);
  });
  hb->key("Esc");
  hb->runUntilIdle();
  EXPECT_EQ(inputCapture(), nullptr);
}

TEST_F(MenuTest, AnItemWithItsOwnBlockRunsIt) {
  std::vector<std::string> log;
  menu->setItem(Value(1), arrayValue({Value("~Own"), logBlock(log, "own")}));
  popUpAtLine();
  hb->key("o");
  hb->runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"own"}));
  EXPECT_TRUE(chosen.empty());
}

TEST_F(MenuTest, ScriptChoosesByNumber) {
  popUpAtLine();
  ASSERT_FALSE(hb->loadScript("menu 7\nmenu 3\n").has_value());
  hb->runUntilIdle();
  EXPECT_EQ(chosen, (std::vector<int>{7}));
  EXPECT_FALSE(hb->failures().empty()) << "the second menu command finds no open menu";
}

TEST(ClipboardTest, OneExchangeThroughOpenAndClose) {
  auto hb = headless::HeadlessBackend::install();
  std::vector<ErrorRef> errors;
  Value old = ErrorBlock(Value(makeBlock([&](Args a) -> Value {
    errors.push_back(a[0].as<ErrorObject>());
    return Value(false);
  })));
  Value cb = newObjectByName("XbpClipboard", {});
  Send(cb, "create");
  Send(cb, "getBuffer", {Value(1)});
  ASSERT_EQ(errors.size(), 1u) << "reading a clipboard that is not open";
  EXPECT_NE(errors[0]->description.find("not open"), std::string::npos);
  Send(cb, "open");
  EXPECT_TRUE(Send(cb, "getBuffer", {Value(1)}).isNil()) << "no text yet";
  EXPECT_EQ(Send(cb, "queryFormats").array()->size(), 0u);
  Send(cb, "setBuffer", {Value(cp("Grüße")), Value(1)});
  EXPECT_EQ(Send(cb, "getBuffer", {Value(1)}).str(), cp("Grüße"));
  EXPECT_EQ(hb->clipboardText(), cp("Grüße"));
  EXPECT_TRUE(Send(cb, "getBuffer", {Value(2)}).isNil()) << "text is the only format";
  Send(cb, "setBuffer", {Value("x"), Value(2)});
  EXPECT_EQ(errors.size(), 2u);
  Send(cb, "close");
  Send(cb, "destroy");
  Send(cb, "open");
  EXPECT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors.back()->genCode, gen::kDestroyed);
  ErrorBlock(old);
  setBackend(nullptr);
}

}  // namespace
}  // namespace xb::test
