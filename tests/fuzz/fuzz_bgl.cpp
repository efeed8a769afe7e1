// libFuzzer target: the BGL parser over a byte buffer, in loading mode and in both
// probing modes. The parser writes no file.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "navaid/halbrico_doc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  for (const auto [probing, fs2000] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{1, 1}}) {
    quarn::CHalbricoDoc doc;
    doc.m_probing = probing;
    doc.m_fs2000Probe = fs2000;
    doc.ParseBglBytes(bytes);
    doc.RebuildIndexLists();
    if (doc.m_navaidCount > 0) (void)doc.MagneticVariationAt(52.3, 4.7);
  }
  return 0;
}
