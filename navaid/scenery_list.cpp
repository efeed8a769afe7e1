#include "navaid/scenery_list.h"

#include "base/format.h"

namespace quarn {
namespace {

constexpr char kEndOfList = '\xFF';

// The list up to its end mark.
std::string_view UpToEndMark(std::string_view text) {
  const auto end = text.find(kEndOfList);
  return end == std::string_view::npos ? text : text.substr(0, end);
}

}  // namespace

std::vector<std::string> SceneryListPaths(std::string_view text) {
  text = UpToEndMark(text);
  std::vector<std::string> paths;
  while (!text.empty()) {
    const std::string_view line = TakeLine(text);
    if (!line.empty()) paths.emplace_back(line);
  }
  return paths;
}

int ExpectedSceneryFiles(std::string_view text) {
  int newlines = 0;
  for (const char c : UpToEndMark(text)) newlines += c == '\n';
  return 1 + newlines;
}

std::string SceneryListText(const std::vector<std::string>& paths) {
  std::string text;
  for (const auto& p : paths) {
    text += p;
    text += '\n';
  }
  return text;
}

}  // namespace quarn
