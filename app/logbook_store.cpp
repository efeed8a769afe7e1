#include "app/logbook_store.h"

#include <sqlite3.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <utility>

#include "base/format.h"
#include "platform/file_services.h"

namespace quarn {
namespace {

// The first layout: files and their entries.
constexpr const char* kSchemaVersion1 =
    "CREATE TABLE files(path TEXT PRIMARY KEY, size INTEGER NOT NULL, modified INTEGER NOT NULL,"
    " format TEXT NOT NULL, error TEXT NOT NULL, missing INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE entries(path TEXT NOT NULL, leg INTEGER NOT NULL, date TEXT, callsign TEXT,"
    " departure TEXT, arrival TEXT, out REAL, off REAL, on_ REAL, in_ REAL, air_time_min REAL,"
    " distance_nm REAL, max_altitude_ft REAL, landing_rate_fpm REAL,"
    " landing_rate_confidence TEXT, touchdown_past_threshold_ft REAL,"
    " touchdown_off_centreline_m REAL, verdict TEXT, PRIMARY KEY(path, leg));";
// Each step takes a database from the version before it to its own.
constexpr const char* kUpgradeTo2 =
    // What the entries were judged against: a file is judged again with other navaids.
    "ALTER TABLE files ADD COLUMN navaids TEXT NOT NULL DEFAULT '';";

std::string ErrorOf(sqlite3* db) {
  return db != nullptr ? sqlite3_errmsg(db) : "out of memory";
}

bool Exec(sqlite3* db, const char* sql, std::string& error) {
  char* message = nullptr;
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
  if (rc == SQLITE_OK) return true;
  error = message != nullptr ? message : sqlite3_errstr(rc);
  sqlite3_free(message);
  return false;
}

// One prepared statement, finalized when it goes.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  explicit operator bool() const { return stmt_ != nullptr; }
  sqlite3_stmt* get() const { return stmt_; }

