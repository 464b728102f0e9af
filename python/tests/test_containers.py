import gc
import math

import numpy as np
import pytest

import nux


def test_vector_round_trip_and_zero_copy_view(rng):
    x = rng.normal(size=1000)
    v = nux.Vector(x)
    a = np.asarray(v)
    assert np.array_equal(a, x) and not a.flags.writeable
    assert np.shares_memory(a, v.view())  # both views of the one storage
    v.SetVal(1, 42.0)  # 1-based: the first element
    assert a[0] == 42.0 and v.GetVal(1000) == x[-1] and v.GetVal(1001) == 0
    # storage with live views is never reallocated under them
    with pytest.raises(BufferError):
        v.Resize(5)
    view_of_view = a[10:20]
    del a
    gc.collect()
    with pytest.raises(BufferError):
        v.SetValues([1.0, 2.0])
    del view_of_view
    gc.collect()
    v.SetValues([1.0, 2.0, 4.0])
    assert v.to_numpy().tolist() == [1.0, 2.0, 4.0]
    # a view keeps its vector alive
    w = nux.Vector([3.0, 5.0]).view()
    gc.collect()
    assert w.tolist() == [3.0, 5.0]


def test_vector_statistics_match_numpy(rng):
    x = 1e9 + rng.normal(size=501)  # a large offset: stable sums needed
    v = nux.Vector(x)
    m, s2 = v.MeanVar()
    exact = math.fsum(x) / len(x)
    assert m == pytest.approx(exact, rel=1e-14)
    assert s2 == pytest.approx(math.fsum((x - exact) ** 2) / 500, rel=1e-9)
    assert nux.mean(x) == m and nux.mean(v) == m
    assert nux.mean(x[::3]) == pytest.approx(math.fsum(x[::3]) / 167, rel=1e-14)  # strided
    assert v.Percentile(50) == pytest.approx(np.median(x), rel=1e-15)
    mn, mx, imn, imx = v.MinMax()
    assert (mn, mx, imn, imx) == (x.min(), x.max(), x.argmin() + 1, x.argmax() + 1)
    iv = nux.IntVector(np.array([3, 1, 2], dtype=np.int32))
    iv.SortElems()
    assert np.asarray(iv).tolist() == [1, 2, 3] and iv.view().dtype == np.int32
    assert nux.IntVector(np.array([2.0, -7.0])).to_numpy().tolist() == [2, -7]
    for bad in ([1.5], [2.0 ** 31], np.array([2 ** 40], dtype=np.int64), [np.nan]):
        with pytest.raises(ValueError, match="not a 32-bit integer"):
            nux.IntVector(bad)


def test_matrix_layout_and_columns(rng):
    x = rng.normal(size=(7, 3))  # 7 rows, 3 columns
    a = nux.Matrix(x)
    assert a.shape == (7, 3) and a.NrOfColumns() == 3 and a.NrOfRows() == 7
    assert a.GetVal(2, 5) == x[4, 1]  # (col, row), 1-based
    assert np.array_equal(np.asarray(a), x) and np.array_equal(a.column(3), x[:, 2])
    col = a.column(1)
    with pytest.raises(BufferError):
        a.Transpose()
    del col
    gc.collect()
    assert a.Transpose() and a.shape == (3, 7)
    with pytest.raises(IndexError):
        a.column(8)
    sq = nux.Matrix(rng.normal(size=(4, 4)))
    assert sq.Determinant() == pytest.approx(np.linalg.det(sq.to_numpy()), rel=1e-12)
    inv = sq.to_numpy()
    assert sq.Invert()
    assert np.allclose(sq.to_numpy() @ inv, np.eye(4), atol=1e-12)
    assert np.allclose(np.asarray(nux.Matrix(x).Multiply(nux.Matrix(x.T))), x @ x.T)
    for bad in ([1.0, 2.0], np.zeros((0, 3))):
        with pytest.raises(ValueError):
            nux.Matrix(bad)


def test_files_round_trip_and_errors(tmp_path, rng):
    x = rng.normal(size=(5, 2))
    f = str(tmp_path / "m.asc")
    assert nux.Matrix(x).ExportAsASC(f, comment="hello") == 0
    b = nux.Matrix.read_asc(f)
    assert np.array_equal(np.asarray(b), x)  # shortest exact form reads back bit for bit
    v = nux.Vector([1.5, 2.5])
    assert v.ExportAsASC(str(tmp_path / "v.asc"), 3, "c") == 0
    assert nux.Vector.read_asc(str(tmp_path / "v.asc")).to_numpy().tolist() == [1.5, 2.5]
    c = nux.CurveFit([1.0, 2.0, 3.5], [0.25, -1.0, 7.0])
    c.ExportAsASC(str(tmp_path / "c.asc"), "pairs")
    d = nux.CurveFit()
    d.ImportASC(str(tmp_path / "c.asc"))
    assert d.NumData() == 3 and (d.MeanX(), d.MeanY()) == (c.MeanX(), c.MeanY())
    with pytest.raises(OSError):
        c.ExportAsASC(str(tmp_path / "no" / "such" / "dir.asc"))
    with pytest.raises(FileNotFoundError, match="does not exist"):
        nux.Matrix.read_asc(str(tmp_path / "missing.asc"))
    (tmp_path / "bad.asc").write_text("garbage\n")
    with pytest.raises(ValueError, match="ImportASC"):
        nux.Matrix.read_asc(str(tmp_path / "bad.asc"))


