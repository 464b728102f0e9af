// TDataTable: construction, events, cell access, names, attributes, scale types and nominal
// identifiers, cell states in bulk and the identity checksums.
#include <algorithm>
#include <cmath>

#include "nux/datatable/datatable_impl.h"
#include "nux/frame/dstruct.h"
#include "nux/frame/rounding.h"
#include "nux/frame/stringl.h"
#include "nux/math1/numtext.h"

namespace nux {

using datatable_detail::DefaultName;
using datatable_detail::Guarded;

const std::array<const char*, 5> MScaleTypeNames = {"Unknown", "Nominal", "Ordinal", "Interval",
                                                    "Ratio"};

int32_t CategoricalOrdinal(double Value) {
  if (std::isnan(Value)) return -1;
  return RoundToInt32(Value);
}

// ---- TNominalIDs ----

TNominalIDs::TNominalIDs(const TNominalIDs& Other)
    : FSlots(Other.FSlots
                 ? std::make_unique<std::array<TNominalIDStr, MaxNominalIDs>>(*Other.FSlots)
                 : nullptr) {}

TNominalIDs& TNominalIDs::operator=(const TNominalIDs& Other) {
  if (this != &Other) {
    TNominalIDs Copy(Other);
    FSlots.swap(Copy.FSlots);
  }
  return *this;
}

const TNominalIDStr& TNominalIDs::operator[](int32_t Ord) const {
  static const TNominalIDStr Free;
  if (!FSlots || Ord < 0 || Ord >= MaxNominalIDs) return Free;
  return (*FSlots)[size_t(Ord)];
}

void TNominalIDs::Set(int32_t Ord, std::string_view ID) {
  if (Ord < 0 || Ord >= MaxNominalIDs) return;
  if (!FSlots) {
    if (ID.empty()) return;
    FSlots = std::make_unique<std::array<TNominalIDStr, MaxNominalIDs>>();
  }
  (*FSlots)[size_t(Ord)] = Utf8Truncate(ID, MaxNominalIDLength);
}

int32_t TNominalIDs::Count() const {
  if (!FSlots) return 0;
  return static_cast<int32_t>(
      std::count_if(FSlots->begin(), FSlots->end(), [](const auto& S) { return !S.empty(); }));
}

int32_t TNominalIDs::FirstFree() const {
  if (!FSlots) return 0;
  for (int32_t K = 0; K < MaxNominalIDs; ++K)
    if ((*FSlots)[size_t(K)].empty()) return K;
  return -1;
}

bool TNominalIDs::operator==(const TNominalIDs& Other) const {
  for (int32_t K = 0; K < MaxNominalIDs; ++K)
    if ((*this)[K] != Other[K]) return false;
  return true;
}

// ---- Construction and events ----

TDataTable::TDataTable(TComponent* AOwner) : TComponent(AOwner) {
  try {
    FOwnMat = std::make_unique<TMatrix>();
    FCState.assign(1, 0);
    FColName = {DefaultName('C', 1)};
    FRowName = {DefaultName('R', 1)};
    FColAtt.assign(1, 0);
    FRowAtt.assign(1, 0);
    FVType.resize(1);
  } catch (const std::exception&) {
    FOwnMat.reset();
    RaiseComponentError<ENUXDataTableError>(*this, msgInitNoMemory);
  }
  FMat = FOwnMat.get();
  FNrOfCols = FNrOfRows = 1;
  AttachMatrix();
}

TDataTable::~TDataTable() {
  if (FExtMatAssigned) DetachMatrix();
}

void TDataTable::AttachMatrix() {
  FMat->OnChange = [this](TObject* Sender) { DataHasChanged(Sender); };
  FMat->OnSortExchange = [this](TObject* Sender, uint8_t Kind, int32_t I1, int32_t I2, int32_t Lo,
                                int32_t Hi) { ExchangeDuringSort(Sender, Kind, I1, I2, Lo, Hi); };
}

void TDataTable::DetachMatrix() {
  FMat->OnChange = nullptr;
  FMat->OnSortExchange = nullptr;
}

void TDataTable::ChangedData() {
  if (OnChange) OnChange(this);
}
void TDataTable::ChangedSetup() {
  if (OnChangeSetup) OnChangeSetup(this);
}
void TDataTable::ChangedNames() {
  if (OnChangeNames) OnChangeNames(this);
}
void TDataTable::ChangedAttrib() {
  if (OnChangeAttrib) OnChangeAttrib(this);
}
void TDataTable::ChangedCellStates() {
  if (OnChangeCellState) OnChangeCellState(this);
}
void TDataTable::DataHasChanged(TObject* /*Sender*/) { ChangedData(); }

void TDataTable::FireResize(int32_t OldCols, int32_t OldRows) {
  if (OnResize) OnResize(this, OldCols, OldRows, FNrOfCols, FNrOfRows);
}

void TDataTable::ExchangeDuringSort(TObject* /*Sender*/, uint8_t ExchgKind, int32_t Index1,
                                    int32_t Index2, int32_t SpanLow, int32_t SpanHigh) {
  if (ExchgKind == ekColumns) {
    if (ValidCell(Index1, 1) && ValidCell(Index2, 1)) {
      if (FSortIncludeHd) {
        std::swap(FColAtt[size_t(Index1 - 1)], FColAtt[size_t(Index2 - 1)]);
        std::swap(FVType[size_t(Index1 - 1)], FVType[size_t(Index2 - 1)]);
        std::swap(FColName[size_t(Index1 - 1)], FColName[size_t(Index2 - 1)]);
      }
      int32_t Lo = SpanLow, Hi = SpanHigh;
      MakeValidRowRange(Lo, Hi);
      for (int32_t R = Lo; R <= Hi; ++R)
        std::swap(FCState[StateIx(Index1, R)], FCState[StateIx(Index2, R)]);
    }
  } else if (ValidCell(1, Index1) && ValidCell(1, Index2)) {
    if (FSortIncludeHd) {
      std::swap(FRowAtt[size_t(Index1 - 1)], FRowAtt[size_t(Index2 - 1)]);
      std::swap(FRowName[size_t(Index1 - 1)], FRowName[size_t(Index2 - 1)]);
    }
    int32_t Lo = SpanLow, Hi = SpanHigh;
    MakeValidColRange(Lo, Hi);
    for (int32_t C = Lo; C <= Hi; ++C)
      std::swap(FCState[StateIx(C, Index1)], FCState[StateIx(C, Index2)]);
  }
  SortExchange(ExchgKind, Index1, Index2, SpanLow, SpanHigh);
}

// ---- Cells ----

double TDataTable::Elem(int32_t ACol, int32_t ARow) const {
  if (!ValidCell(ACol, ARow)) return 0.0;
  const double X = RawVal(ACol, ARow);
  return IsCategorical(FVType[size_t(ACol - 1)].MScaleType) ? RoundEven(X) : X;
}

void TDataTable::SetElem(int32_t ACol, int32_t ARow, double Value) {
  if (!ValidCell(ACol, ARow)) return;
  FMat->SetVal(ACol, ARow, Value);  // the matrix reports through DataHasChanged
}

std::string TDataTable::ElemNominal(int32_t ACol, int32_t ARow) const {
  if (!ValidCell(ACol, ARow)) return {};
  const TVTypeSpec& VarType = FVType[size_t(ACol - 1)];
  if (!IsCategorical(VarType.MScaleType)) return {};
  const int32_t Ord = CategoricalOrdinal(RawVal(ACol, ARow));
  if (Ord >= 0 && Ord < MaxNominalIDs) return VarType.IDs[Ord];
  return Utf8Truncate(std::to_string(Ord), MaxNominalIDLength);
}

void TDataTable::SetElemNominal(int32_t ACol, int32_t ARow, std::string_view ID) {
  if (!ValidCell(ACol, ARow) || ID.empty()) return;
  const std::string Cut = Utf8Truncate(ID, MaxNominalIDLength);
  int32_t Ord = OrdinalOfNominalID(ACol, Cut, true);
  if (Ord < 0) {
    TNominalIDs& IDs = FVType[size_t(ACol - 1)].IDs;
    Ord = IDs.FirstFree();
    if (Ord < 0)
      RaiseComponentError<ENUXDataTableError>(*this, "number of available nominal values exceeded");
    Guarded(*this, [&] { IDs.Set(Ord, Cut); });
  }
  FMat->SetVal(ACol, ARow, Ord);
}

uint8_t TDataTable::CellState(int32_t ACol, int32_t ARow) const {
  return ValidCell(ACol, ARow) ? FCState[StateIx(ACol, ARow)] : 0;
}

void TDataTable::SetCellState(int32_t ACol, int32_t ARow, uint8_t State) {
  if (!ValidCell(ACol, ARow)) return;
  uint8_t& S = FCState[StateIx(ACol, ARow)];
  if (S == State) return;
  S = State;
  ChangedCellStates();
}

bool TDataTable::IsNumber(int32_t ACol, int32_t ARow) const {
  return ValidCell(ACol, ARow) && (CellState(ACol, ARow) & (csInvalid | csEmpty)) == 0;
}

bool TDataTable::IsEmpty(int32_t ACol, int32_t ARow) const {
  return (CellState(ACol, ARow) & csEmpty) != 0;
}

void TDataTable::SetIsEmpty(int32_t ACol, int32_t ARow, bool Value) {
  if (!ValidCell(ACol, ARow)) return;
  const uint8_t S = CellState(ACol, ARow);
  SetCellState(ACol, ARow, Value ? uint8_t(S | csEmpty) : uint8_t(S & ~csEmpty));
  ChangedData();
}

bool TDataTable::IsImputed(int32_t ACol, int32_t ARow) const {
  return (CellState(ACol, ARow) & csImputed) != 0;
}

void TDataTable::SetIsImputed(int32_t ACol, int32_t ARow, bool Value) {
  if (!ValidCell(ACol, ARow)) return;
  const uint8_t S = CellState(ACol, ARow);
  SetCellState(ACol, ARow, Value ? uint8_t(S | csImputed) : uint8_t(S & ~csImputed));
  ChangedData();
}

// ---- Names, attributes, scale types, comment ----

std::string TDataTable::ColName(int32_t ColNr) const {
  return ColNr >= 1 && ColNr <= FNrOfCols ? FColName[size_t(ColNr - 1)] : std::string();
}

void TDataTable::SetColName(int32_t ColNr, std::string_view Name) {
  if (ColNr < 1 || ColNr > FNrOfCols) return;
  FColName[size_t(ColNr - 1)] = Utf8Truncate(Name, MaxDTNameLength);
  ChangedNames();
}

std::string TDataTable::RowName(int32_t RowNr) const {
  return RowNr >= 1 && RowNr <= FNrOfRows ? FRowName[size_t(RowNr - 1)] : std::string();
}

void TDataTable::SetRowName(int32_t RowNr, std::string_view Name) {
  if (RowNr < 1 || RowNr > FNrOfRows) return;
  FRowName[size_t(RowNr - 1)] = Utf8Truncate(Name, MaxDTNameLength);
  ChangedNames();
}

namespace {

int32_t LongestName(const TStrArray& Names) {
  size_t Max = 0;
  for (const auto& N : Names) Max = std::max(Max, Utf8Length(N));
  return static_cast<int32_t>(Max);
}

}  // namespace

int32_t TDataTable::MaxColNameLength() const { return LongestName(FColName); }
int32_t TDataTable::MaxRowNameLength() const { return LongestName(FRowName); }

int32_t TDataTable::ColAttrib(int32_t ColNr) const {
  return ColNr >= 1 && ColNr <= FNrOfCols ? FColAtt[size_t(ColNr - 1)] : 0;
}

void TDataTable::SetColAttrib(int32_t ColNr, int32_t Attrib) {
  if (ColNr < 1 || ColNr > FNrOfCols) return;
  FColAtt[size_t(ColNr - 1)] = Attrib;
  ChangedAttrib();
}

int32_t TDataTable::RowAttrib(int32_t RowNr) const {
  return RowNr >= 1 && RowNr <= FNrOfRows ? FRowAtt[size_t(RowNr - 1)] : 0;
}

void TDataTable::SetRowAttrib(int32_t RowNr, int32_t Attrib) {
  if (RowNr < 1 || RowNr > FNrOfRows) return;
  FRowAtt[size_t(RowNr - 1)] = Attrib;
  ChangedAttrib();
}

void TDataTable::SetColAttributes(int32_t Attrib) { SetColAttributes(Attrib, -1); }
void TDataTable::SetRowAttributes(int32_t Attrib) { SetRowAttributes(Attrib, -1); }

void TDataTable::SetColAttributes(int32_t Attrib, int32_t Mask) {
  for (int32_t& A : FColAtt) A = (A & ~Mask) | (Attrib & Mask);
  ChangedAttrib();
}

void TDataTable::SetRowAttributes(int32_t Attrib, int32_t Mask) {
  for (int32_t& A : FRowAtt) A = (A & ~Mask) | (Attrib & Mask);
  ChangedAttrib();
}

TMScaleType TDataTable::MScaleType(int32_t ColNr) const {
  return ColNr >= 1 && ColNr <= FNrOfCols ? FVType[size_t(ColNr - 1)].MScaleType : stUnknown;
}

void TDataTable::SetMScaleType(int32_t ColNr, TMScaleType Scale) {
  if (ColNr < 1 || ColNr > FNrOfCols || Scale > stRatio) return;
  FVType[size_t(ColNr - 1)].MScaleType = Scale;
  ChangedSetup();
}

void TDataTable::SetComment(std::string_view Text) {
  FComment = RemoveControlChars(Text);
  ChangedSetup();
}

const TVTypeSpec* TDataTable::VTypeSpec(int32_t ColNr) const {
  return ColNr >= 1 && ColNr <= FNrOfCols ? &FVType[size_t(ColNr - 1)] : nullptr;
}

// ---- Nominal identifiers ----

int32_t TDataTable::OrdinalOfNominalID(int32_t Col, std::string_view ID, bool IgnoreCase) const {
  if (Col < 1 || Col > FNrOfCols || ID.empty()) return -1;
  const TVTypeSpec& VarType = FVType[size_t(Col - 1)];
  if (!IsCategorical(VarType.MScaleType)) return -1;
  const std::string Key = Utf8Truncate(ID, MaxNominalIDLength);
  for (int32_t K = 0; K < MaxNominalIDs; ++K) {
    const std::string& S = VarType.IDs[K];
    if (!S.empty() && (IgnoreCase ? SameText(S, Key) : S == Key)) return K;
  }
  return -1;
}

int32_t TDataTable::AddNominalID(int32_t Col, std::string_view MScaleID) {
  if (Col < 1 || Col > FNrOfCols || MScaleID.empty()) return -1;
  const int32_t Found = OrdinalOfNominalID(Col, MScaleID, true);
  if (Found >= 0) return Found;
  TVTypeSpec& VarType = FVType[size_t(Col - 1)];
  const int32_t Ord = VarType.IDs.FirstFree();
  if (Ord < 0) return -1;
  Guarded(*this, [&] { VarType.IDs.Set(Ord, MScaleID); });
  VarType.MScaleType = stNominal;
  ChangedSetup();
  return Ord;
}

std::string TDataTable::NominalID(int32_t ColIx, int32_t OrdVal) const {
  if (ColIx < 1 || ColIx > FNrOfCols) return {};
  const TVTypeSpec& VarType = FVType[size_t(ColIx - 1)];
  return IsCategorical(VarType.MScaleType) ? VarType.IDs[OrdVal] : std::string();
}

void TDataTable::SetNominalID(int32_t ColIx, int32_t OrdVal, std::string_view ID) {
  if (ColIx < 1 || ColIx > FNrOfCols || OrdVal < 0 || OrdVal >= MaxNominalIDs) return;
  TVTypeSpec& VarType = FVType[size_t(ColIx - 1)];
  if (ID.empty() || IsCategorical(VarType.MScaleType))
    Guarded(*this, [&] { VarType.IDs.Set(OrdVal, ID); });
  ChangedSetup();
}

void TDataTable::ClearNominalIDs(int32_t Col) {
  if (Col < 1 || Col > FNrOfCols) return;
  FVType[size_t(Col - 1)].IDs.Clear();
  ChangedSetup();
}

int32_t TDataTable::CountNominalIDs(int32_t Col) const {
  return Col >= 1 && Col <= FNrOfCols ? FVType[size_t(Col - 1)].IDs.Count() : 0;
}

// ---- Cell states in bulk ----

template <class F>
void TDataTable::ForStates(F&& Op) {
  for (uint8_t& S : FCState) S = Op(S);
  ChangedCellStates();
}

void TDataTable::SetAllCellStates(uint8_t State) {
  ForStates([State](uint8_t) { return State; });
}

void TDataTable::SetCellStates(int32_t LowCol, int32_t LowRow, int32_t HighCol, int32_t HighRow,
                               uint8_t State, TLogicOp LogicOp) {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  const auto M = State, NM = uint8_t(~State);
  for (int32_t C = LowCol; C <= HighCol; ++C)
    for (int32_t R = LowRow; R <= HighRow; ++R) {
      uint8_t& S = FCState[StateIx(C, R)];
      switch (LogicOp) {
        case loAND:
          S &= M;
          break;
        case loOR:
          S |= M;
          break;
        case loXOR:
          S ^= M;
          break;
        case loANDNOT:
          S &= NM;
          break;
        case loORNOT:
          S |= NM;
          break;
        case loXORNOT:
          S ^= NM;
          break;
        default:
          break;
      }
    }
  ChangedCellStates();
}

void TDataTable::UnmarkAllCells() {
  ForStates([](uint8_t S) { return uint8_t(S & 0x3F); });
}

void TDataTable::InvertCellStates(uint8_t StateMask) {
  ForStates([StateMask](uint8_t S) { return uint8_t(S ^ StateMask); });
}

void TDataTable::ExchangeMarkings() {
  ForStates(
      [](uint8_t S) { return uint8_t((S & 0x3F) | ((S & csMark1) << 1) | ((S & csMark2) >> 1)); });
}

bool TDataTable::IfRowHasCellState(int32_t Row, uint8_t State) const {
  return CountMarkedCellsInRow(Row, State) > 0;
}

bool TDataTable::IfColHasCellState(int32_t Col, uint8_t State) const {
  return CountMarkedCellsInColumn(Col, State) > 0;
}

bool TDataTable::IfAnyCellHasCellState(int32_t LowCol, int32_t LowRow, int32_t HighCol,
                                       int32_t HighRow, uint8_t State) const {
  MakeValidColRange(LowCol, HighCol);
  MakeValidRowRange(LowRow, HighRow);
  for (int32_t C = LowCol; C <= HighCol; ++C)
    for (int32_t R = LowRow; R <= HighRow; ++R)
      if (FCState[StateIx(C, R)] & State) return true;
  return false;
}

int32_t TDataTable::CountMarkedCellsInRow(int32_t Row, uint8_t StateMask) const {
  if (Row < 1 || Row > FNrOfRows) return 0;
  int32_t N = 0;
  for (int32_t C = 1; C <= FNrOfCols; ++C) N += (FCState[StateIx(C, Row)] & StateMask) != 0;
  return N;
}

int32_t TDataTable::CountMarkedCellsInColumn(int32_t Col, uint8_t StateMask) const {
  if (Col < 1 || Col > FNrOfCols) return 0;
  int32_t N = 0;
  for (int32_t R = 1; R <= FNrOfRows; ++R) N += (FCState[StateIx(Col, R)] & StateMask) != 0;
  return N;
}

int32_t TDataTable::FillMarkedCells(double Value, uint8_t StateMask) {
  int32_t N = 0;
  {
    TMatrixMute Mute(*FMat);
    for (int32_t C = 1; C <= FNrOfCols; ++C)
      for (int32_t R = 1; R <= FNrOfRows; ++R)
        if (FCState[StateIx(C, R)] & StateMask) {
          FMat->SetVal(C, R, Value);
          ++N;
        }
  }
  if (N > 0) ChangedData();
  return N;
}

// ---- Identity checksums ----

namespace {

// Eight CRC-32 registers; the byte at position p goes to register p mod 8.
class TPositionCRC {
 public:
  TPositionCRC() { Acc.fill(0xFFFFFFFFU); }
  void Feed(uint8_t Byte, int64_t Pos) {
    uint32_t& A = Acc[size_t(Pos % 8)];
    A = CalcNextCRC32(Byte, A);
  }
  // The UTF-8 bytes of Text at positions 1..length.
  void FeedText(std::string_view Text) {
    for (size_t I = 0; I < Text.size(); ++I) Feed(uint8_t(Text[I]), int64_t(I) + 1);
  }
  std::string Result() const {
    std::string S;
    for (const uint32_t A : Acc) S += Hex(int64_t{~A}, 8);
    return S;
  }

