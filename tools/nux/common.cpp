// Input, output, progress and interruption shared by the subcommands.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "command.h"
#include "nux/frame/ascio.h"
#include "nux/frame/csvio.h"
#include "nux/frame/progress.h"

namespace nuxcli {

using namespace nux;

std::vector<TCommand>& Commands() {
  static std::vector<TCommand> Table;
  return Table;
}

TRegister::TRegister(TCommand C) { Commands().push_back(std::move(C)); }

void SetExamples(CLI::App& Sub, const std::string& Text) { Sub.footer("\nExamples:\n" + Text); }

// ---- Interruption ----

namespace {

volatile std::sig_atomic_t Interrupted = 0;

extern "C" void OnInterrupt(int) { Interrupted = 1; }

}  // namespace

void InstallInterruptHandler() {
  // One-shot, so that a second Ctrl-C ends the program at once; without SA_RESTART, so that a
  // blocked read of standard input returns.
  struct sigaction A {};
  A.sa_handler = OnInterrupt;
  sigemptyset(&A.sa_mask);
  A.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &A, nullptr);
}

void CheckInterrupted() {
  if (Interrupted) throw EInterrupted();
}

// ---- Progress ----

namespace {

struct TBar {
  std::string Label;
  double Total = 0;
  bool Show = false;
  bool Drawn = false;
  std::chrono::steady_clock::time_point Last;
};

TBar Bar;

void DrawBar(double Done) {
  const auto Now = std::chrono::steady_clock::now();
  if (Bar.Drawn && Now - Bar.Last < std::chrono::milliseconds(100)) return;
  Bar.Last = Now;
  Bar.Drawn = true;
  constexpr int Width = 30;
  if (Bar.Total > 0) {
    const double F = std::clamp(Done / Bar.Total, 0.0, 0.99);
    const int Filled = int(F * Width);
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", Bar.Label.c_str(), std::string(Filled, '#').c_str(),
                 std::string(Width - Filled, '.').c_str(), int(F * 100));
  } else {
    std::fprintf(stderr, "\r%s %.0f", Bar.Label.c_str(), Done);
  }
  std::fflush(stderr);
}

}  // namespace

TProgress::TProgress(std::string Label, double Total) {
  Bar = TBar{std::move(Label), Total, isatty(STDERR_FILENO) == 1, false, {}};
  ProcStat = 0;
  // The hook also carries Ctrl-C into the running routine: BeginAbortable clears the flag at the
  // start of each routine, so it is set again on every report.
  MathFeedBackProc = [](double Done) {
    if (Interrupted) AbortMathProc = true;
    if (Bar.Show) DrawBar(Done);
  };
}

TProgress::~TProgress() {
  MathFeedBackProc = nullptr;
  if (Bar.Drawn) std::fprintf(stderr, "\r%*s\r", int(Bar.Label.size()) + 40, "");
}

// ---- Input ----

void TInputOptions::Add(CLI::App& Sub) {
  Sub.add_option("FILE", File, "data file (CSV or ASC); - reads standard input")->required();
  Sub.add_option("--format", Format, "input format (default: by extension, .asc is ASC)")
      ->check(CLI::IsMember({"auto", "csv", "asc"}));
  Sub.add_option("--delimiter", Delimiter, "CSV delimiter (default: detected)")
      ->check(CLI::IsMember({"auto", "comma", "semicolon", "tab", "blank"}));
  Sub.add_option("--header", Header, "whether the first CSV record names the columns")
      ->check(CLI::IsMember({"auto", "yes", "no"}));
}

std::string InputFormat(const std::string& File, const std::string& Format) {
  if (Format != "auto") return Format;
  std::string Ext = File.size() >= 4 ? File.substr(File.size() - 4) : "";
  std::transform(Ext.begin(), Ext.end(), Ext.begin(),
                 [](unsigned char C) { return char(std::tolower(C)); });
  return Ext == ".asc" ? "asc" : "csv";
}

