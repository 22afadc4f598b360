"""Cover pictures at the foot of the tree, on the real zuvo.exe under Wine, judged by sampling a
generated picture's colour in screenshots: a folder's cover.jpg (red), a track's ID3v2 picture
(blue, it wins over cover.jpg when that track plays) and, in a folder without pictures, the
standard picture from the settings folder (green)."""
import os
import subprocess
import tempfile
import unittest

import e2e_lib
from e2e_lib import Install, command, make_mp3, send, stop, wait_until, win_path

SHOW_PICTURES, STANDARD_PICTURE = 1 << 8, 1 << 9
SIDE = 150  # the picture setting's default height


def pixels_near(png, rgb):
    """Pixels of the whole screen within 24 of rgb in each channel (JPEG and half-tone blur the
    edges, not the inside of a flat picture)."""
    r, g, b = rgb
    fx = 'abs(r*255-%d)<24&&abs(g*255-%d)<24&&abs(b*255-%d)<24' % (r, g, b)
    out = subprocess.run(['convert', png, '-fx', fx, '-format', '%[fx:round(mean*w*h)]', 'info:'],
                         check=True, stdout=subprocess.PIPE)
    return int(out.stdout)


def picture(path, colour, size='300x300'):
    subprocess.run(['convert', '-size', size, 'xc:' + colour, '-quality', '95', path], check=True)
    return path


class Pictures(unittest.TestCase):
    def shown(self, rgb, what):
        """Waits until a screenshot holds most of a SIDE x SIDE square of rgb."""
        shot = os.path.join(tempfile.gettempdir(), 'zuvo-pictures.png')

        def check():
            e2e_lib.screenshot(shot)
            n = pixels_near(shot, rgb)
            return n if n > SIDE * SIDE * 0.8 else None
        return wait_until(check, 20, what, interval=0.5)

    def start(self, z, folder, stylez):
        return z.start_in(self, folder, b'stylez=%d\r\n' % stylez, visible=True)

    def test_open_picture_with_the_default_program(self):
        """"Open picture" hands the shown cover.jpg to the program the system has for .jpg:
        here a handler registered for the test, which writes the path it was given."""
        z = Install('openpic')
        music = os.path.join(z.folder, 'Music')
        os.makedirs(music)
        cover = picture(os.path.join(music, 'cover.jpg'), '#ff0000')
        make_mp3(os.path.join(music, 'a.mp3'), 5)
        opened = os.path.join(z.folder, 'opened.txt')
        # Wine takes file types from the machine's classes; the type's default value and the
        # test's program id go again afterwards.
        classes = 'HKLM\\Software\\Classes\\'
        handler = 'cmd.exe /c echo %%1> "%s"' % win_path(opened)
        reg = lambda *args: subprocess.run([e2e_lib.WINE_RUN, 'reg', *args], stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL).returncode
        for key, value in ((classes + '.jpg', 'ZuvoTestPicture'),
                           (classes + 'ZuvoTestPicture\\shell\\open\\command', handler)):
            self.assertEqual(reg('add', key, '/ve', '/d', value, '/f'), 0)
        self.addCleanup(reg, 'delete', classes + '.jpg', '/ve', '/f')
        self.addCleanup(reg, 'delete', classes + 'ZuvoTestPicture', '/f')
        proc = self.start(z, music, SHOW_PICTURES)

        def handed():
            # The command does nothing until the picture is shown: ask again until it is.
            if not os.path.exists(opened):
                command('OpenPicture')
                return None
            with open(opened, 'rb') as f:
                return f.read().decode('utf-8', 'replace').strip().strip('"') or None
        got = wait_until(handed, 20, 'the handler called with the picture', interval=0.5)
        self.assertEqual(got.lower(), win_path(cover).lower())
        stop(proc, self)

    def test_folder_tag_and_standard_pictures(self):
        z = Install('pictures')
        music = os.path.join(z.folder, 'Music')
        os.makedirs(music)
        picture(os.path.join(music, 'cover.jpg'), '#ff0000')
        make_mp3(os.path.join(music, 'a.mp3'), 30)
        tagged = make_mp3(os.path.join(music, 'b.mp3'), 30)
        # Another size than cover.jpg: a file of equal size counts as the picture already shown.
        blue = picture(os.path.join(z.folder, 'blue.jpg'), '#0000ff', '320x300')
        subprocess.run(['mid3v2', '--picture', blue + '::3:image/jpeg', tagged], check=True,
                       stdout=subprocess.DEVNULL)
        proc = self.start(z, music, SHOW_PICTURES)
        self.shown((255, 0, 0), 'the red cover.jpg beside the list')
        self.assertEqual(send('select', 'b'), 0)
        self.assertEqual(command('Return'), 0)
        self.shown((0, 0, 255), 'the blue picture of the playing track\'s tag')
        stop(proc, self)

        # No picture in the folder: the settings folder's cover.jpg (green) stands in.
        bare = os.path.join(z.folder, 'Bare')
        os.makedirs(bare)
        make_mp3(os.path.join(bare, 'c.mp3'), 5)
        picture(os.path.join(z.prog, 'cover.jpg'), '#00ff00')
        proc = self.start(z, bare, SHOW_PICTURES | STANDARD_PICTURE)
        self.shown((0, 255, 0), 'the green standard picture from the settings folder')
        stop(proc, self)


if __name__ == '__main__':
    e2e_lib.main()
