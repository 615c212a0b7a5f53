// Pictures of top-level parts: frame and title, partial repaints, paint callbacks and
// presentation spaces drawing on the picture.
#include <gtest/gtest.h>

#include "core/text.h"
#include "render/color.h"
#include "render/scene.h"
#include "tests/ui/ui_fixture.h"
#include "ui/presspace.h"

namespace xb::test {
namespace {

using render::Picture;
using render::rgbOf;
namespace sysclr = render::sysclr;

uint32_t hex(double colour) {
  auto c = *rgbOf(colour);
  return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

class SceneTest : public UiTest {
 protected:
  std::shared_ptr<XbpIWindow> box(const WindowRef& parent, double x, double y, double w, double h,
                                  double bg) {
    auto b = newPart<XbpIWindow>(Value(parent), Value(), pointValue(x, y), pointValue(w, h));
    b->create();
    b->setColorBG({Value(bg)});
    return b;
  }
};

TEST_F(SceneTest, DialogPictureHasFrameTitleAndDrawingArea) {
  auto d = dialog(300, 200);
  d->setTitle(cp("Größe"));
  Picture p = render::renderWindow(d);
  ASSERT_EQ(p.width(), 300);
  ASSERT_EQ(p.height(), 200);
  uint32_t bar = p.pixel(150, 6);
  EXPECT_TRUE(bar == hex(sysclr::kActiveTitle) || bar == hex(sysclr::kInactiveTitle));
  EXPECT_EQ(p.pixel(150, 100), hex(sysclr::kDialog));  // the drawing area
  // Children sit in the drawing area, y upwards from its lower-left corner.
  box(d->drawingArea(), 0, 0, 10, 10, render::clr::kRed);
  p = render::renderWindow(d);
  int areaBottom = 200 - static_cast<int>(kDialogBorder) - 1;
  int areaLeft = static_cast<int>(kDialogBorder);
  EXPECT_EQ(p.pixel(areaLeft, areaBottom), hex(render::clr::kRed));
  EXPECT_EQ(p.pixel(areaLeft + 9, areaBottom - 9), hex(render::clr::kRed));
  EXPECT_EQ(p.pixel(areaLeft + 10, areaBottom - 10), hex(sysclr::kDialog));
}

TEST_F(SceneTest, OnlyWhatChangedIsRedrawn) {
  auto d = dialog(300, 200);
  auto a = box(d->drawingArea(), 10, 10, 50, 30, render::clr::kRed);
  auto b = box(d->drawingArea(), 200, 100, 50, 30, render::clr::kBlue);
  render::WindowScene scene(d, true);
  auto changed = scene.update();
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0], (render::Rect{0, 0, 300, 200}));
  EXPECT_EQ(scene.partsDrawnLastUpdate(), 4);
  EXPECT_TRUE(scene.update().empty());

  a->setColorBG({Value(render::clr::kGreen)});
  scene.invalidate(*a);
  changed = scene.update();
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0], scene.rectOf(*a));
  EXPECT_EQ(scene.partsDrawnLastUpdate(), 3) << "dialog, area and the box; not the other box";
  render::Rect ra = scene.rectOf(*a);
  EXPECT_EQ(scene.picture().pixel(static_cast<int>(ra.x) + 1, static_cast<int>(ra.y) + 1),
            hex(render::clr::kGreen));

  // A part that moves is redrawn where it was and where it is.
  render::Rect before = scene.rectOf(*b);
  b->setPos(pointValue(100, 100));
  scene.invalidate(*b);
  changed = scene.update();
  ASSERT_EQ(changed.size(), 2u);
  EXPECT_EQ(scene.picture().pixel(static_cast<int>(before.right()) - 2, static_cast<int>(before.y) + 2),
            hex(sysclr::kDialog));
}

TEST_F(SceneTest, PaintCallbackDrawsAfterThePartAndSurvivesRepaints) {
  auto d = dialog(200, 150);
  auto a = box(d->drawingArea(), 0, 0, 40, 40, render::clr::kWhite);
  int paints = 0;
  a->setSlot(Slot::paint, Value(makeBlock([&](Args) -> Value {
    ++paints;
    auto ps = a->lockPS().as<XbpPresSpace>();
    ps->setAttrLine({arrayValue({Value(render::clr::kRed)})});
    ps->line(pointValue(0, 0), pointValue(39, 0));
    ps->line(Value(), pointValue(39, 39));  // from the current position
    a->unlockPS();
    return Value();
  })));
  render::WindowScene scene(d, true);
  scene.update();
  EXPECT_EQ(paints, 1);
  render::Rect r = scene.rectOf(*a);
  auto px = [&](int x, int y) {  // part coordinates, y up
    return scene.picture().pixel(static_cast<int>(r.x) + x, static_cast<int>(r.bottom()) - 1 - y);
  };
  EXPECT_EQ(px(5, 0), hex(render::clr::kRed));
  EXPECT_EQ(px(39, 20), hex(render::clr::kRed));
  EXPECT_EQ(px(5, 5), hex(render::clr::kWhite));
  scene.invalidate(*a);
  scene.update();
  EXPECT_EQ(paints, 2);
  EXPECT_EQ(px(5, 0), hex(render::clr::kRed)) << "drawn again after the part's own look";

  // Drawing outside a repaint lands on the picture at once and is reported as changed.
  auto ps = a->lockPS().as<XbpPresSpace>();
  ps->setAttrLine({arrayValue({Value(render::clr::kBlue)})});
  ps->line(pointValue(0, 20), pointValue(20, 20));
  a->unlockPS();
  EXPECT_EQ(px(10, 20), hex(render::clr::kBlue));
  EXPECT_FALSE(scene.takeChanged().empty());
}

TEST_F(SceneTest, FreshPicturesAreIdenticalAndLeavePresentationSpacesAlone) {
  auto d = dialog(220, 120);
  d->setTitle("Test");
  auto a = box(d->drawingArea(), 5, 5, 30, 30, render::clr::kWhite);
  a->setSlot(Slot::paint, Value(makeBlock([&](Args) -> Value {
    auto ps = a->lockPS().as<XbpPresSpace>();
    ps->line(pointValue(0, 0), pointValue(29, 29));
    a->unlockPS();
    return Value();
  })));
  Picture p1 = render::renderWindow(d);
  Picture p2 = render::renderWindow(d);
  EXPECT_EQ(render::comparePictures(p1, p2, 0).differing, 0);
  EXPECT_EQ(a->ps()->sink(), nullptr) << "the presentation space records again";
  auto ps = a->lockPS().as<XbpPresSpace>();
  ps->clearOps();
  ps->line(pointValue(0, 0), pointValue(3, 3));
  a->unlockPS();
  EXPECT_EQ(ps->ops().size(), 1u);
}

TEST_F(SceneTest, ScreenshotHookReportsErrors) {
  auto d = dialog(100, 80);
  EXPECT_NE(render::screenshotTo(*d, "/nonexistent-dir/x.png"), "");
  std::string file = testing::TempDir() + "/scene-shot.png";
  EXPECT_EQ(render::screenshotTo(*d, file), "");
  std::string why;
  auto back = Picture::readPng(file, &why);
  ASSERT_TRUE(back) << why;
  EXPECT_EQ(render::comparePictures(*back, render::renderWindow(d), 0).differing, 0);
  std::remove(file.c_str());
}

}  // namespace
}  // namespace xb::test
