// The format registry: a file is told by its content first and its name second,
// compressed files are read as they are, and what is no flight says so, naming the
// file, without loading anything.

#include "record/flight_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "record/gzip.h"
#include "record_test_util.h"
#include "support/flight_record_writer.h"

namespace quarn {
namespace {

const std::string kGpx =
    "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
    "<trk><trkseg><trkpt lat=\"52.3\" lon=\"4.76\"><time>2018-05-30T20:00:00Z</time></trkpt>"
    "</trkseg></trk></gpx>\n";
const std::string kCsv =
    "timestamp,latitude,longitude,altitude\n2018-05-30T20:00:00Z,52.3,4.76,300\n";
const std::string kIgc = "AXXX001\nHFDTE300518\nB2000005218000N00445600EA0010000100\n";
const std::string kJson = R"([{"timestamp": 1527710400000, "latitude": 52.3, "longitude": 4.76}])";

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

std::vector<std::uint8_t> Gzipped(const std::string& text) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::vector<std::uint8_t> out(compressBound(static_cast<uLong>(text.size())) + 64);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// A recorder's file of two samples.
std::vector<std::uint8_t> DatBytes() {
  std::vector<testing::SampleValues> samples(2);
  for (int i = 0; i < 2; ++i) {
    samples[i].hours = 20;
    samples[i].seconds = i;
    samples[i].latitudeDeg = 52.3;
    samples[i].longitudeDeg = 4.76;
  }
  return testing::EncodeSamples(samples);
}

TEST(FlightReader, ToldByContentThenByName) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* format;  // empty: an error holding `error`
    const char* error;
  };
  std::string readme = "# QUARN\n\nQUARN turns the flight records of a simulator into graphs.\n";
  while (readme.size() < 200 * 80) readme += readme;
  std::vector<std::uint8_t> cut = Gzipped(kGpx);
  cut.resize(12);
  std::string invalid = kCsv + "2018-05-30T20:00:01Z,52.3,4.76,\xff\xfe\n";
  const Case cases[] = {
      {"track.txt", Bytes(kGpx), "gpx", ""},
      {"track.xml", Bytes(kGpx), "gpx", ""},
      {"track.log", Bytes(kIgc), "igc", ""},
      {"track", Bytes(kCsv), "csv", ""},
      {"track.dat.txt", Bytes(kJson), "json", ""},
      {"track.gpx.gz", Gzipped(kGpx), "gpx", ""},
      {"track.csv.gz", Gzipped(kCsv), "csv", ""},
      {"record.bin", DatBytes(), "dat", ""},
      // Text is no recorder's file, however many 80-byte records it would make.
      {"README.md", Bytes(readme), "", "README.md is not a flight record"},
      {"noise.bin", std::vector<std::uint8_t>(160, 0xff), "", "noise.bin is not a flight record"},
      {"cut.gpx.gz", cut, "", "cut.gpx.gz: "},
      {"bad.csv", Bytes(invalid), "", "bad.csv, line 3: not valid UTF-8 text"},
      {"truncated.gpx", Bytes(kGpx.substr(0, kGpx.size() / 2)), "",
       "truncated.gpx, line 2: the XML is cut short or damaged"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto read = ReadFlightBytes(c.bytes, c.name);
    if (*c.format == '\0') {
      ASSERT_FALSE(read);
      EXPECT_NE(read.error().message.find(c.error), std::string::npos) << read.error().message;
      continue;
    }
    ASSERT_TRUE(read) << read.error().message;
    EXPECT_EQ(read->flight.format, c.format);
    EXPECT_EQ(read->flight.recordPath, c.name);
  }
}

TEST(FlightReader, AFileBeyondAnyTrackIsRefusedUnread) {
  testing::ScratchDir dir;
  const std::string path = dir.File("huge.csv");
  {
    std::ofstream out(path, std::ios::binary);
    out << kCsv;
  }
  // Sparse: nothing of it is written, and nothing may be read.
  std::filesystem::resize_file(path, kMaxInflatedBytes + 1);
  const auto read = ReadFlight(path);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().message, path + ": more than 2048 MB");
}

}  // namespace
}  // namespace quarn