  void Bind(int i, const std::string& text) {
    sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void Bind(int i, std::int64_t v) { sqlite3_bind_int64(stmt_, i, v); }
  void Bind(int i, const std::optional<double>& v) {
    if (v) {
      sqlite3_bind_double(stmt_, i, *v);
    } else {
      sqlite3_bind_null(stmt_, i);
    }
  }
  std::string Text(int i) const {
    const auto* p = sqlite3_column_text(stmt_, i);
    return p != nullptr ? reinterpret_cast<const char*>(p) : "";
  }
  std::optional<double> Number(int i) const {
    if (sqlite3_column_type(stmt_, i) == SQLITE_NULL) return std::nullopt;
    return sqlite3_column_double(stmt_, i);
  }
  std::int64_t Integer(int i) const { return sqlite3_column_int64(stmt_, i); }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

int UserVersion(sqlite3* db) {
  Statement s(db, "PRAGMA user_version;");
  return s && sqlite3_step(s.get()) == SQLITE_ROW ? static_cast<int>(s.Integer(0)) : -1;
}

bool HasTable(sqlite3* db, const char* name) {
  Statement s(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?;");
  if (!s) return false;
  s.Bind(1, std::string(name));
  return sqlite3_step(s.get()) == SQLITE_ROW;
}

// What opening found.
enum class Opened { Ready, Damaged, Busy, Newer, Failed };

// Checks the database and brings its layout up to this program's.
Opened Prepare(sqlite3* db, std::string& error) {
  sqlite3_busy_timeout(db, 3000);
  {
    Statement check(db, "PRAGMA quick_check;");
    if (!check) {
      error = ErrorOf(db);
      const int rc = sqlite3_errcode(db);
      if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) return Opened::Busy;
      return rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT ? Opened::Damaged : Opened::Failed;
    }
    const int rc = sqlite3_step(check.get());
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
      error = ErrorOf(db);
      return Opened::Busy;
    }
    if (rc != SQLITE_ROW || check.Text(0) != "ok") {
      error = rc == SQLITE_ROW ? check.Text(0) : ErrorOf(db);
      return Opened::Damaged;
    }
  }
  int version = UserVersion(db);
  if (version > kLogbookSchemaVersion) return Opened::Newer;
  if (version == 0 && HasTable(db, "files")) return Opened::Damaged;  // no layout we know
  if (!Exec(db, "BEGIN IMMEDIATE;", error)) {
    return sqlite3_errcode(db) == SQLITE_BUSY ? Opened::Busy : Opened::Failed;
  }
  bool ok = true;
  if (version == 0) {
    ok = Exec(db, kSchemaVersion1, error);
    version = 1;
  }
  if (ok && version == 1) ok = Exec(db, kUpgradeTo2, error);
  if (ok) {
    ok = Exec(db, Format("PRAGMA user_version = %d;", kLogbookSchemaVersion).c_str(), error);
  }
  if (ok) ok = Exec(db, "COMMIT;", error);
  if (!ok) {
    std::string ignored;
    Exec(db, "ROLLBACK;", ignored);
    return Opened::Failed;
  }
  return Opened::Ready;
}

sqlite3* OpenFile(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  return db;
}

sqlite3* OpenMemory() {
  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  std::string ignored;
  Prepare(db, ignored);
  return db;
}

// A name beside the damaged database that no file has yet.
std::string SetAsideName(const std::string& path) {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
  std::string name = path + ".damaged-" + stamp;
  for (int n = 2; std::filesystem::exists(name); ++n)
    name = path + ".damaged-" + stamp + "-" + std::to_string(n);
  return name;
}

LogbookEntry EntryOf(const Statement& s, const std::string& path, const StoredFlightFile& file) {
  LogbookEntry e;
  e.file = path;
  e.format = file.format;
  e.leg = static_cast<int>(s.Integer(1));
  e.date = s.Text(2);
  e.callsign = s.Text(3);
  e.departure = s.Text(4);
  e.arrival = s.Text(5);
  e.out = s.Number(6);
  e.off = s.Number(7);
  e.on = s.Number(8);
  e.in = s.Number(9);
  e.airTimeMin = s.Number(10);
  e.distanceNm = s.Number(11);
  e.maxAltitudeFt = s.Number(12);
  e.landingRateFpm = s.Number(13);
  e.landingRateConfidence = s.Text(14);
  e.touchdownPastThresholdFt = s.Number(15);
  e.touchdownOffCentrelineM = s.Number(16);
  e.verdict = s.Text(17);
  e.missing = file.missing;
  return e;
}

}  // namespace

LogbookStore LogbookStore::Open(const std::string& dataDir, std::vector<std::string>& notes) {
  LogbookStore store;
  if (dataDir.empty()) {
    store.db_ = OpenMemory();
    return store;
  }
  store.path_ = JoinPath(dataDir, kLogbookDatabaseName);
  const std::string& path = store.path_;
  auto fallBack = [&](const std::string& why) {
    notes.push_back(why + "; the logbook works from memory this time and keeps nothing.");
    sqlite3_close(store.db_);
    store.db_ = OpenMemory();
    store.inMemory_ = true;
    return std::move(store);
  };
  store.db_ = OpenFile(path);
  if (store.db_ == nullptr) return fallBack("The logbook cannot be kept in " + path);
  std::string error;
  Opened opened = Prepare(store.db_, error);
  if (opened == Opened::Damaged) {
    sqlite3_close(store.db_);
    store.db_ = nullptr;
    const std::string aside = SetAsideName(path);
    if (std::rename(path.c_str(), aside.c_str()) != 0) {
      return fallBack("The logbook " + path + " is damaged (" + error +
                      ") and could not be set aside");
    }
    std::remove((path + "-journal").c_str());
    notes.push_back("The logbook " + path + " was damaged (" + error + "); it was set aside as " +
                    aside + " and is built again.");
    store.db_ = OpenFile(path);
    if (store.db_ == nullptr) return fallBack("The logbook cannot be kept in " + path);
    opened = Prepare(store.db_, error);
  }
  switch (opened) {
    case Opened::Ready:
      store.inMemory_ = false;
      return store;
    case Opened::Busy:
      return fallBack("The logbook " + path + " is busy (another QUARN is writing it)");
    case Opened::Newer:
      return fallBack("The logbook " + path + " was written by a newer QUARN");
    default:
      return fallBack("The logbook " + path + " cannot be used (" + error + ")");
  }
}

LogbookStore::LogbookStore(LogbookStore&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      path_(std::move(other.path_)),
      inMemory_(other.inMemory_) {}

LogbookStore& LogbookStore::operator=(LogbookStore&& other) noexcept {
  if (this != &other) {
    sqlite3_close(db_);
    db_ = std::exchange(other.db_, nullptr);
    path_ = std::move(other.path_);
    inMemory_ = other.inMemory_;
  }
  return *this;
}

LogbookStore::~LogbookStore() {
  sqlite3_close(db_);
}

std::unordered_map<std::string, StoredFlightFile> LogbookStore::Load(
    std::vector<std::string>& notes) {
  std::unordered_map<std::string, StoredFlightFile> files;
  Statement f(db_, "SELECT path, size, modified, format, navaids, error, missing FROM files;");
  Statement e(db_,
              "SELECT path, leg, date, callsign, departure, arrival, out, off, on_, in_,"
              " air_time_min, distance_nm, max_altitude_ft, landing_rate_fpm,"
              " landing_rate_confidence, touchdown_past_threshold_ft,"
              " touchdown_off_centreline_m, verdict FROM entries ORDER BY path, leg;");
  if (!f || !e) {
    notes.push_back("The logbook " + path_ + " could not be read: " + ErrorOf(db_));
    return files;
  }
  int rc;
  while ((rc = sqlite3_step(f.get())) == SQLITE_ROW) {
    StoredFlightFile& file = files[f.Text(0)];
    file.size = f.Integer(1);
    file.modified = f.Integer(2);
    file.format = f.Text(3);
    file.navaids = f.Text(4);
    file.error = f.Text(5);
    file.missing = f.Integer(6) != 0;
  }
  if (rc == SQLITE_DONE) {
    while ((rc = sqlite3_step(e.get())) == SQLITE_ROW) {
      const std::string path = e.Text(0);
      const auto it = files.find(path);
      if (it != files.end()) it->second.entries.push_back(EntryOf(e, path, it->second));
    }
  }
  if (rc != SQLITE_DONE) {
    notes.push_back("The logbook " + path_ + " could not be read: " + ErrorOf(db_));
    files.clear();
  }
  return files;
}

bool LogbookStore::Save(const std::vector<std::pair<std::string, StoredFlightFile>>& files,
                        std::vector<std::string>& notes) {
  if (files.empty()) return true;
  std::string error;
  auto fail = [&](const std::string& why) {
    std::string ignored;
    Exec(db_, "ROLLBACK;", ignored);
    notes.push_back("The logbook " + path_ + " could not be written (" + why +
                    "); what was read this time is shown but not kept.");
    return false;
  };
  if (!Exec(db_, "BEGIN IMMEDIATE;", error)) return fail(error);
  Statement removeEntries(db_, "DELETE FROM entries WHERE path = ?;");
  Statement putFile(db_,
                    "INSERT OR REPLACE INTO files(path, size, modified, format, navaids, error,"
                    " missing) VALUES(?, ?, ?, ?, ?, ?, ?);");
  Statement putEntry(db_,
                     "INSERT INTO entries(path, leg, date, callsign, departure, arrival, out, off,"
                     " on_, in_, air_time_min, distance_nm, max_altitude_ft, landing_rate_fpm,"
                     " landing_rate_confidence, touchdown_past_threshold_ft,"
                     " touchdown_off_centreline_m, verdict)"
                     " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);");
  if (!removeEntries || !putFile || !putEntry) return fail(ErrorOf(db_));
  auto run = [&](Statement& s) {
    const int rc = sqlite3_step(s.get());
    sqlite3_reset(s.get());
    sqlite3_clear_bindings(s.get());
    return rc == SQLITE_DONE;
  };
  for (const auto& [path, file] : files) {
    removeEntries.Bind(1, path);
    putFile.Bind(1, path);
    putFile.Bind(2, file.size);
    putFile.Bind(3, file.modified);
    putFile.Bind(4, file.format);
    putFile.Bind(5, file.navaids);
    putFile.Bind(6, file.error);
    putFile.Bind(7, static_cast<std::int64_t>(file.missing ? 1 : 0));
    if (!run(removeEntries) || !run(putFile)) return fail(ErrorOf(db_));
    for (const LogbookEntry& e : file.entries) {
      putEntry.Bind(1, path);
      putEntry.Bind(2, static_cast<std::int64_t>(e.leg));
      putEntry.Bind(3, e.date);
      putEntry.Bind(4, e.callsign);
      putEntry.Bind(5, e.departure);
      putEntry.Bind(6, e.arrival);
      putEntry.Bind(7, e.out);
      putEntry.Bind(8, e.off);
      putEntry.Bind(9, e.on);
      putEntry.Bind(10, e.in);
      putEntry.Bind(11, e.airTimeMin);
      putEntry.Bind(12, e.distanceNm);
      putEntry.Bind(13, e.maxAltitudeFt);
      putEntry.Bind(14, e.landingRateFpm);
      putEntry.Bind(15, e.landingRateConfidence);
      putEntry.Bind(16, e.touchdownPastThresholdFt);
      putEntry.Bind(17, e.touchdownOffCentrelineM);
      putEntry.Bind(18, e.verdict);
      if (!run(putEntry)) return fail(ErrorOf(db_));
    }
  }
  if (!Exec(db_, "COMMIT;", error)) return fail(error);
  return true;
}

}  // namespace quarn
