// Binary record files of the matrices and arrays: a 4096-byte header record, then the elements
// packed little-endian (512 doubles or 1024 32-bit integers per 4096-byte record), column
// fastest, then row, layer and time slot. docs/matrix-files.md describes the layout.
#pragma once

#include <cstdint>
#include <string>

#include "nux/frame/types.h"

namespace nux {

/// Results of the binary file readers and writers.
enum TBinFileResult : int32_t {
  bfOK = 0,             ///< done
  bfCannotOpen = -1,    ///< the file cannot be opened
  bfNotThisKind = -2,   ///< shorter than the header, or a header this class does not accept
  bfBadSizes = -3,      ///< a count is not positive, or the element count exceeds 2^62
  bfTruncated = -4,     ///< the file is shorter than the elements its header announces
  bfReadError = -5,     ///< the operating system failed a read
  bfNoSuchSlot = -6,    ///< no time slot of the file lies in the range wanted
  bfSizeMismatch = -7,  ///< appending: columns, rows or layers differ from the file's
  bfWriteError = -8,    ///< the file cannot be written (an existing file is then kept)
};

/// Reads layer Layer of time slot TSlot of a four-dimensional file into Dest, resized to columns
/// x rows (outer index = column). 0; -1 TSlot, -2 Layer outside the file's (the later check
/// wins); -3 any input/output failure (missing, truncated or not a file of doubles).
int32_t Read4DLayer(const std::string& FName, int32_t Layer, int32_t TSlot, TDouble2DArray& Dest);
/// Adds layer Layer of time slot TSlot to Dest[column - 1][row - 1]. 0; -1 Layer, -2 TSlot
/// outside the file's (the later check wins); -3 Dest is not columns x rows; -4 any
/// input/output failure. Dest is unchanged unless the result is 0.
int32_t Read4DLayerAndAccumulate(const std::string& FName, int32_t Layer, int32_t TSlot,
                                 TDouble2DArray& Dest);

}  // namespace nux
