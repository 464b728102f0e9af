#include "nux/fourier/fastfourier.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "nux/frame/rounding.h"
#include "nux/frame/univconst.h"

namespace nux {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr const char* msgNotPowerOf2 = "data length must be power of 2";

bool ValidLength(int32_t N) { return N > 0 && (N & (N - 1)) == 0 && N <= MaxFFTLength; }

}  // namespace

TFastFourier::TFastFourier(TComponent* AOwner) : TComponent(AOwner) {
  GuardAlloc<ENUXFourierError>(*this, msgNoMemoryOnHeap, [&] {
    FData.assign(2 * static_cast<size_t>(FNumData), 0.0);
    FUserWgt.assign(static_cast<size_t>(FNumData), 1.0);
  });
}

TFastFourier::~TFastFourier() = default;

void TFastFourier::SetNumData(int32_t N) {
  if (!ValidLength(N)) RaiseComponentError<ENUXFourierError>(*this, msgNotPowerOf2);
  GuardAlloc<ENUXFourierError>(*this, msgNoMemoryOnHeap, [&] {
    TDoubleArray NewData(2 * static_cast<size_t>(N), 0.0);
    TDoubleArray NewWgt(static_cast<size_t>(N), 0.0);
    FData.swap(NewData);
    FUserWgt.swap(NewWgt);
  });
  FNumData = N;
  FPlan.reset();
  MaxValuesValid = false;
}

void TFastFourier::SetTukAlpha(double X) {
  // NaN fails both comparisons; treat it as no taper.
  FTukAlpha = X >= 1.0 ? 1.0 : (X > 0.0 ? X : 0.0);
}

double TFastFourier::GetRealVal(int32_t Ix) const {
  return Ix >= 1 && Ix <= FNumData ? Re(Ix - 1) : 0.0;
}

double TFastFourier::GetImagVal(int32_t Ix) const {
  return Ix >= 1 && Ix <= FNumData ? Im(Ix - 1) : 0.0;
}

void TFastFourier::SetRealVal(int32_t Ix, double V) {
  if (Ix < 1 || Ix > FNumData) return;
  FData[2 * static_cast<size_t>(Ix - 1)] = V;
  MaxValuesValid = false;
}

void TFastFourier::SetImagVal(int32_t Ix, double V) {
  if (Ix < 1 || Ix > FNumData) return;
  FData[2 * static_cast<size_t>(Ix - 1) + 1] = V;
  MaxValuesValid = false;
}

double TFastFourier::GetWgtVal(int32_t Ix) const {
  return Ix >= 1 && Ix <= FNumData ? FUserWgt[static_cast<size_t>(Ix - 1)] : 0.0;
}

void TFastFourier::SetWgtVal(int32_t Ix, double V) {
  if (Ix >= 1 && Ix <= FNumData) FUserWgt[static_cast<size_t>(Ix - 1)] = V;
}

void TFastFourier::Clear() {
  std::fill(FData.begin(), FData.end(), 0.0);
  MaxValuesValid = false;
}

void TFastFourier::ClearReal() {
  for (size_t J = 0; J < FData.size(); J += 2) FData[J] = 0.0;
  MaxValuesValid = false;
}

void TFastFourier::ClearImag() {
  for (size_t J = 1; J < FData.size(); J += 2) FData[J] = 0.0;
  MaxValuesValid = false;
}

void TFastFourier::ApplyWindow() {
  const int32_t N = FNumData;
  const double Nd = N;
  auto Scale = [&](int32_t I, double W) {
    FData[2 * static_cast<size_t>(I - 1)] *= W;
    FData[2 * static_cast<size_t>(I - 1) + 1] *= W;
  };
  auto C = [&](int32_t I, double M) { return std::cos(M * kPi * (I - Nd / 2) / Nd); };
  switch (FWgtWin) {
    case fwTriangle:
      for (int32_t J = 1; J <= N / 2; ++J) {
        Scale(J, 2.0 * J / Nd);
        Scale(N + 1 - J, 2.0 * J / Nd);
      }
      break;
    case fwCos2:
      for (int32_t I = 1; I <= N; ++I) {
        const double V = C(I, 1);
        Scale(I, V * V);
      }
      break;
    case fwGauss:
      for (int32_t I = 1; I <= N; ++I) {
        const double T = 6.0 * (I - Nd / 2) / Nd;
        Scale(I, std::exp(-0.5 * T * T));
      }
      break;
    case fwHamming:
      for (int32_t I = 1; I <= N; ++I) Scale(I, 0.543478261 + (1 - 0.543478261) * C(I, 2));
      break;
    case fwBlackman:
      for (int32_t I = 1; I <= N; ++I) Scale(I, 0.42659 + 0.49656 * C(I, 2) + 0.076848 * C(I, 4));
      break;
    case fwBlkmHarris:
      for (int32_t I = 1; I <= N; ++I)
        Scale(I, 0.35875 + 0.48829 * C(I, 2) + 0.14128 * C(I, 4) + 0.01168 * C(I, 6));
      break;
    case fwBlkmNuttall:
      for (int32_t I = 1; I <= N; ++I)
        Scale(I, 0.3635819 + 0.4891775 * C(I, 2) + 0.1365995 * C(I, 4) + 0.0106411 * C(I, 6));
      break;
    case fwTukey: {
      // The right taper mirrors the left one about N/2 (distance N - i from the end), so the
      // window is symmetric for every alpha.
      const double Edge = FTukAlpha * Nd / 2;
      for (int32_t I = 1; I <= N; ++I) {
        double D;
        if (I < Edge)
          D = I;
        else if (I > Nd - Edge)
          D = Nd - I;
        else
          continue;
        Scale(I, (1 - std::cos(2 * kPi * D / (FTukAlpha * Nd))) / 2);
      }
      break;
    }
    case fwUserDef:
      for (int32_t I = 1; I <= N; ++I) Scale(I, FUserWgt[static_cast<size_t>(I - 1)]);
      break;
    default:  // fwRectangle, and any value outside the enumeration: weight 1
      break;
  }
}

