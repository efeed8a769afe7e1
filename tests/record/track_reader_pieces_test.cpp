// Long tracks, which the readers read in pieces on every core: the first fault of the
// file is the one reported, with its line, wherever the pieces fall; a file reads the
// same however its XML or JSON is written; and the builder's speeds and tracks are
// the great-circle ones to the last bit.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/format.h"
#include "base/geodesy.h"
#include "record/gpx_reader.h"
#include "record/igc_reader.h"
#include "record/json_track_reader.h"
#include "record/kml_reader.h"
#include "record/text_input.h"
#include "record/track_builder.h"

namespace quarn {
namespace {

constexpr int kPoints = 100000;
constexpr double kStart = 1527693698;  // 2018-05-30T15:21:38Z

double LatitudeAt(int i) {
  return 52 + 0.3 * std::sin(i * 1e-3);
}
double LongitudeAt(int i) {
  return 4.5 + 0.4 * std::cos(i * 7e-4);
}

// Point i's text on a line of its own.
using PointText = std::string (*)(int);
std::string Lines(int first, int count, PointText text, const std::string& lineEnd = "\n") {
  std::string lines;
  for (int i = first; i < first + count; ++i) lines += text(i) + lineEnd;
  return lines;
}

// The text with line `number` (from 1) in place of the one there.
std::string WithLine(std::string text, int number, const std::string& line) {
  std::size_t start = 0;
  for (int n = 1; n < number; ++n) start = text.find('\n', start) + 1;
  return text.replace(start, text.find('\n', start) - start, line);
}

// Point i on line 4 + i.
std::string GpxTrkpt(int i) {
  return Format("<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.1f</ele><time>%s</time></trkpt>",
                LatitudeAt(i), LongitudeAt(i), 100 + i % 500 * 1.5,
                IsoTimeText(kStart + i).c_str());
}
std::string GpxText(const std::string& lineEnd = "\n") {
  return "<?xml version=\"1.0\"?>" + lineEnd + "<gpx version=\"1.1\">" + lineEnd + "<trk><trkseg>" +
         lineEnd + Lines(0, kPoints, GpxTrkpt, lineEnd) + "</trkseg></trk></gpx>" + lineEnd;
}
const std::string& Gpx() {
  static const std::string text = GpxText();
  return text;
}

// Time i on line 4 + i, position i on line 4 + kPoints + i; attitudes after them.
std::string KmlWhen(int i) {
  return "<when>" + IsoTimeText(kStart + i) + "</when>";
}
std::string KmlCoord(int i) {
  return Format("<gx:coord>%.7f %.7f %.1f</gx:coord>", LongitudeAt(i), LatitudeAt(i),
                100 + i % 500 * 1.5);
}
std::string KmlAngles(int i) {
  return Format("<gx:angles>%d 1.5 -2</gx:angles>", i % 360);
}
std::string KmlText(bool angles) {
  return "<?xml version=\"1.0\"?>\n<kml xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n"
         "<Document><Placemark><gx:Track>\n" +
         Lines(0, kPoints, KmlWhen) + Lines(0, kPoints, KmlCoord) +
         (angles ? Lines(0, kPoints, KmlAngles) : "") +
         "</gx:Track></Placemark></Document></kml>\n";
}
const std::string& Kml() {
  static const std::string text = KmlText(false);
  return text;
}

// Record i on line 2 + i.
std::string JsonRecord(int i) {
  return Format(
      "{\"timestamp\":%.0f,\"icao24\":\"484506\",\"latitude\":%.7f,\"longitude\":%.7f,"
      "\"groundspeed\":%d,\"track\":%d,\"callsign\":\"TRA051\",\"altitude\":%d},",
      (kStart + i) * 1000, LatitudeAt(i), LongitudeAt(i), 200 + i % 50, i % 360, 3000 + i % 700);
}
// The same with a field of braces in a string where the list may be cut.
std::string NotedJsonRecord(int i) {
  return "{\"note\":\"},{ [\"," + JsonRecord(i).substr(1);
}
std::string JsonText(PointText secondHalf) {
  std::string text = "[\n" + Lines(0, kPoints / 2, JsonRecord) +
                     Lines(kPoints / 2, kPoints / 2, secondHalf) + "]\n";
  text.erase(text.rfind(','), 1);
  return text;
}
const std::string& Json() {
  static const std::string text = JsonText(JsonRecord);
  return text;
}

// Fix i on line 3 + i.
std::string IgcFix(int i) {
  const int seconds = 10 * 3600 + i;
  return Format("B%02d%02d%02d52%05dN004%05dEA%05d%05d", seconds / 3600 % 24, seconds / 60 % 60,
                seconds % 60, i % 60000, (i * 7) % 60000, 100 + i % 900, 110 + i % 900);
}
const std::string& Igc() {
  static const std::string text = "AXXX001\nHFDTE300518\n" + Lines(0, kPoints, IgcFix);
  return text;
}

std::string TimeBack(int i) {
  return "the time goes back to " + IsoTimeText(kStart + i - 2) + " after " +
         IsoTimeText(kStart + i - 1);
}

TEST(TrackReaderPieces, TheFirstFaultOfALongFileIsReportedWithItsLine) {
  const int n = kPoints;
  const std::string back = IsoTimeText(kStart + 60000 - 2);
  const std::string badGpx = "<trkpt lat=\"x\" lon=\"4\"/>";
  const std::string cutJson = Json().substr(0, Json().size() - 30);
  const struct {
    const char* what;
    std::function<Result<LoadedFlight>()> read;
    std::string message;
  } cases[] = {
      {"GPX: a bad number far in", [&] { return ReadGpx(WithLine(Gpx(), 90004, badGpx), "t.gpx"); },
       "t.gpx, line 90004: latitude \"x\" is not a number"},
      {"GPX: a time going back before a bad number",
       [&] {
         const std::string back60000 =
             "<trkpt lat=\"52\" lon=\"4\"><time>" + back + "</time></trkpt>";
         return ReadGpx(WithLine(WithLine(Gpx(), 60004, back60000), 90004, badGpx), "t.gpx");
       },
       "t.gpx, line 60004: " + TimeBack(60000)},
      {"GPX: XML damaged far in",
       [&] { return ReadGpx(WithLine(Gpx(), 80004, "<trkpt lat=\"52\" lon=\"4\">"), "t.gpx"); },
       "t.gpx, line 100004: the XML is cut short or damaged (Start-end tags mismatch)"},
      {"KML: a bad position far in",
       [&] { return ReadKml(WithLine(Kml(), 4 + n + 80000, "<gx:coord>1</gx:coord>"), "t.kml"); },
       Format("t.kml, line %d: coordinate \"1\" is not \"longitude latitude altitude\"",
              4 + n + 80000)},
      {"KML: a time going back",
       [&] { return ReadKml(WithLine(Kml(), 60004, "<when>" + back + "</when>"), "t.kml"); },
       "t.kml, line 60004: " + TimeBack(60000)},
      {"JSON: a record of the wrong type far in",
       [&] { return ReadJsonTrack(WithLine(Json(), 70002, "{\"latitude\":\"x\"},"), "t.json"); },
       "t.json, line 70002: record 70000: latitude is text, not a number"},
      {"JSON: a time going back",
       [&] { return ReadJsonTrack(WithLine(Json(), 60002, JsonRecord(59998)), "t.json"); },
       "t.json, line 60002: record 60000: " + TimeBack(60000)},
      {"JSON: cut short far in", [&] { return ReadJsonTrack(cutJson, "t.json"); },
       "t.json, byte " + std::to_string(cutJson.size()) + ": the JSON is cut short"},
      {"IGC: a bad fix far in",
       [&] {
         return ReadIgc(WithLine(Igc(), 90003, "B1200005X06123N00432456EA0012300145"), "t.igc");
       },
       "t.igc, line 90003: unreadable latitude"},
  };
  for (const auto& c : cases) {
    const Result<LoadedFlight> read = c.read();
    ASSERT_FALSE(read) << c.what;
    EXPECT_EQ(read.error().message, c.message) << c.what;
  }
}

void ExpectSameFlight(const Flight& a, const Flight& b, const std::string& what) {
  ASSERT_EQ(a.sampleCount(), b.sampleCount()) << what;
  EXPECT_EQ(
      std::memcmp(a.samples.data(), b.samples.data(), a.samples.size() * sizeof(FlightSample)), 0)
      << what;
  EXPECT_EQ(a.segmentStarts, b.segmentStarts) << what;
  EXPECT_EQ(a.channels, b.channels) << what;
  EXPECT_EQ(a.callsign, b.callsign) << what;
  EXPECT_EQ(a.aircraft, b.aircraft) << what;
}

TEST(TrackReaderPieces, ALongFileReadsTheSameHoweverItIsWritten) {
  // The same points in XML and JSON that read plainly, that the parser reads, and that
  // give the readers reason to read the file whole.
  std::string spaced = Gpx();
  spaced.insert(spaced.find("<trkpt", spaced.size() / 3), "<!-- a comment -->\n");
  std::string referenced = Gpx();
  referenced.replace(referenced.find("lat=\"5", referenced.size() / 2) + 5, 1, "&#x35;");
  std::string cdata = Gpx();
  const std::size_t time = cdata.find("<time>", cdata.size() / 4) + 6;
  cdata.insert(cdata.find('<', time), "]]>");
  cdata.insert(time, "<![CDATA[");
  const std::string withAngles = KmlText(true);
  std::string angles = withAngles;
  angles.insert(angles.find("<gx:angles>", angles.size() * 4 / 5), "<!-- a comment -->");
  const Result<LoadedFlight> gpx = ReadGpx(Gpx(), "a.gpx");
  const Result<LoadedFlight> kml = ReadKml(Kml(), "a.kml");
  const struct {
    const char* what;
    const Result<LoadedFlight>& plain;
    Result<LoadedFlight> written;
  } cases[] = {
      {"GPX with a comment", gpx, ReadGpx(spaced, "a.gpx")},
      {"GPX with a character reference", gpx, ReadGpx(referenced, "a.gpx")},
      {"GPX with a CDATA section", gpx, ReadGpx(cdata, "a.gpx")},
      {"GPX with CR LF", gpx, ReadGpx(GpxText("\r\n"), "a.gpx")},
      {"GPX read whole", gpx, ReadGpx(Gpx() + "<!-- </trkpt> -->", "a.gpx")},
      {"KML with a comment", kml,
       ReadKml(WithLine(Kml(), 4 + kPoints / 2, KmlWhen(kPoints / 2) + "<!-- a comment -->"),
               "a.kml")},
      {"KML with attitudes", ReadKml(withAngles, "a.kml"), ReadKml(angles, "a.kml")},
      {"JSON with braces in strings", ReadJsonTrack(Json(), "a.json"),
       ReadJsonTrack(JsonText(NotedJsonRecord), "a.json")},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(c.plain) << c.what << ": " << c.plain.error().message;
    ASSERT_TRUE(c.written) << c.what << ": " << c.written.error().message;
    EXPECT_EQ(c.plain->flight.sampleCount(), kPoints) << c.what;
    ExpectSameFlight(c.plain->flight, c.written->flight, c.what);
  }

  // Segments in the run: the same positions and times, broken where the file breaks.
  std::string segments = Gpx();
  segments.insert(segments.find("<trkpt", segments.size() / 2), "</trkseg><trkseg>\n");
  const Result<LoadedFlight> two = ReadGpx(segments, "a.gpx");
  ASSERT_TRUE(gpx && two);
  ASSERT_EQ(two->flight.segmentStarts.size(), 1u);
  EXPECT_GT(two->flight.segmentStarts[0], kPoints / 3);
  for (int i = 0; i < kPoints; i += 997) {
    EXPECT_EQ(gpx->flight.samples[i].latitudeDeg, two->flight.samples[i].latitudeDeg);
    EXPECT_EQ(gpx->flight.samples[i].utcSeconds, two->flight.samples[i].utcSeconds);
  }
}

TEST(TrackReaderPieces, DerivedSpeedAndTrackAreTheGreatCircleOnes) {
  TrackBuilder builder("t", "gpx");
  for (int i = 0; i < 50000; ++i) {
    TrackPoint p;
    p.utcSeconds = kStart + i;
    // Steps of all sizes and directions, the poles and the date line included.
    p.latitudeDeg = std::fmod(i * 0.37, 180.0) - 90;
    p.longitudeDeg = std::fmod(i * 7.3, 360.0) - 180;
    ASSERT_FALSE(builder.Take(p));
  }
  const Result<LoadedFlight> read = builder.Finish();
  ASSERT_TRUE(read);
  const std::vector<FlightSample>& s = read->flight.samples;
  for (std::size_t i = 1; i < s.size(); ++i) {
    const DistanceBearing db = DistanceAndBearing(s[i - 1].latitudeDeg, s[i - 1].longitudeDeg,
                                                  s[i].latitudeDeg, s[i].longitudeDeg);
    ASSERT_EQ(s[i].groundSpeedKt, db.metres / 1 * 1.9438444924406046) << i;
    if (db.metres > 0) {
      ASSERT_EQ(s[i].trackDeg, db.bearingDeg) << i;
    }
  }
}

TEST(TrackReaderPieces, ReadsDecimalsAsTheFullConversionDoes) {
  for (const char* text :
       {"52.1234567", "-4.5", "0", "-0", "-0.0", "0.1", "0.3", "123456789012345678",
        "9007199254740993", "9007199254740.993", "1.7976931348623157", "4.94065645841246544",
        "0.0000000000000000001", "12345.678901234567", "5.", ".5", "1e3", "-52.000000100"}) {
    double expected = 0;
    const std::string_view field(text);
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), expected);
    const std::optional<double> read = ParseNumber(field);
    if (ec != std::errc() || end != field.data() + field.size()) {
      EXPECT_FALSE(read) << text;
      continue;
    }
    ASSERT_TRUE(read) << text;
    EXPECT_EQ(std::memcmp(&*read, &expected, sizeof expected), 0) << text;
  }
}

}  // namespace
}  // namespace quarn
