#include "nux/openarrays/images.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "nux/frame/colors.h"
#include "nux/host/clipboard.h"
#include "support/alloc_limit.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

namespace fs = std::filesystem;

// 3 columns, 2 rows of distinct colours.
TInt2DArray Colours() {
  return {{RGBColor(255, 0, 0), RGBColor(1, 2, 3)},
          {RGBColor(0, 255, 0), RGBColor(40, 50, 60)},
          {RGBColor(0, 0, 255), RGBColor(200, 100, 0)}};
}

std::vector<uint8_t> ReadAll(const std::string& Name) {
  std::ifstream In(Name, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

uint32_t LE32(const std::vector<uint8_t>& D, size_t At) {
  return D[At] | (D[At + 1] << 8) | (D[At + 2] << 16) | (uint32_t{D[At + 3]} << 24);
}
uint32_t BE(const std::vector<uint8_t>& D, size_t At, int Bytes) {
  uint32_t V = 0;
  for (int K = 0; K < Bytes; ++K) V = V << 8 | D[At + K];
  return V;
}

size_t FilesIn(const std::string& Dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()));
}

// The pixels themselves are checked through the clipboard below and by the encoders' own tests;
// here each file must be in its format and of the magnified size.
TEST(SaveArrayAsImg, FilesInTheFormatOfTheirExtension) {
  TempDir Dir;
  ASSERT_EQ(SaveArrayAsImg(Dir.Path("a.BMP"), Colours(), 3), 0);
  auto D = ReadAll(Dir.Path("a.BMP"));
  ASSERT_EQ(D.size(), 54u + 6 * 28);  // 9 pixels of 3 bytes, padded to 28
  EXPECT_EQ(LE32(D, 18) * 1000 + LE32(D, 22), 9006u);
  ASSERT_EQ(SaveArrayAsImg(Dir.Path("a.png"), Colours(), 10), 0);
  D = ReadAll(Dir.Path("a.png"));
  ASSERT_GT(D.size(), 24u);
  EXPECT_EQ(BE(D, 0, 4), 0x89504E47u);
  EXPECT_EQ(BE(D, 16, 4) * 1000 + BE(D, 20, 4), 30020u);  // width and height in the header
  ASSERT_EQ(SaveArrayAsImg(Dir.Path("a.Jpg"), Colours(), 2), 0);
  D = ReadAll(Dir.Path("a.Jpg"));
  size_t P = 2;  // walk the markers to the frame header
  while (P + 9 < D.size() && !(D[P] == 0xFF && D[P + 1] >= 0xC0 && D[P + 1] <= 0xC2))
    P += 2 + BE(D, P + 2, 2);
  ASSERT_LT(P + 9, D.size());
  EXPECT_EQ(BE(D, P + 5, 2) * 1000 + BE(D, P + 7, 2), 4006u);
}

TEST(SaveArrayAsImg, EmptyNameGoesToTheClipboard) {
  Clipboard().SetAsText("old");
  const auto A = Colours();
  ASSERT_EQ(SaveArrayAsImg("", A, 2), 0);
  TBitmap B;
  ASSERT_TRUE(Clipboard().GetBitmap(B));
  ASSERT_EQ(B.Width(), 6);
  ASSERT_EQ(B.Height(), 4);
  for (int32_t Y = 0; Y < 4; ++Y)
    for (int32_t X = 0; X < 6; ++X) EXPECT_EQ(B.Pixel(X, Y), A[X / 2][Y / 2]);

  // A picture beyond the memory: -3, and the clipboard keeps what it had.
  Clipboard().SetAsText("kept");
  const TInt2DArray Big(1000, TIntArray(1000, 0));
  {
    ScopedAllocLimit Limit(size_t{64} << 20);  // the picture needs 400 MB
    EXPECT_EQ(SaveArrayAsImg("", Big, 10), -3);
  }
  EXPECT_EQ(Clipboard().AsText(), "kept");
  Clipboard().Clear();
}

TEST(SaveArrayAsImg, BadInputGivesCodesAndNoFile) {
  TempDir Dir;
  const auto A = Colours();
  EXPECT_EQ(SaveArrayAsImg(Dir.Path("a.png"), A, 0), -2);
  EXPECT_EQ(SaveArrayAsImg(Dir.Path("a.png"), A, 11), -2);
  EXPECT_EQ(SaveArrayAsImg(Dir.Path("a.gif"), A, 0), -2);  // Magnify is checked first
  EXPECT_EQ(SaveArrayAsImg(Dir.Path("a.gif"), A, 1), -1);
  EXPECT_EQ(SaveArrayAsImg(Dir.Path("x.png/a"), A, 1), -1);
  EXPECT_EQ(SaveArrayAsImg(Dir.Path("a.png"), TInt2DArray{}, 1), -1);
  EXPECT_EQ(SaveArrayAsImg(Dir.Path("a.png"), TInt2DArray{{1, 2}, {3}}, 1), -1);
  EXPECT_EQ(SaveArrayAsImg(Dir.Path("missing/a.png"), A, 1), -4);
  fs::create_directory(Dir.Path("taken.bmp"));
  EXPECT_EQ(SaveArrayAsImg(Dir.Path("taken.bmp"), A, 1), -4);
  // 7000 rows times 10 exceed what a JPEG can record; the same picture fits a BMP.
  const TInt2DArray Tall(1, TIntArray(7000, RGBColor(9, 8, 7)));
  EXPECT_EQ(SaveArrayAsImg(Dir.Path("tall.jpg"), Tall, 10), -3);
  EXPECT_EQ(FilesIn(Dir.Path("")), 1u);  // only the directory made above
  EXPECT_EQ(SaveArrayAsImg(Dir.Path("tall.bmp"), Tall, 10), 0);
  EXPECT_EQ(fs::file_size(Dir.Path("tall.bmp")), 54u + 32u * 70000u);
}

}  // namespace
}  // namespace nux
