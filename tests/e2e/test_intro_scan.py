"""The intro scan in zuvo.exe: its window's Start plays the selected row of the File view from
the intro start (20 % of the track) for the intro length, then the next row, to the end of the
list. Each intro is its own opening of the wave-out device; the capture of each must be its
own track from the start point, cut short, in the list's order, and the scan must stop after
the last row."""
import os
import unittest

import e2e_lib
from e2e_lib import Install, capture_audio, command, send, stop

RATE, CHANNELS = 44100, 2
SECONDS = 30
START_PERCENT, LENGTH_HALVES = 20, 4  # intros of 2 s from 20 % of each track
TRACKS = (('t1', '100-3000'), ('t2', '5000-400'), ('t3', '800-9000'))
INTRO_CLASS, START_BUTTON = 'ZuvoIntroScan', '106'
PROBE = 64


class IntroScan(unittest.TestCase):
    def test_intros_of_every_row_in_order(self):
        z = Install('introscan')
        music = z.subfolder()
        refs = [e2e_lib.decode(e2e_lib.make_mp3(os.path.join(music, name + '.mp3'), SECONDS,
                                                sweep, True, lame=('-b', '160')))
                for name, sweep in TRACKS]
        capture_audio(self, z.folder, keep_openings=True)
        proc = e2e_lib.start_with(self, z, None, ('gapless=1\r\nintro_scan=%d\r\nbrowsed_folder=%s'
                                                  '\r\n' % (START_PERCENT << 8 | LENGTH_HALVES,
                                                             e2e_lib.win_path(music))).encode())
        e2e_lib.wait_listed(len(TRACKS))
        self.assertEqual(command('IntroScan'), 0)
        self.assertEqual(send('press', INTRO_CLASS, START_BUTTON), 0, 'no intro scan window')
        # The scan has ended when no intro has been written for a while.
        sizes = e2e_lib.wait_steady(lambda: e2e_lib.capture_sizes(z.folder), 8, 90,
                                    'the intro scan to end')
        # Its controls take the keys of a dialog: Tab moves the keyboard on to the next one.
        focus = lambda: e2e_lib.send_output('focus', INTRO_CLASS)[1].strip()
        before = e2e_lib.wait_until(focus, 10, 'a control of the window to have the keyboard')
        self.assertEqual(send('menukey', '9', INTRO_CLASS), 0)
        e2e_lib.wait_until(lambda: focus() not in (b'', before), 10, 'Tab to move the focus')
        stop(proc, self)

        openings = sorted((n for n in sizes if sizes[n] > 0), key=lambda n: (len(n), n))
        self.assertEqual(len(openings), len(TRACKS), 'one intro per row, then the scan stops')
        for k, (n, ref) in enumerate(zip(openings, refs)):
            cap = e2e_lib.samples(os.path.join(z.folder, n))
            # A little into the intro: the first frames after a seek may differ.
            probe_at = RATE * CHANNELS // 4
            self.assertGreater(len(cap), probe_at + PROBE, '%s: intro too short' % n)
            start = e2e_lib.find(ref, cap, probe_at)  # where the intro begins in the track
            self.assertIsNotNone(start, 'intro %d is not %s' % (k + 1, TRACKS[k][0]))
            start_s = start / CHANNELS / RATE
            heard_s = len(cap) / CHANNELS / RATE
            print('intro %d: %s from %.2f s (%.1f %%), %.2f s captured' % (
                k + 1, TRACKS[k][0], start_s, 100 * start_s / SECONDS, heard_s))
            self.assertAlmostEqual(start_s, SECONDS * START_PERCENT / 100, delta=0.5)
            self.assertLess(start_s + heard_s, SECONDS - 1, 'the intro was not cut short')


if __name__ == '__main__':
    e2e_lib.main()
