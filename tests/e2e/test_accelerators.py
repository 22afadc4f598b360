"""zuvo.exe carries accelerator table 750 with the key bindings of the command table."""
import unittest

import e2e_lib

VIRTKEY, SHIFT, CONTROL, ALT = 1, 4, 8, 16
# (modifiers, virtual key, command): a sample across the groups of the command table.
EXPECTED = [
    (0, 0x0D, 814), (0, 0x20, 817), (0, 0x25, 804), (0, 0x27, 805), (0, 0x09, 801),
    (CONTROL, 0x22, 801), (0, 0x1B, 812), (0, 0x08, 813), (0, 0x70, 944), (SHIFT, 0x79, 945),
    (CONTROL, 0x25, 512), (0, 0x6F, 512), (CONTROL, 0x27, 513), (0, 0x6A, 513),
    (SHIFT, 0x25, 514), (0, 0xBC, 514), (SHIFT, 0x27, 515), (0, 0xBE, 515),
    (0, 0x2E, 516), (0, 0x2D, 517), (CONTROL, ord('R'), 956), (CONTROL | SHIFT, ord('R'), 483),
    (CONTROL | SHIFT, ord('S'), 484), (CONTROL, ord('Q'), 406), (CONTROL | SHIFT, ord('Q'), 482),
    (CONTROL, ord('G'), 953), (CONTROL, ord('K'), 441), (CONTROL, ord('E'), 401),
    (CONTROL | SHIFT, ord('E'), 488), (CONTROL | SHIFT, ord('2'), 486), (0, 0x13, 528),
    (SHIFT, 0x13, 529), (CONTROL, 0x28, 934), (0, 0x6D, 934), (CONTROL, 0x26, 935),
    (0, 0x6B, 935), (CONTROL, ord('T'), 940), (0, 0x73, 519), (0, 0x75, 402),
    (CONTROL | SHIFT, ord('Y'), 475), (CONTROL | SHIFT, ord('C'), 476), (ALT, 0x0D, 409),
    (CONTROL | SHIFT | ALT, ord('D'), 955), (CONTROL | SHIFT | ALT, ord('T'), 957),
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
            self.assertEqual(table.get((mods, key)), cmd, (mods, hex(key)))


if __name__ == '__main__':
    e2e_lib.main()
