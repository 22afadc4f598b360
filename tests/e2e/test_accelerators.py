"""zuvo.exe carries accelerator table 750: every entry a virtual key bound once, to a command of
src/base/command_ids.h, and a sample of the key bindings across the groups of the command
table and every modifier."""
import unittest

import e2e_lib

VIRTKEY, SHIFT, CONTROL, ALT = 1, 4, 8, 16
C, S, CS = CONTROL, SHIFT, CONTROL | SHIFT
EXPECTED = [  # (modifiers, virtual key, command)
    (0, 0x0D, 'Return'), (0, 0x20, 'Space'), (C, 0x22, 'NextPane'), (S, 0x79, 'ContextMenu'),
    (C, 0x27, 'NextTrack'), (0, 0x6A, 'NextTrack'), (S, 0x25, 'DirSearchBack'),
    (0, 0x2E, 'SkipRows'), (CS, ord('R'), 'RepeatTrackOnce'), (C, ord('G'), 'Gapless'),
    (S, 0x13, 'SoftMute'), (0, 0x6B, 'VolumeUp'), (0, 0x73, 'TreeToggle'),
    (ALT, 0x0D, 'TrackInfo'), (CS | ALT, ord('D'), 'RuntimeInfo'),
]


class Accelerators(unittest.TestCase):
    def test_table_750(self):
        rc, out = e2e_lib.send_output('accel', e2e_lib.ARGS.exe, '750')
        self.assertEqual(rc, 0, 'no accelerator table 750')
        table, known = {}, set(e2e_lib.COMMANDS.values())
        for line in out.decode().splitlines():
            flags, key, cmd = (int(x) for x in line.split())
            self.assertTrue(flags & VIRTKEY, (flags, key, cmd))
            self.assertIn(cmd, known, 'key %s bound to no command' % hex(key))
            mods = flags & (SHIFT | CONTROL | ALT)
            self.assertNotIn((mods, key), table, 'key bound twice')
            table[(mods, key)] = cmd
        for mods, key, cmd in EXPECTED:
            self.assertEqual(table.get((mods, key)), e2e_lib.command_id(cmd), (mods, hex(key), cmd))


if __name__ == '__main__':
    e2e_lib.main()
