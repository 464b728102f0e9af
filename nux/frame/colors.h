// Colour conversions. Colours are 0x00BBGGRR integers: red in the low byte.
#pragma once

#include <cstdint>

namespace nux {

// The colour of the three channel values.
inline int32_t RGBColor(uint8_t R, uint8_t G, uint8_t B) {
  return static_cast<int32_t>(R | (uint32_t{G} << 8) | (uint32_t{B} << 16));
}
// Red channel (low byte) of Color.
inline uint8_t RedOf(int32_t Color) { return static_cast<uint8_t>(Color & 0xFF); }
// Green channel (second byte) of Color.
inline uint8_t GreenOf(int32_t Color) { return static_cast<uint8_t>((Color >> 8) & 0xFF); }
// Blue channel (third byte) of Color.
inline uint8_t BlueOf(int32_t Color) { return static_cast<uint8_t>((Color >> 16) & 0xFF); }

// Hue in degrees [0, 360) (0 for greys), saturation in [0, 1] (1 - min/mean), intensity the
// mean of the three channels in [0, 255].
void RGBtoHSI(int32_t Color, double& Hue, double& Saturation, double& Intensity);
// Luma 0.299 R + 0.587 G + 0.114 B, rounded to 0..255.
int32_t RGBtoGray(int32_t Color);

}  // namespace nux
