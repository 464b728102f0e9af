// CSV export and import of the data table.
#include <algorithm>
#include <charconv>
#include <limits>

#include "nux/datatable/datatable_impl.h"
#include "nux/frame/ascio.h"
#include "nux/frame/csvio.h"
#include "nux/frame/progress.h"
#include "nux/frame/stringl.h"
#include "nux/host/atomicfile.h"

namespace nux {

namespace {

constexpr int64_t FeedBackRecords = 1 << 16;

std::string_view Trim(std::string_view F) {
  while (!F.empty() && (F.front() == ' ' || F.front() == '\t')) F.remove_prefix(1);
  while (!F.empty() && (F.back() == ' ' || F.back() == '\t')) F.remove_suffix(1);
  return F;
}

// A cell from a field: its value and state (csEmpty for an empty field or "NAN"/"###",
// csInvalid for text that is not a number).
double CellValue(std::string_view F, uint8_t& State) {
  F = Trim(F);
  State = 0;
  double X = 0;
  if (F.empty() || F == "NAN" || F == "###") {
    State = csEmpty;
    return 0;
  }
  const char* B = F.data() + (F[0] == '+' && F.size() > 1 && F[1] != '-' ? 1 : 0);
  const char* E = F.data() + F.size();
  const auto R = std::from_chars(B, E, X);
  if (R.ec != std::errc() || R.ptr != E) {
    State = csInvalid;
    return 0;
  }
  return X;
}

bool BlankRecord(const std::vector<std::string_view>& F) {
  return F.empty() || (F.size() == 1 && F[0].empty());
}

std::string Cut(std::string_view S) {
  return std::string(S.substr(0, std::min(S.size(), MaxDTNameLength)));
}

// Cells of CSV records gathered straight into columns. Capacity is estimated from the share of
// the file read so far, so the columns are allocated about once; a column's states are only
// kept once one of its cells has a state.
class TColumnBuilder {
 public:
  int64_t Rows() const { return FRows; }

  void AddRow(const std::vector<std::string_view>& F, size_t Lead, uint64_t FileSize,
              uint64_t BytesDone) {
    const size_t Width = F.size() - Lead;
    if (FRows == FCap) Grow(FileSize, BytesDone);
    while (FValues.size() < Width) AddColumn();
    for (size_t K = 0; K < FValues.size(); ++K) {
      uint8_t St = csEmpty;
      FValues[K].push_back(K < Width ? CellValue(F[Lead + K], St) : 0.0);
      std::vector<uint8_t>& S = FStates[K];
      if (St || !S.empty()) {
        S.resize(size_t(FRows), 0);  // no-op once the column keeps its states
        S.push_back(St);
      }
    }
    ++FRows;
  }

  // At least MinCols columns; the values and the column-major states of the table.
  void Finish(size_t MinCols, std::vector<TDoubleArray>& Values, std::vector<uint8_t>& CState) {
    while (FValues.size() < MinCols) AddColumn();
    const auto Nr = size_t(FRows);
    CState.assign(FValues.size() * Nr, 0);
    for (size_t K = 0; K < FValues.size(); ++K) {
      if (!FStates[K].empty()) std::copy(FStates[K].begin(), FStates[K].end(), &CState[K * Nr]);
      std::vector<uint8_t>().swap(FStates[K]);
      // An estimate well above the count leaves slack worth returning.
      if (FValues[K].capacity() - Nr > Nr / 32 + 1024) FValues[K].shrink_to_fit();
    }
    Values.swap(FValues);
  }

 private:
  void AddColumn() {
    TDoubleArray V;
    V.reserve(size_t(FCap));
    V.resize(size_t(FRows), 0.0);
    FValues.push_back(std::move(V));
    // Earlier records had no field here.
    FStates.emplace_back(size_t(FRows), uint8_t(FRows > 0 ? csEmpty : 0));
  }

  void Grow(uint64_t FileSize, uint64_t BytesDone) {
    int64_t Cap = FRows == 0 ? 1024 : FRows + FRows / 2;
    if (FRows >= 1024 && FileSize > BytesDone) {
      // The records still to come at the mean length so far, with a margin; at least an eighth
      // more, so that a low estimate near the end does not copy the columns again and again.
      const double Left = double(FileSize - BytesDone) / double(BytesDone) * double(FRows);
      Cap = std::max(FRows + int64_t(std::min(Left * 1.02, double(FileSize))) + 64,
                     FRows + FRows / 8);
    }
    FCap = std::min<int64_t>(Cap, std::numeric_limits<int32_t>::max());
    for (auto& V : FValues) V.reserve(size_t(FCap));
  }

