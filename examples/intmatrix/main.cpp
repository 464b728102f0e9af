// Integer and sparse matrices, three-dimensional arrays: the confusion counts of a classifier
// run (data/labels.txt: fold, true class, predicted class) gathered in a sparse TIntMatrix per
// fold, stacked as the layers of a TMat3D, summarised, and written to and read back from ASC.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "nux/nux.h"

using namespace nux;

namespace {

int Run(const std::string& DataDir) {
  std::ifstream In(DataDir + "/labels.txt");
  if (!In) {
    std::printf("cannot read %s/labels.txt\n", DataDir.c_str());
    return 1;
  }
  // One sparse matrix per fold: column = predicted class, row = true class.
  std::vector<std::unique_ptr<TIntMatrix>> Folds;
  std::string Line;
  while (std::getline(In, Line)) {
    if (Line.empty() || Line[0] == '#') continue;
    std::istringstream S(Line);
    int32_t Fold = 0, Truth = 0, Pred = 0;
    if (!(S >> Fold >> Truth >> Pred) || Fold < 1 || Truth < 1 || Pred < 1) continue;
    while (int32_t(Folds.size()) < Fold) Folds.push_back(TIntMatrix::CreateSparse(nullptr, 8));
    TIntMatrix& M = *Folds[size_t(Fold - 1)];
    M.SetVal(Pred, Truth, M.GetVal(Pred, Truth) + 1);
  }
  if (Folds.empty()) return 1;
  int32_t Classes = 0;
  for (const auto& M : Folds) Classes = std::max({Classes, M->NrOfColumns(), M->NrOfRows()});

  // The folds as layers of one array; the overall counts as a dense integer matrix.
  TMat3D Stack(Classes, Classes, int32_t(Folds.size()));
  TIntMatrix Total(Classes, Classes);
  for (size_t F = 0; F < Folds.size(); ++F) {
    const TIntMatrix& M = *Folds[F];
    std::printf("fold %zu: %lld cases, %lld correct, %lld cells stored\n", F + 1,
                static_cast<long long>(M.Sum(0, 0, 0, 0)), static_cast<long long>(M.Trace()),
                static_cast<long long>(M.SparseNumElem()));
    for (const TSpMatElemInt& E : M.SparseElements()) {
      Stack.SetVal(E.colidx, E.rowidx, int32_t(F + 1), E.value);
      Total.SetVal(E.colidx, E.rowidx, Total.GetVal(E.colidx, E.rowidx) + E.value);
    }
  }
  // Straight from the sparse form: cells never set count as zeros without being visited.
  const TIntMatrix& First = *Folds[0];
  std::printf("fold 1: median cell %.0f, largest %.0f, %d of %d cells empty\n",
              First.Percentile(50, 0, 0, 0, 0), First.Percentile(100, 0, 0, 0, 0),
              First.CountValues(0, 0, 0, 0, 0, 0), First.NrOfColumns() * First.NrOfRows());
  std::printf("\nall folds (rows: true class, columns: predicted)\n");
  for (int32_t R = 1; R <= Classes; ++R) {
    for (int32_t C = 1; C <= Classes; ++C) std::printf("%5d", Total.GetVal(C, R));
    std::printf("\n");
  }
  std::printf("accuracy %.3f\n",
              double(Total.Trace()) / double(std::max<int64_t>(Total.Sum(0, 0, 0, 0), 1)));

  // Per cell: mean and variance of the count over the folds (the layer dimension).
  double Mean, Var;
  Stack.MeanVar(1, 1, 1, 1, 0, 0, Mean, Var);
  std::printf("cell (1,1) over %d folds: mean %.2f, variance %.2f\n", Stack.NrOfLayers(), Mean,
              Var);
  double Lo, Hi;
  Stack.MinMax(0, 0, 0, 0, 0, 0, Lo, Hi);
  std::printf("counts per fold and cell range from %.0f to %.0f\n", Lo, Hi);

  // ASC round trip through a temporary file.
  const std::string Name = "intmatrix_example_total.asc";
  TIntMatrix Back;
  std::string Comment;
  if (Total.ExportAsASC(Name, "confusion counts") != 0 || Back.ImportASC(Name, Comment) != ascOK)
    return 1;
  std::remove(Name.c_str());
  std::printf("read back \"%s\": %s\n", Comment.c_str(),
              Back.CRCofData() == Total.CRCofData() ? "identical" : "DIFFERENT");
  return Back.CRCofData() == Total.CRCofData() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc > 1 ? argv[1] : NUX_EXAMPLE_DATA);
  } catch (const Exception& Ex) {
    std::fprintf(stderr, "intmatrix: %s\n", Ex.what());
    return 1;
  }
}
