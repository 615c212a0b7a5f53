#include <gtest/gtest.h>

#include "tests/ui/ui_fixture.h"
#include "core/text.h"
#include "ui/keys.h"
#include "ui/msgbox.h"
#include "ui/parts.h"

namespace xb::test {
namespace {

using MsgBoxTest = UiTest;

TEST_F(MsgBoxTest, ButtonSetsOfTheWindowsMessageBox) {
  struct Case {
    int set;
    std::vector<std::string> captions;
    std::vector<int> results;
  };
  const Case cases[] = {
      {0, {"OK"}, {1}},
      {1, {"OK", "Abbrechen"}, {1, 2}},
      {2, {"Abbrechen", "Wiederholen", "Ignorieren"}, {3, 4, 5}},
      {3, {"Ja", "Nein", "Abbrechen"}, {6, 7, 2}},
      {4, {"Ja", "Nein"}, {6, 7}},
      {5, {"Wiederholen", "Abbrechen"}, {4, 2}},
  };
  for (auto& c : cases) {
    hb->answer(c.results.back());
    hb->runUntilIdle();
    EXPECT_EQ(ConfirmBox(Value(), Value("Frage"), Value("T"), Value(c.set)).num(), c.results.back()) << c.set;
    ASSERT_FALSE(hb->dialogs().empty());
    EXPECT_EQ(hb->dialogs().back().info.buttons, c.captions) << c.set;
    EXPECT_EQ(hb->dialogs().back().info.results, c.results) << c.set;
  }
  EXPECT_TRUE(hb->failures().empty());
}

TEST_F(MsgBoxTest, EveryBoxIsRecordedWithTitleTextButtonsAndAnswer) {
  hb->answer(1);
  hb->runUntilIdle();
  MsgBox(Value("test"));
  hb->answer(2);
  hb->runUntilIdle();
  EXPECT_EQ(Alert(Value(cp("Fehler;Zeile zwei")), arrayValue({Value("Abbrechen"), Value("Ende mit LOG-Datei")})).num(), 2);
  ASSERT_EQ(hb->dialogs().size(), 2u);
  auto& m = hb->dialogs()[0];
  EXPECT_EQ(m.info.kind, MessageBoxInfo::msgBox);
  EXPECT_EQ(m.info.text, "test");
  EXPECT_EQ(m.info.buttons, (std::vector<std::string>{"OK"}));
  EXPECT_EQ(m.answer, 1);
  auto& a = hb->dialogs()[1];
  EXPECT_EQ(a.info.lines, (std::vector<std::string>{"Fehler", "Zeile zwei"})) << "';' breaks the lines of an Alert";
  EXPECT_EQ(a.answer, 2);
}

TEST_F(MsgBoxTest, ConfirmBoxLinesBreakAtCarriageReturnsAndStyleGivesIconAndDefault) {
  hb->answer(6);
  hb->runUntilIdle();
  ConfirmBox(Value(), Value("a\rb;c"), Value("Quorvel Fehlermeldung"), Value(4), Value(48 + 256 + 131072));
  auto& d = hb->dialogs().back();
  EXPECT_EQ(d.info.lines, (std::vector<std::string>{"a", "b;c"}));
  EXPECT_EQ(d.info.icon, 48);
  EXPECT_EQ(d.info.defaultButton, 1);
  EXPECT_EQ(d.info.title, "Quorvel Fehlermeldung");
}

TEST_F(MsgBoxTest, AnAnswerAfterTheOpeningStepStillAnswers) {
  auto d = dialog();
  auto b = newPart<XbpPushButton>(area(d), Value(), pointValue(10, 10), pointValue(80, 24));
  b->setSlot(Slot::activate, Value(makeBlock([](Args) { return MsgBox(Value("test")); })));
  b->create();
  ASSERT_FALSE(hb->loadScript("click main/area/XbpPushButton\nanswer 1\nexpect-dialog test\n").has_value());
  hb->runUntilIdle();
  ASSERT_EQ(hb->dialogs().size(), 1u);
  EXPECT_FALSE(hb->dialogs()[0].defaulted);
  EXPECT_TRUE(hb->failures().empty()) << (hb->failures().empty() ? "" : hb->failures()[0]);
}

TEST_F(MsgBoxTest, MissingOrWrongAnswersAreFailuresNamingTheBox) {
  EXPECT_EQ(ConfirmBox(Value(), Value("Speichern?"), Value(), Value(1)).num(), 2) << "Cancel when unanswered";
  ASSERT_EQ(hb->failures().size(), 1u);
  EXPECT_NE(hb->failures()[0].find("'Speichern?' was shown, but no answer was given"), std::string::npos);
  EXPECT_TRUE(hb->dialogs().back().defaulted);
  hb->answer(2);
  hb->runUntilIdle();
  ConfirmBox(Value(), Value("Ja oder nein"), Value(), Value(4));
  ASSERT_EQ(hb->failures().size(), 2u);
  EXPECT_NE(hb->failures()[1].find("answer 2 is not a button"), std::string::npos);
}

TEST_F(MsgBoxTest, ShownBoxIsAnsweredByKeysWithoutMovingTheFocus) {
  auto d = dialog();
  hb->runUntilIdle();
  hb->showMessageBoxes = true;
  std::vector<std::string> log;
  d->setSlot(Slot::killInputFocus, logBlock(log, "kill"));
  double answer = 0;
  hb->step([&] { answer = ConfirmBox(Value(), Value("Weiter?"), Value("Frage"), Value(4)).num(); });
  hb->key("Tab");
  hb->key("Enter");
  hb->runUntilIdle();
  EXPECT_EQ(answer, 7);
  EXPECT_EQ(focusHolder(), d);
  EXPECT_TRUE(log.empty()) << "the box works through the input capture, not the focus";
  EXPECT_EQ(inputCapture(), nullptr);
  EXPECT_EQ(modalWindow(), nullptr);
  EXPECT_EQ(AppDesktop()->children().size(), 1u) << "the box is gone";
}

TEST_F(MsgBoxTest, ShownBoxIsAnsweredByAClickOnAButton) {
  dialog();
  hb->showMessageBoxes = true;
  double answer = 0;
  hb->step([&] { answer = ConfirmBox(Value(), Value("Fehler"), Value(), Value(2)).num(); });
  ASSERT_FALSE(hb->loadScript("click capture/XbpPushButton:3\n").has_value());
  hb->runUntilIdle();
  EXPECT_EQ(answer, 5) << "Ignorieren";
  EXPECT_EQ(hb->dialogs().back().answer, 5);
}

TEST_F(MsgBoxTest, BreakFromACallbackInsideTheBoxLoopPassesThroughAndTakesTheBoxDown) {
  auto d = dialog();
  hb->runUntilIdle();
  hb->showMessageBoxes = true;
  d->setSlot(Slot::paint, Value(makeBlock([](Args) -> Value { Break(Value("out")); })));
  Value caught;
  hb->step([&] {
    recoverable([&] { ConfirmBox(Value(), Value("x"), Value(), Value(1)); }, [&](const Value& v) { caught = v; });
  });
  hb->step([&] { PostAppEvent(ev::kPaint, Value(), Value(), Value(d)); });
  hb->runUntilIdle();
  EXPECT_EQ(caught.str(), "out");
  EXPECT_EQ(inputCapture(), nullptr);
  EXPECT_EQ(AppDesktop()->children().size(), 1u);
}

TEST_F(MsgBoxTest, ToneIsRecorded) {
  Tone(Value(1000));
  Tone(Value(440), Value(18.2));
  ASSERT_EQ(hb->tones().size(), 2u);
  EXPECT_EQ(hb->tones()[0].frequency, 1000);
  EXPECT_NEAR(hb->tones()[1].seconds, 1.0, 1e-9);
  Tone(Value("hoch"));
  EXPECT_TRUE(errorWith(gen::kArgument, "Tone"));
  EXPECT_EQ(hb->tones().size(), 2u);
}

}  // namespace
}  // namespace xb::test
