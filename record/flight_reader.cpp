#include "record/flight_reader.h"

#include <sys/stat.h>

#include <cstdio>

#include "base/format.h"
#include "record/record_loader.h"

namespace quarn {
namespace {

std::int64_t ModificationTime(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  return static_cast<std::int64_t>(st.st_mtime);
}

// The recorder stores every channel of the sample; the vertical speed is computed.
ChannelSet DatChannels() {
  ChannelSet c;
  for (int i = 0; i < kChannelCount; ++i) c.Set(static_cast<Channel>(i), ChannelState::Recorded);
  c.Set(Channel::VerticalRate, ChannelState::Derived);
  return c;
}

}  // namespace

Result<LoadedFlight> ReadFlight(const std::string& path) {
  std::FILE* file = OpenRecordFile(path);
  if (file == nullptr) return Error{Format("Can\u00b4t open file %s\n", path.c_str())};

  LoadedFlight loaded;
  Flight& flight = loaded.flight;
  flight.recordPath = path;
  flight.format = "dat";
  flight.channels = DatChannels();
  flight.sourceModified = ModificationTime(path);
  FileRecordSource source(file);
  const LoadOutcome outcome = LoadSamples(source, flight);
  const bool readFailed = source.Failed();
  std::fclose(file);

  // A read error ends the flight early: the samples before it stay, and the user
  // learns that the rest is missing.
  if (readFailed) loaded.notes.push_back(Format("Can\u00b4t read %s", path.c_str()));
  if (outcome.truncated) {
    loaded.notes.push_back(Format("%s holds more than %d records: only the first %d were loaded.",
                                  path.c_str(), kMaxSamples, kMaxSamples));
  }
  return loaded;
}

}  // namespace quarn
