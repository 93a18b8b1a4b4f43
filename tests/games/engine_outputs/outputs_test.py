#!/usr/bin/env python3
# Each row runs the real binary on a fresh copy of the game in WORK/game, from WORK, and checks
# the exit status, a fragment of stderr (and of script/log.txt when an output failed), the files
# that must or must not exist, that sprite/pal.pal is unchanged and that no hidden file is left.
# usage: outputs_test.py LUNASHOT PALETTE SRC WORK
import os, resource, shutil, signal, subprocess, sys

lunashot, palette, src, work = sys.argv[1:5]
game = os.path.join(work, 'game')
run = ['--headless', '--max-frames', '5']
failures = []


def file_limit(size):
    """No file of the child may grow past `size` bytes: a write beyond fails (EFBIG)."""
    def limit():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (size, size))
    return limit


# A full disk: a 64 KiB tmpfs at {W}/disk, mounted in a mount namespace of the run's own (root
# only), so it goes when the run ends.
on_tmpfs = ['unshare', '-m', 'sh', '-c', 'mount -t tmpfs -o size=64k tmpfs "$0" && exec "$@"',
            '{W}/disk']
os.makedirs(work, exist_ok=True)
tmpfs = subprocess.run(on_tmpfs[:-1] + [work, 'true'], capture_output=True).returncode == 0
if not tmpfs:
    print('NOTICE: cannot mount a tmpfs (not root?): the full-disk row is skipped')

# options ({W} the work folder, {G} the game), status, stderr fragment, files that must exist,
# files that must not, and the disk (None, on_tmpfs, or a size limit on files)
rows = [
    (run + ['--gif', '{W}/ok.gif', '--frame-hashes', 'h.txt', '--record-frames', 'frames'], 0, '',
     ['{W}/ok.gif', '{W}/h.txt', '{W}/frames/000005.png'], [], None),
    (run + ['--gif', '{W}/none/x.gif'], 4, 'cannot write {W}/none/x.gif: No such file', [], ['{W}/none'],
     None),
    (run + ['--frame-hashes', '/dev/full'], 4, 'cannot write /dev/full: No space left', [], [], None),
    (run + ['--frame-hashes', 'none/h.txt'], 4, 'hashes to {W}/none/h.txt: No such file', [], ['{W}/none'],
     None),
    (run + ['--record-frames', 'a_file'], 4, '{W}/a_file is not a directory', [], [], None),
    (run + ['--record-frames', 'none/dir'], 4, 'cannot create {W}/none/dir', [], ['{W}/none'], None),
    (['--headless', '--max-frames', '60', '--record-frames', 'disk/frames', '--frame-hashes', 'disk/h',
      '--gif', 'disk/x.gif'], 4, 'No space left on device', [], [], on_tmpfs),
    (run + ['--gif', '{G}/sprite/pal.pal'], 2, "--gif {G}/sprite/pal.pal lies in the game's sprite/", [], [],
     None),
    (run + ['--frame-hashes', 'game/script/../sprite/x'], 2, 'sprite/ folder', [], ['{G}/sprite/x'], None),
    (run + ['--record-frames', 'link/frames'], 2, 'replay/ folder', [], ['{G}/replay/frames'], None),
    (run + ['--frame-hashes', 'dangling'], 2, 'sound/ folder', [], ['{G}/sound/x.wav'], None),
    (run + ['--gif', 'input.txt', '--input', 'input.txt'], 2, 'is the --input file', [], [], None),
    (['new', 'fresh'], 1, 'cannot write fresh/sprite/pal.pal: File too large', [], ['{W}/fresh'],
     100000),
    (['new', '{W}/empty'], 1, 'cannot write {W}/empty/sprite/pal.pal', ['{W}/empty'],
     ['{W}/empty/sprite'], 100000),
]
for options, status, fragment, present, absent, disk in rows:
    if disk is on_tmpfs and not tmpfs:
        continue
    shutil.rmtree(work, ignore_errors=True)
    shutil.copytree(os.path.join(src, 'script'), os.path.join(game, 'script'))
    for folder in ['game/sprite', 'game/sound', 'game/replay', 'empty', 'disk']:
        os.makedirs(os.path.join(work, folder))
    shutil.copy(palette, os.path.join(game, 'sprite', 'pal.pal'))
    open(os.path.join(work, 'a_file'), 'w').write('keep')
    open(os.path.join(work, 'input.txt'), 'w').write('0 -\n')
    os.symlink(os.path.join(game, 'replay'), os.path.join(work, 'link'))
    os.symlink('game/sound/x.wav', os.path.join(work, 'dangling'))
    fill = lambda s: s.replace('{W}', work).replace('{G}', game)
    args = [fill(a) for a in options] + ([] if options[0] == 'new' else [game])
    command = [fill(a) for a in disk] if disk is on_tmpfs else []
    r = subprocess.run(command + [lunashot, *args], cwd=work, capture_output=True, text=True,
                       timeout=120, preexec_fn=file_limit(disk) if isinstance(disk, int) else None)
    what = ' '.join(options)
    if r.returncode != status or fill(fragment) not in r.stderr or (not fragment and r.stderr):
        failures.append('%s: status %d, stderr %r' % (what, r.returncode, r.stderr))
    log = os.path.join(game, 'script', 'log.txt')
    if status == 4 and fill(fragment) not in (open(log).read() if os.path.exists(log) else ''):
        failures.append('%s: not in log.txt' % what)
    failures += ['%s: %s was not made' % (what, f) for f in map(fill, present)
                 if not os.path.exists(f)]
    failures += ['%s: %s exists' % (what, f) for f in map(fill, absent) if os.path.lexists(f)]
    if open(os.path.join(game, 'sprite', 'pal.pal'), 'rb').read() != open(palette, 'rb').read():
        failures.append('%s: pal.pal changed' % what)
    hidden = [os.path.join(d, n) for d, ds, fs in os.walk(work) for n in ds + fs
              if n.startswith('.')]
    failures += ['%s: left %s' % (what, h) for h in hidden]

for f in failures:
    print('FAIL:', f, file=sys.stderr)
sys.exit(1 if failures else 0)
