// The logbook over many generated flights (10,000 of 5000 samples each by default, in
// turn CSV, JSON, GPX, KML and IGC): its first building beside a floor that reads
// every byte of the same files once, and a second opening with nothing changed.
//
//   build/bench/bench_logbook                      # QUARN_BENCH_FLIGHTS=N for another count
//
// The files (about 3 GB) are written under /tmp and removed at the end.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/logbook.h"
#include "base/format.h"
#include "support/crafted_flight.h"

namespace {

using namespace quarn;
using namespace quarn::testing;
namespace fs = std::filesystem;

constexpr int kSamplesPerFlight = 5000;

int FlightCount() {
  const char* n = std::getenv("QUARN_BENCH_FLIGHTS");
  return n != nullptr && std::atoi(n) > 0 ? std::atoi(n) : 10000;
}

// A circuit stretched to the sample count by a longer downwind leg.
std::vector<TrackPoint> LongCircuit() {
  std::vector<Step> steps = Departure(0);
  const std::vector<Step> pattern = Pattern(0);
  steps.insert(steps.end(), pattern.begin(), pattern.end());
  const int circuit = static_cast<int>(Craft(PlainCircuit(0)).points.size());
  steps.push_back({"", std::max(1, kSamplesPerFlight - circuit), 90, 1000, 240});
  const std::vector<Step> approach = Approach(0), stop = FullStop(0);
  steps.insert(steps.end(), approach.begin(), approach.end());
  steps.insert(steps.end(), stop.begin(), stop.end());
  return Craft(steps).points;
}

class Flights {
 public:
  Flights() {
    root_ =
        fs::temp_directory_path() / Format("quarn_bench_logbook_%d", static_cast<int>(getpid()));
    fs::create_directories(root_ / "data");
    const std::vector<TrackPoint> points = LongCircuit();
    const char* formats[] = {"csv", "json", "gpx", "kml", "igc"};
    std::vector<std::string> texts;
    for (const char* f : formats) texts.push_back(CraftedText(f, points));
    const int count = FlightCount();
    for (int i = 0; i < count; ++i) {
      const fs::path folder = root_ / "flights" / Format("%03d", i / 100);
      if (i % 100 == 0) fs::create_directories(folder);
      const std::string path = (folder / Format("flight%05d.%s", i, formats[i % 5])).string();
      std::ofstream(path, std::ios::binary) << texts[static_cast<std::size_t>(i % 5)];
      files_.push_back(path);
    }
  }
  ~Flights() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string folder() const { return (root_ / "flights").string(); }
  std::string dataDir() const { return (root_ / "data").string(); }
  const std::vector<std::string>& files() const { return files_; }

 private:
  fs::path root_;
  std::vector<std::string> files_;
};

const Flights& TheFlights() {
  static const Flights flights;
  return flights;
}

// Every byte of every file read once into one buffer, and looked at.
std::size_t ReadEveryByte(const std::vector<std::string>& files) {
  std::vector<char> buffer(1 << 20);
  std::size_t lines = 0;
  for (const std::string& f : files) {
    const int fd = ::open(f.c_str(), O_RDONLY);
    if (fd < 0) continue;
    ssize_t n;
    while ((n = ::read(fd, buffer.data(), buffer.size())) > 0) {
      const char* p = buffer.data();
      const char* end = p + n;
      while ((p = static_cast<const char*>(
                  std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
        ++lines;
        ++p;
      }
    }
    ::close(fd);
  }
  return lines;
}

LogbookRequest RequestOf(const Flights& flights) {
  LogbookRequest request;
  request.paths = {flights.folder()};
  request.dataDir = flights.dataDir();
  return request;
}

void FirstBuildBesideFloor(benchmark::State& state) {
  const Flights& flights = TheFlights();
  using Clock = std::chrono::steady_clock;
  std::chrono::duration<double> buildTime{}, floorTime{};
  for (auto _ : state) {
    fs::remove(fs::path(flights.dataDir()) / "logbook.sqlite");
    const auto t0 = Clock::now();
    const LogbookResult result = OpenLogbook(RequestOf(flights));
    const auto t1 = Clock::now();
    benchmark::DoNotOptimize(ReadEveryByte(flights.files()));
    const auto t2 = Clock::now();
    if (result.entries.size() != flights.files().size()) state.SkipWithError("entries missing");
    buildTime += t1 - t0;
    floorTime += t2 - t1;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["flights"] = static_cast<double>(flights.files().size());
  state.counters["build_ms"] = buildTime.count() * 1000 / n;
  state.counters["floor_ms"] = floorTime.count() * 1000 / n;
  state.counters["ratio"] = buildTime.count() / floorTime.count();
}

void SecondOpening(benchmark::State& state) {
  const Flights& flights = TheFlights();
  OpenLogbook(RequestOf(flights));  // built, and nothing changes after
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    const LogbookResult result = OpenLogbook(RequestOf(flights));
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    if (result.filesRead != 0) state.SkipWithError("an unchanged file was read again");
  }
}

BENCHMARK(FirstBuildBesideFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(SecondOpening)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
