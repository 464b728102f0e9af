// Shared types of the library: dynamic arrays, plane points and rectangles, event types and the
// enumerations that the units use by ordinal.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "nux/host/exceptions.h"
#include "nux/host/object.h"

// Everything the library exports: containers, free routines, constants and events.
namespace nux {

// Dynamic arrays, zero-based; multi-dimensional forms are indexed [column][row][layer][slot].
using TDoubleArray = std::vector<double>;
using TIntArray = std::vector<int32_t>;
using TSingleArray = std::vector<float>;
using TBoolArray = std::vector<bool>;
using TStrArray = std::vector<std::string>;
using TDouble2DArray = std::vector<TDoubleArray>;
using TInt2DArray = std::vector<TIntArray>;
using TSingle2DArray = std::vector<TSingleArray>;
using TBool2DArray = std::vector<TBoolArray>;
using TStr2DArray = std::vector<TStrArray>;
using TDouble3DArray = std::vector<TDouble2DArray>;
using TInt3DArray = std::vector<TInt2DArray>;
using TSingle3DArray = std::vector<TSingle2DArray>;
using TBool3DArray = std::vector<TBool2DArray>;
using TDouble4DArray = std::vector<TDouble3DArray>;
using TInt4DArray = std::vector<TInt3DArray>;
using TSingle4DArray = std::vector<TSingle3DArray>;
using TBool4DArray = std::vector<TBool3DArray>;

namespace types_detail {
template <class T>
inline constexpr bool IsVector = false;
template <class T, class Al>
inline constexpr bool IsVector<std::vector<T, Al>> = true;

template <class V>
bool SameShape(const V& A, const V& B) {
  if (A.size() != B.size()) return false;
  if constexpr (IsVector<typename V::value_type>) {
    for (size_t I = 0; I < A.size(); ++I)
      if (!SameShape(A[I], B[I])) return false;
  }
  return true;
}
}  // namespace types_detail

// True when a nested array is not rectangular: some inner array, at any level, differs in length
// from the first one at its level. Routines taking nested arrays treat a ragged one as bad input
// rather than copy part of it.
template <class T, class Al>
bool IsRagged(const std::vector<T, Al>& A) {
  if constexpr (types_detail::IsVector<T>) {
    if (A.empty()) return false;
    if (IsRagged(A[0])) return true;
    for (const auto& Inner : A)
      if (!types_detail::SameShape(Inner, A[0])) return true;
  }
  return false;
}

// The library's general exception; unit exceptions derive from it.
class ENUXError : public Exception {
 public:
  // An exception whose message (and what()) is Msg.
  using Exception::Exception;
};

// A point in the plane.
struct TPointDouble {
  // Horizontal coordinate.
  double X = 0.0;
  // Vertical coordinate.
  double Y = 0.0;
};

// A rectangle in the plane, given by its edges.
struct TRectDouble {
  // Left edge.
  double Left = 0.0;
  // Top edge.
  double Top = 0.0;
  // Right edge.
  double Right = 0.0;
  // Bottom edge.
  double Bottom = 0.0;
};

// Events. An empty std::function is an unassigned event; firing it does nothing.
using TNotifyEvent = std::function<void(TObject* Sender)>;
using TSortExchgEvent = std::function<void(TObject* Sender, uint8_t ExchgKind, int32_t Index1,
                                           int32_t Index2, int32_t SpanLow, int32_t SpanHigh)>;
using TOnPercentDoneEvent = std::function<void(TObject* Sender, int32_t Percent)>;
// Asked during long operations; setting Abort to true requests a stop.
using TOnCheckAbortEvent = std::function<void(TObject* Sender, bool& Abort)>;
// Offered each line of text an export writes; the handler may change it.
using TExportTextEvent = std::function<void(TObject* Sender, std::string& Text)>;

// Exchange kinds reported by OnSortExchange.
constexpr uint8_t ekElements = 0;
constexpr uint8_t ekColumns = 1;
constexpr uint8_t ekRows = 2;

// Enumerations used by ordinal; the ordinals are fixed, the names are the library's own.

// Element kinds of the untyped array routines.
enum TVarKind : int32_t { vkDouble, vkReal, vkSingle, vkInteger, vkLongint, vkByte, vkString };

enum TDegreeFormat : int32_t { dfDecDeg, dfDegDecMin, dfDegMinSec, dfPlain };

// Decimal separators a number scanner accepts.
enum TDecPSep : int32_t { dpsPoint, dpsComma, dpsBoth, dpsSystem };

// Languages of month and day names in date parsing.
enum TLanguage : int32_t { lanEnglish, lanGerman, lanFrench, lanItalian, lanSpanish };

enum TDistMode : int32_t { dmTanimoto, dmCityBlock, dmEuclid, dmEuclidSqr, dmDice, dmUser };

enum TDims : int32_t { dimColumns, dimRows };

enum TApplyColRow : int32_t { acrColumns, acrRows };

// Ordinal 0: one result per row, reduced over columns; 1: one result per column.
enum TOrientation : int32_t { orRows, orColumns };

enum TEdgeOp : int32_t { eoMin, eoMax, eoSum, eoMean, eoStdDev };

enum TShapeKind : int32_t { skRectangle, skEllipse, skCircle, skRing };

enum TRescaleMode : int32_t { rsmLinear, rsmLog, rsmRange01, rsmStandardize };

enum TCSVDelimiters : int32_t { csvComma, csvSemicolon, csvTab, csvBlank };

// How a bit field or a state combines with a mask.
enum TLogicOp : int32_t { loAND, loOR, loXOR, loANDNOT, loORNOT, loXORNOT };

}  // namespace nux
