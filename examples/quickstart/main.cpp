// Quickstart: reads the bundled sample file through the library's streams, tokenizes it,
// fingerprints the measurements, marks the warm samples in a bit field and converts colours.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "nux/nux.h"

using namespace nux;

int main(int argc, char** argv) {
  const std::string FileName = argc > 1 ? argv[1] : NUX_EXAMPLE_DATA "/samples.txt";
  TMemoryStream Stream;
  try {
    Stream.LoadFromFile(FileName);
  } catch (const Exception& E) {
    std::fprintf(stderr, "quickstart: %s\n", E.what());
    return 1;
  }
  const std::string Text(reinterpret_cast<const char*>(Stream.Memory()),
                         static_cast<size_t>(Stream.Size()));

  TStrArray Names;
  TDoubleArray Temperature, Pressure;
  TIntArray Colour;
  for (const std::string& Line : Tokenize(Text, "\r\n")) {
    const std::string Clean = StripLTBlanks(RemoveControlChars(Line));
    if (Clean.empty() || Clean[0] == '#') continue;
    const TStrArray Fields = Tokenize(Clean, " \t");
    if (Fields.size() != 4) continue;
    Names.push_back(Fields[0]);
    Temperature.push_back(std::strtod(Fields[1].c_str(), nullptr));
    Pressure.push_back(std::strtod(Fields[2].c_str(), nullptr));
    // The file writes colours as RRGGBB; the library keeps 0x00BBGGRR.
    const auto RGB = static_cast<uint32_t>(std::strtoul(Fields[3].c_str(), nullptr, 16));
    Colour.push_back(RGBColor(uint8_t(RGB >> 16), uint8_t(RGB >> 8), uint8_t(RGB)));
  }
  std::printf("%zu samples read from %s\n\n", Names.size(), FileName.c_str());

  double MeanT = 0.0;
  for (const double T : Temperature) MeanT += T;
  MeanT /= static_cast<double>(Temperature.size() > 0 ? Temperature.size() : 1);

  TBitFld Warm;
  std::printf("%-6s %8s %10s %6s %8s %6s\n", "sample", "temp", "pressure", "gray", "hue", "warm");
  for (size_t I = 0; I < Names.size(); ++I) {
    Warm.SetBit(static_cast<int64_t>(I), Temperature[I] > MeanT);
    double Hue = 0, Sat = 0, Intensity = 0;
    RGBtoHSI(Colour[I], Hue, Sat, Intensity);
    std::printf("%-6s %s %s %6d %s %6s\n", Names[I].c_str(), strff(Temperature[I], 8, 1).c_str(),
                strff(Pressure[I], 10, 1).c_str(), RGBtoGray(Colour[I]), strff(Hue, 8, 1).c_str(),
                Warm.GetBit(static_cast<int64_t>(I)) ? "yes" : "no");
  }
  std::printf(
      "\nmean temperature %s, %lld of %zu samples above it (first: %s)\n",
      strff(MeanT, 1, 2).c_str(), static_cast<long long>(Warm.CountTrueBits()), Names.size(),
      Warm.FirstTrueBit() >= 0 ? Names[static_cast<size_t>(Warm.FirstTrueBit())].c_str() : "none");
  std::printf("fingerprint of the temperatures: %s\n",
              CRCofData(std::span<const double>(Temperature)).c_str());

  // Repeatable sampling: the same seed gives the same picks.
  SetRandSeed(42);
  std::printf("three samples drawn with seed 42:");
  for (int K = 0; K < 3; ++K)
    std::printf(
        " %s",
        Names.empty()
            ? "-"
            : Names[static_cast<size_t>(RandomInt(static_cast<int32_t>(Names.size())))].c_str());
  std::printf("\nln(20!) = %s\n", strff(uc_LnFactorial[20], 1, 6).c_str());
  return 0;
}
