// Reading a flight of 1,000,000 samples in each text format, beside a floor measured
// in the same run: reading the same file's bytes and finding its line ends. Each
// format's file is generated once into /tmp (a slow climb and a long leg at one
// sample a second, every channel the format carries).
//
//   build/bench/bench_track_readers

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/format.h"
#include "bench/line_ends_floor.h"
#include "record/flight_reader.h"
#include "record/text_input.h"
#include "support/flight_record_writer.h"

namespace {

namespace fs = std::filesystem;
using namespace quarn;
using Clock = std::chrono::steady_clock;

constexpr int kSamples = 1000000;
constexpr double kStart = 1527693698;  // 2018-05-30T15:21:38Z

struct Point {
  double t, lat, lon, altFt, gsKt, trackDeg, vsFpm;
};

Point PointAt(int i) {
  const double a = i * 1e-4;
  return {kStart + i,
          52 + 0.5 * std::sin(a),
          4.5 + 0.8 * std::cos(a * 0.7),
          3000 + 2000 * std::sin(a * 3),
          250 + 20 * std::sin(a),
          std::fmod(i * 0.01, 360.0),
          600 * std::cos(a * 3)};
}

std::string Hms(double t) {
  const auto s = static_cast<long long>(t) % 86400;
  return Format("%02lld%02lld%02lld", s / 3600, s / 60 % 60, s % 60);
}

// Degrees as IGC writes them: degrees, minutes and thousandths of a minute.
std::string IgcAngle(double deg, int degreeDigits, char positive, char negative) {
  const double a = std::fabs(deg);
  // Rounded to the thousandth of a minute first, so that 59.9996 minutes carry over.
  const long total = std::lround(a * 60000);
  const int whole = static_cast<int>(total / 60000);
  const int thousandths = static_cast<int>(total % 60000);
  return Format("%0*d%05d%c", degreeDigits, whole, thousandths, deg >= 0 ? positive : negative);
}

std::string MakeFile(const std::string& format) {
  std::string out;
  out.reserve(static_cast<std::size_t>(kSamples) * 120);
  if (format == "csv") {
    out += "timestamp,latitude,longitude,altitude,groundspeed,track,vertical_rate,onground\n";
    for (int i = 0; i < kSamples; ++i) {
      const Point p = PointAt(i);
      out += Format("%s,%.7f,%.7f,%.0f,%.1f,%.2f,%.0f,false\n", IsoTimeText(p.t).c_str(), p.lat,
                    p.lon, p.altFt, p.gsKt, p.trackDeg, p.vsFpm);
    }
  } else if (format == "json") {
    out += "[";
    for (int i = 0; i < kSamples; ++i) {
      const Point p = PointAt(i);
      out += Format(
          "%s{\"timestamp\":%.0f,\"icao24\":\"484506\",\"latitude\":%.7f,\"longitude\":%.7f,"
          "\"groundspeed\":%.1f,\"track\":%.2f,\"vertical_rate\":%.0f,\"callsign\":\"TRA051\","
          "\"altitude\":%.0f}",
          i == 0 ? "" : ",", p.t * 1000, p.lat, p.lon, p.gsKt, p.trackDeg, p.vsFpm, p.altFt);
    }
    out += "]\n";
  } else if (format == "gpx") {
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"bench\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><trkseg>\n";
    for (int i = 0; i < kSamples; ++i) {
      const Point p = PointAt(i);
      out += Format("<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.2f</ele><time>%s</time></trkpt>\n",
                    p.lat, p.lon, p.altFt * 0.3048, IsoTimeText(p.t).c_str());
    }
    out += "</trkseg></trk>\n</gpx>\n";
  } else if (format == "kml") {
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
        "xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n<Document><Placemark><gx:Track>\n";
    for (int i = 0; i < kSamples; ++i) {
      out += "<when>";
      out += IsoTimeText(PointAt(i).t);
      out += "</when>\n";
    }
    for (int i = 0; i < kSamples; ++i) {
      const Point p = PointAt(i);
      out += Format("<gx:coord>%.7f %.7f %.2f</gx:coord>\n", p.lon, p.lat, p.altFt * 0.3048);
    }
    out += "</gx:Track></Placemark></Document>\n</kml>\n";
  } else if (format == "igc") {
    out += "AXXX001\nHFDTE300518\n";
    for (int i = 0; i < kSamples; ++i) {
      const Point p = PointAt(i);
      const int alt = static_cast<int>(p.altFt * 0.3048);
      out += 'B';
      out += Hms(p.t);
      out += IgcAngle(p.lat, 2, 'N', 'S');
      out += IgcAngle(p.lon, 3, 'E', 'W');
      out += Format("A%05d%05d\n", alt, alt);
    }
  }
  return out;
}

struct File {
  std::string path;
  std::size_t size = 0;
};

// The generated files, removed when the program ends.
class Files {
 public:
  ~Files() {
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
  }
  const File& Of(const std::string& format) {
    auto it = files_.find(format);
    if (it != files_.end()) return it->second;
    if (dir_.empty()) {
      dir_ = fs::temp_directory_path() / ("quarn_bench_readers_" + std::to_string(::getpid()));
      fs::create_directories(dir_);
    }
    File f;
    f.path = (dir_ / ("track." + format)).string();
    const std::string text = MakeFile(format);
    f.size = text.size();
    testing::WriteBytes(f.path, std::vector<std::uint8_t>(text.begin(), text.end()));
    return files_.emplace(format, f).first->second;
  }

 private:
  fs::path dir_;
  std::map<std::string, File> files_;
};

const File& FileOf(const std::string& format) {
  static Files files;
  return files.Of(format);
}

using bench::ReadAndFindLineEnds;

void ReadBesideFloor(benchmark::State& state, const std::string& format) {
  const File& f = FileOf(format);
  std::chrono::duration<double> readTime{}, floorTime{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    const auto read = ReadFlight(f.path);
    const auto t1 = Clock::now();
    benchmark::DoNotOptimize(ReadAndFindLineEnds(f.path));
    const auto t2 = Clock::now();
    if (!read || read->flight.sampleCount() != kSamples) {
      state.SkipWithError(read ? "not every sample was read" : read.error().message.c_str());
      return;
    }
    readTime += t1 - t0;
    floorTime += t2 - t1;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["read_ms"] = readTime.count() * 1000 / n;
  state.counters["floor_ms"] = floorTime.count() * 1000 / n;
  state.counters["ratio"] = readTime.count() / floorTime.count();
  state.counters["MB"] = static_cast<double>(f.size) / 1e6;
}

BENCHMARK_CAPTURE(ReadBesideFloor, csv, std::string("csv"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);
BENCHMARK_CAPTURE(ReadBesideFloor, json, std::string("json"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);
BENCHMARK_CAPTURE(ReadBesideFloor, gpx, std::string("gpx"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);
BENCHMARK_CAPTURE(ReadBesideFloor, kml, std::string("kml"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);
BENCHMARK_CAPTURE(ReadBesideFloor, igc, std::string("igc"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
