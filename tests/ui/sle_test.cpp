#include <gtest/gtest.h>

#include "tests/ui/ui_fixture.h"
#include "core/text.h"
#include "ui/keys.h"
#include "ui/sle.h"

namespace xb::test {
namespace {

// An edit line 200 pixels wide in a dialog, with the focus. Text positions are 8 pixels wide
// with the headless metrics; position p starts at x = 3 + 8 * (p - 1).
class SleTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dlg = dialog();
    sle = newPart<XbpSle>(area(dlg), Value(), pointValue(10, 10), pointValue(200, 20));
    sle->create();
    SetAppFocus(Value(sle));
    hb->runUntilIdle();
  }
  void keys(std::initializer_list<const char*> names) {
    for (auto n : names) ASSERT_TRUE(hb->key(n)) << n;
    hb->runUntilIdle();
  }
  void typeText(const std::string& t) {
    hb->type(t);
    hb->runUntilIdle();
  }
  std::pair<int, int> marked() const { return {sle->markStart(), sle->markEnd()}; }
  static double xOf(int pos) { return kEditPadding + 8.0 * (pos - 1) + 1; }

  std::shared_ptr<XbpDialog> dlg;
  std::shared_ptr<XbpSle> sle;
};

TEST_F(SleTest, TypingInsertsAtTheCaretAndReplacesTheSelection) {
  typeText("hello");
  EXPECT_EQ(sle->text(), "hello");
  EXPECT_TRUE(sle->changed);
  keys({"Left", "Left"});
  typeText("XY");
  EXPECT_EQ(sle->text(), "helXYlo");
  keys({"Home", "Shift+Right", "Shift+Right"});
  typeText("Z");
  EXPECT_EQ(sle->text(), "ZlXYlo");
  EXPECT_EQ(marked(), std::make_pair(2, 2));
  typeText("ä");
  EXPECT_EQ(sle->text(), "Z" + cp("ä") + "lXYlo") << "typed text arrives in code page 850";
}

TEST_F(SleTest, CaretKeysMoveAndShiftExtendsFromTheAnchor) {
  sle->setData({Value("one two  three")});
  struct Case {
    std::vector<const char*> keys;
    std::pair<int, int> mark;
  };
  const Case cases[] = {
      {{"End"}, {15, 15}},
      {{"Home"}, {1, 1}},
      {{"Home", "Right", "Right"}, {3, 3}},
      {{"Home", "Shift+Right", "Shift+Right"}, {1, 3}},
      {{"End", "Shift+Left"}, {15, 14}},
      {{"End", "Shift+Home"}, {15, 1}},
      {{"Home", "Shift+End"}, {1, 15}},
      {{"Home", "Ctrl+Right"}, {5, 5}},
      {{"Home", "Ctrl+Right", "Ctrl+Right"}, {10, 10}},
      {{"End", "Ctrl+Left"}, {10, 10}},
      {{"End", "Ctrl+Left", "Ctrl+Left"}, {5, 5}},
      {{"Home", "Ctrl+Shift+Right"}, {1, 5}},
      {{"Home", "Shift+End", "Left"}, {1, 1}},  // Left with a selection goes to its start
      {{"Home", "Shift+End", "Right"}, {15, 15}},
      {{"Home", "Left"}, {1, 1}},
      {{"End", "Right"}, {15, 15}},
  };
  for (auto& c : cases) {
    for (auto k : c.keys) hb->key(std::string_view(k));
    hb->runUntilIdle();
    std::string seq;
    for (auto k : c.keys) seq += std::string(k) + " ";
    EXPECT_EQ(marked(), c.mark) << seq;
  }
}

