// Plain text forms of the vectors: numbers separated by blanks or line ends, comments after '#'
// at the start of a line; written one element per line in the shortest form that reads back to
// the same value. Results are TPlainTextResult codes; on failure the vector is unchanged.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "nux/frame/plaintext.h"
#include "nux/vector/vector.h"

namespace nux {

/// Reads every number of the text, in order, into V (resized to their count). ErrorLine, when
/// given, receives the 1-based line of a failure (0 when no line is to blame).
int32_t LoadPlainText(std::istream& In, TVector& V, int64_t* ErrorLine = nullptr);
/// As above; a number that is not an integer in the 32-bit range gives ptNotANumber.
int32_t LoadPlainText(std::istream& In, TIntVector& V, int64_t* ErrorLine = nullptr);
/// Reads the file FileName (ptCannotOpen when it cannot be opened).
int32_t LoadPlainText(const std::string& FileName, TVector& V, int64_t* ErrorLine = nullptr);
/// Reads the file FileName (ptCannotOpen when it cannot be opened).
int32_t LoadPlainText(const std::string& FileName, TIntVector& V, int64_t* ErrorLine = nullptr);

/// Writes the elements one per line; the file is replaced only when the whole text is written.
int32_t SavePlainText(const std::string& FileName, const TVector& V);
/// Writes the elements one per line; the file is replaced only when the whole text is written.
int32_t SavePlainText(const std::string& FileName, const TIntVector& V);

/// Prints the elements one per line, in the plain text form LoadPlainText reads.
std::ostream& operator<<(std::ostream& Out, const TVector& V);
/// Prints the elements one per line, in the plain text form LoadPlainText reads.
std::ostream& operator<<(std::ostream& Out, const TIntVector& V);

}  // namespace nux
