"""The settings dialog: it opens on the page shown last; every page of the tree opens in turn;
a theme recolours at once; "HTML Manual" opens the manual; controls of each page, changed
through their window messages, write their keys at exit; a quick setting changes only its keys;
"Restart Zuvo" starts the program again with its arguments and the old one ends."""
import glob
import os
import unittest

import e2e_lib
from e2e_lib import (Install, capture_audio, command_id, make_mp3, send, send_output, stop,
                     wait_until, win_path)

TITLE = ' Zuvo Directory Player - Configuration'
PAGES = ['Quick settings', 'Audio', 'Decoders', 'Enhancer 1', 'Enhancer 2', 'Control',
         'Lists and info', 'Toolbar', 'Hotkeys', 'Special', 'Window style', 'List style',
         'Big view', 'System', 'File options', 'Web server', 'Title options', 'Logging',
         'About Zuvo']
PAGE_TITLE = 3992
SETTINGS = command_id('Settings')


def page_title():
    rc, out = send_output('dlgtext', TITLE, str(PAGE_TITLE))
    return out.decode('utf-8') if rc == 0 else None


def open_dialog(test):
    # A command that arrives while the program is still starting may be dropped: send again.
    for _ in range(3):
        if send('dlgopen', str(SETTINGS), TITLE) == 0:
            return
    test.fail('the settings dialog did not open')


def close_dialog(test):
    test.assertEqual(send('dlgclick', TITLE, '2'), 0)
    # ("titled" answers at once; the dialog verbs wait 10 s for a dialog that is not there.)
    wait_until(lambda: send('titled', TITLE) != 0, 15, 'the dialog to close')


# (page, verb, control id, value, key, expected value or a function of the old value): one
# control of each kind (the pages are built from one table, which unit tests pin; the kinds
# are what the dialog's own code handles apart).
STEPS = [
    (5, 'dlgclick', 3150, None, 'control_flags', lambda v: str(int(v) | 0x40)),
    (5, 'dlgset', 3167, '2500', 'skip_times', lambda v: str((2500 << 16) | (int(v) & 0xFFFF))),
    (6, 'dlgpick', 3220, '2', 'info_row', '2048'),
    # Theme "Paper", then "Current": every colour and theme value as the dialog found it.
    (10, 'dlgpick', 3370, '3', None, None),
    (10, 'dlgpick', 3370, '0', None, None),
    (9, 'dlgclick', 3307, None, 'system_flags', lambda v: str(int(v) | 0x40)),  # no Favorites
    (12, 'dlgpick', 3452, '2', 'big_title', lambda v: v[:27] + 'C' + v[28:]),
    (13, 'dlgset', 3510, 'proxy.local:3128', 'inet', 'proxy.local:3128'),
    (14, 'dlgset', 3560, 'C:\\tools\\edit.exe', 'applaunch1', '0C:\\tools\\edit.exe'),
    (16, 'dlgset', 3661, '48', 'big_rssstring', lambda v: v[:15] + '048' + v[18:]),
    (17, 'dlgclick', 3702, None, 'history', '20'),
]


