#pragma once
// "Export Navaids": the navaid tables as text files.

#include <string>

#include "navaid/halbrico_doc.h"
#include "platform/ui.h"

namespace quarn {

// Writes Ndbs.txt, fixes.txt, Ilss.txt, Apts.txt, Vors.txt and Rwys.txt into
// outputDir, one comma-separated line per navaid; stops at the first file that
// cannot be written.
void ExportNavaids(Ui& ui, const CHalbricoDoc& doc, const std::string& outputDir);

// "N51.30.00" or "W000.15.00": degrees, minutes and seconds, each truncated.
std::string LatitudeText(double latitude);
std::string LongitudeText(double longitude);

// A course to whole degrees: down when the fraction is at most one half.
int RoundedCourse(double course);

}  // namespace quarn
