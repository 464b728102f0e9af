// Feeds hostile text to the number scanners, validators and string helpers, from any start
// position. The first byte is the start position, the second selects the routine.
#include <cstdint>
#include <string>

#include "nux/nux.h"
using namespace nux;
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* D, size_t N) {
  if (N < 2) return 0;
  const int32_t Start = int32_t(int8_t(D[0]));
  const uint8_t Sel = D[1];
  std::string_view T(reinterpret_cast<const char*>(D + 2), N - 2);
  int32_t Pos = Start;
  switch (Sel % 10) {
    case 0:
      ScanHex(T, Pos);
      break;
    case 1:
      ScanOctal(T, Pos);
      ScanBin(T, Pos = Start);
      break;
    case 2:
      ScanDecimal(T, Pos);
      break;
    case 3:
      ScanFPNum(T, Sel & 16, (Sel >> 5), Pos);
      break;
    case 4: {
      int32_t Rc = 0;
      ScanDegrees(T, Pos, Sel & 16, Rc);
      break;
    }
    case 5: {
      const size_t Cut = T.size() / 2;
      ScanDateTime(T.substr(0, Cut), T.substr(Cut), TLanguage(Sel % 5), Pos);
      break;
    }
    case 6:
      IsValidDouble(T, Sel & 16, TDecPSep(Sel % 4));
      IsValidFPNum(T, TDecPSep((Sel >> 2) % 4));
      break;
    case 7:
      IsValidHex(T);
      IsValidOct(T);
      IsValidBin(T);
      IsValidDecInt(T);
      StrToIntDefault(T, 7);
      break;
    case 8:
      try {
        HexToDouble(T, Sel & 16);
        HexToSingle(T);
      } catch (const ENUXError&) {
      }
      break;
    case 9:
      StringContains(T, "//dig");
      Tokenize(T, ";, ");
      Utf8Truncate(T, Sel);
      StripLTBlanks(T);
      break;
  }
  return 0;
}
