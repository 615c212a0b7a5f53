// Throughput of the window layer's event queue: events posted and dispatched per second.
#include <benchmark/benchmark.h>

#include "backend/headless/headless.h"
#include "ui/dialog.h"
#include "ui/events.h"
#include "ui/keys.h"
#include "ui/sle.h"

namespace {

using namespace xb;

struct Form {
  std::shared_ptr<headless::HeadlessBackend> hb = headless::HeadlessBackend::install();
  std::shared_ptr<XbpDialog> dlg;
  std::shared_ptr<XbpSle> a, b;
  long handled = 0;
  Form() {
    resetUiForTesting();
    setUiDiagnosticHook([](const std::string&) {});
    dlg = newPart<XbpDialog>(AppDesktop(), Value(), pointValue(0, 0), pointValue(400, 300));
    dlg->create();
    a = newPart<XbpSle>(Value(dlg->drawingArea()), Value(), pointValue(10, 10), pointValue(200, 20));
    b = newPart<XbpSle>(Value(dlg->drawingArea()), Value(), pointValue(10, 40), pointValue(200, 20));
    a->create();
    b->create();
    a->bufferLength = 1 << 30;
    auto count = Value(makeBlock([this](Args) {
      ++handled;
      return Value();
    }));
    a->setSlot(Slot::keyboard, count);
    a->setSlot(Slot::setInputFocus, count);
    b->setSlot(Slot::setInputFocus, count);
    dispatchQueuedEvents();
  }
  ~Form() {
    resetUiForTesting();
    setBackend(nullptr);
  }
};

// A user event to a part: queue, take with AppEvent, dispatch to its (empty) method.
void BM_PostAndDispatchUserEvents(benchmark::State& state) {
  Form f;
  const int batch = static_cast<int>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i) PostAppEvent(ev::kBase + 1000, Value(i), Value(), Value(f.a));
    benchmark::DoNotOptimize(dispatchQueuedEvents());
  }
  state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_PostAndDispatchUserEvents)->Arg(1)->Arg(100)->Arg(10000);

// Keyboard events to an edit line: its native key handling (cursor keys) and the slot.
void BM_KeyboardEventsToAnEditLine(benchmark::State& state) {
  Form f;
  f.a->setData({Value(std::string(200, 'x'))});
  const int batch = 1000;
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i)
      PostAppEvent(ev::kKeyboard, Value(i % 2 ? key::kLeft : key::kRight), Value(), Value(f.a));
    dispatchQueuedEvents();
  }
  state.SetItemsProcessed(state.iterations() * batch);
  benchmark::DoNotOptimize(f.handled);
}
BENCHMARK(BM_KeyboardEventsToAnEditLine);

// Input through the headless backend: a key step translated to an event for the focus
// holder, then dispatched (the path every scripted key takes).
void BM_HeadlessKeyInput(benchmark::State& state) {
  Form f;
  SetAppFocus(Value(f.a));
  dispatchQueuedEvents();
  const int batch = 1000;
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i) f.hb->key(i % 2 ? key::kLeft : key::kRight);
    f.hb->runUntilIdle();
  }
  state.SetItemsProcessed(state.iterations() * batch);
}
BENCHMARK(BM_HeadlessKeyInput);

// Focus moves: SetAppFocus queues killInputFocus and setInputFocus; both dispatched.
void BM_FocusMoves(benchmark::State& state) {
  Form f;
  const int batch = 1000;
  for (auto _ : state) {
    for (int i = 0; i < batch; ++i) SetAppFocus(Value(i % 2 ? f.a : f.b));
    dispatchQueuedEvents();
  }
  state.SetItemsProcessed(state.iterations() * batch * 2);
}
BENCHMARK(BM_FocusMoves);

}  // namespace
