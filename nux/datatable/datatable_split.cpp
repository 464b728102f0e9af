// Splitting the data table into parts (columns, rows, or test and training rows) written as ASC
// files. The rules (counts, choice of lines, naming, codes) are in docs/datatable.md.
#include <algorithm>
#include <filesystem>
#include <numeric>

#include "nux/datatable/datatable_impl.h"
#include "nux/host/atomicfile.h"
#include "nux/host/random.h"

namespace nux {

namespace {

// Lines of part P (0-based) of N lines in K parts: the first N mod K parts take one more.
int32_t PartSize(int32_t N, int32_t K, int32_t P) { return N / K + (P < N % K ? 1 : 0); }

// 0 or the error code of PrepareSplitCounts for N lines.
int32_t CheckSplit(TDataSetSplitMode Mode, int32_t SplitSize, int32_t N) {
  if (Mode != splitColumns && Mode != splitRows && Mode != splitTstTrn) return -2;
  if (SplitSize < (Mode == splitTstTrn ? 2 : 1) || SplitSize > N) return -1;
  return 0;
}

// The 1-based lines of each of the K parts, ascending inside a part. Blocked: consecutive runs;
// interleaved: line i to part i mod K; random: the blocked runs of a random permutation.
std::vector<TIntArray> AssignParts(int32_t N, int32_t K, TDataSelMode Sel) {
  TIntArray Order(static_cast<size_t>(N));
  std::iota(Order.begin(), Order.end(), 1);
  if (Sel == selmRandSel)
    for (int32_t I = N - 1; I > 0; --I)
      std::swap(Order[size_t(I)], Order[size_t(RandomInt(I + 1))]);
  std::vector<TIntArray> Parts(static_cast<size_t>(K));
  if (Sel == selmInterleave) {
    for (int32_t I = 0; I < N; ++I) Parts[size_t(I % K)].push_back(I + 1);
    return Parts;
  }
  size_t Next = 0;
  for (int32_t P = 0; P < K; ++P) {
    auto& Part = Parts[size_t(P)];
    const auto Size = size_t(PartSize(N, K, P));
    Part.assign(Order.begin() + std::ptrdiff_t(Next), Order.begin() + std::ptrdiff_t(Next + Size));
    std::sort(Part.begin(), Part.end());  // a part keeps the table's order
    Next += Size;
  }
  return Parts;
}

// The name of file Number: the first run of '#' in the template becomes the number, padded
// with zeros to the run's length; without '#' the number goes before the extension of the
// last path component (or at the end). Tag follows the number.
std::string PartName(const std::string& Tpl, int32_t Number, const std::string& Tag) {
  std::string Digits = std::to_string(Number);
  const size_t Hash = Tpl.find('#');
  if (Hash != std::string::npos) {
    const size_t End = std::min(Tpl.find_first_not_of('#', Hash), Tpl.size());
    if (Digits.size() < End - Hash) Digits.insert(0, End - Hash - Digits.size(), '0');
    return Tpl.substr(0, Hash) + Digits + Tag + Tpl.substr(End);
  }
  const size_t Slash = Tpl.find_last_of('/');
  size_t Dot = Tpl.find_last_of('.');
  if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash) ||
      Dot == (Slash == std::string::npos ? 0 : Slash + 1))
    Dot = Tpl.size();  // no extension (a leading dot names a hidden file)
  return Tpl.substr(0, Dot) + Digits + Tag + Tpl.substr(Dot);
}

}  // namespace

int32_t TDataTable::PrepareSplitCounts(TDataSetSplitMode SplitMode, int32_t SplitSize,
                                       bool CreateAllPairs, TIntArray& DataCnts) const {
  DataCnts.clear();
  const int32_t N = SplitMode == splitColumns ? FNrOfCols : FNrOfRows;
  if (const int32_t R = CheckSplit(SplitMode, SplitSize, N)) return R;
  if (SplitMode != splitTstTrn) {
    for (int32_t P = 0; P < SplitSize; ++P) DataCnts.push_back(PartSize(N, SplitSize, P));
    return 0;
  }
  for (int32_t F = 0; F < (CreateAllPairs ? SplitSize : 1); ++F) {
    DataCnts.push_back(PartSize(N, SplitSize, F));
    DataCnts.push_back(N - PartSize(N, SplitSize, F));
  }
  return 0;
}

int32_t TDataTable::SplitDataSet(TDataSetSplitMode SplitMode, TDataSelMode SelMode,
                                 int32_t SplitSize, bool CreateAllPairs,
                                 const std::string& FNameTemplate, bool AllowOverWrite,
                                 TStrArray& FileNames) const {
  FileNames.clear();
  TIntArray Counts;
  if (const int32_t R = PrepareSplitCounts(SplitMode, SplitSize, CreateAllPairs, Counts)) return R;
  if ((SelMode != selmRandSel && SelMode != selmBlocked && SelMode != selmInterleave) ||
      FNameTemplate.empty())
    return -3;

  // Every file's lines and name first, so that a refused overwrite writes nothing.
  const int32_t N = SplitMode == splitColumns ? FNrOfCols : FNrOfRows;
  std::vector<TIntArray> Parts = AssignParts(N, SplitSize, SelMode);
  std::vector<std::string> Names;
  std::vector<TIntArray> Lines;
  if (SplitMode != splitTstTrn) {
    for (int32_t P = 0; P < SplitSize; ++P) Names.push_back(PartName(FNameTemplate, P + 1, ""));
    Lines = std::move(Parts);
  } else {
    for (int32_t F = 0; F < (CreateAllPairs ? SplitSize : 1); ++F) {
      TIntArray Training;
      for (int32_t P = 0; P < SplitSize; ++P)
        if (P != F)
          Training.insert(Training.end(), Parts[size_t(P)].begin(), Parts[size_t(P)].end());
      std::sort(Training.begin(), Training.end());
      Names.push_back(PartName(FNameTemplate, F + 1, "_tst"));
      Lines.push_back(Parts[size_t(F)]);
      Names.push_back(PartName(FNameTemplate, F + 1, "_trn"));
      Lines.push_back(std::move(Training));
    }
  }
  if (!AllowOverWrite)
    for (const std::string& Name : Names) {
      std::error_code Ec;
      if (std::filesystem::exists(Name, Ec) || Ec) return -4;
    }
  for (size_t I = 0; I < Names.size(); ++I) {
    const bool ByColumns = SplitMode == splitColumns;
    const std::string Text = ASCText(-1, nullptr, Names[I], ByColumns ? &Lines[I] : nullptr,
                                     ByColumns ? nullptr : &Lines[I]);
    if (!WriteWholeFile(Names[I], Text)) return -5;
    FileNames.push_back(Names[I]);
  }
  return 0;
}

}  // namespace nux
