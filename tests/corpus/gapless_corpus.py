#!/usr/bin/env python3
"""Gapless joins, exactly: a long chirp-plus-noise signal made with sox is cut at sample
positions that are not frame boundaries into several tracks, each sequence encoded with lame in
one format (CBR and VBR at 44.1 kHz stereo, 48 kHz stereo, 22.05 kHz mono) and played with
`zuvo-probe render` and gapless play on (one sequence also in the 24-bit mode). The output must have exactly the original number of
samples, every junction must line up with the original signal (the cross-correlation peaks at
offset 0 on both sides of it) and it must be bit-identical to the concatenation of the gapless
decodes of `mpg123 -s`. Prints the figures: samples missing or doubled at junctions, the largest
difference to the reference, and the render speed with gapless play and with overlap mixing.

    gapless_corpus.py --probe build/src/probe/zuvo-probe --work build/tests/corpus/gapless
"""
import argparse
import array
import os
import re
import subprocess
import sys

from corpus_tools import mpg123, run, to24

# name: rate, channels, seconds, lame options, cut points as fractions of the length. (Below
# 56 kbit/s lame writes no Info frame for 22.05 kHz mono, and so no delay and padding.)
SEQUENCES = {
    'cbr44': (44100, 2, 30, ['-b', '128'], (0.13, 0.41, 0.42, 0.77)),
    'vbr44': (44100, 2, 24, ['-V', '2'], (0.21, 0.5, 0.83)),
    'vbr48': (48000, 2, 24, ['-V', '4'], (0.17, 0.49, 0.71)),
    'mono22': (22050, 1, 30, ['-b', '56'], (0.11, 0.37, 0.64, 0.9)),
}
WINDOW = 2048  # frames compared on each side of a junction
LAGS = 40      # offsets searched, in frames, either way


def make_signal(path, rate, channels, seconds):
    # A slow chirp over the whole band with noise on top: no two stretches alike.
    run('sox', '-D', '-r', str(rate), '-c', str(channels), '-n', '-b', '16', path,
        'synth', str(seconds), 'sine', '60-9000', 'synth', str(seconds), 'whitenoise', 'mix',
        'vol', '0.45')


def read_wav_samples(path, raw=False):
    with open(path, 'rb') as f:
        data = f.read()
    at = data.index(b'data') + 8
    return data[at:] if raw else array.array('h', data[at:])


def cut_points(frames, fractions):
    """Cut positions (in frames) near the fractions, moved off every frame boundary."""
    cuts = []
    for fr in fractions:
        p = int(frames * fr)
        while p % 576 in (0, 575, 1):
            p += 7
        cuts.append(p + 13)
    return cuts


def render(probe, ini, files, out, bench=False):
    cmd = [probe, 'render', '--ini', ini] + (['--bench'] if bench else []) + files + [out]
    r = subprocess.run(cmd, check=True, capture_output=True, text=True)
    speed = None
    m = re.search(r'([0-9.]+) x real time', r.stderr)
    if m:
        speed = float(m.group(1))
    return read_wav_samples(out), speed


def best_lag(out, ref, ch, start, length):
    """The offset (frames) at which out[start:] correlates best with ref around start."""
    best, best_val = 0, None
    for lag in range(-LAGS, LAGS + 1):
        a0, b0 = start, start + lag
        if min(a0, b0) < 0 or max(a0, b0) + length > min(len(out), len(ref)) // ch:
            continue
        acc = 0
        for i in range(length):
            acc += out[(a0 + i) * ch] * ref[(b0 + i) * ch]
        if best_val is None or acc > best_val:
            best, best_val = lag, acc
    return best


def clamp_sum(x, y):
    return [max(-32767, min(32767, u + v)) for u, v in zip(x, y)]


def check_overlap(probe, w, failures):
    """Overlap mixing: a track whose last three seconds lie below the -12 dB threshold is
    overlapped by the next one for those three seconds and the first 40 loud frames before them;
    where they overlap the samples are the clamped sum of both decodes, and nothing of either is
    lost (the last track's tail included)."""
    rate = 44100
    run('sox', '-D', '-r', str(rate), '-c', '2', '-n', '-b', '16', w('loud.wav'),
        'synth', '5', 'whitenoise', 'vol', '0.6')
    run('sox', '-D', '-r', str(rate), '-c', '2', '-n', '-b', '16', w('quiet.wav'),
        'synth', '3', 'whitenoise', 'vol', '0.08')
    run('sox', w('loud.wav'), w('quiet.wav'), w('tail.wav'))
    run('sox', '-D', '-r', str(rate), '-c', '2', '-n', '-b', '16', w('next.wav'),
        'synth', '5', 'sine', '300-3000', 'vol', '0.5')
    run('lame', '--quiet', '-b', '192', w('tail.wav'), w('tail.mp3'))
    run('lame', '--quiet', '-b', '192', w('next.wav'), w('next.mp3'))
    ini = w('overlap.ini')
    with open(ini, 'wb') as f:
        f.write(b'[Zuvo]\r\ngapless=9\r\n')
    out, _ = render(probe, ini, [w('tail.mp3'), w('next.mp3')], w('overlap.out.wav'))
    a = array.array('h', mpg123(w('tail.mp3')))
    b = array.array('h', mpg123(w('next.mp3')))
    k = len(a) + len(b) - len(out)  # samples overlapped
    seconds = k / 2 / rate
    want = a[:len(a) - k] + array.array('h', clamp_sum(a[len(a) - k:], b[:k])) + b[k:]
    if not 3.0 <= seconds <= 3.05 or out != want:
        failures.append(f'overlap: {seconds:.4f} s overlapped, '
                        f'{"" if out == want else "not "}the sum of both decodes')
    return seconds, out == want


