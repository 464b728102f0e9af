// TCurveFit: the least-squares fits, evaluation, prediction and ANOVA. Every fit other than the
// straight line goes through the unit's least-squares engine (Householder QR, singular value
// decomposition of R, back substitution); the normal equations are never formed.
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "nux/frame/errors.h"
#include "nux/frame/moments.h"
#include "nux/frame/progress.h"
#include "nux/frame/univconst.h"
#include "nux/math1/scalar.h"
#include "nux/math2/curvefit.h"
#include "nux/math2/curvefit_impl.h"
#include "nux/math2/regression.h"
#include "nux/statis/distributions.h"

namespace nux {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

bool AllFinite(std::span<const double> V) {
  return std::all_of(V.begin(), V.end(), [](double X) { return std::isfinite(X); });
}

// One least-squares problem: Cols (constant column last) against T.
struct TEngineFit {
  TDoubleArray B, SE;  // coefficients, their standard errors for unit residual variance
  double Rss = 0;
  bool NearSingular = false;
  int32_t Rank = 0;
};

bool EngineFit(const std::vector<TDoubleArray>& Cols, const TDoubleArray& T, math2_detail::TLsq& L,
               TEngineFit& F) {
  std::vector<const double*> Ptr;
  for (const auto& C : Cols) Ptr.push_back(C.data());
  const size_t K = T.size();
  if (!math2_detail::LsqFactor(Ptr, K, T.data(), true, L)) return false;
  F.B = math2_detail::LsqSolve(L, 0.0, F.NearSingular, &F.SE);
  F.Rss = math2_detail::ResidualSumSq(Ptr, K, T.data(), F.B);
  F.Rank = int32_t(math2_detail::LsqEffectiveParams(L, 0.0));
  return AllFinite(F.B) && std::isfinite(F.Rss);
}

// x' (X'X)^-1 x of design row R from the decomposition of the scaled design.
double EngineLeverage(const math2_detail::TLsq& L, const double* R) {
  const double Tol = RegSingularTol * *std::max_element(L.W.begin(), L.W.end());
  double H = 0.0;
  for (size_t J = 0; J < L.M; ++J) {
    if (!(L.W[J] > Tol)) continue;
    double S = 0.0;
    for (size_t K = 0; K < L.M; ++K) S += L.V[J][K] * L.Scale[K] * R[K];
    S /= L.W[J];
    H += S * S;
  }
  return H;
}

double TotalSumSq(const TDoubleArray& T) {
  return CentralSums(int64_t(T.size()), [&T](int64_t I) { return T[size_t(I)]; }).S2;
}

// Coefficient of determination 1 - Rss/Tss, 1 when the target does not vary.
double RSquared(double Rss, double Tss) {
  return Tss > 0.0 ? std::clamp(1.0 - Rss / Tss, 0.0, 1.0) : 1.0;
}

// The kinds of invalid data a model's transformation cannot take.
bool ModelTakesData(TRegModel M, const std::array<int32_t, 4>& Inv) {
  const bool XLE0 = Inv[cfeXLE0] > 0, YLE0 = Inv[cfeYLE0] > 0;
  const bool XEQ0 = Inv[cfeXEQ0] > 0, YEQ0 = Inv[cfeYEQ0] > 0;
  switch (M) {
    case rmReciLin:
      return !YEQ0;
    case rmHyperbolic:
      return !XEQ0;
    case rmReciHyperbolic:
      return !XEQ0 && !YEQ0;
    case rmLog:
      return !XLE0;
    case rmReciLog:
      return !XLE0 && !YEQ0;
    case rmPower:
    case rmHoerl:
      return !XLE0 && !YLE0;
    case rmExpo:
    case rmGaussian:
      return !YLE0;
    default:
      return true;
  }
}

const char* InvalidDataText(TRegModel M) {
  switch (M) {
    case rmReciLin:
      return ": y = 0 in the data";
    case rmHyperbolic:
      return ": x = 0 in the data";
    case rmReciHyperbolic:
      return ": x = 0 or y = 0 in the data";
    case rmLog:
      return ": x <= 0 in the data";
    case rmReciLog:
      return ": x <= 0 or y = 0 in the data";
    case rmPower:
    case rmHoerl:
      return ": x <= 0 or y <= 0 in the data";
    default:
      return ": y <= 0 in the data";
  }
}

}  // namespace

