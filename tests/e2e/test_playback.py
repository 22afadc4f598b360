"""zuvo.exe started with one MP3 path plays it: through wave-out the captured samples are those
of an independent decode (`mpg123 --no-gapless -s`), sample-aligned and within 2 LSB, for
44.1 kHz stereo, 48 kHz stereo and 22.05 kHz mono; through DirectSound, which Wine mixes to
48 kHz float, the tone bursts of a test file arrive with their timing, and a sweep is heard
whole, from its first frequency to its end. The audio is captured by an ALSA file plugin."""
import array
import math
import os
import shutil
import struct
import subprocess
import unittest
import wave

import e2e_lib
from e2e_lib import Install, capture_audio, send, stop, wait_steady, wait_until, win_path


def run(*cmd):
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def sweep_mp3(path, rate, channels, seconds, lame_args):
    src = path + '.wav'
    run('sox', '-D', '-r', str(rate), '-c', str(channels), '-n', '-b', '16', src,
        'synth', str(seconds), 'sine', '80-7000', 'vol', '0.7')
    run('lame', '--quiet', *lame_args, src, path)


# Tone bursts (seconds on, seconds off) whose onsets the DirectSound capture must keep.
BURSTS = [(0.30, 0.20), (0.60, 0.40), (0.15, 0.35), (0.90, 0.25), (0.45, 0.50)]


def burst_mp3(path):
    rate = 44100
    frames = array.array('h')
    for on, off in BURSTS:
        frames.extend(int(12000 * math.sin(2 * math.pi * 440 * i / rate))
                      for i in range(int(on * rate)) for _ in range(2))
        frames.extend(0 for _ in range(int(off * rate) * 2))
    with wave.open(path + '.wav', 'wb') as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(frames.tobytes())
    run('lame', '--quiet', '-b', '192', path + '.wav', path)


def reference(path):
    out = subprocess.run(['mpg123', '-q', '--no-gapless', '-s', path], check=True,
                         capture_output=True).stdout
    a = array.array('h')
    a.frombytes(out)
    return a