def main():
    p = argparse.ArgumentParser()
    p.add_argument('--probe', required=True)
    p.add_argument('--work', required=True)
    a = p.parse_args()
    os.makedirs(a.work, exist_ok=True)
    w = lambda name: os.path.join(a.work, name)
    ini = w('gapless.ini')
    with open(ini, 'wb') as f:
        f.write(b'[Zuvo]\r\ngapless=1\r\n')
    ini24 = w('gapless24.ini')
    with open(ini24, 'wb') as f:
        f.write(b'[Zuvo]\r\ngapless=1\r\nwave_flags=512\r\n')
    mixed_ini = w('mixed.ini')
    with open(mixed_ini, 'wb') as f:
        f.write(b'[Zuvo]\r\ngapless=13\r\noverlap2=6706\r\noverlap2buf=10\r\n')

    failures = []
    junction_errors = 0
    max_diff = 0
    speeds = {}
    for name, (rate, ch, seconds, lame_args, fractions) in SEQUENCES.items():
        sig = w(name + '.wav')
        make_signal(sig, rate, ch, seconds)
        original = read_wav_samples(sig)
        frames = len(original) // ch
        cuts = cut_points(frames, fractions)
        bounds = [0] + cuts + [frames]
        files = []
        for k in range(len(bounds) - 1):
            part = w(f'{name}_{k}.wav')
            mp3 = w(f'{name}_{k}.mp3')
            run('sox', sig, part, 'trim', f'{bounds[k]}s', f'{bounds[k + 1] - bounds[k]}s')
            run('lame', '--quiet', *lame_args, part, mp3)
            os.remove(part)
            files.append(mp3)
        out, speed = render(a.probe, ini, files, w(name + '.out.wav'), bench=True)
        speeds.setdefault('gapless', []).append(speed)
        if len(out) != len(original):
            failures.append(f'{name}: {len(out) // ch} frames, the original has {frames}')
        ref = array.array('h', b''.join(mpg123(f) for f in files))
        n = min(len(out), len(ref))
        diff = max((abs(out[i] - ref[i]) for i in range(n)), default=0)
        max_diff = max(max_diff, diff)
        if len(out) != len(ref) or diff != 0:
            first = next((i for i in range(n) if out[i] != ref[i]), n)
            failures.append(f'{name}: differs from mpg123 -s ({len(out)} vs {len(ref)} samples, '
                            f'first difference at {first}, max {diff})')
        for j in cuts:
            for start in (j - WINDOW, j):  # the old track's end and the new one's start
                lag = best_lag(out, original, ch, start, WINDOW)
                if lag != 0:
                    junction_errors = max(junction_errors, abs(lag))
                    failures.append(f'{name}: junction at frame {j}: offset {lag} '
                                    f'({"after" if start == j else "before"} it)')
        if name == 'mono22':  # the float ring of the 24-bit mode joins the same samples
            render(a.probe, ini24, files, w(name + '.24.wav'))
            if read_wav_samples(w(name + '.24.wav'), raw=True) != to24(ref):
                failures.append(f'{name}: the 24-bit mode differs from mpg123 -s')
        _, mixed_speed = render(a.probe, mixed_ini, files, w(name + '.mixed.wav'), bench=True)
        speeds.setdefault('overlap', []).append(mixed_speed)
        print(f'{name}: {len(files)} tracks, {frames} frames, junctions at {cuts}: '
              f'{len(out) // ch} frames rendered, max |diff| {diff}')

    overlap, exact = check_overlap(a.probe, w, failures)
    print(f'overlap mixing: {overlap:.4f} s overlapped, '
          f'{"the exact" if exact else "NOT the"} clamped sum of both decodes')
    for mode, values in speeds.items():
        values = [v for v in values if v]
        if values:
            print(f'render speed, {mode}: {min(values):.0f}..{max(values):.0f} x real time')
    print(f'samples missing or doubled at junctions: {junction_errors}; '
          f'max |difference| to mpg123 -s: {max_diff}')
    for f in failures:
        print('FAIL', f)
    print(f'{len(SEQUENCES)} sequences checked, {len(failures)} failures')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
