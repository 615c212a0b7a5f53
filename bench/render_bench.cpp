// Drawing: a full repaint of a 400 x 450 dialog like the demonstration form, and the
// repaint after one typed character from the key event to the frame. The headless
// variants measure the runtime alone (event, part, look, Cairo/Pango into the picture);
// the SDL variants also copy the changed rectangles to a real window and need a display
// (run under Xvfb: they are skipped without one).
#include <benchmark/benchmark.h>

#include <SDL2/SDL.h>

#include <cstring>
#include <memory>
#include <string>

#include "backend/headless/headless.h"
#include "backend/sdl/sdl_backend.h"
#include "core/text.h"
#include "render/scene.h"
#include "render/text_engine.h"
#include "ui/dialog.h"
#include "ui/events.h"
#include "ui/listbox.h"
#include "ui/parts.h"
#include "ui/sle.h"

namespace xb {
namespace {

struct Form {
  std::shared_ptr<XbpDialog> dlg;
  std::shared_ptr<XbpSle> sle;
};

// The demonstration form's parts: an edit line with its colours, a push button, a combo
// box with the twelve half-hour items.
Form buildForm() {
  Form f;
  f.dlg = newPart<XbpDialog>(AppDesktop(), Value(), pointValue(100, 100), pointValue(400, 450));
  f.dlg->setTitle("Test Combo");
  f.dlg->create();
  Value area(f.dlg->drawingArea());
  f.sle = newPart<XbpSle>(area, Value(), pointValue(10, 285), pointValue(100, 20));
  f.sle->create();
  f.sle->setColorFG({Value(0)});
  f.sle->setColorBG({Value(12)});
  f.sle->setData({Value("START")});
  auto push = newPart<XbpPushButton>(area, Value(), pointValue(10, 250), pointValue(120, 30));
  push->setCaption(Value("Test"));
  push->create();
  auto combo = newPart<XbpComboBox>(area, Value(), pointValue(10, 150), pointValue(100, 100));
  combo->create();
  for (const char* t : {"12:00", "12:30", "01:00", "01:30", "02:00", "02:30", "03:00", "03:30",
                        "04:00", "04:30", "05:00", "05:30"})
    combo->listBox()->addItem(Value(std::string(t) + "\ttest"));
  combo->listBox()->setTabStops(arrayValue({Value(8)}));
  combo->setData({Value("03:30")});
  SetAppFocus(Value(f.sle));
  dispatchQueuedEvents();
  return f;
}

// One character typed into the edit line; every 16 characters the line is emptied
// outside the measurement, so the line never scrolls far.
void typeOne(benchmark::State& state, Form& f, int& n) {
  if (++n % 16 == 0) {
    state.PauseTiming();
    f.sle->setData({Value("")});
    dispatchQueuedEvents();
    state.ResumeTiming();
  }
  postKeyInput('a' + n % 26);
  dispatchQueuedEvents();
}

void BM_FullRepaintHeadless(benchmark::State& state) {
  headless::HeadlessBackend::install();
  resetUiForTesting();
  Form f = buildForm();
  render::WindowScene scene(f.dlg, true);
  scene.update();
  for (auto _ : state) {
    scene.invalidateAll();
    benchmark::DoNotOptimize(scene.update());
  }
  resetUiForTesting();
  setBackend(nullptr);
}
BENCHMARK(BM_FullRepaintHeadless)->Unit(benchmark::kMicrosecond);

void BM_TypedCharRepaintHeadless(benchmark::State& state) {
  headless::HeadlessBackend::install();
  resetUiForTesting();
  Form f = buildForm();
  render::WindowScene scene(f.dlg, true);
  scene.update();
  int n = 0;
  for (auto _ : state) {
    typeOne(state, f, n);
    scene.invalidate(*f.sle);  // the headless backend does not keep a scene itself
    benchmark::DoNotOptimize(scene.update());
  }
  resetUiForTesting();
  setBackend(nullptr);
}
BENCHMARK(BM_TypedCharRepaintHeadless)->Unit(benchmark::kMicrosecond);

std::shared_ptr<Backend> sdlBackend(benchmark::State& state) {
  static std::shared_ptr<Backend> b;
  static std::string why;
  if (!b && why.empty()) {
    b = makeSdlBackend(why);
    if (!b && why.empty()) why = "no SDL backend";
  }
  if (!b) state.SkipWithError(why.c_str());
  return b;
}

// Shows the form in a real window and waits until it is on the screen.
Form showForm(const std::shared_ptr<Backend>& b) {
  setBackend(b);
  resetUiForTesting();
  Form f = buildForm();
  b->waitInput(0.05);
  dispatchQueuedEvents();
  return f;
}

void BM_FullRepaintSdl(benchmark::State& state) {
  auto b = sdlBackend(state);
  if (!b) return;
  Form f = showForm(b);
  for (auto _ : state) {
    // Every part of the dialog changed: all are drawn and the whole window is sent.
    b->invalidate(*f.dlg->drawingArea());
    b->waitInput(0);
  }
  resetUiForTesting();
}
BENCHMARK(BM_FullRepaintSdl)->Unit(benchmark::kMicrosecond);

void BM_TypedCharRepaintSdl(benchmark::State& state) {
  auto b = sdlBackend(state);
  if (!b) return;
  Form f = showForm(b);
  int n = 0;
  for (auto _ : state) {
    if (++n % 16 == 0) {
      state.PauseTiming();
      f.sle->setData({Value("")});
      dispatchQueuedEvents();
      state.ResumeTiming();
    }
    // The character as SDL delivers it (a text-input event), translated by the backend,
    // handled by the edit line; the scene redraws the edit line and the changed rectangle
    // goes to the X server (waitInput(0) takes the input, then draws and returns).
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.text[0] = static_cast<char>('a' + n % 26);
    SDL_PushEvent(&e);
    b->waitInput(0);
    dispatchQueuedEvents();
    b->waitInput(0);
  }
  if (f.sle->text().empty()) state.SkipWithError("the typed characters did not arrive");
  resetUiForTesting();
}
BENCHMARK(BM_TypedCharRepaintSdl)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace xb
