#!/usr/bin/env python3
"""Compare folders on two trees of FILES files (100 a folder, about 1 % of them different)
under Wine, against `diff -rq --brief` on the same trees, in the same run.

    compare_bench.py [--files 20000] [--work DIR]

Builds nothing: it uses build/windows (zuvo.exe and zuvo-send.exe). Prints, each the median
of 3 after one warm-up (the trees then sit in the page cache for both tools):
- diff -rq: the whole run;
- the comparison: from the click on "Refresh" ("Scan subfolders" on) until the difference
  count shows, minus the median cost of one zuvo-send call (also printed);
- the first rows visible: from the click on "Refresh" until the table can be read with rows
  in it (the rows go in once the walk is done), and the time from command 442 until the
  dialog's window exists.
Not part of ctest.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import time

import bench_lib
from bench_lib import e2e_lib
from e2e_lib import command, send, send_output, wait_until, win_path

TITLE = 'Compare folders'
COMP_BOX, REFRESH, SUBFOLDERS, DIFFS = 105, 110, 113, 114


def make_trees(base, comp, files):
    for n in range(files):
        path = os.path.join(base, 'd%03d' % (n // 100), 'f%03d.dat' % (n % 100))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(b'%d;' % n * (10 + n % 50))
        os.utime(path, (1700000000 + n, 1700000000 + n))
    shutil.copytree(base, comp)
    for n in range(0, files, 100):  # 1 %: every hundredth file, in turns missing or bigger
        path = os.path.join(comp, 'd%03d' % (n // 100), 'f%03d.dat' % (n % 100))
        if n % 200:
            os.remove(path)
        else:
            with open(path, 'ab') as f:
                f.write(b'x' * 20000)


def timed(fn):
    t0 = time.monotonic()
    fn()
    return time.monotonic() - t0


def main():
    p = argparse.ArgumentParser()
    p.add_argument('--files', type=int, default=20000)
    p.add_argument('--work', default=os.path.join(bench_lib.BUILD, 'bench', 'compare'))
    a = p.parse_args()
    shutil.rmtree(a.work, ignore_errors=True)
    bench_lib.use_build(a.work)
    z = e2e_lib.Install('compare')
    base, comp = os.path.join(z.folder, 'Base'), os.path.join(z.folder, 'Comp')
    make_trees(base, comp, a.files)

    diff = lambda: subprocess.run(['diff', '-rq', '--brief', base, comp],
                                  stdout=subprocess.DEVNULL)
    diff()
    diff_s = statistics.median(timed(diff) for _ in range(3))

    z.write_ini(b'[Zuvo]\r\nutf8=1\r\ncompare=16\r\nbrowsed_folder=' + win_path(base).encode() +
                b'\r\n')
    proc = z.start('/localini')
    try:
        assert send('wait', '20000') == 0, 'no main window'
        assert command('CompareFolders') == 0
        assert send('dlgset', TITLE, str(COMP_BOX), win_path(comp)) == 0, 'no dialog'
        call_s = statistics.median(timed(lambda: send('titled', TITLE)) for _ in range(5))

        def refresh():
            assert send('dlgset', TITLE, str(DIFFS), '') == 0
            t0 = time.monotonic()
            assert send('dlgclick', TITLE, str(REFRESH)) == 0
            wait_until(lambda: send_output('dlgtext', TITLE, str(DIFFS))[1].endswith(b'diffs'),
                       300, 'the comparison', interval=0.01)
            return time.monotonic() - t0 - call_s

        refresh()
        compare_s = statistics.median(refresh() for _ in range(3))
        diffs = send_output('dlgtext', TITLE, str(DIFFS))[1].decode()

        def first_rows():
            # From the click on "Refresh" until the table can be read with rows in it.
            assert send('dlgset', TITLE, str(DIFFS), '') == 0
            t0 = time.monotonic()
            assert send('dlgclick', TITLE, str(REFRESH)) == 0
            wait_until(lambda: send_output('dialogrows', TITLE)[1].strip(), 300,
                       'the first rows', interval=0.01)
            return time.monotonic() - t0 - call_s

        rows_s = statistics.median(first_rows() for _ in range(3))
        # The last poll read every row: that read is not the program's time.
        read_s = statistics.median(timed(lambda: send_output('dialogrows', TITLE))
                                   for _ in range(3))
        rows_s -= read_s

        def shown():
            send('dlgcommand', TITLE, '2')  # Escape
            wait_until(lambda: send('titled', TITLE) != 0, 20, 'the dialog closed')
            t0 = time.monotonic()
            assert command('CompareFolders') == 0
            wait_until(lambda: send('titled', TITLE) == 0, 20, 'the dialog', interval=0.01)
            return time.monotonic() - t0

        shown_s = statistics.median(shown() for _ in range(3))
        e2e_lib.stop(proc, bench_lib.case())
    finally:
        if proc.poll() is None:
            proc.kill()
    print('compare folders, %d files a side (%s), median of 3, on a machine shared with other '
          'work:' % (a.files, diffs.strip()))
    print('  diff -rq --brief %.3f s; the comparison %.3f s (ratio %.2f); one zuvo-send call '
          '%.3f s (taken off)' % (diff_s, compare_s, compare_s / diff_s, call_s))
    print('  first rows visible %.3f s after the click on Refresh (less one read of the table, '
          '%.3f s); the dialog shown %.3f s after command 442 (zuvo-send calls included)' %
          (rows_s, read_s, shown_s))
    shutil.rmtree(a.work, ignore_errors=True)


if __name__ == '__main__':
    main()
