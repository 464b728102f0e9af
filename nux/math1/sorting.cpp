#include "nux/math1/sorting.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <utility>

#include "nux/frame/progress.h"

namespace nux {

namespace {

// ---- Comb sort -------------------------------------------------------------------------------

template <class T>
void CombSort(T* Data, size_t N, bool Ascending) {
  if (Data == nullptr || N <= 1) return;
  size_t Gap = N;
  bool Swapped = false;
  do {
    Gap = Gap * 10 / 13;
    if (Gap == 0) Gap = 1;
    Swapped = false;
    for (size_t i = 0; i + Gap < N; ++i) {
      const T A = Data[i];
      const T B = Data[i + Gap];
      // Strict comparisons: a NaN never asks for an exchange.
      const bool Exchange = Ascending ? A > B : B > A;
      Data[i] = Exchange ? B : A;
      Data[i + Gap] = Exchange ? A : B;
      Swapped |= Exchange;
    }
    MathFeedBack(1.0);
  } while (Gap != 1 || Swapped);
}

// ---- Ordered insertion -----------------------------------------------------------------------

template <class T>
int64_t SortInto(T* Data, size_t N, T Value, bool Ascending, bool AllowDuplicates) {
  if (Data == nullptr || N == 0) return -1;
  auto Reached = [&](T X) { return Ascending ? X >= Value : X <= Value; };
  size_t i = 0;
  while (i < N - 1 && !Reached(Data[i])) ++i;
  if (!Reached(Data[i])) return -1;
  if (Data[i] == Value && !AllowDuplicates) return -1;
  std::move_backward(Data + i, Data + N - 1, Data + N);
  Data[i] = Value;
  return static_cast<int64_t>(i);
}

template <class T>
void InsertInto(T* Data, size_t N, T Value, int64_t Index) {
  if (Data == nullptr || Index < 0 || static_cast<size_t>(Index) >= N) return;
  const auto Ix = static_cast<size_t>(Index);
  std::move_backward(Data + Ix, Data + N - 1, Data + N);
  Data[Ix] = Value;
}

// Narrows a position to the 32-bit results of the interface.
int32_t ToInt32(int64_t X) {
  return static_cast<int32_t>(std::clamp<int64_t>(X, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// ---- Selection -------------------------------------------------------------------------------

// The K-th smallest of Data[Lo..Hi] (Lo <= K <= Hi, all within the array), reordering the range.
// Partition around the middle element with two scans that both stop on equal values, so runs of
// equal values split evenly instead of costing one round per element. Should the middle element
// keep being a poor pivot (crafted input), a scrambled pivot position takes over, which keeps
// the expected time linear.
double SelectInPlace(double* Data, int64_t Lo, int64_t Hi, int64_t K) {
  const double First = Data[Lo];
  bool AllEqual = true;
  for (int64_t i = Lo + 1; i <= Hi && AllEqual; ++i) AllEqual = Data[i] == First;
  if (AllEqual) return First;

  const int RoundsBeforeScramble = 2 * std::bit_width(static_cast<uint64_t>(Hi - Lo + 1)) + 16;
  uint64_t Scramble = 0x9E3779B97F4A7C15ULL ^ static_cast<uint64_t>(Hi - Lo);
  int Rounds = 0;
  while (Lo < Hi) {
    int64_t PivotIx = Lo + (Hi - Lo) / 2;
    if (++Rounds > RoundsBeforeScramble) {
      Scramble = Scramble * 6364136223846793005ULL + 1442695040888963407ULL;
      PivotIx = Lo + static_cast<int64_t>((Scramble >> 33) % static_cast<uint64_t>(Hi - Lo + 1));
    }
    const double Pivot = Data[PivotIx];
    int64_t i = Lo;
    int64_t j = Hi;
    // Both scans stop at the pivot itself at the latest (also when it is NaN, which compares
    // false both ways); the bounds make that independent of the data anyway.
    while (i <= j) {
      while (i <= Hi && Data[i] < Pivot) ++i;
      while (j >= Lo && Pivot < Data[j]) --j;
      if (i <= j) {
        std::swap(Data[i], Data[j]);
        ++i;
        --j;
      }
    }
    // Now Data[Lo..j] <= Pivot <= Data[i..Hi] and everything between equals the pivot; the first
    // exchange moved both scans, so the range shrinks every round.
    if (K <= j)
      Hi = j;
    else if (K >= i)
      Lo = i;
    else
      return Data[K];
  }
  return Data[K];
}

// Clips LowIx..HighIx to 0..N-1 and K into the result; false for an empty range.
bool ClipSelectRange(size_t N, int32_t K, int32_t LowIx, int32_t HighIx, int64_t& Lo, int64_t& Hi,
                     int64_t& Kx) {
  Lo = std::max<int64_t>(LowIx, 0);
  Hi = std::min<int64_t>(HighIx, static_cast<int64_t>(N) - 1);
  if (Hi < Lo) return false;
  Kx = std::clamp<int64_t>(K, Lo, Hi);
  return true;
}

// ---- Untyped forms ---------------------------------------------------------------------------

enum class TElem { None, Double, Single, Int };

TElem ElemOf(TVarKind Kind) {
  switch (static_cast<int32_t>(Kind)) {
    case 0:
    case 1:
      return TElem::Double;
    case 2:
      return TElem::Single;
    case 3:
    case 4:
      return TElem::Int;
    default:
      return TElem::None;
  }
}

template <class T>
T ValueAt(const void* P) {
  return *static_cast<const T*>(P);
}

}  // namespace

// ---- Sorting ---------------------------------------------------------------------------------

void SortArray(std::span<double> Data, bool Ascending) {
  CombSort(Data.data(), Data.size(), Ascending);
}
void SortArray(std::span<float> Data, bool Ascending) {
  CombSort(Data.data(), Data.size(), Ascending);
}
void SortArray(std::span<int32_t> Data, bool Ascending) {
  CombSort(Data.data(), Data.size(), Ascending);
}

void SortArray(void* Data, int32_t NumElem, TVarKind Kind, bool Ascending) {
  if (Data == nullptr || NumElem <= 1) return;
  const auto N = static_cast<size_t>(NumElem);
  switch (ElemOf(Kind)) {
    case TElem::Double:
      return CombSort(static_cast<double*>(Data), N, Ascending);
    case TElem::Single:
      return CombSort(static_cast<float*>(Data), N, Ascending);
    case TElem::Int:
      return CombSort(static_cast<int32_t*>(Data), N, Ascending);
    case TElem::None:
      return;
  }
}

// ---- Ordered insertion -----------------------------------------------------------------------

int32_t SortIntoArray(std::span<double> Data, double Value, bool Ascending, bool AllowDuplicates) {
  return ToInt32(SortInto(Data.data(), Data.size(), Value, Ascending, AllowDuplicates));
}
int32_t SortIntoArray(std::span<float> Data, float Value, bool Ascending, bool AllowDuplicates) {
  return ToInt32(SortInto(Data.data(), Data.size(), Value, Ascending, AllowDuplicates));
}
int32_t SortIntoArray(std::span<int32_t> Data, int32_t Value, bool Ascending,
                      bool AllowDuplicates) {
  return ToInt32(SortInto(Data.data(), Data.size(), Value, Ascending, AllowDuplicates));
}

int32_t SortIntoArray(void* Data, int32_t LastIx, TVarKind Kind, const void* ValuePtr,
                      bool Ascending, bool AllowDuplicates) {
  if (Data == nullptr || ValuePtr == nullptr || LastIx < 1) return 0;
  const auto N = static_cast<size_t>(LastIx);
  int64_t Ix = -1;
  switch (ElemOf(Kind)) {
    case TElem::Double:
      Ix = SortInto(static_cast<double*>(Data), N, ValueAt<double>(ValuePtr), Ascending,
                    AllowDuplicates);
      break;
    case TElem::Single:
      Ix = SortInto(static_cast<float*>(Data), N, ValueAt<float>(ValuePtr), Ascending,
                    AllowDuplicates);
      break;
    case TElem::Int:
      Ix = SortInto(static_cast<int32_t*>(Data), N, ValueAt<int32_t>(ValuePtr), Ascending,
                    AllowDuplicates);
      break;
    case TElem::None:
      break;
  }
  return ToInt32(Ix + 1);
}

void InsertIntoArray(std::span<double> Data, double Value, int32_t Index) {
  InsertInto(Data.data(), Data.size(), Value, Index);
}
void InsertIntoArray(std::span<float> Data, float Value, int32_t Index) {
  InsertInto(Data.data(), Data.size(), Value, Index);
}
void InsertIntoArray(std::span<int32_t> Data, int32_t Value, int32_t Index) {
  InsertInto(Data.data(), Data.size(), Value, Index);
}

void InsertIntoArray(void* Data, int32_t LastIx, TVarKind Kind, const void* ValuePtr,
                     int32_t Index) {
  if (Data == nullptr || ValuePtr == nullptr || LastIx < 1) return;
  const auto N = static_cast<size_t>(LastIx);
  const int64_t Ix = int64_t{Index} - 1;
  switch (ElemOf(Kind)) {
    case TElem::Double:
      return InsertInto(static_cast<double*>(Data), N, ValueAt<double>(ValuePtr), Ix);
    case TElem::Single:
      return InsertInto(static_cast<float*>(Data), N, ValueAt<float>(ValuePtr), Ix);
    case TElem::Int:
      return InsertInto(static_cast<int32_t*>(Data), N, ValueAt<int32_t>(ValuePtr), Ix);
    case TElem::None:
      return;
  }
}

// ---- Selection -------------------------------------------------------------------------------

double QuickSelect(std::span<double> Data, int32_t K, int32_t LowIx, int32_t HighIx) {
  int64_t Lo = 0;
  int64_t Hi = 0;
  int64_t Kx = 0;
  if (!ClipSelectRange(Data.size(), K, LowIx, HighIx, Lo, Hi, Kx)) return 0.0;
  return SelectInPlace(Data.data(), Lo, Hi, Kx);
}

double QuickSelect(std::span<const double> Data, int32_t K, int32_t LowIx, int32_t HighIx,
                   double FreqValue) {
  int64_t Lo = 0;
  int64_t Hi = 0;
  int64_t Kx = 0;
  if (!ClipSelectRange(Data.size(), K, LowIx, HighIx, Lo, Hi, Kx)) return 0.0;
  const int64_t Rank = Kx - Lo;
  TDoubleArray Work;
  Work.reserve(static_cast<size_t>(Hi - Lo + 1));
  int64_t NLess = 0;
  int64_t NEq = 0;
  for (int64_t i = Lo; i <= Hi; ++i) {
    const double X = Data[static_cast<size_t>(i)];
    if (X == FreqValue) {
      ++NEq;
    } else {
      Work.push_back(X);
      if (X < FreqValue) ++NLess;
    }
  }
  if (Rank >= NLess && Rank < NLess + NEq) return FreqValue;
  const int64_t WorkRank = Rank < NLess ? Rank : Rank - NEq;
  return SelectInPlace(Work.data(), 0, static_cast<int64_t>(Work.size()) - 1, WorkRank);
}

int32_t HistoBinRef(double Value, double Origin, double BinWidth, double& Residual) {
  const double Q = std::floor((Value - Origin) / BinWidth);
  int32_t Ix = 0;
  if (BinWidth == 0.0 || std::isnan(Q))
    Ix = 0;
  else if (Q <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    Ix = std::numeric_limits<int32_t>::min();
  else if (Q >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    Ix = std::numeric_limits<int32_t>::max();
  else
    Ix = static_cast<int32_t>(Q);
  Residual = Value - (Origin + Ix * BinWidth);
  return Ix;
}

// ---- Exchanges -------------------------------------------------------------------------------

namespace {

template <class T>
bool SortSwapT(T& A, T& B, bool Ascending) {
  const bool Exchange = Ascending ? !(B > A) : B > A;
  if (Exchange) std::swap(A, B);
  return Exchange;
}

}  // namespace

bool SortSwap(double& A, double& B, bool Ascending) { return SortSwapT(A, B, Ascending); }
bool SortSwap(float& A, float& B, bool Ascending) { return SortSwapT(A, B, Ascending); }
bool SortSwap(int32_t& A, int32_t& B, bool Ascending) { return SortSwapT(A, B, Ascending); }
bool SortSwap(int64_t& A, int64_t& B, bool Ascending) { return SortSwapT(A, B, Ascending); }

void ExChange(int32_t& A, int32_t& B) { std::swap(A, B); }
void ExChange(uint32_t& A, uint32_t& B) { std::swap(A, B); }
void ExChange(int64_t& A, int64_t& B) { std::swap(A, B); }
void ExChange(uint8_t& A, uint8_t& B) { std::swap(A, B); }
void ExChange(int8_t& A, int8_t& B) { std::swap(A, B); }
void ExChange(uint16_t& A, uint16_t& B) { std::swap(A, B); }
void ExChange(bool& A, bool& B) { std::swap(A, B); }
void ExChange(char16_t& A, char16_t& B) { std::swap(A, B); }
void ExChange(float& A, float& B) { std::swap(A, B); }
void ExChange(double& A, double& B) { std::swap(A, B); }
void ExChange(long double& A, long double& B) { std::swap(A, B); }
void ExChange(std::string& A, std::string& B) { A.swap(B); }

void ExChange(void* P1, void* P2, uint16_t Len) {
  if (P1 == nullptr || P2 == nullptr) return;
  auto* A = static_cast<unsigned char*>(P1);
  auto* B = static_cast<unsigned char*>(P2);
  for (uint16_t i = 0; i < Len; ++i) std::swap(A[i], B[i]);
}

}  // namespace nux
