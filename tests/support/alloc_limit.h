// Makes large allocations fail inside a scope, so that tests can check how the library reports
// exhausted memory without exhausting the machine. Works by replacing the global operator new
// of the test program, which the shared library's allocations also go through.
#pragma once

#include <cstddef>

namespace nux {

class ScopedAllocLimit {
 public:
  // Inside the scope, any single allocation of more than MaxBytes throws std::bad_alloc.
  explicit ScopedAllocLimit(std::size_t MaxBytes);
  ~ScopedAllocLimit();
  ScopedAllocLimit(const ScopedAllocLimit&) = delete;
  ScopedAllocLimit& operator=(const ScopedAllocLimit&) = delete;

 private:
  std::size_t FPrevious;
};

}  // namespace nux
