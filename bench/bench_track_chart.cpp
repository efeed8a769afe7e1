// The track chart at 1920 x 1080 through the Qt drawing context onto an image: a
// record of 50000 samples (and an imported track of 1,000,000 along the same path), 2000 navaids
// inside the map and every layer on (30 radials among them). Its first draw, which finds every
// navaid's distance from the track, and its redraw after a cursor key, which reuses them; the
// redraw also with the distance layer off, and with every layer off. Each beside its floor measured
// in the same run: a bare QPainter polyline of the same track points on the same image.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_track_chart

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

#include "base/flight.h"
#include "base/format.h"
#include "base/view_state.h"
#include "bench/image_window.h"
#include "charts/chart_input.h"
#include "charts/map_projection.h"
#include "charts/map_state.h"
#include "charts/track_chart.h"
#include "platform/headless/headless_window.h"

namespace {

using namespace quarn;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kNavaids = 2000;
constexpr int kRadials = 30;

// A long wandering flight, a few degrees across: 50000 samples at one a second, or
// more samples along the same path more often.
Flight MakeFlight(int samples) {
  Flight flight;
  flight.samples.resize(static_cast<std::size_t>(samples));
  for (int i = 0; i < samples; ++i) {
    FlightSample& s = flight.samples[static_cast<std::size_t>(i)];
    const double t = i * static_cast<double>(kMaxSamples) / samples;
    s.timeHours = 8 + t / 3600;
    s.latitudeDeg = 50 + 1.5 * std::sin(t / 8000) + 0.3 * std::sin(t / 900);
    s.longitudeDeg = 5 + 2.5 * std::sin(t / 11000 + 1) + 0.3 * std::cos(t / 700);
    s.altitudeFt = 30000;
  }
  flight.recordPath = "bench.dat";
  return flight;
}

ViewState WholeFlight(int samples) {
  ViewState v;
  v.windowLast = v.trackLast = samples - 1;
  return v;
}

// Navaids of every drawn kind, spread evenly over the track's extents.
void FillNavaids(CHalbricoDoc& doc, const Flight& flight, MapState& map) {
  double latMin = 1e9, latMax = -1e9, lonMin = 1e9, lonMax = -1e9;
  for (const FlightSample& s : flight.samples) {
    latMin = std::min(latMin, s.latitudeDeg);
    latMax = std::max(latMax, s.latitudeDeg);
    lonMin = std::min(lonMin, s.longitudeDeg);
    lonMax = std::max(lonMax, s.longitudeDeg);
  }
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> lat(latMin, latMax), lon(lonMin, lonMax);
  std::uniform_real_distribution<double> course(0, 360);
  const NavaidKind kinds[] = {NavaidKind::Ndb,         NavaidKind::Vor,          NavaidKind::Fix,
                              NavaidKind::InnerMarker, NavaidKind::MiddleMarker, NavaidKind::Runway,
                              NavaidKind::Airport,     NavaidKind::OuterMarker,  NavaidKind::Ndb,
                              NavaidKind::Vor};
  for (int i = 0; i < kNavaids; ++i) {
    const NavaidKind kind = kinds[i % 10];
    const std::string ident = Format("N%03d", i % 1000);
    const std::string name = Format("NAVAID %04d", i);
    const double frequency = kind == NavaidKind::Ndb ? 300 + i % 100 : 108 + (i % 100) * 0.05;
    doc.AddNavaid(kind, lat(rng), lon(rng), 0, frequency, ident, name,
                  kind == NavaidKind::Runway ? 150 : 0.5, course(rng),
                  kind == NavaidKind::Runway ? 9000 : 0);
  }
  doc.RebuildIndexLists();
  for (int r = 0; r < kRadials; ++r) {
    const NavaidRecord& vor = doc.m_navaids[static_cast<std::size_t>(doc.m_vorIdx[r])];
    map.radials[static_cast<std::size_t>(r)] =
        VorRadial{vor.latitude, vor.longitude, 1 + r * 12, vor.magVar};
  }
  map.radialCount = kRadials;
}

void AllLayersOn(MapState& map) {
  map.showVor = map.showNdb = map.showFix = map.showRunway = map.showAirport = map.showIdFreq =
      map.showDistance = map.showMarkers = map.showRadials = true;
}

// Every sample's point as the chart projects it, after a drawing has fitted the map
// to the track.
QPolygon TrackPoints(const ChartInput& in) {
  FixedWidthMetrics metrics;
  HeadlessWindow window(kWidth, kHeight, metrics);
  DrawTrackChart(window, in);
  const MapProjection map = MapProjection::FromMapState(in.map, kHeight);
  QPolygon points;
  for (const FlightSample& s : in.flight.samples) {
    const Point p = map.ToPixel(s.latitudeDeg, s.longitudeDeg);
    points.append(QPoint(p.x, p.y));
  }
  return points;
}

enum class Draw { First, Redraw, RedrawWithoutDistance, RedrawTrackOnly };

// Each iteration times the chart's drawing and then its floor, so that both see the
// same load on the machine; the ratio of the sums is reported.
void TrackChartBesideFloor(benchmark::State& state, Draw draw, int samples) {
  const Flight flight = MakeFlight(samples);
  ViewState view = WholeFlight(samples);
  MapState map;
  bench::ImageWindow window(kWidth, kHeight);
  CHalbricoDoc doc;
  FillNavaids(doc, flight, map);
  AllLayersOn(map);
  const ChartInput in{flight, doc, view, map};
  const QPolygon track = TrackPoints(in);
  if (track.size() != samples) {
    state.SkipWithError("unexpected track points");
    return;
  }
  if (draw == Draw::RedrawWithoutDistance) map.showDistance = false;
  // The track, its grid, cursor and status lines alone: what the floor draws, with
  // every layer off.
  if (draw == Draw::RedrawTrackOnly) map = MapState{};
  DrawTrackChart(window, in);  // the distances are found once for the redraws

  QImage& image = window.image();
  using Clock = std::chrono::steady_clock;
  std::chrono::duration<double> chartTime{}, floorTime{};
  for (auto _ : state) {
    if (draw == Draw::First) map.trackDistances.Clear();
    view.trackCursor = (view.trackCursor + 1) % samples;  // as a cursor key does
    const auto t0 = Clock::now();
    DrawTrackChart(window, in);
    benchmark::DoNotOptimize(image.constBits());
    const auto t1 = Clock::now();
    {
      QPainter painter(&image);
      painter.setPen(QPen(QColor(0, 0, 255), 1));
      painter.drawPolyline(track);
    }
    benchmark::DoNotOptimize(image.constBits());
    const auto t2 = Clock::now();
    chartTime += t1 - t0;
    floorTime += t2 - t1;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["chart_ms"] = chartTime.count() * 1000 / n;
  state.counters["floor_ms"] = floorTime.count() * 1000 / n;
  state.counters["ratio"] = chartTime.count() / floorTime.count();
}

BENCHMARK_CAPTURE(TrackChartBesideFloor, FirstDraw, Draw::First, kMaxSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(TrackChartBesideFloor, Redraw, Draw::Redraw, kMaxSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(TrackChartBesideFloor, RedrawWithoutDistance, Draw::RedrawWithoutDistance,
                  kMaxSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

BENCHMARK_CAPTURE(TrackChartBesideFloor, FirstDraw_1M, Draw::First, kMaxImportedSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(TrackChartBesideFloor, Redraw_1M, Draw::Redraw, kMaxImportedSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(TrackChartBesideFloor, RedrawWithoutDistance_1M, Draw::RedrawWithoutDistance,
                  kMaxImportedSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(TrackChartBesideFloor, RedrawTrackOnly, Draw::RedrawTrackOnly, kMaxSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(TrackChartBesideFloor, RedrawTrackOnly_1M, Draw::RedrawTrackOnly,
                  kMaxImportedSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
