#!/usr/bin/env bash
# ./make.sh web [--include DIR]... [GAMEDIR] [OUTDIR]: builds the engine to
# WebAssembly with Debian's Emscripten in build-web/ (objects stay there
# between builds) and writes OUTDIR (default build-web/<game>/) for any
# static web server, and OUTDIR.zip of the same files for game hosts:
# index.html, lunashot.js, lunashot.wasm, and what the game reads (script/,
# sprite/, sound/, replay/, gamepad.txt, and each --include folder) packaged
# as game.data with its loader game.js. Sounds are converted to the mixer's
# own WAV format on the way, since the page has no other decoder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
include=()
positional=()
while [ $# -gt 0 ]; do
  case "$1" in
    --include)
      [ $# -ge 2 ] || { echo "make.sh web: --include needs a folder of the game" >&2; exit 2; }
      include+=("$2")
      shift 2
      ;;
    -*) echo "make.sh web: unknown option $1" >&2; exit 2 ;;
    *) positional+=("$1"); shift ;;
  esac
done
game="${positional[0]:-games/demo}"
if [ ! -f "$game/script/start.lua" ]; then
  echo "make.sh web: $game is not a game folder (no script/start.lua)" >&2
  exit 2
fi
game="$(cd "$game" && pwd)"
name="$(basename "$game")"
out="${positional[1]:-build-web/$name}"
. web/setup.sh
cmake --build "$build" -j"$(nproc)" -- --no-print-directory

# The game, as the page will see it: what the engine reads and the folders
# named by --include (not the author's art, screenshots or test inputs), no
# log of earlier native runs, sounds in the mixer's format (converted by the
# native build's lunashot-pack). Only regular files and folders are copied:
# a symbolic link in a game folder from someone else could name any file on
# this machine, and the page would publish it, so links are skipped and
# named.
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
python3 - "$game" "$stage/game" script sprite sound replay gamepad.txt ${include[@]+"${include[@]}"} <<'PY'
import os, shutil, stat, sys
src, dst, wanted = sys.argv[1], sys.argv[2], set(sys.argv[3:])
for folder in wanted:
    if folder in ("", ".", "..") or "/" in folder.strip("/"):
        print("make.sh web: --include %s: name a folder directly in the game folder" % folder, file=sys.stderr)
        sys.exit(2)
wanted = {w.strip("/") for w in wanted}
os.mkdir(dst)
for top, dirs, files in os.walk(src):
    rel = os.path.relpath(top, src)
    if rel == ".":
        dirs[:] = [d for d in dirs if d in wanted]
        files = [f for f in files if f in wanted]
    for name in sorted(dirs + files):
        path = os.path.join(top, name)
        shown = os.path.normpath(os.path.join(rel, name))
        mode = os.lstat(path).st_mode
        if stat.S_ISLNK(mode):
            print("make.sh web: skipped %s: a symbolic link" % shown, file=sys.stderr)
        elif stat.S_ISDIR(mode):
            os.mkdir(os.path.join(dst, rel, name))
        elif stat.S_ISREG(mode):
            # Opened without following a link, in case one replaced the file.
            fd = os.open(path, os.O_RDONLY | os.O_NOFOLLOW | os.O_NONBLOCK)
            with os.fdopen(fd, "rb") as f, open(os.path.join(dst, rel, name), "wb") as out:
                if stat.S_ISREG(os.fstat(fd).st_mode):
                    shutil.copyfileobj(f, out)
        else:
            print("make.sh web: skipped %s: not a regular file" % shown, file=sys.stderr)
    dirs[:] = [d for d in dirs if stat.S_ISDIR(os.lstat(os.path.join(top, d)).st_mode)]
PY
rm -f "$stage/game/script/log.txt"
mkdir -p "$stage/game/replay"
native="${LUNASHOT_BUILD:-build}"
[ -f "$native/CMakeCache.txt" ] || cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$native" --target lunashot-pack -j"$(nproc)" -- --no-print-directory >/dev/null
pack="$native/lunashot-pack"
# True for a WAV already in the mixer's format (PCM, mono, 8-bit, 11025 Hz):
# converting it again could only add dither.
native_wav() {
  python3 - "$1" <<'PY'
import struct, sys
d = open(sys.argv[1], "rb").read(4096)
ok = False
if d[:4] == b"RIFF" and d[8:12] == b"WAVE":
    at = 12
    while at + 8 <= len(d):
        kind, size = d[at:at + 4], struct.unpack("<I", d[at + 4:at + 8])[0]
        if kind == b"fmt " and size >= 16:
            fmt, ch, rate = struct.unpack("<HHI", d[at + 8:at + 16])
            ok = (fmt, ch, rate, struct.unpack("<H", d[at + 22:at + 24])[0]) == (1, 1, 11025, 8)
            break
        at += 8 + size + (size & 1)
sys.exit(0 if ok else 1)
PY
}
if [ -d "$stage/game/sound" ]; then
  find "$stage/game/sound" -type f | while read -r f; do
    native_wav "$f" && continue
    # A file that cannot be converted stays as it is; the game gets nil
    # from LoadSound for it, as the engine does for any undecodable file.
    "$pack" sound "$f" "$f.converted.wav" >/dev/null 2>&1 && mv "$f.converted.wav" "$f" ||
      { rm -f "$f.converted.wav"; echo "make.sh web: kept ${f#$stage/game/} unconverted" >&2; }
  done
fi

mkdir -p "$out"
python3 /usr/share/emscripten/tools/file_packager.py "$out/game.data" \
  --preload "$stage/game@/game" --js-output="$out/game.js" --no-node \
  > /dev/null 2> >(grep -v FORCE_FILESYSTEM >&2)
cp "$build/lunashot.js" "$build/lunashot.wasm" "$out/"
sed "s/@GAME@/$name/g" web/index.html > "$out/index.html"
# Game hosts take a zip with index.html at its top.
python3 - "$out" <<'PY'
import os, sys, zipfile
out = sys.argv[1].rstrip("/")
with zipfile.ZipFile(out + ".zip.part", "w", zipfile.ZIP_DEFLATED) as z:
    for name in ("index.html", "lunashot.js", "lunashot.wasm", "game.js", "game.data"):
        z.write(os.path.join(out, name), name)
os.replace(out + ".zip.part", out + ".zip")
PY
echo "make.sh web: $out/ and $out.zip (serve it, e.g. python3 -m http.server -d $out)"
