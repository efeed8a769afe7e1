// Finding the flights under the logbook's folders and reading the new and changed
// ones on every core.

#include <oneapi/tbb/parallel_for.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <set>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "app/logbook.h"
#include "app/logbook_store.h"
#include "base/format.h"
#include "navaid/halbrico_doc.h"
#include "platform/mapped_file.h"
#include "record/flight_reader.h"
#include "record/gzip.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

// Whether the file's name is one the Open dialog offers for flights.
bool NamedLikeFlight(const std::string& path) {
  std::string name = fs::path(path).filename().string();
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const FlightFormat& format : FlightFormats()) {
    std::string_view patterns = format.patterns;
    while (!patterns.empty()) {
      const std::size_t blank = patterns.find(' ');
      std::string_view pattern = patterns.substr(0, blank);
      patterns = blank == std::string_view::npos ? std::string_view() : patterns.substr(blank + 1);
      if (pattern.substr(0, 1) != "*") continue;  // a whole name, such as Data.txt
      pattern.remove_prefix(1);
      if (name.size() > pattern.size() &&
          name.compare(name.size() - pattern.size(), pattern.size(), pattern) == 0) {
        return true;
      }
    }
  }
  return false;
}

// Whether the file holds a flight of a supported format, by its first bytes (a
// compressed file is taken to, and told by what it unpacks to when read).
bool LooksLikeFlight(const std::string& path) {
  MappedFile file;
  switch (file.Open(path)) {
    case MappedFile::Error::None:
      break;
    case MappedFile::Error::OpenFailed:
    case MappedFile::Error::MapFailed:
      // Unreadable: its name alone can say it is a flight, whose failure is then told.
      return NamedLikeFlight(path);
    default:
      return false;  // empty, or no regular file
  }
  const std::span<const std::uint8_t> bytes = file.bytes();
  if (IsGzip(bytes)) return true;
  const std::string format = DetectFlightFormat(bytes, path);
  // A file named .dat that does not decode as the recorder's (a simulator's navaid
  // data, say) is no flight.
  return !format.empty() && (format != "dat" || PlausibleDat(bytes));
}

// Regular files under the folder, links to folders not followed: a link back to a
// parent cannot make the walk endless. Unreadable folders are passed over.
void WalkFolder(const fs::path& folder, std::vector<std::string>& out) {
  std::error_code ec;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError)) out.push_back(it->path().string());
  }
}

struct FileStamp {
  std::int64_t size = 0;
  std::int64_t modified = 0;
};

std::optional<FileStamp> StampOf(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(path, ec);
  if (ec) return std::nullopt;
  const auto modified = fs::last_write_time(path, ec);
  if (ec) return std::nullopt;
  return FileStamp{static_cast<std::int64_t>(size),
                   static_cast<std::int64_t>(modified.time_since_epoch().count())};
}

// What the entries of a flight are judged against: they are found again when it
// changes.
std::string NavaidsKey(const CHalbricoDoc* navaids) {
  if (navaids == nullptr || navaids->m_navaidCount == 0) return "";
  return Format("%d navaids", navaids->m_navaidCount);
}

// Whether the path lies under one of the roots (or is one).
bool UnderAny(const std::string& path, std::span<const std::string> roots) {
  return std::any_of(roots.begin(), roots.end(), [&](const std::string& root) {
    if (path == root) return true;
    const std::string folder = root.empty() || root.back() == '/' ? root : root + '/';
    return path.compare(0, folder.size(), folder) == 0;
  });
}

std::string Normalized(const std::string& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  if (ec) return path;
  std::string text = absolute.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

// The file read afresh.
StoredFlightFile ReadForLogbook(const std::string& path, const FileStamp& stamp,
                                const CHalbricoDoc* navaids, const std::string& navaidsKey) {
  StoredFlightFile file;
  file.size = stamp.size;
  file.modified = stamp.modified;
  file.navaids = navaidsKey;
  auto read = ReadLogbookFile(path, navaids);
  if (!read) {
    file.error = read.error().message;
    return file;
  }
  file.format = std::move(read->format);
  file.entries = std::move(read->entries);
  return file;
}

}  // namespace

