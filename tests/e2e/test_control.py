"""Playback control on the running zuvo.exe, driven by zuvo-send: soft mute (SoftMute) turns the
device volume of what follows down to the curve's value, and Space's command (StopResume) stops
a playing track and resumes it a little before the point that was heard ("Back on Resume",
500 ms by default); the runtime information window shows the engine while a file plays, and
at exit the settings keep the position heard. Each opening of the device is captured into its
own file and compared with an independent decode of the track."""
import os
import re
import unittest

import e2e_lib
from e2e_lib import Install, capture_audio, command, stop, wait_until

RATE = 44100

size = e2e_lib.file_size


def grown(path, at_least, seconds, what):
    """Waits until the file holds at_least bytes."""
    wait_until(lambda: size(path) >= at_least, seconds, what, interval=0.02)


def settled(path, seconds=1.0, limit=30):
    """Waits until the file has stopped growing for `seconds`; returns its size."""
    return e2e_lib.wait_steady(lambda: size(path), seconds, limit,
                               '%s to stop growing' % os.path.basename(path))


def play(test, name, seconds, ini):
    """zuvo.exe started on a noisy sweep of `seconds`, with an ALSA capture that keeps each
    opening of the device in its own file. Returns (install, process, the track's untrimmed
    reference decode, capture)."""
    z = Install(name)
    mp3 = e2e_lib.make_mp3(os.path.join(z.folder, 'long.mp3'), seconds, noise=True)
    cap = capture_audio(test, z.folder, keep_openings=True)
    return z, e2e_lib.start_with(test, z, mp3, ini), e2e_lib.decode(mp3, gapless=False), cap


def rms(a, lo, hi):
    """Root mean square over a[lo:hi], leaving out runs of exact zeros: a device that runs
    short under load plays silence, which the capture keeps."""
    total, count, zeros = 0, 0, 0
    for i in range(lo, hi):
        zeros = zeros + 1 if a[i] == 0 else 0
        if zeros < 16:
            total += a[i] * a[i]
            count += 1
    return (total / max(count, 1)) ** 0.5


def last_sound(a):
    """One past the last sample of magnitude above 100."""
    i = len(a)
    while i > 0 and abs(a[i - 1]) <= 100:
        i -= 1
    return i


class Volume(unittest.TestCase):
    def test_soft_mute_scales_what_follows(self):
        # Soft mute plays a quarter of the volume through the 1.8 curve: 5,404 / 65,535 of the
        # full level on the device, from the blocks after the command on.
        z, proc, ref, cap = play(self, 'softmute', 20, b'outbuflength=1\r\n')
        grown(cap, 4 * RATE, 60, 'playback to start')
        self.assertEqual(command('SoftMute'), 0)
        settled(cap, 2.0, 120)
        stop(proc, self)
        got = e2e_lib.samples(cap)
        # The first half second is at full level, the last seconds at the soft-mute level;
        # the signal's level is steady, so the capture's is compared with the decode's.
        start = rms(got, 0, RATE) / rms(ref, 0, RATE)
        self.assertAlmostEqual(start, 1.0, delta=0.02)
        end, ref_end = last_sound(got), len(ref)
        tail = rms(got, end - 4 * RATE, end - RATE) / rms(ref, ref_end - 4 * RATE, ref_end - RATE)
        print('level: %.4f at the start, %.4f at the end (%.4f expected)' %
              (start, tail, 5404 / 65535))
        self.assertAlmostEqual(tail, 5404 / 65535, delta=0.006)


class StopResume(unittest.TestCase):
    def test_resume_repeats_the_back_off(self):
        # A short queue (three buffers, about 0.28 s) keeps what was written close to what was
        # heard when the stop arrives.
        z, proc, ref, cap = play(self, 'stopresume', 40, b'outbuflength=1\r\n')
        grown(cap, 4 * RATE * 3, 60, 'playback to start')
        self.assertEqual(command('StopResume'), 0)  # stop
        first = settled(cap)
        self.assertEqual(command('StopResume'), 0)  # resume
        grown(cap + '.0001', 4 * RATE, 30, 'playback to resume')
        stop(proc, self)
        played = first // 2
        self.assertLess(played, len(ref) - 4 * RATE, 'the track ended before the stop')
        resumed = e2e_lib.samples(cap + '.0001')
        # Skip the first frames of the restarted decoder, then find where the audio came from.
        skip = 8192
        start = e2e_lib.find(ref, resumed, skip, played - 4 * RATE, played + 2 * RATE)
        self.assertIsNotNone(start, 'resumed audio not found in the decode')
        repeat_ms = (played - start) / 2 / RATE * 1000
        # The resume lies the back-off before what was heard; what was written but not yet heard
        # is at most the queue (three buffers of 4096 frames, 279 ms) plus one frame of rounding.
        # The file position of the heard audio is the codec's input position, which runs ahead
        # of its output by its decoder delay (529 samples) and the frame it is handed ahead.
        frame_ms = 1152 / RATE * 1000
        codec_ms = 529 / RATE * 1000 + frame_ms
        self.assertGreaterEqual(repeat_ms, 500 - codec_ms - frame_ms)
        self.assertLessEqual(repeat_ms, 500 + 279 + frame_ms)
        print('resume repeats %.0f ms of the %.0f ms written' % (repeat_ms, played / 2 / RATE * 1000))


class RuntimeInformation(unittest.TestCase):
    def test_window_while_playing_and_the_position_kept_at_exit(self):
        # The runtime information window shows the engine's record while a file plays. The
        # settings file then keeps where playback was when the program closed: last_pos is the
        # file position of what was heard (128 kbit/s: 16,000 bytes a second after the audio
        # start), not the position read at the start. A short queue (three buffers, about
        # 0.28 s) keeps what was written close to what was heard.
        z, proc, _, cap = play(self, 'runtime', 40, b'outbuflength=1\r\nlast_pos=777\r\n')
        grown(cap, 4 * RATE * 3, 60, 'playback to start')
        self.assertEqual(command('RuntimeInfo'), 0)
        rc, out = e2e_lib.send_output('text', 'ZuvoRuntimeInfo', '10000')
        self.assertEqual(rc, 0, 'no runtime information window')
        stop(proc, self)
        text = out.decode('latin-1')
        values = dict(re.findall(r'^(\w[\w ]*): (-?\d+)', text, re.M))
        self.assertRegex(text, r'waveOutBufs: 3 x 16 KB')
        self.assertGreater(int(values['dwPointer']), int(values['dwAudioBeg']), text)
        self.assertLess(int(values['dwPointer']), int(values['dwAudioEnd']), text)
        self.assertEqual(int(values['ovTrackEndSamp']), -1, text)
        self.assertIn('Debug string:', text)
        heard_s = size(cap) / 4 / RATE
        saved = re.search(rb'\r\nlast_pos=(\d+)\r\n', z.read_ini())
        self.assertIsNotNone(saved, 'no last_pos in the settings file')
        saved_s = int(saved[1]) / 16000
        print('closed after %.2f s heard; last_pos %s (%.2f s)' % (heard_s, saved[1], saved_s))
        # What was written but not heard is at most the short queue; the ID3-less file's audio
        # starts within a frame of the file's start.
        self.assertGreater(saved_s, heard_s - 0.5)
        self.assertLess(saved_s, heard_s + 0.5)


if __name__ == '__main__':
    e2e_lib.main()
