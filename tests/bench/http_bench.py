#!/usr/bin/env python3
"""http_bench.py [REQUESTS]: figures of the HTTP server of zuvo.exe under Wine, each against a
peer in the same run. Needs the Windows build (and winegcc for the lame_enc.dll stand-in).

- page latency p50/p99 over REQUESTS sequential GETs (default 300), alone and with 200 idle
  connections open; the peer is Python's http.server giving a page of the same size;
- CPU seconds of the zuvo.exe process per minute of audio played: playing with no listener,
  with one (the encoder) and with five; the peer is the `lame` command encoding the same
  audio with the same settings (128 kbps, joint stereo);
- the time from a listener's request (while playing) to its first MP3 bytes.

The machine is shared with other work while this runs: the figures are indicative."""
import argparse
import http.server
import os
import socket
import threading
import time

import bench_lib
import http_client as hc
from bench_lib import cpu_seconds, e2e_lib

PORT, PEER_PORT = 18491, 18492


def percentiles(ms):
    s = sorted(ms)
    return s[len(s) // 2], s[min(len(s) - 1, int(len(s) * 0.99))]


def latencies(port, n):
    out = []
    for _ in range(n):
        t0 = time.perf_counter()
        body = hc.get(port, '/')
        out.append((time.perf_counter() - t0) * 1000)
        assert body.startswith(b'HTTP/1.'), body[:40]
    return out


def peer_server(size):
    page = b'x' * size

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            self.send_response(200)
            self.send_header('Content-Length', str(len(page)))
            self.send_header('Connection', 'close')
            self.end_headers()
            self.wfile.write(page)

        def log_message(self, *args):
            pass

    srv = http.server.HTTPServer((hc.HOST, PEER_PORT), Handler)
    threading.Thread(target=srv.serve_forever, daemon=True).start()
    return srv


def main():
    p = argparse.ArgumentParser()
    p.add_argument('requests', nargs='?', type=int, default=300)
    args = p.parse_args()
    bench_lib.use_build(os.path.join(bench_lib.ROOT, 'build', 'bench-http'))
    z = e2e_lib.Install('bench-http', [os.path.join(bench_lib.BUILD, 'standins', 'lame_enc.dll')])
    music = z.subfolder()
    tracks = [e2e_lib.make_mp3(os.path.join(music, '%02d.mp3' % i), 150, noise=True)
              for i in range(1, 4)]
    cap = e2e_lib.capture_audio(bench_lib.case(), z.folder, keep_openings=True)
    z.write_ini(hc.settings(PORT))
    proc = z.start(e2e_lib.win_path(tracks[0]), '/localini')
    try:
        e2e_lib.send('wait', '20000')
        hc.wait_for_page(PORT)
        run(z, args.requests, cap)
    finally:
        e2e_lib.send('close')
        proc.wait(timeout=60)


def played_seconds(folder):
    return sum(e2e_lib.capture_sizes(folder).values()) / 176400.0


def run(z, n, cap):
    page = hc.get(PORT, '/')
    peer = peer_server(len(page))
    latencies(PORT, 50)  # warm-up: the start-up's own work is over
    latencies(PEER_PORT, 50)
    print('page latency, ms (p50 / p99 of %d):' % n)
    for label, idle_count in (('alone', 0), ('with 200 idle connections', 200)):
        idle = [socket.create_connection((hc.HOST, PORT)) for _ in range(idle_count)]
        z50, z99 = percentiles(latencies(PORT, n))
        # The peer serves one connection at a time and would wait on idle ones: it is
        # measured without them.
        p50, p99 = percentiles(latencies(PEER_PORT, n))
        for s in idle:
            s.close()
        print('  %-28s zuvo %.1f / %.1f   peer http.server %.1f / %.1f   ratio p50 %.1f' % (
            label, z50, z99, p50, p99, z50 / p50))
    peer.shutdown()

    print('CPU of zuvo.exe (Wine) per minute of audio played:')
    results = {}
    for listeners in (0, 1, 5):
        socks = []
        for _ in range(listeners):
            s = socket.create_connection((hc.HOST, PORT), timeout=30)
            s.sendall(b'GET /Zuvo.mp3 HTTP/1.1\r\n\r\n')
            socks.append(s)
        stop = threading.Event()
        received = [0]

        def drain(s):
            while not stop.is_set():
                try:
                    d = s.recv(65536)
                except OSError:
                    return
                if not d:
                    return
                received[0] += len(d)
        threads = [threading.Thread(target=drain, args=(s,), daemon=True) for s in socks]
        for t in threads:
            t.start()
        time.sleep(1.0)  # the encoder is set up
        c0, a0 = cpu_seconds(z.exe), played_seconds(z.folder)
        time.sleep(6.0)
        c1, a1 = cpu_seconds(z.exe), played_seconds(z.folder)
        stop.set()
        for s in socks:
            s.close()
        minutes = (a1 - a0) / 60
        results[listeners] = (c1 - c0) / minutes if minutes > 0 else float('nan')
        print('  %d listeners: %.2f CPU s per audio minute (%.1f s of audio in 6 s)' % (
            listeners, results[listeners], a1 - a0))
        time.sleep(2.0)  # the stream ends without listeners
    enc = results[1] - results[0]
    per = (results[5] - results[1]) / 4
    # The peer: the lame command on one minute of the same kind of audio.
    wav = os.path.join(z.folder, 'peer.wav')
    e2e_lib.run('sox', '-n', '-r', '44100', '-c', '2', '-b', '16', wav, 'synth', '60', 'sine',
                '80-7000', 'synth', '60', 'whitenoise', 'mix', 'vol', '0.4')
    t = os.times()
    e2e_lib.run('lame', '--quiet', '-b', '128', '-m', 'j', wav, wav + '.mp3')
    t2 = os.times()
    lame_cpu = (t2.children_user - t.children_user) + (t2.children_system - t.children_system)
    print('  the encoder: %.2f CPU s per audio minute; each further listener: %.3f' % (enc, per))
    print('  peer: lame command %.2f CPU s per audio minute; ratio encoder/lame %.2f' % (
        lame_cpu, enc / lame_cpu if lame_cpu else float('nan')))

    # First bytes of the stream after a listener's request, while playing.
    firsts = []
    for _ in range(5):
        s = socket.create_connection((hc.HOST, PORT), timeout=30)
        t0 = time.perf_counter()
        s.sendall(b'GET /Zuvo.mp3 HTTP/1.1\r\n\r\n')
        got = b''
        while len(got) <= 167:  # past the header
            got += s.recv(65536)
        firsts.append((time.perf_counter() - t0) * 1000)
        s.close()
        time.sleep(2.0)
    print('request to first MP3 bytes, ms: %s (median %.0f; the send interval is 200 ms)' % (
        ' '.join('%.0f' % f for f in firsts), sorted(firsts)[2]))
    stream_delay(z)


def stream_delay(z):
    """How far the stream a listener has received lags behind the audio handed to wave-out
    (the capture), in wall-clock time: the capture runs faster than real time here, so the
    lag in audio seconds is divided by the playback speed. The stream is 128 kbps CBR, so its
    bytes give its audio seconds; its start is the capture's position at the request."""
    s = socket.create_connection((hc.HOST, PORT), timeout=30)
    start = played_seconds(z.folder)
    t0 = time.perf_counter()
    s.sendall(b'GET /Zuvo.mp3 HTTP/1.1\r\n\r\n')
    got, samples = 0, []
    while time.perf_counter() - t0 < 6:
        got += len(s.recv(65536))
        samples.append((time.perf_counter() - t0, played_seconds(z.folder), max(got - 167, 0)))
    s.close()
    speed = (samples[-1][1] - samples[0][1]) / (samples[-1][0] - samples[0][0])
    lags = sorted((cap - start - b * 8 / 128000.0) / speed * 1000 for t, cap, b in samples
                  if t > 2)
    print('stream behind the wave-out hand-off: median %.0f ms, p90 %.0f ms (playback at %.1fx '
          'real time, lag divided by that)' % (lags[len(lags) // 2], lags[int(len(lags) * .9)],
                                             speed))


if __name__ == '__main__':
    main()
