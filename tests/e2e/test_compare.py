"""Compare folders on the real zuvo.exe under Wine: two generated trees of about 5,000 files
with known differences (files on one side only, other sizes, dates one and two hours apart,
names that differ in case, in the top folder and in sub-folders).

The rows the dialog shows (read from its table) and its three counts equal what this script
computes on its own from the trees, flat and with "Scan subfolders". "Copy to Comp" of every
base row, then "Delete" of the compare rows that are left (asked first: No changes nothing,
Yes moves them to Wine's trash), leave two trees that compare equal (`diff -rq` finds
nothing); no other file's bytes change."""
import os
import re
import shutil
import subprocess
import time
import unittest

import e2e_lib
from e2e_lib import Install, command, send, send_output, stop, wait_until, win_path

TITLE = 'Compare folders'
BASE_BOX, COMP_BOX, BASE_COUNT, COMP_COUNT = 101, 105, 103, 107
PREV, NEXT, REFRESH, SUBFOLDERS, DIFFS = 108, 109, 110, 113, 114
COPY, DELETE, RENAME, EASY_RENAMER, NAME_AND_DATE = 851, 853, 854, 859, 860
BASE_TO_COMP = 202  # "Copy from BASE to COMP" of the name-and-date dialog
YES, NO = 6, 7
T0 = 1700000000  # the generated files' modification times start here


