// Full redraws of the Altitude graph and of the combined graph, 50000 samples (a
// recorder's file at its fullest) and 1,000,000 (an imported track's) at 1920 x 1080, through the
// Qt drawing context onto an image; each beside its floor measured in the same run: a bare QPainter
// solid polyline of the same points on the same image (four of them for the combined graph's four
// traces).
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_graphs

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/flight.h"
#include "base/view_state.h"
#include "bench/image_window.h"
#include "platform/headless/headless_window.h"
#include "view/graphs.h"

namespace {

using namespace quarn;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// The view's window as a retained image.
class ImageWindow : public bench::ImageWindow {
 public:
  ImageWindow() : bench::ImageWindow(kWidth, kHeight) {}
};

enum class Data { Flight, Noise };

// A long flight at one sample a second: climb, cruise with light turbulence and
// turns, descent. Or, to leave the context nothing to merge, values that change at
// every sample.
struct Scene {
  Flight flight;
  ViewState view;
};

Scene FillSamples(Data data, int n) {
  Scene scene;
  std::mt19937 rng(42);
  std::normal_distribution<double> jitter(0, 1);
  scene.flight.samples.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    FlightSample& s = scene.flight.samples[static_cast<std::size_t>(i)];
    s.timeHours = 8 + i / 3600.0;
    if (data == Data::Flight) {
      const double climb = std::min(1.0, i / 1500.0);
      const double descent = std::min(1.0, std::max(0.0, (n - i) / 1800.0));
      s.altitudeFt = 35000 * std::min(climb, descent) + 15 * jitter(rng);
      s.iasKt = 140 + 150 * std::min(climb, descent) + 2 * jitter(rng);
      s.bankDeg = 25 * std::sin(i / 900.0) * (std::sin(i / 97.0) > 0.7 ? 1 : 0) + jitter(rng);
      s.verticalSpeedFpm = (i < 1500 ? 1400 : (n - i < 1800 ? -1200 : 0)) + 60 * jitter(rng);
    } else {
      s.altitudeFt = 20000 + 15000 * jitter(rng);
      s.iasKt = 250 + 80 * jitter(rng);
      s.bankDeg = 20 * jitter(rng);
      s.verticalSpeedFpm = 2000 * jitter(rng);
    }
  }
  ViewState& v = scene.view;
  v.windowFirst = v.trackFirst = 0;
  v.windowLast = v.trackLast = n - 1;
  v.firstTime = scene.flight.samples.front().timeHours;
  v.lastTime = scene.flight.samples.back().timeHours;
  v.cursorOffset = 600;
  scene.flight.recordPath = "bench.dat";
  scene.flight.channels = ChannelSet::AllRecorded();
  return scene;
}

void Draw(Window& window, const Scene& scene, bool combined) {
  if (combined) {
    DrawCombinedGraph(window, scene.flight, scene.view);
  } else {
    DrawGraph(window, scene.flight, scene.view, kChartAltitude);
  }
}

// The points of every trace the chart draws, as the drawing routine computes them:
// recorded once through the display list.
std::vector<QPolygon> TracePoints(const Scene& scene, bool combined) {
  FixedWidthMetrics metrics;
  HeadlessWindow window(kWidth, kHeight, metrics);
  Draw(window, scene, combined);
  std::vector<QPolygon> traces;
  Color current{};
  for (const DrawOp& op : window.displayList().ops()) {
    if (op.kind != DrawOp::Kind::Line || op.pen.style != PenStyle::Dot) continue;
    const Color c = op.pen.color;
    if (c == Color{0, 170, 85} || c == Color{255, 0, 0}) continue;  // grid, cursor
    if (traces.empty() || c != current) {
      traces.emplace_back();
      traces.back().append(QPoint(op.from.x, op.from.y));
      current = c;
    }
    traces.back().append(QPoint(op.to.x, op.to.y));
  }
  return traces;
}

// Each iteration times the chart's full redraw and then its floor, so that both
// see the same load on the machine; the ratio of the sums is reported.
void RedrawBesideFloor(benchmark::State& state, Data data, bool combined, int samples) {
  const Scene scene = FillSamples(data, samples);
  const std::vector<QPolygon> traces = TracePoints(scene, combined);
  if (traces.size() != (combined ? 4u : 1u) || traces[0].size() != samples) {
    state.SkipWithError("unexpected trace points");
    return;
  }
  ImageWindow window;
  QImage& floorImage = window.image();

  using Clock = std::chrono::steady_clock;
  std::chrono::duration<double> redrawTime{}, floorTime{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    Draw(window, scene, combined);
    benchmark::DoNotOptimize(window.image().constBits());
    const auto t1 = Clock::now();
    {
      QPainter painter(&floorImage);
      painter.setPen(QPen(QColor(0, 0, 255), 1));
      for (const QPolygon& trace : traces) painter.drawPolyline(trace);
    }
    benchmark::DoNotOptimize(floorImage.constBits());
    const auto t2 = Clock::now();
    redrawTime += t1 - t0;
    floorTime += t2 - t1;
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["redraw_ms"] = redrawTime.count() * 1000 / n;
  state.counters["floor_ms"] = floorTime.count() * 1000 / n;
  state.counters["ratio"] = redrawTime.count() / floorTime.count();
}

BENCHMARK_CAPTURE(RedrawBesideFloor, Altitude_flight, Data::Flight, false, kMaxSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(RedrawBesideFloor, Combined_flight, Data::Flight, true, kMaxSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(RedrawBesideFloor, Altitude_noise, Data::Noise, false, kMaxSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(RedrawBesideFloor, Combined_noise, Data::Noise, true, kMaxSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

BENCHMARK_CAPTURE(RedrawBesideFloor, Altitude_flight_1M, Data::Flight, false, kMaxImportedSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(RedrawBesideFloor, Combined_flight_1M, Data::Flight, true, kMaxImportedSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(RedrawBesideFloor, Altitude_noise_1M, Data::Noise, false, kMaxImportedSamples)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(RedrawBesideFloor, Combined_noise_1M, Data::Noise, true, kMaxImportedSamples)
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
