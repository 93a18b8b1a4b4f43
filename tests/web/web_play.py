#!/usr/bin/env python3
"""Games in the browser build give the native frames and output.

Usage: web_play.py [--native-only] LUNASHOT WORKDIR. Each game of CASES runs
natively (--frame-hashes, checked against the recorded PNGs' pixels, and
--audio), then as a page in headless Chromium; frame hashes, the md5 of the
mixed sound (the page's audio-hash) and output must match. Then the demo page
saves a replay, is reloaded and must watch it frame for frame as the native
engine does, and a player's page shows an uncaught error on the canvas until
a key. A player's page (from the zip make.sh writes) pauses while hidden, maps
a standard gamepad, keeps its sound queue short after a stall, stores a saved
replay before the next frame and nothing while idle, says when storage is
full, ends a script stuck without Update for Play again, says plainly that
game.data is missing, and takes touches on an emulated phone. --native-only
stops after the native runs of the test games. Exit: 0, 1 a fault, 77 no
browser.
"""
import contextlib
import functools
import hashlib
import http.server
import json
import os
import pathlib
import select
import shutil
import subprocess
import sys
import threading
import time
import zipfile


ROOT = pathlib.Path(__file__).resolve().parents[2]
PLAY = ROOT / "tests/games/demo_play/play.txt"
FRAMES = "6000"
LIMIT = ["timeout", "-s", "KILL", "600"]  # a native run, with all it started (Xvfb too)
sys.dont_write_bytecode = True  # the shared reader leaves no cache in the source tree
sys.path.insert(0, str(ROOT / "tests/lib"))
from png_pixels import png_pixels  # noqa: E402


# (name, source folder, lunashot options, whether the output must match too:
# the demo's names its folder). demo_watch watches the native demo's replay.
CASES = [
    ("demo", "games/demo", ["--input", "input/play.txt", "--max-frames", FRAMES], False),
    ("demo_watch", "games/demo", ["--input", "input/watch.txt", "--max-frames", FRAMES], False),
    ("sound_wav", "tests/games/sound_wav", [], True),
    ("video_golden", "tests/games/video_golden", ["--max-frames", "8"], True),
    ("object_world", "tests/games/object_world", [], True),
    ("object_hit_order", "tests/games/object_hit_order", [], True),
    ("event_update", "tests/games/event_update", [], True),
    ("engine_numbers", "tests/games/engine_numbers", [], True),
    ("robust_hostile", "tests/games/robust_hostile", [], True),
    ("sound_channels", "tests/games/sound_channels", ["--max-frames", "600"], True),
]


def game_copy(src, dest, replays=True):
    """The game as run_game.sh prepares it (but with the demo's pal.pal), the demo's inputs (in input/,
    packaged only by --include) and replays."""
    shutil.copytree(ROOT / src, dest, ignore=lambda d, names: names if d.endswith("/replay") else
                    [n for n in names if n == "log.txt"])
    for sub in ("sprite", "script", "sound", "replay"):
        (dest / sub).mkdir(exist_ok=True)
    for lib in (ROOT / "tests/games/lib").glob("*.lua"):
        shutil.copy(lib, dest / "script")
    if not (dest / "sprite/pal.pal").exists():
        shutil.copy(ROOT / "games/demo/sprite/pal.pal", dest / "sprite")
    (dest / "input").mkdir()
    shutil.copy(PLAY, dest / "input/play.txt")
    shutil.copy(ROOT / "tests/games/demo_replay/watch.txt", dest / "input/watch.txt")
    for replay in (dest.parent / "demo-native/replay").glob("*.lua") if replays else []:
        shutil.copy(replay, dest / "replay")


CHROMIUM = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
            "--no-first-run", "--disable-background-networking", "--disable-component-update",
            "--disable-sync"]


@contextlib.contextmanager
def serving(folder):
    """The folder's address on a local web server while the block runs."""
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    handler = functools.partial(Quiet, directory=str(folder))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        yield f"http://127.0.0.1:{server.server_address[1]}"
    finally:
        server.shutdown()


