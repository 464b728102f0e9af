// Simple random generators on top of the process-wide uniform generator, and compensated
// summation.
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "nux/frame/rounding.h"
#include "nux/host/random.h"
#include "nux/math1/scalar.h"

namespace nux {

bool BRandom(double p) { return p >= 1.0 || p > Random(); }

double CRandom(double a, double b) { return a + b * std::tan((Random() - 0.5) * std::numbers::pi); }

// The polar method with one spare deviate is the host's normal generator; sharing it means a
// reseed also drops the spare, so SetRandSeed repeats GRandom sequences exactly.
double GRandom() { return RandG(0.0, 1.0); }

namespace {

constexpr int32_t M1 = 1001003;
constexpr int32_t M2 = 990923;
constexpr int32_t M3 = 1400423;

struct TLongRandState {
  int32_t S1;
  int32_t S2;
  int32_t S3;
};

// The moduli are prime, so a state stays non-zero once it is; a zero state would stay zero and
// turn its term into a constant. It is replaced by 1.
int32_t NonZeroState(int64_t S) { return S == 0 ? 1 : static_cast<int32_t>(S); }

// Started on first use from the process-wide generator (which is seeded when the library loads),
// never reseeding that generator.
TLongRandState& LongRandState() {
  static TLongRandState State = [] {
    TLongRandState New{};
    New.S1 = NonZeroState(RoundToInt32(Random() * 990000.0));
    New.S2 = NonZeroState(RoundToInt32(Random() * 990000.0));
    New.S3 = NonZeroState(RoundToInt32(Random() * 990000.0));
    return New;
  }();
  return State;
}

// Left shift on the 32-bit pattern, as the seeding is defined on bits.
int32_t Shl32(int32_t a, int n) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) << static_cast<uint32_t>(n));
}

}  // namespace

double LongRand(int32_t Seed) {
  TLongRandState& St = LongRandState();
  if (Seed != 0) {
    const int32_t A = Seed % M2;
    St.S1 = NonZeroState(std::llabs(int64_t{A}));
    St.S2 = NonZeroState(std::llabs(int64_t{A ^ Shl32(A, 8)}) % M2);
    St.S3 = NonZeroState(std::llabs(int64_t{A ^ Shl32(A, 16)}) % M2);
  }
  // All states stay below their moduli, so the products fit into 32 bits.
  St.S1 = St.S1 * 1187 % M1;
  St.S2 = St.S2 * 983 % M2;
  St.S3 = St.S3 * 1283 % M3;
  const double X = static_cast<double>(St.S1) / M1 + static_cast<double>(St.S2) / M2 +
                   static_cast<double>(St.S3) / M3;
  return X - std::trunc(X);
}

TKahanSum::TKahanSum(TComponent* AOwner) : TComponent(AOwner) { Reset(); }

void TKahanSum::Reset() {
  Sum = 0.0;
  cps = 0.0;
}

void TKahanSum::Add(double ANumber) {
  const double Y = ANumber - cps;
  const double T = Sum + Y;
  cps = (T - Sum) - Y;
  Sum = T;
}

}  // namespace nux
