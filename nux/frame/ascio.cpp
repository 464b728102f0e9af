#include "nux/frame/ascio.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <istream>
#include <limits>
#include <memory>
#include <new>

#include "nux/frame/plaintext.h"
#include "nux/frame/progress.h"
#include "nux/frame/stringl.h"

namespace nux {

namespace {

bool IsSpace(char C) {
  return C == ' ' || C == '\t' || C == '\r' || C == '\n' || C == '\v' || C == '\f';
}

// A header line without its remark (TAB ";" and what follows) and without blanks around it.
std::string_view StripRemark(std::string_view Line) {
  const size_t R = Line.find("\t;");
  if (R != std::string_view::npos) Line = Line.substr(0, R);
  while (!Line.empty() && IsSpace(Line.back())) Line.remove_suffix(1);
  while (!Line.empty() && IsSpace(Line.front())) Line.remove_prefix(1);
  return Line;
}

bool ParseCount(std::string_view S, int64_t& N) {
  if (!S.empty() && S[0] == '+') S.remove_prefix(1);
  if (S.empty()) return false;
  const auto R = std::from_chars(S.data(), S.data() + S.size(), N);
  return R.ec == std::errc() && R.ptr == S.data() + S.size();
}

}  // namespace

int32_t TTextFileReader::Open(const std::string& FName) {
  FFile.reset();
  FSize = 0;
  FPending.clear();
  std::error_code Ec;
  const auto Status = std::filesystem::status(FName, Ec);
  if (Status.type() == std::filesystem::file_type::not_found) return ascNoFile;
  if (Ec || Status.type() == std::filesystem::file_type::directory) return ascCannotRead;
  FFile.reset(std::fopen(FName.c_str(), "rb"));
  if (!FFile) return ascCannotRead;
  // The first bytes are held back to drop a byte-order mark whatever the block sizes.
  FPending.resize(3);
  FPending.resize(std::fread(FPending.data(), 1, 3, FFile.get()));
  if (std::ferror(FFile.get())) {
    FFile.reset();
    return ascCannotRead;
  }
  if (FPending == "\xEF\xBB\xBF") FPending.clear();
  if (Status.type() == std::filesystem::file_type::regular) {
    const auto Size = std::filesystem::file_size(FName, Ec);
    if (!Ec) FSize = Size;
  }
  return ascOK;
}

int64_t TTextFileReader::Append(std::string& Text, size_t Count) {
  if (!FFile) return 0;
  const size_t Used = Text.size();
  try {
    Text.resize(Used + Count);
  } catch (const std::bad_alloc&) {
    return -1;
  } catch (const std::length_error&) {
    return -1;
  }
  size_t Got = std::min(Count, FPending.size());
  std::copy_n(FPending.begin(), Got, Text.begin() + std::ptrdiff_t(Used));
  FPending.erase(0, Got);
  if (Got < Count) Got += std::fread(Text.data() + Used + Got, 1, Count - Got, FFile.get());
  if (std::ferror(FFile.get())) {
    Text.resize(Used);
    return -1;
  }
  Text.resize(Used + Got);
  return int64_t(Got);
}

int32_t ReadWholeTextFile(const std::string& FName, std::string& Text) {
  std::string().swap(Text);
  TTextFileReader In;
  const int32_t Code = In.Open(FName);
  if (Code != ascOK) return Code;
  // Block reads; the size is not trusted (pipes, files that grow while read).
  constexpr size_t Block = size_t{1} << 20;
  for (;;) {
    const int64_t Got = In.Append(Text, Block);
    if (Got < 0) {
      std::string().swap(Text);  // frees the buffer; assigning "" would keep it
      return ascCannotRead;
    }
    if (size_t(Got) < Block) return ascOK;
  }
}

bool ParseQuotedName(char C, char Quote, TQuotedNameState& State, std::string& Name) {
  switch (State.Phase) {
    case 0:
      if (IsSpace(C)) return false;
      State.Buffer.clear();
      if (C == Quote) {
        State.Phase = 2;
      } else {
        State.Phase = 1;
        State.Buffer.push_back(C);
      }
      return false;
    case 1:
      if (!IsSpace(C)) {
        State.Buffer.push_back(C);
        return false;
      }
      break;
    case 2:
      if (C == Quote)
        State.Phase = 3;
      else
        State.Buffer.push_back(C);
      return false;
    default:  // after a quote inside quotes: a second one is a literal quote
      if (C == Quote) {
        State.Buffer.push_back(C);
        State.Phase = 2;
        return false;
      }
      if (!IsSpace(C)) {
        // A character glued to the closing quote starts the next bare word.
        Name = std::move(State.Buffer);
        State.Buffer.assign(1, C);
        State.Phase = 1;
        return true;
      }
      break;
  }
  Name = std::move(State.Buffer);
  State.Buffer.clear();
  State.Phase = 0;
  return true;
}

bool FinishQuotedName(TQuotedNameState& State, std::string& Name) {
  const bool Done = State.Phase == 1 || State.Phase == 3;
  if (Done) Name = std::move(State.Buffer);
  State.Buffer.clear();
  State.Phase = 0;
  return Done;
}

std::string QuoteName(std::string_view Name, char Quote) {
  std::string S(1, Quote);
  for (const char C : Name) {
    S.push_back(C);
    if (C == Quote) S.push_back(C);
  }
  S.push_back(Quote);
  return S;
}

bool ReadNextWordInTextFile(std::istream& In, std::string& Word, size_t MaxLength) {
  Word.clear();
  std::streambuf* B = In.rdbuf();
  if (B == nullptr || !In.good()) return false;
  using Tr = std::char_traits<char>;
  int C = B->sgetc();
  while (C != Tr::eof() && IsSpace(static_cast<char>(C))) C = B->snextc();
  while (C != Tr::eof() && !IsSpace(static_cast<char>(C)) && Word.size() < MaxLength) {
    Word.push_back(static_cast<char>(C));
    C = B->snextc();
  }
  if (C == Tr::eof()) In.setstate(std::ios::eofbit);
  return !Word.empty();
}

bool TTextScanner::NextWord(std::string_view& Word) {
  const size_t N = Text.size();
  while (Pos < N && IsSpace(Text[Pos])) ++Pos;
  if (Pos >= N) return false;
  const size_t Start = Pos;
  while (Pos < N && !IsSpace(Text[Pos])) ++Pos;
  Word = Text.substr(Start, Pos - Start);
  return true;
}

bool TTextScanner::NextName(std::string& Name) {
  TQuotedNameState State;
  while (Pos < Text.size())
    if (ParseQuotedName(Text[Pos++], '"', State, Name)) {
      // A character glued to a closing quote belongs to the next item: give it back.
      if (State.Phase == 1) --Pos;
      return true;
    }
  return FinishQuotedName(State, Name);
}

bool TTextScanner::NextLine(std::string_view& Line) {
  if (Pos >= Text.size()) return false;
  size_t End = Text.find('\n', Pos);
  const size_t Next = End == std::string_view::npos ? Text.size() : End + 1;
  if (End == std::string_view::npos) End = Text.size();
  Line = Text.substr(Pos, End - Pos);
  if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
  Pos = Next;
  return true;
}

bool TTextScanner::AtEnd() {
  while (Pos < Text.size() && IsSpace(Text[Pos])) ++Pos;
  return Pos >= Text.size();
}

int32_t ReadHeaderOfASC(TTextScanner& Scanner, std::string& Comment, int32_t& NrColumns,
                        int32_t& NrRows, bool (&Flags)[4]) {
  std::string_view L[4];
  for (auto& Line : L)
    if (!Scanner.NextLine(Line)) return ascBadHeader;
  int64_t Nc = 0, Nr = 0;
  if (!ParseCount(StripRemark(L[1]), Nc) || !ParseCount(StripRemark(L[2]), Nr)) return ascBadHeader;
  bool F[4] = {false, false, false, false};
  std::string_view FL = StripRemark(L[3]);
  int32_t NF = 0;
  TTextScanner Words{FL, 0};
  std::string_view W;
  while (Words.NextWord(W)) {
    if (NF == 4 || (W != "TRUE" && W != "FALSE")) return ascBadHeader;
    F[NF++] = W == "TRUE";
  }
  if (NF < 3) return ascBadHeader;
  if (Nc < 1 || Nr < 0) return ascBadCounts;
  constexpr int64_t MaxCount = std::numeric_limits<int32_t>::max();
  if (Nc > MaxCount || Nr > MaxCount) return ascTooLarge;
  // Every item takes at least one byte and one separator (the last one none).
  const int64_t PerRow = Nc + (F[0] ? 1 : 0) + (F[2] ? 1 : 0);
  const int64_t Left = static_cast<int64_t>(Scanner.Text.size() - Scanner.Pos);
  const int64_t Room = (Left + 1) / 2;
  const int64_t Names = F[1] ? Nc : 0;
  if (Names > Room || (Nr > 0 && PerRow > (Room - Names) / Nr)) return ascTooLarge;
  Comment = std::string(StripRemark(L[0]));
  NrColumns = static_cast<int32_t>(Nc);
  NrRows = static_cast<int32_t>(Nr);
  for (int32_t K = 0; K < 4; ++K) Flags[K] = F[K];
  return ascOK;
}

int32_t ReadHeaderOfASC(const std::string& FName, std::string& Comment, int32_t& NrColumns,
                        int32_t& NrRows, bool (&Flags)[4]) {
  std::string Text;
  const int32_t R = ReadWholeTextFile(FName, Text);
  if (R != ascOK) return R;
  TTextScanner S{Text, 0};
  return ReadHeaderOfASC(S, Comment, NrColumns, NrRows, Flags);
}

bool ParseASCValue(std::string_view Word, double& X) {
  if (Word == "NAN" || Word == "###") {
    X = 0;
    return true;
  }
  return ParseNumber(Word, X);
}

std::string ASCHeader(std::string_view Comment, int64_t NrColumns, int64_t NrRows,
                      const bool (&Flags)[4], bool ThreeFlags) {
  std::string C(Comment);
  // A byte-order mark at the start of the file is dropped by the readers.
  while (C.compare(0, 3, "\xEF\xBB\xBF") == 0) C.erase(0, 3);
  for (size_t K = 0; K < C.size(); ++K) {
    if (C[K] == '\n' || C[K] == '\r') C[K] = ' ';
    if (C[K] == '\t' && K + 1 < C.size() && C[K + 1] == ';') C[K] = ' ';
  }
  std::string S = C + "\n";
  S += std::to_string(NrColumns) + "\t;nr. of columns\n";
  S += std::to_string(NrRows) + "\t;nr. of rows\n";
  const int32_t NF = ThreeFlags ? 3 : 4;
  for (int32_t K = 0; K < NF; ++K) {
    if (K > 0) S += ' ';
    S += Flags[K] ? "TRUE" : "FALSE";
  }
  S += ThreeFlags ? "\t;row attributes, column names, row names\n"
                  : "\t;row attributes, column names, row names, nominal variables\n";
  return S;
}

}  // namespace nux

