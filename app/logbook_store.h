#pragma once
// Where the logbook keeps its entries between runs: an SQLite database in the data
// directory, keyed by each file's path, size and modification time. A database that
// is damaged is set aside and rebuilt; one that cannot be opened or written leaves
// the logbook working from memory. Each saving is one transaction.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/logbook.h"

struct sqlite3;

namespace quarn {

// The database's name in the data directory.
inline constexpr const char* kLogbookDatabaseName = "logbook.sqlite";
// The layout this program writes; an older database is upgraded on opening.
inline constexpr int kLogbookSchemaVersion = 2;

// What the logbook knows of one file.
struct StoredFlightFile {
  std::int64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds of the file system's clock
  std::string format;
  std::string navaids;  // what the entries were judged against ("" without navaids)
  std::string error;    // the file could not be read
  bool missing = false;
  std::vector<LogbookEntry> entries;
};

class LogbookStore {
 public:
  // The database in dataDir (created when there is none), or one in memory when
  // dataDir is empty or the database cannot be used; notes says what happened then.
  static LogbookStore Open(const std::string& dataDir, std::vector<std::string>& notes);

  LogbookStore(LogbookStore&&) noexcept;
  LogbookStore& operator=(LogbookStore&&) noexcept;
  ~LogbookStore();

  // Every file the logbook holds, by path.
  std::unordered_map<std::string, StoredFlightFile> Load(std::vector<std::string>& notes);
  // Writes the files in one transaction, replacing what was kept of them; false with a
  // note when it could not.
  bool Save(const std::vector<std::pair<std::string, StoredFlightFile>>& files,
            std::vector<std::string>& notes);
  // Whether the entries live only as long as this program does.
  bool inMemory() const { return inMemory_; }
  const std::string& path() const { return path_; }

 private:
  LogbookStore() = default;
  sqlite3* db_ = nullptr;
  std::string path_;
  bool inMemory_ = true;
};

}  // namespace quarn
