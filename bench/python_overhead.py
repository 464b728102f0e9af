#!/usr/bin/python3
"""Cost of calling the library through the Python module.

Scalar functions: the time of one call from Python minus the time the routine itself takes,
the latter measured per element of a call over a large array (where the call's own cost
vanishes). Arrays: the mean of a 10^7-element vector through nux beside numpy's, on a numpy
array (read in place) and on a nux.Vector (np.asarray of it is a view, no copy).

Run after building the release preset:
    PYTHONPATH=build/release/python /usr/bin/python3 bench/python_overhead.py
"""
import timeit

import numpy as np

import nux


def best(stmt, number, repeat=9, **ns):
    return min(timeit.repeat(stmt, number=number, repeat=repeat, globals=ns)) / number


def main():
    print("scalar calls (seconds per call; overhead = call - routine):")
    big = np.linspace(-3, 3, 1_000_000)
    for name, f, scalar_args, array_args in (
        ("stats.norm.cdf(x)", nux.stats.norm.cdf, (0.7,), (big,)),
        ("stats.tDistriIntegral(x, 7)", nux.stats.tDistriIntegral, (0.7, 7), (big, 7)),
        ("stats.t.cdf(x, 7)", nux.stats.t.cdf, (0.7, 7), (big, 7)),
    ):
        call = best("f(*a)", 200_000, f=f, a=scalar_args)
        routine = best("f(*a)", 1, repeat=15, f=f, a=array_args) / big.size
        print(f"  {name:30s} call {call * 1e9:7.0f} ns  routine {routine * 1e9:6.0f} ns  "
              f"overhead {(call - routine) * 1e9:6.0f} ns")

    # A call whose routine returns at once (invalid degrees of freedom give NaN) is nearly all
    # overhead; a bound method of a plain Python object beside it for scale.
    trivial = best("f(0.7, 0)", 200_000, f=nux.stats.t.cdf)
    plain = best("f(0.7)", 200_000, f=(1.0).__add__)
    print(f"  {'t.cdf(x, 0), NaN at once':30s} call {trivial * 1e9:7.0f} ns  "
          f"(a Python float's __add__: {plain * 1e9:.0f} ns)")

    print("mean of 10^7 doubles (seconds):")
    x = np.random.default_rng(1).normal(size=10_000_000)
    v = nux.Vector(x)
    t_np = best("np.mean(x)", 5, np=np, x=x)
    t_nux = best("nux.mean(x)", 5, nux=nux, x=x)
    t_vec = best("nux.mean(v)", 5, nux=nux, v=v)
    t_view = best("np.mean(np.asarray(v))", 5, np=np, v=v)
    t_copy = best("nux.Vector(x)", 3, nux=nux, x=x)
    print(f"  numpy np.mean(array)            {t_np * 1e3:7.2f} ms")
    print(f"  nux.mean(array), read in place  {t_nux * 1e3:7.2f} ms  ratio to numpy {t_nux / t_np:.2f}")
    print(f"  nux.mean(Vector)                {t_vec * 1e3:7.2f} ms  ratio to numpy {t_vec / t_np:.2f}")
    print(f"  np.mean(np.asarray(Vector))     {t_view * 1e3:7.2f} ms  (a view, no copy)")
    print(f"  nux.Vector(array), the copy in  {t_copy * 1e3:7.2f} ms")


if __name__ == "__main__":
    main()
