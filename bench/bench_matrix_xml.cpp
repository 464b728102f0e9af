// A 1000 x 1000 matrix of random doubles written to and read from XML at full precision
// (shortest round-trip numbers), in memory and through a file; bytes per second count the XML.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "nux/frame/xmlio.h"
#include "nux/host/random.h"
#include "nux/matrix/matrix.h"

namespace {

constexpr int Side = 1000;

nux::TMatrix& Sample() {
  static const std::unique_ptr<nux::TMatrix> M = [] {
    nux::SetRandSeed(5);
    auto X = std::make_unique<nux::TMatrix>(Side, Side);
    X->FillRandomGauss(0.0, 1.0);
    return X;
  }();
  return *M;
}

std::string Document() {
  std::ostringstream Out;
  Sample().WriteToOpenXMLFile(Out, true, "bench");
  return Out.str();
}

void BM_MatrixXmlWrite(benchmark::State& State) {
  int64_t Bytes = 0;
  for (auto _ : State) {
    std::ostringstream Out;
    if (Sample().WriteToOpenXMLFile(Out, true, "bench") != nux::xrOK) State.SkipWithError("write");
    Bytes += int64_t(Out.tellp());
  }
  State.SetBytesProcessed(Bytes);
}
BENCHMARK(BM_MatrixXmlWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MatrixXmlRead(benchmark::State& State) {
  const std::string Doc = Document();
  nux::TMatrix M;
  for (auto _ : State) {
    std::istringstream In(Doc);
    if (M.ReadFromOpenXMLFile(In, "bench") != nux::xrOK) State.SkipWithError("read");
  }
  State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(Doc.size()));
}
BENCHMARK(BM_MatrixXmlRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// Through the file system: the atomic writer and the file reader.
void BM_MatrixXmlFileRoundTrip(benchmark::State& State) {
  const std::string Name =
      (std::filesystem::temp_directory_path() / "nux_bench_matrix.xml").string();
  const int64_t Size = int64_t(Document().size());
  nux::TMatrix M;
  for (auto _ : State) {
    if (Sample().SaveAsXMLFile(Name, "bench") != nux::xrOK ||
        M.LoadFromXMLFile(Name, "bench") != nux::xrOK)
      State.SkipWithError("file");
  }
  std::remove(Name.c_str());
  State.SetBytesProcessed(int64_t(State.iterations()) * 2 * Size);
}
BENCHMARK(BM_MatrixXmlFileRoundTrip)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
