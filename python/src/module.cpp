// The extension nux._nux: exceptions, the progress hook and the helpers every binding uses.
#include <cmath>
#include <exception>
#include <optional>

#include "common.h"

namespace nuxpy {

namespace {
// Heap-held so that nothing Python-owned is destroyed after the interpreter has gone.
py::object* ProgressHook = nullptr;
std::optional<py::error_already_set>* PendingError = nullptr;
py::dict* NamedTuples = nullptr;
}  // namespace

std::recursive_mutex& LibraryMutex() {
  static std::recursive_mutex m;
  return m;
}

void RethrowPendingHookError() {
  if (PendingError && PendingError->has_value()) {
    py::error_already_set e = std::move(**PendingError);
    PendingError->reset();
    throw e;
  }
}

void DropPendingHookError() {
  if (PendingError) PendingError->reset();
}

void TExports::RequireNone(const char* Action) const {
  if (*Count > 0)
    throw py::buffer_error(std::string("cannot ") + Action +
                           ": numpy views of the storage are still alive");
}

std::vector<double> ToDoubles(const py::handle& Obj, const char* What) {
  auto a = DArray::ensure(Obj);
  if (!a) throw py::type_error(std::string(What) + ": expected an array of numbers");
  if (a.ndim() != 1) throw py::value_error(std::string(What) + ": expected a 1-D array");
  return std::vector<double>(a.data(), a.data() + a.size());
}

std::vector<int32_t> ToInts(const py::handle& Obj, const char* What) {
  py::array any = py::array::ensure(Obj);
  if (!any) throw py::type_error(std::string(What) + ": expected an array of integers");
  if (any.ndim() != 1) throw py::value_error(std::string(What) + ": expected a 1-D array");
  const char kind = any.dtype().kind();
  const bool fits =
      (kind == 'b') || (kind == 'i' && any.itemsize() <= 4) || (kind == 'u' && any.itemsize() <= 2);
  if (fits) {
    auto a = IArray::ensure(any);
    return std::vector<int32_t>(a.data(), a.data() + a.size());
  }
  // numpy's cast would truncate fractions and wrap large values: refuse them instead.
  std::vector<double> d = ToDoubles(any, What);
  std::vector<int32_t> r(d.size());
  for (size_t i = 0; i < d.size(); ++i) {
    if (!(d[i] == std::trunc(d[i]) && d[i] >= INT32_MIN && d[i] <= INT32_MAX))
      throw py::value_error(std::string(What) + ": value at position " + std::to_string(i) +
                            " is not a 32-bit integer");
    r[i] = static_cast<int32_t>(d[i]);
  }
  return r;
}

nux::TDouble2DArray ToColumns(const py::handle& Obj, const char* What) {
  auto a = py::array_t<double, py::array::f_style | py::array::forcecast>::ensure(Obj);
  if (!a) throw py::type_error(std::string(What) + ": expected a 2-D array of numbers");
  if (a.ndim() != 2) throw py::value_error(std::string(What) + ": expected a 2-D array");
  const auto nr = a.shape(0), nc = a.shape(1);
  if (nr < 1 || nc < 1) throw py::value_error(std::string(What) + ": the array is empty");
  if (nr > INT32_MAX || nc > INT32_MAX)
    throw py::value_error(std::string(What) + ": too many rows or columns");
  nux::TDouble2DArray cols(static_cast<size_t>(nc));
  for (py::ssize_t c = 0; c < nc; ++c)
    cols[size_t(c)].assign(a.data() + c * nr, a.data() + (c + 1) * nr);
  return cols;
}

py::array_t<double> FromColumns(const nux::TDouble2DArray& Cols) {
  const py::ssize_t nc = py::ssize_t(Cols.size()),
                    nr = Cols.empty() ? 0 : py::ssize_t(Cols[0].size());
  py::array_t<double, py::array::f_style> a({nr, nc});
  double* d = a.mutable_data();
  for (py::ssize_t c = 0; c < nc; ++c)
    std::copy(Cols[size_t(c)].begin(), Cols[size_t(c)].end(), d + c * nr);
  return a;
}

py::array_t<double> ToNumpy(const std::vector<double>& V) {
  return py::array_t<double>(py::ssize_t(V.size()), V.data());
}
py::array_t<int32_t> ToNumpy(const std::vector<int32_t>& V) {
  return py::array_t<int32_t>(py::ssize_t(V.size()), V.data());
}

void RaiseStatus(const std::string& Routine, int32_t Code, const std::string& Text) {
  throw py::value_error(Routine + ": " + Text + " (code " + std::to_string(Code) + ")");
}

py::object NamedTuple(const char* Name) { return (*NamedTuples)[Name]; }

void CheckAscResult(const std::string& Routine, int32_t Code, const std::string& FileName) {
  if (Code == 0) return;
  static const char* const texts[] = {"",
                                      "the file cannot be read",
                                      "bad header",
                                      "bad counts",
                                      "the counts announce more items than the text holds",
                                      "a row attribute could not be read",
                                      "a value could not be read or converted",
                                      "the layout does not suit the container",
                                      "the file does not exist",
                                      "a name is cut off by the end of the text",
                                      "aborted",
                                      "a placement position below 1",
                                      "no data record",
                                      "a quoted field is not closed"};
  const std::string where = Routine + " \"" + FileName + "\": ";
  if (Code == -8 || Code == -1) {
    PyErr_SetString(Code == -8 ? PyExc_FileNotFoundError : PyExc_OSError,
                    (where + texts[-Code]).c_str());
    throw py::error_already_set();
  }
  RaiseStatus(Routine + " \"" + FileName + "\"", Code,
              (Code < 0 && Code >= -13) ? texts[-Code] : "failed");
}

void CheckXmlResult(const std::string& Routine, int32_t Code, const std::string& FileName) {
  if (Code == 0) return;
  static const char* const texts[] = {"",
                                      "the file cannot be opened",
                                      "not well-formed XML",
                                      "refused (document type declaration or size limit)",
                                      "no element of the expected name and data id",
                                      "an element is missing, repeated or invalid",
                                      "writing failed"};
  const std::string msg = Routine + " \"" + FileName +
                          "\": " + ((Code < 0 && Code >= -6) ? texts[-Code] : "failed") +
                          " (code " + std::to_string(Code) + ")";
  if (Code == -1 || Code == -6) {
    PyErr_SetString(PyExc_OSError, msg.c_str());
    throw py::error_already_set();
  }
  throw py::value_error(msg);
}

}  // namespace nuxpy

