#include "navaid/scenery_load.h"

#include "base/format.h"
#include "platform/file_services.h"
#include "platform/file_writer.h"

namespace quarn {

void ShowParseProblem(const BglParseResult& found, Notices& notices) {
  if (!found.problem.empty()) notices.ShowMessage(found.problem, found.problemKind);
}

void LoadSceneryFile(CHalbricoDoc& doc, const std::string& path, const std::string& dataDir,
                     Notices& notices) {
  doc.m_probing = 0;
  doc.m_currentBgl = path;
  if (doc.m_bglIndex >= 0 && doc.m_bglIndex < kMaxBglFiles) {
    doc.m_bglNames[static_cast<std::size_t>(doc.m_bglIndex)] = path;
  }
  const BglParseResult found = doc.ParseBgl(path);
  ShowParseProblem(found, notices);
  if (!found.magVarFile.empty()) WriteMagVarFile(notices, dataDir, found.magVarFile);
  ++doc.m_bglIndex;
  doc.m_currentBgl.clear();
}

bool WriteMagVarFile(Notices& notices, const std::string& dataDir,
                     std::span<const std::uint8_t> bytes) {
  const std::string path = JoinPath(dataDir, "magvar.nav");
  if (ReplaceFileContents(path, bytes)) return true;
  notices.ShowMessage(Format("Can\u00b4t write %s", path.c_str()));
  return false;
}

}  // namespace quarn
