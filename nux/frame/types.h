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
// Dynamic array of 32-bit integers.
using TIntArray = std::vector<int32_t>;
// Dynamic array of single-precision values.
using TSingleArray = std::vector<float>;
// Dynamic array of flags.
using TBoolArray = std::vector<bool>;
// Dynamic array of strings.
using TStrArray = std::vector<std::string>;
// Two-dimensional array of doubles, indexed [column][row].
using TDouble2DArray = std::vector<TDoubleArray>;
// Two-dimensional array of 32-bit integers, indexed [column][row].
using TInt2DArray = std::vector<TIntArray>;
// Two-dimensional array of single-precision values, indexed [column][row].
using TSingle2DArray = std::vector<TSingleArray>;
// Two-dimensional array of flags, indexed [column][row].
using TBool2DArray = std::vector<TBoolArray>;
// Two-dimensional array of strings, indexed [column][row].
using TStr2DArray = std::vector<TStrArray>;
// Three-dimensional array of doubles, indexed [column][row][layer].
using TDouble3DArray = std::vector<TDouble2DArray>;
// Three-dimensional array of 32-bit integers, indexed [column][row][layer].
using TInt3DArray = std::vector<TInt2DArray>;
// Three-dimensional array of single-precision values, indexed [column][row][layer].
using TSingle3DArray = std::vector<TSingle2DArray>;
// Three-dimensional array of flags, indexed [column][row][layer].
using TBool3DArray = std::vector<TBool2DArray>;
// Four-dimensional array of doubles, indexed [column][row][layer][slot].
using TDouble4DArray = std::vector<TDouble3DArray>;
// Four-dimensional array of 32-bit integers, indexed [column][row][layer][slot].
using TInt4DArray = std::vector<TInt3DArray>;
// Four-dimensional array of single-precision values, indexed [column][row][layer][slot].
using TSingle4DArray = std::vector<TSingle3DArray>;
// Four-dimensional array of flags, indexed [column][row][layer][slot].
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
// One exchange made by a sort: the kind (ekElements, ekColumns, ekRows), the two exchanged
// indices and the range of the other dimension that moved with them.
using TSortExchgEvent = std::function<void(TObject* Sender, uint8_t ExchgKind, int32_t Index1,
                                           int32_t Index2, int32_t SpanLow, int32_t SpanHigh)>;
// Progress of a long operation, in percent.
using TOnPercentDoneEvent = std::function<void(TObject* Sender, int32_t Percent)>;
// Asked during long operations; setting Abort to true requests a stop.
using TOnCheckAbortEvent = std::function<void(TObject* Sender, bool& Abort)>;
// Offered each line of text an export writes; the handler may change it.
using TExportTextEvent = std::function<void(TObject* Sender, std::string& Text)>;

// Exchange kinds reported by OnSortExchange.
constexpr uint8_t ekElements = 0;
// Two columns were exchanged.
constexpr uint8_t ekColumns = 1;
// Two rows were exchanged.
constexpr uint8_t ekRows = 2;

// Enumerations used by ordinal; the ordinals are fixed, the names are the library's own.

// Element kinds of the untyped array routines.
enum TVarKind : int32_t { vkDouble, vkReal, vkSingle, vkInteger, vkLongint, vkByte, vkString };

// Angle formats: decimal degrees, degrees with decimal minutes, degrees-minutes-seconds, and a
// plain number without a degree sign.
enum TDegreeFormat : int32_t { dfDecDeg, dfDegDecMin, dfDegMinSec, dfPlain };

// Decimal separators a number scanner accepts.
enum TDecPSep : int32_t { dpsPoint, dpsComma, dpsBoth, dpsSystem };

// Languages of month and day names in date parsing.
enum TLanguage : int32_t { lanEnglish, lanGerman, lanFrench, lanItalian, lanSpanish };

// Distance or similarity of two objects (rows): Tanimoto and Dice similarity, city-block,
// Euclidean and squared Euclidean distance, or one computed by the caller's event.
enum TDistMode : int32_t { dmTanimoto, dmCityBlock, dmEuclid, dmEuclidSqr, dmDice, dmUser };

// A dimension of a matrix: along the columns or along the rows.
enum TDims : int32_t { dimColumns, dimRows };

// Whether an operation runs down the columns or along the rows.
enum TApplyColRow : int32_t { acrColumns, acrRows };

// Ordinal 0: one result per row, reduced over columns; 1: one result per column.
enum TOrientation : int32_t { orRows, orColumns };

// Reductions of a line of values: minimum, maximum, sum, mean, sample standard deviation.
enum TEdgeOp : int32_t { eoMin, eoMax, eoSum, eoMean, eoStdDev };

// Shapes drawn into a mask: rectangle, ellipse, circle, ring.
enum TShapeKind : int32_t { skRectangle, skEllipse, skCircle, skRing };

// Rescaling modes of RescaleArray: by the largest magnitude, logarithmic, to 0..1, standardized.
enum TRescaleMode : int32_t { rsmLinear, rsmLog, rsmRange01, rsmStandardize };

// Field delimiters of delimited text: comma, semicolon, tab, blank.
enum TCSVDelimiters : int32_t { csvComma, csvSemicolon, csvTab, csvBlank };

// How a bit field or a state combines with a mask.
enum TLogicOp : int32_t { loAND, loOR, loXOR, loANDNOT, loORNOT, loXORNOT };

}  // namespace nux
