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

// What the records before a fix said that the fix needs.
struct IgcContext {
  std::optional<std::int64_t> dateStart;  // seconds since 1970 of the date's midnight
  std::vector<Extension> extensions;
  std::size_t fixLength = kFixLength;  // the fixed fields and every extension
  int lastTimeOfDay = -1;
  int daysPassed = 0;
};

// Exactly n decimal digits at s[at], or nothing.
std::optional<int> DigitsAt(std::string_view s, std::size_t at, std::size_t n) {
  if (at > s.size() || s.size() - at < n) return std::nullopt;
  int value = 0;
  for (std::size_t i = at; i < at + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    value = value * 10 + (s[i] - '0');
  }
  return value;
}

// An altitude field: digits, or a '-' and digits.
std::optional<int> SignedDigitsAt(std::string_view s, std::size_t at, std::size_t n) {
  if (n > 1 && at < s.size() && s[at] == '-') {
    const auto magnitude = DigitsAt(s, at + 1, n - 1);
    if (!magnitude) return std::nullopt;
    return -*magnitude;
  }
  return DigitsAt(s, at, n);
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
  const auto day = DigitsAt(rest, 0, 2);
  const auto month = DigitsAt(rest, 2, 2);
  const auto year2 = DigitsAt(rest, 4, 2);
  if (!day || !month || !year2) return std::nullopt;
  if (rest.size() > 6 && rest[6] >= '0' && rest[6] <= '9') return std::nullopt;
  const int year = *year2 >= 80 ? 1900 + *year2 : 2000 + *year2;
  const std::int64_t days = DaysFromCivil(year, *month, *day);
  // A day the month does not have comes back as another date.
  if (CivilFromDays(days) != CivilDate{year, *month, *day}) return std::nullopt;
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
  const auto count = DigitsAt(line, 1, 2);
  if (!count) return fail("unreadable extension count");
  const std::size_t groups = static_cast<std::size_t>(*count);
  if (line.size() < 3 + 7 * groups) {
    return fail(Format("an I record too short for its %d extensions", *count));
  }
  context.extensions.clear();
  context.fixLength = kFixLength;
  for (std::size_t i = 0; i < groups; ++i) {
    const std::size_t at = 3 + 7 * i;
    const auto start = DigitsAt(line, at, 2);
    const auto end = DigitsAt(line, at + 2, 2);
    const std::string code = Upper(line.substr(at + 4, 3));
    if (!start || !end) return fail("unreadable byte positions of extension " + code);
    if (static_cast<std::size_t>(*start) <= kFixLength || *end < *start) {
      return fail(Format("extension %s at bytes %d to %d overlaps the fix or ends before it starts",
                         code.c_str(), *start, *end));
    }
    const auto offset = static_cast<std::size_t>(*start - 1);
    const auto length = static_cast<std::size_t>(*end - *start + 1);
    context.extensions.push_back({offset, length, code});
    context.fixLength = std::max(context.fixLength, offset + length);
  }
  for (const Extension& e : context.extensions) {
    if (e.code == "IAS") builder.Declare(Channel::Ias);
    if (e.code == "TAS") builder.Declare(Channel::Tas);
    if (e.code == "HDT" || e.code == "HDM") builder.Declare(Channel::Heading);
  }
  return Status::Ok();
}

// Degrees from DD(D)MMmmm and a hemisphere letter: the positive one, the negative one.
std::optional<double> ParseAngle(std::string_view line, std::size_t at, std::size_t degreeDigits,
                                 char positive, char negative) {
  const auto degrees = DigitsAt(line, at, degreeDigits);
  const auto thousandths = DigitsAt(line, at + degreeDigits, 5);
  const std::size_t hemisphereAt = at + degreeDigits + 5;
  if (!degrees || !thousandths || hemisphereAt >= line.size() || *thousandths >= 60000) {
    return std::nullopt;
  }
  const char hemisphere =
      static_cast<char>(std::toupper(static_cast<unsigned char>(line[hemisphereAt])));
  if (hemisphere != positive && hemisphere != negative) return std::nullopt;
  const double value = *degrees + *thousandths / 60000.0;
  return hemisphere == positive ? value : -value;
}

