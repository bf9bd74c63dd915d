#!/usr/bin/env python3
"""The property handler's values against the info tip of the same file: each value the tip
shows is served, as the property system's type, and says the same; values are of their types.
Usage: props_vs_tip.py PROPS.txt TIP.txt"""
import re
import sys

TYPES = {"CameraManufacturer": "text", "CameraModel": "text", "LensModel": "text", "Dimensions": "text",
         "DateTaken": "filetime", "FNumber": "real", "ExposureTime": "real", "FocalLength": "real",
         "ISOSpeed": "ui2", "Flash": "ui1", "Orientation": "ui2", "HorizontalSize": "ui4", "VerticalSize": "ui4"}


def main(props_path, tip_path):
    props = {}
    for line in open(props_path, encoding="utf-8").read().splitlines():
        name, _, value = line.partition("=")
        kind, _, text = value.partition(":")
        props[name] = (kind, text)
    tip = open(tip_path, encoding="utf-8").read().replace("\r\n", "\n").split("\n")
    faults = []
    for name, (kind, _) in props.items():
        if TYPES.get(name) != kind:
            faults.append(f"{name} is served as {kind}, not {TYPES.get(name)}")

    def real(name):
        return float(props[name][1]) if name in props else None

    def expect(cond, what):
        if not cond:
            faults.append(what)

    if tip and tip[0] != "no exif available" and "-" in tip[0]:
        maker = props.get("CameraManufacturer", ("", ""))[1]
        model = props.get("CameraModel", ("", ""))[1]
        expect(tip[0] == f"{maker}-{model}", f"camera {maker!r}/{model!r} against the tip's {tip[0]!r}")
    for line in tip:
        if m := re.fullmatch(r"ISO: (\d+)", line):
            expect(props.get("ISOSpeed", ("", ""))[1] == m[1], f"ISO against {line!r}")
        elif m := re.fullmatch(r"Focal Length: ([\d.]+) mm", line):
            expect(real("FocalLength") is not None and abs(real("FocalLength") - float(m[1])) < 0.01, f"focal length against {line!r}")
        elif m := re.fullmatch(r"F-Number: F([\d.]+)", line):
            expect(real("FNumber") is not None and abs(real("FNumber") - float(m[1])) < 0.051, f"f-number against {line!r}")
        elif m := re.fullmatch(r"Exposure Time: (\d+)/(\d+) sec", line):
            expect(real("ExposureTime") is not None and abs(real("ExposureTime") - int(m[1]) / int(m[2])) < 1e-6,
                   f"exposure against {line!r}")
        elif m := re.fullmatch(r"Exposure Time: ([\d.]+) sec", line):
            expect(real("ExposureTime") is not None and abs(real("ExposureTime") - float(m[1])) < 0.01, f"exposure against {line!r}")
        elif m := re.fullmatch(r"Lens information: (.+)", line):
            expect(props.get("LensModel", ("", ""))[1] == m[1], f"lens against {line!r}")
    for fault in faults:
        print(f"{props_path}: {fault}", file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
