#include "nux/math2/expression.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "nux/frame/stringl.h"

namespace nux {

const char* const ExpOperatorWords[opXor + 1] = {
    "",     "",     "",      "",      "",        "",       "",       "mod",  "",
    "",     "",     "",      "",      "",        "",       "",       "",     "",
    "",     "sin",  "cos",   "tan",   "arcsin",  "arccos", "arctan", "abs",  "sign",
    "sqrt", "sqr",  "round", "ndint", "ndquant", "nddens", "sum",    "mean", "var",
    "pi",   "true", "false", "exp",   "ln",      "lg",     "gauss",  "rand", "frac",
    "int",  "max",  "min",   "and",   "not",     "or",     "xor"};

int32_t CheckParanthInExp(std::string_view Exp) {
  int64_t Depth = 0, Pos = 0;
  for (size_t i = 0; i < Exp.size(); ++i) {
    const auto c = static_cast<unsigned char>(Exp[i]);
    // Bytes 10xxxxxx continue a code point; every other byte starts a character.
    if ((c & 0xC0) != 0x80 || i == 0) ++Pos;
    if (c == '(') ++Depth;
    if (c == ')' && --Depth < 0) return static_cast<int32_t>(-std::min<int64_t>(Pos, INT32_MAX));
  }
  return static_cast<int32_t>(std::min<int64_t>(Depth, INT32_MAX));
}

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsNameStart(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
}

bool IsOperatorWord(std::string_view Word) {
  return std::any_of(std::begin(ExpOperatorWords), std::end(ExpOperatorWords),
                     [&](const char* W) { return *W != '\0' && SameText(Word, W); });
}

}  // namespace

void ExtractVarNames(std::string_view Exp, TStrArray& Names) {
  TStrArray Out;
  std::unordered_set<std::string_view> Seen;  // views into Exp
  const size_t n = Exp.size();
  const auto At = [&](size_t i) { return i < n ? static_cast<unsigned char>(Exp[i]) : 0; };
  size_t i = 0;
  while (i < n) {
    const unsigned char c = At(i);
    if (IsDigit(c) || (c == '.' && IsDigit(At(i + 1)))) {
      // A number: digits, a fraction, and an exponent only when digits follow the e.
      while (IsDigit(At(i))) ++i;
      if (At(i) == '.')
        for (++i; IsDigit(At(i)); ++i) {
        }
      if (At(i) == 'e' || At(i) == 'E') {
        size_t j = i + 1;
        if (At(j) == '+' || At(j) == '-') ++j;
        if (IsDigit(At(j))) {
          i = j;
          while (IsDigit(At(i))) ++i;
        }
      }
    } else if (IsNameStart(c)) {
      const size_t Start = i;
      while (i < n && (IsNameStart(At(i)) || IsDigit(At(i)))) ++i;
      const std::string_view Word = Exp.substr(Start, i - Start);
      if (!IsOperatorWord(Word) && Seen.insert(Word).second) Out.emplace_back(Word);
    } else {
      ++i;
    }
  }
  Names = std::move(Out);
}

}  // namespace nux
