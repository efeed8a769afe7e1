#include "record/record_check.h"

#include "base/format.h"
#include "record/sample_table.h"

namespace quarn {

bool RecordSelected(Ui& ui, const char* messageFormat) {
  if (!g_recordPath.empty()) return true;
  ui.ShowMessage(Format(messageFormat, g_recordPath.c_str()));
  return false;
}

}  // namespace quarn
