// Pictures, PNG files and the Cairo painter.
#include <cairo.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/error.h"
#include "core/text.h"
#include "render/color.h"
#include "render/looks.h"
#include "render/painter.h"
#include "render/picture.h"
#include "render/text_engine.h"

namespace xb::render {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  fs::path path;
  TempDir() {
    path = fs::temp_directory_path() / ("xb-render-" + std::to_string(::getpid()));
    fs::create_directories(path);
  }
  ~TempDir() { fs::remove_all(path); }
};

Picture draw(int w, int h, const DrawList& l) {
  Picture p(w, h);
  cairo_t* cr = p.context();
  paintList(cr, l);
  cairo_destroy(cr);
  return p;
}

uint32_t hex(Rgb c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

TEST(Picture, PngRoundTripIsExact) {
  TempDir dir;
  Picture p = draw(40, 30, {FillOp{{5, 5, 10, 10}, clr::kRed}, FrameOp{{0, 0, 40, 30}, FrameStyle::Sunken}});
  std::string file = (dir.path / "a.png").string();
  ASSERT_TRUE(p.writePng(file));
  std::string why;
  auto back = Picture::readPng(file, &why);
  ASSERT_TRUE(back) << why;
  PictureDiff d = comparePictures(p, *back, 0);
  EXPECT_EQ(d.differing, 0);
  EXPECT_EQ(back->pixel(7, 7), hex(*rgbOf(clr::kRed)));
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator{}), 1);
}

TEST(Picture, WriteFailureRaisesCreateErrorAndLeavesNothing) {
  TempDir dir;
  Value seen;
  Value old = ErrorBlock(Value(makeBlock([&](Args a) {
    seen = a[0];
    return Value(false);
  })));
  Picture p(10, 10);
  std::string file = (dir.path / "missing-dir" / "a.png").string();
  EXPECT_FALSE(p.writePng(file));
  ErrorBlock(old);
  auto e = seen.as<ErrorObject>();
  ASSERT_TRUE(e);
  EXPECT_EQ(e->genCode, gen::kCreate);
  EXPECT_EQ(e->osCode, oscode::kFileNotFound);
  EXPECT_EQ(e->fileName, file);
  EXPECT_FALSE(fs::exists(dir.path / "missing-dir"));
}

TEST(Picture, ReadingSomethingElseIsRefused) {
  TempDir dir;
  std::ofstream(dir.path / "x.png") << "not a picture";
  std::string why;
  EXPECT_FALSE(Picture::readPng((dir.path / "x.png").string(), &why));
  EXPECT_FALSE(why.empty());
  EXPECT_FALSE(Picture::readPng((dir.path / "none.png").string(), &why));
}

TEST(Picture, CompareCountsPixelsBeyondTolerance) {
  Picture a = draw(10, 10, {FillOp{{0, 0, 10, 10}, rgbNumber(100, 100, 100)}});
  Picture b = draw(10, 10, {FillOp{{0, 0, 10, 10}, rgbNumber(100, 100, 100)},
                            FillOp{{0, 0, 2, 1}, rgbNumber(103, 100, 100)},
                            FillOp{{5, 5, 1, 1}, rgbNumber(100, 140, 100)}});
  EXPECT_EQ(comparePictures(a, b, 3).differing, 1);
  EXPECT_EQ(comparePictures(a, b, 2).differing, 3);
  EXPECT_EQ(comparePictures(a, b, 0).maxDelta, 40);
  EXPECT_TRUE(comparePictures(a, Picture(10, 11), 255).sizeDiffers);
}

TEST(Painter, SelectionAndCaretLandOnTheirCharacters) {
  TextEngine::restart();
  TextOp t;
  t.box = {0, 0, 200, 20};
  t.text = cp("Grüße aus Bonn");
  t.fg = clr::kBlack;
  t.selStart = 6;
  t.selEnd = 9;  // "aus"
  t.selBg = rgbNumber(0, 0, 255);
  t.selFg = clr::kWhite;
  t.caret = 9;
  Picture p = draw(200, 20, {FillOp{{0, 0, 200, 20}, clr::kWhite}, t});
  Font f;
  int x6 = static_cast<int>(pangoMetrics().xOfIndex(f, t.text, 6));
  int x9 = static_cast<int>(pangoMetrics().xOfIndex(f, t.text, 9));
  // The marked range is filled in the marking colour from its first to its last character.
  EXPECT_EQ(p.pixel(x6 + 1, 2), 0x0000FFu);
  EXPECT_EQ(p.pixel(x9 - 2, 2), 0x0000FFu);
  EXPECT_EQ(p.pixel(x6 - 3, 2), 0xFFFFFFu);
  // The caret is a line before character 9, right after the marking.
  EXPECT_EQ(p.pixel(x9, 10), 0x000000u);
  EXPECT_EQ(p.pixel(x9 + 3, 2), 0xFFFFFFu);
}

TEST(Painter, ScrolledTextStartsWithFirstChar) {
  TextEngine::restart();
  TextOp a, b;
  a.box = b.box = {0, 0, 100, 20};
  a.text = "0123456789abcdef";
  b.text = "56789abcdef";
  a.firstChar = 5;
  Picture pa = draw(100, 20, {FillOp{{0, 0, 100, 20}, clr::kWhite}, a});
  Picture pb = draw(100, 20, {FillOp{{0, 0, 100, 20}, clr::kWhite}, b});
  EXPECT_EQ(comparePictures(pa, pb, 0).differing, 0);
}

TEST(Painter, SameListSamePixels) {
  TextEngine::restart();
  ListLook l;
  l.w = 150;
  l.h = 60;
  l.items = {"12:00\ttest", "12:30\ttest", cp("Größe\tü"), "4", "5"};
  l.marked = {false, true};
  l.cursor = 1;
  l.focused = true;
  l.tabStops = {8};
  Picture a = draw(150, 60, listLook(l, pangoMetrics()));
  TextEngine::restart();
  Picture b = draw(150, 60, listLook(l, pangoMetrics()));
  EXPECT_EQ(comparePictures(a, b, 0).differing, 0);
}

}  // namespace
}  // namespace xb::render
