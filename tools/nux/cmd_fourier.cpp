// nux spectrum: the FFT spectrum of one column (TFastFourier) with a spectrum plot.
#include <algorithm>
#include <cmath>
#include <map>

#include "command.h"
#include "nux/fourier/fastfourier.h"
#include "plot.h"

namespace nuxcli {
namespace {

using namespace nux;

const std::map<std::string, TFastFourierWgtWin> Windows = {{"rectangle", fwRectangle},
                                                           {"triangle", fwTriangle},
                                                           {"cos2", fwCos2},
                                                           {"gauss", fwGauss},
                                                           {"hamming", fwHamming},
                                                           {"blackman", fwBlackman},
                                                           {"blackman-harris", fwBlkmHarris},
                                                           {"blackman-nuttall", fwBlkmNuttall},
                                                           {"tukey", fwTukey}};

std::function<void()> Setup(CLI::App& Sub) {
  struct TOpts {
    TInputOptions In;
    TOutputOptions Out;
    std::string Column, Window = "hamming";
    double SampleTime = 1, TukeyAlpha = 0.5;
  };
  auto O = std::make_shared<TOpts>();
  O->In.Add(Sub);
  Sub.add_option("--column", O->Column, "the column holding the samples")->required();
  std::vector<std::string> Names;
  for (const auto& W : Windows) Names.push_back(W.first);
  Sub.add_option("--window", O->Window, "weighting window")
      ->capture_default_str()
      ->check(CLI::IsMember(Names));
  Sub.add_option("--tukey-alpha", O->TukeyAlpha, "taper fraction of the Tukey window")
      ->capture_default_str()
      ->check(CLI::Range(0.0, 1.0));
  Sub.add_option("--sample-time", O->SampleTime,
                 "time between samples (frequencies in its "
                 "inverse unit)")
      ->capture_default_str()
      ->check(CLI::PositiveNumber);
  O->Out.Add(Sub, true);
  SetExamples(Sub,
              "  nux spectrum vibration.csv --column accel --sample-time 0.001\n"
              "  nux spectrum vibration.csv --column accel --window blackman-harris --csv\n"
              "  nux spectrum vibration.csv --column 2 --sample-time 0.001 --plot spectrum.png");
  return [O] {
    TDataTable T;
    LoadTable(O->In, T);
    const int32_t Col = FindColumn(T, O->Column);
    const std::vector<double> X = SeriesOfColumn(T, Col);
    if (X.size() > size_t(MaxFFTLength))
      throw EData("the series is longer than " + std::to_string(MaxFFTLength) + " samples");
    // The block is a power of two; a shorter series is padded with zeros.
    int32_t N = 1;
    while (size_t(N) < X.size()) N *= 2;
    TFastFourier F;
    F.SetNumData(N);
    for (size_t I = 0; I < X.size(); ++I) F.SetRealVal(int32_t(I + 1), X[I]);
    F.SetWgtWin(Windows.at(O->Window));
    F.SetTukAlpha(O->TukeyAlpha);
    F.Transform();
    const double Df = 1.0 / (double(N) * O->SampleTime);
    TSection S{"spectrum",
               std::to_string(X.size()) + " samples" +
                   (size_t(N) > X.size() ? " padded with zeros to " + std::to_string(N) : "") +
                   ", " + O->Window + " window, line spacing " + std::to_string(Df),
               {"line", "frequency", "magnitude", "power"},
               {}};
    std::vector<double> Freq, Mag;
    for (int32_t K = 0; K <= N / 2; ++K) {
      Freq.push_back(K * Df);
      Mag.push_back(F.GetMagnitude(K));
      S.Rows.push_back({int64_t(K), Freq.back(), Mag.back(), F.GetPowerSpec(K)});
    }
    if (!O->Out.Plot.empty())
      SavePlot(O->Out.Plot, O->Out.Size[0], O->Out.Size[1], [&](cairo_t* Cr) {
        TFrameText Text;
        Text.Title = "Spectrum of " + T.ColName(Col) + " (" + O->Window + " window)";
        Text.XLabel = "frequency";
        Text.YLabel = "magnitude";
        Text.FontSize = std::clamp(std::min(O->Out.Size[0], O->Out.Size[1]) / 40.0, 8.0, 16.0);
        const TAxes A = DrawFrame(Cr, 0, 0, O->Out.Size[0], O->Out.Size[1], 0, Freq.back(), 0,
                                  *std::max_element(Mag.begin(), Mag.end()), Text);
        DrawLine(Cr, A, Freq, Mag, 1.2);
      });
    PrintReport({S}, O->Out);
  };
}

const TRegister Reg({"spectrum", "FFT spectrum of one column, with a spectrum plot", Setup});

}  // namespace
}  // namespace nuxcli
