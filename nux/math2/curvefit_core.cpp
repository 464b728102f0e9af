// TCurveFit: the pairs, their running sums and statistics, the rank correlations.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

#include "nux/frame/errors.h"
#include "nux/frame/moments.h"
#include "nux/frame/univconst.h"
#include "nux/math1/scalar.h"
#include "nux/math2/curvefit.h"
#include "nux/math2/curvefit_impl.h"
#include "nux/matrix/matrix.h"
#include "nux/statis/distributions.h"

namespace nux {

const std::array<const char*, 15> IDS_REGMODEL = {
    "rmNone",       "rmLinear",         "rmParabolic", "rmGaussian",   "rmReciLin",
    "rmHyperbolic", "rmReciHyperbolic", "rmLog",       "rmReciLog",    "rmPower",
    "rmExpo",       "rmHoerl",          "rmCircle",    "rmPolynomial", "rmCenteredPoly"};

TCurveFit::TCurveFit(TComponent* AOwner) : TComponent(AOwner) { Init(); }

TCurveFit::~TCurveFit() = default;

void TCurveFit::Init() {
  FSums = TCurveFitSums{};
  FNumData = 0;
  FInvalid.fill(0);
  FMeanX = FMeanY = FM2X = FM2Y = FCXY = FMeanD = FM2D = 0.0;
  FMinX = FMinY = uc_MaxDouble;
  FMaxX = FMaxY = -uc_MaxDouble;
  FX.clear();
  FY.clear();
  FPSplineFQ = 0.0;
  FPolyOrder = 0;
  ClearModelParams();
  InvalidateCaches();
}

void TCurveFit::ClearModelParams() {
  FRegMod = rmNone;
  for (int32_t J = 0; J <= MaxPolyOrder; ++J) {
    FModPars[0][J] = 0.0;
    FModPars[1][J] = -1.0;
  }
  FModR2 = 0.0;
  FXShift = 0.0;
  FResids.clear();
  FFit.reset();
}

void TCurveFit::InvalidateCaches() {
  FSplineValid = false;
  FPenSplineValid = false;
  FKendallValid = false;
}

void TCurveFit::SetModel(TRegModel M, std::span<const double> Pars, double R2) {
  ClearModelParams();
  for (size_t J = 0; J < Pars.size() && J <= size_t(MaxPolyOrder); ++J) FModPars[0][J] = Pars[J];
  FRegMod = M;
  FModR2 = R2;
}

// The terms of a pair whose transformation is undefined are left out of the sums and counted
// instead: a stand-in value such as 1/0 := 1.7e308 would make the sums useless and turn to NaN
// when the pair is removed again.
void TCurveFit::AdjustSums(double x, double y) {
  TCurveFitSums& S = FSums;
  FMinX = std::min(FMinX, x);
  FMaxX = std::max(FMaxX, x);
  FMinY = std::min(FMinY, y);
  FMaxY = std::max(FMaxY, y);
  const double xq = x * x, yq = y * y, d = x - y;
  S.sumx += x;
  S.sumy += y;
  S.sumxq += xq;
  S.sumyq += yq;
  S.sumDiff += d;
  S.SumDiffq += d * d;
  S.sumxy += x * y;
  S.sumx2y += xq * y;
  S.sumxy2 += x * yq;
  S.sumx3 += xq * x;
  S.sumy3 += yq * y;
  S.sumx4 += xq * xq;
  S.sumy4 += yq * yq;
  if (y != 0.0) {
    S.sum1byy += 1.0 / y;
    S.sum1byyq += 1.0 / yq;
    S.sumxbyy += x / y;
  } else {
    ++FInvalid[cfeYEQ0];
  }
  if (x != 0.0) {
    S.sum1byx += 1.0 / x;
    S.sum1byxq += 1.0 / xq;
    S.sumybyx += y / x;
  } else {
    ++FInvalid[cfeXEQ0];
  }
  if (x != 0.0 && y != 0.0) S.sum1byxy += 1.0 / x / y;
  if (x > 0.0) {
    const double lx = std::log(x);
    S.sumlnx += lx;
    S.sumlnxq += lx * lx;
    S.sumylnx += y * lx;
    S.sumxlnx += x * lx;
    S.sumyqlnx += yq * lx;
    if (y != 0.0) S.sumlnxbyy += lx / y;
    if (y > 0.0) S.sumlnxlny += lx * std::log(y);
  } else {
    ++FInvalid[cfeXLE0];
  }
  if (y > 0.0) {
    const double ly = std::log(y);
    S.sumlny += ly;
    S.sumylny += y * ly;
    S.sumlnyq += ly * ly;
    S.sumxlny += x * ly;
    S.sumxqlny += xq * ly;
    if (x != 0.0) S.sumlnybyx += ly / x;
  } else {
    ++FInvalid[cfeYLE0];
  }
  // Centred moments (Welford), from which the statistics and the straight line are taken.
  const double n = double(FNumData + 1);
  const double Dx = x - FMeanX, Dy = y - FMeanY, Dd = d - FMeanD;
  FMeanX += Dx / n;
  FMeanY += Dy / n;
  FMeanD += Dd / n;
  FM2X += Dx * (x - FMeanX);
  FM2Y += Dy * (y - FMeanY);
  FCXY += Dx * (y - FMeanY);
  FM2D += Dd * (d - FMeanD);
}

void TCurveFit::RebuildSums() {
  const int32_t N = FNumData;
  FSums = TCurveFitSums{};
  FInvalid.fill(0);
  FMeanX = FMeanY = FM2X = FM2Y = FCXY = FMeanD = FM2D = 0.0;
  FMinX = FMinY = uc_MaxDouble;
  FMaxX = FMaxY = -uc_MaxDouble;
  for (FNumData = 0; FNumData < N; ++FNumData)
    AdjustSums(FX[size_t(FNumData)], FY[size_t(FNumData)]);
}

int32_t TCurveFit::EnterStatValue(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y) || FNumData == std::numeric_limits<int32_t>::max())
    return FNumData;
  GuardAlloc<ENUXMath2Error>(*this, msgNoMemoryOnHeap, [&] {
    FX.push_back(x);
    try {
      FY.push_back(y);
    } catch (...) {
      FX.pop_back();
      throw;
    }
  });
  AdjustSums(x, y);
  ++FNumData;
  ClearModelParams();
  InvalidateCaches();
  return FNumData;
}

