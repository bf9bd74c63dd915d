// The thumbnail cache: one SQLite database per user holding, per file path, the finished
// JPEG thumbnail with the file's size and stamp when it was made. Several processes share the
// file through SQLite's own locking; within a process every call runs under the request lock.
#pragma once

#include <sqlite3.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/errors.h"

namespace morvane {

// A failure to open or query the cache database.
class ECacheError : public EMorvaneError {
 public:
  using EMorvaneError::EMorvaneError;
};

struct TCacheRow {
  std::string GUID;
  std::string FileName;
  double FileSize = 0;
  double FileStamp = 0;
  std::vector<uint8_t> Thumb;
};

class TThumbCache {
 public:
  // The cache in `folder` (which ends in "/"): the folder is created when missing, and the
  // database file with its table and index when it does not exist yet (ECacheError when that
  // fails). An existing file is taken as it is; it is first opened by the first lookup.
  explicit TThumbCache(std::string folder);
  ~TThumbCache();
  TThumbCache(const TThumbCache&) = delete;
  TThumbCache& operator=(const TThumbCache&) = delete;

  // The default cache folder of the user: the application-data folder plus "Morvane/".
  static std::string DefaultFolder();

  const std::string& DatabaseFileName() const { return database_file_; }

  // The rows whose FileName equals `file_name` (exact text comparison). Throws ECacheError
  // when the database cannot be opened or queried.
  std::vector<TCacheRow> FindRows(const std::string& file_name);

  // Inserts a new row, or updates FileSize, FileStamp and Thumb of the row `as_read` (matched
  // by its GUID, FileName, FileSize and FileStamp as they were read). Failures are dropped.
  void StoreRow(const TCacheRow& row, bool is_new, const TCacheRow& as_read);

  // Makes `made` the one row of its file, atomically against other processes: one write
  // transaction looks the file's rows up again; a row that `keep` approves (another process
  // stored a picture as good meanwhile) stays as it is, else the first row takes `made`'s size,
  // stamp and picture (its GUID stays) or `made` is inserted when there is none; every other
  // row of the file is deleted. Failures are dropped.
  void StoreOnlyRow(const TCacheRow& made, const std::function<bool(const TCacheRow&)>& keep);
  // Deletes the rows of `file_name` other than the one with `guid`. Failures are dropped.
  void DeleteOtherRows(const std::string& file_name, const std::string& guid);

  struct TStats {
    int64_t Rows = 0;
    int64_t ThumbBytes = 0;     // the stored pictures
    int64_t DatabaseBytes = 0;  // the database file
    int64_t StaleRows = 0;      // rows whose file is gone or has changed since
  };
  // Counts the rows and checks each against its file. Throws ECacheError.
  TStats Stats();
  // Deletes the rows whose file is gone or has changed, each only if it is still as it was read
  // (another process may have just renewed it), then gives the freed pages back to the file
  // system when no other process keeps the database busy. The number of rows deleted. Throws
  // ECacheError when the rows cannot be read or deleted.
  int64_t Prune();

 private:
  sqlite3* Connection();
  void CreateDatabase();
  // Runs `work` in one write transaction (BEGIN IMMEDIATE, waiting out other writers up to the
  // busy timeout); it is rolled back when `work` or the commit fails, and the failure rethrown.
  void InWriteTransaction(const std::function<void()>& work);

  std::string database_file_;
  sqlite3* db_ = nullptr;
};

inline constexpr int kCacheBusyTimeoutMs = 10000;

}  // namespace morvane
