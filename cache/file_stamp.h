// The forms in which the cache keeps a file's size and last-write time, so that a stored row
// and the file on disk compare by plain numeric equality.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace morvane {

// The low 32 bits of the size taken as a signed 32-bit number (stored rows rely on this form).
double CacheFileSize(uint64_t size);

// Last-write time → local time → packed date and time (2-second steps, 1980..2107, clamped to
// that range) → days since 30 December 1899 with the time of day as the fraction.
double CacheFileStamp(int64_t unix_seconds);

struct TFileEntry {
  double FileSize = 0;
  double FileStamp = 0;
};

// The directory entry of a file in the cache's forms; none when the file does not exist.
std::optional<TFileEntry> CacheFileEntry(const std::string& path);

}  // namespace morvane
