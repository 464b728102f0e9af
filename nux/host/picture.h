// Pictures of the host layer: a bitmap with pixel access, and encoders that write it as a 24-bit
// BMP, a PNG (through libpng) or a JPEG (through libjpeg). Colours are 0x00BBGGRR integers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "nux/host/object.h"

namespace nux {

// Picture file formats: 24-bit BMP, PNG, JPEG.
enum TPictureFormat : int32_t { pfBMP, pfPNG, pfJPEG };

// Largest width or height a JPEG file can record.
constexpr int64_t MaxJPEGDimension = 65500;

// Fills Pixels[0..Width-1] with the colours of picture row Row (0 is the top row). Encoders ask
// for the rows one at a time, so a picture can be written without holding it whole in memory.
using TPixelRowSource = std::function<void(int32_t Row, int32_t* Pixels)>;

// True when a picture of Width x Height pixels can be written in Format: both sides at least 1
// and within what the format can record (for BMP also a file below 4 GiB).
bool PictureSizeFits(TPictureFormat Format, int64_t Width, int64_t Height);

// Writes a picture to FileName. The file appears only when it is complete: the data go to a
// temporary file in the same directory, renamed on success and removed on failure. Quality
// (1..100, clipped) applies to JPEG only. Failures raise EInOutError (also for a size the
// format cannot record, before anything is created); row buffers that cannot be allocated raise
// EOutOfMemory. An exception from Rows propagates, and the temporary file is removed.
void SavePictureToFile(const std::string& FileName, TPictureFormat Format, int32_t Width,
                       int32_t Height, const TPixelRowSource& Rows, int32_t Quality = 90);

// A picture of Width x Height pixels, colours 0x00BBGGRR, row 0 at the top.
class TBitmap : public TPersistent {
 public:
  TBitmap() = default;
  // Raises EOutOfMemory when the pixels cannot be allocated; negative sizes count as 0.
  TBitmap(int32_t Width, int32_t Height, int32_t Color = 0);

  // Width in pixels.
  int32_t Width() const { return FWidth; }
  // Height in pixels.
  int32_t Height() const { return FHeight; }
  // True when the bitmap has no pixels.
  bool Empty() const { return FWidth == 0 || FHeight == 0; }
  // Resizes and fills with Color. On failure (EOutOfMemory) the bitmap is left as it was.
  void SetSize(int32_t Width, int32_t Height, int32_t Color = 0);

  // Outside the bitmap reads give 0 and writes are ignored.
  int32_t Pixel(int32_t X, int32_t Y) const;
  // Sets pixel (X, Y), 0-based from the top left corner.
  void SetPixel(int32_t X, int32_t Y, int32_t Color);
  // The Width pixels of row Y; Y must lie in 0..Height-1.
  int32_t* ScanLine(int32_t Y) { return FPixels.data() + static_cast<size_t>(Y) * FWidth; }
  const int32_t* ScanLine(int32_t Y) const {
    return FPixels.data() + static_cast<size_t>(Y) * FWidth;
  }

  // Writes the bitmap (see SavePictureToFile); an empty bitmap raises EInOutError.
  void SaveToFile(const std::string& FileName, TPictureFormat Format, int32_t Quality = 90) const;

  void Assign(const TPersistent* Source) override;
  // True for the same size and the same pixels.
  bool operator==(const TBitmap& Other) const;

 private:
  int32_t FWidth = 0;
  int32_t FHeight = 0;
  std::vector<int32_t> FPixels;  // row by row from the top, 0x00BBGGRR
};

}  // namespace nux
