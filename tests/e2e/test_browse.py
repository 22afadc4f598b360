"""zuvo.exe started on a prepared folder tree shows it: the tree on the left and the File view
on the right (judged on a screenshot), the listed rows as the program saves them at exit; then,
started on the browsed folder of its settings, keyboard commands that rename a track in place,
open a folder row and go back to the current track."""
import os
import subprocess
import time
import unittest

import e2e_lib
from e2e_lib import Install, command, send, stop, wait_until, win_path

RESTORE_FILE_LIST = 0x10000
NATURAL_ORDER = 0x1
MONTH_COLORS = 0x4
# The header colours of the month icons by season (December to February first).
SEASON_COLOURS = ['rgb(66,133,244)', 'rgb(52,168,83)', 'rgb(251,140,0)', 'rgb(141,85,36)']
FOLDERS_IN_FILE_VIEW = 0x80


def make_tree(root):
    """root/Müsik with three tracks, a text file, a play list and the sub-folder 日本."""
    musik = os.path.join(root, 'Müsik')
    os.makedirs(os.path.join(musik, '日本'))
    os.makedirs(os.path.join(root, 'Ελληνικά'))
    for name, size in (('Track 9.mp3', 3000), ('Track 10.mp3', 2000), ('Ärger.mp3', 1000),
                       ('notes.txt', 10), (os.path.join('日本', 'Kyoto.mp3'), 500)):
        e2e_lib.write(os.path.join(musik, name), b'\0' * size)
    return musik


def window_rect():
    """x, y, w, h of the main window on the screen."""
    rect = e2e_lib.output('rect')
    return tuple(map(int, rect.split())) if rect else None


def colours(png, x, y, w, h):
    """Number of distinct colours in a region: an empty control has one or two."""
    out = subprocess.run(['convert', png, '-crop', '%dx%d+%d+%d' % (w, h, x, y), '+repage',
                          '-format', '%k', 'info:'], check=True, stdout=subprocess.PIPE)
    return int(out.stdout)


def saved_rows(z):
    """The File view's rows as the exit wrote them: lists of cells."""
    data = e2e_lib.read(os.path.join(z.prog, 'zuvo.ind'))
    return [line.decode('utf-8').split('|') for line in data.split(b'\r\n') if line]


def row(shown, name):
    """The state of the row showing `name` (a track without its extension, a folder row with
    its marks around the name), or None."""
    return next((state for state, cell in shown if cell == name or cell.endswith('  ' + name)),
                None)


def listed(names):
    """Waits until the File view shows a row for each of names; returns its rows."""
    def check():
        shown = e2e_lib.rows()
        return shown if all(row(shown, n) for n in names) else None
    return wait_until(check, 20, lambda: 'the File view listing %s: %r' % (names, e2e_lib.rows()))


def focus_on(name):
    """Waits until the File view's focus is on the row of `name`."""
    wait_until(lambda: 'f' in (row(e2e_lib.rows(), name) or ''), 10,
               lambda: 'the focus on %s: %r' % (name, e2e_lib.rows()))


TRACKS = ['Track 9.mp3', 'Track 10.mp3', 'Ärger.mp3']
SHOWN = ['Track 9', 'Track 10', 'Ärger']  # the File view leaves the extensions out


class Browse(unittest.TestCase):
    def test_tree_and_list_then_keys_rename_open_and_go_to_current(self):
        z = Install('browse')
        musik = make_tree(os.path.join(z.folder, 'music'))
        last_file = win_path(os.path.join(musik, 'Track 9.mp3')).encode('utf-8')
        ini = b'[Zuvo]\r\nutf8=1\r\nlist_style=%d\r\ncontrol_flags=%d\r\nlast_file=%s\r\n' % (
            NATURAL_ORDER | RESTORE_FILE_LIST | MONTH_COLORS, 32 | FOLDERS_IN_FILE_VIEW, last_file)
        z.write_ini(ini)
        # The path first: Wine quotes nothing here, and a path after a switch is no path.
        proc = z.launch(self, win_path(musik), '/localini', '/newinst', visible=True)
        shot = os.path.join(e2e_lib.ARGS.work, 'browse.png')
        seen = {}

        def painted():
            # The first paint may come a moment after the window shows.
            seen['rect'] = rect = window_rect()
            if not rect:
                return None
            e2e_lib.screenshot(shot)
            x, y, w, h = rect
            seen['tree'] = colours(shot, x + 4, y + 30, w // 4 - 8, h - 60)
            seen['files'] = colours(shot, x + w // 2, y + 30, w // 2 - 8, h - 60)
            return seen['tree'] > 8 and seen['files'] > 8 and rect

        rect = wait_until(painted, 10, lambda: 'the tree pane and the file list painted (%r, %s)' %
                          (seen, shot), interval=0.25)
        # The three tracks, written just now, carry this month's icon (Wine's clock is UTC):
        # its season's header, 12 x 3 pixels each.
        season = SEASON_COLOURS[time.gmtime().tm_mon % 12 // 3]
        x, y, w, h = rect
        self.assertGreaterEqual(e2e_lib.pixels_of(shot, season, (x + w // 4, y, w * 3 // 4, h)), 3 * 36,
                                'no month icons in the file list (%s)' % shot)
        stop(proc, self)
        rows = saved_rows(z)
        names = [r[0] for r in rows]
        self.assertEqual(set(names), set(TRACKS))
        self.assertLess(names.index('Track 9.mp3'), names.index('Track 10.mp3'))  # natural order
        for r in rows:
            self.assertEqual(r[2], win_path(musik))
            self.assertRegex(r[3], r'^\d{4}-\d\d-\d\d \d\d:\d\d$')
        self.assertEqual(z.values().get('browsed_folder'), win_path(musik))

        # Started without a path (and no saved rows): the settings file's browsed folder.
        os.remove(os.path.join(z.prog, 'zuvo.ind'))
        z.write_ini(ini + b'browsed_folder=%s\r\n' % win_path(musik).encode('utf-8'))
        proc = z.launch(self, '/localini', visible=True)
        listed(SHOWN + ['日本'])
        # PgDn focuses the last row (Track 10), F2 opens its name for editing.
        self.assertEqual(command('PageDown'), 0)
        focus_on('Track 10')
        self.assertEqual(command('Rename'), 0)
        self.assertEqual(send('label', 'Track 11'), 0, 'no label edit opened')
        wait_until(lambda: os.path.exists(os.path.join(musik, 'Track 11.mp3')), 10,
                   'the file renamed to Track 11.mp3')
        self.assertFalse(os.path.exists(os.path.join(musik, 'Track 10.mp3')))
        # Rows: the parent row, then the folder row of 日本. Home, Down, Return opens it; the
        # tree selects it and the listing timer shows it.
        self.assertEqual(command('Home'), 0)
        self.assertEqual(command('KeyDown'), 0)
        focus_on('日本')
        self.assertEqual(command('Return'), 0)
        listed(['Kyoto'])
        # Ctrl+H goes back to the folder of the track heard last and selects it.
        self.assertEqual(command('GoToCurrent'), 0)
        self.assertIn('s', row(listed(['Track 9', 'Track 11']), 'Track 9'),
                      'the current track is not selected')
        stop(proc, self)
        self.assertEqual(z.values().get('browsed_folder'), win_path(musik))
        names = sorted(r[0] for r in saved_rows(z))
        self.assertEqual(names, ['Track 11.mp3', 'Track 9.mp3', 'Ärger.mp3'])


if __name__ == '__main__':
    e2e_lib.main()
