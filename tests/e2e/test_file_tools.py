"""The file tools on the real zuvo.exe under Wine, on generated files whose hashes are taken
before: every check compares the hashes of all files under the test folder before and after,
so no byte changes except as the operation says.

Move/Rename of the playing track renames it without a break: the wave-out capture equals the
reference decode across the rename, and the row shows the new name. Copy to with numbering
writes 01_, 02_, 03_ (and 99_, 100_, 101_) copies and refuses to write over an existing name.
Delete asks first (Cancel changes nothing), or with list_style 0x100 sends the file whole into
Wine's trash under $XDG_DATA_HOME without asking."""
import hashlib
import os
import time
import unittest

import e2e_lib
from e2e_lib import (Install, capture_audio, command, decode, make_mp3, send, stop, wait_steady,
                     wait_until, win_path)

PANEL_CHECK, PANEL_NUMBER = 1201, 1203  # the numbering panel of the copy dialog
DIALOG_TITLE = 'Select destination'


def hashes(folder):
    """{path relative to folder: sha1} of every file below folder."""
    out = {}
    for root, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(root, name)
            with open(path, 'rb') as f:
                out[os.path.relpath(path, folder)] = hashlib.sha1(f.read()).hexdigest()
    return out


def names():
    return [cell for _, cell in e2e_lib.rows()]


