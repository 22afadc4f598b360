"""zuvo.exe started with one MP3 path plays it: through wave-out the captured samples are those
of an independent decode (`mpg123 --no-gapless -s`), sample-aligned and within 2 LSB, for
44.1 kHz stereo, 48 kHz stereo and 22.05 kHz mono; through DirectSound, which Wine mixes to
48 kHz float, the tone bursts of a test file arrive with their timing. The audio is captured
by an ALSA file plugin."""
import array
import math
import os
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
    def play(self, name, make, wavedevice, ini_extra=b''):
        """Plays the file that make(path) creates; returns (capture bytes, mp3 path)."""
        z = Install(name)
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

    def check_aligned(self, name, cap, ref, channels, rate):
        """Sample-aligned: the first captured sample is the decode's first sample, and every
        sample is within 2 LSB, apart from the silence Wine inserts when its device runs dry."""
        diff, runs, end = e2e_lib.wine_underruns(cap, ref, channels, rate)
        if runs:
            print('%s: Wine inserted silence at (frame, frames): %s' % (name, runs))
        self.assertLessEqual(diff, 2)
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
