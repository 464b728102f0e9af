// What the generated guide tests wrap around each snippet: a scratch working directory, so that
// snippets writing files write nothing outside a temporary directory, and a capture of
// std::cout to compare with the guide's output blocks (echoed afterwards, so it stays visible).
#pragma once

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

class GuideScratch {
 public:
  GuideScratch() : FOld(std::filesystem::current_path()) {
    std::filesystem::current_path(FDir.Path("."));
  }
  ~GuideScratch() {
    std::error_code Ignored;
    std::filesystem::current_path(FOld, Ignored);
  }

 private:
  nux::TempDir FDir;
  std::filesystem::path FOld;
};

class GuideCapture {
 public:
  // Every snippet starts from std::cout's initial formatting, whatever the one before set.
  GuideCapture() : FOld(std::cout.rdbuf(FText.rdbuf())) {
    FFormat.copyfmt(std::cout);
    std::cout.copyfmt(std::ios(nullptr));
  }
  ~GuideCapture() {
    std::cout.copyfmt(FFormat);
    std::cout.rdbuf(FOld);
    std::cout << FText.str();
  }
  std::string Text() const { return FText.str(); }

 private:
  std::ostringstream FText;
  std::streambuf* FOld;
  std::ios FFormat{nullptr};
};
