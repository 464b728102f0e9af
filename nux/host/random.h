// The process-wide uniform random generator. It is seeded from the clock once when the library
// loads; routines never reseed it, so RandSeed makes a run repeatable.
#pragma once

#include <cstdint>

namespace nux {

// A uniform deviate in [0, 1) with 53 random bits.
double Random();
// A uniform integer in 0..Range-1; 0 when Range <= 0.
int32_t RandomInt(int32_t Range);
// A normal deviate with the given mean and standard deviation.
double RandG(double Mean, double StdDev);

// The seed last set (by SetRandSeed, Randomize or the load-time seeding).
uint64_t RandSeed();
// Restarts the generator from Seed: the same seed gives the same sequence.
void SetRandSeed(uint64_t Seed);
// Reseeds from the clock.
void Randomize();

}  // namespace nux
