import threading

import numpy as np
import pytest

import nux


def test_curve_fits_against_numpy(rng):
    x = np.linspace(0.5, 10, 60)
    y = 1.5 - 0.8 * x + 0.05 * x ** 3 + rng.normal(scale=0.1, size=x.size)
    c = nux.CurveFit(x, y)
    k, alpha, q, near = c.polyfit(3)
    np.testing.assert_allclose(k, np.polyfit(x, y, 3)[::-1], rtol=1e-9)
    params, quality = c.fit("polynomial", 3)
    np.testing.assert_allclose(params, k, rtol=1e-9)
    np.testing.assert_allclose(c.evaluate(x), np.polyval(k[::-1], x), rtol=1e-12)
    np.testing.assert_allclose(c.residuals(), y - c.evaluate(x), atol=1e-9)
    (k0, k1), _ = nux.CurveFit(x, 3.0 * x ** 1.7).fit("power")
    assert (k0, k1) == pytest.approx((3.0, 1.7), rel=1e-12)
    with pytest.raises(ValueError, match="cannot take the data"):
        nux.CurveFit([-1.0, 1.0, 2.0], [1.0, 2.0, 3.0]).fit("log")
    with pytest.raises(ValueError, match="unknown model"):
        c.fit("spline")
    sp = pytest.importorskip("scipy.stats")
    rho, p = c.SpearmanRankCorr()
    e = sp.spearmanr(x, y)
    assert (rho, p) == pytest.approx((e[0], e[1]), rel=1e-8)


def test_regressions_against_numpy_and_sklearn(rng):
    X = rng.normal(size=(80, 4))
    y = X @ [1.0, -2.0, 0.5, 0.0] + 3.0 + rng.normal(scale=0.3, size=80)
    r = nux.linreg(X, y)
    A = np.column_stack([np.ones(80), X])
    beta, res, *_ = np.linalg.lstsq(A, y, rcond=None)
    np.testing.assert_allclose(r.coeffs, beta, rtol=1e-10)
    sigma2 = res[0] / (80 - 5)
    np.testing.assert_allclose(r.stderr, np.sqrt(sigma2 * np.diag(np.linalg.inv(A.T @ A))), rtol=1e-8)
    assert r.rsquared == pytest.approx(1 - res[0] / ((y - y.mean()) ** 2).sum(), rel=1e-12)
    rr = nux.ridge(X, y, 2.0)
    np.testing.assert_allclose(rr.coeffs, np.linalg.solve(X.T @ X + 2 * np.eye(4), X.T @ y), rtol=1e-10)
    with pytest.raises(ValueError, match="ridge"):
        nux.ridge(X, y, -1.0)
    skl = pytest.importorskip("sklearn.cross_decomposition")
    p = nux.pls(X, y, 2, scale=False)
    ref = skl.PLSRegression(n_components=2, scale=False).fit(X, y)
    pred = p["coeffs"][0] + X @ p["coeffs"][1:]
    np.testing.assert_allclose(pred.ravel(), ref.predict(X).ravel(), rtol=1e-8)
    f = nux.vif(X)
    Xc = X - X.mean(axis=0)
    ref_vif = [1 / (1 - (1 - ((Xc[:, j] - Xc[:, np.arange(4) != j] @ np.linalg.lstsq(
        Xc[:, np.arange(4) != j], Xc[:, j], rcond=None)[0]) ** 2).sum() / (Xc[:, j] ** 2).sum()))
        for j in range(4)]
    np.testing.assert_allclose(f, ref_vif, rtol=1e-9)


def test_pca_against_sklearn(rng):
    X = rng.normal(size=(100, 3)) @ [[3, 1, 0], [0, 1, 0], [0, 0.2, 0.1]]
    p = nux.PCA().fit(X)
    skd = pytest.importorskip("sklearn.decomposition")
    ref = skd.PCA().fit(X)
    np.testing.assert_allclose(p.explained_variance_, ref.explained_variance_, rtol=1e-9)
    np.testing.assert_allclose(np.abs(p.components_), np.abs(ref.components_), atol=1e-9)
    np.testing.assert_allclose(np.abs(p.transform(X)), np.abs(ref.transform(X)), atol=1e-8)
    corr = nux.pca(X, "correlation")
    np.testing.assert_allclose(np.sort(corr.eigenvalues), np.linalg.eigvalsh(np.corrcoef(X.T)),
                               rtol=1e-9)
    with pytest.raises(ValueError):
        nux.pca(X, "spearman")


