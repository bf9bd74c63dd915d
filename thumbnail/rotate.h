// TRotateTransform: turns an image by a right angle, moving pixels (colour values or palette
// indices) without resampling. Positive angles turn clockwise on screen.
#pragma once

#include "thumbnail/dib_graphic.h"

namespace morvane {

class TRotateTransform {
 public:
  double Angle = 90.0;

  // Replaces the image by the turned image. An empty image stays empty. Angles that are not
  // within 0.005 of a whole multiple of 90 degrees raise EMorvaneError: free rotation is not
  // part of this system.
  void ApplyTo(TDibGraphic& image) const;
};

}  // namespace morvane
