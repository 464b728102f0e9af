#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nux/host/random.h"
#include "nux/matrix/matrix.h"
#include "support/alloc_limit.h"
#include "support/filled.h"

namespace nux {
namespace {

struct TLog {
  std::vector<std::string> E;
  void Attach(TMatrix& M) {
    M.OnChange = [this](TObject*) { E.push_back("change"); };
    M.OnResize = [this](TObject*) { E.push_back("resize"); };
    M.OnSortExchange = [this](TObject*, uint8_t K, int32_t I, int32_t J, int32_t L, int32_t H) {
      E.push_back("x" + std::to_string(K) + ":" + std::to_string(I) + "," + std::to_string(J) +
                  ":" + std::to_string(L) + "," + std::to_string(H));
    };
  }
};

TEST(MatrixCore, NewMatrixAndSettings) {
  TMatrix M;
  EXPECT_EQ(M.NrOfColumns(), 1);
  EXPECT_EQ(M.NrOfRows(), 1);
  EXPECT_EQ(M.GetVal(1, 1), 0.0);
  EXPECT_EQ(M.Precision(1), 15);
  EXPECT_EQ(M.Precision(2), -1);
  M.SetFPrecis(7, 99);
  M.SetFPrecis(0, -9);
  EXPECT_EQ(M.GetFPrecis(2), 25);
  EXPECT_EQ(M.GetFPrecis(1), -1);
}

TEST(MatrixCore, ResizeKeepsCommonElementsAndFiresInOrder) {
  TMatrix M;
  M.Resize(2, 4);
  M.FillSerial(1, 1);  // column 1: 1..4, column 2: 5..8
  TLog Log;
  Log.Attach(M);
  EXPECT_TRUE(M.Resize(3, 2));
  EXPECT_EQ(M.Data(), (TDouble2DArray{{1, 2}, {5, 6}, {0, 0}}));
  EXPECT_EQ(Log.E, (std::vector<std::string>{"change", "resize"}));
  Log.E.clear();
  EXPECT_FALSE(M.Resize(0, 5));
  EXPECT_FALSE(M.Resize(3, 2));
  M.SetNrOfRows(-3);
  EXPECT_TRUE(Log.E.empty());
  EXPECT_FALSE(M.ResizeAndClear(3, 2));  // same size: contents kept
  EXPECT_EQ(M.GetVal(2, 2), 6);
  EXPECT_TRUE(M.ResizeAndClear(3, 3));
  EXPECT_EQ(M.GetVal(2, 2), 0);
  M.SetNrOfColumns(1);
  EXPECT_EQ(M.NrOfColumns(), 1);
}

TEST(MatrixCore, ExhaustedMemoryKeepsTheMatrix) {
  Cols M({{1, 2}, {3, 4}});
  M.SetName("M");
  TLog Log;
  Log.Attach(M);
  try {
    M.Resize(1 << 30, 1 << 30);
    FAIL() << "no exception";
  } catch (const ENUXMatrixError& E) {
    EXPECT_STREQ(E.what(), "Component \"M\": not enough memory on heap");
  }
  {
    ScopedAllocLimit Limit(1 << 20);
    EXPECT_THROW(M.Resize(2, 1'000'000), ENUXMatrixError);
    TMatrix Tall;
    // Transposing a tall column needs a block of as many columns: refused as a whole.
    EXPECT_THROW(
        {
          Tall.Resize(1, 200'000);
          Tall.Transpose();
        },
        ENUXMatrixError);
  }
  EXPECT_EQ(M.Data(), (TDouble2DArray{{1, 2}, {3, 4}}));
  EXPECT_TRUE(Log.E.empty());
}

TEST(MatrixCore, AccessOutsideIsSilent) {
  TMatrix M;
  M.Resize(4, 2);
  TLog Log;
  Log.Attach(M);
  EXPECT_EQ(M.GetVal(0, 1), 0);
  EXPECT_EQ(M.GetVal(5, 1), 0);
  M.SetVal(5, 1, 9);
  M.SetVal(1, 0, 9);
  EXPECT_TRUE(Log.E.empty());
  M.SetVal(4, 2, 9);
  EXPECT_EQ(M.GetVal(4, 2), 9);
  EXPECT_EQ(Log.E.size(), 1u);
}

TEST(MatrixCore, RangeClippingDiffersBetweenRowsAndColumns) {
  TMatrix M;
  M.Resize(10, 10);
  int32_t Lo = 7, Hi = 2;
  EXPECT_TRUE(M.MakeValidRowRange(Lo, Hi));
  EXPECT_EQ(Lo, 2);
  EXPECT_EQ(Hi, 7);
  Lo = 7, Hi = 2;
  EXPECT_FALSE(M.MakeValidColRange(Lo, Hi));
  EXPECT_EQ(Lo, 2);
  Lo = 0, Hi = 0;
  EXPECT_FALSE(M.MakeValidRowRange(Lo, Hi));
  EXPECT_EQ(Hi, 10);
}

TEST(MatrixCore, FillingFamily) {
  TMatrix M;
  M.Resize(3, 2);
  TLog Log;
  Log.Attach(M);
  M.Fill(2, 9, 0, 0, 5);  // columns 2..3
  EXPECT_EQ(M.Data(), (TDouble2DArray{{0, 0}, {5, 5}, {5, 5}}));
  M.FillDiag(1);
  EXPECT_EQ(M.Data(), (TDouble2DArray{{1, 0}, {5, 1}, {5, 5}}));
  M.FillSerial(0.5, 0.25);
  EXPECT_EQ(M.Data(), (TDouble2DArray{{0.5, 0.75}, {1.0, 1.25}, {1.5, 1.75}}));
  EXPECT_EQ(Log.E.size(), 3u);
  SetRandSeed(3);
  M.FillRandomUniform(1, 1, 1, 1, -1, 1);
  EXPECT_GE(M.GetVal(1, 1), -1);
  EXPECT_LT(M.GetVal(1, 1), 1);
  EXPECT_EQ(M.GetVal(2, 1), 1.0);
  M.FillRandomGauss(4, 0);
  EXPECT_EQ(M.GetVal(3, 2), 4);
}

TEST(MatrixCopy, RowsAndColumnsToVectors) {
  Cols M({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
  TVector V;
  V.Resize(5);
  V.Fill(-1);
  M.CopyRowToVec(&V, 2, 0, 0);
  EXPECT_EQ(V.Data(), (TDoubleArray{2, 5, 8, 0, 0}));
  M.CopyColToVec(&V, 9, 3, 2, 4);  // column clamped to 3, rows put in order
  EXPECT_EQ(V.Data(), (TDoubleArray{0, 0, 0, 8, 9}));
  V.Fill(-1);
  M.CopyColToVec(&V, 1, 1, 3, 6);  // DestElem beyond the vector: nothing at all
  EXPECT_EQ(V.GetVal(1), -1);
  M.CopyColToVec(&V, 1, 1, 3, -1);  // targets -1, 0 dropped, 1 written
  EXPECT_EQ(V.Data(), (TDoubleArray{3, 0, 0, 0, 0}));
  TVector Short;
  Short.Resize(2);
  M.CopyRowToVec(&Short, 1, 1, 3);  // cut at the vector's length
  EXPECT_EQ(Short.Data(), (TDoubleArray{1, 4}));
  M.CopyRowToVec(nullptr, 1, 1, 3);

  TDoubleArray A(4, -1);
  M.CopyRowTo1DArray(A, 3, 2, 3, 1);
  EXPECT_EQ(A, (TDoubleArray{0, 6, 9, 0}));
  M.CopyColTo1DArray(A, 2, 1, 3, 2);  // the third value falls off the end
  EXPECT_EQ(A, (TDoubleArray{0, 0, 4, 5}));
  M.CopyColTo1DArray(A, 2, 1, 3, 4);  // DestElem beyond the array: nothing
  EXPECT_EQ(A, (TDoubleArray{0, 0, 4, 5}));
  TDoubleArray Empty;
  M.CopyColTo1DArray(Empty, 1, 1, 3, 0);
  EXPECT_TRUE(Empty.empty());
}

TEST(MatrixCopy, ToTwoDimensionalArraysWithCodes) {
  Cols M({{1.5, 2.5}, {3.5, -0.5}});
  TDouble2DArray D(3, TDoubleArray(3, 0));
  EXPECT_EQ(M.CopyToArray(D, 0, 0, 0, 0, 1, 1), 0);
  EXPECT_EQ(D, (TDouble2DArray{{0, 0, 0}, {0, 1.5, 2.5}, {0, 3.5, -0.5}}));
  TInt2DArray I(2, TIntArray(2, 0));
  EXPECT_EQ(M.CopyToArray(I, 0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(I, (TInt2DArray{{2, 2}, {4, 0}}));  // halves to even
  EXPECT_EQ(M.CopyToArray(D, 1, 1, 5, 2, 0, 0), -2);
  EXPECT_EQ(M.CopyToArray(D, 1, 2, 2, 1, 0, 0), -3);  // a mere exchange of rows counts
  EXPECT_EQ(M.CopyToArray(D, 2, 1, 1, 2, 0, 0), 0);   // ... of columns does not
  EXPECT_EQ(M.CopyToArray(D, 0, 0, 0, 0, 3, 0), -4);
  TDouble2DArray Empty;
  EXPECT_EQ(M.CopyToArray(Empty, 0, 0, 0, 0, 0, 0), -1);
  EXPECT_EQ(M.DuplicateDataAsArray(Empty), -1);
  TDouble2DArray Dup = {{9}};
  EXPECT_EQ(M.DuplicateDataAsArray(Dup), 0);
  EXPECT_EQ(Dup, M.Data());
}

// A ragged array (inner arrays of different lengths, at any level) is bad input: -1 and
// nothing copied, in both directions, instead of a partial copy reported as success.
TEST(MatrixCopy, RaggedArraysAreRefusedWhole) {
  EXPECT_FALSE(IsRagged(TDouble2DArray{{1, 2}, {3, 4}}));
  EXPECT_FALSE(IsRagged(TStrArray{"a", "bcd"}));  // strings are elements, not inner arrays
  EXPECT_TRUE(IsRagged(TDouble2DArray{{1, 2}, {3}}));
  EXPECT_TRUE(IsRagged(TDouble3DArray{{{1, 2}, {3, 4}}, {{1}, {2}}}));  // only the depth differs

  Cols M({{1, 2}, {3, 4}});
  TDouble2DArray Short = {{0, 0}, {0}};
  EXPECT_EQ(M.CopyToArray(Short, 0, 0, 0, 0, 0, 0), -1);
  EXPECT_EQ(Short, (TDouble2DArray{{0, 0}, {0}}));
  TInt2DArray Long = {{0}, {0, 0, 0}};
  EXPECT_EQ(M.CopyToArray(Long, 0, 0, 0, 0, 0, 0), -1);
  EXPECT_EQ(Long, (TInt2DArray{{0}, {0, 0, 0}}));

  TLog Log;
  Log.Attach(M);
  EXPECT_EQ(M.CopyFromArray(TDouble2DArray{{7, 8}, {9}}, 0, 0, 0, 0, 1, 1), -1);
  EXPECT_EQ(M.CopyFromArray(TInt2DArray{{7}, {8, 9}}, 0, 0, 0, 0, 1, 1), -1);
  EXPECT_EQ(M.Data(), (TDouble2DArray{{1, 2}, {3, 4}}));
  EXPECT_TRUE(Log.E.empty());
}

TEST(MatrixCopy, FromVectorsAndArrays) {
  TMatrix M;
  M.Resize(3, 3);
  TVector V;
  V.Resize(4);
  V.FillSerial(1, 1);
  TLog Log;
  Log.Attach(M);
  M.CopyFromVec(&V, 2, 4, 2, 2);  // down column 2 from row 2; the third value drops
  EXPECT_EQ(M.Data(), (TDouble2DArray{{0, 0, 0}, {0, 2, 3}, {0, 0, 0}}));
  EXPECT_EQ(Log.E.size(), 3u);                // two writes and the final one
  M.CopyFromVec(dimColumns, &V, 0, 0, 2, 1);  // along row 1
  EXPECT_EQ(M.GetVal(3, 1), 2);

  M.Fill(0);
  EXPECT_EQ(M.CopyFromArray(TDoubleArray{5, 6, 7}, 2, 1, 1, 1, true), 0);
  // Positions 1 and 2 go to rows Row + 1 and Row + 2: the position is added, not the offset.
  EXPECT_EQ(M.Data()[0], (TDoubleArray{0, 6, 7}));
  EXPECT_EQ(M.CopyFromArray(TIntArray{8, 9}, 0, 0, 2, 3, false), 0);
  EXPECT_EQ(M.GetVal(2, 3), 8);
  EXPECT_EQ(M.GetVal(3, 3), 9);
  EXPECT_EQ(M.CopyFromArray(TDoubleArray{}, 0, 0, 1, 1, true), -1);
  EXPECT_EQ(M.CopyFromArray(TDoubleArray{1}, 0, 1, 1, 1, true), -4);
  EXPECT_EQ(M.CopyFromArray(TDoubleArray{1}, 0, 0, 4, 1, true), -5);

  M.Fill(0);
  const TDouble2DArray A = {{1, 2}, {3, 4}, {5, 6}};
  EXPECT_EQ(M.CopyFromArray(A, 1, 0, 2, 1, 1, 1), 0);  // A[i][j] to (1 + i, 1 + j)
  EXPECT_EQ(M.Data(), (TDouble2DArray{{0, 0, 0}, {3, 4, 0}, {5, 6, 0}}));
  EXPECT_EQ(M.CopyFromArray(A, 0, 0, 3, 0, 1, 1), -2);
  EXPECT_EQ(M.CopyFromArray(A, 0, 0, 0, 2, 1, 1), -3);
  EXPECT_EQ(M.CopyFromArray(A, 0, 0, 0, 0, 0, 1), -5);
  EXPECT_EQ(M.CopyFromArray(TInt2DArray{{}}, 0, 0, 0, 0, 1, 1), -1);
}

TEST(MatrixCopy, FromOtherMatricesCloneAndAssign) {
  Cols Src({{1, 2}, {3, 4}});
  Src.SetDataID("src");
  Src.SetFPrecis(1, 3);
  int SrcEvents = 0;
  Src.OnChange = [&](TObject*) { ++SrcEvents; };
  TMatrix M;
  M.Resize(3, 3);
  M.CopyFrom(&Src, 0, 2, 9, 2, 2, 1);  // bounds clamp: columns 1..2, row 2 only
  EXPECT_EQ(M.Data(), (TDouble2DArray{{0, 0, 0}, {2, 0, 0}, {4, 0, 0}}));
  M.CopyFrom(&M, 2, 1, 3, 1, 1, 1);  // onto itself, overlapping
  EXPECT_EQ(M.Data(), (TDouble2DArray{{2, 0, 0}, {4, 0, 0}, {4, 0, 0}}));

  TMatrix C;
  TLog Log;
  Log.Attach(C);
  C.Clone(&Src);
  EXPECT_EQ(C.Data(), Src.Data());
  EXPECT_EQ(C.DataID(), "");
  EXPECT_EQ(Log.E.back(), "resize");
  EXPECT_EQ(SrcEvents, 0);

  TMatrix A;
  A.Assign(&Src);
  EXPECT_EQ(A.Data(), Src.Data());
  EXPECT_EQ(A.DataID(), "src");
  EXPECT_EQ(A.Precision(1), 3);
  EXPECT_EQ(SrcEvents, 0);
  A.SetVal(1, 1, 0);
  EXPECT_EQ(SrcEvents, 1);  // handlers came along
  TVector V;
  EXPECT_THROW(A.Assign(&V), EConvertError);
}

TEST(MatrixReshape, RemoveExchangeMirror) {
  Cols M({{1, 2, 3}, {4, 5, 6}});
  EXPECT_TRUE(M.RemoveRow(2));
  EXPECT_EQ(M.Data(), (TDouble2DArray{{1, 3}, {4, 6}}));
  EXPECT_FALSE(M.RemoveRow(3));
  EXPECT_TRUE(M.RemoveColumn(1));
  EXPECT_FALSE(M.RemoveColumn(1));  // the last column stays
  EXPECT_EQ(M.Data(), (TDouble2DArray{{4, 6}}));
  Cols X({{1, 2}, {3, 4}, {5, 6}});
  X.ExchangeRows(1, 2);
  X.ExchangeColumns(1, 3);
  X.ExchangeColumns(0, 3);  // rejected
  EXPECT_EQ(X.Data(), (TDouble2DArray{{6, 5}, {4, 3}, {2, 1}}));
  X.MirrorColumns();
  X.MirrorRows();
  EXPECT_EQ(X.Data(), (TDouble2DArray{{1, 2}, {3, 4}, {5, 6}}));
}

TEST(MatrixReshape, SortRowsMovesKeysWithTheirRows) {
  // Key column 1 lies outside the sorted block of columns 2..3.
  Cols M({{3, 1, 2}, {30, 10, 20}, {300, 100, 200}});
  TLog Log;
  Log.Attach(M);
  M.SortRows(1, true, 2, 0, 3, 0);
  EXPECT_EQ(M.Data(), (TDouble2DArray{{1, 2, 3}, {10, 20, 30}, {100, 200, 300}}));
  EXPECT_EQ(Log.E, (std::vector<std::string>{"x2:1,2:2,3", "x2:2,3:2,3", "change"}));
  Log.E.clear();
  M.SortCols(1, false, 0, 2, 0, 3);  // descending by row 1; rows 2..3 move, key row too
  EXPECT_EQ(M.Data(), (TDouble2DArray{{100, 200, 300}, {10, 20, 30}, {1, 2, 3}}));
  EXPECT_EQ(Log.E.back(), "change");
  Log.E.clear();
  M.SortRows(4, true, 0, 0, 0, 0);  // key outside the matrix: rejected
  M.SortRows(1, true, 0, 2, 0, 2);  // one row: nothing
  EXPECT_TRUE(Log.E.empty());
}

TEST(MatrixReshape, SortRowsAgreesWithAReferenceSort) {
  SetRandSeed(11);
  TMatrix M;
  M.Resize(3, 500);
  M.FillRandomUniform(0, 1);
  TDoubleArray Key = M.Data()[1];
  std::sort(Key.begin(), Key.end());
  M.SortRows(2, true, 0, 0, 0, 0);
  EXPECT_EQ(M.Data()[1], Key);
  // The other columns moved along: each row still satisfies the relation set up here.
  TMatrix P;
  P.Resize(2, 300);
  for (int32_t R = 1; R <= 300; ++R) {
    P.SetVal(1, R, (R * 7919) % 300);
    P.SetVal(2, R, 2.0 * ((R * 7919) % 300));
  }
  P.SortRows(1, false, 0, 0, 0, 0);
  for (int32_t R = 1; R <= 300; ++R) {
    EXPECT_EQ(P.GetVal(2, R), 2 * P.GetVal(1, R));
    if (R > 1) {
      EXPECT_GE(P.GetVal(1, R - 1), P.GetVal(1, R));
    }
  }
}

TEST(MatrixReshape, TransposeAndFingerprint) {
  Cols M({{1, 2, 3}, {4, 5, 6}});
  TLog Log;
  Log.Attach(M);
  EXPECT_TRUE(M.Transpose());
  EXPECT_EQ(M.Data(), (TDouble2DArray{{1, 4}, {2, 5}, {3, 6}}));
  EXPECT_EQ(Log.E, (std::vector<std::string>{"change", "resize"}));
  // The fingerprint follows storage order: equal to the data laid out column after column.
  EXPECT_EQ(M.CRCofData(), CRCofData(std::span<const double>(TDoubleArray{1, 4, 2, 5, 3, 6})));
  TMatrix One;
  const std::string Crc = One.CRCofData();
  ASSERT_EQ(Crc.size(), 64u);
  EXPECT_EQ(Crc.substr(0, 8), "D202EF8D");
}

TEST(MatrixReshape, EdgeVectorReductions) {
  // Columns: (1, 2), (3, 4), (5, 6), (7, 100); rows: (1, 3, 5, 7) and (2, 4, 6, 100).
  Cols M({{1, 2}, {3, 4}, {5, 6}, {7, 100}});
  TVector D;
  EXPECT_EQ(M.EdgeVector(orRows, eoSum, D), 0);
  EXPECT_EQ(D.Data(), (TDoubleArray{16, 112}));
  EXPECT_EQ(M.EdgeVector(orRows, eoMean, TIntArray{1, 2}, D), 0);  // divided by all 4 columns
  EXPECT_EQ(D.Data(), (TDoubleArray{1, 1.5}));
  EXPECT_EQ(M.EdgeVector(orColumns, eoMax, TIntArray{0, 2}, D), -2);  // entry 0 skipped
  EXPECT_EQ(D.Data(), (TDoubleArray{2, 4, 6, 100}));
  EXPECT_EQ(M.EdgeVector(orRows, eoStdDev, TIntArray{1, 2}, D), 0);  // two values: 0
  EXPECT_EQ(D.Data(), (TDoubleArray{0, 0}));
  M.EdgeVector(orRows, eoStdDev, D);
  EXPECT_NEAR(D.GetVal(1), std::sqrt(20.0 / 3.0), 1e-14);
  M.EdgeVector(orRows, eoMin, TIntArray{9}, D);  // nothing used: the start value stands
  EXPECT_EQ(D.GetVal(1), std::numeric_limits<double>::max());

  Cols Big({{-INFINITY, 1e300}, {INFINITY, 1e300}});
  Big.EdgeVector(orRows, eoMax, D);
  EXPECT_EQ(D.GetVal(1), INFINITY);
  Big.EdgeVector(orRows, eoMin, D);
  EXPECT_EQ(D.GetVal(1), -INFINITY);
  // Offset data keep their spread.
  Cols Off({{1e9 + 1, 0}, {1e9 + 2, 0}, {1e9 + 3, 0}});
  Off.EdgeVector(orRows, eoStdDev, D);
  EXPECT_NEAR(D.GetVal(1), 1.0, 1e-9);
}

}  // namespace
}  // namespace nux
