"""The Insert view and rows dragged with the mouse. The first of four long tracks plays with the
slider stored at 1 (an insert every minute); "Open in Insert view..." opens the playing folder
in the Insert view, placed beside the main window so that a drop lands on what it aims at. The
minute tick (fired by the test) inserts its first row after the playing track as a full path
and moves its selection on; Insert then puts that next track right after the playing one. In
the File view a row dropped on another moves in front of it; a row dragged out of the Insert
view onto the File view's first row is inserted there; a drop on the Insert view from outside
changes nothing. A right click on an Insert view row opens the track menu for that list."""
import os
import unittest

import e2e_lib
from e2e_lib import Install, capture_audio, command, send, stop, wait_until

INSERT_BUTTON = 1201
MINUTE_TIMER = 1  # the Insert view's tick (kMinuteTimer)
AUTOINSERT = b'00720,00010,00540,00400,0300,0060,0060,0060,001'


class InsertView(unittest.TestCase):
    def test_timed_and_manual_insert_and_dragged_rows(self):
        z = Install('insertview')
        music = z.subfolder()
        # Long enough to play on through the test, with a capture that runs faster than real time.
        for name in 'abcd':
            e2e_lib.make_mp3(os.path.join(music, name + '.mp3'), 420, rate=22050, channels=1,
                             lame=('-b', '32'))
        capture_audio(self, z.folder)
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nvolume=65535\r\nwavedevice=0\r\nwindow_x=0\r\n'
                    b'window_y=0\r\nwindow_w=700\r\nwindow_h=600\r\nautoinsert=' + AUTOINSERT + b'\r\n')
        folder = e2e_lib.win_path(music)
        full = lambda n: folder + '\\' + n + '.mp3'
        names = e2e_lib.row_names
        proc = z.launch(self, full('a'), '/localini', visible=True)
        wait_until(lambda: names() == list('abcd'), 20, 'the File view to list the folder')
        self.assertEqual(command('OpenInInsertView'), 0)
        wait_until(lambda: e2e_lib.dialog_names(folder) == list('abcd'), 20,
                   lambda: 'the Insert view on %s (%r)' % (folder, e2e_lib.dialog_names(folder)))
        # The minute tick (fired at once) inserts the Insert view's first row after the
        # playing track; its selection moves on, so that Insert then puts "b" there.
        self.assertEqual(send('timer', '#32770', str(MINUTE_TIMER)), 0)
        wait_until(lambda: len(names()) == 5, 20, 'the timed insert')
        self.assertEqual(names(), ['a', full('a'), 'b', 'c', 'd'])
        self.assertEqual(send('press', '#32770', str(INSERT_BUTTON)), 0)
        wait_until(lambda: len(names()) == 6, 20, 'the manual insert')
        self.assertEqual(names(), ['a', full('b'), full('a'), 'b', 'c', 'd'])

        # "a" (playing) dropped on "c": it goes in front of "c".
        self.assertEqual(send('dragrow', '-', '0', '-', '4'), 0)
        moved = [full('b'), full('a'), 'b', 'a', 'c', 'd']
        wait_until(lambda: names() == moved, 10, lambda: 'the move (%r)' % names())
        # Into the Insert view from outside: nothing moves anywhere.
        self.assertEqual(send('dragrow', '-', '5', '@' + folder, '0'), 0)
        self.assertEqual(e2e_lib.dialog_names(folder), list('abcd'))
        # Its "d" dropped on the File view's first row: a file of the listed folder, its name.
        self.assertEqual(send('dragrow', '@' + folder, '3', '-', '0'), 0)
        wait_until(lambda: len(names()) == 7, 10, lambda: 'the insert (%r)' % names())
        self.assertEqual(names(), ['d'] + moved)
        self.assertEqual(e2e_lib.dialog_names(folder), list('abcd'))

        # A right click on one of its rows: the track menu for that list (Delete for a single
        # track, no Rename, which only the file list offers).
        self.assertEqual(send('rightclick', '@' + folder, '1'), 0)
        menu = e2e_lib.output('menu', '5000')
        self.assertIsNotNone(menu, 'no pop-up menu after the right click')
        ids = [int(line.split(' ', 1)[0]) for line in menu.splitlines()]
        self.assertEqual(ids[0], e2e_lib.command_id('TrackInfo'))
        self.assertIn(e2e_lib.command_id('Delete'), ids)
        self.assertNotIn(e2e_lib.command_id('Rename'), ids)
        self.assertEqual(send('menukey', '27'), 0)  # Esc closes it
        stop(proc, self)
        self.assertIn(b'autoinsert=' + AUTOINSERT[:24], z.read_ini())


if __name__ == '__main__':
    e2e_lib.main()
