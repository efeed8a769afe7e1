#pragma once
// A document of display lists, one a page, written as a vector PDF on A4 landscape
// sheets with a header line on each page.

#include <functional>
#include <string>
#include <vector>

#include "platform/display_list.h"

namespace quarn {

struct PdfPage {
  std::string title;                  // in the header line, after the document's name
  const DisplayList* list = nullptr;  // scaled to fit below the header
};

// Told after each page: pages done, pages in all. False cancels the writing.
using PdfProgress = std::function<bool(int done, int total)>;

// Why a file cannot be written at path (its folder is missing, or is not a folder),
// or empty: asked before the work of drawing a report starts.
std::string PdfTargetProblem(const std::string& path);

// Writes the pages as one PDF, replacing the file at path whole: a failure or a
// cancel leaves no file behind. The note goes on the first page, under its header.
// False with a reason when the file was not written ("" when cancelled).
bool WritePagesPdf(const std::string& documentName, const std::string& note,
                   const std::vector<PdfPage>& pages, const std::string& path, std::string& error,
                   const PdfProgress& progress = {});

}  // namespace quarn
