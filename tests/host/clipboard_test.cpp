#include "nux/host/clipboard.h"

#include <gtest/gtest.h>

#include "nux/host/exceptions.h"
#include "support/alloc_limit.h"

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
  EXPECT_TRUE(C.HasFormat(cfBitmap));
  EXPECT_FALSE(C.HasFormat(cfText));
  ASSERT_TRUE(C.GetBitmap(Out));
  EXPECT_EQ(Out.Width(), 2);
  EXPECT_EQ(Out.Pixel(1, 2), 9);
  EXPECT_EQ(Out.Pixel(0, 0), 5);
  EXPECT_EQ(C.AsText(), "");

  C.SetAsText("abc");
  EXPECT_TRUE(C.HasFormat(cfText));
  EXPECT_FALSE(C.GetBitmap(Out));
  EXPECT_EQ(C.AsText(), "abc");
  C.Clear();
  EXPECT_FALSE(C.HasFormat(cfText));
  EXPECT_EQ(C.AsText(), "");
}

TEST(Clipboard, FailedCopyKeepsTheContents) {
  TClipboard& C = Clipboard();
  C.SetAsText("kept");
  const TBitmap Big(2000, 1000);
  {
    ScopedAllocLimit Limit(1 << 20);
    EXPECT_THROW(C.SetBitmap(Big), EOutOfMemory);
  }
  EXPECT_EQ(C.AsText(), "kept");
  C.Clear();
}

}  // namespace
}  // namespace nux
