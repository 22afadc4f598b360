#!/usr/bin/env python3
"""wav-sink.py WAV: the stand-in sound card of scripts/run.sh on a machine without one.

ALSA's file plugin starts it at each opening of the output device and pipes it what the
program plays, as 16-bit stereo at 44.1 kHz (run.sh's ALSA configuration converts anything
else). It appends the audio to WAV, creating the file when it is missing, and rewrites the two
length fields of the header after every piece, so that the file is a valid WAV file at any
moment and the audio of every opening (the player opens the device again for each folder)
ends up in the one file. It takes the audio no faster than real time, as a sound card would:
the program then plays at its normal pace and the file grows by 176,400 bytes a second."""
import os
import signal
import struct
import sys
import time

RATE, CHANNELS, BITS = 44100, 2, 16
BYTES_PER_SECOND = RATE * CHANNELS * BITS // 8
HEADER = 44
AHEAD = 0.25  # seconds of audio taken ahead of the clock, so that the player never runs dry


def header():
    fmt = struct.pack('<HHIIHH', 1, CHANNELS, RATE, BYTES_PER_SECOND, CHANNELS * BITS // 8, BITS)
    return (b'RIFF' + struct.pack('<I', 36) + b'WAVE' + b'fmt ' + struct.pack('<I', 16) + fmt +
            b'data' + struct.pack('<I', 0))


def main():
    # Ctrl+C in run.sh's terminal reaches this process too: it ends when the player closes the
    # pipe instead, after writing what it was given.
    signal.signal(signal.SIGINT, signal.SIG_IGN)
    fd = os.open(sys.argv[1], os.O_RDWR | os.O_CREAT, 0o644)
    if os.fstat(fd).st_size < HEADER:
        os.ftruncate(fd, 0)
        os.pwrite(fd, header(), 0)
    source = sys.stdin.buffer
    start, taken = None, 0
    while True:
        data = source.read1(65536)
        if not data:
            break
        if start is None:
            start = time.monotonic()
        end = os.fstat(fd).st_size
        os.pwrite(fd, data, end)
        length = end + len(data) - HEADER
        os.pwrite(fd, struct.pack('<I', length + 36), 4)
        os.pwrite(fd, struct.pack('<I', length), 40)
        taken += len(data)
        ahead = taken / BYTES_PER_SECOND - (time.monotonic() - start) - AHEAD
        if ahead > 0:
            time.sleep(ahead)
    os.close(fd)


if __name__ == '__main__':
    main()
