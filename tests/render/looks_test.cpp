// What each look draws, independent of how it is painted.
#include <gtest/gtest.h>

#include "render/color.h"
#include "render/looks.h"
#include "render/text_engine.h"

namespace xb::render {
namespace {

// Character-cell measures: every character one unit wide, lines one unit high.
class CellMetrics : public Metrics {
 public:
  double lineHeight(const Font&) override { return 10; }
  double textWidth(const Font&, const std::string& s) override { return 5.0 * s.size(); }
  double charWidth(const Font&) override { return 5; }
  double xOfIndex(const Font&, const std::string&, int i) override { return 5.0 * i; }
  int indexAtX(const Font&, const std::string& s, double x) override {
    return std::clamp(static_cast<int>(x / 5 + 0.5), 0, static_cast<int>(s.size()));
  }
};

template <class T>
std::vector<T> opsOf(const DrawList& l) {
  std::vector<T> out;
  for (const auto& op : l)
    if (auto* p = std::get_if<T>(&op)) out.push_back(*p);
  return out;
}

TEST(Looks, MnemonicMarks) {
  struct Case {
    const char* caption;
    const char* text;
    int mnemonic;
  };
  const Case cases[] = {{"~Test", "Test", 0},
                        {"Alles ~markieren", "Alles markieren", 6},
                        {"no mark", "no mark", -1},
                        {"a~~b ~c", "a~b c", 4},
                        {"end~", "end~", -1}};
  for (const Case& c : cases) {
    int m;
    EXPECT_EQ(stripMnemonic(c.caption, m), c.text) << c.caption;
    EXPECT_EQ(m, c.mnemonic) << c.caption;
  }
}

TEST(Looks, EditLineShowsCaretAndMarkingOnlyWithFocus) {
  EditLook e;
  e.w = 100;
  e.h = 20;
  e.text = "START";
  e.selStart = 1;
  e.selEnd = 3;
  e.caret = 3;
  e.colours.fg = 0;
  e.colours.bg = 12;
  auto texts = opsOf<TextOp>(editLook(e));
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].caret, -1);
  EXPECT_EQ(texts[0].selStart, texts[0].selEnd);
  EXPECT_EQ(opsOf<FillOp>(editLook(e))[0].colour, 12);

  e.focused = true;
  texts = opsOf<TextOp>(editLook(e));
  EXPECT_EQ(texts[0].caret, 3);
  EXPECT_EQ(texts[0].selStart, 1);
  EXPECT_EQ(texts[0].selEnd, 3);
  EXPECT_EQ(texts[0].fg, 0);

  e.enabled = false;  // disabled: grey text, no caret, whatever the focus says
  texts = opsOf<TextOp>(editLook(e));
  EXPECT_EQ(texts[0].caret, -1);
  EXPECT_EQ(texts[0].fg, sysclr::kGrayText);
}

TEST(Looks, ReadOnlyEditLineUsesTheDialogBackground) {
  EditLook e;
  e.w = 50;
  e.h = 20;
  e.editable = false;
  EXPECT_EQ(opsOf<FillOp>(editLook(e))[0].colour, sysclr::kDialog);
  e.editable = true;
  EXPECT_EQ(opsOf<FillOp>(editLook(e))[0].colour, sysclr::kEntryField);
}

