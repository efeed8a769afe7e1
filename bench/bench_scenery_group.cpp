// Defining a scenery group over a large tree and loading its list, against a floor in
// the same run: reading every byte of the files once. The tree (5000 files, about 700 MB, in nested
// folders; a third hold no navaid) is made at start under the temporary directory and removed at
// the end. A load takes at most 2000 files of a list, so its floor reads those 2000 files.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "navaid/halbrico_doc.h"
#include "navaid/navaid_load.h"
#include "navaid/scenery_group.h"
#include "navaid/scenery_list.h"
#include "platform/file_services.h"
#include "support/bgl_writer.h"
#include "support/flight_record_writer.h"
#include "support/recording_ui.h"

namespace {

namespace fs = std::filesystem;
using namespace quarn::testing;

constexpr int kFiles = 5000;
constexpr std::size_t kPoolBytes = 4u << 20;
constexpr std::uint8_t kAbsentByte = 0xFF;

struct Tree {
  fs::path root, tree, data;
  std::vector<std::string> paths;
  std::uint64_t totalBytes = 0;
  int withNavaids = 0;
};

Tree& Files() {
  static Tree t;
  return t;
}

// The folder of file i: 1000 in the top folder, the rest in 20 folders, half of
// which hold a further folder.
fs::path FolderOf(const fs::path& tree, int i) {
  if (i < 1000) return tree;
  const int k = (i - 1000) % 20;
  fs::path sub = tree / ("Sub" + std::to_string(k));
  if (k % 2 == 0 && (i / 20) % 4 == 0) sub /= "deep";
  return sub;
}

void MakeTree() {
  Tree& t = Files();
  t.root = fs::temp_directory_path() / ("quarn_bench_group_" + std::to_string(::getpid()));
  t.tree = t.root / "scenery";
  t.data = t.root / "data";
  fs::create_directories(t.data);
  std::vector<std::uint8_t> pool(kPoolBytes);
  std::uint64_t state = 0x9E3779B97F4A7C15ull;
  for (auto& b : pool) {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    b = static_cast<std::uint8_t>(1 + state % 254);  // never 0 (no runway) nor 0xFF
  }
  for (int i = 0; i < kFiles; ++i) {
    BglContent c;
    const std::size_t size = (40u << 10) + (static_cast<std::size_t>(i) * 7919u) % (200u << 10);
    const std::size_t at = (static_cast<std::size_t>(i) * 104729u) % (kPoolBytes - size);
    c.objectBytes.assign(pool.begin() + static_cast<long>(at),
                         pool.begin() + static_cast<long>(at + size));
    const double lat = 50 + (i % 100) * 0.05, lon = 4 + (i / 100) * 0.05;
    if (i % 3 == 0) {
      c.ndbs = {{lat, lon, 350, 0, 25, "NB", "BEACON", 0}};
    } else if (i % 3 == 1) {
      OldVorIls v;
      v.frequencyMhz = 113.0;
      v.latitude = lat;
      v.longitude = lon;
      v.ident = "VR";
      v.name = "VOR";
      c.vorIls = {v};
      FacEntry e;
      e.name = "FIELD " + std::to_string(i);
      e.subs = {Sub(FacAirport{lat + 0.01, lon, 10, "EHXX"})};
      c.facilityBlocks = {FacBlock{1033, {e}}};
    }
    t.withNavaids += i % 3 != 2;
    const auto bytes = BuildBgl(c);
    const fs::path folder = FolderOf(t.tree, i);
    fs::create_directories(folder);
    const std::string path = (folder / ("F" + std::to_string(i) + ".BGL")).string();
    WriteBytes(path, bytes);
    t.paths.push_back(path);
    t.totalBytes += bytes.size();
  }
}

std::vector<std::string> ListedPaths() {
  const auto text = quarn::ReadWholeFile((Files().data / "bench.lis").string());
  return text ? quarn::SceneryListPaths(*text) : std::vector<std::string>();
}

// Reads every byte of the files once: each file read whole into one buffer and
// passed over with memchr for an absent byte.
double FloorSeconds(const std::vector<std::string>& paths, std::size_t& hits) {
  std::vector<char> buffer(1u << 20);
  const auto start = std::chrono::steady_clock::now();
  for (const auto& path : paths) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;) {
      const char* p = buffer.data();
      const char* end = p + n;
      while (p < end) {
        const void* hit = std::memchr(p, kAbsentByte, static_cast<std::size_t>(end - p));
        if (hit == nullptr) break;
        ++hits;
        p = static_cast<const char*>(hit) + 1;
      }
    }
    ::close(fd);
  }
  const std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
  return d.count();
}

