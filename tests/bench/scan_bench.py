#!/usr/bin/env python3
"""Scan speed and length accuracy of `zuvo-probe scan` against ffprobe on the same files.

Makes COUNT files (a third each constant bit rate, VBR with a Xing header, VBR without one) of
known sample counts with sox and lame, then in one run times
  - zuvo-probe scan over all files in one process,
  - zuvo-probe scan started once per file (as ffprobe has to be),
  - ffprobe started once per file,
and prints files per second with the ratios, and the length error in ms (mean and worst) of each
kind against the true length (the source's sample count), for our scan and for ffprobe.

    scan_bench.py [--probe PATH] [--work DIR] [--count 500]

Without --probe, zuvo-probe is built with the release preset (g++ -O2, no sanitizers) and
build/release/src/probe/zuvo-probe is timed. Not part of ctest.
"""
import argparse
import json
import os
import random
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "corpus"))
from mpeg_corpus import probe, run  # noqa: E402

KINDS = ("CBR", "VBR-with-Xing", "VBR-without-Xing")
RATE = 44100


def make_files(work, count, rng):
    """Files and their true lengths; reuses the files of an earlier run with the same count."""
    manifest = os.path.join(work, f"manifest_{count}.json")
    if os.path.exists(manifest):
        return json.load(open(manifest))
    os.makedirs(work, exist_ok=True)
    files = []
    wav = os.path.join(work, "src.wav")
    for i in range(count):
        kind = KINDS[i % 3]
        samples = rng.randrange(8 * RATE, 40 * RATE)
        f1, f2 = rng.randrange(50, 500), rng.randrange(1000, 12000)
        run("sox", "-D", "-r", str(RATE), "-c", "2", "-n", "-b", "16", wav, "synth",
            f"{samples}s", "sine", f"{f1}-{f2}", "pinknoise", "vol", str(rng.uniform(0.2, 0.8)))
        if kind == "CBR":
            opts = ["-b", str(rng.choice((96, 128, 160, 192, 256, 320)))]
        else:
            opts = ["-V", str(rng.randrange(0, 7))] + (["-t"] if kind == "VBR-without-Xing" else [])
        path = os.path.join(work, f"f{i:04d}.mp3")
        run("lame", "--quiet", *opts, wav, path)
        files.append({"path": path, "kind": kind, "ms": samples * 1000 / RATE})
    os.remove(wav)
    json.dump(files, open(manifest, "w"))
    return files


def timed(fn):
    start = time.perf_counter()
    result = fn()
    return result, time.perf_counter() - start


def ffprobe_ms(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format=duration", "-of",
                          "csv=p=0", path], capture_output=True, text=True, check=True).stdout
    return float(out.strip()) * 1000


def error_table(files, lengths):
    rows = {}
    for kind in KINDS:
        errs = [abs(lengths[f["path"]] - f["ms"]) for f in files if f["kind"] == kind]
        rows[kind] = (sum(errs) / len(errs), max(errs), len(errs))
    return rows


def release_probe():
    """Builds zuvo-probe with the release preset and returns its path."""
    root = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    subprocess.run(["cmake", "--preset", "release"], cwd=root, check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", "--preset", "release", "--target", "zuvo-probe"],
                   cwd=root, check=True)
    return os.path.join(root, "build", "release", "src", "probe", "zuvo-probe")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--probe", help="zuvo-probe to time (default: built with the release preset)")
    ap.add_argument("--work", default="build/bench-mpeg")
    ap.add_argument("--count", type=int, default=500)
    args = ap.parse_args()
    if not args.probe:
        args.probe = release_probe()

    files, made = timed(lambda: make_files(args.work, args.count, random.Random(7)))
    paths = [f["path"] for f in files]
    size_mb = sum(os.path.getsize(p) for p in paths) / 1e6
    print(f"{len(paths)} files, {size_mb:.0f} MB (made or found in {made:.0f} s)")

    records, t_one = timed(lambda: probe(args.probe, paths))
    _, t_each = timed(lambda: [probe(args.probe, [p]) for p in paths])
    ff, t_ff = timed(lambda: {p: ffprobe_ms(p) for p in paths})

    n = len(paths)
    print(f"zuvo-probe, one process:   {n / t_one:9.1f} files/s")
    print(f"zuvo-probe, one per file:  {n / t_each:9.1f} files/s")
    print(f"ffprobe, one per file:     {n / t_ff:9.1f} files/s")
    print(f"ratio (one process / ffprobe):   {t_ff / t_one:6.1f} x")
    print(f"ratio (one per file / ffprobe):  {t_ff / t_each:6.1f} x")

    failed = [p for p in paths if records[p]["ok"] != "1"]
    if failed:
        print(f"not scanned: {len(failed)} files, e.g. {failed[0]}")
    ours = error_table(files, {p: int(records[p]["lengthMs"]) for p in paths})
    theirs = error_table(files, ff)
    print("\nlength error against the source length, ms   zuvo-probe (mean / worst)"
          "   ffprobe (mean / worst)")
    for kind in KINDS:
        o, t = ours[kind], theirs[kind]
        print(f"  {kind:17} ({o[2]:3} files)   {o[0]:8.1f} / {o[1]:8.1f}"
              f"         {t[0]:8.1f} / {t[1]:8.1f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
