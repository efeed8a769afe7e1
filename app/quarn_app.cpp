#include "app/quarn_app.h"

#include "base/command_ids.h"
#include "base/program_dir.h"
#include "base/view_state.h"
#include "charts/map_state.h"
#include "navaid/navaid_load.h"
#include "navaid/scenery_group.h"
#include "record/report_clock.h"
#include "record/sample_table.h"

namespace quarn {

bool QuarnApp::ExecuteCommand(int id) {
  switch (id) {
    case ID_DEFINE_GROUP:
      OnDefineGroup(window_, ui_, doc_, ProgramDirectory());
      return true;
    case ID_LOAD_NAVAIDS:
      OnLoadNavaids(ui_, doc_, ProgramDirectory());
      return true;
    case ID_FILE_NEW:
      OnFileNew();
      return true;
    default:
      return view_.OnCommand(id);
  }
}

void QuarnApp::OnFileNew() {
  doc_.ui().SetTitle("Untitled");
  view_.OnDraw();
}

void ResetProgramState() {
  ResetSampleTable();
  ResetViewState();
  ResetMapState();
  ResetReportClock();
}

}  // namespace quarn
