"""Rows dragged with the mouse. In the File view a row dropped on another moves in front of
it; a row dragged out of the Insert view and dropped on the File view's first row is inserted
there; a row dropped on the Insert view from outside changes nothing. A right click on an
Insert view row opens the track menu for that list."""
import os
import unittest

import e2e_lib
from e2e_lib import Install, command, send, stop, wait_until


class RowDrag(unittest.TestCase):
    def test_move_in_the_file_view_and_insert_from_the_insert_view(self):
        z = Install('rowdrag')
        music = os.path.join(z.folder, 'music')
        os.makedirs(music)
        for name in 'abcd':
            e2e_lib.make_mp3(os.path.join(music, name + '.mp3'), 120, rate=22050, channels=1,
                             lame=('-b', '32'))
        # The main window on the left, the Insert view beside it: a drop lands on what it aims at.
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nwavedevice=0\r\nwindow_x=0\r\nwindow_y=0\r\n'
                    b'window_w=700\r\nwindow_h=600\r\n'
                    b'autoinsert=00720,00010,00540,00400,0300,0060,0060,0060,000\r\n')
        folder = e2e_lib.win_path(music)
        proc = z.start(folder + '\\a.mp3', '/localini')
        try:
            self.assertEqual(send('wait', '--visible', '20000'), 0, 'no main window')
            wait_until(lambda: e2e_lib.row_names() == list('abcd'), 20, 'the File view to list the folder')
            # "a" (playing) dropped on "c": it goes in front of "c".
            self.assertEqual(send('dragrow', '-', '0', '-', '2'), 0)
            wait_until(lambda: e2e_lib.row_names() == list('bacd'), 10, lambda: 'the move (%r)' % e2e_lib.row_names())

            self.assertEqual(command('OpenInInsertView'), 0)
            wait_until(lambda: e2e_lib.dialog_names(folder) == list('abcd'), 20, 'the Insert view')
            # Into the Insert view from outside: nothing moves anywhere.
            self.assertEqual(send('dragrow', '-', '3', '@' + folder, '0'), 0)
            self.assertEqual(e2e_lib.dialog_names(folder), list('abcd'))
            # Its "d" dropped on the File view's first row.
            self.assertEqual(send('dragrow', '@' + folder, '3', '-', '0'), 0)
            wait_until(lambda: len(e2e_lib.row_names()) == 5, 10, lambda: 'the insert (%r)' % e2e_lib.row_names())
            self.assertEqual(e2e_lib.row_names(), list('dbacd'))  # a file of the listed folder: its name
            self.assertEqual(e2e_lib.dialog_names(folder), list('abcd'))

            # A right click on one of its rows: the track menu for that list (Delete for a
            # single track, no Rename, which only the file list offers).
            self.assertEqual(send('rightclick', '@' + folder, '1'), 0)
            rc, data = e2e_lib.send_output('menu', '5000')
            self.assertEqual(rc, 0, 'no pop-up menu after the right click')
            ids = [int(line.split(' ', 1)[0]) for line in data.decode('utf-8').splitlines()]
            self.assertEqual(ids[0], e2e_lib.command_id('TrackInfo'))
            self.assertIn(e2e_lib.command_id('Delete'), ids)
            self.assertNotIn(e2e_lib.command_id('Rename'), ids)
            self.assertEqual(send('menukey', '27'), 0)  # Esc closes it
            stop(proc, self)
        finally:
            if proc.poll() is None:
                proc.kill()


if __name__ == '__main__':
    e2e_lib.main()
