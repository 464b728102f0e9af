#include "nux/math1/numscan.h"

#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace nux {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Positions must stay representable as int32_t, so bytes beyond this are never looked at.
constexpr size_t kMaxText = static_cast<size_t>(std::numeric_limits<int32_t>::max()) - 1;

bool IsBlank(char C) { return C == ' ' || C == '\t'; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

int DigitValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'z') return C - 'a' + 10;
  if (C >= 'A' && C <= 'Z') return C - 'A' + 10;
  return 99;
}

char LowerAscii(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C; }

std::string_view Usable(std::string_view Text) {
  return Text.substr(0, std::min(Text.size(), kMaxText));
}

// 0-based start index of a 1-based position; positions below 1 start at the beginning.
size_t StartIndex(int32_t Pos) { return Pos < 1 ? 0 : static_cast<size_t>(Pos) - 1; }

size_t SkipBlanks(std::string_view T, size_t I) {
  while (I < T.size() && IsBlank(T[I])) ++I;
  return I;
}

bool StartsWithAt(std::string_view T, size_t I, std::string_view What) {
  return I <= T.size() && T.substr(I, What.size()) == What;
}

bool StartsWithNoCase(std::string_view T, size_t I, std::string_view What) {
  if (I > T.size() || T.size() - I < What.size()) return false;
  for (size_t K = 0; K < What.size(); ++K)
    if (LowerAscii(T[I + K]) != LowerAscii(What[K])) return false;
  return true;
}

// Unsigned 32-bit digit string in Base with its optional prefixes; a prefix counts only when
// a digit follows it.
bool ReadUnsigned(std::string_view T, size_t& I, int Base, uint32_t& Value) {
  static constexpr std::array<std::array<const char*, 2>, 3> kPrefixes = {
      {{"%", "0b"}, {"&", "0o"}, {"$", "0x"}}};
  const size_t Which = Base == 2 ? 0 : (Base == 8 ? 1 : 2);
  size_t J = I;
  for (const char* P : kPrefixes[Which]) {
    const std::string_view Prefix(P);
    if (StartsWithNoCase(T, J, Prefix) && J + Prefix.size() < T.size() &&
        DigitValue(T[J + Prefix.size()]) < Base) {
      J += Prefix.size();
      break;
    }
  }
  const size_t Start = J;
  uint64_t V = 0;
  while (J < T.size() && DigitValue(T[J]) < Base) {
    V = V * static_cast<uint64_t>(Base) + static_cast<uint64_t>(DigitValue(T[J]));
    if (V > 0xFFFFFFFFU) return false;
    ++J;
  }
  if (J == Start) return false;
  I = J;
  Value = static_cast<uint32_t>(V);
  return true;
}

bool ReadSigned(std::string_view T, size_t& I, int32_t& Value) {
  size_t J = I;
  const bool Negative = J < T.size() && T[J] == '-';
  if (J < T.size() && (T[J] == '-' || T[J] == '+')) ++J;
  const size_t Start = J;
  const int64_t Limit = Negative ? int64_t{2147483648} : int64_t{2147483647};
  int64_t V = 0;
  while (J < T.size() && IsDigit(T[J])) {
    V = V * 10 + (T[J] - '0');
    if (V > Limit) return false;
    ++J;
  }
  if (J == Start) return false;
  I = J;
  Value = static_cast<int32_t>(Negative ? -V : V);
  return true;
}

struct TFloatSyntax {
  std::string_view Seps = ".";  // accepted decimal separators
  bool AllowSign = true;
  bool AllowExp = true;
};

