// Vectors, matrices and the data table, with numpy (and pandas) conversion.
#include "common.h"

namespace nuxpy {

namespace {

constexpr const char* kIdx1 = " Indices are 1-based.";
constexpr const char* kIdx2 = " Indices are 1-based, column before row: (col, row).";

std::string Doc(const char* Text, const char* Idx) { return std::string(Text) + Idx; }

// Members shared by Vector and IntVector.
template <class T>
std::vector<T> Elements(const py::handle& Data, const char* What) {
  if constexpr (std::is_same_v<T, double>)
    return ToDoubles(Data, What);
  else
    return ToInts(Data, What);
}

template <class V, class T>
void BindVectorCommon(py::class_<V, nux::TComponent>& c) {
  c.def(py::init([](int32_t N) { return std::make_unique<V>(N); }), py::arg("n"),
        "A vector of n zeros (n >= 1).")
      .def(py::init([](const py::handle& Data) {
             return std::make_unique<V>(std::span<const T>(Elements<T>(Data, "Vector")));
           }),
           py::arg("data"), "A vector holding a copy of data (at least one value).")
      .def("__len__", [](const V& v) { return v.NrOfElem(); })
      .def("NrOfElem", &V::NrOfElem, "Number of elements.")
      .def(
          "view",
          [](py::handle self) {
            auto& v = self.cast<V&>();
            return v.Exports.View(v.Data().data(), v.NrOfElem(), self);
          },
          "A read-only numpy view of the storage, without a copy (position k-1 holds element "
          "k); the vector cannot be resized while a view is alive.")
      .def(
          "__array__",
          [](py::handle self, py::object dtype, py::object copy) {
            auto& v = self.cast<V&>();
            py::object a = v.Exports.View(v.Data().data(), v.NrOfElem(), self);
            if (!dtype.is_none() || (!copy.is_none() && copy.cast<bool>()))
              a = py::module_::import("numpy").attr("array")(a, dtype);
            return a;
          },
          py::arg("dtype") = py::none(), py::arg("copy") = py::none())
      .def(
          "to_numpy", [](const V& v) { return ToNumpy(v.Data()); },
          "A copy of the elements as a numpy array.")
      .def("GetVal", &V::GetVal, py::arg("elem"),
           Doc("Element elem; 0 outside 1..N.", kIdx1).c_str())
      .def("SetVal", &V::SetVal, py::arg("elem"), py::arg("value"),
           Doc("Stores value at elem; an index outside 1..N is ignored.", kIdx1).c_str())
      .def(
          "SetValues",
          [](V& v, const py::handle& Data) {
            v.Exports.RequireNone("replace the values");
            v.SetValues(std::span<const T>(Elements<T>(Data, "SetValues")));
          },
          py::arg("data"), "Replaces the elements by a copy of data, resizing.")
      .def(
          "Resize",
          [](V& v, int32_t N) {
            v.Exports.RequireNone("resize");
            return v.Resize(N);
          },
          py::arg("n"), "Resizes to n elements (new ones 0); false for n <= 0 or the same size.")
      .def("Fill", &V::Fill, py::arg("value"), "Sets every element to value.")
      .def("FillSerial", &V::FillSerial, py::arg("offset"), py::arg("diff"),
           "Element k becomes offset + (k - 1) * diff.")
      .def("Mirror", &V::Mirror, "Reverses the order of the elements.")
      .def("SortElems", &V::SortElems, py::arg("ascending") = true, py::arg("first") = 0,
           py::arg("last") = 0, Doc("Sorts elements first..last (0, 0: all).", kIdx1).c_str())
      .def("Sum", &V::Sum, py::arg("low") = 0, py::arg("high") = 0,
           Doc("Sum of elements low..high (0, 0: all).", kIdx1).c_str())
      .def(
          "MeanVar",
          [](const V& v, int32_t Lo, int32_t Hi) {
            double m = 0, s2 = 0;
            v.MeanVar(Lo, Hi, m, s2);
            return py::make_tuple(m, s2);
          },
          py::arg("low") = 0, py::arg("high") = 0,
          Doc("(mean, sample variance) of low..high; variance divisor n - 1, 1.0 for fewer than 3 "
              "values.",
              kIdx1)
              .c_str())
      .def(
          "MinMax",
          [](const V& v, int32_t Lo, int32_t Hi) {
            T mn{}, mx{};
            int32_t i = 0, j = 0;
            v.MinMax(Lo, Hi, mn, mx, i, j);
            return py::make_tuple(mn, mx, i, j);
          },
          py::arg("low") = 0, py::arg("high") = 0,
          Doc("(minimum, maximum, index of minimum, index of maximum); NaNs passed over.", kIdx1)
              .c_str())
      .def(
          "Quartiles",
          [](const V& v, int32_t Lo, int32_t Hi) {
            double q1 = 0, q2 = 0, q3 = 0;
            v.Quartiles(Lo, Hi, q1, q2, q3);
            return py::make_tuple(q1, q2, q3);
          },
          py::arg("low") = 0, py::arg("high") = 0,
          "(Q1, median, Q3) at positions (n + 1) p, interpolated; NaN elements left out.")
      .def("Percentile", &V::Percentile, py::arg("prob"), py::arg("low") = 0, py::arg("high") = 0,
           "Percentile prob (0..100), interpolated at position (n - 1) prob / 100.")
      .def(
          "SkewKurt",
          [](const V& v, int32_t Lo, int32_t Hi, bool Sample) {
            double s = 0, k = 0;
            if (Sample)
              v.SkewKurtSample(Lo, Hi, s, k);
            else
              v.SkewKurt(Lo, Hi, s, k);
            return py::make_tuple(s, k);
          },
          py::arg("low") = 0, py::arg("high") = 0, py::arg("sample") = false,
          "(skewness, excess kurtosis); sample=True applies the small-sample corrections.")
      .def("GeometricMean", &V::GeometricMean, py::arg("low") = 0, py::arg("high") = 0,
           "Geometric mean; a negative element raises VectorError.")
      .def("HarmonicMean", &V::HarmonicMean, py::arg("low") = 0, py::arg("high") = 0,
           "Harmonic mean; an element <= 0 raises VectorError.")
      .def("Mode", &V::Mode, py::arg("low") = 0, py::arg("high") = 0,
           "The most frequent value; on a tie the smallest.")
      .def("Leng", &V::Leng, "Euclidean length, without overflow or underflow.")
      .def("CRCofData", &V::CRCofData, "The data fingerprint of the elements.")
      .def("__repr__", [](const V& v) {
        return std::string(std::is_same_v<T, double> ? "Vector" : "IntVector") +
               "(n=" + std::to_string(v.NrOfElem()) + ")";
      });
}

// Column Col (1-based) of a matrix's storage as an exported view.
py::array ColumnView(py::handle Self, const nux::TMatrix& Mat, const TExports& Ex, int32_t Col) {
  auto s = Mat.Column(Col);
  if (s.empty())
    throw py::index_error("column " + std::to_string(Col) + " outside 1.." +
                          std::to_string(Mat.NrOfColumns()));
  return Ex.View(s.data(), py::ssize_t(s.size()), Self);
}

}  // namespace

void InitContainers(py::module_& m) {
  py::class_<nux::TComponent>(m, "Component", "Base of the library's objects.")
      .def_property(
          "Name", [](const nux::TComponent& c) { return c.Name(); },
          [](nux::TComponent& c, const std::string& n) { c.SetName(n); },
          "The object's name, used in its error messages.");

  py::class_<PyVector, nux::TComponent> vec(
      m, "Vector",
      "A vector of doubles (TVector). Library methods index elements 1..N; numpy views "
      "(view(), np.asarray) are 0-based.");
  BindVectorCommon<PyVector, double>(vec);
  vec.def(
         "Standardize",
         [](PyVector& v) {
           double m = 0, s = 0;
           v.Standardize(m, s);
           return py::make_tuple(m, s);
         },
         "Standardizes in place; returns (mean, standard deviation).")
      .def("ExportAsASC", &PyVector::ExportAsASC, py::arg("filename"), py::arg("precision") = 6,
           py::arg("comment") = "",
           "Writes the ASC form (atomically); 0, or -1 when the file cannot be written.")
      .def(
          "ImportASC",
          [](PyVector& v, const std::string& F) {
            v.Exports.RequireNone("import into the vector");
            std::string comment;
            CheckAscResult("ImportASC", v.ImportASC(F, comment), F);
            return comment;
          },
          py::arg("filename"),
          "Reads an ASC file of one column; returns its comment. Errors raise OSError, "
          "FileNotFoundError or ValueError naming the failure.")
      .def_static(
          "read_asc",
          [](const std::string& F) {
            auto v = std::make_unique<PyVector>();
            std::string comment;
            CheckAscResult("ImportASC", v->ImportASC(F, comment), F);
            return v;
          },
          py::arg("filename"), "A new vector read from an ASC file.");

  py::class_<PyIntVector, nux::TComponent> ivec(
      m, "IntVector",
      "A vector of 32-bit integers (TIntVector); sums wrap. Library methods index elements "
      "1..N; numpy views are 0-based.");
  BindVectorCommon<PyIntVector, int32_t>(ivec);

  py::class_<PyMatrix, nux::TComponent>(
      m, "Matrix",
      "A matrix of doubles (TMatrix), stored column by column. Library methods index (col, row), "
      "1-based, column first; numpy arrays are (rows, columns), 0-based.")
      .def(py::init([](int32_t Nc, int32_t Nr) { return std::make_unique<PyMatrix>(Nc, Nr); }),
           py::arg("ncols"), py::arg("nrows"), "An ncols x nrows matrix of zeros.")
      .def(py::init([](const py::handle& A) {
             return std::make_unique<PyMatrix>(ToColumns(A, "Matrix"));
           }),
           py::arg("data"), "A copy of a 2-D array of shape (rows, columns).")
      .def_property_readonly(
          "shape", [](const PyMatrix& a) { return py::make_tuple(a.NrOfRows(), a.NrOfColumns()); },
          "(rows, columns), as numpy has it.")
      .def("NrOfColumns", &PyMatrix::NrOfColumns, "Number of columns.")
      .def("NrOfRows", &PyMatrix::NrOfRows, "Number of rows.")
      .def("GetVal", &PyMatrix::GetVal, py::arg("col"), py::arg("row"),
           Doc("Element (col, row); 0 outside the matrix.", kIdx2).c_str())
      .def("SetVal", &PyMatrix::SetVal, py::arg("col"), py::arg("row"), py::arg("value"),
           Doc("Stores value at (col, row); ignored outside the matrix.", kIdx2).c_str())
      .def(
          "column",
          [](py::handle self, int32_t Col) {
            auto& a = self.cast<PyMatrix&>();
            return ColumnView(self, a, a.Exports, Col);
          },
          py::arg("col"),
          Doc("A read-only numpy view of column col without a copy; the matrix cannot be "
              "resized while a view is alive.",
              kIdx1)
              .c_str())
      .def(
          "to_numpy", [](const PyMatrix& a) { return FromColumns(a.Data()); },
          "A (rows, columns) copy; columns are separate blocks, so a whole-matrix view is not "
          "possible.")
      .def(
          "__array__",
          [](const PyMatrix& a, py::object dtype, py::object) {
            py::object r = FromColumns(a.Data());
            if (!dtype.is_none()) r = r.attr("astype")(dtype);
            return r;
          },
          py::arg("dtype") = py::none(), py::arg("copy") = py::none())
      .def(
          "SetValues",
          [](PyMatrix& a, const py::handle& Data) {
            a.Exports.RequireNone("replace the values");
            a.SetValues(ToColumns(Data, "SetValues"));
          },
          py::arg("data"), "Replaces the contents by a copy of a (rows, columns) array.")
      .def(
          "Resize",
          [](PyMatrix& a, int32_t Nc, int32_t Nr) {
            a.Exports.RequireNone("resize");
            return a.Resize(Nc, Nr);
          },
          py::arg("ncols"), py::arg("nrows"),
          "Resizes to ncols x nrows keeping the common elements; false when nothing changed.")
      .def(
          "Transpose",
          [](PyMatrix& a) {
            a.Exports.RequireNone("transpose");
            return a.Transpose();
          },
          "Exchanges columns and rows.")
      .def(
          "Invert", [](PyMatrix& a) { return Released([&] { return a.Invert(); }); },
          "Replaces the matrix by its inverse; false (unchanged) when singular, not square or "
          "not finite.")
      .def("Determinant", &PyMatrix::Determinant, "Determinant by pivoted LU; 0 when not square.")
      .def("Trace", &PyMatrix::Trace, "Sum of the diagonal; 0 when not square.")
      .def(
          "MeanVar",
          [](const PyMatrix& a, int32_t LoC, int32_t LoR, int32_t HiC, int32_t HiR) {
            double mean = 0, var = 0;
            a.MeanVar(LoC, LoR, HiC, HiR, mean, var);
            return py::make_tuple(mean, var);
          },
          py::arg("low_col") = 0, py::arg("low_row") = 0, py::arg("high_col") = 0,
          py::arg("high_row") = 0,
          Doc("(mean, sample variance) of a block ((0, 0, 0, 0): all).", kIdx2).c_str())
      .def(
          "Multiply",
          [](PyMatrix& a, PyMatrix& b) {
            auto r = std::make_unique<PyMatrix>();
            bool ok = Released([&] { return a.Multiply(&b, r.get()); });
            if (!ok) throw py::value_error("Multiply: sizes do not fit");
            return r;
          },
          py::arg("other"), "The product self * other as a new Matrix.")
      .def(
          "ExportAsASC",
          [](const PyMatrix& a, const std::string& F, int32_t P, const std::string& C) {
            return a.ExportAsASC(F, P, C);
          },
          py::arg("filename"), py::arg("precision") = -1, py::arg("comment") = "",
          "Writes the ASC form (precision < 0: shortest exact); 0, or -1 when not written.")
      .def(
          "ImportASC",
          [](PyMatrix& a, const std::string& F) {
            a.Exports.RequireNone("import into the matrix");
            std::string comment;
            CheckAscResult("ImportASC", a.ImportASC(F, comment), F);
            return comment;
          },
          py::arg("filename"), "Reads an ASC file into the matrix; returns its comment.")
      .def_static(
          "read_asc",
          [](const std::string& F) {
            auto a = std::make_unique<PyMatrix>();
            std::string comment;
            CheckAscResult("ImportASC", a->ImportASC(F, comment), F);
            return a;
          },
          py::arg("filename"), "A new matrix read from an ASC file.")
      .def("CRCofData", &PyMatrix::CRCofData, "The data fingerprint of the elements.")
      .def("__repr__", [](const PyMatrix& a) {
        return "Matrix(ncols=" + std::to_string(a.NrOfColumns()) +
               ", nrows=" + std::to_string(a.NrOfRows()) + ")";
      });

  py::class_<PyDataTable, nux::TComponent>(
      m, "DataTable",
      "A data table (TDataTable): numeric cells with states, column and row names. Library "
      "methods index (col, row), 1-based, column first; numpy arrays are (rows, columns).")
      .def(py::init<>(), "An empty 1 x 1 table.")
      .def(py::init([](const py::handle& A) {
             auto cols = ToColumns(A, "DataTable");
             auto t = std::make_unique<PyDataTable>();
             t->Resize(int32_t(cols.size()), int32_t(cols[0].size()));
             t->CopyDataFromArray(cols, 0, 0, 0, 0, 1, 1);
             return t;
           }),
           py::arg("data"), "A table holding a copy of a (rows, columns) array.")
      .def_property_readonly(
          "shape",
          [](const PyDataTable& t) { return py::make_tuple(t.NrOfRows(), t.NrOfColumns()); },
          "(rows, columns), as numpy has it.")
      .def("NrOfColumns", &PyDataTable::NrOfColumns, "Number of columns.")
      .def("NrOfRows", &PyDataTable::NrOfRows, "Number of rows.")
      .def("Elem", &PyDataTable::Elem, py::arg("col"), py::arg("row"),
           Doc("Value of cell (col, row).", kIdx2).c_str())
      .def("SetElem", &PyDataTable::SetElem, py::arg("col"), py::arg("row"), py::arg("value"),
           Doc("Stores value in cell (col, row).", kIdx2).c_str())
      .def("ElemNominal", &PyDataTable::ElemNominal, py::arg("col"), py::arg("row"),
           Doc("The identifier of a categorical cell (col, row); \"\" in other columns.", kIdx2)
               .c_str())
      .def(
          "SetElemNominal", &PyDataTable::SetElemNominal, py::arg("col"), py::arg("row"),
          py::arg("id"),
          Doc("Stores the ordinal of id in cell (col, row), adding the identifier when new.", kIdx2)
              .c_str())
      .def("IsNumber", &PyDataTable::IsNumber, py::arg("col"), py::arg("row"),
           Doc("True when cell (col, row) holds a valid value and is not empty.", kIdx2).c_str())
      .def("IsEmpty", &PyDataTable::IsEmpty, py::arg("col"), py::arg("row"),
           Doc("True when cell (col, row) is marked empty.", kIdx2).c_str())
      .def("SetIsEmpty", &PyDataTable::SetIsEmpty, py::arg("col"), py::arg("row"), py::arg("value"),
           Doc("Marks cell (col, row) empty or not.", kIdx2).c_str())
      .def(
          "MScaleType", [](const PyDataTable& t, int32_t c) { return int(t.MScaleType(c)); },
          py::arg("col"),
          Doc("Scale type of column col: 0 unknown, 1 nominal, 2 ordinal, 3 interval, 4 ratio.",
              kIdx1)
              .c_str())
      .def(
          "SetMScaleType",
          [](PyDataTable& t, int32_t c, int s) {
            if (s < nux::stUnknown || s > nux::stRatio)
              throw py::value_error("SetMScaleType: scale type outside 0..4");
            t.SetMScaleType(c, nux::TMScaleType(s));
          },
          py::arg("col"), py::arg("scale"),
          Doc("Sets the scale type of column col (0..4).", kIdx1).c_str())
      .def(
          "IsCategorical",
          [](const PyDataTable& t, int32_t c) { return nux::IsCategorical(t.MScaleType(c)); },
          py::arg("col"), Doc("True for a nominal or ordinal column col.", kIdx1).c_str())
      .def("ColName", &PyDataTable::ColName, py::arg("col"),
           Doc("Name of column col.", kIdx1).c_str())
      .def("SetColName", &PyDataTable::SetColName, py::arg("col"), py::arg("name"),
           Doc("Names column col.", kIdx1).c_str())
      .def("RowName", &PyDataTable::RowName, py::arg("row"), Doc("Name of row row.", kIdx1).c_str())
      .def("SetRowName", &PyDataTable::SetRowName, py::arg("row"), py::arg("name"),
           Doc("Names row row.", kIdx1).c_str())
      .def_property(
          "Comment", [](const PyDataTable& t) { return t.Comment(); },
          [](PyDataTable& t, const std::string& s) { t.SetComment(s); }, "The table's comment.")
      .def(
          "Resize",
          [](PyDataTable& t, int32_t Nc, int32_t Nr) {
            t.Exports.RequireNone("resize");
            t.Resize(Nc, Nr);
          },
          py::arg("ncols"), py::arg("nrows"), "Resizes the table.")
      .def(
          "column",
          [](py::handle self, int32_t Col) {
            auto& t = self.cast<PyDataTable&>();
            return ColumnView(self, *t.NumericData(), t.Exports, Col);
          },
          py::arg("col"),
          Doc("A read-only numpy view of column col's values, without a copy.", kIdx1).c_str())
      .def(
          "to_numpy", [](const PyDataTable& t) { return FromColumns(t.NumericData()->Data()); },
          "A (rows, columns) copy of the values.")
      .def(
          "__array__",
          [](const PyDataTable& t, py::object dtype, py::object) {
            py::object r = FromColumns(t.NumericData()->Data());
            if (!dtype.is_none()) r = r.attr("astype")(dtype);
            return r;
          },
          py::arg("dtype") = py::none(), py::arg("copy") = py::none())
      .def(
          "ExportAsCSV",
          [](const PyDataTable& t, const std::string& F, int32_t P, const std::string& Delim,
             bool ColHeaders, bool RowHeaders) {
            return t.ExportAsCSV(F, P,
                                 Delim == ";"    ? nux::csvSemicolon
                                 : Delim == "\t" ? nux::csvTab
                                 : Delim == " "  ? nux::csvBlank
                                                 : nux::csvComma,
                                 ColHeaders, RowHeaders);
          },
          py::arg("filename"), py::arg("precision") = -1, py::arg("delimiter") = ",",
          py::arg("col_headers") = true, py::arg("row_headers") = false,
          "Writes the table as CSV (atomically); 0, or -1 when the file cannot be written.")
      .def(
          "ImportFromCSV",
          [](PyDataTable& t, const std::string& F, const std::string& Delim, bool ColHeaders,
             bool RowHeaders) {
            t.Exports.RequireNone("import into the table");
            const auto d = Delim == ";"    ? nux::csvSemicolon
                           : Delim == "\t" ? nux::csvTab
                           : Delim == " "  ? nux::csvBlank
                                           : nux::csvComma;
            CheckAscResult("ImportFromCSV",
                           Released([&] { return t.ImportFromCSV(F, d, ColHeaders, RowHeaders); }),
                           F);
          },
          py::arg("filename"), py::arg("delimiter") = ",", py::arg("col_headers") = true,
          py::arg("row_headers") = false, "Replaces the table by a CSV file.")
      .def(
          "ExportAsASC",
          [](const PyDataTable& t, const std::string& F, int32_t P) { return t.ExportAsASC(F, P); },
          py::arg("filename"), py::arg("precision") = -1,
          "Writes the table in the ASC layout; 0, or -1 when the file cannot be written.")
      .def(
          "ImportASC",
          [](PyDataTable& t, const std::string& F) {
            t.Exports.RequireNone("import into the table");
            CheckAscResult("ImportASC", Released([&] { return t.ImportASC(F); }), F);
          },
          py::arg("filename"), "Replaces the table by an ASC file.")
      .def("__repr__", [](const PyDataTable& t) {
        return "DataTable(ncols=" + std::to_string(t.NrOfColumns()) +
               ", nrows=" + std::to_string(t.NrOfRows()) + ")";
      });

  // The library's stable mean over any 1-D array, read in place.
  m.def(
      "mean",
      [](const py::handle& X) {
        if (py::isinstance<PyVector>(X)) {
          const auto& d = X.cast<const PyVector&>().Data();
          return Released([&] {
            return nux::StableMean(int64_t(d.size()), [&](int64_t i) { return d[size_t(i)]; });
          });
        }
        auto a = py::array_t<double, py::array::forcecast>::ensure(X);
        if (!a || a.ndim() != 1) throw py::value_error("mean: expected a 1-D array");
        if (a.size() == 0) throw py::value_error("mean: the array is empty");
        if (a.strides(0) == sizeof(double)) {
          const double* p = a.data();
          return Released(
              [&] { return nux::StableMean(a.size(), [p](int64_t i) { return p[i]; }); });
        }
        auto r = a.unchecked<1>();
        return Released([&] { return nux::StableMean(a.size(), [&](int64_t i) { return r(i); }); });
      },
      py::arg("x"),
      "Mean of a 1-D array or Vector, read in place (no copy for float64 data); exact sums "
      "first, with a fallback that cannot overflow.");
}

}  // namespace nuxpy