namespace {

// A temporary file holding standard input, removed with the object.
struct TStdinFile {
  std::string Name;
  TStdinFile() {
    const char* Dir = std::getenv("TMPDIR");
    std::string Pattern = std::string(Dir && *Dir ? Dir : "/tmp") + "/nux-stdin-XXXXXX";
    const int Fd = mkstemp(Pattern.data());
    if (Fd < 0) throw EData("cannot create a temporary file for standard input");
    Name = Pattern;
    // The destructor does not run when the constructor throws: remove the file here.
    auto Fail = [&](const std::string& Why) {
      close(Fd);
      std::remove(Name.c_str());
      if (Interrupted) throw EInterrupted();
      throw EData(Why);
    };
    char Buf[1 << 16];
    for (;;) {
      const ssize_t N = read(STDIN_FILENO, Buf, sizeof Buf);
      if (N == 0) break;
      if (N < 0) {
        if (errno == EINTR && !Interrupted) continue;
        Fail("cannot read standard input");
      }
      for (ssize_t Done = 0; Done < N;) {
        const ssize_t W = write(Fd, Buf + Done, size_t(N - Done));
        if (W <= 0) Fail("cannot store standard input in " + Name);
        Done += W;
      }
    }
    if (close(Fd) != 0) {
      std::remove(Name.c_str());
      throw EData("cannot store standard input in " + Name);
    }
  }
  ~TStdinFile() {
    if (!Name.empty()) std::remove(Name.c_str());
  }
};

// The start of a file, for guessing its layout.
std::string Head(const std::string& File, size_t Bytes) {
  std::string Text;
  if (FILE* F = std::fopen(File.c_str(), "rb")) {
    Text.resize(Bytes);
    Text.resize(std::fread(Text.data(), 1, Bytes, F));
    std::fclose(F);
  }
  return Text;
}

bool IsNumberField(std::string_view F) {
  while (!F.empty() && (F.front() == ' ' || F.front() == '\t')) F.remove_prefix(1);
  while (!F.empty() && (F.back() == ' ' || F.back() == '\t')) F.remove_suffix(1);
  if (F.empty() || F == "NAN" || F == "###") return true;  // missing, not a name
  if (F.size() > 1 && F[0] == '+') F.remove_prefix(1);
  double X;
  const auto R = std::from_chars(F.data(), F.data() + F.size(), X);
  return R.ec == std::errc() && R.ptr == F.data() + F.size();
}

struct TLayout {
  TCSVDelimiters Delim = csvComma;
  bool HasHeader = false;
  int32_t SkipLines = 0;  // leading lines starting with '#'
  double Records = 0;     // estimated record count, for the progress bar
};

// Records of Text with delimiter D, complete ones only (the sample may end mid-record).
std::vector<std::vector<std::string>> Records(std::string_view Text, char D, size_t Max) {
  std::vector<std::vector<std::string>> Out;
  TCSVScanner S(Text, D);
  std::vector<std::string_view> F;
  while (Out.size() < Max && S.NextRecord(F)) {
    if (F.empty() || (F.size() == 1 && F[0].empty())) continue;
    Out.emplace_back(F.begin(), F.end());
  }
  return Out;
}

TLayout GuessLayout(const std::string& File, const TInputOptions& In) {
  TLayout L;
  constexpr size_t Sample = 1 << 16;
  const std::string Text = Head(File, Sample);
  size_t Pos = 0;
  if (Text.compare(0, 3, "\xEF\xBB\xBF") == 0) Pos = 3;
  // Comment lines at the top are skipped.
  while (Pos < Text.size() && Text[Pos] == '#') {
    const size_t E = Text.find('\n', Pos);
    if (E == std::string::npos) break;
    Pos = E + 1;
    ++L.SkipLines;
  }
  std::string_view Body(Text);
  Body.remove_prefix(Pos);
  // Drop the last, possibly cut, line of a full sample.
  if (Text.size() == Sample)
    if (const size_t E = Body.rfind('\n'); E != std::string_view::npos) Body = Body.substr(0, E);
  const size_t Lines = size_t(std::count(Body.begin(), Body.end(), '\n')) + 1;
  const uint64_t Size = [&] {
    FILE* F = std::fopen(File.c_str(), "rb");
    if (!F) return uint64_t(0);
    std::fseek(F, 0, SEEK_END);
    const long S = std::ftell(F);
    std::fclose(F);
    return S > 0 ? uint64_t(S) : 0;
  }();
  if (!Body.empty()) L.Records = double(Size) * double(Lines) / double(Body.size());

  static const std::pair<const char*, TCSVDelimiters> Names[] = {
      {"comma", csvComma}, {"semicolon", csvSemicolon}, {"tab", csvTab}, {"blank", csvBlank}};
  if (In.Delimiter != "auto") {
    for (const auto& [Name, D] : Names)
      if (In.Delimiter == Name) L.Delim = D;
  } else {
    // The delimiter that splits the first records into the same number of fields, the most
    // fields winning; the blank only when none of the others splits anything.
    size_t Best = 1;
    for (const auto& [Name, D] : Names) {
      const auto R = Records(Body, CSVDelimiterChar(D), 20);
      if (R.empty()) continue;
      const size_t W = R[0].size();
      const bool Same =
          std::all_of(R.begin(), R.end(), [&](const auto& Rec) { return Rec.size() == W; });
      if (Same && W > Best) {
        Best = W;
        L.Delim = D;
      }
    }
  }
  if (In.Header != "auto") {
    L.HasHeader = In.Header == "yes";
  } else {
    // A header holds more fields that are not numbers than the record after it.
    const auto R = Records(Body, CSVDelimiterChar(L.Delim), 2);
    auto Texts = [](const std::vector<std::string>& Rec) {
      return std::count_if(Rec.begin(), Rec.end(),
                           [](const std::string& F) { return !IsNumberField(F); });
    };
    L.HasHeader = !R.empty() && Texts(R[0]) > (R.size() > 1 ? Texts(R[1]) : 0);
  }
  return L;
}

std::string Quoted(const std::string& S) { return "'" + S + "'"; }

}  // namespace

