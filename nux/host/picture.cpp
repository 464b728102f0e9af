#include "nux/host/picture.h"

#include <fcntl.h>
#include <jpeglib.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

#include "nux/host/atomicfile.h"
#include "nux/host/exceptions.h"

namespace nux {
namespace {

constexpr int64_t MaxInt32 = std::numeric_limits<int32_t>::max();

int64_t BMPRowBytes(int64_t Width) { return (3 * Width + 3) / 4 * 4; }

void ToRGB(const int32_t* Pixels, int32_t Width, uint8_t* Out) {
  for (int32_t X = 0; X < Width; ++X) {
    const uint32_t C = static_cast<uint32_t>(Pixels[X]);
    Out[3 * X] = static_cast<uint8_t>(C & 0xFF);
    Out[3 * X + 1] = static_cast<uint8_t>((C >> 8) & 0xFF);
    Out[3 * X + 2] = static_cast<uint8_t>((C >> 16) & 0xFF);
  }
}

// Row buffers of one encoder call; allocation failure becomes EOutOfMemory.
struct TRowBuffers {
  std::vector<int32_t> Pixels;
  std::vector<uint8_t> Bytes;
  TRowBuffers(int32_t Width, int64_t ByteCount) {
    try {
      Pixels.resize(static_cast<size_t>(Width));
      Bytes.assign(static_cast<size_t>(ByteCount), 0);
    } catch (const std::bad_alloc&) {
      throw EOutOfMemory("Not enough memory for the picture rows");
    } catch (const std::length_error&) {
      throw EOutOfMemory("Not enough memory for the picture rows");
    }
  }
};

void PutLE16(uint8_t* P, uint32_t V) {
  P[0] = static_cast<uint8_t>(V);
  P[1] = static_cast<uint8_t>(V >> 8);
}
void PutLE32(uint8_t* P, uint32_t V) {
  for (int I = 0; I < 4; ++I) P[I] = static_cast<uint8_t>(V >> (8 * I));
}

// 24-bit BMP: 14-byte file header, 40-byte info header, rows bottom-up in B, G, R order, each
// padded to a multiple of 4 bytes.
bool WriteBMP(FILE* F, int32_t Width, int32_t Height, const TPixelRowSource& Rows,
              std::string& Error) {
  const int64_t RowBytes = BMPRowBytes(Width);
  const int64_t ImageBytes = RowBytes * Height;
  uint8_t Header[54] = {};
  Header[0] = 'B';
  Header[1] = 'M';
  PutLE32(Header + 2, static_cast<uint32_t>(54 + ImageBytes));
  PutLE32(Header + 10, 54);
  PutLE32(Header + 14, 40);
  PutLE32(Header + 18, static_cast<uint32_t>(Width));
  PutLE32(Header + 22, static_cast<uint32_t>(Height));
  PutLE16(Header + 26, 1);
  PutLE16(Header + 28, 24);
  PutLE32(Header + 34, static_cast<uint32_t>(ImageBytes));
  PutLE32(Header + 38, 2835);  // 72 dots per inch
  PutLE32(Header + 42, 2835);
  if (std::fwrite(Header, 1, sizeof Header, F) != sizeof Header) {
    Error = "write error";
    return false;
  }
  TRowBuffers Buf(Width, RowBytes);
  for (int32_t Y = Height - 1; Y >= 0; --Y) {
    Rows(Y, Buf.Pixels.data());
    for (int32_t X = 0; X < Width; ++X) {
      const uint32_t C = static_cast<uint32_t>(Buf.Pixels[X]);
      Buf.Bytes[3 * X] = static_cast<uint8_t>((C >> 16) & 0xFF);
      Buf.Bytes[3 * X + 1] = static_cast<uint8_t>((C >> 8) & 0xFF);
      Buf.Bytes[3 * X + 2] = static_cast<uint8_t>(C & 0xFF);
    }
    if (std::fwrite(Buf.Bytes.data(), 1, Buf.Bytes.size(), F) != Buf.Bytes.size()) {
      Error = "write error";
      return false;
    }
  }
  return true;
}

// libpng and libjpeg report errors by longjmp. The functions holding setjmp keep no objects
// with destructors, so the jump skips only the libraries' own C frames.
struct TPNGContext {
  FILE* F;
  const TPixelRowSource* Rows;
  int32_t Width;
  int32_t Height;
  int32_t* Pixels;
  uint8_t* Bytes;
  char Message[200];
};

void PNGError(png_structp Png, png_const_charp Msg) {
  auto* C = static_cast<TPNGContext*>(png_get_error_ptr(Png));
  std::snprintf(C->Message, sizeof C->Message, "%s", Msg);
  png_longjmp(Png, 1);
}
void PNGWarning(png_structp, png_const_charp) {}

bool WritePNGBody(png_structp Png, png_infop Info, TPNGContext* C) {
  if (setjmp(png_jmpbuf(Png))) return false;
  png_init_io(Png, C->F);
  png_set_user_limits(Png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
  png_set_IHDR(Png, Info, static_cast<png_uint_32>(C->Width), static_cast<png_uint_32>(C->Height),
               8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(Png, Info);
  for (int32_t Y = 0; Y < C->Height; ++Y) {
    (*C->Rows)(Y, C->Pixels);
    ToRGB(C->Pixels, C->Width, C->Bytes);
    png_write_row(Png, C->Bytes);
  }
  png_write_end(Png, nullptr);
  return true;
}

bool WritePNG(FILE* F, int32_t Width, int32_t Height, const TPixelRowSource& Rows,
              std::string& Error) {
  TRowBuffers Buf(Width, 3 * static_cast<int64_t>(Width));
  TPNGContext C{F, &Rows, Width, Height, Buf.Pixels.data(), Buf.Bytes.data(), {}};
  png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &C, PNGError, PNGWarning);
  if (Png == nullptr) throw EOutOfMemory("Not enough memory for the PNG encoder");
  png_infop Info = png_create_info_struct(Png);
  struct TGuard {
    png_structp* P;
    png_infop* I;
    ~TGuard() { png_destroy_write_struct(P, I); }
  } Guard{&Png, &Info};
  if (Info == nullptr) throw EOutOfMemory("Not enough memory for the PNG encoder");
  if (WritePNGBody(Png, Info, &C)) return true;
  Error = C.Message;
  return false;
}

struct TJPEGError {
  jpeg_error_mgr Pub;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void JPEGErrorExit(j_common_ptr Info) {
  auto* E = reinterpret_cast<TJPEGError*>(Info->err);
  (*Info->err->format_message)(Info, E->Message);
  std::longjmp(E->Jump, 1);
}
void JPEGSilent(j_common_ptr) {}

struct TJPEGContext {
  FILE* F;
  const TPixelRowSource* Rows;
  int32_t Width;
  int32_t Height;
  int32_t Quality;
  int32_t* Pixels;
  uint8_t* Bytes;
};

bool WriteJPEGBody(jpeg_compress_struct* J, TJPEGError* E, TJPEGContext* C) {
  if (setjmp(E->Jump)) return false;
  jpeg_create_compress(J);
  jpeg_stdio_dest(J, C->F);
  J->image_width = static_cast<JDIMENSION>(C->Width);
  J->image_height = static_cast<JDIMENSION>(C->Height);
  J->input_components = 3;
  J->in_color_space = JCS_RGB;
  jpeg_set_defaults(J);
  jpeg_set_quality(J, C->Quality, TRUE);
  // Full chroma resolution: array pictures have sharp colour edges between cells.
  for (int I = 0; I < J->num_components; ++I) {
    J->comp_info[I].h_samp_factor = 1;
    J->comp_info[I].v_samp_factor = 1;
  }
  jpeg_start_compress(J, TRUE);
  for (int32_t Y = 0; Y < C->Height; ++Y) {
    (*C->Rows)(Y, C->Pixels);
    ToRGB(C->Pixels, C->Width, C->Bytes);
    JSAMPROW Row = C->Bytes;
    jpeg_write_scanlines(J, &Row, 1);
  }
  jpeg_finish_compress(J);
  return true;
}

bool WriteJPEG(FILE* F, int32_t Width, int32_t Height, int32_t Quality, const TPixelRowSource& Rows,
               std::string& Error) {
  TRowBuffers Buf(Width, 3 * static_cast<int64_t>(Width));
  TJPEGContext C{F, &Rows, Width, Height, Quality, Buf.Pixels.data(), Buf.Bytes.data()};
  jpeg_compress_struct J;
  std::memset(&J, 0, sizeof J);
  TJPEGError E;
  std::memset(&E, 0, sizeof E);
  J.err = jpeg_std_error(&E.Pub);
  E.Pub.error_exit = JPEGErrorExit;
  E.Pub.output_message = JPEGSilent;
  struct TGuard {
    jpeg_compress_struct* J;
    ~TGuard() { jpeg_destroy_compress(J); }
  } Guard{&J};
  if (WriteJPEGBody(&J, &E, &C)) return true;
  Error = E.Message;
  return false;
}

}  // namespace

bool PictureSizeFits(TPictureFormat Format, int64_t Width, int64_t Height) {
  if (Width < 1 || Height < 1 || Width > MaxInt32 || Height > MaxInt32) return false;
  switch (Format) {
    case pfBMP:
      // Sizes and offsets in the headers are 32-bit.
      return Height <= (int64_t{0xFFFFFFFF} - 54) / BMPRowBytes(Width);
    case pfPNG:
      return true;
    case pfJPEG:
      return Width <= MaxJPEGDimension && Height <= MaxJPEGDimension;
  }
  return false;
}

void SavePictureToFile(const std::string& FileName, TPictureFormat Format, int32_t Width,
                       int32_t Height, const TPixelRowSource& Rows, int32_t Quality) {
  if (Format != pfBMP && Format != pfPNG && Format != pfJPEG)
    throw EInOutError("Unknown picture format");
  if (!PictureSizeFits(Format, Width, Height))
    throw EInOutError("Picture size not supported by the format: " + std::to_string(Width) + " x " +
                      std::to_string(Height));
  WriteFileAtomically(FileName, [&](FILE* F, std::string& Error) {
    switch (Format) {
      case pfBMP:
        return WriteBMP(F, Width, Height, Rows, Error);
      case pfPNG:
        return WritePNG(F, Width, Height, Rows, Error);
      case pfJPEG:
        return WriteJPEG(F, Width, Height, std::clamp(Quality, 1, 100), Rows, Error);
    }
    return false;
  });
}

TBitmap::TBitmap(int32_t Width, int32_t Height, int32_t Color) { SetSize(Width, Height, Color); }

void TBitmap::SetSize(int32_t Width, int32_t Height, int32_t Color) {
  Width = std::max(Width, 0);
  Height = std::max(Height, 0);
  std::vector<int32_t> Pixels;
  try {
    Pixels.assign(static_cast<size_t>(Width) * static_cast<size_t>(Height), Color);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Not enough memory for a bitmap of " + std::to_string(Width) + " x " +
                       std::to_string(Height) + " pixels");
  } catch (const std::length_error&) {
    throw EOutOfMemory("Not enough memory for a bitmap of " + std::to_string(Width) + " x " +
                       std::to_string(Height) + " pixels");
  }
  FPixels.swap(Pixels);
  FWidth = Width;
  FHeight = Height;
}

int32_t TBitmap::Pixel(int32_t X, int32_t Y) const {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return 0;
  return ScanLine(Y)[X];
}

void TBitmap::SetPixel(int32_t X, int32_t Y, int32_t Color) {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return;
  ScanLine(Y)[X] = Color;
}

void TBitmap::SaveToFile(const std::string& FileName, TPictureFormat Format,
                         int32_t Quality) const {
  if (Empty()) throw EInOutError("Cannot write an empty picture");
  SavePictureToFile(
      FileName, Format, FWidth, FHeight,
      [this](int32_t Row, int32_t* Pixels) { std::copy_n(ScanLine(Row), FWidth, Pixels); },
      Quality);
}

void TBitmap::Assign(const TPersistent* Source) {
  if (const auto* B = dynamic_cast<const TBitmap*>(Source)) {
    if (B == this) return;
    std::vector<int32_t> Pixels;
    try {
      Pixels = B->FPixels;
    } catch (const std::bad_alloc&) {
      throw EOutOfMemory("Not enough memory to copy a bitmap");
    }
    FPixels.swap(Pixels);
    FWidth = B->FWidth;
    FHeight = B->FHeight;
    return;
  }
  TPersistent::Assign(Source);
}

bool TBitmap::operator==(const TBitmap& Other) const {
  return FWidth == Other.FWidth && FHeight == Other.FHeight && FPixels == Other.FPixels;
}

}  // namespace nux
