#include "navaid/ourairports.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "navaid/csv_table.h"
#include "platform/file_services.h"

namespace quarn {
namespace {

const std::string kTablesDir = QUARN_TEST_DATA_DIR "/ourairports";
const std::string kRealDir = QUARN_SHARED_TESTDATA_DIR "/real-world";

const SourcedNavaid* FindRecord(const SourceRead& read, NavaidKind kind, std::string_view ident,
                                std::string_view runway = {}) {
  for (const SourcedNavaid& r : read.records) {
    if (r.kind == kind && r.ident == ident && r.runway == runway) return &r;
  }
  return nullptr;
}

std::set<std::string> IdentsOf(const SourceRead& read, NavaidKind kind) {
  std::set<std::string> idents;
  for (const SourcedNavaid& r : read.records) {
    if (r.kind == kind) idents.insert(r.ident);
  }
  return idents;
}

// A value near the expected one, or unknown where that is unknown.
void ExpectValue(double actual, double expected, double tolerance) {
  if (Known(expected)) {
    EXPECT_NEAR(actual, expected, tolerance);
  } else {
    EXPECT_FALSE(Known(actual)) << actual;
  }
}

// ---- The splitting of records ----

struct CsvCase {
  std::string text;
  std::size_t expectedFields;
  // Each record as "line: field|field|..."; "line: unclosed" for a stray quote.
  std::vector<std::string> records;
};

std::vector<std::string> RecordsOf(const std::string& text, std::size_t expectedFields) {
  CsvReader csv(text);
  csv.ExpectFields(expectedFields);
  std::vector<std::string> out;
  for (;;) {
    const CsvReader::Status status = csv.Next();
    if (status == CsvReader::Status::End) break;
    std::string record = std::to_string(csv.line()) + ": ";
    if (status == CsvReader::Status::UnclosedQuote) {
      record += "unclosed";
    } else {
      for (std::size_t i = 0; i < csv.fields().size(); ++i) {
        record += (i ? "|" : "") + std::string(csv.fields()[i]);
      }
    }
    out.push_back(record);
  }
  return out;
}

TEST(OurAirportsCsv, SplitsFieldsAsTheyAreQuoted) {
  const CsvCase cases[] = {
      {"a,b,c", 0, {"1: a|b|c"}},
      {"\"Schiphol, Amsterdam\",x\n", 0, {"1: Schiphol, Amsterdam|x"}},
      {"\"say \"\"hi\"\"\",2", 0, {"1: say \"hi\"|2"}},
      {"a,,\"\",", 0, {"1: a|||"}},
      {"\xEF\xBB\xBF"
       "a,b\r\nc,d\r\n",
       0,
       {"1: a|b", "2: c|d"}},
      {"\n  \na,b\n\n", 0, {"3: a|b"}},
      {"\"abc\"def,g", 0, {"1: abcdef|g"}},
      {"mid\"dle, of\" it,x", 0, {"1: middle, of it|x"}},
      {std::string(70, 'a') + ",\"" + std::string(70, ',') + "\",z",
       0,
       {"1: " + std::string(70, 'a') + "|" + std::string(70, ',') + "|z"}},
      // A quoted line break reads as a blank; the next record counts its own line.
      {"x,\"two\r\nlines\",y\nz,w,v", 3, {"1: x|two lines|y", "3: z|w|v"}},
  };
  for (const CsvCase& c : cases) {
    EXPECT_EQ(RecordsOf(c.text, c.expectedFields), c.records) << c.text;
  }
}

TEST(OurAirportsCsv, AStrayQuoteCostsOnlyItsOwnLine) {
  const CsvCase cases[] = {
      // Never closed, at a field's start or within one.
      {"1,\"open,3\n4,5,6\n", 3, {"1: unclosed", "2: 4|5|6"}},
      {"1,op\"en,3\n4,5,6\n", 3, {"1: unclosed", "2: 4|5|6"}},
      // Closed by the next row's quote, which would give the record too many fields.
      {"1,\"open,3\n\"4\",5,6\n", 3, {"1: unclosed", "2: 4|5|6"}},
      // Still open after the lines a quoted field may run over.
      {"\"" + std::string(40, '\n') + "\"\n", 0, {"1: unclosed", "41: unclosed"}},
  };
  for (const CsvCase& c : cases) {
    EXPECT_EQ(RecordsOf(c.text, c.expectedFields), c.records) << c.text;
  }
}

TEST(OurAirports, TellsTheTablesByTheirHeaders) {
  const struct {
    const char* header;
    OurAirportsTable table;
  } cases[] = {
      {"\"id\",\"ident\",\"type\",\"name\",\"latitude_deg\",\"longitude_deg\"\n1,2",
       OurAirportsTable::Airports},
      {"id,airport_ref,airport_ident,length_ft,le_ident,he_ident", OurAirportsTable::Runways},
      {"ident,name,type,frequency_khz,latitude_deg,longitude_deg", OurAirportsTable::Navaids},
      {"\"id\",\"airport_ref\",\"type\",\"frequency_mhz\"", OurAirportsTable::Frequencies},
      {"time,lat,lon,altitude", OurAirportsTable::None},
      {"", OurAirportsTable::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OurAirportsTableOf(c.header), c.table) << c.header;
    EXPECT_EQ(IsOurAirportsFile(c.header), c.table != OurAirportsTable::None) << c.header;
  }
}

// ---- The hand-written tables: columns in another order, quoted commas ----

class OurAirportsTablesTest : public ::testing::Test {
 protected:
  void SetUp() override { read_ = ReadOurAirports(ReadOurAirportsFolder(kTablesDir)); }
  SourceRead read_;
};

TEST_F(OurAirportsTablesTest, ReadsWithoutProblems) {
  EXPECT_TRUE(read_.problems.empty()) << read_.problems.front();
  for (const SourcedNavaid& r : read_.records) {
    EXPECT_EQ(r.source, NavaidSource::OurAirports);
    EXPECT_GT(r.line, 1);
  }
}

TEST_F(OurAirportsTablesTest, GivesAirportsByTheirIcaoCode) {
  // The heliport and the closed field are left out; the ICAO code wins over the GPS
  // code, which wins over the ident.
  EXPECT_EQ(IdentsOf(read_, NavaidKind::Airport),
            (std::set<std::string>{"EHAM", "EHTX", "NL-0001", "EHSB", "KXYZ"}));
  const SourcedNavaid* eham = FindRecord(read_, NavaidKind::Airport, "EHAM");
  ASSERT_NE(eham, nullptr);
  EXPECT_EQ(eham->name, "Schiphol, Amsterdam");
  EXPECT_DOUBLE_EQ(eham->latitudeDeg, 52.308601);
  EXPECT_DOUBLE_EQ(eham->longitudeDeg, 4.76389);
  EXPECT_DOUBLE_EQ(eham->elevationFt, -11);
  EXPECT_EQ(eham->line, 2);
  const SourcedNavaid* texel = FindRecord(read_, NavaidKind::Airport, "EHTX");
  ASSERT_NE(texel, nullptr);
  EXPECT_EQ(texel->name, "Texel \"De Vlijt\"");
}

TEST_F(OurAirportsTablesTest, GivesARecordForEachRunwayEndWithAPosition) {
  const struct {
    const char* airport;
    const char* runway;
    double latitude, longitude, heading, elevationFt, lengthM;
    double displacedM, endLatitude;  // NaN: unknown
    int line;
  } cases[] = {
      {"EHAM", "06", 52.2879, 4.73402, 58, -11, 3439.0584, 249.936, 52.3046, 2},
      {"EHAM", "24", 52.3046, 4.77752, 238, -12, 3439.0584, kUnknown, 52.2879, 2},
      // No headings: the bearing toward the other end; the airport's elevation.
      {"EHTX", "04", 53.11, 4.83, 0, 2, 914.4, kUnknown, 53.12, 3},
      {"EHTX", "22", 53.12, 4.83, 180, 2, 914.4, kUnknown, 53.11, 3},
      // Not in the airports table: named by its airport_ident.
      {"ZZZZ", "18", 10, 10, 180, 50, 609.6, kUnknown, 9.99, 7},
      // Joined through airport_ref although its airport_ident differs; one end only.
      {"KXYZ", "09", 40, -75.01, kUnknown, 100, 548.64, kUnknown, kUnknown, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.airport) + " " + c.runway);
    const SourcedNavaid* r = FindRecord(read_, NavaidKind::Runway, c.airport, c.runway);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->airport, c.airport);
    EXPECT_DOUBLE_EQ(r->latitudeDeg, c.latitude);
    EXPECT_DOUBLE_EQ(r->longitudeDeg, c.longitude);
    ExpectValue(r->headingTrueDeg, c.heading, 1e-6);
    EXPECT_DOUBLE_EQ(r->elevationFt, c.elevationFt);
    EXPECT_NEAR(r->lengthM, c.lengthM, 1e-9);
    ExpectValue(r->thresholdDisplacedM, c.displacedM, 1e-9);
    ExpectValue(r->endLatitudeDeg, c.endLatitude, 0);
    EXPECT_EQ(r->line, c.line);
  }
  // Closed runways, ends without a position and the heliport's pad give none.
  int runways = 0;
  for (const SourcedNavaid& r : read_.records) runways += r.kind == NavaidKind::Runway;
  EXPECT_EQ(runways, 7);
}

