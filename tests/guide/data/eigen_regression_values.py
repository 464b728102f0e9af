#!/usr/bin/python3
"""Independent values for the output blocks of the guide's math2 section, computed with numpy.

Eigenvectors are determined up to sign, so compare them with the guide's up to sign; SimPLS is
written out from its definition in docs/eigen-regression.md. Run: python3 eigen_regression_values.py
"""
import numpy as np


def g(x):
    return "%.6g" % x


X = np.array([[1, 2, 3, 4, 5, 6], [2.1, 3.9, 6.2, 7.8, 10.1, 12.0], [5, 3, 4, 1, 2, 0]]).T
n = X.shape[0]
cor = np.corrcoef(X, rowvar=False)
msd = np.array([[((X[:, i] - X[:, j]) ** 2).sum() / (n - 1) for j in range(3)] for i in range(3)])
for name, M in [("cross products", X.T @ X / (n - 1)), ("covariances", np.cov(X, rowvar=False)),
                ("correlations", cor), ("squared correlations", cor ** 2),
                ("mean squared diffs", msd)]:
    print(f"{name}: {g(M[0, 0])} {g(M[0, 1])} {g(M[0, 2])}, (3, 2) {g(M[1, 2])}")

w, v = np.linalg.eigh(np.array([[2, 1, 0], [1, 2, 0], [0, 0, 5.0]]))
for k in range(3):
    print("value", g(w[k]), "vector (up to sign)", *map(g, v[:, k]))
w, v = np.linalg.eigh(cor)
o = np.argsort(-w)
first = v[:, o[0]] * np.sign(v[0, o[0]])
print("explained:", *[g(x) for x in w[o] / abs(w).sum()])
print("first axis:", *map(g, first))

B = np.linalg.pinv(np.array([[1, 1], [1, 2], [1, 4.0]]))
print(B.shape[1], "columns,", B.shape[0], "rows")
for row in B:
    print(*map(g, row))
P = np.linalg.pinv(np.array([[1, 2], [2, 4.0]]))
print("rank 1:", g(P[0, 0]), g(P[0, 1]), "/", g(P[1, 0]), g(P[1, 1]))

x1 = np.arange(1, 9.0)
x2 = np.array([2, 1, 4, 3, 6, 5, 8, 7.0])
y = np.array([1.12, 3.8, 3.05, 6.15, 4.9, 8.03, 6.95, 10.08])
Z = np.column_stack([np.ones(8), x1, x2])
b = np.linalg.lstsq(Z, y, rcond=None)[0]
r = y - Z @ b
se = np.sqrt(r @ r / (8 - 3) * np.diag(np.linalg.inv(Z.T @ Z)))
print(f"constant {g(b[0])} ({g(se[0])}), x1 {g(b[1])} ({g(se[1])}), x2 {g(b[2])} ({g(se[2])})")
print("R2", g(1 - r @ r / ((y - y.mean()) ** 2).sum()))
# Ones, x1 and 2 x1: the minimum-norm solution of the columns scaled by powers of two.
Zd = np.column_stack([np.ones(8), x1, 2 * x1])
scale = np.array([1, 1 / 8, 1 / 16])
bd = np.linalg.pinv(Zd * scale) @ y * scale
print("dependent design:", *map(g, bd), "slope", g(bd[1] + 2 * bd[2]))

X2 = np.column_stack([x1, x2])
for lam in (0.0, 10.0):
    br = np.linalg.solve(X2.T @ X2 + lam * np.eye(2), X2.T @ y)
    print(f"ridge, lambda {g(lam)}:", *map(g, br))


def simpls(X, y, ncomp):
    X0 = X - X.mean(0)
    y0 = y - y.mean()
    S = X0.T @ y0
    R, Q, V, P = [], [], [], []
    for _ in range(ncomp):
        r = S.copy()
        if abs(r).max() != r.max():
            r = -r
        t = X0 @ r
        r /= np.linalg.norm(t)
        t /= np.linalg.norm(t)
        p = X0.T @ t
        v = p.copy()
        for vv in V:
            v -= (vv @ p) * vv
        v /= np.linalg.norm(v)
        S = S - v * (v @ S)
        R.append(r)
        Q.append(y0 @ t)
        V.append(v)
        P.append(p)
    coef = np.array(R).T @ np.array(Q)
    return y.mean() - X.mean(0) @ coef, coef, sum(q * q for q in Q) / (y0 @ y0)


for a in (1, 2):
    c, coef, yvar = simpls(X2, y, a)
    print(f"{a} component(s): {g(c)} {g(coef[0])} {g(coef[1])}, Y variance explained {g(yvar)}")
rr = np.corrcoef(x1, x2)[0, 1]
print("variance inflation", g(1 / (1 - rr * rr)), g(1 / (1 - rr * rr)))