// Subtracting a pair's terms would leave the rounding of every large term in the sums (adding
// 1e20 and removing it again wipes out all small values) and cannot undo an overflow; the pairs
// are moved anyway, so the sums are rebuilt in the same pass.
void TCurveFit::RemoveStatValue(int32_t ix) {
  if (ix < 1 || ix > FNumData) return;
  FX.erase(FX.begin() + (ix - 1));
  FY.erase(FY.begin() + (ix - 1));
  --FNumData;
  RebuildSums();
  ClearModelParams();
  InvalidateCaches();
}

void TCurveFit::FlipXY() {
  std::swap(FX, FY);
  std::swap(FMinX, FMinY);
  std::swap(FMaxX, FMaxY);
  TCurveFitSums& S = FSums;
  std::swap(S.sumx, S.sumy);
  std::swap(S.sumxq, S.sumyq);
  std::swap(S.sumx2y, S.sumxy2);
  std::swap(S.sumx3, S.sumy3);
  std::swap(S.sumx4, S.sumy4);
  std::swap(S.sum1byy, S.sum1byx);
  std::swap(S.sum1byyq, S.sum1byxq);
  std::swap(S.sumxbyy, S.sumybyx);
  std::swap(S.sumlnx, S.sumlny);
  std::swap(S.sumlnxq, S.sumlnyq);
  std::swap(S.sumylnx, S.sumxlny);
  std::swap(S.sumxlnx, S.sumylny);
  std::swap(S.sumlnxbyy, S.sumlnybyx);
  std::swap(S.sumxqlny, S.sumyqlnx);
  S.sumDiff = -S.sumDiff;
  std::swap(FInvalid[cfeXLE0], FInvalid[cfeYLE0]);
  std::swap(FInvalid[cfeXEQ0], FInvalid[cfeYEQ0]);
  std::swap(FMeanX, FMeanY);
  std::swap(FM2X, FM2Y);
  FMeanD = -FMeanD;
  // A model of y on x says nothing about x on y.
  ClearModelParams();
  InvalidateCaches();
}