TEST_F(SleTest, BackspaceAndDelRemoveTheCharacterOrTheSelection) {
  sle->setData({Value("abcdef")});
  keys({"End", "Backspace"});
  EXPECT_EQ(sle->text(), "abcde");
  keys({"Home", "Del"});
  EXPECT_EQ(sle->text(), "bcde");
  keys({"Shift+Right", "Shift+Right", "Del"});
  EXPECT_EQ(sle->text(), "de");
  keys({"Home", "Backspace"});
  EXPECT_EQ(sle->text(), "de") << "nothing before the first character";
}

TEST_F(SleTest, ClipboardKeysCopyCutAndPaste) {
  sle->setData({Value("abc def")});
  keys({"Home", "Shift+Ctrl+Right", "Ctrl+Ins"});
  EXPECT_EQ(hb->clipboardText(), "abc ");
  EXPECT_EQ(sle->text(), "abc def") << "copy keeps the text and the selection";
  EXPECT_EQ(marked(), std::make_pair(1, 5));
  keys({"End", "Shift+Ins"});
  EXPECT_EQ(sle->text(), "abc defabc ");
  keys({"Home", "Shift+Right", "Shift+Del"});
  EXPECT_EQ(sle->text(), "bc defabc ");
  EXPECT_EQ(hb->clipboardText(), "a");
}

TEST_F(SleTest, ClipboardMethodsAnswerWhatTheyDid) {
  sle->setData({Value("abcdef")});
  EXPECT_EQ(sle->copyMarked().num(), 0) << "nothing marked, nothing copied";
  EXPECT_FALSE(hb->clipboardText().has_value());
  sle->setMarked(arrayValue({Value(5), Value(2)}));
  EXPECT_EQ(sle->copyMarked().num(), 3);
  EXPECT_EQ(hb->clipboardText(), "bcd");
  EXPECT_EQ(sle->cutMarked().num(), 3);
  EXPECT_EQ(sle->text(), "aef");
  hb->setClipboardText("line1\r\nline2");
  EXPECT_EQ(sle->pasteMarked().num(), 5) << "a single line takes the first line of the clipboard";
  EXPECT_EQ(sle->text(), "aline1ef");
}

TEST_F(SleTest, ReadOnlyLineMovesButDoesNotChange) {
  sle->setData({Value("fixed")});
  sle->editable = false;
  hb->setClipboardText("x");
  keys({"End", "Backspace", "Shift+Home", "Del", "Shift+Ins", "Shift+Del"});
  typeText("q");
  EXPECT_EQ(sle->text(), "fixed");
  EXPECT_FALSE(sle->changed);
  EXPECT_EQ(marked(), std::make_pair(6, 1));
  keys({"Ctrl+Ins"});
  EXPECT_EQ(hb->clipboardText(), "fixed") << "copying is still allowed";
}

TEST_F(SleTest, BufferLengthLimitsTyping) {
  sle->bufferLength = 4;
  typeText("abcdef");
  EXPECT_EQ(sle->text(), "abcd");
  keys({"Home", "Shift+Right"});
  typeText("Z");
  EXPECT_EQ(sle->text(), "Zbcd") << "replacing a selection fits";
}

TEST_F(SleTest, ClickPutsTheCaretUnderThePointerAndDragSelects) {
  sle->setData({Value("abcdefghij")});
  hb->click(sle, xOf(4), 10);
  hb->runUntilIdle();
  EXPECT_EQ(marked(), std::make_pair(4, 4));
  hb->drag(sle, xOf(2), 10, xOf(7), 10);
  hb->runUntilIdle();
  EXPECT_EQ(marked(), std::make_pair(2, 7));
  hb->drag(sle, xOf(8), 10, xOf(3), 10);
  hb->runUntilIdle();
  EXPECT_EQ(marked(), std::make_pair(8, 3)) << "dragging to the left marks backwards";
  hb->click(sle, 190, 10);
  hb->runUntilIdle();
  EXPECT_EQ(marked(), std::make_pair(11, 11)) << "right of the text: after the last character";
  hb->dblClick(sle, xOf(1), 10);
  hb->runUntilIdle();
  EXPECT_EQ(marked(), std::make_pair(1, 11)) << "double click marks the word";
}

