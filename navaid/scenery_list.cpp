#include "navaid/scenery_list.h"

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
    const auto newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    // Lists written on the old platform end their lines with a carriage return too.
    if (newline != std::string_view::npos && !line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
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
