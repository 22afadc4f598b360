"""The Big view, floating and embedded: its texts follow the info pattern, mixed with the titles
of Zuvorss.xml, which a feed update writes from a local HTTP server (on a worker thread: the view
keeps cycling while a slow feed downloads). A refused feed becomes the failure channel and one
error.log line. The RSS Viewer shows the file as plain text."""
import http.server
import os
import socket
import threading
import time
import unittest

import e2e_lib
from e2e_lib import (Install, capture_audio, command, decode, make_mp3, send, send_output, stop,
                     wait_steady, wait_until, win_path)

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'data', 'feeds')
HEAD = b'<?xml version="1.0" encoding="UTF-8"?>\r\n<rss version="2.0">\r\n'
TAIL = b'</rss>\r\n'
SLOW_SECONDS = 5


class FeedHandler(http.server.SimpleHTTPRequestHandler):
    """/NAME serves tests/e2e/data/feeds/NAME; /slow/NAME the same after a delay; else 404."""

    def __init__(self, *args, **kw):
        super().__init__(*args, directory=DATA, **kw)

    def do_GET(self):
        if self.path.startswith('/slow/'):
            time.sleep(SLOW_SECONDS)
            self.path = self.path[5:]
        super().do_GET()

    def log_message(self, *args):
        pass


def feed_server():
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), FeedHandler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def refused_port():
    s = socket.socket()
    s.bind(('127.0.0.1', 0))
    port = s.getsockname()[1]
    s.close()
    return port


def big_title(embedded_layout='1', pattern='I', cycle='01'):
    # Floating at 40,40, 700 x 180; no meter, file names, no clock, every item, layout, pattern.
    return '00040,00040,00700,00180,----' + '-' + embedded_layout + pattern + cycle + \
        ',16777215,12632256,00000000,Arial'


def open_view(shown=lambda: send('wintext', 'ZuvoBigView', '100') == 0):
    """Sends "Big title view" once and waits until shown() is true (the floating view)."""
    if command('BigView') != 0:
        raise AssertionError('no main window for the command')
    wait_until(shown, 10, 'the Big view to open')


def view_text():
    """The floating view's text, None while it is not open."""
    return e2e_lib.output('wintext', 'ZuvoBigView', '2000')


def shown_texts(read, seconds, until=None):
    """The main texts the view showed, each change once, over `seconds` (or until `until`)."""
    seen = []
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        text = read()
        if text is not None:
            main = text.replace('\r', '').split('\n')[0]
            if not seen or seen[-1] != main:
                seen.append(main)
            if until and until(seen):
                break
        time.sleep(0.05)
    return seen


