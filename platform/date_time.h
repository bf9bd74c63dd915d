// Calendar dates and times, and their conversion from seconds since 1970-01-01 00:00:00
// (proleptic Gregorian calendar, valid for every 64-bit input year range the logic meets).
#pragma once

#include <cstdint>
#include <optional>

namespace morvane {

struct TDateTime {
  int64_t Year = 1970;
  int Month = 1;   // 1..12
  int Day = 1;     // 1..31
  int Hour = 0;    // 0..23
  int Minute = 0;  // 0..59
  int Second = 0;  // 0..59
};

// The calendar date and time `seconds` after 1970-01-01 00:00:00, with no time-zone adjustment.
TDateTime DateTimeFromUnixSeconds(int64_t seconds);
// The calendar date and time of the local time zone `seconds` after 1970-01-01 00:00:00 UTC;
// nothing when the system cannot convert it.
std::optional<TDateTime> LocalDateTimeFromUnixSeconds(int64_t seconds);
// The seconds since 1970-01-01 00:00:00 UTC of a date and time of the local time zone, by the
// system's rules for that date (its daylight saving time included); nothing when the system
// cannot convert it.
std::optional<int64_t> UnixSecondsFromLocalDateTime(const TDateTime& local);
// Days since 1970-01-01 of a calendar date.
int64_t DaysFromCivil(int64_t year, int month, int day);

}  // namespace morvane
