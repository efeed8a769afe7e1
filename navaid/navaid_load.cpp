#include "navaid/navaid_load.h"

#include <future>
#include <optional>

#include "base/format.h"
#include "navaid/fix_file.h"
#include "navaid/navaid_files.h"
#include "navaid/scenery_list.h"
#include "navaid/scenery_load.h"
#include "platform/file_services.h"

namespace quarn {

namespace {

// A source of today being read on another thread while the one before it is added:
// reading touches no table, and adding is most of the work of a world's files.
struct SourceReadAhead {
  std::size_t first = 0;
  std::size_t last = 0;  // OurAirports tables named one after another are one source
  std::future<SourceRead> read;
};

// The source at k read ahead; none for a BGL file.
std::optional<SourceReadAhead> ReadAhead(const std::vector<std::string>& paths, std::size_t k) {
  const NavaidFileKind kind = NavaidFileKindOf(paths[k]);
  if (!IsModernNavaidSource(kind)) return std::nullopt;
  std::size_t last = k;
  if (kind == NavaidFileKind::OurAirportsTable) {
    // Joined as one source: runways and frequencies need their airports.
    while (last + 1 < paths.size() &&
           NavaidFileKindOf(paths[last + 1]) == NavaidFileKind::OurAirportsTable) {
      ++last;
    }
  }
  std::vector<std::string> files(paths.begin() + static_cast<std::ptrdiff_t>(k),
                                 paths.begin() + static_cast<std::ptrdiff_t>(last) + 1);
  return SourceReadAhead{k, last, std::async(std::launch::async, [kind, files = std::move(files)] {
                           return kind == NavaidFileKind::OurAirportsTable
                                      ? ReadOurAirportsTables(files)
                                      : ReadNavaidSource(files.front(), kind);
                         })};
}

}  // namespace

void LoadNavaids(CHalbricoDoc& doc, const std::string& listPath, const std::string& dataDir,
                 Notices& notices) {
  LoadSceneryList(doc, listPath, dataDir, notices);
  if (doc.m_navaidsLoaded == 1) LoadFixes(doc, dataDir, notices);
}

void LoadSceneryList(CHalbricoDoc& doc, const std::string& listPath, const std::string& dataDir,
                     Notices& notices) {
  doc.ClearNavaids();
  // The index lists are emptied at once too: they must never name a record that is
  // gone, also when the list below cannot be read.
  doc.RebuildIndexLists();
  doc.m_navaidsLoaded = 0;
  const std::string listName = FileNameOf(listPath);
  const auto text = ReadWholeFile(listPath);
  if (!text) {
    notices.ShowMessage("Could not load scenery list from " + listName);
    return;
  }
  const int expected = ExpectedSceneryFiles(*text);
  const std::vector<std::string> paths = SceneryListPaths(*text);

  doc.m_bglIndex = 0;
  notices.SetWaitCursor(true);
  std::optional<SourceReadAhead> ahead;
  for (std::size_t k = 0; k < paths.size(); ++k) {
    const std::string& path = paths[k];
    if (doc.m_bglIndex >= kMaxBglFiles) {
      notices.ShowMessage(Format("%s names %d bgl files: only the first %d were loaded",
                                 listName.c_str(), static_cast<int>(paths.size()), kMaxBglFiles));
      break;
    }
    notices.SetStatusText(Format("Please wait: %3.0lf%s  of %6.0lf bgl files processed",
                                 doc.m_bglIndex * 100.0 / expected, "%",
                                 static_cast<double>(expected)));
    if (!ahead || ahead->first != k) ahead = ReadAhead(paths, k);
    if (ahead) {
      SourceReadAhead current = std::move(*ahead);
      ahead.reset();
      if (current.last + 1 < paths.size()) ahead = ReadAhead(paths, current.last + 1);
      LoadSourceRecords(doc, path, current.read.get(), notices);
      k = current.last;
      continue;
    }
    LoadSceneryFile(doc, path, dataDir, notices);
  }
  notices.SetTitle("Scenery List: " + listName);
  doc.m_currentBgl.clear();
  doc.RebuildIndexLists();
  doc.m_navaidsLoaded = 1;
  notices.SetWaitCursor(false);
}

void LoadFixes(CHalbricoDoc& doc, const std::string& dataDir, Notices& notices) {
  // Read-only: the fixes file is only read, and may be write-protected.
  const auto text = ReadWholeFile(JoinPath(dataDir, "quarn.fix"));
  // Without the file the navaids stay loaded, and the totals say so: the progress of
  // the list is never the last word in the status bar.
  if (!text) notices.ShowMessage("Could not load quarn.fix (fixes file)");
  const std::vector<FixEntry> fixes = text ? ParseFixes(*text) : std::vector<FixEntry>{};
  for (const auto& f : fixes) {
    doc.AddNavaid(NavaidKind::Fix, f.latitude, f.longitude, 0, 0, f.ident, f.ident, 0, 0, 0);
  }
  doc.RebuildIndexLists();
  const int fixCount = static_cast<int>(fixes.size());
  notices.SetStatusText(
      Format("%d Navaids and %d Fixes in memory", doc.m_navaidCount - fixCount, fixCount));
}

}  // namespace quarn
