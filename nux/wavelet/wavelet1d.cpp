#include "nux/wavelet/wavelet1d.h"

#include <algorithm>

namespace nux {

namespace {

constexpr const char* msgNotPowerOf2 = "data length must be power of 2";
constexpr const char* msgBadOrder = "invalid order of Daubechies wavelet family";

// Orthonormal Daubechies scaling filters with 2, 4 and 6 taps.
constexpr double kLP1[] = {0.7071067811865476, 0.7071067811865476};
constexpr double kLP2[] = {0.48296291314453416, 0.8365163037378079, 0.2241438680420134,
                           -0.12940952255126037};
constexpr double kLP3[] = {0.33267055295008263,  0.8068915093110925,   0.45987750211849154,
                           -0.13501102001025458, -0.08544127388202666, 0.03522629188570953};

bool ValidLength(int32_t N) { return N > 0 && (N & (N - 1)) == 0 && N <= MaxWaveletLength; }

}  // namespace

TWavelet1D::TWavelet1D(TComponent* AOwner) : TComponent(AOwner) {
  GuardAlloc<ENUXWaveletError>(*this, msgNoMemoryOnHeap, [&] {
    FData.assign(static_cast<size_t>(FNumData), 0.0);
    BuildFilters(FOrder, FCoeffsLP, FCoeffsHP);
  });
}

void TWavelet1D::BuildFilters(int32_t K, TDoubleArray& LP, TDoubleArray& HP) const {
  const double* Src = K == 1 ? kLP1 : (K == 2 ? kLP2 : kLP3);
  const size_t Taps = 2 * static_cast<size_t>(K);
  LP.assign(Src, Src + Taps);
  HP.resize(Taps);
  // Quadrature mirror: HP[m] = (-1)^m LP[2K-1-m].
  for (size_t M = 0; M < Taps; ++M) HP[M] = (M % 2 == 0 ? 1.0 : -1.0) * LP[Taps - 1 - M];
}

void TWavelet1D::SetOrder(int32_t K) {
  if (K < 1 || K > 3) RaiseComponentError<ENUXWaveletError>(*this, msgBadOrder);
  TDoubleArray LP, HP;
  GuardAlloc<ENUXWaveletError>(*this, msgNoMemoryOnHeap, [&] { BuildFilters(K, LP, HP); });
  FCoeffsLP.swap(LP);
  FCoeffsHP.swap(HP);
  FOrder = K;
}

void TWavelet1D::SetNumData(int32_t N) {
  if (!ValidLength(N)) RaiseComponentError<ENUXWaveletError>(*this, msgNotPowerOf2);
  GuardAlloc<ENUXWaveletError>(*this, msgNoMemoryOnHeap, [&] {
    TDoubleArray NewData(static_cast<size_t>(N), 0.0);
    FData.swap(NewData);
  });
  FNumData = N;
}

double TWavelet1D::GetDataVal(int32_t Ix) const {
  return Ix >= 1 && Ix <= FNumData ? FData[static_cast<size_t>(Ix - 1)] : 0.0;
}

void TWavelet1D::SetDataVal(int32_t Ix, double V) {
  if (Ix >= 1 && Ix <= FNumData) FData[static_cast<size_t>(Ix - 1)] = V;
}

void TWavelet1D::Clear() { std::fill(FData.begin(), FData.end(), 0.0); }

bool TWavelet1D::TapPosition(int32_t I, int32_t M, int32_t N, int32_t& P) const {
  P = 2 * I + M + 2 - 2 * FOrder;
  if (P < 0) {
    switch (FWLSigExtMode) {
      case wseZeroPad:
        return false;
      case wseSymmetric:
        P = -P - 1;
        break;
      default:
        break;  // wseWrap, and values outside the enumeration
    }
  }
  // Short blocks (n = 2 with 6 taps) reach further than one period on either side.
  P %= N;
  if (P < 0) P += N;
  return true;
}

TDoubleArray TWavelet1D::WorkArray() {
  return GuardAlloc<ENUXWaveletError>(*this, msgNoMemoryOnHeap,
                                      [&] { return TDoubleArray(FData.size()); });
}

void TWavelet1D::ForwardStep(int32_t N, TDoubleArray& Work) {
  const int32_t H = N / 2;
  const int32_t Taps = 2 * FOrder;
  for (int32_t I = 0; I < H; ++I) {
    double A = 0.0, D = 0.0;
    for (int32_t M = 0; M < Taps; ++M) {
      int32_t P;
      if (!TapPosition(I, M, N, P)) continue;
      A += FCoeffsLP[M] * FData[P];
      D += FCoeffsHP[M] * FData[P];
    }
    Work[I] = A;
    Work[H + I] = D;
  }
  std::copy(Work.begin(), Work.begin() + N, FData.begin());
}

void TWavelet1D::InverseStep(int32_t N, TDoubleArray& Work) {
  const int32_t H = N / 2;
  const int32_t Taps = 2 * FOrder;
  std::fill(Work.begin(), Work.begin() + N, 0.0);
  for (int32_t I = 0; I < H; ++I) {
    const double A = FData[I], D = FData[H + I];
    for (int32_t M = 0; M < Taps; ++M) {
      int32_t P;
      if (!TapPosition(I, M, N, P)) continue;
      Work[P] += FCoeffsLP[M] * A + FCoeffsHP[M] * D;
    }
  }
  std::copy(Work.begin(), Work.begin() + N, FData.begin());
}

void TWavelet1D::Transform(int32_t Level) {
  if (FNumData < 2) return;
  TDoubleArray Work = WorkArray();
  Level = std::max(Level, 1);
  for (int32_t N = FNumData; N >= 2 && Level > 0; N /= 2, --Level) ForwardStep(N, Work);
}

void TWavelet1D::InverseTransform(int32_t Level) {
  if (FNumData < 2) return;
  TDoubleArray Work = WorkArray();
  Level = std::max(Level, 1);
  // Count up to N without doubling past it (N may be the largest accepted length).
  for (int32_t N = 2; Level > 0; --Level) {
    InverseStep(N, Work);
    if (N == FNumData) break;
    N *= 2;
  }
}

void TWavelet1D::SingleStep(bool Inverse) {
  if (FNumData < 2) return;
  TDoubleArray Work = WorkArray();
  if (Inverse)
    InverseStep(FNumData, Work);
  else
    ForwardStep(FNumData, Work);
}

}  // namespace nux