// [sign] digits [sep [digits]] | [sign] sep digits, then [e [sign] digits]. False on bad
// syntax or a value beyond the double range.
bool ReadFloat(std::string_view T, size_t& I, const TFloatSyntax& Syntax, double& Value) {
  const size_t n = T.size();
  size_t J = I;
  bool Negative = false;
  if (Syntax.AllowSign && J < n && (T[J] == '+' || T[J] == '-')) {
    Negative = T[J] == '-';
    ++J;
  }
  // Value = Digits * 10^(Exp - NFrac); leading zeros are dropped from Digits.
  std::string Digits;
  int64_t NInt = 0;
  int64_t NFrac = 0;
  const auto Take = [&](char C) {
    if (!Digits.empty() || C != '0') Digits.push_back(C);
  };
  for (; J < n && IsDigit(T[J]); ++J, ++NInt) Take(T[J]);
  if (J < n && Syntax.Seps.find(T[J]) != std::string_view::npos) {
    size_t K = J + 1;
    for (; K < n && IsDigit(T[K]); ++K, ++NFrac) Take(T[K]);
    if (NInt > 0 || NFrac > 0) J = K;
  }
  if (NInt == 0 && NFrac == 0) return false;
  int64_t Exp = 0;
  if (Syntax.AllowExp && J < n && (T[J] == 'e' || T[J] == 'E')) {
    size_t K = J + 1;
    bool ExpNegative = false;
    if (K < n && (T[K] == '+' || T[K] == '-')) ExpNegative = T[K++] == '-';
    if (K < n && IsDigit(T[K])) {
      // Saturates: far beyond any double exponent the exact figure no longer matters.
      for (; K < n && IsDigit(T[K]); ++K) Exp = std::min<int64_t>(Exp * 10 + (T[K] - '0'), 1e12);
      if (ExpNegative) Exp = -Exp;
      J = K;
    }
  }
  I = J;
  if (Digits.empty()) {
    Value = Negative ? -0.0 : 0.0;
    return true;
  }
  // The decimal exponent of the leading digit settles overflow and underflow up front, so
  // that the conversion below only sees moderate exponents.
  const int64_t Lead = Exp - NFrac + static_cast<int64_t>(Digits.size()) - 1;
  if (Lead > 400) return false;
  if (Lead < -400) {
    Value = Negative ? -0.0 : 0.0;
    return true;
  }
  // Without a decimal point the conversion does not depend on the locale.
  const std::string Number = (Negative ? "-" : "") + Digits + "e" + std::to_string(Exp - NFrac);
  Value = std::strtod(Number.c_str(), nullptr);
  return std::isfinite(Value);
}

std::string_view SepsOf(TDecPSep DecPSep) {
  switch (DecPSep) {
    case dpsComma:
      return ",";
    case dpsBoth:
      return ".,";
    case dpsSystem: {
      static thread_local char Sep[2] = {'.', 0};
      const std::lconv* L = std::localeconv();
      Sep[0] = (L && L->decimal_point && L->decimal_point[0] && !L->decimal_point[1])
                   ? L->decimal_point[0]
                   : '.';
      return std::string_view(Sep, 1);
    }
    default:
      return ".";
  }
}

std::string_view Trimmed(std::string_view T) {
  size_t First = 0;
  size_t Last = T.size();
  while (First < Last && IsBlank(T[First])) ++First;
  while (Last > First && IsBlank(T[Last - 1])) --Last;
  return T.substr(First, Last - First);
}

template <class F>
bool WholeText(std::string_view Text, F Read) {
  const std::string_view T = Trimmed(Text);
  size_t I = 0;
  return !T.empty() && Read(T, I) && I == T.size();
}

template <class V>
V ScanUnsignedWith(std::string_view Text, int32_t& Pos, int Base) {
  const std::string_view T = Usable(Text);
  size_t I = SkipBlanks(T, StartIndex(Pos));
  uint32_t Value = 0;
  if (I >= T.size() || !ReadUnsigned(T, I, Base, Value)) return 0;
  Pos = static_cast<int32_t>(I + 1);
  return Value;
}

// ---- angles ----

constexpr std::string_view kDegSign = "\xC2\xB0";          // °
constexpr std::string_view kPrime = "\xE2\x80\xB2";        // ′
constexpr std::string_view kDoublePrime = "\xE2\x80\xB3";  // ″

// Length of the minutes mark at I, 0 when there is none. "''" is a seconds mark.
size_t MinuteMark(std::string_view T, size_t I) {
  if (StartsWithAt(T, I, "''")) return 0;
  if (StartsWithAt(T, I, "'")) return 1;
  return StartsWithAt(T, I, kPrime) ? kPrime.size() : 0;
}

size_t SecondMark(std::string_view T, size_t I) {
  if (StartsWithAt(T, I, "\"")) return 1;
  if (StartsWithAt(T, I, "''")) return 2;
  return StartsWithAt(T, I, kDoublePrime) ? kDoublePrime.size() : 0;
}

// A part followed by its mark: unsigned number, blanks, mark. Returns the index after the
// mark, or 0 when the text there is not such a part.
size_t ReadMarkedPart(std::string_view T, size_t I, size_t (*Mark)(std::string_view, size_t),
                      double& Value) {
  static constexpr TFloatSyntax kUnsigned{".", false, false};
  size_t J = SkipBlanks(T, I);
  double Part = 0;
  if (!ReadFloat(T, J, kUnsigned, Part)) return 0;
  J = SkipBlanks(T, J);
  const size_t M = Mark(T, J);
  if (M == 0) return 0;
  Value = Part;
  return J + M;
}