def test_clustering_against_sklearn_and_scipy(rng):
    X = np.vstack([rng.normal(c, 0.3, size=(30, 2)) for c in ((0, 0), (4, 0), (0, 4))])
    km = nux.KMeans(3).fit(X)
    skc = pytest.importorskip("sklearn.cluster")
    ref = skc.KMeans(3, n_init=10, random_state=0).fit(X)
    assert km.inertia_ == pytest.approx(ref.inertia_, rel=1e-9)
    assert np.array_equal(km.predict(X), km.labels_)
    from sklearn.metrics import adjusted_rand_score
    assert adjusted_rand_score(km.labels_, ref.labels_) == 1.0
    hier = pytest.importorskip("scipy.cluster.hierarchy")
    for method in ("single", "complete", "average"):
        res = nux.linkage(X[:40], method)
        np.testing.assert_allclose(res.distances, hier.linkage(X[:40], method)[:, 2], rtol=1e-12)
    ward = nux.linkage(X[:40], "ward", "sqeuclidean")
    np.testing.assert_allclose(np.sqrt(ward.distances), hier.linkage(X[:40], "ward")[:, 2], rtol=1e-10)
    ag = nux.AgglomerativeClustering(3, "ward", "sqeuclidean").fit(X)
    ref = skc.AgglomerativeClustering(3, linkage="ward").fit(X)
    assert adjusted_rand_score(ag.labels_, ref.labels_) == 1.0
    nn = nux.nearest_neighbors(X, X[5], 3)
    d = np.linalg.norm(X - X[5], axis=1)
    assert nn.rows[0] == 6 and np.allclose(nn.distances, np.sort(d)[:3])
    with pytest.raises(nux.Math2Error):
        nux.kmeans(X[:2], 3)


def test_progress_hooks_stop_work_and_propagate_errors(rng):
    X = rng.normal(size=(60, 3))
    seen = []
    res = nux.linkage(X, "single", progress=seen.append)
    assert seen == sorted(seen) and seen[-1] >= 90 and len(res.distances) == 59
    with pytest.raises(ValueError, match="aborted"):
        nux.linkage(X, "single", progress=lambda pc: pc > 30)

    class Stop(Exception):
        pass

    def boom(pc):
        raise Stop("from the hook")

    with pytest.raises(Stop, match="from the hook"):
        nux.linkage(X, "single", progress=boom)
    with pytest.raises(Stop):
        nux.vif(X, progress=boom)
    calls = []
    nux.set_progress_hook(lambda p: calls.append(nux.mean([p, p])))  # may call the module again
    try:
        nux.pca(rng.normal(size=(50, 20)))
    finally:
        nux.set_progress_hook(None)
    assert calls  # the eigen sweeps report progress


def test_kohonen_fit_predict_and_xml(tmp_path, rng):
    X = np.vstack([rng.normal(c, 0.2, size=(40, 3)) for c in (0, 5)])
    nux.set_seed(11)
    k = nux.Kohonen(4, 3, steps=30).fit(X)
    win, dist = k.predict(X)
    assert win.shape == (80, 2) and win.min() >= 1 and win[:, 0].max() <= 4 and win[:, 1].max() <= 3
    # the two groups land on different neurons
    assert not set(map(tuple, win[:40])) & set(map(tuple, win[40:]))
    nux.set_seed(11)
    again = nux.Kohonen(4, 3, steps=30).fit(X)
    assert np.array_equal(again.weights(), k.weights())  # a seed repeats training bit for bit
    f = str(tmp_path / "map.xml")
    k.SaveAsXMLFile(f, "m1")
    back = nux.Kohonen()
    back.LoadFromXMLFile(f, "m1")
    assert np.array_equal(back.weights(), k.weights())
    assert np.array_equal(back.predict(X)[0], win)
    with pytest.raises(ValueError, match="no element"):
        nux.Kohonen().LoadFromXMLFile(f, "other")
    with pytest.raises(ValueError, match="columns"):
        k.predict(X[:, :2])
    epochs = []
    nux.Kohonen(2, 2, steps=50).fit(X, progress=lambda pc: epochs.append(pc) or pc >= 20)
    assert 0 < len(epochs) < 49


def test_long_calls_release_the_gil(rng):
    X = rng.normal(size=(1500, 8))
    ticks = []
    done = threading.Event()

    def ticker():
        while not done.is_set():
            ticks.append(1)
            done.wait(0.001)

    t = threading.Thread(target=ticker)
    t.start()
    try:
        before = len(ticks)
        nux.linkage(X, "complete")
        during = len(ticks) - before
    finally:
        done.set()
        t.join()
    assert during > 5  # the other thread ran while the clustering did
