#!/usr/bin/env python3
"""bass.dll (the Winelib stand-in) on zuvo.exe under Wine, against peers in the same run:

  - CPU per audio minute: one minute of audio (a sweep with noise) as Ogg Vorbis through
    bass.dll and as a 192 kbit/s MP3 through ACM, each played to its end into an ALSA file
    capture; the process's user + system time, the idle player's for as long, and the ratio;
  - info scan: "Scan files for times/info" over 1,000 MP3 files until every size cell holds a
    length (polled through zuvo-send, so the time is an upper bound), rows per second, against
    `mediainfo` reading the durations of the same files.

    bass_bench.py [--build build/windows] [--work DIR]

Not part of ctest; the machine may be shared, so the figures vary from run to run.
"""
import argparse
import os
import shutil
import subprocess
import time

import bench_lib
import plugin_bench
from bench_lib import e2e_lib
from e2e_lib import Install, command, send, send_output, win_path

FILES = 1000


def scan_rows_per_second(work):
    z = Install('bench-scan')
    music = z.subfolder()
    src = e2e_lib.make_mp3(os.path.join(z.folder, 'src.mp3'), 4)
    for i in range(FILES):
        shutil.copy(src, os.path.join(music, '%04d.mp3' % i))
    z.write_ini(b'[Zuvo]\r\nutf8=1\r\nwavedevice=0\r\n')
    proc = z.start(win_path(music), '/localini')
    send('wait', '20000')
    cells = lambda: send_output('cells', '1')[1].decode('utf-8', 'replace').splitlines()
    e2e_lib.wait_until(lambda: len(cells()) >= FILES, 60, 'the listing')
    t0 = time.monotonic()
    command('ScanInfo')
    e2e_lib.wait_until(lambda: sum("'" in c for c in cells()) >= FILES, 300, 'the scan', 0.01)
    ours = time.monotonic() - t0
    send('close')
    proc.wait(timeout=30)
    t0 = time.monotonic()
    subprocess.run(['mediainfo', '--Inform=General;%Duration%\\n'] +
                   [os.path.join(music, n) for n in sorted(os.listdir(music))],
                   check=True, capture_output=True)
    theirs = time.monotonic() - t0
    return ours, theirs


def main():
    p = argparse.ArgumentParser()
    p.add_argument('--build', default=bench_lib.BUILD)
    p.add_argument('--work', default=os.path.join(bench_lib.ROOT, 'build', 'bench-bass'))
    a = p.parse_args()
    bench_lib.use_build(a.work, a.build)
    bass = os.path.join(a.build, 'standins', 'bass.dll')
    if not os.path.exists(bass):
        raise SystemExit('no %s: build the windows preset with winegcc and libopenmpt' % bass)
    if not shutil.which('mediainfo'):
        raise SystemExit('mediainfo is not installed (apt-get install mediainfo)')
    ogg, mp3 = plugin_bench.sources(a.work, 'ogg')
    print('machine shared with other work: %.2f load average at the start' % os.getloadavg()[0])
    o_cpu, o_wall = plugin_bench.cpu_run('cpu-ogg', ogg, [bass])
    m_cpu, m_wall = plugin_bench.cpu_run('cpu-mp3', mp3, [])
    idle = plugin_bench.idle_run('cpu-idle', max(o_wall, m_wall))
    print('CPU per audio minute (zuvo.exe, user + system):')
    print('  Ogg through bass.dll  %.2f s  (played in %.1f s)' % (o_cpu, o_wall))
    print('  MP3 through ACM       %.2f s  (played in %.1f s)' % (m_cpu, m_wall))
    print('  idle player           %.2f s' % idle)
    print('  ratio Ogg / MP3       %.2f  (less idle: %.2f)' % (
        o_cpu / m_cpu, (o_cpu - idle) / max(m_cpu - idle, 1e-3)))
    ours, theirs = scan_rows_per_second(a.work)
    print('Info scan of %d MP3 files: zuvo.exe %.2f s (%.0f rows/s, at most), mediainfo %.2f s '
          '(%.0f files/s), ratio %.2f' % (FILES, ours, FILES / ours, theirs, FILES / theirs,
                                          ours / theirs))


if __name__ == '__main__':
    main()
