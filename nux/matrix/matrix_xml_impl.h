// The XML form shared by the four dense classes: the writer, the element step behind every
// ProcessXmlTag, and the reader that feeds it. Each class supplies an Ops struct:
//   TObj, TElem, N (2..4), IndexNames (N attribute names), SizeTags (N size tags),
//   Counts(obj) -> std::array<int32_t, N>, Reshape(obj, sizes) (resize, every element 0),
//   Set(obj, indices, value), ForEach(obj, visit(indices, value)) in storage order.
#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <new>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

#include "nux/frame/errors.h"
#include "nux/frame/stringl.h"
#include "nux/frame/xmlio.h"
#include "nux/host/atomicfile.h"
#include "nux/host/streams.h"
#include "nux/matrix/intmatrix.h"
#include "nux/matrix/mat3d.h"
#include "nux/matrix/mat4d.h"
#include "nux/matrix/matrix_core.h"
#include "nux/matrix/matxml.h"

namespace nux::matrix_detail {

// Moves an object read aside into the caller's: data, counts and DataID; OnChange, then
// OnResize when the size changed.
struct TXmlAccess {
  static void Take(TMatrix& M, TMatrix& Tmp, const std::string& ID) {
    const bool Sized = Tmp.NrOfColumns() != M.NrOfColumns() || Tmp.NrOfRows() != M.NrOfRows();
    M.Mat.swap(Tmp.Mat);
    M.FDataID = ID;
    M.Changed();
    if (Sized) M.Resized();
  }
  static void Take(TIntMatrix& M, TIntMatrix& Tmp, const std::string& ID) {
    const bool Sized = Tmp.NrOfColumns() != M.NrOfColumns() || Tmp.NrOfRows() != M.NrOfRows();
    if (M.FIsSparse) {  // what was read is dense
      M.ClearSparse();
      M.FIsSparse = false;
      M.FNCol = M.FNRow = 0;
    }
    M.Mat.swap(Tmp.Mat);
    M.FDataID = ID;
    M.Changed();
    if (Sized) M.Resized();
  }
  static void Take(TMat3D& M, TMat3D& Tmp, const std::string& ID) {
    const bool Sized = Tmp.FNumX != M.FNumX || Tmp.FNumY != M.FNumY || Tmp.FNumZ != M.FNumZ;
    M.Mat.swap(Tmp.Mat);
    M.FNumX = Tmp.FNumX;
    M.FNumY = Tmp.FNumY;
    M.FNumZ = Tmp.FNumZ;
    M.FDataID = ID;
    M.Changed();
    if (Sized) M.Resized();
  }
  static void Take(TMat4D& M, TMat4D& Tmp, const std::string& ID) {
    const bool Sized = Tmp.FNumX != M.FNumX || Tmp.FNumY != M.FNumY || Tmp.FNumZ != M.FNumZ ||
                       Tmp.FNumT != M.FNumT;
    M.Mat.swap(Tmp.Mat);
    M.FNumX = Tmp.FNumX;
    M.FNumY = Tmp.FNumY;
    M.FNumZ = Tmp.FNumZ;
    M.FNumT = Tmp.FNumT;
    M.FDataID = ID;
    M.Changed();
    if (Sized) M.Resized();
  }
};

// The DataID as it is stored: UTF-8, at most 255 bytes.
inline std::string XmlDataID(std::string_view ID) { return Utf8TruncateBytes(ID, 255); }

// An integer as the element step reads it: blanks, one optional sign, then decimal digits up
// to the first non-digit; no digits give 0. False when it leaves the 32-bit range.
inline bool ScanXmlInt(std::string_view T, int32_t& X) {
  size_t P = 0;
  while (P < T.size() && (T[P] == ' ' || T[P] == '\t' || T[P] == '\n' || T[P] == '\r')) ++P;
  bool Neg = false;
  if (P < T.size() && (T[P] == '+' || T[P] == '-')) Neg = T[P++] == '-';
  int64_t V = 0;
  for (; P < T.size() && T[P] >= '0' && T[P] <= '9'; ++P) {
    V = V * 10 + (T[P] - '0');
    if (V > int64_t(INT32_MAX) + 1) return false;
  }
  V = Neg ? -V : V;
  if (V > INT32_MAX || V < INT32_MIN) return false;
  X = static_cast<int32_t>(V);
  return true;
}

// The value of attribute Name in an attribute text (name="value" ...), read by ScanXmlInt.
// False when the attribute is missing or overflows.
inline bool XmlIndexAttribute(std::string_view Attr, std::string_view Name, int32_t& X) {
  for (size_t P = Attr.find(Name); P != std::string_view::npos; P = Attr.find(Name, P + 1)) {
    const bool Starts = P == 0 || Attr[P - 1] == ' ' || Attr[P - 1] == '\t' || Attr[P - 1] == '\n';
    const std::string_view Rest = Attr.substr(P + Name.size());
    if (Starts && Rest.starts_with("=\"")) return ScanXmlInt(Rest.substr(2), X);
  }
  return false;
}

inline TMatXmlTag XmlTagOf(std::string_view Name) {
  for (int32_t K = 0; K < matrix::xmlInvalid; ++K)
    if (Name == MatXmlTagNames[size_t(K)]) return static_cast<TMatXmlTag>(K);
  return matrix::xmlInvalid;
}

inline void AppendXmlValue(std::string& Out, double X, int32_t Precision) {
  char Buf[64];
  if (!std::isfinite(X)) {
    Out += XmlNumber(X);
    return;
  }
  const auto R =
      Precision >= 1 && Precision <= 16
          ? std::to_chars(Buf, Buf + sizeof Buf, X, std::chars_format::general, Precision)
          : std::to_chars(Buf, Buf + sizeof Buf, X);
  Out.append(Buf, R.ptr);
}

inline void AppendXmlValue(std::string& Out, int32_t X, int32_t) {
  char Buf[16];
  Out.append(Buf, std::to_chars(Buf, Buf + sizeof Buf, X).ptr);
}

// The whole "matrix" element (with the declaration first when CreateHeader).
template <class Ops>
std::string MatXmlText(const typename Ops::TObj& M, bool CreateHeader, const std::string& DataID,
                       int32_t Precision) {
  std::string Out;
  if (CreateHeader) Out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  Out += "<matrix dataid=\"" + XmlEscape(XmlDataID(DataID)) + "\">\n";
  const auto Counts = Ops::Counts(M);
  for (int K = 0; K < Ops::N; ++K) {
    const char* T = MatXmlTagNames[size_t(Ops::SizeTags[size_t(K)])];
    Out += "  <";
    Out += T;
    Out += '>';
    Out += std::to_string(Counts[size_t(K)]);
    Out += "</";
    Out += T;
    Out += ">\n";
  }
  Ops::ForEach(M, [&](const std::array<int32_t, Ops::N>& Ix, typename Ops::TElem V) {
    Out += "  <cell";
    for (int K = 0; K < Ops::N; ++K) {
      Out += ' ';
      Out += Ops::IndexNames[size_t(K)];
      Out += "=\"";
      AppendXmlValue(Out, Ix[size_t(K)], 0);
      Out += '"';
    }
    Out += '>';
    AppendXmlValue(Out, V, Precision);
    Out += "</cell>\n";
  });
  Out += "</matrix>\n";
  return Out;
}

template <class Ops>
int32_t WriteMatXml(const typename Ops::TObj& M, std::ostream& Out, bool CreateHeader,
                    const std::string& DataID, int32_t Precision) {
  if (!Out.good()) return xrCannotWrite;
  std::string T;
  try {
    T = MatXmlText<Ops>(M, CreateHeader, DataID, Precision);
  } catch (const std::bad_alloc&) {
    return xrCannotWrite;
  }
  Out.write(T.data(), std::streamsize(T.size()));
  return Out.good() ? xrOK : xrCannotWrite;
}

template <class Ops>
int32_t WriteMatXml(const typename Ops::TObj& M, TStream& Out, bool CreateHeader,
                    const std::string& DataID, int32_t Precision) {
  std::string T;
  try {
    T = MatXmlText<Ops>(M, CreateHeader, DataID, Precision);
  } catch (const std::bad_alloc&) {
    return xrCannotWrite;
  }
  return Out.Write(T.data(), int64_t(T.size())) == int64_t(T.size()) ? xrOK : xrCannotWrite;
}

template <class Ops>
int32_t SaveMatXml(const typename Ops::TObj& M, const std::string& FName, const std::string& DataID,
                   int32_t Precision) {
  try {
    return WriteWholeFile(FName, MatXmlText<Ops>(M, true, DataID, Precision)) ? xrOK
                                                                              : xrCannotWrite;
  } catch (const std::bad_alloc&) {
    return xrCannotWrite;
  }
}

// The element step. Aux holds the announced sizes, FirstCell whether the object still has to be
// sized ("matrix" clears the one and sets the other); MaxCells bounds what may be announced.
// Results: 0; 1 for "/matrix"; -1 an unknown
// element; -3 (xrRefused) an announced size beyond MaxCells or memory; -5 (xrInvalid) a cell
// before every size was announced as positive.
template <class Ops>
int32_t ApplyMatXmlTag(typename Ops::TObj& M, int32_t* const* Aux, bool& FirstCell, TMatXmlTag Tag,
                       std::string_view Attributes, std::string_view Content, int64_t MaxCells) {
  switch (Tag) {
    case xmlMatNumCols:
    case xmlMatNumRows:
    case xmlMatNumLayers:
    case xmlMatNumTimeSlots:
      for (int K = 0; K < Ops::N; ++K)
        if (Ops::SizeTags[size_t(K)] == Tag) {
          int32_t V = 0;
          *Aux[K] = ScanXmlInt(Content, V) ? V : 0;  // an overflowing size is no size
        }
      return 0;  // sizes the class does not have are ignored
    case xmlMatCell: {
      if (FirstCell) {
        std::array<int32_t, Ops::N> Sizes;
        int64_t Cells = 1;
        for (int K = 0; K < Ops::N; ++K) {
          Sizes[size_t(K)] = *Aux[K];
          if (Sizes[size_t(K)] < 1) return xrInvalid;
          Cells = Cells > MaxCells ? Cells : Cells * Sizes[size_t(K)];  // stays below 2^59
        }
        if (Cells > MaxCells) return xrRefused;
        try {
          Ops::Reshape(M, Sizes);
        } catch (const ENUXMatrixError&) {
          return xrRefused;
        } catch (const std::bad_alloc&) {
          return xrRefused;
        }
        FirstCell = false;
      }
      std::array<int32_t, Ops::N> Ix;
      const auto Counts = Ops::Counts(M);
      for (int K = 0; K < Ops::N; ++K)
        if (!XmlIndexAttribute(Attributes, Ops::IndexNames[size_t(K)], Ix[size_t(K)]) ||
            Ix[size_t(K)] < 1 || Ix[size_t(K)] > Counts[size_t(K)])
          return 0;  // outside (or overflowing): ignored, never wrapped
      typename Ops::TElem V{};
      if constexpr (std::is_same_v<typename Ops::TElem, double>) {
        if (!XmlToNumber(Content, V)) V = 0.0;
      } else {
        if (!ScanXmlInt(Content, V)) return 0;  // beyond 32 bits: ignored, not wrapped
      }
      Ops::Set(M, Ix, V);
      return 0;
    }
    case xmlMatBegin:
      // A new document: sizes announced before must not size it.
      for (int K = 0; K < Ops::N; ++K) *Aux[K] = 0;
      FirstCell = true;
      return 0;
    case xmlMatEnd:
      return 1;
    case matrix::xmlInvalid:
      return -1;
    default:
      return 0;
  }
}

// Feeds the children of the chosen "matrix" element to ApplyMatXmlTag.
template <class Ops>
class TMatXmlReader : public TXmlScanHandler {
 public:
  TMatXmlReader(typename Ops::TObj& M, int32_t* const* Aux, bool& FirstCell,
                const std::string& DataID, int64_t MaxCells)
      : FM(M), FAux(Aux), FFirstCell(FirstCell), FDataID(XmlDataID(DataID)), FMax(MaxCells) {}