double TCurveFit::GetDataX(int32_t ix) const {
  return ix >= 1 && ix <= FNumData ? FX[size_t(ix - 1)] : 0.0;
}

double TCurveFit::GetDataY(int32_t ix) const {
  return ix >= 1 && ix <= FNumData ? FY[size_t(ix - 1)] : 0.0;
}

TCurveFitErrors TCurveFit::ErrIndic() const {
  TCurveFitErrors E;
  for (size_t K = 0; K < 4; ++K) E[K] = FInvalid[K] > 0;
  return E;
}

int32_t TCurveFit::InvalidCount(TCurveFitError E) const {
  return E >= cfeXLE0 && E <= cfeYEQ0 ? FInvalid[size_t(E)] : 0;
}

double TCurveFit::GetModelPar(int32_t ix, int32_t iy) const {
  if ((ix == 1 || ix == 2) && iy >= 0 && iy <= MaxPolyOrder && FRegMod != rmNone)
    return FModPars[ix - 1][iy];
  return ix == 1 ? 0.0 : -1.0;
}

double TCurveFit::GetResidual(int32_t ix) const {
  if (FRegMod == rmNone || ix < 1 || size_t(ix) > FResids.size()) return 0.0;
  return FResids[size_t(ix - 1)];
}

double TCurveFit::GetFitQual() const { return FRegMod != rmNone ? FModR2 : 0.0; }

double TCurveFit::GetXShift() const { return FRegMod == rmCenteredPoly ? FXShift : 0.0; }

double TCurveFit::GetStdDevResidual() const {
  const auto N = int64_t(FResids.size());
  if (N < 2) return 0.0;
  const TCentralSums C = CentralSums(N, [this](int64_t I) { return FResids[size_t(I)]; });
  return std::sqrt(C.S2 / double(N - 1));
}

// ---- Statistics ---------------------------------------------------------------------------------

double TCurveFit::GetMeanX() const { return FNumData > 0 ? FMeanX : 0.0; }
double TCurveFit::GetMeanY() const { return FNumData > 0 ? FMeanY : 0.0; }
double TCurveFit::GetMeanDiff() const { return FNumData > 0 ? FMeanD : 0.0; }

double TCurveFit::GetRMSDiff() const {
  return FNumData > 0 ? std::sqrt(FSums.SumDiffq / FNumData) : 0.0;
}

// The running moments overflow only for values beyond about 1e154; then the data are scaled.
double TCurveFit::GetStdDevX() const {
  if (FNumData < 3) return 0.0;
  if (std::isfinite(FM2X)) return std::sqrt(FM2X / (FNumData - 1));
  const math2_detail::TScaledMoments M = math2_detail::ScaledMoments(FX, FY);
  return std::ldexp(std::sqrt(M.Sxx / (FNumData - 1)), M.Ex);
}
double TCurveFit::GetStdDevY() const {
  if (FNumData < 3) return 0.0;
  if (std::isfinite(FM2Y)) return std::sqrt(FM2Y / (FNumData - 1));
  const math2_detail::TScaledMoments M = math2_detail::ScaledMoments(FX, FY);
  return std::ldexp(std::sqrt(M.Syy / (FNumData - 1)), M.Ey);
}
double TCurveFit::GetStdDevDiff() const {
  return FNumData >= 3 ? std::sqrt(FM2D / (FNumData - 1)) : 0.0;
}

