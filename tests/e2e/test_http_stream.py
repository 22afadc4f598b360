"""The live MP3 stream of zuvo.exe under Wine, with the stand-in lame_enc.dll beside it: the
first listener starts playback of the last file; mpg123 (through /Zuvo.m3u), ffmpeg and three
plain sockets listen at once, a sixth is closed; what mpg123 and ffmpeg decode is what
wave-out played (found in the capture by its envelope, the offset printed); the stream ends
after playback. With the ACM encoder, which Wine lacks for MP3, the listener is closed and
error.log says why."""
import os
import socket
import subprocess
import threading
import time
import unittest

import e2e_lib
import http_client as hc
from e2e_lib import Install, capture_audio, send_output, stop, wait_steady, wait_until, win_path

HEADER = (b'HTTP/1.0 200 OK\r\nAccept-Ranges: none\r\nContent-Type: audio/mpeg\r\n'
          b'Cache-Control: no-cache, no-store\r\nPragma: no-cache\r\n'
          b'Expires: Mon, 26 Jul 1997 05:00:00 GMT\r\n\r\n')


class Listener(threading.Thread):
    """A plain socket that asks for the stream and keeps everything it gets."""

    def __init__(self, port):
        super().__init__(daemon=True)
        self.sock = socket.create_connection((hc.HOST, port), timeout=60)
        self.sock.sendall(b'GET /Zuvo.mp3 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n')
        self.data = b''
        self.start()

    def run(self):
        try:
            while True:
                part = self.sock.recv(65536)
                if not part:
                    break
                self.data += part
        except OSError:
            pass
        self.sock.close()


