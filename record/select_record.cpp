#include "record/select_record.h"

#include <cstdio>

#include "base/format.h"
#include "base/view_state.h"
#include "platform/file_services.h"
#include "record/record_loader.h"
#include "record/sample_table.h"

namespace quarn {

bool SelectRecordFile(Window& window, Ui& ui, const std::string& programDir) {
  auto dc = window.GetDC();
  // The exports land in the current directory: a failure to make the data directory
  // current is said at once rather than found later in the wrong place.
  if (!SetCurrentDirectory(programDir)) {
    ui.ShowMessage(Format("Can\u00b4t change to directory %s", programDir.c_str()));
  }
  dc->FillSolidRect(Rect{0, 0, window.ClientWidth(), window.ClientHeight()}, kWhite);

  OpenFileRequest request;
  request.filter = "Aerolog Files (*.dat)|*.dat|All Files (*.*)|*.*||";
  request.defaultExtension = "NULL";
  const auto path = ui.AskOpenFile(request);
  if (!path) return false;

  g_chartMode = kChartBlank;
  g_cursorOffset = 0;

  std::FILE* file = OpenRecordFile(*path);
  if (file == nullptr) {
    // The former record stays loaded, and so does the path that names it.
    ui.ShowMessage(Format("Can\u00b4t open file %s\n", path->c_str()));
    return false;
  }
  g_recordPath = *path;

  FileRecordSource source(file);
  const LoadOutcome outcome = LoadSamples(source);
  const int count = outcome.stored;
  g_zoomLevel = 1;
  g_lastSampleIndex = count - 1;
  g_windowFirst = g_trackFirst = 0;
  g_windowLast = g_trackLast = count - 1;
  const bool readFailed = source.Failed();
  std::fclose(file);

  ui.SetStatusText(Format("%d Points (lat,lon) in memory", count));
  // A read error ends the record early: the samples before it stay, and the user
  // learns that the rest is missing.
  if (readFailed) ui.ShowMessage(Format("Can\u00b4t read %s", path->c_str()));
  if (outcome.truncated) {
    ui.ShowMessage(Format("%s holds more than %d records: only the first %d were loaded.",
                          path->c_str(), kMaxSamples, kMaxSamples));
  }
  return true;
}

}  // namespace quarn