class DevTools:
    """A Chromium on the real clock, driven through --remote-debugging-pipe (JSON
    messages ended by NUL on its fds 3 and 4): IndexedDB keeps what a page stores."""

    def __init__(self, profile):
        theirs_in, self.out = os.pipe()
        self.inp, theirs_out = os.pipe()

        def onto_3_and_4():  # by way of copies: either pipe may be on fd 3 or 4 already
            copies = os.dup(theirs_in), os.dup(theirs_out)
            os.dup2(copies[0], 3)
            os.dup2(copies[1], 4)

        self.proc = subprocess.Popen(
            CHROMIUM + ["--remote-debugging-pipe", f"--user-data-dir={profile}", "about:blank"],
            preexec_fn=onto_3_and_4, close_fds=False, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(theirs_in)
        os.close(theirs_out)
        self.buf, self.last, self.session = b"", 0, None
        target = self.call("Target.createTarget", url="about:blank")["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]

    def call(self, method, **params):
        self.last += 1
        message = {"id": self.last, "method": method, "params": params}
        if self.session:
            message["sessionId"] = self.session
        os.write(self.out, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.buf:
                if not select.select([self.inp], [], [], 60)[0]:
                    raise RuntimeError(f"{method}: no answer from chromium in 60 s")
                chunk = os.read(self.inp, 1 << 16)
                if not chunk:
                    raise RuntimeError(f"{method}: chromium closed its pipe")
                self.buf += chunk
            text, self.buf = self.buf.split(b"\0", 1)
            reply = json.loads(text)
            if reply.get("id") == self.last:  # events and others' answers pass by
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply["result"]

    def eval(self, expression):
        return self.call("Runtime.evaluate", expression=expression, returnByValue=True)["result"].get("value")

    def wait(self, expression, seconds=420):
        """The value of the page's expression once it is true; None after `seconds`."""
        for _ in range(seconds * 5):
            got = self.eval(expression)
            if got:
                return got
            time.sleep(0.2)
        return None

    def play(self, url):
        """Loads the page and waits for its run's end: the fault (None for "lunashot: done"),
        the lines of #frame-hashes and of #output, and #audio-hash."""
        self.call("Page.navigate", url=url)
        got = self.wait(f"location.href === {json.dumps(url)} && /^lunashot: (done|error)$/.test(document.title)"
                        " ? [document.title].concat(['error', 'frame-hashes', 'output', 'audio-hash'].map("
                        "id => document.getElementById(id).textContent)) : null")
        if not got:
            return "no end in 420 s", [], [], ""
        fault = None if got[0] == "lunashot: done" else f"page title {got[0]!r}; error: {got[1]}"
        return fault, got[2].splitlines(), got[3].splitlines(), got[4]

    def close(self):
        self.proc.kill()
        self.proc.wait()
        os.close(self.inp)
        os.close(self.out)


def play_case(lunashot, work, browser, base, name, src, args, same_output):
    """None when the page matches the native run (or without a browser, when the native
    --frame-hashes agree with the recorded frames), else the fault."""
    native_game, web_game = work / f"{name}-native", work / f"{name}-web"
    game_copy(src, native_game)
    game_copy(src, web_game)
    hashes, wav = work / f"{name}-native.txt", work / f"{name}-native.wav"
    native = subprocess.run([*LIMIT, str(lunashot), "--headless", *args, "--frame-hashes", str(hashes),
                             "--audio", str(wav), "--record-frames", str(work / f"{name}-frames"),
                             str(native_game)], capture_output=True, text=True, cwd=native_game)
    if native.returncode != 0:
        return f"native run failed ({native.returncode}): {native.stderr}"
    native_hashes = hashes.read_text().splitlines()
    for number in sorted({1, len(native_hashes)}) if native_hashes else []:
        md5 = hashlib.md5(png_pixels(work / f"{name}-frames" / f"{number:06d}.png")[2]).hexdigest()
        want = f"{number:06d} {md5}"
        if native_hashes[number - 1] != want:
            return f"native --frame-hashes line {native_hashes[number - 1]!r}, the PNG gives {want!r}"
    if not browser:
        return None

    query = "&".join(["headless=1", "hashes=1", "audio-hash=1"] +
                     [f"{o[2:]}={v}" for o, v in zip(args[::2], args[1::2])])
    fault, web_hashes, web_output, web_audio = browser.play(page(web_game, work / f"{name}-page", base) + query)
    fault = fault or same_frames(native_hashes, web_hashes)
    native_audio = hashlib.md5(wav.read_bytes()).hexdigest()
    if not fault and web_audio != native_audio:
        fault = f"sound differs: native --audio md5 {native_audio}, page audio-hash {web_audio!r}"
    if not fault and same_output and web_output != native.stdout.splitlines():
        fault = f"output differs: native {native.stdout!r}, browser {web_output!r}"
    if not fault:
        print(f"{name}: the same {len(web_hashes)} frames, sound (md5 {native_audio})" +
              (" and output" if same_output else ""))
    return fault


def page(game, folder, base):
    """Builds the game's page into `folder` (below the served one); its address, ready for a query."""
    subprocess.run([str(ROOT / "make.sh"), "web", "--include", "input", str(game), str(folder)], check=True,
                   cwd=ROOT, stdout=subprocess.DEVNULL)
    return f"{base}/{folder.name}/index.html?"


def same_frames(native_hashes, web_hashes):
    """None when the browser presented the native frames, else the fault."""
    for a, b in zip(native_hashes, web_hashes):
        if a != b:
            return f"frames differ: native {a}, browser {b}"
    if len(web_hashes) != len(native_hashes):
        return f"{len(web_hashes)} frames in the browser, {len(native_hashes)} natively"
    return None


def reload_case(work, browser, base):
    """The demo page saves its play's replay, is reloaded, and watches it as the native engine does."""
    game_copy("games/demo", work / "reload-web", replays=False)
    url = page(work / "reload-web", work / "reload-page", base) + f"headless=1&store=1&max-frames={FRAMES}"
    fault = browser.play(url + "&input=input/play.txt")[0]
    if fault:
        return "the play: " + fault
    # An entry the page never writes, planted in its store, must not replace the game's script.
    planted = browser.call("Runtime.evaluate", awaitPromise=True, returnByValue=True, expression="""
      new Promise(done => { const open = indexedDB.open(window.lunashotStoreName);
        open.onsuccess = () => { const t = open.result.transaction(['FILE_DATA'], 'readwrite');
          t.objectStore('FILE_DATA').put({timestamp: new Date(), mode: 33206,
            contents: new TextEncoder().encode('error("planted")')}, '/game/script/start.lua');
          t.oncomplete = () => done(true); t.onerror = () => done(false); };
        open.onerror = () => done(false); })""")["result"].get("value")
    if not planted:
        return "could not plant an entry in the page's store"
    fault, hashes, _, _ = browser.play(url + "&hashes=1&input=input/watch.txt")
    fault = fault or same_frames((work / "demo_watch-native.txt").read_text().splitlines(), hashes)
    if not fault:
        print("reload: the replay saved in the page plays the native frames after a reload")
    return fault


# True once the canvas shows the error screen: a red title above white text on black, nothing else.
ERROR_SCREEN = """(() => {
  const d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 320, 240).data;
  let red = 0, white = 0;
  for (let i = 0; i < d.length; i += 4) {
    const c = d[i] + ',' + d[i + 1] + ',' + d[i + 2], title = i < 13 * 320 * 4;
    if (c === '255,96,96' && title) red++;
    else if (c === '255,255,255' && !title) white++;
    else if (c !== '0,0,0') return false;
  }
  return red > 0 && white > 0;
})()"""


def error_case(work, browser, base):
    """An uncaught error in a player's page shows the error screen until a key is pressed;
    a start-up failure (no pal.pal) fails a test run, as it does a headless one."""
    game_copy("tests/games/event_update", work / "error-web")
    (work / "error-web/script/start.lua").write_text("Update() Present()\nlocal t = nil\nt.x = 1\n")
    # A link in a game folder from someone else is never published with the page.
    (work / "secret.txt").write_text("not-for-the-page-7f3a")
    (work / "error-web/sprite/notes.txt").symlink_to("../../secret.txt")
    (work / "error-web/script/notes.lua").symlink_to(work / "secret.txt")
    url = page(work / "error-web", work / "error-page", base)
    if b"not-for-the-page-7f3a" in (work / "error-page/game.data").read_bytes():
        return "a symbolic link's target was packed into game.data"
    browser.call("Page.navigate", url=url)
    if not browser.wait(ERROR_SCREEN, 60):
        return "no error screen on the canvas"
    for kind in ("keyDown", "keyUp"):
        browser.call("Input.dispatchKeyEvent", type=kind, code="KeyZ", key="z", windowsVirtualKeyCode=90)
        time.sleep(0.2)
    if not browser.wait("document.title === 'lunashot: done'", 60):
        return "the error screen did not end at a key"
    print("error: the page shows the error screen until a key")
    (work / "error-web/sprite/pal.pal").unlink()
    fault = browser.play(page(work / "error-web", work / "nopal-page", base) + "headless=1")[0]
    return None if fault and "pal.pal" in fault else f"a test run without pal.pal ended so: {fault}"


# A player's game: each frame prints "N KEY AXYS" (GetKey, then IsA, IsX, IsY, IsStart); X with Y
# saves a replay once and prints "saved" after the next frame.
PLAYER = """local n, saved = 0, false
while true do
  Update()
  n = n + 1
  if not saved and IsX() == 1 and IsY() == 1 then
    SaveReplay(1, 0) SaveReplayFile("saved", "a.lua", "b.lua", 0, 0) saved = true
  end
  Present()
  print(n .. " " .. GetKey() .. " " .. IsA() .. IsX() .. IsY() .. IsStart())
  if saved == true then print("saved") saved = 1 end
end
"""
# In every page of the player's tests: the game's last frame line as `last`, IndexedDB writes counted,
# a reload 50 ms after the first "saved", and a standard-layout gamepad `pad` the test presses.
HOOK = """window.last = ['0', '0', '0000']; window.lines = []; window.idbWrites = 0;
const log = console.log;
console.log = (...a) => { const t = a.join(' '); lines.push(t); if (/^\\d/.test(t)) last = t.split(' ');
  if (t === 'saved' && !sessionStorage.reloaded) { sessionStorage.reloaded = 1; setTimeout(() => location.reload(), 50); }
  return log.apply(console, a); };
for (const m of ['put', 'add', 'delete', 'clear']) { const f = IDBObjectStore.prototype[m];
  IDBObjectStore.prototype[m] = function (...a) { idbWrites++; return f.apply(this, a); }; }
window.pad = { id: 'stub', index: 0, connected: true, mapping: 'standard', timestamp: 0, axes: [0, 0, 0, 0],
  buttons: Array.from({length: 17}, () => ({pressed: false, value: 0})) };
navigator.getGamepads = () => [pad];"""
HIDINGS = [("Object.defineProperty(document, 'visibilityState', {value: '%s', configurable: true});"
            "document.dispatchEvent(new Event('visibilitychange'))" % state for state in ("hidden", "visible")),
           ("dispatchEvent(new Event('blur'))", "dispatchEvent(new Event('focus'))")]


def player_case(work, browser, base):
    """game.data holds only what the game reads and the zip holds the page; served from the zip, a
    player's page with 20 replays pauses while hidden, maps a standard gamepad, writes nothing to
    IndexedDB while idle for 30 s and has a saved replay stored before the next frame."""
    game, folder = work / "player-web", work / "player-page"
    # In every page from here on (the later cases' too).
    browser.call("Page.enable")
    browser.call("Page.addScriptToEvaluateOnNewDocument", source=HOOK)
    game_copy("tests/games/event_update", game)
    (game / "script/start.lua").write_text(PLAYER)
    for n in range(20):
        (game / f"replay/shipped{n:02d}.lua").write_text("rep(1,0)\n")
    for extra in ("art", "screenshots"):
        (game / extra).mkdir()
        (game / extra / "notes.txt").write_text("the-author-only-" + extra)
    url = page(game, folder, base).replace("player-page", "player-zip")
    packed = (folder / "game.js").read_text() + (folder / "game.data").read_bytes().decode("latin-1")
    if "the-author-only" in packed or "/game/art" in packed or "/game/screenshots" in packed:
        return "game.data holds art/ or screenshots/"
    with zipfile.ZipFile(work / "player-page.zip") as z:
        if sorted(z.namelist()) != sorted(f.name for f in folder.iterdir()) or any(
                z.read(name) != (folder / name).read_bytes() for name in z.namelist()):
            return "the zip does not hold the page's files"
        z.extractall(work / "player-zip")
    browser.call("Page.navigate", url=url)
    start = time.time()
    # (At least: the pages before on this address stored replays of their own.)
    if not browser.wait("+last[0] > 10 && document.querySelectorAll('#replays a').length >= 20", 60):
        return "the player's page plays no frames or does not list its 20 replays"
    for hide, show in HIDINGS:
        before = browser.eval(hide + "; +last[0]")
        time.sleep(0.5)
        stopped = browser.eval("+last[0]")
        time.sleep(1)
        if stopped > before + 1 or browser.eval("+last[0]") != stopped:
            return f"frames went on while hidden ({hide}): {before}, {stopped}, {browser.eval('+last[0]')}"
        browser.eval(show)
        if not browser.wait(f"+last[0] > {stopped + 5}", 30):
            return f"the game did not resume after {show}"
    for button, want in ((9, "0001"), (0, "1000"), (2, "0100"), (3, "0010")):
        browser.eval(f"pad.buttons[{button}].pressed = true")
        got = browser.wait(f"last[2] === '{want}'", 30)
        browser.eval(f"pad.buttons[{button}].pressed = false")
        if not got or not browser.wait("last[2] === '0000'", 30):
            return f"standard gamepad button {button} did not give AXYS {want}"
    # A click on the fullscreen button is a gesture that starts the sound; after a 500 ms stall of
    # the page the sound queued ahead of the audio clock is under 100 ms again within a second.
    spot = browser.eval("(r => ({x: r.x + r.width / 2, y: r.y + r.height / 2}))("
                        "document.getElementById('fullscreen').getBoundingClientRect())")
    for kind in ("mousePressed", "mouseReleased"):
        browser.call("Input.dispatchMouseEvent", type=kind, button="left", clickCount=1, **spot)
    browser.eval("document.fullscreenElement && document.exitFullscreen()")
    if not browser.wait("Module.lunashotAudioAhead() > 0", 30):
        return "a click on the fullscreen button did not start the sound"
    ahead = browser.call("Runtime.evaluate", awaitPromise=True, returnByValue=True, expression="""
      new Promise(done => { const t = performance.now(); while (performance.now() - t < 500) {}
        setTimeout(() => done(Module.lunashotAudioAhead()), 1000); })""")["result"]["value"]
    if ahead >= 0.1:
        return f"{ahead * 1000:.0f} ms of sound queued ahead 1 s after a 500 ms stall"
    time.sleep(max(0.0, 30 - (time.time() - start)))
    if browser.eval("idbWrites"):
        return f"an idle page wrote to IndexedDB {browser.eval('idbWrites')} times"
    for kind in ("keyDown", "keyUp"):
        for code, vk in (("KeyX", 88), ("KeyC", 67)):
            browser.call("Input.dispatchKeyEvent", type=kind, code=code, key=code[-1].lower(), windowsVirtualKeyCode=vk)
        time.sleep(0.2)
    if not browser.wait("performance.getEntriesByType('navigation')[0].type === 'reload' && +last[0] > 10 && "
                        "!lines.includes('saved') && document.getElementById('replays').textContent.includes('saved_b.lua')", 60):
        return "the replay saved 50 ms before a reload is not listed after it"
    print("player: game.data and zip, pause while hidden, standard gamepad, idle and saved replays stored")
    return None


def full_case(work, browser, base):
    """With the browser's storage full, the player sees so, and an uploaded replay that could not
    be stored is not listed."""
    full = browser.call("Page.addScriptToEvaluateOnNewDocument", source=(
        "IDBObjectStore.prototype.put = () => { throw new DOMException('full', 'QuotaExceededError'); };"))
    try:
        browser.call("Page.navigate", url=f"{base}/player-zip/index.html")
        if not browser.wait("+last[0] > 10", 60):
            return "the player's page plays no frames"
        (work / "upload.lua").write_text("rep(1,0)\n")
        upload = browser.call("DOM.querySelector", selector="#upload",
                              nodeId=browser.call("DOM.getDocument")["root"]["nodeId"])["nodeId"]
        browser.call("DOM.setFileInputFiles", files=[str(work / "upload.lua")], nodeId=upload)
        said = browser.wait("(t => t.includes('upload.lua') && t)(document.getElementById('notes').innerText)", 30)
        listed = browser.eval("document.getElementById('replays').textContent")
    finally:
        browser.call("Page.removeScriptToEvaluateOnNewDocument", identifier=full["identifier"])
    if not said or "full" not in said or "upload.lua" in listed:
        return f"with storage full the page says {said!r} and lists {listed!r}"
    print("full: storage full is said, and the upload not stored is not listed")
    return None


def stuck_case(work, browser, base):
    """A script stuck without a frame leaves the page alive, and Play again reloads it; a page
    without its game.data says so plainly, with a way to try again."""
    game = work / "stuck-web"
    game_copy("tests/games/event_update", game)
    (game / "script/start.lua").write_text('Update() Present() print("looping") while true do end\n')
    url = page(game, work / "stuck-page", base)
    try:
        browser.call("Page.navigate", url=url)
        started = browser.wait("lines.includes('looping')", 60)
        time.sleep(1)
        browser.eval("document.getElementById('restart').click()")
        reloaded = started and browser.wait("performance.getEntriesByType('navigation')[0].type === 'reload' && "
                                            "lines.includes('looping')", 60)
    except RuntimeError as e:
        return f"the page of a stuck script does not answer: {e}"
    if not started:
        return "the stuck game did not start"
    if not reloaded:
        return "Play again did not start the stuck game afresh"
    (work / "stuck-page/game.data").unlink()
    browser.call("Page.navigate", url=url)
    said = browser.wait("(o => !o.hidden && !document.getElementById('again').hidden && o.textContent)("
                        "document.getElementById('overlay'))", 60)
    if not said or "could not be loaded" not in said or "FS" in said + browser.eval("document.body.innerText"):
        return f"a page without game.data says {said!r}, {browser.eval('document.body.innerText')!r}"
    print("stuck: the page of a stuck script answers and plays again; a missing game.data is said plainly")
    return None


def touch_case(work, browser, base):
    """On an emulated phone, upright and sideways, the data-button controls are there, a touch on right
    and A at once reaches the game as both, and sideways the picture is wider than 320 CSS pixels
    (of the page unzoomed: a page wider than the phone is shown smaller); at 125% display scaling each
    game pixel is a whole number of device pixels."""
    browser.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
    names = ["up", "down", "left", "right", "a", "x", "y", "start", "up left", "up right", "down left", "down right"]
    for width, height in ((390, 844), (844, 390)):
        browser.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=3, mobile=True)
        if width < height:
            browser.call("Page.navigate", url=f"{base}/player-zip/index.html")
        browser.wait("+last[0] > 10", 60)
        time.sleep(1)  # the page's resize handler lays it out again
        spots = browser.wait("(() => { const c = {}; for (const n of %s) { const e = document.querySelector("
                             "`[data-button='${n}']`), r = e && e.getBoundingClientRect(); if (!r || !r.width) return null;"
                             " c[n] = {x: r.x + r.width / 2, y: r.y + r.height / 2}; } return c; })()"
                             % json.dumps(names), 10)
        if not spots:
            return f"the data-button controls are missing at {width} x {height}"
        browser.call("Input.dispatchTouchEvent", type="touchStart",
                     touchPoints=[dict(spots["right"], id=1), dict(spots["a"], id=2)])
        got = browser.wait("last[1] === '6' && last[2][0] === '1'", 30)
        browser.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])
        if not got:
            return f"a touch on right and A at once gave {browser.eval('last')} at {width} x {height}"
    shown = browser.eval("document.getElementById('screen').getBoundingClientRect().width * visualViewport.scale")
    if shown <= 320:
        return f"the picture is {shown} CSS pixels wide on a phone held sideways"
    # At 125% display scaling a game pixel is still a whole number of device pixels.
    browser.call("Emulation.setDeviceMetricsOverride", width=1000, height=800, deviceScaleFactor=1.25, mobile=False)
    time.sleep(1)
    wide = browser.eval("document.getElementById('screen').getBoundingClientRect().width * devicePixelRatio")
    browser.call("Emulation.clearDeviceMetricsOverride")
    if wide < 320 or abs(wide / 320 - round(wide / 320)) > 1e-6:
        return f"the picture is {wide} device pixels wide at 125% scaling"
    print("touch: the controls upright and sideways, right and A at once, a picture wider than 320,"
          " whole device pixels at 125%")


