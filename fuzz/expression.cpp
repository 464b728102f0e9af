// Feeds hostile text to the expression checker and the name lister: the balance must agree with
// a count of the parentheses, and every name must be a word of the text that is no operator.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "nux/nux.h"
using namespace nux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  const std::string Text(reinterpret_cast<const char*>(D), N);
  const int32_t R = CheckParanthInExp(Text);
  int64_t Depth = 0, Chars = 0, FirstBad = 0;
  for (size_t i = 0; i < N; ++i) {
    if ((D[i] & 0xC0) != 0x80 || i == 0) ++Chars;
    Depth += (D[i] == '(') - (D[i] == ')');
    if (Depth < 0 && FirstBad == 0) FirstBad = Chars;
  }
  if (FirstBad ? R != -FirstBad : R != Depth) abort();

  TStrArray Names;
  ExtractVarNames(Text, Names);
  for (size_t k = 0; k < Names.size(); ++k) {
    const std::string& Name = Names[k];
    if (Name.empty() || Text.find(Name) == std::string::npos) abort();
    if (Name[0] >= '0' && Name[0] <= '9') abort();
    for (const char* W : ExpOperatorWords)
      if (*W && SameText(Name, W)) abort();
    if (std::find(Names.begin(), Names.begin() + static_cast<std::ptrdiff_t>(k), Name) !=
        Names.begin() + static_cast<std::ptrdiff_t>(k))
      abort();
  }
  return 0;
}
