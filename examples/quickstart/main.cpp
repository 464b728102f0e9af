// Quickstart: a tour of what the library does, on the bundled sample files.
//   samples.txt  six measured samples (temperature, pressure, colour)
//   signal.txt   64 samples of a signal, 1 ms apart
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "nux/nux.h"

using namespace nux;

namespace {

std::string ReadText(const std::string& FileName) {
  TMemoryStream Stream;
  Stream.LoadFromFile(FileName);
  return std::string(reinterpret_cast<const char*>(Stream.Memory()),
                     static_cast<size_t>(Stream.Size()));
}

// The non-comment lines of a text, tokenized.
std::vector<TStrArray> DataLines(const std::string& Text) {
  std::vector<TStrArray> Lines;
  for (const std::string& Line : Tokenize(Text, "\r\n")) {
    const std::string Clean = StripLTBlanks(RemoveControlChars(Line));
    if (!Clean.empty() && Clean[0] != '#') Lines.push_back(Tokenize(Clean, " \t"));
  }
  return Lines;
}

void Samples(const std::string& FileName) {
  TStrArray Names;
  TVector Temperature, Pressure;
  TIntArray Colour;
  const auto Lines = DataLines(ReadText(FileName));
  Temperature.Resize(static_cast<int32_t>(Lines.size()));
  Pressure.Resize(static_cast<int32_t>(Lines.size()));
  int32_t N = 0;
  for (const TStrArray& Fields : Lines) {
    if (Fields.size() != 4) continue;
    ++N;
    Names.push_back(Fields[0]);
    Temperature.SetVal(N, std::strtod(Fields[1].c_str(), nullptr));
    Pressure.SetVal(N, std::strtod(Fields[2].c_str(), nullptr));
    // The file writes colours as RRGGBB; the library keeps 0x00BBGGRR.
    const auto RGB = static_cast<uint32_t>(std::strtoul(Fields[3].c_str(), nullptr, 16));
    Colour.push_back(RGBColor(uint8_t(RGB >> 16), uint8_t(RGB >> 8), uint8_t(RGB)));
  }
  std::printf("%d samples read from %s\n\n", N, FileName.c_str());

  double Mean = 0, Var = 0, Q1 = 0, Q2 = 0, Q3 = 0;
  Temperature.MeanVar(0, 0, Mean, Var);
  Temperature.Quartiles(0, 0, Q1, Q2, Q3);
  std::printf("temperature: mean %s, sd %s, quartiles %s %s %s\n", strff(Mean, 1, 2).c_str(),
              strff(std::sqrt(Var), 1, 2).c_str(), strff(Q1, 1, 2).c_str(), strff(Q2, 1, 2).c_str(),
              strff(Q3, 1, 2).c_str());
  std::printf("%-6s %8s %10s %6s %8s %6s\n", "sample", "temp", "pressure", "gray", "hue", "warm");
  TBitFld Warm;
  for (int32_t I = 0; I < N; ++I) {
    Warm.SetBit(I, Temperature.GetVal(I + 1) > Mean);
    double Hue = 0, Sat = 0, Intensity = 0;
    RGBtoHSI(Colour[size_t(I)], Hue, Sat, Intensity);
    std::printf("%-6s %s %s %6d %s %6s\n", Names[size_t(I)].c_str(),
                strff(Temperature.GetVal(I + 1), 8, 1).c_str(),
                strff(Pressure.GetVal(I + 1), 10, 1).c_str(), RGBtoGray(Colour[size_t(I)]),
                strff(Hue, 8, 1).c_str(), Warm.GetBit(I) ? "yes" : "no");
  }

  // Does pressure fall as temperature rises? Pearson's r and its two-sided t-test.
  const double R = Temperature.PearsonCorrCoeff(&Pressure);
  const double T = R * std::sqrt((N - 2) / (1 - R * R));
  const double P = 2 * tDistriIntegralUpper(std::fabs(T), N - 2);
  std::printf("\ncorrelation temperature/pressure r = %s, t = %s, p = %s\n", strff(R, 1, 4).c_str(),
              strff(T, 1, 3).c_str(), strf(P, 12, -2).c_str());

  // The two columns as a matrix: standardised, then their cross-product matrix.
  TMatrix Data, Cross;
  Data.Resize(2, N);
  Data.CopyFromVec(&Temperature, 0, 0, 1, 1);
  Data.CopyFromVec(&Pressure, 0, 0, 2, 1);
  Data.StandardizeColumns(nullptr, nullptr);
  Data.Square(&Cross, N - 1);
  std::printf("correlation matrix from the standardised data: [%s %s; %s %s]\n",
              strff(Cross.GetVal(1, 1), 1, 4).c_str(), strff(Cross.GetVal(2, 1), 1, 4).c_str(),
              strff(Cross.GetVal(1, 2), 1, 4).c_str(), strff(Cross.GetVal(2, 2), 1, 4).c_str());
  std::printf("its determinant %s, spectral norm %s\n", strff(Cross.Determinant(), 1, 4).c_str(),
              strff(Cross.Norm(ntSpectral), 1, 4).c_str());
  std::printf("fingerprint of the temperatures: %s\n", Temperature.CRCofData().c_str());

  // Repeatable sampling: the same seed gives the same picks.
  SetRandSeed(42);
  std::printf("three samples drawn with seed 42:");
  for (int K = 0; K < 3; ++K) std::printf(" %s", Names[size_t(RandomInt(N))].c_str());
  std::printf("\n");
}

void Signal(const std::string& FileName) {
  const auto Lines = DataLines(ReadText(FileName));
  TFastFourier FFT;
  FFT.SetNumData(static_cast<int32_t>(Lines.size()));
  for (size_t I = 0; I < Lines.size(); ++I)
    FFT.SetRealVal(int32_t(I) + 1, std::strtod(Lines[I][0].c_str(), nullptr));
  FFT.Transform();
  // The two strongest lines of the power spectrum.
  int32_t Best = 0, Second = 0;
  for (int32_t K = 1; K < FFT.SpectrumSize() / 2; ++K) {
    if (FFT.GetPowerSpec(K) > FFT.GetPowerSpec(Best)) {
      Second = Best;
      Best = K;
    } else if (FFT.GetPowerSpec(K) > FFT.GetPowerSpec(Second)) {
      Second = K;
    }
  }
  std::printf("\n%d signal samples read from %s\n", FFT.SpectrumSize(), FileName.c_str());
  std::printf("strongest tones: %s Hz and %s Hz (1 ms sampling)\n",
              EEngStr(FFT.FreqOfLine(Best, 1e-3), 3).c_str(),
              EEngStr(FFT.FreqOfLine(Second, 1e-3), 3).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Dir = argc > 1 ? argv[1] : NUX_EXAMPLE_DATA;
  try {
    Samples(Dir + "/samples.txt");
    Signal(Dir + "/signal.txt");
  } catch (const Exception& E) {
    std::fprintf(stderr, "quickstart: %s\n", E.what());
    return 1;
  }
  return 0;
}
