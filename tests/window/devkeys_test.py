#!/usr/bin/env python3
# The developer keys in a real window (run under tests/xvfb_run.sh, keys sent by
# xdotool), checked against the recorded frames; every wait has a deadline.
# usage: devkeys_test.py LUNASHOT PALETTE WORKDIR
import ctypes
import glob
import os
import shutil
import struct
import subprocess
import sys
import time

lunashot, palette, work = sys.argv[1:4]
here = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # the shared reader leaves no cache in the source tree
sys.path.insert(0, os.path.join(here, "..", "lib"))
from png_pixels import png_pixels  # noqa: E402

env = dict(os.environ, SDL_AUDIODRIVER="dummy")  # the display is xvfb_run.sh's
procs, failures = [], []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)


def wait_for(predicate, seconds=20.0):
    end = time.time() + seconds
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    return predicate()


def gif_frames(path):
    """Each frame of the GIF as RGB bytes, read through giflib's own dump (gifbuild -d)."""
    dump = subprocess.run(["gifbuild", "-d", path], capture_output=True, text=True, timeout=60,
                          check=True).stdout.splitlines()
    frames, maps = [], {}
    for n, line in enumerate(dump):
        if line in ("screen map", "image map"):
            maps[line] = colours = []
        elif line.startswith("\trgb "):
            colours.append(bytes(int(v) for v in line.split()[1:]))
        elif line.startswith("image # "):
            maps.pop("image map", None)
        elif line.startswith("image bits "):  # then one line of hex indices a row
            table = maps.get("image map", maps["screen map"])
            indices = bytes.fromhex("".join(dump[n + 1:n + 1 + int(line.split()[4])]))
            frames.append(b"".join(table[i] for i in indices))
    return frames


def output():
    return open(os.path.join(work, "stdout.txt")).read().splitlines()


def last_frame():
    frames = [int(l.split()[1]) for l in output() if l.startswith("frame ")]
    return frames[-1] if frames else 0


def key(*keys):
    subprocess.run(["xdotool"] + list(keys), env=env, timeout=10, check=True)


def escape_quits(p, what):
    key("key", "Escape")
    ends(p, what)