def rising_crossings(samples, channels, rate, start, seconds):
    """Times (s, from frame 0) where channel 0 rises through zero, interpolated between the
    frames, in the span of `seconds` from frame `start`."""
    times = []
    end = min(len(samples) // channels, start + int(seconds * rate))
    for i in range(max(start, 1), end):
        a, b = samples[(i - 1) * channels], samples[i * channels]
        if a < 0 <= b:
            times.append((i - 1 + a / (a - b)) / rate)
    return times


def frequency(samples, channels, rate, start, seconds=0.1):
    """The frequency (Hz) of a tone in the span: whole periods between the first and the last
    rising zero crossing, so that it does not depend on the rate the tone was sampled at."""
    t = rising_crossings(samples, channels, rate, start, seconds)
    return (len(t) - 1) / (t[-1] - t[0]) if len(t) > 2 else 0.0


def sounding(samples, channels, threshold):
    """First and last frame whose channel 0 is above threshold, or (0, 0)."""
    loud = [i for i in range(0, len(samples) // channels)
            if abs(samples[i * channels]) > threshold]
    return (loud[0], loud[-1]) if loud else (0, 0)


def onsets(samples, channels, rate, threshold):
    """Times (s) where the signal rises above threshold after at least 0.1 s below it."""
    times, quiet, last_loud = [], True, -rate
    for i in range(0, len(samples) // channels):
        loud = abs(samples[i * channels]) > threshold
        if loud:
            if quiet and i - last_loud > rate // 10:
                times.append(i / rate)
            last_loud = i
        quiet = not loud
    return times


class Playback(unittest.TestCase):
    def play(self, name, make, wavedevice, ini_extra=b'', beside=()):
        """Plays the file that make(path) creates, with the files `beside` copied beside
        zuvo.exe; returns (capture bytes, mp3 path)."""
        z = Install(name)
        for path in beside:
            shutil.copy(path, z.prog)
        mp3 = os.path.join(z.folder, name + '.mp3')
        make(mp3)
        cap = capture_audio(self, z.folder)
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nvolume=65535\r\nwavedevice=%d\r\n' % wavedevice +
                    ini_extra)
        try:
            proc = z.start(win_path(mp3), '/localini')
            self.assertEqual(send('wait', '20000'), 0, 'no main window')
            # Playback has ended when the capture has stopped growing.
            size = lambda: os.path.getsize(cap) if os.path.exists(cap) else 0
            wait_until(size, 60, 'playback to start')
            wait_steady(size, 3, 120, 'playback to end')
            stop(proc, self)
        finally:
            del os.environ['ALSA_CONFIG_PATH']
        with open(cap, 'rb') as f:
            return f.read(), mp3

    def check_wave_out(self, name, rate, channels, lame_args):
        data, mp3 = self.play(name, lambda p: sweep_mp3(p, rate, channels, 6.3, lame_args), 0)
        cap = array.array('h')
        cap.frombytes(data[:len(data) // 2 * 2])
        ref = reference(mp3)
        self.check_aligned(name, cap, ref, channels, rate)

    def check_aligned(self, name, cap, ref, channels, rate, tolerance=2):
        """Sample-aligned: the first captured sample is the decode's first sample, and every
        sample is within tolerance (LSB), apart from the silence Wine inserts when its device
        runs dry."""
        diff, runs, end = e2e_lib.wine_underruns(cap, ref, channels, rate)
        if runs:
            print('%s: Wine inserted silence at (frame, frames): %s' % (name, runs))
        self.assertLessEqual(diff, tolerance)
        self.assertLessEqual(len(runs), 3, 'the device ran dry too often')
        # What follows the track is the silence written after its end.
        self.assertEqual(max((abs(x) for x in cap[end:]), default=0), 0)

    def test_wave_out_44k_stereo(self):
        self.check_wave_out('wo44', 44100, 2, ['-b', '128'])

    def test_wave_out_48k_stereo(self):
        self.check_wave_out('wo48', 48000, 2, ['-V', '2'])

    def test_wave_out_22k_mono(self):
        self.check_wave_out('wo22', 22050, 1, ['-b', '64'])

    def test_wave_out_gapless_ring(self):
        # Through the gapless ring the encoder delay and padding are cut: the capture is the
        # gapless decode, from its first sample to its last.
        data, mp3 = self.play('wogap', lambda p: sweep_mp3(p, 44100, 2, 5.7, ['-b', '160']),
                                 0, b'gapless=1\r\n')
        cap = array.array('h')
        cap.frombytes(data[:len(data) // 2 * 2])
        ref = array.array('h')
        ref.frombytes(subprocess.run(['mpg123', '-q', '-s', mp3], check=True,
                                     capture_output=True).stdout)
        self.check_aligned('wogap', cap, ref, 2, 44100)

    def test_mpglib_stand_in_plays_sample_exactly(self):
        # The mpglib decoder path with the Winelib "mpglib.dll" over libmpg123 beside the
        # program: without the ring the capture is the untrimmed decode, through the gapless
        # ring the trimmed one, sample for sample (wave-out at full volume is bit-exact).
        dll = os.path.join(os.path.dirname(os.path.abspath(e2e_lib.ARGS.send)), 'standins',
                           'mpglib.dll')
        if not os.path.exists(dll):
            self.skipTest('no stand-in mpglib.dll (winegcc missing)')
        for name, rate, channels, gapless in [('lib44', 44100, 2, 0), ('lib22', 22050, 1, 1)]:
            with self.subTest(name=name):
                data, mp3 = self.play(
                    name, lambda p: sweep_mp3(p, rate, channels, 5.3, ['-b', '96']), 0,
                    b'use_mpglib=1\r\ngapless=%d\r\n' % gapless, beside=[dll])
                cap = array.array('h')
                cap.frombytes(data[:len(data) // 2 * 2])
                ref = array.array('h')
                ref.frombytes(subprocess.run(
                    ['mpg123', '-q', *([] if gapless else ['--no-gapless']), '-s', mp3],
                    check=True, capture_output=True).stdout)
                # The same library decodes on both sides: nothing may differ.
                self.check_aligned(name, cap, ref, channels, rate, tolerance=0)

    def test_direct_sound_plays_the_whole_track(self):
        # A linear sweep through DirectSound is heard from its start to its end, in the
        # formats whose one-second buffer is exactly three segments long and in 44.1 kHz
        # stereo (5.4 segments). Wine mixes to 48 kHz float, so the capture is judged by the
        # length of its sound and by the sweep's frequency where the sound begins and half a
        # second later, against an independent decode.
        seconds, low, high = 6.1, 100.0, 5000.0
        for rate, channels, kbps in [(22050, 1, 64), (22050, 2, 64), (44100, 1, 64),
                                     (44100, 2, 128)]:
            with self.subTest(rate=rate, channels=channels):
                name = 'dsw%d%d' % (rate // 1000, channels)

                def make(p):
                    src = p + '.wav'
                    run('sox', '-D', '-r', str(rate), '-c', str(channels), '-n', '-b', '16',
                        src, 'synth', str(seconds), 'sine', '%g:%g' % (low, high), 'vol', '0.7')
                    run('lame', '--quiet', '-b', str(kbps), src, p)
                data, mp3 = self.play(name, make, 128)
                cap = array.array('f')
                cap.frombytes(data[:len(data) // 8 * 8])
                ref = reference(mp3)
                c0, c1 = sounding(cap, 2, 0.05)
                r0, r1 = sounding(ref, channels, 0.05 * 32768)
                heard, whole = (c1 - c0) / 48000, (r1 - r0) / rate
                # The sweep's frequency from the first sound heard, and the time in the sweep
                # that it belongs to.
                starts = [frequency(cap, 2, 48000, c0 + int(t * 48000)) for t in (0.0, 0.5)]
                at = [(f - low) / (high - low) * seconds for f in starts]
                print('%s: heard %.3f s of %.3f s; from its start %.0f Hz (%.3f s into the '
                      'track), 0.5 s later %.0f Hz (%.3f s)' %
                      (name, heard, whole, starts[0], at[0], starts[1], at[1]))
                ref_starts = [frequency(ref, channels, rate, r0 + int(t * rate))
                              for t in (0.0, 0.5)]
                for f, want in zip(starts, ref_starts):
                    self.assertAlmostEqual(f, want, delta=0.02 * want + 10)
                self.assertAlmostEqual(heard, whole, delta=0.02)

    def test_direct_sound_keeps_the_timing(self):
        data, mp3 = self.play('ds44', burst_mp3, 128)
        cap = array.array('f')
        cap.frombytes(data[:len(data) // 8 * 8])  # Wine mixes to 32-bit float stereo at 48 kHz
        got = onsets(cap, 2, 48000, 0.05)
        want = onsets(reference(mp3), 2, 44100, 0.05 * 32768)
        self.assertEqual(len(got), len(BURSTS), got)
        self.assertEqual(len(want), len(BURSTS), want)
        for g, w in zip(got, want):
            self.assertAlmostEqual(g - got[0], w - want[0], delta=0.005)


if __name__ == '__main__':
    e2e_lib.main()
