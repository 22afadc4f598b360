#!/usr/bin/env python3
"""Tracks played in a row through `zuvo-probe render`, against mpg123's decodes of the same
files. A long chirp-plus-noise signal made with sox is cut at sample positions that are not frame
boundaries into several tracks, each sequence encoded with lame in one format (CBR at 44.1 kHz
stereo, ABR at 44.1 kHz mono, VBR at 48 kHz stereo, CBR at 22.05 kHz mono; the first track of one
sequence carries an ID3v2 tag). With gapless play on, the output must have exactly the original
number of samples, every junction must line up with the original signal (the cross-correlation
peaks at offset 0 on both sides of it) and it must be bit-identical to the concatenation of the
gapless decodes of `mpg123 -s`. With gapless play off it must equal the untrimmed decodes of
`mpg123 --no-gapless -s`, file after file. One sequence is also played in the 24-bit mode both
ways, and overlap mixing is checked against the clamped sum of two decodes. Prints the figures:
samples missing or doubled at junctions, the largest difference to the reference, and the render
speed with gapless play and with overlap mixing.

    gapless_corpus.py --probe build/src/probe/zuvo-probe --work build/tests/corpus/gapless
"""
import argparse
import array
import os
import re
import struct
import subprocess
import sys

from corpus_tools import mpg123, run, to24

# name: rate, channels, seconds, lame options, cut points as fractions of the length. (Below
# 56 kbit/s lame writes no Info frame for 22.05 kHz mono, and so no delay and padding.)
SEQUENCES = {
    'cbr44': (44100, 2, 30, ['-b', '128'], (0.13, 0.41, 0.42, 0.77)),
    'abr44mono': (44100, 1, 20, ['--abr', '96'], (0.21, 0.5, 0.83)),
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


def read_wav(path):
    """((rate, channels, bits), sample bytes) of a plain WAV file as the probe writes it."""
    with open(path, 'rb') as f:
        data = f.read()
    assert data[:4] == b'RIFF' and data[36:40] == b'data', 'not a plain WAV file'
    channels, rate = struct.unpack('<HI', data[22:28])
    return (rate, channels, struct.unpack('<H', data[34:36])[0]), data[44:]


def read_wav_samples(path):
    return array.array('h', read_wav(path)[1])


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
    cmd = [probe, 'render'] + (['--ini', ini] if ini else []) + (['--bench'] if bench else []) + \
        files + [out]
    r = subprocess.run(cmd, check=True, capture_output=True, text=True)
    m = re.search(r'([0-9.]+) x real time', r.stderr)
    return float(m.group(1)) if m else None  # the speed, with --bench


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


def last_frame_bytes(path):
    """The length of the file's last audio frame as ffprobe sees it."""
    sizes = run('ffprobe', '-v', 'error', '-select_streams', 'a:0', '-show_entries', 'packet=size',
                '-of', 'csv=p=0', path).stdout.split()
    return int(sizes[-1].strip(b','))


def in_a_row(out, refs, short_end, frame):
    """Whether out holds the references one after the other. The decoder counts a stream as
    ended within 200 bytes of its end, so a file whose last frame is shorter than that (short_end)
    may lose it (frame bytes of output). Returns the number of frames so lost, or None."""
    at, lost = 0, 0
    for ref, short in zip(refs, short_end):
        for cut in ((0, frame) if short else (0,)):
            if out[at:at + len(ref) - cut] == ref[:len(ref) - cut]:
                at, lost = at + len(ref) - cut, lost + (cut > 0)
                break
        else:
            return None
    return lost if at == len(out) else None


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
    render(probe, ini, [w('tail.mp3'), w('next.mp3')], w('overlap.out.wav'))
    out = read_wav_samples(w('overlap.out.wav'))
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
    plain24_ini = w('plain24.ini')
    with open(plain24_ini, 'wb') as f:
        f.write(b'[Zuvo]\r\nwave_flags=512\r\n')
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
        if name == 'cbr44':  # the tag before the first frame is skipped by both ways of playing
            run('id3v2', '-a', 'Artist', '-t', 'Title', '-A', 'Album', files[0])
        speeds.setdefault('gapless', []).append(
            render(a.probe, ini, files, w(name + '.out.wav'), bench=True))
        out = read_wav_samples(w(name + '.out.wav'))
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
        # Gapless play off: each file's whole decode, one after the other.
        plain_refs = [mpg123(f, gapless=False) for f in files]
        short_end = [last_frame_bytes(f) < 200 for f in files]
        frame = (1152 if rate >= 32000 else 576) * ch
        render(a.probe, None, files, w(name + '.plain.wav'))
        fmt, plain = read_wav(w(name + '.plain.wav'))
        lost = in_a_row(plain, plain_refs, short_end, frame * 2)
        if fmt != (rate, ch, 16) or lost is None:
            failures.append(f'{name}: gapless off: format {fmt}, '
                            f'{"" if lost is not None else "not "}mpg123 --no-gapless -s')
        if name == 'mono22':  # the 24-bit mode packs the same samples, both ways of playing
            render(a.probe, ini24, files, w(name + '.24.wav'))
            if read_wav(w(name + '.24.wav'))[1] != to24(ref):
                failures.append(f'{name}: the 24-bit mode differs from mpg123 -s')
            render(a.probe, plain24_ini, files, w(name + '.p24.wav'))
            fmt, plain24 = read_wav(w(name + '.p24.wav'))
            refs24 = [to24(array.array('h', r)) for r in plain_refs]
            if fmt != (rate, ch, 24) or in_a_row(plain24, refs24, short_end, frame * 3) is None:
                failures.append(f'{name}: gapless off, 24-bit: format {fmt} or samples differ')
        speeds.setdefault('overlap', []).append(
            render(a.probe, mixed_ini, files, w(name + '.mixed.wav'), bench=True))
        print(f'{name}: {len(files)} tracks, {frames} frames, junctions at {cuts}: '
              f'{len(out) // ch} frames rendered, max |diff| {diff}; gapless off: '
              f'{lost} last frames shorter than 200 bytes not played')

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
