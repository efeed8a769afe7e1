// Writes the example scenery around Amsterdam from OurAirports' public-domain data
// of the Netherlands: one file in the older layout and one in the FS2000 layout.
//
//   make_example_scenery REAL_WORLD_DIR OUTPUT_DIR
//
// REAL_WORLD_DIR holds ourairports_airports_NL.csv, ourairports_runways_NL.csv,
// ourairports_navaids_NL.csv and ourairports_airport-frequencies_NL.csv. OurAirports
// has no ILS; the one ILS written, runway 06 of Schiphol (ident KAG, 110.55 MHz,
// course 57.8 degrees true, 3 degree glide slope), is taken as published facts and
// placed at the far end of the runway.

#include <cmath>
#include <numbers>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/bgl_writer.h"
#include "support/flight_record_writer.h"

namespace {

using namespace quarn::testing;

constexpr double kLatMin = 51.9, kLatMax = 52.8, kLonMin = 4.2, kLonMax = 5.6;
constexpr double kFeetToMetres = 0.3048;

using Row = std::map<std::string, std::string>;

// RFC 4180 fields: quoted fields may hold commas and doubled quotes.
std::vector<std::string> SplitCsv(const std::string& line) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        out.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        out.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      out.emplace_back();
    } else if (c != '\r') {
      out.back() += c;
    }
  }
  return out;
}

std::vector<Row> ReadCsv(const std::string& path) {
  std::ifstream in(path);
  std::vector<Row> rows;
  std::string line;
  if (!std::getline(in, line)) return rows;
  const auto header = SplitCsv(line);
  while (std::getline(in, line)) {
    const auto fields = SplitCsv(line);
    Row row;
    for (std::size_t i = 0; i < header.size() && i < fields.size(); ++i) row[header[i]] = fields[i];
    rows.push_back(std::move(row));
  }
  return rows;
}

