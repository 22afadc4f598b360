"""A second start hands its path to the running instance and ends after about a second."""
import unittest

import e2e_lib
from e2e_lib import Install, stop


class SingleInstance(unittest.TestCase):
    def test_second_instance_hands_over(self):
        z = Install('single')
        # A position read at start belongs to the track of that start, not to a handed-over one.
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\ncontrol_flags=32\r\nlast_pos=777\r\n')
        running = z.launch(self, '/localini', visible=True)

        # Without a path the running window is only brought to the front.
        rc, plain = z.run('/localini')
        self.assertEqual(rc, 0)
        path = 'D:\\Music\\Caf\u00e9 del Mar\\01 Intro.mp3'
        # Wine quotes an argument with blanks when it builds the command line, as a shell
        # link or Explorer would.
        rc, with_path = z.run('/localini', path)
        self.assertEqual(rc, 0)
        print('second instance: %.2f s without a path, %.2f s with one' % (plain, with_path))
        # It waits a second for the running one, and not much longer.
        self.assertGreater(with_path, 1.0)
        self.assertLess(with_path, plain + 3.0)

        stop(running, self)
        lines = z.read_ini().split(b'\r\n')
        self.assertIn(b'last_file=' + path.encode('utf-8'), lines)
        self.assertIn(b'last_pos=0', lines)


if __name__ == '__main__':
    e2e_lib.main()
