// The photo properties request: the camera, shot and image values today's shell shows in its
// columns and details, read from a stream with the info tip's reader and filter, as numbers
// where the shell keeps numbers. A value the file does not hold is left out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/date_time.h"
#include "platform/stream.h"

namespace morvane {

struct TPhotoProperties {
  std::string CameraMaker;  // texts of the code page; empty when absent
  std::string CameraModel;
  std::string LensModel;
  std::optional<TDateTime> DateTaken;  // the camera's clock: local time
  std::optional<double> FNumber;
  std::optional<double> ExposureTime;  // seconds
  std::optional<double> FocalLength;   // millimetres
  std::optional<uint16_t> ISOSpeed;
  std::optional<uint8_t> Flash;        // the EXIF flash bits
  std::optional<uint16_t> Orientation; // the EXIF orientation, 1 to 8
  std::optional<uint32_t> Width;       // upright, as the info tip gives the dimensions
  std::optional<uint32_t> Height;
};

// The properties of the file held by `stream`, whose type `type_name` names by its extension.
// Takes the request lock for its run; a file that cannot be read throws EMorvaneError.
TPhotoProperties ReadPhotoProperties(TStream& stream, const std::string& type_name);

}  // namespace morvane
