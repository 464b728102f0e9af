// The command-line program's `describe` of a CSV file of 1,000,000 rows by 10 numbers (about
// 170 MB), timed as a whole process as a user meets it: reading, statistics, printing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "csv_sample.h"
#include "nux/nux.h"

namespace {

const std::string& CSVFile() { return bench::CSVSampleFile(); }

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
