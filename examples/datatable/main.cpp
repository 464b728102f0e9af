// Data table: hardness tests of 24 alloy specimens (data/alloys.txt: a header line with the
// column names, then one specimen per line: its name, its alloy, three measured values, '-' for
// a value not measured). The alloy becomes a nominal column, missing values empty cells, and
// values outside the quartile fences of their alloy are marked. Prints a summary per column,
// then the alloy means without the marked cells, and writes cross-validation folds.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "nux/nux.h"

using namespace nux;

namespace {

std::string F(double X, int32_t Decimals) { return strff(X, 1, Decimals); }

// The file's header and fields, checked for shape; the values are parsed into the table later.
struct TTextTable {
  TStrArray Header;
  std::vector<TStrArray> Rows;
};

bool ReadFields(const std::string& FileName, TTextTable& Text) {
  std::ifstream In(FileName);
  if (!In) {
    std::fprintf(stderr, "datatable: cannot open %s\n", FileName.c_str());
    return false;
  }
  std::string Line;
  for (int64_t LineNr = 1; std::getline(In, Line); ++LineNr) {
    const std::string Trimmed = StripLTBlanks(StripTrailingChars(Line, "\r"));
    if (Trimmed.empty() || Trimmed[0] == '#') continue;
    TStrArray Fields = Tokenize(Trimmed, " \t");
    if (Text.Header.empty()) {
      if (Fields.size() < 2) {
        std::fprintf(stderr, "datatable: line %lld: need a name column and a data column\n",
                     static_cast<long long>(LineNr));
        return false;
      }
      Text.Header = std::move(Fields);
    } else if (Fields.size() != Text.Header.size()) {
      std::fprintf(stderr, "datatable: line %lld has %zu fields, the header %zu\n",
                   static_cast<long long>(LineNr), Fields.size(), Text.Header.size());
      return false;
    } else if (Text.Rows.size() >= 100000) {
      std::fprintf(stderr, "datatable: more than 100000 specimens\n");
      return false;
    } else {
      Text.Rows.push_back(std::move(Fields));
    }
  }
  if (Text.Rows.empty()) {
    std::fprintf(stderr, "datatable: %s holds no specimens\n", FileName.c_str());
    return false;
  }
  return true;
}

// Builds the table: column k holds field k + 1 (field 1 names the rows). A column whose fields
// are not all numbers (or '-') is nominal.
void FillTable(const TTextTable& Text, TDataTable& T) {
  const auto NCols = static_cast<int32_t>(Text.Header.size()) - 1;
  const auto NRows = static_cast<int32_t>(Text.Rows.size());
  T.Resize(NCols, NRows);
  for (int32_t C = 1; C <= NCols; ++C) {
    T.SetColName(C, Text.Header[size_t(C)]);
    bool Numeric = true;
    double X = 0;
    for (const TStrArray& Row : Text.Rows)
      Numeric = Numeric && (Row[size_t(C)] == "-" || ParseNumber(Row[size_t(C)], X));
    T.SetMScaleType(C, Numeric ? stRatio : stNominal);
  }
  for (int32_t R = 1; R <= NRows; ++R) {
    const TStrArray& Row = Text.Rows[size_t(R - 1)];
    T.SetRowName(R, Row[0]);
    for (int32_t C = 1; C <= NCols; ++C) {
      const std::string& Field = Row[size_t(C)];
      double X = 0;
      if (Field == "-")
        T.SetIsEmpty(C, R, true);
      else if (T.MScaleType(C) == stNominal)
        T.SetElemNominal(C, R, Field);
      else if (ParseNumber(Field, X)) {
        T.SetElem(C, R, X);
        if (!std::isfinite(X)) T.SetCellState(C, R, csInvalid);  // kept, but no valid value
      }
    }
  }
}

// The ordinal of row R's group, -1 when its group cell is empty.
int32_t GroupOf(const TDataTable& T, int32_t GroupCol, int32_t R) {
  return T.IsNumber(GroupCol, R) ? CategoricalOrdinal(T.Elem(GroupCol, R)) : -1;
}

// Marks (csMark1) the cells of a metric column outside the fences Q1 - 1.5 IQR .. Q3 + 1.5 IQR
// of their group (the rows sharing an ordinal of GroupCol). The number marked.
int32_t MarkOutliers(TDataTable& T, int32_t Col, int32_t GroupCol) {
  int32_t Marked = 0;
  for (int32_t G = 0; G < T.CountNominalIDs(GroupCol); ++G) {
    std::vector<double> Values;
    for (int32_t R = 1; R <= T.NrOfRows(); ++R)
      if (T.IsNumber(Col, R) && GroupOf(T, GroupCol, R) == G) Values.push_back(T.Elem(Col, R));
    if (Values.size() < 4) continue;  // too few for quartiles that mean anything
    double Q1 = 0, Q2 = 0, Q3 = 0;
    TVector(Values).Quartiles(0, 0, Q1, Q2, Q3);
    const double Lo = Q1 - 1.5 * (Q3 - Q1), Hi = Q3 + 1.5 * (Q3 - Q1);
    for (int32_t R = 1; R <= T.NrOfRows(); ++R)
      if (T.IsNumber(Col, R) && GroupOf(T, GroupCol, R) == G &&
          (T.Elem(Col, R) < Lo || T.Elem(Col, R) > Hi)) {
        T.SetCellState(Col, R, T.CellState(Col, R) | csMark1);
        ++Marked;
      }
  }
  return Marked;
}

int Run(const std::string& FileName) {
  TTextTable Text;
  if (!ReadFields(FileName, Text)) return 1;
  TDataTable T;
  T.SetName("Specimens");
  int32_t StateEvents = 0;
  T.OnChangeCellState = [&](TObject*) { ++StateEvents; };
  FillTable(Text, T);
  T.SetComment("Hardness tests, read from " + FileName);
  std::printf("%d specimens, %d columns read from %s\n", T.NrOfRows(), T.NrOfColumns(),
              FileName.c_str());

  int32_t GroupCol = 0;
  for (int32_t C = 1; C <= T.NrOfColumns() && GroupCol == 0; ++C)
    if (IsCategorical(T.MScaleType(C))) GroupCol = C;
  if (GroupCol == 0) {
    std::fprintf(stderr, "datatable: no categorical column to group by\n");
    return 1;
  }
  for (int32_t C = 1; C <= T.NrOfColumns(); ++C)
    if (!IsCategorical(T.MScaleType(C))) MarkOutliers(T, C, GroupCol);

  std::printf("\n%-10s %-9s %3s %5s %7s %6s %10s %9s %10s %10s\n", "column", "scale", "n", "empty",
              "invalid", "marked", "mean", "sd", "min", "max");
  for (int32_t C = 1; C <= T.NrOfColumns(); ++C) {
    const int32_t Empty = T.CountMarkedCellsInColumn(C, csEmpty);
    const int32_t Invalid = T.CountMarkedCellsInColumn(C, csInvalid);
    const int32_t Marked = T.CountMarkedCellsInColumn(C, csMark1);
    const int32_t Valid = T.NrOfRows() - T.CountMarkedCellsInColumn(C, csEmpty | csInvalid);
    std::printf("%-10s %-9s %3d %5d %7d %6d", T.ColName(C).c_str(),
                MScaleTypeNames[T.MScaleType(C)], Valid, Empty, Invalid, Marked);
    if (IsCategorical(T.MScaleType(C))) {
      std::printf("  categories:");
      for (int32_t G = 0; G < T.CountNominalIDs(C); ++G) {
        int32_t Count = 0;
        for (int32_t R = 1; R <= T.NrOfRows(); ++R) Count += GroupOf(T, C, R) == G;
        std::printf(" %s %d", T.NominalID(C, G).c_str(), Count);
      }
      std::printf("\n");
      continue;
    }
    TVector V;  // the valid cells: neither empty nor invalid
    const int32_t N = T.CopyCellsToVector(C, 1, C, T.NrOfRows(), 255, &V);
    double Mean = 0, Var = 0, Lo = 0, Hi = 0;
    if (N > 0) {
      V.MeanVar(0, 0, Mean, Var);
      V.MinMax(0, 0, Lo, Hi);
    }
    std::printf(" %10s %9s %10s %10s\n", F(Mean, 3).c_str(), F(std::sqrt(Var), 3).c_str(),
                F(Lo, 3).c_str(), F(Hi, 3).c_str());
  }

  std::printf("\nmarked cells:\n");
  for (int32_t R = 1; R <= T.NrOfRows(); ++R)
    for (int32_t C = 1; C <= T.NrOfColumns(); ++C)
      if (T.CellState(C, R) & csMark1)
        std::printf("  %s %s: %s %s\n", T.RowName(R).c_str(), T.ElemNominal(GroupCol, R).c_str(),
                    T.ColName(C).c_str(), F(T.Elem(C, R), 3).c_str());

  // Only the marked, empty and invalid cells are left out: their rows' other values still count.
  std::printf("\nmeans per %s without marked, empty and invalid cells (n):\n",
              T.ColName(GroupCol).c_str());
  for (int32_t G = 0; G < T.CountNominalIDs(GroupCol); ++G) {
    std::printf("  %-10s", T.NominalID(GroupCol, G).c_str());
    for (int32_t C = 1; C <= T.NrOfColumns(); ++C) {
      if (IsCategorical(T.MScaleType(C))) continue;
      double Sum = 0;
      int32_t N = 0;
      for (int32_t R = 1; R <= T.NrOfRows(); ++R)
        if (T.IsNumber(C, R) && !(T.CellState(C, R) & csMark1) && GroupOf(T, GroupCol, R) == G) {
          Sum += T.Elem(C, R);
          ++N;
        }
      std::printf(" %s %10s (%d)", T.ColName(C).c_str(), F(N > 0 ? Sum / N : NAN, 3).c_str(), N);
    }
    std::printf("\n");
  }

  // A clean copy for analyses that need complete rows.
  TDataTable Complete;
  Complete.Clone(&T);
  const int32_t Removed = Complete.RemoveMarkedRows(0, 0, csMark1 | csEmpty | csInvalid);
  std::printf("\n%d complete specimens (%d rows with marked, empty or invalid cells removed)\n",
              Complete.NrOfRows(), Removed);
  std::printf("%d state events while loading and marking\n", StateEvents);

  // Four-fold cross-validation sets of the complete specimens, dealt at random (seeded, so the
  // folds repeat), written as ASC files to a scratch folder.
  std::string Pattern = (std::filesystem::temp_directory_path() / "nux-folds-XXXXXX").string();
  if (mkdtemp(Pattern.data()) == nullptr) return 1;
  const std::filesystem::path Folder = Pattern;
  SetRandSeed(2024);
  TStrArray Files;
  const int32_t Code = Complete.SplitDataSet(splitTstTrn, selmRandSel, 4, true,
                                             (Folder / "alloys#.asc").string(), true, Files);
  std::printf("\ncross-validation files (code %d):", Code);
  for (size_t I = 0; I < Files.size(); I += 2) {
    TDataTable Test;
    Test.ImportASC(Files[I]);
    std::printf(" fold %zu tests", I / 2 + 1);
    for (int32_t R = 1; R <= Test.NrOfRows(); ++R) std::printf(" %s", Test.RowName(R).c_str());
    std::printf(";");
  }
  std::printf("\n");
  std::filesystem::remove_all(Folder);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Dir = argc > 1 ? argv[1] : NUX_EXAMPLE_DATA;
  try {
    return Run(Dir + "/alloys.txt");
  } catch (const Exception& E) {
    std::fprintf(stderr, "datatable: %s\n", E.what());
    return 1;
  }
}
