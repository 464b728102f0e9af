// Shared pieces of the Python bindings: array conversion, containers that know their exported
// views, and the rule for calls that release the GIL.
#pragma once

#include <pybind11/functional.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "nux/frame/moments.h"
#include "nux/nux.h"

namespace py = pybind11;

namespace nuxpy {

// The library keeps process-wide state (progress counters, the eigen store) that is not
// synchronised, so calls that release the GIL still run one at a time. Recursive: a progress
// hook runs on the calling thread and may itself call the module.
std::recursive_mutex& LibraryMutex();

// Set when the progress hook raised; rethrown once the call is back under the GIL (or
// dropped when the call itself failed).
void RethrowPendingHookError();
void DropPendingHookError();

// Runs Work without the GIL (other Python threads go on) but under the library mutex.
template <class F>
decltype(auto) Released(F&& Work) {
  struct Check {
    ~Check() noexcept(false) {
      if (std::uncaught_exceptions())
        DropPendingHookError();
      else
        RethrowPendingHookError();
    }
  } check;
  DropPendingHookError();  // a leftover of a call outside this rule is not this call's failure
  py::gil_scoped_release release;
  std::lock_guard<std::recursive_mutex> lock(LibraryMutex());
  nux::BeginAbortable();
  return std::forward<F>(Work)();
}

using DArray = py::array_t<double, py::array::c_style | py::array::forcecast>;
using IArray = py::array_t<int32_t, py::array::c_style | py::array::forcecast>;

// A 1-D array of doubles (anything numpy converts); ValueError for another shape.
std::vector<double> ToDoubles(const py::handle& Obj, const char* What);
// The same for 32-bit integers.
std::vector<int32_t> ToInts(const py::handle& Obj, const char* What);
// A 2-D array (rows, columns) as [column][row]; ValueError for another shape or an empty one.
nux::TDouble2DArray ToColumns(const py::handle& Obj, const char* What);
// Columns [column][row] as a (rows, columns) Fortran-ordered array (a copy).
py::array_t<double> FromColumns(const nux::TDouble2DArray& Cols);
// Copies of std::vector into numpy arrays.
py::array_t<double> ToNumpy(const std::vector<double>& V);
py::array_t<int32_t> ToNumpy(const std::vector<int32_t>& V);

// A counter of the numpy views handed out over a container's storage; storage that has live
// views must not be reallocated (BufferError, as bytearray does).
struct TExports {
  std::shared_ptr<int> Count = std::make_shared<int>(0);
  // A read-only view of N elements at Data (Stride bytes apart) that keeps Owner alive.
  template <class T>
  py::array View(const T* Data, py::ssize_t N, py::handle Owner) const {
    ++*Count;
    auto* token = new std::pair<std::shared_ptr<int>, py::object>(
        Count, py::reinterpret_borrow<py::object>(Owner));
    py::capsule base(token, [](void* p) {
      auto* t = static_cast<std::pair<std::shared_ptr<int>, py::object>*>(p);
      --*t->first;
      delete t;
    });
    py::array a(py::dtype::of<T>(), {N}, {py::ssize_t(sizeof(T))}, Data, base);
    py::detail::array_proxy(a.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
    return a;
  }
  // Raises BufferError while views are alive.
  void RequireNone(const char* Action) const;
};

// Containers as the module holds them: the library class plus the view counter.
struct PyVector : nux::TVector {
  using TVector::TVector;
  TExports Exports;
};
struct PyIntVector : nux::TIntVector {
  using TIntVector::TIntVector;
  TExports Exports;
};
struct PyMatrix : nux::TMatrix {
  using TMatrix::TMatrix;
  TExports Exports;
};
struct PyDataTable : nux::TDataTable {
  TExports Exports;
};

// A negative status of a routine as ValueError: "<Routine>: <Text> (code <Code>)".
[[noreturn]] void RaiseStatus(const std::string& Routine, int32_t Code, const std::string& Text);
// A named tuple type of the module (made once at import).
py::object NamedTuple(const char* Name);
// A file result code (TASCResult / TXmlResult) turned into an exception unless it is 0.
void CheckAscResult(const std::string& Routine, int32_t Code, const std::string& FileName);
void CheckXmlResult(const std::string& Routine, int32_t Code, const std::string& FileName);

void InitContainers(py::module_& m);
void InitStats(py::module_& m);
void InitModels(py::module_& m);
void InitTransforms(py::module_& m);

}  // namespace nuxpy
