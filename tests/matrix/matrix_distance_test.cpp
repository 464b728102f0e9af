#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "nux/host/random.h"
#include "nux/matrix/matrix.h"
#include "support/alloc_limit.h"
#include "support/filled.h"

namespace nux {
namespace {

TEST(MatrixDistance, ModesAndDistanceMatrix) {
  // x = (1, 2, 3), y = (2, 0, 1): sum xy = 5, sum x^2 = 14, sum y^2 = 5.
  const Rows M{{1, 2, 3}, {2, 0, 1}, {0, 0, 0}, {0, 0, 0}};
  EXPECT_DOUBLE_EQ(M.DistanceOfObjects(dmTanimoto, 1, 2), 5.0 / 14.0);
  EXPECT_EQ(M.DistanceOfObjects(dmCityBlock, 1, 2), 5.0);
  EXPECT_EQ(M.DistanceOfObjects(dmEuclid, 1, 2), 3.0);
  EXPECT_EQ(M.DistanceOfObjects(dmEuclidSqr, 2, 1), 9.0);
  EXPECT_DOUBLE_EQ(M.DistanceOfObjects(dmDice, 1, 2), 10.0 / 19.0);
  EXPECT_EQ(M.DistanceOfObjects(TDistMode(17), 1, 2), 0.0);
  EXPECT_EQ(M.DistanceOfObjects(dmUser, 1, 2), 0.0);         // no handler
  EXPECT_EQ(M.DistanceOfObjects(dmEuclidSqr, 1, 99), 14.0);  // outside: zeros
  EXPECT_EQ(M.DistanceOfObjects(dmTanimoto, 3, 4), 1.0);     // equal zero rows, not 0/0
  EXPECT_EQ(M.DistanceOfObjects(dmDice, 1, 3), 0.0);

  Rows P{{0, 0}, {3, 4}, {6, 8}};
  TMatrix D;
  D.Resize(3, 3);
  D.Fill(7.0);
  EXPECT_EQ(P.CalcDistMat(dmEuclid, &D), 0);
  EXPECT_EQ(D.Data(), (Rows{{0, 5, 10}, {5, 0, 5}, {10, 5, 0}}).Data());
  EXPECT_EQ(P.CalcDistMat(dmDice, &D), 0);
  EXPECT_EQ(D.GetVal(2, 2), 0.0);  // a similarity, still 0 on the diagonal
  for (const auto& [Nc, Nr, Code] : {std::tuple{2, 3, -2}, {3, 2, -1}, {4, 4, -2}}) {
    TMatrix Bad;
    Bad.Resize(Nc, Nr);
    int Changes = 0;
    Bad.OnChange = [&](TObject*) { ++Changes; };
    EXPECT_EQ(P.CalcDistMat(dmEuclid, &Bad), Code);
    EXPECT_EQ(Changes, 0);
  }
  EXPECT_EQ(P.CalcDistMat(dmEuclid, nullptr), -3);
  // Square data as its own result: distances of the original rows.
  Rows S{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}};
  EXPECT_EQ(S.CalcDistMat(dmCityBlock, &S), 0);
  EXPECT_EQ(S.Data(), (Rows{{0, 1, 2}, {1, 0, 1}, {2, 1, 0}}).Data());
}

TEST(MatrixDistance, UserDistanceEvent) {
  Rows M{{1, 2}, {3, 4}, {5, 6}};
  std::vector<std::string> Calls;
  M.OnCalcDistance = [&](TObject* Sender, int32_t R1, int32_t R2, double& D) {
    EXPECT_EQ(Sender, &M);
    EXPECT_EQ(D, 0.0);
    Calls.push_back(std::to_string(R1) + "," + std::to_string(R2));
    D = 10.0 * R1 + R2;
  };
  TMatrix D;
  D.Resize(3, 3);
  EXPECT_EQ(M.CalcDistMat(dmUser, &D), 0);
  EXPECT_EQ(Calls, (std::vector<std::string>{"1,2", "1,3", "2,3"}));
  EXPECT_EQ(D.Data(), (Rows{{0, 12, 13}, {12, 0, 23}, {13, 23, 0}}).Data());
}

TEST(MatrixDistance, Resample) {
  TMatrix Src, Res;
  Src.Resize(5, 40);
  for (int32_t C = 1; C <= 5; ++C)
    for (int32_t R = 1; R <= 40; ++R) Src.SetVal(C, R, 100.0 * C + R);
  int Events = 0;
  Res.OnChange = Res.OnResize = [&](TObject*) { ++Events; };
  TIntArray Cols{0}, Ix{0};
  const auto Picked = [&] {
    for (int32_t C = 1; C <= Res.NrOfColumns(); ++C)
      for (int32_t R = 1; R <= Res.NrOfRows(); ++R)
        if (Res.GetVal(C, R) != 100.0 * Cols[size_t(C - 1)] + Ix[size_t(R - 1)]) return false;
    return Res.NrOfColumns() == int32_t(Cols.size()) && Res.NrOfRows() == int32_t(Ix.size());
  };
  const auto Distinct = [](const TIntArray& X) { return std::set(X.begin(), X.end()).size(); };

  SetRandSeed(21);
  EXPECT_EQ(Res.ResampleExtMat(&Src, 100, 50, false, Cols, Ix), 0);
  EXPECT_EQ(Cols, (TIntArray{1, 2, 3, 4, 5}));  // all columns: in order
  EXPECT_EQ(Distinct(Ix), 20u);
  EXPECT_TRUE(Picked());
  EXPECT_EQ(Events, 2);
  const TIntArray First = Ix;
  SetRandSeed(21);  // repeatable: the generator is not reseeded inside
  Res.ResampleExtMat(&Src, 100, 50, false, Cols, Ix);
  EXPECT_EQ(Ix, First);

  // 5 * 70% = 3.5 rounds to 4 (halves to even), 2.5 to 2; bootstrap rows repeat.
  EXPECT_EQ(Res.ResampleExtMat(&Src, 70, 100, true, Cols, Ix), 0);
  EXPECT_EQ(Distinct(Cols), 4u);
  EXPECT_LT(Distinct(Ix), 40u);
  EXPECT_TRUE(Picked());
  EXPECT_EQ(Res.ResampleExtMat(&Res, 50, 100, false, Cols, Ix), 0);  // from itself
  EXPECT_EQ(Cols.size(), 2u);

  Rows Small{{1, 2}};
  TIntArray C9{9}, R9{9}, Empty;
  for (const auto& [Cp, Rp, Code] : {std::tuple{50.0, 101.0, -2},
                                     {50.0, 1.0, -2},
                                     {50.0, NAN, -2},
                                     {0.0, 50.0, -1},
                                     {100.5, 50.0, -1},
                                     {-20.0, 50.0, -1}})
    EXPECT_EQ(Small.ResampleExtMat(&Src, Cp, Rp, false, C9, R9), Code) << Cp << " " << Rp;
  EXPECT_EQ(Small.ResampleExtMat(nullptr, 50, 50, false, C9, R9), -3);
  EXPECT_EQ(Small.ResampleExtMat(&Src, 50, 50, false, Empty, R9), -5);
  // Exhausted memory: the unit's error, the matrix and the index arrays as they were.
  TMatrix Big;
  Big.Resize(2, 20000);  // columns of 160000 bytes
  ScopedAllocLimit Limit(100000);
  EXPECT_THROW(Small.ResampleExtMat(&Big, 100, 100, false, C9, R9), ENUXMatrixError);
  EXPECT_EQ(C9, TIntArray{9});
  EXPECT_EQ(R9, TIntArray{9});
  EXPECT_EQ(Small.Data(), (TDouble2DArray{{1}, {2}}));
}

}  // namespace
}  // namespace nux
