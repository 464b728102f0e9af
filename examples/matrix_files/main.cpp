// Matrix files: three readings of a 4 x 3 grid of field stations in two channels
// (data/readings.txt) kept in a binary record file that grows by appending, read back slot by
// slot without loading it, one channel summed layer by layer, a map saved as text, and a run log
// written with TMixedFStream. Files go to a scratch directory that is removed at the end.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "nux/nux.h"

using namespace nux;

int main() {
  constexpr int32_t Cols = 4, Rows = 3, Channels = 2, Readings = 3;
  TMat4D Log(Cols, Rows, Channels, Readings);
  std::ifstream In(std::string(NUX_EXAMPLE_DATA) + "/readings.txt");
  std::string Line;
  while (std::getline(In, Line)) {
    if (Line.empty() || Line[0] == '#') continue;
    std::istringstream Values(Line);
    int32_t T = 0, Ch = 0;
    Values >> T >> Ch;
    double X = 0;
    for (int32_t I = 0; I < Cols * Rows && Values >> X; ++I)
      Log.SetVal(I % Cols + 1, I / Cols + 1, Ch, T, X);
  }
  const std::filesystem::path Dir =
      std::filesystem::temp_directory_path() / ("nux_matrix_files_" + std::to_string(getpid()));
  std::filesystem::create_directories(Dir);
  const std::string Bin = (Dir / "field.bin").string();

  // The first two readings make the file; the third is appended when it arrives.
  Log.SetDataID("field 7, station grid");
  if (Log.SaveBinary(Bin, 1, 2) != bfOK || Log.AppendToBinaryFile(Bin, 3, 3) != bfOK) return 1;
  int32_t Nc = 0, Nr = 0, Nl = 0, Nt = 0, Format = 0;
  std::string Id;
  TMat4D::ReadBinaryHeader(Bin, Nc, Nr, Nl, Nt, Id, Format);
  std::printf("%s: %d x %d stations, %d channels, %d readings, %lld bytes\n", Id.c_str(), Nc, Nr,
              Nl, Nt, static_cast<long long>(std::filesystem::file_size(Bin)));

  // Mean temperature of each reading, streamed from the file without storing it.
  double Sum[Readings + 1] = {};
  TMat4D Reader;
  Reader.OnReadElement = [&](TObject*, int32_t, int32_t, int32_t Il, int32_t It, double V) {
    if (Il == 1) Sum[It] += V;
  };
  Reader.ReadBinary(Bin, 0, 0);
  for (int32_t T = 1; T <= Readings; ++T)
    std::printf("reading %d: mean temperature %.2f degC\n", T, Sum[T] / (Cols * Rows));

  // Humidity summed over the readings, one layer at a time, into a map of the grid.
  TDouble2DArray Humidity(Cols, TDoubleArray(Rows, 0.0));
  for (int32_t T = 1; T <= Readings; ++T)
    if (Read4DLayerAndAccumulate(Bin, 2, T, Humidity) != 0) return 1;
  TMatrix Map(Humidity);
  Map.SMult(1.0 / Readings);
  const std::string Txt = (Dir / "humidity.txt").string();
  Map.StoreOnFile(0, 0, 0, 0, Txt);
  std::ifstream Shown(Txt);
  std::printf("mean humidity map (bounds, then rows):\n");
  while (std::getline(Shown, Line)) std::printf("  %s\n", Line.c_str());

  // A run log of mixed items, read back.
  const std::string LogName = (Dir / "run.log").string();
  {
    TMixedFStream W(LogName, fmCreate);
    W.WriteLn(Id);
    W.WriteInteger(Nt);
    W.WriteDouble(Map.GetVal(1, 1));
    W.Close();
  }
  TMixedFStream R(LogName, 0);
  const std::string LoggedId = R.ReadLn();
  const int32_t LoggedSlots = R.ReadInteger();
  const double Corner = R.ReadDouble();
  std::printf("log: \"%s\", %d readings, corner humidity %.4f\n", LoggedId.c_str(), LoggedSlots,
              Corner);
  std::filesystem::remove_all(Dir);
  return 0;
}
