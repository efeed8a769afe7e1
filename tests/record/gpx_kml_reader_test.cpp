// The XML track readers: GPX tracks and KML gx:Tracks into flights, their refusals
// naming the file and line, and the program's own KML export read back.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "record/flight_reader.h"
#include "record/gpx_reader.h"
#include "record/kml_reader.h"
#include "record/record_test_util.h"
#include "record/text_input.h"
#include "record/track_export.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

constexpr double kFeetPerMetre = 1 / 0.3048;

std::string TestFile(const std::string& folder, const std::string& file) {
  return testing::ReadWholeFile(fs::path(QUARN_TEST_DATA_DIR) / folder / file);
}

Result<LoadedFlight> ReadFile(const std::string& folder, const std::string& file) {
  const std::string text = TestFile(folder, file);
  return folder == "gpx" ? ReadGpx(text, file) : ReadKml(text, file);
}

double Utc(int year, int month, int day, int h, int m, double s) {
  return static_cast<double>(DaysFromCivil(year, month, day) * 86400 + h * 3600 + m * 60) + s;
}

using States = std::vector<std::pair<Channel, ChannelState>>;

void ExpectChannels(const Flight& flight, const States& states) {
  for (const auto& [channel, state] : states) {
    EXPECT_EQ(flight.channels[channel], state) << ChannelName(channel);
  }
}

