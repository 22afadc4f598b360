"""The texts, menus, hotkeys and tray clicks of the running player, on a CBR and a VBR track
with tags: the window title (elapsed time and tag title, also after stop) and status pane 1
(the format); "Now playing" with every placeholder, read from the clipboard; the F1 menu read
back item by item, an item of it chosen by keys reaching pane 2 and the settings file; a global
hotkey pressed by xdotool while Notepad has the focus; the tray icon's clicks hiding and
showing the window, and "/hide" starting in the tray. The accelerator table of zuvo.exe."""
import os
import re
import subprocess
import unittest

import e2e_lib
from e2e_lib import Install, command, pane, panes, send, stop, wait_until, win_path

TEMPLATE = '-----A=%A|B=%B|C=%C|F=%F|M=%M|N=%N|P=%P|T=%T%R%I%Z'
TRACKS = [  # (file, lame options, title tag)
    ('01 cbr.mp3', ['-b', '128'], 'Constant'),
    ('02 vbr.mp3', ['-V', '2'], 'Variable'),
]
# An artist longer than the 53 characters the display title keeps: the window title and %M show
# it cut, with "...", before " - " and the title.
ARTIST = 'The Artist and the Orchestra of a Name Longer Than a Title Keeps'
SHOWN = re.escape(ARTIST[:53] + '...')
TAGS = ['--ta', ARTIST, '--tl', 'The Album', '--tn', '7', '--tc', 'A comment']


out = e2e_lib.output


def title():
    text = out('captions', '1')
    return text.split('\t', 1)[1].rstrip('\n') if text and '\t' in text else ''


def x_tool(*args, **kw):
    """Runs an X client (xdotool, xwininfo) on the X server Wine draws on: the caller's, or the
    virtual one that scripts/wine-run started (its display kept in the build folder)."""
    env = dict(os.environ)
    state = os.path.join(e2e_lib.BUILD, 'xvfb.display')
    if os.path.exists(state):
        with open(state) as f:
            env['DISPLAY'] = f.read().strip()
    return subprocess.run(list(args), env=env, capture_output=True, text=True, timeout=30, **kw)


def xdotool(*args, **kw):
    return x_tool('xdotool', *args, **kw)


def tray_shown():
    """Wine's own tray window (no X tray under Xvfb) is mapped while it holds an icon."""
    return 'IsViewable' in x_tool('xwininfo', '-name', 'Wine System Tray').stdout


VIRTKEY, SHIFT, CONTROL, ALT = 1, 4, 8, 16
C, S, CS = CONTROL, SHIFT, CONTROL | SHIFT
EXPECTED = [  # (modifiers, virtual key, command)
    (0, 0x0D, 'Return'), (0, 0x20, 'Space'), (C, 0x22, 'NextPane'), (S, 0x79, 'ContextMenu'),
    (C, 0x27, 'NextTrack'), (0, 0x6A, 'NextTrack'), (S, 0x25, 'DirSearchBack'),
    (0, 0x2E, 'SkipRows'), (CS, ord('R'), 'RepeatTrackOnce'), (C, ord('G'), 'Gapless'),
    (S, 0x13, 'SoftMute'), (0, 0x6B, 'VolumeUp'), (0, 0x73, 'TreeToggle'),
    (ALT, 0x0D, 'TrackInfo'), (CS | ALT, ord('D'), 'RuntimeInfo'),
]


