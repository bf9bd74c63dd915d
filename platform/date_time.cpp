#include "platform/date_time.h"

#include <ctime>

namespace morvane {

namespace {
int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
}  // namespace

int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = FloorDiv(year, 400);
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

TDateTime DateTimeFromUnixSeconds(int64_t seconds) {
  // Clamp far beyond any calendar the logic shows, so the arithmetic below cannot overflow.
  constexpr int64_t kLimit = int64_t{1} << 50;
  if (seconds > kLimit) seconds = kLimit;
  if (seconds < -kLimit) seconds = -kLimit;
  const int64_t days = FloorDiv(seconds, 86400);
  const int64_t rest = seconds - days * 86400;
  const int64_t z = days + 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  TDateTime t;
  t.Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.Year = yoe + era * 400 + (t.Month <= 2);
  t.Hour = static_cast<int>(rest / 3600);
  t.Minute = static_cast<int>(rest / 60 % 60);
  t.Second = static_cast<int>(rest % 60);
  return t;
}

std::optional<TDateTime> LocalDateTimeFromUnixSeconds(int64_t seconds) {
  const time_t t = static_cast<time_t>(seconds);
  std::tm local{};
#if defined(_WIN32)
  if (::localtime_s(&local, &t) != 0) return std::nullopt;
#else
  if (::localtime_r(&t, &local) == nullptr) return std::nullopt;
#endif
  return TDateTime{local.tm_year + int64_t{1900}, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour, local.tm_min, local.tm_sec};
}

std::optional<int64_t> UnixSecondsFromLocalDateTime(const TDateTime& local) {
  if (local.Year < 1601 || local.Year > 30827) return std::nullopt;
  std::tm fields{};
  fields.tm_year = static_cast<int>(local.Year - 1900);
  fields.tm_mon = local.Month - 1;
  fields.tm_mday = local.Day;
  fields.tm_hour = local.Hour;
  fields.tm_min = local.Minute;
  fields.tm_sec = local.Second;
  fields.tm_isdst = -1;
  const time_t seconds = std::mktime(&fields);
  if (seconds == static_cast<time_t>(-1)) return std::nullopt;
  return static_cast<int64_t>(seconds);
}

}  // namespace morvane