void LoadTable(const TInputOptions& In, TDataTable& Table) {
  std::unique_ptr<TStdinFile> Stdin;
  std::string File = In.File;
  const std::string Shown = File == "-" ? "standard input" : Quoted(File);
  if (File == "-") {
    Stdin = std::make_unique<TStdinFile>();
    File = Stdin->Name;
  }
  CheckInterrupted();
  int32_t Code = 0;
  if (InputFormat(In.File, In.Format) == "asc") {
    TProgress P("reading", 0);
    Code = Table.ImportASC(File);
  } else {
    const TLayout L = GuessLayout(File, In);
    TProgress P("reading", L.Records);
    Code = Table.ImportFromCSV(File, L.Delim, L.SkipLines, 0, L.HasHeader, false);
  }
  if (Code == ascAborted) throw EInterrupted();
  CheckInterrupted();
  switch (Code) {
    case ascOK:
      return;
    case ascNoFile:
      throw EData("file " + Shown + " not found");
    case ascCannotRead:
      throw EData("cannot read " + Shown);
    case csvNoData:
      throw EData(Shown + " holds no data records");
    case csvOpenQuote:
      throw EData(Shown + ": a quoted field is not closed before the end of the file");
    case ascTooLarge:
      throw EData(Shown + " is too large (or announces more data than it holds)");
    default:
      throw EData(Shown + " is not a valid ASC file (result code " + std::to_string(Code) + ")");
  }
}

// ---- Columns ----

namespace {

std::string ColumnList(const TDataTable& T) {
  std::string S;
  for (int32_t C = 1; C <= T.NrOfColumns(); ++C) S += (C > 1 ? ", " : "") + T.ColName(C);
  return S;
}

}  // namespace

int32_t FindColumn(const TDataTable& Table, const std::string& Name) {
  for (int32_t C = 1; C <= Table.NrOfColumns(); ++C)
    if (Table.ColName(C) == Name) return C;
  if (const int32_t C = Table.FindColIndex(Name); C > 0) return C;
  int32_t Nr = 0;
  const auto R = std::from_chars(Name.data(), Name.data() + Name.size(), Nr);
  if (R.ec == std::errc() && R.ptr == Name.data() + Name.size() && Nr >= 1 &&
      Nr <= Table.NrOfColumns())
    return Nr;
  throw EUsage("column " + Quoted(Name) + " not found; columns are: " + ColumnList(Table));
}

