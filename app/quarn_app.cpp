#include "app/quarn_app.h"

#include "base/command_ids.h"
#include "base/format.h"
#include "navaid/navaid_load.h"
#include "navaid/scenery_group.h"
#include "platform/file_services.h"

namespace quarn {
namespace {

// The group dialog until it names a group that has no list yet; nothing on Cancel.
std::optional<std::string> AskNewGroup(Ui& ui, const std::string& dataDir) {
  for (;;) {
    const auto entered = ui.AskGroupName(kUntitledGroup);
    if (!entered) return std::nullopt;
    const Result<std::string> name = NewGroupFileName(*entered, dataDir);
    if (name) return *name;
    ui.ShowMessage(name.error().message);
  }
}

// The directory dialog until it names a directory; nothing on Cancel.
std::optional<SearchDirAnswer> AskSearchDirectory(Ui& ui) {
  SearchDirAnswer shown;
  for (;;) {
    auto answer = ui.AskSearchDir(shown);
    if (!answer) return std::nullopt;
    if (IsDirectory(answer->directory)) return answer;
    ui.ShowMessage(Format("%s is not a valid directory", answer->directory.c_str()));
    shown = *answer;
  }
}

}  // namespace

bool QuarnApp::ExecuteCommand(int id) {
  switch (id) {
    case ID_DEFINE_GROUP:
      OnDefineGroup();
      return true;
    case ID_LOAD_NAVAIDS:
      OnLoadNavaids();
      return true;
    case ID_FILE_NEW:
      OnFileNew();
      return true;
    default:
      return view_.OnCommand(id);
  }
}

void QuarnApp::OnFileNew() {
  ui_.SetTitle("Untitled");
  view_.OnDraw();
}

void QuarnApp::OnDefineGroup() {
  const auto group = AskNewGroup(ui_, dataDir_);
  if (!group) return;
  doc_.m_groupFile = *group;
  window_.GetDC()->FillSolidRect(Rect{0, 0, window_.ClientWidth(), window_.ClientHeight()}, kWhite);
  view_.state().chartMode = kChartBlank;
  if (const auto where = AskSearchDirectory(ui_)) {
    DefineGroup(doc_, dataDir_, {where->directory, where->recurse, where->fs2000}, ui_);
  } else {
    doc_.m_navaidsLoaded = 0;
  }
  doc_.ClearNavaids();
  doc_.RebuildIndexLists();
}

void QuarnApp::OnLoadNavaids() {
  SetCurrentDirectory(dataDir_);
  OpenFileRequest request;
  request.filter = "Navaid Files (*.lis)|*.lis|All Files (*.*)|*.*||";
  const auto chosen = ui_.AskOpenFile(request);
  if (!chosen) return;
  LoadNavaids(doc_, *chosen, dataDir_, ui_);
}

}  // namespace quarn
