#include "cache/thumb_cache.h"

#include <cstring>

#include "cache/file_stamp.h"
#include "platform/app_data.h"
#include "platform/code_page.h"
#include "platform/file_path.h"
#include "platform/guid.h"
#include "platform/files.h"

namespace morvane {

namespace {

constexpr const char* kCreateTable =
    "create table mrvThumbs (GUID TEXT(50) PRIMARY KEY, FileName TEXT(255), FileSize NUMERIC, "
    "FileStamp DATE, Thumb BLOB)";
constexpr const char* kCreateIndex = "create index idxmrvThumbsFileName on mrvThumbs (FileName)";
// A new database keeps its journal as a write-ahead log: readers never wait for the writer,
// and a commit appends to the log instead of rewriting and syncing a rollback journal, so that
// several processes filling the cache at once do not queue behind each other's disk syncs.
constexpr const char* kUseWriteAheadLog = "pragma journal_mode=WAL";
constexpr const char* kJournalMode = "pragma journal_mode";
// With a write-ahead log the file stays consistent when only the checkpoints are synced; a
// power cut may lose the last thumbnails, which are made again.
constexpr const char* kSyncAtCheckpoints = "pragma synchronous=NORMAL";
constexpr const char* kSelectRows = "select * from mrvThumbs where FileName = ?";
constexpr const char* kInsertRow =
    "insert into mrvThumbs (GUID, FileName, FileSize, FileStamp, Thumb) values (?, ?, ?, ?, ?)";
constexpr const char* kUpdateRow =
    "update mrvThumbs set FileSize = ?, FileStamp = ?, Thumb = ? "
    "where GUID = ? and FileName = ? and FileSize = ? and FileStamp = ?";
constexpr const char* kDeleteOtherRows = "delete from mrvThumbs where FileName = ? and GUID <> ?";
constexpr const char* kSelectEntries = "select GUID, FileName, FileSize, FileStamp, length(Thumb) from mrvThumbs";
constexpr const char* kDeleteUnchangedRow =
    "delete from mrvThumbs where GUID = ? and FileName = ? and FileSize = ? and FileStamp = ?";

// A prepared statement, finalised on every way out.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK)
      throw ECacheError(std::string("Thumbnail cache: ") + sqlite3_errmsg(db));
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void Bind(int index, const std::string& text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  void Bind(int index, double number) { sqlite3_bind_double(statement_, index, number); }
  void Bind(int index, const std::vector<uint8_t>& blob) {
    sqlite3_bind_blob(statement_, index, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
  }
  // SQLITE_ROW or SQLITE_DONE; anything else throws.
  int Step() {
    const int rc = sqlite3_step(statement_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
      throw ECacheError(std::string("Thumbnail cache: ") + sqlite3_errmsg(db_));
    return rc;
  }
  std::string Text(int column) const {
    const auto* text = sqlite3_column_text(statement_, column);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text),
                                         static_cast<size_t>(sqlite3_column_bytes(statement_, column)))
                           : std::string();
  }
  double Number(int column) const { return sqlite3_column_double(statement_, column); }
  int64_t Integer(int column) const { return sqlite3_column_int64(statement_, column); }
  std::vector<uint8_t> Blob(int column) const {
    const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(statement_, column));
    const int size = sqlite3_column_bytes(statement_, column);
    return data != nullptr ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
};

void Execute(sqlite3* db, const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message != nullptr ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    throw ECacheError("Thumbnail cache: " + text);
  }
}

sqlite3* OpenDatabase(const std::string& file, int flags) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(PathToUtf8(file).c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    throw ECacheError("Thumbnail cache " + file + ": " + message);
  }
  sqlite3_busy_timeout(db, kCacheBusyTimeoutMs);
  return db;
}

// An older database keeps its rollback journal, and with it the full syncs it was made with.
bool UsesWriteAheadLog(sqlite3* db) {
  Statement mode(db, kJournalMode);
  return mode.Step() == SQLITE_ROW && mode.Text(0) == "wal";
}

}  // namespace