std::vector<int32_t> NumericColumns(const TDataTable& Table,
                                    const std::vector<std::string>& Names) {
  std::vector<int32_t> Cols;
  const int32_t Nr = Table.NrOfRows();
  if (Names.empty()) {
    for (int32_t C = 1; C <= Table.NrOfColumns(); ++C)
      if (Table.CountNumCells(C, 1, C, Nr) > 0) Cols.push_back(C);
    if (Cols.empty()) throw EData("no column holds numbers; columns are: " + ColumnList(Table));
    return Cols;
  }
  for (const std::string& N : Names) {
    const int32_t C = FindColumn(Table, N);
    if (Table.CountNumCells(C, 1, C, Nr) == 0)
      throw EData("column " + Quoted(Table.ColName(C)) + " holds no numbers");
    Cols.push_back(C);
  }
  return Cols;
}

int32_t CompleteRows(const TDataTable& Table, const std::vector<int32_t>& Cols, TDataTable& Kept,
                     std::vector<int32_t>* RowNrs) {
  const int32_t Nr = Table.NrOfRows();
  std::vector<char> Complete(size_t(Nr), 1);
  for (int32_t C : Cols)
    for (int32_t R = 1; R <= Nr; ++R)
      if (!Table.IsNumber(C, R) || !std::isfinite(Table.Elem(C, R))) Complete[size_t(R - 1)] = 0;
  const auto N = int32_t(std::count(Complete.begin(), Complete.end(), 1));
  if (N == 0) throw EData("no row holds a number in every column used");
  if (RowNrs) {
    RowNrs->clear();
    for (int32_t R = 1; R <= Nr; ++R)
      if (Complete[size_t(R - 1)]) RowNrs->push_back(R);
  }
  Kept.Resize(int32_t(Cols.size()), N);
  for (size_t K = 0; K < Cols.size(); ++K) {
    const auto C = int32_t(K + 1);
    Kept.SetColName(C, Table.ColName(Cols[K]));
    TDoubleArray V;
    V.reserve(size_t(N));
    for (int32_t R = 1; R <= Nr; ++R)
      if (Complete[size_t(R - 1)]) V.push_back(Table.Elem(Cols[K], R));
    Kept.CopyDataColumnFromArray(C, V);
  }
  return Nr - N;
}

std::vector<double> SeriesOfColumn(const TDataTable& Table, int32_t Col) {
  std::vector<double> V;
  V.reserve(size_t(Table.NrOfRows()));
  for (int32_t R = 1; R <= Table.NrOfRows(); ++R) {
    if (!Table.IsNumber(Col, R) || !std::isfinite(Table.Elem(Col, R)))
      throw EData("column " + Quoted(Table.ColName(Col)) + " has no number in row " +
                  std::to_string(R) + "; a series must be complete");
    V.push_back(Table.Elem(Col, R));
  }
  return V;
}

// ---- Output ----

void TOutputOptions::Add(CLI::App& Sub, bool WithPlot) {
  auto* J = Sub.add_flag("--json", Json, "print the result as JSON");
  auto* C = Sub.add_flag("--csv", Csv, "print the result as CSV");
  J->excludes(C);
  if (!WithPlot) return;
  Sub.add_option("--plot", Plot, "draw a plot into FILE.svg or FILE.png")
      ->check([](const std::string& P) -> std::string {
        const auto Ext = P.size() >= 4 ? P.substr(P.size() - 4) : "";
        return Ext == ".svg" || Ext == ".png" ? "" : "the plot file must end in .svg or .png";
      });
  Sub.add_option("--size", Size, "plot width and height (pixels; points for SVG)")
      ->expected(2)
      ->check(CLI::Range(100, 10000));
}

