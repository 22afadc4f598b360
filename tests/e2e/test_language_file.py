"""The language file beside zuvo.exe is loaded at start: a good one keeps its code in the
settings written at exit and logs nothing; a failure is written to error.log, and a missing
file resets the code to English while a file with the wrong line count keeps it. (Each
failure of the file's rules is a unit test of the loader.)"""
import os
import re
import unittest

import e2e_lib
from e2e_lib import Install, send, stop

SECTIONS = {1, 91, 113, 172, 232, 238, 260, 499}


def language_file(entries=500, pad_to=12000):
    """A language file with `entries` entry lines, padded before its header to pad_to bytes."""
    lines = ['SECTION_%d' % i if i in SECTIONS else 'Eintrag %d' % i for i in range(entries)]
    body = ('[Zuvo Language File]\r\n' + ''.join(l + '\r\n' for l in lines)).encode('utf-8')
    pad = b''
    while len(pad) + len(body) < pad_to:
        pad += b'text before the header is ignored\r\n'
    return pad + body


class LanguageFiles(unittest.TestCase):
    def test_loaded_at_start_failures_logged(self):
        for n, (code, content, log, kept) in enumerate((
                ('DE', language_file(), None, 'DE'),
                ('DE', language_file(entries=499),
                 'Language file with wrong line count, exit line: 501', 'DE'),
                ('XX', None, 'Language file open failed', 'EN'))):
            with self.subTest(code=code, log=log):
                z = Install('lang%d' % n)
                z.write_ini(b'[Zuvo]\r\nutf8=1\r\nlanguage=' + code.encode() + b'\r\n')
                if content is not None:
                    with open(os.path.join(z.prog, 'lan%s.ini' % code), 'wb') as f:
                        f.write(content)
                proc = z.start('/localini')
                self.assertEqual(send('wait', '--visible', '20000'), 0)
                stop(proc, self)
                written = b''
                if os.path.exists(os.path.join(z.prog, 'error.log')):
                    with open(os.path.join(z.prog, 'error.log'), 'rb') as f:
                        written = f.read()
                if log is None:
                    self.assertEqual(written, b'')
                else:
                    # "Sat Dec 05 00:02:54 2026<TAB>text<CR><LF>", one line.
                    self.assertRegex(written, re.compile(
                        rb'^\w{3} \w{3} \d\d \d\d:\d\d:\d\d \d{4}\t' + re.escape(log.encode()) +
                        rb'\r\n$'))
                self.assertIn(b'language=' + kept.encode(), z.read_ini().split(b'\r\n'))


if __name__ == '__main__':
    e2e_lib.main()
