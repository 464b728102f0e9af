// The record file machinery shared by the four binary file forms: header coding and checking, a
// buffered reader and a writer that goes through the atomic file writer. Unit-private.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "nux/matrix/binfile.h"

namespace nux::matrix_detail {

// Record width in bytes.
inline constexpr int64_t BinRecord = 4096;
// Format codes of the header.
inline constexpr int32_t BinDoubles = 1;
inline constexpr int32_t BinIntegers = 2;

// The fields of the header record.
struct TBinHeader {
  int32_t Nc = 0, Nr = 0, Nl = 0, Nt = 0;
  std::string DataID;
  int32_t Format = 0;
};

// Which class reads a file: decides what the header must say.
enum class TBinKind { Matrix, IntMatrix, Mat3D, Mat4D };

// The acceptance rule of the class (layers, time slots, format), plus positive columns and rows.
bool Accepts(TBinKind Kind, const TBinHeader& H, bool CheckFormat = true);
// Elements announced (layers and time slots of 0 count as 1); -1 for a negative count or a
// product beyond 2^62 elements.
int64_t ElementCount(const TBinHeader& H);
// At most 255 bytes of Id, cut before a UTF-8 sequence that would not fit.
std::string CutDataID(const std::string& Id);

// Reads a record file sequentially through a buffer.
class TBinReader {
 public:
  TBinReader() = default;
  ~TBinReader();
  TBinReader(const TBinReader&) = delete;
  TBinReader& operator=(const TBinReader&) = delete;

  // Opens FileName; false when it cannot be opened.
  bool Open(const std::string& FileName);
  // Reads the header record; false when the file is shorter than one record or a read fails.
  bool ReadHeader(TBinHeader& H);
  // Length of the file in bytes.
  int64_t FileSize() const { return FSize; }
  // True when the file holds Count elements of Width bytes from element First on.
  bool Holds(int64_t First, int64_t Count, int Width) const;
  // Positions on element K of Width bytes.
  void SeekElement(int64_t K, int Width);
  // Reads Count elements of T (little-endian in the file) into Dest; false on a failed read.
  template <class T>
  bool Read(T* Dest, int64_t Count) {
    if (!ReadBytes(Dest, Count * int64_t(sizeof(T)))) return false;
    if constexpr (std::endian::native == std::endian::big)
      for (int64_t I = 0; I < Count; ++I) {
        unsigned char* B = reinterpret_cast<unsigned char*>(Dest + I);
        for (size_t J = 0; J < sizeof(T) / 2; ++J) std::swap(B[J], B[sizeof(T) - 1 - J]);
      }
    return true;
  }

 private:
  bool ReadBytes(void* Dest, int64_t Bytes);
  int FFd = -1;
  int64_t FSize = 0;
  // Position of the next byte read from the descriptor, and the unread part of the buffer.
  int64_t FPos = 0;
  std::vector<unsigned char> FBuf;
  size_t FBufPos = 0, FBufLen = 0;
};

// Source of the rows of a file being written: Row(Ctx, I, First, Count, Out) fills Out with the
// elements First..First + Count - 1 (0-based columns) of row I.
template <class T>
using TRowSource = void (*)(const void* Ctx, int64_t I, size_t First, size_t Count, T* Out);

// Writes FileName: the header H, then CopyElems elements of width sizeof(T) copied from Prefix
// (positioned on element 0; may be null when CopyElems is 0), then NRows rows of H.Nc elements
// from Row, then zeros up to a whole record. bfOK, or bfWriteError / bfReadError with an
// existing file left as it was.
template <class T>
int32_t WriteBinaryFile(const std::string& FileName, const TBinHeader& H, TBinReader* Prefix,
                        int64_t CopyElems, int64_t NRows, TRowSource<T> Row, const void* Ctx);

extern template int32_t WriteBinaryFile<double>(const std::string&, const TBinHeader&, TBinReader*,
                                                int64_t, int64_t, TRowSource<double>, const void*);
extern template int32_t WriteBinaryFile<int32_t>(const std::string&, const TBinHeader&, TBinReader*,
                                                 int64_t, int64_t, TRowSource<int32_t>,
                                                 const void*);

// Opens FileName and reads its header; bfOK, bfCannotOpen, bfNotThisKind (short) or bfReadError.
int32_t OpenBinary(TBinReader& R, const std::string& FileName, TBinHeader& H);

// The header of FName for the ReadBinaryHeader members: false when the file cannot be opened;
// EInOutError when it is shorter than one record.
bool ReadHeaderOnly(const std::string& FName, TBinHeader& H);

// The ReadBinaryHeader members of the four classes: the header's fields (Nl, Nt only where
// given) and whether a file of Kind accepts it; false when the file cannot be opened.
bool HeaderFields(TBinKind Kind, const std::string& FName, int32_t& Nc, int32_t& Nr, int32_t* Nl,
                  int32_t* Nt, std::string& DataID, int32_t& Format);

// Checks a header for loading: bfNotThisKind, bfBadSizes, bfTruncated when the file does not
// hold the Count elements from First on; bfOK.
int32_t CheckForLoad(const TBinReader& R, const TBinHeader& H, TBinKind Kind, bool CheckFormat,
                     int64_t First, int64_t Count);

}  // namespace nux::matrix_detail
