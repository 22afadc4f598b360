"""The README's run command as a newcomer meets it, on a machine without a display and without a
sound card: `bash scripts/run.sh` with no folder builds the player, makes the demo ("1 Sweep" and
"2 Chords") and starts on its first track. The demo's own settings (gapless play, "Auto search
dirs") must take it through the whole first folder, joined sample-exactly, and on into the
second: the WAV file it announces must hold the gapless decode of "1 Sweep" (`mpg123 -s` of each
track, within 2 LSB) followed by the first track of "2 Chords". What it prints is checked too:
the demo's length and a screenshot command that works. Then everything the run started is
stopped: the player, Wine's server of its prefix, and the virtual X server if it started one."""
import array
import os
import re
import signal
import subprocess
import time
import unittest
import wave

import e2e_lib
from e2e_lib import BUILD, ROOT, WINEPREFIX, wait_until

RATE, CHANNELS = 44100, 2
CHORD_SECONDS = 3  # of the second folder's first track that are waited for and compared
STALLED = 8        # seconds without growth after which the WAV is taken as finished


def folder_decode(folder):
    """The gapless decodes of a folder's tracks in name order: [(name, samples)]."""
    return [(n, e2e_lib.decode(os.path.join(folder, n))) for n in sorted(os.listdir(folder))
            if n.endswith('.mp3')]


