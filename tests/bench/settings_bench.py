#!/usr/bin/env python3
"""settings_bench.py [ROUNDS]: figures of the settings dialog under Wine, nothing asserted.

- Opening: F6's command posted to the main window until the dialog is visible (its tree filled
  and its first page made), ROUNDS times (default 7), median and spread.
- Page switching: a tree selection until the new page is made, every page in turn, twice.
- Peer, in the same run: the standard colour dialog opened the same way (a posted click on the
  "List style" page's colour button until the dialog is visible), ROUNDS times.
- Keys: how many keys of the settings file a page edits, out of all.
Needs a Windows build (cmake --preset windows && cmake --build --preset windows)."""
import os
import re
import statistics
import sys

import bench_lib
from bench_lib import ROOT, e2e_lib

TITLE = ' Zuvo Directory Player - Configuration'
COLOUR_BUTTON = 3420  # "Text..." on the "List style" page


def send(*args):
    rc, out = e2e_lib.send_output(*args)
    return rc, out.decode('utf-8', 'replace').strip()


def ms(*args):
    rc, out = send(*args)
    if rc != 0:
        raise SystemExit('zuvo-send %s failed' % ' '.join(args))
    return float(out)


def gone(title):
    for _ in range(200):
        if send('dlgtext', title, '0')[0] != 0 and send('dlgtext', title, '2')[0] != 0:
            return
    raise SystemExit('%s did not close' % title)


def describe(name, values):
    print('%-34s median %7.1f ms  (min %.1f, max %.1f, n = %d)' %
          (name, statistics.median(values), min(values), max(values), len(values)))
    return statistics.median(values)


def key_counts():
    doc = open(os.path.join(ROOT, 'docs', 'settings.md'), encoding='utf-8').read()
    rows = re.findall(r'^\| `(\w+)` \| ([^|]+) \| ([^|]+) \|$', doc, re.M)
    keys = {k for k, _, _ in rows}
    general = {k for k, page, what in rows if page != 'none' and 'own controls' not in what}
    sound = {k for k, page, what in rows if 'own controls' in what} - general
    return len(keys), len(general), len(sound)


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 7
    bench_lib.use_build(os.path.join(ROOT, 'build', 'bench-settings'))
    z = e2e_lib.Install('settings')
    z.write_ini(b'[Zuvo]\r\nutf8=1\r\ntab_sel=0\r\n')
    proc = z.start('/localini')
    try:
        if send('wait', '--visible', '20000')[0] != 0:
            raise SystemExit('zuvo.exe did not show its window')
        opens, switches, peers = [], [], []
        for _ in range(rounds):
            opens.append(ms('dlgopen', '402', TITLE))
            send('dlgclick', TITLE, '2')
            gone(TITLE)
        ms('dlgopen', '402', TITLE)
        for _ in range(2):
            for page in list(range(1, 19)) + [0]:  # each a change of page
                switches.append(ms('dlgtree', TITLE, str(page)))
        ms('dlgtree', TITLE, '11')
        for _ in range(rounds):
            peers.append(ms('dlgclickms', TITLE, str(COLOUR_BUTTON), 'Color'))
            send('dlgclick', 'Color', '2')
            gone('Color')
        send('dlgclick', TITLE, '2')
        gone(TITLE)
        print('settings dialog under Wine (%d rounds)' % rounds)
        o = describe('open (F6 to visible)', opens)
        describe('page switch (tree selection)', switches)
        p = describe('peer: colour dialog (click to visible)', peers)
        print('open / peer: %.2f' % (o / p))
        total, general, sound = key_counts()
        print('keys edited in the dialog: %d of %d by the general pages; %d more by the sound '
              'pages (%d of %d once those land); %d are stored state' %
              (general, total, sound, general + sound, total, total - general - sound))
    finally:
        send('close')
        proc.wait(timeout=30)


if __name__ == '__main__':
    main()
