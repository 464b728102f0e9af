// Integer arrays (A[col][row]) written as pictures.
#pragma once

#include <cstdint>
#include <string>

#include "nux/frame/types.h"

namespace nux {

// Draws A as a picture of (columns * Magnify) x (rows * Magnify) pixels, pixel (x, y) taking
// the colour A[x div Magnify][y div Magnify] (0x00BBGGRR), and writes it as ".bmp" (24-bit),
// ".png" or ".jpg" by the extension of FileName (any case). An empty FileName puts the picture
// on the clipboard (Clipboard() of the host layer) instead. A file appears only when completely
// written. Returns 0; -2 when Magnify lies outside 1..10; -1 for an unknown extension or an
// empty or ragged array; -3 when the picture is too large for the format (JPEG sides up to
// 65500 pixels, BMP files below 4 GiB, any side below 2^31) or for the memory; -4 when the file
// cannot be written.
int32_t SaveArrayAsImg(const std::string& FileName, const TInt2DArray& A, int32_t Magnify);

}  // namespace nux
