// The EXIF date text "yyyy:mm:dd hh:nn:ss": always ":" whatever the regional time separator.
#pragma once

#include <string>

#include "platform/date_time.h"

namespace morvane {

std::string FormatExifDateTime(const TDateTime& date_time);

}  // namespace morvane