def close_window(wid):
    """Asks the window to close as a window manager's close button does (WM_DELETE_WINDOW)."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                             ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                    ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                    ("data", ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

    display = x.XOpenDisplay(None)
    event = Event()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = int(wid)
    event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x.XSendEvent(display, int(wid), 0, 0, ctypes.byref(event))
    x.XCloseDisplay(display)  # sends it


def ends(p, what):
    try:
        status = p.wait(20)
    except subprocess.TimeoutExpired:
        status = None
    check(status == 0, "%s (status %s)" % (what, status))


def window_pixels(wid):
    dump = subprocess.run(["xwd", "-silent", "-id", wid], env=env, timeout=10,
                          capture_output=True, check=True).stdout
    return dump[struct.unpack(">I", dump[:4])[0]:]


def start_game(game, *args):
    out = open(os.path.join(work, "stdout.txt"), "w")
    p = subprocess.Popen([lunashot, "--scale", "2", *args, game], env=env, stdout=out,
                         stderr=subprocess.STDOUT)
    procs.append(p)
    wid = wait_for(lambda: subprocess.run(
        ["xdotool", "search", "--name", "^" + os.path.basename(game)], env=env,
        capture_output=True, text=True, timeout=10).stdout.split())
    check(bool(wid), "a window titled with the game folder's name appears")
    if not wid:
        raise SystemExit(1)
    key("windowfocus", "--sync", wid[0])
    return p, wid[0]


try:
    shutil.rmtree(work, ignore_errors=True)
    game = os.path.join(work, "devkeys_game")
    shutil.copytree(os.path.join(here, "game"), game)
    os.makedirs(os.path.join(game, "sprite"))
    shutil.copy(palette, os.path.join(game, "sprite", "pal.pal"))
    frames_dir = os.path.join(work, "frames")

    p, wid = start_game(game, "--record-frames", frames_dir)
    check(wait_for(lambda: last_frame() >= 30), "the game runs")
    if failures:
        print("\n".join(output()[-20:]))
        raise SystemExit(1)

    # Taps far shorter than a frame still reach the game, each for one poll.
    def presses():
        frames = [int(l.split()[1]) for l in output() if l.endswith(" A")]
        return frames, [f for f in frames if f - 1 not in frames]
    for tap in range(5):
        count = len(presses()[1])
        key("keydown", "--delay", "0", "z", "sleep", "0.001", "keyup", "--delay", "0", "z")
        wait_for(lambda: len(presses()[1]) > count, 10)
        wait_for(lambda: presses()[0][-1] < last_frame() - 2, 10)
    frames, runs = presses()
    check(len(runs) == 5 and len(frames) <= 10, "5 taps of Z of 1 ms are 5 A presses (%s)" % frames)
    # A held key is down at every frame while it is held (its repeats change nothing).
    key("keydown", "z", "sleep", "0.5", "keyup", "z")
    wait_for(lambda: presses()[0][-1] < last_frame() - 2, 10)
    held = len(presses()[0]) - len(frames)
    check(len(presses()[1]) == 6 and held >= 20,
          "Z held for 0.5 s is one press of %d frames" % held)

    # F12: the screenshot is the frame the recording has at that moment.
    key("key", "F12")
    wait_for(lambda: len(glob.glob(os.path.join(game, "screenshots", "*.png"))) == 2)
    shots = sorted(glob.glob(os.path.join(game, "screenshots", "*.png")), key=len)
    check(len(shots) == 2, "F12 writes two PNGs in screenshots/ (%s)" % shots)
    if len(shots) == 2:
        time.sleep(0.3)  # the recording passes that moment
        sw, sh, shot = png_pixels(shots[0])
        bw, bh, big = png_pixels(shots[1])
        check((sw, sh, bw, bh) == (320, 240, 640, 480), "screen size and window size")
        check(big[:6] == shot[:3] * 2, "the large copy is the screen scaled")
        same = [f for f in sorted(glob.glob(frames_dir + "/*.png"))
                if png_pixels(f)[2][:3] == shot[:3]]
        check(len(same) == 1 and png_pixels(same[0])[2] == shot,
              "the screenshot is identical to one recorded frame")

    # F9 twice: a GIF of exactly the frames recorded in between.
    key("key", "F9")
    start = last_frame()
    wait_for(lambda: last_frame() >= start + 15)
    key("key", "F9")
    gifs = wait_for(lambda: glob.glob(os.path.join(game, "screenshots", "*.gif")))
    check(len(gifs) == 1, "F9 twice writes one GIF beside the screenshots")
    if gifs:
        frames = gif_frames(gifs[0])
        recorded = {png_pixels(f)[2][:3]: f for f in sorted(glob.glob(frames_dir + "/*.png"))}
        names = [recorded.get(f[:3]) for f in frames]
        numbers = [int(os.path.basename(n)[:6]) for n in names if n]
        check(len(frames) >= 10 and len(numbers) == len(frames) and
              numbers == list(range(numbers[0], numbers[0] + len(numbers))),
              "the GIF's %d frames are consecutive recorded frames" % len(frames))
        check(all(f == png_pixels(n)[2] for f, n in [(frames[0], names[0]), (frames[-1], names[-1])]
                  if n), "first and last GIF frames equal the recorded ones")

    # F6 pauses: no frame passes; each F7 runs exactly one.
    key("key", "F6")
    time.sleep(0.5)
    paused_at = last_frame()
    time.sleep(0.5)
    check(last_frame() == paused_at, "F6 pauses the game")
    window_before = window_pixels(wid)
    key("key", "F3")
    time.sleep(0.3)
    check(window_pixels(wid) != window_before, "F3 draws the overlay in the window")
    for step in (1, 2, 3):
        key("key", "F7")
        wait_for(lambda: last_frame() == paused_at + step, 5)
        time.sleep(0.3)
        check(last_frame() == paused_at + step, "F7 steps exactly one frame (%d)" % step)
    shown = png_pixels(sorted(glob.glob(frames_dir + "/*.png"))[-1])[2]
    check(shown == shown[:3] * (320 * 240), "the overlay is not in the recorded frames")
    key("key", "F3", "key", "F3", "key", "F6")
    check(wait_for(lambda: last_frame() > paused_at + 10), "F6 again resumes")

    # F5: start.lua again, in a fresh state.
    key("key", "F5")
    starts = wait_for(lambda: [l for l in output() if l.startswith("start ")] [1:] and
                      [l for l in output() if l.startswith("start ")])
    check(starts == ["start fresh=true"] * 2, "F5 runs start.lua again, fresh (%s)" % starts)

    # F5 on the error screen: the fixed script runs.
    start_lua = os.path.join(game, "script", "start.lua")
    good = open(start_lua).read()
    open(start_lua, "w").write('error("broken on purpose")\n')
    key("key", "F5")
    check(wait_for(lambda: any("broken on purpose" in l for l in output())),
          "F5 runs the edited start.lua")
    open(start_lua, "w").write(good)
    key("key", "F5")
    check(wait_for(lambda: sum(l.startswith("start ") for l in output()) == 3),
          "F5 on the error screen runs start.lua again")

    # screenshots/ as a link out of the game folder: nothing is written there.
    outside = os.path.join(work, "outside")
    os.makedirs(outside)
    os.rename(os.path.join(game, "screenshots"), os.path.join(work, "taken"))
    os.symlink(outside, os.path.join(game, "screenshots"))
    key("key", "F12")
    check(wait_for(lambda: any("screenshot not saved" in l for l in output())) and
          not os.listdir(outside), "F12 never writes through a link out of the game folder")

    # Escape ends the program as closing the window does.
    escape_quits(p, "Escape quits")

    # So does it a script that loops without ever reaching a frame.
    open(os.path.join(game, "busy"), "w").close()
    p, wid = start_game(game)
    check(wait_for(lambda: "busy" in output()), "the looping game starts")
    key("key", "F5")
    check(wait_for(lambda: output().count("busy") == 2), "F5 ends a loop that reaches no frame")
    escape_quits(p, "Escape ends a loop that reaches no frame")
    os.remove(os.path.join(game, "busy"))

    # And one stuck inside a single library call, by Escape or by a close.
    open(os.path.join(game, "stuck"), "w").close()
    p, wid = start_game(game)
    check(wait_for(lambda: "stuck" in output()), "the stuck game starts")
    escape_quits(p, "Escape ends a pattern match that would take hours")
    p, wid = start_game(game)
    check(wait_for(lambda: "stuck" in output()), "the stuck game starts again")
    close_window(wid)
    ends(p, "closing the window ends a pattern match that would take hours")
    os.remove(os.path.join(game, "stuck"))

    # Mistakes the scripts never hear of: one notice per kind and place, on
    # stderr and in log.txt, however often they are made; headless only when asked.
    open(os.path.join(game, "mistakes"), "w").close()
    log = os.path.join(game, "script", "log.txt")
    if os.path.exists(log):
        os.remove(log)
    p, wid = start_game(game)
    wait_for(lambda: last_frame() >= 30)
    notices = [l for l in output() if "notice:" in l]
    check(len(notices) == 4 and len(set(notices)) == 4 and
          sum(":31: PlaySound: the sound is nil" in l for l in notices) == 1 and
          sum(":32: Instance.vel: a speed of 6" in l for l in notices) == 1 and
          sum(":26: AddLayer0: a speed of 6" in l for l in notices) == 1 and
          sum("sprite 0 draws nothing" in l for l in notices) == 1,
          "a window tells each mistake once (%s)" % notices)
    check(open(log).read().count("notice: ") == 4, "the notices are in log.txt")
    escape_quits(p, "the game with mistakes quits")
    for flag, count in (([], 0), (["--notices"], 4)):
        run = subprocess.run([lunashot, "--headless", "--max-frames", "20", *flag, game],
                             capture_output=True, text=True, timeout=60)
        check(run.returncode == 0 and run.stderr.count("notice: ") == count,
              "headless %s: %d notices (%r)" % (flag, count, run.stderr))
    os.remove(os.path.join(game, "mistakes"))

    # --gif in a headless run: the frames --record-frames writes, each pixel 2 x 2.
    head_frames, head_gif = os.path.join(work, "head_frames"), os.path.join(work, "head.gif")
    subprocess.run([lunashot, "--headless", "--max-frames", "12", "--record-frames", head_frames,
                    "--gif", head_gif, "--gif-scale", "2", game], timeout=60, capture_output=True)
    doubled = []
    for f in sorted(glob.glob(head_frames + "/*.png")):
        rgb = png_pixels(f)[2]
        rows = [b"".join(rgb[i:i + 3] * 2 for i in range(y, y + 960, 3)) for y in range(0, len(rgb), 960)]
        doubled.append(b"".join(row * 2 for row in rows))
    check(os.path.exists(head_gif) and len(doubled) == 12 and gif_frames(head_gif) == doubled,
          "--gif --gif-scale 2 holds the frames --record-frames writes, doubled")

    # F5 runs the art build first: an edited picture is in the next screenshot;
    # a broken line stays on the error screen; with --watch a save is enough.
    starter = os.path.join(work, "starter")
    subprocess.run([lunashot, "new", starter], timeout=60, capture_output=True, check=True)
    art = lambda name: os.path.join(starter, "art", name)

    def ship_colours():
        """The colours of the ship's square (the starter puts it at 153..167, 193..207)."""
        before = set(glob.glob(os.path.join(starter, "screenshots", "*[0-9].png")))
        key("key", "F12")
        shot = wait_for(lambda: set(glob.glob(os.path.join(starter, "screenshots", "*[0-9].png"))) - before)
        w, _, rgb = png_pixels(shot.pop())
        return {rgb[3 * (y * w + x):3 * (y * w + x) + 3] for y in range(193, 208) for x in range(153, 168)}

    def picture_colours(path):
        w, h, rgb = png_pixels(path)
        return {rgb[i:i + 3] for i in range(0, len(rgb), 3)}

    p, wid = start_game(starter)
    shown = wait_for(lambda: ship_colours() - {bytes(3)} and ship_colours())  # faded in
    shutil.copy(art("enemy.png"), art("ship.png"))
    key("key", "F5")
    check(wait_for(lambda: "lunashot: rebuilt sprite/ship.spr" in output()) and
          wait_for(lambda: output().count("starter: running; Return quits") == 2),
          "F5 rebuilds the edited set, then reloads (%s)" % output()[-3:])
    # Until the fade-in ends a shot holds colours of neither picture.
    enemy = picture_colours(art("enemy.png"))
    now = wait_for(lambda: (lambda c: c - {bytes(3)} and c - {bytes(3)} <= enemy and c)(ship_colours()))
    check(now and now != shown, "the next screenshot shows the new art")
    open(art("build.txt"), "a").write("sprites art/gone.png sprite/gone.spr --cell 8x8\n")
    key("key", "F5")
    title = wait_for(lambda: "line 8 failed" in subprocess.run(
        ["xdotool", "getwindowname", wid], env=env, capture_output=True, text=True, timeout=10).stdout)
    time.sleep(0.5)
    dump = window_pixels(wid)[-640 * 480 * 4:]  # after xwd's colour map
    colours = set(dump[i:i + 4] for i in range(0, len(dump), 4))
    check(title and len(colours) == 3,
          "a broken line: the title names it, the error screen shows (%d colours)" % len(colours))
    escape_quits(p, "Escape leaves the art build's error screen")
    fixed = open(art("build.txt")).read().replace("sprites art/gone", "#")
    open(art("build.txt"), "w").write(fixed)
    p, wid = start_game(starter, "--watch")
    time.sleep(1)
    shutil.copy(art("spark.png"), art("ship.png"))
    check(wait_for(lambda: output().count("starter: running; Return quits") == 2),
          "--watch: a saved source rebuilds and reloads")
    escape_quits(p, "the watched game quits")

    # A game that cannot start shows why in its window.
    os.remove(os.path.join(game, "sprite", "pal.pal"))
    p, wid = start_game(game)
    title = subprocess.run(["xdotool", "getwindowname", wid], env=env, capture_output=True,
                           text=True, timeout=10).stdout
    check("cannot start" in title, "a start-up failure opens a window (%s)" % title.strip())
    escape_quits(p, "Escape leaves the error screen")
finally:
    for proc in procs:
        if proc.poll() is None:
            proc.kill()
            proc.wait()

print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
