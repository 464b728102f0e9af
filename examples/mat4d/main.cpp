// Four-dimensional array: 5 exposures of a 6 x 4 pixel sensor in 3 spectral bands
// (data/exposures.txt) reduced per pixel to the mean, spread and extremes over the exposures on
// worker threads, a hot pixel found, and one band's pixel series copied out.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "nux/nux.h"

using namespace nux;

int main() {
  constexpr int32_t Cols = 6, Rows = 4, Bands = 3, Exposures = 5;
  TMat4D Frames(Cols, Rows, Bands, Exposures);
  std::ifstream In(std::string(NUX_EXAMPLE_DATA) + "/exposures.txt");
  std::string Line;
  int32_t Record = 0;
  while (std::getline(In, Line)) {
    if (Line.empty() || Line[0] == '#') continue;
    const int32_t T = Record / Bands + 1, Band = Record % Bands + 1;
    std::istringstream Values(Line);
    std::string Token;
    for (int32_t I = 0; I < Cols * Rows && Values >> Token; ++I)
      Frames.SetVal(I % Cols + 1, I / Cols + 1, Band, T, std::strtod(Token.c_str(), nullptr));
    ++Record;
  }
  if (Record != Bands * Exposures) {
    std::printf("exposures.txt: %d records, expected %d\n", Record, Bands * Exposures);
    return 1;
  }

  // Per pixel over all exposures of band 2: mean, spread and peak (the lost reading is passed
  // over by the extremes and makes its pixel's mean NaN).
  TMatrix Mean, Dev, Peak;
  Frames.MeanOfLayersToMatrix(&Mean, 0, 0, 0, 0, 2, 2, 0, 0, 2);
  Frames.StdDevOfLayersToMatrix(&Dev, 0, 0, 0, 0, 2, 2, 0, 0, 2);
  Frames.MaximumOfLayersToMatrix(&Peak, 0, 0, 0, 0, 1, 1, 0, 0, 2);
  std::printf("band 2, mean of pixel (1, 1): %.2f, spread %.2f\n", Mean.GetVal(1, 1),
              Dev.GetVal(1, 1));
  std::printf("band 1, peak of pixel (1, 1) (one reading lost): %.1f\n", Peak.GetVal(1, 1));

  // The hot pixel: the largest band-2 mean, against the band's median.
  int32_t HotC = 1, HotR = 1;
  for (int32_t C = 1; C <= Cols; ++C)
    for (int32_t R = 1; R <= Rows; ++R)
      if (Mean.GetVal(C, R) > Mean.GetVal(HotC, HotR)) {
        HotC = C;
        HotR = R;
      }
  const double Median = Frames.Percentile(50, 0, 0, 0, 0, 2, 2, 0, 0);
  std::printf("hot pixel (%d, %d): mean %.1f against a band median of %.1f\n", HotC, HotR,
              Mean.GetVal(HotC, HotR), Median);

  // The spectrum of the hot pixel in exposure 3, and the whole array's range.
  TDoubleArray Spectrum;
  Frames.CopyPixelTo1DArray(Spectrum, HotC, HotR, 3);
  std::printf("its spectrum in exposure 3: %.1f %.1f %.1f\n", Spectrum[0], Spectrum[1],
              Spectrum[2]);
  double Lo = 0, Hi = 0;
  Frames.MinMax(0, 0, 0, 0, 0, 0, 0, 0, Lo, Hi);
  std::printf("all readings between %.1f and %.1f\n", Lo, Hi);
  return 0;
}
