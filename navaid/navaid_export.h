#pragma once
// "Export Navaids": the navaid tables as text files.

#include <string>
#include <vector>

#include "base/result.h"
#include "navaid/halbrico_doc.h"

namespace quarn {

// The message shown when all six files are written.
inline constexpr const char* kNavaidExportDone =
    "Quarn has created the following files sucessfully!:    \nNdbs.txt    Vors.txt\nFixes.txt    "
    "Apts.txt\nIlss.txt       Rwys.txt";

// Writes Ndbs.txt, fixes.txt, Ilss.txt, Apts.txt, Vors.txt and Rwys.txt into
// outputDir, one comma-separated line per navaid; stops at the first file that
// cannot be written, and says which.
Status ExportNavaids(const CHalbricoDoc& doc, const std::string& outputDir);

// The six files' names, in the order they are written.
std::vector<std::string> NavaidExportFileNames();

// "N51.30.00" or "W000.15.00": degrees, minutes and seconds, each truncated.
std::string LatitudeText(double latitude);
std::string LongitudeText(double longitude);

// A course to whole degrees: down when the fraction is at most one half.
int RoundedCourse(double course);

}  // namespace quarn
