// The instruction-set paths of the vectorised kernels. The processor is asked once, at first
// use, and every kernel then picks its path with a switch or a function pointer on each call,
// so nothing is resolved while the dynamic loader relocates the library. Every path of a kernel
// computes the same expressions in the same order with nothing fused (-ffp-contract=off), so
// the paths agree bit for bit and differ only in speed.
#pragma once

#include <cstdint>

namespace nux::kernels {

// kpAuto lets each kernel choose; the others name an instruction set.
enum TKernelPath : int32_t { kpAuto, kpGeneric, kpAVX2, kpAVX512 };

// How a kernel's automatic choice treats processors that split 512-bit arithmetic in two
// 256-bit halves (AMD): arWidest takes the widest path anyway, arAvoidSplit512 takes AVX2 there
// (the product's register tiles measure faster at 256 bits on those processors).
enum TAutoRule : int32_t { arWidest, arAvoidSplit512 };

// The widest path the processor runs.
TKernelPath BestPath();

// Forces the path of every kernel, process-wide (tests and benchmarks); kpAuto restores the
// automatic choice. A path the processor lacks falls back to the widest one it has below it.
// Returns the path the forced request resolves to (for kpAuto: the arWidest choice).
TKernelPath SetKernelPath(TKernelPath Path);
// The request last given to SetKernelPath (kpAuto at start).
TKernelPath RequestedKernelPath();
// The path a kernel following Rule uses now.
TKernelPath ActivePath(TAutoRule Rule = arWidest);
// True when the processor runs more than the generic path, so that comparing paths means
// something.
bool SeveralPaths();

// Forces a path for its lifetime and restores the previous request afterwards, also when a
// test assertion leaves the scope early.
class TScopedKernelPath {
 public:
  explicit TScopedKernelPath(TKernelPath Path)
      : FPrevious(RequestedKernelPath()), FUsed(SetKernelPath(Path)) {}
  ~TScopedKernelPath() { SetKernelPath(FPrevious); }
  TScopedKernelPath(const TScopedKernelPath&) = delete;
  TScopedKernelPath& operator=(const TScopedKernelPath&) = delete;
  // The path in force: the one asked for, or the fallback when the processor lacks it.
  TKernelPath Used() const { return FUsed; }

 private:
  TKernelPath FPrevious;
  TKernelPath FUsed;
};

// W doubles operated on lane by lane; each lane rounds exactly as the scalar operation.
template <int W>
struct VecOf {
  using V [[gnu::vector_size(W * sizeof(double))]] = double;
};

// A kernel body compiled once for each path: Body must be an always-inline function, so that
// the compiler vectorises its loops for the instruction set of each variant. For(Path) gives
// the variant to call.
template <auto Body>
struct TPathVariants;

template <class R, class... A, R (*Body)(A...)>
struct TPathVariants<Body> {
  using TFn = R (*)(A...);
  [[gnu::target("avx512f")]] static R OnAVX512(A... Args) { return Body(Args...); }
  [[gnu::target("avx2")]] static R OnAVX2(A... Args) { return Body(Args...); }
  static R OnGeneric(A... Args) { return Body(Args...); }
  static TFn For(TKernelPath Path) {
    switch (Path) {
      case kpAVX512:
        return OnAVX512;
      case kpAVX2:
        return OnAVX2;
      default:
        return OnGeneric;
    }
  }
};

}  // namespace nux::kernels
