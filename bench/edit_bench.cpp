// Formatting and editing speed of the masked-edit engine. Transform of a number through a
// template is held against snprintf of the same number with the same width and decimals;
// BM_TransformVsSnprintf times both in the same run and reports their ratio (target: <= 2).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "edit/get.h"
#include "edit/valfuncs.h"

namespace {

using namespace xb;

const double kNumbers[] = {1234.5678, -12.5, 0.25, 99999.99, 7, -4321.125, 3.14159, 250.5};
constexpr size_t kCount = sizeof kNumbers / sizeof kNumbers[0];

void BM_TransformNumber(benchmark::State& state) {
  Value values[kCount];
  for (size_t i = 0; i < kCount; ++i) values[i] = kNumbers[i];
  size_t i = 0;
  for (auto _ : state) {
    std::string s = Transform(values[i++ % kCount], "99999.99");
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_TransformNumber);

void BM_TransformNumberWithCommas(benchmark::State& state) {
  Value values[kCount];
  for (size_t i = 0; i < kCount; ++i) values[i] = kNumbers[i];
  size_t i = 0;
  for (auto _ : state) {
    std::string s = Transform(values[i++ % kCount], "99,999.99");
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_TransformNumberWithCommas);

void BM_SnprintfNumber(benchmark::State& state) {
  size_t i = 0;
  char buf[64];
  for (auto _ : state) {
    int n = std::snprintf(buf, sizeof buf, "%*.*f", 8, 2, kNumbers[i++ % kCount]);
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(buf);
  }
}
BENCHMARK(BM_SnprintfNumber);

// Both in one run, alternating blocks, so machine load hits both alike.
void BM_TransformVsSnprintf(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  Value values[kCount];
  for (size_t i = 0; i < kCount; ++i) values[i] = kNumbers[i];
  constexpr int kBlock = 2000;
  Clock::duration transform{}, printf{};
  char buf[64];
  for (auto _ : state) {
    auto t0 = Clock::now();
    for (int k = 0; k < kBlock; ++k) {
      std::string s = Transform(values[static_cast<size_t>(k) % kCount], "99999.99");
      benchmark::DoNotOptimize(s);
    }
    auto t1 = Clock::now();
    for (int k = 0; k < kBlock; ++k) {
      int n = std::snprintf(buf, sizeof buf, "%*.*f", 8, 2, kNumbers[static_cast<size_t>(k) % kCount]);
      benchmark::DoNotOptimize(n);
      benchmark::DoNotOptimize(buf);
    }
    auto t2 = Clock::now();
    transform += t1 - t0;
    printf += t2 - t1;
  }
  double calls = static_cast<double>(state.iterations()) * kBlock;
  state.counters["transform_ns"] = std::chrono::duration<double, std::nano>(transform).count() / calls;
  state.counters["snprintf_ns"] = std::chrono::duration<double, std::nano>(printf).count() / calls;
  state.counters["ratio"] = std::chrono::duration<double>(transform).count() /
                            std::chrono::duration<double>(printf).count();
}
BENCHMARK(BM_TransformVsSnprintf)->Unit(benchmark::kMicrosecond);

// One typed character and the write-back, on the demonstration form's 14-character picture.
void BM_InsertAssign(benchmark::State& state) {
  auto var = std::make_shared<Value>("START");
  Value block(makeBlock([var](Args a) -> Value {
    if (a.size()) *var = a[0];
    return *var;
  }));
  auto g = Get::New(Value(), Value(), block, "cTime", "99:99XXXXXXXXX");
  g->setFocus();
  for (auto _ : state) {
    g->setPos(6);
    g->Insert("x");
    g->_assign();
  }
  benchmark::DoNotOptimize(var->str());
}
BENCHMARK(BM_InsertAssign);

}  // namespace
