// Properties over generated values and pictures: the engine's text with the focus is
// Transform's text, every method keeps the text as long as the template, and the text
// read back and formatted again is the same text.
#include <random>

#include "core/date.h"
#include "core/text.h"
#include "edit/get.h"
#include "edit/valfuncs.h"
#include "edit_fixture.h"

namespace xb::test {
namespace {

class Gen {
 public:
  explicit Gen(unsigned seed) : rng_(seed) {}

  int upTo(int n) { return std::uniform_int_distribution<int>(0, n)(rng_); }
  bool coin() { return upTo(1) == 1; }
  char pick(std::string_view s) { return s[static_cast<size_t>(upTo(static_cast<int>(s.size()) - 1))]; }

  Value value() {
    switch (upTo(5)) {
      case 0: return Value();
      case 1: {
        std::string s;
        for (int n = upTo(12); n > 0; --n) s += pick(alphabet_);
        return Value(s);
      }
      case 2: return Value(coin());
      case 3: {
        int n = upTo(20);
        return Value::date(n == 0 ? 0 : dayNumber(1900 + upTo(200), 1 + upTo(11), 1 + upTo(27)));
      }
      default: {
        double scale[] = {1, 10, 100, 1000};
        double v = (upTo(2000000) - 1000000) / scale[upTo(3)];
        if (upTo(6) == 0) v = 0;
        if (upTo(8) == 0) return Value::number(v, 4 + upTo(8), upTo(3));
        return Value(v);
      }
    }
  }

  std::string picture() {
    std::string fn;
    if (coin()) {
      fn = "@";
      for (int n = upTo(3); n > 0; --n) fn += pick("!ARKBZLEDC()XQ");
      if (upTo(5) == 0) fn += "S" + std::to_string(1 + upTo(8));
      if (upTo(5) == 0) fn += "L_";
    }
    std::string t;
    switch (upTo(4)) {
      case 0: break;  // no template
      case 1:
        for (int n = 1 + upTo(10); n > 0; --n) t += pick("9#ANX!LY-:/( ");
        break;
      case 2: {
        const char* numeric[] = {"999.99", "9,999.99", "$$$,$$9.99", "***.**", "99999", "#####.#",
                                 "9.999", ".99", "999 kg", "99,999,999"};
        t = numeric[upTo(9)];
        break;
      }
      default: {
        const char* common[] = {"99:99XXXXXXXXX", "(999)999-9999", "!XXXXXXX", "Y", "L", "AAAA-NNNN"};
        t = common[upTo(5)];
        break;
      }
    }
    if (fn.empty()) return t;
    return t.empty() ? fn : fn + " " + t;
  }

 private:
  std::mt19937 rng_;
  std::string alphabet_ = "abcXYZ019 -.,:" + cp("äöüÄÖÜß");
};

using GetProperties = EditTest;

TEST_F(GetProperties, FocusTextIsTransformAndReadsBackToItself) {
  Gen gen(20261211);
  int roundTrips = 0;
  for (int i = 0; i < 4000; ++i) {
    Value v = gen.value();
    std::string pic = gen.picture();
    Value var = v;
    auto g = Get::New(Value(), Value(), Value(makeBlock([&var](Args a) { return a.size() ? (var = a[0]) : var; })),
                      "v", pic);
    g->setFocus();
    std::string shown = Transform(v, pic);
    ASSERT_EQ(g->buffer().str(), shown) << Transform(v, "") << " / " << pic;
    // The text read back is a value that shows the same text.
    if (auto back = g->untransform()) {
      EXPECT_EQ(Transform(*back, pic), shown) << Transform(v, "") << " / " << pic;
      ++roundTrips;
    } else {
      // Only overflow stars are no value (and a number left-justified among literals).
      bool stars = shown.find_first_not_of('*') == std::string::npos;
      EXPECT_TRUE(stars || (v.isNum() && pic.find('B') != std::string::npos))
          << "'" << shown << "' / " << pic;
    }
  }
  EXPECT_GT(roundTrips, 3000);
  EXPECT_TRUE(errors.empty());
}

TEST_F(GetProperties, EveryMethodKeepsTheLengthAndTheWrittenValueShowsTheText) {
  Gen gen(4711);
  const char* moves[] = {"home", "_End", "Left", "Right", "ToDecPos", "BackSpace", "Delete", "DelWordLeft",
                         "DelWordRight", "DelEnd", "CondClear", "UpdateBuffer", "_assign"};
  int checked = 0;
  for (int i = 0; i < 3000; ++i) {
    Value v = gen.value();
    std::string pic = gen.picture();
    Value var = v;
    auto g = Get::New(Value(), Value(), Value(makeBlock([&var](Args a) { return a.size() ? (var = a[0]) : var; })),
                      "v", pic);
    g->setFocus();
    const size_t len = g->buffer().str().size();
    std::string trace = pic + ":";
    for (int k = gen.upTo(12); k > 0; --k) {
      int what = gen.upTo(15);
      if (what < 13) {
        trace += std::string(" ") + moves[what];
        g->call(moves[what]);
      } else {
        std::string c(1, gen.pick("0123456789-+. aZ" + cp("äß")));
        trace += (what == 13 ? " Insert " : " Overstrike ") + c;
        g->call(what == 13 ? "Insert" : "Overstrike", {c});
      }
      ASSERT_EQ(g->buffer().str().size(), len) << trace;
      ASSERT_GE(g->pos(), 1) << trace;
      ASSERT_LE(g->pos(), static_cast<int>(len) + 1) << trace;
    }
    // A number is re-aligned as the field does when it is left; then the value written
    // must show exactly the edited text.
    if (g->type() == "N") g->ToDecPos();
    std::string text = g->buffer().str();
    size_t before = errors.size();
    Value previous = var;
    g->_assign();
    if (errors.size() > before) {
      // Refused (overflow stars edited): nothing was written.
      EXPECT_TRUE(exactlyEqual(var, previous)) << trace;
      EXPECT_EQ(errors.back()->genCode, gen::kDataType) << trace;
      continue;
    }
    // A sign typed before any digit stays on the zero, so "-" "." "5" gives -0.5; that
    // zero itself is written as 0.
    if (g->type() == "N" && var.num() == 0 && text.find_first_of("-(") != std::string::npos) continue;
    if (g->type() == "D" && g->badDate()) continue;
    // A date or logical partly blanked reads as a value that shows without the blanks.
    bool partial = (g->type() == "D" && text.find(' ') != std::string::npos &&
                    text.find_first_of("0123456789") != std::string::npos) ||
                   (g->type() == "L" && text.find(' ') != std::string::npos);
    if (partial) continue;
    EXPECT_EQ(Transform(var, pic), text) << trace;
    ++checked;
  }
  EXPECT_GT(checked, 1500);
}

}  // namespace
}  // namespace xb::test
