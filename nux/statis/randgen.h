// TRandGen: random numbers from an arbitrary distribution, given as a table of relative
// probabilities over [LowBorder, HighBorder) and drawn by rejection sampling with linear
// interpolation between the table points.
//
// The generator has no state of its own: every draw comes from the library's process-wide
// generator (nux/host/random.h), so SetRandSeed makes a run repeatable and two generators
// interleave on one sequence.
#pragma once

#include <cstdint>

#include "nux/frame/types.h"
#include "nux/host/object.h"

namespace nux {

// Fewest and most table points of a TRandGen.
inline constexpr int32_t RandGenMinResolution = 10;
// Most table points of a TRandGen.
inline constexpr int32_t RandGenMaxResolution = 4000;
// Candidates a draw by rejection tries before it takes the last one regardless.
inline constexpr int32_t RandGenMaxTrials = 100001;

// A table of Resolution relative probabilities; point i (1-based) stands for the left edge
// LowBorder + (i - 1) (HighBorder - LowBorder) / Resolution of cell i.
class TRandGen : public TComponent {
 public:
  // Borders 0 and 0, 500 points, every entry 1. Exhausted memory raises ENUXStatisError
  // "not enough memory on heap".
  explicit TRandGen(TComponent* AOwner = nullptr);

  // Lower end of the generated values.
  double LowBorder() const { return FLowBorder; }
  // Sets the lower end; NaN and infinities are ignored.
  void SetLowBorder(double Value);
  // Upper end of the generated values (excluded).
  double HighBorder() const { return FHighBorder; }
  // Sets the upper end; NaN and infinities are ignored.
  void SetHighBorder(double Value);

  // Number of table points.
  int32_t Resolution() const { return FResolution; }
  // Count clipped to 10..4000; the table is resized and every entry reset to 1. Exhausted
  // memory raises ENUXStatisError "not enough memory" and leaves the table as it was.
  void SetResolution(int32_t Count);

  // The value of point Ix (GetLambda).
  double Lambda(int32_t Ix) const { return GetLambda(Ix); }
  // The value of point Ix; LowBorder for Ix <= 0, HighBorder for Ix > Resolution.
  double GetLambda(int32_t Ix) const;
  // The point whose cell holds Value: 0 below LowBorder or for NaN, Resolution + 1 from
  // HighBorder on; 1 when the borders coincide and Value equals them.
  int32_t IndexOfLambda(double Value) const;

  // Entry Idx (GetProbability).
  double Probability(int32_t Idx) const { return GetProbability(Idx); }
  // Entry Idx; 0 outside 1..Resolution.
  double GetProbability(int32_t Idx) const;
  // Stores Value clipped to [0, 1]; ignored outside 1..Resolution and for NaN.
  void SetProbability(int32_t Idx, double Value);

  // Maps the table linearly onto [0, 1]; a constant table stays as it is.
  void Normalize();
  // Divides the table by its maximum; a table whose maximum is 0 stays as it is.
  void Standardize();

  // Fill the table from a density at the points. Each returns false and leaves the table as
  // it was for parameters outside the density's domain (or NaN). A point where the density
  // is infinite (chi-square with 1 or F with 1 numerator degree of freedom at 0) takes the
  // mean density of its cell instead. Standardize afterwards: draws accept entries above 1
  // always.

  // exp(-(x - Mean)^2 / (2 StdDev^2)), peak 1; StdDev > 0.
  bool NormalDistri(double Mean, double StdDev);
  // Student's t density with Df >= 1 degrees of freedom.
  bool tDistri(int32_t Df);
  // Chi-square density with Df >= 1 degrees of freedom, 0 below 0.
  bool Chi2Distri(int32_t Df);
  // F density with Df1, Df2 >= 1 degrees of freedom, 0 below 0.
  bool FDistri(int32_t Df1, int32_t Df2);
  // Weibull density with shape Beta > 0 and scale Eta > 0.
  bool WeibullDistri(double Beta, double Eta);
  // Every entry 1.
  void UniformDistri();

  // The next random value (GetRandNum).
  double Random() { return GetRandNum(); }
  // The next random value, distributed as the table interpolated linearly between its points
  // (the last cell falling to 0 at HighBorder), entries above 1 counting as 1. Tables within
  // [0, 1] are sampled directly: a cell by its share of the probability, then the position by
  // inverting the cell's linear density. Other tables go by rejection: a uniform candidate is
  // accepted with the interpolated entry as probability, at most RandGenMaxTrials times, the
  // last candidate being taken when none was accepted. An all-zero table gives uniform values.
  double GetRandNum();

 private:
  // Fills the table with F(x) at every point; F returns the density, or +inf where it
  // diverges, and Cdf gives the cell mean there.
  template <class Density, class Cdf>
  void FillFrom(Density&& F, Cdf&& P);

  // Rebuilds the cell sampler after the table changed.
  void PrepareSampler();
  // Rejection sampling: the cell and the position in it.
  void DrawByRejection(int32_t& Cell, double& Pos) const;

  double FLowBorder = 0.0;
  double FHighBorder = 0.0;
  int32_t FResolution = 500;
  TDoubleArray FDistVec;
  // Cell sampler (Walker's alias method) for tables within [0, 1].
  enum TSampler : uint8_t { smStale, smDirect, smRejection, smUniform };
  TSampler FSampler = smStale;
  TDoubleArray FCellCut;
  TIntArray FCellAlias;
};

}  // namespace nux
