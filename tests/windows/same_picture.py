#!/usr/bin/env python3
"""Exits 0 when a PPM picture (from the COM client) and a PNG picture (from the command line)
have the same size and pixels within JPEG round-off."""
import sys
from PIL import Image

TOLERANCE = 3

try:
    a = Image.open(sys.argv[1]).convert("RGB")
    b = Image.open(sys.argv[2]).convert("RGB")
except OSError as error:
    print(error)
    sys.exit(1)
if a.size != b.size:
    print(f"sizes differ: {a.size} and {b.size}")
    sys.exit(1)
worst = max(abs(x - y) for pa, pb in zip(a.getdata(), b.getdata()) for x, y in zip(pa, pb))
if worst > TOLERANCE:
    print(f"pixels differ by up to {worst}")
    sys.exit(1)
