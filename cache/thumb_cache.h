// The thumbnail cache: one SQLite database per user holding, per file path, the finished
// JPEG thumbnail with the file's size and stamp when it was made. Several processes share the
// file through SQLite's own locking; within a process every call runs under the request lock.
#pragma once

#include <sqlite3.h>

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

 private:
  sqlite3* Connection();
  void CreateDatabase();

  std::string database_file_;
  sqlite3* db_ = nullptr;
};

inline constexpr int kCacheBusyTimeoutMs = 10000;

}  // namespace morvane
