#include "support/alloc_limit.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> Limit{static_cast<std::size_t>(-1)};

void* Allocate(std::size_t Size) {
  if (Size > Limit.load(std::memory_order_relaxed)) throw std::bad_alloc();
  if (Size == 0) Size = 1;
  for (;;) {
    if (void* P = std::malloc(Size)) return P;
    if (std::new_handler Handler = std::get_new_handler())
      Handler();
    else
      throw std::bad_alloc();
  }
}

}  // namespace

void* operator new(std::size_t Size) { return Allocate(Size); }
void* operator new[](std::size_t Size) { return Allocate(Size); }
// The nothrow forms must come from the same allocator, or their deletes would mismatch.
void* operator new(std::size_t Size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(Size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t Size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(Size);
  } catch (...) {
    return nullptr;
  }
}
void operator delete(void* P, const std::nothrow_t&) noexcept { std::free(P); }
void operator delete[](void* P, const std::nothrow_t&) noexcept { std::free(P); }
void operator delete(void* P) noexcept { std::free(P); }
void operator delete[](void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }
void operator delete[](void* P, std::size_t) noexcept { std::free(P); }

namespace nux {

ScopedAllocLimit::ScopedAllocLimit(std::size_t MaxBytes) : FPrevious(Limit.exchange(MaxBytes)) {}
ScopedAllocLimit::~ScopedAllocLimit() { Limit.store(FPrevious); }

}  // namespace nux