// The value of an extension in a fix: nothing when blank.
Result<double> ExtensionValue(std::string_view line, const Extension& e) {
  const std::string_view field = TrimBlanks(line.substr(e.offset, e.length));
  if (field.empty()) return kNoValue;
  const auto value = ParseNumber(field);
  if (!value) return Error{"unreadable " + e.code + " value \"" + std::string(field) + "\""};
  return *value;
}

// A B record as a track point, or what is wrong with it. skip: a fix with no
// position at all.
Result<TrackPoint> ReadFix(std::string_view line, IgcContext& context, bool& skip) {
  skip = false;
  if (line.size() < context.fixLength) {
    return Error{Format("a B record of %zu bytes, too short for its %zu bytes of fields%s",
                        line.size(), context.fixLength,
                        context.fixLength > kFixLength ? " and extensions" : "")};
  }
  const auto hours = DigitsAt(line, 1, 2);
  const auto minutes = DigitsAt(line, 3, 2);
  const auto seconds = DigitsAt(line, 5, 2);
  if (!hours || !minutes || !seconds || *hours > 23 || *minutes > 59 || *seconds > 59) {
    return Error{"unreadable time of day"};
  }
  const auto latitude = ParseAngle(line, 7, 2, 'N', 'S');
  if (!latitude) return Error{"unreadable latitude"};
  const auto longitude = ParseAngle(line, 15, 3, 'E', 'W');
  if (!longitude) return Error{"unreadable longitude"};
  const char validity = line[24];
  if (validity != 'A' && validity != 'V') {
    return Error{Format("fix validity '%c' is neither A nor V", validity)};
  }
  const auto pressureMetres = SignedDigitsAt(line, 25, 5);
  const auto gnssMetres = SignedDigitsAt(line, 30, 5);
  if (!pressureMetres || !gnssMetres) return Error{"unreadable altitude"};

  const int timeOfDay = *hours * 3600 + *minutes * 60 + *seconds;
  if (context.lastTimeOfDay >= 0 && context.lastTimeOfDay - timeOfDay > kMidnightStepSeconds) {
    ++context.daysPassed;
  }
  context.lastTimeOfDay = timeOfDay;

  const bool valid = validity == 'A';
  // A logger without a fix yet writes zeros for the position.
  if (!valid && *latitude == 0 && *longitude == 0) {
    skip = true;
    return TrackPoint{};
  }
  TrackPoint p;
  p.utcSeconds = static_cast<double>(*context.dateStart + context.daysPassed * 86400LL + timeOfDay);
  p.latitudeDeg = *latitude;
  p.longitudeDeg = *longitude;
  // The GNSS altitude of an invalid fix is not to be trusted: such a fix without a
  // pressure altitude takes its neighbours'.
  if (*pressureMetres != 0) {
    p.altitudeFt = *pressureMetres * kFeetPerMetre;
  } else if (valid) {
    p.altitudeFt = *gnssMetres * kFeetPerMetre;
  }
  double headingMagnetic = kNoValue;
  for (const Extension& e : context.extensions) {
    if (!IsUsedExtension(e.code)) continue;
    const auto value = ExtensionValue(line, e);
    if (!value) return value.error();
    if (e.code == "IAS") p.iasKt = *value * kKnotsPerKmh;
    if (e.code == "TAS") p.tasKt = *value * kKnotsPerKmh;
    if (e.code == "HDT") p.headingDeg = *value;
    if (e.code == "HDM") headingMagnetic = *value;
  }
  if (std::isnan(p.headingDeg)) p.headingDeg = headingMagnetic;
  return p;
}

}  // namespace

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
      case 'B': {
        if (!context.dateStart) return ReadErrorAt(name, number, "a fix before the date (HFDTE)");
        bool skip = false;
        auto fix = ReadFix(line, context, skip);
        if (!fix) return ReadErrorAt(name, number, fix.error().message);
        if (!skip) status = builder.Add(*fix, number);
        break;
      }
      default:
        break;  // the A record, events, satellites, comments, security
    }
    if (!status) return Error{status.error};
  }
  return builder.Finish();
}

}  // namespace quarn