namespace nux {

namespace {

bool ReadCount(TTextScanner& S, int64_t Max, int64_t& N) {
  std::string_view W;
  if (!S.NextWord(W) || !ParseCount(W, N)) return false;
  return N >= 0 && N <= Max;
}

// Items still possible in the rest of the text: one byte and one separator each.
int64_t Room(const TTextScanner& S) {
  return static_cast<int64_t>(S.Text.size() - std::min(S.Pos, S.Text.size()) + 1) / 2;
}

}  // namespace

int32_t ReadASCBody(TTextScanner& S, int32_t Nc, int32_t Nr, const bool (&Flags)[4],
                    TASCBody& Body) {
  Body = TASCBody();
  try {
    if (Flags[1]) {
      Body.ColNames.resize(static_cast<size_t>(Nc));
      for (auto& N : Body.ColNames)
        if (!S.NextName(N)) return ascBadName;
    }
    if (Flags[0]) Body.RowAttribs.reserve(static_cast<size_t>(Nr));
    if (Flags[2]) Body.RowNames.reserve(static_cast<size_t>(Nr));
    Body.Columns.assign(static_cast<size_t>(Nc), TDoubleArray(static_cast<size_t>(Nr)));
  } catch (const std::bad_alloc&) {
    return ascTooLarge;
  } catch (const std::length_error&) {
    return ascTooLarge;
  }
  BeginAbortable();
  std::string_view W;
  std::string Name;
  for (int32_t R = 0; R < Nr; ++R) {
    if (Flags[0]) {
      double A = 0;
      if (!S.NextWord(W) || !ParseASCValue(W, A)) return ascBadAttribute;
      Body.RowAttribs.push_back(A);
    }
    if (Flags[2]) {
      if (!S.NextName(Name)) return ascBadName;
      Body.RowNames.push_back(std::move(Name));
    }
    for (int32_t C = 0; C < Nc; ++C) {
      double X = 0;
      if (!S.NextWord(W) || !ParseASCValue(W, X)) return ascBadValue;
      if (W == "NAN" || W == "###") Body.NoValue.push_back(int64_t{C} * Nr + R);
      Body.Columns[static_cast<size_t>(C)][static_cast<size_t>(R)] = X;
    }
    if ((R + 1) % 65536 == 0 && MathFeedBack(65536)) return ascAborted;
  }
  if (Flags[3]) {
    Body.Variables.resize(static_cast<size_t>(Nc));
    for (auto& V : Body.Variables) {
      int64_t Scale = 0, Count = 0;
      std::string_view AW;
      double Attr = 0;
      if (!ReadCount(S, 255, Scale) || !S.NextWord(AW) || !ParseNumber(AW, Attr) ||
          !ReadCount(S, Room(S) / 2, Count))
        return ascBadValue;
      V.Scale = static_cast<int32_t>(Scale);
      if (!(Attr >= INT32_MIN && Attr <= INT32_MAX)) return ascBadValue;
      V.Attribute = static_cast<int32_t>(Attr);
      for (int64_t K = 0; K < Count; ++K) {
        int64_t Ord = 0;
        if (!ReadCount(S, INT32_MAX, Ord)) return ascBadValue;
        if (!S.NextName(Name)) return ascBadName;
        V.IDs.emplace_back(static_cast<int32_t>(Ord), std::move(Name));
      }
    }
  }
  if (!S.AtEnd()) {
    int64_t Lines = 0;
    if (!ReadCount(S, Room(S), Lines)) return ascBadValue;
    Body.CustData.resize(static_cast<size_t>(Lines));
    for (auto& L : Body.CustData) {
      int64_t Count = 0;
      if (!ReadCount(S, Room(S), Count)) return ascBadValue;
      L.resize(static_cast<size_t>(Count));
      for (auto& T : L)
        if (!S.NextName(T)) return ascBadName;
    }
  }
  return ascOK;
}

void AppendASCValue(std::string& Out, double X, int32_t Precision) {
  Out += Precision < 0 ? ShortestNumber(X) : strff(X, 1, Precision);
}

void AppendASCVariables(std::string& Out, const std::vector<TASCVariable>& Vars) {
  for (const auto& V : Vars) {
    Out += std::to_string(V.Scale) + ' ' + std::to_string(V.Attribute) + ' ' +
           std::to_string(V.IDs.size());
    for (const auto& [Ord, ID] : V.IDs) Out += ' ' + std::to_string(Ord) + ' ' + QuoteName(ID);
    Out += '\n';
  }
}

void AppendASCCustData(std::string& Out, const TStr2DArray& CustData) {
  if (CustData.empty()) return;
  Out += std::to_string(CustData.size()) + "\n";
  for (const auto& L : CustData) {
    Out += std::to_string(L.size());
    for (const auto& T : L) Out += ' ' + QuoteName(T);
    Out += '\n';
  }
}

int32_t ReadASCText(std::string& Text, bool NeedRow, std::string& Comment, int32_t& NrColumns,
                    int32_t& NrRows, TASCBody& Body) {
  TTextScanner S{Text, 0};
  bool Flags[4];
  // The header reader has checked the counts against the bytes left, so the body cannot make
  // the reader allocate beyond the text's size.
  int32_t R = ReadHeaderOfASC(S, Comment, NrColumns, NrRows, Flags);
  if (R != ascOK) return R;
  if (NeedRow && NrRows < 1) return ascWrongShape;
  if ((R = ReadASCBody(S, NrColumns, NrRows, Flags, Body)) != ascOK) return R;
  std::string().swap(Text);  // frees the buffer (assigning "" would keep it)
  return ascOK;
}

int32_t ReadASCFile(const std::string& FName, bool NeedRow, std::string& Comment,
                    int32_t& NrColumns, int32_t& NrRows, TASCBody& Body) {
  std::string Text;
  const int32_t R = ReadWholeTextFile(FName, Text);
  return R != ascOK ? R : ReadASCText(Text, NeedRow, Comment, NrColumns, NrRows, Body);
}

}  // namespace nux
