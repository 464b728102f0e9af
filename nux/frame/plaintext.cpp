#include "nux/frame/plaintext.h"

#include <charconv>
#include <cmath>
#include <istream>
#include <limits>

namespace nux {

std::string ShortestNumber(double X) {
  if (std::isnan(X)) return "nan";
  if (std::isinf(X)) return X > 0 ? "inf" : "-inf";
  char Buf[32];
  const auto R = std::to_chars(Buf, Buf + sizeof(Buf), X);
  return std::string(Buf, R.ptr);
}

std::string ShortestNumber(int32_t X) { return std::to_string(X); }

bool ParseNumber(std::string_view Text, double& X) {
  // from_chars takes no leading '+', which hand-written files often have.
  if (!Text.empty() && Text[0] == '+') Text.remove_prefix(1);
  if (Text.empty() || Text[0] == '+') return false;
  double V = 0;
  const auto R = std::from_chars(Text.data(), Text.data() + Text.size(), V);
  // Out of range (1e999) is not a number the writer produces; refuse it rather than guess.
  if (R.ec != std::errc() || R.ptr != Text.data() + Text.size()) return false;
  X = V;
  return true;
}

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\v' || C == '\f'; }

}  // namespace

int32_t ReadNumberRows(std::istream& In, bool Rectangular, TDouble2DArray& Rows, int64_t& ErrorLine,
                       bool (*Accept)(double)) {
  ErrorLine = 0;
  if (!In.good()) return ptCannotOpen;
  constexpr int64_t MaxValues = std::numeric_limits<int32_t>::max();
  TDouble2DArray Out;
  int64_t Total = 0, LineNo = 0;
  std::string Line;
  while (std::getline(In, Line)) {
    ++LineNo;
    TDoubleArray Row;
    size_t Pos = 0;
    while (Pos < Line.size()) {
      while (Pos < Line.size() && IsBlank(Line[Pos])) ++Pos;
      if (Pos >= Line.size()) break;
      if (Row.empty() && Line[Pos] == '#') break;  // a comment line
      size_t End = Pos;
      while (End < Line.size() && !IsBlank(Line[End])) ++End;
      double X;
      if (!ParseNumber(std::string_view(Line).substr(Pos, End - Pos), X) ||
          (Accept != nullptr && !Accept(X))) {
        ErrorLine = LineNo;
        return ptNotANumber;
      }
      if (++Total > MaxValues) {
        ErrorLine = LineNo;
        return ptTooLarge;
      }
      Row.push_back(X);
      Pos = End;
    }
    if (Row.empty()) continue;
    if (Rectangular && !Out.empty() && Row.size() != Out[0].size()) {
      ErrorLine = LineNo;
      return ptRagged;
    }
    Out.push_back(std::move(Row));
  }
  if (In.bad()) return ptCannotOpen;
  if (Out.empty()) return ptNoNumbers;
  Rows.swap(Out);
  return ptOK;
}

}  // namespace nux
