// The frame of the `nux` program: the table of subcommands, the errors that choose the exit
// code, reading a data file, column selection, the report printed as text, JSON or CSV, and the
// progress bar. A subcommand is one cmd_<name>.cpp holding a static TRegister.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "nux/datatable/datatable.h"

namespace nuxcli {

// Exit codes (docs/cli.md).
enum TExitCode : int { exOK = 0, exUsage = 1, exData = 2, exInterrupted = 130 };

// The command line asks for something the input does not have (exit 1).
struct EUsage : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// The data cannot be read or used (exit 2).
struct EData : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// Ctrl-C stopped the work (exit 130).
struct EInterrupted : std::runtime_error {
  EInterrupted() : std::runtime_error("interrupted") {}
};

// A subcommand: Setup declares its options on Sub and returns the function that runs it.
struct TCommand {
  std::string Name;
  std::string Summary;
  std::function<std::function<void()>(CLI::App& Sub)> Setup;
};
// Every registered subcommand, in registration order.
std::vector<TCommand>& Commands();
// A static TRegister in a cmd_*.cpp adds its subcommand.
struct TRegister {
  // Adds C to Commands().
  explicit TRegister(TCommand C);
};

// Examples appended to a subcommand's --help.
void SetExamples(CLI::App& Sub, const std::string& Text);

// ---- Input ----
// Options that choose how the input file is read.
struct TInputOptions {
  std::string File;                // a path, or "-" for standard input
  std::string Format = "auto";     // auto (by extension), csv, asc
  std::string Delimiter = "auto";  // auto, comma, semicolon, tab, blank
  std::string Header = "auto";     // auto, yes, no
  // Declares FILE and the reading options on Sub.
  void Add(CLI::App& Sub);
};
// Reads the input into Table; failures raise EData, Ctrl-C EInterrupted.
void LoadTable(const TInputOptions& In, nux::TDataTable& Table);
// The file's format as chosen by Format or the extension: "csv" or "asc".
std::string InputFormat(const std::string& File, const std::string& Format);

// The column of Table named Name (exact, then ignoring case and blanks, then a 1-based number);
// an unknown name raises EUsage listing the columns.
int32_t FindColumn(const nux::TDataTable& Table, const std::string& Name);
// The numeric columns (at least one number) among Names, or all of them when Names is empty.
// A named column without numbers raises EData; none at all raises EData.
std::vector<int32_t> NumericColumns(const nux::TDataTable& Table,
                                    const std::vector<std::string>& Names);
// Out gets the columns Cols of In (in that order) over the rows in which all of them hold a
// finite number; the result is the number of rows dropped. No row left raises EData. Kept (when
// given) receives the input's row numbers of the rows kept.
int32_t CompleteRows(const nux::TDataTable& In, const std::vector<int32_t>& Cols,
                     nux::TDataTable& Out, std::vector<int32_t>* Kept = nullptr);
// The numbers of column Col, top to bottom; a missing or invalid cell raises EData.
std::vector<double> SeriesOfColumn(const nux::TDataTable& Table, int32_t Col);

// ---- Output ----
// A cell of a report: nothing, a number, an integer or text.
using TCell = std::variant<std::monostate, double, int64_t, std::string>;
// One table of a report; Name is its key in JSON.
struct TSection {
  std::string Name;
  std::string Title;
  std::vector<std::string> Head;
  std::vector<std::vector<TCell>> Rows;
};
// How the report is printed and where a plot goes.
struct TOutputOptions {
  bool Json = false;
  bool Csv = false;
  std::string Plot;                     // .svg or .png, empty for none
  std::vector<int32_t> Size{800, 600};  // width and height
  // Declares --json, --csv and, with Plot, --plot and --size.
  void Add(CLI::App& Sub, bool WithPlot);
};
// Prints the sections to standard output in the chosen form.
void PrintReport(const std::vector<TSection>& Report, const TOutputOptions& Out);

// ---- Progress and Ctrl-C ----
// Installs the library's progress hook for one long step: a bar on standard error when it is a
// terminal (Total is the expected count of ProcStat, 0 when unknown) and the Ctrl-C check.
class TProgress {
 public:
  TProgress(std::string Label, double Total);
  ~TProgress();
  TProgress(const TProgress&) = delete;
  TProgress& operator=(const TProgress&) = delete;
};
// Routes SIGINT to the library's abort hook.
void InstallInterruptHandler();
// Raises EInterrupted when Ctrl-C was pressed.
void CheckInterrupted();

}  // namespace nuxcli
