#!/usr/bin/env python3
"""Fails when a source folder includes a folder above it in the layer order: each folder
sees its own headers and those of lower rank, not those of equal rank.
usage: check_layers.py ROOT"""
import pathlib
import re
import sys

ORDER = ["base", "platform", "script", "video sound", "object", "event", "runtime", "backend",
         "app"]
RANK = {folder: rank for rank, folders in enumerate(ORDER) for folder in folders.split()}
SEES = {folder: {f for f in RANK if RANK[f] < RANK[folder]} | {folder} for folder in RANK}
# The asset tool stands beside the engine and shares only the base; the
# backends implement the platform interface and see nothing of the core.
SEES["tools"] = {"base", "tools"}
SEES["backend"] = {"base", "platform", "backend"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([a-z_]+)/')

root = pathlib.Path(sys.argv[1])
# A folder renamed or a wrong ROOT would otherwise pass unchecked.
faults = [f"{folder}/ is missing" for folder in SEES if not (root / folder).is_dir()]
for folder in SEES:
    for path in sorted((root / folder).rglob("*.[ch]*")):
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            m = INCLUDE.match(line)
            if m and m.group(1) in SEES and m.group(1) not in SEES[folder]:
                faults.append(f"{path.relative_to(root)}:{number}: {folder}/ includes "
                              f"{m.group(1)}/")
print("\n".join(faults + [f"{len(faults)} faults"]))
sys.exit(1 if faults else 0)
