// Arrays in files: a text form (StoreArray / LoadArray) and a little-endian binary form
// (SaveBinaryArray / LoadBinaryArray / ReadBinaryArrayHeader), each with a comment. The layouts
// are described in docs/open-arrays.md. Readers treat every file as hostile: a file that is
// truncated, malformed or claims absurd extents gives a code, never a crash or a huge
// allocation, and the output arguments change only on success.
//
// Codes: 0 success; -1 empty or ragged array (writers); -2 not an array file of this kind;
// -3 the file holds another element type or number of dimensions; -4 truncated or malformed
// contents; -5 absurd extents or comment length; -6 the file cannot be opened, read or written.
#pragma once

#include <cstdint>
#include <string>

#include "nux/frame/types.h"

namespace nux {

// Writes A (1 to 4 dimensions) with Comment in the text form, replacing the file atomically;
// doubles keep every bit. Returns a code above.
int32_t StoreArray(const std::string& FileName, const TDoubleArray& A, const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TDouble2DArray& A,
                   const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TDouble3DArray& A,
                   const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TDouble4DArray& A,
                   const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TIntArray& A, const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TInt2DArray& A, const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TInt3DArray& A, const std::string& Comment);
int32_t StoreArray(const std::string& FileName, const TInt4DArray& A, const std::string& Comment);

// Reads a text array file of exactly this element kind and number of dimensions into A and its
// comment into Comment. Returns a code above.
int32_t LoadArray(const std::string& FileName, TDoubleArray& A, std::string& Comment);
int32_t LoadArray(const std::string& FileName, TDouble2DArray& A, std::string& Comment);
int32_t LoadArray(const std::string& FileName, TDouble3DArray& A, std::string& Comment);
int32_t LoadArray(const std::string& FileName, TDouble4DArray& A, std::string& Comment);
int32_t LoadArray(const std::string& FileName, TIntArray& A, std::string& Comment);
int32_t LoadArray(const std::string& FileName, TInt2DArray& A, std::string& Comment);
int32_t LoadArray(const std::string& FileName, TInt3DArray& A, std::string& Comment);
int32_t LoadArray(const std::string& FileName, TInt4DArray& A, std::string& Comment);

// Writes A (1 to 4 dimensions) with Comment (at most 1 MiB, else -5) in the binary form,
// replacing the file atomically. Returns a code above.
int32_t SaveBinaryArray(const std::string& FileName, const TDoubleArray& A,
                        const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TDouble2DArray& A,
                        const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TDouble3DArray& A,
                        const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TDouble4DArray& A,
                        const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TIntArray& A,
                        const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TInt2DArray& A,
                        const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TInt3DArray& A,
                        const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TInt4DArray& A,
                        const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TSingleArray& A,
                        const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TSingle2DArray& A,
                        const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TSingle3DArray& A,
                        const std::string& Comment);
int32_t SaveBinaryArray(const std::string& FileName, const TSingle4DArray& A,
                        const std::string& Comment);

// Reads a binary array file of exactly this element kind and number of dimensions into A and
// its comment into Comment. Returns a code above.
int32_t LoadBinaryArray(const std::string& FileName, TDoubleArray& A, std::string& Comment);
int32_t LoadBinaryArray(const std::string& FileName, TDouble2DArray& A, std::string& Comment);
int32_t LoadBinaryArray(const std::string& FileName, TDouble3DArray& A, std::string& Comment);
int32_t LoadBinaryArray(const std::string& FileName, TDouble4DArray& A, std::string& Comment);
int32_t LoadBinaryArray(const std::string& FileName, TIntArray& A, std::string& Comment);
int32_t LoadBinaryArray(const std::string& FileName, TInt2DArray& A, std::string& Comment);
int32_t LoadBinaryArray(const std::string& FileName, TInt3DArray& A, std::string& Comment);
int32_t LoadBinaryArray(const std::string& FileName, TInt4DArray& A, std::string& Comment);
int32_t LoadBinaryArray(const std::string& FileName, TSingleArray& A, std::string& Comment);
int32_t LoadBinaryArray(const std::string& FileName, TSingle2DArray& A, std::string& Comment);
int32_t LoadBinaryArray(const std::string& FileName, TSingle3DArray& A, std::string& Comment);
int32_t LoadBinaryArray(const std::string& FileName, TSingle4DArray& A, std::string& Comment);

// The header alone: element kind (vkDouble, vkSingle or vkInteger), the extents (one entry per
// dimension) and the comment; the whole file is checked for consistency first.
int32_t ReadBinaryArrayHeader(const std::string& FileName, TVarKind& Kind, TIntArray& Extents,
                              std::string& Comment);

}  // namespace nux