double TCurveFit::GetRxy() const {
  if (FNumData < 3) return 0.0;
  double Sxx = FM2X, Syy = FM2Y, Sxy = FCXY;
  if (!std::isfinite(Sxx) || !std::isfinite(Syy) || !std::isfinite(Sxy)) {
    const math2_detail::TScaledMoments M = math2_detail::ScaledMoments(FX, FY);
    Sxx = M.Sxx, Syy = M.Syy, Sxy = M.Sxy;
  }
  if (!(Sxx > 0.0) || !(Syy > 0.0)) return 0.0;
  // Square roots taken apart: their product may overflow where the ratio does not.
  const double R = Sxy / std::sqrt(Sxx) / std::sqrt(Syy);
  return std::isfinite(R) ? std::clamp(R, -1.0, 1.0) : 0.0;
}

void TCurveFit::CalcStatistics(int32_t& NumData, double& MeanX, double& MeanY, double& StdevX,
                               double& StdevY, double& MeanDiff, double& StdevDiff,
                               double& rxy) const {
  NumData = FNumData;
  MeanX = GetMeanX();
  MeanY = GetMeanY();
  MeanDiff = GetMeanDiff();
  StdevX = GetStdDevX();
  StdevY = GetStdDevY();
  StdevDiff = GetStdDevDiff();
  rxy = GetRxy();
}

namespace {

// A one-column matrix of the values, for the matrix column statistics.
TMatrix ColumnMatrix(const TDoubleArray& V) { return TMatrix(TDouble2DArray{V}); }

double MeanDegrees(const TDoubleArray& V) {
  if (V.empty()) return std::numeric_limits<double>::quiet_NaN();
  constexpr double Rad = std::numbers::pi / 180.0;
  double S = 0.0, C = 0.0;
  for (const double A : V) {
    S += std::sin(A * Rad);
    C += std::cos(A * Rad);
  }
  // Directions that cancel (within rounding of the sums) have no mean.
  const double Scale = 1e-12 * double(V.size());
  if (std::abs(S) <= Scale && std::abs(C) <= Scale) return std::numeric_limits<double>::quiet_NaN();
  double M = std::atan2(S, C) / Rad;
  if (M < 0.0) M += 360.0;
  return M >= 360.0 ? 0.0 : M;
}

}  // namespace

double TCurveFit::PercentileX(double prob) const {
  return FNumData > 0 ? ColumnMatrix(FX).Percentile(prob, 1, 1, 1, FNumData)
                      : std::numeric_limits<double>::quiet_NaN();
}
double TCurveFit::PercentileY(double prob) const {
  return FNumData > 0 ? ColumnMatrix(FY).Percentile(prob, 1, 1, 1, FNumData)
                      : std::numeric_limits<double>::quiet_NaN();
}

bool TCurveFit::QuartilesX(double& q1, double& q2, double& q3) const {
  q1 = q2 = q3 = 0.0;
  return FNumData > 0 && ColumnMatrix(FX).Quartiles(1, 1, 1, FNumData, q1, q2, q3);
}
bool TCurveFit::QuartilesY(double& q1, double& q2, double& q3) const {
  q1 = q2 = q3 = 0.0;
  return FNumData > 0 && ColumnMatrix(FY).Quartiles(1, 1, 1, FNumData, q1, q2, q3);
}

namespace {
void SkewKurtOf(const TDoubleArray& V, double& Skew, double& Kurt) {
  Skew = Kurt = 0.0;
  if (!V.empty()) ColumnMatrix(V).SkewKurtSample(1, 1, 1, int32_t(V.size()), Skew, Kurt);
}
}  // namespace

double TCurveFit::GetSkewnessX() const {
  double S, K;
  SkewKurtOf(FX, S, K);
  return S;
}
double TCurveFit::GetSkewnessY() const {
  double S, K;
  SkewKurtOf(FY, S, K);
  return S;
}
double TCurveFit::GetKurtosisX() const {
  double S, K;
  SkewKurtOf(FX, S, K);
  return K;
}
double TCurveFit::GetKurtosisY() const {
  double S, K;
  SkewKurtOf(FY, S, K);
  return K;
}

