#include "nux/host/atomicfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "nux/host/exceptions.h"
#include "support/temp_dir.h"

namespace nux {
namespace {

std::string Contents(const std::string& Name) {
  std::ifstream In(Name, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

size_t FilesIn(const TempDir& Dir) {
  const auto Root = std::filesystem::path(Dir.Path(""));
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(Root), {}));
}

TEST(AtomicFile, ReplacesOnlyOnSuccess) {
  TempDir Dir;
  const std::string Name = Dir.Path("data.txt");
  ASSERT_TRUE(WriteWholeFile(Name, "first"));
  EXPECT_EQ(Contents(Name), "first");
  // A body that fails leaves the old file and no temporary behind.
  EXPECT_THROW(WriteFileAtomically(Name,
                                   [](FILE* F, std::string& Error) {
                                     std::fputs("partial", F);
                                     Error = "stopped";
                                     return false;
                                   }),
               EInOutError);
  EXPECT_EQ(Contents(Name), "first");
  EXPECT_EQ(FilesIn(Dir), 1u);
  // An exception from the body goes through, with the same clean-up.
  EXPECT_THROW(
      WriteFileAtomically(Name, [](FILE*, std::string&) -> bool { throw std::runtime_error("x"); }),
      std::runtime_error);
  EXPECT_EQ(FilesIn(Dir), 1u);
  ASSERT_TRUE(WriteWholeFile(Name, "second"));
  EXPECT_EQ(Contents(Name), "second");
}

TEST(AtomicFile, UnwritablePlacesReportFailure) {
  TempDir Dir;
  EXPECT_FALSE(WriteWholeFile(Dir.Path("missing/dir/x.txt"), "x"));
  EXPECT_FALSE(WriteWholeFile("", "x"));
  EXPECT_THROW(WriteFileAtomically(Dir.Path("no/x"), [](FILE*, std::string&) { return true; }),
               EInOutError);
}

}  // namespace
}  // namespace nux
