// libFuzzer target: the two text inputs of a navaid load, the scenery list and the
// fixes file quarn.fix, from the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "navaid/fix_file.h"
#include "navaid/scenery_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const auto paths = quarn::SceneryListPaths(text);
  // Every path is a whole non-empty line and the progress total counts them all.
  if (static_cast<int>(paths.size()) > quarn::ExpectedSceneryFiles(text)) std::abort();
  for (const auto& p : paths) {
    if (p.empty() || p.find('\n') != std::string::npos) std::abort();
  }

  for (const auto& fix : quarn::ParseFixes(text)) {
    if (fix.ident.size() != 6 || fix.latitude != fix.latitude || fix.longitude != fix.longitude) {
      std::abort();
    }
  }
  return 0;
}
