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

inline constexpr int32_t MaxWaveletLength = int32_t{1} << 26;

enum TWaveletFamily : int32_t { wlfDaubechies };

enum TWLSigExtMode : int32_t { wseWrap, wseZeroPad, wseSymmetric };

class TWavelet1D : public TComponent {
 public:
  explicit TWavelet1D(TComponent* AOwner = nullptr);

  TWaveletFamily WaveletFamily() const { return FWaveletFam; }
  void SetWaveletFam(TWaveletFamily F) { FWaveletFam = F; }

  // K = 1..3, filter length 2K; anything else raises and keeps the filters.
  int32_t Order() const { return FOrder; }
  void SetOrder(int32_t K);

  // Block length N; SetNumData reallocates the block with all samples 0, also for the same N.
  int32_t Size() const { return FNumData; }
  void SetNumData(int32_t N);

  TWLSigExtMode SignalExtMode() const { return FWLSigExtMode; }
  void SetSigExtMode(TWLSigExtMode M) { FWLSigExtMode = M; }

  // Sample Ix, 1-based; out of range: 0 / ignored.
  double Data(int32_t Ix) const { return GetDataVal(Ix); }
  double GetDataVal(int32_t Ix) const;
  void SetDataVal(int32_t Ix, double V);

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
