// nux corr: the correlation matrix of numeric columns (Pearson through the data table's
// CalcCovar, Spearman and Kendall through TCurveFit) and a scatter matrix.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "command.h"
#include "nux/math2/curvefit.h"
#include "nux/math2/eigen.h"
#include "nux/matrix/matrix.h"
#include "plot.h"

namespace nuxcli {
namespace {

using namespace nux;

constexpr size_t MaxPlotColumns = 8;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr int32_t MaxDots = 2000;  // per panel, taken at even strides

void Plot(const TDataTable& T, const TMatrix& R, const TOutputOptions& Out, const char* Sym) {
  const auto K = std::min<int32_t>(T.NrOfColumns(), int32_t(MaxPlotColumns));
  if (T.NrOfColumns() > K)
    std::fprintf(stderr, "nux: the scatter matrix shows the first %d columns\n", K);
  const int32_t N = T.NrOfRows();
  const int32_t Stride = std::max(1, (N + MaxDots - 1) / MaxDots);
  std::vector<std::vector<double>> V{size_t(K)};
  for (int32_t C = 1; C <= K; ++C)
    for (int32_t Row = 1; Row <= N; Row += Stride) V[size_t(C - 1)].push_back(T.Elem(C, Row));
  SavePlot(Out.Plot, Out.Size[0], Out.Size[1], [&](cairo_t* Cr) {
    const double W = double(Out.Size[0]) / K, H = double(Out.Size[1]) / K;
    const double Fs = std::clamp(std::min(W, H) / 14, 6.0, 12.0);
    for (int32_t I = 0; I < K; ++I)
      for (int32_t J = 0; J < K; ++J) {
        TFrameText Text;
        Text.FontSize = Fs;
        Text.XTicks = I == K - 1;
        Text.YTicks = J == 0;
        const auto& X = V[size_t(J)];
        const auto& Y = V[size_t(I)];
        const auto [XLo, XHi] = std::minmax_element(X.begin(), X.end());
        if (I == J) {
          // The diagonal: the column's histogram under its name.
          const std::vector<double> Counts = Histogram(X, *XLo, *XHi, BinCount(X.size()));
          Text.YTicks = false;
          const TAxes A = DrawFrame(Cr, J * W, I * H, W, H, *XLo, *XHi, 0,
                                    *std::max_element(Counts.begin(), Counts.end()), Text);
          DrawBars(Cr, A, *XLo, (*XHi - *XLo) / double(Counts.size()), Counts);
          DrawCentred(Cr, A.X0 + A.W / 2, A.Y0 + Fs, T.ColName(I + 1), Fs);
          continue;
        }
        const auto [YLo, YHi] = std::minmax_element(Y.begin(), Y.end());
        const TAxes A = DrawFrame(Cr, J * W, I * H, W, H, *XLo, *XHi, *YLo, *YHi, Text);
        DrawDots(Cr, A, X, Y, std::max(1.0, Fs / 6));
        char Buf[32];
        const double Rij = R(J + 1, I + 1);
        if (std::isnan(Rij))
          std::snprintf(Buf, sizeof Buf, "constant");
        else
          std::snprintf(Buf, sizeof Buf, "%s = %.2f", Sym, Rij);
        DrawCentred(Cr, A.X0 + A.W / 2, A.Y0 + Fs, Buf, Fs);
      }
  });
}

std::function<void()> Setup(CLI::App& Sub) {
  struct TOpts {
    TInputOptions In;
    TOutputOptions Out;
    std::vector<std::string> Columns;
    std::string Method = "pearson";
  };
  auto O = std::make_shared<TOpts>();
  O->In.Add(Sub);
  Sub.add_option("--columns", O->Columns, "columns to correlate (default: every numeric one)")
      ->delimiter(',');
  Sub.add_option("--method", O->Method, "correlation coefficient")
      ->check(CLI::IsMember({"pearson", "spearman", "kendall"}));
  O->Out.Add(Sub, true);
  SetExamples(Sub,
              "  nux corr weather.csv\n"
              "  nux corr weather.csv --columns temperature,humidity --json\n"
              "  nux corr weather.csv --method kendall --csv\n"
              "  nux corr weather.csv --plot scatter.png --size 900 900");
  return [O] {
    TDataTable In, T;
    LoadTable(O->In, In);
    const std::vector<int32_t> Cols = NumericColumns(In, O->Columns);
    const int32_t Dropped = CompleteRows(In, Cols, T);
    const auto K = int32_t(Cols.size());
    if (T.NrOfRows() < 2) throw EData("correlations need at least two complete rows");
    TMatrix R(K, K), P(K, K);
    const bool Ranks = O->Method != "pearson";
    if (!Ranks) {
      TProgress Bar("correlating", K);
      if (!T.CalcCovar(&R, 1, K, 1, T.NrOfRows(), cvCorrelations)) {
        CheckInterrupted();
        throw EData("the correlations could not be computed");
      }
    } else {
      // Pair by pair: the rank routines work on pairs; p is their two-sided p-value.
      TCurveFit F;
      for (int32_t I = 1; I <= K; ++I) {
        R(I, I) = 1;
        P(I, I) = NaN;
        for (int32_t J = I + 1; J <= K; ++J) {
          CheckInterrupted();
          F.Init();
          for (int32_t Row = 1; Row <= T.NrOfRows(); ++Row)
            F.EnterStatValue(T.Elem(I, Row), T.Elem(J, Row));
          double Pv = 1;
          const double Rho = O->Method == "spearman" ? F.GetSpearman(Pv) : F.KendallsTau(Pv);
          R(I, J) = R(J, I) = Rho;
          P(I, J) = P(J, I) = Pv;
        }
      }
    }
    CheckInterrupted();
    // A constant column has no correlation; the routine's 0 would read as "unrelated".
    for (int32_t C = 1; C <= K; ++C)
      if (T.IsConstantColumn(C))
        for (int32_t J = 1; J <= K; ++J)
          if (J != C) R(C, J) = R(J, C) = P(C, J) = P(J, C) = NaN;
    TSection S{
        O->Method,
        std::string(O->Method == "pearson"    ? "Pearson correlation"
                    : O->Method == "spearman" ? "Spearman rank correlation"
                                              : "Kendall's tau-b") +
            " over " + std::to_string(T.NrOfRows()) + " rows" +
            (Dropped ? " (" + std::to_string(Dropped) + " with a missing value left out)" : ""),
        {"column"},
        {}};
    for (int32_t C = 1; C <= K; ++C) S.Head.push_back(T.ColName(C));
    for (int32_t I = 1; I <= K; ++I) {
      std::vector<TCell>& Row = S.Rows.emplace_back();
      Row.emplace_back(T.ColName(I));
      for (int32_t J = 1; J <= K; ++J) Row.emplace_back(R(J, I));
    }
    std::vector<TSection> Report{S};
    if (Ranks) {
      TSection PS{"p", "Two-sided p-values", S.Head, {}};
      for (int32_t I = 1; I <= K; ++I) {
        std::vector<TCell>& Row = PS.Rows.emplace_back();
        Row.emplace_back(T.ColName(I));
        for (int32_t J = 1; J <= K; ++J) Row.emplace_back(P(J, I));
      }
      Report.push_back(PS);
    }
    if (!O->Out.Plot.empty())
      Plot(T, R, O->Out, !Ranks ? "r" : O->Method == "spearman" ? "rho" : "tau");
    PrintReport(Report, O->Out);
  };
}

const TRegister Reg({"corr", "correlation matrix of the numeric columns, with a scatter matrix",
                     Setup});

}  // namespace
}  // namespace nuxcli