namespace {

std::string Shortest(double X) {
  char Buf[32];
  const auto R = std::to_chars(Buf, Buf + sizeof Buf, X);
  return std::string(Buf, R.ptr);
}

std::string Readable(const TCell& C) {
  if (const double* D = std::get_if<double>(&C)) {
    if (std::isnan(*D)) return "-";
    char Buf[32];
    std::snprintf(Buf, sizeof Buf, "%.6g", *D);
    return Buf;
  }
  if (const int64_t* I = std::get_if<int64_t>(&C)) return std::to_string(*I);
  if (const std::string* S = std::get_if<std::string>(&C)) return *S;
  return "-";
}

std::string CsvText(const TCell& C) {
  if (const double* D = std::get_if<double>(&C)) return std::isfinite(*D) ? Shortest(*D) : "";
  if (const int64_t* I = std::get_if<int64_t>(&C)) return std::to_string(*I);
  if (const std::string* S = std::get_if<std::string>(&C)) return CSVField(*S, ',');
  return "";
}

nlohmann::json JsonOf(const TCell& C) {
  if (const double* D = std::get_if<double>(&C))
    return std::isfinite(*D) ? nlohmann::json(*D) : nlohmann::json(nullptr);
  if (const int64_t* I = std::get_if<int64_t>(&C)) return *I;
  if (const std::string* S = std::get_if<std::string>(&C)) return *S;
  return nullptr;
}

}  // namespace

void PrintReport(const std::vector<TSection>& Report, const TOutputOptions& Out) {
  CheckInterrupted();
  std::ostringstream S;
  if (Out.Json) {
    nlohmann::ordered_json J = nlohmann::ordered_json::object();
    for (const TSection& Sec : Report) {
      auto& Arr = J[Sec.Name] = nlohmann::ordered_json::array();
      for (const auto& Row : Sec.Rows) {
        nlohmann::ordered_json O = nlohmann::ordered_json::object();
        for (size_t K = 0; K < Sec.Head.size() && K < Row.size(); ++K)
          O[Sec.Head[K]] = JsonOf(Row[K]);
        Arr.push_back(std::move(O));
      }
    }
    S << J.dump(2) << "\n";
  } else if (Out.Csv) {
    for (size_t I = 0; I < Report.size(); ++I) {
      const TSection& Sec = Report[I];
      if (I > 0) S << "\n";
      for (size_t K = 0; K < Sec.Head.size(); ++K)
        S << (K ? "," : "") << CSVField(Sec.Head[K], ',');
      S << "\n";
      for (const auto& Row : Sec.Rows) {
        for (size_t K = 0; K < Row.size(); ++K) S << (K ? "," : "") << CsvText(Row[K]);
        S << "\n";
      }
    }
  } else {
    for (size_t I = 0; I < Report.size(); ++I) {
      const TSection& Sec = Report[I];
      if (I > 0) S << "\n";
      if (!Sec.Title.empty()) S << Sec.Title << "\n\n";
      std::vector<std::vector<std::string>> Text;
      std::vector<size_t> Width(Sec.Head.size(), 0);
      for (size_t K = 0; K < Sec.Head.size(); ++K) Width[K] = Sec.Head[K].size();
      for (const auto& Row : Sec.Rows) {
        Text.emplace_back();
        for (size_t K = 0; K < Row.size() && K < Width.size(); ++K) {
          Text.back().push_back(Readable(Row[K]));
          Width[K] = std::max(Width[K], Text.back().back().size());
        }
      }
      // Text columns align left, numbers right.
      auto Left = [&](size_t K) {
        return !Sec.Rows.empty() && K < Sec.Rows[0].size() &&
               std::holds_alternative<std::string>(Sec.Rows[0][K]);
      };
      auto Line = [&](const std::vector<std::string>& Cells) {
        std::string L;
        for (size_t K = 0; K < Cells.size(); ++K) {
          const size_t Pad = Width[K] - Cells[K].size();
          if (K) L += "  ";
          L += Left(K) ? Cells[K] + std::string(Pad, ' ') : std::string(Pad, ' ') + Cells[K];
        }
        while (!L.empty() && L.back() == ' ') L.pop_back();
        return L + "\n";
      };
      S << Line(Sec.Head);
      for (const auto& Row : Text) S << Line(Row);
    }
  }
  std::cout << S.str() << std::flush;
}

}  // namespace nuxcli
