"""The HTTP control server of zuvo.exe under Wine, with real clients on 127.0.0.1 only: the
page follows the player and its commands, also in a real browser (headless Chromium through
Selenium: a tag title holding a script is shown as text, ">l" and a volume step work), the
replies are the documented bytes, volume steps reach the player, idle connections cannot hold
the server, and a flood of malformed, truncated, oversized and reset requests leaves it
serving with a quiet error.log."""
import os
import random
import socket
import struct
import sys
import time
import unittest
from concurrent.futures import ThreadPoolExecutor

import e2e_lib
import http_client as hc
from e2e_lib import Install, stop, wait_until, win_path

try:
    import selenium  # noqa: F401
except ImportError:  # Debian's python3-selenium, when another Python runs the tests
    sys.path.append('/usr/lib/python3/dist-packages')
try:
    from selenium import webdriver
    from selenium.common.exceptions import NoAlertPresentException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
except ImportError:
    webdriver = None
CHROMEDRIVER = '/usr/bin/chromedriver'

PORT = hc.free_port()
HIGHLIGHT = '#1d96fa'  # the default colour of the current track
HIGHLIGHT_CSS = ('rgb(29, 150, 250)', 'rgba(29, 150, 250, 1)')
TAG_TITLES = 1 << 13  # stylez: tag titles instead of file names
IDLE = 200  # idle connections held open at once


