#include "metadata/exif_date_time.h"

#include "platform/text.h"

namespace morvane {

std::string FormatExifDateTime(const TDateTime& t) {
  return Format("%04lld:%02d:%02d %02d:%02d:%02d", static_cast<long long>(t.Year), t.Month, t.Day,
                t.Hour, t.Minute, t.Second);
}

}  // namespace morvane
