#include "nux/matrix/matrix_text.h"

#include <fstream>
#include <ostream>

#include "nux/host/atomicfile.h"

namespace nux {

namespace {

std::string Text(const TMatrix& M) {
  std::string Out;
  for (int32_t R = 1; R <= M.NrOfRows(); ++R) {
    for (int32_t C = 1; C <= M.NrOfColumns(); ++C) {
      if (C > 1) Out += ' ';
      Out += ShortestNumber(M.GetVal(C, R));
    }
    Out += '\n';
  }
  return Out;
}

}  // namespace

int32_t LoadPlainText(std::istream& In, TMatrix& M, int64_t* ErrorLine) {
  TDouble2DArray Rows;
  int64_t Line = 0;
  const int32_t Code = ReadNumberRows(In, true, Rows, Line);
  if (ErrorLine != nullptr) *ErrorLine = Line;
  if (Code != ptOK) return Code;
  // The text holds rows; the matrix stores columns.
  TDouble2DArray Columns(Rows[0].size(), TDoubleArray(Rows.size()));
  for (size_t R = 0; R < Rows.size(); ++R)
    for (size_t C = 0; C < Rows[R].size(); ++C) Columns[C][R] = Rows[R][C];
  M.SetValues(Columns);
  return ptOK;
}

int32_t LoadPlainText(const std::string& FileName, TMatrix& M, int64_t* ErrorLine) {
  if (ErrorLine != nullptr) *ErrorLine = 0;
  std::ifstream In(FileName, std::ios::binary);
  if (!In) return ptCannotOpen;
  return LoadPlainText(In, M, ErrorLine);
}

int32_t SavePlainText(const std::string& FileName, const TMatrix& M) {
  return WriteWholeFile(FileName, Text(M)) ? ptOK : ptCannotWrite;
}

std::ostream& operator<<(std::ostream& Out, const TMatrix& M) { return Out << Text(M); }

}  // namespace nux
