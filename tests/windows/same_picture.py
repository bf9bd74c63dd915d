#!/usr/bin/env python3
"""Exits 0 when a PPM picture (from the COM client) and a PNG picture (from the command line)
have the same size and pixels within JPEG round-off. With --stored, the second picture went
through the cache's lossy storage once more, so only the mean difference is bounded."""
import sys
from PIL import Image

TOLERANCE = 3

stored = "--stored" in sys.argv
paths = [p for p in sys.argv[1:] if p != "--stored"]
try:
    a = Image.open(paths[0]).convert("RGB")
    b = Image.open(paths[1]).convert("RGB")
except OSError as error:
    print(error)
    sys.exit(1)
if a.size != b.size:
    print(f"sizes differ: {a.size} and {b.size}")
    sys.exit(1)
differences = [abs(x - y) for pa, pb in zip(a.getdata(), b.getdata()) for x, y in zip(pa, pb)]
worst = max(differences)
mean = sum(differences) / len(differences)
if stored and mean > 6:
    print(f"pixels differ by {mean:.1f} on average")
    sys.exit(1)
if not stored and worst > TOLERANCE:
    print(f"pixels differ by up to {worst}")
    sys.exit(1)
