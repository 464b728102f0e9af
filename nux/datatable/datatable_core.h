// TDataTable: a table of cells for data analysis. Every cell has a value (kept in a TMatrix)
// and a state byte; every column a name, an attribute, a scale type and up to 151 nominal
// identifiers; every row a name and an attribute. Indices are 1-based, column before row.
// docs/datatable.md lists the invariants and the order of the change events.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "nux/frame/container.h"
#include "nux/frame/errors.h"
#include "nux/frame/types.h"
#include "nux/frame/xmlio.h"
#include "nux/host/clipboard.h"
#include "nux/host/streams.h"
#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"

namespace nux {

// Row and column names (at most 50 characters) and nominal identifiers (at most 10).
using TDTNameStr = std::string;
// A nominal identifier (at most 10 characters).
using TNominalIDStr = std::string;
// Longest row or column name in characters; longer names are cut.
constexpr size_t MaxDTNameLength = 50;
// Longest nominal identifier in characters; longer ones are cut.
constexpr size_t MaxNominalIDLength = 10;
// Identifier slots per column; ordinals run 0..MaxNominalIDs - 1.
constexpr int32_t MaxNominalIDs = 151;

// Measurement scale of a column; nominal and ordinal columns are categorical, interval and
// ratio columns metric.
enum TMScaleType : uint8_t { stUnknown, stNominal, stOrdinal, stInterval, stRatio };

// Display names of the scale types, indexed by TMScaleType.
extern const std::array<const char*, 5> MScaleTypeNames;

// True for stNominal and stOrdinal.
inline bool IsCategorical(TMScaleType S) { return S == stNominal || S == stOrdinal; }

// The ordinal a categorical cell value stands for: rounded to the nearest integer (halves to
// even) and saturated at the 32-bit limits; NaN gives -1, which names no identifier.
int32_t CategoricalOrdinal(double Value);

// The 151 identifier slots of a column; an empty text marks a free slot. The slots are
// allocated on the first identifier, so a column without identifiers costs one pointer.
class TNominalIDs {
 public:
  TNominalIDs() = default;
  // Copies the identifiers (a deep copy of the slots).
  TNominalIDs(const TNominalIDs& Other);
  // Replaces the identifiers by a deep copy of Other's.
  TNominalIDs& operator=(const TNominalIDs& Other);
  // Takes over Other's slots.
  TNominalIDs(TNominalIDs&&) noexcept = default;
  // Takes over Other's slots.
  TNominalIDs& operator=(TNominalIDs&&) noexcept = default;

  // The identifier of ordinal Ord; empty for a free slot or an ordinal outside 0..150.
  const TNominalIDStr& operator[](int32_t Ord) const;
  // Stores ID (cut to 10 characters) in slot Ord; the empty text frees it. Outside: ignored.
  void Set(int32_t Ord, std::string_view ID);
  // Frees every slot.
  void Clear() { FSlots.reset(); }
  // The number of slots in use.
  int32_t Count() const;
  // The lowest free ordinal, -1 when every slot is taken.
  int32_t FirstFree() const;
  // True when both hold the same identifier in every slot.
  bool operator==(const TNominalIDs& Other) const;

