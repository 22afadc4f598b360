"""The main window's face: the toolbar's buttons and their states, a click on "Next track", the
sliders following the volume and the position and dragged with the mouse, the status bar's
panes, a dragged tree divider kept over a restart, the compact view and back, and dark mode
judged on a screenshot (Wine lacks the uxtheme exports the dark controls use)."""
import os
import re
import subprocess
import unittest

import e2e_lib
from e2e_lib import Install, command, make_mp3, send, stop, wait_until, win_path

TOOLBAR_MUTE = 1 << 20
# The thirteen buttons every toolbar has, and the mute button of toolbar bit 20 after "Home".
ALWAYS = [510, 511, 512, 513, 518, 402, 520, 517, 516, 521, 523, 525, 524]


out = e2e_lib.output


def toolbar():
    """[(command, state letters, image)] of the toolbar's buttons."""
    text = out('toolbar') or ''
    return [(int(c), s, int(i)) for c, s, i in re.findall(r'^(\d+) (\S+) (-?\d+)$', text, re.M)]


def button(cmd):
    return next((b for b in toolbar() if b[0] == cmd), None)


def children():
    """[(class, x, y, w, h, visible, text)] of the main window's children, in z-order."""
    found = []
    for line in (out('children') or '').splitlines():
        head, _, text = line.partition('\t')
        cls, x, y, w, h, vis = head.split(' ')
        found.append((cls, int(x), int(y), int(w), int(h), vis == '1', text))
    return found


def child(cls, pick=lambda c: True):
    return next((c for c in children() if c[0] == cls and pick(c)), None)


def slider_value(name):
    """The value a slider shows (its window text "Volume 52000/65535"), None without one."""
    c = child('ZuvoSlider', lambda c: c[6].startswith(name))
    m = re.search(r'(-?\d+)/\d+$', c[6]) if c else None
    return int(m[1]) if m else None


def nth_of(cls, pick):
    """Index among the children of that class (the order zuvo-send drag counts in)."""
    same = [c for c in children() if c[0] == cls]
    return next(i for i, c in enumerate(same) if pick(c))


def rect():
    return tuple(int(v) for v in (out('rect') or '0 0 0 0').split())


def make_folder(root):
    folder = os.path.join(root, 'Album')
    os.makedirs(folder)
    return [make_mp3(os.path.join(folder, '%02d Track.mp3' % i), 60, sweep='%d-%d' % (200 * i, 900))
            for i in (1, 2, 3)]


