// A small file cannot make the parser add more records than its bytes can hold.

#include <gtest/gtest.h>

#include "navaid/bgl_parser.h"
#include "navaid_test_support.h"

namespace quarn::testing {
namespace {

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

using BglLimitsTest = NavaidTest;

TEST_F(BglLimitsTest, ListEntriesRepeatingOneRunEndTheParseAtTheFilesCapacity) {
  // An NDB section of 2000 list entries, every one naming the same run of 50 NDBs:
  // read literally, 100000 records out of 20 kilobytes.
  constexpr std::size_t kSection = 0x100, kEntries = 2000, kRunRecords = 50;
  const std::size_t run = kSection + kEntries * 9 + 1;  // after the list and its end byte
  std::vector<std::uint8_t> bytes(run + kRunRecords * 42 + 1, 0);
  Put32(bytes, kHdrNdb, static_cast<std::uint32_t>(kSection));
  for (std::size_t e = 0; e < kEntries; ++e) {
    bytes[kSection + 9 * e] = 0x15;
    Put32(bytes, kSection + 9 * e + 5, static_cast<std::uint32_t>(run - kSection));
  }
  for (std::size_t r = 0; r < kRunRecords; ++r) {
    bytes[run + 42 * r] = 4;      // an NDB record
    bytes[run + 42 * r + 2] = 3;  // 300 kHz
  }
  Parse(bytes);
  EXPECT_EQ(doc_.m_navaidCount, static_cast<int>(bytes.size() / 8 + 16));
  EXPECT_EQ(CountOf(NavaidKind::Ndb), doc_.m_navaidCount);

  // The same run listed once gives its 50 NDBs, as always.
  bytes[kSection + 9] = 0;  // the list now ends after its first entry
  doc_.ClearNavaids();
  Parse(bytes);
  EXPECT_EQ(doc_.m_navaidCount, 50);
}

}  // namespace
}  // namespace quarn::testing