class BigView(unittest.TestCase):
    def setUp(self):
        self.server = feed_server()
        self.port = self.server.server_address[1]

    def tearDown(self):
        self.server.shutdown()
        self.server.server_close()

    def url(self, path):
        return 'http://127.0.0.1:%d/%s' % (self.port, path)

    def test_floating_view_cycles_and_a_feed_update_writes_the_file(self):
        z = Install('bigview')
        refused = 'http://127.0.0.1:%d/none.xml' % refused_port()
        plan = '060,0000000000,000,%s %s %s' % (self.url('cdata.xml'),
                                                 self.url('slow/utf8_plain.xml'), refused)
        z.write_ini(('[Zuvo]\r\nutf8=1\r\nlast_file=C:\\Music\\Song One.mp3\r\n'
                     'big_embedded=0\r\nbig_title=%s\r\nbig_infoptrn=kis;;\r\n'
                     'big_rssstring=%s\r\n'
                     % (big_title(), plan)).encode('utf-8'))
        # The command is posted as soon as the window exists, while the program still starts:
        # it waits in the queue until the start-up is done, and is carried out then.
        running = z.launch(self, '/localini')
        open_view()
        wait_until(lambda: (view_text() or '').startswith('File: Song One.mp3'), 20, 'the Big view')
        # The update starts at the pattern's second step and waits SLOW_SECONDS for the second
        # feed; the view keeps cycling meanwhile ('s' keeps the previous text while there is no
        # file, so the steps alternate between the file and the track name).
        during = shown_texts(view_text, SLOW_SECONDS - 1)
        self.assertGreaterEqual(len(during), 2, during)
        rss = os.path.join(z.prog, 'Zuvorss.xml')
        wait_until(lambda: os.path.exists(rss), 30, 'Zuvorss.xml')
        cdata = ('<channel>\r\n<item>\r\n<title>Harbour Town Courier</title>\r\n'
                 '<description>Local news & weather</description>\r\n'
                 '<link>http://127.0.0.1/courier/</link>\r\n</item>\r\n'
                 '<item>\r\n<title><![CDATA[Ferry timetable changes]]></title>\r\n'
                 '<description><![CDATA[From <b>Monday</b> on]]></description>\r\n'
                 '<link>http://127.0.0.1/courier/ferry?day=1&week=2</link>\r\n</item>\r\n'
                 '<item>\r\n<title>Caf&#233; reopens "soon" &amp; more</title>\r\n'
                 "<description>Tom <> Jerry's</description>\r\n"
                 '<link>http://127.0.0.1/courier/cafe</link>\r\n</item>\r\n</channel>\r\n')
        plain = ('<channel>\r\n<item>\r\n<title>Nordlicht \u2013 News</title>\r\n'
                 '<description>\u00c5r</description>\r\n</item>\r\n</channel>\r\n')
        failed = ('<channel>\r\n<title>RSS download failed</title>\r\n<description>%s'
                  '</description>\r\n</channel>\r\n' % refused)
        self.assertEqual(e2e_lib.read(rss), HEAD + (cdata + plain + failed).encode('utf-8') + TAIL)
        log = e2e_lib.read(os.path.join(z.prog, 'error.log')).decode('cp1252').splitlines()
        self.assertEqual(len(log), 1, log)
        self.assertIn('\tInternetOpenUrl failed, error: ', log[0])

        # The titles are handed out in the file's order at the 's' steps.
        titles = ['Harbour Town Courier', 'Ferry timetable changes',
                  'Caf&#233; reopens "soon" &amp; more', 'Nordlicht \u2013 News',
                  'RSS download failed']
        seen = shown_texts(view_text, 40, until=lambda s: titles[-1] in s)
        own = ('File: Song One.mp3', 'Song One')
        news = [t for t in seen if t not in own]
        self.assertEqual(news, titles, seen)
        # Each title is followed by the 'k' step.
        for a, b in zip(seen, seen[1:]):
            if a in titles:
                self.assertEqual(b, 'File: Song One.mp3', seen)

        self.assertEqual(command('CloseBigView'), 0)
        wait_until(lambda: send('wintext', 'ZuvoBigView', '100') != 0, 10, 'the view closed')
        stop(running, self)
        ini = z.read_ini().decode('utf-8')
        self.assertIn('big_title=00040,00040,00700,00180,', ini)

    def test_embedded_view_shows_the_pattern_in_its_band(self):
        z = Install('bigembedded')
        z.write_ini(('[Zuvo]\r\nutf8=1\r\nlast_file=C:\\Music\\Song Two.mp3\r\n'
                     'big_title=%s\r\nbig_infoptrn=-k;kk;kk\r\nbig_embedded=%d\r\n'
                     % (big_title('4', 'i'), 0x8000 | 120)).encode('utf-8'))
        running = z.launch(self, '/localini', visible=True)

        def child():
            return next((line for line in (e2e_lib.output('children') or '').splitlines()
                         if line.startswith('ZuvoBigView ')), None)
        open_view(lambda: child() is not None)
        line = wait_until(child, 20, 'the embedded Big view')
        fields = line.split('\t')[0].split()
        self.assertEqual(int(fields[4]), 120)  # the band's height
        seen = shown_texts(lambda: (child() or '\t').split('\t', 1)[1], 6)
        self.assertIn('Song Two', seen)
        self.assertIn('File: Song Two.mp3', seen)
        i = seen.index('Song Two')
        self.assertEqual(seen[i:i + 2], ['Song Two', 'File: Song Two.mp3'][:len(seen[i:i + 2])])
        self.assertEqual(command('BigView'), 0)
        wait_until(lambda: child() is None, 10, 'the embedded view closed')
        stop(running, self)

    def test_playback_has_no_gap_while_the_view_paints_and_a_slow_feed_downloads(self):
        z = Install('bigplay')
        mp3 = os.path.join(z.folder, 'tone.mp3')
        make_mp3(mp3, 60, volume=0.7)
        cap = capture_audio(self, z.folder)
        plan = '060,0000000000,000,%s' % self.url('slow/big.xml')
        # Meter at the left: the 40 ms update timer while playing; cycle time 1 s.
        z.write_ini(('[Zuvo]\r\nutf8=1\r\nvolume=65535\r\nwavedevice=0\r\nbig_embedded=0\r\n'
                     'big_title=00040,00040,00700,00180,Vi5C-4I01,16777215,12632256,00000000,'
                     'Arial\r\nbig_infoptrn=-beokrn;kp;rg\r\nbig_rssstring=%s\r\n'
                     % plan).encode('utf-8'))
        proc = z.launch(self, win_path(mp3), '/localini', visible=True)
        open_view()
        # The repeat state with the track's place in its list, and what comes next.
        want = ['No repeat, Track 1 of 1', 'Next: [-?-]']
        seen = shown_texts(view_text, 20, lambda seen: all(w in seen for w in want))
        for w in want:
            self.assertIn(w, seen)
        size = lambda: e2e_lib.file_size(cap)
        wait_until(size, 60, 'playback to start')
        rss = os.path.join(z.prog, 'Zuvorss.xml')
        wait_until(lambda: os.path.exists(rss), 60, 'the slow feed written')
        at_update = size()
        wait_steady(size, 3, 120, 'playback to end', at_least=len(decode(mp3)) * 2)
        # The download ran while the track played: the capture grew after it.
        self.assertLess(at_update, size())
        self.assertGreater(os.path.getsize(rss), 100000)
        stop(proc, self)
        samples = e2e_lib.samples(cap)
        ref = decode(mp3, gapless=False)
        diff, runs, end = e2e_lib.wine_underruns(samples, ref, 2, 44100)
        if runs:
            print('Wine inserted silence at (frame, frames): %s' % runs)
        self.assertLessEqual(diff, 2)
        self.assertLessEqual(len(runs), 3, 'the device ran dry too often')

    def test_rss_viewer_shows_the_file_as_text(self):
        """"View RSS file" opens the RSS Viewer on the Zuvorss.xml beside the settings file: the
        date it was written, each title, description and link as plain text, whatever RTF-like
        characters the feed's texts hold."""
        z = Install('rss')
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\n')
        rss = e2e_lib.write(os.path.join(z.prog, 'Zuvorss.xml'),
                            '<?xml version="1.0" encoding="UTF-8"?>\r\n<rss version="2.0">\r\n'
                            '<channel>\r\n<item>\r\n<title>Feed {one} \\par \\b0</title>\r\n'
                            '<description>Caf\u00e9 news</description>\r\n'
                            '<link>http://127.0.0.1/story</link>\r\n</item>\r\n'
                            '<item>\r\n<title><![CDATA[Second]]></title>\r\n</item>\r\n'
                            '</channel>\r\n</rss>\r\n')
        written = time.mktime((2026, 3, 4, 5, 6, 0, 0, 0, -1))
        os.utime(rss, (written, written))
        running = z.launch(self, '/localini', visible=True)
        self.assertEqual(command('ViewRssFile'), 0)

        def viewer_text():
            rc, out = send_output('text', '#32770', '2000')
            return rc == 0 and b'Second' in out and out
        text = wait_until(viewer_text, 20, 'the RSS Viewer with its text').decode('cp1252')
        lines = [l.strip() for l in text.replace('\r', '\n').split('\n') if l.strip()]
        self.assertEqual(lines, ['2026-03-04 05:06', 'Feed {one} \\par \\b0', 'Caf\u00e9 news',
                                 'http://127.0.0.1/story', 'Second',
                                 '___________________________'])
        self.assertEqual(send('press', '#32770', '2'), 0)  # Cancel, as Esc does
        wait_until(lambda: send('text', '#32770', '200') != 0, 10, 'the viewer closed')
        stop(running, self)


if __name__ == '__main__':
    e2e_lib.main()
