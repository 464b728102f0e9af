// Feeds hostile text to the quoted-name parser; every name it yields must write (QuoteName)
// and read back as itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "nux/nux.h"
using namespace nux;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  std::string Text(reinterpret_cast<const char*>(D), N);
  TTextScanner S{Text, 0};
  std::string Name;
  size_t Before = 0;
  while (S.NextName(Name)) {
    if (S.Pos <= Before && !Name.empty()) abort();  // no progress would loop forever
    Before = S.Pos;
    const std::string Quoted = QuoteName(Name);
    TTextScanner Back{Quoted, 0};
    std::string Again;
    if (!Back.NextName(Again) || Again != Name || !Back.AtEnd()) abort();
  }
  return 0;
}
