"""Commands of the menus, the toolbar and the keys, through the running program: "Select all"
selects every row; the toolbar's "File info" shows the length and bit rates of an MP3 and opens
its "Tag ID3" dialog; "Standard open" hands the row's file to the program registered for .mp3,
"Explore" opens its folder in the file manager; "Show subfolder contents" lists the files of a
folder and of its subfolders (Esc stops it); the toolbar's web server button starts the HTTP
server (a GET on 127.0.0.1 answers) and stops it again; "Open in new Zuvo Window" starts a
second instance (a main window of another process) on the folder."""
import os
import shutil
import unittest

import e2e_lib
import http_client as hc
from e2e_lib import (Install, command, command_id, make_mp3, output, send, stop, wait_until,
                     win_path)

PORT = hc.free_port()
# The default toolbar with its "File info" (bit 12) and web server (bit 21) buttons shown.
TOOLBAR = 2213 | 1 << 12 | 1 << 21
WEB = command_id('WebServer')


def rows(*target):
    """(state, name) of the File view's rows: the state begins with 's' when selected."""
    return [tuple(line.split('\t', 1)) for line in (output(*target, 'rows') or '').splitlines()]


def windows():
    """The process ids of the main windows."""
    return (output('windows') or '').split()


def server_and_button():
    """Whether the page answers, and whether the web server button is checked."""
    try:
        up = hc.get(PORT, '/', 3).startswith(b'HTTP/1.1 200 OK')
    except OSError:
        up = False
    states = dict(line.split()[:2] for line in (output('toolbar') or '').splitlines())
    return up, 'c' in states[str(WEB)]


class Commands(unittest.TestCase):
    def test_row_folder_and_toolbar_commands(self):
        z = Install('commands')
        music = os.path.join(z.folder, 'music')
        for sub in ('Alpha', 'Beta'):
            os.makedirs(os.path.join(music, sub))
            make_mp3(os.path.join(music, sub, sub[0].lower() + '.mp3'), 1, lame=('-b', '64'))
        make_mp3(os.path.join(music, 'top.mp3'), 3)
        for name in ('x', 'y'):
            shutil.copy(os.path.join(music, 'top.mp3'), os.path.join(music, name + '.mp3'))
        opened = e2e_lib.open_handler(self, '.mp3', os.path.join(z.folder, 'opened.txt'))
        proc = z.start_in(self, music, b'httpserv=----lfca-b127.0.0.1:%d\r\ntoolbar=%d\r\n' % (
            PORT, TOOLBAR))

        self.assertEqual(send('select', 'top'), 0)
        self.assertEqual(command('SelectAll'), 0)
        wait_until(lambda: [s[0] for s, _ in rows()] == ['s', 's', 's'], 10,
                   lambda: 'every row selected: %r' % rows())

        self.assertEqual(send('select', 'top'), 0)
        self.assertEqual(send('tbclick', str(command_id('TrackInfo'))), 0)
        values = wait_until(lambda: output('dlgtext', 'File info', '1302'), 20, 'File info')
        shown = dict(zip(output('dlgtext', 'File info', '1301').split('\r\n'),
                         values.split('\r\n')))
        # lame's padding makes the 3 s a few ms longer; the length is cut to whole seconds.
        self.assertEqual([shown[k] for k in ('Length:', 'MPEG audio:', 'Samplerate:',
                                             'CBR bitrate:')],
                         ["0'03", '1.0 Layer 3', '44.1 kHz', '128 kbps'])
        # The average comes from the mean frame length (frames of 417 and 418 bytes).
        self.assertAlmostEqual(float(shown['Average bitrate:'].split()[0]), 128, delta=0.1)
        self.assertEqual(shown['File size:'].replace(' ', ''),
                         '%dB' % os.path.getsize(os.path.join(music, 'top.mp3')))
        self.assertEqual(send('dlgclick', 'File info', '1303'), 0)
        wait_until(lambda: send('titled', 'Tag ID3') == 0, 10, 'the Tag ID3 dialog')
        self.assertEqual(send('dlgcommand', 'Tag ID3', '2'), 0)
        wait_until(lambda: send('titled', 'Tag ID3') != 0, 10, 'the Tag ID3 dialog to close')
        self.assertEqual(send('dlgcommand', 'File info', '2'), 0)  # Esc
        wait_until(lambda: send('titled', 'File info') != 0, 10, 'File info to close')
        self.assertEqual(command('StandardOpen'), 0)
        got = wait_until(opened, 20, 'top.mp3 handed to the .mp3 program', interval=0.2)
        self.assertEqual(got.lower(), win_path(os.path.join(music, 'top.mp3')).lower())
        # "Explore" opens the row's folder in the file manager.
        self.assertEqual(command('Explore'), 0)
        wait_until(lambda: send('titled', 'music') == 0, 20, 'the file manager on the folder')
        # Closed until it is gone: a close that comes while it still starts up may be lost.
        wait_until(lambda: send('closetitled', 'music') != 0, 20, 'the file manager closed')

        # The walk runs on a worker: Esc, taken by the window right behind the command, stops
        # it, and the view keeps the folder.
        for i in range(2000):
            os.makedirs(os.path.join(music, 'Many', str(i)))
        self.assertEqual(send('command', *map(str, map(command_id, ('ShowSubfolders', 'Escape')))),
                         0)
        wait_until(lambda: 'Subfolder listing stopped.' in (output('status') or ''), 10,
                   lambda: 'the walk stopped: %r' % output('status'))
        self.assertEqual([n for _, n in rows()], ['top', 'x', 'y'])
        self.assertEqual(command('ShowSubfolders'), 0)
        wait_until(lambda: sorted(n for _, n in rows()) == ['a.mp3', 'b.mp3', 'top.mp3', 'x.mp3',
                                                            'y.mp3'], 20,
                   lambda: 'the subfolder files listed: %r' % rows())

        self.assertEqual(server_and_button(), (False, False))
        for state in (True, False):
            self.assertEqual(send('tbclick', str(WEB)), 0)
            wait_until(lambda: server_and_button() == (state, state), 20,
                       lambda: 'server and button %s' % state)

        # "Open in new Zuvo Window": a second instance, a process of its own, lists the folder.
        first = windows()
        self.assertEqual(command('NewWindow'), 0)
        other = wait_until(lambda: [p for p in windows() if p not in first], 30,
                           lambda: 'a second main window: %r' % windows())
        target = '@' + other[0]
        wait_until(lambda: {'top', 'x', 'y'} <= {n for _, n in rows(target)}, 20,
                   lambda: 'the folder in the second window: %r' % rows(target))
        self.assertEqual(send(target, 'close'), 0)
        wait_until(lambda: windows() == first, 20, 'the second window closed')
        stop(proc, self)
        self.assertIn(b'httpserv=----', z.read_ini())


if __name__ == '__main__':
    e2e_lib.main()
