// The complex FFT engine behind TFastFourier: a plan for one power-of-two length that keeps its
// twiddle tables and work space, so repeated transforms of the same length allocate nothing.
// Every instruction-set path gives the same bits: the lanes of a wider vector compute the same
// expressions in the same order, and nothing is fused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The FFT engine: plans and the choice of instruction set.
namespace nux::fourier {

// Largest power-of-two exponent a plan accepts.
inline constexpr int32_t MaxFFTLog2 = 26;

// A complex FFT plan for one power-of-two length.
class TFFTPlan {
 public:
  // N must be a power of two, 1 <= N <= 2^MaxFFTLog2; throws std::bad_alloc when the tables
  // cannot be had and std::invalid_argument for a bad length.
  explicit TFFTPlan(int32_t N);

  // The length N.
  int32_t Size() const { return FN; }

  // In place on 2N interleaved doubles (re, im, re, im, ...), result in natural order.
  // Forward: X_k = sum_j x_j exp(+2 pi i j k / N). Inverse: exponent negative, result / N.
  void Execute(double* Data, bool Inverse);

 private:
  int32_t FN;
  int32_t FLog2;
  // Twiddles of every radix-4 stage of length L (L = N, N/4, ...): cos and sin of 2 pi m / L for
  // m = j, 2j, 3j (j < L/4), stored as six runs of L/4 values.
  std::vector<double> FTwiddles;
  std::vector<std::size_t> FTwOffset;  // indexed by log2 L
  // Split work space: real parts, then the imaginary parts a little further on than N so that
  // equal indices of the two do not share a cache set.
  std::vector<double> FWork;
};

}  // namespace nux::fourier