TEST_F(SleTest, ClickGivesTheFocusBeforeTheButtonEventArrives) {
  auto other = newPart<XbpSle>(area(dlg), Value(), pointValue(10, 40), pointValue(200, 20));
  other->create();
  hb->runUntilIdle();
  std::vector<std::string> log;
  sle->setSlot(Slot::killInputFocus, logBlock(log, "kill first"));
  other->setSlot(Slot::setInputFocus, logBlock(log, "set other"));
  other->setSlot(Slot::lbDown, logBlock(log, "down other"));
  other->setSlot(Slot::lbUp, logBlock(log, "up other"));
  hb->click(other, 5, 5);
  hb->runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"kill first", "set other", "down other", "up other"}));
  EXPECT_EQ(focusHolder(), other);
  other->pointerFocus = false;
  hb->click(sle, 5, 5);
  hb->runUntilIdle();
  EXPECT_EQ(focusHolder(), sle);
  hb->click(other, 5, 5);
  hb->runUntilIdle();
  EXPECT_EQ(focusHolder(), sle) << "pointerFocus false: a click does not take the focus";
}

TEST_F(SleTest, RightClickDoesNotTakeTheFocus) {
  auto other = newPart<XbpSle>(area(dlg), Value(), pointValue(10, 40), pointValue(200, 20));
  other->create();
  hb->click(other, 5, 5, MouseButton::right);
  hb->runUntilIdle();
  EXPECT_EQ(focusHolder(), sle);
}

TEST_F(SleTest, KeyboardSlotRunsAfterTheNativeKeyWithKeyNilAndSelf) {
  Value seen;
  std::string textThen;
  sle->setSlot(Slot::keyboard, Value(makeBlock([&](Args a) -> Value {
                 seen = arrayValue({a[0], a[1], a[2]});
                 textThen = sle->text();
                 return Value();
               })));
  typeText("q");
  ASSERT_TRUE(seen.isArray());
  EXPECT_EQ(seen.array()->at(1).num(), 'q');
  EXPECT_TRUE(seen.array()->at(2).isNil());
  EXPECT_EQ(seen.array()->at(3).object(), sle);
  EXPECT_EQ(textThen, "q");
}

TEST_F(SleTest, SetDataGetDataAndDataLink) {
  Value var("linked");
  sle->dataLink = Value(makeBlock([&var](Args a) -> Value {
    if (a.size() > 0) var = a[0];
    return var;
  }));
  typeText("x");
  EXPECT_TRUE(sle->changed);
  EXPECT_TRUE(sle->setData({}).isTrue());
  EXPECT_EQ(sle->text(), "linked");
  EXPECT_FALSE(sle->changed);
  EXPECT_EQ(marked(), std::make_pair(1, 1));
  keys({"End"});
  typeText("!");
  EXPECT_EQ(sle->getData().str(), "linked!");
  EXPECT_EQ(var.str(), "linked!");
  sle->setData({Value(12)});
  EXPECT_TRUE(errorWith(gen::kArgument, "must be text"));
  EXPECT_EQ(sle->text(), "linked!");
}

TEST_F(SleTest, SetFirstCharScrollsAndTheCaretStaysVisible) {
  std::string longText(60, 'x');
  sle->setData({Value(longText)});
  keys({"End"});
  EXPECT_GT(sle->firstChar(), 1) << "200 pixels hold 24 characters";
  EXPECT_LE(sle->caretX(sle->caret()), 200 - kEditPadding);
  sle->setFirstChar(Value(1));
  EXPECT_EQ(sle->firstChar(), 1);
  EXPECT_EQ(sle->queryFirstChar().num(), 1);
  keys({"Home"});
  EXPECT_EQ(sle->firstChar(), 1);
}