double TCurveFit::GetMeanXDegrees() const { return MeanDegrees(FX); }
double TCurveFit::GetMeanYDegrees() const { return MeanDegrees(FY); }

// ---- Rank statistics ----------------------------------------------------------------------------

namespace {

// Sums over the runs of equal values in sorted V: t(t-1)/2, t(t-1)(t-2), t(t-1)(2t+5).
struct TTieSums {
  double Pairs = 0, P3 = 0, P5 = 0;
};

template <class Eq>
TTieSums TieSums(size_t N, Eq&& Equal) {
  TTieSums R;
  size_t I = 0;
  while (I < N) {
    size_t J = I + 1;
    while (J < N && Equal(I, J)) ++J;
    const double T = double(J - I);
    R.Pairs += T * (T - 1) / 2;
    R.P3 += T * (T - 1) * (T - 2);
    R.P5 += T * (T - 1) * (2 * T + 5);
    I = J;
  }
  return R;
}

// Exchanges a merge sort makes to order Y: the number of discordant pairs once the pairs are
// sorted by (x, y).
int64_t CountInversions(std::vector<double>& Y, std::vector<double>& Tmp, size_t Lo, size_t Hi) {
  if (Hi - Lo < 2) return 0;
  const size_t Mid = Lo + (Hi - Lo) / 2;
  int64_t Inv = CountInversions(Y, Tmp, Lo, Mid) + CountInversions(Y, Tmp, Mid, Hi);
  size_t I = Lo, J = Mid, K = Lo;
  while (I < Mid && J < Hi) {
    if (Y[J] < Y[I]) {
      Inv += int64_t(Mid - I);
      Tmp[K++] = Y[J++];
    } else {
      Tmp[K++] = Y[I++];
    }
  }
  while (I < Mid) Tmp[K++] = Y[I++];
  while (J < Hi) Tmp[K++] = Y[J++];
  std::copy(Tmp.begin() + std::ptrdiff_t(Lo), Tmp.begin() + std::ptrdiff_t(Hi),
            Y.begin() + std::ptrdiff_t(Lo));
  return Inv;
}

// Mid-ranks (1-based) of V, and the tie term sum (t^3 - t) / 12.
TDoubleArray MidRanks(const TDoubleArray& V, double& Ties) {
  const size_t N = V.size();
  std::vector<size_t> Ix(N);
  for (size_t I = 0; I < N; ++I) Ix[I] = I;
  std::stable_sort(Ix.begin(), Ix.end(), [&V](size_t A, size_t B) { return V[A] < V[B]; });
  TDoubleArray R(N);
  Ties = 0.0;
  size_t I = 0;
  while (I < N) {
    size_t J = I + 1;
    while (J < N && V[Ix[J]] == V[Ix[I]]) ++J;
    const double Mid = (double(I + 1) + double(J)) / 2;
    for (size_t K = I; K < J; ++K) R[Ix[K]] = Mid;
    const double T = double(J - I);
    Ties += (T * T * T - T) / 12;
    I = J;
  }
  return R;
}

}  // namespace

