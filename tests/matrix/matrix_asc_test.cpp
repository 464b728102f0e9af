#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "nux/frame/ascio.h"
#include "nux/matrix/matrix.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

TEST(MatrixASC, RoundTripsBitForBitWithCustomData) {
  TempDir Dir;
  const std::string F = Dir.Path("m.asc");
  TMatrix M(TDouble2DArray{{0.1, 1e-310, -0.0},
                           {1.0 / 3, std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity()}});
  const TStr2DArray Cust{{"a \"q\"", "line\nbreak"}, {}, {"\t;x"}};
  ASSERT_EQ(M.ExportAsASC(F, -1, "", Cust), 0);
  TMatrix B;
  std::string C;
  TStr2DArray BC;
  int32_t Resizes = 0;
  B.OnResize = [&](TObject*) { ++Resizes; };
  ASSERT_EQ(B.ImportASC(F, C, BC), ascOK);
  EXPECT_EQ(C, "Exported by NUX TMatrix component: " + F);
  EXPECT_EQ(Resizes, 1);
  ASSERT_EQ(B.NrOfColumns(), 2);
  ASSERT_EQ(B.NrOfRows(), 3);
  for (int32_t Col = 1; Col <= 2; ++Col)
    for (int32_t Row = 1; Row <= 3; ++Row) {
      EXPECT_EQ(B.GetVal(Col, Row), M.GetVal(Col, Row));
      EXPECT_EQ(std::signbit(B.GetVal(Col, Row)), std::signbit(M.GetVal(Col, Row)));
    }
  EXPECT_EQ(BC, Cust);

  ASSERT_EQ(M.ExportAsASC(F, 2, "c"), 0);
  std::ifstream In(F);
  std::stringstream Got;
  Got << In.rdbuf();
  EXPECT_NE(Got.str().find("\n0.10\t0.33\n"), std::string::npos);
}

TEST(MatrixASC, PassesOverTableSectionsAndLeavesTheMatrixOnFailure) {
  TempDir Dir;
  const std::string F = Dir.Path("m.asc");
  std::ofstream(F) << "t\n2\n2\nTRUE TRUE TRUE TRUE\n\"a\" \"b\"\n1 \"r1\" 1 2\n2 r2 3 ###\n"
                      "2 0 1 0 \"red\"\n3 5 0\n1\n2 \"u\" \"v\"\n";
  TMatrix M;
  std::string C;
  TStr2DArray Cust;
  ASSERT_EQ(M.ImportASC(F, C, Cust), ascOK);
  EXPECT_EQ(M.Data(), (TDouble2DArray{{1, 3}, {2, 0}}));
  EXPECT_EQ(Cust, (TStr2DArray{{"u", "v"}}));
  for (const std::string T :
       {"t\n2\n2\nFALSE FALSE FALSE\n1 2\n3 x\n", "t\n1\n0\nFALSE FALSE FALSE\n",
        "t\n1\n1\nFALSE FALSE FALSE\n1\n5\n", "t\n1\n1\nFALSE FALSE FALSE\n1\n1 2 \"open\n"}) {
    std::ofstream(F) << T;
    EXPECT_NE(M.ImportASC(F, C, Cust), ascOK) << T;
    EXPECT_EQ(M.Data(), (TDouble2DArray{{1, 3}, {2, 0}}));
    EXPECT_EQ(C, "t");
  }
  EXPECT_EQ(M.ImportASC(Dir.Path("missing"), C), ascNoFile);
  EXPECT_EQ(M.ExportAsASC(Dir.Path(""), 2, ""), -1);
}

}  // namespace
}  // namespace nux
