// A small real-window program for the X11 test: an edit line, a push button and a list box
// in a dialog, shown by the SDL backend. Everything it receives is written to a log, one
// line per event, so a test driving it with real X input can check what arrived.
//
//   x11_probe LOGFILE PICTUREFILE
//
// Log lines: "key CODE PART", "text UTF8" (the edit line after each key), "activate",
// "msgbox done" (the message box the button opens was answered), "menu N" (the popup menu a
// right click on the list opens was closed with item N, 0 for none), "wheel top N" (the
// list's first shown item after a wheel turn), "marked N", "selected N",
// "picture" (F9 wrote the window's own picture), "close", "exit".
// Without a display it says why and exits with 77.
#include <clocale>
#include <cstdio>
#include <memory>
#include <string>

#include "backend/sdl/sdl_backend.h"
#include "core/text.h"
#include "ui/dialog.h"
#include "ui/events.h"
#include "ui/keys.h"
#include "ui/listbox.h"
#include "ui/menu.h"
#include "ui/msgbox.h"
#include "ui/parts.h"
#include "ui/sle.h"

using namespace xb;

namespace {
FILE* gLog = nullptr;
void log(const std::string& line) {
  std::fprintf(gLog, "%s\n", line.c_str());
  std::fflush(gLog);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: x11_probe LOGFILE PICTUREFILE\n");
    return 2;
  }
  std::setlocale(LC_ALL, "");
  gLog = std::fopen(argv[1], "w");
  if (!gLog) {
    std::perror(argv[1]);
    return 2;
  }
  const std::string picture = argv[2];
  std::string why;
  std::unique_ptr<Backend> b = makeSdlBackend(why);
  if (!b) {
    std::fprintf(stderr, "%s\n", why.c_str());
    return 77;
  }
  setBackend(std::shared_ptr<Backend>(std::move(b)));

  auto dlg = newPart<XbpDialog>(AppDesktop(), Value(), pointValue(100, 300), pointValue(420, 320));
  dlg->setTitle("X11 Probe");
  dlg->create();
  Value area(dlg->drawingArea());
  auto sle = newPart<XbpSle>(area, Value(), pointValue(10, 240), pointValue(220, 22));
  sle->create();
  auto button = newPart<XbpPushButton>(area, Value(), pointValue(10, 200), pointValue(120, 28));
  button->setCaption(Value("~Knopf"));
  button->create();
  auto list = newPart<XbpListBox>(area, Value(), pointValue(240, 20), pointValue(160, 240));
  list->create();
  for (const char* item : {"Eins\t1", "Zwei\t2", "Drei\t3", "Vier\t4"}) list->addItem(Value(cp(item)));
  for (int i = 5; i <= 30; ++i) list->addItem(Value("Zeile\t" + std::to_string(i)));
  list->setTabStops(arrayValue({Value(6)}));

  bool done = false;
  auto keys = [&](const char* name) {
    return Value(makeBlock([&, name](Args a) -> Value {
      int code = static_cast<int>(a[0].num());
      log("key " + std::to_string(code) + " " + name);
      log("text " + cpToUtf8(sle->text()));
      if (code == key::kF(9)) {
        if (writeWindowPicture(dlg, picture)) log("picture");
      }
      return Value();
    }));
  };
  sle->setSlot(Slot::keyboard, keys("sle"));
  button->setSlot(Slot::keyboard, keys("button"));
  list->setSlot(Slot::keyboard, keys("list"));
  // The button opens a modal message box (its own window) and logs when it is answered.
  button->setSlot(Slot::activate, Value(makeBlock([](Args) -> Value {
    log("activate");
    MsgBox(Value("test"));
    log("msgbox done");
    return Value();
  })));
  list->setSlot(Slot::itemMarked, Value(makeBlock([&](Args) -> Value {
    log("marked " + std::to_string(list->firstMarked()));
    return Value();
  })));
  list->setSlot(Slot::wheel, Value(makeBlock([&](Args) -> Value {
    log("wheel top " + std::to_string(list->topItem()));
    return Value();
  })));
  list->setSlot(Slot::itemSelected, Value(makeBlock([&](Args) -> Value {
    log("selected " + std::to_string(list->firstMarked()));
    return Value();
  })));
  // A right click on the list opens a popup menu (a window of its own).
  auto menu = newPart<XbpMenu>(AppDesktop());
  menu->create();
  for (const char* c : {"~Eins", "", "~Zwei", "~Drei"}) {
    if (*c) menu->addItem(arrayValue({Value(c), Value()}));
    else menu->addItem(arrayValue({Value(), Value(), Value(menustyle::kSeparator), Value(0)}));
  }
  menu->disableItem(Value(3));
  list->setSlot(Slot::rbDown, Value(makeBlock([&](Args a) -> Value {
    Value chosen = menu->popUp(Value(list), a[0]);
    log("menu " + std::to_string(static_cast<int>(chosen.num())));
    return Value();
  })));
  dlg->setSlot(Slot::close, Value(makeBlock([&](Args) -> Value {
    log("close");
    done = true;
    return Value();
  })));
  SetAppFocus(Value(sle));

  while (!done) {
    Value mp1, mp2, target;
    int code = AppEvent(mp1, mp2, target);
    if (auto w = windowOf(target)) w->handleEvent(code, mp1, mp2);
  }
  log("exit");
  menu->destroy();
  dlg->destroy();
  setBackend(nullptr);
  std::fclose(gLog);
  return 0;
}
