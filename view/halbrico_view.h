#pragma once
// The one view: every chart and summary is drawn into its window, one at a time.
// It answers the keys, clicks, cursor and zoom commands and dispatches redraws to
// the chart of the current mode.

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/compare_alignment.h"
#include "base/view_state.h"
#include "charts/chart_input.h"
#include "charts/map_state.h"
#include "navaid/halbrico_doc.h"
#include "platform/draw_context.h"
#include "platform/ui.h"
#include "platform/window.h"
#include "record/flight_reader.h"
#include "view/chart_table.h"

namespace quarn {

enum class Key { Home, End, Left, Right, Up, Down, Add, Subtract, Other };

class CHalbricoView {
 public:
  // dataDir: the program's directory, made current when a record is selected.
  CHalbricoView(Window& window, Ui& ui, CHalbricoDoc& doc, std::string dataDir)
      : window_(window), ui_(ui), doc_(doc), dataDir_(std::move(dataDir)) {}
  CHalbricoView(const CHalbricoView&) = delete;
  CHalbricoView& operator=(const CHalbricoView&) = delete;

  Window& window() { return window_; }
  Ui& ui() { return ui_; }
  CHalbricoDoc& doc() { return doc_; }
  // The chart state: the mode, windows, cursors and zoom; the map's layers, extents
  // and radials. Both are the view's own.
  ViewState& state() { return state_; }
  const ViewState& state() const { return state_; }
  MapState& mapState() { return map_; }
  const MapState& mapState() const { return map_; }
  // What the charts are drawn from now.
  ChartInput chartInput() { return ChartInput{doc_.flight(), doc_, state_, map_}; }

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
  // "Select a Aerolog File": the Open dialog, then the record.
  void OnSelectRecordFile();
  // A record chosen elsewhere (the recent files, a file dropped on the window, the
  // command line), opened as the Open dialog would have chosen it. True when loaded.
  bool OpenRecordFile(const std::string& path);
  // Called with the path of every record loaded, however it was chosen.
  void SetRecordOpenedHandler(std::function<void(const std::string&)> handler) {
    recordOpened_ = std::move(handler);
  }
  // The clock that dates the analysis of "File Flight.txt"; the system's by default.
  void SetClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }

  // A chart of the table as its command shows it: refused with the chart's message
  // while no record is selected; the mode set once the chart has drawn.
  void ShowChart(const ChartEntry& chart);
  void OnGenerateFlightText();
  void OnExportNavaids();
  void OnExportTrack();
  // "Compare With...": the Open dialog, then the flight to draw beside the current one.
  void OnCompareWith();
  // The flight at path drawn beside the current one, replacing any compared before,
  // the charts drawn again; a file that cannot be read is said and changes nothing.
  // True when it was read.
  bool CompareWith(const std::string& path, CompareAlignment alignment = kDefaultCompareAlignment);
  // "End Compare": the charts show the current flight alone again.
  void OnEndCompare();
  void OnEraseRadials();
  void OnLayerCommand(int id);

 private:
  // The drawing of the current mode, shared by both redraws.
  void DrawCurrentChart();
  void LimitCursorForMap(int height);
  // The track chart or the bottom view, when one of them is the current chart.
  void DrawMapChart();
  // Shows the message of a command that needs a record when none is selected.
  bool RecordSelected(const char* messageFormat);
  // Asks for the radial of the VOR a right click found until one is valid; 0 when
  // cancelled.
  int AskRadialOf(const NavaidRecord& vor);
  // Says in the status bar where an export's files were written.
  void ShowWritten(const std::vector<std::string>& paths);
  // The record selection, from the Open dialog when no path is given.
  bool SelectRecord(const std::optional<std::string>& chosen);
  // The record at path; a delimited file of columns not known by name is read with a
  // column map, remembered or asked for.
  Result<LoadedFlight> ReadRecord(const std::string& path);
  // Finds and keeps in the document the offset of the compared flight, if any.
  void RememberCompareOffset();
  // Sets the track and graph windows around the cursors for a zoom level; false
  // (and nothing changed) when the client is too narrow to hold a time axis.
  bool ZoomWindowsTo(int level, int width);

  Window& window_;
  Ui& ui_;
  CHalbricoDoc& doc_;
  std::string dataDir_;
  ViewState state_;
  MapState map_;
  std::function<void(const std::string&)> recordOpened_;
  std::function<std::time_t()> clock_ = [] { return std::time(nullptr); };
  double m_lastBearing = 0;
};

}  // namespace quarn
