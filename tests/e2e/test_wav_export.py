"""""Save uncompressed WAV file" on the real zuvo.exe under Wine: without processing the export
of a stereo MP3 equals mpg123's untrimmed (--no-gapless) decode within 2 LSB, its two length
fields matching the file; with processing and mono downmix on it holds (L + R) / 2. A
destination that exists is refused and left alone; Cancel in the middle of a long export
leaves no file behind. Prints the export's speed in x real time against `mpg123 -w` on the same
file (a figure, not a check)."""
import os
import struct
import subprocess
import time
import unittest

import e2e_lib
from e2e_lib import Install, command, decode, make_mp3, samples, send, stop, wait_until, win_path

DIALOG = '#32770'
LONG_S = 400  # seconds of the long track


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def complete(path):
    """True once the file's header carries both patched lengths."""
    try:
        with open(path, 'rb') as f:
            head = f.read(44)
        size = os.path.getsize(path)
    except FileNotFoundError:
        return False
    return len(head) == 44 and struct.unpack_from('<I', head, 4)[0] == size - 8 and size > 44


def dialog_open():
    return send('wintext', DIALOG, '200') == 0


class WavExport(unittest.TestCase):
    def export(self, row):
        """Selects row and opens the dialog; returns once it is up."""
        self.assertEqual(send('select', row), 0, 'row %s not found' % row)
        self.assertEqual(command('SaveToWav'), 0)
        wait_until(dialog_open, 10, 'the "Save uncompressed WAV file" dialog')

    def test_export_refuse_and_cancel(self):
        z = Install('wavexport')
        music = z.subfolder('Music')
        song = make_mp3(os.path.join(music, 'song.mp3'), 20, noise=True)
        long_mp3 = make_mp3(os.path.join(music, 'long.mp3'), LONG_S, rate=44100)
        proc = z.start_in(self, music, b'wave_flags=8\r\n')

        # A whole export: the default destination is the track's name with ".wav" appended.
        out = song + '.wav'
        self.export('song')
        self.assertEqual(send('press', DIALOG, '1'), 0)
        wait_until(lambda: complete(out) and not dialog_open(), 60, 'the export finished')
        head, size = read(out)[:44], os.path.getsize(out)
        self.assertEqual(head[:4] + head[8:16] + head[36:40], b'RIFFWAVEfmt data')
        self.assertEqual(struct.unpack_from('<HHIIHH', head, 20), (1, 2, 44100, 176400, 4, 16))
        self.assertEqual(struct.unpack_from('<I', head, 40)[0], size - 44)
        got = samples(out)[22:]  # the 44-byte header is 22 samples
        ref = decode(song, gapless=False)
        self.assertEqual(len(got), len(ref))
        worst = max(abs(a - b) for a, b in zip(got, ref))
        self.assertLessEqual(worst, 2, 'largest difference %d LSB' % worst)

        # With "Use Enhancer/EQ/Mono" and mono downmix on (nothing else of the chain on): one
        # channel holding (L + R) / 2 of the decode.
        mono = os.path.join(music, 'mono.wav')
        self.export('song')
        self.assertEqual(send('dlgset', '*', '201', win_path(mono)), 0)
        self.assertEqual(send('dlgclick', '*', '203'), 0)
        self.assertEqual(send('press', DIALOG, '1'), 0)
        wait_until(lambda: complete(mono) and not dialog_open(), 60, 'the processed export finished')
        self.assertEqual(struct.unpack_from('<HHIIHH', read(mono), 20), (1, 1, 44100, 88200, 2, 16))
        got = samples(mono)[22:]
        self.assertEqual(len(got), len(ref) // 2)
        worst = max(abs(g - (ref[2 * i] + ref[2 * i + 1]) / 2) for i, g in enumerate(got))
        # The decode may differ by 2 LSB per channel, and the halving rounds: 2.5 at most.
        self.assertLessEqual(worst, 2.5, 'largest difference from (L + R) / 2: %.1f LSB' % worst)

        # The same destination again: refused, the file untouched, Cancel deletes nothing.
        before = read(out)
        self.export('song')
        self.assertEqual(send('press', DIALOG, '1'), 0)
        self.assertEqual(send('press', DIALOG, '2'), 0)
        wait_until(lambda: not dialog_open(), 10, 'the dialog closed')
        self.assertEqual(read(out), before)

        # The figure: a whole export of the long track, timed from OK to the finished file.
        partial = long_mp3 + '.wav'
        self.export('long')
        t0 = time.monotonic()
        self.assertEqual(send('press', DIALOG, '1'), 0)
        wait_until(lambda: complete(partial) and not dialog_open(), 120, 'the long export finished')
        seconds = time.monotonic() - t0
        os.remove(partial)

        # Cancel in the middle: the partial file is deleted.
        self.export('long')
        self.assertEqual(send('press', DIALOG, '1'), 0)
        wait_until(lambda: e2e_lib.file_size(partial) > 4 << 20, 60, 'the long export under way')
        self.assertEqual(send('press', DIALOG, '2'), 0)
        wait_until(lambda: not os.path.exists(partial), 10, 'the partial file deleted')
        self.assertFalse(dialog_open())

        # The figure: x real time of the export against mpg123 writing a WAV of the same file.
        t1 = time.monotonic()
        subprocess.run(['mpg123', '-q', '-w', os.path.join(z.folder, 'ref.wav'), long_mp3],
                       check=True)
        ref_seconds = time.monotonic() - t1
        print('wav export: %.0fx real time (%.2f s for %d s of audio); mpg123 -w: %.0fx real time'
              % (LONG_S / seconds, seconds, LONG_S, LONG_S / ref_seconds))
        stop(proc, self)


if __name__ == '__main__':
    e2e_lib.main()