class Face(unittest.TestCase):
    def start_listed(self, z, *args):
        proc = z.launch(self, *args, '/localini', visible=True)
        wait_until(lambda: len(e2e_lib.rows()) == 3, 20, 'the three tracks listed')
        return proc

    def test_toolbar_sliders_dividers_and_compact_view(self):
        z = Install('face')
        tracks = make_folder(z.folder)
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nwavedevice=0\r\nvolume=52000\r\ntoolbar=%d\r\n'
                    b'window_x=10\r\nwindow_y=10\r\nwindow_w=800\r\nwindow_h=500\r\nmaximized=0\r\n'
                    b'divider=200\r\nstylez=%d\r\nmouse_flags=1\r\n' % (TOOLBAR_MUTE, 41858))
        proc = self.start_listed(z, win_path(tracks[0]))
        # The buttons the settings show, in their order, as the start-up mask leaves them.
        self.assertEqual([b[0] for b in toolbar()], ALWAYS + [528])
        self.assertEqual(button(528)[1:], ('e', 33))
        self.assertEqual(command('Mute'), 0)
        wait_until(lambda: button(528)[1:] == ('ec', 32), 10, 'the mute button checked')
        self.assertEqual(command('Mute'), 0)
        wait_until(lambda: button(528)[1:] == ('e', 33), 10, 'the mute button released')
        self.assertNotIn('c', button(523)[1])
        self.assertEqual(command('PlaylistView'), 0)
        wait_until(lambda: 'c' in button(523)[1], 10, 'the play list button checked')
        self.assertEqual(command('PlaylistView'), 0)
        wait_until(lambda: 'c' not in button(523)[1], 10, 'the play list button released')

        # The status bar has its three panes.
        self.assertEqual(len((out('status') or '').splitlines()), 3)

        # The sliders follow the volume and the playing position.
        self.assertEqual(slider_value('Volume'), 52000)
        self.assertEqual(command('VolumeDown'), 0)
        wait_until(lambda: slider_value('Volume') == 52000 - 2560, 10, 'the volume slider')
        # "Use wheel for volume" alone: the wheel over the list turns the volume down.
        self.assertEqual(send('wheel', 'SysListView32', '0', '-120'), 0)
        wait_until(lambda: slider_value('Volume') == 52000 - 2 * 2560, 10,
                   'the volume down by the wheel')
        wait_until(lambda: (slider_value('Track position') or 0) > 20, 20,
                   'the position slider moving')

        # A click on "Next track": the position starts again (on the second track, which
        # the settings file names at the end).
        before = slider_value('Track position')
        self.assertEqual(send('tbclick', '513'), 0)
        wait_until(lambda: 0 <= slider_value('Track position') < before, 10,
                   'the position back at the start of the next track')

        # Dragging the volume knob to the far left; dragging the position to the middle
        # seeks there (half a minute before the second track ends).
        vol = nth_of('ZuvoSlider', lambda c: c[6].startswith('Volume'))
        self.assertEqual(send('drag', 'ZuvoSlider', str(vol), '0.5', '-2000', '0'), 0)
        wait_until(lambda: slider_value('Volume') == 0, 10, 'the volume at 0')
        pos = child('ZuvoSlider', lambda c: c[6].startswith('Track position'))
        nth = nth_of('ZuvoSlider', lambda c: c[6].startswith('Track position'))
        self.assertEqual(send('drag', 'ZuvoSlider', str(nth), '0.05', str(int(pos[3] * 0.45)),
                              '0'), 0)
        wait_until(lambda: 450 <= slider_value('Track position') < 600, 10,
                   'the seek to the middle')

        # The tree divider dragged 60 pixels to the right.
        tree_w = child('SysTreeView32')[3]
        div = nth_of('ZuvoDivider', lambda c: c[5] and c[1] == tree_w and c[4] > 100)
        self.assertEqual(send('drag', 'ZuvoDivider', str(div), '0.5', '60', '0'), 0)
        wait_until(lambda: abs(child('SysTreeView32')[3] - (tree_w + 60)) <= 2, 10,
                   'the tree 60 pixels wider')
        dragged = child('SysTreeView32')[3]

        # The compact view and back: the window's size comes back.
        normal = rect()
        self.assertEqual(command('CompactView'), 0)
        compact = wait_until(lambda: rect()[2] < normal[2] and rect(), 10, 'a compact window')
        self.assertLess(compact[3], normal[3])
        self.assertFalse(child('SysTreeView32')[5], 'the tree shown in the compact view')
        self.assertEqual(command('CompactView'), 0)
        wait_until(lambda: rect() == normal, 10, 'the normal window again')
        self.assertTrue(child('SysTreeView32')[5])
        stop(proc, self)
        ini = z.read_ini()
        self.assertIn(b'\r\ndivider=%d\r\n' % dragged, ini)
        self.assertIn(b'\r\nvolume=0\r\n', ini)
        self.assertRegex(ini, rb'\r\nlast_file=[^\r]*02 Track\.mp3\r\n')

        # The divider where it was dragged to after a restart.
        proc = self.start_listed(z)
        self.assertEqual(child('SysTreeView32')[3], dragged)
        stop(proc, self)

    def test_dark_mode(self):
        z = Install('face-dark')
        make_folder(z.folder)
        themeini = os.path.join(os.path.dirname(e2e_lib.ARGS.send), 'zuvo-theme-ini.exe')
        rc = subprocess.run([e2e_lib.WINE_RUN, themeini, '1', '1.0', win_path(z.ini), 'utf8=1',
                             'wavedevice=0', 'window_x=0', 'window_y=0', 'window_w=800',
                             'window_h=500', 'maximized=0', 'divider=200',
                             'browsed_folder=' + win_path(os.path.join(z.folder, 'Album'))],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        self.assertEqual(rc, 0)
        def screenshot(name):
            """The screen now, as a function giving the pixels of a rectangle of the main
            window's client area."""
            shot = os.path.join(z.folder, name)
            e2e_lib.screenshot(shot)
            wx, wy = (int(v) for v in out('client').split()[:2])
            return lambda x, y, w, h: [tuple(p) for p in zip(*[iter(subprocess.run(
                ['convert', shot, '-crop', '%dx%d+%d+%d' % (w, h, wx + x, wy + y), '+repage',
                 '-depth', '8', 'rgb:-'], check=True, stdout=subprocess.PIPE).stdout)] * 3)]

        proc = self.start_listed(z)
        pixels = screenshot('dark.png')
        tree = child('SysTreeView32')
        files = child('SysListView32')
        # The play list pane opened later gets the dark header too: a band across its top,
        # wherever the layout has put it by then.
        self.assertEqual(command('PlaylistView'), 0)

        def pane_header():
            pane = child('SysListView32', lambda c: c[6] == 'Playlist view')
            return pane and (0x50, 0x50, 0x50) in screenshot('dark-playlist.png')(
                pane[1], pane[2], pane[3], 16)
        wait_until(pane_header, 10, 'a column separator in the play list header')
        stop(proc, self)

        # Below the rows, the tree and the list are the theme's dark backgrounds.
        for name, c in (('tree', tree), ('list', files)):
            area = pixels(c[1] + c[3] // 4, c[2] + c[4] - 60, c[3] // 2, 40)
            self.assertTrue(all(max(p) < 0x40 for p in area), '%s background not dark' % name)
        # The header the program paints: the window colour and the grey column lines.
        header = pixels(files[1], files[2] + 6, files[3], 1)
        self.assertIn((0x50, 0x50, 0x50), header, 'no column separator in the header')
        self.assertGreater(header.count((0x20, 0x20, 0x20)), files[3] // 4)


if __name__ == '__main__':
    e2e_lib.main()
