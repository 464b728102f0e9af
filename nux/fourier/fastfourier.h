// TFastFourier: one block of complex samples, a weighting window, an in-place FFT and the spectra
// read from its result.
//
// Sign convention: Transform computes X_k = sum_j x_j exp(+2 pi i j k / N) (positive exponent);
// InverseTransform uses the negative exponent and divides by N, so it restores the samples.
// Line k (0-based) stands where sample k+1 stood; line N-k mirrors line k.
//
// Block lengths are powers of two from 1 to MaxFFTLength (2^26); anything else, negative values
// included, is refused with "data length must be power of 2".
#pragma once

#include <cstdint>
#include <memory>

#include "nux/fourier/fftkernel.h"
#include "nux/frame/errors.h"
#include "nux/frame/types.h"
#include "nux/host/object.h"

namespace nux {

inline constexpr int32_t MaxFFTLength = int32_t{1} << fourier::MaxFFTLog2;

enum TFastFourierWgtWin : int32_t {
  fwRectangle,
  fwTriangle,
  fwCos2,
  fwGauss,
  fwHamming,
  fwBlackman,
  fwBlkmHarris,
  fwBlkmNuttall,
  fwTukey,
  fwUserDef
};

class TFastFourier : public TComponent {
 public:
  explicit TFastFourier(TComponent* AOwner = nullptr);
  ~TFastFourier() override;

  // Block length N. SetNumData reallocates the block (all samples 0) and the user weights (all 0),
  // also when N is unchanged.
  int32_t SpectrumSize() const { return FNumData; }
  void SetNumData(int32_t N);

  TFastFourierWgtWin WeightingWindow() const { return FWgtWin; }
  void SetWgtWin(TFastFourierWgtWin W) { FWgtWin = W; }

  // Taper fraction of the Tukey window, clipped to 0..1 (NaN counts as 0).
  double TukeyAlpha() const { return FTukAlpha; }
  void SetTukAlpha(double X);

  // Samples (before Transform) or spectral lines (after), 1-based; out of range: 0 / ignored.
  double RealSpec(int32_t Ix) const { return GetRealVal(Ix); }
  double ImagSpec(int32_t Ix) const { return GetImagVal(Ix); }
  double GetRealVal(int32_t Ix) const;
  double GetImagVal(int32_t Ix) const;
  void SetRealVal(int32_t Ix, double V);
  void SetImagVal(int32_t Ix, double V);

  // User weights of fwUserDef, 1-based.
  double WgtFunction(int32_t Ix) const { return GetWgtVal(Ix); }
  double GetWgtVal(int32_t Ix) const;
  void SetWgtVal(int32_t Ix, double V);

  void Clear();
  void ClearReal();
  void ClearImag();

  // Weights the samples with the current window (changing them), then transforms forward.
  void Transform();
  // Inverse transform (no window), divided by N.
  void InverseTransform();

  // Spectra by 0-based line k, 0 outside their valid range. Line 0 and, for N >= 2, line N/2
  // have no mirror partner and are counted once.
  double PowerSpec(int32_t K) const { return GetPowerSpec(K); }
  double Magnitude(int32_t K) const { return GetMagnitude(K); }
  double Phase(int32_t K) const { return GetPhase(K); }
  double FourSerSinCoeff(int32_t K) const { return GetFSerSin(K); }
  double FourSerCosCoeff(int32_t K) const { return GetFSerCos(K); }
  double GetPowerSpec(int32_t K) const;
  double GetMagnitude(int32_t K) const;
  double GetPhase(int32_t K) const;
  double GetFSerSin(int32_t K) const;
  double GetFSerCos(int32_t K) const;

  // Root mean square over the lines FirstIx..LastIx (clipped to 0..N/2, either order).
  double RMS(int32_t FirstIx, int32_t LastIx) const;

  // Frequency of line Ix (1..N/2) for the sampling interval SampleTime, else 0.
  double FreqOfLine(int32_t Ix, double SampleTime) const;
  // Nearest line (halves to even) of frequency F, 0 when outside 1..N/2.
  int32_t LineOfFreq(double F, double SampleTime) const;

  // Extremes over the block, cached until the data change.
  double PowerMax() const { return GetMaxPower(); }
  double MagniMax() const { return GetMaxMagni(); }
  double RealMax() const { return GetMaxReal(); }
  double ImagMax() const { return GetMaxImag(); }
  double RealMin() const { return GetMinReal(); }
  double ImagMin() const { return GetMinImag(); }
  double GetMaxPower() const;
  double GetMaxMagni() const;
  double GetMaxReal() const;
  double GetMaxImag() const;
  double GetMinReal() const;
  double GetMinImag() const;

 private:
  void ApplyWindow();
  void DoFFT(int Sign);
  void CalcMaxValues() const;
  // |X_k|^2 + |X_{N-k}|^2 with line 0 and line N/2 counted once.
  double PowerNumerator(int32_t K) const;
  double MagnitudeNumerator(int32_t K) const;
  double Re(int32_t K) const { return FData[2 * static_cast<size_t>(K)]; }
  double Im(int32_t K) const { return FData[2 * static_cast<size_t>(K) + 1]; }

  int32_t FNumData = 256;
  TFastFourierWgtWin FWgtWin = fwRectangle;
  mutable bool MaxValuesValid = false;
  mutable double FMaxReal = 0.0;
  mutable double FMaxImag = 0.0;
  mutable double FMinReal = 0.0;
  mutable double FMinImag = 0.0;
  mutable double FMaxPower = 0.0;
  mutable double FMaxMagni = 0.0;
  double FTukAlpha = 0.0;
  TDoubleArray FUserWgt;
  TDoubleArray FData;
  // Twiddles and work space for the current length, made on the first transform.
  std::unique_ptr<fourier::TFFTPlan> FPlan;
};

}  // namespace nux