double g_floorAll = std::numeric_limits<double>::max();
double g_floorLoaded = std::numeric_limits<double>::max();
double g_define = std::numeric_limits<double>::max();
double g_load = std::numeric_limits<double>::max();

void BM_FloorAllFiles(benchmark::State& state) {
  std::size_t hits = 0;
  for (auto _ : state) g_floorAll = std::min(g_floorAll, FloorSeconds(Files().paths, hits));
  benchmark::DoNotOptimize(hits);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Files().totalBytes));
}

void BM_DefineGroup(benchmark::State& state) {
  RecordingUi ui;
  quarn::CHalbricoDoc doc;
  const std::string data = Files().data.string();
  const quarn::BglSearchRequest tree{Files().tree.string(), true, false};
  for (auto _ : state) {
    fs::remove(Files().data / "bench.lis");
    const auto start = std::chrono::steady_clock::now();
    doc.m_groupFile = "bench.lis";
    quarn::DefineGroup(doc, data, tree, ui);
    const std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
    g_define = std::min(g_define, d.count());
  }
  const auto listed = ListedPaths();
  if (static_cast<int>(listed.size()) != Files().withNavaids) {
    state.SkipWithError("the search did not list every file with navaids");
  }
  state.counters["listed"] = static_cast<double>(listed.size());
}

void BM_FloorLoadedFiles(benchmark::State& state) {
  auto listed = ListedPaths();
  listed.resize(std::min<std::size_t>(listed.size(), quarn::kMaxBglFiles));
  std::size_t hits = 0;
  for (auto _ : state) g_floorLoaded = std::min(g_floorLoaded, FloorSeconds(listed, hits));
  benchmark::DoNotOptimize(hits);
}

void BM_LoadList(benchmark::State& state) {
  RecordingUi ui;
  quarn::CHalbricoDoc doc;
  const std::string data = Files().data.string();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    quarn::LoadSceneryList(doc, (Files().data / "bench.lis").string(), data, ui);
    const std::chrono::duration<double> d = std::chrono::steady_clock::now() - start;
    g_load = std::min(g_load, d.count());
  }
  if (doc.m_bglIndex != quarn::kMaxBglFiles) state.SkipWithError("the load stopped early");
  state.counters["records"] = doc.m_navaidCount;
}

BENCHMARK(BM_FloorAllFiles)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DefineGroup)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FloorLoadedFiles)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LoadList)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  MakeTree();
  std::printf("%d files, %.1f MB, %d with navaids\n", kFiles,
              static_cast<double>(Files().totalBytes) / 1e6, Files().withNavaids);
  std::size_t hits = 0;
  FloorSeconds(Files().paths, hits);  // warm the cache
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double none = std::numeric_limits<double>::max();
  if (g_floorAll < none && g_define < none) {
    std::printf("define group: best %.1f ms, floor (all files) %.1f ms, ratio %.2f (target <= 3)\n",
                g_define * 1e3, g_floorAll * 1e3, g_define / g_floorAll);
  }
  if (g_floorLoaded < none && g_load < none) {
    std::printf(
        "load list: best %.1f ms, floor (the %d files loaded) %.1f ms, ratio %.2f "
        "(target <= 3)\n",
        g_load * 1e3, quarn::kMaxBglFiles, g_floorLoaded * 1e3, g_load / g_floorLoaded);
  }
  fs::remove_all(Files().root);
  return 0;
}