void TCurveFit::RequireData(int32_t Min, const char* Routine) {
  if (FNumData >= Min) return;
  ClearModelParams();
  throw ENUXMath2Error(std::string(Routine) + ": not enough data points");
}

// ---- Straight line and parabola -----------------------------------------------------------------

void TCurveFit::CalcLinFit(double& k, double& d, double& FitQual) {
  k = d = FitQual = 0.0;
  RequireData(2, "CalcLinFit");
  ClearModelParams();
  double MeanX = FMeanX, Sxx = FM2X, Sxy = FCXY, Syy = FM2Y, MeanY = FMeanY;
  double RootSxx = std::sqrt(FM2X);
  if (!(std::isfinite(Sxx) && std::isfinite(Sxy) && std::isfinite(Syy))) {
    // Values near the overflow limit: centred sums of the data scaled by powers of two.
    const math2_detail::TScaledMoments Sm = math2_detail::ScaledMoments(FX, FY);
    if (Sm.Sxx > 0.0) {
      const double Ks = Sm.Sxy / Sm.Sxx;
      k = std::ldexp(Ks, Sm.Ey - Sm.Ex);
      d = std::ldexp(Sm.My - Ks * Sm.Mx, Sm.Ey);
      FitQual = Sm.Syy > 0.0 ? (Sm.Sxy / Sm.Sxx) * (Sm.Sxy / Sm.Syy) : 1.0;
    }
    MeanX = std::ldexp(Sm.Mx, Sm.Ex);
    Sxx = Sm.Sxx > 0.0 ? std::ldexp(Sm.Sxx, 2 * Sm.Ex) : 0.0;
    RootSxx = std::ldexp(std::sqrt(Sm.Sxx), Sm.Ex);
  } else if (Sxx > 0.0) {
    k = Sxy / Sxx;
    d = MeanY - k * MeanX;
    FitQual = Syy > 0.0 ? (Sxy / Sxx) * (Sxy / Syy) : 1.0;
  }
  if (!(Sxx > 0.0)) {
    k = d = FitQual = 0.0;
    throw ENUXMath2Error("CalcLinFit: slope is infinite");
  }
  if (!std::isfinite(k) || !std::isfinite(d)) {
    k = d = FitQual = 0.0;
    throw ENUXMath2Error("CalcLinFit: result is not finite");
  }
  FitQual = std::clamp(FitQual, 0.0, 1.0);
  const double P[2] = {d, k};
  SetModel(rmLinear, P, FitQual);
  FFit = std::make_unique<TFitStore>();
  FFit->IsLine = true;
  FFit->LineMeanX = MeanX;
  FFit->LineRootSxx = RootSxx;
  FFit->NParams = 2;
}

