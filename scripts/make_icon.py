#!/usr/bin/env python3
"""Draws the program icon (a play triangle in a ring) and writes it as a .ico file with
16, 32, 48 and 256 pixel images (32-bit BGRA, the 256 one PNG-compressed as Windows expects)."""
import math
import struct
import sys
import zlib


def pixel(x, y, n):
    """Anti-aliased colour of pixel (x, y) of an n x n icon, as (b, g, r, a)."""
    samples = 4
    acc = [0.0, 0.0, 0.0, 0.0]
    for sy in range(samples):
        for sx in range(samples):
            u = (x + (sx + 0.5) / samples) / n * 2 - 1
            v = (y + (sy + 0.5) / samples) / n * 2 - 1
            r = math.hypot(u, v)
            col = None
            # the triangle, pointing right
            if -0.42 <= u and abs(v) <= 0.5 * (0.58 - u) / 1.0 and u <= 0.58:
                col = (0x1D, 0x96, 0xFA)  # orange (BGR)
            elif r <= 0.94:
                col = (0x30, 0x30, 0x30) if r <= 0.80 else (0x1D, 0x96, 0xFA)
            if col:
                acc[0] += col[0]
                acc[1] += col[1]
                acc[2] += col[2]
                acc[3] += 255
    k = samples * samples
    a = acc[3] / k
    if a == 0:
        return (0, 0, 0, 0)
    return tuple(int(c / (acc[3] / 255)) for c in acc[:3]) + (int(a),)


def image(n):
    # Bottom-up rows, as a DIB stores them.
    return [[pixel(x, y, n) for x in range(n)] for y in range(n)]


def dib(n):
    rows = image(n)
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    data = b''.join(bytes(c for p in row for c in p) for row in reversed(rows))
    mask_row = ((n + 31) // 32) * 4
    return header + data + b'\0' * (mask_row * n)


def png(n):
    rows = image(n)
    raw = b''.join(b'\0' + bytes(c for p in row for c in (p[2], p[1], p[0], p[3])) for row in rows)

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', n, n, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main(out):
    sizes = [16, 32, 48, 256]
    blobs = [png(n) if n == 256 else dib(n) for n in sizes]
    offset = 6 + 16 * len(sizes)
    head = struct.pack('<HHH', 0, 1, len(sizes))
    for n, blob in zip(sizes, blobs):
        head += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(out, 'wb') as f:
        f.write(head + b''.join(blobs))


if __name__ == '__main__':
    main(sys.argv[1])