TEST(GpxKmlReader, ReadsEachPointsValuesAndChannels) {
  const auto R = ChannelState::Recorded;
  const auto D = ChannelState::Derived;
  const auto A = ChannelState::Absent;
  // One sample of each file: where the values come from, and their units.
  const struct {
    const char* folder;
    const char* file;
    int sampleCount;
    int sample;
    FlightSample expected;  // the fields compared below
    States channels;
  } cases[] = {
      {"gpx",
       "gpx10_speed_course.gpx",
       3,
       0,
       {.altitudeFt = 1000,
        .latitudeDeg = 52.27,
        .longitudeDeg = 4.7,
        .courseDeg = 57.8,
        .groundSpeedKt = 140,
        .trackDeg = 57.8,
        .utcSeconds = Utc(2018, 5, 30, 20, 16, 0)},
       {{Channel::Altitude, R},
        {Channel::GroundSpeed, R},
        {Channel::Track, R},
        {Channel::VerticalRate, D},
        {Channel::Heading, D},
        {Channel::Pitch, A}}},
      {"gpx",
       "gpx11_track_point_extension.gpx",
       2,
       1,
       {.altitudeFt = 10 * kFeetPerMetre,
        .latitudeDeg = 52.2999,
        .longitudeDeg = 4.7598,
        .courseDeg = 238.5,
        .groundSpeedKt = 10 * 3600.0 / 1852,
        .trackDeg = 238.5,
        .utcSeconds = Utc(2018, 5, 30, 20, 20, 1.5)},
       {{Channel::Altitude, R}, {Channel::GroundSpeed, R}, {Channel::Track, R}}},
      {"kml",
       "multitrack.kml",
       4,
       1,
       {.altitudeFt = 155.45 * kFeetPerMetre,
        .latitudeDeg = 52.301,
        .longitudeDeg = 4.761,
        .pitchDeg = 3,
        .bankDeg = -12.5,
        .courseDeg = 46,
        .utcSeconds = Utc(2018, 5, 30, 20, 0, 1)},
       {{Channel::Altitude, R},
        {Channel::Heading, R},
        {Channel::Pitch, R},
        {Channel::Roll, R},
        {Channel::GroundSpeed, D},
        {Channel::Track, D}}},
      // A blank gx:angles takes the values before it.
      {"kml",
       "multitrack.kml",
       4,
       3,
       {.altitudeFt = 161.54 * kFeetPerMetre,
        .latitudeDeg = 52.303,
        .longitudeDeg = 4.763,
        .pitchDeg = 3.5,
        .bankDeg = -15,
        .courseDeg = 47,
        .utcSeconds = Utc(2018, 5, 30, 20, 0, 3)},
       {}},
      // Without altitudes and angles: the heading follows the track over the ground,
      // here due north.
      {"kml",
       "track_without_angles.kml",
       2,
       1,
       {.latitudeDeg = 52.31, .longitudeDeg = 4.76, .utcSeconds = Utc(2018, 5, 30, 20, 0, 10)},
       {{Channel::Altitude, A}, {Channel::Heading, D}, {Channel::Pitch, A}, {Channel::Roll, A}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " sample " + std::to_string(c.sample));
    const Result<LoadedFlight> read = ReadFile(c.folder, c.file);
    ASSERT_TRUE(read.ok()) << read.error().message;
    const Flight& flight = read->flight;
    EXPECT_EQ(flight.format, c.folder);
    ASSERT_EQ(flight.sampleCount(), c.sampleCount);
    const FlightSample& s = flight.SampleAt(c.sample);
    const FlightSample& e = c.expected;
    EXPECT_NEAR(s.altitudeFt, e.altitudeFt, 1e-6);
    EXPECT_NEAR(s.latitudeDeg, e.latitudeDeg, 1e-9);
    EXPECT_NEAR(s.longitudeDeg, e.longitudeDeg, 1e-9);
    EXPECT_NEAR(s.pitchDeg, e.pitchDeg, 1e-9);
    EXPECT_NEAR(s.bankDeg, e.bankDeg, 1e-9);
    EXPECT_NEAR(s.courseDeg, e.courseDeg, 1e-6);
    EXPECT_DOUBLE_EQ(s.utcSeconds, e.utcSeconds);
    if (flight.channels[Channel::GroundSpeed] == ChannelState::Recorded) {
      EXPECT_NEAR(s.groundSpeedKt, e.groundSpeedKt, 1e-4);
      EXPECT_NEAR(s.trackDeg, e.trackDeg, 1e-9);
    }
    ExpectChannels(flight, c.channels);
  }
}

TEST(GpxKmlReader, SegmentsRepeatedTimesAndMidnight) {
  const struct {
    const char* folder;
    const char* file;
    std::vector<double> timeHours;
    std::vector<int> segmentStarts;
    CivilDate date;
  } cases[] = {
      // Every trkseg after the first, in the same trk or the next, starts a segment.
      {"gpx",
       "two_segments.gpx",
       {20, 20 + 1 / 3600.0, 20 + 2 / 3600.0, 20 + 3 / 3600.0, 20 + 4 / 3600.0},
       {2, 4},
       {2018, 5, 30}},
      {"kml",
       "multitrack.kml",
       {20, 20 + 1 / 3600.0, 20 + 2 / 3600.0, 20 + 3 / 3600.0},
       {2},
       {2018, 5, 30}},
      // The second point repeats the first one's time and is left out.
      {"gpx", "repeated_time.gpx", {20, 20 + 1 / 3600.0}, {}, {2018, 5, 30}},
      // The time of day starts again after midnight; the date is the first sample's.
      {"gpx", "midnight.gpx", {24 - 2 / 3600.0, 24 - 1 / 3600.0, 1 / 3600.0}, {}, {2018, 5, 30}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const Result<LoadedFlight> read = ReadFile(c.folder, c.file);
    ASSERT_TRUE(read.ok()) << read.error().message;
    const Flight& flight = read->flight;
    ASSERT_EQ(flight.sampleCount(), static_cast<int>(c.timeHours.size()));
    for (std::size_t i = 0; i < c.timeHours.size(); ++i) {
      EXPECT_NEAR(flight.samples[i].timeHours, c.timeHours[i], 1e-9) << i;
    }
    EXPECT_EQ(flight.segmentStarts, c.segmentStarts);
    EXPECT_EQ(flight.date, c.date);
  }
}

TEST(GpxKmlReader, KeepsTimesToTheMillisecond) {
  // Points a ten-thousandth of a second apart are one moment: a step that short would
  // make the derived speed and rate boundless.
  const std::string text =
      "<gpx><trk><trkseg>"
      "<trkpt lat=\"0\" lon=\"0\"><ele>0</ele><time>1970-01-01T00:00:00Z</time></trkpt>"
      "<trkpt lat=\"1\" lon=\"0\"><ele>9</ele><time>1970-01-01T00:00:00.0001Z</time></trkpt>"
      "<trkpt lat=\"2\" lon=\"0\"><ele>9</ele><time>1970-01-01T00:00:01.2344Z</time></trkpt>"
      "</trkseg></trk></gpx>";
  const Result<LoadedFlight> read = ReadGpx(text, "fine.gpx");
  ASSERT_TRUE(read.ok()) << read.error().message;
  ASSERT_EQ(read->flight.sampleCount(), 2);
  EXPECT_EQ(read->flight.samples[1].utcSeconds, 1.234);
  EXPECT_NEAR(read->flight.samples[1].latitudeDeg, 2, 1e-12);
}

// A GPX document around the given points, the first of them on line 4.
std::string Gpx(const std::string& points) {
  return "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\">\n<trk><trkseg>\n" + points +
         "</trkseg></trk>\n</gpx>\n";
}

// A KML document around the given track children, the first of them on line 4.
std::string Kml(const std::string& track) {
  return "<?xml version=\"1.0\"?>\n<kml xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n"
         "<Placemark><gx:Track>\n" +
         track + "</gx:Track></Placemark>\n</kml>\n";
}

std::string Point(const char* lat, const char* time) {
  return std::string("<trkpt lat=\"") + lat + "\" lon=\"4.76\"><time>" + time + "</time></trkpt>\n";
}

TEST(GpxKmlReader, RefusesBadInputNamingFileAndLine) {
  const std::string ok1 = Point("52.3", "2018-05-30T20:00:00Z");
  const std::string ok2 = Point("52.3", "2018-05-30T20:00:01Z");
  const std::string whole = Gpx(ok1 + ok2);
  const std::string truncated = whole.substr(0, whole.rfind("<trkpt") + 20);
  std::string deep = "<kml>";
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  for (int i = 0; i < 100000; ++i) deep += "</a>";
  deep += "</kml>";
  const struct {
    const char* what;
    bool kml;
    std::string text;
    std::string expected;  // the message, after "<name>"
  } cases[] = {
      {"truncated", false, truncated, ", line 5: the XML is cut short or damaged ("},
      {"not XML", false, "just text\n", ", line 2: the XML is cut short or damaged ("},
      {"KML for GPX", false, TestFile("kml", "multitrack.kml"),
       ", line 2: not a GPX file: the root element is <kml>"},
      {"GPX for KML", true, TestFile("gpx", "midnight.gpx"),
       ", line 2: not a KML file: the root element is <gpx>"},
      {"external entity", false,
       "<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [\n<!ENTITY xxe SYSTEM \"file:///etc/passwd\">\n]>\n"
       "<gpx><trk><name>&xxe;</name><trkseg>\n" +
           ok1 + "</trkseg></trk></gpx>\n",
       ", line 2: document type declarations are not read"},
      {"NUL byte", false, Gpx(ok1 + std::string(1, '\0')), ", line 5: a NUL byte"},
      {"latitude out of range", false, Gpx(ok1 + Point("95", "2018-05-30T20:00:01Z")),
       ", line 5: latitude 95 out of range"},
      {"time going back", false, Gpx(ok2 + ok1),
       ", line 5: the time goes back to 2018-05-30T20:00:00Z after 2018-05-30T20:00:01Z"},
      {"no time", false, Gpx(ok1 + "<trkpt lat=\"52\" lon=\"4\"/>\n"), ", line 5: no time"},
      {"no position", false, Gpx("<trkpt lon=\"4\"><time>2018-05-30T20:00:00Z</time></trkpt>\n"),
       ", line 4: no position"},
      {"bad number", false, Gpx("<trkpt lat=\"52,3\" lon=\"4\"/>\n"),
       ", line 4: latitude \"52,3\" is not a number"},
      {"bad elevation", false,
       Gpx("<trkpt lat=\"52\" lon=\"4\">\n<ele>high</ele><time>2018-05-30T20:00:00Z</time>"
           "</trkpt>\n"),
       ", line 5: elevation \"high\" is not a number"},
      {"elevation beyond any flight", false,
       Gpx("<trkpt lat=\"52\" lon=\"4\"><ele>1e308</ele><time>2018-05-30T20:00:00Z</time>"
           "</trkpt>\n"),
       ", line 4: elevation 1e+308 m out of range"},
      {"bad time", false, Gpx(Point("52", "30/05/2018 20:00")),
       ", line 4: time \"30/05/2018 20:00\" is not an ISO 8601 date and time"},
      {"line ends CR LF", false,
       "<gpx>\r\n<trk><trkseg>\r\n\r\n<trkpt lat=\"-91\" lon=\"0\">"
       "<time>2018-05-30T20:00:00Z</time></trkpt>\r\n</trkseg></trk></gpx>",
       ", line 4: latitude -91 out of range"},
      {"GPX without track", false,
       "<gpx><wpt lat=\"52\" lon=\"4\"><time>2018-05-30T20:00:00Z</time></wpt></gpx>",
       ": the GPX file holds no track"},
      {"KML without track", true,
       "<kml><Placemark><Point><coordinates>4,52,0</coordinates></Point></Placemark></kml>",
       ": the KML file holds no track"},
      {"deeply nested KML", true, deep, ": the KML file holds no track"},
      {"KML latitude out of range", true,
       Kml("<when>2018-05-30T20:00:00Z</when>\n<when>2018-05-30T20:00:01Z</when>\n"
           "<gx:coord>4 52 0</gx:coord>\n<gx:coord>4 -95 0</gx:coord>\n"),
       ", line 7: latitude -95 out of range"},
      {"KML altitude beyond any flight", true,
       Kml("<when>2018-05-30T20:00:00Z</when>\n<gx:coord>4 52 -2e6</gx:coord>\n"),
       ", line 5: altitude -2e+06 m out of range"},
      {"KML time going back", true,
       Kml("<when>2018-05-30T20:00:01Z</when>\n<when>2018-05-30T20:00:00Z</when>\n"
           "<gx:coord>4 52 0</gx:coord>\n<gx:coord>4 52 0</gx:coord>\n"),
       ", line 5: the time goes back"},
      {"KML bad coordinate", true,
       Kml("<when>2018-05-30T20:00:00Z</when>\n<gx:coord>4,52,0</gx:coord>\n"),
       ", line 5: coordinate \"4,52,0\" is not \"longitude latitude altitude\""},
      {"KML bad angles", true,
       Kml("<when>2018-05-30T20:00:00Z</when>\n<gx:coord>4 52 0</gx:coord>\n"
           "<gx:angles>1 2</gx:angles>\n"),
       ", line 6: angles \"1 2\" are not \"heading tilt roll\""},
      {"KML times without positions", true,
       Kml("<when>2018-05-30T20:00:00Z</when>\n<when>2018-05-30T20:00:01Z</when>\n"
           "<gx:coord>4 52 0</gx:coord>\n"),
       ", line 3: the track has 2 times (when) but 1 positions (gx:coord)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string name = c.kml ? "bad.kml" : "bad.gpx";
    const Result<LoadedFlight> read = c.kml ? ReadKml(c.text, name) : ReadGpx(c.text, name);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().message.rfind(name + c.expected, 0), 0u) << read.error().message;
  }
}

TEST(GpxKmlReader, ReadsTheProgramsKmlExportBack) {
  constexpr std::int64_t kJune1 = 1780272000;  // 2026-06-01T00:00:00Z
  // Half a minute across midnight with a paused sample, the heading passing north.
  std::vector<FlightSample> samples;
  for (int i = 0; i < 30; ++i) {
    FlightSample s;
    const int second = (86400 - 12 + i - (i > 20 ? 1 : 0)) % 86400;  // 20 and 21 share a time
    s.timeHours = second / 3600.0;
    s.latitudeDeg = 52.3 + 0.00012345678 * i;
    s.longitudeDeg = 4.76 - 0.00023456789 * i;
    s.altitudeFt = 1000 + 12.345 * i;
    s.courseDeg = std::fmod(355 + 0.73 * i, 360);
    s.pitchDeg = -5 + 0.37 * i;
    s.bankDeg = 20 * std::sin(i / 5.0);
    samples.push_back(s);
  }
  const std::vector<TimedSample> times = TimeSamples(samples, kJune1 + 45000);
  ASSERT_EQ(times.size(), 29u);
  const std::string kml = TrackKml(samples, times, "Cross & check", TakeoffLanding{0, 29});

  const Result<LoadedFlight> read = ReadKml(kml, "export.kml");
  ASSERT_TRUE(read.ok()) << read.error().message;
  const Flight& flight = read->flight;
  ASSERT_EQ(flight.sampleCount(), static_cast<int>(times.size()));
  EXPECT_TRUE(flight.segmentStarts.empty());
  EXPECT_EQ(flight.date, (CivilDate{2026, 5, 31}));
  ExpectChannels(flight, {{Channel::Altitude, ChannelState::Recorded},
                          {Channel::Heading, ChannelState::Recorded},
                          {Channel::Pitch, ChannelState::Recorded},
                          {Channel::Roll, ChannelState::Recorded}});
  // Equal within the export's rounding: 7 decimals of a degree, 2 of a metre, 1 of an
  // angle.
  for (std::size_t i = 0; i < times.size(); ++i) {
    SCOPED_TRACE(i);
    const FlightSample& in = samples[static_cast<std::size_t>(times[i].index)];
    const FlightSample& out = flight.samples[i];
    EXPECT_EQ(out.utcSeconds, static_cast<double>(times[i].utcSeconds));
    EXPECT_NEAR(out.timeHours, in.timeHours, 1e-9);
    EXPECT_NEAR(out.latitudeDeg, in.latitudeDeg, 0.5e-7 + 1e-12);
    EXPECT_NEAR(out.longitudeDeg, in.longitudeDeg, 0.5e-7 + 1e-12);
    EXPECT_NEAR(out.altitudeFt, in.altitudeFt, 0.005 * kFeetPerMetre + 1e-9);
    EXPECT_NEAR(out.courseDeg, in.courseDeg, 0.05 + 1e-9);
    EXPECT_NEAR(out.pitchDeg, in.pitchDeg, 0.05 + 1e-9);
    EXPECT_NEAR(out.bankDeg, in.bankDeg, 0.05 + 1e-9);
  }
}

TEST(GpxKmlReader, RegistryDetectsAndReadsTheFiles) {
  for (const char* folder : {"gpx", "kml"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(QUARN_TEST_DATA_DIR) / folder)) {
      SCOPED_TRACE(entry.path().string());
      const std::string text = testing::ReadWholeFile(entry.path());
      const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                                text.size());
      // The content tells the format, whatever the name says.
      const Result<LoadedFlight> read = ReadFlightBytes(bytes, "track.txt");
      ASSERT_TRUE(read.ok()) << read.error().message;
      EXPECT_EQ(read->flight.format, folder);
      EXPECT_EQ(read->flight.recordPath, "track.txt");
    }
  }
}

}  // namespace
}  // namespace quarn
