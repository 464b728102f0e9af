"""Distributions and hypothesis tests: scipy-style objects (``nux.stats.t.cdf(x, df)``), the
library's own function names (``nux.stats.tDistriIntegral``), and tests returning named
results. Every distribution function takes numbers or numpy arrays."""
from ._nux import stats as _s

globals().update({k: v for k, v in vars(_s).items() if not k.startswith("_")})
__all__ = [k for k in vars(_s) if not k.startswith("_")]
