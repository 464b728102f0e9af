#include "nux/frame/colors.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "nux/frame/rounding.h"

namespace nux {

void RGBtoHSI(int32_t Color, double& Hue, double& Saturation, double& Intensity) {
  const double R = RedOf(Color), G = GreenOf(Color), B = BlueOf(Color);
  Intensity = (R + G + B) / 3.0;
  const double Min = std::min({R, G, B});
  Saturation = Intensity > 0.0 ? 1.0 - Min / Intensity : 0.0;
  const double Num = 0.5 * ((R - G) + (R - B));
  const double Den = std::sqrt((R - G) * (R - G) + (R - B) * (G - B));
  if (Den == 0.0) {
    Hue = 0.0;
    return;
  }
  const double Theta = std::acos(std::clamp(Num / Den, -1.0, 1.0)) * 180.0 / std::numbers::pi;
  Hue = B > G ? 360.0 - Theta : Theta;
  if (Hue >= 360.0) Hue -= 360.0;
}

int32_t RGBtoGray(int32_t Color) {
  const double Y = 0.299 * RedOf(Color) + 0.587 * GreenOf(Color) + 0.114 * BlueOf(Color);
  return std::clamp(RoundToInt32(Y), 0, 255);
}

}  // namespace nux
