// ASC export and import of the data table: row attributes, column and row names, the values
// ("###" for a cell without a value) and a variables section (scale type, column attribute and
// nominal identifiers of every column).
#include <algorithm>
#include <limits>
#include <ostream>

#include "nux/datatable/datatable_impl.h"
#include "nux/frame/ascio.h"
#include "nux/frame/rounding.h"
#include "nux/frame/stringl.h"
#include "nux/host/atomicfile.h"

namespace nux {

namespace {

std::string StreamRest(TStream& S) {
  const int64_t Left = std::max<int64_t>(0, S.Size() - S.Position());
  std::string Text(static_cast<size_t>(Left), '\0');
  Text.resize(static_cast<size_t>(std::max<int64_t>(0, S.Read(Text.data(), Left))));
  if (Text.compare(0, 3, "\xEF\xBB\xBF") == 0) Text.erase(0, 3);
  return Text;
}

std::string Cut(std::string S, size_t Max) {
  if (S.size() > Max) S.resize(Max);
  return S;
}

// Row attributes and variables the table can hold; false for any other.
bool TableFits(const TASCBody& B) {
  for (const double A : B.RowAttribs)
    if (!(A >= INT32_MIN && A <= INT32_MAX)) return false;
  for (const auto& V : B.Variables) {
    if (V.Scale > stRatio) return false;
    for (const auto& [Ord, ID] : V.IDs)
      if (Ord < 0 || Ord >= MaxNominalIDs) return false;
  }
  return true;
}

int32_t ReadTableText(std::string& Text, std::string& Comment, TASCBody& Body, int32_t& Nc,
                      int32_t& Nr) {
  // A table has at least one row.
  const int32_t R = ReadASCText(Text, true, Comment, Nc, Nr, Body);
  if (R != ascOK) return R;
  return TableFits(Body) ? ascOK : ascBadValue;
}

}  // namespace

std::string TDataTable::ASCText(int32_t Precision, const TStr2DArray* CustData,
                                const std::string& Origin, const TIntArray* Cols,
                                const TIntArray* Rows) const {
  const bool Flags[4] = {true, true, true, true};
  const int32_t Nc = Cols ? static_cast<int32_t>(Cols->size()) : FNrOfCols;
  const int32_t Nr = Rows ? static_cast<int32_t>(Rows->size()) : FNrOfRows;
  const auto ColAt = [&](int32_t I) { return Cols ? (*Cols)[size_t(I)] : I + 1; };
  const auto RowAt = [&](int32_t I) { return Rows ? (*Rows)[size_t(I)] : I + 1; };
  std::string Text =
      ASCHeader(FComment.empty() ? "Exported by NUX TDataTable component: " + Origin : FComment, Nc,
                Nr, Flags);
  for (int32_t I = 0; I < Nc; ++I) {
    Text += I > 0 ? " " : "";
    Text += QuoteName(FColName[size_t(ColAt(I) - 1)]);
  }
  Text += '\n';
  for (int32_t J = 0; J < Nr; ++J) {
    const int32_t R = RowAt(J);
    Text += std::to_string(FRowAtt[size_t(R - 1)]) + ' ' + QuoteName(FRowName[size_t(R - 1)]);
    for (int32_t I = 0; I < Nc; ++I) {
      const int32_t C = ColAt(I);
      Text += '\t';
      if (FCState[StateIx(C, R)] & (csInvalid | csEmpty))
        Text += "###";
      else
        AppendASCValue(Text, RawVal(C, R), Precision);
    }
    Text += '\n';
  }
  std::vector<TASCVariable> Vars(static_cast<size_t>(Nc));
  for (int32_t I = 0; I < Nc; ++I) {
    const int32_t C = ColAt(I);
    auto& V = Vars[size_t(I)];
    const TVTypeSpec& VarType = FVType[size_t(C - 1)];
    V.Scale = VarType.MScaleType;
    V.Attribute = FColAtt[size_t(C - 1)];
    for (int32_t O = 0; O < MaxNominalIDs; ++O)
      if (!VarType.IDs[O].empty()) V.IDs.emplace_back(O, VarType.IDs[O]);
  }
  AppendASCVariables(Text, Vars);
  if (CustData) AppendASCCustData(Text, *CustData);
  if (OnExportText) OnExportText(const_cast<TDataTable*>(this), Text);
  return Text;
}

int32_t TDataTable::ExportAsASC(const std::string& FName, int32_t Precision) const {
  return WriteWholeFile(FName, ASCText(Precision, nullptr, FName)) ? 0 : -1;
}

int32_t TDataTable::ExportAsASC(const std::string& FName, int32_t Precision,
                                const TStr2DArray& CustData) const {
  return WriteWholeFile(FName, ASCText(Precision, &CustData, FName)) ? 0 : -1;
}

int32_t TDataTable::ExportAsASC(TStream& OutStream, int32_t Precision) const {
  const std::string Text = ASCText(Precision, nullptr, Name());
  const auto N = static_cast<int64_t>(Text.size());
  return OutStream.Write(Text.data(), N) == N ? 0 : -1;
}

int32_t TDataTable::ExportAsASC(std::ostream& Out, int32_t Precision) const {
  const std::string Text = ASCText(Precision, nullptr, Name());
  Out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
  return Out.good() ? 0 : -1;
}

int32_t TDataTable::ImportASC(const std::string& FName) {
  std::string Text;
  const int32_t R = ReadWholeTextFile(FName, Text);
  return R != ascOK ? R : ImportASCText(Text, nullptr);
}

int32_t TDataTable::ImportASC(const std::string& FName, TStr2DArray& CustData) {
  std::string Text;
  const int32_t R = ReadWholeTextFile(FName, Text);
  return R != ascOK ? R : ImportASCText(Text, &CustData);
}

int32_t TDataTable::ImportASC(TStream& InStream) {
  std::string Text = StreamRest(InStream);
  return ImportASCText(Text, nullptr);
}

int32_t TDataTable::ImportASC(const TClipboard& ClipBd) {
  std::string Text = ClipBd.AsText();
  return ImportASCText(Text, nullptr);
}

int32_t TDataTable::ImportASCText(std::string& Text, TStr2DArray* CustData) {
  using namespace datatable_detail;
  std::string Comment;
  TASCBody B;
  int32_t Nc = 0, Nr = 0;
  const int32_t R = ReadTableText(Text, Comment, B, Nc, Nr);
  if (R != ascOK) return R;
  TLayout L;
  try {
    L.Nc = Nc;
    L.Nr = Nr;
    L.CState.assign(size_t(Nc) * size_t(Nr), 0);
    for (const int64_t P : B.NoValue) L.CState[size_t(P)] = csEmpty;
    L.ColName.resize(size_t(Nc));
    L.RowName.resize(size_t(Nr));
    for (int32_t C = 0; C < Nc; ++C)
      L.ColName[size_t(C)] = B.ColNames.empty() ? DefaultName('C', C + 1)
                                                : Cut(B.ColNames[size_t(C)], MaxDTNameLength);
    for (int32_t K = 0; K < Nr; ++K)
      L.RowName[size_t(K)] = B.RowNames.empty() ? DefaultName('R', K + 1)
                                                : Cut(B.RowNames[size_t(K)], MaxDTNameLength);
    L.ColAtt.assign(size_t(Nc), 0);
    L.RowAtt.assign(size_t(Nr), 0);
    for (size_t K = 0; K < B.RowAttribs.size(); ++K)
      L.RowAtt[K] = static_cast<int32_t>(B.RowAttribs[K]);
    L.VType.resize(size_t(Nc));
    for (size_t C = 0; C < B.Variables.size(); ++C) {
      L.ColAtt[C] = B.Variables[C].Attribute;
      L.VType[C].MScaleType = static_cast<TMScaleType>(B.Variables[C].Scale);
      for (const auto& [Ord, ID] : B.Variables[C].IDs) L.VType[C].IDs.Set(Ord, ID);
    }
    L.HasValues = true;
    L.Values.swap(B.Columns);
  } catch (const std::bad_alloc&) {
    return ascTooLarge;
  }
  const int32_t OldCols = FNrOfCols, OldRows = FNrOfRows;
  Install(L);
  FComment = RemoveControlChars(Comment);
  if (CustData) *CustData = std::move(B.CustData);
  if (OldCols != FNrOfCols || OldRows != FNrOfRows) FireResize(OldCols, OldRows);
  ChangedData();
  ChangedNames();
  ChangedAttrib();
  ChangedCellStates();
  ChangedSetup();
  return ascOK;
}

int32_t TDataTable::ReadFromASC(const std::string& FName, int32_t PosX, int32_t PosY,
                                bool ReplaceIDs) {
  std::string Text;
  const int32_t R = ReadWholeTextFile(FName, Text);
  return R != ascOK ? R : ReadFromASCText(Text, PosX, PosY, ReplaceIDs);
}

int32_t TDataTable::ReadFromASC(TStream& InStream, int32_t PosX, int32_t PosY, bool ReplaceIDs) {
  std::string Text = StreamRest(InStream);
  return ReadFromASCText(Text, PosX, PosY, ReplaceIDs);
}

int32_t TDataTable::ReadFromASC(const TClipboard& ClipBd, int32_t PosX, int32_t PosY,
                                bool ReplaceIDs) {
  std::string Text = ClipBd.AsText();
  return ReadFromASCText(Text, PosX, PosY, ReplaceIDs);
}

int32_t TDataTable::ReadFromASCText(std::string& Text, int32_t PosX, int32_t PosY,
                                    bool ReplaceIDs) {
  if (PosX < 1 || PosY < 1) return ascBadPosition;
  std::string Comment;
  TASCBody B;
  int32_t Nc = 0, Nr = 0;
  const int32_t R = ReadTableText(Text, Comment, B, Nc, Nr);
  if (R != ascOK) return R;
  const int64_t NeedC = std::max<int64_t>(FNrOfCols, int64_t{PosX} + Nc - 1);
  const int64_t NeedR = std::max<int64_t>(FNrOfRows, int64_t{PosY} + Nr - 1);
  if (NeedC > INT32_MAX || NeedR > INT32_MAX) return ascTooLarge;
  if (NeedC != FNrOfCols || NeedR != FNrOfRows)
    Resize(static_cast<int32_t>(NeedC), static_cast<int32_t>(NeedR));
  {
    TMatrixMute Mute(*FMat);
    for (int32_t C = 0; C < Nc; ++C) {
      const int32_t TC = PosX + C;
      TDoubleArray& Col = B.Columns[size_t(C)];
      if (!B.ColNames.empty())
        FColName[size_t(TC - 1)] = Cut(B.ColNames[size_t(C)], MaxDTNameLength);
      if (!B.Variables.empty()) {
        const TASCVariable& V = B.Variables[size_t(C)];
        TVTypeSpec& VarType = FVType[size_t(TC - 1)];
        FColAtt[size_t(TC - 1)] = V.Attribute;
        if (ReplaceIDs || !IsCategorical(VarType.MScaleType)) {
          VarType.MScaleType = static_cast<TMScaleType>(V.Scale);
          VarType.IDs.Clear();
          for (const auto& [Ord, ID] : V.IDs) VarType.IDs.Set(Ord, ID);
        } else if (IsCategorical(static_cast<TMScaleType>(V.Scale))) {
          // Merge by text: the file's ordinals are renumbered to the column's.
          std::vector<int32_t> Map(size_t(MaxNominalIDs), -1);
          for (const auto& [Ord, ID] : V.IDs) {
            int32_t T = OrdinalOfNominalID(TC, ID, false);
            if (T < 0) T = AddNominalID(TC, ID);
            Map[size_t(Ord)] = T;
          }
          for (double& X : Col) {
            const double O = RoundEven(X);
            if (O >= 0 && O < MaxNominalIDs && Map[size_t(O)] >= 0) X = Map[size_t(O)];
          }
        }
      }
      for (int32_t K = 0; K < Nr; ++K) {
        FMat->SetVal(TC, PosY + K, Col[size_t(K)]);
        FCState[StateIx(TC, PosY + K)] = 0;
      }
    }
    for (const int64_t P : B.NoValue)
      FCState[StateIx(PosX + static_cast<int32_t>(P / Nr), PosY + static_cast<int32_t>(P % Nr))] =
          csEmpty;
    for (int32_t K = 0; K < Nr; ++K) {
      if (!B.RowNames.empty())
        FRowName[size_t(PosY + K - 1)] = Cut(B.RowNames[size_t(K)], MaxDTNameLength);
      if (!B.RowAttribs.empty())
        FRowAtt[size_t(PosY + K - 1)] = static_cast<int32_t>(B.RowAttribs[size_t(K)]);
    }
  }
  ChangedData();
  ChangedNames();
  ChangedAttrib();
  ChangedCellStates();
  ChangedSetup();
  return ascOK;
}

}  // namespace nux
