#!/usr/bin/env python3
# Drives `lunashot new DIR` and the game it writes; see test.cmake.
import os, select, shutil, subprocess, sys

sys.dont_write_bytecode = True  # the shared reader leaves no cache in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'lib'))
from png_pixels import png_pixels  # noqa: E402

lunashot, pack, work, play = sys.argv[1:5]
failures = []
check = lambda ok, what: ok or failures.append(what)
run = lambda *args: subprocess.run([lunashot, *args], capture_output=True, text=True, timeout=120)


def where(png, colour, y0=0, y1=240):
    """The pixels of the recorded frame `png` that have `colour`, in rows y0 .. y1 - 1."""
    w, _, rgb = png_pixels(png)
    return [(i % w, i // w) for i in range(y0 * w, y1 * w) if rgb[3 * i:3 * i + 3] == colour]


shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
game = os.path.join(work, 'game')
made = run('new', game)
check(made.returncode == 0, 'new: status %d: %s' % (made.returncode, made.stderr))
files = ['sprite/pal.pal', 'sprite/font.spr', 'sprite/ship.spr', 'sound/shot.wav', 'sound/boom.wav',
         'script/start.lua', 'art/build.txt', 'art/palette.gpl', 'art/ship.png']
before = {f: open(os.path.join(game, f), 'rb').read() for f in files}
check(len(before['sprite/pal.pal']) == 197376, 'pal.pal size')
check(40 <= before['script/start.lua'].count(b'\n') <= 70, 'start.lua is about 40 lines')

# lunashot-pack gives the same font set, in any colour.
font = os.path.join(work, 'font.spr')
for args, status in [(['--builtin', font], 0), (['--builtin', font, '--colour', '9'], 0),
                     (['--builtin', font, '--cell', '8x8'], 2), (['x.png', font, '--colour', '9'], 2)]:
    r = subprocess.run([pack, 'font', *args], capture_output=True, timeout=60)
    check(r.returncode == status, 'pack font %s: status %d' % (args, r.returncode))
    if args == ['--builtin', font]:
        check(open(font, 'rb').read() == before['sprite/font.spr'], 'pack font --builtin differs from new')
check(open(font, 'rb').read().count(9) > open(font, 'rb').read().count(15), '--colour 9 not taken')

# The game's art builds from its sources alone, to the same bytes (what a
# build runs when is tools_build_test's).
build = lambda: subprocess.run([pack, 'build', game], capture_output=True, text=True, timeout=60)
art_made = ['sprite/pal.pal', 'sprite/font.spr', 'sprite/ship.spr']
check('up to date (3 lines)' in build().stdout, 'a new game is not up to date')
for f in art_made:
    os.remove(os.path.join(game, f))
r = build()
check(r.returncode == 0 and '3 of 3 lines run' in r.stdout, 'build from nothing: %r %r' % (r.stdout, r.stderr))
check(all(open(os.path.join(game, f), 'rb').read() == before[f] for f in art_made), 'built art differs')

# Refusals: nothing is written over, the reason is named.
open(os.path.join(work, 'a_file'), 'w').write('keep')
for args, status, message in [
        (['new', game], 1, 'is not empty'),
        (['new', os.path.join(work, 'a_file')], 1, 'not a directory'),
        (['new', os.path.join(work, 'no/such/parent')], 1, 'cannot create'),
        (['new'], 2, 'usage: lunashot new DIR'),
        (['new', 'x', 'y'], 2, 'usage: lunashot new DIR')]:
    r = run(*args)
    check(r.returncode == status and message in r.stderr, '%s: %d %r' % (args, r.returncode, r.stderr))
check(all(open(os.path.join(game, f), 'rb').read() == b for f, b in before.items()), 'files changed')
check(open(os.path.join(work, 'a_file')).read() == 'keep', 'a_file changed')

frames = os.path.join(work, 'frames')
r = run('--headless', '--max-frames', '600', '--input', play, '--record-frames', frames, game)
check(r.returncode == 0 and r.stderr == '', 'play: status %d: %s' % (r.returncode, r.stderr))
check(r.stdout == 'starter: running; Return quits\n', 'play stdout %r' % r.stdout)
check(len(os.listdir(frames)) == 600, 'frames recorded')
first, last = os.path.join(frames, '000001.png'), os.path.join(frames, '000600.png')
white, silver, yellow = bytes((255, 255, 255)), bytes((215, 215, 255)), bytes((255, 255, 95))
check(not where(first, white), 'the first frame is not faded out')
check(len(where(last, white, 8, 26)) > 100, 'no greeting text')
check(len(where(last, white, 224, 233)) > 20, 'no frame counter text')
hull = where(last, silver, 26, 224)
check(hull and max(x for x, _ in hull) < 100 and max(y for _, y in hull) < 200, 'the ship did not move')
check(len(where(last, yellow)) > 10, 'no shots')

# print reaches a pipe at once, while the game runs on (no frame limit).
game_run = subprocess.Popen([lunashot, '--headless', game], stdout=subprocess.PIPE)
ready, _, _ = select.select([game_run.stdout], [], [], 60)
line = game_run.stdout.readline() if ready else b''
check(game_run.poll() is None, 'the endless run ended')
game_run.kill(), game_run.wait()
check(line == b'starter: running; Return quits\n', 'piped print: %r' % line)

for f in failures:
    print('FAIL:', f, file=sys.stderr)
sys.exit(1 if failures else 0)
