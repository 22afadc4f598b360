#!/usr/bin/env python3
"""Draws the File view's twelve month icons as one 16 x 16 image strip (January first) and
writes it as a 24-bit .bmp. Each icon is a small calendar page: a header in the colour of the
season and the month's number; magenta is the transparent colour of the strip."""
import struct
import sys

SIZE, MONTHS = 16, 12
MASK = (255, 0, 255)
INK = (48, 48, 48)
PAGE = (250, 250, 250)
# Header colours, December to February winter blue, spring green, summer orange, autumn brown.
SEASONS = {0: (66, 133, 244), 1: (52, 168, 83), 2: (251, 140, 0), 3: (141, 85, 36)}
# 3 x 5 digits, a row of bits each.
DIGITS = {
    '0': ('111', '101', '101', '101', '111'), '1': ('010', '110', '010', '010', '111'),
    '2': ('111', '001', '111', '100', '111'), '3': ('111', '001', '011', '001', '111'),
    '4': ('101', '101', '111', '001', '001'), '5': ('111', '100', '111', '001', '111'),
    '6': ('111', '100', '111', '101', '111'), '7': ('111', '001', '010', '010', '010'),
    '8': ('111', '101', '111', '101', '111'), '9': ('111', '101', '111', '001', '111'),
}


def icon(month):
    """Rows (top first) of (r, g, b) for month 0..11."""
    season = SEASONS[(month + 1) % 12 // 3]
    px = [[MASK] * SIZE for _ in range(SIZE)]
    for y in range(1, 15):
        for x in range(1, 15):
            edge = x in (1, 14) or y in (1, 14)
            px[y][x] = INK if edge else (season if y <= 4 else PAGE)
    text = str(month + 1)
    width = 4 * len(text) - 1
    left = (SIZE - width) // 2
    for i, ch in enumerate(text):
        for dy, row in enumerate(DIGITS[ch]):
            for dx, bit in enumerate(row):
                if bit == '1':
                    px[7 + dy][left + 4 * i + dx] = INK
    return px


def main(path):
    icons = [icon(m) for m in range(MONTHS)]
    width, height = SIZE * MONTHS, SIZE
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(height)):  # bottom-up
        row = bytearray()
        for m in range(MONTHS):
            for x in range(SIZE):
                r, g, b = icons[m][y][x]
                row += bytes((b, g, r))
        data += row + b'\0' * (stride - len(row))
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


if __name__ == '__main__':
    main(sys.argv[1])
