#pragma once
// The one view: every chart and summary is drawn into its window, one at a time.
// It answers the keys, clicks, cursor and zoom commands and dispatches redraws to
// the chart of the current mode.

#include <string>

#include "navaid/halbrico_doc.h"
#include "platform/draw_context.h"
#include "platform/ui.h"
#include "platform/window.h"

namespace quarn {

enum class Key { Home, End, Left, Right, Up, Down, Add, Subtract, Other };

class CHalbricoView {
 public:
  CHalbricoView(Window& window, Ui& ui, CHalbricoDoc& doc) : window_(window), ui_(ui), doc_(doc) {}
  CHalbricoView(const CHalbricoView&) = delete;
  CHalbricoView& operator=(const CHalbricoView&) = delete;

  Window& window() { return window_; }
  Ui& ui() { return ui_; }
  CHalbricoDoc& doc() { return doc_; }

  // Distance in metres; leaves the initial bearing in lastBearing().
  double DistanceAndBearing(double lat1, double lon1, double lat2, double lon2);
  double lastBearing() const { return m_lastBearing; }

  // Runs a command of the view; false when the id is not one of the view's.
  bool OnCommand(int id);

  // The full redraw (paint, resize, keys) and the redraw after a click or zoom.
  void OnDraw();
  void RedrawForHandler();

  void OnKeyDown(Key key);
  void OnLButtonDown(int x, int y);
  void OnRButtonDown(int x, int y);
  void OnZoomIn();
  void OnZoomOut();
  void OnCursorLeft() { OnKeyDown(Key::Left); }
  void OnCursorRight() { OnKeyDown(Key::Right); }
  void OnBlankView();
  void OnSelectRecordFile();

  // The charts and reports, each also the handler of its command: each dispatches
  // to the routine of its folder.
  void DrawGraph(int mode);
  void DrawCombinedGraph();
  void DrawGeneralSummary();
  void DrawTakeoffLandingSummary();
  void DrawTrackChart();
  void DrawSideView();
  void DrawBottomView();
  void DrawApproachDebrief();
  void OnGenerateFlightText();
  void OnExportNavaids();
  void OnExportTrack();
  void OnEraseRadials();
  void OnLayerCommand(int id);

 private:
  // The drawing of the current mode, shared by both redraws.
  void DrawCurrentChart();
  void LimitCursorForMap(int height);
  // The track chart or the bottom view, when one of them is the current chart.
  void DrawMapChart();
  // Sets the track and graph windows around the cursors for a zoom level; false
  // (and nothing changed) when the client is too narrow to hold a time axis.
  bool ZoomWindowsTo(int level, int width);

  Window& window_;
  Ui& ui_;
  CHalbricoDoc& doc_;
  double m_lastBearing = 0;
};

}  // namespace quarn
