"""zuvo.exe /localini reads a prepared settings file beside it and writes it back at exit with
its values (the fix-ups on reading are unit tests of the reader), keeps a foreign section, and
a second start writes back the same bytes."""
import os
import unittest

import e2e_lib
from e2e_lib import Install, send, stop, win_path


class SettingsFile(unittest.TestCase):
    def test_round_trip(self):
        z = Install('settings')
        music = os.path.join(z.folder, 'music')
        os.makedirs(music)
        with open(os.path.join(music, 'a.mp3'), 'wb') as f:
            f.write(b'\0' * 100)
        last_file = win_path(os.path.join(music, 'a.mp3')).encode()
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nwindow_x=50\r\nwindow_y=40\r\nfilebufsize=1000\r\n'
                    b'last_file=' + last_file + b'\r\n[Foreign]\r\nkey=value\r\n')

        proc = z.start('/localini')
        self.assertEqual(send('wait', '--visible', '20000'), 0, 'main window not shown')
        stop(proc, self)
        first = z.read_ini()
        self.assertTrue(first.startswith(b'[Zuvo]\r\nutf8=1\r\nwindow_x=50\r\nwindow_y=40\r\n'),
                        first[:80])
        lines = first.split(b'\r\n')
        self.assertIn(b'last_file=' + last_file, lines)
        self.assertIn(b'filebufsize=500', lines)
        self.assertTrue(first.endswith(b'\r\n[Foreign]\r\nkey=value\r\n'), first[-60:])

        proc = z.start('/localini')
        self.assertEqual(send('wait', '--visible', '20000'), 0)
        stop(proc, self)
        self.assertEqual(z.read_ini(), first)


if __name__ == '__main__':
    e2e_lib.main()
