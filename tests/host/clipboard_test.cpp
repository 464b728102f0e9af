#include "nux/host/clipboard.h"

#include <gtest/gtest.h>

namespace nux {
namespace {

TEST(Clipboard, HoldsOneItemAtATime) {
  TClipboard& C = Clipboard();
  C.Clear();
  TBitmap Out(1, 1, 42);
  EXPECT_FALSE(C.GetBitmap(Out));
  EXPECT_EQ(Out.Pixel(0, 0), 42);  // untouched

  TBitmap Picture(2, 3, 5);
  Picture.SetPixel(1, 2, 9);
  C.SetBitmap(Picture);
  Picture.SetPixel(0, 0, 1);  // the clipboard holds its own copy
  EXPECT_TRUE(C.HasFormat(cfBitmap) && !C.HasFormat(cfText));
  ASSERT_TRUE(C.GetBitmap(Out));
  EXPECT_EQ(Out.Width(), 2);
  EXPECT_EQ(Out.Pixel(1, 2) * 10 + Out.Pixel(0, 0), 95);  // the copy taken before the change

  C.SetAsText("abc");
  EXPECT_TRUE(C.HasFormat(cfText));
  EXPECT_FALSE(C.GetBitmap(Out));
  EXPECT_EQ(C.AsText(), "abc");
  C.Clear();
  EXPECT_FALSE(C.HasFormat(cfText));
  EXPECT_EQ(C.AsText(), "");
}

}  // namespace
}  // namespace nux
