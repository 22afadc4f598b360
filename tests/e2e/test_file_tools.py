"""The file tools on the real zuvo.exe under Wine, on generated files whose hashes are taken
before: every check compares the hashes of all files under the test folder before and after,
so no byte changes except as the operation says. The playing track renamed and moved within
its drive plays on without a break (the capture equals the reference decode); moved to
another drive it starts again where it was heard."""
import hashlib
import os
import re
import time
import unittest

import e2e_lib
from e2e_lib import (Install, capture_audio, command, decode, make_mp3, send, send_output, stop,
                     wait_steady, wait_until, win_path)

PANEL_CHECK, PANEL_NUMBER = 1201, 1203  # the numbering panel of the copy dialog
DIALOG_TITLE = 'Select destination'


def tree_children(printed, parent):
    """The children's texts of the first item named parent in zuvo-send's tree printout."""
    lines = printed.splitlines()
    indent = lambda line: len(line) - len(line.lstrip(' '))
    for i, line in enumerate(lines):
        if line.strip() in (parent, parent + ' +'):
            level, out = indent(line), []
            for below in lines[i + 1:]:
                if indent(below) <= level:
                    break
                if indent(below) == level + 2:
                    out.append(below.strip())
            return out
    return []


class FileTools(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        os.environ['LC_ALL'] = 'C.UTF-8'

    def tracks(self, folder, count):
        os.makedirs(folder)
        for i, n in enumerate('abcdefg'[:count]):
            e2e_lib.write(os.path.join(folder, n + '.mp3'),
                          b'\xff\xfb\x90\x00' * (64 + i) + n.encode() * 100)

    def test_seamless_moves_of_the_playing_track(self):
        """Renamed in its folder, then moved into a folder made after the tree was read (as
        the save dialog's "new folder" makes one): the capture is the reference decode
        throughout, the rows follow and the tree shows the new folder under its parent."""
        z = Install('ftrename')
        music = os.path.join(z.folder, 'Music')
        os.makedirs(os.path.join(music, 'Album'))
        mp3 = make_mp3(os.path.join(music, 'song.mp3'), 25, noise=True, volume=0.3)
        ref = decode(mp3, gapless=False)
        e2e_lib.write(os.path.join(music, 'other.mp3'), b'\xff\xfb\x90\x00' * 64)
        before = e2e_lib.hashes(music)
        cap = capture_audio(self, z.folder)
        proc = z.start_in(self, music)
        # The items under Music, with Music expanded as a click on its button does.
        under = lambda: tree_children(send_output('tree', 'Music')[1].decode('utf-8'), 'Music')
        wait_until(lambda: 'Album' in under(), 10, lambda: 'Album not shown: %r' % under())
        self.assertEqual(send('select', 'song'), 0)
        self.assertEqual(command('Return'), 0)
        size = lambda: e2e_lib.file_size(cap) // 4  # frames
        # A few seconds in, well before the end (the capture runs faster than real time).
        wait_until(lambda: size() > 44100 * 4, 30, 'four seconds played')
        self.assertEqual(command('MoveRename'), 0)
        self.assertEqual(send('wintext', '#32770', '10000'), 0, 'no save dialog')
        t0 = time.monotonic()
        self.assertEqual(send('save', win_path(os.path.join(music, 'renamed.mp3'))), 0)
        closed_s, closed = time.monotonic() - t0, size()  # the dialog is gone: the move starts
        wait_until(lambda: 'renamed' in e2e_lib.row_names(), 10, 'the row renamed')
        row_s, shown = time.monotonic() - t0, size()
        os.makedirs(os.path.join(music, 'New'))
        self.assertEqual(send('select', 'renamed'), 0)
        self.assertEqual(command('MoveRename'), 0)
        self.assertEqual(send('wintext', '#32770', '10000'), 0, 'no save dialog')
        self.assertEqual(send('save', win_path(os.path.join(music, 'New', 'renamed.mp3'))), 0)
        wait_until(lambda: under() == ['Album', 'New'], 10, lambda: 'under Music: %r' % under())
        moved = size()
        wait_steady(size, 3, 120, 'playback to end', at_least=len(ref) // 2)
        stop(proc, self)
        samples = e2e_lib.samples(cap)
        diff, runs, _ = e2e_lib.wine_underruns(samples, ref, 2, 44100)
        print('rename: dialog closed after %.2f s (frame %d), row after %.2f s (frame %d); '
              'silence Wine inserted (decode frame, frames): %s' % (closed_s, closed, row_s,
                                                                    shown, runs))
        self.assertLessEqual(diff, 2, 'the capture left the reference decode (gap or repeat)')
        self.assertGreater(len(samples) // 2, moved + 44100, 'playback did not go on')
        before[os.path.join('New', 'renamed.mp3')] = before.pop('song.mp3')
        self.assertEqual(e2e_lib.hashes(music), before)

    def test_move_of_the_playing_track_to_another_drive(self):
        z = Install('ftmove')
        music, other = z.subfolder('Music'), z.subfolder('Other')
        drive = e2e_lib.map_drive(self, 't', other)
        mp3 = make_mp3(os.path.join(music, 'song.mp3'), 20, noise=True, volume=0.3)
        ref = decode(mp3, gapless=False)
        before = e2e_lib.hashes(music)
        capture_audio(self, z.folder, keep_openings=True)
        sizes = lambda: e2e_lib.capture_sizes(z.folder)
        proc = z.start_in(self, music)
        self.assertEqual(send('select', 'song'), 0)
        self.assertEqual(command('Return'), 0)
        wait_until(lambda: sum(sizes().values()) > 44100 * 4 * 3, 30, 'three seconds played')
        self.assertEqual(command('MoveRename'), 0)
        self.assertEqual(send('save', drive + '\\moved.mp3'), 0)
        wait_until(lambda: 'song' not in e2e_lib.row_names(), 10, 'the row removed')
        # The output was closed and opened again: the second opening holds the restart.
        wait_until(lambda: sizes().get('cap.raw.0001', 0) > 44100 * 4, 30,
                   'playback started again after the move')
        first = e2e_lib.samples(os.path.join(z.folder, 'cap.raw'))
        stop(proc, self)
        self.assertEqual(e2e_lib.hashes(music), {})
        self.assertEqual(e2e_lib.hashes(other), {'moved.mp3': before['song.mp3']})
        # Started at the remembered position: the second opening begins where the decode
        # stood near the end of the first, not at the track's start.
        again = e2e_lib.samples(os.path.join(z.folder, 'cap.raw.0001'))
        resumed = e2e_lib.find(ref, again, at=44100 * 2 // 2)
        # What the first opening sounded (the noise is never silent; Wine's underruns are).
        played = sum(1 for i in range(0, len(first), 2) if first[i] or first[i + 1])
        print('move: the first opening sounded %d frames, the second starts at decode frame %s' %
              (played, resumed // 2 if resumed is not None else None))
        self.assertIsNotNone(resumed, 'the second opening is not the track')
        self.assertGreater(resumed // 2, 44100 * 2, 'started again from the beginning')
        # The position heard when it stopped: not past what the first opening sounded.
        self.assertLessEqual(resumed // 2, played, 'started again past the heard position')

    def test_row_tools_in_one_run(self):
        """The date dialog, numbered copies, the easy renamer, Delete (asked first), notes
        (shown in the info column, kept across a restart that restores the File view) and the
        beat counter on five small files."""
        z = Install('ftrows')
        music, dest = os.path.join(z.folder, 'Music'), os.path.join(z.folder, 'Out')
        self.tracks(music, 5)
        os.makedirs(dest)
        path = os.path.join(music, 'a.mp3')
        os.utime(path, (1600000000, 1600000000))  # 2020-09-13 12:26:40 UTC
        src = e2e_lib.hashes(music)
        proc = z.start_in(self, music, b'info_row=%d\r\nlist_style=%d\r\n' % (0x2000 | 120,
                                                                               0x10000))
        # The date dialog: file time to local time (what `stat` says, in the zone both
        # programs share), an impossible month refused, local time to file time.
        title = 'Date and time...'
        self.assertEqual(send('select', 'a'), 0)
        self.assertEqual(command('FileDate'), 0)
        rc, out = send_output('dlgtext', title, '101')
        self.assertEqual((rc, out.decode()),
                         (0, time.strftime('%Y-%m-%d %H:%M', time.localtime(1600000000))))
        self.assertEqual(send('dlgclick', title, '103'), 0)  # Change Modified
        self.assertEqual(send('dlgset', title, '101', '2024-13-01 10:00'), 0)
        self.assertEqual(send('dlgclick', title, '1'), 0)
        self.assertEqual(send('dlgtext', title, '101'), 0, 'the dialog closed')
        self.assertEqual(os.stat(path).st_mtime, 1600000000)
        self.assertEqual(send('dlgset', title, '101', '2021-03-04 05:06'), 0)
        self.assertEqual(send('dlgclick', title, '1'), 0)
        want = time.mktime((2021, 3, 4, 5, 6, 0, 0, 0, -1))
        wait_until(lambda: os.stat(path).st_mtime == want, 10, 'the modification time set')
        self.assertEqual(e2e_lib.row_names(), ['a', 'b', 'c', 'd', 'e'])

        # Numbered copies: 01_ to 03_, then 99_ to 101_; over an existing 02_b the copy writes
        # 01_a, stops at 02_b ("Operation failed.") and never reaches 03_c.
        def copy(first, failure=False):
            self.assertEqual(send('select', 'a', 'b', 'c'), 0)
            self.assertEqual(command('CopyTo'), 0)
            self.assertEqual(send('dlgclick', DIALOG_TITLE, str(PANEL_CHECK)), 0, 'no panel')
            wait_until(lambda: send('dlgset', DIALOG_TITLE, str(PANEL_NUMBER), str(first)) == 0,
                       10, 'the start number set')
            self.assertEqual(send('save', win_path(dest) + '\\ignored.mp3'), 0)
            if failure:
                self.assertEqual(send('dlgclick', 'Error', '1'), 0, 'no "Operation failed."')
        copy(1)
        want = {'01_a.mp3': src['a.mp3'], '02_b.mp3': src['b.mp3'], '03_c.mp3': src['c.mp3']}
        wait_until(lambda: e2e_lib.hashes(dest) == want, 10, 'three numbered copies')
        copy(99)
        want.update({'99_a.mp3': src['a.mp3'], '100_b.mp3': src['b.mp3'],
                     '101_c.mp3': src['c.mp3']})
        wait_until(lambda: e2e_lib.hashes(dest) == want, 10, '99_, 100_ and 101_')
        e2e_lib.write(os.path.join(dest, '02_b.mp3'), b'kept')
        want['02_b.mp3'] = hashlib.sha1(b'kept').hexdigest()
        os.remove(os.path.join(dest, '01_a.mp3'))
        os.remove(os.path.join(dest, '03_c.mp3'))
        del want['03_c.mp3']
        copy(1, failure=True)
        self.assertEqual(e2e_lib.hashes(dest), want)
        self.assertEqual(e2e_lib.hashes(music), src)

        # The easy renamer: one line too many changes nothing; c's new name cannot be used,
        # so e and d (done first, from the last line) stay renamed, a and b are not reached.
        title = 'Easy renamer'
        self.assertEqual(send('select', 'a', 'b', 'c', 'd', 'e'), 0)
        self.assertEqual(command('EasyRenamer'), 0)
        self.assertEqual(send('dlgset', title, '102',
                              'a.mp3\r\nb.mp3\r\nc.mp3\r\nd.mp3\r\nz.mp3\r\n\r\n'), 0)
        self.assertEqual(send('dlgclick', title, '1'), 0)
        self.assertEqual(send('dlgclick', 'Error', '1'), 0, 'no "Wrong filename line count."')
        self.assertEqual(e2e_lib.hashes(music), src)
        self.assertEqual(send('dlgset', title, '102',
                              'a.mp3\r\nB2.mp3\r\nc?.mp3\r\nD.mp3\r\nz.mp3\r\n'), 0)
        self.assertEqual(send('dlgclick', title, '1'), 0)
        self.assertEqual(send('dlgclick', 'Please confirm', '1'), 0, 'no confirmation')
        self.assertEqual(send('dlgclick', 'Error', '1'), 0, 'no "Could not rename"')
        wait_until(lambda: 'z' in e2e_lib.row_names(), 10, 'the list read again')
        src['D.mp3'] = src.pop('d.mp3')
        src['z.mp3'] = src.pop('e.mp3')
        self.assertEqual(e2e_lib.hashes(music), src)

        # Delete asks first: Cancel changes nothing, OK deletes.
        self.assertEqual(send('select', 'b'), 0)
        self.assertEqual(command('Delete'), 0)
        self.assertEqual(send('dlgclick', 'Confirmation', '2'), 0, 'no confirmation')  # Cancel
        wait_until(lambda: send('wintext', '#32770', '200') != 0, 10, 'the question closed')
        self.assertEqual(e2e_lib.hashes(music), src)
        self.assertEqual(e2e_lib.row_names(), ['a', 'b', 'c', 'D', 'z'])
        self.assertEqual(command('Delete'), 0)
        self.assertEqual(send('dlgclick', 'Confirmation', '1'), 0, 'no confirmation')  # OK
        wait_until(lambda: e2e_lib.row_names() == ['a', 'c', 'D', 'z'], 10, 'the row of b removed')
        del src['b.mp3']
        self.assertEqual(e2e_lib.hashes(music), src)

        # A note on c, read back after a restart (the File view restored as a saved list: the
        # rows carry their file names).
        self.assertEqual(send('select', 'c'), 0)
        self.assertEqual(command('RowNotes'), 0)
        self.assertEqual(send('dlgset', 'Notes', '100', 'sing along'), 0, 'no Notes dialog')
        self.assertEqual(send('dlgclick', 'Notes', '1'), 0)
        wait_until(lambda: send('wintext', '#32770', '200') != 0, 10, 'the dialog closed')
        stop(proc, self)
        proc = z.launch(self, '/localini')
        wait_until(lambda: 'c.mp3' in e2e_lib.row_names(), 20,
                   lambda: 'the File view restored: %r' % e2e_lib.row_names())
        self.assertEqual(send('select', 'c.mp3'), 0)
        self.assertEqual(command('RowNotes'), 0)
        rc, out = send_output('dlgtext', 'Notes', '100')
        self.assertEqual((rc, out.decode()), (0, 'sing along'))
        self.assertEqual(send('dlgclick', 'Notes', '2'), 0)
        # The beat counter (a window that stays open) last.
        title = 'Manual beat counter'
        self.assertEqual(command('BeatCounter'), 0)
        self.assertEqual(send('dlgclicks', title, '100', '4', '500'), 0, 'no beat counter')
        text = send_output('dlgtext', title, '100')[1].decode()
        print('beat counter after four taps 500 ms apart: %r' % text)
        m = re.fullmatch(r'BPM: (\d+)', text)
        self.assertIsNotNone(m, text)
        # The taps reach the window through its message queue: a few ms either way.
        self.assertLessEqual(abs(int(m[1]) - 120), 2)
        command('BeatCounter')  # a fifth beat through the command
        stop(proc, self)
        self.assertEqual(e2e_lib.hashes(music), src)

    def test_go_to_folder_file_list_and_address(self):
        z = Install('ftgoto')
        music, other = os.path.join(z.folder, 'Music'), os.path.join(z.folder, 'Other')
        self.tracks(music, 2)
        os.makedirs(other)
        # Long enough to be still playing when checked (the capture runs faster than real
        # time): at its end the next folder would come.
        make_mp3(os.path.join(other, 'tune.mp3'), 600, '100-200', rate=8000, channels=1,
                 lame=('-b', '8'))
        e2e_lib.write(os.path.join(other, 'set.m3u'), b'tune.mp3\r\n')
        before = {**e2e_lib.hashes(music), **{'o/' + k: v for k, v in e2e_lib.hashes(other).items()}}
        capture_audio(self, z.folder)
        proc = z.start_in(self, music)
        title = 'Ope&n folder, file, address...\tShift+Ctrl+G'

        def go(text):
            self.assertEqual(command('OpenPath'), 0)
            self.assertEqual(send('dlgset', title, '100', text), 0, 'no Go to dialog')
            self.assertEqual(send('dlgclick', title, '1'), 0)

        go(win_path(other) + '\\')  # a trailing backslash is dropped
        wait_until(lambda: 'tune' in e2e_lib.row_names(), 10, 'the folder shown')
        go(win_path(music))
        wait_until(lambda: e2e_lib.row_names()[-2:] == ['a', 'b'], 10, 'back in Music')
        go(win_path(os.path.join(other, 'set.m3u')))  # a list is shown like a folder
        wait_until(lambda: 'tune.mp3' in e2e_lib.row_names() and 'a' not in e2e_lib.row_names(), 10,
                   lambda: 'the list shown: %r' % e2e_lib.row_names())
        go(win_path(music))
        wait_until(lambda: e2e_lib.row_names()[-2:] == ['a', 'b'], 10, 'back in Music')
        go(win_path(os.path.join(other, 'tune.mp3')))  # played, and its folder shown
        status = lambda: e2e_lib.send_output('status')[1].decode('utf-8', 'replace')
        wait_until(lambda: "10'00" in status(), 10, lambda: 'the file playing: %r' % status())
        go('http://127.0.0.1:9/stream.mp3')  # an address: started, the shown folder stays
        wait_until(lambda: send('wintext', '#32770', '200') != 0, 10, 'the dialog closed')
        stop(proc, self)
        ini = z.read_ini().decode('utf-8', 'replace')
        self.assertIn('last_file=http://127.0.0.1:9/stream.mp3\r\n', ini)
        self.assertIn('browsed_folder=%s\r\n' % win_path(other), ini)
        self.assertEqual({**e2e_lib.hashes(music), **{'o/' + k: v for k, v in e2e_lib.hashes(other).items()}},
                         before)

    def test_find_in_list_wraps_and_delete_to_the_trash(self):
        # With list_style 0x100 Delete sends the file whole into Wine's trash under
        # $XDG_DATA_HOME without asking.
        z = Install('ftfind')
        music, xdg = z.subfolder('Music'), z.subfolder('xdg')
        for n in ('moon', 'other', 'zoo'):
            e2e_lib.write(os.path.join(music, n + '.mp3'), b'\xff\xfb\x90\x00' * 64 + n.encode())
        before = e2e_lib.hashes(music)
        os.environ['XDG_DATA_HOME'] = xdg
        self.addCleanup(os.environ.pop, 'XDG_DATA_HOME', None)
        proc = z.start_in(self, music, b'list_style=256\r\n')
        title = '&Find in list...\tCtrl+F'
        selected = lambda: [cell for state, cell in e2e_lib.rows() if 's' in state]
        self.assertEqual(send('select', 'other'), 0)  # the File view has the focus
        self.assertEqual(command('FindInList'), 0)
        self.assertEqual(send('dlgset', title, '100', 'O'), 0, 'no Find dialog')
        # "Next" is clicked synchronously (dlgclicks): the next text is set only after it.
        self.assertEqual(send('dlgclicks', title, '1', '1', '0'), 0)  # one letter: nothing
        self.assertEqual(selected(), ['other'])
        self.assertEqual(send('dlgset', title, '100', 'OO'), 0)
        for want in ('moon', 'zoo', 'moon'):
            self.assertEqual(send('dlgclicks', title, '1', '1', '0'), 0)
            wait_until(lambda: selected() == [want], 10,
                       lambda: '%s selected: %r' % (want, e2e_lib.rows()))
        self.assertEqual(send('dlgclick', title, '2'), 0)
        self.assertEqual(send('select', 'zoo'), 0)
        self.assertEqual(command('Delete'), 0)
        wait_until(lambda: e2e_lib.row_names() == ['moon', 'other'], 10,
                   'the row of zoo removed without a question')
        trash = os.path.join(xdg, 'Trash', 'files')
        wait_until(lambda: os.path.isdir(trash) and os.listdir(trash), 10, 'the trash filled')
        self.assertEqual(e2e_lib.hashes(trash), {'zoo.mp3': before.pop('zoo.mp3')})
        self.assertEqual(e2e_lib.hashes(music), before)
        stop(proc, self)


if __name__ == '__main__':
    e2e_lib.main()
