"""A datalog of N engine-speed frames opens in pandas as it stands: its columns
are those of its header and it has one row per frame, all of them numbers."""
import csv
import os
import subprocess
import sys
import tempfile

import pandas

writer, frames = sys.argv[1], 500
env = dict(os.environ)
# Written under a comma locale when the machine has one.
locales = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower()
if "de_de.utf8" in locales or "de_de.utf-8" in locales:
    env["LC_ALL"] = "de_DE.UTF-8"

with tempfile.TemporaryDirectory() as folder:
    path = os.path.join(folder, "log.csv")
    subprocess.run([writer, path, str(frames)], check=True, env=env)
    with open(path, encoding="utf-8", newline="") as f:
        header = next(csv.reader(f))
    log = pandas.read_csv(path)

assert list(log.columns) == header, (list(log.columns), header)
assert len(header) == 1 + 16 + 6, header
assert len(log) == frames, len(log)
assert all(pandas.api.types.is_numeric_dtype(t) for t in log.dtypes), log.dtypes
assert log["MAP, \"kPa\""].notna().all()
assert set(log["CRANKING"].unique()) <= {0, 1}
print(f"{len(log)} rows, {len(log.columns)} columns")
