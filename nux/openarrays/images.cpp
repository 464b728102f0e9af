#include "nux/openarrays/images.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "nux/host/clipboard.h"
#include "nux/host/exceptions.h"
#include "nux/host/picture.h"
#include "nux/openarrays/regions_util.h"

namespace nux {
namespace {

// The extension of the file-name part, from its last dot, in lower case; empty when none.
std::string LowerExtension(const std::string& FileName) {
  const size_t Slash = FileName.find_last_of('/');
  const size_t Dot = FileName.find_last_of('.');
  if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash)) return {};
  std::string Ext = FileName.substr(Dot);
  for (char& C : Ext) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  return Ext;
}

}  // namespace

int32_t SaveArrayAsImg(const std::string& FileName, const TInt2DArray& A, int32_t Magnify) {
  if (Magnify < 1 || Magnify > 10) return -2;
  TPictureFormat Format = pfBMP;
  if (!FileName.empty()) {
    const std::string Ext = LowerExtension(FileName);
    if (Ext == ".bmp")
      Format = pfBMP;
    else if (Ext == ".png")
      Format = pfPNG;
    else if (Ext == ".jpg")
      Format = pfJPEG;
    else
      return -1;
  }
  int32_t Cols = 0, Rows = 0;
  if (!regions_detail::RectangularExtents(A, Cols, Rows)) return -1;
  // 64-bit sizes: columns * Magnify may exceed 32 bits.
  const int64_t Width = int64_t{Cols} * Magnify, Height = int64_t{Rows} * Magnify;
  const auto DrawRow = [&A, Cols, Magnify](int32_t Y, int32_t* Pixels) {
    const size_t Row = static_cast<size_t>(Y / Magnify);
    for (int32_t C = 0; C < Cols; ++C)
      std::fill_n(Pixels + static_cast<int64_t>(C) * Magnify, Magnify, A[C][Row]);
  };
  if (FileName.empty()) {
    if (Width > INT32_MAX || Height > INT32_MAX) return -3;
    try {
      TBitmap Picture(static_cast<int32_t>(Width), static_cast<int32_t>(Height));
      for (int32_t Y = 0; Y < Picture.Height(); ++Y) DrawRow(Y, Picture.ScanLine(Y));
      Clipboard().SetBitmap(std::move(Picture));
    } catch (const EOutOfMemory&) {
      return -3;
    }
    return 0;
  }
  if (!PictureSizeFits(Format, Width, Height)) return -3;
  // Rows are drawn as the encoder asks for them, so only one row is held at a time.
  try {
    SavePictureToFile(FileName, Format, static_cast<int32_t>(Width), static_cast<int32_t>(Height),
                      DrawRow);
  } catch (const EOutOfMemory&) {
    return -3;
  } catch (const EInOutError&) {
    return -4;
  }
  return 0;
}

}  // namespace nux
