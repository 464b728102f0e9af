// Definitions of the shared vector members: storage, access, filling, copying, reordering.
// Included only by vector_instances.cpp, which instantiates them for TVector and TIntVector.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

#include "nux/frame/combsort.h"
#include "nux/host/random.h"
#include "nux/kernels/norm.h"
#include "nux/vector/vector.h"

namespace nux {

namespace vector_detail {

// Integer vectors compute in 32-bit arithmetic that wraps instead of overflowing into
// undefined behaviour; doubles compute as usual.
template <class T>
T AddWrap(T A, T B) {
  if constexpr (std::is_integral_v<T>)
    return static_cast<T>(static_cast<uint32_t>(A) + static_cast<uint32_t>(B));
  else
    return A + B;
}
template <class T>
T SubWrap(T A, T B) {
  if constexpr (std::is_integral_v<T>)
    return static_cast<T>(static_cast<uint32_t>(A) - static_cast<uint32_t>(B));
  else
    return A - B;
}
template <class T>
T MulWrap(T A, T B) {
  if constexpr (std::is_integral_v<T>)
    return static_cast<T>(static_cast<uint32_t>(A) * static_cast<uint32_t>(B));
  else
    return A * B;
}
template <class T>
T AbsOf(T A) {
  if constexpr (std::is_integral_v<T>)
    return A < 0 ? SubWrap<T>(0, A) : A;  // the most negative integer stays as it is
  else
    return std::fabs(A);
}

// Clips an index to 0..Count-1 (Count >= 1).
inline int64_t ClipIndex(int64_t Ix, int64_t Count) {
  return std::clamp<int64_t>(Ix, 0, Count - 1);
}

}  // namespace vector_detail

template <class T, class Derived>
TVectorBase<T, Derived>::TVectorBase(TComponent* AOwner) : TNuxContainer(AOwner) {
  GuardAlloc<ENUXVectorError>(*this, msgNoMemoryOnHeap, [&] { FVec.assign(1, T{}); });
}

template <class T, class Derived>
bool TVectorBase<T, Derived>::Resize(int32_t NE) {
  if (NE == NrOfElem()) return true;
  if (NE <= 0) return false;
  // resize either succeeds or leaves the storage as it was.
  GuardAlloc<ENUXVectorError>(*this, msgNoMemory,
                              [&] { FVec.resize(static_cast<size_t>(NE), T{}); });
  Changed();
  Resized();
  return true;
}

template <class T, class Derived>
void TVectorBase<T, Derived>::SetVal(int32_t Elem, T Value) {
  if (Elem < 1 || Elem > NrOfElem()) return;
  FVec[static_cast<size_t>(Elem - 1)] = Value;
  FIsEmpty = false;
  Changed();
}

template <class T, class Derived>
void TVectorBase<T, Derived>::Fill(T Value) {
  std::fill(FVec.begin(), FVec.end(), Value);
  FIsEmpty = false;
  Changed();
}

template <class T, class Derived>
void TVectorBase<T, Derived>::FillSerial(T Offset, T Diff) {
  // Repeated addition, as documented, not Offset + k * Diff.
  T Running = Offset;
  for (T& X : FVec) {
    X = Running;
    Running = vector_detail::AddWrap(Running, Diff);
  }
  FIsEmpty = false;
  Changed();
}

template <class T, class Derived>
void TVectorBase<T, Derived>::Clear() {
  std::fill(FVec.begin(), FVec.end(), T{});
  FIsEmpty = true;
  Changed();
}

template <class T, class Derived>
void TVectorBase<T, Derived>::AbsVal() {
  for (T& X : FVec) X = vector_detail::AbsOf(X);
  Changed();
}

template <class T, class Derived>
int32_t TVectorBase<T, Derived>::CopyFrom(const Derived* Src, int32_t SrcElemLo, int32_t SrcElemHi,
                                          int32_t DestElem) {
  if (Src == nullptr) return -1;
  const int32_t SrcN = Src->NrOfElem();
  if (SrcElemLo == 0 && SrcElemHi == 0) {
    SrcElemLo = 1;
    SrcElemHi = SrcN;
  } else {
    if (DestElem < 1 || DestElem > NrOfElem()) return -3;
    if (SrcElemLo < 1 || SrcElemLo > SrcN || SrcElemHi < 1 || SrcElemHi > SrcN) return -2;
    if (SrcElemLo > SrcElemHi) std::swap(SrcElemLo, SrcElemHi);
  }
  // Copy from a snapshot, so that copying a vector onto itself reads the old values.
  const TArray Values(Src->FVec.begin() + (SrcElemLo - 1), Src->FVec.begin() + SrcElemHi);
  for (size_t I = 0; I < Values.size(); ++I)
    SetVal(static_cast<int32_t>(std::min<int64_t>(int64_t{DestElem} + int64_t(I), INT32_MAX)),
           Values[I]);
  Changed();
  return 0;
}

template <class T, class Derived>
int32_t TVectorBase<T, Derived>::CopyFrom(const TArray& Src, int32_t SrcElemLo, int32_t SrcElemHi,
                                          int32_t DestElem) {
  if (Src.empty()) return -1;
  const int64_t Len = static_cast<int64_t>(Src.size());
  int64_t Lo = SrcElemLo, Hi = SrcElemHi;
  if (Lo == 0 && Hi == 0) {
    Hi = Len - 1;
  } else {
    if (DestElem < 1 || DestElem > NrOfElem()) return -3;
    if (Lo < 0 || Lo >= Len || Hi < 0 || Hi >= Len) return -2;
    if (Lo > Hi) std::swap(Lo, Hi);
  }
  for (int64_t I = Lo; I <= Hi; ++I) {
    const int64_t Target = int64_t{DestElem} + (I - Lo);
    if (Target > NrOfElem()) break;  // all further targets are beyond N too
    SetVal(static_cast<int32_t>(Target), Src[static_cast<size_t>(I)]);
  }
  Changed();
  return 0;
}

template <class T, class Derived>
void TVectorBase<T, Derived>::CopyFrom2DArrayRow(const T2DArray& SrcArray, int32_t Row,
                                                 int32_t FirstCol, int32_t LastCol,
                                                 int32_t DestElem) {
  const int64_t Cols = static_cast<int64_t>(SrcArray.size());
  if (Cols == 0 || SrcArray[0].empty() || IsRagged(SrcArray)) return;
  const int64_t Rows = static_cast<int64_t>(SrcArray[0].size());
  const int64_t R = vector_detail::ClipIndex(Row, Rows);
  int64_t C1 = vector_detail::ClipIndex(FirstCol, Cols),
          C2 = vector_detail::ClipIndex(LastCol, Cols);
  if (C1 > C2) std::swap(C1, C2);
  if (DestElem > NrOfElem() || int64_t{DestElem} + (C2 - C1) < 1) return;
  for (int64_t C = C1; C <= C2; ++C) {
    const auto& Column = SrcArray[static_cast<size_t>(C)];
    const T Value = Column[static_cast<size_t>(R)];
    const int64_t Target = int64_t{DestElem} + (C - C1);
    if (Target >= 1 && Target <= NrOfElem()) SetVal(static_cast<int32_t>(Target), Value);
  }
  Changed();
}

template <class T, class Derived>
void TVectorBase<T, Derived>::CopyFrom2DArrayColumn(const T2DArray& SrcArray, int32_t Col,
                                                    int32_t FirstRow, int32_t LastRow,
                                                    int32_t DestElem) {
  const int64_t Cols = static_cast<int64_t>(SrcArray.size());
  if (Cols == 0 || SrcArray[0].empty() || IsRagged(SrcArray)) return;
  const auto& Column = SrcArray[static_cast<size_t>(vector_detail::ClipIndex(Col, Cols))];
  const int64_t Rows = static_cast<int64_t>(SrcArray[0].size());
  int64_t R1 = vector_detail::ClipIndex(FirstRow, Rows),
          R2 = vector_detail::ClipIndex(LastRow, Rows);
  if (R1 > R2) std::swap(R1, R2);
  if (DestElem > NrOfElem() || int64_t{DestElem} + (R2 - R1) < 1) return;
  for (int64_t R = R1; R <= R2; ++R) {
    const T Value = Column[static_cast<size_t>(R)];
    const int64_t Target = int64_t{DestElem} + (R - R1);
    if (Target >= 1 && Target <= NrOfElem()) SetVal(static_cast<int32_t>(Target), Value);
  }
  Changed();
}

template <class T, class Derived>
void TVectorBase<T, Derived>::Clone(const Derived* Source) {
  if (Source == nullptr) return;
  // Cloning itself rewrites the same values, so no snapshot is needed.
  Resize(Source->NrOfElem());
  for (int32_t K = 1; K <= Source->NrOfElem(); ++K) SetVal(K, Source->GetVal(K));
  Changed();
}

template <class T, class Derived>
void TVectorBase<T, Derived>::Assign(const TPersistent* Source) {
  const auto* Src = dynamic_cast<const Derived*>(Source);
  if (Src == nullptr) return TNuxContainer::Assign(Source);
  if (Src == this) return;
  GuardAlloc<ENUXVectorError>(*this, msgNoMemory, [&] { FVec = Src->FVec; });
  FIsEmpty = Src->FIsEmpty;
  AssignContainerEvents(*Src);
  this->AssignSortExchangeEvent(*Src);
}

template <class T, class Derived>
void TVectorBase<T, Derived>::AssignTo(TPersistent* Dest) const {
  if (auto* D = dynamic_cast<Derived*>(Dest)) return D->Assign(this);
  TNuxContainer::AssignTo(Dest);
}

template <class T, class Derived>
void TVectorBase<T, Derived>::CopyToArray(TArray& DestArray, int32_t LowElem, int32_t HighElem,
                                          int32_t DestElem) const {
  MakeValidElemRange(LowElem, HighElem);
  const int64_t Start = std::max<int32_t>(DestElem, 0);
  const int64_t Count = int64_t{HighElem} - LowElem + 1;
  const int64_t NewLen = Start + Count;
  // Positions are exchanged with 32-bit indices, so a longer array cannot be addressed.
  if (NewLen > std::numeric_limits<int32_t>::max())
    RaiseComponentError<ENUXVectorError>(*this, msgNoMemory);
  GuardAlloc<ENUXVectorError>(*this, msgNoMemory,
                              [&] { DestArray.resize(static_cast<size_t>(NewLen)); });
  std::copy(FVec.begin() + (LowElem - 1), FVec.begin() + HighElem, DestArray.begin() + Start);
}

template <class T, class Derived>
void TVectorBase<T, Derived>::CopyToArray(T2DArray& DestArray, int32_t LowElem, int32_t HighElem,
                                          int32_t DestCol, int32_t DestRow, bool AsColumn) const {
  const int64_t Cols = static_cast<int64_t>(DestArray.size());
  if (Cols == 0 || DestArray[0].empty() || IsRagged(DestArray)) return;
  const int64_t Rows = static_cast<int64_t>(DestArray[0].size());
  MakeValidElemRange(LowElem, HighElem);
  const int64_t C0 = vector_detail::ClipIndex(DestCol, Cols),
                R0 = vector_detail::ClipIndex(DestRow, Rows);
  for (int64_t K = LowElem; K <= HighElem; ++K) {
    const int64_t C = AsColumn ? C0 : C0 + (K - LowElem);
    const int64_t R = AsColumn ? R0 + (K - LowElem) : R0;
    if (C >= Cols || R >= Rows) break;
    DestArray[static_cast<size_t>(C)][static_cast<size_t>(R)] = FVec[static_cast<size_t>(K - 1)];
  }
}

template <class T, class Derived>
void TVectorBase<T, Derived>::Mirror() {
  std::reverse(FVec.begin(), FVec.end());
  Changed();
}

template <class T, class Derived>
void TVectorBase<T, Derived>::ShuffleElems() {
  const int32_t N = NrOfElem();
  for (int32_t K = 0; K < N; ++K) {
    const auto I = static_cast<size_t>(RandomInt(N)), J = static_cast<size_t>(RandomInt(N));
    std::swap(FVec[I], FVec[J]);
  }
}

template <class T, class Derived>
void TVectorBase<T, Derived>::SortElems(bool Ascending, int32_t RangeFirst, int32_t RangeLast) {
  if (RangeFirst == 0 && RangeLast == 0) {
    RangeFirst = 1;
    RangeLast = NrOfElem();
  }
  if (RangeLast < RangeFirst) std::swap(RangeFirst, RangeLast);
  RangeFirst = std::clamp(RangeFirst, 1, NrOfElem());
  RangeLast = std::clamp(RangeLast, 1, NrOfElem());
  if (RangeLast - RangeFirst <= 0) return;
  const auto At = [this](int64_t K) -> T& { return FVec[static_cast<size_t>(K - 1)]; };
  CombSort(
      RangeFirst, RangeLast,
      [&](int64_t I, int64_t J) { return Ascending ? At(I) > At(J) : At(J) > At(I); },
      [&](int64_t I, int64_t J) {
        std::swap(At(I), At(J));
        this->SortExchange(ekElements, static_cast<int32_t>(I), static_cast<int32_t>(J), 0, 0);
      });
  Changed();
}

template <class T, class Derived>
bool TVectorBase<T, Derived>::IsDichotomous(T& Value1, T& Value2) const {
  Value1 = Value2 = T{};
  if (NrOfElem() < 2) return false;
  Value1 = Value2 = FVec[0];
  bool HaveSecond = false;
  // Exact equality: a NaN differs from everything, itself included.
  for (size_t K = 1; K < FVec.size(); ++K) {
    const T X = FVec[K];
    if (X == Value1 || (HaveSecond && X == Value2)) continue;
    if (HaveSecond) return false;
    Value2 = X;
    HaveSecond = true;
  }
  return true;
}

template <class T, class Derived>
double TVectorBase<T, Derived>::CalcVecLeng() const {
  return kernels::EuclideanNorm(
      [this](auto&& Visit) {
        for (const T X : FVec) Visit(static_cast<double>(X));
      },
      kernels::nmDirectWhenSafe);
}

template <class T, class Derived>
std::string TVectorBase<T, Derived>::CRCofData() const {
  return nux::CRCofData(std::span<const T>(FVec));
}

}  // namespace nux
