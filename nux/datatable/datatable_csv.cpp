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
  std::string Text;
  int32_t Code = ReadWholeTextFile(FName, Text);
  if (Code != ascOK) return Code;
  const int64_t Last = LastImportLine > 0 ? LastImportLine : std::numeric_limits<int64_t>::max();
  constexpr int64_t MaxCount = std::numeric_limits<int32_t>::max();
  TCSVScanner S(Text, CSVDelimiterChar(Delimiter));
  std::vector<std::string_view> F;
  int64_t RecNo = 0;
  bool Have = false;
  auto Next = [&] {
    Have = RecNo < Last && S.NextRecord(F);
    if (Have) ++RecNo;
    return Have;
  };
  while (RecNo < NLinesSkip && Next()) {
  }
  const size_t Lead = IncludeRowHeaders ? 1 : 0;
  TStrArray ColNames, RowNames;
  TDoubleArray Vals;                                // row by row
  std::vector<int64_t> Starts;                      // each row's first position in Vals
  std::vector<std::pair<int64_t, uint8_t>> States;  // positions in Vals with a state
  size_t Width = 0;
  BeginAbortable();
  try {
    if (IncludeColHeaders) {
      while (Next() && BlankRecord(F)) {
      }
      if (Have)
        for (size_t K = Lead; K < F.size(); ++K) ColNames.push_back(Cut(Trim(F[K])));
      if (ColNames.size() > size_t(MaxCount)) return ascTooLarge;
      Width = ColNames.size();
    }
    while (Next()) {
      if (BlankRecord(F)) continue;
      if (int64_t(Starts.size()) >= MaxCount || F.size() - Lead > size_t(MaxCount))
        return ascTooLarge;
      Starts.push_back(static_cast<int64_t>(Vals.size()));
      if (IncludeRowHeaders) RowNames.push_back(Cut(Trim(F[0])));
      for (size_t K = Lead; K < F.size(); ++K) {
        uint8_t St = 0;
        Vals.push_back(CellValue(F[K], St));
        if (St) States.emplace_back(int64_t(Vals.size()) - 1, St);
      }
      Width = std::max(Width, F.size() - Lead);
      if (Starts.size() % FeedBackRecords == 0 && MathFeedBack(FeedBackRecords)) return ascAborted;
    }
    if (S.Failed()) return csvOpenQuote;
    if (Starts.empty()) return csvNoData;
    std::string().swap(Text);  // frees the buffer; assigning "" would keep it
    Width = std::max<size_t>(Width, 1);
    const auto Nr = static_cast<int32_t>(Starts.size());
    const auto Nc = static_cast<int32_t>(Width);
    TLayout L;
    L.Nc = Nc;
    L.Nr = Nr;
    L.CState.assign(size_t(Nc) * size_t(Nr), 0);
    L.Values.assign(size_t(Nc), TDoubleArray(size_t(Nr)));
    Starts.push_back(static_cast<int64_t>(Vals.size()));
    for (int32_t R = 0; R < Nr; ++R) {
      const int64_t B = Starts[size_t(R)], Len = Starts[size_t(R) + 1] - B;
      for (int32_t C = 0; C < Nc; ++C) {
        if (C < Len)
          L.Values[size_t(C)][size_t(R)] = Vals[size_t(B + C)];
        else
          L.CState[size_t(C) * size_t(Nr) + size_t(R)] = csEmpty;
      }
    }
    for (const auto& [Pos, St] : States) {
      // The row of a position: the last start not beyond it.
      const auto It = std::upper_bound(Starts.begin(), Starts.end() - 1, Pos) - 1;
      const auto R = static_cast<size_t>(It - Starts.begin());
      L.CState[size_t(Pos - *It) * size_t(Nr) + R] = St;
    }
    TDoubleArray().swap(Vals);
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
