"""Winamp plug-ins beside zuvo.exe: a FLAC file plays through the Winelib input plug-in
"in_sndfile.dll" and the wave-out capture is ffmpeg's decode sample for sample, also after an
MP3 through the gapless ring, when it starts inside the track (a seek) and after Stop/Resume; with the DSP plug-in on, an MP3 is
heard doubled and saturated, exactly; each fault of the faulty plug-in leaves a line in
error.log and the player goes on with the next track; a 21st input plug-in is not loaded."""
import array
import glob
import os
import shutil
import unittest

import e2e_lib
from e2e_lib import command, decode, make_mp3, stop, wait_steady, wait_until
from e2e_lib import ffmpeg_samples as ffmpeg_decode

def plugin(name):
    return e2e_lib.standin(name, 'plugins')


def make_flac(path, seconds, rate=44100, channels=2):
    """A sweep with noise (every stretch found at one place only), as FLAC."""
    return e2e_lib.make_sound(path, seconds, noise=True, rate=rate, channels=channels)


def error_log(z):
    return e2e_lib.read(os.path.join(z.prog, 'error.log'), b'').decode('latin-1')


class Plugins(unittest.TestCase):
    def start(self, name, files, beside, ini=b'', env=None, keep_openings=False):
        return e2e_lib.start_on_files(self, name, files, beside, ini, keep_openings, env=env)

    def play_out(self, proc, cap, ref):
        """The capture once playback has ended; ref: the samples of a track it holds whole."""
        size = lambda: e2e_lib.file_size(cap)
        wait_until(size, 60, 'playback to start')
        wait_steady(size, 3, 120, 'playback to end', at_least=len(ref) * 2)
        stop(proc, self)
        return e2e_lib.samples(cap)

    def assert_plays(self, cap, ref, channels, rate, what, tolerance=0):
        diff, runs, end = e2e_lib.wine_underruns(cap, ref, channels, rate)
        if runs:
            print('%s: Wine inserted silence at (frame, frames): %s' % (what, runs))
        self.assertLessEqual(diff, tolerance, what)
        self.assertLessEqual(len(runs), 3, 'the device ran dry too often')
        return end

    def test_flac_plays_through_the_input_plugin(self):
        # 44.1 kHz stereo started alone, without the ring; 22.05 kHz mono through the ring,
        # after an MP3 whose end the ring plays out first, on an opening of its own.
        z, proc, cap, paths = self.start('flac44', [('a.flac', lambda p: make_flac(p, 4.3))],
                                         [plugin('in_sndfile.dll')], b'gapless=0\r\n')
        ref = ffmpeg_decode(paths[0])
        got = self.play_out(proc, cap, ref)
        end = self.assert_plays(got, ref, 2, 44100, 'flac44')
        self.assertEqual(max((abs(x) for x in got[end:]), default=0), 0)
        self.assertEqual(error_log(z), '')

        z, proc, cap, (mp3, flac) = self.start(
            'mp3flac', [('1 a.mp3', lambda p: make_mp3(p, 2.2, volume=0.5)),
                        ('2 b.flac', lambda p: make_flac(p, 4.3, 22050, 1))],
            [plugin('in_sndfile.dll')], b'gapless=1\r\n', keep_openings=True)
        ref = ffmpeg_decode(flac)
        got = self.play_out(proc, cap + '.0001', ref)
        self.assertIsNotNone(e2e_lib.find(e2e_lib.samples(cap), decode(mp3)[-4410 * 2:]),
                             "the MP3's end")
        end = self.assert_plays(got, ref, 1, 22050, 'flac22')
        self.assertEqual(max((abs(x) for x in got[end:]), default=0), 0)
        self.assertEqual(error_log(z), '')

    def test_seek_and_stop_resume_on_a_flac_file(self):
        # Each restart opens the device anew: opening 1 is the start, 2 after the seek
        # forward, 3 after Stop/Resume. Each continues ffmpeg's decode exactly from where the
        # plug-in was asked to begin.
        rate = 44100
        z, proc, cap, (flac,) = self.start(
            'flacseek', [('long.flac', lambda p: make_flac(p, 30))], [plugin('in_sndfile.dll')],
            b'gapless=0\r\noutbuflength=1\r\n', keep_openings=True)
        ref = ffmpeg_decode(flac)
        size = e2e_lib.file_size
        wait_until(lambda: size(cap) > 4 * rate * 2, 60, 'playback to start')
        self.assertEqual(command('FastForward'), 0)
        wait_until(lambda: size(cap + '.0001') > 4 * rate * 2, 60, 'playback after the seek')
        self.assertEqual(command('StopResume'), 0)  # stop
        wait_steady(lambda: size(cap + '.0001'), 1, 30, 'the stop')
        self.assertEqual(command('StopResume'), 0)  # resume
        wait_until(lambda: size(cap + '.0002') > 4 * rate * 2, 60, 'playback after the resume')
        stop(proc, self)
        before = len(e2e_lib.samples(cap)) // 2
        starts = []
        for part in ('.0001', '.0002'):
            got = e2e_lib.samples(cap + part)
            at = e2e_lib.find(ref, got, 4096, 0, None, 2, 256)
            self.assertIsNotNone(at, 'opening %s not found in the decode' % part)
            # Up to a second before the opening ends (where a stop may fade it).
            diff, runs, _ = e2e_lib.wine_underruns(got, ref[at:at + len(got) - 2 * rate], 2,
                                                   rate)
            self.assertEqual(diff, 0, part)
            self.assertLessEqual(len(runs), 3)
            starts.append(at // 2)
        print('heard %.2f s, then from %.2f s (seek), from %.2f s (resume)' %
              (before / rate, starts[0] / rate, starts[1] / rate))
        # Forward by skip_times' 15 s from the position heard (the capture runs a little ahead
        # of what the engine counts as heard).
        self.assertAlmostEqual(starts[0] / rate, before / rate + 15, delta=1.5)
        # The resume repeats a little of what was heard after the seek (the back-off).
        after_seek = len(e2e_lib.samples(cap + '.0001')) // 2
        self.assertLess(starts[1], starts[0] + after_seek)
        self.assertGreater(starts[1], starts[0])

    def test_dsp_plugin_doubles_an_mp3_with_saturation(self):
        z, proc, cap, paths = self.start(
            'dspgain', [('a.mp3', lambda p: make_mp3(p, 4.1, volume=0.7, lame=['-b', '128']))],
            [plugin('dsp_zuvogain.dll')], b'wave_flags=256\r\n')
        ref = decode(paths[0], gapless=False)
        got = self.play_out(proc, cap, ref)
        doubled = array.array('h', (max(-32768, min(32767, 2 * x)) for x in ref))
        self.assertGreater(sum(1 for x in ref if abs(x) > 16384), 1000, 'the test clips')
        # Wine's ACM decoder is within 2 LSB of mpg123's (test_playback), doubled 4.
        self.assert_plays(got, doubled, 2, 44100, 'dsp', 4)
        clipped = [i for i, x in enumerate(doubled[:len(got)]) if abs(x) == 32767]
        self.assertTrue(clipped and all(abs(got[i]) >= 32763 for i in clipped))

    def test_each_fault_logs_and_the_next_track_plays(self):
        first = lambda p: make_mp3(p, 1.6, volume=0.5)
        last = lambda p: make_mp3(p, 2.1, '300-3000', noise=True, volume=0.5)
        empty = lambda p: open(p, 'wb').close() or p
        faulty = plugin('in_faulty.dll')
        # With 21 copies of the plug-in beside the program, the 21st is not loaded.
        folder = os.path.join(e2e_lib.ARGS.work, 'plugins21')
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        copies = [faulty] + [shutil.copy(faulty, os.path.join(folder, 'in_f%02d.dll' % n))
                             for n in range(1, 21)]
        cases = [
            ('fplay', '2 playfail.bad', {}, 'Input plug-in: Play failed', copies),
            ('fsilent', '2 silent.bad', {}, 'Input plug-in: the track ended without audio',
             [faulty]),
            ('finit', '2 any.bad', {'ZUVO_FAULTY_INIT': 'fail'},
             'Input plug-in failed to initialise: in_faulty.dll', [faulty]),
        ]
        for name, bad, env, line, beside in cases:
            with self.subTest(name=name):
                # The player walks from the first track over the faulty one to the third.
                z, proc, cap, paths = self.start(
                    name, [('1 first.mp3', first), (bad, empty), ('3 last.mp3', last)],
                    beside, b'gapless=0\r\n', env)
                ref = decode(paths[2], gapless=False)
                got = self.play_out(proc, cap, ref)
                self.assertIn(line, error_log(z))
                self.assertIsNotNone(e2e_lib.find(got, ref, 1152 * 2 * 4), 'the last track')
                # The plug-ins load after the window exists: counted once it is gone.
                loaded = glob.glob(os.path.join(z.prog, '*.loaded'))
                self.assertEqual(len(loaded), min(len(beside), 20), loaded)


if __name__ == '__main__':
    e2e_lib.main()