void TCurveFit::CalcParabolFit(double& k0, double& k1, double& k2, double& FitQual) {
  k0 = k1 = k2 = FitQual = 0.0;
  RequireData(3, "CalcParabolFit");
  ClearModelParams();
  // Centred on the mean of x, so that the columns u and u^2 are far from collinear.
  const double M = FMeanX;
  const auto N = size_t(FNumData);
  std::vector<TDoubleArray> Cols(3, TDoubleArray(N));
  for (size_t I = 0; I < N; ++I) {
    const double U = FX[I] - M;
    Cols[0][I] = U;
    Cols[1][I] = U * U;
    Cols[2][I] = 1.0;
  }
  auto Store = std::make_unique<TFitStore>();
  TEngineFit F;
  if (!EngineFit(Cols, FY, Store->L, F))
    throw ENUXMath2Error("CalcParabolFit: result is not finite");
  if (F.Rank < 3) {
    // Fewer than three distinct x: the least-squares parabola is not unique; take the line.
    if (FM2X > 0.0) {
      CalcLinFit(k1, k0, FitQual);
    } else {
      k0 = FMeanY;
      FitQual = FM2Y > 0.0 ? 0.0 : 1.0;
      const double P[3] = {k0, 0.0, 0.0};
      SetModel(rmParabolic, P, FitQual);
      FFit = std::make_unique<TFitStore>();
      FFit->IsLine = true;
      FFit->LineMeanX = M;
      FFit->LineRootSxx = std::numeric_limits<double>::infinity();  // leverage 1/n
      FFit->NParams = 1;
      return;
    }
    const double P[3] = {k0, k1, 0.0};
    std::unique_ptr<TFitStore> Keep = std::move(FFit);
    SetModel(rmParabolic, P, FitQual);
    FFit = std::move(Keep);
    return;
  }
  const double C1 = F.B[0], C2 = F.B[1], C0 = F.B[2];
  k2 = C2;
  k1 = C1 - 2.0 * C2 * M;
  k0 = C0 - C1 * M + C2 * M * M;
  FitQual = RSquared(F.Rss, FM2Y);
  if (!std::isfinite(k0) || !std::isfinite(k1) || !std::isfinite(k2)) {
    k0 = k1 = k2 = FitQual = 0.0;
    throw ENUXMath2Error("CalcParabolFit: result is not finite");
  }
  const double P[3] = {k0, k1, k2};
  SetModel(rmParabolic, P, FitQual);
  Store->Row = [M](double X, double* R) {
    const double U = X - M;
    R[0] = U;
    R[1] = U * U;
    R[2] = 1.0;
    return std::isfinite(R[1]);
  };
  Store->NParams = 3;
  FFit = std::move(Store);
}

// ---- Circle -------------------------------------------------------------------------------------

// The algebraic fit of the running-sum formulas, on data centred on their means (raw power sums
// of coordinates far from the origin cancel).
void TCurveFit::CalcCircleFit(double& r, double& dx, double& dy) {
  r = dx = dy = 0.0;
  RequireData(3, "CalcCircleFit");
  ClearModelParams();
  const double Mx = FMeanX, My = FMeanY, n = FNumData;
  double Su2 = 0, Sv2 = 0, Suv = 0, Su3 = 0, Sv3 = 0, Su2v = 0, Suv2 = 0, Su = 0, Sv = 0;
  for (int32_t I = 0; I < FNumData; ++I) {
    const double U = FX[size_t(I)] - Mx, V = FY[size_t(I)] - My;
    Su += U;
    Sv += V;
    Su2 += U * U;
    Sv2 += V * V;
    Suv += U * V;
    Su3 += U * U * U;
    Sv3 += V * V * V;
    Su2v += U * U * V;
    Suv2 += U * V * V;
  }
  const double a = n * Suv - Su * Sv;
  const double b = (Su2 + Sv2) * Sv - (Su2v + Sv3) * n;
  const double c = Sv * Sv - n * Sv2;
  const double e = (Su2 + Sv2) * Su - (Suv2 + Su3) * n;
  const double f = Su * Su - n * Su2;
  const double det = c * f - a * a;
  // Collinear points: det vanishes up to the rounding of its two products.
  if (!(std::abs(det) > 1e-12 * (std::abs(c * f) + a * a))) {
    FRegMod = rmNone;
    throw ENUXMath2Error("CalcCircleFit: radius is infinite");
  }
  const double Cu = (a * b + c * e) / 2 / det, Cv = (a * e + b * f) / 2 / det;
  const double R2 = (Su2 + Sv2 - 2 * (Cu * Su + Cv * Sv) + n * (Cu * Cu + Cv * Cv)) / n;
  dx = Cu + Mx;
  dy = Cv + My;
  r = std::sqrt(std::max(R2, 0.0));
  if (!std::isfinite(r) || !std::isfinite(dx) || !std::isfinite(dy)) {
    r = dx = dy = 0.0;
    throw ENUXMath2Error("CalcCircleFit: radius is infinite");
  }
  const double P[3] = {dx, dy, r};
  SetModel(rmCircle, P, 0.0);
}

// ---- Linearised models --------------------------------------------------------------------------

