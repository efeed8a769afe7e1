#pragma once
// The program's objects and the routing of commands between them: the document
// takes the scenery-list commands, the view every other command of the program.

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"
#include "platform/window.h"
#include "view/halbrico_view.h"

namespace quarn {

class QuarnApp {
 public:
  QuarnApp(Window& window, Ui& ui) : window_(window), ui_(ui), doc_(ui), view_(window, ui, doc_) {}

  CHalbricoDoc& doc() { return doc_; }
  CHalbricoView& view() { return view_; }

  // Runs a command by id; false when no part of the program handles it here (the
  // shell's own commands: exit, about, tool and status bar, printing).
  bool ExecuteCommand(int id);

  // File > New: the document starts afresh (its tables are not touched) and the
  // view is drawn again.
  void OnFileNew();

 private:
  Window& window_;
  Ui& ui_;
  CHalbricoDoc doc_;
  CHalbricoView view_;
};

// Every process-wide variable back to its value at program start (tests).
void ResetProgramState();

}  // namespace quarn
