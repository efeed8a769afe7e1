#include "navaid/scenery_load.h"

#include "base/format.h"
#include "navaid/navaid_files.h"
#include "navaid/sourced_load.h"
#include "platform/file_services.h"
#include "platform/file_writer.h"

namespace quarn {

void ShowParseProblem(const BglParseResult& found, Notices& notices) {
  if (!found.problem.empty()) notices.ShowMessage(found.problem, found.problemKind);
}

void LoadSourceRecords(CHalbricoDoc& doc, const std::string& path, const SourceRead& read,
                       Notices& notices) {
  doc.m_probing = 0;
  if (doc.m_bglIndex >= 0 && doc.m_bglIndex < kMaxBglFiles) {
    doc.m_bglNames[static_cast<std::size_t>(doc.m_bglIndex)] = path;
  }
  AddSourcedNavaids(doc, read.records);
  // One message for a source's problems: a world's file may have many bad rows.
  if (!read.problems.empty()) {
    const std::size_t n = read.problems.size();
    notices.ShowMessage(n == 1 ? read.problems.front()
                               : Format("%zu problems reading %s; the first: %s", n,
                                        FileNameOf(path).c_str(), read.problems.front().c_str()));
  }
  ++doc.m_bglIndex;
}

void LoadSceneryFile(CHalbricoDoc& doc, const std::string& path, const std::string& dataDir,
                     Notices& notices) {
  if (const NavaidFileKind kind = NavaidFileKindOf(path); IsModernNavaidSource(kind)) {
    LoadSourceRecords(doc, path, ReadNavaidSource(path, kind), notices);
    return;
  }
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
