"""Internet radio through the bass.dll stand-in: an .m3u with the address of a small ICY server
started by the test (MP3 at real pace, metadata every 8192 bytes, titles the test changes) plays;
the status line shows " Connecting... OK", the window title follows the stream title (and the
copy commands put it and the station's address on the clipboard), what is
heard is the station's audio (found in mpg123's decode of what was sent), and when the server
goes away mid-stream the player moves on to the list's next row without hanging. The
"Netstream download" window records the station into one file per title, each beginning with
a whole frame and read by ffprobe."""
import glob
import os
import shutil
import socket
import subprocess
import threading
import time
import unittest

import e2e_lib
from e2e_lib import (Install, capture_audio, decode, make_mp3, send, send_output, stop,
                     wait_until, win_path)

STANDINS = None
METAINT = 8192


def standin(name):
    path = os.path.join(STANDINS, name)
    if not os.path.exists(path):
        raise unittest.SkipTest('%s was not built' % name)
    return path


class IcyServer:
    """One station on 127.0.0.1: sends `mp3` in a loop at 16000 bytes/s (128 kbit/s) with a
    metadata block every METAINT bytes carrying self.title."""

    def __init__(self, mp3):
        with open(mp3, 'rb') as f:
            self.data = f.read()
        self.title = 'First Song'
        self.requests = []
        self.sock = socket.socket()
        self.sock.bind(('127.0.0.1', 0))
        self.sock.listen(4)
        self.port = self.sock.getsockname()[1]
        self.alive = True
        self.clients = []
        threading.Thread(target=self.accept, daemon=True).start()

    def accept(self):
        while self.alive:
            try:
                conn, _ = self.sock.accept()
            except OSError:
                return
            self.clients.append(conn)
            threading.Thread(target=self.serve, args=(conn,), daemon=True).start()

    def serve(self, conn):
        try:
            request = b''
            while b'\r\n\r\n' not in request:
                chunk = conn.recv(4096)
                if not chunk:
                    return
                request += chunk
            self.requests.append(request.decode('latin-1'))
            conn.sendall(b'ICY 200 OK\r\nicy-name: Zuvo Test Radio\r\nicy-url: http://radio.test/'
                         b'\r\nicy-br: 128\r\ncontent-type: audio/mpeg\r\nicy-metaint: %d\r\n\r\n'
                         % METAINT)
            pos, start, sent = 0, time.monotonic(), 0
            while self.alive:
                block = self.data[pos:pos + METAINT]
                if len(block) < METAINT:
                    block += self.data[:METAINT - len(block)]
                pos = (pos + METAINT) % len(self.data)
                meta = ("StreamTitle='%s';" % self.title).encode('utf-8')
                meta += b'\0' * (-len(meta) % 16)
                conn.sendall(block + bytes([len(meta) // 16]) + meta)
                sent += METAINT
                wait = start + sent / 16000.0 - time.monotonic() - 2.0  # 2 s ahead, as servers do
                if wait > 0:
                    time.sleep(wait)
        except OSError:
            pass
        finally:
            conn.close()

    def close(self):
        self.alive = False
        self.sock.close()
        for c in self.clients:
            try:
                c.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            c.close()


class Radio(unittest.TestCase):
    def start(self, name):
        z = Install(name)
        shutil.copy(standin('bass.dll'), z.prog)
        music = os.path.join(z.folder, 'music')
        os.makedirs(music)
        # The station loops a track whose length is a whole number of metadata blocks.
        station = make_mp3(os.path.join(z.folder, 'station.mp3'), 6.0, noise=True)
        after = make_mp3(os.path.join(music, 'after.mp3'), 1.5, sweep='300-900')
        server = IcyServer(station)
        self.addCleanup(server.close)
        m3u = os.path.join(music, 'radio.m3u')
        with open(m3u, 'w') as f:
            f.write('http://127.0.0.1:%d/stream\r\n%s\r\n' % (server.port, win_path(after)))
        cap = capture_audio(self, z.folder, keep_openings=True)
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nvolume=65535\r\nwavedevice=0\r\n')
        proc = z.start(win_path(m3u), '/localini')
        self.addCleanup(lambda: proc.poll() is None and proc.kill())
        self.assertEqual(send('wait', '20000'), 0, 'no main window')
        return z, proc, server, cap, station, music

    def test_station_plays_follows_titles_and_moves_on(self):
        z, proc, server, cap, station, music = self.start('radio')
        # The list shows the address row and the file row; Return plays the first.
        e2e_lib.wait_listed(2)
        status = lambda: send_output('status')[1].decode('utf-8', 'replace')
        title = lambda: send_output('wintext', 'ZuvoWndClass')[1].decode('utf-8', 'replace')
        size = lambda p: os.path.getsize(p) if os.path.exists(p) else 0
        began = time.monotonic()
        self.assertEqual(e2e_lib.command('Return'), 0)
        try:
            wait_until(lambda: size(cap) > 0, 30, 'the station to be heard')
        except AssertionError:
            print('not heard; requests:', server.requests, 'status:', status(), 'title:', title(),
                  'rows', send_output('rows')[1][:500], os.listdir(z.folder))
            raise
        print('radio: first audio %.1f s after Return (with the polling of the check)'
              % (time.monotonic() - began))
        wait_until(lambda: 'Connecting... OK' in status(), 10, '" Connecting... OK"')
        self.assertIn('Icy-MetaData: 1', server.requests[0])
        wait_until(lambda: 'First Song' in title(), 20, 'the first stream title in the title')
        server.title = 'Second Song'
        wait_until(lambda: 'Second Song' in title(), 20, 'the changed stream title')
        clip = lambda: send_output('clipboard')[1].decode('utf-8', 'replace')
        self.assertEqual(e2e_lib.command('CopyTitle'), 0)
        wait_until(lambda: 'Second Song' in clip(), 10, 'the title on the clipboard')
        self.assertEqual(e2e_lib.command('CopyWebsite'), 0)
        wait_until(lambda: 'http://radio.test/' in clip(), 10, 'the station address on the clipboard')
        # "Log current title": appended to titles.log beside the settings (UTF-16), which then
        # opens in its program.
        titles = os.path.join(z.prog, 'titles.log')
        logged = lambda: (open(titles, 'rb').read().decode('utf-16-le', 'replace')
                          if os.path.exists(titles) else '')
        self.assertEqual(e2e_lib.command('LogTitle'), 0)
        wait_until(lambda: 'Second Song\r\n' in logged(), 10, lambda: 'titles.log: %r' % logged())
        subprocess.run([e2e_lib.WINE_RUN, 'taskkill', '/f', '/im', 'notepad.exe'],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: size(cap) > 44100 * 4 * 4, 30, 'four seconds of the station')

        server.close()  # the station goes away: the next row plays
        wait_until(lambda: size(cap + '.0001') > 44100 * 4, 30, 'the next row after the station')
        stop(proc, self)
        got = e2e_lib.samples(cap)
        ref = decode(station, gapless=False)
        # A stretch from the middle of what was heard lies in the station's decode.
        probe_at = len(got) // 2 // 2 * 2
        self.assertIsNotNone(e2e_lib.find(ref + ref, got[probe_at:probe_at + 4410 * 2]),
                             'the heard audio is the station\'s')


    def test_recording_makes_one_file_per_title(self):
        z, proc, server, cap, station, music = self.start('radiorec')
        e2e_lib.wait_listed(2)
        self.assertEqual(e2e_lib.command('Return'), 0)
        size = lambda p: os.path.getsize(p) if os.path.exists(p) else 0
        wait_until(lambda: size(cap) > 0, 30, 'the station to be heard')
        self.assertEqual(e2e_lib.command('SaveDownloadStream'), 0)
        self.assertEqual(send('press', 'ZuvoNetDownload', '101'), 0)  # Save
        name = lambda title: os.path.join(music, '[Zuvo Test Radio] %s.mp3' % title)
        wait_until(lambda: size(name('First Song')) > 0, 40, 'the first title\'s file')
        server.title = 'Second: Song?'
        wait_until(lambda: size(name('Second  Song ')) > 0, 40, 'the second title\'s file')
        self.assertEqual(send('press', 'ZuvoNetDownload', '102'), 0)  # Stop
        files = sorted(glob.glob(os.path.join(music, '*.mp3')))
        files.remove(os.path.join(music, 'after.mp3'))
        wait_until(lambda: all(size(f) for f in files), 10, 'the files written')
        stop(proc, self)
        self.assertEqual([os.path.basename(f) for f in files],
                         ['[Zuvo Test Radio] First Song.mp3', '[Zuvo Test Radio] Second  Song .mp3'])
        for f in files:
            probe = subprocess.run(['ffprobe', '-v', 'error', '-show_entries', 'format=duration',
                                    '-of', 'csv=p=0', f], capture_output=True, text=True)
            self.assertEqual(probe.returncode, 0, probe.stderr)
            self.assertGreater(float(probe.stdout.strip()), 1.0, f)
        with open(files[1], 'rb') as f:
            head = f.read(2)
        self.assertEqual((head[0], head[1] & 0xE0), (0xFF, 0xE0), 'a whole frame first')


if __name__ == '__main__':
    import sys
    if '--send' in sys.argv:
        send_exe = sys.argv[sys.argv.index('--send') + 1]
        STANDINS = os.path.join(os.path.dirname(os.path.abspath(send_exe)), 'standins')
    e2e_lib.main()
