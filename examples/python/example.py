#!/usr/bin/python3
"""nux from Python on bundled weather readings: a table from CSV, statistics, a t-test,
principal components, k-means and a spectrum.

Run from the build tree:  PYTHONPATH=build/release/python /usr/bin/python3 examples/python/example.py
or after `cmake --install`, with the prefix's lib/python3/dist-packages on PYTHONPATH."""
import pathlib

import numpy as np

import nux

data = pathlib.Path(__file__).with_name("data") / "weather.csv"

table = nux.DataTable()
table.ImportFromCSV(str(data))  # text cells (the site) become invalid cells
names = [table.ColName(c) for c in range(1, table.NrOfColumns() + 1)]
print(f"{table.NrOfRows()} readings of {', '.join(names[1:])}")

temperature = nux.Vector(table.column(2))  # a view of the table's column, copied once here
mean, var = temperature.MeanVar()
q1, median, q3 = temperature.Quartiles()
print(f"temperature: mean {mean:.3f}, sd {var ** 0.5:.3f}, quartiles {q1:.3f} {median:.3f} {q3:.3f}")

wind = np.asarray(table.column(5))
r = nux.stats.ttest_ind(table.column(3)[wind < 4], table.column(3)[wind >= 4], equal_var=False)
print(f"pressure, calm vs windy hours: t = {r.statistic:.3f}, p = {r.pvalue:.4f}, df = {r.df:.1f}")

X = table.to_numpy()[:, 1:]
pca = nux.pca(X, "correlation")
print("principal components of the correlations:",
      " ".join(f"{e:.1%}" for e in pca.explained))

km = nux.KMeans(3).fit((X - X.mean(axis=0)) / X.std(axis=0, ddof=1))
print("k-means cluster sizes:", km.sizes_.tolist())

power = nux.power_spectrum(np.resize(table.column(2) - mean, 64), window="hamming")
print("strongest temperature line:", int(np.argmax(power[1:]) + 1), "of 32")

try:
    nux.fft(np.ones(100))
except nux.FourierError as e:
    print("as expected:", e)
