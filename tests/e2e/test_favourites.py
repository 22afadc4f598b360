"""A favourite with a position survives a restart and plays from there: a 40 s track (a sweep
with noise, so that every stretch is found at one place only) is bookmarked after 12 s with "Add
current position to favorites"; the settings file written at exit holds the entry; started
again, the first favourite (menu id 2000) plays the track from there, found in the track's own
decode within a frame and the decoder's start."""
import os
import re
import unittest

import e2e_lib
from e2e_lib import Install, capture_audio, command, send, stop, wait_until

RATE = 44100
BYTES_PER_S = RATE * 4
FIRST_FAVOURITE = 2000


class Favourites(unittest.TestCase):
    def test_position_favourite_plays_there_after_a_restart(self):
        z = Install('favourite')
        mp3 = e2e_lib.make_mp3(os.path.join(z.folder, 'fav.mp3'), 40, noise=True)
        capture_audio(self, z.folder, keep_openings=True)
        proc = e2e_lib.start_with(self, z, mp3, b'gapless=1\r\n')
        wait_until(lambda: e2e_lib.captured(z.folder) >= 12 * BYTES_PER_S, 60, '12 s of the track')
        before = e2e_lib.captured(z.folder)
        self.assertEqual(command('FavAddPosition'), 0)
        after = e2e_lib.captured(z.folder)
        stop(proc, self)
        m = re.search(rb'^fav_set=(\d{10}),(.*?)\r$', z.read_ini(), re.M)
        self.assertIsNotNone(m, 'no favourite in the settings file')
        pos = int(m.group(1))
        self.assertEqual(m.group(2).decode('utf-8'), e2e_lib.win_path(mp3))
        # Where the device was when the command went and came back (it may hold a second).
        self.assertGreaterEqual(pos, before * 1000 // BYTES_PER_S - 2000)
        self.assertLessEqual(pos, after * 1000 // BYTES_PER_S + 2000)

        for name in e2e_lib.capture_sizes(z.folder):
            os.remove(os.path.join(z.folder, name))
        proc = z.launch(self, '/localini')
        self.assertEqual(send('command', str(FIRST_FAVOURITE)), 0)
        wait_until(lambda: e2e_lib.captured(z.folder) >= 3 * BYTES_PER_S, 60, 'the favourite to play')
        stop(proc, self)
        first = sorted(e2e_lib.capture_sizes(z.folder), key=lambda n: (len(n), n))[0]
        cap = e2e_lib.samples(os.path.join(z.folder, first))
        skip = RATE * 2  # one second in: past a fade-in on resume
        lo = max(0, (pos - 3000) * RATE // 1000 * 2)
        at = e2e_lib.find(e2e_lib.decode(mp3), cap, skip, lo, lo + 6 * RATE * 2)
        self.assertIsNotNone(at, 'the capture is not the track around %d ms' % pos)
        start_ms = at // 2 * 1000 / RATE
        print('favourite at %d ms; playback began at %.1f ms of the track' % (pos, start_ms))
        self.assertLess(abs(start_ms - pos), 100)


if __name__ == '__main__':
    e2e_lib.main()