void TFastFourier::DoFFT(int Sign) {
  if (!FPlan || FPlan->Size() != FNumData)
    GuardAlloc<ENUXFourierError>(*this, msgNoMemoryOnHeap,
                                 [&] { FPlan = std::make_unique<fourier::TFFTPlan>(FNumData); });
  FPlan->Execute(FData.data(), Sign < 0);
  MaxValuesValid = false;
}

void TFastFourier::Transform() {
  ApplyWindow();
  DoFFT(+1);
}

void TFastFourier::InverseTransform() { DoFFT(-1); }

double TFastFourier::PowerNumerator(int32_t K) const {
  const double A = Re(K) * Re(K) + Im(K) * Im(K);
  if (K == 0 || 2 * K == FNumData) return A;
  const int32_t M = FNumData - K;
  return A + (Re(M) * Re(M) + Im(M) * Im(M));
}

double TFastFourier::MagnitudeNumerator(int32_t K) const {
  if (K == 0 || 2 * K == FNumData) return std::hypot(Re(K), Im(K));
  const int32_t M = FNumData - K;
  return std::hypot(Re(K) + Re(M), Im(K) - Im(M));
}

double TFastFourier::GetPowerSpec(int32_t K) const {
  if (K < 0 || K > FNumData / 2) return 0.0;
  return PowerNumerator(K) / FNumData;
}

double TFastFourier::GetMagnitude(int32_t K) const {
  if (K < 0 || K > FNumData / 2) return 0.0;
  return MagnitudeNumerator(K) / FNumData;
}

double TFastFourier::GetPhase(int32_t K) const {
  if (K < 1 || K > FNumData / 2) return 0.0;
  if (Re(K) == 0.0) return Im(K) > 0.0 ? kPi / 2 : -kPi / 2;
  return std::atan(Im(K) / Re(K));
}

double TFastFourier::GetFSerCos(int32_t K) const {
  if (K < 0 || K > FNumData / 2) return 0.0;
  if (K == 0 || 2 * K == FNumData) return Re(K) / FNumData;
  return (Re(K) + Re(FNumData - K)) / FNumData;
}

double TFastFourier::GetFSerSin(int32_t K) const {
  if (K < 1 || K > FNumData / 2) return 0.0;
  return (Im(K) - Im(FNumData - K)) / FNumData;
}

double TFastFourier::RMS(int32_t FirstIx, int32_t LastIx) const {
  const int32_t Half = FNumData / 2;
  FirstIx = std::clamp(FirstIx, 0, Half);
  LastIx = std::clamp(LastIx, 0, Half);
  if (FirstIx > LastIx) std::swap(FirstIx, LastIx);
  double Sum = 0.0;
  for (int32_t K = FirstIx; K <= LastIx; ++K) Sum += PowerNumerator(K);
  return std::sqrt(Sum) / FNumData;
}

double TFastFourier::FreqOfLine(int32_t Ix, double SampleTime) const {
  if (Ix < 1 || Ix > FNumData / 2) return 0.0;
  return Ix / SampleTime / FNumData;
}

int32_t TFastFourier::LineOfFreq(double F, double SampleTime) const {
  // Compare as a double first: the product may be huge, infinite or NaN.
  const double Line = RoundEven(F * FNumData * SampleTime);
  if (Line >= 1.0 && Line <= FNumData / 2) return static_cast<int32_t>(Line);
  return 0;
}

void TFastFourier::CalcMaxValues() const {
  FMaxReal = -uc_MaxDouble;
  FMaxImag = -uc_MaxDouble;
  FMinReal = uc_MaxDouble;
  FMinImag = uc_MaxDouble;
  for (int32_t K = 0; K < FNumData; ++K) {
    FMaxReal = std::max(FMaxReal, Re(K));
    FMinReal = std::min(FMinReal, Re(K));
    FMaxImag = std::max(FMaxImag, Im(K));
    FMinImag = std::min(FMinImag, Im(K));
  }
  double MaxPower = 0.0;
  for (int32_t K = 1; K < FNumData / 2; ++K) MaxPower = std::max(MaxPower, PowerNumerator(K));
  double MaxMagni = 0.0;
  for (int32_t K = 1; K <= FNumData / 2; ++K) MaxMagni = std::max(MaxMagni, MagnitudeNumerator(K));
  FMaxPower = MaxPower / FNumData;
  FMaxMagni = MaxMagni / FNumData;
  MaxValuesValid = true;
}

double TFastFourier::GetMaxPower() const {
  if (!MaxValuesValid) CalcMaxValues();
  return FMaxPower;
}

double TFastFourier::GetMaxMagni() const {
  if (!MaxValuesValid) CalcMaxValues();
  return FMaxMagni;
}

double TFastFourier::GetMaxReal() const {
  if (!MaxValuesValid) CalcMaxValues();
  return FMaxReal;
}

double TFastFourier::GetMaxImag() const {
  if (!MaxValuesValid) CalcMaxValues();
  return FMaxImag;
}

double TFastFourier::GetMinReal() const {
  if (!MaxValuesValid) CalcMaxValues();
  return FMinReal;
}

double TFastFourier::GetMinImag() const {
  if (!MaxValuesValid) CalcMaxValues();
  return FMinImag;
}

}  // namespace nux
