// The XML vocabulary shared by TMatrix, TIntMatrix, TMat3D and TMat4D.
#pragma once

#include <array>
#include <cstdint>

namespace nux {

namespace matrix_detail {
struct TXmlAccess;  // moves what the XML readers built aside into the object
}  // namespace matrix_detail

namespace matrix {

// The elements of the matrices' XML form, in this order. In a namespace of its own because
// other units name an element xmlInvalid too; the other values are also reachable from nux.
enum TMatXmlTag : int32_t {
  xmlMatNumCols,       // "numcols": number of columns
  xmlMatNumRows,       // "numrows": number of rows
  xmlMatNumLayers,     // "numplanes": number of layers
  xmlMatNumTimeSlots,  // "numtimeslots": number of time slots
  xmlMatCell,          // "cell": one element, indices in attributes
  xmlMatBegin,         // "matrix": opens a matrix
  xmlMatEnd,           // "/matrix": closes a matrix
  xmlInvalid           // any other element
};

}  // namespace matrix

using matrix::TMatXmlTag;
using matrix::xmlMatBegin;
using matrix::xmlMatCell;
using matrix::xmlMatEnd;
using matrix::xmlMatNumCols;
using matrix::xmlMatNumLayers;
using matrix::xmlMatNumRows;
using matrix::xmlMatNumTimeSlots;

// Tag texts indexed by TMatXmlTag.
extern const std::array<const char*, 8> MatXmlTagNames;

// The most elements an announced size may hold when ProcessXmlTag is called directly (2^28);
// the readers allow at most 2^20 plus 64 per byte of the document, and never more than this.
constexpr int64_t MaxXmlMatrixCells = int64_t(1) << 28;

}  // namespace nux