std::vector<std::string> LogbookCandidateFiles(std::span<const std::string> paths) {
  std::vector<std::string> found;
  for (const std::string& named : paths) {
    const std::string path = Normalized(named);
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
      std::vector<std::string> files;
      WalkFolder(path, files);
      std::sort(files.begin(), files.end());
      for (std::string& f : files) {
        if (LooksLikeFlight(f)) found.push_back(std::move(f));
      }
    } else {
      found.push_back(path);  // named directly: a failure to read it is reported
    }
  }
  // A file reached twice (named and inside a named folder) is one flight.
  std::set<std::string> seen;
  std::erase_if(found, [&](const std::string& f) { return !seen.insert(f).second; });
  return found;
}

LogbookResult OpenLogbook(const LogbookRequest& request) {
  LogbookResult result;
  LogbookStore store = LogbookStore::Open(request.dataDir, result.notes);
  std::unordered_map<std::string, StoredFlightFile> stored = store.Load(result.notes);

  std::vector<std::string> roots;
  for (const std::string& p : request.paths) roots.push_back(Normalized(p));
  const std::vector<std::string> files = LogbookCandidateFiles(request.paths);
  const std::string navaidsKey = NavaidsKey(request.navaids);

  // Which files are to be read: new ones, changed ones, and those judged against
  // other navaids. The others are taken as they were kept.
  std::vector<std::optional<FileStamp>> stamps(files.size());
  std::vector<std::size_t> toRead;
  for (std::size_t i = 0; i < files.size(); ++i) {
    stamps[i] = StampOf(files[i]);
    const auto it = stored.find(files[i]);
    const bool unchanged = stamps[i] && it != stored.end() && !it->second.missing &&
                           it->second.size == stamps[i]->size &&
                           it->second.modified == stamps[i]->modified &&
                           it->second.navaids == navaidsKey;
    if (!unchanged) toRead.push_back(i);
  }

  std::vector<StoredFlightFile> read(toRead.size());
  std::vector<char> wasRead(toRead.size(), 0);
  std::atomic<int> done{0};
  const int total = static_cast<int>(toRead.size());
  if (request.progress) request.progress(0, total);
  tbb::parallel_for(std::size_t{0}, toRead.size(), [&](std::size_t k) {
    if (request.stop.stop_requested()) return;
    const std::size_t i = toRead[k];
    if (stamps[i]) {
      read[k] = ReadForLogbook(files[i], *stamps[i], request.navaids, navaidsKey);
    } else {
      read[k].error = files[i] + ": cannot be opened";
    }
    wasRead[k] = 1;
    const int now = ++done;
    if (request.progress) request.progress(now, total);
  });

  std::vector<std::pair<std::string, StoredFlightFile>> changed;
  for (std::size_t k = 0; k < toRead.size(); ++k) {
    const std::string& path = files[toRead[k]];
    if (!wasRead[k]) {
      // Not read before the stop: what was kept of it may be out of date.
      stored.erase(path);
      ++result.filesLeft;
      continue;
    }
    stored[path] = read[k];
    // A file that cannot even be looked at is not kept: it is tried again next time.
    if (stamps[toRead[k]]) changed.emplace_back(path, std::move(read[k]));
  }
  // Files kept from before that are under the paths but gone now: marked missing,
  // their entries kept.
  const std::set<std::string> present(files.begin(), files.end());
  for (auto& [path, file] : stored) {
    if (file.missing || present.count(path) != 0 || !UnderAny(path, roots)) continue;
    std::error_code ec;
    if (fs::exists(path, ec)) continue;  // still there, only no longer a flight we list
    file.missing = true;
    for (LogbookEntry& e : file.entries) e.missing = true;
    changed.emplace_back(path, file);
  }
  store.Save(changed, result.notes);

  result.filesRead = static_cast<int>(toRead.size()) - result.filesLeft;
  result.filesKept = static_cast<int>(files.size() - toRead.size());
  std::vector<std::string> listed;
  for (const auto& [path, file] : stored) {
    if (present.count(path) != 0 || (file.missing && UnderAny(path, roots))) listed.push_back(path);
  }
  std::sort(listed.begin(), listed.end());
  for (const std::string& path : listed) {
    const StoredFlightFile& file = stored[path];
    if (!file.error.empty()) {
      if (!file.missing) result.failures.push_back({path, file.error});
      continue;
    }
    for (LogbookEntry e : file.entries) {
      e.file = path;
      e.format = file.format;
      e.missing = file.missing;
      result.entries.push_back(std::move(e));
    }
  }
  return result;
}

}  // namespace quarn
