""""View RSS file" opens the RSS Viewer on the Zuvorss.xml beside the settings file: the date it
was written, each title, description and link as plain text, whatever RTF-like characters the
feed's texts hold."""
import os
import time
import unittest

import e2e_lib
from e2e_lib import Install, command, send, send_output, stop, wait_until


class RssViewer(unittest.TestCase):
    def test_viewer_shows_the_file_as_text(self):
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