class SettingsDialog(unittest.TestCase):
    def test_pages_values_live_theme_and_manual(self):
        z = Install('settings-dialog', [os.path.join(os.path.dirname(e2e_lib.ARGS.exe), 'Zuvo.html')])
        opened = e2e_lib.open_handler(self, '.html', os.path.join(z.folder, 'opened.txt'))
        # A light theme with the darkest dialogs: the dialog turns dark with the "Dark" theme.
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\ntab_sel=7\r\nhistory=0\r\nmore_dark=3\r\n')
        proc = z.launch(self, '/localini', visible=True)
        open_dialog(self)
        self.assertEqual(page_title(), 'Toolbar')
        # Every page in the order of the tree, each shown with its name.
        for index, name in enumerate(PAGES):
            self.assertEqual(send('dlgtree', TITLE, str(index)), 0, name)
            self.assertEqual(page_title(), name)
        # A colour theme chosen on the open dialog recolours the dialog and the main window at
        # once: more of the dark dialog's grey and of the "Dark" theme's list background.
        self.assertEqual(send('dlgtree', TITLE, '10'), 0)
        shot = os.path.join(z.folder, 'screen.png')

        def colours():
            e2e_lib.screenshot(shot)
            return e2e_lib.pixels_of(shot, '#404040'), e2e_lib.pixels_of(shot, '#171717')
        dialog_before, lists_before = colours()
        self.assertEqual(send('dlgpick', TITLE, '3370', '1'), 0)
        wait_until(lambda: (lambda c: c[0] > dialog_before + 50000 and c[1] > lists_before + 50000)(
            colours()), 15, 'the dark dialog and lists')
        self.assertEqual(page_title(), 'Window style')
        # The theme list still shows the theme chosen.
        self.assertEqual(send_output('dlgtext', TITLE, '3370')[1], b'Dark mode')
        # "HTML Manual" hands the manual beside the program to the program for .html.
        self.assertEqual(send('dlgtree', TITLE, '18'), 0)
        self.assertEqual(send('dlgclick', TITLE, '3750'), 0)
        got = wait_until(opened, 20, 'the manual handed to the .html program', interval=0.2)
        self.assertEqual(got.lower(), win_path(os.path.join(z.prog, 'Zuvo.html')).lower())
        close_dialog(self)
        # "Configure Big view..." opens the dialog on the Big view page.
        self.assertEqual(send('dlgopen', str(command_id('ConfigureBigView')), TITLE), 0)
        self.assertEqual(page_title(), 'Big view')
        close_dialog(self)
        stop(proc, self)
        # The values the steps start from.
        before = z.values()
        self.assertEqual(before['tab_sel'], '12')

        proc = z.launch(self, '/localini', visible=True)
        roots = lambda: [r for r in send_output('tree')[1].decode('utf-8').splitlines()
                         if r[:1] != ' ']
        roots_before = roots()
        open_dialog(self)
        self.assertEqual(page_title(), 'Big view')
        for page, verb, ident, value, _, _ in STEPS:
            self.assertEqual(send('dlgtree', TITLE, str(page)), 0)
            args = [verb, TITLE, str(ident)] + ([value] if value is not None else [])
            self.assertEqual(send(*args), 0, (page, ident))
        # A quick setting waits for "Apply" and then sets its keys only.
        self.assertEqual(send('dlgtree', TITLE, '0'), 0)
        self.assertEqual(send('dlgpick', TITLE, '3104', '6'), 0)
        wait_until(lambda: send_output('dlgtext', TITLE, '3105')[1] ==
                   b'Apply: Mixed track transitions', 10, 'the Apply button')
        self.assertEqual(send('dlgclick', TITLE, '3105'), 0)
        wait_until(lambda: send_output('dlgcheck', TITLE, '3105')[0] == 0 and
                   send_output('dlgtext', TITLE, str(PAGE_TITLE))[1] == b'Quick settings', 10,
                   'the page after Apply')
        # A choice left without "Apply" changes nothing (wavedevice stays as it was).
        self.assertEqual(send('dlgpick', TITLE, '3104', '9'), 0)
        close_dialog(self)
        # The tree is rebuilt when the dialog closes: the Favorites root is gone at once.
        self.assertEqual(len(set(roots_before) - set(roots())), 1, (roots_before, roots()))
        self.assertEqual(len(roots()), len(roots_before) - 1)
        stop(proc, self)
        after = z.values()
        expected = dict(before)
        for _, _, _, _, key, want in STEPS:
            if key:
                expected[key] = want(expected[key]) if callable(want) else want
        expected.update(gapless='13', overlap2='6706', overlap2buf='10', tab_sel='0')
        for key in ('window_x', 'window_y', 'window_w', 'window_h', 'divider', 'last_pos'):
            expected[key] = after.get(key)  # the window's own state
        self.assertEqual({k: after.get(k) for k in expected}, expected)

    def test_restart(self):
        """"Restart Zuvo" ends the program and starts it again with its arguments (with /r
        while it plays)."""
        for playing, tail in ((False, 'zuvo.exe /localini /newinst'),
                              (True, 'zuvo.exe /r /localini /newinst')):
            with self.subTest(playing=playing):
                name = 'settings-restart%s' % ('-play' if playing else '')
                z = Install(name)
                z.write_ini(b'[Zuvo]\r\nutf8=1\r\ntab_sel=0\r\nwavedevice=0\r\n')
                args = ['/localini']
                if playing:
                    args.insert(0, win_path(make_mp3(os.path.join(z.folder, 'long.mp3'), 30)))
                    cap = capture_audio(self, z.folder)
                proc = z.launch(self, *args, visible=True)
                if playing:
                    wait_until(lambda: e2e_lib.file_size(cap), 30, 'playback to start')
                open_dialog(self)
                self.assertEqual(send('dlgclick', TITLE, '3993'), 0)
                # The old instance ends; a new one shows its window, started with its arguments.
                self.assertEqual(proc.wait(timeout=30), 0)
                self.assertEqual(send('wait', '--visible', '20000'), 0)
                lines = []
                for path in glob.glob('/proc/[0-9]*/cmdline'):
                    text = e2e_lib.read(path, b'').replace(b'\0', b' ').decode('utf-8', 'replace')
                    if 'zuvo' in text.lower() and name + '/' in text.replace('\\', '/'):
                        lines.append(text.rstrip())
                self.assertEqual(send('close', '10000'), 0)
                self.assertTrue(any(line.endswith(tail) for line in lines), lines)


if __name__ == '__main__':
    e2e_lib.main()
