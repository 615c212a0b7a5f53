// Database layer: reading a table of 1,000,000 records field by field against plain
// pread of the same file, appending 100,000 records, record-locked updates.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "core/error.h"
#include "core/settings.h"
#include "db/db.h"

namespace {

namespace fs = std::filesystem;
using clock_type = std::chrono::steady_clock;

// The benchmark tables live in a temporary directory that goes away at exit.
struct Scratch {
  fs::path dir = fs::temp_directory_path() / ("xb-db-bench-" + std::to_string(::getpid()));
  Scratch() { fs::create_directories(dir); }
  ~Scratch() {
    xb::DbCloseAll();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }
};
Scratch& scratch() {
  static Scratch s;
  return s;
}

xb::Value structure() {
  using xb::arrayValue;
  return arrayValue({arrayValue({"NAME", "C", 25, 0}), arrayValue({"CITY", "C", 20, 0}),
                     arrayValue({"AMOUNT", "N", 12, 2}), arrayValue({"BORN", "D", 8, 0}),
                     arrayValue({"ACTIVE", "L", 1, 0})});
}

void appendRecords(int n) {
  for (int i = 1; i <= n; ++i) {
    xb::DbAppend();
    xb::FieldPut(1, "Kunde " + std::to_string(i));
    xb::FieldPut(2, "Ort " + std::to_string(i % 1000));
    xb::FieldPut(3, i * 1.25);
    xb::FieldPut(4, xb::Value::date(2440000 + i % 20000));
    xb::FieldPut(5, i % 2 == 0);
  }
  xb::DbCommit();
}

// The table of 1,000,000 records, made once.
const std::string& bigTable() {
  static std::string file = [] {
    std::string f = scratch().path("big.dbf");
    xb::DbCreate(f, structure());
    xb::DbUseArea(true, "DBFDBE", f, "BIG", false);
    appendRecords(1000000);
    xb::DbCloseArea();
    // On the disk before anything is measured: the kernel writing the new file back while
    // the reads run would take the time of one side of the comparison, not of the other.
    int fd = ::open(f.c_str(), O_RDONLY);
    if (fd >= 0) {
      ::fsync(fd);
      ::close(fd);
    }
    return f;
  }();
  return file;
}

double seconds(clock_type::duration d) { return std::chrono::duration<double>(d).count(); }

// Every record, field by field, through the work area (FieldGet, and FieldGetInto reusing
// one value per field); in the same run the same file read with plain pread, one record at
// a time and in 64 KiB blocks.
void BM_ReadAllRecords(benchmark::State& state) {
  const std::string& file = bigTable();
  const bool shared = state.range(0) != 0;
  xb::DbUseArea(true, "DBFDBE", file, "READ", shared);
  const int fields = xb::FCount();
  const size_t recLen = 1 + 25 + 20 + 12 + 8 + 1;
  const size_t hdrLen = 32 + 5 * 32 + 1;
  const uint32_t records = xb::LastRec();
  int fd = ::open(file.c_str(), O_RDONLY);
  std::vector<char> buf(64 * 1024);
  double engineTime = 0, reuseTime = 0, preadRecTime = 0, preadBlockTime = 0;
  // Ratios of each round (pread time over engine time): their median is what a burst of
  // other work on the machine during one round does not move.
  std::vector<double> ratios, reuseRatios;
  uint64_t seen = 0, seenReuse = 0;
  for (auto _ : state) {
    auto t0 = clock_type::now();
    for (uint32_t r = 0; r < records; ++r) {
      ssize_t n = ::pread(fd, buf.data(), recLen, static_cast<off_t>(hdrLen + r * recLen));
      benchmark::DoNotOptimize(n);
      benchmark::DoNotOptimize(buf.data());
    }
    auto t1 = clock_type::now();
    const size_t total = records * recLen;
    for (size_t off = 0; off < total; off += buf.size()) {
      ssize_t n = ::pread(fd, buf.data(), std::min(buf.size(), total - off), static_cast<off_t>(hdrLen + off));
      benchmark::DoNotOptimize(n);
      benchmark::DoNotOptimize(buf.data());
    }
    auto t2 = clock_type::now();
    for (xb::DbGoTop(); !xb::Eof(); xb::DbSkip()) {
      for (int f = 1; f <= fields; ++f) {
        xb::Value v = xb::FieldGet(f);
        benchmark::DoNotOptimize(v);
      }
      ++seen;
    }
    auto t3 = clock_type::now();
    // The same with one value per field that FieldGetInto overwrites in place.
    std::vector<xb::Value> row(static_cast<size_t>(fields));
    for (xb::DbGoTop(); !xb::Eof(); xb::DbSkip()) {
      for (int f = 1; f <= fields; ++f)
        if (!xb::FieldGetInto(f, row[static_cast<size_t>(f) - 1])) state.SkipWithError("field not read");
      // The record's values are used here, as a scan would use them: once per record.
      benchmark::DoNotOptimize(row.data());
      benchmark::ClobberMemory();
      ++seenReuse;
    }
    auto t4 = clock_type::now();
    // The last record came through whole.
    if (row[0].str() != "Kunde " + std::to_string(records) + std::string(25 - 6 - std::to_string(records).size(), ' ') ||
        row[2].num() != records * 1.25)
      state.SkipWithError("the last record was not read right");
    preadRecTime += seconds(t1 - t0);
    preadBlockTime += seconds(t2 - t1);
    engineTime += seconds(t3 - t2);
    reuseTime += seconds(t4 - t3);
    ratios.push_back(seconds(t2 - t1) / seconds(t3 - t2));
    reuseRatios.push_back(seconds(t2 - t1) / seconds(t4 - t3));
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  };
  ::close(fd);
  xb::DbCloseArea();
  const double n = static_cast<double>(records) * static_cast<double>(state.iterations());
  state.counters["records"] = records;
  state.counters["engine_rec_s"] = n / engineTime;
  state.counters["pread_rec_s"] = n / preadRecTime;
  state.counters["pread64k_rec_s"] = n / preadBlockTime;
  state.counters["ratio_vs_pread_record"] = preadRecTime / engineTime;
  state.counters["ratio_vs_pread_64k"] = median(ratios);
  state.counters["reuse_rec_s"] = n / reuseTime;
  state.counters["reuse_ratio_vs_pread_64k"] = median(reuseRatios);
  const uint64_t all = uint64_t{records} * static_cast<uint64_t>(state.iterations());
  if (seen != all || seenReuse != all) state.SkipWithError("not every record was read");
}
BENCHMARK(BM_ReadAllRecords)->Arg(1)->Arg(0)->Iterations(7)->Unit(benchmark::kMillisecond);

// 100,000 records appended with every field filled (shared: with the append lock and a
// lock of each new record).
void BM_Append100k(benchmark::State& state) {
  const bool shared = state.range(0) != 0;
  int round = 0;
  for (auto _ : state) {
    std::string file = scratch().path("append" + std::to_string(round++) + ".dbf");
    xb::DbCreate(file, structure());
    xb::DbUseArea(true, "DBFDBE", file, "APP", shared);
    appendRecords(100000);
    if (xb::LastRec() != 100000) state.SkipWithError("records missing");
    xb::DbCloseArea();
    fs::remove(file);
  }
  state.counters["records_s"] =
      benchmark::Counter(100000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Append100k)->Arg(1)->Arg(0)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// Lock, add 1, unlock (which writes the record), over 1,000 records in turn. With
// setting 41 = 1 each update is also committed to the disk.
void BM_LockedUpdates(benchmark::State& state) {
  const bool durable = state.range(0) != 0;
  std::string file = scratch().path(durable ? "upd-durable.dbf" : "upd.dbf");
  xb::DbCreate(file, structure());
  xb::DbUseArea(true, "DBFDBE", file, "UPD", false);
  appendRecords(1000);
  xb::DbCloseArea();
  xb::Set(xb::set::kDbOption, durable ? 1 : 0);
  xb::DbUseArea(true, "DBFDBE", file, "UPD", true);
  uint32_t r = 0;
  for (auto _ : state) {
    r = r % 1000 + 1;
    xb::DbGoto(r);
    if (!xb::DbRLock(r)) state.SkipWithError("lock failed");
    xb::FieldPut(3, xb::FieldGet(3).num() + 1);
    if (durable) xb::DbCommit();
    xb::DbRUnlock(r);
  }
  xb::DbCloseArea();
  xb::Set(xb::set::kDbOption, 0);
  fs::remove(file);
  state.counters["updates_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LockedUpdates)->Arg(0)->Arg(1)->UseRealTime();

}  // namespace
