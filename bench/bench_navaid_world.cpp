// The navaid data of the whole world, generated once into /tmp: an earth_nav.dat of
// 40,000 rows, an apt.dat of 38,000 airports with their taxiways (about 300 MB), and
// the OurAirports tables (75,000 airports, 45,000 runways, 11,000 navaids, 30,000
// frequencies).
//   WorldLoad: "Load Navaids" of a list naming them all, beside a floor in the same
//     run: reading the same bytes and finding their line ends.
//   WorldMap: the track chart of a flight at Amsterdam with every layer on, redrawn
//     with the world loaded, beside the same chart with only the navaids in its view
//     loaded.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_navaid_world

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/flight.h"
#include "base/format.h"
#include "base/view_state.h"
#include "bench/image_window.h"
#include "bench/line_ends_floor.h"
#include "charts/chart_input.h"
#include "charts/map_state.h"
#include "charts/track_chart.h"
#include "navaid/halbrico_doc.h"
#include "navaid/navaid_load.h"
#include "platform/notices.h"

namespace {

namespace fs = std::filesystem;
using namespace quarn;
using Clock = std::chrono::steady_clock;

constexpr int kNavRows = 40000;
constexpr int kAirports = 38000;
constexpr int kTaxiRowsPerAirport = 200;
constexpr int kOaAirports = 75000;
constexpr int kOaRunways = 45000;
constexpr int kOaNavaids = 11000;
constexpr int kOaFrequencies = 30000;

// A place on the globe for item i, spread over the land-ish latitudes.
void PlaceOf(int i, double& lat, double& lon) {
  std::mt19937 rng(static_cast<unsigned>(i) * 2654435761u);
  std::uniform_real_distribution<double> la(-60, 70), lo(-179.5, 179.5);
  lat = la(rng);
  lon = lo(rng);
}

std::string Ident(int i, int letters) {
  std::string s;
  for (int k = 0; k < letters; ++k) {
    s += static_cast<char>('A' + i % 26);
    i /= 26;
  }
  return s;
}

void WriteNav(const fs::path& path) {
  std::ofstream out(path);
  out << "I\n1100 Version - generated for the benchmark.\n\n";
  for (int i = 0; i < kNavRows; ++i) {
    double lat = 0, lon = 0;
    PlaceOf(i, lat, lon);
    const std::string id = Ident(i, 3);
    switch (i % 5) {
      case 0:
        out << Format("2 %12.8f %13.8f 0 375 50 0.000 %s ENRT XX NDB %s\n", lat, lon, id.c_str(),
                      id.c_str());
        break;
      case 1:
        out << Format("3 %12.8f %13.8f 10 11395 130 1.500 %s ENRT XX VOR %s\n", lat, lon,
                      id.c_str(), id.c_str());
        break;
      case 2:
        out << Format("4 %12.8f %13.8f 10 11055 18 57.817 %s X%s XX 06 ILS-cat-I\n", lat, lon,
                      id.c_str(), id.c_str());
        break;
      case 3:
        out << Format("6 %12.8f %13.8f 10 11055 10 300057.817 %s X%s XX 06 GS\n", lat, lon,
                      Ident(i - 1, 3).c_str(), Ident(i - 1, 3).c_str());
        break;
      default:
        out << Format("12 %12.8f %13.8f 10 11395 130 0.000 %s ENRT XX DME %s\n", lat, lon,
                      Ident(i - 3, 3).c_str(), id.c_str());
        break;
    }
  }
  out << "99\n";
}

void WriteApt(const fs::path& path) {
  std::ofstream out(path);
  out << "I\n1100 Version - generated for the benchmark.\n\n";
  for (int i = 0; i < kAirports; ++i) {
    double lat = 0, lon = 0;
    PlaceOf(i + 100000, lat, lon);
    const std::string code = "W" + Ident(i, 3);
    out << Format("1 %d 0 0 %s Airport %s\n", i % 3000, code.c_str(), code.c_str());
    out << Format("1302 datum_lat %.6f\n1302 datum_lon %.6f\n1302 icao_code %s\n", lat, lon,
                  code.c_str());
    out << Format(
        "100 45.00 1 0 0.25 1 2 1 06 %.8f %.8f 0.00 0.00 3 12 1 0 24 %.8f %.8f 0.00 0.00 3 12 1 "
        "0\n",
        lat, lon, lat + 0.01, lon + 0.02);
    out << Format(
        "100 30.00 1 0 0.25 1 2 1 09 %.8f %.8f 0.00 0.00 3 12 1 0 27 %.8f %.8f 0.00 0.00 3 12 1 "
        "0\n",
        lat + 0.005, lon, lat + 0.005, lon + 0.025);
    out << "1050 132975 ATIS\n";
    for (int k = 0; k < kTaxiRowsPerAirport; ++k) {
      out << Format("111 %.8f %.8f\n", lat + k * 1e-5, lon + k * 1e-5);
    }
  }
  out << "99\n";
}

void WriteOurAirports(const fs::path& dir) {
  {
    std::ofstream out(dir / "airports.csv");
    out << "\"id\",\"ident\",\"type\",\"name\",\"latitude_deg\",\"longitude_deg\","
           "\"elevation_ft\",\"iso_country\",\"gps_code\",\"icao_code\"\n";
    for (int i = 0; i < kOaAirports; ++i) {
      double lat = 0, lon = 0;
      PlaceOf(i + 200000, lat, lon);
      out << Format(
          "%d,\"O%s\",\"small_airport\",\"Field %s, Somewhere\",%.6f,%.6f,%d,\"XX\",\"O%s\",\"\"\n",
          i, Ident(i, 3).c_str(), Ident(i, 3).c_str(), lat, lon, i % 2000, Ident(i, 3).c_str());
    }
  }
  {
    std::ofstream out(dir / "runways.csv");
    out << "\"id\",\"airport_ref\",\"airport_ident\",\"length_ft\",\"width_ft\",\"surface\","
           "\"lighted\",\"closed\",\"le_ident\",\"le_latitude_deg\",\"le_longitude_deg\","
           "\"le_elevation_ft\",\"le_heading_degT\",\"le_displaced_threshold_ft\",\"he_ident\","
           "\"he_latitude_deg\",\"he_longitude_deg\",\"he_elevation_ft\",\"he_heading_degT\","
           "\"he_displaced_threshold_ft\"\n";
    for (int i = 0; i < kOaRunways; ++i) {
      double lat = 0, lon = 0;
      PlaceOf(i + 200000, lat, lon);
      out << Format(
          "%d,%d,\"O%s\",5000,100,\"ASP\",1,0,\"09\",%.6f,%.6f,10,90,,\"27\",%.6f,%.6f,"
          "10,270,\n",
          i, i, Ident(i, 3).c_str(), lat, lon, lat, lon + 0.02);
    }
  }
  {
    std::ofstream out(dir / "navaids.csv");
    out << "\"id\",\"filename\",\"ident\",\"name\",\"type\",\"frequency_khz\",\"latitude_deg\","
           "\"longitude_deg\",\"elevation_ft\",\"iso_country\",\"slaved_variation_deg\","
           "\"associated_airport\"\n";
    for (int i = 0; i < kOaNavaids; ++i) {
      double lat = 0, lon = 0;
      PlaceOf(i + 300000, lat, lon);
      const bool vor = i % 2 == 0;
      out << Format("%d,\"x\",\"Q%s\",\"Station %s\",\"%s\",%d,%.6f,%.6f,10,\"XX\",1.5,\"\"\n", i,
                    Ident(i, 2).c_str(), Ident(i, 2).c_str(), vor ? "VOR-DME" : "NDB",
                    vor ? 113950 : 375, lat, lon);
    }
  }
  {
    std::ofstream out(dir / "airport-frequencies.csv");
    out << "\"id\",\"airport_ref\",\"airport_ident\",\"type\",\"description\",\"frequency_mhz\"\n";
    for (int i = 0; i < kOaFrequencies; ++i) {
      out << Format("%d,%d,\"O%s\",\"%s\",\"Freq\",132.975\n", i, i, Ident(i, 3).c_str(),
                    i % 2 == 0 ? "ATIS" : "TWR");
    }
  }
}

// The world's files, generated once and removed when the program ends.
class World {
 public:
  World() {
    dir_ = fs::temp_directory_path() / ("quarn_bench_world_" + std::to_string(::getpid()));
    fs::create_directories(dir_ / "oa");
    WriteNav(dir_ / "earth_nav.dat");
    WriteApt(dir_ / "apt.dat");
    WriteOurAirports(dir_ / "oa");
    files_ = {dir_ / "earth_nav.dat",       dir_ / "apt.dat",
              dir_ / "oa" / "airports.csv", dir_ / "oa" / "runways.csv",
              dir_ / "oa" / "navaids.csv",  dir_ / "oa" / "airport-frequencies.csv"};
    std::ofstream list(dir_ / "world.lis");
    for (const fs::path& f : files_) list << f.string() << '\n';
  }
  ~World() {
    // QUARN_BENCH_KEEP keeps the files, to look at them or profile their load.
    if (std::getenv("QUARN_BENCH_KEEP") != nullptr) return;
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string List() const { return (dir_ / "world.lis").string(); }
  std::string DataDir() const { return dir_.string(); }
  const std::vector<fs::path>& files() const { return files_; }

 private:
  fs::path dir_;
  std::vector<fs::path> files_;
};

const World& TheWorld() {
  static const World world;
  return world;
}

// The floor: every file's bytes read into memory and their line ends found.
std::size_t ReadAndFindLineEnds(const std::vector<fs::path>& files) {
  std::size_t lines = 0;
  for (const fs::path& path : files) lines += bench::ReadAndFindLineEnds(path.string());
  return lines;
}

void WorldLoad(benchmark::State& state) {
  const World& world = TheWorld();
  QuietNotices notices;
  std::chrono::duration<double> loadTime{}, floorTime{};
  int navaids = 0;
  for (auto _ : state) {
    CHalbricoDoc doc;
    const auto t0 = Clock::now();
    LoadSceneryList(doc, world.List(), world.DataDir(), notices);
    const auto t1 = Clock::now();
    benchmark::DoNotOptimize(ReadAndFindLineEnds(world.files()));
    const auto t2 = Clock::now();
    navaids = doc.m_navaidCount;
    loadTime += t1 - t0;
    floorTime += t2 - t1;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["load_ms"] = loadTime.count() * 1000 / n;
  state.counters["floor_ms"] = floorTime.count() * 1000 / n;
  state.counters["ratio"] = loadTime.count() / floorTime.count();
  state.counters["navaids"] = navaids;
}
BENCHMARK(WorldLoad)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

// A flight of an hour around Amsterdam, where the world's generated navaids are few
// and a real scenery's many: a hundred navaids of every kind are added around it.
Flight AmsterdamFlight() {
  Flight flight;
  flight.samples.resize(3600);
  for (int i = 0; i < 3600; ++i) {
    FlightSample& s = flight.samples[static_cast<std::size_t>(i)];
    s.timeHours = 9 + i / 3600.0;
    s.latitudeDeg = 52.3 + 0.3 * std::sin(i / 600.0);
    s.longitudeDeg = 4.7 + 0.5 * std::cos(i / 700.0);
  }
  flight.recordPath = "bench.dat";
  flight.channels = ChannelSet::AllRecorded();
  return flight;
}

void AddLocalNavaids(CHalbricoDoc& doc) {
  const NavaidKind kinds[] = {NavaidKind::Ndb, NavaidKind::Vor, NavaidKind::Airport,
                              NavaidKind::Runway, NavaidKind::Fix};
  for (int i = 0; i < 100; ++i) {
    const NavaidKind kind = kinds[i % 5];
    doc.AddNavaid(kind, 51.9 + (i % 10) * 0.08, 4.2 + (i / 10) * 0.1, 0,
                  kind == NavaidKind::Ndb ? 375 : 113.95, Format("L%02d", i), Format("LOCAL %d", i),
                  kind == NavaidKind::Runway ? 150 : 0.5, 57,
                  kind == NavaidKind::Runway ? 9000 : 0);
  }
}

void WorldMap(benchmark::State& state) {
  const World& world = TheWorld();
  QuietNotices notices;
  CHalbricoDoc worldDoc, localDoc;
  LoadSceneryList(worldDoc, world.List(), world.DataDir(), notices);
  AddLocalNavaids(worldDoc);
  worldDoc.RebuildIndexLists();
  AddLocalNavaids(localDoc);
  localDoc.RebuildIndexLists();
  const Flight flight = AmsterdamFlight();
  ViewState view;
  view.windowLast = view.trackLast = flight.lastSampleIndex();
  MapState worldMap, localMap;
  for (MapState* m : {&worldMap, &localMap}) {
    m->showVor = m->showNdb = m->showFix = m->showRunway = m->showAirport = m->showIdFreq =
        m->showMarkers = true;
  }
  bench::ImageWindow window(1920, 1080);
  const ChartInput worldInput{flight, worldDoc, view, worldMap};
  const ChartInput localInput{flight, localDoc, view, localMap};
  DrawTrackChart(window, worldInput);
  DrawTrackChart(window, localInput);
  std::chrono::duration<double> worldTime{}, localTime{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    DrawTrackChart(window, worldInput);
    benchmark::DoNotOptimize(window.image().constBits());
    const auto t1 = Clock::now();
    DrawTrackChart(window, localInput);
    benchmark::DoNotOptimize(window.image().constBits());
    const auto t2 = Clock::now();
    worldTime += t1 - t0;
    localTime += t2 - t1;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["world_ms"] = worldTime.count() * 1000 / n;
  state.counters["local_ms"] = localTime.count() * 1000 / n;
  state.counters["ratio"] = worldTime.count() / localTime.count();
  state.counters["navaids"] = worldDoc.m_navaidCount;
}
BENCHMARK(WorldMap)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
