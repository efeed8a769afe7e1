#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iomanip>
#include <iterator>
#include <sstream>

#include "navaid/scenery_load.h"
#include "navaid_test_support.h"

namespace quarn::testing {
namespace {

using BglFiles = NavaidTest;

TEST_F(BglFiles, FilesThatCannotBeParsedAreReported) {
  const std::string missing = (dir_ / "missing.bgl").string();
  const std::string empty = WriteFile("empty.bgl", {});
  const std::string directory = (dir_ / "folder.bgl").string();
  std::filesystem::create_directory(directory);
  // A FIFO blocked the open for ever, waiting for a writer.
  const std::string fifo = (dir_ / "pipe.bgl").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string path;
    std::string text;
    MessageKind kind;
  } cases[] = {
      {missing, "Could not open " + missing + "\n", MessageKind::Info},
      {empty, empty + " seems to have a bogus length, skipping it\n", MessageKind::Warning},
      {directory, "Could not open " + directory + "\n", MessageKind::Info},
      {"/dev/null", "Could not open /dev/null\n", MessageKind::Info},
      {fifo, "Could not open " + fifo + "\n", MessageKind::Info},
  };
  for (const auto& c : cases) {
    const BglParseResult found = doc_.ParseBgl(c.path);
    EXPECT_EQ(found.problem, c.text) << c.path;
    EXPECT_EQ(found.problemKind, c.kind);
    EXPECT_EQ(doc_.m_navaidCount, 0);
  }
}

TEST_F(BglFiles, AMappedFileIsParsedAndCarriesTheFileIndex) {
  BglContent c;
  c.ndbs = {{1, 1, 300, 0, 0, "A", "", 0}};
  const std::string path = WriteFile("one.bgl", BuildBgl(c));
  doc_.m_bglIndex = 3;
  EXPECT_EQ(doc_.ParseBgl(path).problem, "");
  ASSERT_EQ(doc_.m_navaidCount, 1);
  EXPECT_EQ(At(0).fileIndex, 3);
  // Tiny files are read as far as they go: a header cut short has no sections.
  for (std::size_t n : {1u, 17u, 80u, 121u}) {
    doc_.ClearNavaids();
    const auto bytes = BuildBgl(c);
    doc_.ParseBgl(WriteFile("short.bgl", {bytes.begin(), bytes.begin() + static_cast<long>(n)}));
    EXPECT_EQ(doc_.m_navaidCount, 0) << n;
  }
}

// The real files of ../shared/testdata/bgl-real, used in place.
class RealBglFiles : public NavaidTest {
 protected:
  void SetUp() override {
    NavaidTest::SetUp();
    realDir_ = std::filesystem::path(QUARN_SHARED_TESTDATA_DIR) / "bgl-real";
    if (!std::filesystem::is_directory(realDir_)) GTEST_SKIP() << "no " << realDir_;
  }
  std::filesystem::path realDir_;
};

std::string Sha256Of(const std::filesystem::path& path);

TEST_F(RealBglFiles, MagdecCarriesOnlyTheGrid) {
  // The parser hands the grid back and writes nothing; the load keeps it in magvar.nav.
  const auto path = (realDir_ / "magdec.bgl").string();
  const auto nav = dir_ / "magvar.nav";
  EXPECT_EQ(doc_.ParseBgl(path).magVarFile.size(), 130320u);
  EXPECT_FALSE(std::filesystem::exists(nav));
  doc_.m_bglIndex = 0;
  LoadSceneryFile(doc_, path, dir_.string(), ui_);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(doc_.m_navaidCount, 0);
  ASSERT_EQ(doc_.m_magVarLoaded, 1);
  ASSERT_EQ(doc_.m_magVarTable.size(), static_cast<std::size_t>(kMagVarEntries));
  EXPECT_EQ(doc_.m_magVarTable.front(), 0xEA48);
  EXPECT_EQ(doc_.m_magVarTable.back(), 0xFE97);
  const struct {
    const char* where;
    double lat, lon, expected;
  } cases[] = {
      {"EHAM", 52.3086, 4.7639, -1.2799},     {"EGLL", 51.4706, -0.4619, 0.3186},
      {"KJFK", 40.6398, -73.7789, 12.9858},   {"KSEA", 47.4490, -122.3093, -15.5072},
      {"YSSY", -33.9461, 151.1772, -12.5574}, {"KDEN", 39.8617, -104.6731, -8.2452},
      {"S90 E000", -90, 0, 30.5420},          {"N90 W001", 90, -1, 1.9830},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(doc_.MagneticVariationAt(c.lat, c.lon), c.expected, 5e-5) << c.where;
  }
  ASSERT_TRUE(std::filesystem::exists(nav));
  EXPECT_EQ(std::filesystem::file_size(nav), 130320u);
  EXPECT_EQ(Sha256Of(nav), "167f37f649b5a4e927521fc072f0b50c2eca85a4eec2e96089fac7fcd99817a7");
}

TEST_F(RealBglFiles, TreesLibraryHasOnlyADynamicObjectFlag) {
  EXPECT_EQ(doc_.ParseBgl((realDir_ / "trees_0.bgl").string()).problem, "");
  ASSERT_EQ(doc_.m_navaidCount, 1);
  EXPECT_EQ(At(0).kind, NavaidKind::DynObj);
  EXPECT_EQ(doc_.m_magVarLoaded, 0);
}

TEST_F(RealBglFiles, ALaterLayoutGivesNothing) {
  for (const int probing : {0, 1}) {
    doc_.m_probing = probing;
    EXPECT_EQ(doc_.ParseBgl((realDir_ / "negative" / "KTST_TestAirport_v6.bgl").string()).problem,
              "");
    EXPECT_EQ(doc_.m_navaidCount, 0);
    EXPECT_EQ(doc_.m_magVarLoaded, 0);
  }
}

// SHA-256 of a file, for checking magvar.nav against its published digest.
std::string Sha256Of(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> m((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
  static const std::uint32_t k[64] = {
      0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
      0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
      0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
      0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
      0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
      0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
      0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
      0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
      0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
      0xc67178f2};
  std::uint32_t h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                        0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  const std::uint64_t bits = static_cast<std::uint64_t>(m.size()) * 8;
  m.push_back(0x80);
  while (m.size() % 64 != 56) m.push_back(0);
  for (int i = 7; i >= 0; --i) m.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  auto rotr = [](std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); };
  for (std::size_t off = 0; off < m.size(); off += 64) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i) {
      const std::size_t p = off + 4 * static_cast<std::size_t>(i);
      w[i] = static_cast<std::uint32_t>(m[p]) << 24 | static_cast<std::uint32_t>(m[p + 1]) << 16 |
             static_cast<std::uint32_t>(m[p + 2]) << 8 | m[p + 3];
    }
    for (int i = 16; i < 64; ++i) {
      const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], hh = h[7];
    for (int i = 0; i < 64; ++i) {
      const std::uint32_t t1 =
          hh + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + k[i] + w[i];
      const std::uint32_t t2 =
          (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
      hh = g, g = f, f = e, e = d + t1, d = c, c = b, b = a, a = t1 + t2;
    }
    h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e, h[5] += f, h[6] += g, h[7] += hh;
  }
  std::ostringstream out;
  for (const std::uint32_t v : h) out << std::hex << std::setw(8) << std::setfill('0') << v;
  return out.str();
}

}  // namespace
}  // namespace quarn::testing