using namespace nuxpy;

PYBIND11_MODULE(_nux, m) {
  m.doc() =
      "nux: numerical and statistical routines on numpy arrays (indices in the library's "
      "own methods are 1-based, column before row).";

  ProgressHook = new py::object(py::none());
  PendingError = new std::optional<py::error_already_set>();
  NamedTuples = new py::dict();
  auto namedtuple = py::module_::import("collections").attr("namedtuple");
  auto add_result = [&](const char* name, const char* fields) {
    py::object t = namedtuple(name, fields);
    t.attr("__module__") = "nux";
    (*NamedTuples)[name] = t;
    m.attr(name) = t;
  };
  add_result("TestResult", "statistic pvalue df");
  add_result("TTestResult", "statistic pvalue df mean1 mean2");
  add_result("AnovaResult", "statistic pvalue df_between df_within ss_between ss_within");
  add_result("CorrResult", "statistic pvalue");
  add_result("FitResult", "coeffs stderr rsquared near_singular");
  add_result("PCAResult", "eigenvalues eigenvectors explained");
  add_result("LinkageResult", "dendrogram distances positions");
  add_result("KnnResult", "rows distances");

  // Exceptions: the library's classes with their messages unchanged. Bases are registered
  // first, because the translators are tried in the reverse order.
  auto& error = py::register_exception<nux::Exception>(m, "Error", PyExc_RuntimeError);
  error.doc() = "Base of every exception the library raises; str() is the library's message.";
  py::register_exception<nux::EConvertError>(m, "ConvertError", error.ptr());
  py::register_exception<nux::EMathError>(m, "MathError", error.ptr());
  py::register_exception<nux::EInOutError>(m, "InOutError", error.ptr());
  py::register_exception<nux::EOutOfMemory>(m, "OutOfMemory", error.ptr());
  py::register_exception<nux::ENUXSLineError>(m, "SLineError", error.ptr());
  auto& nuxerr = py::register_exception<nux::ENUXError>(m, "NuxError", error.ptr());
  py::register_exception<nux::ENUXMath1Error>(m, "Math1Error", nuxerr.ptr());
  py::register_exception<nux::ENUXComplexError>(m, "ComplexError", nuxerr.ptr());
  py::register_exception<nux::ENUXVectorError>(m, "VectorError", nuxerr.ptr());
  py::register_exception<nux::ENUXMatrixError>(m, "MatrixError", nuxerr.ptr());
  py::register_exception<nux::ENUXDataTableError>(m, "DataTableError", nuxerr.ptr());
  py::register_exception<nux::ENUXStatisError>(m, "StatisError", nuxerr.ptr());
  py::register_exception<nux::ENUXMath2Error>(m, "Math2Error", nuxerr.ptr());
  py::register_exception<nux::ENUXMathExp>(m, "MathExpError", nuxerr.ptr());
  py::register_exception<nux::ENUXFourierError>(m, "FourierError", nuxerr.ptr());
  py::register_exception<nux::ENUXWaveletError>(m, "WaveletError", nuxerr.ptr());
  py::register_exception<nux::ENUXKohonenError>(m, "KohonenError", nuxerr.ptr());

  m.def(
      "set_progress_hook",
      [](py::object Hook) {
        *ProgressHook = Hook;
        if (Hook.is_none()) {
          nux::MathFeedBackProc = nullptr;
          return;
        }
        nux::MathFeedBackProc = [](double Progress) {
          py::gil_scoped_acquire gil;
          if (PendingError->has_value()) return;
          try {
            py::object r = (*ProgressHook)(Progress);
            if (py::isinstance<py::bool_>(r) && r.cast<bool>()) nux::AbortMathProc = true;
          } catch (py::error_already_set& e) {
            *PendingError = std::move(e);
            nux::AbortMathProc = true;
          }
        };
      },
      py::arg("hook"),
      "Calls hook(progress) with the running progress count of long routines; a hook that "
      "returns True or raises stops the routine (its exception then reaches the caller). "
      "None removes the hook.");
  m.def(
      "set_seed", [](uint64_t Seed) { nux::SetRandSeed(Seed); }, py::arg("seed"),
      "Seeds the library's process-wide random generator, making random draws repeatable.");

  InitContainers(m);
  InitStats(m);
  InitModels(m);
  InitTransforms(m);
}
