"""The info scan over a folder of 1,000 MP3 files: Esc stops a scan between two rows, leaving
the rows not yet reached as they were; "Scan files for times/info" then gives every row its
length (the size cell becomes the track time) while the main window keeps answering (a
SendMessageTimeout probe every 50 ms never waits 100 ms or more). Prints the rows per second."""
import os
import shutil
import subprocess
import time
import unittest

import e2e_lib
from e2e_lib import (Install, command, make_mp3, send, send_output, stop, wait_steady,
                     wait_until, win_path)

FILES = 1000


def cells(column):
    rc, out = send_output('cells', str(column))
    return out.decode('utf-8', 'replace').splitlines() if rc == 0 else []


def scanned(column=1):
    return sum(1 for c in cells(column) if "'" in c)


class InfoScan(unittest.TestCase):
    def test_escape_stops_a_scan_and_the_next_gives_every_row_its_length(self):
        z = Install('scan1000')
        music = z.subfolder()
        # A few distinct lengths, copied under many names (encoding 1,000 files would take
        # longer than the scan).
        sources = [make_mp3(os.path.join(z.folder, 'src%d.mp3' % s), s) for s in (2, 3, 5)]
        for i in range(FILES):
            shutil.copy(sources[i % 3], os.path.join(music, '%04d.mp3' % i))
        proc = e2e_lib.start_with(self, z, music)
        wait_until(lambda: len(cells(0)) >= FILES, 60, 'the folder to be listed')
        # Lengths by file: 2, 3 and 5 s tracks in turn (lame's padding adds a frame or two).
        want = {0: "0'02", 1: "0'03", 2: "0'05"}
        # Esc follows the scan command at once (a scan of these rows takes well under a
        # second): the window takes it while the scan runs.
        self.assertEqual(send('command', str(e2e_lib.command_id('ScanInfo')),
                              str(e2e_lib.command_id('Escape'))), 0)
        stopped = wait_steady(scanned, 2, 30, 'the scan to stop')
        self.assertLess(stopped, FILES, 'Esc stopped the scan before the end')
        # A stopped scan leaves each row whole: a length or the size it had.
        for i, c in enumerate(cells(1)):
            self.assertTrue(c == want[i % 3] or c.endswith(' MB'), 'row %d: %s' % (i, c))

        # The probe runs 8 s; the whole scan must lie within it.
        probe = subprocess.Popen([e2e_lib.WINE_RUN, e2e_lib.ARGS.send, 'stalls', 'ZuvoWndClass',
                                  '8000', '50'],
                                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        began = time.monotonic()
        self.assertEqual(command('ScanInfo'), 0)
        wait_until(lambda: scanned() >= FILES, 120, 'every row to get its length')
        seconds = time.monotonic() - began
        out, _ = probe.communicate(timeout=60)
        self.assertLess(seconds, 8, 'the scan outlasted the probe')
        worst, count = out.decode().split()
        print('info scan: %d rows (%d done before Esc) in %.1f s (%.0f rows/s, within the '
              'polling of the check); probe: %s messages, longest wait %s ms' % (
                  FILES, stopped, seconds, FILES / seconds, count, worst))
        self.assertGreater(int(count), 100)
        self.assertLess(float(worst), 100.0, 'the window stalled')
        for i, c in enumerate(cells(1)):
            self.assertEqual(c, want[i % 3], 'row %d' % i)
        # The list summary adds the times up: 334 x 2 + 333 x 3 + 333 x 5 s is 55 minutes.
        wait_until(lambda: e2e_lib.pane(0).endswith(', 0:55 h'), 10,
                   lambda: 'the summary %r' % e2e_lib.panes())
        stop(proc, self)


class ScanStarts(unittest.TestCase):
    def test_enqueued_rows_and_a_play_list_get_their_lengths(self):
        # With "Always scan for track times/info" rows enqueued into the Playlist view and
        # the rows of a loaded play list get their lengths without the scan command.
        z = Install('scanstarts')
        music = z.subfolder()
        files = [make_mp3(os.path.join(music, '%d.mp3' % s), s) for s in (2, 3, 5)]
        m3u = os.path.join(z.folder, 'list.m3u')
        with open(m3u, 'w') as f:
            f.write(''.join(win_path(p) + '\r\n' for p in reversed(files)))
        proc = e2e_lib.start_with(self, z, m3u, b'list_style=16\r\n')
        wait_until(lambda: cells(1) == ["0'05", "0'03", "0'02"], 30,
                   lambda: 'the play list\'s lengths: %r' % cells(1))
        self.assertEqual(command('PlaylistView'), 0)
        for p in files[:2]:
            rc, _ = z.run(win_path(p), '/enqueue', '/localini')
            self.assertEqual(rc, 0)
        pane = lambda: (send_output('cells', '1', 'Playlist view')[1] or b'').decode().split()
        wait_until(lambda: pane() == ["0'02", "0'03"], 30,
                   lambda: 'the enqueued rows\' lengths: %r' % pane())
        stop(proc, self)


if __name__ == '__main__':
    e2e_lib.main()