TEST_F(OurAirportsTablesTest, GivesVorsAndNdbsWithTheirDmes) {
  const struct {
    NavaidKind kind;
    const char* ident;
    double frequency;
    bool dme;
    const char* airport;
  } cases[] = {
      {NavaidKind::Vor, "AMS", 113.95, true, "EHAM"},
      {NavaidKind::Vor, "SPL", 108.4, true, "EHAM"},  // the DME listed before it, 50 m off
      {NavaidKind::Vor, "HSD", 114.15, false, ""},    // its DME 3 km off is another station
      {NavaidKind::Vor, "VTC", 115.0, true, "KXYZ"},  // the associated airport's code
      {NavaidKind::Ndb, "CH", 389, false, "EHAM"},
      {NavaidKind::Ndb, "XN", 400, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ident);
    const SourcedNavaid* r = FindRecord(read_, c.kind, c.ident);
    ASSERT_NE(r, nullptr);
    EXPECT_DOUBLE_EQ(r->frequency, c.frequency);
    EXPECT_EQ(r->dme, c.dme);
    EXPECT_EQ(r->airport, c.airport);
  }
  const SourcedNavaid* spl = FindRecord(read_, NavaidKind::Vor, "SPL");
  ASSERT_NE(spl, nullptr);
  EXPECT_EQ(spl->name, "Schiphol, VOR");
  EXPECT_DOUBLE_EQ(spl->magneticVariationDeg, -1.5);
  // A TACAN or DME without a VOR is no navaid of its own.
  EXPECT_EQ(IdentsOf(read_, NavaidKind::Vor), (std::set<std::string>{"AMS", "SPL", "HSD", "VTC"}));
  EXPECT_EQ(IdentsOf(read_, NavaidKind::Ndb), (std::set<std::string>{"CH", "XN"}));
}

