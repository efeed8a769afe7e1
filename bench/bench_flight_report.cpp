// The two summary screens and the text export over a flight of 50000 samples, each
// against a floor measured in the same run: one bare pass over the same samples
// (screens) and reading the same file (export).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/headless/headless_window.h"
#include "record/flight_reader.h"
#include "record/flight_text_export.h"
#include "record/general_summary.h"
#include "record/takeoff_landing_summary.h"
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
    bytes = FullRecord();
    dir = std::filesystem::temp_directory_path() / "quarn_bench_report";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    path = (dir / "bench.dat").string();
    testing::WriteBytes(path, bytes);
    if (auto read = ReadFlight(path)) flight = std::move(read->flight);
  }
  std::vector<std::uint8_t> bytes;
  std::filesystem::path dir;
  std::string path;
  Flight flight;
  FixedWidthMetrics metrics;
  HeadlessWindow window{1280, 800, metrics};
};

Fixture& F() {
  static Fixture f;
  return f;
}

void BM_FloorScan(benchmark::State& state) {
  const Flight& flight = F().flight;
  for (auto _ : state) {
    double top = 0;
    for (const FlightSample& s : flight.samples) {
      if (s.altitudeFt >= top) top = s.altitudeFt;
    }
    benchmark::DoNotOptimize(top);
  }
}

void BM_GeneralSummary(benchmark::State& state) {
  auto& f = F();
  for (auto _ : state) DrawGeneralSummary(f.window, f.flight);
}

void BM_TakeoffLandingSummary(benchmark::State& state) {
  auto& f = F();
  for (auto _ : state) DrawTakeoffLandingSummary(f.window, f.flight);
}

void BM_FloorReadFile(benchmark::State& state) {
  auto& f = F();
  std::vector<char> buffer(kRecordSize);
  for (auto _ : state) {
    std::FILE* in = std::fopen(f.path.c_str(), "rb");
    std::size_t total = 0;
    while (std::fread(buffer.data(), 1, buffer.size(), in) == buffer.size()) total += buffer.size();
    std::fclose(in);
    benchmark::DoNotOptimize(total);
  }
}

void BM_TextExport(benchmark::State& state) {
  auto& f = F();
  for (auto _ : state) {
    benchmark::DoNotOptimize(GenerateFlightText(f.flight, f.dir.string(), 0));
  }
}

BENCHMARK(BM_FloorScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GeneralSummary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TakeoffLandingSummary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorReadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextExport)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
