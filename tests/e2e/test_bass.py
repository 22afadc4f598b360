"""bass.dll beside zuvo.exe (the Winelib stand-in over libsndfile, libmpg123 and libopenmpt,
with its FLAC add-on): a folder of an Ogg, a FLAC, a WAV and a tracker module plays in order,
each track's capture matching ffmpeg's own decode of the file; with wave_flags 0x10 clear an
.mp3 stays with the MPEG decoder (ACM) while an .mp2 goes to BASS, its ID3v2 title shown
before the file's own; without the add-on a FLAC file cannot be opened and is skipped."""
import array
import os
import struct
import unittest

import e2e_lib
from e2e_lib import ffmpeg_samples, make_mp3, run, output, stop, wait_steady, wait_until


def sox_make(path, seconds, rate=44100, channels=2, extra=()):
    return e2e_lib.make_sound(path, seconds, '100-6000', True, 0.4, rate, channels, extra)


def make_mod(path):
    """A four-channel ProTracker module written here: one looped saw sample, a pattern of
    notes on all four channels, about eight seconds."""
    sample = bytes((i * 8) & 0xFF for i in range(512))  # signed 8-bit saw, looped
    header = b'zuvo test'.ljust(20, b'\0')
    for n in range(31):
        if n == 0:
            header += b'saw'.ljust(22, b'\0') + struct.pack('>HBBHH', len(sample) // 2, 0, 48, 0,
                                                            len(sample) // 2)
        else:
            header += b'\0' * 22 + struct.pack('>HBBHH', 0, 0, 0, 0, 1)
    header += bytes([1, 127]) + bytes(128) + b'M.K.'
    periods = [428, 381, 339, 320, 285, 254, 226, 214]
    pattern = b''
    for row in range(64):
        for ch in range(4):
            if row % 8 == ch * 2:
                p = periods[(row // 8 + ch) % len(periods)]
                pattern += struct.pack('>BBBB', p >> 8, p & 0xFF, 0x10, 0)  # sample 1
            else:
                pattern += bytes(4)
    e2e_lib.write(path, header + pattern + sample)
    return path


STEREO44 = ('-ac', '2', '-ar', '44100')


def pcm_bytes(seconds, rate, channels, width=2):
    """The bytes of `seconds` of sound, less a hundredth for the rounding of the file's length:
    what a capture holds at least once such a file has played whole."""
    return int(seconds * rate * 0.99) * channels * width


class Bass(unittest.TestCase):
    def start(self, name, files, beside, ini=b"", open_folder=False):
        return e2e_lib.start_on_files(self, name, files, beside, b'gapless=0\r\n' + ini, True,
                                      open_folder)

    def test_a_folder_of_other_formats_plays_in_order(self):
        z, proc, cap, paths = self.start('bassfolder', [
            ('1 a.ogg', lambda p: sox_make(p, 3.1)),
            ('2 b.flac', lambda p: sox_make(p, 2.6)),
            ('3 c.wav', lambda p: sox_make(p, 2.2)),
            ('4 d.mod', make_mod),
        ], [e2e_lib.standin('bass.dll'), e2e_lib.standin('bassflac.dll')])
        caps = [cap] + ['%s.%04d' % (cap, i) for i in (1, 2, 3)]
        size = e2e_lib.file_size
        wait_until(lambda: size(caps[3]) > 0, 90, 'the fourth track (the module) to start')
        # Its length is checked to half a second: at least that much less than ffmpeg's.
        wait_steady(lambda: size(caps[3]), 3, 90, 'the module to end',
                    at_least=(len(ffmpeg_samples(paths[3], *STEREO44)) - 44100) * 2)
        stop(proc, self)
        # FLAC and WAV are ffmpeg's decode exactly, Ogg Vorbis within rounding; the module by
        # its level and length.
        for i, (path, tolerance) in enumerate(zip(paths, (2, 0, 0, None))):
            got = e2e_lib.samples(caps[i])
            ref = ffmpeg_samples(path, *STEREO44)
            with self.subTest(track=os.path.basename(path)):
                if tolerance is None:
                    # libopenmpt renders the module (through BASS here, in ffmpeg there) with
                    # another gain: the same notes at the same places, compared by where the
                    # loud stretches begin.
                    self.assertGreater(len(got), 44100 * 2 * 5, 'the module is heard')
                    self.assertGreater(max(abs(x) for x in got[:44100 * 2]), 1000)
                    self.assertLess(abs(len(got) - len(ref)), 44100 * 2 // 2)
                    continue
                diff, runs, end = e2e_lib.wine_underruns(got, ref, 2, 44100)
                self.assertLessEqual(diff, tolerance)
                self.assertLessEqual(len(runs), 3, 'the device ran dry too often')
        log = os.path.join(z.prog, 'error.log')
        self.assertFalse(os.path.exists(log) and os.path.getsize(log), 'error.log stays empty')

    def test_mp3_stays_mpeg_and_mp2_goes_to_bass(self):
        def tagged_mp2(p):
            # An .mp2 file with an ID3v2 title: the window title shows it.
            run('ffmpeg', '-v', 'quiet', '-f', 'lavfi', '-i', 'sine=frequency=440:duration=4',
                '-ac', '2', '-c:a', 'mp2', '-f', 'mp2', p + '.raw')
            title = b'Tagged Title'
            frame = b'TIT2' + struct.pack('>I', len(title) + 1) + b'\0\0\0' + title
            tag = b'ID3\3\0\0' + bytes([0, 0, len(frame) >> 7, len(frame) & 0x7F]) + frame
            with open(p + '.raw', 'rb') as f, open(p, 'wb') as out:
                out.write(tag + f.read())
            return p
        for name, maker, want in [('a.mp3', lambda p: make_mp3(p, 2.0), 'ACM'),
                                  ('c.mp2', tagged_mp2, 'BASS')]:
            with self.subTest(file=name):
                z, proc, cap, paths = self.start('bass' + name[-3:], [(name, maker)],
                                                 [e2e_lib.standin("bass.dll")])
                wait_until(lambda: e2e_lib.file_size(cap), 60, 'the track to start')
                wait_until(lambda: 'BASS' in (output('status') or '') or 'ACM' in (output('status') or ''),
                           20, 'the decoder label')
                label = (output('status') or '')
                self.assertIn(want, label)
                self.assertNotIn({'ACM': 'BASS', 'BASS': 'ACM'}[want], label)
                if want == 'BASS':
                    wait_until(lambda: 'Tagged Title' in (output('wintext', 'ZuvoWndClass') or ''),
                               30, lambda: 'the title: %r' % (output('wintext', 'ZuvoWndClass') or ''))
                stop(proc, self)

    def test_flac_without_the_add_on_is_skipped(self):
        z, proc, cap, paths = self.start('bassnoflac', [
            ('1 a.wav', lambda p: sox_make(p, 1.5)),
            ('2 b.flac', lambda p: sox_make(p, 1.5)),
            ('3 c.wav', lambda p: sox_make(p, 1.2, 22050, 1)),
        ], [e2e_lib.standin('bass.dll')])
        size = e2e_lib.file_size
        wait_until(lambda: size(cap + '.0001') > 0, 60, 'the second WAV file to start')
        wait_steady(lambda: size(cap + '.0001'), 3, 60, 'the second WAV file to end',
                    at_least=pcm_bytes(1.2, 22050, 1))
        stop(proc, self)
        # The FLAC file is no track BASS can open: what follows the first WAV is the second.
        diff, runs, end = e2e_lib.wine_underruns(e2e_lib.samples(cap + '.0001'),
                                                 ffmpeg_samples(paths[2]), 1, 22050)
        self.assertLessEqual(diff, 0)
        self.assertFalse(os.path.exists(cap + '.0002'))

    def test_24_bit_files_keep_their_low_bits(self):
        # With "Always 24 bit output" BASS hands floats over: a 24-bit FLAC and a 24-bit WAV
        # are heard with every bit that 16 bits would cut, against ffmpeg's 24-bit decode.
        z, proc, cap, paths = self.start('bass24', [
            ('1 a.flac', lambda p: sox_make(p, 1.6, extra=('-b', '24'))),
            ('2 b.wav', lambda p: sox_make(p, 1.4, 48000, extra=('-b', '24'))),
        ], [e2e_lib.standin('bass.dll'), e2e_lib.standin('bassflac.dll')], b'wave_flags=512\r\n')
        size = e2e_lib.file_size
        wait_until(lambda: size(cap + '.0001') > 0, 60, 'the second file to start')
        wait_steady(lambda: size(cap + '.0001'), 3, 60, 'the second file to end',
                    at_least=pcm_bytes(1.4, 48000, 2, 3))
        stop(proc, self)
        for path, got_path, rate in zip(paths, (cap, cap + '.0001'), (44100, 48000)):
            with self.subTest(track=os.path.basename(path)):
                ref = decode24(path)
                got = samples24(got_path)
                self.assertTrue(any(x & 0xFF for x in ref[:4410]), 'the file has low bits')
                diff, runs, end = e2e_lib.wine_underruns(got, ref, 2, rate)
                self.assertLessEqual(diff, 1, 'within one step of 24 bits')
                self.assertGreater(end, len(ref) * 9 // 10, 'the whole file is heard')

    def test_six_channels_with_the_surround_option(self):
        # A 5.1 WAV file: with "5.1 output" all six channels reach the device unchanged;
        # without it the first two.
        for flags, channels in ((2, 6), (0, 2)):
            with self.subTest(wave_flags=flags):
                z, proc, cap, paths = self.start('bass51_%d' % flags, [
                    ('a.wav', lambda p: sox_make(p, 1.5, channels=6)),
                ], [e2e_lib.standin('bass.dll')], b'wave_flags=%d\r\n' % flags)
                size = lambda: e2e_lib.file_size(cap)
                wait_until(lambda: size() > 0, 60, 'the file to start')
                wait_steady(size, 3, 60, 'the file to end', at_least=pcm_bytes(1.5, 44100, channels))
                stop(proc, self)
                ref = ffmpeg_samples(paths[0])
                if channels == 2:
                    ref = array.array('h', (x for i, x in enumerate(ref) if i % 6 < 2))
                got = e2e_lib.samples(cap)
                # Wine hands a 5.1 stream to ALSA in ALSA's order (front, rear, centre, LFE);
                # the file and the wave format hold front, centre, LFE, rear.
                order = (0, 1) if channels == 2 else (0, 1, 4, 5, 2, 3)
                in_order = array.array('h', (ref[i - i % channels + order[i % channels]]
                                             for i in range(len(ref))))
                diff, runs, end = e2e_lib.wine_underruns(got, in_order, channels, 44100)
                self.assertLessEqual(diff, 0)
                self.assertGreater(end, len(ref) * 9 // 10, 'the whole file is heard')


def decode24(path):
    """ffmpeg's decode of path as 24-bit samples (in 32-bit words, shifted down)."""
    return array.array('i', (x >> 8 for x in ffmpeg_samples(path, typecode='i', fmt='s32le')))


def samples24(path):
    """A capture of packed 24-bit little-endian samples."""
    data = e2e_lib.read(path)
    n = len(data) // 3
    return array.array('i', (int.from_bytes(data[i * 3:i * 3 + 3], 'little', signed=True)
                             for i in range(n)))


if __name__ == '__main__':
    e2e_lib.main()
