// A program outside the project, built against the installed library.
#include <cstdio>

#include "nux/nux.h"

int main() {
  const double data[] = {1.0, 2.0, 3.0};
  const std::string crc = nux::CRCofData(std::span<const double>(data));
  nux::TComponent owner(nullptr);
  if (crc.size() != 64 || nux::StringIx("b", {"a", "b"}, true) != 2) {
    std::puts("nux consumer failed");
    return 1;
  }
  std::puts("nux consumer ok");
  return 0;
}
