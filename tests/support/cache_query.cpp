#include "support/cache_query.h"

#include <sqlite3.h>

namespace morvane::testing {

std::vector<std::string> QueryColumn(const std::string& database, const std::string& sql) {
  std::vector<std::string> column;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
    sqlite3_exec(
        db, sql.c_str(),
        [](void* out, int, char** values, char**) {
          static_cast<std::vector<std::string>*>(out)->push_back(values[0] != nullptr ? values[0] : "");
          return 0;
        },
        &column, nullptr);
  sqlite3_close(db);
  return column;
}

}  // namespace morvane::testing
