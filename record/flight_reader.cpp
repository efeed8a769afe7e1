#include "record/flight_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "base/format.h"
#include "platform/file_services.h"
#include "platform/mapped_file.h"
#include "record/delimited_reader.h"
#include "record/gpx_reader.h"
#include "record/gzip.h"
#include "record/igc_reader.h"
#include "record/json_track_reader.h"
#include "record/kml_reader.h"
#include "record/record_loader.h"
#include "record/text_input.h"

namespace quarn {
namespace {

constexpr FlightFormat kFormats[] = {
    {"dat", "Aerolog Files", "*.dat *.dat.gz"},
    {"gpx", "GPX tracks", "*.gpx *.gpx.gz"},
    {"kml", "KML tracks", "*.kml *.kml.gz"},
    {"igc", "IGC flight logs", "*.igc *.igc.gz"},
    {"csv", "Delimited text (ADS-B, X-Plane Data.txt)", "*.csv *.csv.gz *.tsv Data.txt"},
    {"json", "ADS-B JSON", "*.json *.json.gz"},
};

std::int64_t ModificationTime(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  return static_cast<std::int64_t>(st.st_mtime);
}

std::string Lowered(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool EndsWith(const std::string& s, std::string_view suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The name without a ".gz", lower-cased: its extension is the one that counts.
std::string PlainName(const std::string& name) {
  std::string lower = Lowered(name);
  if (EndsWith(lower, ".gz")) lower.resize(lower.size() - 3);
  return lower;
}

// The recorder stores every channel of the sample but the ground's: speed and track
// over it, and whether the aircraft is on it. The vertical speed is computed.
ChannelSet DatChannels() {
  ChannelSet c;
  for (int i = 0; i < kChannelCount; ++i) c.Set(static_cast<Channel>(i), ChannelState::Recorded);
  c.Set(Channel::VerticalRate, ChannelState::Derived);
  for (Channel absent : {Channel::GroundSpeed, Channel::Track, Channel::OnGround}) {
    c.Set(absent, ChannelState::Absent);
  }
  return c;
}

void AddDatNotes(LoadedFlight& loaded, const std::string& path, const LoadOutcome& outcome) {
  if (outcome.truncated) {
    loaded.notes.push_back(Format("%s holds more than %d records: only the first %d were loaded.",
                                  path.c_str(), kMaxSamples, kMaxSamples));
  }
}

LoadedFlight StartDat(const std::string& path) {
  LoadedFlight loaded;
  loaded.flight.recordPath = path;
  loaded.flight.format = "dat";
  loaded.flight.channels = DatChannels();
  return loaded;
}

// The recorder's file from its path, record by record as it is read: a read error
// ends the flight early and is said.
Result<LoadedFlight> ReadDatFile(const std::string& path) {
  std::FILE* file = OpenRecordFile(path);
  if (file == nullptr) return Error{Format("Can\u00b4t open file %s\n", path.c_str())};
  LoadedFlight loaded = StartDat(path);
  loaded.flight.sourceModified = ModificationTime(path);
  FileRecordSource source(file);
  const LoadOutcome outcome = LoadSamples(source, loaded.flight);
  const bool readFailed = source.Failed();
  std::fclose(file);
  // The samples before a read error stay, and the user learns that the rest is missing.
  if (readFailed) loaded.notes.push_back(Format("Can\u00b4t read %s", path.c_str()));
  AddDatNotes(loaded, path, outcome);
  return loaded;
}

Result<LoadedFlight> ReadDatBytes(std::span<const std::uint8_t> bytes, const std::string& name) {
  LoadedFlight loaded = StartDat(name);
  MemoryRecordSource source(bytes);
  AddDatNotes(loaded, name, LoadSamples(source, loaded.flight));
  return loaded;
}

// The first bytes of the text, without a byte-order mark and leading blanks.
std::string_view Head(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return {};
  return text.substr(start, 8192);
}

bool LooksLikeXmlOf(std::string_view head, std::string_view root) {
  if (head.empty() || head.front() != '<') return false;
  // The root element comes after the declaration, comments and a document type.
  const std::string open = "<" + std::string(root);
  std::size_t at = head.find(open);
  while (at != std::string_view::npos) {
    const std::size_t after = at + open.size();
    if (after >= head.size() || head[after] == ' ' || head[after] == '>' || head[after] == '\n' ||
        head[after] == '\r' || head[after] == '\t' || head[after] == ':') {
      return true;
    }
    at = head.find(open, after);
  }
  return false;
}

bool LooksLikeIgc(std::string_view head) {
  if (head.empty() || head.front() != 'A') return false;
  return head.find("\nHFDTE") != std::string_view::npos ||
         head.find("\nB") != std::string_view::npos || head.find("\nH") != std::string_view::npos;
}

bool LooksLikeJson(std::string_view head) {
  return !head.empty() && (head.front() == '[' || head.front() == '{');
}

}  // namespace

std::span<const FlightFormat> FlightFormats() {
  return kFormats;
}

std::string FlightFileFilter() {
  std::string all;
  for (const FlightFormat& f : kFormats) all += (all.empty() ? "" : " ") + std::string(f.patterns);
  std::string filter = "All flights (" + all + ")|" + all + "|";
  for (const FlightFormat& f : kFormats) {
    filter += std::string(f.title) + " (" + f.patterns + ")|" + f.patterns + "|";
  }
  return filter + "All Files (*.*)|*.*||";
}

bool PlausibleDat(std::span<const std::uint8_t> bytes) {
  const std::size_t records = std::min<std::size_t>(bytes.size() / kRecordSize, 10);
  if (records == 0) return false;
  for (std::size_t i = 0; i < records; ++i) {
    const RawRecord r = ParseRawRecord(bytes.subspan(i * kRecordSize).first<kRecordSize>());
    if (r.hours < 0 || r.hours > 47 || r.minutes < 0 || r.minutes > 59 || r.seconds < 0 ||
        r.seconds > 59) {
      return false;
    }
    if (!(std::fabs(LatitudeDeg(r)) <= 90) || !(std::fabs(LongitudeDeg(r)) <= 180)) return false;
  }
  return true;
}

std::string DetectFlightFormat(std::span<const std::uint8_t> bytes, const std::string& name) {
  const std::string_view head = Head(AsText(bytes));
  const std::string plain = PlainName(name);
  // The recorder's file has no signature: its name says it.
  if (EndsWith(plain, ".dat")) return "dat";
  if (LooksLikeXmlOf(head, "gpx")) return "gpx";
  if (LooksLikeXmlOf(head, "kml")) return "kml";
  if (LooksLikeIgc(head)) return "igc";
  if (LooksLikeJson(head)) return "json";
  if (LooksLikeDelimited(head)) return "csv";
  if (PlausibleDat(bytes)) return "dat";
  return "";
}

Result<LoadedFlight> ReadFlightBytes(std::span<const std::uint8_t> bytes, const std::string& name,
                                     const ReadOptions& options) {
  // No track of a flight's samples comes near this; a larger file is refused before
  // a byte of it is read, as a compressed one is when it unpacks to more.
  if (bytes.size() > kMaxInflatedBytes) {
    return Error{name + ": more than " + std::to_string(kMaxInflatedBytes >> 20) + " MB"};
  }
  std::vector<std::uint8_t> inflated;
  if (IsGzip(bytes)) {
    auto unpacked = Gunzip(bytes);
    if (!unpacked) return Error{name + ": " + unpacked.error().message};
    inflated = std::move(*unpacked);
    bytes = inflated;
  }
  std::string format = DetectFlightFormat(bytes, name);
  const std::string_view text = AsText(bytes);
  // A column map is for delimited text of a layout not known by its names; such text
  // without a map is read to say which columns are missing.
  if (format.empty() && (!options.columnMap.empty() ||
                         (!DelimitedColumnNames(text).empty() && !FirstInvalidUtf8Line(text)))) {
    format = "csv";
  }
  // Text formats are UTF-8: a byte that is not is a damaged or foreign file.
  if (!format.empty() && format != "dat") {
    if (const auto line = FirstInvalidUtf8Line(text)) {
      return ReadErrorAt(name, *line, "not valid UTF-8 text");
    }
  }
  Result<LoadedFlight> read = Error{name + " is not a flight record"};
  if (format == "dat") {
    read = ReadDatBytes(bytes, name);
  } else if (format == "gpx") {
    read = ReadGpx(text, name);
  } else if (format == "kml") {
    read = ReadKml(text, name);
  } else if (format == "igc") {
    read = ReadIgc(text, name);
  } else if (format == "json") {
    read = ReadJsonTrack(text, name);
  } else if (format == "csv") {
    read = ReadDelimited(text, name, options.columnMap);
  }
  if (read) read->flight.recordPath = name;
  return read;
}

std::vector<std::string> UnmappedColumns(const std::string& path) {
  MappedFile file;
  if (file.Open(path) != MappedFile::Error::None) return {};
  std::vector<std::uint8_t> inflated;
  std::span<const std::uint8_t> bytes = file.bytes();
  if (IsGzip(bytes)) {
    auto unpacked = Gunzip(bytes);
    if (!unpacked) return {};
    inflated = std::move(*unpacked);
    bytes = inflated;
  }
  if (!DetectFlightFormat(bytes, path).empty()) return {};
  return DelimitedColumnNames(AsText(bytes));
}

Result<LoadedFlight> ReadFlight(const std::string& path, const ReadOptions& options) {
  const std::string plain = PlainName(path);
  if (EndsWith(plain, ".dat") && !EndsWith(Lowered(path), ".gz")) return ReadDatFile(path);
  MappedFile file;
  switch (file.Open(path)) {
    case MappedFile::Error::None:
      break;
    case MappedFile::Error::Empty:
      return Error{path + " is not a flight record: it is empty"};
    default:
      return Error{Format("Can\u00b4t open file %s\n", path.c_str())};
  }
  Result<LoadedFlight> read = ReadFlightBytes(file.bytes(), path, options);
  if (read) read->flight.sourceModified = ModificationTime(path);
  return read;
}

}  // namespace quarn
