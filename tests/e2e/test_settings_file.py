"""zuvo.exe /localini reads a prepared settings file beside it and writes it back at exit with
its values (the fix-ups on reading are unit tests of the reader), keeps a foreign section, and
a second start writes back the same bytes. The language file beside it is loaded at start: a
good one keeps its code and logs nothing; a failure goes to error.log, and a missing file
resets the code to English while one with the wrong line count keeps it (each rule of the
file is a unit test of the loader). A second start hands its path to the running one."""
import os
import re
import unittest

import e2e_lib
from e2e_lib import Install, stop, win_path

SECTIONS = {1, 91, 113, 172, 232, 238, 260, 499}


def language_file(entries=500, pad_to=12000):
    """A language file with `entries` entry lines, padded before its header to pad_to bytes."""
    lines = ['SECTION_%d' % i if i in SECTIONS else 'Eintrag %d' % i for i in range(entries)]
    body = ('[Zuvo Language File]\r\n' + ''.join(l + '\r\n' for l in lines)).encode('utf-8')
    pad = b'text before the header is ignored\r\n' * (max(0, pad_to - len(body)) // 35 + 1)
    return pad + body


class SettingsFile(unittest.TestCase):
    def run_once(self, z):
        stop(z.launch(self, '/localini', visible=True), self)
        return z.read_ini()

    def test_round_trip_and_language_files(self):
        for n, (code, content, log, kept) in enumerate((
                ('DE', language_file(), None, 'DE'),
                ('DE', language_file(entries=499),
                 'Language file with wrong line count, exit line: 501', 'DE'),
                ('XX', None, 'Language file open failed', 'EN'))):
            with self.subTest(code=code, log=log):
                z = Install('settings%d' % n)
                music = z.subfolder()
                last_file = win_path(e2e_lib.write(os.path.join(music, 'a.mp3'), b'\0' * 100))
                z.write_ini(b'[Zuvo]\r\nutf8=1\r\nwindow_x=50\r\nwindow_y=40\r\nfilebufsize=1000\r\n'
                            b'language=%s\r\nlast_file=%s\r\n[Foreign]\r\nkey=value\r\n' %
                            (code.encode(), last_file.encode()))
                if content is not None:
                    e2e_lib.write(os.path.join(z.prog, 'lan%s.ini' % code), content)
                first = self.run_once(z)
                written = e2e_lib.read(os.path.join(z.prog, 'error.log'), b'')
                if log is None:
                    self.assertEqual(written, b'')
                else:
                    # "Sat Dec 05 00:02:54 2026<TAB>text<CR><LF>", one line.
                    self.assertRegex(written, re.compile(
                        rb'^\w{3} \w{3} \d\d \d\d:\d\d:\d\d \d{4}\t' + re.escape(log.encode()) +
                        rb'\r\n$'))
                lines = first.split(b'\r\n')
                self.assertIn(b'language=' + kept.encode(), lines)
                if n:
                    continue
                self.assertTrue(first.startswith(b'[Zuvo]\r\nutf8=1\r\nwindow_x=50\r\nwindow_y=40\r\n'),
                                first[:80])
                self.assertIn(b'last_file=' + last_file.encode(), lines)
                self.assertIn(b'filebufsize=500', lines)
                self.assertTrue(first.endswith(b'\r\n[Foreign]\r\nkey=value\r\n'), first[-60:])
                self.assertEqual(self.run_once(z), first)

    def test_second_instance_hands_over(self):
        """A second start hands its path to the running instance and ends after about a
        second."""
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
