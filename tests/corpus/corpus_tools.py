"""Helpers the corpus scripts share: running the tools, mpg123's reference decodes and what
the 24-bit output mode makes of 16-bit samples."""
import subprocess


def run(*cmd):
    """Runs a tool; its output is kept for the caller, a failure raises."""
    return subprocess.run(cmd, check=True, capture_output=True)


def mpg123(path, gapless=True):
    """The 16-bit PCM of an independent decode: gapless (delay and padding cut) or whole."""
    cmd = ['mpg123', '-q'] + ([] if gapless else ['--no-gapless']) + ['-s', path]
    return subprocess.run(cmd, check=True, capture_output=True).stdout


def to24(samples):
    """What the 24-bit mode makes of 16-bit samples: round(s / 32768 * 8388607), packed in
    three little-endian bytes each."""
    out = bytearray()
    for s in samples:
        v = int(round(s / 32768.0 * 8388607.0)) & 0xFFFFFF
        out += bytes((v & 0xFF, v >> 8 & 0xFF, v >> 16))
    return bytes(out)
