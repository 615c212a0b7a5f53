#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/ui/ui_fixture.h"
#include "core/text.h"
#include "ui/keys.h"
#include "ui/msgbox.h"
#include "ui/parts.h"
#include "ui/sle.h"

namespace xb::test {
namespace {

// A small form: an edit line and a button that shows a message box, in the main dialog.
class ScriptTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dlg = dialog(400, 450);
    dlg->setTitle("Test Combo");
    SetAppWindow(Value(dlg));
    sle = newPart<XbpSle>(area(dlg), Value(), pointValue(10, 285), pointValue(100, 20));
    sle->create();
    button = newPart<XbpPushButton>(area(dlg), Value(), pointValue(10, 250), pointValue(120, 30));
    button->setCaption(Value("Test"));
    button->setSlot(Slot::activate, Value(makeBlock([](Args) { return MsgBox(Value("test")); })));
    button->create();
    dlg->setSlot(Slot::close, Value(makeBlock([this](Args a) -> Value {
                   closedWith = a[2];
                   return Value();
                 })));
    hb->runUntilIdle();
  }
  std::optional<headless::ScriptError> run(const std::string& text) {
    auto err = hb->loadScript(text, "t.script");
    if (!err) hb->runUntilIdle();
    return err;
  }
  std::shared_ptr<XbpDialog> dlg;
  std::shared_ptr<XbpSle> sle;
  std::shared_ptr<XbpPushButton> button;
  Value closedWith;
};

TEST_F(ScriptTest, DrivesAFormWithKeysTextClicksAnswersAndClose) {
  auto err = run(
      "# typed into the edit line\n"
      "click main/area/XbpSle 5 10\n"
      "type Grüße\n"
      "key Home Shift+Right Shift+Right\n"
      "expect-text main/XbpSle Grüße\n"
      "expect-focus main/area/1\n"
      "click main/'Test'\n"
      "answer 1\n"
      "expect-dialog test\n"
      "idle\n"
      "close\n");
  ASSERT_FALSE(err.has_value()) << err->message;
  EXPECT_TRUE(hb->failures().empty()) << hb->failures()[0];
  EXPECT_EQ(sle->text(), cp("Grüße"));
  EXPECT_EQ(sle->markEnd(), 3);
  ASSERT_EQ(hb->dialogs().size(), 1u);
  EXPECT_EQ(closedWith.object(), dlg) << "close reaches the dialog's close slot with the dialog";
  EXPECT_EQ(LastAppEvent(), ev::kClose);
}

TEST_F(ScriptTest, SyntaxErrorsNameTheLineAndLoadNothing) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"key F4\nkey Hyper+Q\n", "t.script:2: unknown key name 'Hyper+Q'"},
      {"jump main\n", "t.script:1: unknown command 'jump'"},
      {"\n\nclick main 5\n", "t.script:3: click: give both X and Y, or neither"},
      {"answer yes\n", "t.script:1: answer: 'yes' is not a whole number"},
      {"drag main 1 2 3\n", "t.script:1: usage: drag PART X1 Y1 X2 Y2"},
      {"type\n", "t.script:1: usage: type TEXT"},
  };
  for (auto& c : cases) {
    auto err = hb->loadScript(c.text, "t.script");
    ASSERT_TRUE(err.has_value()) << c.text;
    EXPECT_EQ(err->message, c.message);
    EXPECT_FALSE(hb->hasPendingInput()) << "a script with an error adds no steps";
  }
}

TEST_F(ScriptTest, ExpectationsAndMissingPartsAreFailuresNamingTheLine) {
  auto err = run(
      "expect-text main/XbpSle something\n"
      "click main/XbpListBox 1 1\n"
      "expect-focus main/'Test'\n"
      "screenshot out.png\n");
  ASSERT_FALSE(err.has_value());
  ASSERT_EQ(hb->failures().size(), 4u);
  EXPECT_EQ(hb->failures()[0], "t.script:1: expect-text: XbpSle shows '', expected 'something'");
  EXPECT_NE(hb->failures()[1].find("t.script:2: part path 'main/XbpListBox': nothing matches 'XbpListBox'"),
            std::string::npos);
  EXPECT_NE(hb->failures()[2].find("t.script:3: expect-focus"), std::string::npos);
  EXPECT_EQ(hb->failures()[3], "t.script:4: screenshot: not available (no renderer in this program)");
  EXPECT_FALSE(diagWith("no part there")) << "a click whose part is missing sends no button up either";
}

