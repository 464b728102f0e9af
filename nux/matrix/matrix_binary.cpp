// Binary record files, the stream form and the text file form of TMatrix and TIntMatrix.
#include <charconv>
#include <cstring>
#include <limits>
#include <vector>

#include "nux/frame/ascio.h"
#include "nux/frame/plaintext.h"
#include "nux/frame/rounding.h"
#include "nux/frame/streamio.h"
#include "nux/host/atomicfile.h"
#include "nux/matrix/binfile_impl.h"
#include "nux/matrix/intmatrix.h"
#include "nux/matrix/matrix_core.h"
#include "nux/matrix/matrix_text.h"

namespace nux {

using namespace matrix_detail;

namespace {

// A size to adjust to may reach beyond the stored block (a stored tail) by at most 2^24
// elements, so that forged bounds cannot make the reader allocate gigabytes.
bool SizeFits(int32_t HiC, int32_t HiR, int64_t Count) {
  return int64_t{HiC} * HiR <= Count + (int64_t(1) << 24);
}

template <class M>
constexpr TBinKind KindOf() {
  return std::is_same_v<M, TMatrix> ? TBinKind::Matrix : TBinKind::IntMatrix;
}

template <class M>
int32_t SaveBinary2D(const M& Mat, const std::string& FName) {
  using T = typename M::TElem;
  if (Mat.NrOfColumns() < 1 || Mat.NrOfRows() < 1) return bfBadSizes;  // an empty sparse matrix
  TBinHeader H;
  H.Nc = Mat.NrOfColumns();
  H.Nr = Mat.NrOfRows();
  H.DataID = Mat.DataID();
  H.Format = std::is_same_v<T, double> ? BinDoubles : BinIntegers;
  return WriteBinaryFile<T>(
      FName, H, nullptr, 0, H.Nr,
      [](const void* Ctx, int64_t I, size_t First, size_t Count, T* Out) {
        const M& A = *static_cast<const M*>(Ctx);
        for (size_t C = 0; C < Count; ++C)
          Out[C] = A.GetVal(int32_t(First + C + 1), int32_t(I + 1));
      },
      &Mat);
}

template <class M>
int32_t LoadBinary2D(M& Mat, const std::string& FName) {
  using T = typename M::TElem;
  TBinReader R;
  TBinHeader H;
  int32_t Res = OpenBinary(R, FName, H);
  if (Res != bfOK) return Res;
  if ((Res = CheckForLoad(R, H, KindOf<M>(), true, 0, ElementCount(H))) != bfOK) return Res;
  // The file holds every element, so the block is bounded by the file's length.
  typename M::T2DArray Block = GuardAlloc<ENUXMatrixError>(Mat, msgNoMemoryOnHeap, [&] {
    return typename M::T2DArray(size_t(H.Nc), typename M::TArray(size_t(H.Nr)));
  });
  std::vector<T> Row(size_t(H.Nc));
  R.SeekElement(0, sizeof(T));
  for (size_t Y = 0; Y < size_t(H.Nr); ++Y) {
    if (!R.Read(Row.data(), H.Nc)) return bfReadError;
    for (size_t X = 0; X < size_t(H.Nc); ++X) Block[X][Y] = Row[X];
  }
  Mat.SetValues(Block);
  Mat.SetDataID(H.DataID);
  return bfOK;
}

// Stream form: the clipped bounds LoC, LoR, HiC, HiR as 32-bit integers, then the elements row
// by row, each row column by column.
template <class M>
void SaveStream2D(const M& Mat, TStream& S, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) {
  using T = typename M::TElem;
  MakeValidIndexRange(LoC, HiC, Mat.NrOfColumns());
  MakeValidRowIndexRange(LoR, HiR, Mat.NrOfRows());
  for (int32_t V : {LoC, LoR, HiC, HiR}) WriteLongintToStream(S, V);
  for (int32_t R = LoR; R <= HiR; ++R)
    for (int32_t C = LoC; C <= HiC; ++C) {
      if constexpr (std::is_same_v<T, double>)
        WriteExtendedToStream(S, Mat.GetVal(C, R));
      else
        WriteLongintToStream(S, Mat.GetVal(C, R));
    }
}

// Puts Values (row by row over the block) into the matrix with one OnChange: dense matrices
// through a copy of their columns, sparse ones element by element.
template <class M>
void StoreBlock(M& Mat, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR,
                const std::vector<typename M::TElem>& Values) {
  size_t K = 0;
  if constexpr (std::is_same_v<M, TIntMatrix>) {
    if (Mat.IsSparse()) {
      for (int32_t R = LoR; R <= HiR; ++R)
        for (int32_t C = LoC; C <= HiC; ++C) Mat.SetVal(C, R, Values[K++]);
      return;
    }
  }
  typename M::T2DArray Cols = GuardAlloc<ENUXMatrixError>(Mat, msgNoMemoryOnHeap, [&] {
    typename M::T2DArray A(size_t(Mat.NrOfColumns()));
    for (int32_t C = 1; C <= Mat.NrOfColumns(); ++C) {
      const auto Col = Mat.Column(C);
      A[size_t(C - 1)].assign(Col.begin(), Col.end());
    }
    return A;
  });
  for (int32_t R = LoR; R <= HiR; ++R)
    for (int32_t C = LoC; C <= HiC; ++C) Cols[size_t(C - 1)][size_t(R - 1)] = Values[K++];
  Mat.SetValues(Cols);
}

template <class M>
bool LoadStream2D(M& Mat, TStream* S, bool Adjust) {
  using T = typename M::TElem;
  if (S == nullptr) return false;
  bool Ok = true;
  int32_t B[4];
  for (int32_t& V : B) V = ReadLongintFromStream(*S, Ok);
  if (!Ok) return false;
  const auto [LoC, LoR, HiC, HiR] = B;
  // Bounds the rest of the stream cannot hold are refused before anything is resized.
  const int64_t Count = (int64_t{HiC} - LoC + 1) * (int64_t{HiR} - LoR + 1);
  const int64_t Left = S->Size() - S->Position();
  if (LoC < 1 || LoR < 1 || HiC < LoC || HiR < LoR || Count > Left / int64_t(sizeof(T)) ||
      (Adjust && !SizeFits(HiC, HiR, Count)))
    return false;
  std::vector<T> Values(static_cast<size_t>(Count), T{});
  std::vector<unsigned char> Bytes(size_t(Count) * sizeof(T));
  if (S->Read(Bytes.data(), int64_t(Bytes.size())) != int64_t(Bytes.size())) return false;
  for (size_t I = 0; I < Values.size(); ++I) {
    uint64_t U = 0;
    for (size_t J = 0; J < sizeof(T); ++J) U |= uint64_t(Bytes[I * sizeof(T) + J]) << (8 * J);
    if constexpr (sizeof(T) == 8)
      std::memcpy(&Values[I], &U, 8);
    else {
      const auto U32 = static_cast<uint32_t>(U);
      std::memcpy(&Values[I], &U32, 4);
    }
  }
  if (Adjust && (HiC != Mat.NrOfColumns() || HiR != Mat.NrOfRows())) Mat.Resize(HiC, HiR);
  if (Mat.NrOfColumns() < HiC || Mat.NrOfRows() < HiR) {
    Mat.Changed();
    return false;
  }
  StoreBlock(Mat, LoC, LoR, HiC, HiR, Values);
  return true;
}

template <class T>
std::string NumberText(T X) {
  return ShortestNumber(X);
}

// Text file form: "LoC LoR HiC HiR", then one line per row, values separated by one blank in
// the shortest form that reads back exactly.
template <class M>
bool StoreFile2D(const M& Mat, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR,
                 const std::string& FileName) {
  MakeValidIndexRange(LoC, HiC, Mat.NrOfColumns());
  MakeValidRowIndexRange(LoR, HiR, Mat.NrOfRows());
  std::string Text = std::to_string(LoC) + " " + std::to_string(LoR) + " " + std::to_string(HiC) +
                     " " + std::to_string(HiR) + "\n";
  for (int32_t R = LoR; R <= HiR; ++R) {
    for (int32_t C = LoC; C <= HiC; ++C) {
      if (C > LoC) Text += ' ';
      Text += NumberText(Mat.GetVal(C, R));
    }
    Text += '\n';
  }
  return WriteWholeFile(FileName, Text);
}

bool ParseValue(std::string_view W, double& X) { return ParseNumber(W, X); }

bool ParseValue(std::string_view W, int32_t& X) {
  const auto R = std::from_chars(W.data(), W.data() + W.size(), X);
  return R.ec == std::errc() && R.ptr == W.data() + W.size();
}

template <class M>
bool LoadFile2D(M& Mat, const std::string& FileName, bool Adjust) {
  using T = typename M::TElem;
  std::string Text;
  if (ReadWholeTextFile(FileName, Text) != ascOK) return false;
  TTextScanner S{Text, 0};
  int32_t B[4];
  std::string_view W;
  for (int32_t& V : B)
    if (!S.NextWord(W) || !ParseValue(W, V)) return false;
  const auto [LoC, LoR, HiC, HiR] = B;
  // Every value takes at least two bytes (a digit and a separator), which bounds the count.
  const int64_t Count = (int64_t{HiC} - LoC + 1) * (int64_t{HiR} - LoR + 1);
  if (LoC < 1 || LoR < 1 || HiC < LoC || HiR < LoR ||
      Count > int64_t(Text.size() - S.Pos + 1) / 2 || (Adjust && !SizeFits(HiC, HiR, Count)))
    return false;
  std::vector<T> Values(static_cast<size_t>(Count));
  for (T& X : Values)
    if (!S.NextWord(W) || !ParseValue(W, X)) return false;
  if (Adjust && (HiC != Mat.NrOfColumns() || HiR != Mat.NrOfRows())) Mat.Resize(HiC, HiR);
  if (Mat.NrOfColumns() < HiC || Mat.NrOfRows() < HiR) return false;
  StoreBlock(Mat, LoC, LoR, HiC, HiR, Values);
  return true;
}

}  // namespace

bool TMatrix::ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                               std::string& DataID, int32_t& Format) {
  return HeaderFields(TBinKind::Matrix, FName, NrColumns, NrRows, nullptr, nullptr, DataID, Format);
}
int32_t TMatrix::SaveBinary(const std::string& FName) const { return SaveBinary2D(*this, FName); }
int32_t TMatrix::LoadBinary(const std::string& FName) { return LoadBinary2D(*this, FName); }
void TMatrix::SaveToStream(std::unique_ptr<TMemoryStream>& OutStream, int32_t LoC, int32_t LoR,
                           int32_t HiC, int32_t HiR) const {
  if (!OutStream) OutStream = std::make_unique<TMemoryStream>();
  SaveStream2D(*this, *OutStream, LoC, LoR, HiC, HiR);
}
void TMatrix::SaveToStream(TStream& OutStream, int32_t LoC, int32_t LoR, int32_t HiC,
                           int32_t HiR) const {
  SaveStream2D(*this, OutStream, LoC, LoR, HiC, HiR);
}
bool TMatrix::LoadFromStream(TStream* InStream, bool AdjustMatrixSize) {
  return LoadStream2D(*this, InStream, AdjustMatrixSize);
}
bool TMatrix::StoreOnFile(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR,
                          const std::string& FileName) const {
  return StoreFile2D(*this, LoC, LoR, HiC, HiR, FileName);
}
bool TMatrix::LoadFromFile(const std::string& FileName, bool AdjustMatrixSize, bool AutoDetect) {
  if (!AutoDetect) return LoadFile2D(*this, FileName, AdjustMatrixSize);
  TMatrix Table;
  if (LoadPlainText(FileName, Table) != ptOK) return false;
  if (AdjustMatrixSize) {
    SetValues(Table.Mat);
    return true;
  }
  // Without adjusting, the part of the table that lies inside the matrix is taken.
  const int32_t Nc = std::min(NrOfColumns(), Table.NrOfColumns());
  const int32_t Nr = std::min(NrOfRows(), Table.NrOfRows());
  std::vector<double> Values;
  Values.reserve(size_t(Nc) * size_t(Nr));
  for (int32_t R = 1; R <= Nr; ++R)
    for (int32_t C = 1; C <= Nc; ++C) Values.push_back(Table.GetVal(C, R));
  StoreBlock(*this, 1, 1, Nc, Nr, Values);
  return true;
}

