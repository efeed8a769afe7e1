#include "record/igc_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/format.h"
#include "record/text_input.h"
#include "record/track_builder.h"

namespace quarn {
namespace {

constexpr double kFeetPerMetre = 1 / 0.3048;
constexpr double kKnotsPerKmh = 1 / 1.852;
// A B record's fixed fields: B, time, latitude, longitude, validity, two altitudes.
constexpr std::size_t kFixLength = 35;
// A time of day this much earlier than the fix before is past midnight; a smaller
// step back is a clock going backwards.
constexpr int kMidnightStepSeconds = 12 * 3600;

// An extension the I record declares: where it sits in each B record and what it is.
struct Extension {
  std::size_t offset = 0;  // 0-based
  std::size_t length = 0;
  std::string code;
};

// How the B records read after the last I record.
struct FixLayout {
  std::vector<Extension> extensions;
  std::size_t fixLength = kFixLength;  // the fixed fields and every extension
};

// What the records before a fix said that the fix needs.
struct IgcContext {
  std::optional<std::int64_t> dateStart;  // seconds since 1970 of the date's midnight
  FixLayout layout;
  int lastTimeOfDay = -1;
  int daysPassed = 0;
};

// The value of exactly n (at most 9) decimal digits at s[at], or -1.
int DigitsAt(std::string_view s, std::size_t at, std::size_t n) {
  if (at > s.size() || s.size() - at < n) return -1;
  int value = 0;
  for (std::size_t i = at; i < at + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return -1;
    value = value * 10 + (s[i] - '0');
  }
  return value;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The value of a header record after its colon, or nothing when it has none.
std::optional<std::string> HeaderValue(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  return std::string(TrimBlanks(line.substr(colon + 1)));
}

// The date of "HFDTEDDMMYY" or "HFDTEDATE:DDMMYY,NN", as seconds since 1970 of its
// midnight.
std::optional<std::int64_t> ParseDateRecord(std::string_view line) {
  std::string_view rest = line.substr(5);
  if (Upper(rest.substr(0, 4)) == "DATE") rest.remove_prefix(4);
  while (!rest.empty() && (rest.front() == ':' || rest.front() == ' ')) rest.remove_prefix(1);
  const int day = DigitsAt(rest, 0, 2);
  const int month = DigitsAt(rest, 2, 2);
  const int year2 = DigitsAt(rest, 4, 2);
  if (day < 0 || month < 0 || year2 < 0) return std::nullopt;
  if (rest.size() > 6 && rest[6] >= '0' && rest[6] <= '9') return std::nullopt;
  const int year = year2 >= 80 ? 1900 + year2 : 2000 + year2;
  const std::int64_t days = DaysFromCivil(year, month, day);
  // A day the month does not have comes back as another date.
  if (CivilFromDays(days) != CivilDate{year, month, day}) return std::nullopt;
  return days * 86400;
}

// An H record: the date, and who flew what.
Status ReadHeader(std::string_view line, int number, const std::string& name, IgcContext& context,
                  Flight& flight) {
  if (line.size() < 5) return Status::Ok();
  const std::string code = Upper(line.substr(2, 3));
  if (code == "DTE") {
    // A date after the first fix would move the fixes read so far: the first holds.
    if (context.lastTimeOfDay >= 0) return Status::Ok();
    const auto start = ParseDateRecord(line);
    if (!start) return Status::Fail(ReadErrorAt(name, number, "unreadable date").message);
    context.dateStart = start;
    return Status::Ok();
  }
  std::string* field = code == "PLT"   ? &flight.pilot
                       : code == "GTY" ? &flight.aircraft
                       : code == "GID" ? &flight.callsign
                                       : nullptr;
  if (field != nullptr && field->empty()) {
    if (auto value = HeaderValue(line)) *field = std::move(*value);
  }
  return Status::Ok();
}

bool IsUsedExtension(const std::string& code) {
  return code == "IAS" || code == "TAS" || code == "HDT" || code == "HDM";
}

// The I record "INN" followed by NN groups "SSFFCCC": start and end byte (1-based)
// and the three-letter code of each extension of the B records.
Status ReadExtensions(std::string_view line, int number, const std::string& name,
                      IgcContext& context, TrackBuilder& builder) {
  auto fail = [&](const std::string& what) {
    return Status::Fail(ReadErrorAt(name, number, what).message);
  };
  const int count = DigitsAt(line, 1, 2);
  if (count < 0) return fail("unreadable extension count");
  const std::size_t groups = static_cast<std::size_t>(count);
  if (line.size() < 3 + 7 * groups) {
    return fail(Format("an I record too short for its %d extensions", count));
  }
  FixLayout& layout = context.layout;
  layout.extensions.clear();
  layout.fixLength = kFixLength;
  for (std::size_t i = 0; i < groups; ++i) {
    const std::size_t at = 3 + 7 * i;
    const int start = DigitsAt(line, at, 2);
    const int end = DigitsAt(line, at + 2, 2);
    const std::string code = Upper(line.substr(at + 4, 3));
    if (start < 0 || end < 0) return fail("unreadable byte positions of extension " + code);
    if (static_cast<std::size_t>(start) <= kFixLength || end < start) {
      return fail(Format("extension %s at bytes %d to %d overlaps the fix or ends before it starts",
                         code.c_str(), start, end));
    }
    const auto offset = static_cast<std::size_t>(start - 1);
    const auto length = static_cast<std::size_t>(end - start + 1);
    layout.extensions.push_back({offset, length, code});
    layout.fixLength = std::max(layout.fixLength, offset + length);
  }
  for (const Extension& e : layout.extensions) {
    if (e.code == "IAS") builder.Declare(Channel::Ias);
    if (e.code == "TAS") builder.Declare(Channel::Tas);
    if (e.code == "HDT" || e.code == "HDM") builder.Declare(Channel::Heading);
  }
  return Status::Ok();
}

// The value of the n digits at p, or -1 when one is not a digit. The caller has
// made sure the bytes are there: the fixed fields of a million fixes are read with
// this.
int FixedDigits(const char* p, int n) {
  int value = 0;
  for (int i = 0; i < n; ++i) {
    const int digit = p[i] - '0';
    if (digit < 0 || digit > 9) return -1;
    value = value * 10 + digit;
  }
  return value;
}

// An altitude field of five bytes: digits, or a '-' and digits. False when it is
// neither.
bool FixedAltitude(const char* p, int& value) {
  const bool negative = p[0] == '-';
  const int magnitude = negative ? FixedDigits(p + 1, 4) : FixedDigits(p, 5);
  value = negative ? -magnitude : magnitude;
  return magnitude >= 0;
}

// Degrees from DD(D)MMmmm and a hemisphere letter at p, upper or lower case: the
// positive one, the negative one. False when the field is not such.
bool ParseAngle(const char* p, int degreeDigits, char positive, char negative, double& value) {
  const int degrees = FixedDigits(p, degreeDigits);
  const int thousandths = FixedDigits(p + degreeDigits, 5);
  if (degrees < 0 || thousandths < 0 || thousandths >= 60000) return false;
  char hemisphere = p[degreeDigits + 5];
  if (hemisphere >= 'a' && hemisphere <= 'z')
    hemisphere = static_cast<char>(hemisphere - 'a' + 'A');
  if (hemisphere != positive && hemisphere != negative) return false;
  const double magnitude = degrees + thousandths / 60000.0;
  value = hemisphere == positive ? magnitude : -magnitude;
  return true;
}

// The value of an extension in a fix: nothing when blank.
Result<double> ExtensionValue(std::string_view line, const Extension& e) {
  const std::string_view field = TrimBlanks(line.substr(e.offset, e.length));
  if (field.empty()) return kNoValue;
  const auto value = ParseNumber(field);
  if (!value) return Error{"unreadable " + e.code + " value \"" + std::string(field) + "\""};
  return *value;
}

// What a B record says by itself; where it falls in time depends on the date and the
// fixes before it.
struct Fix {
  int timeOfDay = 0;
  // An invalid fix at exactly 0°N 0°E: a logger without any fix yet. Only its time
  // counts.
  bool noPosition = false;
  double latitudeDeg = 0;
  double longitudeDeg = 0;
  double altitudeFt = kNoValue;
  double iasKt = kNoValue;
  double tasKt = kNoValue;
  double headingDeg = kNoValue;
};

// The fixed fields of a B record, B HHMMSS DDMMmmmN DDDMMmmmE V PPPPP GGGGG, into the
// fix, or what is wrong with them; line holds them all (kFixLength bytes at least).
std::optional<std::string> ReadFixedFields(std::string_view line, Fix& fix) {
  const char* b = line.data();
  const int hours = FixedDigits(b + 1, 2);
  const int minutes = FixedDigits(b + 3, 2);
  const int seconds = FixedDigits(b + 5, 2);
  if (hours < 0 || minutes < 0 || seconds < 0 || hours > 23 || minutes > 59 || seconds > 59) {
    return "unreadable time of day";
  }
  double latitude = 0;
  if (!ParseAngle(b + 7, 2, 'N', 'S', latitude)) return "unreadable latitude";
  double longitude = 0;
  if (!ParseAngle(b + 15, 3, 'E', 'W', longitude)) return "unreadable longitude";
  const char validity = b[24];
  if (validity != 'A' && validity != 'V') {
    return Format("fix validity '%c' is neither A nor V", validity);
  }
  int pressureMetres = 0;
  int gnssMetres = 0;
  if (!FixedAltitude(b + 25, pressureMetres) || !FixedAltitude(b + 30, gnssMetres)) {
    return "unreadable altitude";
  }

  fix.timeOfDay = hours * 3600 + minutes * 60 + seconds;
  const bool valid = validity == 'A';
  // A logger without a fix yet writes zeros for the position.
  fix.noPosition = !valid && latitude == 0 && longitude == 0;
  if (fix.noPosition) return std::nullopt;
  fix.latitudeDeg = latitude;
  fix.longitudeDeg = longitude;
  // The GNSS altitude of an invalid fix is not to be trusted: such a fix without a
  // pressure altitude takes its neighbours'.
  if (pressureMetres != 0) {
    fix.altitudeFt = pressureMetres * kFeetPerMetre;
  } else if (valid) {
    fix.altitudeFt = gnssMetres * kFeetPerMetre;
  }
  return std::nullopt;
}

// The extensions of a B record that the layout in force declares, into the fix.
std::optional<std::string> ReadFixExtensions(std::string_view line, const FixLayout& layout,
                                             Fix& fix) {
  double headingMagnetic = kNoValue;
  for (const Extension& e : layout.extensions) {
    if (!IsUsedExtension(e.code)) continue;
    const auto value = ExtensionValue(line, e);
    if (!value) return value.error().message;
    if (e.code == "IAS") fix.iasKt = *value * kKnotsPerKmh;
    if (e.code == "TAS") fix.tasKt = *value * kKnotsPerKmh;
    if (e.code == "HDT") fix.headingDeg = *value;
    if (e.code == "HDM") headingMagnetic = *value;
  }
  if (std::isnan(fix.headingDeg)) fix.headingDeg = headingMagnetic;
  return std::nullopt;
}

// A B record into the builder, dated by the records before it and read by the layout
// they declared.
Status TakeFix(std::string_view line, int number, const std::string& name, IgcContext& context,
               TrackBuilder& builder) {
  auto fail = [&](const std::string& what) {
    return Status::Fail(ReadErrorAt(name, number, what).message);
  };
  if (!context.dateStart) return fail("a fix before the date (HFDTE)");
  const FixLayout& layout = context.layout;
  if (line.size() < layout.fixLength) {
    return fail(Format("a B record of %zu bytes, too short for its %zu bytes of fields%s",
                       line.size(), layout.fixLength,
                       layout.fixLength > kFixLength ? " and extensions" : ""));
  }
  Fix fix;
  if (auto fault = ReadFixedFields(line, fix)) return fail(*fault);
  if (context.lastTimeOfDay >= 0 && context.lastTimeOfDay - fix.timeOfDay > kMidnightStepSeconds) {
    ++context.daysPassed;
  }
  context.lastTimeOfDay = fix.timeOfDay;
  if (fix.noPosition) return Status::Ok();
  if (auto fault = ReadFixExtensions(line, layout, fix)) return fail(*fault);
  TrackPoint p;
  p.utcSeconds =
      static_cast<double>(*context.dateStart + context.daysPassed * 86400LL + fix.timeOfDay);
  p.latitudeDeg = fix.latitudeDeg;
  p.longitudeDeg = fix.longitudeDeg;
  p.altitudeFt = fix.altitudeFt;
  p.iasKt = fix.iasKt;
  p.tasKt = fix.tasKt;
  p.headingDeg = fix.headingDeg;
  if (auto refused = builder.Take(p)) return fail(*refused);
  return Status::Ok();
}

}  // namespace

// Read in one pass on one core: a fix costs less to read than to store, and while the
// lines are read the builder has the other core make the flight's memory ready. (Read
// on both cores, the fixes would leave no core to make the memory ready, and storing
// into memory not yet made ready costs more than all the reading.)
Result<LoadedFlight> ReadIgc(std::string_view text, const std::string& name) {
  TrackBuilder builder(name, "igc");
  builder.Reserve(EstimateLines(text));  // most lines of a long flight are fixes
  builder.Declare(Channel::Altitude);
  IgcContext context;
  LineCursor lines(text);
  for (std::string_view line; lines.Next(line);) {
    const int number = lines.number();
    if (line.empty()) continue;
    Status status;
    switch (line.front()) {
      case 'H':
        status = ReadHeader(line, number, name, context, builder.flight());
        break;
      case 'I':
        status = ReadExtensions(line, number, name, context, builder);
        break;
      case 'B':
        status = TakeFix(line, number, name, context, builder);
        break;
      default:
        break;  // the A record, events, satellites, comments, security
    }
    if (!status) return Error{status.error};
  }
  return builder.Finish();
}

}  // namespace quarn
