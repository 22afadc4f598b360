"""Helpers of the end-to-end tests: a private copy of zuvo.exe per test, started under Wine
through scripts/wine-run, and zuvo-send to wait for and drive its window."""
import argparse
import array
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_RUN = os.path.join(ROOT, 'scripts', 'wine-run')
# The build folder and Wine prefix that scripts/wine-env.sh uses.
BUILD = os.environ.get('ZUVO_BUILD', os.path.join(ROOT, 'build'))
WINEPREFIX = os.environ.get('WINEPREFIX', os.path.join(BUILD, 'wineprefix'))
ARGS = None


def read_commands():
    """{name: number} of the main window's commands, read from the enumerators "kCmdName = N"
    of src/base/command_ids.h, the one list of them."""
    with open(os.path.join(ROOT, 'src', 'base', 'command_ids.h'), encoding='utf-8') as f:
        found = dict((m[1], int(m[2])) for m in re.finditer(r'\bkCmd(\w+)\s*=\s*(\d+)', f.read()))
    if not found:
        raise RuntimeError('no kCmd enumerators in src/base/command_ids.h')
    return found


COMMANDS = read_commands()


def command_id(name):
    """The number of command `name` (kCmd<name> in base/command_ids.h)."""
    if name not in COMMANDS:
        raise KeyError('no command kCmd%s in src/base/command_ids.h' % name)
    return COMMANDS[name]


def command(name):
    """Posts command `name` (such as "NextTrack") to the main window; returns zuvo-send's code."""
    return send('command', str(command_id(name)))


def wait_until(predicate, timeout, what, interval=0.05):
    """Calls predicate until it returns a true value, and returns that value. After `timeout`
    seconds it fails the test, naming what it waited for (`what`: a text, or a function that
    makes one when it gives up) and the last value seen."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError('gave up after %.0f s waiting for %s (last: %r)' % (
                timeout, what() if callable(what) else what, value))
        time.sleep(interval)


def wait_steady(value, quiet, timeout, what, interval=0.05, at_least=None, short_quiet=1.0):
    """Waits until value() has not changed for `quiet` seconds (a capture that stopped
    growing) and returns it; fails as wait_until does. With at_least (the bytes a capture
    holds once the track the test knows has played whole), `short_quiet` seconds suffice
    once value() has reached it; a capture that stays short still waits `quiet` seconds, and
    the test's own checks say what is missing."""
    last = {}

    def steady():
        now, v = time.monotonic(), value()
        if last.get('value') != v or 'since' not in last:
            last.update(value=v, since=now)
        done = at_least is not None and v >= at_least
        return now - last['since'] >= (short_quiet if done else quiet)

    wait_until(steady, timeout, what, interval)
    return last['value']


def file_size(path):
    """The size of path in bytes, 0 while it does not exist (a capture not yet opened)."""
    return os.path.getsize(path) if os.path.exists(path) else 0


def rows(list_name=None):
    """[(state, first cell)] of the main window's File view (or of the list named list_name),
    state "s" selected, "f" focused, "sf" both, "-" neither; [] when there is no such list."""
    rc, out = send_output('rows', *([list_name] if list_name is not None else []))
    if rc != 0:
        return []
    return [tuple(line.split('\t', 1)) for line in out.decode('utf-8', 'replace').splitlines()
            if '\t' in line]


def wait_listed(count, timeout=20):
    """Waits until the File view shows `count` rows with the first one selected, as a listing
    leaves it so that Return plays it; returns the rows."""
    def check():
        shown = rows()
        return shown if len(shown) == count and 's' in shown[0][0] else None
    return wait_until(check, timeout, lambda: 'the File view listing %d rows, the first one '
                      'selected: %r' % (count, rows()))


def row_names(list_name=None):
    """The first cells of the rows of the File view (or of the list named list_name)."""
    return [cell for _, cell in rows(list_name)]


def dialog_names(title):
    """The first cells of the rows of the list view in the window titled title; [] when there
    is no such window."""
    rc, out = send_output('dialogrows', title)
    return [line.split('\t')[0] for line in out.decode('utf-8').splitlines()] if rc == 0 else []


def hashes(folder):
    """{path relative to folder: sha1} of every file below folder."""
    out = {}
    for root, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            with open(path, 'rb') as f:
                out[os.path.relpath(path, folder)] = hashlib.sha1(f.read()).hexdigest()
    return out


