"""Helpers of the HTTP server's end-to-end tests: raw requests to 127.0.0.1, the page's rows,
and test music whose loudness changes every 20 ms at random, so that any stretch of it is
found at one place only, even after an MP3 round trip (judged by its envelope)."""
import array
import os
import random
import re
import socket
import statistics
import wave

import e2e_lib

HOST = '127.0.0.1'


def free_port():
    """A port that nothing holds, not even closed connections waiting out their time (which
    keep a Linux port from being bound again for a minute): each test run takes a new one."""
    rnd = random.Random()
    while True:
        port = rnd.randrange(20000, 30000)
        with socket.socket() as s:
            try:
                s.bind((HOST, port))
                return port
            except OSError:
                pass


def settings(port, stream=b'lfca', silence=b'-', extra=b''):
    """An INI with the server enabled on 127.0.0.1:port, wave-out at full volume."""
    return (b'[Zuvo]\r\nutf8=1\r\nvolume=65535\r\nwavedevice=0\r\n'
            b'httpserv=a---%s%sb127.0.0.1:%d\r\n' % (stream, silence, port) + extra)


def request(port, data, timeout=10):
    """Sends data on a fresh connection, reads until the server closes; returns the bytes."""
    with socket.create_connection((HOST, port), timeout=timeout) as s:
        s.sendall(data)
        got = b''
        while True:
            part = s.recv(65536)
            if not part:
                return got
            got += part


def get(port, path, timeout=10):
    return request(port, b'GET %s HTTP/1.1\r\nHost: %s:%d\r\n\r\n' % (path.encode(), HOST.encode(),
                                                                      port), timeout)


def wait_for_page(port, timeout=30):
    def answered():
        try:
            return get(port, '/', 3).startswith(b'HTTP/1.1 200 OK')
        except OSError:
            return False
    e2e_lib.wait_until(answered, timeout, 'the control page on port %d' % port)


def rows(page):
    """The list rows of a page: [(colour, text)]."""
    body = page.split(b'Current list', 1)[1].decode('utf-8')
    return re.findall(r'<p style="color:(#[0-9a-f]{6});">([^\n]*)\n', body)


def current_row(page, highlight):
    hits = [text for colour, text in rows(page) if colour == highlight]
    return hits[0] if len(hits) == 1 else None


def make_music(path, seconds, seed, rate=44100, lame=('-b', '192')):
    """Noise whose level jumps every 20 ms (a seeded random envelope), as an MP3."""
    rnd = random.Random(seed)
    wav = path + '.wav'
    block = rate // 50
    a = array.array('h')
    for _ in range(int(seconds * 50)):
        level = rnd.uniform(0.03, 0.5) * 32767
        for _ in range(block):
            v = int(rnd.uniform(-1, 1) * level)
            a.append(v)
            a.append(v)
    with wave.open(wav, 'wb') as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(a.tobytes())
    e2e_lib.run('lame', '--quiet', *lame, wav, path)
    os.remove(wav)
    return path


def envelope(samples, channels, window):
    """Mean absolute value of channel 0 per window of frames."""
    ch0 = samples[::channels]
    return [sum(map(abs, ch0[i:i + window])) / window
            for i in range(0, len(ch0) - window + 1, window)]


def pearson(a, b):
    try:
        return statistics.correlation(a, b)
    except statistics.StatisticsError:  # a constant stretch
        return 0.0


def locate(cap, stream, channels=2, rate=44100):
    """Where the stream's audio sits in the capture: (frame offset of the stream's first frame
    in the capture, correlation of the envelopes there). A 3 s stretch from 1 s into the
    stream is matched against every 10 ms position of the capture, then refined to the frame
    by the samples' correlation. (Each opening of the device may add or drop a few ms in the
    capture, so the offset holds for the stretch before the next track.)"""
    window = rate // 100
    ec, es = envelope(cap, channels, window), envelope(stream, channels, window)
    if len(es) < 400 or len(ec) < 300:
        return None, 0.0
    mid = 100
    probe = es[mid:mid + 300]
    best, best_r = None, -1.0
    for lag in range(0, len(ec) - 300):
        r = pearson(ec[lag:lag + 300], probe)
        if r > best_r:
            best, best_r = lag, r
    coarse = (best - mid) * window  # frames: the capture position of the stream's frame 0
    # Refine: 2048 frames of channel 0 around the probe, every lag within one window.
    s0 = mid * window
    ref = [stream[(s0 + i) * channels] for i in range(2048)]
    fine, fine_r = coarse, -1.0
    for d in range(-window, window + 1):
        c0 = s0 + coarse + d
        if c0 < 0 or (c0 + 2048) * channels > len(cap):
            continue
        r = pearson([cap[(c0 + i) * channels] for i in range(2048)], ref)
        if r > fine_r:
            fine, fine_r = coarse + d, r
    return fine, min(best_r, fine_r)
