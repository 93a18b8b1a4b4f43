#!/usr/bin/env python3
"""Games in the browser build give the native frames and output.

Usage: web_play.py [--native-only] LUNASHOT WORKDIR. Each game of CASES runs
natively (--frame-hashes, checked against the recorded PNGs' pixels), then as
a page in headless Chromium; frame hashes and output must match. --native-only
stops after the native runs of the test games. Exit: 0, 1 a fault, 77 no browser.
"""
import functools
import hashlib
import html
import http.server
import os
import pathlib
import re
import shutil
import subprocess
import sys
import threading


ROOT = pathlib.Path(__file__).resolve().parents[2]
PLAY = ROOT / "tests/games/demo_play/play.txt"
FRAMES = "6000"
sys.dont_write_bytecode = True  # the shared reader leaves no cache in the source tree
sys.path.insert(0, str(ROOT / "tests/lib"))
from png_pixels import png_pixels  # noqa: E402


# (name, source folder, lunashot options, whether the output must match too:
# the demo's names its folder). demo_watch watches the native demo's replay.
CASES = [
    ("demo", "games/demo", ["--input", "play.txt", "--max-frames", FRAMES], False),
    ("demo_watch", "games/demo", ["--input", "watch.txt", "--max-frames", FRAMES], False),
    ("sound_wav", "tests/games/sound_wav", [], True),
    ("video_golden", "tests/games/video_golden", ["--max-frames", "8"], True),
    ("object_world", "tests/games/object_world", [], True),
    ("object_hit_order", "tests/games/object_hit_order", [], True),
    ("event_update", "tests/games/event_update", [], True),
    ("engine_numbers", "tests/games/engine_numbers", [], True),
    ("robust_hostile", "tests/games/robust_hostile", [], True),
]


def game_copy(src, dest):
    """The game as run_game.sh prepares it, with the demo's inputs and replays."""
    shutil.copytree(ROOT / src, dest)
    for sub in ("sprite", "script", "sound", "replay"):
        (dest / sub).mkdir(exist_ok=True)
    for f in (dest / "replay").glob("*"):
        f.unlink()
    (dest / "script/log.txt").unlink(missing_ok=True)
    for lib in (ROOT / "tests/games/lib").glob("*.lua"):
        shutil.copy(lib, dest / "script")
    if not (dest / "sprite/pal.pal").exists():
        shutil.copy(ROOT / "games/demo/sprite/pal.pal", dest / "sprite")
    shutil.copy(PLAY, dest / "play.txt")
    shutil.copy(ROOT / "tests/games/demo_replay/watch.txt", dest / "watch.txt")
    for replay in (dest.parent / "demo-native/replay").glob("*.lua"):
        shutil.copy(replay, dest / "replay")


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
    # Virtual time runs the page's timers without waiting; the DOM is dumped when the game ends.
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


def play_case(lunashot, work, native_only, name, src, args, same_output):
    """None when the page matches the native run, else the fault; 77 skips."""
    native_game, web_game = work / f"{name}-native", work / f"{name}-web"
    game_copy(src, native_game)
    game_copy(src, web_game)
    hashes = work / f"{name}-native.txt"
    native = subprocess.run([str(lunashot), "--headless", *args, "--frame-hashes", str(hashes),
                             "--record-frames", str(work / f"{name}-frames"), str(native_game)],
                            capture_output=True, text=True, cwd=native_game)
    if native.returncode != 0:
        return f"native run failed ({native.returncode}): {native.stderr}"
    native_hashes = hashes.read_text().splitlines()
    for number in sorted({1, len(native_hashes)}) if native_hashes else []:
        md5 = hashlib.md5(png_pixels(work / f"{name}-frames" / f"{number:06d}.png")[2]).hexdigest()
        want = f"{number:06d} {md5}"
        if native_hashes[number - 1] != want:
            return f"native --frame-hashes line {native_hashes[number - 1]!r}, the PNG gives {want!r}"
    if native_only:
        return None

    page = work / f"{name}-page"
    subprocess.run([str(ROOT / "make.sh"), "web", str(web_game), str(page)], check=True, cwd=ROOT,
                   stdout=subprocess.DEVNULL)
    query = "&".join(["headless=1", "hashes=1"] + [f"{o[2:]}={v}" for o, v in zip(args[::2], args[1::2])])
    dom, why = run_browser(page, work, query)
    if dom is None:
        dom, why = run_browser(page, work, query)  # a browser's bad start, once
    if dom is None:
        return 77, why
    title = re.search(r"<title>(.*?)</title>", dom).group(1)
    if title != "lunashot: done":
        return f"page title {title!r}; error: {pre(dom, 'error')}"
    web_hashes = pre(dom, "frame-hashes").splitlines()
    for a, b in zip(native_hashes, web_hashes):
        if a != b:
            return f"frames differ: native {a}, browser {b}"
    if len(web_hashes) != len(native_hashes):
        return f"{len(web_hashes)} frames in the browser, {len(native_hashes)} natively"
    web_output = pre(dom, "output").splitlines()
    if same_output and web_output != native.stdout.splitlines():
        return f"output differs: native {native.stdout!r}, browser {web_output!r}"
    print(f"{name}: the same {len(web_hashes)} frames" + (" and output" if same_output else ""))
    return None


def main():
    native_only = sys.argv[1] == "--native-only"
    args = sys.argv[2:] if native_only else sys.argv[1:]
    lunashot, work = pathlib.Path(args[0]).resolve(), pathlib.Path(args[1]).resolve()
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    failed = 0
    for case in CASES[2:] if native_only else CASES:
        fault = play_case(lunashot, work, native_only, *case)
        if isinstance(fault, tuple):
            print(f"SKIP: {fault[1]}")
            return 77
        if fault:
            print(f"FAIL: {case[0]}: {fault}")
            failed = 1
    return failed


if __name__ == "__main__":
    sys.exit(main())
