#!/usr/bin/env python3
"""big_view_bench.py [SECONDS]: figures of the Big view under Wine, nothing asserted.

- CPU: zuvo.exe playing the demo folder for SECONDS (default 60) with the Big view open
  (meter, clock, cycle time 1 s, the 40 ms update timer) and, in the same run, the same player
  with the view closed; CPU seconds per minute of each and their ratio.
- A feed update of 5 feeds from a local HTTP server: from the first request to the end of the
  last, and to Zuvorss.xml in place, against Python's urllib fetching the same 5 feeds in a row.
- Memory: zuvo.exe's peak working set after 1 minute of cycling and after SECONDS more (the
  cycle time at its minimum, 1 s, so a short run goes through many cycles).
Needs a Windows build (cmake --preset windows && cmake --build --preset windows)."""
import http.server
import os
import subprocess
import sys
import threading
import time
import urllib.request

import bench_lib
from bench_lib import ROOT, cpu_seconds, e2e_lib

DATA = os.path.join(ROOT, 'tests', 'e2e', 'data', 'feeds')
FEEDS = ['cdata.xml', 'atom.xml', 'big.xml', 'utf8_bom.xml', 'cp1252.xml']
TRACK = 'C:\\Zuvo demo\\1 Sweep\\01 Sweep part 1.mp3'
REQUESTS = []  # (start, end) monotonic times of each request served


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        t0 = time.monotonic()
        with open(os.path.join(DATA, os.path.basename(self.path.split('?')[0])), 'rb') as f:
            body = f.read()
        self.send_response(200)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        REQUESTS.append((t0, time.monotonic()))

    def log_message(self, *args):
        pass


def send(*args):
    rc, out = e2e_lib.send_output(*args)
    return rc, out.decode('utf-8', 'replace').strip()


def start(name, port, open_view):
    z = e2e_lib.Install(name)
    plan = '060,0000000000,000,' + ' '.join(
        'http://127.0.0.1:%d/%s?%d' % (port, f, i) for i, f in enumerate(FEEDS))
    z.write_ini(('[Zuvo]\r\nutf8=1\r\nwavedevice=0\r\nvolume=65535\r\nbig_embedded=0\r\n'
                 'big_title=00040,00040,00800,00220,Vi5C-4I01,16777215,12632256,00000000,Arial\r\n'
                 'big_infoptrn=-beok;kp;rg\r\nbig_rssstring=%s\r\n' % plan).encode('utf-8'))
    proc = z.start('/localini', TRACK)
    send('wait', '--visible', '30000')
    opened = time.monotonic()
    if open_view:
        send('command', '416')
    return proc, z.prog, opened


def stop(proc):
    send('close')
    send('gone', '20000')
    proc.wait(timeout=30)


def main():
    seconds = int(sys.argv[1]) if len(sys.argv) > 1 else 60
    bench_lib.use_build(os.path.join(ROOT, 'build', 'bench-big'))
    subprocess.run(['bash', '-c', 'source scripts/wine-env.sh && zuvo_wine_prepare && '
                    'bash scripts/make_demo.sh "$WINEPREFIX/drive_c/Zuvo demo" >/dev/null'],
                   cwd=ROOT, check=True)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    port = server.server_address[1]

    # The peer: the same 5 feeds fetched in a row by urllib.
    t0 = time.monotonic()
    for i, f in enumerate(FEEDS):
        urllib.request.urlopen('http://127.0.0.1:%d/%s?%d' % (port, f, i)).read()
    urllib_ms = (time.monotonic() - t0) * 1000
    REQUESTS.clear()

    # The player with the view open: the update, then CPU and memory.
    proc, prog, opened = start('open', port, True)
    rss = os.path.join(prog, 'Zuvorss.xml')
    deadline = time.monotonic() + 60
    while not os.path.exists(rss) and time.monotonic() < deadline:
        time.sleep(0.01)
    written = time.monotonic()
    update_ms = (REQUESTS[-1][1] - REQUESTS[0][0]) * 1000 if len(REQUESTS) >= 5 else float('nan')
    file_ms = (written - REQUESTS[0][0]) * 1000 if REQUESTS else float('nan')
    time.sleep(max(0.0, 60 - (time.monotonic() - opened)))
    mem_1min = send('memory', 'ZuvoWndClass')[1]
    exe = os.path.join(prog, 'zuvo.exe')
    c0 = cpu_seconds(exe)
    time.sleep(seconds)
    cpu_open = (cpu_seconds(exe) - c0) * 60 / seconds
    mem_later = send('memory', 'ZuvoWndClass')[1]
    stop(proc)

    proc, prog, opened = start('closed', port, False)
    time.sleep(5)
    exe = os.path.join(prog, 'zuvo.exe')
    c0 = cpu_seconds(exe)
    time.sleep(seconds)
    cpu_closed = (cpu_seconds(exe) - c0) * 60 / seconds
    stop(proc)
    server.shutdown()

    print('feed update, 5 feeds (%d bytes): first request to last response %.0f ms, to '
          'Zuvorss.xml in place %.0f ms; urllib in a row %.0f ms; ratio %.2f'
          % (sum(os.path.getsize(os.path.join(DATA, f)) for f in FEEDS), update_ms, file_ms,
             urllib_ms, update_ms / urllib_ms))
    print('CPU seconds per minute while playing: Big view open (40 ms meter, 1 s cycle) %.2f, '
          'closed %.2f; ratio %.2f; the view alone %.2f s/min = %.1f %% of one core'
          % (cpu_open, cpu_closed, cpu_open / max(cpu_closed, 1e-9), cpu_open - cpu_closed,
             (cpu_open - cpu_closed) / 60 * 100))
    print('peak working set: after 1 min of cycling %s, after %d s more %s' %
          (mem_1min, seconds, mem_later))


if __name__ == '__main__':
    main()
