#pragma once
// Scenery-list files (".lis"): one BGL file path a line, as the group search writes
// them and Load Navaids reads them.

#include <string>
#include <string_view>
#include <vector>

namespace quarn {

// The paths of a list, in order. A line ends at a newline (a carriage return before
// it belongs to the line end); a byte 0xFF ends the list as the end of the file
// does; empty lines are skipped. Paths are kept as written.
std::vector<std::string> SceneryListPaths(std::string_view text);

// The number of files a load expects for its progress text: 1 plus the newlines
// before the end of the list.
int ExpectedSceneryFiles(std::string_view text);

// The text of a list: every path followed by a newline.
std::string SceneryListText(const std::vector<std::string>& paths);

}  // namespace quarn