def upload_case(work, browser, base):
    """A replay uploaded at the page's 1 MiB limit loads without stalling the page (a load that
    grew with the square of the records froze it for seconds; one that never let the page run,
    about 0.2 s): the longest gap between the page's timer ticks while the game loads it and
    plays on. The goal is 100 ms; a loaded machine adds its own stalls, so the case fails past
    150 ms."""
    game = work / "upload-web"
    game_copy("tests/games/event_update", game, replays=False)
    (game / "script/empty.lua").write_text("")
    (game / "script/start.lua").write_text(
        "local loaded = 0\n"
        "for f = 1, 3000 do\n"
        "  Update() Present()\n"
        "  for i = 0, GetReplayFiles() - 1 do\n"
        "    if loaded == 0 and GetReplayFile(i) == 'upload.lua' then RunReplay('upload.lua') loaded = f end\n"
        "  end\n"
        "  if loaded > 0 and f > loaded + 120 then print('played on') return end\n"
        "end\n")
    head = "RunScript('empty.lua')\nRunScript('empty.lua')\nVAR_replay=true\nVAR_life=3\nVAR_score=0\n"
    records, frame = [], 1000000
    while len(head) + sum(map(len, records)) < (1 << 20) - 32:
        frame += 1
        records.append(f"rep({frame},{frame % 10})\n")
    replay = work / "upload.lua"  # a name of its own: the page's store holds the demo's replays
    replay.write_text(head + "".join(records))
    url = page(game, work / "upload-page", base)
    # Pages once kept every game's replays in one store, "/persist": a page whose own store is
    # empty takes them, and never sees the replays another page of the site keeps (the demo's).
    browser.call("Page.navigate", url=base + "/")
    browser.wait("document.readyState === 'complete'", 30)
    browser.call("Runtime.evaluate", awaitPromise=True, expression="""
      new Promise(done => { const open = indexedDB.open('/persist', 21);
        open.onupgradeneeded = () => open.result.createObjectStore('FILE_DATA');
        open.onsuccess = () => { const t = open.result.transaction(['FILE_DATA'], 'readwrite');
          t.objectStore('FILE_DATA').put({timestamp: new Date(), mode: 33206,
            contents: new TextEncoder().encode('-- old')}, '/persist/replay/old-shared.lua');
          t.oncomplete = () => { open.result.close(); done(true); }; };
        open.onerror = () => done(false); })""")
    browser.call("Page.navigate", url=url)
    if not browser.wait("typeof FS !== 'undefined' && FS.analyzePath('/game/replay').exists", 120):
        return "the page did not start"
    listed = browser.wait("(t => /old-shared/.test(t) && t)(Array.from("
                          "document.querySelectorAll('#replays a'), a => a.textContent).join(' '))", 30)
    if listed != "old-shared.lua":
        return f"the page lists {listed!r}, not the old store's one replay alone"
    browser.call("Runtime.evaluate", expression="""window.gap = 0; window.last = performance.now();
      setInterval(() => { const now = performance.now(); gap = Math.max(gap, now - last); last = now; }, 5)""")
    root = browser.call("DOM.getDocument")["root"]["nodeId"]
    node = browser.call("DOM.querySelector", nodeId=root, selector="#upload")["nodeId"]
    browser.call("DOM.setFileInputFiles", nodeId=node, files=[str(replay)])
    if not browser.wait("/played on/.test(document.getElementById('output').textContent)", 120):
        return "the uploaded replay was not played: " + str(browser.wait("document.title", 1))
    gap = browser.wait("Math.round(gap) || -1", 1)
    if gap > 150:
        return f"the page stalled {gap} ms with a 1 MiB replay"
    print(f"upload: a 1 MiB replay loads with the page's longest stall {gap} ms")
    return None


