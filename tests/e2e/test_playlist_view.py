"""The Playlist view pane: Shift+F5 opens and closes it, "/enqueue" from a second start appends
to it (opening it when closed), its rows are written to the list state file "p" when it closes
and at exit and come back when it opens, it opens again at the next start, and a track started
from it is followed by the pane's next rows, not the File view's (test_folder_play's tracks,
enqueued out of folder order, so that the capture tells which list was followed)."""
import os
import unittest

import e2e_lib
from e2e_lib import Install, capture_audio, command, find, map_drive, stop, wait_until
from test_folder_play import CHANNELS, compare, make_tracks

PANE = 'Playlist view'


def lists():
    """{name: (rows, width, height)} of the main window's list controls."""
    out = e2e_lib.send_output('lists')[1]
    found = {}
    for line in out.decode('utf-8', 'replace').splitlines():
        parts = line.split(' ', 3)
        if len(parts) >= 3:
            found[parts[3] if len(parts) > 3 else ''] = tuple(int(p) for p in parts[:3])
    return found


def saved_rows(z):
    """(name, folder) of each row of the list state file beside the settings file."""
    data = e2e_lib.read(z.ini[:-1] + 'p')
    return [tuple(line.split(b'|')[k].decode() for k in (0, 2))
            for line in data.split(b'\r\n') if line]


class PlaylistView(unittest.TestCase):
    def pane_rows(self, n):
        def check():
            p = lists().get(PANE)
            return p if p and p[0] == n else None
        return wait_until(check, 10, lambda: 'the pane showing %d rows: %r' % (n, lists()))

    def test_pane_enqueue_saved_rows_and_play(self):
        z = Install('plview')
        root = z.subfolder('drive')
        tracks = make_tracks(root)  # a1 a2 a3 b1 b2
        drive = map_drive(self, 'p', root)
        track = {os.path.basename(mp3)[:2]: (mp3, ref) for mp3, ref in tracks}
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nvolume=65535\r\nwavedevice=0\r\ngapless=1\r\n'
                    b'control_flags=32\r\nbrowsed_folder=' + drive.encode() + b'\\A\r\n')

        def enqueue(name):
            folder = name[0].upper()
            rc, _ = z.run('%s\\%s\\%s.mp3' % (drive, folder, name), '/enqueue', '/localini')
            self.assertEqual(rc, 0)

        proc = z.launch(self, '/localini', visible=True)
        self.assertNotIn(PANE, lists())
        self.assertEqual(command('PlaylistView'), 0)
        rows, w, h = self.pane_rows(0)
        # Both lists keep a place in the window.
        files = lists()['']
        self.assertTrue(w > 0 and h > 0 and files[1] > 0 and files[2] > 0, lists())
        enqueue('b2')
        enqueue('a1')
        self.pane_rows(2)
        # Appended in the order they came, whatever the folders' order.
        self.assertEqual([n for _, n in e2e_lib.rows(PANE)], ['b2.mp3', 'a1.mp3'])
        # Closing writes the rows; the File view is then the only list.
        self.assertEqual(command('PlaylistView'), 0)
        wait_until(lambda: PANE not in lists(), 10, 'the pane to close')
        self.assertEqual(saved_rows(z), [('b2.mp3', drive + '\\B'), ('a1.mp3', drive + '\\A')])
        # "/enqueue" with the pane closed opens it with the saved rows and appends.
        enqueue('a2')
        self.pane_rows(3)
        stop(proc, self)
        ini = z.read_ini().split(b'\r\n')
        pw = [int(l.split(b'=')[1]) for l in ini if l.startswith(b'playlist_win=')]
        self.assertTrue(pw and pw[0] & 0x8000, 'playlist_win does not say open: %r' % pw)
        self.assertEqual([r[0] for r in saved_rows(z)], ['b2.mp3', 'a1.mp3', 'a2.mp3'])

        # Next start: the pane is open with its rows; Tab to it and Return plays its first row.
        cap_path = capture_audio(self, z.folder)
        proc = z.launch(self, '/localini', visible=True)
        self.pane_rows(3)
        self.assertEqual(command('NextPane'), 0)
        self.assertEqual(command('Return'), 0)
        want = 2 * sum(len(track[n][1]) for n in ('b2', 'a1', 'a2'))  # bytes
        wait_until(lambda: e2e_lib.file_size(cap_path) >= want, 60, 'the three rows played',
                   interval=0.1)
        stop(proc, self)
        cap = e2e_lib.samples(cap_path)
        at, joins = 0, []
        for n in ('b2', 'a1', 'a2'):
            start = find(cap, track[n][1], 0, at)
            self.assertIsNotNone(start, '%s not played after the rows before it' % n)
            if at:
                joins.append((start - at) // CHANNELS)
            at, worst, _ = compare(cap, start, track[n][1])
            self.assertLessEqual(worst, 2, '%s differs from its decode' % n)
        print('pane rows b2, a1, a2 played in order; joins (frames):', joins)
        self.assertEqual(joins, [0, 0], 'the pane\'s rows were not joined gaplessly')


if __name__ == '__main__':
    e2e_lib.main()
