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

// Longest block, 2^26 samples.
inline constexpr int32_t MaxFFTLength = int32_t{1} << fourier::MaxFFTLog2;

// Weighting windows of Transform: none (rectangle), triangle, cos^2, Gauss, Hamming,
// Blackman, Blackman-Harris, Blackman-Nuttall, Tukey (taper set by SetTukAlpha), the user's
// weights.
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

// One block of N complex samples (256 at first) with a window, the FFT and its spectra.
class TFastFourier : public TComponent {
 public:
  // A block of 256 zero samples, rectangle window, user weights all 1.
  explicit TFastFourier(TComponent* AOwner = nullptr);
  ~TFastFourier() override;

  // Block length N. SetNumData reallocates the block (all samples 0) and the user weights (all 0),
  // also when N is unchanged.
  int32_t SpectrumSize() const { return FNumData; }
  // Sets N; a length that is no power of two up to MaxFFTLength raises ENUXFourierError.
  void SetNumData(int32_t N);

  // The window Transform applies.
  TFastFourierWgtWin WeightingWindow() const { return FWgtWin; }
  // Chooses the window; a value outside the enumeration acts as fwRectangle.
  void SetWgtWin(TFastFourierWgtWin W) { FWgtWin = W; }

  // Taper fraction of the Tukey window, clipped to 0..1 (NaN counts as 0).
  double TukeyAlpha() const { return FTukAlpha; }
  // Sets the Tukey taper fraction, clipped to 0..1 (NaN: 0).
  void SetTukAlpha(double X);

  // Samples (before Transform) or spectral lines (after), 1-based; out of range: 0 / ignored.
  double RealSpec(int32_t Ix) const { return GetRealVal(Ix); }
  // Imaginary part of sample or line Ix (GetImagVal).
  double ImagSpec(int32_t Ix) const { return GetImagVal(Ix); }
  // Real part at Ix (1-based); 0 outside 1..N.
  double GetRealVal(int32_t Ix) const;
  // Imaginary part at Ix (1-based); 0 outside 1..N.
  double GetImagVal(int32_t Ix) const;
  // Sets the real part at Ix (1-based); ignored outside 1..N.
  void SetRealVal(int32_t Ix, double V);
  // Sets the imaginary part at Ix (1-based); ignored outside 1..N.
  void SetImagVal(int32_t Ix, double V);

  // User weights of fwUserDef, 1-based.
  double WgtFunction(int32_t Ix) const { return GetWgtVal(Ix); }
  // User weight Ix (1-based); 0 outside 1..N.
  double GetWgtVal(int32_t Ix) const;
  // Sets user weight Ix (1-based); ignored outside 1..N.
  void SetWgtVal(int32_t Ix, double V);

  // Sets every sample, both parts, to 0.
  void Clear();
  // Sets the real parts to 0.
  void ClearReal();
  // Sets the imaginary parts to 0.
  void ClearImag();

  // Weights the samples with the current window (changing them), then transforms forward.
  void Transform();
  // Inverse transform (no window), divided by N.
  void InverseTransform();

  // Spectra by 0-based line k, 0 outside their valid range. Line 0 and, for N >= 2, line N/2
  // have no mirror partner and are counted once.
  double PowerSpec(int32_t K) const { return GetPowerSpec(K); }
  // Amplitude of line K (GetMagnitude).
  double Magnitude(int32_t K) const { return GetMagnitude(K); }
  // Phase of line K (GetPhase).
  double Phase(int32_t K) const { return GetPhase(K); }
  // Sine coefficient of the real Fourier series at line K (GetFSerSin).
  double FourSerSinCoeff(int32_t K) const { return GetFSerSin(K); }
  // Cosine coefficient of the real Fourier series at line K (GetFSerCos).
  double FourSerCosCoeff(int32_t K) const { return GetFSerCos(K); }
  // Power of line K in 0..N/2: (|X_k|^2 + |X_{N-k}|^2) / N; the lines sum to the samples' energy.
  double GetPowerSpec(int32_t K) const;
  // Magnitude of line K in 0..N/2: |X_k + conj(X_{N-k})| / N, line 0 and N/2 counted once.
  double GetMagnitude(int32_t K) const;
  // Phase of line K in 1..N/2: atan(Im X_k / Re X_k) in -pi/2..pi/2 (no quadrant).
  double GetPhase(int32_t K) const;
  // Sine coefficient of line K in 1..N/2: (Im X_k - Im X_{N-k}) / N.
  double GetFSerSin(int32_t K) const;
  // Cosine coefficient of line K in 0..N/2: (Re X_k + Re X_{N-k}) / N, line 0 and N/2 once.
  double GetFSerCos(int32_t K) const;

  // Root mean square over the lines FirstIx..LastIx (clipped to 0..N/2, either order).
  double RMS(int32_t FirstIx, int32_t LastIx) const;

  // Frequency of line Ix (1..N/2) for the sampling interval SampleTime, else 0.
  double FreqOfLine(int32_t Ix, double SampleTime) const;
  // Nearest line (halves to even) of frequency F, 0 when outside 1..N/2.
  int32_t LineOfFreq(double F, double SampleTime) const;

  // Extremes over the block, cached until the data change.
  double PowerMax() const { return GetMaxPower(); }
  // Largest magnitude of lines 1..N/2 (GetMaxMagni).
  double MagniMax() const { return GetMaxMagni(); }
  // Largest real part (GetMaxReal).
  double RealMax() const { return GetMaxReal(); }
  // Largest imaginary part (GetMaxImag).
  double ImagMax() const { return GetMaxImag(); }
  // Smallest real part (GetMinReal).
  double RealMin() const { return GetMinReal(); }
  // Smallest imaginary part (GetMinImag).
  double ImagMin() const { return GetMinImag(); }
  // Largest power of lines 1..N/2-1, lines 0 and N/2 left out; 0 when there are none.
  double GetMaxPower() const;
  // Largest magnitude of lines 1..N/2.
  double GetMaxMagni() const;
  // Largest real part of the block; NaN samples are passed over.
  double GetMaxReal() const;
  // Largest imaginary part of the block; NaN samples are passed over.
  double GetMaxImag() const;
  // Smallest real part of the block; NaN samples are passed over.
  double GetMinReal() const;
  // Smallest imaginary part of the block; NaN samples are passed over.
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
