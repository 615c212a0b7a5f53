// Headless pictures of a dialog holding every kind of part in each of its states, compared
// with reference pictures kept in tests/render/reference/. Run with XB_UPDATE_REFERENCES=1
// to write new references after a deliberate change of the looks (and look at them).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/text.h"
#include "ui/keys.h"
#include "render/scene.h"
#include "render/text_engine.h"
#include "tests/ui/ui_fixture.h"
#include "ui/listbox.h"
#include "ui/menu.h"
#include "ui/msgbox.h"
#include "ui/parts.h"
#include "ui/sle.h"

namespace xb::test {
namespace {

namespace fs = std::filesystem;

// Channels may differ this much (another build of the rasteriser), no pixel more.
constexpr int kTolerance = 16;

class ReferencePictures : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    render::TextEngine::restart();
  }

  template <class T>
  std::shared_ptr<T> part(const std::shared_ptr<XbpDialog>& d, double x, double y, double w, double h) {
    auto p = newPart<T>(area(d), Value(), pointValue(x, y), pointValue(w, h));
    p->create();
    return p;
  }
  std::shared_ptr<XbpSle> sle(const std::shared_ptr<XbpDialog>& d, double y, const std::string& text) {
    auto s = part<XbpSle>(d, 10, y, 200, 22);
    s->setData({Value(cp(text))});
    return s;
  }
  std::shared_ptr<XbpStatic> label(const std::shared_ptr<XbpDialog>& d, double x, double y,
                                   const std::string& text, double w = 150) {
    auto s = part<XbpStatic>(d, x, y, w, 18);
    s->setCaption(Value(cp(text)));
    return s;
  }
  void focus(const WindowRef& p) {
    SetAppFocus(Value(p));
    hb->runUntilIdle();
  }

  void compare(const std::shared_ptr<XbpDialog>& d, const std::string& name) {
    hb->runUntilIdle();
    compare(render::renderWindow(d), name);
  }

  void compare(const render::Picture& got, const std::string& name) {
    fs::path ref = fs::path(XB_SOURCE_ROOT) / "tests/render/reference" / (name + ".png");
    const char* update = std::getenv("XB_UPDATE_REFERENCES");
    if (update && *update == '1') {
      ASSERT_TRUE(got.writePng(ref.string()));
      return;
    }
    std::string why;
    auto want = render::Picture::readPng(ref.string(), &why);
    ASSERT_TRUE(want) << why << " (write references with XB_UPDATE_REFERENCES=1)";
    render::PictureDiff diff = render::comparePictures(got, *want, kTolerance);
    if (diff.differing || diff.sizeDiffers) {
      std::string out = testing::TempDir() + "/" + name + ".actual.png";
      got.writePng(out);
      ADD_FAILURE() << name << ": " << diff.differing << " pixels differ (largest difference "
                    << diff.maxDelta << "); this run's picture: " << out;
    }
  }
};

TEST_F(ReferencePictures, EditLines) {
  auto d = dialog(360, 260);
  d->setTitle(cp("Eingabezeilen"));
  label(d, 220, 200, "normal");
  sle(d, 200, "03:30 Uhr");
  label(d, 220, 170, "Fokus, markiert");
  auto marked = sle(d, 170, "Grüße aus Köln");
  label(d, 220, 140, "gesperrt");
  sle(d, 140, "gesperrt")->disable();
  label(d, 220, 110, "nur lesen");
  sle(d, 110, "nur lesen")->editable = false;
  label(d, 220, 80, "gescrollt");
  auto scrolled = sle(d, 80, "0123456789 ABCDEFGHIJ abcdefghij");
  scrolled->setFirstChar(Value(12));
  label(d, 220, 50, "Farben 0 auf 12");
  auto coloured = sle(d, 50, "START");
  coloured->setColorFG({Value(0)});
  coloured->setColorBG({Value(12)});
  label(d, 220, 20, "verdeckt");
  sle(d, 20, "geheim")->unReadable = true;
  focus(marked);
  marked->setMarked(arrayValue({Value(7), Value(10)}));
  compare(d, "edit_lines");
}

TEST_F(ReferencePictures, ButtonsAndStatics) {
  auto d = dialog(360, 260);
  d->setTitle(cp("Knöpfe und Texte"));
  struct B {
    const char* caption;
    double y;
  };
  auto button = [&](double x, double y, const char* caption) {
    auto b = part<XbpPushButton>(d, x, y, 120, 30);
    b->setCaption(Value(cp(caption)));
    return b;
  };
  button(10, 190, "~Normal");
  auto pressed = button(140, 190, "~Gedrückt");
  auto focused = button(10, 150, "~Fokus");
  button(140, 150, "Ge~sperrt")->disable();
  auto group = part<XbpStatic>(d, 10, 10, 330, 125);
  group->type = statictype::kGroupBox;
  group->setCaption(Value(cp("Gruppe")));
  label(d, 20, 90, "Text links");
  auto blue = label(d, 20, 65, "Farbe 1 auf 14");
  blue->setColorFG({Value(1)});
  blue->setColorBG({Value(14)});
  label(d, 20, 40, "gesperrter Text")->disable();
  auto raised = part<XbpStatic>(d, 200, 40, 60, 60);
  raised->type = statictype::kRaisedRect;
  auto recessed = part<XbpStatic>(d, 270, 40, 60, 60);
  recessed->type = statictype::kRecessedRect;
  focus(focused);
  pressed->lbDown(pointValue(10, 10));
  compare(d, "buttons_statics");
}