  std::vector<TDoubleArray> FValues;
  std::vector<std::vector<uint8_t>> FStates;
  int64_t FRows = 0;
  int64_t FCap = 0;
};

}  // namespace

int32_t TDataTable::ExportAsCSV(const std::string& FName, int32_t Precision,
                                TCSVDelimiters Delimiter, bool IncludeColHeaders,
                                bool IncludeRowHeaders, bool IncludeRowAttributes,
                                bool IncludeComment) const {
  const char D = CSVDelimiterChar(Delimiter);
  const std::string Empty = CSVField("", D);
  std::string Text;
  Text.reserve(size_t(FNrOfCols) * size_t(FNrOfRows) * 8 + 64);
  if (IncludeComment) Text += CSVField(FComment, D) + "\r\n";
  if (IncludeColHeaders) {
    std::string Line;
    if (IncludeRowAttributes) Line += Empty + D;
    if (IncludeRowHeaders) Line += Empty + D;
    for (int32_t C = 1; C <= FNrOfCols; ++C) {
      if (C > 1) Line += D;
      Line += CSVField(FColName[size_t(C - 1)], D);
    }
    Text += Line + "\r\n";
  }
  BeginAbortable();
  for (int32_t R = 1; R <= FNrOfRows; ++R) {
    if (IncludeRowAttributes) (Text += std::to_string(FRowAtt[size_t(R - 1)])) += D;
    if (IncludeRowHeaders) (Text += CSVField(FRowName[size_t(R - 1)], D)) += D;
    for (int32_t C = 1; C <= FNrOfCols; ++C) {
      if (C > 1) Text += D;
      if (FCState[StateIx(C, R)] & (csInvalid | csEmpty))
        Text += Empty;
      else
        AppendASCValue(Text, RawVal(C, R), Precision);
    }
    Text += "\r\n";
    if (R % FeedBackRecords == 0 && MathFeedBack(FeedBackRecords)) return ascAborted;
  }
  if (OnExportText) OnExportText(const_cast<TDataTable*>(this), Text);
  return WriteWholeFile(FName, Text) ? 0 : -1;
}

int32_t TDataTable::ImportFromCSV(const std::string& FName, TCSVDelimiters Delimiter,
                                  bool IncludeColHeaders, bool IncludeRowHeaders) {
  return ImportFromCSV(FName, Delimiter, 0, 0, IncludeColHeaders, IncludeRowHeaders);
}

int32_t TDataTable::ImportFromCSV(const std::string& FName, TCSVDelimiters Delimiter,
                                  int32_t NLinesSkip, int32_t LastImportLine,
                                  bool IncludeColHeaders, bool IncludeRowHeaders) {
  using namespace datatable_detail;
  TCSVFileReader In(CSVDelimiterChar(Delimiter));
  int32_t Code = In.Open(FName);
  if (Code != ascOK) return Code;
  const int64_t Last = LastImportLine > 0 ? LastImportLine : std::numeric_limits<int64_t>::max();
  constexpr int64_t MaxCount = std::numeric_limits<int32_t>::max();
  std::vector<std::string_view> F;
  int64_t RecNo = 0;
  int32_t Got = 0;
  auto Next = [&] {
    if (RecNo >= Last) return false;
    Got = In.Next(F);
    if (Got != 1) return false;
    ++RecNo;
    return true;
  };
  while (RecNo < NLinesSkip && Next()) {
  }
  const size_t Lead = IncludeRowHeaders ? 1 : 0;
  TStrArray ColNames, RowNames;
  TColumnBuilder Cols;
  BeginAbortable();
  try {
    if (IncludeColHeaders) {
      bool Named = false;
      while (!Named && Next()) Named = !BlankRecord(F);
      if (Named)
        for (size_t K = Lead; K < F.size(); ++K) ColNames.push_back(Cut(Trim(F[K])));
      if (ColNames.size() > size_t(MaxCount)) return ascTooLarge;
    }
    while (Next()) {
      if (BlankRecord(F)) continue;
      if (Cols.Rows() >= MaxCount || F.size() - Lead > size_t(MaxCount)) return ascTooLarge;
      if (IncludeRowHeaders) RowNames.push_back(Cut(Trim(F[0])));
      Cols.AddRow(F, Lead, In.FileSize(), In.BytesDone());
      if (Cols.Rows() % FeedBackRecords == 0 && MathFeedBack(FeedBackRecords)) return ascAborted;
    }
    if (Got < 0) return Got;
    if (Cols.Rows() == 0) return csvNoData;
    TLayout L;
    Cols.Finish(std::max<size_t>(ColNames.size(), 1), L.Values, L.CState);
    const auto Nr = static_cast<int32_t>(Cols.Rows());
    const auto Nc = static_cast<int32_t>(L.Values.size());
    L.Nc = Nc;
    L.Nr = Nr;
    L.ColName.resize(size_t(Nc));
    for (int32_t C = 0; C < Nc; ++C)
      L.ColName[size_t(C)] =
          size_t(C) < ColNames.size() ? ColNames[size_t(C)] : DefaultName('C', C + 1);
    if (IncludeRowHeaders) {
      L.RowName.swap(RowNames);
    } else {
      L.RowName.resize(size_t(Nr));
      for (int32_t R = 0; R < Nr; ++R) L.RowName[size_t(R)] = DefaultName('R', R + 1);
    }
    L.ColAtt.assign(size_t(Nc), 0);
    L.RowAtt.assign(size_t(Nr), 0);
    L.VType.resize(size_t(Nc));
    L.HasValues = true;
    const int32_t OldCols = FNrOfCols, OldRows = FNrOfRows;
    Install(L);
    if (OldCols != FNrOfCols || OldRows != FNrOfRows) FireResize(OldCols, OldRows);
  } catch (const std::bad_alloc&) {
    return ascTooLarge;
  } catch (const std::length_error&) {
    return ascTooLarge;
  }
  ChangedData();
  ChangedNames();
  ChangedAttrib();
  ChangedCellStates();
  ChangedSetup();
  return Code;
}

}  // namespace nux