  int32_t Start(int32_t Depth, std::string_view Name, const char* const* Atts) override {
    if (FActive && Depth == FDepth + 1) {
      FAttributes = XmlAttributeText(Atts);
    } else if (!FActive && !Found && Name == MatXmlTagNames[xmlMatBegin]) {
      std::string Id;
      for (const char* const* A = Atts; A[0]; A += 2)
        if (std::string_view(A[0]) == "dataid") Id = XmlDataID(A[1]);
      if (FDataID.empty() || Id == FDataID) {
        FActive = true;
        FDepth = Depth;
        FoundID = Id;
        ApplyMatXmlTag<Ops>(FM, FAux, FFirstCell, xmlMatBegin, "", "", FMax);
      }
    }
    return xrOK;
  }

  int32_t End(int32_t Depth, std::string_view Name, std::string& Text) override {
    if (!FActive) return xrOK;
    if (Depth == FDepth + 1) {
      const int32_t R =
          ApplyMatXmlTag<Ops>(FM, FAux, FFirstCell, XmlTagOf(Name), FAttributes, Text, FMax);
      return R == -1 ? xrInvalid : R < 0 ? R : xrOK;
    }
    if (Depth == FDepth) {
      FActive = false;
      Found = true;
      // A matrix without cells still takes its announced size (all elements 0).
      if (FFirstCell) {
        const int32_t R = ApplyMatXmlTag<Ops>(FM, FAux, FFirstCell, xmlMatCell, "", "", FMax);
        if (R < 0) return R;
      }
    }
    return xrOK;
  }

