#include "nux/datatable/datatable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "support/alloc_limit.h"

namespace nux {
namespace {

using Strings = std::vector<std::string>;

// Records every event of a table by name; resize events with their counts.
struct TLog {
  Strings E;
  TObject* LastSender = nullptr;
  void Attach(TDataTable& T) {
    const auto Rec = [this](const char* Name) {
      return [this, Name](TObject* S) {
        E.push_back(Name);
        LastSender = S;
      };
    };
    T.OnChange = Rec("data");
    T.OnChangeSetup = Rec("setup");
    T.OnChangeNames = Rec("names");
    T.OnChangeCellState = Rec("states");
    T.OnChangeAttrib = Rec("attrib");
    T.OnResize = [this](TObject*, int32_t OC, int32_t OR, int32_t NC, int32_t NR) {
      E.push_back("resize " + std::to_string(OC) + "x" + std::to_string(OR) + ">" +
                  std::to_string(NC) + "x" + std::to_string(NR));
    };
  }
  Strings Take() { return std::exchange(E, {}); }
};

// A 3 x 4 table: value 10c + r, state c*16 + r, names, attributes; column 2 nominal with
// identifiers "a" and "b" and a raw value 2.6 in row 1.
void Fill(TDataTable& T) {
  T.Resize(3, 4);
  for (int32_t C = 1; C <= 3; ++C) {
    T.SetColName(C, "col" + std::to_string(C));
    T.SetColAttrib(C, 100 + C);
    for (int32_t R = 1; R <= 4; ++R) {
      T.SetElem(C, R, 10 * C + R);
      T.SetCellState(C, R, uint8_t(C * 16 + R));
    }
  }
  for (int32_t R = 1; R <= 4; ++R) {
    T.SetRowName(R, "row" + std::to_string(R));
    T.SetRowAttrib(R, R);
  }
  T.AddNominalID(2, "a");
  T.AddNominalID(2, "b");
  T.SetElem(2, 1, 2.6);
}

// Structural invariants every operation must keep.
void ExpectConsistent(const TDataTable& T) {
  ASSERT_GE(T.NrOfColumns(), 1);
  ASSERT_GE(T.NrOfRows(), 1);
  EXPECT_EQ(T.NumericData()->NrOfColumns(), T.NrOfColumns());
  EXPECT_EQ(T.NumericData()->NrOfRows(), T.NrOfRows());
  EXPECT_NE(T.VTypeSpec(T.NrOfColumns()), nullptr);
  EXPECT_EQ(T.VTypeSpec(T.NrOfColumns() + 1), nullptr);
  EXPECT_EQ(T.CRCofCellStates().size(), 64u);
}

TEST(DataTable, NewTableSizingAndNames) {
  TDataTable T;
  EXPECT_EQ(T.Elem(1, 1), 0.0);
  EXPECT_EQ(T.ColName(1), "C-1");
  EXPECT_EQ(T.RowName(1), "R-1");
  EXPECT_EQ(T.MScaleType(1), stInterval);
  EXPECT_EQ(T.MScaleType(2), stUnknown);
  EXPECT_STREQ(MScaleTypeNames[stOrdinal], "Ordinal");
  // The checksum by hand: "C-1", attribute 0, "R-1", attribute 0 and scale byte 3 put
  // C,0,R,0,3 into register 1, "--" into 2 and "11" into 3 (crc32 of those byte strings).
  EXPECT_EQ(T.CRCofNamesAndAttributes(), "000000002F407EE0242C1465D65A1577" + std::string(32, '0'));
  EXPECT_EQ(T.CRCofCellStates(), "00000000D202EF8D" + std::string(48, '0'));

  TLog Log;
  Log.Attach(T);
  T.SetNrOfColumns(2);
  T.SetColName(2, "x");
  Log.Take();
  T.Resize(4, 1);
  EXPECT_EQ(Log.Take(), Strings{"resize 2x1>4x1"});
  EXPECT_EQ((Strings{T.ColName(1), T.ColName(2), T.ColName(3), T.ColName(4)}),
            (Strings{"C-1", "x", "C-3", "C-4"}));
  T.InsertColumn(2);
  EXPECT_EQ((Strings{T.ColName(2), T.ColName(3)}), (Strings{"", "x"}));
  // A table never reaches 0 rows or columns.
  T.Resize(0, -5);
  EXPECT_EQ(T.NrOfColumns(), 1);
  EXPECT_EQ(T.NrOfRows(), 1);
  ExpectConsistent(T);
  // Names count characters, never bytes, and are not cut inside one.
  const std::string Long = std::string(48, 'a') + "\xC3\xA4\xC3\xB6\xC3\xBC";
  T.SetRowName(1, Long);
  EXPECT_EQ(T.RowName(1), std::string(48, 'a') + "\xC3\xA4\xC3\xB6");
  EXPECT_EQ(T.MaxRowNameLength(), 50);
  T.SetComment("line\none\t!");
  EXPECT_EQ(T.Comment(), "lineone!");
}

TEST(DataTable, CategoricalCellsAndIdentifiers) {
  TDataTable T;
  T.SetName("T");
  T.Resize(2, 6);
  T.SetMScaleType(1, stNominal);
  for (const auto& [V, R] : {std::pair{2.6, 1}, {2.5, 2}, {200.0, 3}, {-1.0, 4}})
    T.SetElem(1, R, V);
  T.SetElem(1, 5, std::numeric_limits<double>::quiet_NaN());
  T.SetElem(1, 6, std::numeric_limits<double>::infinity());
  T.SetElem(2, 1, 2.5);
  EXPECT_EQ(T.Elem(1, 1), 3.0);
  EXPECT_EQ(T.Elem(1, 2), 2.0);
  EXPECT_EQ(T.Elem(2, 1), 2.5);
  EXPECT_EQ(T.Elem(0, 1), 0.0);
  EXPECT_EQ(T.ElemNominal(1, 3), "200");
  EXPECT_EQ(T.ElemNominal(1, 4), "-1");
  EXPECT_EQ(T.ElemNominal(1, 5), "-1");  // NaN names no identifier
  EXPECT_EQ(T.ElemNominal(1, 6), "2147483647");
  EXPECT_EQ(T.ElemNominal(2, 1), "");

  // 14 characters (two of them two-byte) keep their first 10; other case reuses the ordinal.
  T.SetElemNominal(1, 1, "\xC3\x84pfelBirnen12");
  EXPECT_EQ(T.NominalID(1, 0), "\xC3\x84pfelBirne");
  T.SetElemNominal(1, 2, "\xC3\x84PFELbirne");
  EXPECT_EQ(T.Elem(1, 2), 0.0);
  EXPECT_EQ(T.CountNominalIDs(1), 1);
  TLog Log;
  Log.Attach(T);
  T.SetElemNominal(1, 3, "");  // no identifier: ignored
  EXPECT_TRUE(Log.Take().empty());
  EXPECT_EQ(T.AddNominalID(1, ""), -1);
  for (int32_t K = 1; K < MaxNominalIDs; ++K) {
    const std::string ID = std::to_string(K);
    T.SetElemNominal(1, 3, ID + "v");
  }
  EXPECT_EQ(T.CountNominalIDs(1), 151);
  EXPECT_EQ(T.AddNominalID(1, "new"), -1);
  try {
    T.SetElemNominal(1, 3, "one more");
    FAIL();
  } catch (const ENUXDataTableError& E) {
    EXPECT_STREQ(E.what(), "Component \"T\": number of available nominal values exceeded");
  }
  EXPECT_EQ(T.ElemNominal(1, 3), "150v");

  // Identifier rules by scale type.
  T.SetMScaleType(2, stOrdinal);
  EXPECT_EQ(T.AddNominalID(2, "x"), 0);
  EXPECT_EQ(T.MScaleType(2), stNominal);
  EXPECT_EQ(T.OrdinalOfNominalID(2, "X", false), -1);
  EXPECT_EQ(T.OrdinalOfNominalID(2, "X", true), 0);
  T.SetMScaleType(2, stRatio);
  Log.Take();
  T.SetNominalID(2, 1, "y");  // metric: stored nowhere, still reported
  EXPECT_EQ(Log.Take(), Strings{"setup"});
  EXPECT_EQ(T.CountNominalIDs(2), 1);
  T.SetNominalID(2, 0, "");  // freeing works on any column
  EXPECT_EQ(T.CountNominalIDs(2), 0);
}

TEST(DataTable, EventOrderOfTheMainOperations) {
  TDataTable T, Src;
  Fill(Src);
  TLog Log;
  Log.Attach(T);
  T.SetElem(1, 1, 5);
  T.SetCellState(1, 1, 0);  // unchanged byte: silent
  T.SetIsEmpty(1, 1, true);
  EXPECT_EQ(Log.Take(), (Strings{"data", "states", "data"}));
  T.Clone(&Src);
  EXPECT_EQ(Log.Take(), (Strings{"data", "states", "setup", "names", "attrib", "resize 1x1>3x4"}));
  T.InsertRow(2);
  EXPECT_EQ(Log.Take(), (Strings{"resize 3x4>3x5", "attrib", "names", "states", "setup"}));
  EXPECT_EQ(T.RemoveRows(2, 2), 1);
  EXPECT_EQ(Log.Take(), (Strings{"names", "attrib", "states", "resize 3x5>3x4", "setup"}));
  T.RemoveColumn(3);
  EXPECT_EQ(Log.Take(), (Strings{"attrib", "names", "states", "resize 3x4>2x4", "setup"}));
  T.InsertColumn(3);
  Log.Take();
  T.ExchangeColumns(1, 3);
  EXPECT_EQ(Log.Take(), (Strings{"data", "states", "attrib", "names", "setup"}));
  T.MirrorRows();
  EXPECT_EQ(Log.Take(), (Strings{"data", "states", "attrib", "names", "setup"}));
  T.Clear();
  EXPECT_EQ(Log.Take(), (Strings{"data", "names", "attrib", "states", "setup"}));
  T.CopyFrom(&Src, 1, 1, 2, 2, 1, 1);
  EXPECT_EQ(Log.Take(), (Strings{"data", "states"}));
  EXPECT_EQ(T.CopyDataFromArray(TDoubleArray{1, 2, 3}, 0, 0, 1, 1, true), 0);
  EXPECT_EQ(Log.Take(), Strings{"data"});
  EXPECT_EQ(T.CopyDataColumnFromArray(1, TDoubleArray{1, 2, 3}), 0);
  EXPECT_EQ(Log.Take(), (Strings{"data", "data", "data"}));
  TMatrix M;
  M.Resize(2, 2);
  T.AssignAnotherDataMatrix(&M);
  EXPECT_EQ(Log.Take(), (Strings{"resize 3x4>2x2", "data", "setup", "names", "attrib", "states"}));
  M.SetVal(1, 1, 7);  // the caller's matrix reports through the table
  EXPECT_EQ(Log.Take(), Strings{"data"});
  EXPECT_EQ(Log.LastSender, &T);
  T.Serialize(false, false);
  EXPECT_EQ(Log.Take(), (Strings{"resize 2x2>1x4", "setup"}));
  T.UnmarkAllCells();
  EXPECT_EQ(Log.Take(), Strings{"states"});
  EXPECT_EQ(T.FillMarkedCells(1, 0x80), 0);
  EXPECT_TRUE(Log.Take().empty());
}

TEST(DataTable, InsertingAndRemovingMoveEverythingUnchanged) {
  TDataTable T;
  Fill(T);
  T.InsertRow(2);
  ExpectConsistent(T);
  EXPECT_EQ(T.NrOfRows(), 5);
  EXPECT_EQ((Strings{T.RowName(1), T.RowName(2), T.RowName(3)}), (Strings{"row1", "", "row2"}));
  EXPECT_EQ(T.RowAttrib(3), 2);
  EXPECT_EQ(T.NumericData()->GetVal(2, 1), 2.6);  // raw value, not rounded by the move
  EXPECT_EQ(T.NumericData()->GetVal(3, 3), 32);
  EXPECT_EQ(T.CellState(3, 3), 3 * 16 + 2);
  EXPECT_EQ(T.CellState(3, 2), 0);
  EXPECT_TRUE(T.RemoveRow(2));
  EXPECT_EQ(T.RowName(2), "row2");

  // Removing the nominal column moves the metric column 3 into its place whole: no stale
  // identifiers follow it.
  EXPECT_TRUE(T.RemoveColumn(2));
  EXPECT_EQ(T.MScaleType(2), stInterval);
  EXPECT_EQ(T.CountNominalIDs(2), 0);
  EXPECT_EQ(T.ColName(2), "col3");
  EXPECT_EQ(T.ColAttrib(2), 103);
  T.InsertColumn(1);
  T.SetMScaleType(1, stNominal);
  T.SetNominalID(1, 4, "q");
  EXPECT_TRUE(T.InsertColumn(3));
  EXPECT_EQ(T.NominalID(1, 4), "q");  // carried along whole
  EXPECT_FALSE(T.InsertColumn(0));
  EXPECT_FALSE(T.InsertColumn(6));

  // Reversed bounds are exchanged; bounds outside give -1; all rows leave one fresh row.
  TDataTable U;
  Fill(U);
  EXPECT_EQ(U.RemoveRows(3, 2), 2);
  EXPECT_EQ((Strings{U.RowName(1), U.RowName(2)}), (Strings{"row1", "row4"}));
  EXPECT_EQ(U.RemoveRows(0, 3), -1);
  EXPECT_EQ(U.RemoveRows(1, 3), -1);
  EXPECT_EQ(U.NrOfRows(), 2);
  EXPECT_EQ(U.RemoveRows(0, 0), 2);
  EXPECT_EQ(U.NrOfRows(), 1);
  EXPECT_EQ(U.RowName(1), "R-1");
  EXPECT_EQ(U.Elem(1, 1), 0);
  EXPECT_FALSE(U.RemoveRow(1));
  EXPECT_EQ(U.ColName(3), "col3");  // columns untouched
  ExpectConsistent(U);
}

TEST(DataTable, MarkedRemovals) {
  TDataTable T;
  Fill(T);
  T.SetAllCellStates(0);
  T.SetCellState(1, 2, csMark1);
  T.SetCellState(3, 4, csMark2);
  EXPECT_EQ(T.RemoveMarkedColumns(2, 3, csMark1), 0);  // column 1 is outside the range
  EXPECT_EQ(T.RemoveMarkedColumns(0, 4, csMark1), -1);
  EXPECT_EQ(T.RemoveUnmarkedRows(0, 0, csMark1 | csMark2), 2);
  EXPECT_EQ((Strings{T.RowName(1), T.RowName(2)}), (Strings{"row2", "row4"}));
  EXPECT_EQ(T.NumericData()->GetVal(2, 1), 22);
  EXPECT_EQ(T.CellState(3, 2), csMark2);
  EXPECT_EQ(T.RemoveMarkedColumns(0, 0, csMark1), 1);
  EXPECT_EQ(T.ColName(1), "col2");
  EXPECT_EQ(T.NominalID(1, 1), "b");
  EXPECT_EQ(T.RemoveUnmarkedColumns(0, 0, 0xFF), 1);
  EXPECT_EQ(T.ColName(1), "col3");
  // Every column marked: one fresh column stays.
  T.SetAllCellStates(csMark1);
  EXPECT_EQ(T.RemoveMarkedColumns(0, 0, csMark1), 1);
  EXPECT_EQ(T.ColName(1), "C-1");
  EXPECT_EQ(T.CellState(1, 1), 0);
  ExpectConsistent(T);
}

TEST(DataTable, ExchangingMirroringAndSorting) {
  TDataTable T;
  Fill(T);
  const std::string Names = T.CRCofNamesAndAttributes(), States = T.CRCofCellStates(),
                    Data = T.NumericData()->CRCofData();
  T.ExchangeColumns(1, 2);
  EXPECT_EQ(T.ColName(1), "col2");
  EXPECT_EQ(T.NominalID(1, 0), "a");
  EXPECT_EQ(T.CellState(1, 3), 2 * 16 + 3);
  EXPECT_EQ(T.NumericData()->GetVal(1, 1), 2.6);
  T.ExchangeColumns(2, 1);
  T.ExchangeRows(1, 4);
  EXPECT_EQ(T.RowName(1), "row4");
  EXPECT_EQ(T.CellState(2, 1), 2 * 16 + 4);
  T.ExchangeRows(4, 1);
  T.ExchangeRows(0, 1);
  EXPECT_EQ(T.CRCofNamesAndAttributes(), Names);
  T.MirrorColumns();
  EXPECT_EQ(T.ColName(1), "col3");
  EXPECT_NE(T.CRCofCellStates(), States);
  T.MirrorColumns();
  T.MirrorRows();
  T.MirrorRows();
  EXPECT_EQ(T.CRCofNamesAndAttributes(), Names);
  EXPECT_EQ(T.CRCofCellStates(), States);
  EXPECT_EQ(T.NumericData()->CRCofData(), Data);

  // A sort of the matrix moves the states (and with the headers the names) along.
  std::vector<int32_t> Reported;
  T.OnSortExchange = [&](TObject* S, uint8_t, int32_t I, int32_t J, int32_t, int32_t) {
    EXPECT_EQ(S, &T);
    Reported.push_back(I * 10 + J);
  };
  T.SetSortIncludeHd(true);
  T.NumericData()->SortRows(1, false, 0, 0, 0, 0);
  EXPECT_FALSE(Reported.empty());
  EXPECT_EQ(T.RowName(1), "row4");
  EXPECT_EQ(T.CellState(2, 1), 2 * 16 + 4);
  EXPECT_EQ(T.NumericData()->GetVal(1, 1), 14);
}

TEST(DataTable, CellStatesInBulk) {
  TDataTable T;
  T.Resize(3, 3);
  T.SetAllCellStates(0x21);
  T.SetCellStates(0, 0, 0, 0, csMark1, loOR);
  EXPECT_EQ(T.CellState(3, 3), 0x61);
  T.ExchangeMarkings();
  EXPECT_EQ(T.CellState(2, 2), 0xA1);
  T.UnmarkAllCells();
  EXPECT_EQ(T.CellState(1, 1), 0x21);
  EXPECT_TRUE(T.IsImputed(1, 1));
  EXPECT_FALSE(T.IsNumber(1, 1));
  // Each logic op on one cell, starting from 0x21 with mask 0x03.
  const uint8_t Expected[] = {0x01, 0x23, 0x22, 0x20, 0xFD, 0xDD};
  for (int Op = 0; Op < 6; ++Op) {
    T.SetCellState(2, 2, 0x21);
    T.SetCellStates(2, 2, 2, 2, 0x03, TLogicOp(Op));
    EXPECT_EQ(T.CellState(2, 2), Expected[Op]) << Op;
  }
  T.SetCellStates(9, 9, 9, 9, 0xFF, TLogicOp(9));  // unknown op: nothing
  EXPECT_EQ(T.CellState(3, 3), 0x21);
  T.InvertCellStates(0x21);
  EXPECT_EQ(T.CellState(3, 3), 0);
  EXPECT_EQ(T.CellState(2, 2), 0xDD ^ 0x21);
  EXPECT_TRUE(T.IfRowHasCellState(2, 0x04));
  EXPECT_FALSE(T.IfRowHasCellState(1, 0xFF));
  EXPECT_FALSE(T.IfColHasCellState(4, 0xFF));
  EXPECT_TRUE(T.IfAnyCellHasCellState(3, 3, 1, 1, 0x80));
  EXPECT_EQ(T.CountMarkedCellsInColumn(2, 0x80), 1);
  EXPECT_EQ(T.FillMarkedCells(4.5, 0x80), 1);
  EXPECT_EQ(T.Elem(2, 2), 4.5);
  TDataTable U;
  EXPECT_FALSE(U.CopyCellStatesFrom(&T));
  U.Resize(3, 3);
  EXPECT_TRUE(U.CopyCellStatesFrom(&T));
  EXPECT_EQ(U.CRCofCellStates(), T.CRCofCellStates());
  U.SetCellState(3, 1, 1);
  EXPECT_NE(U.CRCofCellStates(), T.CRCofCellStates());

  // The range rule: the row form also counts an exchange.
  T.Resize(6, 6);
  int32_t Lo = 5, Hi = 2;
  EXPECT_FALSE(T.MakeValidColRange(Lo, Hi));
  EXPECT_EQ(Lo * 10 + Hi, 25);
  Lo = 5, Hi = 2;
  EXPECT_TRUE(T.MakeValidRowRange(Lo, Hi));
  Lo = Hi = 0;
  EXPECT_FALSE(T.MakeValidRowRange(Lo, Hi));
  EXPECT_EQ(Hi, 6);
}

TEST(DataTable, CopiesBetweenTables) {
  TDataTable Src, T;
  Fill(Src);
  Src.SetComment("about");
  Src.SetSortIncludeHd(true);
  T.Clone(&Src);
  EXPECT_EQ(T.CRCofNamesAndAttributes(), Src.CRCofNamesAndAttributes());
  EXPECT_EQ(T.CRCofCellStates(), Src.CRCofCellStates());
  EXPECT_EQ(T.NumericData()->GetVal(2, 1), 3.0);  // Clone reads through Elem

  // Copying a table onto itself reads a snapshot: an overlapping shift keeps the old values.
  T.CopyFrom(&T, 1, 1, 1, 3, 1, 2);
  EXPECT_EQ(T.NumericData()->GetVal(1, 2), 11);
  EXPECT_EQ(T.NumericData()->GetVal(1, 4), 13);
  EXPECT_EQ(T.CellState(1, 4), 16 + 3);
  T.CopyFrom(&Src, -5, 0, 99, 1, 3, 4);  // clamped to the source, cut at the table
  EXPECT_EQ(T.NumericData()->GetVal(3, 4), 11);

  TDataTable Narrow;
  Narrow.Resize(1, 2);
  EXPECT_EQ(Narrow.CopyColumnFrom(&Src, 2, 1), -3);  // still copied
  EXPECT_EQ(Narrow.ColName(1), "col2");
  EXPECT_EQ(Narrow.NominalID(1, 1), "b");
  EXPECT_EQ(Narrow.NumericData()->GetVal(1, 1), 2.6);
  EXPECT_EQ(Narrow.CopyColumnFrom(nullptr, 1, 1), -4);
  EXPECT_EQ(Narrow.CopyColumnFrom(&Src, 4, 1), -1);
  EXPECT_EQ(Narrow.CopyColumnFrom(&Src, 1, 2), -2);

  // Assign: everything, handlers included, but the matrix keeps reporting to its own table.
  TLog SrcLog;
  SrcLog.Attach(Src);
  TDataTable Dst;
  Dst.Assign(&Src);
  EXPECT_TRUE(SrcLog.Take().empty());
  EXPECT_EQ(Dst.Comment(), "about");
  EXPECT_TRUE(Dst.SortIncludeHd());
  EXPECT_EQ(Dst.CRCofNamesAndAttributes(), Src.CRCofNamesAndAttributes());
  EXPECT_EQ(Dst.NumericData()->CRCofData(), Src.NumericData()->CRCofData());
  Dst.NumericData()->SetVal(1, 1, 99);
  EXPECT_EQ(SrcLog.Take(), Strings{"data"});
  EXPECT_EQ(SrcLog.LastSender, &Dst);
  EXPECT_EQ(Src.Elem(1, 1), 11);
  TVector V;
  EXPECT_THROW(Dst.Assign(&V), EConvertError);
}

TEST(DataTable, CallersMatrix) {
  TDataTable T;
  EXPECT_FALSE(T.AssignAnotherDataMatrix(nullptr));
  auto M = std::make_unique<TMatrix>();
  M->Resize(2, 3);
  M->SetVal(2, 3, 8);
  T.SetMScaleType(1, stNominal);
  {
    TDataTable Inner;
    Inner.SetMScaleType(1, stOrdinal);
    EXPECT_TRUE(Inner.AssignAnotherDataMatrix(M.get()));
    EXPECT_TRUE(Inner.ExtMatAssigned());
    EXPECT_EQ(Inner.NrOfColumns(), 2);
    EXPECT_EQ(Inner.Elem(2, 3), 8);
    EXPECT_EQ(Inner.MScaleType(1), stInterval);
    EXPECT_EQ(Inner.ColName(2), "C-2");
    Inner.InsertRow(1);  // the caller's matrix follows the table
    EXPECT_EQ(M->NrOfRows(), 4);
    EXPECT_EQ(M->GetVal(2, 4), 8);
    EXPECT_TRUE(static_cast<bool>(M->OnChange));
  }
  // The table is gone: the matrix is detached, not freed.
  EXPECT_FALSE(static_cast<bool>(M->OnChange));
  EXPECT_FALSE(static_cast<bool>(M->OnSortExchange));
  M->SetVal(1, 1, 1);
}

TEST(DataTable, CopiesToAndFromArraysAndVectors) {
  TDataTable T;
  Fill(T);
  TDoubleArray A(3, -1);
  EXPECT_EQ(T.CopyDataColumnToArray(A, 2, 3, 1, 1), 0);  // reversed, cut to fit from 1
  EXPECT_EQ(A, (TDoubleArray{-1, 3, 22}));               // Elem: 2.6 reads 3
  TIntArray IA(4);
  EXPECT_EQ(T.CopyDataRowToArray(IA, 1, 0, 0, 0), 0);
  EXPECT_EQ(IA, (TIntArray{11, 3, 31, 0}));
  TDoubleArray Empty;
  EXPECT_EQ(T.CopyDataColumnToArray(Empty, 1, 0, 0, 0), -4);
  EXPECT_EQ(T.CopyDataColumnToArray(A, 4, 0, 0, 0), -1);
  EXPECT_EQ(T.CopyDataColumnToArray(A, 1, 0, 5, 0), -2);
  EXPECT_EQ(T.CopyDataColumnToArray(A, 1, 0, 0, 3), -3);
  TIntVector IV;
  IV.Resize(2);
  EXPECT_EQ(T.CopyDataColumnToVector(&IV, 1, 0, 0, 2), 0);
  EXPECT_EQ(IV.Data(), (TIntArray{0, 11}));
  EXPECT_EQ(T.CopyDataRowToVector(static_cast<TVector*>(nullptr), 1, 0, 0, 1), -4);
  EXPECT_EQ(T.CopyDataRowToVector(&IV, 1, 0, 0, 0), -3);

  // Whole lines round trip raw, through arrays and vectors.
  TVector V;
  EXPECT_EQ(T.CopyDataColumnToVector(2, &V), 0);
  EXPECT_EQ(V.Data(), (TDoubleArray{2.6, 22, 23, 24}));
  TDataTable U;
  U.Resize(3, 4);
  EXPECT_EQ(U.CopyDataColumnFromVector(3, &V), 0);
  EXPECT_EQ(U.CopyDataRowFromArray(4, TDoubleArray{7, 8, 9, 10, 11}), 0);
  EXPECT_EQ(U.CopyDataRowToArray(4, A), 0);
  EXPECT_EQ(A, (TDoubleArray{7, 8, 9}));
  EXPECT_EQ(U.CopyDataColumnToArray(3, A), 0);
  EXPECT_EQ(A, (TDoubleArray{2.6, 22, 23, 9}));
  EXPECT_EQ(U.CopyDataColumnFromArray(0, A), -1);
  EXPECT_EQ(T.SliceCol(3, 4, 1, 2, A), 2);
  EXPECT_EQ(A, (TDoubleArray{31, 33}));
  EXPECT_EQ(T.SliceRow(1, 1, 3, 0, A), -3);
  EXPECT_EQ(T.SliceRow(1, 1, 4, 1, A), -2);

  // Element ranges into cells: the first element lands on (Col, Row), the rest is cut.
  EXPECT_EQ(U.CopyDataFromArray(TIntArray{1, 2, 3, 4}, 3, 1, 2, 1, false), 0);
  EXPECT_EQ(U.Elem(2, 1) * 10 + U.Elem(3, 1), 23);
  EXPECT_EQ(U.CopyDataFromArray(TIntArray{1}, 0, 1, 1, 1, true), -4);
  EXPECT_EQ(U.CopyDataFromArray(TIntArray{1}, 0, 0, 4, 1, true), -5);
  EXPECT_EQ(U.CopyDataFromVector(&IV, 2, 2, 1, 4, true), 0);
  EXPECT_EQ(U.Elem(1, 4), 11);
  EXPECT_EQ(U.CopyDataFromVector(&IV, 0, 3, 1, 1, true), -4);

  // Blocks: to a [column][row] array and back, to a matrix and back.
  TDouble2DArray B(2, TDoubleArray(2));
  EXPECT_EQ(T.CopyDataToArray(B, 2, 2, 3, 9, 0, 0), -3);
  EXPECT_EQ(T.CopyDataToArray(B, 2, 2, 3, 4, 0, 0), 0);
  EXPECT_EQ(B, (TDouble2DArray{{22, 23}, {32, 33}}));
  EXPECT_EQ(U.CopyDataFromArray(B, 1, 0, 1, 1, 3, 3), 0);
  EXPECT_EQ(U.Elem(3, 4), 33);
  EXPECT_EQ(U.CopyDataFromArray(B, 0, 0, 2, 0, 1, 1), -2);
  TMatrix M;
  M.Resize(2, 2);
  EXPECT_EQ(T.CopyDataToMatrix(&M, 5, 1, 1, 1, 1, 1), -2);
  EXPECT_EQ(T.CopyDataToMatrix(&M, 1, 1, 3, 4, 2, 1), 0);
  EXPECT_EQ(M.Data(), (TDouble2DArray{{0, 0}, {11, 12}}));
  EXPECT_EQ(U.CopyDataFromMatrix(&M, 0, 0, 0, 0, 2, 3), 0);
  EXPECT_EQ(U.Elem(3, 4), 12);
  EXPECT_EQ(U.CopyDataFromMatrix(&M, 0, 0, 0, 0, 4, 1), -1);
  TDouble2DArray All;
  EXPECT_EQ(T.DuplicateDataAsArray(All), -1);
  All.resize(1);
  EXPECT_EQ(T.DuplicateDataAsArray(All), 0);
  EXPECT_EQ(All[1], (TDoubleArray{2.6, 22, 23, 24}));

  // Valid cells by state; 255 takes every valid one.
  T.SetAllCellStates(0);
  T.SetCellState(1, 2, csInvalid | csMark1);
  T.SetCellState(2, 2, csMark1);
  EXPECT_EQ(T.CopyCellsToVector(0, 0, 0, 0, csMark1, &V), 1);
  EXPECT_EQ(V.Data(), TDoubleArray{22});
  EXPECT_EQ(T.CopyCellsToVector(1, 1, 1, 4, 0xFF, &V), 3);
  EXPECT_EQ(V.Data(), (TDoubleArray{11, 13, 14}));
}

TEST(DataTable, SerializeToOneRowPerCell) {
  TDataTable T;
  T.Resize(2, 3);
  T.SetColName(2, "a rather long name");
  T.SetMScaleType(1, stOrdinal);
  T.AddNominalID(1, "lo");  // makes column 1 nominal, the highest scale is then interval
  for (int32_t C = 1; C <= 2; ++C)
    for (int32_t R = 1; R <= 3; ++R) {
      T.SetElem(C, R, 10 * C + R + 0.5);
      T.SetCellState(C, R, uint8_t(C * 16 + R));
    }
  T.SetRowAttrib(1, 9);
  EXPECT_TRUE(T.Serialize(true, true));
  ExpectConsistent(T);
  ASSERT_EQ(T.NrOfRows(), 6);
  EXPECT_EQ((Strings{T.ColName(1), T.ColName(2), T.ColName(3), T.ColName(4)}),
            (Strings{"(column)", "(col. index)", "(row index)", "(data)"}));
  EXPECT_EQ(T.Elem(2, 4) * 10 + T.Elem(3, 4), 21);
  EXPECT_EQ(T.NumericData()->GetVal(4, 1), 11.5);  // raw, though the old column was nominal
  EXPECT_EQ(T.Elem(4, 4), 21.5);
  EXPECT_EQ(T.CellState(4, 4), 2 * 16 + 1);
  EXPECT_EQ(T.CellState(2, 1), 0);
  EXPECT_EQ(T.RowName(4), "R-1");
  EXPECT_EQ(T.RowAttrib(4), 9);
  EXPECT_EQ(T.ElemNominal(1, 4), "2:a rather");
  EXPECT_EQ(T.MScaleType(1), stNominal);
  EXPECT_EQ(T.MScaleType(4), stInterval);
  EXPECT_EQ(T.CountNominalIDs(4), 0);

  TDataTable U;
  U.Resize(1, 2);
  EXPECT_TRUE(U.Serialize(false, false));  // same shape: no resize event needed
  EXPECT_EQ(U.ColName(1), "(data)");
  EXPECT_EQ(U.MScaleType(1), stInterval);
}

TEST(DataTable, ExhaustedMemoryLeavesTheTable) {
  TDataTable T;
  T.SetName("T");
  Fill(T);
  const std::string Names = T.CRCofNamesAndAttributes(), States = T.CRCofCellStates(),
                    Data = T.NumericData()->CRCofData();
  TLog Log;
  Log.Attach(T);
  const auto Unchanged = [&] {
    EXPECT_EQ(T.NrOfColumns(), 3);
    EXPECT_EQ(T.NrOfRows(), 4);
    EXPECT_EQ(T.CRCofNamesAndAttributes(), Names);
    EXPECT_EQ(T.CRCofCellStates(), States);
    EXPECT_EQ(T.NumericData()->CRCofData(), Data);
    EXPECT_TRUE(Log.Take().empty());
    ExpectConsistent(T);
  };
  try {
    T.Resize(1 << 30, 1 << 30);
    FAIL();
  } catch (const ENUXDataTableError& E) {
    EXPECT_STREQ(E.what(), "Component \"T\": not enough memory on heap");
  }
  Unchanged();
  {
    ScopedAllocLimit Limit(1 << 16);
    EXPECT_THROW(T.SetNrOfRows(100'000), ENUXDataTableError);  // the state array
  }
  Unchanged();
  {
    ScopedAllocLimit Limit(100);  // a matrix object is larger than this
    try {
      TDataTable Never(&T);
      FAIL();
    } catch (const ENUXDataTableError& E) {
      EXPECT_STREQ(E.what(), "Component \"\": failed to initialize (out of memory)");
    }
  }
  EXPECT_EQ(T.ComponentCount(), 0);

  TDataTable Big;
  Big.Resize(2, 20'000);
  Big.SetElem(2, 20'000, 5);
  const std::string BigStates = Big.CRCofNamesAndAttributes();
  {
    ScopedAllocLimit Limit(1 << 18);  // the values fit, the row names do not
    EXPECT_THROW(Big.InsertRow(1), ENUXDataTableError);
    EXPECT_THROW(Big.RemoveRows(1, 2), ENUXDataTableError);
  }
  EXPECT_EQ(Big.NrOfRows(), 20'000);
  EXPECT_EQ(Big.Elem(2, 20'000), 5);
  EXPECT_EQ(Big.CRCofNamesAndAttributes(), BigStates);
  Unchanged();
}

}  // namespace
}  // namespace nux