 private:
  std::unique_ptr<std::array<TNominalIDStr, MaxNominalIDs>> FSlots;
};

// The variable type of a column: measurement scale and nominal identifiers.
struct TVTypeSpec {
  // The column's measurement scale.
  TMScaleType MScaleType = stInterval;
  // The nominal identifiers of the column's categories.
  TNominalIDs IDs;
  // Equal scale type and identifiers.
  bool operator==(const TVTypeSpec&) const = default;
};

// Resize callback: the counts before and after.
using TDataTableResizeEvent = std::function<void(
    TObject* Sender, int32_t OldColumns, int32_t OldRows, int32_t NewColumns, int32_t NewRows)>;

// Cell state bits.
constexpr uint8_t csInvalid = 0x01;
// The cell is empty.
constexpr uint8_t csEmpty = 0x02;
// The cell's value was imputed.
constexpr uint8_t csImputed = 0x20;
// First marking.
constexpr uint8_t csMark1 = 0x40;
// Second marking.
constexpr uint8_t csMark2 = 0x80;

// Comparisons of FindCells.
enum TCompareMode : int32_t {
  cmLT,          // v < Limit
  cmGT,          // v > Limit
  cmLE,          // v <= Limit
  cmGE,          // v >= Limit
  cmEQ,          // v = Limit exactly
  cmNE,          // v differs from Limit
  cmInRange,     // Limit <= v <= Limit2
  cmOutOfRange,  // v < Limit or v > Limit2
};

// The names of the comparisons, indexed by TCompareMode.
extern const std::array<const char*, 8> IDS_COMPAREMODE;

// What SplitDataSet divides: the columns, the rows, or the rows into test and training sets.
enum TDataSetSplitMode : int32_t { splitColumns, splitRows, splitTstTrn };
// How SplitDataSet assigns lines to parts: at random, in consecutive blocks, or in turn.
enum TDataSelMode : int32_t { selmRandSel, selmBlocked, selmInterleave };

// Most hits FindCells stores.
constexpr int32_t MaxFoundCells = 10000;

namespace datatable {

// The elements of the table's XML form, in this order. In a namespace of its own because other
// units name elements xmlComment and xmlInvalid too; the other values are also reachable from
// nux.
enum TDTxmlTags : int32_t {
  xmlDataTableId,     // "datatable"
  xmlDataTableEndId,  // "/datatable"
  xmlComment,         // "comment"
  xmlSize,            // "size"
  xmlColNames,        // "colnames"
  xmlRowNames,        // "rownames"
  xmlColAttrib,       // "colattrib"
  xmlRowAttrib,       // "rowattrib"
  xmlColId,           // "col"
  xmlRowId,           // "row"
  xmlDataCells,       // "datacells"
  xmlCellID,          // "cell"
  xmlVarType,         // "vardef"
  xmlVarIdentifier,   // "idf"
  xmlInvalid          // any other element ("invalid")
};

}  // namespace datatable

using datatable::TDTxmlTags;
using datatable::xmlCellID;
using datatable::xmlColAttrib;
using datatable::xmlColId;
using datatable::xmlColNames;
using datatable::xmlDataCells;
using datatable::xmlDataTableEndId;
using datatable::xmlDataTableId;
using datatable::xmlRowAttrib;
using datatable::xmlRowId;
using datatable::xmlRowNames;
using datatable::xmlSize;
using datatable::xmlVarIdentifier;
using datatable::xmlVarType;

// Element names indexed by TDTxmlTags.
extern const std::array<const char*, 15> DTxmlTagNames;

namespace datatable_detail {
class TXmlReader;  // feeds a document's elements to ProcessXmlTag
}  // namespace datatable_detail

// The data table: a matrix of numeric or categorical cells, each with a state byte, plus
// column and row names, attributes, variable types and a comment (docs/datatable.md).
class TDataTable : public TComponent,
                   public TSortExchangeSupport<TDataTable>,
                   public TPercentDoneSupport<TDataTable> {
 public:
  // A 1 x 1 table holding 0, named C-1 and R-1, scale type stInterval. Out of memory:
  // ENUXDataTableError "failed to initialize (out of memory)".
  explicit TDataTable(TComponent* AOwner = nullptr);
  // Frees the table's own matrix; a caller's matrix is only detached.
  ~TDataTable() override;

  // ---- Events (docs/datatable.md gives which operation fires what, in which order) ----
  TNotifyEvent OnChange;           // values
  TNotifyEvent OnChangeSetup;      // scale types, identifiers, comment, structure
  TNotifyEvent OnChangeNames;      // row and column names
  TNotifyEvent OnChangeCellState;  // state bytes
  TNotifyEvent OnChangeAttrib;     // row and column attributes
  TDataTableResizeEvent OnResize;  // counts (old, new)
  TExportTextEvent OnExportText;   // reserved for the text export

  void ChangedData();        // fires OnChange
  void ChangedSetup();       // fires OnChangeSetup
  void ChangedNames();       // fires OnChangeNames
  void ChangedAttrib();      // fires OnChangeAttrib
  void ChangedCellStates();  // fires OnChangeCellState
  // The handler the table installs on its matrix's change event.
  void DataHasChanged(TObject* Sender);
  // The handler the table installs on its matrix's sort-exchange event: moves the states (and,
  // with SortIncludeHd, names, attributes and column variable types) along, then reports.
  void ExchangeDuringSort(TObject* Sender, uint8_t ExchgKind, int32_t Index1, int32_t Index2,
                          int32_t SpanLow, int32_t SpanHigh);

  // ---- Numeric store ----
  // The matrix holding the values: column and row indices are the table's.
  TMatrix* NumericData() const { return FMat; }
  // True when the store is a caller's matrix (AssignAnotherDataMatrix).
  bool ExtMatAssigned() const { return FExtMatAssigned; }

  // ---- Size ----
  // The number of columns; never below 1.
  int32_t NrOfColumns() const { return FNrOfCols; }
  // The number of rows; never below 1.
  int32_t NrOfRows() const { return FNrOfRows; }
  // Changes the column count only (counts below 1 become 1).
  void SetNrOfColumns(int32_t NrCols) { Resize(NrCols, FNrOfRows); }
  // Changes the row count only (counts below 1 become 1).
  void SetNrOfRows(int32_t NrRows) { Resize(FNrOfCols, NrRows); }
  // Keeps common cells; new columns are named C-k, new rows R-k; fires OnResize only. Counts
  // below 1 become 1. All or nothing: out of memory raises and leaves the table as it was.
  void Resize(int32_t NrCols, int32_t NrRows);
  // Every default back except the counts and the handlers.
  void Clear();

  // ---- Cells (indices outside the table: reads give 0/""/false, writes are ignored) ----
  // The value; categorical columns read it rounded (halves to even).
  double Elem(int32_t ACol, int32_t ARow) const;
  // Stores the value as given (also in categorical columns); fires OnChange.
  void SetElem(int32_t ACol, int32_t ARow, double Value);
  // The identifier of a categorical cell, or its ordinal in decimal when no slot holds it;
  // "" for other columns.
  std::string ElemNominal(int32_t ACol, int32_t ARow) const;
  // Stores the ordinal of ID (case-insensitive; a new ID takes the lowest free slot). All
  // slots taken: ENUXDataTableError "number of available nominal values exceeded". An empty ID
  // is ignored.
  void SetElemNominal(int32_t ACol, int32_t ARow, std::string_view ID);
  // The state byte (bit 0 no valid value, 1 empty, 5 imputed, 6 and 7 the markings).
  uint8_t CellState(int32_t ACol, int32_t ARow) const;
  // Fires OnChangeCellState only when the byte changes.
  void SetCellState(int32_t ACol, int32_t ARow, uint8_t State);
  // Neither "no valid value" nor "empty" is set.
  bool IsNumber(int32_t ACol, int32_t ARow) const;
  // Bit 1 of the state.
  bool IsEmpty(int32_t ACol, int32_t ARow) const;
  // Sets or clears bit 1 through SetCellState, then fires OnChange.
  void SetIsEmpty(int32_t ACol, int32_t ARow, bool Value);
  // Bit 5 of the state.
  bool IsImputed(int32_t ACol, int32_t ARow) const;
  // Sets or clears bit 5 through SetCellState, then fires OnChange.
  void SetIsImputed(int32_t ACol, int32_t ARow, bool Value);

  // ---- Names, attributes, scale types, comment ----
  // The stored name; "" outside the table.
  std::string ColName(int32_t ColNr) const;
  // Cut to 50 characters; fires OnChangeNames.
  void SetColName(int32_t ColNr, std::string_view Name);
  // The stored row name; "" outside the table.
  std::string RowName(int32_t RowNr) const;
  // Cut to 50 characters; fires OnChangeNames.
  void SetRowName(int32_t RowNr, std::string_view Name);
  // The longest stored name in characters (0 for none).
  int32_t MaxColNameLength() const;
  // The longest stored row name in characters (0 for none).
  int32_t MaxRowNameLength() const;
  // Attributes are stored as given (0 outside the table); the writers fire OnChangeAttrib.
  int32_t ColAttrib(int32_t ColNr) const;
  // Sets the attribute of column ColNr; fires OnChangeAttrib.
  void SetColAttrib(int32_t ColNr, int32_t Attrib);
  // The attribute of row RowNr (0 outside the table).
  int32_t RowAttrib(int32_t RowNr) const;
  // Sets the attribute of row RowNr; fires OnChangeAttrib.
  void SetRowAttrib(int32_t RowNr, int32_t Attrib);
  // Every column (row) gets Attrib; the masked forms replace only the bits of Mask.
  void SetColAttributes(int32_t Attrib);
  void SetColAttributes(int32_t Attrib, int32_t Mask);
  // Every row gets Attrib.
  void SetRowAttributes(int32_t Attrib);
  // Every row gets the bits of Attrib that Mask selects.
  void SetRowAttributes(int32_t Attrib, int32_t Mask);
  // stUnknown outside the table.
  TMScaleType MScaleType(int32_t ColNr) const;
  // Fires OnChangeSetup; the identifiers stay.
  void SetMScaleType(int32_t ColNr, TMScaleType Scale);
  // The free text of the table.
  const std::string& Comment() const { return FComment; }
  // Control characters are removed; fires OnChangeSetup.
  void SetComment(std::string_view Text);
  // Whether a sort of the matrix also moves names, attributes and column variable types.
  bool SortIncludeHd() const { return FSortIncludeHd; }
  // Sets SortIncludeHd; fires nothing.
  void SetSortIncludeHd(bool Value) { FSortIncludeHd = Value; }
  // The variable type of a column (nullptr outside the table).
  const TVTypeSpec* VTypeSpec(int32_t ColNr) const;

  // ---- Nominal identifiers (ordinals 0..150; identifiers cut to 10 characters) ----
  // The lowest ordinal holding ID in a categorical column; -1 when absent, ID is empty or the
  // column is not categorical.
  int32_t OrdinalOfNominalID(int32_t Col, std::string_view ID, bool IgnoreCase) const;
  // The ordinal of ID, adding it (and making the column stNominal) when new; -1 for a bad
  // column, an empty ID or a full list.
  int32_t AddNominalID(int32_t Col, std::string_view MScaleID);
  // The identifier of the slot in a categorical column; "" otherwise.
  std::string NominalID(int32_t ColIx, int32_t OrdVal) const;
  // Stores only in categorical columns; "" frees the slot in any column.
  void SetNominalID(int32_t ColIx, int32_t OrdVal, std::string_view ID);
  // Frees all 151 slots; fires OnChangeSetup.
  void ClearNominalIDs(int32_t Col);
  // The number of slots in use (0 outside the table).
  int32_t CountNominalIDs(int32_t Col) const;

  // ---- Range rule: (0, 0) is everything; bounds clipped; true when a bound moved (rows: or
  // the bounds were exchanged) ----
  bool MakeValidColRange(int32_t& LowCol, int32_t& HighCol) const {
    return MakeValidIndexRange(LowCol, HighCol, FNrOfCols);
  }
  // The row form of the range rule.
  bool MakeValidRowRange(int32_t& LowRow, int32_t& HighRow) const {
    return MakeValidRowIndexRange(LowRow, HighRow, FNrOfRows);
  }

  // ---- Inserting and removing (values and states move unchanged) ----
  // Ix in 1..count+1; the new row (column) is empty-named, zero and stInterval. False: ignored.
  bool InsertRow(int32_t Ix);
  // The column form of InsertRow; the new column has free identifier slots.
  bool InsertColumn(int32_t Ix);
  // Ix in 1..count and count >= 2. False: ignored.
  bool RemoveRow(int32_t Ix);
  // The column form of RemoveRow; the later columns move left with their variable types.
  bool RemoveColumn(int32_t Ix);
  // Rows FirstRow..LastRow ((0, 0): all; reversed bounds exchanged); -1 for a bound outside.
  // Removing every row leaves one fresh row. Result: the number of rows removed.
  int32_t RemoveRows(int32_t FirstRow, int32_t LastRow);
  // Columns (rows) of the range that have (marked) or lack (unmarked) a state sharing a bit
  // with CSMask; -1 for a bound outside. Result: the number removed.
  int32_t RemoveMarkedColumns(int32_t FirstCol, int32_t LastCol, uint8_t CSMask);
  // Removes the columns of the range that lack a state sharing a bit with CSMask.
  int32_t RemoveUnmarkedColumns(int32_t FirstCol, int32_t LastCol, uint8_t CSMask);
  // The row forms of the two above.
  int32_t RemoveMarkedRows(int32_t FirstRow, int32_t LastRow, uint8_t CSMask);
  // Removes the rows of the range that lack a state sharing a bit with CSMask.
  int32_t RemoveUnmarkedRows(int32_t FirstRow, int32_t LastRow, uint8_t CSMask);

  // ---- Rearranging (indices outside the table: nothing happens) ----
  // Exchanges values, states, names, attributes and variable types of two columns.
  void ExchangeColumns(int32_t C1, int32_t C2);
  // Exchanges values, states, names and attributes of two rows.
  void ExchangeRows(int32_t R1, int32_t R2);
  // Reverses the order of the columns (rows) with everything they carry.
  void MirrorColumns();
  // Reverses the order of the rows with everything they carry.
  void MirrorRows();

  // ---- Cell states in bulk (each fires OnChangeCellState once) ----
  // Every state becomes State.
  void SetAllCellStates(uint8_t State);
  // Combines the block's states with State by LogicOp (loAND .. loXORNOT); other ops: no change.
  void SetCellStates(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                     uint8_t State, TLogicOp LogicOp);
  // Clears both markings (bits 6 and 7).
  void UnmarkAllCells();
  // Every state is XORed with StateMask.
  void InvertCellStates(uint8_t StateMask);
  // Swaps bits 6 and 7 of every state.
  void ExchangeMarkings();
  // True when a state of the row (column, block) shares a bit with State.
  bool IfRowHasCellState(int32_t Row, uint8_t State) const;
  // True when a state of column Col shares a bit with State.
  bool IfColHasCellState(int32_t Col, uint8_t State) const;
  // True when a state of the block shares a bit with State.
  bool IfAnyCellHasCellState(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                             uint8_t State) const;
  // Cells whose state shares a bit with StateMask.
  int32_t CountMarkedCellsInRow(int32_t Row, uint8_t StateMask) const;
  // Cells of column Col whose state shares a bit with StateMask.
  int32_t CountMarkedCellsInColumn(int32_t Col, uint8_t StateMask) const;
  // Writes Value into those cells; OnChange once when any was written. Result: the count.
  int32_t FillMarkedCells(double Value, uint8_t StateMask);

  // ---- Copying between tables ----
  // Copies everything including the handlers; the matrix stays this table's (and reports to
  // it). Fires nothing.
  void Assign(const TPersistent* Source) override;
  // Into another table: that table's Assign.
  void AssignTo(TPersistent* Dest) const override;
  // Takes over shape, names, attributes, variable types, comment, states and values (read
  // through Elem, so categorical values arrive rounded).
  void Clone(const TDataTable* ExtTab);
  // The same as Clone.
  void CopyContentsFrom(const TDataTable* ExtTab) { Clone(ExtTab); }
  // Values (through Elem) and states of a source block to DestCol, DestRow; bounds clamp to
  // the source. The table itself may be the source.
  void CopyFrom(const TDataTable* ExtTab, int32_t SourceColLo, int32_t SourceRowLo,
                int32_t SourceColHi, int32_t SourceRowHi, int32_t DestCol, int32_t DestRow);
  // A whole column with its name, attribute and variable type. 0; -4 no table; -1 bad SrcCol;
  // -2 bad DestCol; -3 different row counts (the common rows are still copied).
  int32_t CopyColumnFrom(const TDataTable* ExtTab, int32_t SrcCol, int32_t DestCol);
  // False (nothing copied) without a table or for different counts.
  bool CopyCellStatesFrom(const TDataTable* ExtTab);
  // Makes a caller's matrix the store (it must outlive the table or be replaced first); the
  // table takes its counts and every column becomes stInterval. False for nullptr.
  bool AssignAnotherDataMatrix(TMatrix* NewDMat);

  // ---- Copying to arrays and vectors (ranged forms: (0, 0) is all rows/columns; bounds are
  // checked, not clipped; values read through Elem) ----
  // 0; -1 bad Col; -2 bad row bound; -3 bad DestElem; -4 empty Dest. Dest is not resized.
  int32_t CopyDataColumnToArray(TDoubleArray& Dest, int32_t Col, int32_t FirstRow, int32_t LastRow,
                                int32_t DestElem) const;
  int32_t CopyDataColumnToArray(TIntArray& Dest, int32_t Col, int32_t FirstRow, int32_t LastRow,
                                int32_t DestElem) const;
  // Row Row, FirstCol..LastCol into Dest from DestElem; codes as for the column form.
  int32_t CopyDataRowToArray(TDoubleArray& Dest, int32_t Row, int32_t FirstCol, int32_t LastCol,
                             int32_t DestElem) const;
  // As above, rounded to integers (halves to even).
  int32_t CopyDataRowToArray(TIntArray& Dest, int32_t Row, int32_t FirstCol, int32_t LastCol,
                             int32_t DestElem) const;
  // As the array forms; DestElem in 1..element count; -4 for an absent vector.
  int32_t CopyDataColumnToVector(TVector* Dest, int32_t Col, int32_t FirstRow, int32_t LastRow,
                                 int32_t DestElem) const;
  int32_t CopyDataColumnToVector(TIntVector* Dest, int32_t Col, int32_t FirstRow, int32_t LastRow,
                                 int32_t DestElem) const;
  // Row Row, FirstCol..LastCol into Dest from DestElem (integer form rounds halves to even).
  int32_t CopyDataRowToVector(TVector* Dest, int32_t Row, int32_t FirstCol, int32_t LastCol,
                              int32_t DestElem) const;
  // Integer form of the row copy; values rounded halves to even.
  int32_t CopyDataRowToVector(TIntVector* Dest, int32_t Row, int32_t FirstCol, int32_t LastCol,
                              int32_t DestElem) const;
  // The whole column (row), raw values; Dest is resized. 0; -1 bad index; -4 absent vector.
  int32_t CopyDataColumnToArray(int32_t Col, TDoubleArray& Dest) const;
  // The whole row Row, raw values; Dest is resized.
  int32_t CopyDataRowToArray(int32_t Row, TDoubleArray& Dest) const;
  // The whole column Col into Dest, resized to the row count.
  int32_t CopyDataColumnToVector(int32_t Col, TVector* Dest) const;
  // The whole row Row into Dest, resized to the column count.
  int32_t CopyDataRowToVector(int32_t Row, TVector* Dest) const;
  // Every Step-th raw value from the first bound to the second into DstVec. The count taken;
  // -1 bad index; -2 bad bound; -3 Step below 1.
  int32_t SliceCol(int32_t Col, int32_t FirstRow, int32_t LastRow, int32_t Step,
                   TDoubleArray& DstVec) const;
  // The row form of SliceCol, FirstCol..LastCol of row Row.
  int32_t SliceRow(int32_t Row, int32_t FirstCol, int32_t LastCol, int32_t Step,
                   TDoubleArray& DstVec) const;
  // Raw values of the block's valid cells (bits 0 and 1 clear) whose state shares a bit with
  // State (255: every valid cell), column by column. The count taken (DestVect is resized to
  // it unless 0); -1 for an absent vector.
  int32_t CopyCellsToVector(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                            uint8_t State, TVector* DestVect) const;
  // The block under the range rule into Dest at DestCol, DestRow (1-based), cut to fit, raw.
  // 0; -1 no matrix; -2 (-3) when the column (row) rule moved a bound; -4 bad destination.
  int32_t CopyDataToMatrix(TMatrix* Dest, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                           int32_t SrcRowHi, int32_t DestCol, int32_t DestRow) const;
  // As CopyDataToMatrix into a [column][row] array with 0-based DestCol, DestRow; -1 empty.
  int32_t CopyDataToArray(TDouble2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo,
                          int32_t SrcColHi, int32_t SrcRowHi, int32_t DestCol,
                          int32_t DestRow) const;
  int32_t CopyDataToArray(TInt2DArray& Dest, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                          int32_t SrcRowHi, int32_t DestCol, int32_t DestRow) const;
  // All raw values as [column][row]; -1 when Dest is empty on entry.
  int32_t DuplicateDataAsArray(TDouble2DArray& Dest) const;

  // ---- Copying into the table ----
  // min(count, length) raw values into the column (row) from cell 1; OnChange per cell. 0;
  // -1 bad index; -4 absent vector.
  int32_t CopyDataColumnFromArray(int32_t Col, const TDoubleArray& SrcArray);
  // The row form: into row Row from cell 1.
  int32_t CopyDataRowFromArray(int32_t Row, const TDoubleArray& SrcArray);
  // min(count, length) raw values of SrcVec into column Col from cell 1.
  int32_t CopyDataColumnFromVector(int32_t Col, const TVector* SrcVec);
  // min(count, length) raw values of SrcVec into row Row from cell 1.
  int32_t CopyDataRowFromVector(int32_t Row, const TVector* SrcVec);
  // Elements FirstElem..LastElem ((0, 0): all) down column Col from Row (AsColumn) or along
  // row Row from Col; beyond the table skipped; OnChange once. 0; -1 empty; -4 bad bound;
  // -5 (Col, Row) outside.
  int32_t CopyDataFromArray(const TDoubleArray& Src, int32_t FirstElem, int32_t LastElem,
                            int32_t Col, int32_t Row, bool AsColumn);
  int32_t CopyDataFromArray(const TIntArray& Src, int32_t FirstElem, int32_t LastElem, int32_t Col,
                            int32_t Row, bool AsColumn);
  // As above with 1-based element bounds; -1 for an absent vector.
  int32_t CopyDataFromVector(const TVector* Src, int32_t FirstElem, int32_t LastElem, int32_t Col,
                             int32_t Row, bool AsColumn);
  int32_t CopyDataFromVector(const TIntVector* Src, int32_t FirstElem, int32_t LastElem,
                             int32_t Col, int32_t Row, bool AsColumn);
  // A matrix block (its own range rule) to (DstCol, DstRow); beyond skipped; OnChange once.
  // 0; -1 no matrix or destination outside.
  int32_t CopyDataFromMatrix(const TMatrix* MatSrc, int32_t SrcColLo, int32_t SrcRowLo,
                             int32_t SrcColHi, int32_t SrcRowHi, int32_t DstCol, int32_t DstRow);
  // A [column][row] block (0-based bounds, (0, 0): all; not exchanged) to (Col, Row). 0; -1
  // empty; -2 bad column bound; -3 bad row bound; -5 (Col, Row) outside.
  int32_t CopyDataFromArray(const TDouble2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo,
                            int32_t SrcColHi, int32_t SrcRowHi, int32_t Col, int32_t Row);
  int32_t CopyDataFromArray(const TInt2DArray& Src, int32_t SrcColLo, int32_t SrcRowLo,
                            int32_t SrcColHi, int32_t SrcRowHi, int32_t Col, int32_t Row);

  // ---- ASC and CSV text (datatable_asc.cpp, datatable_csv.cpp; layouts, codes and
  // OnExportText in docs/text-formats.md) ----
  /// Writes the whole table in the ASC layout (values by strff with Precision decimals, or the
  /// shortest exact form for Precision < 0): 0, or -1 when the file cannot be written.
  int32_t ExportAsASC(const std::string& FName, int32_t Precision) const;
  /// ExportAsASC followed by CustData's lines.
  int32_t ExportAsASC(const std::string& FName, int32_t Precision,
                      const TStr2DArray& CustData) const;
  /// Writes the ASC text at the stream's position: 0, or -1 when the stream took less.
  int32_t ExportAsASC(TStream& OutStream, int32_t Precision) const;
  /// Writes the ASC text to an open text stream: 0, or -1 when the stream failed.
  int32_t ExportAsASC(std::ostream& Out, int32_t Precision) const;
  /// Replaces the table by an ASC file (TASCResult; on failure the table is unchanged).
  int32_t ImportASC(const std::string& FName);
  /// ImportASC that also returns the custom data lines.
  int32_t ImportASC(const std::string& FName, TStr2DArray& CustData);
  /// ImportASC from the stream's position to its end.
  int32_t ImportASC(TStream& InStream);
  /// ImportASC from the clipboard's text.
  int32_t ImportASC(const TClipboard& ClipBd);
  /// Places an ASC file with its first cell at column PosX, row PosY, growing the table as
  /// needed; ReplaceIDs decides whether the file's nominal identifiers replace a column's or
  /// are merged into them (TASCResult, or -11 for a position below 1).
  int32_t ReadFromASC(const std::string& FName, int32_t PosX, int32_t PosY, bool ReplaceIDs);
  /// ReadFromASC from the stream's position to its end.
  int32_t ReadFromASC(TStream& InStream, int32_t PosX, int32_t PosY, bool ReplaceIDs);
  /// ReadFromASC from the clipboard's text.
  int32_t ReadFromASC(const TClipboard& ClipBd, int32_t PosX, int32_t PosY, bool ReplaceIDs);
  /// Writes the table as CSV: 0, or -1 when the file cannot be written.
  int32_t ExportAsCSV(const std::string& FName, int32_t Precision, TCSVDelimiters Delimiter,
                      bool IncludeColHeaders, bool IncludeRowHeaders,
                      bool IncludeRowAttributes = false, bool IncludeComment = false) const;
  /// Replaces the table by a CSV file (result codes in docs/text-formats.md).
  int32_t ImportFromCSV(const std::string& FName, TCSVDelimiters Delimiter, bool IncludeColHeaders,
                        bool IncludeRowHeaders);
  /// ImportFromCSV that skips NLinesSkip records first and stops after record LastImportLine
  /// (counted from the file's start; 0 or less: to the end).
  int32_t ImportFromCSV(const std::string& FName, TCSVDelimiters Delimiter, int32_t NLinesSkip,
                        int32_t LastImportLine, bool IncludeColHeaders, bool IncludeRowHeaders);

 private:
  // The ASC text of the columns Cols and rows Rows (1-based lists, in that order; nullptr: all).
  std::string ASCText(int32_t Precision, const TStr2DArray* CustData, const std::string& Origin,
                      const TIntArray* Cols = nullptr, const TIntArray* Rows = nullptr) const;
  int32_t ImportASCText(std::string& Text, TStr2DArray* CustData);
  int32_t ReadFromASCText(std::string& Text, int32_t PosX, int32_t PosY, bool ReplaceIDs);

 public:
  // ---- Reshaping and identity ----
  // One row per cell: optional column label, optional column and row indices, then the value
  // with its state. False (nothing changed) when the result would exceed 2^31 - 1 rows.
  bool Serialize(bool ColHeadsAsVar, bool IncludeColRowNumbers);
  // 64 hex digits over comment, names, attributes, scale types and identifiers.
  std::string CRCofNamesAndAttributes() const;
  // 64 hex digits over the state bytes.
  std::string CRCofCellStates() const;

  // ---- Analysis (blocks follow the range rule). A valid cell has bits 0 and 1 of its state
  // clear; a numeric cell is a valid cell of an interval or ratio column; a marked cell for a
  // mask is a numeric cell whose state shares one of bits 2..7 with the mask. NaN values make
  // sums and moments NaN; order statistics and extremes leave them out (docs/datatable.md) ----
  // Numeric cells of the block.
  int32_t CountNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  // Valid cells of the block, any column.
  int32_t CountValidCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  // Cells of the block with the empty bit (1) set.
  int32_t CountEmptyCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  // Cells of the block with the imputed bit (5) set.
  int32_t CountImputedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow) const;
  // Sum of the numeric cells; NumData their count (0 and 0 for none).
  double SumOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                       int32_t& NumData) const;
  // Sum of the squared numeric cells; NumData their count.
  double SumOfSquaredNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                              int32_t& NumData) const;
  // Sum of the cells marked by Mask; NumData their count.
  double SumOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                          uint8_t Mask, int32_t& NumData) const;
  // Sum of the squared cells marked by Mask; NumData their count.
  double SumOfSquaredMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                                 uint8_t Mask, int32_t& NumData) const;
  // Extremes of the numeric cells; the count used. Without one: uc_MaxReal and -uc_MaxReal.
  int32_t MinMaxOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                           double& Minimum, double& Maximum) const;
  // Extremes of the valid cells (any column) whose state shares one of bits 2..7 with Mask.
  int32_t MinMaxOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                              uint8_t Mask, double& Minimum, double& Maximum) const;
  // Extremes of the valid cells of any column; categorical values rounded (halves to even).
  int32_t MinMaxOfValidCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                             double& Minimum, double& Maximum) const;
  // Mean and sample variance of the numeric cells (variance 1 below 3 cells); the count.
  int32_t MeanVarOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                            double& Mean, double& Variance) const;
  // Mean and sample variance of the cells marked by Mask; the count.
  int32_t MeanVarOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                               uint8_t Mask, double& Mean, double& Variance) const;
  // exp(mean log) of the non-zero numeric cells (NumData counts them); any zero gives 0, no
  // cell 0. A negative cell raises ENUXMatrixError.
  double GeometricMeanOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                                 int32_t& NumData) const;
  // n / sum(1/x) over the numeric cells, 0 for none; a cell <= 0 raises ENUXMatrixError.
  double HarmonicMeanOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                                int32_t& NumData) const;
  // Quartiles of the numeric cells at positions (n + 1) p; all 0 for none. Always true.
  bool QuartilesOfNumCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                           double& Q1, double& Q2, double& Q3, int32_t& NumData) const;
  // Quartiles of the cells marked by Mask.
  bool QuartilesOfMarkedCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                              double& Q1, double& Q2, double& Q3, uint8_t Mask,
                              int32_t& NumData) const;
  // Percentile Prob (percent, clipped to 0..100, NaN as 0) of the numeric cells, interpolated
  // at (n - 1) Prob / 100; 0 for none.
  double PercentileOfNumCells(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                              int32_t HighRow, int32_t& NumData) const;
  // Percentile Prob of the cells marked by Mask.
  double PercentileOfMarkedCells(double Prob, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                 int32_t HighRow, uint8_t Mask, int32_t& NumData) const;
  // Numeric cells of each metric column become (x - mean) / sd where the variance is positive;
  // Means and StdDevs (optional) receive them by column number. OnChange once if any changed.
  void StandardizeNumCellColumns(TVector* Means, TVector* StdDevs);
  // Valid cells of each row become (x - mean) / sd of the row's numeric cells; raises
  // ENUXDataTableError before changing anything when a column is categorical.
  void StandardizeNumCellRows(TVector* Means, TVector* StdDevs);
  // Numeric cells of each metric column minus the column mean; Means (optional) receives it.
  void MeanCenterNumCellColumns(TVector* Means);
  // Valid cells of each row minus the mean of its numeric cells; raises as the row form above.
  void MeanCenterNumCellRows(TVector* Means);
  // Cross products (Mode 0), covariances (1), correlations (2), squared correlations (3) or
  // mean squared differences (4) of columns LoC..HiC over rows LoR..HiR into the leading
  // n x n of CovarMat. False for an absent or too small matrix, bounds outside the table or
  // reversed, a Mode outside 0..4, or an abort through AbortMathProc.
  bool CalcCovar(TMatrix* CovarMat, int32_t LoC, int32_t HiC, int32_t LoR, int32_t HiR,
                 int32_t Mode);
  // True when every raw value of the column equals the first (ConstVal); false for a bad index
  // or a NaN.
  bool IsConstantColumn(int32_t ColIx, double& ConstVal) const;
  // True when every raw value of column ColIx is the same (no NaN).
  bool IsConstantColumn(int32_t ColIx) const;
  // The row form of IsConstantColumn.
  bool IsConstantRow(int32_t RowIx, double& ConstVal) const;
  // True when every raw value of row RowIx is the same (no NaN).
  bool IsConstantRow(int32_t RowIx) const;
  // True when the column holds exactly two distinct raw values, V1 < V2; false (0, 0 or the
  // values seen) for a bad index, a single row, a NaN or another count of values.
  bool CheckDichotomousColumn(int32_t Col, double& V1, double& V2) const;
  // CheckDichotomousColumn without outputs.
  bool IsDichotomousColumn(int32_t ColIx) const;
  // Numbers of the nominal and ordinal columns, ascending.
  TIntArray ListOfCategorialVars() const;
  // 151 counts of the ordinals 0..150 of a categorical column over the row range; the result
  // counts values outside (NaN included). -1 bad column; 0 (OrdList untouched) metric column.
  int32_t ScanForCatValues(int32_t ACol, int32_t LowRow, int32_t HighRow, TIntArray& OrdList) const;
  // Counts of the ordinal pairs 1..A x 1..B of two categorical columns at [a-1][b-1], with row
  // sums, column sums and total in a last row and column. 0; -1 bad column; -2 column not
  // categorical; -3 when a value (ordinal 0 included) lay outside 1..150.
  int32_t CreateContingencyTable(int32_t Col1, int32_t Col2, int32_t LowRow, int32_t HighRow,
                                 TInt2DArray& ContTab) const;
  // Cells of the block whose raw value passes CompareOp, column by column, as [0] columns and
  // [1] rows. The count; -1 bad CompareOp; -2 more than MaxFoundCells hits (the first kept).
  int32_t FindCells(double Limit, double Limit2, TCompareMode CompareOp, int32_t LowCol,
                    int32_t LowRow, int32_t HighCol, int32_t HighRow, TInt2DArray& CellList) const;
  // The first column whose name equals ColID, both trimmed and upper-cased; 0 if none.
  int32_t FindColIndex(std::string_view ColID) const;
  // The first row whose name equals RowID, both trimmed and upper-cased; 0 if none.
  int32_t FindRowIndex(std::string_view RowID) const;
  // Sorts whole rows of the block by column SortColIx through the matrix; states (and with
  // IncludeHeaders, which is kept as SortIncludeHd, names and attributes) move along.
  void SortRows(int32_t SortColIx, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                int32_t HighRow, bool IncludeHeaders);
  // Sorts whole columns of the block by row SortRowIx, as SortRows does rows.
  void SortCols(int32_t SortRowIx, bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                int32_t HighRow, bool IncludeHeaders);
  // Comb sort of the block's rows by name (bytes, or ASCII case folded), moving names,
  // attributes, values and states; OnSortExchange per exchange, then OnChange, OnChangeNames.
  void SortRowNames(bool Ascending, bool IgnoreCase, int32_t LowCol, int32_t LowRow,
                    int32_t HighCol, int32_t HighRow);
  // SortRowNames with case.
  void SortRowNames(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow);
  // The column form of SortRowNames; variable types move too.
  void SortColNames(bool Ascending, bool IgnoreCase, int32_t LowCol, int32_t LowRow,
                    int32_t HighCol, int32_t HighRow);
  // SortColNames with case.
  void SortColNames(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                    int32_t HighRow);
  // Sorts the block's rows by attribute as SortRowNames does by name; then OnChangeAttrib.
  void SortRowAttributes(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                         int32_t HighRow);
  // Sorts the block's columns by attribute.
  void SortColAttributes(bool Ascending, int32_t LowCol, int32_t LowRow, int32_t HighCol,
                         int32_t HighRow);
  // The largest row attribute of the range; Row the first row holding it.
  int32_t MaxRowAttrib(int32_t FirstRow, int32_t LastRow, int32_t& Row) const;
  // The smallest row attribute of the range; Row the first row holding it.
  int32_t MinRowAttrib(int32_t FirstRow, int32_t LastRow, int32_t& Row) const;
  // The largest column attribute of the range; Col the first column holding it.
  int32_t MaxColAttrib(int32_t FirstCol, int32_t LastCol, int32_t& Col) const;
  // The smallest column attribute of the range; Col the first column holding it.
  int32_t MinColAttrib(int32_t FirstCol, int32_t LastCol, int32_t& Col) const;
  // Distinct row attributes among 0..255 (others are not counted).
  int32_t RowAttribLevels() const;
  // Distinct column attributes among 0..255 (others are not counted).
  int32_t ColAttribLevels() const;
  // The highest scale type of the column range, never below stNominal.
  TMScaleType FindHighestMLevel(int32_t FirstCol, int32_t LastCol) const;
  // The lowest scale type of the column range, never above stRatio.
  TMScaleType FindLowestMLevel(int32_t FirstCol, int32_t LastCol) const;

  // ---- Splitting into files (datatable_split.cpp; rules in docs/datatable.md) ----
  // The number of lines (columns for splitColumns, else rows) of each file SplitDataSet would
  // write, in file order: SplitSize parts; splitTstTrn gives test, training for the first
  // fold or, with CreateAllPairs, for each of the SplitSize folds. 0; -1 SplitSize outside
  // 1..lines (2..lines for splitTstTrn); -2 unknown SplitMode. DataCnts is empty on failure.
  int32_t PrepareSplitCounts(TDataSetSplitMode SplitMode, int32_t SplitSize, bool CreateAllPairs,
                             TIntArray& DataCnts) const;
  // Writes the parts PrepareSplitCounts counts as ASC files (shortest exact values), named from
  // FNameTemplate, lines chosen by SelMode (selmRandSel through the process-wide generator).
  // FileNames receives the names written. 0; -1, -2 as PrepareSplitCounts; -3 unknown SelMode
  // or empty FNameTemplate; -4 a file exists and AllowOverWrite is false (nothing written);
  // -5 a file could not be written (FileNames lists those written before it).
  int32_t SplitDataSet(TDataSetSplitMode SplitMode, TDataSelMode SelMode, int32_t SplitSize,
                       bool CreateAllPairs, const std::string& FNameTemplate, bool AllowOverWrite,
                       TStrArray& FileNames) const;
  // XML
  // Writes the table as one "datatable" element (attribute dataid: DataID, UTF-8 cut to 255
  // bytes on a character boundary), the XML declaration first when CreateHeader; values with
  // Precision significant digits (xmlFullPrecision: exactly, NaN and infinities included).
  // xrOK or xrCannotWrite (layout in docs/matrix-xml.md).
  int32_t WriteToOpenXMLFile(std::ostream& Out, bool CreateHeader, int32_t Precision,
                             const std::string& DataID) const;
  // The same into a stream, at its position.
  int32_t WriteToXMLStream(TStream& OutStream, bool CreateHeader, int32_t Precision,
                           const std::string& DataID) const;
  // A whole document in file FName, written atomically (an existing file survives a failure).
  int32_t SaveAsXMLFile(const std::string& FName, int32_t Precision,
                        const std::string& DataID) const;
  // Reads the first "datatable" element whose dataid is DataID (any for an empty DataID) at or
  // after byte StartAt (1-based) of InString and moves StartAt behind the element holding it.
  // Cells the document does not list are 0 with state 0. TXmlResult codes; on a failure the
  // table (and StartAt) are unchanged.
  int32_t ReadFromXMLString(std::string_view InString, int64_t& StartAt, const std::string& DataID);
  // The same from the stream's position, which moves behind the element.
  int32_t ReadFromXMLStream(TStream& InStream, const std::string& DataID);
  // The same from an open text file (a seekable stream).
  int32_t ReadFromOpenXMLFile(std::istream& In, const std::string& DataID);
  // The same from file FName.
  int32_t LoadFromXMLFile(const std::string& FName, const std::string& DataID);
  // Applies one element: Attributes its attribute text, Content its text, Context the name of
  // the element holding it (which list a "col" or "row" belongs to), Counter the column of the
  // "vardef" holding an "idf". Indices outside the table are ignored, malformed numbers read as
  // 0. 0; 1 for "/datatable"; -1 an unknown element; -3 a size beyond MaxXmlMatrixCells or
  // memory; -5 a size that is not positive.
  int32_t ProcessXmlTag(TDTxmlTags Tag, std::string_view Attributes, std::string_view Content,
                        std::string_view Context, int32_t Counter);
  friend class datatable_detail::TXmlReader;

 private:
  struct TLayout;
  class TMatrixMute;

  bool ValidCell(int32_t C, int32_t R) const {
    return C >= 1 && C <= FNrOfCols && R >= 1 && R <= FNrOfRows;
  }
  size_t StateIx(int32_t C, int32_t R) const {
    return size_t(C - 1) * size_t(FNrOfRows) + size_t(R - 1);
  }
  double RawVal(int32_t C, int32_t R) const { return FMat->GetVal(C, R); }
  // Refuses (ENUXDataTableError) a shape whose arrays could never be allocated.
  void CheckShape(int64_t Nc, int64_t Nr, uint64_t CellBytes) const;
  void AttachMatrix();
  void DetachMatrix();
  void FireResize(int32_t OldCols, int32_t OldRows);
  // The events of a structural change, in the order its items would report one by one.
  enum TMoveKind { mkInsert, mkRemoveOne, mkRemoveBlock };
  void FireStructureEvents(int32_t OldCols, int32_t OldRows, TMoveKind Kind);
  // A new shape whose column (row) k takes over the old one ColMap[k-1] (RowMap), or a fresh
  // one for 0; fresh items get default names (C-k, R-k) or empty ones.
  TLayout MapLayout(const TIntArray& ColMap, const TIntArray& RowMap, bool DefaultNames,
                    bool MoveValues) const;
  // Puts a prepared layout in place: resizes the matrix, writes the values (freeing the
  // layout's columns as it goes), swaps the arrays.
  void Install(TLayout& L);
  int32_t RemoveSelected(bool Columns, int32_t First, int32_t Last, uint8_t CSMask, bool Marked);
  int32_t RemoveByMap(bool Columns, const TIntArray& Keep, TMoveKind Kind);
  template <class F>
  void ForStates(F&& Op);
  template <class TArr>
  int32_t LineToArray(TArr& Dest, bool Column, int32_t Line, int32_t First, int32_t Last,
                      int32_t DestElem) const;
  template <class TVec>
  int32_t LineToVector(TVec* Dest, bool Column, int32_t Line, int32_t First, int32_t Last,
                       int32_t DestElem) const;
  int32_t Slice(bool Column, int32_t Line, int32_t First, int32_t Last, int32_t Step,
                TDoubleArray& Dst) const;
  int32_t LineFromValues(bool Column, int32_t Line, const double* Values, size_t Count);
  template <class TArr>
  int32_t ArrayToCells(const TArr& Src, int32_t FirstElem, int32_t LastElem, int32_t Col,
                       int32_t Row, bool AsColumn);
  template <class TVec>
  int32_t VectorToCells(const TVec* Src, int32_t FirstElem, int32_t LastElem, int32_t Col,
                        int32_t Row, bool AsColumn);
  template <class T2D>
  int32_t Array2DToCells(const T2D& Src, int32_t SrcColLo, int32_t SrcRowLo, int32_t SrcColHi,
                         int32_t SrcRowHi, int32_t Col, int32_t Row);
  TMScaleType HighestScaleOfColumns() const;
  bool IsMetricCol(int32_t C) const { return FVType[size_t(C - 1)].MScaleType >= stInterval; }
  // Calls Visit(raw value) for the cells of the block that Take(column, state) accepts,
  // column by column; the block follows the range rule.
  template <class Pred, class F>
  void VisitCells(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow, Pred&& Take,
                  F&& Visit) const;
  TDoubleArray NumValues(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                         uint8_t Mask, bool Marked) const;
  template <class OutOfOrder, class SwapKeys>
  void CombSortLines(bool Columns, int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                     OutOfOrder&& NeedsSwap, SwapKeys&& SwapKey);

  std::string FComment;
  TIntArray FRowAtt, FColAtt;
  std::vector<TVTypeSpec> FVType;
  std::vector<uint8_t> FCState;  // column by column
  TStrArray FColName, FRowName;
  int32_t FNrOfCols = 0;
  int32_t FNrOfRows = 0;
  bool FSortIncludeHd = false;
  bool FExtMatAssigned = false;
  std::unique_ptr<TMatrix> FOwnMat;
  TMatrix* FMat = nullptr;
};

}  // namespace nux
