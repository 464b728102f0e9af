// XML files: a sensor grid (data/grid.txt, one row per line, nan for a failed sensor) is stored
// as a TMatrix and a TMat3D of two readings in one XML file, read back in turn, and a data
// table with named columns is embedded in a larger document and read back from it.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "nux/nux.h"

using namespace nux;

namespace {

int Run(const std::string& DataDir, const std::string& OutFile) {
  std::ifstream In(DataDir + "/grid.txt");
  TDouble2DArray Rows;
  int64_t ErrorLine = 0;
  if (!In || ReadNumberRows(In, true, Rows, ErrorLine) != ptOK) {
    std::printf("cannot read %s/grid.txt\n", DataDir.c_str());
    return 1;
  }
  const auto Nr = int32_t(Rows.size()), Nc = int32_t(Rows[0].size());
  TMatrix Grid(Nc, Nr);
  TMat3D Readings(Nc, Nr, 2);
  for (int32_t R = 1; R <= Nr; ++R)
    for (int32_t C = 1; C <= Nc; ++C) {
      const double V = Rows[size_t(R - 1)][size_t(C - 1)];
      Grid.SetVal(C, R, V);
      Readings.SetVal(C, R, 1, V);
      Readings.SetVal(C, R, 2, V + 0.1);
    }
  {
    // Two elements in one file: the 2-D grid at full precision, the readings at 4 digits.
    std::ofstream Out(OutFile, std::ios::binary);
    Grid.WriteToOpenXMLFile(Out, true, "grid");
    Readings.WriteToOpenXMLFile(Out, false, "readings", 4);
  }
  std::ifstream Back(OutFile, std::ios::binary);
  TMatrix G;
  TMat3D Rd;
  const int32_t R1 = G.ReadFromOpenXMLFile(Back, "grid");
  const int32_t R2 = Rd.ReadFromOpenXMLFile(Back, "readings");
  std::printf("grid: result %d, %d x %d, identical bits: %s, failed sensor reads %g\n", R1,
              G.NrOfColumns(), G.NrOfRows(), G.CRCofData() == Grid.CRCofData() ? "yes" : "no",
              G.GetVal(2, 2));
  std::printf("readings: result %d, %d layers, (4,3,2) = %g\n", R2, Rd.NrOfLayers(),
              Rd.GetVal(4, 3, 2));

  // A table embedded in another document.
  TDataTable T;
  T.Resize(Nc, Nr);
  for (int32_t C = 1; C <= Nc; ++C) {
    T.SetColName(C, "sensor <" + std::to_string(C) + ">");
    for (int32_t R = 1; R <= Nr; ++R) T.SetElem(C, R, Grid.GetVal(C, R));
  }
  T.SetComment("grid of " + std::to_string(Nc * Nr) + " sensors");
  std::ostringstream Doc;
  Doc << "<site name=\"north\">\n";
  T.WriteToOpenXMLFile(Doc, false, xmlFullPrecision, "temps");
  Doc << "</site>\n";
  int64_t At = 1;
  TDataTable Copy;
  const int32_t R3 = Copy.ReadFromXMLString(Doc.str(), At, "temps");
  std::printf("table: result %d, comment \"%s\", column 4 \"%s\", mean of row 3 %.4f\n", R3,
              Copy.Comment().c_str(), Copy.ColName(4).c_str(),
              (Copy.Elem(1, 3) + Copy.Elem(2, 3) + Copy.Elem(3, 3) + Copy.Elem(4, 3)) / 4);
  // A hostile document changes nothing.
  At = 1;
  const int32_t R4 = Copy.ReadFromXMLString(
      "<datatable><size numcols=\"99999\" numrows=\"99999\"/></datatable>", At, "");
  std::printf("size bomb: result %d, still %d x %d\n", R4, Copy.NrOfColumns(), Copy.NrOfRows());
  std::remove(OutFile.c_str());
  return R1 == xrOK && R2 == xrOK && R3 == xrOK && R4 == xrRefused ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string Dir = argc > 1 ? argv[1] : NUX_EXAMPLE_DATA;
  return Run(Dir, (std::filesystem::temp_directory_path() / "nux_matrix_xml_example.xml").string());
}