bool TIntMatrix::ReadBinaryHeader(const std::string& FName, int32_t& NrColumns, int32_t& NrRows,
                                  std::string& DataID, int32_t& Format) {
  return HeaderFields(TBinKind::IntMatrix, FName, NrColumns, NrRows, nullptr, nullptr, DataID,
                      Format);
}
int32_t TIntMatrix::SaveBinary(const std::string& FName) const {
  return SaveBinary2D(*this, FName);
}
int32_t TIntMatrix::LoadBinary(const std::string& FName) { return LoadBinary2D(*this, FName); }
void TIntMatrix::SaveToStream(std::unique_ptr<TMemoryStream>& OutStream, int32_t LoC, int32_t LoR,
                              int32_t HiC, int32_t HiR) const {
  if (!OutStream) OutStream = std::make_unique<TMemoryStream>();
  SaveStream2D(*this, *OutStream, LoC, LoR, HiC, HiR);
}
void TIntMatrix::SaveToStream(TStream& OutStream, int32_t LoC, int32_t LoR, int32_t HiC,
                              int32_t HiR) const {
  SaveStream2D(*this, OutStream, LoC, LoR, HiC, HiR);
}
bool TIntMatrix::LoadFromStream(TStream* InStream, bool AdjustMatrixSize) {
  return LoadStream2D(*this, InStream, AdjustMatrixSize);
}
bool TIntMatrix::StoreOnFile(int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR,
                             const std::string& FileName) const {
  return StoreFile2D(*this, LoC, LoR, HiC, HiR, FileName);
}
bool TIntMatrix::LoadFromFile(const std::string& FileName, bool AdjustMatrixSize) {
  return LoadFile2D(*this, FileName, AdjustMatrixSize);
}

}  // namespace nux
