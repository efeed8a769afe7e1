#pragma once
// A track chart on a recording window: a flight made of positions, navaids added to
// the document, the chart state of a fresh view, and filters over what was drawn.
//
// The client is 1000 x 600, so the map square is 500 pixels. The default track spans
// 50.0 .. 50.5 N and 4.0 .. 5.0 E: the longitude span (1 degree) is the map's, and a
// position projects to x = 200 + 500 (lon - 4), y = 550 - 500 (lat - 50). Positions in
// quarter degrees keep these sums exact.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/flight.h"
#include "base/view_state.h"
#include "charts/chart_input.h"
#include "charts/map_state.h"
#include "charts/track_chart.h"
#include "navaid/halbrico_doc.h"
#include "platform/headless/headless_window.h"
#include "platform/text_metrics.h"
#include "support/recording_ui.h"

namespace quarn::testing {

inline constexpr int kMapW = 1000;
inline constexpr int kMapH = 600;

struct LatLon {
  double lat;
  double lon;
};

// A flight of one sample a second at the positions, as a record would load.
inline Flight TrackFlight(const std::vector<LatLon>& points) {
  Flight f;
  f.recordPath = "/records/map.dat";
  f.channels = ChannelSet::AllRecorded();
  for (std::size_t i = 0; i < points.size(); ++i) {
    FlightSample s;
    s.latitudeDeg = points[i].lat;
    s.longitudeDeg = points[i].lon;
    s.timeHours = 10 + static_cast<double>(i) / 3600;
    f.samples.push_back(s);
  }
  return f;
}

// The view state a load leaves: both windows are the whole flight.
inline ViewState WholeFlightState(const Flight& f) {
  ViewState v;
  v.windowLast = v.trackLast = f.lastSampleIndex();
  return v;
}

class MapTest : public ::testing::Test {
 protected:
  void SetUp() override { SetTrack({{50, 4}, {50.25, 4.5}, {50.5, 5}}); }

  // The positions as the loaded flight; the windows cover it, the cursors stay.
  void SetTrack(const std::vector<LatLon>& points) {
    flight = TrackFlight(points);
    state.windowFirst = state.trackFirst = 0;
    state.windowLast = state.trackLast = flight.lastSampleIndex();
  }
  ChartInput Input() { return ChartInput{flight, doc, state, mapState}; }
  // The chart state of a view that has just started.
  void ResetView() {
    state = ViewState{};
    mapState = MapState{};
  }

  int AddNavaid(NavaidKind kind, LatLon at, double frequency = 0, const char* ident = "",
                const char* name = "", double magVar = 0, double course = 0, double extra = 0) {
    doc.AddNavaid(kind, at.lat, at.lon, 0, frequency, ident, name, magVar, course, extra);
    doc.RebuildIndexLists();
    return doc.m_navaidCount - 1;
  }

  void Draw() { DrawTrackChart(window, Input()); }
  const std::vector<DrawOp>& Ops() const { return window.displayList().ops(); }

  std::vector<DrawOp> OpsOf(DrawOp::Kind kind) const {
    std::vector<DrawOp> out;
    for (const DrawOp& op : Ops()) {
      if (op.kind == kind) out.push_back(op);
    }
    return out;
  }
  std::vector<DrawOp> LinesWith(const Pen& pen) const {
    std::vector<DrawOp> out;
    for (const DrawOp& op : OpsOf(DrawOp::Kind::Line)) {
      if (op.pen == pen) out.push_back(op);
    }
    return out;
  }
  std::vector<DrawOp> TextsIn(Color color) const {
    std::vector<DrawOp> out;
    for (const DrawOp& op : OpsOf(DrawOp::Kind::Text)) {
      if (op.color == color) out.push_back(op);
    }
    return out;
  }
  const DrawOp* FindText(const std::string& text) const {
    for (const DrawOp& op : Ops()) {
      if (op.kind == DrawOp::Kind::Text && op.text == text) return &op;
    }
    return nullptr;
  }

  FixedWidthMetrics metrics;  // 5 pixels a character in the 11-pixel font
  HeadlessWindow window{kMapW, kMapH, metrics};
  RecordingUi ui;
  CHalbricoDoc doc;
  Flight flight;
  ViewState state;
  MapState mapState;
};

}  // namespace quarn::testing