namespace {

int32_t NumRegressors(TRegModel M) { return M == rmGaussian || M == rmHoerl ? 2 : 1; }

// Design row of a linearised model at X (constant last); false where a regressor is undefined.
bool LinearisedRow(TRegModel M, double Shift, double X, double* R) {
  switch (M) {
    case rmReciLin:
    case rmExpo:
      R[0] = X;
      break;
    case rmHyperbolic:
    case rmReciHyperbolic:
      if (X == 0.0) return false;
      R[0] = 1.0 / X;
      break;
    case rmGaussian:
      R[0] = X - Shift;
      R[1] = R[0] * R[0];
      break;
    case rmHoerl:
      if (!(X > 0.0)) return false;
      R[0] = X;
      R[1] = std::log(X);
      break;
    default:  // rmLog, rmReciLog, rmPower
      if (!(X > 0.0)) return false;
      R[0] = std::log(X);
  }
  R[NumRegressors(M)] = 1.0;
  return std::isfinite(R[0]) && std::isfinite(R[NumRegressors(M) - 1]);
}

double LinearisedTarget(TRegModel M, double Y) {
  switch (M) {
    case rmReciLin:
    case rmReciHyperbolic:
    case rmReciLog:
      return 1.0 / Y;
    case rmHyperbolic:
    case rmLog:
      return Y;
    default:
      return std::log(Y);  // rmPower, rmExpo, rmHoerl, rmGaussian
  }
}

}  // namespace

// Least squares of the transformed y on the transformed x (listed in docs/curvefit.md): the
// residuals minimised are those of the transformed y.
void TCurveFit::Linearised(TRegModel M, const char* Routine, double* Pars, double& FitQual) {
  const int32_t NR = NumRegressors(M);
  for (int32_t J = 0; J <= NR; ++J) Pars[J] = 0.0;
  FitQual = 0.0;
  RequireData(3, Routine);
  ClearModelParams();
  if (!ModelTakesData(M, FInvalid)) throw ENUXMath2Error(std::string(Routine) + InvalidDataText(M));
  const auto N = size_t(FNumData);
  const double Shift = M == rmGaussian ? FMeanX : 0.0;
  std::vector<TDoubleArray> Cols(size_t(NR + 1), TDoubleArray(N));
  TDoubleArray T(N);
  double R[3];
  for (size_t I = 0; I < N; ++I) {
    if (!LinearisedRow(M, Shift, FX[I], R))
      throw ENUXMath2Error(std::string(Routine) + ": transformed data are not finite");
    for (int32_t J = 0; J <= NR; ++J) Cols[size_t(J)][I] = R[J];
    T[I] = LinearisedTarget(M, FY[I]);
  }
  auto Store = std::make_unique<TFitStore>();
  TEngineFit F;
  if (!EngineFit(Cols, T, Store->L, F))
    throw ENUXMath2Error(std::string(Routine) + ": transformed data are not finite");
  if (F.Rank < NR + 1)
    throw ENUXMath2Error(std::string(Routine) + ": the data do not determine the model");
  double K[3] = {F.B[size_t(NR)], F.B[0], NR > 1 ? F.B[1] : 0.0};  // constant, slopes
  switch (M) {
    case rmPower:
    case rmExpo:
      K[0] = std::exp(K[0]);
      break;
    case rmHoerl:
      K[0] = std::exp(K[0]);
      K[1] = std::exp(K[1]);
      break;
    case rmGaussian: {
      // ln y = a + b u + c u^2 with u = x - Shift: a bell needs c < 0.
      const double A = K[0], B = K[1], C = K[2];
      if (!(C < 0.0)) throw ENUXMath2Error(std::string(Routine) + ": the data are not bell-shaped");
      K[2] = -1.0 / C;
      K[1] = Shift - B / (2.0 * C);
      K[0] = std::exp(A - B * B / (4.0 * C));
      break;
    }
    default:
      break;
  }
  for (int32_t J = 0; J <= NR; ++J)
    if (!std::isfinite(K[J])) throw ENUXMath2Error(std::string(Routine) + ": result is not finite");
  FitQual = RSquared(F.Rss, TotalSumSq(T));
  for (int32_t J = 0; J <= NR; ++J) Pars[J] = K[J];
  SetModel(M, std::span<const double>(K, size_t(NR + 1)), FitQual);
  Store->Row = [M, Shift](double X, double* Rw) { return LinearisedRow(M, Shift, X, Rw); };
  Store->NParams = NR + 1;
  FFit = std::move(Store);
}

