"""The track log as a folder plays: a 32 s tagged track played to its end, a 36 s one skipped
past its half (logged where it was left), a 20 s one never logged (shorter than 30 s). The log
must hold exactly the two records, byte for byte, the run-dependent values (measured lengths,
start times, skip position) checked against the files, the clock and the capture; the viewer
and its CSV export show them. A hand-damaged log is read by the viewer."""
import os
import subprocess
import time
import unittest

import e2e_lib
from e2e_lib import Install, capture_audio, command, send, stop, wait_until

RATE = 44100
BYTES_PER_S = RATE * 4
LOGFILE = 0x400 | 100  # logging on, 100 KB limit
TRACKS = [  # (file, seconds, tags)
    ('01 first.mp3', 32, ('Some Artist', 'An Album', 'First & Last', '1')),
    ('02 skipped.mp3', 36, None),
    ('03 short.mp3', 20, None),
]
SKIP_AFTER_S = 20  # of the second track: more than half of it


def parse_records(data):
    text = data.decode('utf-16-le')
    records = []
    for chunk in text.split('\r\n\r\n')[:-1]:
        path, tags, nums = chunk.split('\r\n')
        n = nums.split('\t')
        records.append((path, tags.split('\t'), [int(v) for v in n[:4]], n[4]))
    return records


def record_bytes(path, tags, length, start, end, t):
    return ('%s\r\n%s\r\n%d\t%d\t%d\t%d\t \r\n\r\n' % (
        path, '\t'.join(tags), length, start, end, t)).encode('utf-16-le')


EXPORT_BUTTON = 101


def viewer_rows():
    """The log viewer's rows as lists of cells, [] while it is not open."""
    return [line.split('\t') for line in (e2e_lib.output('dialogrows', 'Track log') or '').splitlines()]


