"""A skip the user orders ("Play next track" with "Fade on skip:") while a track plays: the
queued audio fades out over the skip-fade time on the open device and the next track follows
on the same opening of the device, without a stop and restart. With overlap mixing the next
track is mixed into the fading queue (a cross-fade); without it the next track begins after
the faded queue. The wave-out capture is compared with `mpg123 -s` decodes of both tracks and
with the fade curve."""
import array
import os
import unittest

import e2e_lib
from e2e_lib import Install, capture_audio, command, stop, wait_until

RATE, CHANNELS = 44100, 2
FADEOUT = 0x80 | 10 | 0x8000 | (5 << 8)  # stop fade on (1.0 s), skip fade on (0.5 s)
FADE_DECAY = 6
SKIP_FADE_SAMPLES = 500 * RATE * CHANNELS // 1000  # the fade's length, interleaved samples
TOLERANCE = 3  # LSB: rounding of the fade gain and of the mixing
# Interleaved samples after the first difference within which the mix must reach the device
# (0.2 s; 34-80 ms measured under Wine).
MIX_SEARCH = 17640


def gain(i, n=SKIP_FADE_SAMPLES, decay=FADE_DECAY):
    k = (8 - decay) * 5
    c = 1.0 / (k * k + 1)
    return max(0.0, c ** (i / n) - c * i / n) if i < n else 0.0


def clamp(v):
    return max(-32767, min(32767, v))


def expected(ref1, off1, start, i, ref2, at2):
    """The capture's sample i when the fade began at start and (ref2 not None) the second track
    is mixed in from at2."""
    v = ref1[i - off1] * gain(i - start) if i - off1 < len(ref1) else 0.0
    if ref2 is not None and 0 <= i - at2 < len(ref2):
        v += ref2[i - at2]
    return clamp(round(v))


