"""Writing play lists and following a cue sheet, on the real zuvo.exe under Wine.

"&Create" (PlaylistCreate) writes the selected rows of the File view into the file typed into
the "Select destination" dialog, the extension coming from the chosen filter; "&Append"
(PlaylistAppend) adds to the end of that file; an .m3u8 list in a sibling folder gets
root-relative UTF-8 lines.
A cue sheet of three tracks over one MP3 plays, and the main window's caption must name the
first track, then the second exactly when the play position crosses the second track's start."""
import os
import re
import unittest

import e2e_lib
from e2e_lib import Install, capture_audio, command, send, send_output, stop, wait_until, win_path

PARTS = (20.0, 15.0, 15.0)  # seconds of the cue tracks


class PlaylistWrite(unittest.TestCase):
    def setUp(self):
        os.environ['LC_ALL'] = 'C.UTF-8'  # Wine reads non-ASCII names only so

    def write(self, name, rows, typed, written):
        """Selects rows, runs command `name` and types `typed` into the save dialog; returns the
        bytes of the list file `written` once they have changed."""
        before = e2e_lib.read(written)
        self.assertEqual(send('select', *rows), 0, 'rows %s not found' % (rows,))
        self.assertEqual(command(name), 0)
        self.assertEqual(send('save', win_path(typed) if typed[0] == '/' else typed), 0,
                         'no "Select destination" dialog')
        return wait_until(lambda: e2e_lib.read(written) != before and e2e_lib.read(written), 10,
                          '%s written by %s' % (written, name))

    def test_create_append_and_utf8_list(self):
        z = Install('plwrite')
        music, lists = z.subfolder('Music'), z.subfolder('Lists')
        for name in ('a.mp3', 'b.mp3', 'c.mp3', 'ä ö.mp3', 'notes.txt'):
            e2e_lib.write(os.path.join(music, name), b'\xff\xfb\x90\x00' * 64)
        proc = z.start_in(self, music)
        # No extension typed: the first filter's ".m3u" is added; bare names in the same folder.
        mix = os.path.join(music, 'mix.m3u')
        self.assertEqual(self.write('PlaylistCreate', ['a', 'c'], os.path.join(music, 'mix'), mix),
                         b'a.mp3\r\nc.mp3\r\n')
        # Append writes at the end of the existing file.
        self.assertEqual(self.write('PlaylistAppend', ['b'], mix, mix),
                         b'a.mp3\r\nc.mp3\r\nb.mp3\r\n')
        # Create again truncates.
        self.assertEqual(self.write('PlaylistCreate', ['c'], mix, mix), b'c.mp3\r\n')
        # A list in a sibling folder: the path from the drive's root, in UTF-8 for ".m3u8".
        other = os.path.join(lists, 'other.m3u8')
        root_rel = win_path(music)[2:]
        self.assertEqual(self.write('PlaylistCreate', ['ä ö', 'b'], other, other),
                         ('%s\\ä ö.mp3\r\n%s\\b.mp3\r\n' % (root_rel, root_rel)).encode('utf-8'))
        stop(proc, self)

    def test_caption_follows_cue_tracks(self):
        z = Install('cuefollow')
        album = z.subfolder('Album')
        total = sum(PARTS)
        e2e_lib.make_mp3(os.path.join(album, 'album.mp3'), total, '200-4000')
        cue = os.path.join(album, 'album.cue')
        e2e_lib.cue_sheet(cue, 'album.mp3', [round(sum(PARTS[:k]) * 75) for k in range(len(PARTS))])
        capture_audio(self, z.folder)
        proc = z.start_in(self, cue)
        self.assertEqual(command('Return'), 0)  # plays the first row
        rc, out = send_output('captions', str(int((total / 2 + 4) * 1000)))
        text = out.decode('utf-8', 'replace')
        self.assertEqual(rc, 0)
        stop(proc, self)
        seen = []  # (tick ms, elapsed s within the track, part)
        for line in text.splitlines():
            tick, _, caption = line.partition('\t')
            m = re.fullmatch(r"(\d+)'(\d\d) Part (\d) \(Zuvo - Album\)", caption)
            if m:
                seen.append((int(tick), int(m[1]) * 60 + int(m[2]), int(m[3])))
        print('captions:', seen)
        parts = [p for _, _, p in seen]
        self.assertTrue(parts, 'no cue caption: %r' % text[-300:])
        self.assertEqual(sorted(set(parts)), [1, 2, 3], 'not every track was named')
        self.assertEqual(parts, sorted(parts), 'the named track went backwards')
        starts = [sum(PARTS[:k]) for k in range(len(PARTS))]
        for t, sec, p in seen:
            # Shown too long: the time within a track would reach its end, where the next
            # one starts (the last one's time may reach the end of the file).
            limit = PARTS[p - 1] + (1 if p == len(PARTS) else 0)
            self.assertLess(sec, limit, 'Part %d still named at %d s into it' % (p, sec))
        # The capture plays faster than real time, but steadily: the file position each
        # caption stands for (its track's start plus the time shown) lies on one line over
        # the wall clock. A track named too early shows 0'00 where the line is still in the
        # track before; one named too late shows the old track past its length.
        xs = [t / 1000 for t, _, _ in seen]
        ys = [starts[p - 1] + sec for _, sec, p in seen]
        n = len(xs)
        mx, my = sum(xs) / n, sum(ys) / n
        slope = sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / sum((x - mx) ** 2 for x in xs)
        off = [y - (my + slope * (x - mx)) for x, y in zip(xs, ys)]
        print('audio seconds per second: %.2f, largest deviation %.2f s' % (
            slope, max(map(abs, off))))
        self.assertGreater(slope, 0.5)
        # A shown time is truncated to whole seconds, taken every half second (about 2 s of
        # audio here) and the capture's pace wavers a little: up to 2.5 s off the line. A
        # track named 5 s early lies 4.5 s off.
        self.assertLess(max(map(abs, off)), 2.5)

if __name__ == '__main__':
    e2e_lib.main()