def minutes(ms):
    return '%d:%02d' % (max(ms, 0) // 1000 // 60, max(ms, 0) // 1000 % 60)


def row_texts(record):
    path, tags, (length, start, end, t), _ = record
    folder, _, name = path.rpartition('\\')
    return [name, folder, *tags, minutes(length), minutes(start), minutes(end - start),
            time.strftime('%Y-%m-%d %H:%M', time.localtime(t))]


class TrackLog(unittest.TestCase):
    def test_folder_plays_through_and_a_skip(self):
        z = Install('tracklog')
        music = z.subfolder()
        for name, seconds, tags in TRACKS:
            tag_args = ('--ta', tags[0], '--tl', tags[1], '--tt', tags[2], '--tn', tags[3]) if tags else ()
            e2e_lib.make_mp3(os.path.join(music, name), seconds, '200-3000', volume=0.3,
                             lame=('-b', '128', *tag_args))
        capture_audio(self, z.folder, keep_openings=True)
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nvolume=65535\r\nwavedevice=0\r\ngapless=1\r\n'
                    b'logfile=%d\r\n' % LOGFILE)
        log = os.path.join(z.prog, 'zuvo.log')
        first = e2e_lib.win_path(os.path.join(music, TRACKS[0][0]))
        t0 = int(time.time())
        proc = z.launch(self, first, '/localini')
        size = lambda: e2e_lib.captured(z.folder)
        # The first track played to its end and the second for more than half.
        skip_at = (TRACKS[0][1] + SKIP_AFTER_S) * BYTES_PER_S
        wait_until(lambda: size() >= skip_at, 120, 'the second track to pass its half')
        before = size()
        self.assertEqual(command('NextTrack'), 0)
        after = size()
        # The third plays to its end; nothing follows it.
        e2e_lib.wait_steady(size, 5, 120, 'the last track to end')
        t1 = int(time.time())
        # The viewer on that log, and its CSV export.
        self.assertEqual(command('ViewTrackLog'), 0)
        shown = wait_until(lambda: viewer_rows(), 20, 'the log viewer to show rows')
        csv = os.path.join(z.folder, 'export.csv')
        self.assertEqual(send('press', '#32770', str(EXPORT_BUTTON)), 0)
        self.assertEqual(send('save', e2e_lib.win_path(csv), '20000', 'Export log to CSV file'), 0)
        wait_until(lambda: os.path.exists(csv), 20, 'the CSV file')
        self.assertEqual(send('press', '#32770', '2'), 0)  # Close
        wait_until(lambda: not viewer_rows(), 20, 'the viewer to close')
        stop(proc, self)

        data = e2e_lib.read(log)
        records = parse_records(data)
        self.assertEqual([r[0] for r in records],
                         [e2e_lib.win_path(os.path.join(music, n)) for n, _, _ in TRACKS[:2]])
        (_, _, (len1, start1, end1, time1), _), (_, _, (len2, start2, end2, time2), _) = records
        # Lengths as measured from the files: within a frame of the real length (plus the
        # encoder's delay and padding, which the scan counts).
        for measured, (_, seconds, _) in ((len1, TRACKS[0]), (len2, TRACKS[1])):
            self.assertLess(abs(measured - seconds * 1000), 100, 'length %d ms' % measured)
        self.assertEqual(end1, len1, 'the first track was played to its end')
        # Left where the skip found it: between what the device had taken when the command was
        # sent (less what it may hold unplayed) and when it had been posted (plus the time to
        # handle it; the capture runs several times faster than real time).
        heard_s = before / BYTES_PER_S - TRACKS[0][1]
        posted_s = after / BYTES_PER_S - TRACKS[0][1]
        self.assertGreaterEqual(end2, max(len2 // 2, heard_s * 1000 - 2000))
        self.assertLessEqual(end2, posted_s * 1000 + 2000)
        self.assertTrue(t0 <= time1 <= time2 <= t1, (t0, time1, time2, t1))
        want = (record_bytes(records[0][0], TRACKS[0][2], len1, 0, end1, time1) +
                record_bytes(records[1][0], ['', '', '', ''], len2, 0, end2, time2))
        self.assertEqual(data, want)
        # The viewer: newest first, the texts of each record; the CSV: the same rows.
        rows = [row_texts(r) for r in reversed(records)]
        self.assertEqual(shown, rows)
        self.assertEqual(e2e_lib.read(csv).decode('utf-16-le'),
                         'File\tPath\tArtist\tAlbum\tTitle\tTrack\tLength\tStart\tPlayed\tDate\r\n' +
                         ''.join('\t'.join(r) + '\t\r\n' for r in rows))
        print('log: first %d ms played whole, second left at %d of %d ms (capture %.1f-%.1f s)'
              % (len1, end2, len2, heard_s, posted_s))

    def test_damaged_log_and_the_tag_dialog_from_its_row_menu(self):
        """Five records behind a byte order mark: the second cut short and then appended to, a
        stray byte before the fourth, the fifth (an untagged MP3's) with LF line ends. Four are
        readable; the two damaged stretches are counted in error.log. The newest row's menu
        "Track info" opens the tag dialog on its file; Save writes the fields as an ID3v1 tag
        that mutagen reads back, the audio bytes kept."""
        z = Install('damagedlog')
        mp3 = e2e_lib.make_mp3(os.path.join(z.folder, 'song.mp3'), 2)
        audio = e2e_lib.read(mp3)
        recs = [record_bytes('C:\\M\\%d.mp3' % i, ['A', 'B', 'T%d' % i, ''], 200000, 0,
                             150000, 1700000000 + i) for i in range(4)]
        lf = record_bytes(e2e_lib.win_path(mp3), ['A', 'B', 'T4', ''], 2000, 0, 2000,
                          int(time.time())).replace(b'\r\0\n\0', b'\n\0')
        e2e_lib.write(os.path.join(z.prog, 'zuvo.log'), b'\xff\xfe' + recs[0] + recs[1][:40] +
                      recs[2] + b'\x01' + recs[3] + lf)
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nwavedevice=0\r\nlogfile=%d\r\n' % LOGFILE)
        proc = z.launch(self, '/localini', visible=True)
        self.assertEqual(command('ViewTrackLog'), 0)
        shown = wait_until(viewer_rows, 20, 'the log viewer to show rows')
        self.assertEqual([r[4] for r in shown], ['T4', 'T3', 'T2', 'T0'])
        self.assertEqual(send('rightclick', '@Track log', '0'), 0)
        self.assertEqual(send('menu', '5000'), 0, 'no row menu')
        for key in (38, 13):  # Up wraps to the last entry, "Track info"; Enter takes it
            self.assertEqual(send('menukey', str(key)), 0)
        fields = {101: 'Edited title', 102: 'An artist', 103: 'An album', 104: '1999'}
        for control, text in fields.items():
            wait_until(lambda: send('dlgset', 'Tag ID3', str(control), text) == 0, 10,
                       'the tag dialog')
        self.assertEqual(send('dlgclick', 'Tag ID3', '110'), 0)  # Save
        wait_until(lambda: os.path.getsize(mp3) == len(audio) + 128, 10, 'the tag written')
        self.assertEqual(send('dlgclick', 'Tag ID3', '2'), 0)
        stop(proc, self)
        self.assertRegex(e2e_lib.read(os.path.join(z.prog, 'error.log')),
                         rb'damaged stretches skipped[^\r\n]*\b2\b')
        data = e2e_lib.read(mp3)
        self.assertEqual(data[:-128], audio, 'the audio bytes changed')
        self.assertEqual(data[-128:-125], b'TAG')
        out = subprocess.run(['mutagen-inspect', mp3], check=True, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL).stdout.decode('utf-8')
        got = dict(line.split('=', 1) for line in out.splitlines() if '=' in line)
        self.assertEqual({k: got.get(k) for k in ('TIT2', 'TPE1', 'TALB', 'TDRC')},
                         {'TIT2': 'Edited title', 'TPE1': 'An artist', 'TALB': 'An album',
                          'TDRC': '1999'}, out)


if __name__ == '__main__':
    e2e_lib.main()
