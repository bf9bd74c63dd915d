#!/usr/bin/env python3
"""Prints registry exports (.reg files) as sorted lines "KEY", "KEY | NAME = DATA", so that two
states of the registry compare with diff. The classes tree is shown as HKEY_CLASSES_ROOT."""
import sys

CLASSES = "HKEY_LOCAL_MACHINE\\Software\\Classes"


def read_text(path):
    raw = open(path, "rb").read()
    if raw.startswith(b"\xff\xfe"):
        return raw[2:].decode("utf-16-le")
    return raw.decode("utf-8", "replace")


def lines_of(path):
    out = []
    key = None
    pending = ""
    for line in read_text(path).splitlines():
        line = pending + line.strip()
        pending = ""
        if line.endswith("\\") and not line.startswith("["):
            pending = line[:-1]
            continue
        if line.startswith("[") and line.endswith("]"):
            key = line[1:-1]
            if key.lower().startswith(CLASSES.lower()):
                key = "HKEY_CLASSES_ROOT" + key[len(CLASSES):]
            out.append(key)
        elif key is not None and "=" in line and (line.startswith('"') or line.startswith("@")):
            if line.startswith("@"):
                name, data = "@", line[2:]
            else:
                end = line.index('"=', 1)
                name, data = line[: end + 1], line[end + 2 :]
            out.append(f"{key} | {name} = {data}")
    return out


result = []
for p in sys.argv[1:]:
    result.extend(lines_of(p))
for line in sorted(set(result), key=lambda s: s.lower()):
    print(line)
