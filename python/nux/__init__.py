"""nux from Python: the library's containers, statistics, fits, multivariate models and
transforms on numpy arrays and pandas frames.

The library's own methods keep its indices: 1-based, column before row, (col, row). numpy arrays
are (rows, columns) and 0-based; the scikit-learn style classes below (KMeans, PCA,
AgglomerativeClustering) give 0-based labels as scikit-learn does.
"""
import numpy as _np

from . import _nux
from ._nux import (  # noqa: F401
    AnovaResult, Component, ComplexError, ConvertError, CorrResult, CurveFit, DataTable,
    DataTableError, Error, FitResult, FourierError, InOutError, IntVector, KnnResult, Kohonen,
    KohonenError, LinkageResult, Math1Error, Math2Error, MathError, MathExpError, Matrix,
    MatrixError, NuxError, OutOfMemory, PCAResult, SLineError, StatisError, TestResult,
    TTestResult, Vector, VectorError, WaveletError, fft, ifft, inverse_wavelet, kmeans, linkage,
    linreg, mean, nearest_neighbors, pca, pls, power_spectrum, ridge, set_progress_hook, set_seed,
    vif, wavelet)
from . import stats  # noqa: F401

def _table_to_pandas(self):
    """A pandas DataFrame of the table: numeric columns as floats (cells that hold no number as
    NaN), categorical columns as their identifiers (None where empty), the column names, and the
    row names as the index."""
    import pandas as pd
    ncols, nrows = self.NrOfColumns(), self.NrOfRows()
    values = self.to_numpy()
    data = {}
    for c in range(1, ncols + 1):
        valid = _np.array([self.IsNumber(c, r) for r in range(1, nrows + 1)], dtype=bool)
        if self.IsCategorical(c):
            col = [self.ElemNominal(c, r) if ok else None for r, ok in enumerate(valid, start=1)]
        else:
            col = _np.where(valid, values[:, c - 1], _np.nan)
        data[self.ColName(c)] = col
    return pd.DataFrame(data, index=[self.RowName(r) for r in range(1, nrows + 1)])


def _table_from_pandas(df):
    """A DataTable holding a copy of a DataFrame: numeric columns as values (NaN cells marked
    empty), other columns as categorical identifiers, the column names and, unless the index is
    a plain range, the index as row names."""
    import pandas as pd
    nrows, ncols = df.shape
    table = DataTable(_np.zeros((max(nrows, 1), max(ncols, 1))))
    for c, name in enumerate(df.columns, start=1):
        table.SetColName(c, str(name))
        col = df.iloc[:, c - 1]
        if pd.api.types.is_numeric_dtype(col) and not pd.api.types.is_bool_dtype(col):
            for r, v in enumerate(col.to_numpy(dtype=float), start=1):
                table.SetElem(c, r, v)
                if _np.isnan(v):
                    table.SetIsEmpty(c, r, True)
        else:
            table.SetMScaleType(c, 1)  # nominal
            for r, v in enumerate(col, start=1):
                if pd.isna(v):
                    table.SetIsEmpty(c, r, True)
                else:
                    table.SetElemNominal(c, r, str(v))
    if not isinstance(df.index, pd.RangeIndex):
        for r, name in enumerate(df.index, start=1):
            table.SetRowName(r, str(name))
    return table


DataTable.to_pandas = _table_to_pandas
DataTable.from_pandas = staticmethod(_table_from_pandas)


class KMeans:
    """k-means in scikit-learn's form over kmeans(): labels_ 0-based (-1 for rows holding NaN),
    clusters numbered by size (0 the largest). n_init runs start from rows drawn with the seeds
    seed, seed + 1, ...; the run with the smallest within-cluster sum of squares is kept."""

    def __init__(self, n_clusters=8, n_init=10, seed=1):
        if seed < 1 or n_init < 1:
            raise ValueError("seed and n_init must be at least 1")
        self.n_clusters = n_clusters
        self.n_init = n_init
        self.seed = seed

    def fit(self, X):
        X = _np.asarray(X, dtype=float)
        runs = (kmeans(X, self.n_clusters, self.seed + i) for i in range(self.n_init))
        centers, labels, sizes, inertia = min(runs, key=lambda r: r[3])
        self.cluster_centers_ = centers
        self.labels_ = labels.astype(_np.int64) - 1
        self.sizes_ = sizes
        self.inertia_ = inertia
        return self

    def predict(self, X):
        X = _np.asarray(X, dtype=float)
        d = ((X[:, None, :] - self.cluster_centers_[None, :, :]) ** 2).sum(axis=2)
        return _np.argmin(d, axis=1)  # ties go to the lower centre, as in the fit

    def fit_predict(self, X):
        return self.fit(X).labels_


class AgglomerativeClustering:
    """Agglomerative clustering over linkage(), cut into n_clusters: labels_ 0-based in the
    order the clusters first appear among the rows."""

    def __init__(self, n_clusters=2, method="ward", metric="euclidean"):
        self.n_clusters = n_clusters
        self.method = method
        self.metric = metric

    def fit(self, X, progress=None):
        X = _np.asarray(X, dtype=float)
        n = X.shape[0]
        if not 1 <= self.n_clusters <= n:
            raise ValueError(f"n_clusters must lie in 1..{n}")
        res = linkage(X, self.method, self.metric, progress=progress)
        self.dendrogram_, self.distances_ = res.dendrogram, res.distances
        parent = list(range(2 * n))  # union-find over the ids 1..2n-1 (0 unused)

        def root(i):
            while parent[i] != i:
                parent[i] = parent[parent[i]]
                i = parent[i]
            return i

        for a, b, new in res.dendrogram[: n - self.n_clusters]:
            parent[root(a)] = new
            parent[root(b)] = new
        ids = {}
        self.labels_ = _np.array([ids.setdefault(root(i), len(ids)) for i in range(1, n + 1)])
        return self

    def fit_predict(self, X):
        return self.fit(X).labels_


class PCA:
    """Principal components over pca(): components_ one row per component, scores from
    transform() on the centred (and, for mode="correlation", scaled) data."""

    def __init__(self, n_components=None, mode="covariance"):
        self.n_components = n_components
        self.mode = mode

    def fit(self, X):
        X = _np.asarray(X, dtype=float)
        res = pca(X, self.mode)
        k = self.n_components or X.shape[1]
        self.mean_ = X.mean(axis=0)
        self.scale_ = X.std(axis=0, ddof=1) if self.mode == "correlation" else _np.ones(X.shape[1])
        self.explained_variance_ = res.eigenvalues[:k]
        self.explained_variance_ratio_ = res.explained[:k]
        self.components_ = res.eigenvectors[:, :k].T
        return self

    def transform(self, X):
        return ((_np.asarray(X, dtype=float) - self.mean_) / self.scale_) @ self.components_.T

    def fit_transform(self, X):
        return self.fit(X).transform(X)


__all__ = [n for n in dir() if not n.startswith("_")]