  bool Found = false;   // the matrix was read whole
  std::string FoundID;  // its dataid

 private:
  typename Ops::TObj& FM;
  int32_t* const* FAux;
  bool& FFirstCell;
  std::string FDataID;
  int64_t FMax;
  bool FActive = false;
  int32_t FDepth = 0;
  std::string FAttributes;
};

// Reads the first "matrix" element at or after byte Pos of Text whose dataid is DataID (any for
// an empty DataID) into a fresh object, and moves that into M on success only; Pos moves
// behind the outermost element that held it.
template <class Ops>
int32_t LoadMatXml(std::string_view Text, int64_t& Pos, const std::string& DataID,
                   typename Ops::TObj& M) {
  typename Ops::TObj Tmp;
  std::array<int32_t, Ops::N> AuxStore{};
  std::array<int32_t*, Ops::N> Aux;
  for (int K = 0; K < Ops::N; ++K) Aux[size_t(K)] = &AuxStore[size_t(K)];
  bool FirstCell = true;
  // Values are never read past a cell's end, so a document can only announce zeros cheaply:
  // the bound keeps a small document from asking for a huge object.
  const int64_t Rest = static_cast<int64_t>(Text.size()) - Pos;
  const int64_t MaxCells = std::min<int64_t>(MaxXmlMatrixCells, (int64_t(1) << 20) + 64 * Rest);
  TXmlLimits Limits;
  Limits.MaxElements = std::numeric_limits<int64_t>::max();  // the reader keeps no tree
  int64_t P = Pos;
  while (true) {
    TMatXmlReader<Ops> H(Tmp, Aux.data(), FirstCell, DataID, MaxCells);
    const int32_t R = ScanXmlElement(Text, P, H, Limits);
    if (R != xrOK) return R;
    if (H.Found) {
      TXmlAccess::Take(M, Tmp, H.FoundID);
      Pos = P;
      return xrOK;
    }
  }
}

template <class Ops>
int32_t LoadMatXml(TStream& In, const std::string& DataID, typename Ops::TObj& M) {
  const int64_t At = In.Position();
  std::string Text;
  if (const int32_t R = ReadXmlText(In, Text); R != xrOK) return R;
  int64_t Pos = 0;
  const int32_t R = LoadMatXml<Ops>(Text, Pos, DataID, M);
  In.SetPosition(At + (R == xrOK ? Pos : 0));
  return R;
}

template <class Ops>
int32_t LoadMatXml(std::istream& In, const std::string& DataID, typename Ops::TObj& M) {
  const std::streampos At = In.tellg();
  std::string Text;
  if (const int32_t R = ReadXmlText(In, Text); R != xrOK) return R;
  int64_t Pos = 0;
  const int32_t R = LoadMatXml<Ops>(Text, Pos, DataID, M);
  // Behind the matrix, so that the next one can be read from the same file.
  In.clear();
  if (At != std::streampos(-1)) In.seekg(At + std::streamoff(R == xrOK ? Pos : 0));
  return R;
}

template <class Ops>
int32_t LoadMatXmlFile(const std::string& FName, const std::string& DataID, typename Ops::TObj& M) {
  std::ifstream In(FName, std::ios::binary);
  if (!In) return xrCannotOpen;
  std::string Text;
  if (const int32_t R = ReadXmlText(In, Text); R != xrOK) return R;
  int64_t Pos = 0;
  return LoadMatXml<Ops>(Text, Pos, DataID, M);
}

}  // namespace nux::matrix_detail
