// Parsing of large BGL files against a floor: one memchr pass for an absent byte
// over the same mapped bytes. The files (8 x 26 MB) are made at start in a temporary
// directory: FS2000-marked files whose object data section is random bytes with
// runways and NDB data blocks spread through it, so both the runway scan and the
// NDB signature scan run over every byte.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "base/program_dir.h"
#include "navaid/halbrico_doc.h"
#include "platform/mapped_file.h"
#include "support/bgl_writer.h"
#include "support/flight_record_writer.h"

namespace {

namespace fs = std::filesystem;
using namespace quarn::testing;

constexpr int kFiles = 8;
constexpr std::size_t kObjectBytes = 26u << 20;
constexpr std::size_t kSpacing = 1u << 20;  // a runway and an NDB block every MB
constexpr std::uint8_t kAbsentByte = 0xFF;

struct Fixture {
  fs::path dir;
  std::vector<std::string> paths;
  std::uint64_t totalBytes = 0;
  int expectedRecords = 0;
};

Fixture& Files() {
  static Fixture f;
  return f;
}

void MakeFiles() {
  Fixture& f = Files();
  f.dir = fs::temp_directory_path() / ("quarn_bench_bgl_" + std::to_string(::getpid()));
  fs::create_directories(f.dir);
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  for (int n = 0; n < kFiles; ++n) {
    BglContent c;
    c.objectBytes.resize(kObjectBytes);
    for (auto& b : c.objectBytes) {
      state ^= state << 13, state ^= state >> 7, state ^= state << 17;
      b = static_cast<std::uint8_t>(state % 255);  // never the absent byte
    }
    int k = 0;
    for (std::size_t at = kSpacing / 2; at + 200 < kObjectBytes; at += kSpacing, ++k) {
      const auto rwy = EncodeRunway({52 + k * 0.01, 4 + n * 0.1, 0, 57.8, 11000, 148, 6, ' ', 1});
      std::copy(rwy.begin(), rwy.end(), c.objectBytes.begin() + static_cast<long>(at));
      FacNdb ndb;
      ndb.latitude = 50 + k * 0.2;
      ndb.longitude = 3 + n;
      ndb.frequencyKhz = 300 + k;
      ndb.ident = "B";
      const auto block = EncodeNdbBlock(ndb);
      std::copy(block.begin(), block.end(), c.objectBytes.begin() + static_cast<long>(at + 100));
      f.expectedRecords += 2;
    }
    c.looseNdbs.push_back({});  // the FS2000 marker, so the signature scan runs
    c.looseNdbs.back().frequencyKhz = 200;
    ++f.expectedRecords;
    const auto bytes = BuildBgl(c);
    const std::string path = (f.dir / ("big" + std::to_string(n) + ".bgl")).string();
    WriteBytes(path, bytes);
    f.paths.push_back(path);
    f.totalBytes += bytes.size();
  }
}

double g_floorSeconds = std::numeric_limits<double>::max();
double g_parseSeconds = std::numeric_limits<double>::max();

void BM_MemchrFloor(benchmark::State& state) {
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    std::size_t hits = 0;
    for (const auto& path : Files().paths) {
      quarn::MappedFile file;
      file.Open(path);
      const auto* p = file.bytes().data();
      const auto* end = p + file.size();
      // A pass to the end: the few structured bytes that hold the value do not
      // stop it.
      while (p < end) {
        const void* hit = std::memchr(p, kAbsentByte, static_cast<std::size_t>(end - p));
        if (hit == nullptr) break;
        ++hits;
        p = static_cast<const std::uint8_t*>(hit) + 1;
      }
    }
    benchmark::DoNotOptimize(hits);
    const std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
    g_floorSeconds = std::min(g_floorSeconds, d.count());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Files().totalBytes));
}

void BM_ParseBgl(benchmark::State& state) {
  int records = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    quarn::CHalbricoDoc doc;
    for (const auto& path : Files().paths) doc.ParseBgl(path);
    doc.RebuildIndexLists();
    records = doc.m_navaidCount;
    const std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
    g_parseSeconds = std::min(g_parseSeconds, d.count());
  }
  if (records != Files().expectedRecords) {
    state.SkipWithError("the parse did not find every runway and NDB");
  }
  state.counters["records"] = records;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Files().totalBytes));
}

BENCHMARK(BM_MemchrFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ParseBgl)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A file of many airports, all distinct, spread over the inhabited latitudes: each
// candidate is checked against the airports already taken, so the parse time must
// grow with the count, not with its square.
std::string AirportFile(int count) {
  static std::vector<std::pair<int, std::string>> made;
  for (const auto& [n, path] : made) {
    if (n == count) return path;
  }
  BglContent c;
  const int columns = 480;  // 0.75 degree apart
  for (int i = 0; i < count; ++i) {
    OldAirport a;
    a.latitude = -60 + (i / columns) * 0.75;
    a.longitude = -180 + (i % columns) * 0.75;
    a.name = "AIRPORT " + std::to_string(i);
    c.airports.push_back(a);
  }
  const std::string path = (Files().dir / ("airports" + std::to_string(count) + ".bgl")).string();
  WriteBytes(path, BuildBgl(c));
  made.emplace_back(count, path);
  return path;
}

void BM_ParseAirports(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string path = AirportFile(count);
  int records = 0;
  for (auto _ : state) {
    quarn::CHalbricoDoc doc;
    doc.ParseBgl(path);
    records = doc.m_navaidCount;
  }
  if (records != count) state.SkipWithError("not every airport was taken");
  state.counters["airports"] = records;
}

BENCHMARK(BM_ParseAirports)->Arg(40000)->Arg(80000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  MakeFiles();
  std::printf("%d files, %.1f MB\n", kFiles, static_cast<double>(Files().totalBytes) / 1e6);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_floorSeconds < std::numeric_limits<double>::max() &&
      g_parseSeconds < std::numeric_limits<double>::max()) {
    std::printf("best floor %.1f ms, best parse %.1f ms, ratio %.2f (target <= 3)\n",
                g_floorSeconds * 1e3, g_parseSeconds * 1e3, g_parseSeconds / g_floorSeconds);
  }
  fs::remove_all(Files().dir);
  return 0;
}
