// TWavelet1D: discrete Daubechies wavelet transform (orders 1..3, filters of 2, 4 and 6 taps) of
// one block of real samples, in place, with a choice of signal extension at the block's start.
//
// After Transform(L) the block holds the coarsest approximation in its first N/2^L positions,
// followed by the detail bands of increasing resolution.
//
// InverseTransform works on blocks of 2, 4, 8, ... samples, coarsest first, so it undoes a
// forward transform over all log2 N levels only: Transform(L) followed by InverseTransform(L)
// restores the samples only when L >= log2 N. Under wseWrap each inverse step is the exact
// inverse of the forward step; under wseZeroPad and wseSymmetric it is the transpose of the
// forward step, which differs from the inverse near the start of the block.
//
// Block lengths are powers of two from 1 to MaxWaveletLength (2^26); anything else, negative
// values included, is refused with "data length must be power of 2".
#pragma once

#include <cstdint>

#include "nux/frame/errors.h"
#include "nux/frame/types.h"
#include "nux/host/object.h"

namespace nux {

// Longest block, 2^26 samples.
inline constexpr int32_t MaxWaveletLength = int32_t{1} << 26;

// Wavelet families; Daubechies is the only one.
enum TWaveletFamily : int32_t { wlfDaubechies };

// Extension of the signal before the block's start: periodic, zeros, mirrored.
enum TWLSigExtMode : int32_t { wseWrap, wseZeroPad, wseSymmetric };

// One block of N real samples (256 at first) with a Daubechies wavelet transform in place.
class TWavelet1D : public TComponent {
 public:
  // A block of 256 zero samples, order 2 (4 taps), extension wseWrap.
  explicit TWavelet1D(TComponent* AOwner = nullptr);

  // The wavelet family; Daubechies is the only one.
  TWaveletFamily WaveletFamily() const { return FWaveletFam; }
  // Sets the wavelet family.
  void SetWaveletFam(TWaveletFamily F) { FWaveletFam = F; }

  // K = 1..3, filter length 2K; anything else raises and keeps the filters.
  int32_t Order() const { return FOrder; }
  // Sets K and rebuilds the filters; K outside 1..3 raises ENUXWaveletError.
  void SetOrder(int32_t K);

  // Block length N; SetNumData reallocates the block with all samples 0, also for the same N.
  int32_t Size() const { return FNumData; }
  // Sets N; a length that is no power of two up to MaxWaveletLength raises ENUXWaveletError.
  void SetNumData(int32_t N);

  // How the signal is extended before the block's start.
  TWLSigExtMode SignalExtMode() const { return FWLSigExtMode; }
  // Sets the extension; a value outside the enumeration acts as wseWrap.
  void SetSigExtMode(TWLSigExtMode M) { FWLSigExtMode = M; }

  // Sample Ix, 1-based; out of range: 0 / ignored.
  double Data(int32_t Ix) const { return GetDataVal(Ix); }
  // Sample Ix (1-based); 0 outside 1..N.
  double GetDataVal(int32_t Ix) const;
  // Sets sample Ix (1-based); ignored outside 1..N.
  void SetDataVal(int32_t Ix, double V);

  // Sets every sample to 0.
  void Clear();

  // Forward steps on N, N/2, N/4, ... samples, Level of them (Level <= 0 counts as 1), stopping
  // before the block would fall below 2 samples.
  void Transform(int32_t Level);
  // Inverse steps on 2, 4, 8, ... samples, Level of them (Level <= 0 counts as 1), stopping
  // before the block would exceed N.
  void InverseTransform(int32_t Level);
  // One forward (Inverse false) or inverse step on all N samples.
  void SingleStep(bool Inverse);

  // The current filters, 2K taps each.
  const TDoubleArray& CoeffsLP() const { return FCoeffsLP; }
  // The high-pass filter, 2K taps.
  const TDoubleArray& CoeffsHP() const { return FCoeffsHP; }

 private:
  void BuildFilters(int32_t K, TDoubleArray& LP, TDoubleArray& HP) const;
  // Sample position of tap M for output I on a block of N samples; false when the tap adds
  // nothing (left of the block under zero padding).
  bool TapPosition(int32_t I, int32_t M, int32_t N, int32_t& P) const;
  void ForwardStep(int32_t N, TDoubleArray& Work);
  void InverseStep(int32_t N, TDoubleArray& Work);
  TDoubleArray WorkArray();

  int32_t FNumData = 256;
  TDoubleArray FData;
  int32_t FOrder = 2;
  TDoubleArray FCoeffsLP;
  TDoubleArray FCoeffsHP;
  TWLSigExtMode FWLSigExtMode = wseWrap;
  TWaveletFamily FWaveletFam = wlfDaubechies;
};

}  // namespace nux
