#include "nux/openarrays/arrayfiles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

#include "nux/host/atomicfile.h"
#include "nux/openarrays/ndarray_impl.h"

namespace nux {

using oa::ElemOf;
using oa::Ext;
using oa::RankOf;

namespace {

constexpr char TextMagic[] = "NUXARRAY 1";
constexpr char BinMagic[8] = {'N', 'U', 'X', 'B', 'A', 'R', 'R', '1'};
constexpr uint64_t MaxComment = 1u << 20;
constexpr int64_t BinHeaderSize = 8 + 4 + 4 + 4 * 8 + 4;

template <class T>
constexpr TVarKind KindOf() {
  if constexpr (std::is_same_v<T, double>)
    return vkDouble;
  else if constexpr (std::is_same_v<T, float>)
    return vkSingle;
  else
    return vkInteger;
}

const char* KindName(TVarKind K) { return K == vkDouble ? "double" : "integer"; }

bool ReadWholeFile(const std::string& FileName, std::string& Data) {
  std::ifstream In(FileName, std::ios::binary);
  if (!In) return false;
  std::ostringstream Buf;
  Buf << In.rdbuf();
  if (In.bad()) return false;
  Data = std::move(Buf).str();
  return true;
}

// ---- text form ---------------------------------------------------------------------------

std::string EscapeComment(const std::string& S) {
  std::string R;
  for (char C : S) {
    if (C == '\\')
      R += "\\\\";
    else if (C == '\n')
      R += "\\n";
    else if (C == '\r')
      R += "\\r";
    else
      R += C;
  }
  return R;
}

bool UnescapeComment(std::string_view S, std::string& R) {
  R.clear();
  for (size_t I = 0; I < S.size(); ++I) {
    if (S[I] != '\\') {
      R += S[I];
      continue;
    }
    if (++I >= S.size()) return false;
    if (S[I] == '\\')
      R += '\\';
    else if (S[I] == 'n')
      R += '\n';
    else if (S[I] == 'r')
      R += '\r';
    else
      return false;
  }
  return true;
}

template <class T>
void AppendNumber(std::string& Out, T X) {
  if constexpr (std::is_floating_point_v<T>) {
    if (std::isnan(X)) {
      Out += "nan";
      return;
    }
    if (std::isinf(X)) {
      Out += X > 0 ? "inf" : "-inf";
      return;
    }
  }
  char Buf[64];
  const auto R = std::to_chars(Buf, Buf + sizeof(Buf), X);
  Out.append(Buf, R.ptr);
}

// Innermost arrays one per line, values separated by blanks.
template <class V>
void AppendValues(std::string& Out, const V& A) {
  if constexpr (RankOf<V> == 1) {
    for (size_t I = 0; I < A.size(); ++I) {
      if (I > 0) Out += ' ';
      AppendNumber(Out, A[I]);
    }
    Out += '\n';
  } else {
    for (const auto& Sub : A) AppendValues(Out, Sub);
  }
}

template <class V>
int32_t StoreT(const std::string& FileName, const V& A, const std::string& Comment) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  std::string Out = std::string(TextMagic) + "\nkind " + KindName(KindOf<ElemOf<V>>()) + "\ndims";
  for (int L = 0; L < RankOf<V>; ++L) Out += " " + std::to_string(E[L]);
  Out += "\ncomment " + EscapeComment(Comment) + "\n";
  AppendValues(Out, A);
  return WriteWholeFile(FileName, Out) ? 0 : -6;
}

// Cuts the next line (without its end) from Text at Pos; false at the end.
bool NextLine(std::string_view Text, size_t& Pos, std::string_view& Line) {
  if (Pos >= Text.size()) return false;
  size_t End = Text.find('\n', Pos);
  if (End == std::string_view::npos) End = Text.size();
  Line = Text.substr(Pos, End - Pos);
  if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
  Pos = End + 1;
  return true;
}

bool IsBlank(char C) { return C == ' ' || C == '\t' || C == '\n' || C == '\r'; }

template <class T>
bool ParseNumber(std::string_view Tok, T& X) {
  if constexpr (std::is_floating_point_v<T>) {
    if (Tok == "nan") {
      X = std::numeric_limits<T>::quiet_NaN();
      return true;
    }
    if (Tok == "inf" || Tok == "-inf") {
      X = Tok[0] == '-' ? -std::numeric_limits<T>::infinity() : std::numeric_limits<T>::infinity();
      return true;
    }
  }
  const auto R = std::from_chars(Tok.data(), Tok.data() + Tok.size(), X);
  return R.ec == std::errc() && R.ptr == Tok.data() + Tok.size();
}

template <class V>
int32_t LoadT(const std::string& FileName, V& A, std::string& Comment) {
  std::string Data;
  if (!ReadWholeFile(FileName, Data)) return -6;
  const std::string_view Text(Data);
  size_t Pos = 0;
  std::string_view Line;
  if (!NextLine(Text, Pos, Line) || Line != TextMagic) return -2;
  if (!NextLine(Text, Pos, Line) || Line.substr(0, 5) != "kind ") return -4;
  const std::string_view Kind = Line.substr(5);
  if (Kind != "double" && Kind != "integer") return -4;
  if (Kind != KindName(KindOf<ElemOf<V>>())) return -3;
  if (!NextLine(Text, Pos, Line) || Line.substr(0, 4) != "dims") return -4;
  Ext E{1, 1, 1, 1};
  int Rank = 0;
  {
    std::string_view Rest = Line.substr(4);
    while (!Rest.empty()) {
      while (!Rest.empty() && Rest.front() == ' ') Rest.remove_prefix(1);
      if (Rest.empty()) break;
      const size_t End = std::min(Rest.find(' '), Rest.size());
      int64_t X = 0;
      if (Rank >= 4 || !ParseNumber(Rest.substr(0, End), X)) return -4;
      if (X < 1 || X > INT32_MAX) return -5;
      E[Rank++] = X;
      Rest.remove_prefix(End);
    }
  }
  if (Rank < 1) return -4;
  if (Rank != RankOf<V>) return -3;
  if (!NextLine(Text, Pos, Line) || Line.substr(0, 7) != "comment") return -4;
  std::string Cmt;
  if (Line.size() > 7 && (Line[7] != ' ' || !UnescapeComment(Line.substr(8), Cmt))) return -4;
  // Every value takes at least two characters: more values than that cannot be present.
  const std::string_view Body = Text.substr(std::min(Pos, Text.size()));
  int64_t Count = 1;
  for (int L = 0; L < Rank; ++L) {
    if (Count > static_cast<int64_t>(Body.size() / 2 + 1) / E[L]) return -5;
    Count *= E[L];
  }
  V Out = oa::Make<V>(E);
  size_t P = 0;
  bool Ok = true;
  oa::ForAll(Out, [&](auto& X) {
    if (!Ok) return;
    while (P < Body.size() && IsBlank(Body[P])) ++P;
    size_t End = P;
    while (End < Body.size() && !IsBlank(Body[End])) ++End;
    Ok = End > P && ParseNumber(Body.substr(P, End - P), X);
    P = End;
  });
  if (!Ok) return -4;
  while (P < Body.size() && IsBlank(Body[P])) ++P;
  if (P != Body.size()) return -4;
  A = std::move(Out);
  Comment = std::move(Cmt);
  return 0;
}

// ---- binary form -------------------------------------------------------------------------

void PutLE(std::string& Out, uint64_t X, int Bytes) {
  for (int I = 0; I < Bytes; ++I) Out += static_cast<char>((X >> (8 * I)) & 0xFF);
}

uint64_t GetLE(const unsigned char* P, int Bytes) {
  uint64_t X = 0;
  for (int I = 0; I < Bytes; ++I) X |= static_cast<uint64_t>(P[I]) << (8 * I);
  return X;
}

template <class T>
uint64_t Bits(T X) {
  if constexpr (std::is_same_v<T, double>) {
    uint64_t U;
    std::memcpy(&U, &X, 8);
    return U;
  } else if constexpr (std::is_same_v<T, float>) {
    uint32_t U;
    std::memcpy(&U, &X, 4);
    return U;
  } else {
    return static_cast<uint32_t>(X);
  }
}

template <class T>
T FromBits(uint64_t U) {
  if constexpr (std::is_same_v<T, double>) {
    double X;
    std::memcpy(&X, &U, 8);
    return X;
  } else if constexpr (std::is_same_v<T, float>) {
    const uint32_t U32 = static_cast<uint32_t>(U);
    float X;
    std::memcpy(&X, &U32, 4);
    return X;
  } else {
    return static_cast<int32_t>(static_cast<uint32_t>(U));
  }
}

int ElemSize(uint32_t Kind) { return Kind == vkDouble ? 8 : 4; }

template <class V>
int32_t SaveBinT(const std::string& FileName, const V& A, const std::string& Comment) {
  Ext E;
  if (oa::Shape(A, E) != 0) return -1;
  if (Comment.size() > MaxComment) return -5;
  using T = ElemOf<V>;
  std::string Out(BinMagic, 8);
  PutLE(Out, KindOf<T>(), 4);
  PutLE(Out, RankOf<V>, 4);
  for (int L = 0; L < 4; ++L) PutLE(Out, L < RankOf<V> ? static_cast<uint64_t>(E[L]) : 0, 8);
  PutLE(Out, Comment.size(), 4);
  Out += Comment;
  Out.reserve(Out.size() + static_cast<size_t>(oa::Count<V>(E)) * sizeof(T));
  oa::ForAll(A, [&](const T& X) { PutLE(Out, Bits(X), sizeof(T)); });
  return WriteWholeFile(FileName, Out) ? 0 : -6;
}

struct TBinHeader {
  uint32_t Kind = 0;
  int Rank = 0;
  Ext E{1, 1, 1, 1};
  std::string Comment;
  int64_t DataPos = 0;
};

// Reads and checks the header against the size of the file; the data block must be complete.
// Head holds the start of the file (at least header and comment when the file has them).
int32_t ParseBinHeader(const std::string& Head, int64_t Size, TBinHeader& H) {
  const auto* P = reinterpret_cast<const unsigned char*>(Head.data());
  if (static_cast<int64_t>(Head.size()) < std::min<int64_t>(Size, 8) || Size < 8 ||
      std::memcmp(P, BinMagic, 8) != 0)
    return -2;
  if (Size < BinHeaderSize) return -4;
  H.Kind = static_cast<uint32_t>(GetLE(P + 8, 4));
  if (H.Kind != vkDouble && H.Kind != vkSingle && H.Kind != vkInteger) return -2;
  const uint32_t Rank = static_cast<uint32_t>(GetLE(P + 12, 4));
  if (Rank < 1 || Rank > 4) return -2;
  H.Rank = static_cast<int>(Rank);
  uint64_t Count = 1;
  for (int L = 0; L < 4; ++L) {
    const uint64_t X = GetLE(P + 16 + 8 * L, 8);
    if (L >= H.Rank) {
      if (X != 0) return -4;
      continue;
    }
    if (X < 1 || X > INT32_MAX) return -5;
    H.E[L] = static_cast<int64_t>(X);
    if (Count > static_cast<uint64_t>(Size) / X) return -5;  // more than the file could hold
    Count *= X;
  }
  const uint64_t CLen = GetLE(P + 48, 4);
  if (CLen > MaxComment) return -5;
  if (CLen > static_cast<uint64_t>(Size - BinHeaderSize)) return -4;
  H.Comment.assign(Head.data() + BinHeaderSize, static_cast<size_t>(CLen));
  H.DataPos = BinHeaderSize + static_cast<int64_t>(CLen);
  const uint64_t Need = Count * static_cast<uint64_t>(ElemSize(H.Kind));
  if (Need != static_cast<uint64_t>(Size - H.DataPos)) return -4;
  return 0;
}

template <class V>
int32_t LoadBinT(const std::string& FileName, V& A, std::string& Comment) {
  std::string Data;
  if (!ReadWholeFile(FileName, Data)) return -6;
  TBinHeader H;
  if (const int32_t R = ParseBinHeader(Data, static_cast<int64_t>(Data.size()), H)) return R;
  using T = ElemOf<V>;
  if (H.Kind != static_cast<uint32_t>(KindOf<T>()) || H.Rank != RankOf<V>) return -3;
  V Out = oa::Make<V>(H.E);
  const auto* P = reinterpret_cast<const unsigned char*>(Data.data()) + H.DataPos;
  oa::ForAll(Out, [&](T& X) {
    X = FromBits<T>(GetLE(P, sizeof(T)));
    P += sizeof(T);
  });
  A = std::move(Out);
  Comment = std::move(H.Comment);
  return 0;
}

}  // namespace

