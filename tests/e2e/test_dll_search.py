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
    def test_only_the_dll_beside_the_program_is_loaded(self):
        # zuvo.exe plays an MP3 of a music folder that holds the stand-in DLL, with the mpglib
        # decoder chosen.
        z = Install('dllsearch')
        music = z.subfolder()
        mp3 = e2e_lib.make_mp3(os.path.join(music, 'tone.mp3'), 2, '440')
        shutil.copy(marker_dll(), music)
        proc = e2e_lib.start_with(self, z, mp3, b'use_mpglib=1\r\n')
        # Without a library beside the program, play init says it cannot open mpglib.
        rc = send('text', '#32770', '20000')
        self.assertFalse(os.path.exists(os.path.join(music, MARKER)),
                         'the mpglib.dll of the music folder was loaded')
        self.assertEqual(rc, 0, 'no message box about the missing mpglib.dll')
        self.assertEqual(send('press', '#32770', '1'), 0)
        stop(proc, self)
        # The control: the same DLL is loaded from the program's folder, and the program was
        # in the music folder when it loaded it.
        shutil.copy(marker_dll(), z.prog)
        proc = e2e_lib.start_with(self, z, mp3, b'use_mpglib=1\r\n')
        marker = os.path.join(z.prog, MARKER)
        wait_until(lambda: os.path.exists(marker), 20, 'the mpglib.dll beside zuvo.exe to load')
        with open(marker, 'rb') as f:
            cwd = f.read().decode('utf-16-le')
        self.assertEqual(cwd.rstrip('\\').lower(), win_path(music).lower())
        self.assertFalse(os.path.exists(os.path.join(music, MARKER)))
        stop(proc, self)


if __name__ == '__main__':
    e2e_lib.main()
