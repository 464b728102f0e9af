// Curve fitting: calibration of an NTC thermistor (data/thermistor.asc, the curve fit's own ASC
// form: temperature in degC, resistance in kOhm). The resistance follows R = R0 exp(B / T) with
// T in kelvin, so an exponential fit of R against 1/T gives the thermistor's B constant. The
// program predicts the resistance at body temperature with its intervals, compares it with the
// cubic spline through the points and with a centred polynomial of ln R, and checks the rank
// correlations. It exits non-zero when a check fails.
#include <cmath>
#include <cstdio>
#include <string>

#include "nux/nux.h"

using namespace nux;

namespace {

std::string F(double X, int32_t Decimals) { return strff(X, 1, Decimals); }
std::string E(double X) { return StripLTBlanks(strf(X, 1, -2)); }

int Run(const std::string& FileName) {
  TCurveFit Raw;
  if (const int32_t Code = Raw.ImportASC(FileName); Code != ascOK) {
    std::fprintf(stderr, "curvefit: cannot read %s (code %d)\n", FileName.c_str(), Code);
    return 1;
  }
  const int32_t N = Raw.NumData();
  std::printf("%d calibration points from %s, %s .. %s degC\n", N, FileName.c_str(),
              F(Raw.MinX(), 1).c_str(), F(Raw.MaxX(), 1).c_str());
  if (N < 5) {
    std::fprintf(stderr, "curvefit: at least 5 points are needed\n");
    return 1;
  }

  // R against 1/T: the exponential model R = k0 exp(k1 x) with x = 1/T is the B equation.
  TCurveFit Inv;
  for (int32_t I = 1; I <= N; ++I) Inv.EnterStatValue(1.0 / (Raw.DataX(I) + 273.15), Raw.DataY(I));
  double R0 = 0, B = 0, Q = 0;
  try {
    Inv.CalcExponentialFit(R0, B, Q);
  } catch (const ENUXMath2Error& E) {
    std::fprintf(stderr, "curvefit: %s\n", E.what());
    return 1;
  }
  std::printf("\nB constant %s K, R(25 degC) = %s kOhm, R2 of ln R on 1/T %s\n", F(B, 0).c_str(),
              F(R0 * std::exp(B / 298.15), 3).c_str(), F(Q, 6).c_str());

  // Body temperature: prediction with 95 % intervals, the spline, and a polynomial of ln R.
  const double T = 37.0;
  double Pv = 0, Pi = 0, Ci = 0;
  if (const int32_t St = Inv.Predict(rmExpo, 1.0 / (T + 273.15), 0.95, 0, Pv, Pi, Ci); St != cfOK) {
    std::fprintf(stderr, "curvefit: prediction failed (%d)\n", St);
    return 1;
  }
  std::printf("at %s degC: model %s kOhm, 95 %% prediction +- %s, confidence +- %s\n",
              F(T, 1).c_str(), F(Pv, 3).c_str(), F(Pi, 3).c_str(), F(Ci, 3).c_str());
  const double Spline = Raw.CubicSpline(T);
  TCurveFit LnR;
  for (int32_t I = 1; I <= N; ++I) LnR.EnterStatValue(Raw.DataX(I), std::log(Raw.DataY(I)));
  TDoubleArray K, Alpha;
  double Shift = 0, PolyQ = 0;
  bool NearSingular = false;
  if (!LnR.CalcCenteredPolyFit(3, K, Alpha, Shift, PolyQ, NearSingular)) {
    std::fprintf(stderr, "curvefit: polynomial fit failed\n");
    return 1;
  }
  const double Poly = std::exp(LnR.Evaluate(T));
  std::printf("cubic spline %s kOhm, exp(cubic in (T - %s)) %s kOhm\n", F(Spline, 3).c_str(),
              F(Shift, 2).c_str(), F(Poly, 3).c_str());
  std::printf("cubic coefficients of ln R and their significance:\n");
  for (size_t J = 0; J < K.size(); ++J)
    std::printf("  k%zu = %s  (p %s)\n", J, E(K[J]).c_str(), E(Alpha[J]).c_str());

  double PTau = 1;
  const double Rho = Raw.GetSpearman(), Tau = Raw.KendallsTau(PTau);
  std::printf("Spearman's rho %s, Kendall's tau %s (p %s)\n", F(Rho, 3).c_str(), F(Tau, 3).c_str(),
              E(PTau).c_str());

  // Checks: a plausible B, and three estimates of R(37 degC) that agree within the interval.
  bool Ok = B > 3800 && B < 4100 && Q > 0.999 && Rho == -1.0 && Tau == -1.0;
  Ok = Ok && std::abs(Spline - Pv) < Pi && std::abs(Poly - Pv) < Pi;
  std::printf("\nchecks %s\n", Ok ? "passed" : "FAILED");
  return Ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string File = argc > 1 ? argv[1] : std::string(NUX_EXAMPLE_DATA) + "/thermistor.asc";
  return Run(File);
}
