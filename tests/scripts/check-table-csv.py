#!/usr/bin/env python3
"""A table written by orvex-cli, read by Python's csv module with no options,
holds for each picture what --stats prints for it, the standard deviation to
the last bit."""
import csv, glob, os, subprocess, sys, tempfile

cli, data = sys.argv[1], sys.argv[2]
pictures = sorted(glob.glob(os.path.join(data, "formats", "png-grey8*.png")) +
                  glob.glob(os.path.join(data, "formats", "pgm-p5*.pgm")))
with tempfile.TemporaryDirectory() as folder:
    table = os.path.join(folder, "t.csv")
    subprocess.run([cli, *pictures, "--measure", "--table", table], check=True)
    with open(table, newline="", encoding="utf-8") as f:
        rows = list(csv.DictReader(f))
assert [r["file"] for r in rows] == pictures, rows
for row in rows:
    stats = subprocess.run([cli, row["file"], "--stats"], check=True, capture_output=True,
                           text=True).stdout
    said = dict(line.split(": ") for line in stats.splitlines())
    for column, label in [("pixels", "Pixels"), ("min", "Minimum"), ("max", "Maximum"),
                          ("sum", "Somme"), ("mean", "Moyenne")]:
        assert int(row[column]) == int(said[label]), (row["file"], column)
    assert "%.15g" % float(row["sd"]) == said["Ecart-type"], (row["file"], row["sd"])
    assert int(row["sum"]) / int(row["pixels"]) >= int(row["mean"])
print(len(rows), "rows agree with --stats")