TEST(Looks, ListShowsTheItemsThatFitAndAScrollBarForTheRest) {
  CellMetrics m;
  ListLook l;
  l.w = 100;
  l.h = 4 + 3 * 12;  // three items of 12 pixels
  l.items = {"a", "b", "c", "d", "e"};
  l.topItem = 1;
  l.marked = {false, false, true};
  l.cursor = 2;
  l.focused = true;
  l.tabStops = {8};
  EXPECT_EQ(listVisibleItems(l, m), 3);
  DrawList d = listLook(l, m);
  auto texts = opsOf<TextOp>(d);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "b");
  EXPECT_EQ(texts[2].text, "d");
  EXPECT_EQ(texts[1].fg, sysclr::kHighlightText);  // "c" is marked
  ASSERT_EQ(texts[0].tabStops.size(), 1u);
  EXPECT_EQ(texts[0].tabStops[0], 40);  // 8 digit widths
  EXPECT_EQ(opsOf<ArrowOp>(d).size(), 2u);  // scroll bar buttons
  auto frames = opsOf<FrameOp>(d);
  EXPECT_EQ(std::count_if(frames.begin(), frames.end(),
                          [](const FrameOp& f) { return f.style == FrameStyle::Focus; }),
            1);

  l.items.resize(2);  // everything fits: no scroll bar
  EXPECT_TRUE(opsOf<ArrowOp>(listLook(l, m)).empty());
}

TEST(Looks, ButtonStates) {
  ButtonLook b;
  b.w = 120;
  b.h = 30;
  b.caption = "~Test";
  auto has = [](const DrawList& d, FrameStyle s) {
    auto f = opsOf<FrameOp>(d);
    return std::any_of(f.begin(), f.end(), [s](const FrameOp& o) { return o.style == s; });
  };
  DrawList normal = buttonLook(b);
  EXPECT_TRUE(has(normal, FrameStyle::Raised));
  EXPECT_FALSE(has(normal, FrameStyle::Focus));
  EXPECT_EQ(opsOf<TextOp>(normal)[0].mnemonic, 0);
  b.pressed = true;
  EXPECT_TRUE(has(buttonLook(b), FrameStyle::Pressed));
  b.pressed = false;
  b.focused = true;
  EXPECT_TRUE(has(buttonLook(b), FrameStyle::Focus));
  b.enabled = false;
  EXPECT_TRUE(opsOf<TextOp>(buttonLook(b))[0].embossed);
  EXPECT_FALSE(has(buttonLook(b), FrameStyle::Focus));
}

TEST(Looks, MenuLayoutSeparatorsAndDisabledItems) {
  CellMetrics m;
  MenuLook menu;
  menu.items = {{"~Prüfen"}, {"", true}, {"~Kopieren", false, false}, {"Alles ~markieren"}};
  menu.highlighted = 3;
  MenuLayout lay = menuLayout(menu, m);
  ASSERT_EQ(lay.items.size(), 4u);
  EXPECT_EQ(lay.items[1].h, 8);
  EXPECT_EQ(lay.items[0].h, 16);
  EXPECT_EQ(lay.items[2].y, lay.items[1].bottom());
  EXPECT_GE(lay.w, 5 * 15);  // widest caption without its "~"
  auto texts = opsOf<TextOp>(menuLook(menu, m));
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_TRUE(texts[1].embossed);
  EXPECT_EQ(texts[2].fg, sysclr::kHighlightText);
  EXPECT_EQ(texts[2].mnemonic, 6);
}

TEST(Looks, MultiLineEditSplitsLinesAndPlacesCaretOnItsLine) {
  CellMetrics m;
  MleLook e;
  e.w = 100;
  e.h = 60;
  e.text = "one\r\ntwo\nthree";
  e.focused = true;
  e.caret = 7;  // "tw|o"
  e.selStart = 1;
  e.selEnd = 7;
  auto texts = opsOf<TextOp>(mleLook(e, m));
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "one");
  EXPECT_EQ(texts[1].text, "two");
  EXPECT_EQ(texts[0].selStart, 1);
  EXPECT_EQ(texts[0].selEnd, 3);
  EXPECT_EQ(texts[1].selEnd, 2);
  EXPECT_EQ(texts[1].caret, 2);
  EXPECT_EQ(texts[0].caret, -1);
  e.firstLine = 1;
  EXPECT_EQ(opsOf<TextOp>(mleLook(e, m))[0].text, "two");
}

}  // namespace
}  // namespace xb::render