def fit_fade(cap, ref1, off1, diverge, check_from, ref2, at2, start=None):
    """The start of the fade: the position from which the capture (checked from check_from on)
    is the first track times the fade curve, plus the second track from at2 when it is mixed in
    (ref2 not None). Wine's device takes audio ahead of what it has played, so the head of the
    faded queue may have reached it unfaded: the start lies up to one fade length before the
    first sample that differs from the first track. A start that is given is only checked.
    Returns (start, worst difference over the checked samples, interleaved samples of the curve
    that were checked)."""
    def worst(start, step):
        w = 0
        for i in range(max(check_from, start), start + SKIP_FADE_SAMPLES + 4096, step):
            if i >= len(cap):
                break
            w = max(w, abs(cap[i] - expected(ref1, off1, start, i, ref2, at2)))
        return w
    if start is not None:
        return start, worst(start, 1), start + SKIP_FADE_SAMPLES - check_from
    # At least a fifth of the curve lies in the checked part.
    low = max(0, diverge - SKIP_FADE_SAMPLES, check_from - SKIP_FADE_SAMPLES * 4 // 5)
    coarse = min(range(diverge - diverge % CHANNELS, low - 1, -64), key=lambda s: worst(s, 97))
    fine = range(coarse + 64, max(low, coarse - 64) - 1, -CHANNELS)
    best = min(fine, key=lambda s: worst(s, 13))
    return best, worst(best, 1), best + SKIP_FADE_SAMPLES - check_from


def mix_begins(cap, ref1, off1, start, diverge, until, ref2, at2):
    """Where the second track joins the fade: between the fade and the mix the device may take
    a little more of the faded queue. The capture from diverge to until must be the faded first
    track alone, then the faded first track plus the second. Returns the position, or -1."""
    alone = [abs(cap[i] - expected(ref1, off1, start, i, None, at2)) <= TOLERANCE
             for i in range(diverge, until)]
    mixed = [abs(cap[i] - expected(ref1, off1, start, i, ref2, at2)) <= TOLERANCE
             for i in range(diverge, until)]
    m = alone.index(False) if False in alone else len(alone)
    return diverge + m if all(mixed[m:]) else -1


class SkipFade(unittest.TestCase):
    def skip(self, name, gapless, device=0):
        z = Install(name)
        music = z.subfolder()
        # The second track is quieter, so that the DirectSound capture's level tells them apart.
        ref1, ref2 = (e2e_lib.decode(e2e_lib.make_mp3(
            os.path.join(music, name + '.mp3'), seconds, sweep, True, volume, lame=('-b', '192')))
                      for name, seconds, sweep, volume in (('s1', 40, '80-6000', 0.4),
                                                           ('s2', 8, '7000-300', 0.15)))
        capture_audio(self, z.folder, keep_openings=True)
        proc = e2e_lib.start_with(self, z, os.path.join(music, 's1.mp3'), (
            b'gapless=%d\r\nfadeout=%d\r\nfade_decay=%d\r\ncontrol_flags=32\r\n'
            % (gapless, FADEOUT, FADE_DECAY)), device)
        # The skip once three seconds of the first track have reached the device.
        wait_until(lambda: e2e_lib.captured(z.folder) > 3 * RATE * 4, 60,
                   'three seconds of the first track captured', interval=0.01)
        before = e2e_lib.captured(z.folder)
        self.assertEqual(command('NextTrack'), 0)
        # The second track has ended when nothing more has been written for a while. All of
        # it is written after the skip: 16-bit at its own rate through wave-out, float at
        # 48 kHz through DirectSound.
        frames = len(ref2) // CHANNELS
        whole = frames * 4 if device & 0x80 == 0 else frames * 48000 // RATE * 8
        e2e_lib.wait_steady(lambda: e2e_lib.captured(z.folder), 10, 120,
                            'the second track to end', at_least=before + whole)
        stop(proc, self)

        # DirectSound's start opens the wave-out device once without playing (its volume):
        # only openings that received audio count.
        openings = [n for n in sorted(os.listdir(z.folder)) if n.startswith('cap.raw') and
                    os.path.getsize(os.path.join(z.folder, n)) > 0]
        self.assertEqual(len(openings), 1, 'the skip reopened the device')
        data = e2e_lib.read(os.path.join(z.folder, openings[0]))
        mixed = gapless & 9 == 9
        if device & 0x80:
            self.check_levels(name, data, mixed)
        else:
            self.check_samples(name, data, ref1, ref2, gapless)

    def check_levels(self, name, data, mixed):
        """Wine mixes DirectSound to 48 kHz float, so the capture is not sample-exact: its level
        (RMS over 10 ms) must fall from the first track's to silence and rise to the second's,
        or, mixed, go from one to the other without a hole."""
        cap = array.array('f', data[:len(data) // 8 * 8])
        win = 480 * 2
        rms = [(sum(x * x for x in cap[i:i + win]) / win) ** 0.5
               for i in range(0, len(cap) - win, win)]
        loud = [k for k, r in enumerate(rms) if r > 1e-3]
        self.assertTrue(loud, 'nothing was heard')
        rms = rms[loud[0]:loud[-1] + 1]
        first = sorted(rms[50:150])[50]   # 0.5-1.5 s: the first track
        second = sorted(rms[-250:-50])[100]  # the second track's last seconds
        self.assertLess(second, first * 0.6, 'the two tracks have the same level')
        k = next(k for k in range(150, len(rms)) if rms[k] < first * 0.6)  # the fade
        k2 = next(j for j in range(k, len(rms)) if abs(rms[j] - second) < second * 0.2 and
                  all(abs(r - second) < second * 0.35 for r in rms[j:j + 50]))
        hole = min(rms[k:k2 + 1])
        print('%s: level %.4f, fade at %.2f s, second track (%.4f) from %.2f s, lowest level '
              'between %.5f' % (name, first, k / 100, second, k2 / 100, hole))
        self.assertLess(k2 - k, 150, 'the second track came late')
        if mixed:
            self.assertGreater(hole, second * 0.5, 'a hole between the mixed tracks')
        else:
            self.assertLess(hole, 1e-4, 'no silence after the fade')

    def check_samples(self, name, data, ref1, ref2, gapless):
        """Wave-out: the capture is what the program wrote, compared sample by sample."""
        mixed = gapless & 9 == 9
        cap = array.array('h', data[:len(data) // 2 * 2])
        # Up to 200 ms: runs of 70 ms were seen under load. Our own silence blocks (1,024
        # frames each) never come to a whole number of periods, and the silence after the
        # fade is longer.
        cap, dropped = e2e_lib.drop_wine_underruns(cap, CHANNELS, RATE, max_periods=20)
        if dropped:
            print('%s: %d runs of silence Wine wrote when its device ran dry left out' % (
                name, dropped))
        off1 = e2e_lib.find(cap, ref1)
        self.assertIsNotNone(off1, 'the first track is not in the capture')
        diverge = off1
        while diverge < len(cap) and diverge - off1 < len(ref1) and \
                abs(cap[diverge] - ref1[diverge - off1]) <= 2:
            diverge += 1
        played = (diverge - off1) / CHANNELS / RATE
        self.assertGreater(played, 2.5, 'the first track changed before the skip')
        self.assertLess(played, 35, 'the first track was not cut short')
        # The second track, exact from two seconds in (after any mixed stretch).
        later = 2 * RATE * CHANNELS
        at2 = e2e_lib.find(cap, ref2, later, diverge)
        self.assertIsNotNone(at2, 'the second track is not in the capture')
        tail = cap[at2 + later:at2 + len(ref2)]
        off = sum(1 for a, b in zip(tail, ref2[later:]) if abs(a - b) > 2)
        self.assertEqual(len(tail), len(ref2) - later, 'the second track was cut short')
        self.assertEqual(off, 0, 'the second track differs from its decode')

        check_from = diverge
        if mixed:
            # The new track is opened between the fade and the mix, so the device may take a
            # little more of the faded queue before the mix reaches it.
            joins = mix_begins(cap, ref1, off1, at2, diverge, diverge + MIX_SEARCH, ref2, at2)
            self.assertGreaterEqual(joins, 0, 'the capture is neither the fade nor the mix')
            print('%s: the mix was heard %.1f ms after the fade' % (
                name, (joins - diverge) / CHANNELS / RATE * 1000))
            check_from = joins
        # Mixed, the fade must begin where the second track does (the oldest queued buffer):
        # the curve's slow tail would let a free fit wander by some hundred samples.
        start, worst, checked = fit_fade(cap, ref1, off1, diverge, check_from,
                                         ref2 if mixed else None, at2, at2 if mixed else None)
        print('%s: skip after %.3f s of the first track; fade from %.3f s (%d samples before '
              'the first difference, the device had taken them unfaded); %d samples of the '
              'curve checked, worst difference %d LSB; second track at %.3f s, %.3f s after '
              'the fade began' % (
                  name, played, (start - off1) / CHANNELS / RATE, diverge - start, checked,
                  worst, at2 / CHANNELS / RATE, (at2 - start) / CHANNELS / RATE))
        self.assertGreater(checked, SKIP_FADE_SAMPLES // 5, 'too little of the fade was heard')
        self.assertLessEqual(worst, TOLERANCE, 'the fade does not follow the fade curve')
        if not mixed:
            # After the fade the queue is silent until the second track begins.
            self.assertGreaterEqual(at2, start + SKIP_FADE_SAMPLES)
            self.assertLess(at2 - start, 2 * RATE * CHANNELS, 'a pause after the fade')
            # Without the ring the decoder's output is not trimmed: the encoder's and the
            # decoder's delay (576 + 529 frames) come before the track's first sample.
            lead = 0 if gapless & 1 else (576 + 529) * CHANNELS
            gap = cap[start + SKIP_FADE_SAMPLES:at2 - lead]
            self.assertEqual(max((abs(x) for x in gap), default=0), 0)
            if gapless & 1:  # the ring starts the next track exactly at its first sample
                self.assertEqual(e2e_lib.find(cap, ref2, 0, at2 - CHANNELS), at2)

    def test_skip(self):
        # gapless 1: the ring; 9: the ring with overlap mixing; device 0x80: DirectSound.
        for name, gapless, device in [('skipring', 1, 0), ('skipmix', 9, 0), ('skipdirect', 0, 0),
                                      ('skipds', 1, 0x80), ('skipdsmix', 9, 0x80)]:
            with self.subTest(name):
                self.skip(name, gapless, device)


if __name__ == '__main__':
    e2e_lib.main()
