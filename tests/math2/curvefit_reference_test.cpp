// TCurveFit against numpy and scipy (data/make_curvefit_reference.py).
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

#include "nux/frame/errors.h"
#include "nux/math2/curvefit.h"

namespace nux {
namespace {

#include "data/curvefit_reference.inc"

template <size_t N>
void Fill(TCurveFit& C, const double (&X)[N], const double (&Y)[N]) {
  C.Init();
  for (size_t I = 0; I < N; ++I) C.EnterStatValue(X[I], Y[I]);
}

// Relative agreement, absolute near zero.
void Near(double Got, double Want, double Tol) {
  EXPECT_NEAR(Got, Want, Tol * std::max(1.0, std::abs(Want))) << "want " << Want;
}

TEST(CurveFitReference, LineParabolaAndPolynomialsWithTheirIntervals) {
  TCurveFit C;
  Fill(C, kAX, kAY);
  double k, d, q, Pv, Pi, Ci;
  C.CalcLinFit(k, d, q);
  Near(k, kLin[0], 1e-13);
  Near(d, kLin[1], 1e-13);
  Near(q, kLin[2], 1e-13);
  ASSERT_EQ(C.Predict(rmLinear, 3.3, 0.95, 0, Pv, Pi, Ci), cfOK);
  Near(Pv, kLinPredict[0], 1e-13);
  Near(Pi, kLinPredict[1], 1e-8);  // t quantile to about 1e-9
  Near(Ci, kLinPredict[2], 1e-8);
  double k0, k1, k2;
  C.CalcParabolFit(k0, k1, k2, q);
  Near(k0, kPoly2[0], 1e-12);
  Near(k1, kPoly2[1], 1e-12);
  Near(k2, kPoly2[2], 1e-12);
  Near(q, kPoly2[3], 1e-12);
  ASSERT_EQ(C.Predict(rmParabolic, 3.3, 0.9, 0, Pv, Pi, Ci), cfOK);
  Near(Pv, kPoly2Predict[0], 1e-12);
  Near(Pi, kPoly2Predict[1], 1e-8);
  Near(Ci, kPoly2Predict[2], 1e-8);
  struct {
    int Order;
    const double *Coef, *Alpha, *Pred;
  } const Cases[] = {{2, kPoly2, kPoly2Alpha, kPoly2Predict},
                     {3, kPoly3, kPoly3Alpha, kPoly3Predict},
                     {5, kPoly5, kPoly5Alpha, kPoly5Predict}};
  for (const auto& T : Cases) {
    SCOPED_TRACE(T.Order);
    TDoubleArray K, Alpha;
    bool Ns = true;
    ASSERT_TRUE(C.CalcPolyFit(T.Order, K, Alpha, q, Ns));
    EXPECT_FALSE(Ns);
    ASSERT_EQ(K.size(), size_t(T.Order + 1));
    for (int J = 0; J <= T.Order; ++J) {
      Near(K[J], T.Coef[J], 1e-10);
      Near(Alpha[J], T.Alpha[J], 1e-7);
      EXPECT_EQ(C.GetModelPar(2, J), Alpha[J]);
    }
    Near(q, T.Coef[T.Order + 1], 1e-12);
    ASSERT_EQ(C.Predict(rmPolynomial, 3.3, 0.9, T.Order, Pv, Pi, Ci), cfOK);
    Near(Pv, T.Pred[0], 1e-11);
    Near(Pi, T.Pred[1], 1e-8);
    Near(Ci, T.Pred[2], 1e-8);
    // The centred form predicts the same.
    double Pv2, Pi2, Ci2;
    ASSERT_EQ(C.Predict(rmCenteredPoly, 3.3, 0.9, T.Order, Pv2, Pi2, Ci2), cfOK);
    Near(Pv2, Pv, 1e-11);
    Near(Pi2, Pi, 1e-10);
    Near(Ci2, Ci, 1e-10);
  }
  TDoubleArray K;
  double Shift = 0.0;
  bool Ns;
  ASSERT_TRUE(C.CalcCenteredPolyFit(3, K, Shift, q, Ns));
  Near(Shift, C.GetMeanX(), 1e-15);
  for (int J = 0; J <= 3; ++J) Near(K[J], kCentredPoly3[J], 1e-11);
  EXPECT_EQ(C.GetXShift(), Shift);
}

TEST(CurveFitReference, RankCorrelationsAndTheirProbabilities) {
  TCurveFit C;
  for (const auto& [X, Y, R] : {std::tuple{&kAX, &kAY, &kRankA}, std::tuple{&kBX, &kBY, &kRankB}}) {
    C.Init();
    for (size_t I = 0; I < std::size(*X); ++I) C.EnterStatValue((*X)[I], (*Y)[I]);
    double P;
    Near(C.GetSpearman(P), (*R)[0], 1e-14);
    Near(P, (*R)[1], 1e-7);
    Near(C.KendallsTau(P), (*R)[2], 1e-14);
    Near(P, (*R)[3], 1e-9);
    Near(C.GetKruskalGamma(), (*R)[4], 1e-14);
    // Swapping x and y changes none of them.
    C.FlipXY();
    Near(C.KendallsTau(P), (*R)[2], 1e-14);
    Near(C.GetSpearman(), (*R)[0], 1e-14);
  }
}

TEST(CurveFitReference, LinearisedModelsCircleAndEvaluation) {
  TCurveFit C;
  Fill(C, kCX, kCY);
  double k0, k1, k2, q;
  struct {
    void (TCurveFit::*Fit)(double&, double&, double&);
    TRegModel Model;
    const double* Want;
  } const Two[] = {{&TCurveFit::CalcReciLinFit, rmReciLin, kReciLin},
                   {&TCurveFit::CalcHyperbolFit, rmHyperbolic, kHyperbolic},
                   {&TCurveFit::CalcReciHyperbolFit, rmReciHyperbolic, kReciHyperbolic},
                   {&TCurveFit::CalcLogFit, rmLog, kLog},
                   {&TCurveFit::CalcReciLogFit, rmReciLog, kReciLog},
                   {&TCurveFit::CalcPowerFit, rmPower, kPower},
                   {&TCurveFit::CalcExponentialFit, rmExpo, kExpo}};
  for (const auto& T : Two) {
    SCOPED_TRACE(IDS_REGMODEL[T.Model]);
    (C.*T.Fit)(k0, k1, q);
    Near(k0, T.Want[0], 1e-11);
    Near(k1, T.Want[1], 1e-11);
    Near(q, T.Want[2], 1e-11);
    EXPECT_EQ(C.RegModel(), T.Model);
    // Residuals of CalcRegModel are those of the model equation.
    ASSERT_EQ(C.CalcRegModel(T.Model, 0), cfOK);
    EXPECT_NEAR(C.GetResidual(7), kCY[6] - C.Evaluate(kCX[6]), 1e-15);
    double Pv, Pi, Ci;
    ASSERT_EQ(C.Predict(T.Model, 2.0, 0.95, 0, Pv, Pi, Ci), cfOK);
    EXPECT_GT(Pi, Ci);
    EXPECT_GT(Ci, 0.0);
  }
  C.CalcHoerlFit(k0, k1, k2, q);
  Near(k0, kHoerl[0], 1e-11);
  Near(k1, kHoerl[1], 1e-11);
  Near(k2, kHoerl[2], 1e-11);
  Near(C.Evaluate(2.0), kHoerl[0] * std::pow(kHoerl[1], 2.0) * std::pow(2.0, kHoerl[2]), 1e-11);
  Fill(C, kCX, kGY);
  C.CalcGaussFit(k0, k1, k2, q);
  Near(k0, kGauss[0], 1e-11);
  Near(k1, kGauss[1], 1e-11);
  Near(k2, kGauss[2], 1e-11);
  Near(C.Evaluate(k1), k0, 1e-15);
  // A valley is not a bell.
  TCurveFit V;
  for (double X : {-2.0, -1.0, 0.0, 1.0, 2.0}) V.EnterStatValue(X, std::exp(X * X));
  EXPECT_THROW(V.CalcGaussFit(k0, k1, k2, q), ENUXMath2Error);
  EXPECT_EQ(V.CalcRegModel(rmGaussian, 0), cfFitFailed);

  Fill(C, kRX, kRY);
  double R, Dx, Dy;
  C.CalcCircleFit(R, Dx, Dy);
  Near(R, kCircle[0], 1e-12);
  Near(Dx, kCircle[1], 1e-12);
  Near(Dy, kCircle[2], 1e-12);
  EXPECT_EQ(C.Evaluate(1.0), 0.0);
  // CalcRegModel fits the circle and gives the radial residuals; Predict has no function to use.
  C.EnterStatValue(kRX[0], kRY[0]);
  ASSERT_EQ(C.CalcRegModel(rmCircle, 0), cfOK);
  EXPECT_EQ(C.RegModel(), rmCircle);
  EXPECT_NEAR(C.GetResidual(1), C.GetResidual(13), 1e-15);
  double Pv, Pi, Ci;
  EXPECT_EQ(C.Predict(rmCircle, 1.0, 0.9, 0, Pv, Pi, Ci), cfNotAFunction);
  TCurveFit L;
  for (double X : {1.0, 2.0, 3.0, 4.0}) L.EnterStatValue(X, 2 * X);
  EXPECT_THROW(L.CalcCircleFit(R, Dx, Dy), ENUXMath2Error);
  EXPECT_EQ(L.CalcRegModel(rmCircle, 0), cfFitFailed);
}

TEST(CurveFitReference, SplinesInterpolateAndSmooth) {
  TCurveFit C;
  // Entered in reverse, with one pair twice: the knots are sorted and merged.
  for (size_t I = std::size(kAX); I-- > 0;) C.EnterStatValue(kAX[I], kAY[I]);
  C.EnterStatValue(kAX[5], kAY[5]);
  for (size_t I = 0; I < std::size(kSplineAt); ++I)
    Near(C.CubicSpline(kSplineAt[I]), kSplineNatural[I], 1e-12);
  C.SetNatural1(false);
  C.SetNaturalN(false);
  C.SetY1Dash(0.5);
  C.SetYNDash(-1.0);
  for (size_t I = 0; I < std::size(kSplineAt); ++I)
    Near(C.CubicSpline(kSplineAt[I]), kSplineClamped[I], 1e-12);
  C.RemoveStatValue(C.NumData());  // the duplicate would weigh twice in the smoothing spline
  for (const auto& [Lambda, Want] : {std::pair{0.5, &kSmoothHalf}, std::pair{5.0, &kSmoothFive}}) {
    C.SetSplineSmoothing(Lambda);
    double Q;
    bool Valid;
    for (size_t I = 1; I + 2 < std::size(kSplineAt); ++I)
      Near(C.SmoothedSpline(kSplineAt[I], Q, Valid), (*Want)[I], 1e-10);
    EXPECT_TRUE(Valid);
    Near(Q, (*Want)[std::size(kSplineAt)], 1e-10);
    // Beyond the knots: the straight line of the end.
    const double E = kAX[std::size(kAX) - 1];
    const double G0 = C.SmoothedSpline(E, Q, Valid), G1 = C.SmoothedSpline(E + 1, Q, Valid),
                 G2 = C.SmoothedSpline(E + 2, Q, Valid);
    EXPECT_NEAR(G2 - G1, G1 - G0, 1e-12);
  }
}

}  // namespace
}  // namespace nux
