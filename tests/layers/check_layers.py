#!/usr/bin/env python3
"""Fails when a source folder includes a folder above it in the layer order.

Usage: check_layers.py ROOT. Each folder may include its own headers and
those of folders of lower rank; folders of equal rank do not see each other.
"""
import pathlib
import re
import sys

RANK = {
    "base": 0,
    "platform": 1,
    "script": 2,
    "video": 3,
    "sound": 3,
    "object": 4,
    "event": 5,
    "runtime": 6,
    "backend": 7,
    "app": 8,
}
# The asset tool stands beside the engine and shares only the base.
ALLOWED_EXTRA = {"tools": {"base", "tools"}}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([a-z_]+)/')


def allowed(folder, target):
    if folder in ALLOWED_EXTRA:
        return target in ALLOWED_EXTRA[folder]
    if target == folder:
        return True
    return target in RANK and RANK[target] < RANK[folder]


def main():
    root = pathlib.Path(sys.argv[1])
    faults = []
    for folder in list(RANK) + list(ALLOWED_EXTRA):
        for path in sorted((root / folder).glob("*.[ch]*")):
            for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
                m = INCLUDE.match(line)
                if m and (m.group(1) in RANK or m.group(1) in ALLOWED_EXTRA) and not allowed(folder, m.group(1)):
                    faults.append(f"{path.relative_to(root)}:{number}: {folder}/ includes {m.group(1)}/")
    for f in faults:
        print(f)
    print(f"{len(faults)} upward includes")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
