// Factorials, products of consecutive integers, primes and fractions.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <numeric>

#include "nux/frame/univconst.h"
#include "nux/math1/scalar.h"

namespace nux {

namespace {

// All primes below sqrt(2^31), so that trial division covers every 32-bit integer.
constexpr int32_t LargestTabulatedPrime = 46337;

constexpr std::array<int32_t, NrOfTabulatedPrimes> SievePrimes() {
  std::array<bool, LargestTabulatedPrime + 1> Composite{};
  std::array<int32_t, NrOfTabulatedPrimes> Primes{};
  size_t Count = 0;
  for (int32_t p = 2; p <= LargestTabulatedPrime; ++p) {
    if (Composite[static_cast<size_t>(p)]) continue;
    if (Count < Primes.size()) Primes[Count] = p;
    ++Count;
    for (int32_t m = p * p; p <= LargestTabulatedPrime / p && m <= LargestTabulatedPrime; m += p)
      Composite[static_cast<size_t>(m)] = true;
  }
  // A wrong count leaves a zero at the end, which the checks below catch.
  return Count == Primes.size() ? Primes : std::array<int32_t, NrOfTabulatedPrimes>{};
}

constexpr std::array<int32_t, NrOfTabulatedPrimes> Primes = SievePrimes();
static_assert(Primes.front() == 2 && Primes.back() == LargestTabulatedPrime);
static_assert(int64_t{LargestTabulatedPrime + 4} * (LargestTabulatedPrime + 4) > (int64_t{1} << 31),
              "the table must reach sqrt(2^31)");

}  // namespace

double Factorial(int32_t n) {
  if (n < 0) throw ENUXMath1Error("Factorial: negative argument");
  if (n > 1000) throw ENUXMath1Error("Factorial: argument too big");
  double F = 1.0;
  for (int32_t k = 2; k <= n; ++k) F *= k;
  return F;
}

int64_t ProductConsecInts(int32_t a, int32_t b) {
  const int64_t Lo = std::min(a, b);
  const int64_t Hi = std::max(a, b);
  if (Lo == 0) return 0;
  if (Lo < 0) return -2;
  // P < MaxInt64 div Hi guarantees P * f <= P * Hi < MaxInt64 for every factor f.
  const int64_t Limit = uc_MaxInt64 / Hi;
  int64_t P = 1;
  for (int64_t f = Lo; f <= Hi; ++f) {
    if (P >= Limit) return -1;
    P *= f;
  }
  return P;
}

int32_t ListOfPrimes(int32_t i) {
  if (i < 1 || i > NrOfTabulatedPrimes) return 0;
  return Primes[static_cast<size_t>(i - 1)];
}

bool IsPrime(int32_t n) {
  const int64_t A = std::llabs(int64_t{n});
  // Any divisor up to sqrt|n| implies a prime one, and the table reaches sqrt(2^31).
  for (const int32_t p : Primes) {
    if (int64_t{p} * p > A) break;
    if (A % p == 0) return false;
  }
  return true;
}

TIntArray FindPrimeFactors(int32_t n) {
  TIntArray Factors;
  if (n <= 1) return Factors;
  int32_t Rest = n;
  for (const int32_t p : Primes) {
    if (int64_t{p} * p > Rest) break;
    while (Rest % p == 0) {
      Factors.push_back(p);
      Rest /= p;
    }
  }
  if (Rest > 1) Factors.push_back(Rest);
  return Factors;
}

void CancelFraction(int32_t& Num, int32_t& Den) {
  // Dividing by every common divisor until none is left ends at Num/g and Den/g, g the greatest
  // common divisor: computed directly instead of by passes that take O(min(|Num|, |Den|)).
  // A zero term has no divisor pass (the bound min(|Num|, |Den|) is 0) and stays as it is.
  if (Num == 0 || Den == 0) return;
  const int64_t G = std::gcd(int64_t{Num}, int64_t{Den});
  Num = static_cast<int32_t>(int64_t{Num} / G);
  Den = static_cast<int32_t>(int64_t{Den} / G);
}

bool CheckPowerOfTwo(int32_t n) {
  const auto U = static_cast<uint32_t>(n);
  return (U & (U - 1u)) == 0u;
}

}  // namespace nux
