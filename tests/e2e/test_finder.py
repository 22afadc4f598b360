"""The file finder ("&Find files...", F3) over a generated tree of 20,000 files in 200 folders:
with a name, an Ignore text and a size range it finds exactly the set that `find` finds with
the same rules (a folder whose path holds the name gives all its playable files; Ignore in a
name or folder path excludes), into the File view or the Insert view; Cancel in the middle of
a search ends it and keeps the rows found so far. Prints files per second against `find`, the
longest stall of the dialog and the time Cancel took (figures, not checks)."""
import os
import subprocess
import time
import unittest

import e2e_lib
from e2e_lib import Install, command, send, send_output, stop, wait_until, win_path

DIALOG = '#32770'
FOLDERS, PER_FOLDER = 200, 100


def make_tree(root):
    """200 folders (every 20th named "...Love...", every 50th under "demo"), 100 files each:
    .mp3 and .txt, some names with "love" or "DEMO", sizes 0 to 2.9 KB."""
    for d in range(FOLDERS):
        parent = os.path.join(root, 'demo' if d % 50 == 7 else 'g%d' % (d % 7))
        folder = os.path.join(parent, ('Love %d' if d % 20 == 3 else 'd%d') % d)
        os.makedirs(folder, exist_ok=True)
        for i in range(PER_FOLDER):
            stem = ('love_%d_%d' if i % 9 == 0 else 'x%d_%d DEMO' if i % 13 == 0 else 'f%d_%d') % (d, i)
            ext = '.txt' if i % 10 == 4 else '.mp3'
            e2e_lib.write(os.path.join(folder, stem + ext), b'\0' * ((d * 37 + i * 11) % 3000))


def find_names(root, name, ignore, low_kb, high_kb):
    """The same rules through find: playable (.mp3), the name in the file name or the folder path
    below root, Ignore in neither, the size in [low, high] KB."""
    out = subprocess.run(['find', root, '-type', 'f', '-iname', '*.mp3', '-size', '+%dc' % (low_kb * 1024 - 1),
                          '-size', '-%dc' % (high_kb * 1024 + 1)], check=True, capture_output=True,
                         text=True).stdout.splitlines()
    names = set()
    for path in out:
        rel = os.path.relpath(path, root).lower()
        folder, base = os.path.split(rel)
        if name not in base and name not in folder:
            continue
        if ignore and (ignore in base or ignore in folder):
            continue
        names.add(os.path.basename(path))
    return names


class Finder(unittest.TestCase):
    def open_finder(self, *fields, button=None):
        """Opens the finder; fills in (name, ignore[, low KB, high KB]) and presses button."""
        self.assertEqual(command('FindFiles'), 0)
        wait_until(lambda: send('wintext', DIALOG, '200') == 0, 10, 'the finder dialog')
        if len(fields) > 2:
            self.assertEqual(send('press', DIALOG, '330'), 0)  # "<1M" checks "Size"
        for control, text in zip((301, 302, 307, 308), fields):
            self.assertEqual(send('dlgset', '*', str(control), text), 0)
        if button:
            self.assertEqual(send('press', DIALOG, str(button)), 0)

    def test_same_set_as_find_and_cancel(self):
        z = Install('finder')
        tree = os.path.join(z.folder, 'tree')
        make_tree(tree)
        proc = z.start_in(self, tree, listed=False)

        t0 = time.monotonic()
        self.open_finder('love', 'demo', '1', '2', button=309)  # Search
        rc, out = send_output('stalls', DIALOG, '60000')
        wait_until(lambda: send('wintext', DIALOG, '100') != 0, 60, 'the search to end')
        seconds = time.monotonic() - t0
        want = find_names(tree, 'love', 'demo', 1, 2)
        got = wait_until(lambda: set(r[1] for r in e2e_lib.rows()) or None, 20, 'the rows')
        self.assertTrue(want)
        self.assertEqual(got, want)

        t1 = time.monotonic()
        subprocess.run(['find', tree, '-type', 'f', '-iname', '*.mp3'], check=True,
                       capture_output=True)
        find_s = time.monotonic() - t1
        files = FOLDERS * PER_FOLDER
        print('finder: %.0f files/s (%.2f s, poll-limited); find: %.0f files/s; longest dialog '
              'stall %s ms over %s probes' % (files / seconds, seconds, files / find_s,
                                              *out.decode().split()))

        # "To Insert view": the same kind of search into the Insert view's list.
        self.open_finder('love_1', '', '1', '2', button=311)  # To Insert view
        want = find_names(tree, 'love_1', '', 1, 2)
        title = win_path(tree) + '\\'  # the Insert view is titled with the root
        got = wait_until(lambda: set(e2e_lib.dialog_names(title)), 60, 'the rows in the Insert view')
        self.assertTrue(want)
        self.assertEqual(got, want)

        # The same Cancel on an idle dialog: what closing a dialog costs without a search.
        self.open_finder()
        rc, idle = send_output('cancelms', DIALOG)
        self.assertEqual(rc, 0)

        # Cancel during a search of everything: the rows found so far stay in the list.
        self.open_finder('', '', button=309)
        rc, out = send_output('cancelms', DIALOG)
        self.assertEqual(rc, 0)
        kept = wait_until(lambda: e2e_lib.rows() or None, 20, 'the rows found before Cancel')
        every = FOLDERS * PER_FOLDER * 9 // 10
        self.assertLess(len(kept), every, 'the search was not cancelled')
        rc, stopped = send_output('prop', 'ZuvoFinderStopUs')
        self.assertEqual(rc, 0)
        self.assertGreater(int(stopped), 0, 'the program kept no stop time')
        print('finder: the walk stopped %.1f ms after Cancel (measured in the program); Cancel '
              'closed the dialog after %s ms with %d of %d rows (an idle dialog: %s ms)' %
              (int(stopped) / 1000, out.decode().strip(), len(kept), every,
               idle.decode().strip()))
        stop(proc, self)


if __name__ == '__main__':
    e2e_lib.main()