class TextsMenus(unittest.TestCase):
    def setUp(self):
        self.z = Install('texts_menus')
        self.music = self.z.subfolder()
        for name, lame, tag_title in TRACKS:
            e2e_lib.make_mp3(os.path.join(self.music, name), 90, '200-3000', noise=True,
                             volume=0.3, lame=(*lame, *TAGS, '--tt', tag_title))

    def start(self, ini=b''):
        self.z.write_ini(b'[Zuvo]\r\nutf8=1\r\nwavedevice=0\r\nvolume=30000\r\n'
                         b'nowplaying=' + TEMPLATE.encode() + b'\r\n' + ini)
        return self.z.launch(self, win_path(os.path.join(self.music, TRACKS[0][0])), '/localini',
                             visible=True)

    def test_texts_menu_and_tray(self):
        proc = self.start(b'hotkeys=2\r\n')
        # CBR: title "m'ss Artist - Title" (the default shows tag titles), pane 1 the format.
        wait_until(lambda: re.fullmatch(r"\d+'\d\d " + SHOWN + " - Constant", title()), 20,
                   lambda: 'the CBR title (has %r)' % title())
        wait_until(lambda: re.fullmatch(
            r" \d+'\d\d - 128 kbps - 44 kHz - (Joint )?Stereo - DEC: (ACM|mpglib)", pane(1)),
            20, lambda: 'the CBR format in pane 1: %r' % panes())

        # "Upcoming file in title bar": the next row's name after a lead-in, then back.
        self.assertEqual(command('UpcomingInTitle'), 0)
        wait_until(lambda: re.fullmatch(r"\d+'\d\d Next: 02 vbr", title()), 10,
                   lambda: 'the upcoming track in the title (has %r)' % title())
        self.assertEqual(command('UpcomingInTitle'), 0)
        wait_until(lambda: title().endswith(' %s... - Constant' % ARTIST[:53]), 10, 'the tag title again')

        # Pane 0: the listed folder's summary (sizes below 1 MB add no MB part).
        wait_until(lambda: re.fullmatch(r' 2 tracks(, \d+ MB)?', pane(0)), 10,
                   lambda: 'the list summary in pane 0: %r' % panes())

        # "Now playing" with every placeholder.
        self.assertEqual(command('CopyNowPlaying'), 0)
        folder = win_path(self.music)
        want = ('A=%s|B=The Album|C=A comment|F=01 cbr.mp3|M=%s... - Constant|'
                'N=7|P=%s|T=Constant\r\n%%I%%Z' % (ARTIST, ARTIST[:53], folder))
        wait_until(lambda: out('clipboard') == want, 10,
                   lambda: 'the clipboard to hold %r (has %r)' % (want, out('clipboard')))
        wait_until(lambda: pane(2) == ' Track info copied.', 5, 'the copy message')

        # F1: the main menu, read back against the model for these settings.
        self.assertEqual(send('menukey', '112'), 0)  # VK_F1 through the accelerators
        menu = out('menu', '5000')
        self.assertIsNotNone(menu, 'no pop-up menu after F1, or its items unreadable')
        got = [tuple(head.split(' ')) + (text,) for head, text in
               (line.split('\t', 1) for line in menu.splitlines())]
        self.assertEqual(got, [
            ('0', 'p', '&Options'),
            ('402', '-', '&Settings...\tF6'),
            ('0', 's', ''),
            ('416', '-', '&Big title view\tCtrl+B'),
            ('475', '-', 'Copy "&Now playing" text\tShift+Ctrl+C'),
            ('0', 's', ''),
            ('463', '-', 'Ope&n folder, file, address...\tShift+Ctrl+G'),
            ('492', '-', '&Find in list...\tCtrl+F'),
            ('437', '-', '&Intro scan...\tCtrl+N'),
            ('0', 's', ''),
            ('0', 'p', 'Favorites'),
        ])
        # Options (first item) > Simple audio enhancer (its first item), chosen by keys.
        for vk in (0x28, 0x27, 0x0D):  # down, right, return
            self.assertEqual(send('menukey', str(vk)), 0)
        wait_until(lambda: ' ENH1 ' in pane(2), 10, lambda: 'ENH1 in pane 2: %r' % panes())

        # The global hotkey Ctrl+F10 (slot 3, next track) pressed in another Wine window.
        other = subprocess.Popen([e2e_lib.WINE_RUN, 'notepad'],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            def focus_other():
                r = xdotool('search', '--name', 'Notepad')
                ids = r.stdout.split()
                if not ids:
                    return False
                xdotool('windowfocus', '--sync', ids[-1])
                return True
            wait_until(focus_other, 30, 'a Notepad window to focus')
            # The first track (90 s) still plays: only the hotkey can move on.
            self.assertRegex(title(), r"\d+'\d\d " + SHOWN + " - Constant")
            xdotool("key", "ctrl+F10", check=True)
            wait_until(lambda: re.fullmatch(r"\d+'\d\d " + SHOWN + " - Variable", title()), 20,
                       lambda: 'the hotkey to start the VBR track (title %r)' % title())
        finally:
            subprocess.run([e2e_lib.WINE_RUN, 'taskkill', '/f', '/im', 'notepad.exe'],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            other.wait(timeout=30)
        wait_until(lambda: re.fullmatch(
            r" \d+'\d\d - VBR \d+\.\d kbps - 44 kHz - (Joint )?Stereo - DEC: (ACM|mpglib)",
            pane(1)), 20, lambda: 'the VBR format in pane 1: %r' % panes())

        # Stop: the title keeps the track's name.
        self.assertEqual(command('StopResume'), 0)
        wait_until(lambda: title().endswith(' %s... - Variable' % ARTIST[:53]), 10, 'the title after stop')

        # The tray icon's left click hides the window, the next shows it again.
        self.assertEqual(send('trayclick', '514'), 0)  # WM_LBUTTONUP
        wait_until(lambda: out('visible') == '0\n', 10, 'the window to hide')
        self.assertEqual(send('trayclick', '514'), 0)
        wait_until(lambda: out('visible') == '1\n', 10, 'the window to come back')
        stop(proc, self)
        self.assertIn(b'enhance=1', self.z.read_ini())

    def test_hide_starts_in_the_tray(self):
        # "/hide": never shown at start, the tray option switched on, the tray restores it.
        self.z.write_ini(b'[Zuvo]\r\nutf8=1\r\nwavedevice=0\r\ncontrol_flags=0\r\n')
        proc = self.z.launch(self, win_path(os.path.join(self.music, TRACKS[0][0])), '/hide',
                             '/localini')
        # The start-up is over once the track plays; the window is still hidden then.
        wait_until(lambda: re.fullmatch(r"\d+'\d\d " + SHOWN + " - Constant", title()), 20,
                   lambda: 'the track to play (title %r)' % title())
        self.assertEqual(out('visible'), '0\n')
        wait_until(tray_shown, 10, 'the tray icon (Wine shows its tray window while one exists)')
        self.assertEqual(send('trayclick', '514'), 0)  # WM_LBUTTONUP
        wait_until(lambda: out('visible') == '1\n', 10, 'the tray to show the window')
        # "Show all tips...": every tip, numbered, in a message box.
        self.assertEqual(command('ShowAllTips'), 0)
        wait_until(lambda: out('wintext', '#32770') == 'Tips', 10, 'the tips box')
        tips = out('texts', '#32770') or ''
        self.assertIn('\n1. ', '\n' + tips)
        self.assertIn('\n17. ', tips)
        self.assertEqual(send('press', '#32770', '1'), 0)  # OK
        wait_until(lambda: out('wintext', '#32770', '100') is None, 10, 'the tips box to close')
        stop(proc, self)
        wait_until(lambda: not tray_shown(), 10, 'the tray icon removed at exit')
        flags = re.search(rb'control_flags=(\d+)', self.z.read_ini())
        self.assertTrue(flags and int(flags[1]) & 0x10, 'the tray option was not switched on')


class Accelerators(unittest.TestCase):
    def test_table_750(self):
        """zuvo.exe carries accelerator table 750: every entry a virtual key bound once, to a
        command of src/base/command_ids.h, and a sample of the key bindings across the groups
        of the command table and every modifier."""
        rc, out = e2e_lib.send_output('accel', e2e_lib.ARGS.exe, '750')
        self.assertEqual(rc, 0, 'no accelerator table 750')
        table, known = {}, set(e2e_lib.COMMANDS.values())
        for line in out.decode().splitlines():
            flags, key, cmd = (int(x) for x in line.split())
            self.assertTrue(flags & VIRTKEY, (flags, key, cmd))
            self.assertIn(cmd, known, 'key %s bound to no command' % hex(key))
            mods = flags & (SHIFT | CONTROL | ALT)
            self.assertNotIn((mods, key), table, 'key bound twice')
            table[(mods, key)] = cmd
        for mods, key, cmd in EXPECTED:
            self.assertEqual(table.get((mods, key)), e2e_lib.command_id(cmd), (mods, hex(key), cmd))


if __name__ == '__main__':
    e2e_lib.main()
