#!/usr/bin/env python3
"""The Winamp input plug-in path against the built-in one, on zuvo.exe under Wine:

  - CPU per audio minute: zuvo.exe plays one minute of audio (a sweep with noise) as FLAC
    through "in_sndfile.dll" and, in the same run, the same audio as a 192 kbit/s MP3 through
    ACM, into an ALSA file capture; the process's user + system time (from /proc) at the end,
    and the player left idle for as long, printed with the ratio FLAC / MP3;
  - start delay: after a stop, the time from Stop/Resume's command (zuvo-send has returned) to
    the first sample of the new opening of the device in the capture, for both paths.

    plugin_bench.py [--build build/windows] [--work DIR] [--rounds 5]

Uses the windows preset's zuvo.exe, zuvo-send.exe and plug-ins. Wine's server and the ALSA
plug-in run in other processes and are not counted. Not part of ctest; the machine may be
shared, so the figures vary from run to run.
"""
import argparse
import os
import statistics
import time

import bench_lib
from bench_lib import cpu_seconds, e2e_lib
from e2e_lib import Install, command, send, win_path

RATE = 44100
size = e2e_lib.file_size


def wait(pred, timeout, what):
    return e2e_lib.wait_until(pred, timeout, what, 0.005)


def sources(work, kind='flac'):
    """A minute of a sweep with noise as `kind` (through sox) and as a 192 kbit/s MP3."""
    wav = e2e_lib.make_sound(os.path.join(work, 'minute.wav'), 60, noise=True)
    other, mp3 = os.path.join(work, 'minute.' + kind), os.path.join(work, 'minute.mp3')
    e2e_lib.run('sox', wav, *(['-C', '6'] if kind == 'ogg' else []), other)
    e2e_lib.run('lame', '--quiet', '-b', '192', wav, mp3)
    return other, mp3


def player(name, plugins, keep_openings=False):
    z = Install(name, plugins)
    case = bench_lib.case()
    cap = e2e_lib.capture_audio(case, z.folder, keep_openings)
    z.write_ini(b'[Zuvo]\r\nutf8=1\r\nvolume=65535\r\nwavedevice=0\r\ngapless=0\r\n')
    return z, case, cap


def cpu_run(name, file, plugins):
    """(CPU seconds, wall seconds) of playing file to its end."""
    z, case, cap = player(name, plugins)
    t0 = time.monotonic()
    proc = z.start(win_path(file), '/localini')
    send('wait', '20000')
    wait(lambda: size(cap), 60, 'playback to start')
    e2e_lib.wait_steady(lambda: size(cap), 2, 180, 'playback to end')
    wall = time.monotonic() - t0 - 2
    cpu = cpu_seconds(z.exe)
    send('close')
    proc.wait(timeout=30)
    case.doCleanups()
    return cpu, wall


def idle_run(name, seconds):
    z, case, _ = player(name, [])
    proc = z.start('/localini')
    send('wait', '20000')
    time.sleep(seconds)  # the benchmark measures what an idle player costs in this time
    cpu = cpu_seconds(z.exe)
    send('close')
    proc.wait(timeout=30)
    case.doCleanups()
    return cpu


def delays(name, file, plugins, rounds):
    """Seconds from Stop/Resume's resume command to the first sample of the new opening."""
    z, case, cap = player(name, plugins, keep_openings=True)
    proc = z.start(win_path(file), '/localini')
    send('wait', '20000')
    wait(lambda: size(cap) > RATE * 4, 60, 'playback to start')
    out = []
    for n in range(1, rounds + 1):
        command('StopResume')  # stop
        e2e_lib.wait_steady(lambda: size(cap), 0.5, 30, 'the stop')
        t0 = time.monotonic()
        command('StopResume')  # resume: posted while zuvo-send runs, between t0 and t1
        t1 = time.monotonic()
        part = '%s.%04d' % (cap, n)
        wait(lambda: any(e2e_lib.samples(part)[:RATE * 2]) if size(part) else False, 30,
             'the first sample')
        t2 = time.monotonic()
        out.append((t2 - t1, t2 - t0))
        wait(lambda: size(part) > RATE * 4, 30, 'playback')
    send('close')
    proc.wait(timeout=30)
    case.doCleanups()
    return out


def main():
    p = argparse.ArgumentParser()
    p.add_argument('--build', default=bench_lib.BUILD)
    p.add_argument('--work', default=os.path.join(bench_lib.ROOT, 'build', 'bench-plugins'))
    p.add_argument('--rounds', type=int, default=5)
    a = p.parse_args()
    bench_lib.use_build(a.work, a.build)
    plugin = os.path.join(a.build, 'plugins', 'in_sndfile.dll')
    if not os.path.exists(plugin):
        raise SystemExit('no %s: build the windows preset with winegcc and libsndfile' % plugin)
    flac, mp3 = sources(a.work)
    print('machine shared with other work: %.2f load average at the start' % os.getloadavg()[0])
    f_cpu, f_wall = cpu_run('cpu-flac', flac, [plugin])
    m_cpu, m_wall = cpu_run('cpu-mp3', mp3, [])
    idle = idle_run('cpu-idle', max(f_wall, m_wall))
    print('CPU per audio minute (zuvo.exe, user + system):')
    print('  FLAC through in_sndfile.dll  %.2f s  (played in %.1f s)' % (f_cpu, f_wall))
    print('  MP3 through ACM              %.2f s  (played in %.1f s)' % (m_cpu, m_wall))
    print('  idle player, %.0f s           %.2f s' % (max(f_wall, m_wall), idle))
    print('  ratio FLAC / MP3             %.2f  (less idle: %.2f)' % (
        f_cpu / m_cpu, (f_cpu - idle) / max(m_cpu - idle, 1e-3)))
    fd = delays('delay-flac', flac, [plugin], a.rounds)
    md = delays('delay-mp3', mp3, [], a.rounds)
    print('Resume command to the first sample in the capture, median of %d: the command is '
          'posted while zuvo-send runs under Wine, so the delay lies between the time from '
          "zuvo-send's end and the time from its start:" % a.rounds)
    for what, d in (('FLAC through the plug-in', fd), ('MP3 through ACM', md)):
        lo = statistics.median(x[0] for x in d) * 1000
        hi = statistics.median(x[1] for x in d) * 1000
        print('  %-25s %4.0f .. %4.0f ms' % (what, lo, hi))


if __name__ == '__main__':
    main()
