#include "nux/host/picture.h"

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "nux/frame/colors.h"
#include "nux/host/exceptions.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

namespace fs = std::filesystem;

// A picture whose every pixel differs in all three channels, so swapped channels, flipped rows
// or shifted columns all show.
TBitmap Sample(int32_t W, int32_t H) {
  TBitmap B(W, H);
  for (int32_t Y = 0; Y < H; ++Y)
    for (int32_t X = 0; X < W; ++X)
      B.SetPixel(X, Y,
                 RGBColor(static_cast<uint8_t>(10 * X + Y), static_cast<uint8_t>(200 - 7 * Y),
                          static_cast<uint8_t>(3 * X + 50)));
  return B;
}

std::vector<uint8_t> ReadAll(const std::string& Name) {
  std::ifstream In(Name, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

uint32_t LE32(const std::vector<uint8_t>& D, size_t At) {
  return D[At] | (D[At + 1] << 8) | (D[At + 2] << 16) | (uint32_t{D[At + 3]} << 24);
}

// Decodes a 24-bit BMP by hand; only what a writer of such files has to get right.
TBitmap DecodeBMP(const std::string& Name) {
  const auto D = ReadAll(Name);
  if (D.size() < 54 || D[0] != 'B' || D[1] != 'M') throw std::runtime_error("not a BMP");
  const int32_t W = static_cast<int32_t>(LE32(D, 18)), H = static_cast<int32_t>(LE32(D, 22));
  const size_t Offset = LE32(D, 10), RowBytes = (3 * W + 3) / 4 * 4;
  EXPECT_EQ(LE32(D, 2), D.size());
  EXPECT_EQ(D[28], 24);
  EXPECT_EQ(D.size(), Offset + RowBytes * H);
  TBitmap B(W, H);
  for (int32_t Y = 0; Y < H; ++Y)
    for (int32_t X = 0; X < W; ++X) {
      const size_t P = Offset + (H - 1 - Y) * RowBytes + 3 * X;  // bottom-up rows
      B.SetPixel(X, Y, RGBColor(D[P + 2], D[P + 1], D[P]));
    }
  return B;
}

TBitmap DecodePNG(const std::string& Name) {
  png_image Image{};
  Image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&Image, Name.c_str())) throw std::runtime_error("PNG");
  Image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> Buf(PNG_IMAGE_SIZE(Image));
  if (!png_image_finish_read(&Image, nullptr, Buf.data(), 0, nullptr))
    throw std::runtime_error("PNG");
  TBitmap B(static_cast<int32_t>(Image.width), static_cast<int32_t>(Image.height));
  for (int32_t Y = 0; Y < B.Height(); ++Y)
    for (int32_t X = 0; X < B.Width(); ++X) {
      const uint8_t* P = Buf.data() + 3 * (static_cast<size_t>(Y) * B.Width() + X);
      B.SetPixel(X, Y, RGBColor(P[0], P[1], P[2]));
    }
  return B;
}

TBitmap DecodeJPEG(const std::string& Name) {
  FILE* F = std::fopen(Name.c_str(), "rb");
  if (F == nullptr) throw std::runtime_error("JPEG");
  jpeg_decompress_struct J;
  jpeg_error_mgr Err;
  J.err = jpeg_std_error(&Err);
  jpeg_create_decompress(&J);
  jpeg_stdio_src(&J, F);
  jpeg_read_header(&J, TRUE);
  J.out_color_space = JCS_RGB;
  jpeg_start_decompress(&J);
  TBitmap B(static_cast<int32_t>(J.output_width), static_cast<int32_t>(J.output_height));
  std::vector<uint8_t> Row(3 * J.output_width);
  while (J.output_scanline < J.output_height) {
    const int32_t Y = static_cast<int32_t>(J.output_scanline);
    JSAMPROW P = Row.data();
    jpeg_read_scanlines(&J, &P, 1);
    for (int32_t X = 0; X < B.Width(); ++X)
      B.SetPixel(X, Y, RGBColor(Row[3 * X], Row[3 * X + 1], Row[3 * X + 2]));
  }
  jpeg_finish_decompress(&J);
  jpeg_destroy_decompress(&J);
  std::fclose(F);
  return B;
}

size_t FilesIn(const std::string& Dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()));
}

TEST(Picture, BMPAndPNGKeepEveryPixel) {
  TempDir Dir;
  // Widths 1, 5 and 6 give row padding of 1, 1 and 2 bytes.
  for (const int32_t W : {1, 5, 6}) {
    const TBitmap B = Sample(W, 3);
    B.SaveToFile(Dir.Path("a.bmp"), pfBMP);
    EXPECT_EQ(DecodeBMP(Dir.Path("a.bmp")), B) << W;
    B.SaveToFile(Dir.Path("a.png"), pfPNG);
    EXPECT_EQ(DecodePNG(Dir.Path("a.png")), B) << W;
  }
  EXPECT_EQ(FilesIn(Dir.Path("")), 2u);  // no temporary files left
}

