#pragma once
// The program's objects and the routing of commands between them: the document
// takes the scenery-list commands, the view every other command of the program.

#include <string>

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"
#include "platform/window.h"
#include "view/halbrico_view.h"

namespace quarn {

class QuarnApp {
 public:
  // dataDir: the program's directory (scenery lists, quarn.fix, magvar.nav).
  QuarnApp(Window& window, Ui& ui, std::string dataDir)
      : window_(window), ui_(ui), dataDir_(std::move(dataDir)), view_(window, ui, doc_, dataDir_) {}

  CHalbricoDoc& doc() { return doc_; }
  CHalbricoView& view() { return view_; }
  const std::string& dataDir() const { return dataDir_; }

  // Runs a command by id; false when no part of the program handles it here (the
  // shell's own commands: exit, about, tool and status bar, printing).
  bool ExecuteCommand(int id);

  // File > New: the document starts afresh (its tables are not touched) and the
  // view is drawn again.
  void OnFileNew();
  // "Define Group of BGL files": asks for the group's name and the folder to search,
  // then builds the list.
  void OnDefineGroup();
  // "Load Navaids": asks for a scenery list, then loads it and the fixes.
  void OnLoadNavaids();

 private:
  Window& window_;
  Ui& ui_;
  std::string dataDir_;
  CHalbricoDoc doc_;
  CHalbricoView view_;
};

}  // namespace quarn
