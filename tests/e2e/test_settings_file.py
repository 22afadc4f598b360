"""zuvo.exe /localini reads a prepared settings file, applies the fix-ups, keeps a foreign
section, and a second start writes back the same bytes."""
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
        prepared = (b'[Zuvo]\r\nutf8=1\r\nwindow_x=50\r\nwindow_y=40\r\nfilebufsize=1000\r\n'
                    b'hotkey_def=0x7790x7890x7990x7A90x7B9\r\nskip_times=10\r\n'
                    b'big_embedded=49152\r\nbmpfile=i\r\nlast_file=' + last_file + b'\r\n'
                    b'fav_set=C:\\Music\\\r\n'
                    b'[Foreign]\r\nkey=value\r\n')
        z.write_ini(prepared)

        proc = z.start('/localini')
        self.assertEqual(send('wait', '--visible', '20000'), 0, 'main window not shown')
        stop(proc, self)
        first = z.read_ini()
        self.assertTrue(first.startswith(b'[Zuvo]\r\nutf8=1\r\nwindow_x=50\r\nwindow_y=40\r\n'),
                        first[:80])
        lines = first.split(b'\r\n')
        for want in (b'filebufsize=500', b'skip_times=2570', b'big_embedded=16384',
                     b'bmpfile=n', b'last_file=' + last_file,
                     b'hotkey_def=0x7790x7890x7990x7A90x7B9' + b'0x000' * 8):
            self.assertIn(want, lines)
        self.assertNotIn(b'fav_set=C:\\Music\\', lines)
        self.assertTrue(first.endswith(b'\r\n[Foreign]\r\nkey=value\r\n'), first[-60:])

        proc = z.start('/localini')
        self.assertEqual(send('wait', '--visible', '20000'), 0)
        stop(proc, self)
        self.assertEqual(z.read_ini(), first)


if __name__ == '__main__':
    e2e_lib.main()
