// Definitions of the shared vector statistics, comparisons, arithmetic and searches.
// Included only by vector_instances.cpp.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

#include "nux/frame/moments.h"
#include "nux/math1/sorting.h"
#include "nux/vector/vector_core_impl.h"

namespace nux {

template <class T, class Derived>
T TVectorBase<T, Derived>::Sum(int32_t LowElem, int32_t HighElem) const {
  MakeValidElemRange(LowElem, HighElem);
  T S{};
  for (int32_t K = LowElem; K <= HighElem; ++K) S = vector_detail::AddWrap(S, FVec[size_t(K - 1)]);
  return S;
}

template <class T, class Derived>
void TVectorBase<T, Derived>::MeanVar(int32_t LowElem, int32_t HighElem, double& Mean,
                                      double& Variance) const {
  MakeValidElemRange(LowElem, HighElem);
  const T* First = FVec.data() + (LowElem - 1);
  StableMeanVar(
      HighElem - LowElem + 1, [First](int64_t I) { return First[I]; }, Mean, Variance);
}

template <class T, class Derived>
void TVectorBase<T, Derived>::MinMax(int32_t LowElem, int32_t HighElem, T& Minimum, T& Maximum,
                                     int32_t& MinIx, int32_t& MaxIx) const {
  MakeValidElemRange(LowElem, HighElem);
  // Start from the first comparable element, so that the result is always a value of the range
  // (the extreme values of the type included).
  if constexpr (std::is_floating_point_v<T>) {
    Minimum = std::numeric_limits<T>::infinity();
    Maximum = -std::numeric_limits<T>::infinity();
  } else {
    Minimum = std::numeric_limits<T>::max();
    Maximum = std::numeric_limits<T>::min();
  }
  MinIx = MaxIx = 0;
  for (int32_t K = LowElem; K <= HighElem; ++K) {
    const T X = FVec[size_t(K - 1)];
    if constexpr (std::is_floating_point_v<T>)
      if (std::isnan(X)) continue;
    if (MinIx == 0 || X < Minimum) {
      Minimum = X;
      MinIx = K;
    }
    if (MaxIx == 0 || X > Maximum) {
      Maximum = X;
      MaxIx = K;
    }
  }
}

template <class T, class Derived>
void TVectorBase<T, Derived>::MinMax(int32_t LowElem, int32_t HighElem, T& Minimum,
                                     T& Maximum) const {
  int32_t MinIx = 0, MaxIx = 0;
  MinMax(LowElem, HighElem, Minimum, Maximum, MinIx, MaxIx);
}

template <class T, class Derived>
double TVectorBase<T, Derived>::GeometricMean(int32_t LowElem, int32_t HighElem) const {
  MakeValidElemRange(LowElem, HighElem);
  double LogSum = 0.0;
  bool AnyZero = false;
  for (int32_t K = LowElem; K <= HighElem; ++K) {
    const double X = static_cast<double>(FVec[size_t(K - 1)]);
    if (X < 0.0)
      RaiseComponentError<ENUXVectorError>(*this, "negative argument passed to GeometricMean");
    if (X == 0.0)
      AnyZero = true;
    else
      LogSum += std::log(X);
  }
  if (AnyZero) return 0.0;
  return std::exp(LogSum / (HighElem - LowElem + 1));
}

template <class T, class Derived>
double TVectorBase<T, Derived>::HarmonicMean(int32_t LowElem, int32_t HighElem) const {
  MakeValidElemRange(LowElem, HighElem);
  double RecSum = 0.0;
  for (int32_t K = LowElem; K <= HighElem; ++K) {
    const double X = static_cast<double>(FVec[size_t(K - 1)]);
    if (X <= 0.0)
      RaiseComponentError<ENUXVectorError>(*this,
                                           "negative or zero argument passed to HarmonicMean");
    RecSum += 1.0 / X;
  }
  return (HighElem - LowElem + 1) / RecSum;
}

template <class T, class Derived>
void TVectorBase<T, Derived>::SkewKurt(int32_t LowElem, int32_t HighElem, double& Skewness,
                                       double& Kurtosis) const {
  SkewKurtMoments(LowElem, HighElem, Skewness, Kurtosis);
}

// Population skewness and excess kurtosis; false (both 0) for fewer than 4 values or no spread,
// both NaN when an element is NaN or infinite.
template <class T, class Derived>
bool TVectorBase<T, Derived>::SkewKurtMoments(int32_t LowElem, int32_t HighElem, double& Skewness,
                                              double& Kurtosis) const {
  Skewness = Kurtosis = 0.0;
  MakeValidElemRange(LowElem, HighElem);
  const int64_t N = HighElem - LowElem + 1;
  if (N < 4) return false;
  const T* First = FVec.data() + (LowElem - 1);
  const TCentralSums C = CentralSums(
      N, [First](int64_t I) { return First[I]; }, true);
  const double S = std::sqrt(C.S2 / static_cast<double>(N - 1));
  if (S == 0.0) return false;
  // A NaN or infinite element leaves S undefined: the moments are NaN, not a plausible 0.
  if (!std::isfinite(S)) {
    Skewness = Kurtosis = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  const double Nd = static_cast<double>(N);
  Skewness = C.S3 / Nd / (S * S * S);
  Kurtosis = C.S4 / Nd / (S * S * S * S) - 3.0;
  return true;
}

template <class T, class Derived>
void TVectorBase<T, Derived>::SkewKurtSample(int32_t LowElem, int32_t HighElem, double& Skewness,
                                             double& Kurtosis) const {
  // Without a spread there are no moments to correct: both stay 0.
  if (!SkewKurtMoments(LowElem, HighElem, Skewness, Kurtosis)) return;
  MakeValidElemRange(LowElem, HighElem);
  const double N = HighElem - LowElem + 1;
  Skewness = Skewness * N * N / ((N - 1) * (N - 2));
  Kurtosis = (Kurtosis + 3.0) * N * N * (N + 1) / ((N - 1) * (N - 2) * (N - 3)) -
             3.0 * (N - 1) * (N - 1) / ((N - 2) * (N - 3));
}

template <class T, class Derived>
typename TVectorBase<T, Derived>::TArray TVectorBase<T, Derived>::SortedRange(
    int32_t LowElem, int32_t HighElem) const {
  MakeValidElemRange(LowElem, HighElem);
  TArray Work;
  GuardAlloc<ENUXVectorError>(*this, msgNoMemoryOnHeap, [&] {
    Work.assign(FVec.begin() + (LowElem - 1), FVec.begin() + HighElem);
  });
  // A NaN has no place in an order (and would stop the comb sort from ordering its neighbours).
  if constexpr (std::is_floating_point_v<T>) std::erase_if(Work, [](T X) { return std::isnan(X); });
  SortArray(std::span<T>(Work), true);
  return Work;
}

template <class T, class Derived>
T TVectorBase<T, Derived>::Mode(int32_t LowElem, int32_t HighElem) const {
  const TArray A = SortedRange(LowElem, HighElem);
  if (A.empty()) return std::numeric_limits<T>::quiet_NaN();  // NaNs only
  T Best = A[0];
  int64_t BestRun = 1, Run = 1;
  for (size_t J = 1; J < A.size(); ++J) {
    Run = (A[J] == A[J - 1]) ? Run + 1 : 1;
    if (Run > BestRun) {
      BestRun = Run;
      Best = A[J];
    }
  }
  return Best;
}

template <class T, class Derived>
bool TVectorBase<T, Derived>::Quartiles(int32_t LowElem, int32_t HighElem, double& Q1, double& Q2,
                                        double& Q3) const {
  Q1 = Q2 = Q3 = 0.0;
  const TArray A = SortedRange(LowElem, HighElem);
  const int64_t N = static_cast<int64_t>(A.size());
  if (N == 0) return false;  // NaNs only
  if (N == 1) {
    Q1 = Q2 = Q3 = static_cast<double>(A[0]);
    return true;
  }
  const auto Quartile = [&](double P) { return QuartileOfSorted(A.data(), N, P); };
  Q1 = Quartile(0.25);
  Q2 = Quartile(0.5);
  Q3 = Quartile(0.75);
  return true;
}

template <class T, class Derived>
double TVectorBase<T, Derived>::Percentile(double Prob, int32_t LowElem, int32_t HighElem) const {
  const TArray A = SortedRange(LowElem, HighElem);
  const int64_t N = static_cast<int64_t>(A.size());
  if (N == 0) return std::numeric_limits<double>::quiet_NaN();  // NaNs only
  if (std::isnan(Prob)) Prob = 0.0;
  Prob = std::clamp(Prob, 0.0, 100.0);
  if (N == 1) return static_cast<double>(A[0]);
  if (Prob == 100.0) return static_cast<double>(A[size_t(N - 1)]);
  const double H = static_cast<double>(N - 1) * Prob / 100.0;
  const auto K = std::min<int64_t>(static_cast<int64_t>(std::floor(H)), N - 2);
  const double F = H - static_cast<double>(K);
  const double Lo = static_cast<double>(A[size_t(K)]), Hi = static_cast<double>(A[size_t(K + 1)]);
  return F == 0.0 ? Lo : Lo + (Hi - Lo) * F;
}

template <class T, class Derived>
void TVectorBase<T, Derived>::RequireSameSize(const Derived& OtherVec) const {
  if (OtherVec.NrOfElem() != NrOfElem())
    RaiseComponentError<ENUXVectorError>(*this, "vectors have different dimensions");
}

template <class T, class Derived>
T TVectorBase<T, Derived>::DotProduct(const Derived* OtherVec) const {
  if (OtherVec == nullptr) return T{};
  RequireSameSize(*OtherVec);
  T S{};
  for (size_t K = 0; K < FVec.size(); ++K)
    S = vector_detail::AddWrap(S, vector_detail::MulWrap(FVec[K], OtherVec->Data()[K]));
  return S;
}

template <class T, class Derived>
double TVectorBase<T, Derived>::EuclideanDistance(const Derived* OtherVec) const {
  if (OtherVec == nullptr) return 0.0;
  if (OtherVec->NrOfElem() != NrOfElem())
    throw ENUXVectorError("EuclideanDistance: dimensions of vectors do not match");
  double S = 0.0;
  for (size_t K = 0; K < FVec.size(); ++K) {
    const double D = static_cast<double>(FVec[K]) - static_cast<double>(OtherVec->Data()[K]);
    S += D * D;
  }
  return std::sqrt(S);
}

template <class T, class Derived>
double TVectorBase<T, Derived>::PearsonCorrCoeff(const Derived* OtherVec) const {
  if (OtherVec == nullptr || OtherVec->NrOfElem() != NrOfElem() || NrOfElem() < 2) return 0.0;
  const T* X = FVec.data();
  const T* Y = OtherVec->Data().data();
  const int64_t N = NrOfElem();
  double SumSqX = 0.0, SumSqY = 0.0;
  for (int64_t I = 0; I < N; ++I) {
    SumSqX += static_cast<double>(X[I]) * static_cast<double>(X[I]);
    SumSqY += static_cast<double>(Y[I]) * static_cast<double>(Y[I]);
  }
  if (!(SumSqX > 0.0) || !(SumSqY > 0.0)) return 0.0;
  const auto GetX = [X](int64_t I) { return X[I]; };
  const auto GetY = [Y](int64_t I) { return Y[I]; };
  const TCentralSums Cx = CentralSums(N, GetX), Cy = CentralSums(N, GetY);
  if (Cx.S2 == 0.0 || Cy.S2 == 0.0) return 0.0;
  const double Sxy = CentralCoSum(N, GetX, GetY, Cx.Mean, Cy.Mean);
  return Sxy / std::sqrt(std::fabs(Cx.S2 * Cy.S2));
}

template <class T, class Derived>
T TVectorBase<T, Derived>::Correlate(const Derived* OtherVec, int32_t ElemShift) const {
  if (OtherVec == nullptr) return T{};
  const int64_t Lo = std::max<int64_t>(1, int64_t{ElemShift} + 1);
  const int64_t Hi = std::min<int64_t>(NrOfElem(), int64_t{ElemShift} + OtherVec->NrOfElem());
  if (Hi - Lo + 1 < 2) return T{};
  T S{};
  for (int64_t I = Lo; I <= Hi; ++I)
    S = vector_detail::AddWrap(
        S,
        vector_detail::MulWrap(FVec[size_t(I - 1)], OtherVec->Data()[size_t(I - ElemShift - 1)]));
  return S;
}

template <class T, class Derived>
void TVectorBase<T, Derived>::Add(const Derived* OtherVec) {
  if (OtherVec == nullptr) return;
  RequireSameSize(*OtherVec);
  const TArray& Y = OtherVec->Data();
  for (size_t K = 0; K < FVec.size(); ++K) FVec[K] = vector_detail::AddWrap(FVec[K], Y[K]);
  Changed();
}

template <class T, class Derived>
void TVectorBase<T, Derived>::Subtract(const Derived* OtherVec) {
  if (OtherVec == nullptr) return;
  RequireSameSize(*OtherVec);
  const TArray& Y = OtherVec->Data();
  for (size_t K = 0; K < FVec.size(); ++K) FVec[K] = vector_detail::SubWrap(FVec[K], Y[K]);
  Changed();
}

template <class T, class Derived>
void TVectorBase<T, Derived>::SMult(T Scalar) {
  for (T& X : FVec) X = vector_detail::MulWrap(X, Scalar);
  Changed();
}

template <class T, class Derived>
int32_t TVectorBase<T, Derived>::Find(int32_t LowElem, int32_t HighElem, T Value) const {
  MakeValidElemRange(LowElem, HighElem);
  double Best = std::numeric_limits<double>::infinity();
  int32_t BestIx = 0;
  for (int32_t K = LowElem; K <= HighElem; ++K) {
    const double D =
        std::fabs(static_cast<double>(FVec[size_t(K - 1)]) - static_cast<double>(Value));
    if (D < Best) {
      Best = D;
      BestIx = K;
    }
  }
  return BestIx;
}

template <class T, class Derived>
int32_t TVectorBase<T, Derived>::FindExact(int32_t LowElem, int32_t HighElem, T Value) const {
  MakeValidElemRange(LowElem, HighElem);
  for (int32_t K = LowElem; K <= HighElem; ++K)
    if (FVec[size_t(K - 1)] == Value) return K;
  return 0;
}

template <class T, class Derived>
int32_t TVectorBase<T, Derived>::FindInSortedVector(bool Ascending, T Value) const {
  int32_t Lo = 1, Hi = NrOfElem();
  while (Hi - Lo >= 2) {
    const int32_t Mid = Lo + (Hi - Lo) / 2;
    const T M = GetVal(Mid);
    if (M == Value) return Mid;
    if (Ascending == (Value < M))
      Hi = Mid;
    else
      Lo = Mid;
  }
  const double DLo = std::fabs(static_cast<double>(GetVal(Lo)) - static_cast<double>(Value));
  const double DHi = std::fabs(static_cast<double>(GetVal(Hi)) - static_cast<double>(Value));
  return DHi > DLo ? Lo : Hi;
}

}  // namespace nux
