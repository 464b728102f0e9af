#include "nux/math2/filters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "nux/frame/colors.h"
#include "nux/frame/errors.h"

namespace nux {
namespace {

#include "data/filters_reference.inc"

// The signal of make_filters_reference.py.
TVector Signal(int N = 200) {
  TVector V(N);
  for (int i = 0; i < N; ++i)
    V.SetVal(i + 1, std::sin(0.13 * i) + 0.3 * std::cos(0.71 * i) + 0.05 * ((i * 7) % 11));
  return TVector(V.Span());
}

template <class F>
std::string MessageOf(F&& Call) {
  try {
    Call();
  } catch (const ENUXMath2Error& E) {
    return E.what();
  }
  return "no exception";
}

TEST(SmoothingTest, SavitzkyGolayMatchesScipyInsideAndRepeatsTheEdges) {
  const TVector X = Signal();
  struct TCase {
    void (*Routine)(const TVector*, int32_t, int32_t, TVector*, int32_t);
    int32_t w;
    const double* Want;
    double Tol;
  };
  const TCase Cases[] = {
      {PolynomialSmooth, 5, kSavgol5, 1e-13},   {PolynomialSmooth, 11, kSavgol11, 1e-13},
      {PolynomialSmooth, 25, kSavgol25, 1e-13}, {FirstDeriv, 7, kSavgolD1_7, 1e-13},
      {SecondDeriv, 9, kSavgolD2_9, 1e-13},     {SecondDeriv, 25, kSavgolD2_25, 1e-14}};
  for (const TCase& C : Cases) {
    TVector D(200);
    C.Routine(&X, 0, 0, &D, C.w);
    const int m = C.w / 2;
    for (int i = m; i < 200 - m; ++i)
      ASSERT_NEAR(D.GetVal(i + 1), C.Want[i], C.Tol) << C.w << " " << i;
    for (int i = 1; i <= m; ++i) {
      EXPECT_EQ(D.GetVal(i), D.GetVal(m + 1));
      EXPECT_EQ(D.GetVal(201 - i), D.GetVal(200 - m));
    }
  }
  // The derivative of a straight line is its slope everywhere.
  TVector Line(30), D(30);
  Line.FillSerial(4.0, 0.5);
  FirstDeriv(&Line, 0, 0, &D, 5);
  for (int i = 1; i <= 30; ++i) EXPECT_DOUBLE_EQ(D.GetVal(i), 0.5);
}

// The window value by a plain loop over a 1-based vector.
double Direct(const TVector& X, int i, int m, int Kind) {
  double S = 0.0;
  std::vector<double> W;
  for (int j = -m; j <= m; ++j) {
    const double v = X.GetVal(i + j);
    S += Kind == 0 ? v : (m + 1 - std::abs(j)) * v;
    W.push_back(v);
  }
  if (Kind == 0) return S / (2 * m + 1);
  if (Kind == 1) return S / ((m + 1.0) * (m + 1.0));
  std::sort(W.begin(), W.end());
  return W[size_t(m)];
}

TEST(SmoothingTest, MovingWindowsMatchDirectSumsOnARangeAndAllowTheSourceAsDest) {
  const TVector X = Signal();
  void (*Routines[])(const TVector*, int32_t, int32_t, TVector*, int32_t) = {
      MovingAverageSmooth, WeightedAverageSmooth, MovingMedianSmooth};
  for (int Kind = 0; Kind < 3; ++Kind)
    for (int32_t w : {3, 9, 41, 101}) {  // 101: the running sum of long windows
      TVector D(5);                      // too short: grown to the range
      int Changes = 0;
      D.OnChange = [&](TObject*) { ++Changes; };
      Routines[Kind](&X, 170, 20, &D, w);  // reversed bounds are ordered
      ASSERT_EQ(D.NrOfElem(), 151);
      EXPECT_EQ(Changes, 1);
      const int m = w / 2;
      for (int i = 20 + m; i <= 170 - m; ++i)
        ASSERT_NEAR(D.GetVal(i - 19), Direct(X, i, m, Kind), 1e-14) << Kind << " " << w << " " << i;
      EXPECT_EQ(D.GetVal(1), D.GetVal(m + 1));
      // In place: the same values as into another vector.
      TVector Same(X.Span());
      Routines[Kind](&Same, 20, 170, &Same, w);
      for (int i = 1; i <= 151; ++i) ASSERT_EQ(Same.GetVal(i), D.GetVal(i));
      EXPECT_EQ(Same.GetVal(200), X.GetVal(200));  // beyond the range: untouched
    }
  TVector S(std::vector<double>{1, 2, 3, 4, 5, 6, 7}), D(7);
  MovingAverageSmooth(&S, 0, 0, &D, 3);
  EXPECT_EQ(D.ToStdVector(), (std::vector<double>{2, 2, 3, 4, 5, 6, 6}));
  // A NaN spoils the means of the windows holding it, and no others.
  TVector Long(std::vector<double>(300, 2.0)), LD(300);
  Long.SetVal(150, std::nan(""));
  MovingAverageSmooth(&Long, 0, 0, &LD, 65);
  for (int i = 33; i <= 268; ++i) ASSERT_EQ(std::isnan(LD.GetVal(i)), std::abs(i - 150) <= 32) << i;
  EXPECT_EQ(LD.GetVal(268), 2.0);
  // NaN is left out of a median; a window of NaN only gives NaN.
  const double nan = std::nan("");
  TVector N(std::vector<double>{nan, 5, 1, nan, nan, nan, 2, 3, 4});
  MovingMedianSmooth(&N, 0, 0, &D, 3);
  EXPECT_EQ(D.GetVal(1), 3.0);  // {5, 1} interpolated
  EXPECT_EQ(D.GetVal(2), 3.0);
  EXPECT_EQ(D.GetVal(3), 3.0);
  EXPECT_EQ(D.GetVal(4), 1.0);
  EXPECT_TRUE(std::isnan(D.GetVal(5)));
  EXPECT_EQ(D.GetVal(7), 2.5);
  EXPECT_EQ(D.GetVal(9), 3.0);
}

TEST(SmoothingTest, ArgumentErrorsCarryTheRoutinesMessages) {
  const TVector X = Signal(40);
  TVector D(40);
  EXPECT_EQ(MessageOf([&] { MovingAverageSmooth(nullptr, 0, 0, &D, 3); }),
            "MovingAverageSmooth: either SourceVec or DestVec is undefined");
  EXPECT_EQ(MessageOf([&] { MovingMedianSmooth(&X, 1, 5, &D, 5); }),
            "MovingMedianSmooth: specified range for smoothing is smaller than the length of the "
            "smoothing windows");
  EXPECT_EQ(MessageOf([&] { WeightedAverageSmooth(&X, 0, 0, &D, 1); }),
            "WeightedAverageSmooth: length of smoothing window is out of range");
  EXPECT_EQ(MessageOf([&] { PolynomialSmooth(&X, 0, 0, &D, 27); }),
            "PolynomialSmooth: length of polynomial is out of range");
  EXPECT_EQ(MessageOf([&] { PolynomialSmooth(&X, 0, 0, &D, 3); }),
            "PolynomialSmooth: length of polynomial is out of range");
  EXPECT_EQ(MessageOf([&] { PolynomialSmooth(&X, 0, 0, &D, 6); }),
            "PolynomialSmooth: length of polynomial must be odd");
  EXPECT_EQ(MessageOf([&] { FirstDeriv(&X, 1, 7, &D, 7); }),
            "FirstDeriv: specified range for calculation is smaller than the length of the "
            "polynomial");
  EXPECT_EQ(MessageOf([&] { SecondDeriv(&X, 0, 0, nullptr, 7); }),
            "SecondDeriv: either SourceVec or DestVec is undefined");
  EXPECT_EQ(MessageOf([&] { MovingKernelFilter(&X, 0, 0, &D, nullptr); }),
            "MovingKernelfilter: SourceVec, DestVec and/or FilterKernel is undefined");
}

TEST(SincKernelTest, KernelsMatchNumpyAndFilterAsDirectCorrelation) {
  TVector K;
  CalcSincLPKernel(31, 0.1, 2, K);
  ASSERT_EQ(K.NrOfElem(), 31);
  for (int i = 0; i < 31; ++i) EXPECT_NEAR(K.GetVal(i + 1), kSincLP31[i], 1e-15);
  const TVector X = Signal();
  TVector D(3);
  MovingKernelFilter(&X, 0, 0, &D, &K);
  ASSERT_EQ(D.NrOfElem(), 200);
  for (int i = 0; i < 200; ++i) ASSERT_NEAR(D.GetVal(i + 1), kSincFiltered[i], 1e-14) << i;
  TVector Same(X.Span());
  MovingKernelFilter(&Same, 0, 0, &Same, &K);
  for (int i = 1; i <= 200; ++i) ASSERT_EQ(Same.GetVal(i), D.GetVal(i));

  // Sums: low pass 1, high pass 0, band stop 1, band pass 0; the array form gives the same.
  TDoubleArray LP, HP, BS, BP;
  for (int32_t Size : {1, 2, 20, 51})
    for (int32_t Window : {0, 1, 2}) {
      CalcSincLPKernel(Size, 0.15, Window, LP);
      CalcSincHPKernel(Size, 0.3, Window, HP);
      CalcSincBSKernel(Size, 0.3, 0.15, Window, BS);  // the bounds in either order
      CalcSincBPKernel(Size, 0.15, 0.3, Window, BP);
      double S[4] = {};
      for (size_t i = 0; i < size_t(Size); ++i) {
        S[0] += LP[i], S[1] += HP[i], S[2] += BS[i], S[3] += BP[i];
        EXPECT_NEAR(BS[i], LP[i] + HP[i], 1e-15);
        EXPECT_NEAR(BP[i], (i == size_t(Size / 2)) - BS[i], 1e-15);
      }
      EXPECT_NEAR(S[0], 1.0, 1e-14);
      EXPECT_NEAR(S[1], 0.0, 1e-14);
      EXPECT_NEAR(S[2], 1.0, 1e-14);
      EXPECT_NEAR(S[3], 0.0, 1e-14);
    }
  EXPECT_EQ(MessageOf([&] { CalcSincLPKernel(0, 0.1, 1, LP); }),
            "CalcSincLPKernel: invalid kernel size (must be at least 1)");
  EXPECT_EQ(MessageOf([&] { CalcSincBPKernel(-4, 0.1, 0.2, 1, K); }),
            "CalcSincBPKernel: invalid kernel size (must be at least 1)");
  EXPECT_EQ(MessageOf([&] { CalcSincHPKernel(5, std::nan(""), 1, LP); }),
            "CalcSincHPKernel: invalid cutoff frequency");
}

std::complex<double> Response(double A0, const TMatrix& C, double f) {
  const std::complex<double> z1 = std::polar(1.0, -2 * std::numbers::pi * f);
  std::complex<double> Num = A0, Den = 1.0, zi = 1.0;
  for (int i = 1; i <= C.NrOfRows(); ++i) {
    zi *= z1;
    Num += C.GetVal(1, i) * zi;
    Den -= C.GetVal(2, i) * zi;
  }
  return Num / Den;
}

TEST(ChebyshevTest, DesignsMatchScipysResponseAndRejectBadArguments) {
  size_t k = 0;
  for (const TChebDesign& Des : kChebDesigns) {
    double A0 = 0;
    TMatrix C;
    CalcChebFilterCoeffs(Des.NPoles, Des.HighPass, Des.Fc, Des.Ripple, A0, C);
    ASSERT_EQ(C.NrOfColumns(), 2);
    ASSERT_EQ(C.NrOfRows(), Des.NPoles);
    for (int j = 0; j < 50; ++j, ++k)
      EXPECT_NEAR(std::abs(Response(A0, C, j / 100.0)), kChebMagnitudes[k], 1e-9)
          << Des.NPoles << " " << Des.HighPass << " " << Des.Fc << " at " << j / 100.0;
    // 3 dB below the top of the ripple band at the cut-off.
    EXPECT_NEAR(std::abs(Response(A0, C, Des.Fc)), std::sqrt(0.5) / (1 - Des.Ripple / 100), 1e-9);
  }
  double A0 = 0;
  TMatrix C;
  const auto Msg = [&](int32_t NP, double Fc, double Ripple) {
    return MessageOf([&] { CalcChebFilterCoeffs(NP, false, Fc, Ripple, A0, C); });
  };
  const std::string Range = "CalcChebFilterCoeffs: NPoles must be even and in the range 2..20";
  EXPECT_EQ(Msg(3, 0.1, 1), "CalcChebFilterCoeffs: NPoles must be even");
  EXPECT_EQ(Msg(0, 0.1, 1), Range);
  EXPECT_EQ(Msg(-2, 0.1, 1), Range);
  EXPECT_EQ(Msg(22, 0.1, 1), Range);
  EXPECT_EQ(Msg(4, 0.1, 30), "CalcChebFilterCoeffs: invalid Ripple value");
  EXPECT_EQ(Msg(4, 0.1, std::nan("")), "CalcChebFilterCoeffs: invalid Ripple value");
  for (double Fc : {0.0, 0.5, -0.1, std::nan("")})
    EXPECT_EQ(Msg(4, Fc, 1), "CalcChebFilterCoeffs: invalid cutoff frequency");
  CalcChebFilterCoeffs(20, false, 0.2, 29, A0, C);  // the whole accepted range works
  EXPECT_NEAR(std::abs(Response(A0, C, 0.0)), 1.0, 1e-9);
}

TEST(ChebyshevTest, ZeroPhaseFilteringScalesBySquaredGainWithoutDelay) {
  double A0 = 0;
  TMatrix C;
  CalcChebFilterCoeffs(4, false, 0.1, 0.5, A0, C);
  const int N = 3000;
  TVector X(N), D(N);
  D.Fill(-1.0);
  for (int f : {3, 15}) {  // pass band and stop band, in hundredths of the sampling rate
    for (int i = 1; i <= N; ++i) X.SetVal(i, std::sin(2 * std::numbers::pi * f / 100.0 * i));
    const double G = std::norm(Response(A0, C, f / 100.0));
    ChebychevFilter(&X, 101, N, &D, A0, C);
    EXPECT_EQ(D.GetVal(100), -1.0);  // outside the range: untouched
    for (int i = 1000; i <= 2000; i += 37)
      EXPECT_NEAR(D.GetVal(i), G * X.GetVal(i), 1e-6) << f << " " << i;
  }
  ChebychevFilter(&X, 0, 0, &X, A0, C);  // in place
  EXPECT_NEAR(X.GetVal(1500), D.GetVal(1500), 1e-6);
}

TEST(KernelConvolveTest, StatusesClippedEdgesProgressAndEdgeKernels) {
  TDouble2DArray Data(7, TDoubleArray(5)), Out;
  for (size_t x = 0; x < 7; ++x)
    for (size_t y = 0; y < 5; ++y)
      Data[x][y] = double(x * x) - 3.0 * double(y) + 0.5 * double(x * y);
  EXPECT_EQ(KernelConvolve(TDouble2DArray(2, TDoubleArray(2)), Data, Out), -2);
  EXPECT_EQ(KernelConvolve(TDouble2DArray(1, TDoubleArray(1)), Data, Out), -3);
  EXPECT_EQ(KernelConvolve(TDouble2DArray(3, TDoubleArray(2)), Data, Out), -1);
  EXPECT_EQ(KernelConvolve(TDouble2DArray(3, TDoubleArray(3)), TDouble2DArray(), Out), -4);
  EXPECT_TRUE(Out.empty());
  TDouble2DArray K(3, TDoubleArray(3));
  for (size_t i = 0; i < 3; ++i)
    for (size_t j = 0; j < 3; ++j) K[i][j] = double(i * 3 + j + 1);
  std::vector<int32_t> Percents;
  ASSERT_EQ(KernelConvolve(K, Data, Out,
                           [&](TObject* S, int32_t P) {
                             EXPECT_EQ(S, nullptr);
                             Percents.push_back(P);
                           }),
            0);
  ASSERT_EQ(Out.size(), 7u);
  for (int x = 0; x < 7; ++x)
    for (int y = 0; y < 5; ++y) {
      double S = 0;
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
          S += Data[size_t(std::clamp(x + i - 1, 0, 6))][size_t(std::clamp(y + j - 1, 0, 4))] *
               K[size_t(i)][size_t(j)];
      EXPECT_EQ(Out[size_t(x)][size_t(y)], S) << x << " " << y;
    }
  // (5 - 3) * (7 - 3) / 100 = 0: f = 1, one report per interior point (5 x 3).
  EXPECT_EQ(Percents.size(), 15u);
  EXPECT_EQ(Percents.back(), 15);

  // A single bright pixel shows each kernel turned by 180 degrees.
  TDouble2DArray Dot(5, TDoubleArray(5, 0.0));
  Dot[2][2] = 1.0;
  ASSERT_EQ(ApplyCompassKernel(1, Dot, Out), 0);
  const double Dir1[3][3] = {{1, -1, -1}, {1, -2, -1}, {1, 1, 1}};  // rows top to bottom
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(Out[size_t(3 - c)][size_t(3 - r)], Dir1[r][c]);
  ASSERT_EQ(ApplyKirschKernel(5, Dot, Out), 0);
  const double Kirsch5[3][3] = {{-3, 5, 5}, {-3, 0, 5}, {-3, -3, -3}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(Out[size_t(3 - c)][size_t(3 - r)], Kirsch5[r][c]);
  EXPECT_EQ(ApplyKirschKernel(8, Dot, Out), -1);
  EXPECT_EQ(ApplyCompassKernel(-1, Dot, Out), -1);
}

TEST(GeneratorTest, PeaksSigmoidsGaussiansAndTheirRefusals) {
  TDoubleArray D(10);
  EXPECT_EQ(CreateGaussianPeaks({}, D), -1);
  TDoubleArray Short(2);
  EXPECT_EQ(CreateGaussianPeaks({{1, 1, 1}}, Short), -2);
  EXPECT_EQ(CreateGaussianPeaks({{3, 2, 1}, {5, 0, 2}}, D), -3);
  EXPECT_EQ(CreateGaussianPeaks({{3, 2, 1}, {5, std::nan(""), 2}}, D), -3);
  ASSERT_EQ(CreateGaussianPeaks({{3, 2, 1}, {8, -1, 2}}, D), 0);
  EXPECT_DOUBLE_EQ(D[2], 1.0 + 2.0 * std::exp(-25.0));
  EXPECT_DOUBLE_EQ(D[7], std::exp(-6.25) + 2.0);

  TDouble2DArray G(4, TDoubleArray(3));
  EXPECT_EQ(Gauss2D(2, 2, 0.0, 1.0, G), -1);
  EXPECT_EQ(Gauss2D(2, 2, std::nan(""), 1.0, G), -1);
  TDouble2DArray Thin(4, TDoubleArray(1));
  EXPECT_EQ(Gauss2D(2, 2, 1.0, 1.0, Thin), -2);
  ASSERT_EQ(Gauss2D(2, 3, 2.0, 5.0, G), 0);
  EXPECT_DOUBLE_EQ(G[1][2], 5.0);
  EXPECT_DOUBLE_EQ(G[3][0], 5.0 * std::exp(-(4.0 + 4.0) / 4.0));

  EXPECT_EQ(CreateSigmoidArray(Short, 1, 0, 1, 1), -1);
  ASSERT_EQ(CreateSigmoidArray(D, 2.0, 1.0, 4.0, 5), 0);
  EXPECT_DOUBLE_EQ(D[4], 3.0);
  EXPECT_DOUBLE_EQ(D[5], 4.0 / (1.0 + std::exp(-2.0)) + 1.0);

  TVector A(std::vector<double>{1, 2, 3}), B(std::vector<double>{1, 4, 3});
  EXPECT_DOUBLE_EQ(CalcGaussKernel(A, B, 2.0), std::exp(-1.0));
  EXPECT_DOUBLE_EQ(CalcGaussKernel(A, B, 0.1), std::exp(-20.0));  // capped
  TMatrix M;
  M.Resize(3, 2);
  M.SetVal(1, 2, 1), M.SetVal(2, 2, 4), M.SetVal(3, 2, 3);
  EXPECT_DOUBLE_EQ(CalcGaussKernelMat(A, M, 2, 2.0), std::exp(-1.0));
}

double Pearson(const std::vector<double>& A, const std::vector<double>& B) {
  double Ma = 0, Mb = 0;
  for (size_t i = 0; i < A.size(); ++i)
    Ma += A[i] / double(A.size()), Mb += B[i] / double(A.size());
  double Sab = 0, Saa = 0, Sbb = 0;
  for (size_t i = 0; i < A.size(); ++i) {
    Sab += (A[i] - Ma) * (B[i] - Mb);
    Saa += (A[i] - Ma) * (A[i] - Ma);
    Sbb += (B[i] - Mb) * (B[i] - Mb);
  }
  return Sab / std::sqrt(Saa * Sbb);
}

TEST(ImgCorrelationTest, RegionsCorrelateByTheChosenProperty) {
  TBitmap B1(12, 9), B2(20, 15);
  for (int32_t y = 0; y < 9; ++y)
    for (int32_t x = 0; x < 12; ++x)
      B1.SetPixel(x, y, RGBColor(uint8_t(x * 20), uint8_t((x * y * 37) % 251), uint8_t(y * 25)));
  for (int32_t y = 0; y < 15; ++y)
    for (int32_t x = 0; x < 20; ++x)
      B2.SetPixel(x, y, RGBColor(uint8_t(200 - x * 7), uint8_t((x + y) * 9), uint8_t(x * y % 200)));
  const TRect R1{2, 1, 9, 7}, R2{18, 3, 11, 9};  // the second with its x edges exchanged
  for (int32_t Mode = icmRed; Mode <= icmGrayValues; ++Mode) {
    std::vector<double> A, B;
    for (int32_t dy = 0; dy <= 6; ++dy)
      for (int32_t dx = 0; dx <= 7; ++dx) {
        const int32_t C[2] = {B1.Pixel(2 + dx, 1 + dy), B2.Pixel(11 + dx, 3 + dy)};
        double V[2];
        for (int k = 0; k < 2; ++k) {
          double H, S, I;
          RGBtoHSI(C[k], H, S, I);
          const double All[] = {
              double(RedOf(C[k])),    double(BlueOf(C[k])), double(GreenOf(C[k])), H, I, S,
              double(RGBtoGray(C[k]))};
          V[k] = All[Mode];
        }
        A.push_back(V[0]);
        B.push_back(V[1]);
      }
    EXPECT_NEAR(CalcImgCorrelation(B1, B2, R1, R2, TImgCompareMode(Mode)), Pearson(A, B), 1e-12)
        << Mode;
  }
  // Red falls as x grows in the second picture: a perfect negative correlation.
  EXPECT_NEAR(CalcImgCorrelation(B1, B2, {0, 0, 5, 0}, {0, 0, 5, 0}, icmRed), -1.0, 1e-12);
  EXPECT_EQ(MessageOf([&] {
              CalcImgCorrelation(B1, B2, {0, 0, 5, 5}, {0, 0, 5, 4}, icmRed);
            }),
            "image ranges to compare are not of equal size");
  EXPECT_EQ(MessageOf([&] {
              CalcImgCorrelation(B1, B2, {8, 0, 12, 4}, {0, 0, 4, 4}, icmRed);
            }),
            "image range lies outside the bitmap");
}

}  // namespace
}  // namespace nux