TEST_F(SleTest, ClearEmptiesAndMembersAreReachableByName) {
  sle->setData({Value("abc")});
  EXPECT_TRUE(sle->clear().isTrue());
  EXPECT_EQ(sle->text(), "");
  Value o(sle);
  SetMember(o, "cargo", Value("c"));
  SetMember(o, "TABSTOP", Value(true));
  SetMember(o, "bufferLength", Value(7));
  EXPECT_EQ(GetMember(o, "Cargo").str(), "c");
  EXPECT_TRUE(sle->tabStop);
  EXPECT_EQ(sle->bufferLength, 7);
  EXPECT_TRUE(IsMemberVar(o, "dataLink"));
  EXPECT_TRUE(IsMemberVar(o, "editable"));
  EXPECT_TRUE(IsMethod(o, "queryMarked"));
  EXPECT_TRUE(sle->isDerivedFrom("XbpSle"));
  EXPECT_FALSE(newPart<XbpMle>()->isDerivedFrom("XbpSle"));
  Send(o, "setMarked", {arrayValue({Value(1), Value(3)})});
  sle->setData({Value("abcd")});
  Send(o, "setMarked", {arrayValue({Value(1), Value(3)})});
  EXPECT_EQ(Send(o, "queryMarked").array()->at(2).num(), 3);
}

TEST_F(SleTest, MethodsOfADestroyedLineAreErrorsThatNameIt) {
  Value o(sle);
  sle->destroy();
  struct Call {
    const char* method;
  };
  for (auto m : {"setData", "show", "setPos", "queryMarked", "handleEvent", "copyMarked", "childList", "destroy"}) {
    errors.clear();
    if (std::string(m) == "setPos") Send(o, m, {pointValue(1, 1)});
    else if (std::string(m) == "handleEvent") Send(o, m, {Value(ev::kKeyboard), Value(65), Value()});
    else Send(o, m);
    if (std::string(m) == "queryMarked") continue;  // a query of the state, answered as it was
    EXPECT_TRUE(errorWith(gen::kDestroyed, "has been destroyed")) << m;
  }
}

TEST_F(SleTest, PartWithoutParentCannotBeCreated) {
  auto orphan = newPart<XbpSle>();
  orphan->create();
  EXPECT_TRUE(errorWith(gen::kNoParent, "XbpSle:create: the part has no parent"));
  EXPECT_FALSE(orphan->isCreated());
}

TEST(MleTest, EnterBreaksLinesAndUpDownKeepTheColumn) {
  auto hb = headless::HeadlessBackend::install();
  resetUiForTesting();
  auto d = newPart<XbpDialog>(AppDesktop(), Value(), pointValue(0, 0), pointValue(300, 200));
  d->create();
  auto m = newPart<XbpMle>(Value(d->drawingArea()), Value(), pointValue(5, 5), pointValue(200, 100));
  m->create();
  SetAppFocus(Value(m));
  hb->type("abcd");
  hb->key(key::kEnter);
  hb->type("xy");
  hb->key(key::kUp);
  hb->runUntilIdle();
  EXPECT_EQ(m->text(), "abcd\r\nxy");
  EXPECT_EQ(m->caret(), 3) << "column 3 of the first line";
  hb->key(key::kEnd);
  hb->key(key::kDown);
  hb->runUntilIdle();
  EXPECT_EQ(m->caret(), 9) << "the second line is shorter: its end";
  hb->key(key::kLeft);
  hb->key(key::kLeft);
  hb->key(key::kLeft);
  hb->runUntilIdle();
  EXPECT_EQ(m->caret(), 5) << "the line break is one step";
  hb->key(key::kDel);
  hb->runUntilIdle();
  EXPECT_EQ(m->text(), "abcdxy");
  EXPECT_EQ(m->lineCount(), 1);
  resetUiForTesting();
  setBackend(nullptr);
}

}  // namespace
}  // namespace xb::test
