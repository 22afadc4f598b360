"""A kill in the middle of the log's trimming leaves a whole log. The log holds 4 MB of records
with a limit of 1000 KB, so the next record (a 31 s track played) makes the program replace it
by its newest 750 KB (a temporary file, then a rename). When the temporary file appears (or,
failing that, the log changes) zuvo.exe's process is killed with SIGKILL, at once or a few ms
later. Each time the log must read back with every record whole and be either the old log or
its trimmed tail, with or without the new record."""
import os
import signal
import time
import unittest

import e2e_lib
from e2e_lib import Install, capture_audio

LIMIT_KB = 1000
LOGFILE = 0x400 | LIMIT_KB
# How long after the temporary file appears each round kills: at once, then later, so that
# some kills fall inside the write and some after the rename.
DELAYS_MS = (0, 3, 12, 25)


def record(path, i):
    return ('%s\r\nArtist %d\tAlbum\tTitle %d\t%d\r\n%d\t0\t%d\t%d\t \r\n\r\n' % (
        path, i, i, i % 20, 200000 + i, 150000 + i, 1700000000 + i)).encode('utf-16-le')


def parse_whole(data):
    """The records of a log that must be whole: every record has its four lines."""
    text = data.decode('utf-16-le')
    assert text.endswith('\r\n\r\n') or not text, 'the log ends inside a record'
    out = []
    for chunk in text.split('\r\n\r\n')[:-1]:
        lines = chunk.split('\r\n')
        assert len(lines) == 3, 'a record of %d lines: %r' % (len(lines), chunk[:200])
        assert len(lines[1].split('\t')) == 4 and len(lines[2].split('\t')) == 5, chunk[:200]
        out.append(chunk + '\r\n\r\n')
    return out


def zuvo_pids(parent):
    """`parent` (the wine-run this test started, which becomes wine and then the program) and
    the processes below it, those that run zuvo.exe."""
    children = {}
    for pid in os.listdir('/proc'):
        if not pid.isdigit():
            continue
        try:
            with open('/proc/%s/stat' % pid) as f:
                ppid = int(f.read().rsplit(')', 1)[1].split()[1])
            children.setdefault(ppid, []).append(int(pid))
        except (OSError, ValueError, IndexError):
            pass
    found, todo = [], [parent]
    while todo:
        c = todo.pop()
        todo.extend(children.get(c, []))
        if b'zuvo.exe' in e2e_lib.read('/proc/%d/cmdline' % c, b''):
            found.append(c)
    return found


class LogKill(unittest.TestCase):
    def test_kill_during_trimming_leaves_a_whole_log(self):
        z = Install('logkill')
        music = z.subfolder()
        mp3 = e2e_lib.make_mp3(os.path.join(music, 'track.mp3'), 31)
        capture_audio(self, z.folder)
        log = os.path.join(z.prog, 'zuvo.log')
        temp = log + '.new'
        old, i = bytearray(), 0  # (bytes += would copy the whole log at each record)
        while len(old) < 4 << 20:
            old += record('C:\\Music\\Folder %d\\Track %d.mp3' % (i % 50, i), i)
            i += 1
        old = bytes(old)
        old_records = parse_whole(old)
        hits = 0
        for n, delay_ms in enumerate(DELAYS_MS):
            e2e_lib.write(log, old)
            if os.path.exists(temp):
                os.remove(temp)
            proc = e2e_lib.start_with(self, z, mp3, b'logfile=%d\r\n' % LOGFILE)
            killed_in_rewrite, pids = False, []
            deadline = time.monotonic() + 120
            while time.monotonic() < deadline:
                pids = pids or zuvo_pids(proc.pid)
                if os.path.exists(temp):
                    time.sleep(delay_ms / 1000)
                    killed_in_rewrite = os.path.exists(temp)
                    break
                if os.path.getsize(log) != len(old):
                    break
                time.sleep(0.0005)
            self.assertTrue(pids, 'zuvo.exe not found below wine-run')
            for pid in pids:
                os.kill(pid, signal.SIGKILL)
            proc.wait(timeout=60)
            hits += killed_in_rewrite
            data = e2e_lib.read(log)
            records = parse_whole(data)
            if records[:len(old_records)] == old_records:
                kept = 'old log' + (' + new record' if len(records) > len(old_records) else '')
                self.assertLessEqual(len(records) - len(old_records), 1)
            else:
                # The trimmed tail of the old log, perhaps followed by the new record.
                tail = records[:-1] if records[-1] not in old_records else records
                self.assertEqual(tail, old_records[len(old_records) - len(tail):])
                self.assertLessEqual(len(data), LIMIT_KB * 1024)
                kept = 'trimmed log (%d records)' % len(records)
            print('round %d (+%d ms): killed %s the rewrite; the log reads whole: %s' % (
                n + 1, delay_ms, 'during' if killed_in_rewrite else 'after', kept))
        print('%d of %d kills came while the temporary file existed' % (hits, len(DELAYS_MS)))


if __name__ == '__main__':
    e2e_lib.main()
