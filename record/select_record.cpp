#include <cstdio>

#include "app/format.h"
#include "app/program_dir.h"
#include "platform/file_services.h"
#include "record/record_loader.h"
#include "record/sample_table.h"
#include "view/halbrico_view.h"
#include "view/view_state.h"

namespace quarn {

void CHalbricoView::OnSelectRecordFile() {
  doc_.m_navaidsLoaded = 0;
  auto dc = window_.GetDC();
  SetCurrentDirectory(ProgramDirectory());
  dc->FillSolidRect(Rect{0, 0, window_.ClientWidth(), window_.ClientHeight()}, kWhite);

  OpenFileRequest request;
  request.filter = "Aerolog Files (*.dat)|*.dat|All Files (*.*)|*.*||";
  request.defaultExtension = "NULL";
  const auto path = ui_.AskOpenFile(request);
  if (!path) return;

  g_chartMode = kChartBlank;
  g_cursorOffset = 0;

  std::FILE* file = OpenRecordFile(*path);
  if (file == nullptr) {
    // The former record stays loaded, and so does the path that names it.
    ui_.ShowMessage(Format("Can\u00b4t open file %s\n", path->c_str()));
    return;
  }
  g_recordPath = *path;

  FileRecordSource source(file);
  const LoadOutcome outcome = LoadSamples(source);
  const int count = outcome.stored;
  g_zoomLevel = 1;
  g_lastSampleIndex = count - 1;
  g_windowFirst = g_trackFirst = 0;
  g_windowLast = g_trackLast = count - 1;
  std::fclose(file);

  ui_.SetStatusText(Format("%d Points (lat,lon) in memory", count));
  if (outcome.truncated) {
    ui_.ShowMessage(Format("%s holds more than %d records: only the first %d were loaded.",
                           path->c_str(), kMaxSamples, kMaxSamples));
  }
  dc.reset();
  OnDraw();
}

}  // namespace quarn
