#include "nux/frame/stringl.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace nux {

namespace {

char LowerAscii(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C; }
char UpperAscii(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C; }
bool IsBlank(char C) { return C == ' ' || C == '\t'; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
bool IsAlpha(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }
bool IsContinuation(unsigned char C) { return (C & 0xC0U) == 0x80U; }

std::string PadLeft(std::string Text, int32_t Width) {
  if (Width > 0 && Text.size() < static_cast<size_t>(Width))
    Text.insert(0, static_cast<size_t>(Width) - Text.size(), ' ');
  return Text;
}

}  // namespace

std::string strff(double Value, int32_t Width, int32_t Decimals) {
  Width = std::min(Width, 1000);
  if (std::isnan(Value)) return PadLeft("NaN", Width);
  if (std::isinf(Value)) return PadLeft(Value > 0 ? "Inf" : "-Inf", Width);
  Decimals = std::clamp(Decimals, 0, 40);
  // to_chars is exact and independent of the locale (a host may set a comma decimal point).
  // Large enough for 1.8e308 with 40 decimals.
  char Buffer[400];
  const auto R =
      std::to_chars(Buffer, Buffer + sizeof(Buffer), Value, std::chars_format::fixed, Decimals);
  return PadLeft(std::string(Buffer, R.ptr), Width);
}

std::string StripLTBlanks(std::string_view Text) {
  size_t First = 0;
  size_t Last = Text.size();
  while (First < Last && IsBlank(Text[First])) ++First;
  while (Last > First && IsBlank(Text[Last - 1])) --Last;
  return std::string(Text.substr(First, Last - First));
}

std::string StripTrailingChars(std::string_view Text, std::string_view Chars) {
  size_t Last = Text.size();
  while (Last > 0 && Chars.find(Text[Last - 1]) != std::string_view::npos) --Last;
  return std::string(Text.substr(0, Last));
}

std::string RemoveControlChars(std::string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (const char C : Text) {
    const auto U = static_cast<unsigned char>(C);
    if (U >= 32 && U != 127) Out.push_back(C);
  }
  return Out;
}

std::string ReplaceCharInString(std::string_view Text, char OldChar, char NewChar) {
  std::string Out(Text);
  std::replace(Out.begin(), Out.end(), OldChar, NewChar);
  return Out;
}

bool StringContains(std::string_view Text, std::string_view Pattern) {
  const auto Any = [&](auto Pred) { return std::any_of(Text.begin(), Text.end(), Pred); };
  if (Pattern == "//dig") return Any(IsDigit);
  if (Pattern == "//alpha") return Any(IsAlpha);
  if (Pattern == "//alnum") return Any([](char C) { return IsDigit(C) || IsAlpha(C); });
  if (Pattern == "//blank") return Any(IsBlank);
  return Text.find(Pattern) != std::string_view::npos;
}

int32_t StringIx(std::string_view Text, const TStrArray& List, bool CaseSensitive) {
  for (size_t I = 0; I < List.size(); ++I) {
    const bool Equal = CaseSensitive ? (List[I] == Text) : SameText(List[I], Text);
    if (Equal) return static_cast<int32_t>(I + 1);
  }
  return 0;
}

TStrArray Tokenize(std::string_view Text, std::string_view Delimiters, bool KeepEmpty) {
  TStrArray Tokens;
  size_t Start = 0;
  for (size_t I = 0; I <= Text.size(); ++I) {
    if (I < Text.size() && Delimiters.find(Text[I]) == std::string_view::npos) continue;
    if (KeepEmpty || I > Start) Tokens.emplace_back(Text.substr(Start, I - Start));
    Start = I + 1;
  }
  return Tokens;
}

std::string UpperCase(std::string_view Text) {
  std::string Out(Text);
  std::transform(Out.begin(), Out.end(), Out.begin(), UpperAscii);
  return Out;
}

std::string LowerCase(std::string_view Text) {
  std::string Out(Text);
  std::transform(Out.begin(), Out.end(), Out.begin(), LowerAscii);
  return Out;
}

bool SameText(std::string_view A, std::string_view B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
           return LowerAscii(X) == LowerAscii(Y);
         });
}

size_t Utf8Length(std::string_view Text) {
  size_t N = 0;
  for (size_t I = 0; I < Text.size(); ++I)
    if (!IsContinuation(static_cast<unsigned char>(Text[I])) || I == 0) ++N;
  return N;
}

std::string Utf8Truncate(std::string_view Text, size_t MaxChars) {
  size_t Count = 0;
  for (size_t I = 0; I < Text.size(); ++I) {
    if (I > 0 && IsContinuation(static_cast<unsigned char>(Text[I]))) continue;
    if (Count == MaxChars) return std::string(Text.substr(0, I));
    ++Count;
  }
  return std::string(Text);
}

std::string Utf8TruncateBytes(std::string_view Text, size_t MaxBytes) {
  if (Text.size() <= MaxBytes) return std::string(Text);
  size_t Cut = MaxBytes;
  // Back off to the lead byte of the code point the cut would split.
  while (Cut > 0 && IsContinuation(static_cast<unsigned char>(Text[Cut]))) --Cut;
  return std::string(Text.substr(0, Cut));
}

}  // namespace nux