void TCurveFit::CalcGaussFit(double& k0, double& k1, double& k2, double& FitQual) {
  double P[3];
  Linearised(rmGaussian, "CalcGaussFit", P, FitQual);
  k0 = P[0], k1 = P[1], k2 = P[2];
}

void TCurveFit::CalcHoerlFit(double& k0, double& k1, double& k2, double& FitQual) {
  double P[3];
  Linearised(rmHoerl, "CalcHoerlFit", P, FitQual);
  k0 = P[0], k1 = P[1], k2 = P[2];
}

#define NUX_TWO_PAR_FIT(Name, Model)                              \
  void TCurveFit::Name(double& k0, double& k1, double& FitQual) { \
    double P[2];                                                  \
    Linearised(Model, #Name, P, FitQual);                         \
    k0 = P[0], k1 = P[1];                                         \
  }
NUX_TWO_PAR_FIT(CalcReciLinFit, rmReciLin)
NUX_TWO_PAR_FIT(CalcHyperbolFit, rmHyperbolic)
NUX_TWO_PAR_FIT(CalcReciHyperbolFit, rmReciHyperbolic)
NUX_TWO_PAR_FIT(CalcLogFit, rmLog)
NUX_TWO_PAR_FIT(CalcReciLogFit, rmReciLog)
NUX_TWO_PAR_FIT(CalcPowerFit, rmPower)
NUX_TWO_PAR_FIT(CalcExponentialFit, rmExpo)
#undef NUX_TWO_PAR_FIT

// ---- Polynomials --------------------------------------------------------------------------------

bool TCurveFit::PolyFit(int32_t nOrder, bool Centred, TDoubleArray& kArray, TDoubleArray& Alpha,
                        double& XShift, double& FitQual, bool& NearSingular, const char* Routine) {
  ClearModelParams();
  FitQual = 0.0;
  NearSingular = false;
  kArray.clear();
  Alpha.clear();
  // Checked before the count: an order above 10 has no parameter slots, a negative one no design.
  if (nOrder < 0 || nOrder > MaxPolyOrder) return false;
  RequireData(nOrder + 1, Routine);
  BeginAbortable();
  const auto N = size_t(FNumData);
  const auto P = size_t(nOrder);
  double Shift = 0.0, Sx = 1.0, YMean = 0.0;
  if (Centred) {
    Shift = XShift == 0.0 ? FMeanX : XShift;
    const double Sd = FNumData > 1 ? std::sqrt(FM2X / (FNumData - 1)) : 0.0;
    Sx = Sd > 0.0 && std::isfinite(Sd) ? Sd : 1.0;
    YMean = FMeanY;
  }
  std::vector<TDoubleArray> Cols(P + 1, TDoubleArray(N));
  TDoubleArray T(N);
  for (size_t I = 0; I < N; ++I) {
    const double U = (FX[I] - Shift) / Sx;
    double Pw = 1.0;
    for (size_t J = 0; J < P; ++J) Cols[J][I] = Pw *= U;
    Cols[P][I] = 1.0;
    T[I] = FY[I] - YMean;
  }
  auto Store = std::make_unique<TFitStore>();
  TEngineFit F;
  if (!EngineFit(Cols, T, Store->L, F)) return false;
  NearSingular = F.NearSingular;
  const double Dof = double(FNumData) - double(nOrder) - 1.0;
  const double S = Dof >= 1.0 ? std::sqrt(F.Rss / Dof) : 0.0;
  // r^2 between y and the fitted values.
  TDoubleArray Fit(N, 0.0);
  for (size_t J = 0; J <= P; ++J)
    for (size_t I = 0; I < N; ++I) Fit[I] += F.B[J] * Cols[J][I];
  const int64_t Nn = FNumData;
  auto Yv = [&](int64_t I) { return T[size_t(I)]; };
  auto Fv = [&](int64_t I) { return Fit[size_t(I)]; };
  const TCentralSums Cy = CentralSums(Nn, Yv), Cf = CentralSums(Nn, Fv);
  const double Cyf = CentralCoSum(Nn, Yv, Fv, Cy.Mean, Cf.Mean);
  FitQual = Cy.S2 > 0.0 && Cf.S2 > 0.0 ? std::clamp((Cyf / Cy.S2) * (Cyf / Cf.S2), 0.0, 1.0) : 0.0;
  kArray.assign(P + 1, 0.0);
  Alpha.assign(P + 1, 0.0);
  auto Signif = [&](size_t J) {
    const double Se = F.SE[J];
    if (S == 0.0 || Se == 0.0) return 0.0;
    return 2.0 * tDistriIntegralUpper(std::abs(F.B[J] / S / Se), int32_t(Dof));
  };
  double Pw = 1.0;
  for (size_t J = 1; J <= P; ++J) {
    Pw *= Sx;
    kArray[J] = F.B[J - 1] / Pw;
    Alpha[J] = Signif(J - 1);
  }
  kArray[0] = F.B[P] + YMean;
  Alpha[0] = Signif(P);
  if (!AllFinite(kArray)) {
    kArray.clear();
    Alpha.clear();
    FitQual = 0.0;
    return false;
  }
  SetModel(Centred ? rmCenteredPoly : rmPolynomial, kArray, FitQual);
  for (size_t J = 0; J <= P; ++J) FModPars[1][J] = Alpha[J];
  FPolyOrder = nOrder;
  if (Centred) {
    FXShift = Shift;
    XShift = Shift;
  }
  Store->Row = [Shift, Sx, P](double X, double* R) {
    const double U = (X - Shift) / Sx;
    double Pw = 1.0;
    for (size_t J = 0; J < P; ++J) R[J] = Pw *= U;
    R[P] = 1.0;
    return P == 0 || std::isfinite(R[P - 1]);
  };
  Store->NParams = F.Rank;
  FFit = std::move(Store);
  return true;
}

bool TCurveFit::CalcPolyFit(int32_t nOrder, TDoubleArray& kArray, TDoubleArray& Alpha,
                            double& FitQual, bool& NearSingular) {
  double Shift = 0.0;
  return PolyFit(nOrder, false, kArray, Alpha, Shift, FitQual, NearSingular, "CalcPolyFit");
}

bool TCurveFit::CalcPolyFit(int32_t nOrder, TDoubleArray& kArray, double& FitQual,
                            bool& NearSingular) {
  TDoubleArray Alpha;
  return CalcPolyFit(nOrder, kArray, Alpha, FitQual, NearSingular);
}

bool TCurveFit::CalcCenteredPolyFit(int32_t nOrder, TDoubleArray& kArray, TDoubleArray& alpha,
                                    double& XShift, double& FitQual, bool& NearSingular) {
  return PolyFit(nOrder, true, kArray, alpha, XShift, FitQual, NearSingular, "CalcCenteredPolyFit");
}

bool TCurveFit::CalcCenteredPolyFit(int32_t nOrder, TDoubleArray& kArray, double& XShift,
                                    double& FitQual, bool& NearSingular) {
  TDoubleArray Alpha;
  return CalcCenteredPolyFit(nOrder, kArray, Alpha, XShift, FitQual, NearSingular);
}

// ---- Models -------------------------------------------------------------------------------------

double TCurveFit::Evaluate(double XVal) const {
  const double* K = FModPars[0];
  const double x = XVal;
  switch (FRegMod) {
    case rmLinear:
      return K[0] + K[1] * x;
    case rmParabolic:
      return K[0] + (K[1] + K[2] * x) * x;
    case rmGaussian:
      return K[0] * std::exp(-(x - K[1]) * (x - K[1]) / K[2]);
    case rmReciLin: {
      const double D = K[0] + K[1] * x;
      return D == 0.0 ? uc_MaxDouble : 1.0 / D;
    }
    case rmHyperbolic:
      return x == 0.0 ? uc_MaxDouble : K[0] + K[1] / x;
    case rmReciHyperbolic: {
      const double D = K[0] * x + K[1];
      return D == 0.0 ? uc_MaxDouble : x / D;
    }
    case rmLog:
      return x <= 0.0 ? -uc_MaxDouble : K[0] + K[1] * std::log(x);
    case rmReciLog: {
      if (x <= 0.0) return -uc_MaxDouble;
      const double D = K[0] + K[1] * std::log(x);
      return D == 0.0 ? uc_MaxDouble : 1.0 / D;
    }
    case rmPower:
      return K[0] * std::pow(x, K[1]);
    case rmExpo:
      return K[0] * std::exp(K[1] * x);
    case rmHoerl:
      return K[0] * std::pow(K[1], x) * std::pow(x, K[2]);
    case rmPolynomial:
      return Polynomial(std::span<const double>(K, MaxPolyOrder + 1), FPolyOrder, x);
    case rmCenteredPoly:
      return CenteredPolynomial(std::span<const double>(K, MaxPolyOrder + 1), FPolyOrder, x,
                                FXShift);
    default:
      return 0.0;  // rmNone, rmCircle
  }
}

int32_t TCurveFit::FitModel(TRegModel RegModel, int32_t PolyOrder) {
  double a, b, c, d;
  TDoubleArray K;
  bool Ns;
  try {
    switch (RegModel) {
      case rmLinear:
        CalcLinFit(a, b, c);
        break;
      case rmParabolic:
        CalcParabolFit(a, b, c, d);
        break;
      case rmGaussian:
        CalcGaussFit(a, b, c, d);
        break;
      case rmReciLin:
        CalcReciLinFit(a, b, c);
        break;
      case rmHyperbolic:
        CalcHyperbolFit(a, b, c);
        break;
      case rmReciHyperbolic:
        CalcReciHyperbolFit(a, b, c);
        break;
      case rmLog:
        CalcLogFit(a, b, c);
        break;
      case rmReciLog:
        CalcReciLogFit(a, b, c);
        break;
      case rmPower:
        CalcPowerFit(a, b, c);
        break;
      case rmExpo:
        CalcExponentialFit(a, b, c);
        break;
      case rmHoerl:
        CalcHoerlFit(a, b, c, d);
        break;
      case rmCircle:
        CalcCircleFit(a, b, c);
        break;
      case rmPolynomial:
        if (!CalcPolyFit(PolyOrder, K, c, Ns)) return cfFitFailed;
        break;
      case rmCenteredPoly:
        d = 0.0;
        if (!CalcCenteredPolyFit(PolyOrder, K, d, c, Ns)) return cfFitFailed;
        break;
      default:
        return cfNoModel;
    }
  } catch (const ENUXMath2Error&) {
    ClearModelParams();
    return cfFitFailed;
  }
  return cfOK;
}

int32_t TCurveFit::CalcRegModel(TRegModel RegModel, int32_t PolyOrder) {
  if (RegModel <= rmNone || RegModel > rmCenteredPoly) return cfNoModel;
  const bool Poly = RegModel == rmPolynomial || RegModel == rmCenteredPoly;
  if (Poly && (PolyOrder < 0 || PolyOrder > MaxPolyOrder)) return cfBadOrder;
  if (FNumData < (Poly ? PolyOrder + 1 : REG_MINDP[size_t(RegModel)])) return cfTooFewPoints;
  if (!ModelTakesData(RegModel, FInvalid)) return cfInvalidData;
  const bool Fitted = FRegMod == RegModel && (!Poly || FPolyOrder == PolyOrder) &&
                      (FFit != nullptr || RegModel == rmCircle);
  if (!Fitted) {
    const int32_t R = FitModel(RegModel, PolyOrder);
    if (R != cfOK) return R;
  }
  TDoubleArray Res(static_cast<size_t>(FNumData));
  for (size_t I = 0; I < Res.size(); ++I) {
    if (RegModel == rmCircle)
      Res[I] = std::hypot(FX[I] - FModPars[0][0], FY[I] - FModPars[0][1]) - FModPars[0][2];
    else
      Res[I] = FY[I] - Evaluate(FX[I]);
  }
  FResids = std::move(Res);
  return cfOK;
}

double TCurveFit::Leverage(double XVal) const {
  if (FFit == nullptr) return NaN;
  if (FFit->IsLine) {
    const double D = XVal - FFit->LineMeanX;
    const double U = std::isinf(FFit->LineRootSxx) ? 0.0 : D / FFit->LineRootSxx;
    return 1.0 / FNumData + U * U;
  }
  double R[MaxPolyOrder + 1];
  if (!FFit->Row || !FFit->Row(XVal, R)) return NaN;
  return EngineLeverage(FFit->L, R);
}

int32_t TCurveFit::Predict(TRegModel RegModel, double XVal, double p, int32_t PolyOrder,
                           double& PredVal, double& PredIv, double& ConfIv) {
  PredVal = PredIv = ConfIv = 0.0;
  int32_t St = cfOK;
  if (!(p >= 0.5 && p < 1.0)) St = prBadProb;
  const bool Known = RegModel > rmNone && RegModel <= rmCenteredPoly;
  if (Known && FNumData < REG_MINDP[size_t(RegModel)]) St = prTooFewPoints;
  if (!Known) St = prNoModel;
  if (St == cfOK && RegModel == rmCircle) St = cfNotAFunction;
  if (St != cfOK) return St;
  St = CalcRegModel(RegModel, PolyOrder);
  if (St == cfTooFewPoints) return prTooFewPoints;
  if (St != cfOK) return St;
  PredVal = Evaluate(XVal);
  // Residuals of the pairs where the model has a value (not a stand-in for infinity).
  double Sse = 0.0;
  int32_t M = 0;
  for (int32_t I = 0; I < FNumData; ++I) {
    const double Yh = Evaluate(FX[size_t(I)]);
    if (!(std::abs(Yh) < uc_MaxDouble / 2)) continue;
    Sse += (FY[size_t(I)] - Yh) * (FY[size_t(I)] - Yh);
    ++M;
  }
  const int32_t Df = M - FFit->NParams;
  if (Df < 1) return prTooFewPoints;
  const double S = std::sqrt(Sse / Df);
  const double T = std::abs(tDistriQuantile((1.0 - p) / 2.0, Df));
  const double H = Leverage(XVal);
  if (std::isnan(H)) return cfInvalidData;
  PredIv = S * std::sqrt(1.0 + H) * T;
  ConfIv = S * std::sqrt(H) * T;
  if (!std::isfinite(PredVal) || !std::isfinite(PredIv) || !std::isfinite(ConfIv)) {
    PredIv = ConfIv = 0.0;
    return cfFitFailed;
  }
  return cfOK;
}

void TCurveFit::CalcAnovaReg(int32_t NumVars, bool IncludeConst, int32_t& dfreg, int32_t& dfres,
                             int32_t& dftotal, double& SSE, double& SSR, double& SST, double& MSE,
                             double& MSR, double& F) const {
  const int32_t n = FNumData;
  dfreg = NumVars;
  dftotal = IncludeConst ? n - 1 : n;
  dfres = dftotal - dfreg;
  const double m = IncludeConst ? GetMeanX() : 0.0;
  // Deviations summed directly: the expanded forms of the running sums cancel.
  SSE = SSR = SST = 0.0;
  for (int32_t I = 0; I < n; ++I) {
    const double X = FX[size_t(I)], Y = FY[size_t(I)];
    SSE += (X - Y) * (X - Y);
    SSR += (Y - m) * (Y - m);
    SST += (X - m) * (X - m);
  }
  MSE = dfres > 0 ? SSE / dfres : 0.0;
  MSR = dfreg > 0 ? SSR / dfreg : 0.0;
  F = MSR == 0.0 ? 0.0 : (MSE == 0.0 ? 1e10 : MSR / MSE);
}

}  // namespace nux
