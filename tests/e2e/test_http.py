"""The HTTP control server of zuvo.exe under Wine, with real clients on 127.0.0.1 only: the
page follows the player and its commands, the replies are the documented bytes, a volume step
reaches the player, idle connections cannot hold the server, and a flood of malformed,
truncated, oversized and reset requests leaves it serving with a quiet error.log."""
import os
import random
import socket
import struct
import time
import unittest
from concurrent.futures import ThreadPoolExecutor

import e2e_lib
import http_client as hc
from e2e_lib import Install, send, stop, wait_until, win_path

PORT = hc.free_port()
HIGHLIGHT = '#1d96fa'  # the default colour of the current track
TAG_TITLES = 1 << 13  # stylez: tag titles instead of file names
IDLE = 200  # idle connections held open at once


class HttpServer(unittest.TestCase):
    def start(self, name, port, tracks=3, seconds=30, beside=(), stream=b'lfca'):
        z = Install(name)
        music = os.path.join(z.folder, 'music')
        os.makedirs(music)
        # Tag titles that would run as a script if the page did not escape them ('<' cannot
        # be in a Windows file name), shown instead of the file names (stylez bit 13).
        paths = [e2e_lib.make_mp3(os.path.join(music, '%02d Track & co.mp3' % (i + 1)),
                                  seconds, sweep='%d' % (300 + 200 * i),
                                  lame=('-b', '128', '--ta', 'Zuvo', '--tt',
                                        '<script>alert(%d)</script>' % (i + 1)))
                 for i in range(tracks)]
        for path in beside:
            __import__('shutil').copy(path, z.prog)
        z.write_ini(hc.settings(port, stream, extra=b'stylez=%d\r\n' % TAG_TITLES))
        proc = z.start(win_path(paths[0]), '/localini')
        self.assertEqual(send('wait', '20000'), 0, 'no main window')
        hc.wait_for_page(port)
        return z, proc

    def test_page_commands_and_replies(self):
        z, proc = self.start('http_page', PORT)
        try:
            # Playing: the track's name, then its times in the highlight colour; the list
            # with its first row current.
            playing = ('<p class="big">Zuvo - &lt;script&gt;alert(1)&lt;/script&gt;\n'
                       '<p style="color:%s;">' % HIGHLIGHT).encode()
            page = wait_until(lambda: (lambda p: playing in p and p)(hc.get(PORT, '/')), 20,
                              'the page to show the first track playing')
            self.assertEqual(hc.current_row(page, HIGHLIGHT), '01 Track &amp; co')
            self.assertNotIn(b'<script', page)
            self.assertEqual(len(hc.rows(page)), 3)
            # "/nxt" answers with the page of the new state.
            after = hc.get(PORT, '/nxt')
            self.assertEqual(hc.current_row(after, HIGHLIGHT), '02 Track &amp; co')
            self.assertEqual(hc.request(PORT, b'HEAD /Zuvo.mp3 HTTP/1.1\r\n\r\n'),
                             b'HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n')
            self.assertEqual(hc.get(PORT, '/Zuvo.m3u'),
                             b'HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Type: '
                             b'audio/x-mpegurl\r\n\r\n#EXTM3U\r\n#EXTINF:-1,Zuvo MP3 Stream\r\n'
                             b'http://127.0.0.1:%d/Zuvo.mp3\r\n' % PORT)
            self.assertEqual(hc.get(PORT, '/v03'),
                             b'HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n')
        finally:
            stop(proc, self)
        self.assertIn(b'volume=27000\r\n', z.read_ini())
        self.assertFalse(os.path.exists(os.path.join(z.prog, 'error.log')))

    def test_cue_sheet_entries_and_their_times(self):
        port = hc.free_port()
        z = Install('http_cue')
        e2e_lib.make_mp3(os.path.join(z.folder, 'album.mp3'), 30)
        cue = os.path.join(z.folder, 'album.cue')
        e2e_lib.cue_sheet(cue, 'album.mp3', [0, 10 * 75, 20 * 75])
        z.write_ini(hc.settings(port))
        proc = z.start(win_path(cue), '/localini')
        try:
            self.assertEqual(send('wait', '20000'), 0, 'no main window')
            hc.wait_for_page(port)
            wait_until(lambda: len(hc.rows(hc.get(port, '/'))) == 3, 20, 'the cue rows')
            hc.get(port, '/nxt')
            # The entry's title as the window title gives it, the time within the entry, once
            # the next entry is heard.
            page = wait_until(lambda: (lambda p: b'<p class="big">Part 2 (Zuvo - Album)\n' in p
                                       and p)(hc.get(port, '/')), 10, 'the second entry heard')
            self.assertRegex(page, rb"<p style=\"color:#1d96fa;\">0'\d\d / 0'10\n")
            self.assertEqual([t for _, t in hc.rows(page)], ['Part 1', 'Part 2', 'Part 3'])
            self.assertEqual(hc.current_row(page, HIGHLIGHT), 'Part 2')
        finally:
            stop(proc, self)

    def test_idle_connections_and_malformed_requests(self):
        port = hc.free_port()
        z, proc = self.start('http_flood', port, tracks=2)
        try:
            # More than the server keeps waiting for a request (60): the oldest give way. The
            # listen backlog of 1 makes each connection beyond it wait for a SYN retry, so they
            # are opened side by side rather than one after another.
            with ThreadPoolExecutor(max_workers=IDLE) as pool:
                idle = list(pool.map(
                    lambda _: socket.create_connection((hc.HOST, port), timeout=30), range(IDLE)))
            t0 = time.monotonic()
            page = hc.get(port, '/', timeout=15)
            print('page with %d idle connections open: %.0f ms' % (
                IDLE, (time.monotonic() - t0) * 1000))
            self.assertTrue(page.startswith(b'HTTP/1.1 200 OK'))
            for s in idle:
                s.close()
            self.flood(port, 10000)
            self.assertTrue(hc.get(port, '/').startswith(b'HTTP/1.1 200 OK'))
            # A byte a second: the slow client is dropped, the page meanwhile answers.
            slow = socket.create_connection((hc.HOST, port), timeout=10)
            slow.sendall(b'G')
            self.assertTrue(hc.get(port, '/', timeout=10).startswith(b'HTTP/1.1 200 OK'))
            slow.close()
        finally:
            stop(proc, self)
        log = os.path.join(z.prog, 'error.log')
        self.assertFalse(os.path.exists(log) and open(log, 'rb').read(), 'error.log has lines')

    def flood(self, port, count):
        """count requests of five kinds, none naming a command: random bytes, request lines cut
        short, requests over 5000 bytes, binary garbage after GET, and connections reset in
        the middle of a request."""
        rnd = random.Random(20)
        alphabet = bytes(range(32, 127)).replace(b'/', b'')
        t0 = time.monotonic()
        for i in range(count):
            kind = i % 5
            s = socket.create_connection((hc.HOST, port), timeout=10)
            try:
                if kind == 0:
                    data = bytes(rnd.randrange(256) for _ in range(rnd.randrange(1, 64)))
                    data = data.replace(b'/', b'.').replace(b'GET', b'gET')
                elif kind == 1:
                    data = b'GET /index.html HTTP/1.1\r\nHost: x'[:rnd.randrange(1, 30)]
                elif kind == 2:
                    data = b'GET /' + bytes(rnd.choice(alphabet) for _ in range(8)) * 800
                elif kind == 3:
                    data = b'GET \x00\xff' + os.urandom(rnd.randrange(1, 200)).replace(b'/', b'.')
                else:
                    data = b'GET /some/long/path?q=' + b'x' * rnd.randrange(100, 3000)
                    s.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack('ii', 1, 0))
                    s.sendall(data[:len(data) // 2])
                    continue  # closed with a reset below
                s.sendall(data)
                s.shutdown(socket.SHUT_WR)
                while s.recv(65536):
                    pass
            except (ConnectionResetError, BrokenPipeError):
                pass  # an oversized request may be cut off by the server's close
            finally:
                s.close()
        print('%d malformed requests in %.1f s' % (count, time.monotonic() - t0))


if __name__ == '__main__':
    e2e_lib.main()
