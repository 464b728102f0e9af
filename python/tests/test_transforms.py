import numpy as np
import pytest

import nux


def test_fft_conventions_against_numpy(rng):
    x = rng.normal(size=64) + 1j * rng.normal(size=64)
    X = nux.fft(x)
    np.testing.assert_allclose(X, 64 * np.fft.ifft(x), rtol=1e-12, atol=1e-12)  # positive exponent
    np.testing.assert_allclose(nux.ifft(X), x, atol=1e-13)
    r = rng.normal(size=128)
    p = nux.power_spectrum(r)
    assert p.shape == (65,) and p.sum() == pytest.approx((r ** 2).sum(), rel=1e-12)
    w = nux.fft(np.ones(16), window="hamming")
    assert w[0].real == pytest.approx(np.hamming(17)[:16].sum(), rel=0.05)
    with pytest.raises(ValueError, match="unknown window"):
        nux.fft(r, window="kaiser")


def test_wavelet_haar_and_round_trip(rng):
    x = np.array([4.0, 2.0, 5.0, 5.0])
    h = nux.wavelet(x, order=1, level=1)
    s = np.sqrt(2)
    np.testing.assert_allclose(np.sort(np.abs(h)), np.sort(np.abs([6 / s, 10 / s, 2 / s, 0])), atol=1e-12)
    y = rng.normal(size=256)
    for order in (1, 2, 3):
        c = nux.wavelet(y, order=order, level=8)
        assert (c ** 2).sum() == pytest.approx((y ** 2).sum(), rel=1e-12)  # orthogonal under wrap
        np.testing.assert_allclose(nux.inverse_wavelet(c, order=order, level=8), y, atol=1e-11)
    with pytest.raises(ValueError, match="extension"):
        nux.wavelet(y, ext="reflect")
