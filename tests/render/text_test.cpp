// Fonts, text measures and the missing-font fallbacks.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/text.h"
#include "render/draw.h"
#include "render/text_engine.h"

namespace xb::render {
namespace {

class TextEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setFontMessageSink([this](const std::string& m) { messages.push_back(m); });
  }
  void TearDown() override {
    setFontMessageSink(nullptr);
    TextEngine::restart();
  }
  std::vector<std::string> messages;
};

TEST_F(TextEngineTest, DefaultFontIsDejaVuSans) {
  TextEngine::restart();
  EXPECT_EQ(TextEngine::instance().defaultFamily(), "DejaVu Sans");
  EXPECT_TRUE(messages.empty());
}

TEST_F(TextEngineTest, MissingFamilyFallsBackWithOneMessage) {
  TextEngine::restart();
  Font f;
  f.family = "No Such Font";
  double w1 = pangoMetrics().textWidth(f, "Hallo");
  double w2 = pangoMetrics().textWidth(f, "Hallo");
  EXPECT_EQ(w1, w2);
  EXPECT_EQ(w1, pangoMetrics().textWidth(Font{}, "Hallo"));  // drawn with DejaVu Sans
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("\"No Such Font\" is not installed"), std::string::npos);
}

TEST_F(TextEngineTest, MissingDejaVuSaysSoAndStillDraws) {
  std::filesystem::path empty = std::filesystem::temp_directory_path() / "xb-no-fonts";
  std::filesystem::create_directories(empty);
  TextEngine::restart(empty.string());
  std::filesystem::remove_all(empty);
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages[0].find("DejaVu Sans is not installed"), std::string::npos);
  EXPECT_NE(messages[0].find("fonts-dejavu-core"), std::string::npos);
  EXPECT_GE(pangoMetrics().textWidth(Font{}, "abc"), 0);  // no crash, whatever the system has
}

TEST_F(TextEngineTest, CaretPositionsAndHitTesting) {
  TextEngine::restart();
  Font f;
  std::string s = cp("aä1 Wort");
  double prev = -1;
  for (int i = 0; i <= static_cast<int>(s.size()); ++i) {
    double x = pangoMetrics().xOfIndex(f, s, i);
    EXPECT_GT(x, prev) << i;  // every CP850 byte is one character
    prev = x;
    // A click just right of a caret position finds that position.
    EXPECT_EQ(pangoMetrics().indexAtX(f, s, x + 0.6), i) << i;
  }
  EXPECT_EQ(pangoMetrics().indexAtX(f, s, -5), 0);
  EXPECT_EQ(pangoMetrics().indexAtX(f, s, 10000), static_cast<int>(s.size()));
  EXPECT_DOUBLE_EQ(pangoMetrics().xOfIndex(f, s, static_cast<int>(s.size())),
                   pangoMetrics().textWidth(f, s));
}

TEST(FontName, CompoundNames) {
  struct Case {
    const char* name;
    Font font;
  };
  const Case cases[] = {
      {"", Font{}},
      {"10.DejaVu Sans", Font{"DejaVu Sans", 10, false, false}},
      {"8.Helv Bold", Font{"Helv", 8, true, false}},
      {"12.DejaVu Sans Mono Bold Italic", Font{"DejaVu Sans Mono", 12, true, true}},
      {"Courier", Font{"Courier", 9, false, false}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseFont(c.name), c.font) << c.name;
  }
  EXPECT_EQ(compoundName(Font{"DejaVu Sans", 10, true, false}), "10.DejaVu Sans Bold");
}

}  // namespace
}  // namespace xb::render