TEST_F(ReferencePictures, ListsAndComboBoxes) {
  auto d = dialog(400, 300);
  d->setTitle(cp("Listen"));
  const char* times[] = {"12:00", "12:30", "01:00", "01:30", "02:00", "02:30",
                         "03:00", "03:30", "04:00", "04:30", "05:00", "05:30"};
  auto list = [&](double x, double y, double w, double h) {
    auto l = part<XbpListBox>(d, x, y, w, h);
    for (const char* t : times) l->addItem(Value(std::string(t) + "\ttest"));
    l->setTabStops(arrayValue({Value(8)}));
    return l;
  };
  auto focused = list(10, 120, 120, 120);  // focus, marked item, scrolled
  auto plain = list(140, 120, 120, 120);   // marked item without focus
  plain->setData({Value(2)});
  auto combo = part<XbpComboBox>(d, 270, 140, 110, 100);
  for (const char* t : times) combo->listBox()->addItem(Value(std::string(t) + "\ttest"));
  combo->listBox()->setTabStops(arrayValue({Value(8)}));
  combo->setData({Value("03:30")});
  auto dropped = part<XbpComboBox>(d, 10, 10, 150, 100);
  for (const char* t : times) dropped->listBox()->addItem(Value(t));
  dropped->setData({Value("12:30")});
  auto mle = part<XbpMle>(d, 180, 10, 200, 100);
  mle->setData({Value(cp("Erste Zeile\r\nzweite Zeile mit Ümlaut\r\ndritte"))});
  focus(focused);
  focused->setData({Value(5)});
  focused->setTopItem(Value(3));
  dropped->listBoxFocus(Value(true));
  compare(d, "lists_combos");
}

TEST_F(ReferencePictures, MultiLineEditWithFocus) {
  auto d = dialog(300, 160);
  d->setTitle(cp("Mehrzeilig"));
  auto mle = part<XbpMle>(d, 10, 10, 270, 110);
  mle->setData({Value(cp("Erste Zeile\r\nzweite Zeile\r\ndritte Zeile\r\nvierte"))});
  focus(mle);
  mle->setMarked(arrayValue({Value(7), Value(20)}));
  compare(d, "mle_focus");
}

TEST_F(ReferencePictures, PopupMenu) {
  auto d = dialog(300, 200);
  auto menu = newPart<XbpMenu>(AppDesktop());
  menu->create();
  menu->title = "XbpGet Popup";
  for (const char* c : {"~Prüfen", "~Rückgängig", "", "~Ausschneiden", "~Kopieren", "~Einfügen",
                        "~Löschen", "", "Alles ~markieren"}) {
    if (*c) menu->addItem(arrayValue({Value(cp(c)), Value()}));
    else menu->addItem(arrayValue({Value(), Value(), Value(menustyle::kSeparator), Value(0)}));
  }
  menu->disableItem(Value(2));
  menu->disableItem(Value(6));
  menu->checkItem(Value(9));
  std::optional<render::Picture> shot;
  hb->key(key::kDown);  // first item
  hb->key(key::kDown);  // the disabled second is passed over or highlighted, as the menu does
  hb->key(key::kDown);
  hb->step([&] { shot = render::renderWindow(menu); });
  hb->key(key::kEsc);
  menu->popUp(area(d), pointValue(20, 150));
  ASSERT_TRUE(shot);
  compare(*shot, "popup_menu");
}

TEST_F(ReferencePictures, MessageBox) {
  hb->showMessageBoxes = true;
  std::optional<render::Picture> shot;
  hb->step([&] {
    std::string err;
    WindowRef box = headless::findPart("active", err);
    ASSERT_TRUE(box) << err;
    shot = render::renderWindow(box);
  });
  hb->key(key::kEnter);
  ConfirmBox(Value(), Value(cp("Datei speichern?\r\nÄnderungen gehen sonst verloren.")),
             Value(cp("Frage")), Value(mb::kYesNoCancel), Value(mb::kIconQuestion));
  ASSERT_TRUE(shot);
  compare(*shot, "message_box");
}

}  // namespace
}  // namespace xb::test
