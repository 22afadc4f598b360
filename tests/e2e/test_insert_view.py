"""The Insert view puts tracks into the playing list. zuvo.exe plays the first of two long
tracks of a folder with the slider stored at 1 (an insert every minute). "Open in Insert
view..." opens the folder selected in the tree (the playing folder) in the Insert view. After
the first minute tick (its timer fired by the test) the Insert view's first row must follow the
playing track in the File view as a full path (a timed insert), and the Insert view's
selection must have moved to its next row; pressing Insert then puts that next track right
after the playing one as well (a manual insert)."""
import os
import unittest

import e2e_lib
from e2e_lib import Install, capture_audio, command, send, stop, wait_until

INSERT_BUTTON = 1201
MINUTE_TIMER = 1  # the Insert view's tick (kMinuteTimer)
AUTOINSERT = b'00010,00010,00500,00400,0300,0060,0060,0060,001'


class InsertView(unittest.TestCase):
    def test_timed_then_manual_insert(self):
        z = Install('insertview')
        music = os.path.join(z.folder, 'music')
        os.makedirs(music)
        # Long enough to play on through the test, with a capture that runs faster than real time.
        for name in ('a', 'b'):
            e2e_lib.make_mp3(os.path.join(music, name + '.mp3'), 420, rate=22050, channels=1,
                             lame=('-b', '32'))
        capture_audio(self, z.folder)
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nvolume=65535\r\nwavedevice=0\r\nautoinsert=' +
                    AUTOINSERT + b'\r\n')
        folder = e2e_lib.win_path(music)
        full = lambda n: folder + '\\' + n + '.mp3'
        proc = z.start(full('a'), '/localini')
        try:
            self.assertEqual(send('wait', '20000'), 0, 'no main window')
            wait_until(lambda: e2e_lib.row_names() == ['a', 'b'], 20, 'the File view to list the folder')
            self.assertEqual(command('OpenInInsertView'), 0)
            wait_until(lambda: e2e_lib.dialog_names(folder) == ['a', 'b'], 20,
                       lambda: 'the Insert view on %s (%r)' % (folder, e2e_lib.dialog_names(folder)))
            # The minute tick (fired at once) inserts the Insert view's first row after the
            # playing track.
            self.assertEqual(send('timer', '#32770', str(MINUTE_TIMER)), 0)
            wait_until(lambda: len(e2e_lib.row_names()) == 3, 20, 'the timed insert')
            self.assertEqual(e2e_lib.row_names(), ['a', full('a'), 'b'])
            # Its selection moved on: Insert now puts "b" right after the playing track.
            self.assertEqual(send('press', '#32770', str(INSERT_BUTTON)), 0)
            wait_until(lambda: len(e2e_lib.row_names()) == 4, 20, 'the manual insert')
            self.assertEqual(e2e_lib.row_names(), ['a', full('b'), full('a'), 'b'])
            stop(proc, self)
        finally:
            if proc.poll() is None:
                proc.kill()
        self.assertIn(b'autoinsert=' + AUTOINSERT[:24], z.read_ini())


if __name__ == '__main__':
    e2e_lib.main()