#define NUX_TEXTIO(V)                                                                       \
  int32_t StoreArray(const std::string& FileName, const V& A, const std::string& Comment) { \
    return StoreT(FileName, A, Comment);                                                    \
  }                                                                                         \
  int32_t LoadArray(const std::string& FileName, V& A, std::string& Comment) {              \
    return LoadT(FileName, A, Comment);                                                     \
  }
#define NUX_BINIO(V)                                                                             \
  int32_t SaveBinaryArray(const std::string& FileName, const V& A, const std::string& Comment) { \
    return SaveBinT(FileName, A, Comment);                                                       \
  }                                                                                              \
  int32_t LoadBinaryArray(const std::string& FileName, V& A, std::string& Comment) {             \
    return LoadBinT(FileName, A, Comment);                                                       \
  }

NUX_TEXTIO(TDoubleArray)
NUX_TEXTIO(TDouble2DArray)
NUX_TEXTIO(TDouble3DArray)
NUX_TEXTIO(TDouble4DArray)
NUX_TEXTIO(TIntArray)
NUX_TEXTIO(TInt2DArray)
NUX_TEXTIO(TInt3DArray)
NUX_TEXTIO(TInt4DArray)
NUX_BINIO(TDoubleArray)
NUX_BINIO(TDouble2DArray)
NUX_BINIO(TDouble3DArray)
NUX_BINIO(TDouble4DArray)
NUX_BINIO(TIntArray)
NUX_BINIO(TInt2DArray)
NUX_BINIO(TInt3DArray)
NUX_BINIO(TInt4DArray)
NUX_BINIO(TSingleArray)
NUX_BINIO(TSingle2DArray)
NUX_BINIO(TSingle3DArray)
NUX_BINIO(TSingle4DArray)

#undef NUX_TEXTIO
#undef NUX_BINIO

int32_t ReadBinaryArrayHeader(const std::string& FileName, TVarKind& Kind, TIntArray& Extents,
                              std::string& Comment) {
  std::ifstream In(FileName, std::ios::binary | std::ios::ate);
  if (!In) return -6;
  const int64_t Size = static_cast<int64_t>(In.tellg());
  if (Size < 0) return -6;
  std::string Head(static_cast<size_t>(std::min<int64_t>(Size, BinHeaderSize + MaxComment)), '\0');
  In.seekg(0);
  if (!In.read(Head.data(), static_cast<std::streamsize>(Head.size()))) return -6;
  TBinHeader H;
  if (const int32_t R = ParseBinHeader(Head, Size, H)) return R;
  Kind = static_cast<TVarKind>(H.Kind);
  Extents.assign(H.E.begin(), H.E.begin() + H.Rank);
  Comment = std::move(H.Comment);
  return 0;
}

}  // namespace nux
