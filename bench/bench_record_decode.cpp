// Decoding a flight record of 50000 samples into a flight, beside a raw read
// of the same bytes in the same run: from the file as selecting a record reads it
// (80-byte reads), and from memory against one pass over the same bytes.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "record/flight_reader.h"
#include "record/record_loader.h"
#include "support/example_flight.h"
#include "support/flight_record_writer.h"

namespace {

namespace fs = std::filesystem;
using namespace quarn;
using Clock = std::chrono::steady_clock;

struct Fixture {
  Fixture() {
    // The example flight repeated until the table is full.
    const auto one = testing::EncodeSamples(testing::MakeExampleFlight());
    while (bytes.size() < kMaxSamples * kRecordSize)
      bytes.insert(bytes.end(), one.begin(), one.end());
    bytes.resize(kMaxSamples * kRecordSize);
    dir = fs::temp_directory_path() / ("quarn_bench_decode_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    path = (dir / "full.dat").string();
    written = testing::WriteBytes(path, bytes);
  }
  ~Fixture() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::vector<std::uint8_t> bytes;
  fs::path dir;
  std::string path;
  bool written = false;
};

Fixture& F() {
  static Fixture f;
  return f;
}

// The floor: the same file read in the same 80-byte pieces, nothing decoded.
std::size_t ReadRaw(const std::string& path) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return 0;
  std::uint8_t buffer[kRecordSize];
  std::size_t total = 0;
  while (std::fread(buffer, 1, kRecordSize, in) == kRecordSize) total += buffer[0] + kRecordSize;
  std::fclose(in);
  return total;
}

int DecodeFile(const std::string& path) {
  const auto read = ReadFlight(path);
  return read ? read->flight.sampleCount() : 0;
}

// The floor in memory: one pass that reads every byte.
std::uint64_t SumBytes(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t sum = 0;
  for (const std::uint8_t b : bytes) sum += b;
  return sum;
}

int DecodeMemory(const std::vector<std::uint8_t>& bytes) {
  MemoryRecordSource source(bytes);
  Flight flight;
  const int stored = LoadSamples(source, flight).stored;
  benchmark::DoNotOptimize(flight.samples.data());
  return stored;
}

// Each iteration times the decode and then its floor, so that both see the same
// load on the machine; the ratio of the sums is reported.
void DecodeBesideFloor(benchmark::State& state, bool fromFile) {
  const Fixture& f = F();
  if (!f.written) {
    state.SkipWithError("cannot write the record file");
    return;
  }
  std::chrono::duration<double> decodeTime{}, floorTime{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    const int stored = fromFile ? DecodeFile(f.path) : DecodeMemory(f.bytes);
    const auto t1 = Clock::now();
    benchmark::DoNotOptimize(fromFile ? ReadRaw(f.path) : SumBytes(f.bytes));
    const auto t2 = Clock::now();
    if (stored != kMaxSamples) {
      state.SkipWithError("the record did not fill the table");
      return;
    }
    decodeTime += t1 - t0;
    floorTime += t2 - t1;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["decode_ms"] = decodeTime.count() * 1000 / n;
  state.counters["floor_ms"] = floorTime.count() * 1000 / n;
  state.counters["ratio"] = decodeTime.count() / floorTime.count();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(f.bytes.size()));
}

BENCHMARK_CAPTURE(DecodeBesideFloor, File, true)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(DecodeBesideFloor, Memory, false)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