TEST_F(OurAirportsTablesTest, GivesAtisAtTheAirports) {
  std::vector<std::string> found;
  for (const SourcedNavaid& r : read_.records) {
    if (r.kind != NavaidKind::Atis) continue;
    EXPECT_EQ(r.ident, "ATIS");
    const SourcedNavaid* airport = FindRecord(read_, NavaidKind::Airport, r.airport);
    ASSERT_NE(airport, nullptr) << r.airport;
    EXPECT_DOUBLE_EQ(r.latitudeDeg, airport->latitudeDeg);
    EXPECT_DOUBLE_EQ(r.longitudeDeg, airport->longitudeDeg);
    found.push_back(r.airport + " " + std::to_string(r.frequency).substr(0, 6) + " " + r.name +
                    " @" + std::to_string(r.line));
  }
  // The heliport's ATIS is left out; a description over two lines is one line.
  EXPECT_EQ(found, (std::vector<std::string>{"EHAM 132.98 ATIS @2",
                                             "KXYZ 122.50 Digital ATIS, arrivals @4",
                                             "EHTX 126.03 ATIS Texel @6"}));
}

// ---- Damage: each bad row is one problem naming its line; the rest is read ----

TEST(OurAirports, ReportsBadRowsAndReadsTheRest) {
  const SourceRead read = ReadOurAirports(ReadOurAirportsFolder(kTablesDir + "/bad"));
  const std::vector<std::string> expected = {
      "airports.csv, line 2: the row has 4 fields, the header names 8",
      "airports.csv, line 3: latitude 95 is beyond 90",
      "airports.csv, line 5: longitude 200 is beyond 180",
      "airports.csv, line 6: a quoted field is not closed",
      "runways.csv, line 1: no column airport_ref or airport_ident, le_ident, le_latitude_deg, "
      "le_longitude_deg, he_ident, he_latitude_deg, he_longitude_deg: not an OurAirports "
      "runways table, not read",
      "navaids.csv, line 2: VOR frequency 5 MHz is outside 108 to 118 MHz",
      "navaids.csv, line 3: NDB frequency 5000 kHz is outside 100 to 1800 kHz",
      "navaids.csv, line 5: VOR without a frequency",
      "navaids.csv, line 6: latitude \"abc\" is no number",
      "airport-frequencies.csv, line 2: ATIS frequency 5 MHz is outside 108 to 137 and 225 "
      "to 400 MHz",
      "airport-frequencies.csv, line 4: 2 ATIS left out from here on: their airports are not "
      "in the airports table",
  };
  ASSERT_EQ(read.problems.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    // Messages name the file as found in its folder.
    EXPECT_EQ(read.problems[i], JoinPath(kTablesDir + "/bad", expected[i])) << i;
  }
  EXPECT_EQ(IdentsOf(read, NavaidKind::Airport), (std::set<std::string>{"EHAC", "EHAG"}));
  EXPECT_EQ(IdentsOf(read, NavaidKind::Vor), (std::set<std::string>{"OK"}));
  ASSERT_NE(FindRecord(read, NavaidKind::Atis, "ATIS"), nullptr);
  EXPECT_DOUBLE_EQ(FindRecord(read, NavaidKind::Atis, "ATIS")->frequency, 128.5);
}

