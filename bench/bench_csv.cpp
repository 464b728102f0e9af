// Importing and exporting a CSV file of 1,000,000 rows by 10 numeric columns (about 166 MB).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "csv_sample.h"
#include "nux/nux.h"

namespace {

using bench::CSVCols;
using bench::CSVRows;
using bench::CSVSampleFile;

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
  const std::string& F = CSVSampleFile();
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
  State.counters["cells_MiB"] = double(CSVCols) * CSVRows * (sizeof(double) + 1) / (1 << 20);
}
BENCHMARK(BM_ImportCSV)->Unit(benchmark::kMillisecond);

static void BM_ExportCSV(benchmark::State& State) {
  nux::TDataTable T;
  T.ImportFromCSV(CSVSampleFile(), nux::csvComma, true, false);
  const std::string Out = CSVSampleFile() + ".out";
  for (auto _ : State) T.ExportAsCSV(Out, -1, nux::csvComma, true, false);
  std::remove(Out.c_str());
}
BENCHMARK(BM_ExportCSV)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