std::string TThumbCache::DefaultFolder() { return UserApplicationDataFolder() + "Morvane" + kPathDelimiter; }

TThumbCache::TThumbCache(std::string folder) {
  ForceDirectories(folder);
  database_file_ = folder + "mrvThumbs.db";
  if (!FileExists(database_file_)) CreateDatabase();
}

TThumbCache::~TThumbCache() { sqlite3_close(db_); }

void TThumbCache::CreateDatabase() {
  // The database is made complete under a name of its own, then linked into place: another
  // process never sees a database file without its schema, and when several processes create
  // it at once, the first link wins and the others use that file.
  const std::string scratch = database_file_ + "." + GuidToString(NewGuid()) + ".new";
  sqlite3* db = OpenDatabase(scratch, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  try {
    Execute(db, kCreateTable);
    Execute(db, kCreateIndex);
    Execute(db, kUseWriteAheadLog);
  } catch (...) {
    sqlite3_close(db);
    RemoveFile(scratch);
    throw;
  }
  sqlite3_close(db);
  std::string reason;
  if (!LinkFileInPlace(scratch, database_file_, reason) && !reason.empty())
    throw ECacheError("Thumbnail cache " + database_file_ + ": " + reason);
}

sqlite3* TThumbCache::Connection() {
  // An existing file is opened as it is: a file that is no database, or lacks the table,
  // makes every lookup fail and is never rewritten.
  if (db_ == nullptr) {
    db_ = OpenDatabase(database_file_, SQLITE_OPEN_READWRITE);
    if (UsesWriteAheadLog(db_)) Execute(db_, kSyncAtCheckpoints);
  }
  return db_;
}

std::vector<TCacheRow> TThumbCache::FindRows(const std::string& file_name) {
  // The column holds the path as Unicode text; the rows carry it in the logic's form.
  Statement select(Connection(), kSelectRows);
  select.Bind(1, PathToUtf8(file_name));
  std::vector<TCacheRow> rows;
  while (select.Step() == SQLITE_ROW) {
    TCacheRow row;
    row.GUID = select.Text(0);
    row.FileName = file_name;
    row.FileSize = select.Number(2);
    row.FileStamp = select.Number(3);
    row.Thumb = select.Blob(4);
    rows.push_back(std::move(row));
  }
  return rows;
}

void TThumbCache::StoreRow(const TCacheRow& row, bool is_new, const TCacheRow& as_read) {
  try {
    if (is_new) {
      Statement insert(Connection(), kInsertRow);
      insert.Bind(1, row.GUID);
      insert.Bind(2, PathToUtf8(row.FileName));
      insert.Bind(3, row.FileSize);
      insert.Bind(4, row.FileStamp);
      insert.Bind(5, row.Thumb);
      insert.Step();
    } else {
      Statement update(Connection(), kUpdateRow);
      update.Bind(1, row.FileSize);
      update.Bind(2, row.FileStamp);
      update.Bind(3, row.Thumb);
      update.Bind(4, as_read.GUID);
      update.Bind(5, PathToUtf8(as_read.FileName));
      update.Bind(6, as_read.FileSize);
      update.Bind(7, as_read.FileStamp);
      update.Step();
    }
  } catch (const ECacheError&) {
    // A row that cannot be written is dropped; the request still returns its thumbnail.
  }
}

namespace {

void BindRow(Statement& insert, const TCacheRow& row) {
  insert.Bind(1, row.GUID);
  insert.Bind(2, PathToUtf8(row.FileName));
  insert.Bind(3, row.FileSize);
  insert.Bind(4, row.FileStamp);
  insert.Bind(5, row.Thumb);
}

void DeleteOthers(sqlite3* db, const std::string& file_name, const std::string& guid) {
  Statement remove(db, kDeleteOtherRows);
  remove.Bind(1, PathToUtf8(file_name));
  remove.Bind(2, guid);
  remove.Step();
}

// A stored row as it was read, for checking it against its file.
struct TStoredEntry {
  std::string GUID;
  std::string FileNameText;  // as stored: UTF-8
  double FileSize = 0;
  double FileStamp = 0;
  int64_t ThumbBytes = 0;
};

std::vector<TStoredEntry> StoredEntries(sqlite3* db) {
  Statement select(db, kSelectEntries);
  std::vector<TStoredEntry> entries;
  while (select.Step() == SQLITE_ROW)
    entries.push_back({select.Text(0), select.Text(1), select.Number(2), select.Number(3), select.Integer(4)});
  return entries;
}

// Whether the row's file still exists with the size and stamp the row was made for.
bool StillCurrent(const TStoredEntry& entry) {
  const auto file = CacheFileEntry(PathFromUtf16(Utf8ToUtf16(entry.FileNameText)));
  return file && file->FileSize == entry.FileSize && file->FileStamp == entry.FileStamp;
}

}  // namespace

void TThumbCache::InWriteTransaction(const std::function<void()>& work) {
  sqlite3* db = Connection();
  Execute(db, "begin immediate");
  try {
    work();
    Execute(db, "commit");
  } catch (...) {
    sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
    throw;
  }
}

void TThumbCache::StoreOnlyRow(const TCacheRow& made, const std::function<bool(const TCacheRow&)>& keep) {
  try {
    InWriteTransaction([&] {
      const std::vector<TCacheRow> rows = FindRows(made.FileName);
      const TCacheRow* kept = nullptr;
      for (const TCacheRow& row : rows)
        if (keep(row)) {
          kept = &row;
          break;
        }
      if (kept == nullptr && !rows.empty()) {
        kept = &rows.front();
        Statement update(db_, kUpdateRow);
        update.Bind(1, made.FileSize);
        update.Bind(2, made.FileStamp);
        update.Bind(3, made.Thumb);
        update.Bind(4, kept->GUID);
        update.Bind(5, PathToUtf8(kept->FileName));
        update.Bind(6, kept->FileSize);
        update.Bind(7, kept->FileStamp);
        update.Step();
      }
      if (kept == nullptr) {
        Statement insert(db_, kInsertRow);
        BindRow(insert, made);
        insert.Step();
      }
      DeleteOthers(db_, made.FileName, kept != nullptr ? kept->GUID : made.GUID);
    });
  } catch (const ECacheError&) {
    // As with StoreRow: the request still returns the thumbnail it drew.
  }
}

void TThumbCache::DeleteOtherRows(const std::string& file_name, const std::string& guid) {
  try {
    InWriteTransaction([&] { DeleteOthers(db_, file_name, guid); });
  } catch (const ECacheError&) {
  }
}

TThumbCache::TStats TThumbCache::Stats() {
  TStats stats;
  for (const TStoredEntry& entry : StoredEntries(Connection())) {
    ++stats.Rows;
    stats.ThumbBytes += entry.ThumbBytes;
    if (!StillCurrent(entry)) ++stats.StaleRows;
  }
  stats.DatabaseBytes = static_cast<int64_t>(GetFileSize(database_file_).value_or(0));
  return stats;
}

int64_t TThumbCache::Prune() {
  int64_t deleted = 0;
  InWriteTransaction([&] {
    for (const TStoredEntry& entry : StoredEntries(db_)) {
      if (StillCurrent(entry)) continue;
      Statement remove(db_, kDeleteUnchangedRow);
      remove.Bind(1, entry.GUID);
      remove.Bind(2, entry.FileNameText);
      remove.Bind(3, entry.FileSize);
      remove.Bind(4, entry.FileStamp);
      remove.Step();
      deleted += sqlite3_changes(db_);
    }
  });
  try {
    Execute(Connection(), "vacuum");
  } catch (const ECacheError&) {
    // Another process kept the database busy beyond the timeout: the rows are gone all the
    // same, and the next prune gives the space back.
  }
  return deleted;
}

}  // namespace morvane
