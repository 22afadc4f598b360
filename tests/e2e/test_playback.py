"""zuvo.exe started with one MP3 path plays it: through wave-out the captured samples are those
of an independent decode (`mpg123 -s`, untrimmed without the gapless ring), sample-aligned and
within 2 LSB, for 48 kHz stereo and 22.05 kHz mono without the ring and 44.1 kHz stereo
through it, and exactly with the mpglib stand-in; through DirectSound, which Wine mixes to
48 kHz float, a sweep is heard whole, from its first frequency to its end. The audio is
captured by an ALSA file plugin."""
import os
import unittest

import e2e_lib
from e2e_lib import (Install, capture_audio, decode, make_mp3, rows, stop, wait_steady,
                     wait_until)


def frequency(samples, channels, rate, start, seconds=0.1):
    """The frequency (Hz) of the tone in channel 0 over `seconds` from frame `start`: whole
    periods between the first and the last rising zero crossing (interpolated between frames),
    so that it does not depend on the rate the tone was sampled at."""
    t = []
    for i in range(max(start, 1), min(len(samples) // channels, start + int(seconds * rate))):
        a, b = samples[(i - 1) * channels], samples[i * channels]
        if a < 0 <= b:
            t.append((i - 1 + a / (a - b)) / rate)
    return (len(t) - 1) / (t[-1] - t[0]) if len(t) > 2 else 0.0


def sounding(samples, channels, threshold):
    """First and last frame whose channel 0 is above threshold, or (0, 0)."""
    loud = [i for i in range(0, len(samples) // channels)
            if abs(samples[i * channels]) > threshold]
    return (loud[0], loud[-1]) if loud else (0, 0)


class Playback(unittest.TestCase):
    def play(self, name, make, wavedevice, whole, ini_extra=b'', beside=()):
        """Plays the file that make(path) creates, with the files `beside` copied beside
        zuvo.exe; returns (capture path, mp3 path). whole(samples of the trimmed decode): the
        bytes the capture holds at least once the track has played whole."""
        z = Install(name, beside)
        mp3 = os.path.join(z.folder, name + '.mp3')
        make(mp3)
        at_least = whole(len(decode(mp3)))
        cap = capture_audio(self, z.folder)
        proc = e2e_lib.start_with(self, z, mp3, ini_extra, wavedevice)
        # The file's folder is listed: its one track is a row (not an empty view under
        # "1 tracks").
        wait_until(lambda: [r[1] for r in rows()] == [name], 10,
                   lambda: 'the File view to show %s: %r' % (name, rows()))
        # Playback has ended when the capture has stopped growing.
        size = lambda: e2e_lib.file_size(cap)
        wait_until(size, 60, 'playback to start')
        wait_steady(size, 3, 120, 'playback to end', at_least=at_least)
        stop(proc, self)
        return cap, mp3

    def check_wave_out(self, name, rate, channels, lame, ini=b'', beside=(), tolerance=2):
        """Sample-aligned: the first captured sample is the decode's first sample, and every
        sample is within tolerance (LSB), apart from the silence Wine inserts when its device
        runs dry; what follows the track is the silence written after its end. Through the
        gapless ring the decode is trimmed of the encoder's delay and padding."""
        cap, mp3 = self.play(name, lambda p: make_mp3(p, 5.7, rate=rate, channels=channels,
                                                      volume=0.7, lame=lame), 0,
                             lambda n: n * 2, ini, beside)
        cap = e2e_lib.samples(cap)
        ref = decode(mp3, gapless=b'gapless=1' in ini)
        diff, runs, end = e2e_lib.wine_underruns(cap, ref, channels, rate)
        if runs:
            print('%s: Wine inserted silence at (frame, frames): %s' % (name, runs))
        self.assertLessEqual(diff, tolerance)
        self.assertLessEqual(len(runs), 3, 'the device ran dry too often')
        self.assertEqual(max((abs(x) for x in cap[end:]), default=0), 0)

    def test_wave_out_48k_stereo(self):
        self.check_wave_out('wo48', 48000, 2, ['-V', '2'])

    def test_wave_out_22k_mono(self):
        self.check_wave_out('wo22', 22050, 1, ['-b', '64'])

    def test_wave_out_gapless_ring(self):
        self.check_wave_out('wogap', 44100, 2, ['-b', '160'], b'gapless=1\r\n')

    def test_mpglib_stand_in_plays_sample_exactly(self):
        # The mpglib decoder path with the Winelib "mpglib.dll" over libmpg123 beside the
        # program: the same library decodes on both sides, so nothing may differ.
        dll = e2e_lib.standin('mpglib.dll')
        for name, rate, channels, gapless in [('lib44', 44100, 2, 0), ('lib22', 22050, 1, 1)]:
            with self.subTest(name=name):
                self.check_wave_out(name, rate, channels, ['-b', '96'],
                                    b'use_mpglib=1\r\ngapless=%d\r\n' % gapless, [dll], 0)

    def test_direct_sound_plays_the_whole_track(self):
        # A linear sweep through DirectSound is heard from its start to its end, in the two
        # byte rates whose one-second buffer is exactly three segments long (22.05 kHz mono;
        # 22.05 kHz stereo, the byte rate of 44.1 kHz mono) and in 44.1 kHz stereo (5.4
        # segments). Wine mixes to 48 kHz float, so the capture is judged by the length of its
        # sound and by the sweep's frequency where the sound begins and half a second later,
        # against an independent decode.
        seconds, low, high = 6.1, 100.0, 5000.0
        for rate, channels, kbps in [(22050, 1, 64), (22050, 2, 64), (44100, 2, 128)]:
            with self.subTest(rate=rate, channels=channels):
                name = 'dsw%d%d' % (rate // 1000, channels)
                cap, mp3 = self.play(name, lambda p: make_mp3(
                    p, seconds, '%g:%g' % (low, high), volume=0.7, rate=rate, channels=channels,
                    lame=('-b', str(kbps))), 128, lambda n: n // channels * 48000 // rate * 8)
                cap = e2e_lib.samples(cap, 'f')
                ref = decode(mp3, gapless=False)
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


if __name__ == '__main__':
    e2e_lib.main()
