// Plain text form of TMatrix: one matrix row per line, values separated by blanks, comments
// after '#' at the start of a line; written in the shortest form that reads back to the same
// value. Results are TPlainTextResult codes; on failure the matrix is unchanged.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "nux/frame/plaintext.h"
#include "nux/matrix/matrix_core.h"

namespace nux {

/// Reads a table of numbers: every line becomes a row, so M gets as many columns as a line has
/// numbers (every line must have the same count, else ptRagged) and as many rows as lines.
/// ErrorLine, when given, receives the 1-based line of a failure (0 when no line is to blame).
int32_t LoadPlainText(std::istream& In, TMatrix& M, int64_t* ErrorLine = nullptr);
/// Reads the file FileName (ptCannotOpen when it cannot be opened).
int32_t LoadPlainText(const std::string& FileName, TMatrix& M, int64_t* ErrorLine = nullptr);
/// Writes M one row per line; the file is replaced only when the whole text is written.
int32_t SavePlainText(const std::string& FileName, const TMatrix& M);
/// Prints M one row per line, in the plain text form LoadPlainText reads.
std::ostream& operator<<(std::ostream& Out, const TMatrix& M);

}  // namespace nux
