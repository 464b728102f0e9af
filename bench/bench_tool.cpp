// The command-line program's `describe` of a CSV file of 1,000,000 rows by 10 numbers (about
// 170 MB), timed as a whole process as a user meets it: reading, statistics, printing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "nux/nux.h"

namespace {

constexpr int32_t Cols = 10;
constexpr int32_t Rows = 1'000'000;

// The file of bench_csv: written once per process, values with about 17 significant digits.
const std::string& CSVFile() {
  static const std::string Name = [] {
    const std::string F = (std::filesystem::temp_directory_path() / "nux-bench-tool.csv").string();
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

}  // namespace

static void BM_ToolDescribe(benchmark::State& State) {
#ifdef NUX_TOOL
  const std::string Cmd = std::string(NUX_TOOL) + " describe " + CSVFile() + " >/dev/null";
  for (auto _ : State)
    if (std::system(Cmd.c_str()) != 0) State.SkipWithError("nux describe failed");
  State.SetBytesProcessed(State.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(CSVFile())));
#else
  State.SkipWithError("the nux program is not built (NUX_BUILD_EXAMPLES off)");
#endif
}
BENCHMARK(BM_ToolDescribe)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