class FileTools(unittest.TestCase):
    def setUp(self):
        os.environ['LC_ALL'] = 'C.UTF-8'

    def start(self, z, browsed, extra=b''):
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nvolume=65535\r\nwavedevice=0\r\nbrowsed_folder=' +
                    win_path(browsed).encode('utf-8') + b'\r\n' + extra)
        proc = z.start('/localini')
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        self.assertEqual(send('wait', '20000'), 0, 'no main window')
        wait_until(e2e_lib.rows, 20, 'the start folder listed')
        return proc

    def tracks(self, folder, count):
        os.makedirs(folder)
        for i, n in enumerate('abcdefg'[:count]):
            with open(os.path.join(folder, n + '.mp3'), 'wb') as f:
                f.write(b'\xff\xfb\x90\x00' * (64 + i) + n.encode() * 100)

    def test_delete_asks_first_then_deletes(self):
        z = Install('ftdelete')
        music = os.path.join(z.folder, 'Music')
        self.tracks(music, 3)
        before = hashes(music)
        proc = self.start(z, music)
        self.assertEqual(send('select', 'b'), 0)
        self.assertEqual(command('Delete'), 0)
        self.assertEqual(send('dlgclick', 'Confirmation', '2'), 0, 'no confirmation')  # Cancel
        wait_until(lambda: send('wintext', '#32770', '200') != 0, 10, 'the question closed')
        self.assertEqual(hashes(music), before)
        self.assertEqual(names(), ['a', 'b', 'c'])
        self.assertEqual(command('Delete'), 0)
        self.assertEqual(send('dlgclick', 'Confirmation', '1'), 0, 'no confirmation')  # OK
        wait_until(lambda: names() == ['a', 'c'], 10, 'the row of b removed')
        del before['b.mp3']
        self.assertEqual(hashes(music), before)
        stop(proc, self)

    def test_delete_to_recycle_bin(self):
        z = Install('ftrecycle')
        music, xdg = os.path.join(z.folder, 'Music'), os.path.join(z.folder, 'xdg')
        self.tracks(music, 3)
        os.makedirs(xdg)
        os.environ['XDG_DATA_HOME'] = xdg
        self.addCleanup(os.environ.pop, 'XDG_DATA_HOME', None)
        before = hashes(music)
        proc = self.start(z, music, b'list_style=256\r\n')
        self.assertEqual(send('select', 'c'), 0)
        self.assertEqual(command('Delete'), 0)
        wait_until(lambda: names() == ['a', 'b'], 10, 'the row of c removed without a question')
        trash = os.path.join(xdg, 'Trash', 'files')
        wait_until(lambda: os.path.isdir(trash) and os.listdir(trash), 10, 'the trash filled')
        self.assertEqual(hashes(trash), {'c.mp3': before.pop('c.mp3')})
        self.assertEqual(hashes(music), before)
        stop(proc, self)

    def copy(self, rows, dest, first=None, failure=False):
        self.assertEqual(send('select', *rows), 0)
        self.assertEqual(command('CopyTo'), 0)
        if first is not None:
            self.assertEqual(send('dlgclick', DIALOG_TITLE, str(PANEL_CHECK)), 0, 'no panel')
            wait_until(lambda: send('dlgset', DIALOG_TITLE, str(PANEL_NUMBER), str(first)) == 0,
                       10, 'the start number set')
        self.assertEqual(send('save', win_path(dest) + '\\ignored.mp3'), 0)
        if failure:
            self.assertEqual(send('dlgclick', 'Error', '1'), 0, 'no "Operation failed."')

    def test_numbered_copies_and_refusal(self):
        z = Install('ftcopy')
        music, dest = os.path.join(z.folder, 'Music'), os.path.join(z.folder, 'Out')
        self.tracks(music, 3)
        os.makedirs(dest)
        src = hashes(music)
        proc = self.start(z, music)
        self.copy(['a', 'b', 'c'], dest, first=1)
        want = {'01_a.mp3': src['a.mp3'], '02_b.mp3': src['b.mp3'], '03_c.mp3': src['c.mp3']}
        wait_until(lambda: hashes(dest) == want, 10, 'three numbered copies')
        self.copy(['a', 'b', 'c'], dest, first=99)
        want.update({'99_a.mp3': src['a.mp3'], '100_b.mp3': src['b.mp3'],
                     '101_c.mp3': src['c.mp3']})
        wait_until(lambda: hashes(dest) == want, 10, '99_, 100_ and 101_')
        # 02_b exists (changed here): 01_a is written, the copy stops at 02_b, 03_c never comes.
        with open(os.path.join(dest, '02_b.mp3'), 'wb') as f:
            f.write(b'kept')
        want['02_b.mp3'] = hashlib.sha1(b'kept').hexdigest()
        os.remove(os.path.join(dest, '01_a.mp3'))
        os.remove(os.path.join(dest, '03_c.mp3'))
        del want['01_a.mp3'], want['03_c.mp3']
        self.copy(['a', 'b', 'c'], dest, first=1, failure=True)
        want['01_a.mp3'] = src['a.mp3']
        self.assertEqual(hashes(dest), want)
        self.assertEqual(hashes(music), src)
        stop(proc, self)

    def test_rename_of_the_playing_track(self):
        z = Install('ftrename')
        music = os.path.join(z.folder, 'Music')
        os.makedirs(music)
        mp3 = make_mp3(os.path.join(music, 'song.mp3'), 25, noise=True, volume=0.3)
        ref = decode(mp3, gapless=False)
        with open(os.path.join(music, 'other.mp3'), 'wb') as f:
            f.write(b'\xff\xfb\x90\x00' * 64)
        before = hashes(music)
        cap = capture_audio(self, z.folder)
        proc = self.start(z, music)
        self.assertEqual(send('select', 'song'), 0)
        self.assertEqual(command('Return'), 0)
        size = lambda: os.path.getsize(cap) // 4 if os.path.exists(cap) else 0  # frames
        # A few seconds in, well before the end (the capture runs faster than real time).
        wait_until(lambda: size() > 44100 * 4, 30, 'four seconds played')
        self.assertEqual(command('MoveRename'), 0)
        self.assertEqual(send('wintext', '#32770', '10000'), 0, 'no save dialog')
        t0 = time.monotonic()
        self.assertEqual(send('save', win_path(os.path.join(music, 'renamed.mp3'))), 0)
        closed_s, closed = time.monotonic() - t0, size()  # the dialog is gone: the move starts
        wait_until(lambda: 'renamed' in names(), 10, 'the row renamed')
        row_s = time.monotonic() - t0
        shown = size()
        wait_steady(size, 3, 120, 'playback to end')
        stop(proc, self)
        samples = e2e_lib.samples(cap)
        diff, runs, _ = e2e_lib.wine_underruns(samples, ref, 2, 44100)
        # Where each run of silence lies in the capture: its place in the decode plus the
        # silence before it.
        placed, extra = [], 0
        for frame, frames in runs:
            placed.append((frame + extra, frames))
            extra += frames
        # The file dialog's own OK handling may stall the thread (Wine's dialog checks the
        # path); the move itself lies between the dialog's end and the renamed row.
        around = [f for at, f in placed if closed <= at <= shown]
        print('rename: dialog closed after %.2f s (frame %d)' % (closed_s, closed))
        print('rename: OK to row %.2f s; silence Wine inserted (capture frame, frames): %s; '
              'from the dialog\'s end to the row (frames %d-%d): longest %d frames (%.1f ms)' %
              (row_s, placed, closed, shown, max(around, default=0),
               max(around, default=0) / 44.1))
        self.assertLessEqual(diff, 2, 'the capture left the reference decode (gap or repeat)')
        self.assertGreater(len(samples) // 2, shown + 44100, 'playback did not go on')
        before['renamed.mp3'] = before.pop('song.mp3')
        self.assertEqual(hashes(music), before)


if __name__ == '__main__':
    e2e_lib.main()
