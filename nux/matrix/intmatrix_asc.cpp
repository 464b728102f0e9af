// ASC form of the integer matrix: its columns and rows are the layout's columns and rows,
// values in decimal.
#include <charconv>

#include "nux/frame/ascio.h"
#include "nux/frame/rounding.h"
#include "nux/host/atomicfile.h"
#include "nux/host/system.h"
#include "nux/matrix/intmatrix.h"

namespace nux {

int32_t TIntMatrix::ExportAsASC(const std::string& FName, const std::string& Comment,
                                const TStr2DArray& CustData) const {
  const bool Flags[4] = {false, false, false, false};
  const int32_t Nc = NrOfColumns(), Nr = NrOfRows();
  // At least two bytes per value: a sparse matrix announcing 2^31 x 2^31 positions is refused
  // before the text is built.
  if (!AllocationPlausible(uint64_t(Nc) * uint64_t(Nr), 2))
    RaiseComponentError<ENUXMatrixError>(*this, msgNoMemoryOnHeap);
  std::string Text = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    std::string T = ASCHeader(
        Comment.empty() ? "Exported by NUX TIntMatrix component: " + FName : Comment, Nc, Nr,
        Flags);
    char Buf[16];
    for (int32_t R = 1; R <= Nr; ++R) {
      for (int32_t C = 1; C <= Nc; ++C) {
        if (C > 1) T += '\t';
        const int32_t X = FIsSparse ? GetVal(C, R) : Mat[size_t(C - 1)][size_t(R - 1)];
        T.append(Buf, std::to_chars(Buf, Buf + sizeof Buf, X).ptr);
      }
      T += '\n';
    }
    AppendASCCustData(T, CustData);
    return T;
  });
  return WriteWholeFile(FName, Text) ? 0 : -1;
}

int32_t TIntMatrix::ImportASC(const std::string& FName, std::string& Comment) {
  TStr2DArray Ignored;
  return ImportASC(FName, Comment, Ignored);
}

int32_t TIntMatrix::ImportASC(const std::string& FName, std::string& Comment,
                              TStr2DArray& CustData) {
  std::string Text;
  int32_t R = ReadWholeTextFile(FName, Text);
  if (R != ascOK) return R;
  TTextScanner S{Text, 0};
  std::string C;
  int32_t Nc = 0, Nr = 0;
  bool Flags[4];
  // The header reader has checked the counts against the bytes left, so the body cannot make
  // the reader allocate beyond the file's size.
  if ((R = ReadHeaderOfASC(S, C, Nc, Nr, Flags)) != ascOK) return R;
  if (Nr < 1) return ascWrongShape;  // a matrix has at least one row
  TASCBody Body;
  if ((R = ReadASCBody(S, Nc, Nr, Flags, Body)) != ascOK) return R;
  std::string().swap(Text);
  TInt2DArray Columns = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    return TInt2DArray(size_t(Nc), TIntArray(size_t(Nr), 0));
  });
  for (size_t Col = 0; Col < Body.Columns.size(); ++Col)
    for (size_t Row = 0; Row < Body.Columns[Col].size(); ++Row) {
      const double X = Body.Columns[Col][Row];
      // As the integer vector: NaN, infinities and values beyond the 32-bit range are refused.
      if (!(X >= -2147483648.5 && X <= 2147483647.5)) return ascBadValue;
      const double Rd = RoundEven(X);
      if (Rd < -2147483648.0 || Rd > 2147483647.0) return ascBadValue;
      Columns[Col][Row] = static_cast<int32_t>(Rd);
    }
  SetValues(Columns);
  Comment = std::move(C);
  CustData = std::move(Body.CustData);
  return ascOK;
}

}  // namespace nux