def main():
    native_only = sys.argv[1] == "--native-only"
    args = sys.argv[2:] if native_only else sys.argv[1:]
    lunashot, work = pathlib.Path(args[0]).resolve(), pathlib.Path(args[1]).resolve()
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    try:
        browser = None if native_only else DevTools(work / "chromium-profile")
    except (OSError, RuntimeError) as e:
        print(f"SKIP: no browser: {e}")
        return 77
    with serving(work) as base:
        try:
            faults = [(case[0], play_case(lunashot, work, browser, base, *case))
                      for case in (CASES if browser else CASES[2:])]
            faults.append(("reload", reload_case(work, browser, base) if browser else None))
            faults.append(("error", error_case(work, browser, base) if browser else None))
            faults.append(("player", player_case(work, browser, base) if browser else None))
            faults.append(("full", full_case(work, browser, base) if browser else None))
            faults.append(("stuck", stuck_case(work, browser, base) if browser else None))
            faults.append(("touch", touch_case(work, browser, base) if browser else None))
            faults.append(("upload", upload_case(work, browser, base) if browser else None))
        finally:
            if browser:
                browser.close()
    for name, fault in faults:
        if fault:
            print(f"FAIL: {name}: {fault}")
    return int(any(fault for _, fault in faults))


if __name__ == "__main__":
    sys.exit(main())
