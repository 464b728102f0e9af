// The CSV file the CSV and command-line benchmarks read: 1,000,000 rows by 10 numbers with about
// 17 significant digits (about 166 MB), with column names, written once per process.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "nux/nux.h"

namespace bench {

inline constexpr int32_t CSVCols = 10;
inline constexpr int32_t CSVRows = 1'000'000;

// The file's path in the temporary folder, written (atomically) on the first call.
inline const std::string& CSVSampleFile() {
  static const std::string Name = [] {
    const std::string F = (std::filesystem::temp_directory_path() / "nux-bench.csv").string();
    nux::TDataTable T;
    T.Resize(CSVCols, CSVRows);
    for (int32_t C = 1; C <= CSVCols; ++C)
      for (int32_t R = 1; R <= CSVRows; ++R)
        T.SetElem(C, R, (int64_t{R} * 7919 + C * 104729) % 99991 / 7.0);
    T.ExportAsCSV(F, -1, nux::csvComma, true, false);
    return F;
  }();
  return Name;
}

}  // namespace bench