TEST(OurAirports, NamesTablesWithoutAFileName) {
  OurAirportsTables tables;
  tables.navaids = "ident,type,frequency_khz,latitude_deg,longitude_deg\nX,VOR,5000,52,5\n";
  tables.runways = "airport_ident,le_ident,he_ident\n";
  const SourceRead read = ReadOurAirports(tables);
  ASSERT_EQ(read.problems.size(), 2u);
  EXPECT_EQ(read.problems[0].rfind("runways.csv, line 1: no column le_latitude_deg", 0), 0u)
      << read.problems[0];
  EXPECT_EQ(read.problems[1], "navaids.csv, line 2: VOR frequency 5 MHz is outside 108 to 118 MHz");
  EXPECT_TRUE(read.records.empty());
}

// Every value of a record, to compare readings.
std::string Describe(const SourcedNavaid& r) {
  std::ostringstream text;
  text << std::setprecision(17) << static_cast<int>(r.kind) << ' ' << r.ident << '|' << r.name
       << '|' << r.airport << '|' << r.runway << ' ' << r.latitudeDeg << ' ' << r.longitudeDeg
       << ' ' << r.elevationFt << ' ' << r.frequency << ' ' << r.magneticVariationDeg << ' '
       << r.dme << ' ' << r.headingTrueDeg << ' ' << r.lengthM << ' ' << r.widthM << ' '
       << r.thresholdDisplacedM << ' ' << r.endLatitudeDeg << ' ' << r.endLongitudeDeg << " @"
       << r.line;
  return text.str();
}

std::vector<std::string> Described(const SourceRead& read) {
  std::vector<std::string> out;
  for (const SourcedNavaid& r : read.records) out.push_back(Describe(r));
  return out;
}

