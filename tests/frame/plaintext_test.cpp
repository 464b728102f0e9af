#include "nux/frame/plaintext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

namespace nux {
namespace {

TEST(PlainText, ShortestNumbersReadBackBitForBit) {
  const double Values[] = {0.1,     -0.0, 1e-310, std::numeric_limits<double>::max(),
                           1.0 / 3, -2.5, 1e22,   123456789012345678.0};
  for (const double X : Values) {
    double Y = 7;
    ASSERT_TRUE(ParseNumber(ShortestNumber(X), Y)) << ShortestNumber(X);
    EXPECT_EQ(std::signbit(X), std::signbit(Y));
    EXPECT_EQ(X, Y);
  }
  EXPECT_EQ(ShortestNumber(0.1), "0.1");
  EXPECT_EQ(ShortestNumber(-std::numeric_limits<double>::infinity()), "-inf");
  double Y = 0;
  EXPECT_TRUE(ParseNumber("nan", Y) && std::isnan(Y));
  EXPECT_TRUE(ParseNumber("+7", Y) && Y == 7);
  Y = 5;
  for (const char* Bad : {"", "+", "++1", "1.5x", "1e999", "0x10", " 1", "--2"})
    EXPECT_FALSE(ParseNumber(Bad, Y)) << Bad;
  EXPECT_EQ(Y, 5);  // refused text leaves the value alone
}

TEST(PlainText, RowsCommentsAndBadInput) {
  std::istringstream Good("# header\r\n1 2\t3\r\n\n  -4 5e1 +6  \n   # indented comment\n");
  TDouble2DArray Rows = {{99}};
  int64_t Line = -1;
  ASSERT_EQ(ReadNumberRows(Good, true, Rows, Line), ptOK);
  EXPECT_EQ(Rows, (TDouble2DArray{{1, 2, 3}, {-4, 50, 6}}));
  EXPECT_EQ(Line, 0);

  struct Case {
    const char* Text;
    bool Rect;
    int32_t Code;
    int64_t Line;
  };
  for (const Case& C :
       {Case{"1 2\n3\n", true, ptRagged, 2}, Case{"1 2\n3\n", false, ptOK, 0},
        Case{"1\n2 x 3\n", false, ptNotANumber, 2}, Case{"1 # trailing\n", false, ptNotANumber, 1},
        Case{"\n# only\n  \n", false, ptNoNumbers, 0}, Case{"", false, ptNoNumbers, 0}}) {
    std::istringstream In(C.Text);
    TDouble2DArray Out = {{42}};
    EXPECT_EQ(ReadNumberRows(In, C.Rect, Out, Line), C.Code) << C.Text;
    EXPECT_EQ(Line, C.Line) << C.Text;
    if (C.Code != ptOK) {
      EXPECT_EQ(Out, (TDouble2DArray{{42}})) << "failure must not touch rows";
    }
  }
  std::istringstream Ints("1 2.5\n");
  EXPECT_EQ(ReadNumberRows(Ints, false, Rows, Line, [](double X) { return X == std::trunc(X); }),
            ptNotANumber);
  EXPECT_EQ(Line, 1);
}

}  // namespace
}  // namespace nux