// ---- dates ----

struct TMonthNames {
  std::array<const char*, 12> Short;
  std::array<const char*, 12> Long;
};

// Indexed by TLanguage.
const std::array<TMonthNames, 5> kMonthNames = {{
    {{"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
     {"January", "February", "March", "April", "May", "June", "July", "August", "September",
      "October", "November", "December"}},
    {{"Jan", "Feb", "M\xC3\xA4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
     {"Januar", "Februar", "M\xC3\xA4rz", "April", "Mai", "Juni", "Juli", "August", "September",
      "Oktober", "November", "Dezember"}},
    {{"janv", "f\xC3\xA9vr", "mars", "avr", "mai", "juin", "juil", "ao\xC3\xBBt", "sept", "oct",
      "nov", "d\xC3\xA9\x63"},
     {"janvier", "f\xC3\xA9vrier", "mars", "avril", "mai", "juin", "juillet", "ao\xC3\xBBt",
      "septembre", "octobre", "novembre", "d\xC3\xA9\x63\x65mbre"}},
    {{"gen", "feb", "mar", "apr", "mag", "giu", "lug", "ago", "set", "ott", "nov", "dic"},
     {"gennaio", "febbraio", "marzo", "aprile", "maggio", "giugno", "luglio", "agosto", "settembre",
      "ottobre", "novembre", "dicembre"}},
    {{"ene", "feb", "mar", "abr", "may", "jun", "jul", "ago", "sep", "oct", "nov", "dic"},
     {"enero", "febrero", "marzo", "abril", "mayo", "junio", "julio", "agosto", "septiembre",
      "octubre", "noviembre", "diciembre"}},
}};

// Lower case for ASCII and the Latin-1 capitals (U+00C0..U+00DE); keeps the byte length.
std::string Fold(std::string_view S) {
  std::string Out(S);
  for (size_t I = 0; I < Out.size(); ++I) {
    Out[I] = LowerAscii(Out[I]);
    const auto B = static_cast<unsigned char>(Out[I]);
    if (B == 0xC3 && I + 1 < Out.size()) {
      const auto C = static_cast<unsigned char>(Out[I + 1]);
      if (C >= 0x80 && C <= 0x9E && C != 0x97) Out[I + 1] = static_cast<char>(C + 0x20);
      ++I;
    }
  }
  return Out;
}

// Month 1..12 from its name at I (short or long, longest match), 0 when none.
int32_t ReadMonthName(std::string_view T, size_t& I, TLanguage Language) {
  const auto L = static_cast<size_t>(Language);
  if (L >= kMonthNames.size()) return 0;
  int32_t Best = 0;
  size_t BestLen = 0;
  for (int32_t M = 0; M < 12; ++M)
    for (const char* Name : {kMonthNames[L].Short[static_cast<size_t>(M)],
                             kMonthNames[L].Long[static_cast<size_t>(M)]}) {
      const std::string_view N(Name);
      if (N.size() > BestLen && T.size() - I >= N.size() &&
          Fold(T.substr(I, N.size())) == Fold(N)) {
        Best = M + 1;
        BestLen = N.size();
      }
    }
  I += BestLen;
  return Best;
}

bool ReadDigits(std::string_view T, size_t& I, size_t MinDigits, size_t MaxDigits, int32_t& Value) {
  size_t J = I;
  int32_t V = 0;
  while (J < T.size() && J - I < MaxDigits && IsDigit(T[J])) V = V * 10 + (T[J++] - '0');
  if (J - I < MinDigits) return false;
  I = J;
  Value = V;
  return true;
}

bool IsLeap(int32_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int32_t DaysInMonth(int32_t y, int32_t m) {
  static constexpr std::array<int32_t, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[static_cast<size_t>(m - 1)];
}

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t Era = (y >= 0 ? y : y - 399) / 400;
  const int64_t Yoe = y - Era * 400;
  const int64_t Doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
  return Era * 146097 + Doe - 719468;
}

struct TDateFields {
  int32_t Year = -1, Month = -1, Day = -1, Hour = -1, Minute = -1, Second = -1, Milli = -1;
};

// Matches Format against T from I; false on a mismatch or a malformed format.
bool MatchDateFormat(std::string_view T, size_t& I, std::string_view Format, TLanguage Language,
                     TDateFields& F) {
  size_t J = I;
  size_t K = 0;
  while (K < Format.size() && IsBlank(Format[K])) ++K;
  if (K == Format.size()) return false;
  while (K < Format.size()) {
    const char C = LowerAscii(Format[K]);
    if (std::string_view("dmyhnsz").find(C) == std::string_view::npos) {
      if (IsBlank(C)) {
        if (J >= T.size() || !IsBlank(T[J])) return false;
        J = SkipBlanks(T, J);
        while (K < Format.size() && IsBlank(Format[K])) ++K;
      } else {
        if (J >= T.size() || T[J] != Format[K]) return false;
        ++J;
        ++K;
      }
      continue;
    }
    size_t Run = 0;
    while (K < Format.size() && LowerAscii(Format[K]) == C) ++K, ++Run;
    int32_t* Field = nullptr;
    int32_t V = 0;
    bool Ok = false;
    switch (C) {
      case 'm':
        Field = &F.Month;
        if (Run >= 3 && Run <= 4) {
          V = ReadMonthName(T, J, Language);
          Ok = V != 0;
          break;
        }
        [[fallthrough]];
      case 'd':
      case 'h':
      case 'n':
      case 's':
        if (C == 'd') Field = &F.Day;
        if (C == 'h') Field = &F.Hour;
        if (C == 'n') Field = &F.Minute;
        if (C == 's') Field = &F.Second;
        Ok = Run <= 2 && ReadDigits(T, J, Run, 2, V);
        break;
      case 'y':
        Field = &F.Year;
        Ok = (Run == 2 || Run == 4) && ReadDigits(T, J, Run, Run, V);
        // Two-digit years: 00..49 are 2000..2049, 50..99 are 1950..1999.
        if (Ok && Run == 2) V += V < 50 ? 2000 : 1900;
        break;
      default:  // 'z'
        Field = &F.Milli;
        Ok = Run == 3 && ReadDigits(T, J, 3, 3, V);
        break;
    }
    if (!Ok || *Field >= 0) return false;
    *Field = V;
  }
  I = J;
  return true;
}

}  // namespace

uint32_t ScanHex(std::string_view Text, int32_t& Pos) {
  return ScanUnsignedWith<uint32_t>(Text, Pos, 16);
}
uint32_t ScanOctal(std::string_view Text, int32_t& Pos) {
  return ScanUnsignedWith<uint32_t>(Text, Pos, 8);
}
uint32_t ScanBin(std::string_view Text, int32_t& Pos) {
  return ScanUnsignedWith<uint32_t>(Text, Pos, 2);
}

int32_t ScanDecimal(std::string_view Text, int32_t& Pos) {
  const std::string_view T = Usable(Text);
  size_t I = SkipBlanks(T, StartIndex(Pos));
  int32_t Value = 0;
  if (I >= T.size() || !ReadSigned(T, I, Value)) return 0;
  Pos = static_cast<int32_t>(I + 1);
  return Value;
}

double ScanFPNum(std::string_view Text, bool DecPComma, int32_t Width, int32_t& Pos) {
  const std::string_view All = Usable(Text);
  const size_t Start = StartIndex(Pos);
  if (Start >= All.size()) return kNaN;
  const size_t End =
      Width > 0 ? Start + std::min(All.size() - Start, static_cast<size_t>(Width)) : All.size();
  const std::string_view T = All.substr(0, End);
  const TFloatSyntax Syntax{DecPComma ? "," : ".", true, true};
  size_t I = SkipBlanks(T, Start);
  double Value = 0;
  if (!ReadFloat(T, I, Syntax, Value)) return kNaN;
  if (Width > 0) {
    if (SkipBlanks(T, I) != End) return kNaN;
    I = End;
  }
  Pos = static_cast<int32_t>(I + 1);
  return Value;
}

double ScanDegrees(std::string_view Text, int32_t& Pos, bool NeedDegSign, int32_t& ResultCode) {
  const std::string_view T = Usable(Text);
  size_t I = SkipBlanks(T, StartIndex(Pos));
  double Deg = 0;
  if (I >= T.size() || !ReadFloat(T, I, TFloatSyntax{".", true, false}, Deg)) {
    ResultCode = sdNoNumber;
    return kNaN;
  }
  const bool Negative = std::signbit(Deg);
  Deg = std::fabs(Deg);
  const size_t AfterNumber = I;
  I = SkipBlanks(T, I);
  if (!StartsWithAt(T, I, kDegSign)) {
    if (NeedDegSign) {
      ResultCode = sdNoDegSign;
      return kNaN;
    }
    ResultCode = sdOk;
    Pos = static_cast<int32_t>(AfterNumber + 1);
    return Negative ? -Deg : Deg;
  }
  I += kDegSign.size();
  double Min = 0;
  double Sec = 0;
  if (const size_t AfterMin = ReadMarkedPart(T, I, MinuteMark, Min); AfterMin != 0) {
    if (Min >= 60 || Deg != std::trunc(Deg)) {
      ResultCode = sdBadMinutes;
      return kNaN;
    }
    I = AfterMin;
    if (const size_t AfterSec = ReadMarkedPart(T, I, SecondMark, Sec); AfterSec != 0) {
      if (Sec >= 60 || Min != std::trunc(Min)) {
        ResultCode = sdBadSeconds;
        return kNaN;
      }
      I = AfterSec;
    }
  }
  const double Value = Deg + Min / 60 + Sec / 3600;
  ResultCode = sdOk;
  Pos = static_cast<int32_t>(I + 1);
  return Negative ? -Value : Value;
}

double ScanDateTime(std::string_view Text, std::string_view Format, TLanguage Language,
                    int32_t& Pos) {
  const std::string_view T = Usable(Text);
  size_t I = SkipBlanks(T, StartIndex(Pos));
  if (I >= T.size()) return kNaN;
  TDateFields F;
  if (!MatchDateFormat(T, I, Format, Language, F)) return kNaN;
  double Days = 0;
  const bool AnyDate = F.Year >= 0 || F.Month >= 0 || F.Day >= 0;
  if (AnyDate) {
    // A date needs its year and month; a missing day is the first.
    if (F.Year < 1 || F.Month < 1 || F.Month > 12) return kNaN;
    if (F.Day < 0) F.Day = 1;
    if (F.Day < 1 || F.Day > DaysInMonth(F.Year, F.Month)) return kNaN;
    Days = static_cast<double>(DaysFromCivil(F.Year, F.Month, F.Day) - DaysFromCivil(1899, 12, 30));
  }
  const int32_t h = std::max(F.Hour, 0);
  const int32_t n = std::max(F.Minute, 0);
  const int32_t s = std::max(F.Second, 0);
  const int32_t z = std::max(F.Milli, 0);
  if (h > 23 || n > 59 || s > 59) return kNaN;
  Pos = static_cast<int32_t>(I + 1);
  return Days + ((h * 3600.0 + n * 60.0 + s) * 1000.0 + z) / 86400000.0;
}

bool IsValidFPNum(std::string_view Text, TDecPSep DecPSep) {
  const TFloatSyntax Syntax{SepsOf(DecPSep), true, true};
  return WholeText(Text, [&](std::string_view T, size_t& I) {
    double Value = 0;
    return ReadFloat(T, I, Syntax, Value);
  });
}

bool IsValidDouble(std::string_view Text, bool AllowSpecial, TDecPSep DecPSep) {
  if (IsValidFPNum(Text, DecPSep)) return true;
  if (!AllowSpecial) return false;
  std::string_view T = Trimmed(Text);
  if (T.size() > 0 && (T[0] == '+' || T[0] == '-') && T.substr(1).size() >= 3 &&
      LowerAscii(T[1]) == 'i')
    T.remove_prefix(1);
  const auto Is = [&](std::string_view W) {
    return T.size() == W.size() && StartsWithNoCase(T, 0, W);
  };
  return Is("nan") || Is("inf") || Is("infinity");
}

namespace {

bool IsValidUnsigned(std::string_view Text, int Base) {
  return WholeText(Text, [Base](std::string_view T, size_t& I) {
    uint32_t V = 0;
    return ReadUnsigned(T, I, Base, V);
  });
}

}  // namespace

bool IsValidHex(std::string_view Text) { return IsValidUnsigned(Text, 16); }
bool IsValidOct(std::string_view Text) { return IsValidUnsigned(Text, 8); }
bool IsValidBin(std::string_view Text) { return IsValidUnsigned(Text, 2); }

bool IsValidDecInt(std::string_view Text) {
  return WholeText(Text, [](std::string_view T, size_t& I) {
    int32_t V = 0;
    return ReadSigned(T, I, V);
  });
}

}  // namespace nux
