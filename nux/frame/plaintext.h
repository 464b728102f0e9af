// Plain text numbers: the shortest text that reads back to the same value, and a reader of
// whitespace-separated numbers, one row per line, for the containers' plain text forms.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "nux/frame/types.h"

namespace nux {

/// The shortest decimal text that reads back to exactly X ("nan", "inf" and "-inf" for the
/// non-finite values); independent of the locale.
std::string ShortestNumber(double X);
/// X in decimal.
std::string ShortestNumber(int32_t X);

/// Reads one number written by ShortestNumber or by hand ("1", "-2.5e-3", "+7", "nan", "inf");
/// the whole text must be the number. False, with X untouched, otherwise.
bool ParseNumber(std::string_view Text, double& X);

/// Result codes of the plain text readers and writers.
enum TPlainTextResult : int32_t {
  ptOK = 0,
  ptCannotOpen = -1,   ///< the file cannot be opened, or the stream is bad on entry
  ptNotANumber = -2,   ///< a field is not a number (or not an integer, for integer targets)
  ptNoNumbers = -3,    ///< nothing but blank and comment lines
  ptTooLarge = -4,     ///< more values than a container can address (2^31 - 1)
  ptRagged = -5,       ///< a table row has another number of fields than the first one
  ptCannotWrite = -6,  ///< writing failed; an existing file is left as it was
};

/// Reads whitespace-separated numbers, one row per line, into Rows (row-major: Rows[r][c]).
/// Blank lines and lines whose first non-blank character is '#' are skipped; CR before LF is
/// ignored. On failure Rows is left as it was and ErrorLine (1-based) names the offending line
/// where there is one (0 otherwise). With Rectangular, rows of different lengths give ptRagged.
/// Accept, when given, may refuse a value (ptNotANumber), e.g. one that is not an integer.
int32_t ReadNumberRows(std::istream& In, bool Rectangular, TDouble2DArray& Rows, int64_t& ErrorLine,
                       bool (*Accept)(double) = nullptr);

}  // namespace nux
