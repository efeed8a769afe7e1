// The two summary screens and the text export over a full table of 50000 samples,
// each against a floor measured in the same run: one bare pass over the same
// samples (screens) and reading the same file (export).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/quarn_app.h"
#include "platform/headless/headless_ui.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/transcript.h"
#include "record/record_loader.h"
#include "record/sample_table.h"
#include "support/example_flight.h"
#include "support/flight_record_writer.h"

namespace {

using namespace quarn;

// The example flight repeated until the table is full.
std::vector<std::uint8_t> FullRecord() {
  const auto one = testing::EncodeSamples(testing::MakeExampleFlight());
  std::vector<std::uint8_t> bytes;
  while (bytes.size() < kMaxSamples * kRecordSize)
    bytes.insert(bytes.end(), one.begin(), one.end());
  bytes.resize(kMaxSamples * kRecordSize);
  return bytes;
}

struct Fixture {
  Fixture() {
    ResetProgramState();
    bytes = FullRecord();
    MemoryRecordSource source(bytes);
    const int n = LoadSamples(source).stored;
    g_lastSampleIndex = n - 1;
    dir = std::filesystem::temp_directory_path() / "quarn_bench_report";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    testing::WriteBytes((dir / "bench.dat").string(), bytes);
    g_recordPath = (dir / "bench.dat").string();
  }
  std::vector<std::uint8_t> bytes;
  std::filesystem::path dir;
  std::ostringstream sink;
  Transcript transcript{sink};
  HeadlessUi ui{transcript};
  FixedWidthMetrics metrics;
  HeadlessWindow window{1280, 800, metrics};
  QuarnApp app{window, ui};
};

Fixture& F() {
  static Fixture f;
  return f;
}

void BM_FloorScan(benchmark::State& state) {
  F();
  for (auto _ : state) {
    double top = 0;
    for (int i = 0; i <= g_lastSampleIndex; ++i) {
      const auto& s = g_samples[static_cast<std::size_t>(i)];
      if (s.altitudeFt >= top) top = s.altitudeFt;
    }
    benchmark::DoNotOptimize(top);
  }
}

void BM_GeneralSummary(benchmark::State& state) {
  auto& f = F();
  for (auto _ : state) f.app.view().DrawGeneralSummary();
}

void BM_TakeoffLandingSummary(benchmark::State& state) {
  auto& f = F();
  for (auto _ : state) f.app.view().DrawTakeoffLandingSummary();
}

void BM_FloorReadFile(benchmark::State& state) {
  auto& f = F();
  std::vector<char> buffer(kRecordSize);
  for (auto _ : state) {
    std::FILE* in = std::fopen(g_recordPath.c_str(), "rb");
    std::size_t total = 0;
    while (std::fread(buffer.data(), 1, buffer.size(), in) == buffer.size()) total += buffer.size();
    std::fclose(in);
    benchmark::DoNotOptimize(total);
  }
  (void)f;
}

void BM_TextExport(benchmark::State& state) {
  auto& f = F();
  for (auto _ : state) f.app.view().OnGenerateFlightText();
}

BENCHMARK(BM_FloorScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeneralSummary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TakeoffLandingSummary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorReadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextExport)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
