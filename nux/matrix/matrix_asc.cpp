// ASC form of the matrix: its columns and rows are the layout's columns and rows.
#include "nux/frame/ascio.h"
#include "nux/host/atomicfile.h"
#include "nux/matrix/matrix_core.h"

namespace nux {

int32_t TMatrix::ExportAsASC(const std::string& FName, int32_t Precision,
                             const std::string& Comment, const TStr2DArray& CustData) const {
  const bool Flags[4] = {false, false, false, false};
  const int32_t Nc = NrOfColumns(), Nr = NrOfRows();
  std::string Text = ASCHeader(
      Comment.empty() ? "Exported by NUX TMatrix component: " + FName : Comment, Nc, Nr, Flags);
  for (int32_t R = 0; R < Nr; ++R) {
    for (int32_t C = 0; C < Nc; ++C) {
      if (C > 0) Text += '\t';
      AppendASCValue(Text, Mat[size_t(C)][size_t(R)], Precision);
    }
    Text += '\n';
  }
  AppendASCCustData(Text, CustData);
  return WriteWholeFile(FName, Text) ? 0 : -1;
}

int32_t TMatrix::ImportASC(const std::string& FName, std::string& Comment) {
  TStr2DArray Ignored;
  return ImportASC(FName, Comment, Ignored);
}

int32_t TMatrix::ImportASC(const std::string& FName, std::string& Comment, TStr2DArray& CustData) {
  std::string C;
  int32_t Nc = 0, Nr = 0;
  TASCBody Body;
  // A matrix has at least one row.
  if (const int32_t R = ReadASCFile(FName, true, C, Nc, Nr, Body); R != ascOK) return R;
  const bool SizeChanged = Nc != NrOfColumns() || Nr != NrOfRows();
  Mat.swap(Body.Columns);
  Comment = std::move(C);
  CustData = std::move(Body.CustData);
  Changed();
  if (SizeChanged) Resized();
  return ascOK;
}

}  // namespace nux
