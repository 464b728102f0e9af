#include "nux/vector/vector_text.h"

#include <cmath>
#include <fstream>
#include <ostream>
#include <type_traits>

#include "nux/host/atomicfile.h"

namespace nux {

namespace {

// Whole numbers of the 32-bit range only: an integer vector never rounds or saturates silently.
bool IsInt32(double X) { return X == std::trunc(X) && X >= INT32_MIN && X <= INT32_MAX; }

template <class V>
int32_t Load(std::istream& In, V& Vec, int64_t* ErrorLine) {
  using T = typename V::TElem;
  TDouble2DArray Rows;
  int64_t Line = 0;
  const int32_t Code =
      ReadNumberRows(In, false, Rows, Line, std::is_same_v<T, int32_t> ? IsInt32 : nullptr);
  if (ErrorLine != nullptr) *ErrorLine = Line;
  if (Code != ptOK) return Code;
  std::vector<T> Values;
  for (const auto& Row : Rows)
    for (const double X : Row) Values.push_back(static_cast<T>(X));
  Vec.SetValues(Values);
  return ptOK;
}

template <class V>
int32_t LoadFile(const std::string& FileName, V& Vec, int64_t* ErrorLine) {
  if (ErrorLine != nullptr) *ErrorLine = 0;
  std::ifstream In(FileName, std::ios::binary);
  if (!In) return ptCannotOpen;
  return Load(In, Vec, ErrorLine);
}

template <class V>
std::string Text(const V& Vec) {
  std::string Out;
  for (const auto X : Vec.Span()) {
    Out += ShortestNumber(X);
    Out += '\n';
  }
  return Out;
}

}  // namespace

int32_t LoadPlainText(std::istream& In, TVector& V, int64_t* ErrorLine) {
  return Load(In, V, ErrorLine);
}
int32_t LoadPlainText(std::istream& In, TIntVector& V, int64_t* ErrorLine) {
  return Load(In, V, ErrorLine);
}
int32_t LoadPlainText(const std::string& FileName, TVector& V, int64_t* ErrorLine) {
  return LoadFile(FileName, V, ErrorLine);
}
int32_t LoadPlainText(const std::string& FileName, TIntVector& V, int64_t* ErrorLine) {
  return LoadFile(FileName, V, ErrorLine);
}

int32_t SavePlainText(const std::string& FileName, const TVector& V) {
  return WriteWholeFile(FileName, Text(V)) ? ptOK : ptCannotWrite;
}
int32_t SavePlainText(const std::string& FileName, const TIntVector& V) {
  return WriteWholeFile(FileName, Text(V)) ? ptOK : ptCannotWrite;
}

std::ostream& operator<<(std::ostream& Out, const TVector& V) { return Out << Text(V); }
std::ostream& operator<<(std::ostream& Out, const TIntVector& V) { return Out << Text(V); }

}  // namespace nux