def test_datatable_numpy_pandas_csv(tmp_path, rng):
    pd = pytest.importorskip("pandas")
    df = pd.DataFrame(rng.normal(size=(6, 3)), columns=["a", "b", "c"],
                      index=[f"r{i}" for i in range(6)])
    t = nux.DataTable.from_pandas(df)
    assert t.shape == (6, 3) and t.ColName(2) == "b" and t.RowName(1) == "r0"
    assert t.Elem(3, 6) == df.iloc[5, 2]
    assert np.array_equal(t.column(2), df["b"].to_numpy())
    pd.testing.assert_frame_equal(t.to_pandas(), df)
    f = str(tmp_path / "t.csv")
    assert t.ExportAsCSV(f, row_headers=True) == 0
    u = nux.DataTable()
    u.ImportFromCSV(f, row_headers=True)
    pd.testing.assert_frame_equal(u.to_pandas(), df)
    g = str(tmp_path / "t.asc")
    assert t.ExportAsASC(g) == 0
    w = nux.DataTable()
    w.ImportASC(g)
    pd.testing.assert_frame_equal(w.to_pandas(), df)
    (tmp_path / "open.csv").write_text('a,b\n1,"2\n')
    with pytest.raises(ValueError, match="quoted field"):
        w.ImportFromCSV(str(tmp_path / "open.csv"))
    pd.testing.assert_frame_equal(w.to_pandas(), df)  # a failed import leaves the table
    plain = nux.DataTable(np.arange(6.0).reshape(3, 2)).to_pandas()
    assert list(plain.columns) == ["C-1", "C-2"] and list(plain.index) == ["R-1", "R-2", "R-3"]
    mixed = pd.DataFrame({"v": [1.5, np.nan, 3.0], "site": ["east", None, "west"]},
                         index=["a", "b", "c"])
    m = nux.DataTable.from_pandas(mixed)
    assert m.IsCategorical(2) and m.ElemNominal(2, 3) == "west" and m.IsEmpty(1, 2)
    pd.testing.assert_frame_equal(m.to_pandas(), mixed)


def test_library_exceptions_keep_their_messages():
    with pytest.raises(nux.VectorError) as e:
        nux.Vector([-1.0, 2.0]).GeometricMean()
    assert isinstance(e.value, nux.NuxError) and isinstance(e.value, nux.Error)
    assert "GeometricMean" in str(e.value) or "negative" in str(e.value)
    with pytest.raises(nux.VectorError, match="not positive"):
        nux.Vector(0)
    with pytest.raises(nux.FourierError, match="data length must be power of 2"):
        nux.fft(np.ones(3))
    with pytest.raises(nux.WaveletError):
        nux.wavelet(np.ones(8), order=4)


def test_stubs_name_everything_the_module_exports():
    import ast
    import pathlib

    here = pathlib.Path(nux.__file__).parent

    def names(stub):
        tree = ast.parse((here / stub).read_text())
        return {n.name for n in tree.body if isinstance(n, (ast.FunctionDef, ast.ClassDef))}

    assert set(nux.__all__) - {"stats"} <= names("__init__.pyi")
    assert set(nux.stats.__all__) <= names("stats.pyi")


def test_every_binding_says_what_it_does():
    import inspect
    import re

    signature = re.compile(r"^(\d+\. )?\w+\(.*\)( -> .*)?$|^Overloaded function\.$")

    def described(obj):
        doc = inspect.getdoc(obj) or ""
        return any(line.strip() and not signature.match(line) for line in doc.splitlines())

    missing = []
    for mod in (nux._nux, nux._nux.stats, nux.stats.t, nux.stats.binom):
        for name, obj in vars(mod).items():
            if name.startswith("_") or not callable(obj):
                continue
            members = [(name, obj)] if not inspect.isclass(obj) else [
                (f"{name}.{n}", m) for n, m in vars(obj).items()
                if not n.startswith("_") and callable(m)]
            missing += [n for n, m in members if not described(m)]
    assert not missing