class HttpStream(unittest.TestCase):
    def install(self, name, stream, silence=b'-', music=True):
        """The program with lame_enc.dll beside it and the server on; with music, a folder of
        two noise tracks whose first is the last file (where Stop/Resume starts: nothing
        plays at start)."""
        z = Install(name, [e2e_lib.standin('lame_enc.dll')])
        self.port = hc.free_port()
        last = b''
        if music:
            folder = z.subfolder()
            first = hc.make_music(os.path.join(folder, '01 noise.mp3'), 12, seed=1)
            hc.make_music(os.path.join(folder, '02 noise.mp3'), 12, seed=2)
            last = b'last_file=' + win_path(first).encode() + b'\r\n'
        z.write_ini(hc.settings(self.port, stream, silence) + last)
        return z

    def test_five_listeners_hear_what_plays(self):
        z = self.install('http_stream', b'lfca')
        cap = capture_audio(self, z.folder, keep_openings=True)
        proc = z.launch(self, '/localini')
        hc.wait_for_page(self.port)
        wait_until(lambda: len(hc.rows(hc.get(self.port, '/'))) == 2, 20, 'the last folder listed')
        first = Listener(self.port)  # starts playback
        wait_until(lambda: len(first.data) > len(HEADER), 20, 'the first listener to get audio')
        mpg_out = os.path.join(z.folder, 'mpg123.raw')
        ff_out = os.path.join(z.folder, 'ffmpeg.raw')
        with open(mpg_out, 'wb') as out:
            mpg = subprocess.Popen(['mpg123', '-q', '-s', '-@',
                                    'http://127.0.0.1:%d/Zuvo.m3u' % self.port], stdout=out,
                                   stderr=subprocess.DEVNULL)
        ff = subprocess.Popen(['ffmpeg', '-v', 'error', '-nostdin', '-i',
                               'http://127.0.0.1:%d/Zuvo.mp3' % self.port, '-f', 's16le', '-ac', '2',
                               '-ar', '44100', '-y', ff_out],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        others = [Listener(self.port) for _ in range(2)]
        size = e2e_lib.file_size
        wait_until(lambda: size(mpg_out) and size(ff_out) and all(o.data for o in others), 20,
                   'five listeners to get data')
        # The status bar says that the stream is sent (and, once a second has passed, its rate).
        wait_until(lambda: b' Sending stream' in send_output('status')[1], 20,
                   'the stream status text')
        for p in (mpg, ff):
            self.addCleanup(lambda p=p: p.poll() is None and p.kill())
        sixth = Listener(self.port)
        sixth.join(10)
        self.assertFalse(sixth.is_alive(), 'the sixth listener was not closed')
        self.assertEqual(sixth.data, b'')
        # Playback ends with the folder; the stream about a second later.
        wait_steady(lambda: size(cap), 3, 120, 'playback to end')
        for p in (mpg, ff):
            p.wait(timeout=30)
        for o in [first] + others:
            o.join(30)
            self.assertFalse(o.is_alive(), 'the stream did not end after playback')
        stop(proc, self)
        for o in [first] + others:
            self.assertTrue(o.data.startswith(HEADER))
        # Every opening of the device in order: the whole of what was played.
        captured = e2e_lib.samples(cap)
        for name in sorted(n for n in os.listdir(z.folder) if n.startswith('cap.raw.')):
            captured.extend(e2e_lib.samples(os.path.join(z.folder, name)))
        first_mp3 = e2e_lib.write(os.path.join(z.folder, 'first.mp3'), first.data[len(HEADER):])
        first_out = e2e_lib.write(os.path.join(z.folder, 'first.raw'),
                                  e2e_lib.decode(first_mp3, gapless=False).tobytes())
        for name, path in (('first listener', first_out), ('mpg123', mpg_out),
                           ('ffmpeg', ff_out)):
            decoded = e2e_lib.samples(path)
            offset, r = hc.locate(captured, decoded)
            print('%s: %.1f s decoded, found at capture frame %s (%.1f ms), correlation %.3f' % (
                name, len(decoded) / 88200, offset, (offset or 0) / 44.1, r))
            # Noise coded at the stream's bit rate keeps a sample correlation of about 0.9
            # (0.89 to 0.93 seen); audio that is not what was played gives next to 0.
            self.assertGreater(r, 0.8, name + ' does not decode what was played')
        log = os.path.join(z.prog, 'error.log')
        self.assertFalse(os.path.exists(log), 'error.log was written')

    def test_silence_while_nothing_plays(self):
        z = self.install('http_silence', b'lfca', silence=b's', music=False)
        proc = z.launch(self, '/localini')
        hc.wait_for_page(self.port)
        listener = Listener(self.port)
        t0 = time.monotonic()
        wait_until(lambda: len(listener.data) > len(HEADER) + 16000 * 3, 20,
                   'three seconds of the stream')
        seconds, got = time.monotonic() - t0, len(listener.data) - len(HEADER)
        self.assertTrue(listener.is_alive(), 'the silent stream ended')
        stop(proc, self)  # exits while the stream runs: its listener is closed
        listener.join(10)
        self.assertFalse(listener.is_alive(), 'the listener was left open at exit')
        # 128 kbps in real time (no device clock here: the sender's own), and silence.
        self.assertGreater(got / seconds, 16000 * 0.6)
        self.assertLess(got / seconds, 16000 * 1.6)
        mp3 = e2e_lib.write(os.path.join(z.folder, 'silence.mp3'), listener.data[len(HEADER):])
        decoded = e2e_lib.decode(mp3, gapless=False)
        self.assertGreater(len(decoded), 44100 * 2 * 2)
        self.assertLessEqual(max(abs(x) for x in decoded), 1)

    def test_acm_encoder_fails_cleanly(self):
        z = self.install('http_acm', b'aeca')
        proc = z.launch(self, '/localini')
        hc.wait_for_page(self.port)
        log = os.path.join(z.prog, 'error.log')
        listener = Listener(self.port)
        listener.join(20)
        self.assertFalse(listener.is_alive(), 'the listener was not closed')
        self.assertEqual(listener.data, HEADER)
        wait_until(lambda: os.path.exists(log), 10, 'error.log')
        self.assertTrue(hc.get(self.port, '/').startswith(b'HTTP/1.1 200 OK'))
        stop(proc, self)
        lines = e2e_lib.read(log).splitlines()
        self.assertEqual(len(lines), 1, lines)
        self.assertIn(b'\tHTTP stream encoder init error:', lines[0])


if __name__ == '__main__':
    e2e_lib.main()
