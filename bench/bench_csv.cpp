// Importing and exporting a CSV file of 1,000,000 rows by 10 numeric columns (about 100 MB).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "nux/nux.h"

namespace {

constexpr int32_t Cols = 10;
constexpr int32_t Rows = 1'000'000;

// Writes the file once per process; values with about 17 significant digits.
const std::string& CSVFile() {
  static const std::string Name = [] {
    const std::string F = (std::filesystem::temp_directory_path() / "nux-bench.csv").string();
    nux::TDataTable T;
    T.Resize(Cols, Rows);
    for (int32_t C = 1; C <= Cols; ++C)
      for (int32_t R = 1; R <= Rows; ++R)
        T.SetElem(C, R, (int64_t{R} * 7919 + C * 104729) % 99991 / 7.0);
    T.ExportAsCSV(F, -1, nux::csvComma, true, false);
    return F;
  }();
  return Name;
}

// A /proc/self/status field in MiB (Linux), or -1.
double StatusMiB(const char* Field) {
  std::ifstream In("/proc/self/status");
  std::string Line;
  const std::string Key = std::string(Field) + ":";
  while (std::getline(In, Line))
    if (Line.compare(0, Key.size(), Key) == 0) return std::stod(Line.substr(Key.size())) / 1024;
  return -1;
}

}  // namespace

static void BM_ImportCSV(benchmark::State& State) {
  const std::string& F = CSVFile();
  {
    nux::TDataTable T;
    for (auto _ : State)
      if (T.ImportFromCSV(F, nux::csvComma, true, false) != 0) State.SkipWithError("import failed");
  }
  State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(std::filesystem::file_size(F)));
  // Peak memory of one import into an empty table, beside the memory of its values and states.
  const double Before = StatusMiB("VmRSS");
  std::ofstream("/proc/self/clear_refs") << "5";  // resets the peak (VmHWM) to the current size
  nux::TDataTable Fresh;
  Fresh.ImportFromCSV(F, nux::csvComma, true, false);
  State.counters["peak_MiB"] = StatusMiB("VmHWM") - Before;
  State.counters["cells_MiB"] = double(Cols) * Rows * (sizeof(double) + 1) / (1 << 20);
}
BENCHMARK(BM_ImportCSV)->Unit(benchmark::kMillisecond);

static void BM_ExportCSV(benchmark::State& State) {
  nux::TDataTable T;
  T.ImportFromCSV(CSVFile(), nux::csvComma, true, false);
  const std::string Out = CSVFile() + ".out";
  for (auto _ : State) T.ExportAsCSV(Out, -1, nux::csvComma, true, false);
  std::remove(Out.c_str());
}
BENCHMARK(BM_ExportCSV)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
