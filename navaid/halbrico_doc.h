#pragma once
// The document: owner of the navaid database and of the scenery-list state.

#include <cstdint>

#include "platform/ui.h"

namespace quarn {

class CHalbricoDoc {
 public:
  explicit CHalbricoDoc(Ui& ui) : ui_(ui) {}
  CHalbricoDoc(const CHalbricoDoc&) = delete;
  CHalbricoDoc& operator=(const CHalbricoDoc&) = delete;

  Ui& ui() { return ui_; }

  // Commands the document handles.
  void OnDefineGroup();
  void OnLoadNavaids();

  // 1 after a successful navaid load; cleared by defining a group and by selecting
  // a flight record.
  std::int32_t m_navaidsLoaded = 0;

 private:
  Ui& ui_;
};

}  // namespace quarn
