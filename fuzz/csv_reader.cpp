// Feeds hostile text to the CSV scanner (the first byte picks the delimiter); fields written by
// CSVField must scan back as themselves. The same text as a file: the block reader must give the
// scanner's records at a small block size (cutting records anywhere), and the data table's
// import must return a code.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "nux/nux.h"
using namespace nux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  if (N < 1) return 0;
  const char Delim = CSVDelimiterChar(static_cast<TCSVDelimiters>(D[0] % 4));
  std::string Text(reinterpret_cast<const char*>(D) + 1, N - 1);
  TCSVScanner S(Text, Delim);
  std::vector<std::string_view> F;
  size_t Before = 0;
  while (S.NextRecord(F)) {
    if (S.Position() <= Before) abort();
    Before = S.Position();
    std::string Line;
    for (size_t K = 0; K < F.size(); ++K) {
      if (K > 0) Line += Delim;
      Line += CSVField(F[K], Delim);
    }
    Line += "\r\n";
    TCSVScanner Back(Line, Delim);
    std::vector<std::string_view> G;
    // Blank-delimited records drop empty trailing fields only when unquoted; CSVField quotes them.
    if (!Back.NextRecord(G) || G.size() != F.size()) abort();
    for (size_t K = 0; K < F.size(); ++K)
      if (G[K] != F[K]) abort();
  }
  static const std::string File = "/dev/shm/nux-fuzz-csv-" + std::to_string(getpid()) + ".csv";
  std::ofstream(File, std::ios::binary) << Text;
  const bool Bom = Text.compare(0, 3, "\xEF\xBB\xBF") == 0;
  TCSVScanner Whole(std::string_view(Text).substr(Bom ? 3 : 0), Delim);
  TCSVFileReader In(Delim, 1 + D[0] / 4 % 8);
  if (In.Open(File) != ascOK) abort();
  std::vector<std::string_view> G;
  int32_t R = 0;
  while ((R = In.Next(G)) == 1) {
    if (!Whole.NextRecord(F) || F != G) abort();
  }
  if (Whole.NextRecord(F) || (R == csvOpenQuote) != Whole.Failed()) abort();
  TDataTable T;
  const int32_t Code = T.ImportFromCSV(File, static_cast<TCSVDelimiters>(D[0] % 4), D[0] % 3,
                                       D[0] % 5, D[0] & 64, D[0] & 128);
  if (Code > 0) abort();
  return 0;
}