double Num(const Row& r, const std::string& key) {
  const auto it = r.find(key);
  return it == r.end() || it->second.empty() ? 0.0 : std::stod(it->second);
}
bool Has(const Row& r, const std::string& key) {
  const auto it = r.find(key);
  return it != r.end() && !it->second.empty();
}
bool InArea(double lat, double lon) {
  return lat >= kLatMin && lat <= kLatMax && lon >= kLonMin && lon <= kLonMax;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// OurAirports surfaces to the scenery's surface codes.
std::int8_t SurfaceCode(const std::string& surface) {
  const std::string s = Upper(surface);
  if (s.rfind("CON", 0) == 0) return 0;
  if (s.rfind("ASP", 0) == 0) return 1;
  if (s.rfind("GRASS", 0) == 0 || s.rfind("TURF", 0) == 0) return 2;
  return 3;
}

struct Airport {
  std::string ident, name;
  double lat = 0, lon = 0, elevationFt = 0;
};
struct Runway {
  std::string airport;
  int number = 0;
  char side = ' ';
  double lat = 0, lon = 0;        // centre
  double farLat = 0, farLon = 0;  // the far (high-numbered) end
  double heading = 0, elevationFt = 0;
  int lengthFt = 0, widthFt = 0;
  std::int8_t surface = 0;
};
struct Navaid {
  std::string ident, name, type;
  double lat = 0, lon = 0, elevationFt = 0, frequencyKhz = 0, magVarWest = 0;
};
struct Atis {
  std::string airport;
  double mhz = 0;
};

int Metres(double feet) {
  return static_cast<int>(std::lround(feet * kFeetToMetres));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_example_scenery REAL_WORLD_DIR OUTPUT_DIR\n");
    return 2;
  }
  const std::string in = argv[1], outDir = argv[2];

  std::vector<Airport> airports;
  for (const auto& r : ReadCsv(in + "/ourairports_airports_NL.csv")) {
    const std::string type = r.at("type");
    if (type != "small_airport" && type != "medium_airport" && type != "large_airport") continue;
    if (!InArea(Num(r, "latitude_deg"), Num(r, "longitude_deg"))) continue;
    airports.push_back({r.at("ident"), r.at("name"), Num(r, "latitude_deg"),
                        Num(r, "longitude_deg"), Num(r, "elevation_ft")});
  }
  auto known = [&](const std::string& ident) {
    for (const auto& a : airports) {
      if (a.ident == ident) return true;
    }
    return false;
  };

  std::vector<Runway> runways;
  for (const auto& r : ReadCsv(in + "/ourairports_runways_NL.csv")) {
    if (!known(r.at("airport_ident")) || r.at("closed") == "1") continue;
    if (!Has(r, "le_latitude_deg") || !Has(r, "he_latitude_deg")) continue;
    Runway w;
    w.airport = r.at("airport_ident");
    const std::string id = r.at("le_ident");
    w.number = std::stoi(id);
    if (!id.empty() && std::isalpha(static_cast<unsigned char>(id.back()))) w.side = id.back();
    w.lat = (Num(r, "le_latitude_deg") + Num(r, "he_latitude_deg")) / 2;
    w.lon = (Num(r, "le_longitude_deg") + Num(r, "he_longitude_deg")) / 2;
    w.farLat = Num(r, "he_latitude_deg");
    w.farLon = Num(r, "he_longitude_deg");
    w.heading = Num(r, "le_heading_degT");
    w.elevationFt = Num(r, "le_elevation_ft");
    w.lengthFt = static_cast<int>(Num(r, "length_ft"));
    w.widthFt = static_cast<int>(Num(r, "width_ft"));
    w.surface = SurfaceCode(r.at("surface"));
    runways.push_back(w);
  }

  std::vector<Navaid> vors, ndbs;
  for (const auto& r : ReadCsv(in + "/ourairports_navaids_NL.csv")) {
    if (!InArea(Num(r, "latitude_deg"), Num(r, "longitude_deg"))) continue;
    // OurAirports gives the variation east-positive; the program keeps west positive.
    Navaid n{r.at("ident"),
             r.at("name"),
             r.at("type"),
             Num(r, "latitude_deg"),
             Num(r, "longitude_deg"),
             Num(r, "elevation_ft"),
             Num(r, "frequency_khz"),
             -Num(r, "magnetic_variation_deg")};
    if (n.type == "VOR" || n.type == "VOR-DME") vors.push_back(n);
    if (n.type == "NDB") ndbs.push_back(n);
  }

  std::vector<Atis> atis;
  for (const auto& r : ReadCsv(in + "/ourairports_airport-frequencies_NL.csv")) {
    if (known(r.at("airport_ident")) && r.at("type") == "ATIS") {
      atis.push_back({r.at("airport_ident"), Num(r, "frequency_mhz")});
    }
  }
  auto airportOf = [&](const std::string& ident) -> const Airport& {
    for (const auto& a : airports) {
      if (a.ident == ident) return a;
    }
    return airports.front();
  };
  auto variationNear = [&](double lat, double lon) {
    double best = 1e9, v = 0;
    for (const auto& n : vors) {
      const double d = std::hypot(n.lat - lat, (n.lon - lon) * std::cos(lat * std::numbers::pi / 180));
      if (d < best) best = d, v = n.magVarWest;
    }
    return v;
  };

  // The ILS of Schiphol runway 06: the localizer stands beyond the far end.
  const Runway* rwy06 = nullptr;
  for (const auto& w : runways) {
    if (w.airport == "EHAM" && w.number == 6 && w.side == ' ') rwy06 = &w;
  }
  if (rwy06 == nullptr) {
    std::fprintf(stderr, "EHAM runway 06 is missing from the input\n");
    return 1;
  }
  const double ilsMhz = 110.55, ilsCourse = 57.8;
  const std::int16_t glideSlope3Deg = 6861;

  // ---- The older layout ----
  BglContent old;
  for (const auto& n : ndbs) {
    old.ndbs.push_back({n.lat, n.lon, n.frequencyKhz,
                        static_cast<std::int16_t>(Metres(n.elevationFt)), 25, n.ident,
                        Upper(n.name), 0});
  }
  for (const auto& a : atis) {
    const Airport& ap = airportOf(a.airport);
    old.atis.push_back({ap.lat, ap.lon, a.mhz, 0, 16, 0});
  }
  for (const auto& n : vors) {
    OldVorIls v;
    v.frequencyMhz = n.frequencyKhz / 1000;
    v.latitude = n.lat;
    v.longitude = n.lon;
    v.intValue = static_cast<std::int16_t>(Metres(n.elevationFt));
    v.rangeRaw = 50;
    v.magVarDeg = n.magVarWest;
    v.ident = n.ident;
    v.name = Upper(n.name);
    old.vorIls.push_back(v);
  }
  OldVorIls ils;
  ils.ils = true;
  ils.frequencyMhz = ilsMhz;
  ils.latitude = rwy06->farLat;
  ils.longitude = rwy06->farLon;
  ils.intValue = glideSlope3Deg;
  ils.rangeRaw = 9;
  ils.magVarDeg = variationNear(rwy06->lat, rwy06->lon);
  ils.courseDeg = ilsCourse;
  ils.ident = "KAG";
  ils.name = "EHAM 06";
  old.vorIls.push_back(ils);
  for (const auto& a : airports) {
    old.airports.push_back({a.lat, a.lon, a.elevationFt * kFeetToMetres, a.name, 0});
  }
  for (const auto& w : runways) {
    old.runways.push_back({w.lat, w.lon, w.elevationFt * kFeetToMetres, w.heading,
                           static_cast<std::int16_t>(w.lengthFt),
                           static_cast<std::int16_t>(w.widthFt), w.number, w.side, w.surface});
  }

  // ---- The FS2000 layout ----
  BglContent fs;
  FacBlock block;
  for (const auto& a : airports) {
    FacEntry e;
    e.kind = kFacAirportKind;
    e.name = a.name;
    e.subs.push_back(Sub(FacAirport{a.lat, a.lon, Metres(a.elevationFt), a.ident}));
    for (const auto& w : runways) {
      if (w.airport != a.ident) continue;
      FacRunway r;
      r.latitude = w.lat;
      r.longitude = w.lon;
      r.value26 = w.surface;
      r.value28 = Metres(w.elevationFt);
      r.headingDeg = w.heading;
      r.magVarDeg = variationNear(w.lat, w.lon);
      r.lengthFt = static_cast<std::int16_t>(w.lengthFt);
      r.widthFt = static_cast<std::int16_t>(w.widthFt);
      r.sideCode = w.side == 'L' ? 1 : w.side == 'R' ? 2 : w.side == 'C' ? 3 : 0;
      r.numberByte = static_cast<std::uint8_t>(w.number);
      e.subs.push_back(Sub(r));
      if (&w == rwy06) {
        // Stored mirrored through the runway point; the reader mirrors it back.
        FacNavaid n;
        n.latitude = 2 * w.lat - rwy06->farLat;
        n.longitude = 2 * w.lon - rwy06->farLon;
        n.altitude = Metres(w.elevationFt);
        n.courseDeg = ilsCourse;
        n.frequencyMhz = ilsMhz;
        n.navaidType = 4;
        n.ident = "KAG";
        e.subs.push_back(Sub(n));
      }
    }
    for (const auto& t : atis) {
      if (t.airport == a.ident) e.subs.push_back(Sub(FacCom{t.mhz, 1}));
    }
    block.entries.push_back(std::move(e));
  }
  for (const auto& n : vors) {
    FacEntry e;
    e.kind = kFacVorListKind;
    e.name = Upper(n.name);
    FacNavaid v;
    v.latitude = n.lat;
    v.longitude = n.lon;
    v.altitude = Metres(n.elevationFt);
    v.frequencyMhz = n.frequencyKhz / 1000;
    v.navaidType = 1;
    v.ident = n.ident;
    e.subs.push_back(Sub(v));
    if (n.type == "VOR-DME") {  // the DME of the station repeats its ident
      v.navaidType = 2;
      e.subs.push_back(Sub(v));
    }
    block.entries.push_back(std::move(e));
  }
  // The first NDB through the directory, the others only as data blocks that the
  // signature scan finds.
  for (std::size_t i = 0; i < ndbs.size(); ++i) {
    FacNdb d;
    d.latitude = ndbs[i].lat;
    d.longitude = ndbs[i].lon;
    d.frequencyKhz = ndbs[i].frequencyKhz;
    d.intValue = Metres(ndbs[i].elevationFt);
    d.ident = ndbs[i].ident;
    if (i == 0) {
      FacEntry e;
      e.kind = kFacNdbKind;
      e.name = Upper(ndbs[i].name);
      e.ndb = d;
      block.entries.push_back(std::move(e));
    } else {
      fs.looseNdbs.push_back(d);
    }
  }
  fs.facilityBlocks.push_back(std::move(block));

  const std::string oldPath = outDir + "/amsterdam_old.bgl";
  const std::string fsPath = outDir + "/amsterdam_fs2000.bgl";
  if (!WriteBytes(oldPath, BuildBgl(old)) || !WriteBytes(fsPath, BuildBgl(fs))) {
    std::fprintf(stderr, "cannot write to %s\n", outDir.c_str());
    return 1;
  }
  std::printf("%zu airports, %zu runways, %zu VORs, %zu NDBs, %zu ATIS, 1 ILS\n", airports.size(),
              runways.size(), vors.size(), ndbs.size(), atis.size());
  return 0;
}
