# SPDX-License-Identifier: GPL-3.0-or-later
"""A datalog of N engine-speed frames, written under a comma locale, opens in
pandas as it stands: the columns of its header, one row per frame, all numbers.
Usage: check_datalog_csv.py DATALOG_WRITER"""
import csv, os, subprocess, sys, tempfile

import pandas

frames = 500
env = dict(os.environ, LC_ALL="de_DE.UTF-8")
with tempfile.TemporaryDirectory() as folder:
    path = os.path.join(folder, "log.csv")
    subprocess.run([sys.argv[1], "--write", path, str(frames)], check=True, env=env)
    with open(path, encoding="utf-8", newline="") as f:
        header = next(csv.reader(f))
    log = pandas.read_csv(path)
assert list(log.columns) == header and len(header) == 23, (list(log.columns), header)
assert len(log) == frames, len(log)
assert all(pandas.api.types.is_numeric_dtype(t) for t in log.dtypes), log.dtypes
