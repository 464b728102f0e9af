// nux fit: a curve fit of one column on another (TCurveFit's models, polynomials and splines)
// with its coefficients, fit quality and prediction intervals, and a plot with the band.
#include <algorithm>
#include <cmath>
#include <limits>

#include "command.h"
#include "nux/math2/curvefit.h"
#include "plot.h"

namespace nuxcli {
namespace {

using namespace nux;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct TModel {
  const char* Name;
  TRegModel Model;  // rmNone for the splines
  const char* Formula;
};

const TModel Models[] = {
    {"linear", rmLinear, "y = k0 + k1 x"},
    {"parabolic", rmParabolic, "y = k0 + k1 x + k2 x^2"},
    {"gaussian", rmGaussian, "y = k0 exp(-(x - k1)^2 / k2)"},
    {"reci-lin", rmReciLin, "y = 1 / (k0 + k1 x)"},
    {"hyperbolic", rmHyperbolic, "y = k0 + k1 / x"},
    {"reci-hyperbolic", rmReciHyperbolic, "y = x / (k0 x + k1)"},
    {"log", rmLog, "y = k0 + k1 ln x"},
    {"reci-log", rmReciLog, "y = 1 / (k0 + k1 ln x)"},
    {"power", rmPower, "y = k0 x^k1"},
    {"expo", rmExpo, "y = k0 exp(k1 x)"},
    {"hoerl", rmHoerl, "y = k0 k1^x x^k2"},
    {"circle", rmCircle, "circle: centre (k0, k1), radius k2"},
    {"polynomial", rmPolynomial, "y = sum kj x^j"},
    {"centered-poly", rmCenteredPoly, "y = sum kj (x - shift)^j"},
    {"spline", rmNone, "interpolating cubic spline"},
    {"smoothing-spline", rmNone, "smoothing cubic spline"},
};

int32_t ParamCount(TRegModel M, int32_t Order) {
  switch (M) {
    case rmLinear:
    case rmReciLin:
    case rmHyperbolic:
    case rmReciHyperbolic:
    case rmLog:
    case rmReciLog:
    case rmPower:
    case rmExpo:
      return 2;
    case rmPolynomial:
    case rmCenteredPoly:
      return Order + 1;
    default:
      return 3;
  }
}

struct TOpts {
  TInputOptions In;
  TOutputOptions Out;
  std::string X, Y, Model = "linear";
  int32_t Order = 2;
  double Level = 0.95, Smoothing = 0.5;
  std::vector<double> At;
};

// Where the model has a value: the library marks its poles with the largest double.
double Value(double V) { return std::isfinite(V) && std::fabs(V) < 1e300 ? V : NaN; }

struct TCurve {
  std::vector<double> X, Y, PLo, PHi, CLo, CHi;
};

void Plot(TCurveFit& F, const TModel& M, const TOpts& O, const TCurve& C, const std::string& XN,
          const std::string& YN) {
  std::vector<double> DX, DY;
  // Beyond a few thousand dots a plot shows no more; evenly strided they keep the picture.
  const int32_t Stride = std::max(1, F.NumData() / 5000);
  for (int32_t I = 1; I <= F.NumData(); I += Stride) {
    DX.push_back(F.DataX(I));
    DY.push_back(F.DataY(I));
  }
  double XLo = F.MinX(), XHi = F.MaxX(), YLo = F.MinY(), YHi = F.MaxY();
  // The curve and band widen the range, but no more than the data's own span on each side: a
  // band that explodes at a pole should not flatten the data.
  const double Span = std::max(YHi - YLo, 1e-300);
  for (const auto* V : {&C.Y, &C.PLo, &C.PHi, &C.X})
    for (size_t I = 0; I < V->size(); ++I) {
      const double Y = (*V)[I];
      if (!std::isfinite(Y)) continue;
      if (V == &C.X) {
        XLo = std::min(XLo, Y), XHi = std::max(XHi, Y);
      } else if (M.Model == rmCircle) {
        YLo = std::min(YLo, Y), YHi = std::max(YHi, Y);
      } else {
        YLo = std::max(std::min(YLo, Y), F.MinY() - Span);
        YHi = std::min(std::max(YHi, Y), F.MaxY() + Span);
      }
    }
  // A jump across a pole is not part of the curve: the line breaks there.
  TCurve B = C;
  if (M.Model != rmCircle)
    for (size_t I = 1; I < B.Y.size(); ++I)
      if (B.Y[I - 1] * B.Y[I] < 0 && std::fabs(B.Y[I] - B.Y[I - 1]) > 2 * (YHi - YLo))
        for (auto* V : {&B.Y, &B.PLo, &B.PHi, &B.CLo, &B.CHi})
          if (I < V->size()) (*V)[I] = NaN;
  SavePlot(O.Out.Plot, O.Out.Size[0], O.Out.Size[1], [&](cairo_t* Cr) {
    TFrameText Text;
    Text.Title = std::string(M.Formula) +
                 (C.PLo.empty() ? ""
                                : ", " + std::to_string(int(std::lround(O.Level * 100))) +
                                      " % prediction band (light) and confidence band");
    Text.XLabel = XN;
    Text.YLabel = YN;
    Text.FontSize = std::clamp(std::min(O.Out.Size[0], O.Out.Size[1]) / 45.0, 8.0, 14.0);
    const TAxes A = DrawFrame(Cr, 0, 0, O.Out.Size[0], O.Out.Size[1], XLo, XHi, YLo, YHi, Text);
    if (!B.PLo.empty()) {
      DrawBand(Cr, A, B.X, B.PLo, B.PHi, 0.18);
      DrawBand(Cr, A, B.X, B.CLo, B.CHi, 0.35);
    }
    DrawDots(Cr, A, DX, DY, std::max(2.0, Text.FontSize / 4));
    DrawLine(Cr, A, B.X, B.Y, 2);
  });
}

std::function<void()> Setup(CLI::App& Sub) {
  auto O = std::make_shared<TOpts>();
  std::vector<std::string> Names;
  std::string Help = "the model:";
  for (const TModel& M : Models) {
    Names.push_back(M.Name);
    Help += std::string("\n  ") + M.Name + std::string(18 - std::string(M.Name).size(), ' ') +
            M.Formula;
  }
  O->In.Add(Sub);
  Sub.add_option("--x", O->X, "the column of x")->required();
  Sub.add_option("--y", O->Y, "the column of y")->required();
  Sub.add_option("--model", O->Model, Help)->check(CLI::IsMember(Names));
  Sub.add_option("--order", O->Order, "polynomial order (default 2)")->check(CLI::Range(0, 10));
  Sub.add_option("--level", O->Level, "level of the intervals (default 0.95)")
      ->check(CLI::Range(0.5, 0.999999));
  Sub.add_option("--smoothing", O->Smoothing, "smoothing-spline penalty lambda (default 0.5)")
      ->check(CLI::NonNegativeNumber);
  Sub.add_option("--at", O->At, "x values to predict at (default: 11 across the data)")
      ->delimiter(',');
  O->Out.Add(Sub, true);
  SetExamples(Sub,
              "  nux fit decay.csv --x t --y level --model expo\n"
              "  nux fit decay.csv --x t --y level --model polynomial --order 3 --json\n"
              "  nux fit decay.csv --x t --y level --model linear --at 2.5,20 --level 0.99\n"
              "  nux fit decay.csv --x t --y level --model smoothing-spline --smoothing 0.1\n"
              "  nux fit decay.csv --x t --y level --model expo --plot fit.png");
  return [O] {
    TDataTable In, T;
    LoadTable(O->In, In);
    const std::vector<int32_t> Cols = NumericColumns(In, {O->X, O->Y});
    const int32_t Dropped = CompleteRows(In, Cols, T);
    const TModel& M = *std::find_if(std::begin(Models), std::end(Models),
                                    [&](const TModel& X) { return O->Model == X.Name; });
    TCurveFit F;
    for (int32_t R = 1; R <= T.NrOfRows(); ++R) F.EnterStatValue(T.Elem(1, R), T.Elem(2, R));
    const int32_t N = F.NumData();
    const bool Poly = M.Model == rmPolynomial || M.Model == rmCenteredPoly;
    const bool Smooth = O->Model == "smoothing-spline", Spline = M.Model == rmNone;
    const std::string Rows =
        std::to_string(N) + " pairs" +
        (Dropped ? " (" + std::to_string(Dropped) + " with a missing value left out)" : "");
    TSection Coef{"coefficients",
                  M.Formula + std::string(", ") + Rows,
                  {"coefficient", "value", "significance"},
                  {}};
    TSection Qual{"quality",
                  Spline ? M.Formula + std::string(", ") + Rows : "Fit quality",
                  {"quantity", "value"},
                  {}};
    TSection Pred{
        "prediction",
        "",
        {"x", "y", "prediction low", "prediction high", "confidence low", "confidence high"},
        {}};
    double Quality = NaN;
    if (!Spline) {
      int32_t St = 0;
      {
        TProgress P("fitting", 0);
        St = F.CalcRegModel(M.Model, O->Order);
      }
      CheckInterrupted();
      const int32_t Need = Poly ? O->Order + 1 : REG_MINDP[size_t(M.Model)];
      switch (St) {
        case cfOK:
          break;
        case cfTooFewPoints:
          throw EData(O->Model + " needs at least " + std::to_string(Need) + " pairs; there are " +
                      std::to_string(N));
        case cfInvalidData:
          throw EData(O->Model + " cannot take these data (" +
                      "its transformation needs positive or non-zero x or y)");
        default:
          throw EData(O->Model + ": the fit found no solution for these data");
      }
      const int32_t K = ParamCount(M.Model, F.PolyOrder());
      for (int32_t J = 0; J < K; ++J) {
        const double S = F.ModelPar(2, J);
        Coef.Rows.push_back({"k" + std::to_string(J), F.ModelPar(1, J), S >= 0 ? S : NaN});
      }
      if (M.Model == rmCenteredPoly) Coef.Rows.push_back({"shift", F.CPXShift(), NaN});
      Quality = F.FitQual();
      double SSE = 0;
      for (int32_t I = 1; I <= N; ++I) SSE += F.Residual(I) * F.Residual(I);
      Qual.Rows = {{"n", int64_t(N)},
                   {"R2", M.Model == rmCircle ? NaN : Quality},
                   {"residual std", F.StdDevResid()},
                   {"residual sum of squares", SSE},
                   {"parameters", int64_t(K)}};
    } else {
      F.SetSplineSmoothing(O->Smoothing);
      bool Valid = true;
      const double V0 =
          Smooth ? F.SmoothedSpline(F.MinX(), Quality, Valid) : F.CubicSpline(F.MinX());
      if (!Valid || std::isnan(V0)) throw EData(O->Model + ": cannot be built on these data");
      Qual.Rows = {{"n", int64_t(N)}};
      if (Smooth) Qual.Rows.push_back({"R2", Quality});
      if (Smooth) Qual.Rows.push_back({"lambda", O->Smoothing});
    }
    // Predictions and the curve. Splines and the circle have no intervals.
    auto At = [&](double X, std::vector<TCell>* Row, TCurve* C) {
      double Y = NaN, PI = NaN, CI = NaN;
      if (Spline) {
        double Q = 0;
        bool Valid = true;
        Y = Smooth ? F.SmoothedSpline(X, Q, Valid) : F.CubicSpline(X);
      } else if (F.Predict(M.Model, X, O->Level, O->Order, Y, PI, CI) != cfOK) {
        Y = Value(F.Evaluate(X));
        PI = CI = NaN;
      }
      Y = Value(Y);
      if (Row) *Row = {X, Y, Y - PI, Y + PI, Y - CI, Y + CI};
      if (C) {
        C->X.push_back(X), C->Y.push_back(Y);
        if (!Spline) {
          C->PLo.push_back(Y - PI), C->PHi.push_back(Y + PI);
          C->CLo.push_back(Y - CI), C->CHi.push_back(Y + CI);
        }
      }
    };
    TCurve Curve;
    if (M.Model == rmCircle) {
      const double Cx = F.ModelPar(1, 0), Cy = F.ModelPar(1, 1), R = F.ModelPar(1, 2);
      for (int32_t I = 0; I <= 200; ++I) {
        Curve.X.push_back(Cx + R * std::cos(2 * M_PI * I / 200));
        Curve.Y.push_back(Cy + R * std::sin(2 * M_PI * I / 200));
      }
    } else {
      std::vector<double> Xs = O->At;
      if (Xs.empty())
        for (int32_t I = 0; I <= 10; ++I) Xs.push_back(F.MinX() + (F.MaxX() - F.MinX()) * I / 10);
      for (double X : Xs) At(X, &Pred.Rows.emplace_back(), nullptr);
      Pred.Title = Spline ? "Values of the spline"
                          : "Predictions with " + std::to_string(int(std::lround(O->Level * 100))) +
                                " % intervals";
      if (!O->Out.Plot.empty())
        for (int32_t I = 0; I <= 300; ++I)
          At(F.MinX() + (F.MaxX() - F.MinX()) * I / 300, nullptr, &Curve);
    }
    if (!O->Out.Plot.empty()) Plot(F, M, *O, Curve, T.ColName(1), T.ColName(2));
    std::vector<TSection> Report;
    if (!Spline) Report.push_back(Coef);
    Report.push_back(Qual);
    if (!Pred.Rows.empty()) Report.push_back(Pred);
    PrintReport(Report, O->Out);
  };
}

const TRegister Reg({"fit",
                     "curve fit of y on x (fourteen models, polynomials, splines) with prediction "
                     "intervals",
                     Setup});

}  // namespace
}  // namespace nuxcli