TEST(Picture, JPEGKeepsColoursWithinTolerance) {
  TempDir Dir;
  // 8 x 8 blocks of saturated colours: full chroma resolution keeps them apart.
  const int32_t Colours[] = {RGBColor(255, 0, 0),    RGBColor(0, 255, 0), RGBColor(0, 0, 255),
                             RGBColor(250, 250, 20), RGBColor(0, 0, 0),   RGBColor(128, 64, 32)};
  TBitmap B(48, 16);
  for (int32_t Y = 0; Y < 16; ++Y)
    for (int32_t X = 0; X < 48; ++X) B.SetPixel(X, Y, Colours[(X / 8 + Y / 8) % 6]);
  B.SaveToFile(Dir.Path("a.jpg"), pfJPEG, 95);
  const TBitmap D = DecodeJPEG(Dir.Path("a.jpg"));
  ASSERT_EQ(D.Width(), 48);
  ASSERT_EQ(D.Height(), 16);
  int Worst = 0;
  for (int32_t Y = 0; Y < 16; ++Y)
    for (int32_t X = 0; X < 48; ++X) {
      const int32_t E = B.Pixel(X, Y), G = D.Pixel(X, Y);
      Worst = std::max({Worst, std::abs(RedOf(E) - RedOf(G)), std::abs(GreenOf(E) - GreenOf(G)),
                        std::abs(BlueOf(E) - BlueOf(G))});
    }
  EXPECT_LE(Worst, 6);
}

TEST(Picture, FailedWritesLeaveNothingBehind) {
  TempDir Dir;
  const TBitmap B = Sample(4, 4);
  // Missing directory; a directory in the way of the rename.
  EXPECT_THROW(B.SaveToFile(Dir.Path("none/a.png"), pfPNG), EInOutError);
  fs::create_directory(Dir.Path("d.bmp"));
  EXPECT_THROW(B.SaveToFile(Dir.Path("d.bmp"), pfBMP), EInOutError);
  EXPECT_EQ(FilesIn(Dir.Path("")), 1u);

  // A failure half-way keeps the previous file whole.
  B.SaveToFile(Dir.Path("a.png"), pfPNG);
  const auto Before = ReadAll(Dir.Path("a.png"));
  const auto Failing = [](int32_t Row, int32_t*) {
    if (Row == 2) throw std::runtime_error("source failed");
  };
  for (const auto Format : {pfBMP, pfPNG, pfJPEG})
    EXPECT_THROW(SavePictureToFile(Dir.Path("a.png"), Format, 4, 4, Failing), std::runtime_error);
  EXPECT_EQ(ReadAll(Dir.Path("a.png")), Before);
  EXPECT_EQ(FilesIn(Dir.Path("")), 2u);

  // Sizes a format cannot record are refused before a file is created.
  const auto Black = [](int32_t, int32_t*) {};
  EXPECT_THROW(SavePictureToFile(Dir.Path("w.jpg"), pfJPEG, MaxJPEGDimension + 1, 1, Black),
               EInOutError);
  EXPECT_THROW(TBitmap().SaveToFile(Dir.Path("e.png"), pfPNG), EInOutError);
  EXPECT_EQ(FilesIn(Dir.Path("")), 2u);
  EXPECT_FALSE(PictureSizeFits(pfBMP, 40000, 40000));  // 4.8 GB
}

TEST(Picture, WideRowsBeyondTheDefaultLimitsOfTheEncoder) {
  TempDir Dir;
  // Wider than the decoder-side default limit of libpng (1,000,000 pixels).
  const int32_t W = 1200000;
  SavePictureToFile(Dir.Path("w.png"), pfPNG, W, 1, [](int32_t, int32_t* P) {
    for (int32_t X = 0; X < 1200000; ++X) P[X] = X % 7 == 0 ? RGBColor(1, 2, 3) : 0;
  });
  // The width field of the header chunk, big-endian; the reference decoder refuses such widths.
  const auto D = ReadAll(Dir.Path("w.png"));
  ASSERT_GT(D.size(), 24u);
  EXPECT_EQ((uint32_t{D[16]} << 24) | (D[17] << 16) | (D[18] << 8) | D[19],
            static_cast<uint32_t>(W));
  EXPECT_EQ(std::string(D.begin() + 12, D.begin() + 16), "IHDR");
}

}  // namespace
}  // namespace nux
