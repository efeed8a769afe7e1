// The track chart at 1920 x 1080 through the Qt drawing context onto an image: a
// record of 50000 samples, 2000 navaids inside the map and every layer on (30 radials
// among them). Its first draw, which finds every navaid's distance from the track,
// and its redraw after a cursor key, which reuses them; the redraw also with the
// distance layer off. Each beside its floor measured in the same run: a bare
// QPainter polyline of the same track points on the same image.
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
#include "charts/map_state.h"
#include "charts/track_chart.h"
#include "platform/headless/headless_window.h"

namespace {

using namespace quarn;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kNavaids = 2000;
constexpr int kRadials = 30;

// A long wandering flight at one sample a second, a few degrees across.
Flight MakeFlight() {
  Flight flight;
  flight.samples.resize(kMaxSamples);
  for (int i = 0; i < kMaxSamples; ++i) {
    FlightSample& s = flight.samples[static_cast<std::size_t>(i)];
    const double t = i;
    s.timeHours = 8 + t / 3600;
    s.latitudeDeg = 50 + 1.5 * std::sin(t / 8000) + 0.3 * std::sin(t / 900);
    s.longitudeDeg = 5 + 2.5 * std::sin(t / 11000 + 1) + 0.3 * std::cos(t / 700);
    s.altitudeFt = 30000;
  }
  flight.recordPath = "bench.dat";
  return flight;
}

ViewState WholeFlight() {
  ViewState v;
  v.windowLast = v.trackLast = kMaxSamples - 1;
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

// The track's points as the chart projects them: recorded once through the display
// list.
QPolygon TrackPoints(const ChartInput& in) {
  FixedWidthMetrics metrics;
  HeadlessWindow window(kWidth, kHeight, metrics);
  DrawTrackChart(window, in);
  QPolygon points;
  for (const DrawOp& op : window.displayList().ops()) {
    if (op.kind != DrawOp::Kind::Line || op.pen.color != Color{0, 0, 255}) continue;
    points.append(QPoint(op.to.x, op.to.y));  // each sample's line ends at its point
  }
  return points;
}

enum class Draw { First, Redraw, RedrawWithoutDistance };

// Each iteration times the chart's drawing and then its floor, so that both see the
// same load on the machine; the ratio of the sums is reported.
void TrackChartBesideFloor(benchmark::State& state, Draw draw) {
  const Flight flight = MakeFlight();
  ViewState view = WholeFlight();
  MapState map;
  bench::ImageWindow window(kWidth, kHeight);
  CHalbricoDoc doc;
  FillNavaids(doc, flight, map);
  AllLayersOn(map);
  const ChartInput in{flight, doc, view, map};
  const QPolygon track = TrackPoints(in);
  if (track.size() != kMaxSamples) {
    state.SkipWithError("unexpected track points");
    return;
  }
  if (draw == Draw::RedrawWithoutDistance) map.showDistance = false;
  DrawTrackChart(window, in);  // the distances are found once for the redraws

  QImage& image = window.image();
  using Clock = std::chrono::steady_clock;
  std::chrono::duration<double> chartTime{}, floorTime{};
  for (auto _ : state) {
    if (draw == Draw::First) map.trackDistances.Clear();
    view.trackCursor = (view.trackCursor + 1) % kMaxSamples;  // as a cursor key does
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

BENCHMARK_CAPTURE(TrackChartBesideFloor, FirstDraw, Draw::First)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(TrackChartBesideFloor, Redraw, Draw::Redraw)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(TrackChartBesideFloor, RedrawWithoutDistance, Draw::RedrawWithoutDistance)
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