def x_server_alive():
    """Whether the virtual X server the scripts share (build/xvfb.display) is running."""
    state = os.path.join(BUILD, 'xvfb.display')
    if not os.path.exists(state):
        return False
    with open(state) as f:
        display = f.read().strip()
    return subprocess.run(['xdpyinfo'], env=dict(os.environ, DISPLAY=display),
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


class RunDemo(unittest.TestCase):
    def test_demo_plays_the_first_folder_and_walks_into_the_second(self):
        env = {k: v for k, v in os.environ.items() if k not in ('DISPLAY', 'ALSA_CONFIG_PATH')}
        had_x = x_server_alive()
        log = os.path.join(e2e_lib.ARGS.work, 'run-demo.out')
        t0 = time.monotonic()
        with open(log, 'wb') as out:  # a file, not a pipe: Wine's services inherit it
            proc = subprocess.Popen(['bash', os.path.join(ROOT, 'scripts', 'run.sh')], env=env,
                                    stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        self.addCleanup(self.stop_everything, proc, had_x)

        def printed():
            with open(log, encoding='utf-8', errors='replace') as f:
                return f.read()

        def started():
            self.assertIsNone(proc.poll(), 'run.sh ended early:\n' + printed())
            return re.search(r'^zuvo: playing (.+) \((/.+)\)$', printed(), re.M)
        first_track = wait_until(started, 120, 'run.sh to start the player')[2]
        text = printed()
        print(text)
        wav = re.search(r'the audio is written to (.+) as it plays\.', text)
        if not wav:
            self.skipTest('this machine has a sound card: the demo played on it')
        wav = wav[1]
        demo = os.path.dirname(os.path.dirname(first_track))
        sweep = folder_decode(os.path.join(demo, '1 Sweep'))
        chords = folder_decode(os.path.join(demo, '2 Chords'))
        self.assertEqual(first_track, os.path.join(demo, '1 Sweep', sweep[0][0]),
                         'the demo does not start on its first track')
        seconds = sum(len(r) for _, r in sweep + chords) / CHANNELS / RATE
        lasts = re.search(r'the demo lasts about (\d+) s', text)
        self.assertIsNotNone(lasts, 'run.sh does not say how long the demo lasts')
        # Its folders, and the pause of a second between them.
        self.assertAlmostEqual(int(lasts[1]), seconds + 1, delta=1)

        # The screenshot command it prints shows the player's window (a blank screen has one
        # colour; the window's tree, icons and rows have dozens).
        shot = re.search(r'See it with: (import -display \S+ -window root) (\S+)', text)
        self.assertIsNotNone(shot, 'run.sh does not say how to take a screenshot')
        self.assertEqual(e2e_lib.send('wait', '--visible', '20000'), 0, 'no main window')
        png = os.path.join(e2e_lib.ARGS.work, 'run-demo.png')

        def screenshot():
            subprocess.run(shot[1].split() + [png], check=True, timeout=60)
            colours = subprocess.run(['convert', png, '-format', '%k', 'info:'], check=True,
                                     capture_output=True, text=True, timeout=60).stdout
            return int(colours) > 16
        wait_until(screenshot, 10, 'a screenshot that shows the window', interval=0.25)

        # The WAV grows in real time: all of "1 Sweep", then the beginning of "2 Chords".
        sweep_ref = array.array('h')
        for _, r in sweep:
            sweep_ref.extend(r)
        chord_ref = chords[0][1][:CHORD_SECONDS * RATE * CHANNELS]
        want = 44 + 2 * (len(sweep_ref) + len(chord_ref) + RATE * CHANNELS // 2)
        growth = {'size': -1, 'since': time.monotonic()}

        def grown():
            size = os.path.getsize(wav) if os.path.exists(wav) else 0
            if size != growth['size']:
                growth.update(size=size, since=time.monotonic())
            if size > 44:  # once the audio has begun
                self.assertLess(time.monotonic() - growth['since'], STALLED,
                                'the WAV stopped growing at %.1f s of audio' %
                                ((size - 44) / 4 / RATE))
            return size >= want
        wait_until(grown, 90, 'the WAV to hold both folders', interval=0.2)
        print('the WAV held both folders %.1f s after the start' % (time.monotonic() - t0))
        e2e_lib.stop(proc, self)

        with wave.open(wav) as w:
            self.assertEqual((w.getnchannels(), w.getsampwidth(), w.getframerate()),
                             (CHANNELS, 2, RATE))
            self.assertEqual(w.getnframes() * 4 + 44, os.path.getsize(wav),
                             'the header does not count the audio')
            cap = array.array('h')
            cap.frombytes(w.readframes(w.getnframes()))
        # "1 Sweep" from the start of the file; probed where it is loud, after its fade-in.
        at = e2e_lib.find(cap, sweep_ref, RATE * CHANNELS, 0, 2 * RATE * CHANNELS)
        self.assertIsNotNone(at, '"1 Sweep" is not at the start of the WAV')
        # Runs of silence Wine writes when its device runs dry are stepped over.
        worst, runs, end = e2e_lib.wine_underruns(cap, sweep_ref, CHANNELS, RATE, at)
        # "2 Chords" follows; the WAV holds no pause, the device is closed during it.
        print('"1 Sweep" at %.3f s, largest difference %d, Wine\'s silences %s' %
              (at / CHANNELS / RATE, worst, runs))
        self.assertLessEqual(worst, 2, '"1 Sweep" differs from its gapless decode')
        chord_at = e2e_lib.find(cap, chord_ref, RATE * CHANNELS // 5, end, end + RATE * CHANNELS)
        self.assertIsNotNone(chord_at, '"2 Chords" does not follow "1 Sweep"')
        print('"2 Chords" at %.3f s' % (chord_at / CHANNELS / RATE))
        worst, runs, _ = e2e_lib.wine_underruns(cap, chord_ref, CHANNELS, RATE, chord_at)
        self.assertLessEqual(worst, 2, '"2 Chords" differs from its decode (Wine\'s silences '
                             '%s)' % runs)
        print('run time %.1f s' % (time.monotonic() - t0))

    def stop_everything(self, proc, had_x):
        """The player (when still running), Wine's server of the prefix run.sh used, and the
        virtual X server when run.sh started it."""
        if proc.poll() is None:
            e2e_lib.send('close')
            try:
                proc.wait(timeout=30)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
        subprocess.run(['wineserver', '-k'], env=dict(os.environ, WINEPREFIX=WINEPREFIX),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        if not had_x and x_server_alive():
            script = 'source "$1/scripts/wine-env.sh"; zuvo_x_stop'
            subprocess.run(['bash', '-c', script, '_', ROOT], check=True, timeout=60)


if __name__ == '__main__':
    e2e_lib.main()
