// quarn-cli export-track end to end: the GPX and KML of a crafted record read back
// with an XML parser, checked by xmllint, and a failed export that leaves nothing.

#include <gtest/gtest.h>
#include <utime.h>

#include <QFile>
#include <QXmlStreamReader>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "record/flight_reader.h"
#include "support/flight_record_writer.h"
#include "support/temp_dir.h"

namespace quarn::testing {
namespace {

constexpr std::time_t kFileTime = 1780317296;  // 2026-06-01T12:34:56Z

int RunCli(const std::string& args) {
  const int raw = std::system((std::string(QUARN_CLI_PATH) + " " + args + " 2>/dev/null").c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Two minutes either side of midnight, one sample paused, climbing 100 ft a second.
std::string WriteCrafted(const TempDir& dir) {
  std::vector<SampleValues> samples;
  for (int i = 0; i < 5; ++i) {
    SampleValues v;
    const int t = 23 * 3600 + 59 * 60 + 58 + (i == 2 ? 1 : i > 2 ? i - 1 : i);
    v.hours = (t / 3600) % 24;
    v.minutes = t / 60 % 60;
    v.seconds = t % 60;
    v.latitudeDeg = 52.3 + i * 0.001;
    v.longitudeDeg = 4.76 + i * 0.001;
    v.altitudeFt = 1000 + 100 * i;
    v.pitchDeg = 2.5;
    v.bankDeg = -10;
    v.headingDeg = 57.5;
    samples.push_back(v);
  }
  const std::string path = dir.File("a&b<c>.dat");
  EXPECT_TRUE(WriteBytes(path, EncodeSamples(samples)));
  utimbuf times{kFileTime, kFileTime};
  ::utime(path.c_str(), &times);
  return path;
}

std::string Quoted(const std::string& s) {
  return "'" + s + "'";
}

// Every element's texts and attributes, by element name, in document order.
struct Xml {
  std::map<std::string, std::vector<std::string>> texts;
  std::map<std::string, std::vector<std::string>> attributes;  // "element@attr"
};

Xml ReadXml(const std::string& path) {
  QFile file(QString::fromStdString(path));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
  QXmlStreamReader reader(&file);
  Xml xml;
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement) continue;
    const std::string name = reader.qualifiedName().toString().toStdString();
    for (const auto& a : reader.attributes()) {
      xml.attributes[name + "@" + a.name().toString().toStdString()].push_back(
          a.value().toString().toStdString());
    }
    if (name == "gpx" || name == "kml" || name == "trk" || name == "trkseg" || name == "trkpt" ||
        name == "Document" || name == "Placemark" || name == "gx:Track" || name == "Point" ||
        name == "metadata") {
      continue;
    }
    xml.texts[name].push_back(reader.readElementText().toStdString());
  }
  EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
  return xml;
}

bool WellFormed(const std::string& path) {
  return std::system(("xmllint --noout " + Quoted(path)).c_str()) == 0;
}

TEST(ExportTrack, GpxAndKmlOfACraftedRecordAcrossMidnight) {
  ASSERT_EQ(std::system("command -v xmllint >/dev/null"), 0) << "xmllint is not installed";
  TempDir dir;
  const std::string record = WriteCrafted(dir);
  const std::string gpx = dir.File("track.gpx"), kml = dir.File("track.kml");
  ASSERT_EQ(RunCli("export-track " + Quoted(record) + " " + gpx), 0);
  ASSERT_EQ(RunCli("export-track " + Quoted(record) + " " + kml), 0);
  EXPECT_TRUE(WellFormed(gpx));
  EXPECT_TRUE(WellFormed(kml));

  const Xml g = ReadXml(gpx);
  EXPECT_EQ(g.texts.at("name").front(), "a&b<c>.dat");  // escaped in the file
  const std::vector<std::string> gpxTimes = {"2026-05-31T23:59:58Z", "2026-05-31T23:59:59Z",
                                             "2026-06-01T00:00:00Z", "2026-06-01T00:00:01Z"};
  EXPECT_EQ(g.texts.at("time"), gpxTimes);  // the paused sample once
  EXPECT_EQ(g.attributes.at("trkpt@lat").front(), "52.3000000");
  EXPECT_EQ(g.attributes.at("trkpt@lon").back(), "4.7640000");
  EXPECT_EQ(g.texts.at("ele").front(), "304.80");
  EXPECT_EQ(g.texts.at("ele").back(), "426.72");
  EXPECT_NE(g.texts.at("desc").front().find("UTC"), std::string::npos);

  const Xml k = ReadXml(kml);
  EXPECT_EQ(k.texts.at("when"), gpxTimes);
  ASSERT_EQ(k.texts.at("gx:coord").size(), 4u);
  EXPECT_EQ(k.texts.at("gx:coord").front(), "4.7600000 52.3000000 304.80");
  EXPECT_EQ(k.texts.at("gx:angles").front(), "57.5 2.5 -10.0");
  EXPECT_EQ(k.texts.at("altitudeMode").back(), "absolute");
  EXPECT_EQ(k.texts.at("extrude").front(), "1");
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// What a written value may lose: CSV cells are exact; KML writes positions to seven
// decimals, altitudes to the centimetre and angles to a tenth of a degree.
double ToleranceOf(const std::string& format, Channel c) {
  if (format == "csv") return 0;
  switch (c) {
    case Channel::Latitude:
    case Channel::Longitude:
      return 5e-8;
    case Channel::Altitude:
      return 0.005 / 0.3048;
    default:
      return 0.05;
  }
}

// The values of the channels that a round trip must keep, with the sample fields
// that hold them.
constexpr std::pair<Channel, double FlightSample::*> kKeptChannels[] = {
    {Channel::Latitude, &FlightSample::latitudeDeg},
    {Channel::Longitude, &FlightSample::longitudeDeg},
    {Channel::Altitude, &FlightSample::altitudeFt},
    {Channel::GroundSpeed, &FlightSample::groundSpeedKt},
    {Channel::Track, &FlightSample::trackDeg},
    {Channel::VerticalRate, &FlightSample::verticalSpeedFpm},
    {Channel::OnGround, &FlightSample::onGround},
    {Channel::Ias, &FlightSample::iasKt},
    {Channel::Tas, &FlightSample::tasKt},
    {Channel::Heading, &FlightSample::courseDeg},
    {Channel::Pitch, &FlightSample::pitchDeg},
    {Channel::Roll, &FlightSample::bankDeg},
    {Channel::Gear, &FlightSample::gear1},
};

TEST(ExportTrack, RoundTripsKeepEveryRecordedValue) {
  struct Case {
    const char* source;  // under tests/data
    const char* format;  // of the export
  };
  const Case cases[] = {
      {"csv/traffic_export.csv", "csv"}, {"csv/opensky_states.csv", "csv"},
      {"csv/xplane_data.txt", "csv"},    {"kml/multitrack.kml", "kml"},
      {"gpx/two_segments.gpx", "gpx"},   {"gpx/two_segments.gpx", "kml"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.source) + " as " + c.format);
    const std::string source = std::string(QUARN_TEST_DATA_DIR) + "/" + c.source;
    // Files of one name, so that the names the exports carry are the same.
    const std::string name = std::string("track.") + c.format;
    std::filesystem::create_directories(dir.File("a"));
    std::filesystem::create_directories(dir.File("b"));
    std::filesystem::create_directories(dir.File("c"));
    const std::string first = dir.File("a/" + name);
    const std::string second = dir.File("b/" + name);
    const std::string third = dir.File("c/" + name);
    ASSERT_EQ(RunCli("export-track " + Quoted(source) + " " + first), 0);
    ASSERT_EQ(RunCli("export-track " + first + " " + second), 0);
    ASSERT_EQ(RunCli("export-track " + second + " " + third), 0);
    const auto original = ReadFlight(source);
    const auto written = ReadFlight(first);
    ASSERT_TRUE(original && written);
    const Flight& a = original->flight;
    const Flight& b = written->flight;
    ASSERT_EQ(b.sampleCount(), a.sampleCount());
    EXPECT_EQ(b.segmentStarts, a.segmentStarts);
    for (const auto& [channel, field] : kKeptChannels) {
      if (a.channels[channel] != ChannelState::Recorded) continue;
      EXPECT_EQ(b.channels[channel], ChannelState::Recorded) << ChannelName(channel);
      for (int i = 0; i < a.sampleCount(); ++i) {
        const FlightSample& x = a.samples[static_cast<std::size_t>(i)];
        const FlightSample& y = b.samples[static_cast<std::size_t>(i)];
        EXPECT_NEAR(y.*field, x.*field, ToleranceOf(c.format, channel))
            << ChannelName(channel) << " at sample " << i;
      }
    }
    // Times keep their steps; a source without dates (a simulator's session seconds)
    // is dated by the file's time, as a recorder's file is.
    for (int i = 0; i < a.sampleCount(); ++i) {
      const auto k = static_cast<std::size_t>(i);
      EXPECT_EQ(b.samples[k].utcSeconds - b.samples[0].utcSeconds,
                a.samples[k].utcSeconds - a.samples[0].utcSeconds)
          << i;
      if (a.date) {
        EXPECT_EQ(b.samples[k].utcSeconds, a.samples[k].utcSeconds) << i;
      }
    }
    // A written file reads back to itself.
    EXPECT_EQ(ReadText(third), ReadText(second));
  }
}

TEST(ExportTrack, AFailedExportSaysSoAndLeavesNothing) {
  TempDir dir;
  const std::string record = WriteCrafted(dir);
  EXPECT_EQ(RunCli("export-track " + Quoted(record) + " " + dir.File("missing/track.gpx")), 1);
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
  EXPECT_EQ(RunCli("export-track " + Quoted(record) + " " + dir.File("track.txt")), 1);
  EXPECT_EQ(RunCli("export-track " + Quoted(dir.File("gone.dat")) + " " + dir.File("t.gpx")), 1);
  EXPECT_EQ(RunCli("export-track " + Quoted(record)), 2);
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1u);  // the record alone
}

}  // namespace
}  // namespace quarn::testing
