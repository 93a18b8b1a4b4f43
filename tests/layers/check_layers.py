#!/usr/bin/env python3
"""Fails when a source folder includes a folder above it in the layer order: each folder
sees its own headers and those of lower rank, not those of equal rank. Fails too when more
than LUABIND_UNITS translation units (tests, benchmarks and tools included) reach luabind
through their includes: each such unit needs most of a gigabyte and seconds to compile.
usage: check_layers.py ROOT"""
import os
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
# The desktop's main runs the art build before a window's reload.
SEES["app"] |= {"tools"}
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

LUABIND_UNITS = 5
QUOTED = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
LUABIND = re.compile(r'^\s*#\s*include\s*[<"]luabind/', re.M)


def reaches_luabind(path, seen):
    if path in seen:
        return False
    seen.add(path)
    text = path.read_text(errors="replace")
    return bool(LUABIND.search(text)) or any(
        reaches_luabind(f, seen) for name in QUOTED.findall(text)
        for f in (root / name, path.parent / name) if f.is_file())


units = []
for top, dirs, files in os.walk(root):
    dirs[:] = [d for d in dirs if not d.startswith((".", "build")) and d not in ("deps", "out")]
    units += [pathlib.Path(top, f) for f in files if f.endswith(".cpp")]
luabind_units = sorted(str(u.relative_to(root)) for u in units if reaches_luabind(u, set()))
print(f"{len(luabind_units)} units reach luabind: {' '.join(luabind_units)}")
if len(luabind_units) > LUABIND_UNITS:
    faults.append(f"more than {LUABIND_UNITS} units reach luabind")
print("\n".join(faults + [f"{len(faults)} faults"]))
sys.exit(1 if faults else 0)
