// A memory-based learner on 60 concrete mixes (data/concrete.txt: cement, water-cement ratio,
// age, strength, grade): leave-one-out errors of the local models, the estimate for a new mix,
// how often a mix's nearest neighbours share its grade, and the model saved and loaded back.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "nux/nux.h"

using namespace nux;

int main() {
  TMatrix Mixes;
  if (LoadPlainText(std::string(NUX_EXAMPLE_DATA) + "/concrete.txt", Mixes) != 0) {
    std::printf("cannot read the mixes\n");
    return 1;
  }
  TMemBasedLearner L;
  TDataTable& T = *L.ModelData();
  T.Resize(Mixes.NrOfColumns(), Mixes.NrOfRows());
  T.CopyDataFromMatrix(&Mixes, 0, 0, 0, 0, 1, 1);
  const char* Names[] = {"cement", "w/c", "age", "strength", "grade"};
  for (int32_t C = 1; C <= 5; ++C) T.SetColName(C, Names[C - 1]);
  T.SetMScaleType(5, stOrdinal);
  L.SetAllVars(mblVarIndep);
  L.SetVarType(4, mblVarTarget);
  L.SetVarType(5, mblVarIgnore);
  L.SetScalingMode(mblStandardized);  // kg/m3 would otherwise outweigh the ratio
  L.SetNumNearestNb(5);

  // Leave-one-out: every mix estimated from the others.
  for (TMBLLocalModel M : {mblLMAverage, mblLMWgtGauss, mblLMRegress}) {
    L.SetLocalModel(M);
    double Sq = 0;
    for (int32_t R = 1; R <= T.NrOfRows(); ++R) {
      TDoubleArray Mix;
      T.CopyDataRowToArray(R, Mix);
      L.ApplyModel(Mix, R, 0);
      Sq += std::pow(Mix[3] - T.Elem(4, R), 2);
    }
    std::printf("%-16s leave-one-out RMS error %.2f MPa\n", MBLLocalModelID[M],
                std::sqrt(Sq / T.NrOfRows()));
  }

  TDoubleArray NewMix = {380, 0.45, 28, 0, 0};
  L.SetLocalModel(mblLMRegress);
  const int32_t Code = L.ApplyModel(NewMix, 0, 0);
  std::printf("380 kg/m3, w/c 0.45, 28 d: %.1f MPa (code %d)\n", NewMix[3], Code);

  // Grade of each mix against the grades of its three nearest other mixes.
  TInt2DArray Tab;
  L.CalcContingencyTable(5, 3, Tab);
  std::printf("grade  neighbours low mid high\n");
  for (int32_t G = 0; G < 3; ++G)
    std::printf("%-5s %15d %3d %4d\n",
                G == 0   ? "low"
                : G == 1 ? "mid"
                         : "high",
                Tab[G][0], Tab[G][1], Tab[G][2]);

  const auto Dir = std::filesystem::temp_directory_path();
  const std::string Xml = (Dir / "nux-membl-example.xml").string();
  const std::string Bin = (Dir / "nux-membl-example.bin").string();
  L.StoreModelXML(Xml, "concrete");
  L.StoreModelBin(Bin, "concrete");
  TMemBasedLearner FromXml, FromBin;
  std::string Id1, Id2;
  const int32_t R1 = FromXml.LoadModelXML(Xml, Id1), R2 = FromBin.LoadModelBin(Bin, Id2);
  TDoubleArray A = {380, 0.45, 28, 0, 0}, B = A;
  FromXml.ApplyModel(A, 0, 0);
  FromBin.ApplyModel(B, 0, 0);
  std::printf("loaded back: %d %d, ids %s %s, same estimate: %d %d\n", R1, R2, Id1.c_str(),
              Id2.c_str(), A[3] == NewMix[3], B[3] == NewMix[3]);
  std::filesystem::remove(Xml);
  std::filesystem::remove(Bin);
  return 0;
}
