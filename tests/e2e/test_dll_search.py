"""Optional DLLs come from the program's folder, never from the current directory: zuvo.exe
enters the folder it plays, so a "mpglib.dll" put into a music folder must not be loaded when
the mpglib decoder is chosen. The stand-in DLL (mpglib_marker.cpp) leaves the file
"mpglib-loaded", holding the current directory, beside whichever copy is loaded."""
import os
import shutil
import unittest

import e2e_lib
from e2e_lib import Install, send, stop, wait_until, win_path

MARKER = 'mpglib-loaded'


def marker_dll():
    return os.path.join(os.path.dirname(os.path.abspath(e2e_lib.ARGS.send)), 'marker',
                        'mpglib.dll')


class DllSearch(unittest.TestCase):
    def start(self, name, beside_program):
        """zuvo.exe plays an MP3 of a music folder that holds the stand-in DLL, with the mpglib
        decoder chosen; beside_program also puts a copy beside zuvo.exe. Returns (install,
        music folder, process)."""
        z = Install(name)
        music = os.path.join(z.folder, 'music')
        os.makedirs(music)
        mp3 = e2e_lib.make_mp3(os.path.join(music, 'tone.mp3'), 2, '440')
        shutil.copy(marker_dll(), music)
        if beside_program:
            shutil.copy(marker_dll(), z.prog)
        z.write_ini(b'[Zuvo]\r\nutf8=1\r\nwavedevice=0\r\nuse_mpglib=1\r\n')
        proc = z.start(win_path(mp3), '/localini')
        self.assertEqual(send('wait', '20000'), 0, 'no main window')
        return z, music, proc

    def test_a_dll_in_the_music_folder_is_not_loaded(self):
        _, music, proc = self.start('dllplanted', False)
        try:
            # Without a library beside the program, play init says it cannot open mpglib.
            rc = send('text', '#32770', '20000')
            self.assertFalse(os.path.exists(os.path.join(music, MARKER)),
                             'the mpglib.dll of the music folder was loaded')
            self.assertEqual(rc, 0, 'no message box about the missing mpglib.dll')
            self.assertEqual(send('press', '#32770', '1'), 0)
        finally:
            stop(proc, self)

    def test_the_dll_beside_the_program_is_loaded(self):
        # The control: the same DLL is loaded from the program's folder, and the program was in
        # the music folder when it loaded it.
        z, music, proc = self.start('dllbeside', True)
        try:
            marker = os.path.join(z.prog, MARKER)
            wait_until(lambda: os.path.exists(marker), 20, 'the mpglib.dll beside zuvo.exe to load')
            with open(marker, 'rb') as f:
                cwd = f.read().decode('utf-16-le')
            self.assertEqual(cwd.rstrip('\\').lower(), win_path(music).lower())
            self.assertFalse(os.path.exists(os.path.join(music, MARKER)))
        finally:
            stop(proc, self)


if __name__ == '__main__':
    e2e_lib.main()
