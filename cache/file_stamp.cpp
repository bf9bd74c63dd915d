#include "cache/file_stamp.h"

#include "platform/date_time.h"
#include "platform/files.h"

namespace morvane {

double CacheFileSize(uint64_t size) { return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(size))); }

double CacheFileStamp(int64_t unix_seconds) {
  // A time the system cannot convert counts as before the range, as the year 0 does.
  const TDateTime local = LocalDateTimeFromUnixSeconds(unix_seconds).value_or(TDateTime{.Year = 0});
  int64_t year = local.Year;
  int month = local.Month;
  int day = local.Day;
  int hour = local.Hour;
  int minute = local.Minute;
  int second = local.Second / 2 * 2;
  // The packed form holds the years 1980 to 2107; times outside are clamped to its ends.
  if (year < 1980) {
    year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  } else if (year > 2107) {
    year = 2107, month = 12, day = 31, hour = 23, minute = 59, second = 58;
  }
  const int64_t days = DaysFromCivil(year, month, day) - DaysFromCivil(1899, 12, 30);
  return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

std::optional<TFileEntry> CacheFileEntry(const std::string& path) {
  const auto size = GetFileSize(path);
  const auto time = GetFileLastWriteTime(path);
  if (!size || !time) return std::nullopt;
  return TFileEntry{CacheFileSize(*size), CacheFileStamp(*time)};
}

}  // namespace morvane
