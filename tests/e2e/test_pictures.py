"""Cover pictures at the foot of the tree, judged by sampling a generated picture's colour in
screenshots: a folder's cover.jpg (red), which "Open picture" hands to the program the system
has for .jpg; a track's ID3v2 picture (blue, it wins over cover.jpg when that track plays);
in a folder without pictures, the standard picture from the settings folder (green)."""
import os
import subprocess
import tempfile
import unittest

import e2e_lib
from e2e_lib import Install, command, make_mp3, send, stop, wait_until, win_path

SHOW_PICTURES, STANDARD_PICTURE = 1 << 8, 1 << 9
SIDE = 150  # the picture setting's default height


def picture(path, colour, size='300x300'):
    subprocess.run(['convert', '-size', size, 'xc:' + colour, '-quality', '95', path], check=True)
    return path


class Pictures(unittest.TestCase):
    def shown(self, rgb, what):
        """Waits until a screenshot holds most of a SIDE x SIDE square of rgb."""
        shot = os.path.join(tempfile.gettempdir(), 'zuvo-pictures.png')

        def check():
            e2e_lib.screenshot(shot)
            # JPEG and half-tone blur the edges, not the inside of a flat picture.
            n = e2e_lib.pixels_of(shot, 'rgb(%d,%d,%d)' % rgb, within=24)
            return n if n > SIDE * SIDE * 0.8 else None
        return wait_until(check, 20, what, interval=0.5)

    def test_folder_tag_and_standard_pictures(self):
        z = Install('pictures')
        music = z.subfolder('Music')
        cover = picture(os.path.join(music, 'cover.jpg'), '#ff0000')
        make_mp3(os.path.join(music, 'a.mp3'), 30)
        tagged = make_mp3(os.path.join(music, 'b.mp3'), 30)
        # Another size than cover.jpg: a file of equal size counts as the picture already shown.
        blue = picture(os.path.join(z.folder, 'blue.jpg'), '#0000ff', '320x300')
        subprocess.run(['mid3v2', '--picture', blue + '::3:image/jpeg', tagged], check=True,
                       stdout=subprocess.DEVNULL)
        opened = e2e_lib.open_handler(self, '.jpg', os.path.join(z.folder, 'opened.txt'))
        proc = z.start_in(self, music, b'stylez=%d\r\n' % SHOW_PICTURES, visible=True)
        self.shown((255, 0, 0), 'the red cover.jpg beside the list')
        self.assertEqual(command('OpenPicture'), 0)
        got = wait_until(opened, 20, 'the handler called with the picture', interval=0.2)
        self.assertEqual(got.lower(), win_path(cover).lower())
        self.assertEqual(send('select', 'b'), 0)
        self.assertEqual(command('Return'), 0)
        self.shown((0, 0, 255), 'the blue picture of the playing track\'s tag')
        stop(proc, self)

        # No picture in the folder: the settings folder's cover.jpg (green) stands in.
        bare = z.subfolder('Bare')
        make_mp3(os.path.join(bare, 'c.mp3'), 5)
        picture(os.path.join(z.prog, 'cover.jpg'), '#00ff00')
        proc = z.start_in(self, bare, b'stylez=%d\r\n' % (SHOW_PICTURES | STANDARD_PICTURE),
                          visible=True)
        self.shown((0, 255, 0), 'the green standard picture from the settings folder')
        stop(proc, self)


if __name__ == '__main__':
    e2e_lib.main()
