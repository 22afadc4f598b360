#!/usr/bin/env python3
"""Plays MP3 files made here with sox and lame through `zuvo-probe render` and compares the
samples with an independent decode, `mpg123 --no-gapless -s`, of the same files: they must be
identical, also for several files in a row, a file with tags and the 24-bit output mode.

    render_corpus.py --probe build/src/probe/zuvo-probe --work build/tests/corpus/render
"""
import argparse
import array
import os
import struct
import subprocess
import sys

from corpus_tools import mpg123, run, to24


def make_mp3(path, rate, channels, seconds, lame_args):
    wav = path + '.wav'
    run('sox', '-D', '-r', str(rate), '-c', str(channels), '-n', '-b', '16', wav,
        'synth', str(seconds), 'sine', '80-7000', 'vol', '0.7')
    run('lame', '--quiet', *lame_args, wav, path)
    os.remove(wav)


def reference(path):
    return mpg123(path, gapless=False)


def render(probe, files, out, ini=None):
    cmd = [probe, 'render'] + (['--ini', ini] if ini else []) + files + [out]
    subprocess.run(cmd, check=True)
    with open(out, 'rb') as f:
        data = f.read()
    assert data[:4] == b'RIFF' and data[36:40] == b'data', 'not a plain WAV file'
    channels, rate = struct.unpack('<HI', data[22:28])
    bits = struct.unpack('<H', data[34:36])[0]
    return (rate, channels, bits), data[44:]


def main():
    p = argparse.ArgumentParser()
    p.add_argument('--probe', required=True)
    p.add_argument('--work', required=True)
    a = p.parse_args()
    os.makedirs(a.work, exist_ok=True)
    w = lambda name: os.path.join(a.work, name)
    cases = {
        'cbr44.mp3': (44100, 2, 9.3, ['-b', '128']),
        'vbr48.mp3': (48000, 2, 7.1, ['-V', '2']),
        'mono22.mp3': (22050, 1, 8.6, ['-b', '64']),
        'cbr44b.mp3': (44100, 2, 4.4, ['-b', '192']),
        'mono44.mp3': (44100, 1, 3.2, ['--abr', '96']),
    }
    failures = []
    for name, (rate, ch, seconds, args) in cases.items():
        make_mp3(w(name), rate, ch, seconds, args)
    run('id3v2', '-a', 'Artist', '-t', 'Title', '-A', 'Album', w('cbr44b.mp3'))

    def check(label, got, want):
        if got != want:
            n = min(len(got), len(want))
            first = next((i for i in range(n) if got[i] != want[i]), n)
            failures.append(f'{label}: {len(got)} bytes vs {len(want)}, first difference at {first}')

    for name, (rate, ch, _, _) in cases.items():
        fmt, pcm = render(a.probe, [w(name)], w(name + '.out.wav'))
        if fmt != (rate, ch, 16):
            failures.append(f'{name}: format {fmt}')
        check(name, pcm, reference(w(name)))
    # Files of one format one after the other: the concatenation of their decodes.
    _, pcm = render(a.probe, [w('cbr44.mp3'), w('cbr44b.mp3')], w('seq.out.wav'))
    check('sequence', pcm, reference(w('cbr44.mp3')) + reference(w('cbr44b.mp3')))
    # The 24-bit output mode packs the same samples into three bytes.
    with open(w('mode24.ini'), 'wb') as f:
        f.write(b'[Zuvo]\r\nwave_flags=512\r\n')
    fmt, pcm = render(a.probe, [w('mono44.mp3')], w('mode24.out.wav'), w('mode24.ini'))
    if fmt != (44100, 1, 24):
        failures.append(f'24-bit: format {fmt}')
    check('24-bit', pcm, to24(array.array('h', reference(w('mono44.mp3')))))
    for f in failures:
        print('FAIL', f)
    print(f'{len(cases) + 2} renders checked, {len(failures)} failures')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
