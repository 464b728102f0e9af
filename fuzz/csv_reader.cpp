// Feeds hostile text to the CSV scanner (the first byte picks the delimiter); fields written by
// CSVField must scan back as themselves.
#include <cstdint>
#include <cstdlib>
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
  return 0;
}