class HttpServer(unittest.TestCase):
    def test_page_commands_replies_idle_connections_and_malformed_requests(self):
        z = Install('http_page')
        music = z.subfolder()
        # Tag titles that would run as a script if the page did not escape them ('<' cannot
        # be in a Windows file name), shown instead of the file names.
        paths = [e2e_lib.make_mp3(os.path.join(music, '%02d Track & co.mp3' % (i + 1)), 30,
                                  sweep='%d' % (300 + 200 * i),
                                  lame=('-b', '128', '--ta', 'Zuvo', '--tt',
                                        '<script>alert(%d)</script>' % (i + 1)))
                 for i in range(3)]
        z.write_ini(hc.settings(PORT, extra=b'stylez=%d\r\n' % TAG_TITLES))
        proc = z.launch(self, win_path(paths[0]), '/localini')
        hc.wait_for_page(PORT)
        # Playing: the track's name, then its times in the highlight colour; the list with its
        # first row current.
        playing = ('<p class="big">Zuvo - &lt;script&gt;alert(1)&lt;/script&gt;\n'
                   '<p style="color:%s;">' % HIGHLIGHT).encode()
        page = wait_until(lambda: (lambda p: playing in p and p)(hc.get(PORT, '/')), 20,
                          'the page to show the first track playing')
        self.assertEqual(hc.current_row(page, HIGHLIGHT), '01 Track &amp; co')
        self.assertNotIn(b'<script', page)
        self.assertEqual(len(hc.rows(page)), 3)
        if webdriver is None or not os.path.exists(CHROMEDRIVER):
            print('no Selenium or chromedriver: the browser part is left out')
            hc.get(PORT, '/nxt')
        else:
            self.browse()
        # "/nxt" answers with the page of the new state.
        self.assertEqual(hc.current_row(hc.get(PORT, '/nxt'), HIGHLIGHT), '03 Track &amp; co')
        self.assertEqual(hc.request(PORT, b'HEAD /Zuvo.mp3 HTTP/1.1\r\n\r\n'),
                         b'HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n')
        self.assertEqual(hc.get(PORT, '/Zuvo.m3u'),
                         b'HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Type: '
                         b'audio/x-mpegurl\r\n\r\n#EXTM3U\r\n#EXTINF:-1,Zuvo MP3 Stream\r\n'
                         b'http://127.0.0.1:%d/Zuvo.mp3\r\n' % PORT)
        self.assertEqual(hc.get(PORT, '/v03'),
                         b'HTTP/1.1 204 No Content\r\nConnection: close\r\n\r\n')

        # More than the server keeps waiting for a request (60): the oldest give way. The listen
        # backlog of 1 makes each connection beyond it wait for a SYN retry, so they are opened
        # side by side rather than one after another.
        with ThreadPoolExecutor(max_workers=IDLE) as pool:
            idle = list(pool.map(
                lambda _: socket.create_connection((hc.HOST, PORT), timeout=30), range(IDLE)))
        t0 = time.monotonic()
        page = hc.get(PORT, '/', timeout=15)
        print('page with %d idle connections open: %.0f ms' % (
            IDLE, (time.monotonic() - t0) * 1000))
        self.assertTrue(page.startswith(b'HTTP/1.1 200 OK'))
        for s in idle:
            s.close()
        self.flood(PORT, 10000)
        self.assertTrue(hc.get(PORT, '/').startswith(b'HTTP/1.1 200 OK'))
        # A byte a second: the slow client is dropped, the page meanwhile answers.
        slow = socket.create_connection((hc.HOST, PORT), timeout=10)
        slow.sendall(b'G')
        self.assertTrue(hc.get(PORT, '/', timeout=10).startswith(b'HTTP/1.1 200 OK'))
        slow.close()
        stop(proc, self)
        self.assertIn(b'volume=27000\r\n', z.read_ini())
        self.assertFalse(e2e_lib.read(os.path.join(z.prog, 'error.log')), 'error.log has lines')

    def browse(self):
        """Chromium on the page: the script in the tag title shown as text, no alert; ">l"
        shows the next track; a volume step from a fresh load (so that the Referer names no
        command, "/nxt" coming first in the router's order) stays on the page and reaches the
        player's volume slider."""
        options = webdriver.ChromeOptions()
        for arg in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage',
                    '--no-proxy-server'):
            options.add_argument(arg)
        driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.addCleanup(driver.quit)
        root = 'http://127.0.0.1:%d/' % PORT
        big = lambda: [p.text for p in driver.find_elements(By.CSS_SELECTOR, 'p.big')]
        driver.get(root)
        self.assertEqual(driver.title, 'Zuvo HTTP Control')
        self.assertIn('Zuvo - <script>alert(1)</script>', big())
        self.assertRaises(NoAlertPresentException, lambda: driver.switch_to.alert)
        driver.find_element(By.LINK_TEXT, '>l').click()
        current = lambda: [p.text for p in driver.find_elements(By.CSS_SELECTOR, 'p[style]')
                           if p.value_of_css_property('color') in HIGHLIGHT_CSS
                           and 'Track' in p.text]
        wait_until(lambda: current() == ['02 Track & co'], 10, 'the next track on the page')
        self.assertIn('Zuvo - <script>alert(2)</script>', big())
        driver.get(root)
        driver.find_element(By.CSS_SELECTOR, 'a[href="v05"]').click()
        self.assertEqual(driver.current_url, root)  # 204: the browser stays on the page
        wait_until(lambda: 'Volume 43000/' in (e2e_lib.output('children') or ''), 10,
                   'the volume slider at step 5')

    def test_cue_sheet_entries_and_their_times(self):
        port = hc.free_port()
        z = Install('http_cue')
        e2e_lib.make_mp3(os.path.join(z.folder, 'album.mp3'), 30)
        cue = os.path.join(z.folder, 'album.cue')
        e2e_lib.cue_sheet(cue, 'album.mp3', [0, 10 * 75, 20 * 75])
        z.write_ini(hc.settings(port))
        proc = z.launch(self, win_path(cue), '/localini')
        hc.wait_for_page(port)
        wait_until(lambda: len(hc.rows(hc.get(port, '/'))) == 3, 20, 'the cue rows')
        hc.get(port, '/nxt')
        # The entry's title as the window title gives it, the time within the entry, once the
        # next entry is heard.
        page = wait_until(lambda: (lambda p: b'<p class="big">Part 2 (Zuvo - Album)\n' in p
                                   and p)(hc.get(port, '/')), 10, 'the second entry heard')
        self.assertRegex(page, rb"<p style=\"color:#1d96fa;\">0'\d\d / 0'10\n")
        self.assertEqual([t for _, t in hc.rows(page)], ['Part 1', 'Part 2', 'Part 3'])
        self.assertEqual(hc.current_row(page, HIGHLIGHT), 'Part 2')
        stop(proc, self)

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
