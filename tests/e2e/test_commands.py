"""Commands sent to the running main window change the settings it writes at exit, and a
language file is loaded at start with its failures reported in error.log."""
import os
import re
import unittest

import e2e_lib
from e2e_lib import Install, command, send, stop

SECTIONS = {1, 91, 113, 172, 232, 238, 260, 499}


def language_file(entries=500, pad_to=12000):
    """A language file with `entries` entry lines, padded before its header to pad_to bytes."""
    lines = ['SECTION_%d' % i if i in SECTIONS else 'Eintrag %d' % i for i in range(entries)]
    body = ('[Zuvo Language File]\r\n' + ''.join(l + '\r\n' for l in lines)).encode('utf-8')
    pad = b''
    while len(pad) + len(body) < pad_to:
        pad += b'text before the header is ignored\r\n'
    return pad + body


def ini_lines(z):
    return z.read_ini().split(b'\r\n')


def error_log(z):
    path = os.path.join(z.prog, 'error.log')
    if not os.path.exists(path):
        return b''
    with open(path, 'rb') as f:
        return f.read()


class Commands(unittest.TestCase):
    def run_commands(self, z, *names):
        proc = z.start('/localini')
        self.assertEqual(send('wait', '--visible', '20000'), 0, 'main window not shown')
        for name in names:
            self.assertEqual(command(name), 0)
        stop(proc, self)
        return ini_lines(z)

    def test_playback_option_commands(self):
        z = Install('commands')
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nvolume=63000\r\nrpt_mode=0\r\nshow_time=8\r\n'
                    b'autospace=34768\r\ngapless=0\r\nlanguage=EN\r\n')
        # Ctrl+R twice; Gapless turns Autospace off; show_time 8 -> 0 -> 1; the multiband enhancer
        # replaces the simple one.
        lines = self.run_commands(z, 'VolumeUp', 'CycleRepeat', 'CycleRepeat', 'Gapless',
                                  'CycleTimeDisplay', 'CycleTimeDisplay', 'Enhancer1',
                                  'Enhancer2', 'Mono')
        for want in (b'volume=65535', b'rpt_mode=2', b'gapless=1', b'autospace=2000',
                     b'show_time=1', b'enhance=2', b'eq_enable=0'):
            self.assertIn(want, lines)
        wave = [l for l in lines if l.startswith(b'wave_flags=')]
        self.assertTrue(int(wave[0].split(b'=')[1]) & 8, wave)

        # Autospace back on clears Gapless; locked volume ignores a step.
        lines = self.run_commands(z, 'Autospace', 'VolumeDown', 'VolumeDown', 'RepeatOff')
        for want in (b'gapless=0', b'autospace=34768', b'volume=60415', b'rpt_mode=0'):
            self.assertIn(want, lines)
        data = z.read_ini().replace(b'control_lock=0\r\n', b'control_lock=32\r\n')
        z.write_ini(data)
        lines = self.run_commands(z, 'VolumeUp')
        self.assertIn(b'volume=60415', lines)
        self.assertEqual(error_log(z), b'')


class LanguageFiles(unittest.TestCase):
    def start_with(self, code, content):
        z = Install('lang_' + code)
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nlanguage=' + code.encode() + b'\r\n')
        if content is not None:
            with open(os.path.join(z.prog, 'lan%s.ini' % code), 'wb') as f:
                f.write(content)
        proc = z.start('/localini')
        self.assertEqual(send('wait', '--visible', '20000'), 0)
        stop(proc, self)
        return z

    def assert_logged(self, z, text):
        log = error_log(z)
        # "Sat Dec 05 00:02:54 2026<TAB>text<CR><LF>", one line.
        self.assertRegex(log, re.compile(
            rb'^\w{3} \w{3} \d\d \d\d:\d\d:\d\d \d{4}\t' + re.escape(text.encode()) + rb'\r\n$'))

    def test_good_file_loads_without_a_message(self):
        z = self.start_with('DE', language_file())
        self.assertEqual(error_log(z), b'')
        self.assertIn(b'language=DE', ini_lines(z))

    def test_wrong_line_count_keeps_the_code(self):
        z = self.start_with('DE', language_file(entries=499))
        self.assert_logged(z, 'Language file with wrong line count, exit line: 501')
        self.assertIn(b'language=DE', ini_lines(z))

    def test_failures_that_reset_to_english(self):
        for code, content, text in (
                ('XX', None, 'Language file open failed'),
                ('SM', language_file()[:11999], 'Invalid language file size'),
                ('NH', b'x' * 12000, 'No [Zuvo Language File]')):
            z = self.start_with(code, content)
            self.assert_logged(z, text)
            self.assertIn(b'language=EN', ini_lines(z))


if __name__ == '__main__':
    e2e_lib.main()