def screenshot(path):
    """The virtual screen, taken on the display the program runs on."""
    script = 'source "$1/scripts/wine-env.sh"; zuvo_x_prepare; import -window root "$2"'
    subprocess.run(['bash', '-c', script, '_', ROOT, path], check=True, timeout=60)


def pixels_of(png, colour, crop=None, within=0):
    """Number of pixels of `colour` ("#rrggbb", "rgb(r,g,b)") in a picture file, or in its
    rectangle crop (x, y, w, h); with `within`, those at most that far from it (Euclidean
    distance: ImageMagick's fuzz is the RMS of the channels' differences)."""
    region = ['-crop', '%dx%d+%d+%d' % (crop[2], crop[3], crop[0], crop[1]), '+repage'] if crop else []
    out = subprocess.run(['convert', png, *region, '-fuzz', '%.3f%%' % (100 * within / 3 ** 0.5 / 255),
                          '-fill', 'black', '+opaque', colour, '-fill', 'white', '-opaque', colour,
                          '-format', '%[fx:round(mean*w*h)]', 'info:'], check=True,
                         stdout=subprocess.PIPE)
    return int(out.stdout)


def built(*parts):
    """A path in the Windows build folder (zuvo-send.exe is in its tests/e2e/)."""
    return os.path.join(os.path.dirname(os.path.abspath(ARGS.send)), '..', '..', *parts)


def standin(name, folder='standins'):
    """The stand-in DLL `name`, built into the build's standins/ (or plug-in folder); the test
    is skipped when it was not built (no winegcc)."""
    path = built(folder, name)
    if not os.path.exists(path):
        raise unittest.SkipTest('%s was not built' % name)
    return path


def run(*cmd):
    """Runs a tool (sox, lame, ...); fails with its error output."""
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def make_sound(path, seconds, sweep='80-7000', noise=False, volume=0.4, rate=44100, channels=2,
               options=()):
    """Writes a sine sweep of `seconds` (sox's range syntax: "a-b", or "a:b" for a linear
    one) with sox, in the format path's name and the output options say; with noise, white
    noise is mixed in, so that every stretch is found at one place of it only. Returns path."""
    noise_args = ['synth', str(seconds), 'whitenoise', 'mix'] if noise else []
    run('sox', '-D', '-r', str(rate), '-c', str(channels), '-n', '-b', '16', *options, path,
        'synth', str(seconds), 'sine', sweep, *noise_args, 'vol', str(volume))
    return path


def make_mp3(mp3, seconds, sweep='80-7000', noise=False, volume=0.4, rate=44100, channels=2,
             lame=('-b', '128')):
    """make_sound's sweep encoded with lame. Returns mp3."""
    wav = make_sound(mp3 + '.wav', seconds, sweep, noise, volume, rate, channels)
    run('lame', '--quiet', *lame, wav, mp3)
    os.remove(wav)
    return mp3


def decode(mp3, gapless=True):
    """mpg123's 16-bit decode of mp3: without the encoder's delay and padding (gapless), or
    untrimmed, as a decoder without gapless support gives it."""
    a = array.array('h')
    a.frombytes(subprocess.run(['mpg123', '-q', *([] if gapless else ['--no-gapless']), '-s',
                                mp3], check=True, capture_output=True).stdout)
    return a


