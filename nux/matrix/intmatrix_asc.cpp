// Files of the integer matrix: the ASC form (its columns and rows are the layout's columns and
// rows, values in decimal) and the sparse file.
#include <charconv>
#include <cstring>

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
    std::string T =
        ASCHeader(Comment.empty() ? "Exported by NUX TIntMatrix component: " + FName : Comment, Nc,
                  Nr, Flags);
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
  std::string C;
  int32_t Nc = 0, Nr = 0;
  TASCBody Body;
  // A matrix has at least one row.
  if (const int32_t R = ReadASCFile(FName, true, C, Nc, Nr, Body); R != ascOK) return R;
  TInt2DArray Columns = GuardAlloc<ENUXMatrixError>(
      *this, msgNoMemoryOnHeap, [&] { return TInt2DArray(size_t(Nc), TIntArray(size_t(Nr), 0)); });
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

namespace {

// Sparse file: signature, then little-endian int32 columns, rows, growth step, int64 count, and
// count records of int32 column, row, value in ascending (column, row) order.
constexpr char SparseSignature[8] = {'N', 'U', 'X', 'S', 'P', 'M', 'I', '1'};
constexpr size_t SparseHeadSize = 8 + 4 * 3 + 8;
constexpr size_t SparseRecSize = 12;

void PutLE(std::string& Out, uint64_t X, int Bytes) {
  for (int I = 0; I < Bytes; ++I) Out += static_cast<char>((X >> (8 * I)) & 0xFF);
}

uint64_t GetLE(const std::string& In, size_t Pos, int Bytes) {
  uint64_t X = 0;
  for (int I = 0; I < Bytes; ++I)
    X |= uint64_t(static_cast<unsigned char>(In[Pos + size_t(I)])) << (8 * I);
  return X;
}

int32_t GetI32(const std::string& In, size_t Pos) {
  return static_cast<int32_t>(static_cast<uint32_t>(GetLE(In, Pos, 4)));
}

}  // namespace

bool TIntMatrix::StoreSparseMat(const std::string& FileName) const {
  std::vector<TSpMatElemInt> Elems;
  if (FIsSparse) {
    Elems = SparseElements();
  } else {
    for (size_t C = 0; C < Mat.size(); ++C)
      for (size_t R = 0; R < Mat[C].size(); ++R)
        if (Mat[C][R] != 0) Elems.push_back({int32_t(C + 1), int32_t(R + 1), Mat[C][R]});
  }
  std::string Out = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    std::string T(SparseSignature, sizeof SparseSignature);
    T.reserve(SparseHeadSize + Elems.size() * SparseRecSize);
    PutLE(T, uint32_t(NrOfColumns()), 4);
    PutLE(T, uint32_t(NrOfRows()), 4);
    PutLE(T, uint32_t(FAllocBy), 4);
    PutLE(T, Elems.size(), 8);
    for (const TSpMatElemInt& E : Elems) {
      PutLE(T, uint32_t(E.colidx), 4);
      PutLE(T, uint32_t(E.rowidx), 4);
      PutLE(T, uint32_t(E.value), 4);
    }
    return T;
  });
  return WriteWholeFile(FileName, Out);
}

int32_t TIntMatrix::LoadSparseMat(const std::string& FileName) {
  std::string In;
  if (ReadWholeTextFile(FileName, In) != ascOK) return -1;
  if (In.size() < SparseHeadSize || std::memcmp(In.data(), SparseSignature, 8) != 0) return -2;
  const int32_t Nc = GetI32(In, 8), Nr = GetI32(In, 12), Step = GetI32(In, 16);
  const uint64_t Count = GetLE(In, 20, 8);
  // The count must match the length exactly, so it never drives an allocation by itself.
  if (Nc < 0 || Nr < 0 || Step < 1 || Count > (In.size() - SparseHeadSize) / SparseRecSize ||
      In.size() != SparseHeadSize + Count * SparseRecSize)
    return -2;
  std::vector<TSpMatElemInt> Elems = GuardAlloc<ENUXMatrixError>(*this, msgNoMemoryOnHeap, [&] {
    std::vector<TSpMatElemInt> V;
    V.reserve(size_t(Count));  // not the step: that is bookkeeping, not memory
    return V;
  });
  int32_t Lc = INT32_MAX, Hc = 1, Lr = INT32_MAX, Hr = 1;
  for (size_t I = 0; I < Count; ++I) {
    const size_t P = SparseHeadSize + I * SparseRecSize;
    const TSpMatElemInt E{GetI32(In, P), GetI32(In, P + 4), GetI32(In, P + 8)};
    if (E.colidx < 1 || E.colidx > Nc || E.rowidx < 1 || E.rowidx > Nr) return -3;
    if (!Elems.empty() && !(Elems.back().colidx < E.colidx ||
                            (Elems.back().colidx == E.colidx && Elems.back().rowidx < E.rowidx)))
      return -3;
    Elems.push_back(E);
    Lc = std::min(Lc, E.colidx);
    Hc = std::max(Hc, E.colidx);
    Lr = std::min(Lr, E.rowidx);
    Hr = std::max(Hr, E.rowidx);
  }
  const bool SizeChanged = !FIsSparse || Nc != FNCol || Nr != FNRow;
  SpMat.swap(Elems);
  FPending.clear();
  T2DArray().swap(Mat);
  FIsSparse = true;
  FAllocBy = Step;
  FNumAllocated = std::max<int64_t>((int64_t(Count) + Step - 1) / Step, 1) * Step;
  FNCol = Nc;
  FNRow = Nr;
  FSparseLowCol = Lc;
  FSparseHighCol = Hc;
  FSparseLowRow = Lr;
  FSparseHighRow = Hr;
  Changed();
  if (SizeChanged) Resized();
  return 0;
}

}  // namespace nux
