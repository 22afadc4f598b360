#!/usr/bin/env python3
"""Copy throughput of the program's "Copy to" (the shell's file operation under Wine) against
`cp`, on one file of SIZE_MB megabytes, in the same run.

    copy_bench.py [--size-mb 1024] [--work DIR]

Builds nothing: it uses build/windows (zuvo.exe and zuvo-send.exe). Times `cp` first (the
source then sits in the page cache for both), then the program: from the moment the typed
destination is confirmed until the copy has its full size, and prints MB/s and the ratio.
Not part of ctest.
"""
import argparse
import filecmp
import os
import shutil
import subprocess
import time

import bench_lib
from bench_lib import e2e_lib


def main():
    p = argparse.ArgumentParser()
    p.add_argument('--size-mb', type=int, default=1024)
    p.add_argument('--work', default=os.path.join(bench_lib.BUILD, 'bench', 'copy'))
    a = p.parse_args()
    shutil.rmtree(a.work, ignore_errors=True)
    bench_lib.use_build(a.work)
    z = e2e_lib.Install('copy')
    src_dir, cp_dir, our_dir = (z.subfolder(n) for n in ('src', 'cp', 'ours'))
    src = os.path.join(src_dir, 'big.mp3')
    size = a.size_mb << 20
    subprocess.run(['head', '-c', str(size), '/dev/urandom'], stdout=open(src, 'wb'), check=True)

    t0 = time.monotonic()
    subprocess.run(['cp', src, cp_dir], check=True)
    subprocess.run(['sync'], check=True)
    cp_s = time.monotonic() - t0

    z.write_ini(b'[Zuvo]\r\nutf8=1\r\nbrowsed_folder=' + e2e_lib.win_path(src_dir).encode() +
                b'\r\n')
    proc = z.start('/localini')
    try:
        assert e2e_lib.send('wait', '20000') == 0, 'no main window'
        e2e_lib.wait_until(lambda: e2e_lib.rows(), 20, 'the folder listed')
        assert e2e_lib.send('select', 'big') == 0
        assert e2e_lib.command('CopyTo') == 0
        assert e2e_lib.send('wintext', '#32770', '10000') == 0, 'no dialog'
        target = os.path.join(our_dir, 'big.mp3')
        t0 = time.monotonic()
        assert e2e_lib.send('save', e2e_lib.win_path(target)) == 0
        t1 = time.monotonic()  # the dialog is gone: the copy itself starts about now
        e2e_lib.wait_until(lambda: os.path.exists(target) and os.path.getsize(target) == size,
                           600, 'the copy complete', interval=0.01)
        subprocess.run(['sync'], check=True)
        ours_s, copy_s = time.monotonic() - t0, time.monotonic() - t1
        e2e_lib.stop(proc, bench_lib.case())
    finally:
        if proc.poll() is None:
            proc.kill()
    assert filecmp.cmp(src, target, shallow=False), 'the copy differs'
    mb = size / 1e6
    print('copy of %d MB: cp %.2f s (%.0f MB/s); Copy to %.2f s (%.0f MB/s) from the dialog\'s '
          'end, ratio %.2f; %.2f s with the dialog\'s confirmation' %
          (a.size_mb, cp_s, mb / cp_s, copy_s, mb / copy_s, copy_s / cp_s, ours_s))
    shutil.rmtree(a.work, ignore_errors=True)


if __name__ == '__main__':
    main()
