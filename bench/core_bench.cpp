// Cost of the dynamic value: copies and comparisons of each kind.
#include <benchmark/benchmark.h>

#include "core/object.h"
#include "core/value.h"

namespace {

using xb::Value;

Value sample(int kind) {
  switch (kind) {
    case 0: return Value();
    case 1: return Value(1234.5);
    case 2: return Value("START     ");  // fits the small-string buffer
    case 3: return Value(std::string(64, 'x'));
    case 4: return Value::date(2461020);
    case 5: return Value(xb::makeArray({1, 2, 3}));
  }
  return Value(true);
}

const char* kKindNames[] = {"nil", "number", "short text", "long text", "date", "array"};

void BM_ValueCopy(benchmark::State& state) {
  Value v = sample(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Value copy = v;
    benchmark::DoNotOptimize(copy);
  }
  state.SetLabel(kKindNames[state.range(0)]);
}
BENCHMARK(BM_ValueCopy)->DenseRange(0, 5);

void BM_ValueExactlyEqual(benchmark::State& state) {
  Value a = sample(static_cast<int>(state.range(0)));
  Value b = a;
  for (auto _ : state) benchmark::DoNotOptimize(xb::exactlyEqual(a, b));
  state.SetLabel(kKindNames[state.range(0)]);
}
BENCHMARK(BM_ValueExactlyEqual)->DenseRange(0, 5);

void BM_ValueNonExactTextEqual(benchmark::State& state) {
  Value a("03:00 test"), b("03:00");
  for (auto _ : state) benchmark::DoNotOptimize(xb::equal(a, b));
}
BENCHMARK(BM_ValueNonExactTextEqual);

void BM_BlockEval(benchmark::State& state) {
  auto var = std::make_shared<Value>("START");
  Value link(xb::makeBlock([var](xb::Args a) {
    if (a.size() > 0) *var = a[0];
    return *var;
  }));
  for (auto _ : state) benchmark::DoNotOptimize(xb::Eval(link));
}
BENCHMARK(BM_BlockEval);

}  // namespace
