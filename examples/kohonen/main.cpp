// A 4 x 4 Kohonen map trained on water samples of three springs (data/springs.txt: pH,
// conductivity, hardness): where each spring's samples land on the map, what a neuron holds in
// the units of the data, and the map saved as XML and loaded back unchanged.
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "nux/nux.h"

using namespace nux;

int main() {
  TMatrix Samples;
  if (LoadPlainText(std::string(NUX_EXAMPLE_DATA) + "/springs.txt", Samples) != ptOK) {
    std::printf("cannot read the samples\n");
    return 1;
  }
  TKohonen Map;
  Map.SetDataMat(&Samples);
  Map.StandardizeData();  // conductivity would otherwise outweigh everything else
  Map.SetSizeX(4);
  Map.SetSizeY(4);
  Map.SetNrOfTrnSteps(60);
  Map.SetInitialNeighbors(3);
  SetRandSeed(1);  // the same training every run
  int32_t LastPercent = 0;
  Map.OnFeedback = [&](TObject*, int32_t Percent) { LastPercent = Percent; };
  Map.Trainit();
  std::printf("trained %d epochs (%d%%)\n", Map.CurrentStep() - 1, LastPercent);

  // Each spring's samples (15 rows each) by winning neuron.
  const char* Names[] = {"spring A", "spring B", "spring C"};
  for (int32_t S = 0; S < 3; ++S) {
    std::map<std::pair<int32_t, int32_t>, int> Hits;
    for (int32_t R = S * 15 + 1; R <= S * 15 + 15; ++R) {
      TVector In(3);
      for (int32_t C = 1; C <= 3; ++C) In.SetVal(C, Samples.GetVal(C, R));
      int32_t X = 0, Y = 0;
      double D = 0;
      Map.ApplyIt(In, X, Y, D);
      ++Hits[{X, Y}];
    }
    std::printf("%s:", Names[S]);
    for (const auto& [Cell, N] : Hits) std::printf(" (%d,%d)x%d", Cell.first, Cell.second, N);
    std::printf("\n");
  }
  std::printf("neuron (1,1): pH %.2f, conductivity %.0f uS/cm, hardness %.1f dH\n",
              Map.Weight(1, 1, 1), Map.Weight(1, 1, 2), Map.Weight(1, 1, 3));

  const std::string File =
      (std::filesystem::temp_directory_path() / "nux_springs_map.xml").string();
  if (Map.SaveAsXMLFile(File, "springs") != xrOK) return 1;
  TKohonen Back;
  const int32_t Loaded = Back.LoadFromXMLFile(File, "springs");
  std::filesystem::remove(File);
  const bool Same = Loaded == xrOK &&
                    Back.StoredWeights().CRCofData() == Map.StoredWeights().CRCofData() &&
                    Back.Weight(1, 1, 2) == Map.Weight(1, 1, 2);
  std::printf("saved and loaded back: %s\n", Same ? "identical" : "DIFFERENT");
  return Same ? 0 : 1;
}
