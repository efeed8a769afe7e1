#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/byte_reader.h"
#include "platform/file_services.h"
#include "platform/json.h"

namespace quarn {
namespace {

TEST(ByteReader, LittleEndianValuesAndSignExtension) {
  const std::vector<std::uint8_t> b{0x01, 0x02, 0x03, 0x84, 0xFF, 0xFF, 0x7F};
  const ByteReader r(b);
  EXPECT_EQ(r.U16(0), 0x0201);
  EXPECT_EQ(r.U32(0), 0x84030201u);
  EXPECT_EQ(r.I32(0), static_cast<std::int32_t>(0x84030201u));
  EXPECT_EQ(r.I24(4), 0x7FFFFF);
  EXPECT_EQ(r.I24(3), static_cast<std::int32_t>(0xFFFFFF84u));  // negative 24-bit value
  EXPECT_EQ(r.I8(3), -124);
}

TEST(ByteReader, ReadsOutsideTheSpanGiveZero) {
  const std::vector<std::uint8_t> b{0xFF, 0xFF, 0xFF, 0xFF};
  const ByteReader r(b);
  EXPECT_TRUE(r.Has(0, 4));
  EXPECT_TRUE(r.Has(4, 0));
  EXPECT_FALSE(r.Has(1, 4));
  EXPECT_FALSE(r.Has(-1, 1));
  EXPECT_FALSE(r.Has(2, -1));
  EXPECT_FALSE(r.Has(INT64_MAX, 1));
  EXPECT_FALSE(r.Has(1, INT64_MAX));
  EXPECT_EQ(r.U32(1), 0u);
  EXPECT_EQ(r.I16(3), 0);
  EXPECT_EQ(r.U8(-5), 0);
  EXPECT_EQ(r.Text(2, 10), "\xFF\xFF");  // stops at the end
}

TEST(Json, TextIsUtf8AndLatin1BytesAreConverted) {
  std::string out;
  AppendJsonString(out, "Can\u00b4t");  // already UTF-8: kept
  EXPECT_EQ(out, "\"Can\u00b4t\"");
  out.clear();
  AppendJsonString(out, "90\xB0");  // a Latin-1 degree sign
  EXPECT_EQ(out, "\"90\u00b0\"");
  out.clear();
  AppendJsonString(out, "a\nb\t\x01");
  EXPECT_EQ(out, "\"a\\nb\\t\\u0001\"");
}

TEST(Json, NumbersReadBackExactly) {
  std::string out;
  AppendJsonNumber(out, 0.1);
  EXPECT_EQ(std::stod(out), 0.1);
  out.clear();
  AppendJsonNumber(out, std::int64_t{-7});
  EXPECT_EQ(out, "-7");
  out.clear();
  AppendJsonNumber(out, 1.0 / 0.0);
  EXPECT_EQ(out, "null");
}

TEST(FileServices, WildcardsIgnoreCase) {
  EXPECT_TRUE(WildcardMatch("*.bgl", "AF2_E123.BGL"));
  EXPECT_TRUE(WildcardMatch("*.bgl", "x.bgl"));
  EXPECT_FALSE(WildcardMatch("*.bgl", "x.bgl.bak"));
  EXPECT_TRUE(WildcardMatch("*.*", "readme"));  // subdirectories without a dot
  EXPECT_TRUE(WildcardMatch("*.*", "scenery.old"));
  EXPECT_FALSE(WildcardMatch("*.bgl", "bgl"));
  EXPECT_TRUE(WildcardMatch("a?c", "ABC"));
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(FileNameOf("/x/y/z.lis"), "z.lis");
  EXPECT_EQ(DirectoryOf("/x/y/z.lis"), "/x/y");
}

}  // namespace
}  // namespace quarn