def make_trees(base, comp):
    """Base: 50 folders of 100 files and 20 files at the top; Comp: a copy with changes.
    Every file's content is unique and sizes only change with content, so `diff -rq` reports
    exactly the files that are missing or differ in size."""
    def write(path, size, tag, mtime):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        data = (tag.encode() * (size // len(tag) + 1))[:size]
        e2e_lib.write(path, data)
        os.utime(path, (mtime, mtime))

    n = 0
    for d in range(50):
        for i in range(100):
            name = 'Case.dat' if (d, i) == (15, 0) else 'f%03d.dat' % i
            write(os.path.join(base, 'd%02d' % d, name), 40 + (d * 100 + i) % 300,
                  'd%02d/%s;' % (d, name), T0 + n * 60)
            n += 1
    for i in range(20):
        write(os.path.join(base, 'r%02d.dat' % i), 50 + i, 'top%02d;' % i, T0 + i * 600)
    shutil.copytree(base, comp)
    j = lambda *p: os.path.join(comp, *p)
    os.remove(j('d03', 'f010.dat'))                       # base only
    os.remove(j('d07', 'f020.dat'))
    os.remove(j('r01.dat'))
    write(j('d05', 'new1.dat'), 77, 'new1;', T0)           # compare only
    write(j('r_new.dat'), 78, 'rnew;', T0)
    for p in (j('d10', 'f005.dat'), j('r02.dat')):        # another size (0.03 MB, not 0.00)
        write(p, 30000, 'bigger;' + p, os.stat(p).st_mtime)
    for p, shift in ((j('d12', 'f001.dat'), -7200), (j('r03.dat'), 7200),   # two hours
                     (j('d13', 'f002.dat'), -3600), (j('r04.dat'), 3600)):  # one hour
        t = os.stat(p).st_mtime + shift
        os.utime(p, (t, t))
    os.rename(j('d15', 'Case.dat'), j('d15', 'case.dat'))  # case only
    os.rename(j('r05.dat'), j('R05.dat'))


def make_albums(base, comp):
    """Three parallel album folders on each side, each with the same small differences."""
    for side, name, size, t in ((base, 'x.dat', 10, T0), (comp, 'y.dat', 10, T0 + 9999),
                                (base, 'z.dat', 5, T0), (comp, 'z2.dat', 30000, T0),
                                (base, 'p.dat', 7, T0), (base, 'q.dat', 8, T0)):
        for album in ('A', 'B', 'C'):
            path = os.path.join(side, album, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            e2e_lib.write(path, bytes(range(size)) if name != 'z2.dat' else b'z' * size)
            os.utime(path, (t, t))
    return base, comp


def cells(folder):
    """{relative path with "\\": (size text, date text)} as the dialog prints them."""
    out = {}
    for root, _, files in os.walk(folder):
        for name in files:
            st = os.stat(os.path.join(root, name))
            rel = os.path.relpath(os.path.join(root, name), folder).replace('/', '\\')
            out[rel] = ('%.2f MB' % ((st.st_size & 0xFFFFFFFF) / 1048576.0),
                        time.strftime('%Y-%m-%d %H:%M', time.localtime(st.st_mtime)))
    return out


def high_bits(date):
    """The upper 32 bits of the UTC file time of a local "YYYY-MM-DD HH:MM"."""
    t = time.mktime(time.strptime(date, '%Y-%m-%d %H:%M'))
    return (int(t) + 11644473600) * 10000000 >> 32


def expected(base, comp, recursive):
    """{(side, relative path)} of the rows that stay, and the three counts."""
    b, c = cells(base), cells(comp)
    if not recursive:
        b = {k: v for k, v in b.items() if '\\' not in k}
        c = {k: v for k, v in c.items() if '\\' not in k}
    rows = set()
    for rel, v in b.items():
        w = c.get(rel)
        if w is None or w[0] != v[0] or (w[1] != v[1] and
                                         abs(high_bits(w[1]) - high_bits(v[1])) > 10):
            rows.add(('Base', rel))
            if w is not None:
                rows.add(('Comp', rel))
    rows |= {('Comp', rel) for rel in c if rel not in b}
    return rows, (len(b), len(c), len(rows))


def diff_rq(base, comp):
    """{relative path} that `diff -rq` reports as missing on one side or differing."""
    out = subprocess.run(['diff', '-rq', '--brief', base, comp], stdout=subprocess.PIPE,
                         text=True).stdout
    found = set()
    for line in out.splitlines():
        m = re.fullmatch(r'Only in (.*): (.*)', line)
        if m:
            root = base if m[1].startswith(base) else comp
            found.add(os.path.relpath(os.path.join(m[1], m[2]), root).replace('/', '\\'))
            continue
        m = re.fullmatch(r'Files (.*) and (.*) differ', line)
        found.add(os.path.relpath(m[1], base).replace('/', '\\'))
    return found


class CompareFolders(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        os.environ['LC_ALL'] = 'C.UTF-8'

    def table(self):
        rc, out = send_output('dialogrows', TITLE)
        self.assertEqual(rc, 0, 'no compare table')
        rows = [line.split('\t') for line in out.decode('utf-8').splitlines()]
        return [(r[3][:4], r[0]) for r in rows]

    def count(self, id):
        rc, out = send_output('dlgtext', TITLE, str(id))
        return int(out.decode().split()[0]) if rc == 0 and out.strip() else None

    def refreshed(self, trigger):
        """Runs trigger (which refreshes the table) and waits for the new counts."""
        self.assertEqual(send('dlgset', TITLE, str(DIFFS), ''), 0)
        t0 = time.monotonic()
        trigger()
        wait_until(lambda: send_output('dlgtext', TITLE, str(DIFFS))[1].endswith(b'diffs'), 60,
                   'the comparison')
        return time.monotonic() - t0

    def check(self, base, comp, recursive):
        rows, counts = expected(base, comp, recursive)
        shown = self.table()
        self.assertEqual(len(shown), len(set(shown)))
        self.assertEqual(set(shown), rows)
        self.assertEqual((self.count(BASE_COUNT), self.count(COMP_COUNT), self.count(DIFFS)),
                         counts)
        return shown

    def test_compare_copy_and_delete(self):
        z = Install('compare')
        base, comp = os.path.join(z.folder, 'Base'), os.path.join(z.folder, 'Comp')
        xdg = os.path.join(z.folder, 'xdg')
        make_trees(base, comp)
        albums = make_albums(os.path.join(z.folder, 'ABase'), os.path.join(z.folder, 'AComp'))
        os.makedirs(xdg)
        os.environ['XDG_DATA_HOME'] = xdg
        self.addCleanup(os.environ.pop, 'XDG_DATA_HOME', None)
        before_base, before_comp = e2e_lib.hashes(base), e2e_lib.hashes(comp)
        proc = z.start_in(self, base, b'compare=0\r\n', listed=False)
        self.assertEqual(command('CompareFolders'), 0)
        self.assertEqual(send('dlgset', TITLE, str(COMP_BOX), win_path(comp)), 0, 'no dialog')
        rc, out = send_output('dlgtext', TITLE, str(BASE_BOX))
        self.assertEqual(out.decode(), win_path(base))

        flat_s = self.refreshed(lambda: send('dlgclick', TITLE, str(REFRESH)))
        flat = self.check(base, comp, False)
        self.assertEqual(send('dlgclick', TITLE, str(SUBFOLDERS)), 0)
        deep_s = self.refreshed(lambda: send('dlgclick', TITLE, str(REFRESH)))
        deep = self.check(base, comp, True)
        print('compare: %d files a side; flat %d rows in %.2f s, recursive %d rows in %.2f s' %
              (len(before_base), len(flat), flat_s, len(deep), deep_s))

        # Copy to Comp of every base row.
        base_rows = [str(i) for i, (side, _) in enumerate(deep) if side == 'Base']
        self.assertEqual(send('dlgselect', TITLE, *base_rows), 0)
        self.refreshed(lambda: (send('dlgcommand', TITLE, str(COPY)),
                                self.assertEqual(send('dlgclick', 'Please confirm', str(YES)), 0,
                                                 'no question')))
        left = self.check(base, comp, True)
        self.assertEqual({side for side, _ in left}, {"Comp"}, left)
        copied = {rel for side, rel in deep if side == 'Base'}
        want = dict(before_comp)
        for rel in copied:  # a copy onto a name spelled in other case takes the new spelling
            rel = rel.replace('\\', '/')
            for old in [k for k in want if k.lower() == rel.lower()]:
                del want[old]
            want[rel] = before_base[rel]
        self.assertEqual(e2e_lib.hashes(comp), want)

        # Delete the compare rows that are left: No keeps them, Yes sends them to the trash.
        self.assertEqual(send('dlgselect', TITLE), 0)
        self.assertEqual(send('dlgcommand', TITLE, str(DELETE)), 0)
        self.assertEqual(send('dlgclick', 'Please confirm', str(NO)), 0, 'no question')
        wait_until(lambda: send('titled', 'Please confirm') != 0, 10, 'the question closed')
        self.assertEqual(len(self.table()), len(left))
        self.assertEqual(e2e_lib.hashes(comp), want)
        self.assertEqual(send('dlgselect', TITLE), 0)
        self.refreshed(lambda: (send('dlgcommand', TITLE, str(DELETE)),
                                self.assertEqual(send('dlgclick', 'Please confirm', str(YES)), 0,
                                                 'no question')))
        self.assertEqual(self.table(), [])
        self.assertEqual(self.count(DIFFS), 0)
        self.assertEqual(diff_rq(base, comp), set())
        trash = os.path.join(xdg, 'Trash', 'files')
        deleted = {rel.replace('\\', '/') for _, rel in left}
        self.assertEqual(sorted(e2e_lib.hashes(trash).values()),
                         sorted(want[rel] for rel in deleted))
        self.assertEqual(e2e_lib.hashes(base), before_base)
        self.assertEqual(e2e_lib.hashes(comp), {k: v for k, v in want.items() if k not in deleted})
        self.prev_next_and_name_and_date(*albums)
        send('dlgcommand', TITLE, '2')  # Escape closes the dialog
        wait_until(lambda: send('titled', TITLE) != 0, 10, 'the dialog closed')
        stop(proc, self)
        self.assertIn(b'compare=16\r\n', z.read_ini())

    def prev_next_and_name_and_date(self, base, comp):
        """Prev/Next walk both boxes through parallel sibling folders and stop at the last; the
        easy renamer and the in-place rename rename a base row's file; "Copy name and date"
        refuses other sizes and gives the compare file the base file's name and times."""
        before_base, before_comp = e2e_lib.hashes(base), e2e_lib.hashes(comp)
        for box, folder in ((BASE_BOX, base), (COMP_BOX, comp)):
            self.assertEqual(send('dlgset', TITLE, str(box), win_path(os.path.join(folder, 'B'))),
                             0)
        boxes = lambda: tuple(send_output('dlgtext', TITLE, str(i))[1].decode()
                              for i in (BASE_BOX, COMP_BOX))
        want = lambda album: (win_path(os.path.join(base, album)),
                              win_path(os.path.join(comp, album)))
        for button, album in ((NEXT, 'C'), (NEXT, 'C'), (PREV, 'B'), (PREV, 'A'), (NEXT, 'B')):
            self.refreshed(lambda: send('dlgclick', TITLE, str(button)))
            self.assertEqual(boxes(), want(album))
        self.assertEqual(self.table(), [('Base', 'p.dat'), ('Base', 'q.dat'), ('Base', 'x.dat'),
                                        ('Comp', 'y.dat'), ('Base', 'z.dat'), ('Comp', 'z2.dat')])
        # The easy renamer over two base rows renames the edited line's file only.
        self.assertEqual(send('dlgselect', TITLE, '0', '1'), 0)
        self.assertEqual(send('dlgcommand', TITLE, str(EASY_RENAMER)), 0)
        self.assertEqual(send('dlgset', 'Easy renamer', '102', 'p.dat\r\nQ1.dat\r\n'), 0,
                         'no renamer')
        self.refreshed(lambda: (send('dlgclick', 'Easy renamer', '1'),
                                send('dlgclick', 'Please confirm', '1')))
        self.assertEqual(self.table()[:2], [('Base', 'p.dat'), ('Base', 'Q1.dat')])
        before_base[os.path.join('B', 'Q1.dat')] = before_base.pop(os.path.join('B', 'q.dat'))
        # Rename in place, the case alone (which Wine would take for a no-op done directly).
        self.assertEqual(send('dlgselect', TITLE, '0'), 0)
        self.refreshed(lambda: (send('dlgcommand', TITLE, str(RENAME)),
                                send('dlglabel', TITLE, 'P.dat')))
        self.assertEqual(self.table()[:2], [('Base', 'P.dat'), ('Base', 'Q1.dat')])
        before_base[os.path.join('B', 'P.dat')] = before_base.pop(os.path.join('B', 'p.dat'))
        # Sizes differ: refused.
        self.assertEqual(send('dlgselect', TITLE, '4', '5'), 0)
        self.assertEqual(send('dlgcommand', TITLE, str(NAME_AND_DATE)), 0)
        self.assertEqual(send('dlgclick', 'Copy not possible', '1'), 0, 'no refusal')
        wait_until(lambda: send('titled', 'Copy not possible') != 0, 10, 'the refusal closed')
        # Same size: y.dat becomes x.dat with x.dat's times, its bytes unchanged.
        self.assertEqual(send('dlgselect', TITLE, '2', '3'), 0)
        self.refreshed(lambda: (send('dlgcommand', TITLE, str(NAME_AND_DATE)),
                                send('dlgclick', 'Copy file name and date', str(BASE_TO_COMP))))
        self.assertEqual(self.table(), [('Base', 'P.dat'), ('Base', 'Q1.dat'), ('Base', 'z.dat'),
                                        ('Comp', 'z2.dat')])
        moved = os.path.join(comp, 'B', 'x.dat')
        self.assertEqual(os.stat(moved).st_mtime, T0)
        before_comp[os.path.join('B', 'x.dat')] = before_comp.pop(os.path.join('B', 'y.dat'))
        self.assertEqual((e2e_lib.hashes(base), e2e_lib.hashes(comp)), (before_base, before_comp))


if __name__ == '__main__':
    e2e_lib.main()