// Counts in O(n log n): sort by (x, y), then the inversions of y are the discordant pairs.
void TCurveFit::BasicRankCounts() {
  FKendallConcord = FKendallDiscord = FKendallTies1 = FKendallTies2 = 0;
  FKendallVarS = 0.0;
  FKendallValid = true;
  const auto N = size_t(FNumData);
  if (N <= 2) return;
  std::vector<size_t> Ix(N);
  for (size_t I = 0; I < N; ++I) Ix[I] = I;
  std::sort(Ix.begin(), Ix.end(), [this](size_t A, size_t B) {
    return FX[A] < FX[B] || (FX[A] == FX[B] && FY[A] < FY[B]);
  });
  std::vector<double> Xs(N), Ys(N), Tmp(N);
  for (size_t I = 0; I < N; ++I) {
    Xs[I] = FX[Ix[I]];
    Ys[I] = FY[Ix[I]];
  }
  const TTieSums TX = TieSums(N, [&](size_t A, size_t B) { return Xs[A] == Xs[B]; });
  const TTieSums TXY =
      TieSums(N, [&](size_t A, size_t B) { return Xs[A] == Xs[B] && Ys[A] == Ys[B]; });
  const int64_t Dis = CountInversions(Ys, Tmp, 0, N);  // leaves Ys sorted
  const TTieSums TY = TieSums(N, [&](size_t A, size_t B) { return Ys[A] == Ys[B]; });
  const double Total = double(N) * double(N - 1) / 2;
  const auto TiedX = int64_t(TX.Pairs), TiedY = int64_t(TY.Pairs), TiedXY = int64_t(TXY.Pairs);
  FKendallDiscord = Dis;
  FKendallConcord = int64_t(Total) - TiedX - TiedY + TiedXY - Dis;
  FKendallTies1 = TiedY - TiedXY;  // tied in y only
  FKendallTies2 = TiedX - TiedXY;  // tied in x only
  const double Nd = double(N), M = Nd * (Nd - 1);
  FKendallVarS = (M * (2 * Nd + 5) - TX.P5 - TY.P5) / 18 + 2 * TX.Pairs * TY.Pairs / M +
                 TX.P3 * TY.P3 / (9 * M * (Nd - 2));
}

double TCurveFit::KendallsTau(double& p) {
  if (!FKendallValid) BasicRankCounts();
  p = 1.0;
  const double C = double(FKendallConcord), D = double(FKendallDiscord);
  const double Root = std::sqrt((C + D + double(FKendallTies1)) * (C + D + double(FKendallTies2)));
  if (!(Root > 0.0)) return 0.0;
  const double Tau = std::clamp((C - D) / Root, -1.0, 1.0);
  if (FKendallVarS > 0.0)
    p = std::erfc(std::abs(C - D) / std::sqrt(FKendallVarS) / std::numbers::sqrt2);
  return Tau;
}

double TCurveFit::GetKruskalGamma() {
  if (!FKendallValid) BasicRankCounts();
  const double C = double(FKendallConcord), D = double(FKendallDiscord);
  return C + D > 0 ? (C - D) / (C + D) : 0.0;
}

double TCurveFit::GetSpearman() const {
  double p;
  return GetSpearman(p);
}

double TCurveFit::GetSpearman(double& p) const {
  p = 1.0;
  const int32_t N = FNumData;
  if (N <= 2) return 0.0;
  double Tx = 0.0, Ty = 0.0;
  const TDoubleArray Rx = MidRanks(FX, Tx), Ry = MidRanks(FY, Ty);
  TKahanSum D;
  for (int32_t I = 0; I < N; ++I) {
    const double Dr = Rx[size_t(I)] - Ry[size_t(I)];
    D.Add(Dr * Dr);
  }
  const double Nd = N, N3 = Nd * (Nd * Nd - 1);
  double Rho;
  if (Tx == 0.0 && Ty == 0.0) {
    Rho = 1.0 - 6.0 * D.Sum / N3;
  } else {
    if (N3 == 12 * Tx || N3 == 12 * Ty) return 0.0;
    Rho = (N3 - 6.0 * (D.Sum + Tx + Ty)) / std::sqrt((N3 - 12 * Tx) * (N3 - 12 * Ty));
  }
  Rho = std::clamp(Rho, -1.0, 1.0);
  if (std::abs(Rho) >= 1.0) {
    p = 0.0;
  } else {
    const double T = Rho * std::sqrt((Nd - 2) / ((1.0 - Rho) * (1.0 + Rho)));
    p = 2.0 * tDistriIntegralUpper(std::abs(T), N - 2);
  }
  return Rho;
}

}  // namespace nux