TEST(OurAirports, ReadsTheSameInPiecesOfAnySize) {
  // Pieces of a line each cut the quoted description over two lines and the stray
  // quote apart from the rows after them; the reading must not tell.
  for (const std::string& folder : {kTablesDir, kTablesDir + "/bad"}) {
    const OurAirportsTables tables = ReadOurAirportsFolder(folder);
    const SourceRead whole = ReadOurAirports(tables, std::size_t{1} << 30);
    for (const std::size_t pieceBytes : {1, 40, 100, 300}) {
      SCOPED_TRACE(folder + " in pieces of " + std::to_string(pieceBytes));
      const SourceRead pieces = ReadOurAirports(tables, pieceBytes);
      EXPECT_EQ(Described(pieces), Described(whole));
      EXPECT_EQ(pieces.problems, whole.problems);
    }
  }
}

// ---- The real tables of the Netherlands ----

std::optional<OurAirportsTables> RealTables() {
  OurAirportsTables tables;
  const struct {
    const char* file;
    std::string* text;
    std::string* name;
  } files[] = {
      {"ourairports_airports_NL.csv", &tables.airports, &tables.airportsName},
      {"ourairports_runways_NL.csv", &tables.runways, &tables.runwaysName},
      {"ourairports_navaids_NL.csv", &tables.navaids, &tables.navaidsName},
      {"ourairports_airport-frequencies_NL.csv", &tables.frequencies, &tables.frequenciesName},
  };
  for (const auto& f : files) {
    std::optional<std::string> text = ReadWholeFile(kRealDir + "/" + f.file);
    if (!text) return std::nullopt;
    *f.text = std::move(*text);
    *f.name = f.file;
  }
  return tables;
}

TEST(OurAirportsReal, ReadsTheNetherlands) {
  const std::optional<OurAirportsTables> tables = RealTables();
  if (!tables) GTEST_SKIP() << "the OurAirports tables of the Netherlands are not in " << kRealDir;
  const SourceRead read = ReadOurAirports(*tables);
  EXPECT_TRUE(read.problems.empty()) << read.problems.front();
  // 2 large, 13 medium and 26 small airports; no heliports or closed fields.
  EXPECT_EQ(IdentsOf(read, NavaidKind::Airport).size(), 41u);

  const SourcedNavaid* rwy06 = FindRecord(read, NavaidKind::Runway, "EHAM", "06");
  ASSERT_NE(rwy06, nullptr);
  EXPECT_DOUBLE_EQ(rwy06->latitudeDeg, 52.2879);
  EXPECT_DOUBLE_EQ(rwy06->longitudeDeg, 4.73402);
  EXPECT_NEAR(rwy06->thresholdDisplacedM, 249.9, 0.05);
  EXPECT_DOUBLE_EQ(rwy06->headingTrueDeg, 58);
  EXPECT_NEAR(rwy06->lengthM, 11283 * 0.3048, 1e-9);
  EXPECT_NEAR(rwy06->widthM, 148 * 0.3048, 1e-9);
  EXPECT_DOUBLE_EQ(rwy06->elevationFt, -11);
  EXPECT_DOUBLE_EQ(rwy06->endLatitudeDeg, 52.3046);
  EXPECT_DOUBLE_EQ(rwy06->endLongitudeDeg, 4.77752);

  const SourcedNavaid* ams = FindRecord(read, NavaidKind::Vor, "AMS");
  ASSERT_NE(ams, nullptr);
  EXPECT_DOUBLE_EQ(ams->frequency, 113.95);
  EXPECT_TRUE(ams->dme);
  EXPECT_NEAR(ams->latitudeDeg, 52.3328, 1e-4);

  const SourcedNavaid* atis = nullptr;
  for (const SourcedNavaid& r : read.records) {
    if (r.kind == NavaidKind::Atis && r.airport == "EHAM") atis = &r;
  }
  ASSERT_NE(atis, nullptr);
  EXPECT_DOUBLE_EQ(atis->frequency, 132.98);
  EXPECT_DOUBLE_EQ(atis->latitudeDeg, 52.308601);
  EXPECT_EQ(atis->line, 8);
}

}  // namespace
}  // namespace quarn
