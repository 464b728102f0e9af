#include "nux/host/random.h"

#include <chrono>
#include <cmath>

namespace nux {

namespace {

// xoshiro256** seeded through splitmix64: fast, 2^256 - 1 period, good equidistribution.
struct TGenerator {
  uint64_t Seed = 0;
  uint64_t S[4] = {0, 0, 0, 0};
  bool HasSpareGauss = false;
  double SpareGauss = 0.0;

  void Reset(uint64_t NewSeed) {
    Seed = NewSeed;
    uint64_t X = NewSeed;
    for (uint64_t& Word : S) {
      X += 0x9E3779B97F4A7C15ULL;
      uint64_t Z = X;
      Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ULL;
      Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBULL;
      Word = Z ^ (Z >> 31);
    }
    HasSpareGauss = false;
  }

  static uint64_t Rotl(uint64_t X, int K) { return (X << K) | (X >> (64 - K)); }

  uint64_t Next() {
    const uint64_t Result = Rotl(S[1] * 5, 7) * 9;
    const uint64_t T = S[1] << 17;
    S[2] ^= S[0];
    S[3] ^= S[1];
    S[1] ^= S[2];
    S[0] ^= S[3];
    S[2] ^= T;
    S[3] = Rotl(S[3], 45);
    return Result;
  }
};

uint64_t ClockSeed() {
  return static_cast<uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

TGenerator& Generator() {
  static TGenerator G = [] {
    TGenerator New;
    New.Reset(ClockSeed());
    return New;
  }();
  return G;
}

// Seed at load time, so that the first call does not decide when the clock is read.
[[maybe_unused]] const bool SeededAtLoad = (Generator(), true);

}  // namespace

double Random() { return static_cast<double>(Generator().Next() >> 11) * 0x1.0p-53; }

int32_t RandomInt(int32_t Range) {
  if (Range <= 0) return 0;
  // Multiply-shift on 32 random bits: unbiased enough for Range < 2^31 and never Range itself.
  const uint64_t Bits = Generator().Next() >> 32;
  return static_cast<int32_t>((Bits * static_cast<uint64_t>(Range)) >> 32);
}

double RandG(double Mean, double StdDev) {
  TGenerator& G = Generator();
  if (G.HasSpareGauss) {
    G.HasSpareGauss = false;
    return Mean + StdDev * G.SpareGauss;
  }
  // Marsaglia's polar method: two deviates per accepted pair.
  double U = 0.0, V = 0.0, S = 0.0;
  do {
    U = 2.0 * Random() - 1.0;
    V = 2.0 * Random() - 1.0;
    S = U * U + V * V;
  } while (S >= 1.0 || S == 0.0);
  const double F = std::sqrt(-2.0 * std::log(S) / S);
  G.SpareGauss = U * F;
  G.HasSpareGauss = true;
  return Mean + StdDev * V * F;
}

uint64_t RandSeed() { return Generator().Seed; }

void SetRandSeed(uint64_t Seed) { Generator().Reset(Seed); }

void Randomize() { Generator().Reset(ClockSeed()); }

}  // namespace nux