 private:
  std::array<uint32_t, 8> Acc;
};

}  // namespace

std::string TDataTable::CRCofNamesAndAttributes() const {
  TPositionCRC Crc;
  Crc.FeedText(FComment);
  for (const auto& N : FColName) Crc.FeedText(N);
  for (int32_t C = 1; C <= FNrOfCols; ++C) Crc.Feed(uint8_t(FColAtt[size_t(C - 1)]), C);
  for (const auto& N : FRowName) Crc.FeedText(N);
  for (int32_t R = 1; R <= FNrOfRows; ++R) Crc.Feed(uint8_t(FRowAtt[size_t(R - 1)]), R);
  for (int32_t C = 1; C <= FNrOfCols; ++C) Crc.Feed(FVType[size_t(C - 1)].MScaleType, C);
  for (const auto& VarType : FVType)
    for (int32_t K = 0; K < MaxNominalIDs; ++K) Crc.FeedText(VarType.IDs[K]);
  return Crc.Result();
}

std::string TDataTable::CRCofCellStates() const {
  TPositionCRC Crc;
  for (int32_t C = 1; C <= FNrOfCols; ++C)
    for (int32_t R = 1; R <= FNrOfRows; ++R) Crc.Feed(FCState[StateIx(C, R)], R);
  return Crc.Result();
}

}  // namespace nux