TEST_F(ScriptTest, ScreenshotGoesToTheInstalledWriter) {
  std::string got;
  hb->setScreenshotWriter([&](XbpWindow& top, const std::string& file) {
    got = top.describe() + " -> " + file;
    return std::string();
  });
  ASSERT_FALSE(run("screenshot shot.png main/area/XbpSle\n").has_value());
  EXPECT_EQ(got, "XbpDialog 'Test Combo' -> shot.png");
  EXPECT_TRUE(hb->failures().empty());
}

TEST_F(ScriptTest, PartPaths) {
  std::string err;
  EXPECT_EQ(headless::findPart("main", err), dlg);
  EXPECT_EQ(headless::findPart("main/area", err), dlg->drawingArea());
  EXPECT_EQ(headless::findPart("main/area/2", err), button);
  EXPECT_EQ(headless::findPart("main/XbpWindow:2", err), sle) << "depth first: area, then its children";
  EXPECT_EQ(headless::findPart("main/\"Test\"", err), button);
  EXPECT_EQ(headless::findPart("main/area/3", err), nullptr);
  EXPECT_NE(err.find("nothing matches '3' below XbpIWindow"), std::string::npos);
  EXPECT_EQ(headless::findPart("window", err), nullptr);
  EXPECT_NE(err.find("unknown root 'window'"), std::string::npos);
}

TEST_F(ScriptTest, ActivationAndFrameStateRaiseTheDisplayFocusEvents) {
  std::vector<std::string> log;
  dlg->setSlot(Slot::setDisplayFocus, logBlock(log, "set"));
  dlg->setSlot(Slot::killDisplayFocus, logBlock(log, "kill"));
  ASSERT_FALSE(run("deactivate\nactivate main\n").has_value());
  EXPECT_EQ(log, (std::vector<std::string>{"kill", "set"}));
  EXPECT_TRUE(dlg->isActive());
  dlg->setFrameState(Value(frame::kMinimized));
  hb->runUntilIdle();
  EXPECT_EQ(dlg->getFrameState().num(), 1);
  EXPECT_FALSE(dlg->isActive());
  dlg->setFrameState(Value(frame::kNormalized));
  hb->runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"kill", "set", "kill", "set"}));
}

TEST_F(ScriptTest, DialogKeepsTheDrawingAreaInsideItsFrame) {
  auto area = dlg->drawingArea();
  EXPECT_EQ(GetMember(Value(dlg), "drawingArea").object(), area);
  EXPECT_DOUBLE_EQ(area->size().w, 400 - 2 * kDialogBorder);
  EXPECT_DOUBLE_EQ(area->size().h, 450 - 2 * kDialogBorder - kDialogTitleHeight);
  dlg->setSize(pointValue(500, 400));
  EXPECT_DOUBLE_EQ(area->size().w, 500 - 2 * kDialogBorder);
  dlg->setModalState(Value(modal::kApplicationModal));
  EXPECT_EQ(modalWindow(), dlg);
  dlg->setModalState(Value(modal::kModeless));
  EXPECT_EQ(modalWindow(), nullptr);
}

TEST_F(ScriptTest, ScriptFileAndTypedCharactersOutsideCodePage850) {
  auto path = std::filesystem::temp_directory_path() / ("ui_script_" + std::to_string(::getpid()) + ".txt");
  {
    std::ofstream f(path, std::ios::binary);
    f << "click main/XbpSle\r\ntype a€b\r\n";
  }
  auto err = hb->loadScriptFile(path.string());
  std::filesystem::remove(path);
  ASSERT_FALSE(err.has_value()) << err->message;
  hb->runUntilIdle();
  EXPECT_EQ(sle->text(), "ab");
  ASSERT_EQ(hb->tones().size(), 1u) << "the euro sign is refused with a tone";
  EXPECT_TRUE(diagWith("typed character U+20AC refused: code page 850 cannot hold it"));
  auto missing = hb->loadScriptFile("/nonexistent/x.script");
  ASSERT_TRUE(missing.has_value());
  EXPECT_EQ(missing->message, "/nonexistent/x.script: cannot open the script");
}

TEST_F(ScriptTest, TheScriptCarriesOnInsideNestedLoops) {
  hb->showMessageBoxes = true;
  ASSERT_FALSE(run("click main/'Test'\nkey Enter\nclose\n").has_value());
  ASSERT_EQ(hb->dialogs().size(), 1u);
  EXPECT_EQ(hb->dialogs()[0].answer, 1) << "Enter inside the box's own loop";
  EXPECT_EQ(closedWith.object(), dlg);
}

}  // namespace
}  // namespace xb::test
