#!/usr/bin/env python3
"""Exits 0 when two UTF-8 texts are equal line by line, whatever their line ends."""
import sys

a, b = (open(p, encoding="utf-8").read().replace("\r\n", "\n").rstrip("\n") for p in sys.argv[1:3])
if a != b or not a:
    print(f"texts differ:\n--- COM\n{a}\n--- command line\n{b}")
    sys.exit(1)
