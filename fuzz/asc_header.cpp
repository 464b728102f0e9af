// Feeds hostile text to the ASC header and body readers; whatever they accept must stay within
// the counts they announced, and a table that loads must write a text that loads again alike.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "nux/nux.h"
using namespace nux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  std::string Text(reinterpret_cast<const char*>(D), N);
  TTextScanner S{Text, 0};
  std::string Comment;
  int32_t Nc = 0, Nr = 0;
  bool Flags[4];
  if (ReadHeaderOfASC(S, Comment, Nc, Nr, Flags) != ascOK) return 0;
  if (Nc < 1 || Nr < 0 || int64_t{Nc} * Nr > int64_t(N)) abort();
  TASCBody Body;
  if (ReadASCBody(S, Nc, Nr, Flags, Body) != ascOK) return 0;
  if (Body.Columns.size() != size_t(Nc)) abort();
  TMemoryStream In;
  In.Write(Text.data(), int64_t(Text.size()));
  In.SetPosition(0);
  TDataTable T;
  if (T.ImportASC(In) != ascOK) return 0;
  // The header drops blanks and a byte-order mark around the comment, and an empty one is
  // replaced on export.
  std::string C = StripLTBlanks(T.Comment());
  while (C.compare(0, 3, "\xEF\xBB\xBF") == 0) C = StripLTBlanks(C.substr(3));
  T.SetComment(C.empty() ? "c" : C);
  TMemoryStream Out;
  if (T.ExportAsASC(Out, -1) != 0) abort();
  Out.SetPosition(0);
  TDataTable Back;
  if (Back.ImportASC(Out) != ascOK || Back.NrOfColumns() != T.NrOfColumns() ||
      Back.NrOfRows() != T.NrOfRows() ||
      Back.CRCofNamesAndAttributes() != T.CRCofNamesAndAttributes() ||
      Back.CRCofCellStates() != T.CRCofCellStates())
    abort();
  return 0;
}
