#!/usr/bin/env python3
# Pads and the picture of the desktop window, run under tests/xvfb_run.sh: virtual
# pads (LUNASHOT_TEST_PADS, test-only) pressing raw buttons give the handheld's
# buttons; the window at whole factors, windowed and fullscreen, pixel by pixel
# against a recorded frame. Every run has a deadline.
# usage: desktop_test.py LUNASHOT PALETTE WORKDIR
import os
import shutil
import struct
import subprocess
import sys
import time

lunashot, palette, work = sys.argv[1:4]
here = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(here, "..", "lib"))
from png_pixels import png_pixels  # noqa: E402

# Pads are read even while another window has the focus (no window manager here).
env = dict(os.environ, SDL_AUDIODRIVER="dummy", SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS="1")
failures = []

# What the pads do (kind, +plugged, -pulled, raw button@Update, hP@Update hat 0), gamepad.txt, and
# the buttons the game reads ("Update:buttons"). Raw numbers are those of the pads
# on Linux: Xbox 0 a, 1 b, 2 x, 3 y, 7 start; PlayStation 0 cross, 2 triangle,
# 3 square, 9 options.
PAD_ROWS = [
    ("an Xbox pad by place: south, west, north, start; east is no button",
     "xbox 0@5 2@8 3@11 7@14 1@17", None, "5:A 8:X 11:Y 14:Start"),
    ("a PlayStation pad by place: the same places at other numbers",
     "ps4 0@5 3@8 2@11 9@14 7@17", None, "5:A 8:X 11:Y 14:Start"),
    ("the d-pad (a hat on both) is the stick", "xbox h1@5 h8@8; ps4 h4@6", None, "5:U 8:L"),
    ("a pad plugged in after the start drives the game", "xbox +12 0@15 3@18", None, "15:A 18:Y"),
    ("the first pad drives; when it is pulled out, the next one does",
     "xbox 0@5 -10; ps4 0@7 3@15", None, "5:A 15:X"),
    ("gamepad.txt by pad button names and raw numbers replaces the table",
     "xbox 0@5 1@8 3@11 4@14", "b A\nleftshoulder X\n3 Start\n", "8:A 11:Start 14:X"),
    ("a pad of no known layout reads raw numbers 0, 1, 2, 7",
     "pad 4@5 0@8 1@11 2@14 7@17", None, "8:A 11:X 14:Y 17:Start"),
    ("gamepad.txt gives that pad a layout line",
     "pad 4@5 5@8 6@11 11@14 0@17",
     "# my pad\nff000000341200007856000000007600,My pad,a:b4,x:b5,y:b6,start:b11,\n",
     "5:A 8:X 11:Y 14:Start"),
    ("the handheld's own joystick by button index",
     "handheld 12@5 14@8 15@9 8@12 0@15 6@18", None, "5:A 8:X 9:Y 12:Start 15:U 18:R"),
]

# Options, keys sent once the picture is up, the window's size and the factor.
SCREEN_ROWS = [
    ("--scale 3", ["--scale", "3"], None, (960, 720), 3),
    ("--fullscreen: the largest factor that fits, black borders", ["--fullscreen"], None,
     (1024, 768), 3),
    ("--fullscreen --scale 2", ["--fullscreen", "--scale", "2"], None, (1024, 768), 2),
    ("Alt+Enter from a window", [], "alt+Return", (1024, 768), 3),
]


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)


def fresh_game(name, gamepad=None):
    game = os.path.join(work, name)
    shutil.rmtree(game, ignore_errors=True)
    shutil.copytree(os.path.join(here, "pads_game"), game)
    os.makedirs(os.path.join(game, "sprite"))
    shutil.copy(palette, os.path.join(game, "sprite", "pal.pal"))
    if gamepad is not None:
        open(os.path.join(game, "gamepad.txt"), "w").write(gamepad)
    return game


def window_rgb(wid):
    """The window's pixels as (width, height, RGB rows), read from xwd's dump."""
    dump = subprocess.run(["xwd", "-silent", "-id", wid], env=env, timeout=10,
                          capture_output=True, check=True).stdout
    h = struct.unpack(">25I", dump[:100])
    size, width, height, order, bpp, line = h[0], h[4], h[5], h[7], h[11], h[12]
    assert bpp == 32 and order == 0 and h[14:17] == (0xff0000, 0xff00, 0xff), h
    pixels = dump[size + h[19] * 12:]
    rows = []
    for y in range(height):
        row = pixels[y * line:y * line + width * 4]
        rgb = bytearray(width * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = row[2::4], row[1::4], row[0::4]
        rows.append(bytes(rgb))
    return width, height, rows


def expected_rows(frame, size, factor):
    """The frame at `factor`, centred in `size` on black."""
    width, height = size
    left, top = (width - 320 * factor) // 2, (height - 240 * factor) // 2
    black = b"\0\0\0"
    rows = [black * width] * top
    for y in range(240):
        line = b"".join(frame[(y * 320 + x) * 3:(y * 320 + x) * 3 + 3] * factor for x in range(320))
        rows += [black * left + line + black * (width - left - 320 * factor)] * factor
    return rows + [black * width] * (height - len(rows))


try:
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    for what, pads, gamepad, want in PAD_ROWS:
        game = fresh_game("pads", gamepad)
        run = subprocess.run([lunashot, "--scale", "1", "--max-frames", "20", game], timeout=60,
                             env=dict(env, LUNASHOT_TEST_PADS=pads), capture_output=True, text=True)
        got = " ".join(l.split()[0] + ":" + "".join(l.split()[1:])
                       for l in run.stdout.splitlines() if l[:1].isdigit())
        check(run.returncode == 0 and got == want and "LUNASHOT_TEST_PADS" not in run.stderr,
              "%s (%s%s)" % (what, got, run.stderr.strip() and "; " + run.stderr.strip()))

    # A window manager does what fullscreen asks of the desktop.
    wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    for what, options, keys, size, factor in SCREEN_ROWS:
        game = fresh_game("screen")
        frames = os.path.join(work, "frames")
        shutil.rmtree(frames, ignore_errors=True)
        p = subprocess.Popen([lunashot, *options, "--record-frames", frames, game], env=env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            wid = None
            for _ in range(100):
                found = subprocess.run(["xdotool", "search", "--name", "^screen"], env=env,
                                       capture_output=True, text=True, timeout=10).stdout.split()
                if found and os.path.exists(os.path.join(frames, "000010.png")):
                    wid = found[0]
                    break
                time.sleep(0.1)
            if keys and wid:
                subprocess.run(["xdotool", "windowfocus", "--sync", wid, "key", keys], env=env,
                               timeout=10)
            time.sleep(1)  # the window settles (a window manager's fullscreen takes a moment)
            shot = window_rgb(wid) if wid else (0, 0, [])
            frame = png_pixels(os.path.join(frames, "000010.png"))[2]
            check(shot[:2] == size and shot[2] == expected_rows(frame, size, factor),
                  "%s: %dx%d, each pixel %dx%d, centred on black (window %dx%d)" %
                  (what, size[0], size[1], factor, factor, shot[0], shot[1]))
        finally:
            p.kill()
            p.wait()
    wm.kill()
    wm.wait()
except subprocess.TimeoutExpired as e:
    check(False, "a run ends in time (%s)" % e)

print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
