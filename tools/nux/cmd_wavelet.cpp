// nux wavelet: the discrete Daubechies wavelet transform of one column (TWavelet1D): the energy
// of each band, or every coefficient.
#include <cmath>
#include <map>

#include "command.h"
#include "nux/wavelet/wavelet1d.h"

namespace nuxcli {
namespace {

using namespace nux;

const std::map<std::string, TWLSigExtMode> Extensions = {
    {"wrap", wseWrap}, {"zero", wseZeroPad}, {"symmetric", wseSymmetric}};

std::function<void()> Setup(CLI::App& Sub) {
  struct TOpts {
    TInputOptions In;
    TOutputOptions Out;
    std::string Column, Extension = "wrap";
    int32_t Order = 2, Levels = 0;
    bool Coefficients = false;
  };
  auto O = std::make_shared<TOpts>();
  O->In.Add(Sub);
  Sub.add_option("--column", O->Column, "the column holding the samples")->required();
  Sub.add_option("--order", O->Order, "Daubechies order (1 to 3: filters of 2, 4, 6 taps)")
      ->capture_default_str()
      ->check(CLI::Range(1, 3));
  Sub.add_option("--levels", O->Levels, "transform levels (default: all, down to 2 samples)")
      ->check(CLI::Range(1, 26));
  Sub.add_option("--extension", O->Extension, "signal extension before the block's start")
      ->capture_default_str()
      ->check(CLI::IsMember({"wrap", "zero", "symmetric"}));
  Sub.add_flag("--coefficients", O->Coefficients, "list every coefficient, not the band energies");
  O->Out.Add(Sub, false);
  SetExamples(Sub,
              "  nux wavelet vibration.csv --column accel\n"
              "  nux wavelet vibration.csv --column accel --order 3 --levels 4 --json\n"
              "  nux wavelet vibration.csv --column accel --coefficients --csv > coeffs.csv");
  return [O] {
    TDataTable T;
    LoadTable(O->In, T);
    const int32_t Col = FindColumn(T, O->Column);
    const std::vector<double> X = SeriesOfColumn(T, Col);
    if (X.size() > size_t(MaxWaveletLength))
      throw EData("the series is longer than " + std::to_string(MaxWaveletLength) + " samples");
    if (X.size() < 2) throw EData("the wavelet transform needs at least two samples");
    int32_t N = 1, AllLevels = 0;
    while (size_t(N) < X.size()) N *= 2, ++AllLevels;
    const int32_t Levels = O->Levels > 0 ? std::min(O->Levels, AllLevels) : AllLevels;
    TWavelet1D W;
    W.SetOrder(O->Order);
    W.SetSigExtMode(Extensions.at(O->Extension));
    W.SetNumData(N);
    for (size_t I = 0; I < X.size(); ++I) W.SetDataVal(int32_t(I + 1), X[I]);
    W.Transform(Levels);
    // Positions: approximation 1..N/2^L, then detail bands of N/2^L, ..., N/2 coefficients.
    struct TBand {
      std::string Name;
      int32_t First, Count;
    };
    std::vector<TBand> Bands{{"approximation", 1, N >> Levels}};
    for (int32_t L = Levels; L >= 1; --L)
      Bands.push_back({"detail " + std::to_string(L), (N >> L) + 1, N >> L});
    const std::string Title =
        std::to_string(X.size()) + " samples" +
        (size_t(N) > X.size() ? " padded with zeros to " + std::to_string(N) : "") +
        ", Daubechies order " + std::to_string(O->Order) + ", " + std::to_string(Levels) +
        " levels";
    TSection S;
    if (O->Coefficients) {
      S = {"coefficients", Title, {"index", "band", "coefficient"}, {}};
      for (const TBand& B : Bands)
        for (int32_t I = B.First; I < B.First + B.Count; ++I)
          S.Rows.push_back({int64_t(I), B.Name, W.Data(I)});
    } else {
      S = {"bands", Title, {"band", "first", "count", "energy", "share"}, {}};
      double Total = 0;
      std::vector<double> E;
      for (const TBand& B : Bands) {
        double Sum = 0;
        for (int32_t I = B.First; I < B.First + B.Count; ++I) Sum += W.Data(I) * W.Data(I);
        E.push_back(Sum);
        Total += Sum;
      }
      for (size_t K = 0; K < Bands.size(); ++K)
        S.Rows.push_back({Bands[K].Name, int64_t(Bands[K].First), int64_t(Bands[K].Count), E[K],
                          Total > 0 ? E[K] / Total : 0.0});
    }
    PrintReport({S}, O->Out);
  };
}

const TRegister Reg({"wavelet",
                     "discrete wavelet transform of one column: band energies or coefficients",
                     Setup});

}  // namespace
}  // namespace nuxcli
