#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "nux/datatable/datatable.h"
#include "nux/frame/ascio.h"
#include "nux/host/random.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

// A 3 x 7 table whose row r holds 10 r + c, named "R<r>", attribute r; one empty cell.
void Fill(TDataTable& T) {
  T.Resize(3, 7);
  for (int32_t R = 1; R <= 7; ++R) {
    const char Name[3] = {'R', char('0' + R), '\0'};
    T.SetRowName(R, Name);
    T.SetRowAttrib(R, R);
    for (int32_t C = 1; C <= 3; ++C) T.SetElem(C, R, 10.0 * R + C);
  }
  T.SetColName(2, "two words");
  T.SetMScaleType(3, stNominal);
  T.SetNominalID(3, 1, "one");
  T.SetCellState(2, 5, csEmpty);
}

// The original row number of each row of a part (its attribute).
std::vector<int32_t> RowsOf(const TDataTable& P) {
  std::vector<int32_t> Rows;
  for (int32_t R = 1; R <= P.NrOfRows(); ++R) Rows.push_back(P.RowAttrib(R));
  return Rows;
}

TEST(DataTableSplit, CountsFollowTheModesAndRefuseBadSizes) {
  TDataTable T;
  Fill(T);
  TIntArray Cnt{99};
  EXPECT_EQ(T.PrepareSplitCounts(splitRows, 3, true, Cnt), 0);
  EXPECT_EQ(Cnt, (TIntArray{3, 2, 2}));  // CreateAllPairs only pairs test and training sets
  EXPECT_EQ(T.PrepareSplitCounts(splitColumns, 3, false, Cnt), 0);
  EXPECT_EQ(Cnt, (TIntArray{1, 1, 1}));
  EXPECT_EQ(T.PrepareSplitCounts(splitTstTrn, 3, false, Cnt), 0);
  EXPECT_EQ(Cnt, (TIntArray{3, 4}));
  EXPECT_EQ(T.PrepareSplitCounts(splitTstTrn, 3, true, Cnt), 0);
  EXPECT_EQ(Cnt, (TIntArray{3, 4, 2, 5, 2, 5}));
  EXPECT_EQ(T.PrepareSplitCounts(splitRows, 1, false, Cnt), 0);
  EXPECT_EQ(Cnt, (TIntArray{7}));
  for (const auto& [Mode, Size] : {std::pair{splitRows, 0},
                                   {splitRows, 8},
                                   {splitColumns, 4},
                                   {splitTstTrn, 1},
                                   {splitTstTrn, 8}}) {
    EXPECT_EQ(T.PrepareSplitCounts(Mode, Size, false, Cnt), -1) << Mode << " " << Size;
    EXPECT_TRUE(Cnt.empty());
  }
  EXPECT_EQ(T.PrepareSplitCounts(TDataSetSplitMode(7), 2, false, Cnt), -2);
}

