#include "view/halbrico_view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>

#include "base/command_ids.h"
#include "base/format.h"
#include "base/geodesy.h"
#include "charts/radials.h"
#include "charts/track_chart.h"
#include "navaid/navaid_export.h"
#include "platform/file_services.h"
#include "record/flight_alignment.h"
#include "record/flight_reader.h"
#include "record/flight_text_export.h"
#include "record/track_export.h"

namespace quarn {
namespace {

constexpr const char* kNoRecord = "Select a Aerolog File First%s\n";

bool IsLayerCommand(int id) {
  switch (id) {
    case ID_SHOW_VOR:
    case ID_SHOW_NDB:
    case ID_SHOW_FIX:
    case ID_SHOW_RUNWAY:
    case ID_SHOW_AIRPORT:
    case ID_SHOW_ID_FREQ:
    case ID_SELECT_ALL:
    case ID_SHOW_DISTANCE:
    case ID_SHOW_MARKERS:
    case ID_SHOW_RADIALS:
      return true;
    default:
      return false;
  }
}

}  // namespace

double CHalbricoView::DistanceAndBearing(double lat1, double lon1, double lat2, double lon2) {
  const auto r = quarn::DistanceAndBearing(lat1, lon1, lat2, lon2);
  m_lastBearing = r.bearingDeg;
  return r.metres;
}

bool CHalbricoView::OnCommand(int id) {
  if (const ChartEntry* chart = ChartOfCommand(id)) {
    ShowChart(*chart);
    return true;
  }
  if (IsLayerCommand(id)) {
    OnLayerCommand(id);
    return true;
  }
  switch (id) {
    case ID_SELECT_RECORD_FILE:
      OnSelectRecordFile();
      return true;
    case ID_GENERATE_FLIGHT_TEXT:
      OnGenerateFlightText();
      return true;
    case ID_EXPORT_NAVAIDS:
      OnExportNavaids();
      return true;
    case ID_ZOOM_IN:
      OnZoomIn();
      return true;
    case ID_ZOOM_OUT:
      OnZoomOut();
      return true;
    case ID_CURSOR_LEFT:
      OnCursorLeft();
      return true;
    case ID_CURSOR_RIGHT:
      OnCursorRight();
      return true;
    case ID_BLANK_VIEW:
      OnBlankView();
      return true;
    case ID_ERASE_RADIALS:
      OnEraseRadials();
      return true;
    case ID_EXPORT_TRACK:
      OnExportTrack();
      return true;
    case ID_COMPARE_WITH:
      OnCompareWith();
      return true;
    case ID_END_COMPARE:
      OnEndCompare();
      return true;
    default:
      return false;
  }
}

bool CHalbricoView::RecordSelected(const char* messageFormat) {
  const Flight& flight = doc_.flight();
  if (flight.selected()) return true;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  ui_.ShowMessage(Format(messageFormat, flight.recordPath.c_str()));
#pragma GCC diagnostic pop
  return false;
}

void CHalbricoView::ShowChart(const ChartEntry& chart) {
  if (!RecordSelected(chart.noRecordMessage)) return;
  const ChartOutcome outcome = chart.draw(window_, chartInput());
  if (outcome.drawn) {
    state_.chartMode = chart.mode;
  } else {
    ui_.ShowMessage(outcome.refusal);
  }
}

void CHalbricoView::LimitCursorForMap(int height) {
  if (state_.cursorOffset > height + 200) state_.cursorOffset = height + 200;
}

void CHalbricoView::DrawCurrentChart() {
  const ChartEntry* chart = ChartOfMode(state_.chartMode);
  if (chart == nullptr) return;  // blank: nothing is drawn
  if (chart->mapChart) LimitCursorForMap(window_.ClientHeight());
  ShowChart(*chart);
}

void CHalbricoView::OnDraw() {
  const int width = window_.ClientWidth();
  if (state_.cursorOffset > width - 50) state_.cursorOffset = width - 50;
  if (state_.cursorOffset < 0) state_.cursorOffset = 0;
  DrawCurrentChart();
}

// A click or a zoom leaves the side view and the take-off summary as they are on
// screen until the next full redraw.
void CHalbricoView::RedrawForHandler() {
  const ChartEntry* chart = ChartOfMode(state_.chartMode);
  if (chart != nullptr && !chart->redrawnByHandlers) return;
  DrawCurrentChart();
}

void CHalbricoView::OnKeyDown(Key key) {
  ViewState& v = state_;
  const int usable = window_.ClientWidth() - 100;
  switch (key) {
    case Key::Home:
      v.trackCursor = v.trackFirst;
      v.cursorOffset = 0;
      break;
    case Key::End:
      v.trackCursor = v.trackLast;
      v.cursorOffset = usable;
      break;
    case Key::Left:
      if (v.trackCursor > v.trackFirst) --v.trackCursor;
      if (v.cursorOffset > 0) --v.cursorOffset;
      break;
    case Key::Right:
      if (v.trackCursor < v.trackLast) ++v.trackCursor;
      if (v.cursorOffset < usable) ++v.cursorOffset;
      break;
    case Key::Add:
      v.trackCursor = v.trackCursor < v.trackLast - 10 ? v.trackCursor + 10 : v.trackLast;
      v.cursorOffset = v.cursorOffset < usable - 10 ? v.cursorOffset + 10 : usable - 1;
      break;
    case Key::Subtract:
      v.trackCursor = v.trackCursor > v.trackFirst + 10 ? v.trackCursor - 10 : v.trackFirst;
      v.cursorOffset = v.cursorOffset > 10 ? v.cursorOffset - 10 : 0;
      break;
    default:
      return;  // other keys change nothing and draw nothing
  }
  OnDraw();
}

void CHalbricoView::OnLButtonDown(int x, int y) {
  const int width = window_.ClientWidth();
  const int height = window_.ClientHeight();
  const MapPosition pos = ClientPointToMap(map_, x, y, height);

  // The nearest sample over the whole flight; the earliest of equally near ones wins.
  const Flight& flight = doc_.flight();
  double best = 10000000;
  int nearest = 0;
  for (int i = 0; i < flight.sampleCount(); ++i) {
    const FlightSample& s = flight.samples[static_cast<std::size_t>(i)];
    const double dLat = pos.latitude - s.latitudeDeg;
    const double dLon = pos.longitude - s.longitudeDeg;
    const double d = std::sqrt(dLat * dLat + dLon * dLon);
    if (d < best) {
      best = d;
      nearest = i;
    }
  }

  if (x < 50) {
    state_.cursorOffset = 0;
  } else if (x <= width - 50) {
    state_.cursorOffset = x - 50;
  } else {
    state_.cursorOffset = width - 50;
  }
  state_.trackCursor = nearest;
  RedrawForHandler();
}

bool CHalbricoView::ZoomWindowsTo(int level, int width) {
  const std::int64_t usable = width - 100;
  // A client exactly 100 pixels wide has no time axis to place a cursor on.
  if (usable == 0 || level <= 0) return false;

  ViewState& v = state_;
  const Flight& flight = doc_.flight();
  const int last = flight.lastSampleIndex();
  const int h = 500 / level;
  v.trackFirst = std::max(0, v.trackCursor - h);
  v.trackLast = std::min(last, v.trackCursor + h);

  const std::int64_t span = static_cast<std::int64_t>(v.windowLast) - v.windowFirst;
  const int centre = static_cast<int>(v.windowFirst + (span * v.cursorOffset) / usable);

  const int f = 1000 / level;
  v.windowFirst = std::max(0, centre - f);
  v.windowLast = std::min(last, centre + f);
  v.firstTime = flight.SampleAt(v.windowFirst).timeHours;
  v.lastTime = flight.SampleAt(v.windowLast).timeHours;

  // Keep the cursor on the centre sample. A window of one sample puts it at the
  // left end of the axis, where the graphs draw such a window.
  const std::int64_t newSpan = static_cast<std::int64_t>(v.windowLast) - v.windowFirst;
  v.cursorOffset =
      newSpan != 0 ? static_cast<int>((usable * (centre - v.windowFirst)) / newSpan) : 0;
  return true;
}

void CHalbricoView::OnZoomIn() {
  const int level = state_.zoomLevel;
  if (level >= kMaxZoomLevel) return;
  if (!ZoomWindowsTo(level, window_.ClientWidth())) return;
  state_.zoomLevel = level + 1;
  RedrawForHandler();
}

void CHalbricoView::OnZoomOut() {
  const int level = state_.zoomLevel;
  if (level > kMaxZoomLevel || level < 2) {
    const Flight& flight = doc_.flight();
    ViewState& v = state_;
    v.windowFirst = v.trackFirst = 0;
    v.windowLast = v.trackLast = flight.lastSampleIndex();
    v.firstTime = flight.SampleAt(0).timeHours;
    v.lastTime = flight.SampleAt(flight.lastSampleIndex()).timeHours;
    v.zoomLevel = 1;
    RedrawForHandler();
    return;
  }
  // The window takes the half-width of the level it returns to.
  if (!ZoomWindowsTo(level - 1, window_.ClientWidth())) return;
  state_.zoomLevel = level - 1;
  RedrawForHandler();
}

void CHalbricoView::OnBlankView() {
  auto dc = window_.GetDC();
  dc->FillSolidRect(Rect{0, 0, window_.ClientWidth(), window_.ClientHeight()}, kWhite);
  state_.chartMode = kChartBlank;
}

void CHalbricoView::OnSelectRecordFile() {
  SelectRecord(std::nullopt);
}

bool CHalbricoView::OpenRecordFile(const std::string& path) {
  return SelectRecord(path);
}

Result<LoadedFlight> CHalbricoView::ReadRecord(const std::string& path) {
  Result<LoadedFlight> read = ReadFlight(path);
  if (read) return read;
  const std::vector<std::string> columns = UnmappedColumns(path);
  if (columns.empty()) return read;
  // Columns the reader does not know by name: the map that read this header before,
  // else the user's, asked again after each map that does not read the file.
  ColumnMapRequest request{FileNameOf(path), read.error().message, columns,
                           ui_.RememberedColumnMap(columns)};
  if (!request.map.empty()) {
    if (auto mapped = ReadFlight(path, ReadOptions{request.map})) return mapped;
  }
  while (const std::optional<std::string> map = ui_.AskColumnMap(request)) {
    read = ReadFlight(path, ReadOptions{*map});
    if (read) {
      ui_.RememberColumnMap(columns, *map);
      return read;
    }
    request.problem = read.error().message;
    request.map = *map;
  }
  return read;
}

bool CHalbricoView::SelectRecord(const std::optional<std::string>& chosen) {
  doc_.m_navaidsLoaded = 0;
  {
    auto dc = window_.GetDC();
    // The exports land in the current directory: a failure to make the data directory
    // current is said at once rather than found later in the wrong place.
    if (!SetCurrentDirectory(dataDir_)) {
      ui_.ShowMessage(Format("Can\u00b4t change to directory %s", dataDir_.c_str()));
    }
    dc->FillSolidRect(Rect{0, 0, window_.ClientWidth(), window_.ClientHeight()}, kWhite);
  }

  std::optional<std::string> path = chosen;
  if (!path) {
    OpenFileRequest request;
    request.filter = FlightFileFilter();
    request.defaultExtension = "NULL";
    path = ui_.AskOpenFile(request);
  }
  if (!path) return false;

  state_.chartMode = kChartBlank;
  state_.cursorOffset = 0;

  Result<LoadedFlight> read = ReadRecord(*path);
  if (!read) {
    // The former flight stays loaded, and so does the path that names it.
    ui_.ShowMessage(read.error().message);
    return false;
  }
  doc_.SetFlight(std::move(read->flight));
  RememberCompareOffset();
  const Flight& flight = doc_.flight();
  const int count = flight.sampleCount();
  ViewState& v = state_;
  v.zoomLevel = 1;
  v.windowFirst = v.trackFirst = 0;
  v.windowLast = v.trackLast = count - 1;
  // The axis takes the new flight's ends; an empty flight has none, and nothing of
  // the one before may stay on it.
  v.firstTime = flight.SampleAt(0).timeHours;
  v.lastTime = flight.SampleAt(count - 1).timeHours;
  // The track cursor keeps its place, but never past the new flight's last sample.
  v.trackCursor = std::clamp(v.trackCursor, 0, std::max(0, count - 1));
  ui_.SetStatusText(Format("%d Points (lat,lon) in memory", count));
  for (const std::string& note : read->notes) ui_.ShowMessage(note);
  if (recordOpened_) recordOpened_(flight.recordPath);
  OnDraw();
  return true;
}

void CHalbricoView::OnRButtonDown(int x, int y) {
  if (state_.chartMode != kChartTrack && state_.chartMode != kChartBottomView) return;
  if (doc_.m_navaidsLoaded != 1) {
    ui_.ShowMessage(kRadialNeedsNavaids);
    return;
  }
  const MapPosition pos = ClientPointToMap(map_, x, y, window_.ClientHeight());
  if (const auto vor = VorNearClick(doc_, pos)) {
    if (const auto problem = RadialListProblem(map_)) {
      ui_.ShowMessage(*problem);
      return;
    }
    const NavaidRecord& record = doc_.m_navaids[static_cast<std::size_t>(*vor)];
    const int radial = AskRadialOf(record);
    if (radial == 0) return;  // cancelled: the chart stays as it is
    AddRadial(map_, record, radial);
  }
  // A click near no VOR only draws the chart again.
  DrawCurrentChart();
}

int CHalbricoView::AskRadialOf(const NavaidRecord& vor) {
  RadialDialogFields fields{TrimTrailingBlanks(vor.Name()), TrimTrailingBlanks(vor.Ident()),
                            std::string()};
  for (;;) {
    const auto text = ui_.AskRadial(fields);
    if (!text) return 0;
    const Result<int> radial = ParseRadialText(*text);
    if (radial) return *radial;
    ui_.ShowMessage(radial.error().message);
    fields.radial = *text;  // the dialog comes back with the typed text
  }
}

void CHalbricoView::OnEraseRadials() {
  EraseRadials(map_);
  DrawMapChart();
}

void CHalbricoView::OnLayerCommand(int id) {
  if (!ApplyLayerCommand(map_, state_.chartMode, id)) return;
  if (state_.chartMode == kChartSideView) {
    DrawCurrentChart();
  } else {
    DrawMapChart();
  }
}

void CHalbricoView::DrawMapChart() {
  const ChartEntry* chart = ChartOfMode(state_.chartMode);
  if (chart != nullptr && chart->mapChart) ShowChart(*chart);
}

// The exports write into the current directory.
void CHalbricoView::OnGenerateFlightText() {
  if (!RecordSelected(kNoRecord)) return;
  const std::string dir = CurrentDirectory();
  const std::vector<std::string> errors = GenerateFlightText(doc_.flight(), dir, clock_());
  for (const std::string& e : errors) ui_.ShowMessage(e);
  // The reminder only once both files are in place.
  if (!errors.empty()) return;
  ui_.ShowMessage("Don\u00b4t forget to analice the file warning.txt!!!");
  ShowWritten({JoinPath(dir, "flight.txt"), JoinPath(dir, "warning.txt")});
}

void CHalbricoView::ShowWritten(const std::vector<std::string>& paths) {
  std::string text = "Written:";
  for (std::size_t i = 0; i < paths.size(); ++i) text += (i == 0 ? " " : ", ") + paths[i];
  ui_.SetStatusText(text);
}

void CHalbricoView::OnExportTrack() {
  if (!RecordSelected(kNoRecord)) return;
  SaveFileRequest request;
  request.filter = "GPX track (*.gpx)|*.gpx|KML for globes (*.kml)|*.kml||";
  request.defaultExtension = "gpx";
  const auto target = ui_.AskSaveFile(request);
  if (!target) return;
  const std::string error = ExportTrack(doc_.flight(), *target);
  if (!error.empty()) {
    ui_.ShowMessage(error, MessageKind::Warning);
    return;
  }
  ShowWritten({*target});
}

void CHalbricoView::OnCompareWith() {
  if (!RecordSelected(kNoRecord)) return;
  OpenFileRequest request;
  request.filter = FlightFileFilter();
  request.defaultExtension = "NULL";
  const auto path = ui_.AskOpenFile(request);
  if (!path) return;
  const auto named =
      ui_.AskCompareAlignment(std::string(CompareAlignmentName(doc_.compareAlignment())));
  if (!named) return;
  CompareWith(*path, ParseCompareAlignment(*named).value_or(doc_.compareAlignment()));
}

bool CHalbricoView::CompareWith(const std::string& path, CompareAlignment alignment) {
  if (!RecordSelected(kNoRecord)) return false;
  Result<LoadedFlight> read = ReadRecord(path);
  if (!read) {
    // Whatever was compared before stays.
    ui_.ShowMessage(read.error().message);
    return false;
  }
  for (const std::string& note : read->notes) ui_.ShowMessage(note);
  doc_.SetComparedFlight(std::move(read->flight), alignment);
  RememberCompareOffset();
  ui_.SetStatusText(Format("Compared with %s, aligned at the %s",
                           doc_.comparedFlight()->recordPath.c_str(),
                           std::string(CompareAlignmentName(alignment)).c_str()));
  OnDraw();
  return true;
}

void CHalbricoView::RememberCompareOffset() {
  if (const Flight* compared = doc_.comparedFlight()) {
    doc_.m_compareOffsetHours =
        AlignmentOffsetHours(doc_.flight(), *compared, doc_.compareAlignment());
  }
}

void CHalbricoView::OnEndCompare() {
  if (doc_.comparedFlight() == nullptr) return;
  doc_.EndCompare();
  OnDraw();
}

void CHalbricoView::OnExportNavaids() {
  if (doc_.m_navaidsLoaded != 1) {
    ui_.ShowMessage("Please Load Navaids First\n");
    return;
  }
  const std::string dir = CurrentDirectory();
  const Status written = ExportNavaids(doc_, dir);
  ui_.ShowMessage(written ? kNavaidExportDone : written.error);
  if (!written) return;
  std::vector<std::string> paths;
  for (const std::string& name : NavaidExportFileNames()) paths.push_back(JoinPath(dir, name));
  ShowWritten(paths);
}

}  // namespace quarn
