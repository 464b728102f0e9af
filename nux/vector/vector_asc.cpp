// ASC form, stream form and text list form of the vectors.
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "nux/frame/ascio.h"
#include "nux/frame/plaintext.h"
#include "nux/frame/progress.h"
#include "nux/frame/rounding.h"
#include "nux/frame/streamio.h"
#include "nux/frame/stringl.h"
#include "nux/host/atomicfile.h"
#include "nux/vector/vector.h"

namespace nux {

namespace {

// Rows between two progress reports.
constexpr int32_t FeedBackRows = 1 << 16;

bool ToDouble(std::string_view W, double& X) { return ParseASCValue(W, X); }

// Integers are range-checked before rounding, so that 3e9 is refused rather than saturated.
bool ToInt(std::string_view W, int32_t& X) {
  double D = 0;
  if (!ParseASCValue(W, D)) return false;
  if (!(D >= -2147483648.5 && D <= 2147483647.5)) return false;
  const double R = RoundEven(D);
  if (R < -2147483648.0 || R > 2147483647.0) return false;
  X = static_cast<int32_t>(R);
  return true;
}

template <class V, class Elem>
int32_t ImportVectorASC(V& Vec, const std::string& FName, std::string& Comment,
                        bool (*Convert)(std::string_view, Elem&)) {
  std::string Text;
  int32_t R = ReadWholeTextFile(FName, Text);
  if (R != ascOK) return R;
  TTextScanner S{Text, 0};
  int32_t Nc = 0, Nr = 0;
  bool F[4];
  R = ReadHeaderOfASC(S, Comment, Nc, Nr, F);
  if (R != ascOK) return R;
  if (Nc > 1) return ascWrongShape;
  BeginAbortable();
  std::vector<Elem> Vals;
  Vals.reserve(static_cast<size_t>(Nr));  // the header reader checked Nr against the text
  std::string Name;
  std::string_view W;
  if (F[1] && !S.NextName(Name)) R = ascBadName;
  for (int32_t K = 1; K <= Nr && R == ascOK; ++K) {
    double Attr = 0;
    if (F[0] && (!S.NextWord(W) || !ParseASCValue(W, Attr))) {
      R = ascBadAttribute;
      break;
    }
    if (F[2] && !S.NextName(Name)) {
      R = ascBadName;
      break;
    }
    Elem X{};
    if (!S.NextWord(W) || !Convert(W, X)) {
      R = ascBadValue;
      break;
    }
    Vals.push_back(X);
    if (K % FeedBackRows == 0 && MathFeedBack(FeedBackRows)) R = ascAborted;
  }
  if (Vals.empty()) {
    // A vector keeps at least one element.
    Vals.push_back(Elem{});
    Vec.SetValues(Vals);
    Vec.SetIsEmpty(true);
  } else {
    Vec.SetValues(Vals);
  }
  return R;
}

template <class V>
int32_t ExportVectorASC(const V& Vec, const std::string& FName, const std::string& Comment,
                        const char* ClassName, int32_t Precision, bool IsInt) {
  const bool Flags[4] = {false, false, false, false};
  std::string Text = ASCHeader(
      Comment.empty() ? std::string("Exported by NUX ") + ClassName + " component: " + FName
                      : Comment,
      1, Vec.NrOfElem(), Flags);
  for (const auto X : Vec.Data()) {
    Text += IsInt ? ShortestNumber(static_cast<int32_t>(X)) : strff(X, 12, Precision);
    Text += '\n';
  }
  return WriteWholeFile(FName, Text) ? 0 : -1;
}

void WriteIndex(TStream& S, int32_t X, double) { WriteExtendedToStream(S, X); }
void WriteIndex(TStream& S, int32_t X, int32_t) { WriteLongintToStream(S, X); }
void WriteElem(TStream& S, double X) { WriteExtendedToStream(S, X); }
void WriteElem(TStream& S, int32_t X) { WriteLongintToStream(S, X); }
int32_t ReadIndex(TStream& S, bool& Ok, double) {
  return RoundToInt32(ReadExtendedFromStream(S, Ok));
}
int32_t ReadIndex(TStream& S, bool& Ok, int32_t) { return ReadLongintFromStream(S, Ok); }
double ReadElem(TStream& S, bool& Ok, double) { return ReadExtendedFromStream(S, Ok); }
int32_t ReadElem(TStream& S, bool& Ok, int32_t) { return ReadLongintFromStream(S, Ok); }

template <class V>
void SaveVectorToStream(const V& Vec, TStream& S, int32_t Lo, int32_t Hi) {
  using T = typename V::TElem;
  Vec.MakeValidElemRange(Lo, Hi);
  WriteIndex(S, Lo, T{});
  WriteIndex(S, Hi, T{});
  for (int32_t K = Lo; K <= Hi; ++K) WriteElem(S, Vec.GetVal(K));
}

template <class V>
bool LoadVectorFromStream(V& Vec, TStream* S, bool Adjust) {
  using T = typename V::TElem;
  if (S == nullptr) return false;
  bool Ok = true;
  const int32_t First = ReadIndex(*S, Ok, T{});
  const int32_t Last = ReadIndex(*S, Ok, T{});
  if (!Ok) return false;
  // Indices that the rest of the stream cannot hold are refused before anything is resized.
  const int64_t Count = int64_t{Last} - First + 1;
  const int64_t Left = S->Size() - S->Position();
  if (Last < 1 || Count < 0 || Count > Left / static_cast<int64_t>(sizeof(T))) return false;
  if (Adjust) Vec.Resize(Last);
  bool Result = Vec.NrOfElem() >= Last;
  if (Result)
    for (int32_t K = First; K <= Last; ++K) {
      bool ValOk = true;
      const T X = ReadElem(*S, ValOk, T{});
      if (ValOk)
        Vec.SetVal(K, X);
      else
        Result = false;
    }
  Vec.Changed();
  return Result;
}

bool ReadInt(std::string_view W, int64_t& X) {
  const auto R = std::from_chars(W.data(), W.data() + W.size(), X);
  return R.ec == std::errc() && R.ptr == W.data() + W.size();
}

// Header and values of the text list form; Convert refuses what the element type cannot hold.
template <class V, class Elem>
bool LoadVectorFromFile(V& Vec, const std::string& FileName, bool Adjust,
                        bool (*Convert)(std::string_view, Elem&)) {
  std::string Text;
  if (ReadWholeTextFile(FileName, Text) != ascOK) return false;
  TTextScanner S{Text, 0};
  std::string_view W1, W2;
  int64_t First = 0, Last = 0;
  if (!S.NextWord(W1) || !S.NextWord(W2) || !ReadInt(W1, First) || !ReadInt(W2, Last)) return false;
  // The file must hold one number per index; a resize may reach past them by at most 2^20
  // elements (a stored tail range), so a forged header cannot allocate gigabytes.
  const int64_t Room = static_cast<int64_t>(Text.size() - S.Pos + 1) / 2;
  if (First > Last || Last < 1 || Last > std::numeric_limits<int32_t>::max() ||
      Last - First + 1 > Room || (Adjust && Last > Room + (int64_t{1} << 20)))
    return false;
  if (Adjust) Vec.Resize(static_cast<int32_t>(Last));
  const bool Result = Vec.NrOfElem() >= Last;
  if (Result) {
    std::string_view W;
    for (int64_t K = First; K <= Last && S.NextWord(W); ++K) {
      Elem X{};
      if (Convert(W, X)) Vec.SetVal(static_cast<int32_t>(K), X);
    }
  }
  Vec.Changed();
  return Result;
}

// The host's exponential form: Digits decimals in the mantissa, right-aligned in Width.
std::string Exponential(double X, int32_t Digits, int32_t Width) {
  char Buf[64];
  const auto R =
      Digits < 0 ? std::to_chars(Buf, Buf + sizeof Buf, X, std::chars_format::scientific)
                 : std::to_chars(Buf, Buf + sizeof Buf, X, std::chars_format::scientific, Digits);
  std::string S(Buf, R.ptr);
  if (static_cast<int32_t>(S.size()) < Width)
    S.insert(0, static_cast<size_t>(Width) - S.size(), ' ');
  return S;
}

}  // namespace

int32_t TVector::ExportAsASC(const std::string& FName, int32_t Precision,
                             const std::string& Comment) const {
  return ExportVectorASC(*this, FName, Comment, "TVector", Precision, false);
}

int32_t TIntVector::ExportAsASC(const std::string& FName, const std::string& Comment) const {
  return ExportVectorASC(*this, FName, Comment, "TIntVector", 0, true);
}

int32_t TVector::ImportASC(const std::string& FName, std::string& Comment) {
  return ImportVectorASC<TVector, double>(*this, FName, Comment, &ToDouble);
}

int32_t TIntVector::ImportASC(const std::string& FName, std::string& Comment) {
  return ImportVectorASC<TIntVector, int32_t>(*this, FName, Comment, &ToInt);
}

void TVector::SaveToStream(std::unique_ptr<TMemoryStream>& OutStream, int32_t LowElem,
                           int32_t HighElem) const {
  if (!OutStream) OutStream = std::make_unique<TMemoryStream>();
  SaveVectorToStream(*this, *OutStream, LowElem, HighElem);
}

void TVector::SaveToStream(TStream& OutStream, int32_t LowElem, int32_t HighElem) const {
  SaveVectorToStream(*this, OutStream, LowElem, HighElem);
}

void TIntVector::SaveToStream(std::unique_ptr<TMemoryStream>& OutStream, int32_t LowElem,
                              int32_t HighElem) const {
  if (!OutStream) OutStream = std::make_unique<TMemoryStream>();
  SaveVectorToStream(*this, *OutStream, LowElem, HighElem);
}

void TIntVector::SaveToStream(TStream& OutStream, int32_t LowElem, int32_t HighElem) const {
  SaveVectorToStream(*this, OutStream, LowElem, HighElem);
}

bool TVector::LoadFromStream(TStream* InStream, bool AdjustVectorSize) {
  return LoadVectorFromStream(*this, InStream, AdjustVectorSize);
}

bool TIntVector::LoadFromStream(TStream* InStream, bool AdjustVectorSize) {
  return LoadVectorFromStream(*this, InStream, AdjustVectorSize);
}

bool TVector::StoreOnFile(int32_t FirstElem, int32_t LastElem, int32_t Precision,
                          const std::string& FileName) const {
  if (Precision < -2) Precision = 2;
  if (Precision > 20) Precision = 20;
  if (FirstElem > LastElem) std::swap(FirstElem, LastElem);
  MakeValidElemRange(FirstElem, LastElem);
  std::string Text = std::to_string(FirstElem) + " " + std::to_string(LastElem) + "\n";
  for (int32_t K = FirstElem; K <= LastElem; ++K) {
    const double X = GetVal(K);
    // -1: seven significant digits; -2: the shortest form that reads back exactly.
    Text += Precision == -1   ? Exponential(X, 6, 13)
            : Precision == -2 ? Exponential(X, -1, 26)
                              : strff(X, 1, Precision);
    Text += '\n';
  }
  return WriteWholeFile(FileName, Text);
}

bool TIntVector::StoreOnFile(int32_t FirstElem, int32_t LastElem,
                             const std::string& FileName) const {
  if (FirstElem > LastElem) std::swap(FirstElem, LastElem);
  if (FirstElem < 1) FirstElem = 1;
  if (LastElem > NrOfElem()) LastElem = NrOfElem();
  std::string Text = std::to_string(FirstElem) + " " + std::to_string(LastElem) + "\n";
  for (int32_t K = FirstElem; K <= LastElem; ++K) Text += std::to_string(GetVal(K)) + "\n";
  return WriteWholeFile(FileName, Text);
}

bool TVector::LoadFromFile(const std::string& FileName, bool AdjustVectorSize, bool AutoDetect) {
  if (!AutoDetect)
    return LoadVectorFromFile<TVector, double>(*this, FileName, AdjustVectorSize, &ToDouble);
  std::string Text;
  if (ReadWholeTextFile(FileName, Text) != ascOK) return false;
  TTextScanner S{Text, 0};
  std::string_view Line;
  int64_t Count = 0;
  while (S.NextLine(Line))
    if (StringContains(Line, "//dig")) ++Count;
  if (AdjustVectorSize && Count > 0 && Count <= std::numeric_limits<int32_t>::max())
    Resize(static_cast<int32_t>(Count));
  S.Pos = 0;
  std::string_view W;
  for (int32_t K = 1; K <= NrOfElem() && S.NextWord(W);) {
    double X = 0;
    if (ParseNumber(W, X)) SetVal(K++, X);
  }
  Changed();
  return true;
}

bool TIntVector::LoadFromFile(const std::string& FileName, bool AdjustVectorSize) {
  return LoadVectorFromFile<TIntVector, int32_t>(*this, FileName, AdjustVectorSize, &ToInt);
}

}  // namespace nux
