// libFuzzer target: the BGL parser over a byte buffer, in loading mode and in both
// probing modes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "app/program_dir.h"
#include "navaid/halbrico_doc.h"
#include "support/recording_ui.h"

namespace {}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    // magvar.nav lands in the program directory: keep it out of the working tree.
    const auto dir = std::filesystem::temp_directory_path() / "quarn_fuzz_bgl";
    std::filesystem::create_directories(dir);
    quarn::SetProgramDirectory(dir.string());
    return true;
  }();
  (void)ready;
  quarn::testing::RecordingUi ui;
  const std::span<const std::uint8_t> bytes(data, size);
  for (const auto [probing, fs2000] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{1, 1}}) {
    quarn::CHalbricoDoc doc(ui);
    doc.m_probing = probing;
    doc.m_fs2000Probe = fs2000;
    doc.ParseBglBytes(bytes);
    doc.RebuildIndexLists();
    if (doc.m_navaidCount > 0) (void)doc.MagneticVariationAt(52.3, 4.7);
  }
  return 0;
}