def samples(path, typecode='h'):
    """The samples of a raw capture file: 16-bit, or 32-bit float with typecode 'f'."""
    a = array.array(typecode)
    with open(path, 'rb') as f:
        data = f.read()
    a.frombytes(data[:len(data) // a.itemsize * a.itemsize])
    return a


def find(cap, ref, at=0, lo=0, hi=None, channels=2, probe=64):
    """Where ref begins in cap, judged by ref[at:at + probe]: the first frame position p in
    cap[lo:hi] holding those samples within 2 LSB, less `at`. None when they are not there."""
    head = ref[at:at + probe]
    end = len(cap) - probe if hi is None else min(hi, len(cap) - probe)
    for p in range(lo - lo % channels, end, channels):
        if abs(cap[p] - head[0]) <= 2 and all(abs(cap[p + j] - head[j]) <= 2
                                              for j in range(1, probe)):
            return p - at
    return None


def cue_sheet(path, mp3_name, starts):
    """Writes a cue sheet "Zuvo - Album" of tracks "Part 1", "Part 2", ... over one file, each
    starting at its entry of `starts` (in 1/75 s)."""
    lines = ['PERFORMER "Zuvo"', 'TITLE "Album"', 'FILE "%s" MP3' % mp3_name]
    for n, f in enumerate(starts, 1):
        lines += ['  TRACK %02d AUDIO' % n, '    TITLE "Part %d"' % n,
                  '    INDEX 01 %02d:%02d:%02d' % (f // 75 // 60, f // 75 % 60, f % 75)]
    with open(path, 'w', newline='\r\n') as out:
        out.write('\n'.join(lines) + '\n')


def win_path(path):
    """The Windows name of a local path (Wine maps / to Z:)."""
    return 'Z:' + os.path.abspath(path).replace('/', '\\')


def send(*args, timeout=60):
    """Runs zuvo-send; returns its exit code. Its output goes nowhere, never into a pipe: when
    zuvo-send is the program that starts Wine's session, Wine's services inherit its handles,
    and a pipe would stay open (and the call hang) until they end."""
    return subprocess.run([WINE_RUN, ARGS.send, *args], timeout=timeout,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode


def send_output(*args, timeout=60):
    """Runs zuvo-send with its output in a file (see send); returns (exit code, output bytes)."""
    with tempfile.TemporaryFile() as out:
        rc = subprocess.run([WINE_RUN, ARGS.send, *args], timeout=timeout, stdout=out,
                            stderr=subprocess.DEVNULL).returncode
        out.seek(0)
        return rc, out.read()


class Install:
    """zuvo.exe copied into work/NAME/prog, so that its settings file is private, with the
    files `beside` (DLLs, plug-ins) copied beside it."""

    def __init__(self, name, beside=()):
        self.folder = os.path.join(ARGS.work, name)
        shutil.rmtree(self.folder, ignore_errors=True)
        self.prog = os.path.join(self.folder, 'prog')
        os.makedirs(self.prog)
        self.exe = os.path.join(self.prog, 'zuvo.exe')
        shutil.copy(ARGS.exe, self.exe)
        self.ini = os.path.join(self.prog, 'zuvo.ini')
        for path in beside:
            shutil.copy(path, self.prog)

    def subfolder(self, name='music'):
        """A new empty folder `name` in the install's folder; returns its path."""
        path = os.path.join(self.folder, name)
        os.makedirs(path)
        return path

    def start(self, *args, env=None):
        """Starts the program with args (and the variables env added to the environment)."""
        return subprocess.Popen([WINE_RUN, self.exe, *args], env=dict(os.environ, **(env or {})),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start_in(self, test, folder, extra=b'', visible=False, listed=True):
        """Starts the program on `folder` (the settings file: UTF-8, wave-out device 0 at full
        volume, then `extra`); the process is killed should the test end with it running.
        Waits for the main window (shown, with visible) and, with listed, for the folder's
        rows. Returns the process."""
        self.write_ini(b'[Zuvo]\r\nutf8=1\r\nvolume=65535\r\nwavedevice=0\r\nbrowsed_folder=' +
                       win_path(folder).encode('utf-8') + b'\r\n' + extra)
        proc = self.launch(test, '/localini', visible=visible)
        if listed:
            wait_until(rows, 20, 'the start folder listed')
        return proc

    def launch(self, test, *args, visible=False, env=None):
        """Starts the program with args, killed should the test end with it running, and waits
        for its main window (shown, with visible). Returns the process."""
        proc = self.start(*args, env=env)
        test.addCleanup(lambda: proc.poll() is None and proc.kill())
        test.assertEqual(send('wait', *(['--visible'] if visible else []), '20000'), 0,
                         'no main window')
        return proc

    def run(self, *args, timeout=60):
        """Runs to the end; returns (exit code, seconds)."""
        t0 = time.monotonic()
        rc = subprocess.run([WINE_RUN, self.exe, *args], timeout=timeout,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        return rc, time.monotonic() - t0

    def read_ini(self):
        with open(self.ini, 'rb') as f:
            return f.read()

    def write_ini(self, data):
        with open(self.ini, 'wb') as f:
            f.write(data)

    def values(self):
        """{key: value} of the settings file's lines (the first line of a key), as text."""
        out = {}
        for line in self.read_ini().split(b'\r\n'):
            key, eq, value = line.partition(b'=')
            if eq:
                out.setdefault(key.decode('utf-8', 'replace'), value.decode('utf-8', 'replace'))
        return out


def output(*args):
    """zuvo-send's output as text (CR LF as LF), None when it failed."""
    rc, data = send_output(*args)
    return data.decode('utf-8', 'replace').replace('\r\n', '\n') if rc == 0 else None


def panes():
    """The texts of the status bar's panes ([] without a main window)."""
    return (output('status') or '').splitlines()


def pane(i):
    """The text of the status bar's pane i, '' when there is none."""
    p = panes()
    return p[i] if len(p) > i else ''


def read(path, missing=None):
    """The bytes of a file; `missing` when it does not exist (or is a process's file in /proc
    and the process has gone)."""
    try:
        with open(path, 'rb') as f:
            return f.read()
    except (FileNotFoundError, ProcessLookupError):
        return missing


def write(path, data):
    """Writes bytes (or UTF-8 text) to path; returns path."""
    with open(path, 'wb') as f:
        f.write(data.encode('utf-8') if isinstance(data, str) else data)
    return path


def open_handler(test, ext, opened):
    """Registers a program for files of type ext (".jpg") until the test ends: a command that
    writes the path it is handed into the local file `opened`. Returns a function giving that
    path once written (None before)."""
    classes = 'HKLM\\Software\\Classes\\'
    prog_id = 'ZuvoTest' + ext.strip('.')

    def reg(*args):
        return subprocess.run([WINE_RUN, 'reg', *args], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode
    query = subprocess.run([WINE_RUN, 'reg', 'query', classes + ext, '/ve'],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    was = re.search(r'REG_SZ\s+(\S+)', query.decode('utf-8', 'replace'))
    for key, value in ((classes + ext, prog_id), (classes + prog_id + '\\shell\\open\\command',
                                                  'cmd.exe /c echo %%1> "%s"' % win_path(opened))):
        test.assertEqual(reg('add', key, '/ve', '/d', value, '/f'), 0)
    test.addCleanup(reg, 'delete', classes + prog_id, '/f')
    # The type's own program id goes back afterwards.
    test.addCleanup(reg, *(('add', classes + ext, '/ve', '/d', was.group(1), '/f') if was else
                           ('delete', classes + ext, '/ve', '/f')))
    return lambda: (read(opened) or b'').decode('utf-8', 'replace').strip().strip('"') or None


def capture_audio(test, folder, keep_openings=False):
    """Routes the default ALSA device of the programs started next (Wine's wave-out and
    DirectSound) into folder/cap.raw, raw as the device gets it, until the test ends. With
    keep_openings each opening of the device goes into a file of its own (cap.raw, then
    cap.raw.0001, ...) instead of starting cap.raw again. Returns the capture path."""
    cap = os.path.join(folder, 'cap.raw')
    conf = os.path.join(folder, 'alsa.conf')
    keep = ' truncate false;' if keep_openings else ''
    with open('/usr/share/alsa/alsa.conf') as f, open(conf, 'w') as out:
        out.write(f.read())
        out.write('pcm.!default { type file; slave.pcm "nullpcm"; file "%s"; format "raw";%s }\n'
                  'pcm.nullpcm { type null }\n' % (cap, keep))
    os.environ['ALSA_CONFIG_PATH'] = conf
    test.addCleanup(os.environ.pop, 'ALSA_CONFIG_PATH', None)
    return cap


def capture_sizes(folder):
    """{file name: bytes} of the capture files in folder (see capture_audio)."""
    return {n: os.path.getsize(os.path.join(folder, n)) for n in os.listdir(folder)
            if n.startswith('cap.raw')}


def captured(folder):
    """Bytes captured so far over all openings of the device."""
    return sum(capture_sizes(folder).values())


def wine_underruns(cap, ref, channels, rate, at=0):
    """Compares ref with cap[at:]. Wine's wave-out, feeding a capture that runs faster than
    real time, may run dry and then writes whole 10 ms periods of silence; such runs (a whole
    number of periods, within a frame per period, where ref goes on unchanged behind them)
    are stepped over. Our own silence blocks have another length and still count as
    differences. Returns (largest difference, [(frame, frames of silence)], capture end)."""
    period = rate / 100.0
    i, j, worst, runs = at, 0, 0, []
    while j < len(ref) and i < len(cap):
        d = abs(cap[i] - ref[j])
        if d > 2 and cap[i] == 0:
            end = i
            while end < len(cap) and cap[end] == 0:
                end += 1
            frames = (end - i) // channels
            k = round(frames / period)
            resumes = end + 16 <= len(cap) and all(abs(cap[end + n] - ref[j + n]) <= 2
                                                   for n in range(min(16, len(ref) - j)))
            if (end - i) % channels == 0 and k >= 1 and abs(frames - k * period) <= k and resumes:
                runs.append((j // channels, frames))
                i = end
                continue
        worst = max(worst, d)
        i += 1
        j += 1
    if j < len(ref):
        worst = max(worst, 1 << 16)  # the capture ended early
    return worst, runs, i


def drop_wine_underruns(cap, channels, rate, max_periods=3):
    """cap without the short runs of silence Wine writes when its device runs dry (see
    wine_underruns): zero runs of one to max_periods whole 10 ms periods between sounding
    samples. Returns (the cleaned capture, number of runs dropped). Only for signals that are
    never silent for 10 ms themselves."""
    period = rate / 100.0
    out, i, dropped = array.array(cap.typecode), 0, 0
    while i < len(cap):
        if cap[i] != 0 or i == 0:
            out.append(cap[i])
            i += 1
            continue
        end = i
        while end < len(cap) and cap[end] == 0:
            end += 1
        frames = (end - i) // channels
        k = round(frames / period)
        if end < len(cap) and (end - i) % channels == 0 and 1 <= k <= max_periods and \
                abs(frames - k * period) <= k:
            dropped += 1
        else:
            out.extend(cap[i:end])
        i = end
    return out, dropped


def map_drive(test, letter, folder):
    """Maps the Wine drive letter (such as 't') to a local folder until the test ends: a link
    in the prefix's dosdevices, made before zuvo.exe starts so that its tree lists the drive.
    Returns the drive's Windows name ("T:")."""
    link = os.path.join(WINEPREFIX, 'dosdevices', letter.lower() + ':')
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.path.abspath(folder), link)
    test.addCleanup(os.remove, link)
    # Wine's mount manager reads the drive links when its server starts: the server of the
    # last program is waited for, so that the next start sees the new drive.
    subprocess.run(['wineserver', '-w'], env=dict(os.environ, WINEPREFIX=WINEPREFIX),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    subprocess.run([WINE_RUN, 'cmd', '/c', 'exit'], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120)
    return letter.upper() + ':'


def stop(proc, testcase):
    """Closes the running main window and waits for the process to end."""
    testcase.assertEqual(send('close'), 0, 'no main window to close')
    try:
        rc = proc.wait(timeout=30)
    except subprocess.TimeoutExpired:
        proc.kill()
        testcase.fail('zuvo.exe did not end after WM_CLOSE')
    testcase.assertEqual(rc, 0)
    testcase.assertEqual(send('gone', '10000'), 0)


def main():
    global ARGS
    p = argparse.ArgumentParser()
    p.add_argument('--exe', required=True)
    p.add_argument('--send', required=True)
    p.add_argument('--work', required=True)
    ARGS, rest = p.parse_known_args()
    os.makedirs(ARGS.work, exist_ok=True)
    # No window of an earlier, failed run may be left over.
    subprocess.run([WINE_RUN, 'taskkill', '/f', '/im', 'zuvo.exe'],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if send('gone', '10000') != 0:
        sys.exit('a zuvo.exe window of an earlier run is still there')
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


# Shared by the playback, stream and tool tests.

def start_with(test, z, target=None, ini=b'', device=0, env=None):
    """Writes z's settings file ([Zuvo], UTF-8, full volume, the output device, then ini),
    starts zuvo.exe with it on target (a local path, or none) and waits for the main window;
    the process is killed should the test end with it running. Returns the process."""
    z.write_ini(b'[Zuvo]\r\nutf8=1\r\nvolume=65535\r\nwavedevice=%d\r\n' % device + ini)
    return z.launch(test, *([win_path(target)] if target else []), '/localini', env=env)


def start_on_files(test, name, files, beside=(), ini=b'', keep_openings=False, on_folder=False,
                   env=None):
    """An install with `beside` copied beside zuvo.exe, the files that the (name, maker) pairs
    `files` make in its music folder and an audio capture (see capture_audio); zuvo.exe started
    as start_with does on the first file (or, with on_folder, the folder). Returns (install,
    process, capture path, the files' paths)."""
    z = Install(name, beside)
    music = z.subfolder()
    paths = [make(os.path.join(music, n)) for n, make in files]
    cap = capture_audio(test, z.folder, keep_openings)
    proc = start_with(test, z, music if on_folder else paths[0], ini, env=env)
    return z, proc, cap, paths


def ffmpeg_samples(path, *options, typecode='h', fmt='s16le'):
    """ffmpeg's decode of path (after its output options, such as '-ac', '2')."""
    a = array.array(typecode)
    a.frombytes(subprocess.run(['ffmpeg', '-v', 'quiet', '-i', path, *options, '-f', fmt, '-'],
                               check=True, capture_output=True).stdout)
    return a
