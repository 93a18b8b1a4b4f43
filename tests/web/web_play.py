#!/usr/bin/env python3
"""The demo's scripted play in the browser build gives the native frames.

Usage: web_play.py LUNASHOT WORKDIR. Runs the demo headless with
tests/games/demo_play/play.txt natively (--frame-hashes), builds the page
with ./make.sh web, plays it in headless Chromium in the page's test mode and
compares every frame's hash. Also checks that the native hashes are the md5
of the recorded PNG frames' RGB bytes (the first and the last frame), and
runs the sound_wav test game in the page: its channel checks hold the native
mixer's answers.
Exit status: 0 same frames, 1 a fault, 77 no browser could be run here.
"""
import functools
import hashlib
import html
import http.server
import pathlib
import re
import shutil
import struct
import subprocess
import sys
import threading
import zlib

ROOT = pathlib.Path(__file__).resolve().parents[2]
PLAY = ROOT / "tests/games/demo_play/play.txt"
FRAMES = "6000"


def png_rgb_md5(path):
    """md5 of an 8-bit RGB PNG's pixels, decoded here (no imaging module)."""
    data = path.read_bytes()
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        size, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + size]
        pos += 12 + size
        if kind == b"IHDR":
            width, height = struct.unpack(">II", body[:8])
        elif kind == b"IDAT":
            idat += body
    raw, stride = zlib.decompress(idat), width * 3
    out, prev = bytearray(), bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - 3] if x >= 3 else 0
            b, c = prev[x], (prev[x - 3] if x >= 3 else 0)
            if kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                a = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
            line[x] = (line[x] + {0: 0, 1: a, 2: b, 3: (a + b) // 2, 4: a}[kind]) & 255
        out += line
        prev = line
    return hashlib.md5(out).hexdigest()


def game_copy(dest):
    shutil.copytree(ROOT / "games/demo", dest)
    for f in (dest / "replay").glob("*"):
        f.unlink()
    (dest / "script/log.txt").unlink(missing_ok=True)
    shutil.copy(PLAY, dest / "play.txt")


def run_browser(page_dir, work, query):
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    handler = functools.partial(Quiet, directory=str(page_dir))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_address[1]}/index.html?{query}"
    profile = work / "chromium-profile"
    shutil.rmtree(profile, ignore_errors=True)
    # Virtual time runs the page's timers without waiting; the DOM is dumped
    # once nothing is left to run (the game has ended) or the budget is spent.
    cmd = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
           "--no-first-run", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", f"--user-data-dir={profile}", "--virtual-time-budget=36000000",
           "--dump-dom", url]
    try:
        done = subprocess.run(cmd, capture_output=True, text=True, timeout=420)
    except subprocess.TimeoutExpired:
        return None, "chromium did not finish in 7 minutes"
    finally:
        server.shutdown()
    if done.returncode != 0 or "<html" not in done.stdout:
        return None, f"chromium failed (status {done.returncode}): {done.stderr[-2000:]}"
    return done.stdout, ""


def pre(dom, name):
    m = re.search(rf'<pre id="{name}"[^>]*>(.*?)</pre>', dom, re.S)
    return html.unescape(m.group(1)) if m else ""


def main():
    lunashot, work = pathlib.Path(sys.argv[1]).resolve(), pathlib.Path(sys.argv[2]).resolve()
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    game_copy(work / "native-game")
    game_copy(work / "web-game")

    subprocess.run([str(lunashot), "--headless", "--input", "play.txt", "--max-frames", FRAMES,
                    "--frame-hashes", str(work / "native.txt"), "--record-frames",
                    str(work / "frames"), str(work / "native-game")],
                   check=True, stdout=subprocess.DEVNULL, cwd=work / "native-game")
    native = (work / "native.txt").read_text().splitlines()
    last = len(native)
    for number in (1, last):
        want = png_rgb_md5(work / "frames" / f"{number:06d}.png")
        if native[number - 1] != f"{number:06d} {want}":
            print(f"FAIL: native --frame-hashes line {native[number - 1]!r}, PNG gives {want}")
            return 1

    sound = work / "sound-game"
    shutil.copytree(ROOT / "tests/games/sound_wav", sound)
    for lib in (ROOT / "tests/games/lib").glob("*.lua"):
        shutil.copy(lib, sound / "script")
    (sound / "sprite").mkdir()
    (sound / "sound").mkdir()
    shutil.copy(ROOT / "games/demo/sprite/pal.pal", sound / "sprite")

    pages = {}
    for game, query in (("web-game", f"headless=1&max-frames={FRAMES}&input=play.txt&hashes=1"),
                        ("sound-game", "headless=1")):
        subprocess.run([str(ROOT / "make.sh"), "web", str(work / game), str(work / (game + "-page"))],
                       check=True, cwd=ROOT, stdout=subprocess.DEVNULL)
        dom, why = run_browser(work / (game + "-page"), work, query)
        if dom is None:
            dom, why = run_browser(work / (game + "-page"), work, query)  # a bad start, once
        if dom is None:
            print(f"SKIP: {why}")
            return 77
        title = re.search(r"<title>(.*?)</title>", dom).group(1)
        if title != "lunashot: done":
            print(f"FAIL: {game}: page title {title!r}; error: {pre(dom, 'error')}")
            return 1
        pages[game] = dom
    if "sound ok" not in pre(pages["sound-game"], "output").splitlines():
        print(f"FAIL: sound_wav in the page printed {pre(pages['sound-game'], 'output')!r}")
        return 1
    web = pre(pages["web-game"], "frame-hashes").splitlines()
    for i, (a, b) in enumerate(zip(native, web)):
        if a != b:
            print(f"FAIL: frame {i + 1} differs: native {a}, browser {b}")
            return 1
    if len(web) != len(native):
        print(f"FAIL: {len(web)} frames in the browser, {len(native)} natively")
        return 1
    print(f"browser and native runs: the same {len(web)} frames")
    return 0


if __name__ == "__main__":
    sys.exit(main())