TEST(DataTableSplit, PartsReadBackWithEverythingAndCoverEachLineOnce) {
  TempDir Dir;
  TDataTable T;
  Fill(T);
  TStrArray Names;
  // Blocked and interleaved rows.
  ASSERT_EQ(T.SplitDataSet(splitRows, selmBlocked, 3, false, Dir.Path("b##.asc"), false, Names), 0);
  ASSERT_EQ(Names, (TStrArray{Dir.Path("b01.asc"), Dir.Path("b02.asc"), Dir.Path("b03.asc")}));
  TDataTable P;
  ASSERT_EQ(P.ImportASC(Names[1]), ascOK);
  EXPECT_EQ(RowsOf(P), (std::vector<int32_t>{4, 5}));
  EXPECT_EQ(P.NrOfColumns(), 3);
  EXPECT_EQ(P.RowName(2), "R5");
  EXPECT_EQ(P.ColName(2), "two words");
  EXPECT_EQ(P.Elem(1, 1), 41.0);
  EXPECT_TRUE(P.CellState(2, 2) & csEmpty);
  EXPECT_EQ(P.NominalID(3, 1), "one");
  ASSERT_EQ(T.SplitDataSet(splitRows, selmInterleave, 3, false, Dir.Path("i.asc"), false, Names),
            0);
  ASSERT_EQ(P.ImportASC(Dir.Path("i1.asc")), ascOK);
  EXPECT_EQ(RowsOf(P), (std::vector<int32_t>{1, 4, 7}));
  // Columns: names, types and identifiers travel with their column.
  ASSERT_EQ(T.SplitDataSet(splitColumns, selmBlocked, 2, false, Dir.Path("c#"), false, Names), 0);
  ASSERT_EQ(P.ImportASC(Names[1]), ascOK);
  EXPECT_EQ(P.NrOfColumns(), 1);
  EXPECT_EQ(P.NrOfRows(), 7);
  EXPECT_EQ(P.MScaleType(1), stNominal);
  EXPECT_EQ(P.NominalID(1, 1), "one");
  EXPECT_EQ(P.Elem(1, 7), 73.0);
  // Test and training sets of every fold: the test sets partition the rows, each training set
  // is the rest, and a seeded random split repeats.
  SetRandSeed(11);
  ASSERT_EQ(T.SplitDataSet(splitTstTrn, selmRandSel, 3, true, Dir.Path("cv#.asc"), false, Names),
            0);
  ASSERT_EQ(Names.size(), 6u);
  EXPECT_EQ(Names[0], Dir.Path("cv1_tst.asc"));
  EXPECT_EQ(Names[5], Dir.Path("cv3_trn.asc"));
  std::multiset<int32_t> Tested;
  std::vector<std::vector<int32_t>> First;
  for (size_t F = 0; F < 3; ++F) {
    TDataTable Tst, Trn;
    ASSERT_EQ(Tst.ImportASC(Names[2 * F]), ascOK);
    ASSERT_EQ(Trn.ImportASC(Names[2 * F + 1]), ascOK);
    const auto A = RowsOf(Tst), B = RowsOf(Trn);
    EXPECT_TRUE(std::is_sorted(A.begin(), A.end()) && std::is_sorted(B.begin(), B.end()));
    std::set<int32_t> Both(A.begin(), A.end());
    Both.insert(B.begin(), B.end());
    EXPECT_EQ(Both.size(), 7u);
    EXPECT_EQ(A.size() + B.size(), 7u);
    Tested.insert(A.begin(), A.end());
    First.push_back(A);
  }
  EXPECT_EQ(Tested, (std::multiset<int32_t>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_NE(First[0], (std::vector<int32_t>{1, 2, 3}));  // seed 11 does not keep the order
  SetRandSeed(11);
  ASSERT_EQ(
      T.SplitDataSet(splitTstTrn, selmRandSel, 3, false, Dir.Path("again#.asc"), false, Names), 0);
  ASSERT_EQ(Names.size(), 2u);
  ASSERT_EQ(P.ImportASC(Names[0]), ascOK);
  EXPECT_EQ(RowsOf(P), First[0]);
}

TEST(DataTableSplit, ExistingFilesAndBadArgumentsWriteNothing) {
  TempDir Dir;
  TDataTable T;
  Fill(T);
  TStrArray Names{"stale"};
  { std::ofstream(Dir.Path("p2.asc")) << "keep"; }
  EXPECT_EQ(T.SplitDataSet(splitRows, selmBlocked, 2, false, Dir.Path("p.asc"), false, Names), -4);
  EXPECT_TRUE(Names.empty());
  EXPECT_FALSE(std::filesystem::exists(Dir.Path("p1.asc")));  // checked before writing any
  EXPECT_EQ(T.SplitDataSet(splitRows, TDataSelMode(9), 2, false, Dir.Path("p.asc"), true, Names),
            -3);
  EXPECT_EQ(T.SplitDataSet(splitRows, selmBlocked, 2, false, "", true, Names), -3);
  EXPECT_EQ(T.SplitDataSet(splitRows, selmBlocked, 9, false, Dir.Path("p.asc"), true, Names), -1);
  EXPECT_EQ(std::filesystem::file_size(Dir.Path("p2.asc")), 4u);
  EXPECT_EQ(T.SplitDataSet(splitRows, selmBlocked, 2, false, Dir.Path("p.asc"), true, Names), 0);
  EXPECT_GT(std::filesystem::file_size(Dir.Path("p2.asc")), 4u);
  // A file that cannot be written stops the run; the names written before it are reported.
  EXPECT_EQ(T.SplitDataSet(splitRows, selmBlocked, 2, false, Dir.Path("none/q.asc"), true, Names),
            -5);
  EXPECT_TRUE(Names.empty());
  // Without '#' the number goes before the extension of the last path component only.
  EXPECT_EQ(
      T.SplitDataSet(splitColumns, selmBlocked, 1, false, Dir.Path("x.y/.plain"), true, Names), -5);
  std::filesystem::create_directory(Dir.Path("x.y"));
  EXPECT_EQ(
      T.SplitDataSet(splitColumns, selmBlocked, 1, false, Dir.Path("x.y/.plain"), true, Names), 0);
  EXPECT_EQ(Names, TStrArray{Dir.Path("x.y/.plain1")});
}

}  // namespace
}  // namespace nux
