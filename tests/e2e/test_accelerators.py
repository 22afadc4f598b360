"""zuvo.exe carries accelerator table 750 with the key bindings of the command table."""
import unittest

import e2e_lib

VIRTKEY, SHIFT, CONTROL, ALT = 1, 4, 8, 16
C, S, CS = CONTROL, SHIFT, CONTROL | SHIFT
# (modifiers, virtual key, command): a sample across the groups of the command table.
EXPECTED = [
    (0, 0x0D, 'Return'), (0, 0x20, 'Space'), (0, 0x25, 'KeyLeft'), (0, 0x27, 'KeyRight'),
    (0, 0x09, 'NextPane'), (C, 0x22, 'NextPane'), (0, 0x1B, 'Escape'), (0, 0x08, 'Backspace'),
    (0, 0x70, 'MainMenu'), (S, 0x79, 'ContextMenu'), (C, 0x25, 'PrevTrack'),
    (0, 0x6F, 'PrevTrack'), (C, 0x27, 'NextTrack'), (0, 0x6A, 'NextTrack'),
    (S, 0x25, 'DirSearchBack'), (0, 0xBC, 'DirSearchBack'), (S, 0x27, 'DirSearchForward'),
    (0, 0xBE, 'DirSearchForward'), (0, 0x2E, 'SkipRows'), (0, 0x2D, 'MoveRowsNext'),
    (C, ord('R'), 'CycleRepeat'), (CS, ord('R'), 'RepeatTrackOnce'),
    (CS, ord('S'), 'StopAfterTrack'), (C, ord('Q'), 'QuitAfterTrack'),
    (CS, ord('Q'), 'QuitAfterList'), (C, ord('G'), 'Gapless'), (C, ord('K'), 'Autospace'),
    (C, ord('E'), 'Enhancer1'), (CS, ord('E'), 'Enhancer2'), (CS, ord('2'), 'FastPlay2'),
    (0, 0x13, 'Mute'), (S, 0x13, 'SoftMute'), (C, 0x28, 'VolumeDown'), (0, 0x6D, 'VolumeDown'),
    (C, 0x26, 'VolumeUp'), (0, 0x6B, 'VolumeUp'), (C, ord('T'), 'CycleTimeDisplay'),
    (0, 0x73, 'TreeToggle'), (0, 0x75, 'Settings'), (CS, ord('Y'), 'CopyNowPlaying'),
    (CS, ord('C'), 'CopyPath'), (ALT, 0x0D, 'TrackInfo'), (CS | ALT, ord('D'), 'RuntimeInfo'),
    (CS | ALT, ord('T'), 'Debug957'),
]


class Accelerators(unittest.TestCase):
    def test_table_750(self):
        rc, out = e2e_lib.send_output('accel', e2e_lib.ARGS.exe, '750')
        self.assertEqual(rc, 0, 'no accelerator table 750')
        table = {}
        rows = [tuple(int(x) for x in l.split()) for l in out.decode().splitlines() if l.strip()]
        for flags, key, cmd in rows:
            self.assertTrue(flags & VIRTKEY, (flags, key, cmd))
            mods = flags & (SHIFT | CONTROL | ALT)
            self.assertNotIn((mods, key), table, 'key bound twice')
            table[(mods, key)] = cmd
        for mods, key, cmd in EXPECTED:
            self.assertEqual(table.get((mods, key)), e2e_lib.command_id(cmd), (mods, hex(key), cmd))


if __name__ == '__main__':
    e2e_lib.main()
