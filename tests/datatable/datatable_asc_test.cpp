#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "nux/datatable/datatable.h"
#include "nux/frame/ascio.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

// A 3 x 2 table with names that need quoting, an empty cell and a nominal column.
void Fill(TDataTable& T) {
  T.Resize(3, 2);
  T.SetComment("table");
  T.SetColName(1, "with \"quote\"");
  T.SetColName(2, "x;y,z");
  T.SetRowName(1, "r 1");
  T.SetRowAttrib(2, -7);
  T.SetColAttrib(3, 12);
  T.SetElem(1, 1, 0.1);
  T.SetElem(1, 2, -1e300);
  T.SetElem(2, 1, std::numeric_limits<double>::infinity());
  T.SetElem(2, 2, 5);
  T.SetCellState(2, 2, csEmpty);
  T.SetMScaleType(3, stNominal);
  T.SetElemNominal(3, 1, "red");
  T.SetElemNominal(3, 2, "blue");
}

void ExpectSame(const TDataTable& A, const TDataTable& B) {
  ASSERT_EQ(A.NrOfColumns(), B.NrOfColumns());
  ASSERT_EQ(A.NrOfRows(), B.NrOfRows());
  EXPECT_EQ(A.Comment(), B.Comment());
  EXPECT_EQ(A.CRCofNamesAndAttributes(), B.CRCofNamesAndAttributes());
  EXPECT_EQ(A.CRCofCellStates(), B.CRCofCellStates());
  for (int32_t C = 1; C <= A.NrOfColumns(); ++C)
    for (int32_t R = 1; R <= A.NrOfRows(); ++R)
      if (A.CellState(C, R) == 0) {
        EXPECT_EQ(A.Elem(C, R), B.Elem(C, R)) << C << "," << R;
      }
}

TEST(DataTableASC, EverythingWrittenReadsBack) {
  TempDir Dir;
  TDataTable T;
  Fill(T);
  const std::string F = Dir.Path("t.asc");
  int32_t Exported = 0;
  T.OnExportText = [&](TObject*, std::string& Text) { Exported += Text.empty() ? 0 : 1; };
  const TStr2DArray Cust{{"k", "v 1"}};
  ASSERT_EQ(T.ExportAsASC(F, -1, Cust), 0);
  EXPECT_EQ(Exported, 1);
  TDataTable B;
  TStr2DArray BC;
  int32_t Resized = 0;
  B.OnResize = [&](TObject*, int32_t, int32_t, int32_t, int32_t) { ++Resized; };
  ASSERT_EQ(B.ImportASC(F, BC), ascOK);
  EXPECT_EQ(Resized, 1);
  ExpectSame(T, B);
  EXPECT_EQ(B.ElemNominal(3, 2), "blue");
  EXPECT_EQ(BC, Cust);

  // Through a stream, and a file a vector reader can also take apart.
  TMemoryStream S;
  ASSERT_EQ(T.ExportAsASC(S, 4), 0);
  S.SetPosition(0);
  TDataTable C;
  ASSERT_EQ(C.ImportASC(S), ascOK);
  EXPECT_EQ(C.Elem(1, 1), 0.1);
  std::ostringstream Os;
  EXPECT_EQ(T.ExportAsASC(Os, 2), 0);
  EXPECT_EQ(Os.str().substr(0, 6), "table\n");

  // A failed import leaves the table as it was.
  std::ofstream(F) << "c\n2\n2\nTRUE TRUE TRUE TRUE\n\"a\" \"b\"\n1 r 1 2\n2 r 3 4\n9 0 0\n";
  EXPECT_EQ(B.ImportASC(F), ascBadValue);
  std::ofstream(F) << "c\n1\n1\nTRUE FALSE FALSE\n3e9 1\n";
  EXPECT_EQ(B.ImportASC(F), ascBadValue);
  EXPECT_EQ(B.ImportASC(Dir.Path("none")), ascNoFile);
  ExpectSame(T, B);
}

TEST(DataTableASC, ReadFromASCPlacesGrowsAndMergesIdentifiers) {
  TempDir Dir;
  const std::string F = Dir.Path("p.asc");
  std::ofstream(F)
      << "c\n1\n2\nFALSE TRUE FALSE TRUE\n\"col\"\n0\n1\n1 0 2 0 \"blue\" 1 \"green\"\n";
  TDataTable T;
  Fill(T);
  EXPECT_EQ(T.ReadFromASC(F, 0, 1, false), -11);
  ASSERT_EQ(T.ReadFromASC(F, 3, 2, false), ascOK);
  EXPECT_EQ(T.NrOfColumns(), 3);
  EXPECT_EQ(T.NrOfRows(), 3);
  EXPECT_EQ(T.ColName(3), "col");
  EXPECT_EQ(T.ElemNominal(3, 1), "red");
  EXPECT_EQ(T.ElemNominal(3, 2), "blue");
  EXPECT_EQ(T.ElemNominal(3, 3), "green");
  EXPECT_EQ(T.NominalID(3, 0), "red");
  ASSERT_EQ(T.ReadFromASC(F, 3, 2, true), ascOK);
  EXPECT_EQ(T.NominalID(3, 0), "blue");
  EXPECT_EQ(T.ElemNominal(3, 3), "green");
  ASSERT_EQ(T.ReadFromASC(F, 5, 1, true), ascOK);
  EXPECT_EQ(T.NrOfColumns(), 5);
  EXPECT_EQ(T.ElemNominal(3, 1), "blue");
}

}  // namespace
}  // namespace nux
