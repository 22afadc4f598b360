#!/usr/bin/env python3
"""Makes MPEG files with lame, sox, ffmpeg and id3v2 and checks what `zuvo-probe scan` reports.

Every expected value comes from outside the scanner: the sample count the source was made with,
ffprobe's packet count and first packet position, the LAME tag bytes read here, the bytes this
script prepended or appended, and the tag texts given to the tagger.

    mpeg_corpus.py --probe build/src/probe/zuvo-probe --work build/tests/corpus/work
"""
import argparse
import os
import random
import re
import struct
import subprocess
import sys

TAG_KEYS = ("artist", "album", "title", "track", "year", "comment")
TAG_RE = re.compile(" ".join(f"{k}=(.*)" for k in TAG_KEYS) + "$")


def run(*cmd):
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def output(*cmd):
    return subprocess.run(cmd, check=True, capture_output=True, text=True).stdout


def sox_source(path, rate, channels, samples):
    """A sweep (so that VBR encoders vary the frame sizes) of exactly `samples` samples."""
    # The format goes before -n: synth then makes the samples at that rate, not at its own.
    # No dither (-D), so that the same file comes out every time.
    run("sox", "-D", "-r", str(rate), "-c", str(channels), "-n", "-b", "16", path,
        "synth", f"{samples}s", "sine", "100-6000", "vol", "0.6")


def ffprobe_audio(path):
    """(position of the first audio packet, number of audio packets) as ffprobe sees them."""
    pos = output("ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                 "packet=pos", "-read_intervals", "%+#1", "-of", "csv=p=0", path)
    count = output("ffprobe", "-v", "error", "-count_packets", "-select_streams", "a:0",
                   "-show_entries", "stream=nb_read_packets", "-of", "csv=p=0", path)
    return int(pos.strip().strip(",").splitlines()[0]), int(count.strip().strip(","))


def lame_tag(path, frame_at):
    """The Xing/Info tag of the frame at frame_at as LAME documents it, or None."""
    with open(path, "rb") as f:
        f.seek(frame_at)
        frame = f.read(400)
    for magic in (b"Xing", b"Info"):
        tag = frame.find(magic, 4, 64)
        if tag >= 0:
            break
    else:
        return None
    ext = frame[tag + 120:tag + 144]
    lame = ext[:4] == b"LAME"
    delay = (ext[21] << 4 | ext[22] >> 4) if lame else 0
    padding = ((ext[22] & 0x0F) << 8 | ext[23]) if lame else 0
    encoder = ext[:9].decode("latin-1") if ext[:1].isalpha() else ""
    return {"magic": magic.decode(), "delay": delay, "padding": padding,
            "encoder": encoder.split("\0")[0]}


def id3v2_tag(frames, size):
    """An ID3v2.3 tag whose header declares `size` bytes: the frames, then zero padding."""
    body = b"".join(fid + struct.pack(">I", len(data)) + b"\0\0" + data for fid, data in frames)
    assert len(body) <= size
    syncsafe = bytes((size >> s) & 0x7F for s in (21, 14, 7, 0))
    return b"ID3\x03\x00\x00" + syncsafe + body + bytes(size - len(body))


def id3v1_tag(title, artist, album, year, comment, track):
    def field(s, n):
        return s.encode("latin-1")[:n].ljust(n, b"\0")
    tail = field(comment, 28) + b"\0" + bytes([track]) if track else field(comment, 30)
    return b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) + \
        tail + b"\x0c"


def layer1_file(path, frames):
    """MPEG-1 Layer I, 128 kbit/s, 44.1 kHz: 136-byte frames (137 with padding)."""
    with open(path, "wb") as f:
        for i in range(frames):
            pad = i % 10 == 3
            f.write(bytes([0xFF, 0xFF, 0x42 if pad else 0x40, 0x40]) + bytes(132 + 4 * pad))


def probe(probe_path, files, picture_out=None):
    args = [probe_path, "scan"] + (["--picture-out", picture_out] if picture_out else []) + files
    out = subprocess.run(args, capture_output=True, check=True).stdout.decode("utf-8")
    records = {}
    for line in out.splitlines():
        path, fields, tags = line.split("\t")
        rec = dict(kv.split("=", 1) for kv in fields.split(" "))
        m = TAG_RE.match(tags)
        rec.update(zip(TAG_KEYS, m.groups()))
        records[path] = rec
    return records


class Case:
    def __init__(self, name, path, **expect):
        self.name, self.path, self.expect = name, path, expect


def build(work, rng):
    """Makes the files; returns the cases with their expectations."""
    def p(name):
        return os.path.join(work, name)

    cases = []
    sources = {}

    def source(rate, channels, seconds=4):
        key = (rate, channels)
        if key not in sources:
            n = rate * seconds + 777
            sox_source(p(f"src_{rate}_{channels}.wav"), rate, channels, n)
            sources[key] = (p(f"src_{rate}_{channels}.wav"), n)
        return sources[key]

    def lame(name, rate, channels, *opts, **expect):
        wav, n = source(rate, channels)
        run("lame", "--quiet", *opts, wav, p(name))
        pos, frames = ffprobe_audio(p(name))
        spf = 1152 if rate >= 32000 else 576
        case = Case(name, p(name), rate=rate, beg=pos, frames=frames, spf=spf, samples=n,
                    lame=lame_tag(p(name), 0), **expect)
        cases.append(case)
        return case

    cbr = lame("cbr128.mp3", 44100, 2, "-b", "128", version=1, layer=3, mode=2, kind=0, kbps=128)
    lame("vbr_xing.mp3", 44100, 2, "-V", "2", version=1, layer=3, mode=2, kind=2)
    lame("vbr_noxing.mp3", 44100, 2, "-V", "2", "-t", version=1, layer=3, mode=2, kind=1)
    lame("mono.mp3", 44100, 1, "-m", "m", "-b", "96", version=1, layer=3, mode=4, kind=0, kbps=96)
    lame("mpeg2.mp3", 22050, 2, "-b", "64", version=2, layer=3, mode=2, kind=0, kbps=64)
    lame("mpeg2_mono.mp3", 24000, 1, "-m", "m", "-b", "64", version=2, layer=3, mode=4, kind=0,
         kbps=64)
    lame("mpeg25.mp3", 11025, 2, "-b", "32", version=3, layer=3, mode=2, kind=0, kbps=32)
    lame("mpeg25_8k.mp3", 8000, 1, "-m", "m", "-b", "16", version=3, layer=3, mode=4, kind=0,
         kbps=16)

    wav, n = source(48000, 2)
    run("ffmpeg", "-v", "error", "-y", "-i", wav, "-c:a", "mp2", "-b:a", "192k", "-f", "mp2",
        p("layer2.mp2"))
    pos, frames = ffprobe_audio(p("layer2.mp2"))
    cases.append(Case("layer2.mp2", p("layer2.mp2"), rate=48000, beg=pos, frames=frames, spf=1152,
                      version=1, layer=2, mode=1, kind=0, kbps=192))

    base = open(cbr.path, "rb").read()

    def derived(name, data, lead=0, trail=0, **over):
        with open(p(name), "wb") as f:
            f.write(data)
        e = dict(cbr.expect, beg=cbr.expect["beg"] + lead, trail=trail)
        e.update(over)
        cases.append(Case(name, p(name), **e))

    for size in (100, 4096, 70000):
        tag = id3v2_tag([(b"TIT2", b"\0Sized %d" % size)], size)
        derived(f"id3v2_{size}.mp3", tag + base, lead=len(tag), id3=size + 10,
                tags={"title": f"Sized {size}"})
    v1 = id3v1_tag("V1 title", "V1 artist", "V1 album", "2001", "V1 comment", 7)
    derived("id3v1.mp3", base + v1, trail=128,
            tags={"title": "V1 title", "artist": "V1 artist", "album": "V1 album", "year": "2001",
                  "comment": "V1 comment", "track": "7"})
    junk = bytes(rng.randrange(256) for _ in range(3000))
    derived("junk_before.mp3", junk + base, lead=len(junk))
    derived("junk_after.mp3", base + junk[:1500], trail=1500)
    derived("truncated.mp3", base[:-200], trail=-200)

    # Tags written by real taggers.
    meta = {"artist": "\u00c4rtist \u00dcn\u00efcode", "album": "Plain Album",
            "title": "T\u00eftle \u2603", "track": "5", "year": "2020"}
    run("ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "color=c=red:s=32x32", "-frames:v",
        "1", p("cover.jpg"))
    for version in ("3", "4"):
        name = f"ffmpeg_id3v2{version}.mp3"
        run("ffmpeg", "-v", "error", "-y", "-i", cbr.path, "-i", p("cover.jpg"), "-map", "0:a",
            "-map", "1:v", "-c", "copy", "-id3v2_version", version,
            "-metadata:s:v", "comment=Cover (front)",
            *sum((["-metadata", f"{k if k != 'year' else 'date'}={v}"] for k, v in meta.items()),
                 []), p(name))
        cases.append(Case(name, p(name), tags=meta, picture=p("cover.jpg")))
    with open(p("id3v2tool.mp3"), "wb") as f:
        f.write(base)
    # id3v2 writes ISO-8859-1 frames and an ID3v1 tag, whose comment is the one we read.
    run("id3v2", "-a", "Tool Artist", "-A", "Tool Album", "-t", "Caf\u00e9 Title", "-T", "9",
        "-y", "1999", "-c", "Tool comment", p("id3v2tool.mp3"))
    cases.append(Case("id3v2tool.mp3", p("id3v2tool.mp3"),
                      tags={"artist": "Tool Artist", "album": "Tool Album",
                            "title": "Caf\u00e9 Title", "track": "9", "year": "1999",
                            "comment": "Tool comment"}))

    # Streams that must be rejected.
    layer1_file(p("layer1.mp1"), 400)
    run("lame", "--quiet", "--freeformat", "-b", "320", source(44100, 2)[0], p("free.mp3"))
    for name in ("layer1.mp1", "free.mp3"):
        cases.append(Case(name, p(name), ok=0))
    return cases


def check(case, rec, probe_path):
    e, errors = case.expect, []

    def want(key, value):
        if rec[key] != str(value):
            errors.append(f"{key}={rec[key]}, expected {value}")

    want("ok", e.get("ok", 1))
    if e.get("ok", 1) == 0:
        return errors
    if "version" in e:
        for key, name in (("versionCode", "version"), ("layer", "layer"), ("sampleRate", "rate"),
                          ("channelMode", "mode"), ("vbrKind", "kind")):
            want(key, e[name])
        want("dwAudioBeg", e["beg"])
        want("id3v2Size", e.get("id3", 0))
        want("dwAudioEnd", os.path.getsize(case.path))
        if e.get("kbps") and e["kind"] == 0:
            want("bitrateKbps", e["kbps"])
        check_rate_and_length(e, rec, errors)
        check_lame(e, rec, errors)
    for key, value in e.get("tags", {}).items():
        want(key, value)
    if "picture" in e:
        out = case.path + ".picture"
        probe(probe_path, [case.path], picture_out=out)
        if not os.path.exists(out) or open(out, "rb").read() != open(e["picture"], "rb").read():
            errors.append("attached picture differs from the file given to the tagger")
    return errors


def check_rate_and_length(e, rec, errors):
    true_ms = e["frames"] * e["spf"] * 1000 / e["rate"]
    audio = int(rec["dwAudioEnd"]) - int(rec["dwAudioBeg"]) - e.get("trail", 0)
    true_rate = audio * 8000 / true_ms
    tolerance = {0: 0.005, 2: 0.02, 1: 0.25}[e["kind"]]
    if abs(float(rec["avgBitrate"]) - true_rate) > true_rate * tolerance:
        errors.append(f"avgBitrate={rec['avgBitrate']}, true {true_rate:.0f}")
    # Trailing bytes (an ID3v1 tag, junk) count as audio; a cut frame does not play.
    extra_ms = abs(e.get("trail", 0)) * 8000 / true_rate
    limit = true_ms * tolerance + extra_ms + 30
    if abs(int(rec["lengthMs"]) - true_ms) > limit:
        errors.append(f"lengthMs={rec['lengthMs']}, true {true_ms:.0f} (+-{limit:.0f})")


def check_lame(e, rec, errors):
    tag = e.get("lame")
    if tag is None:
        if rec["encoderId"] or rec["encoderDelay"] != "0":
            errors.append("encoder data without a LAME tag")
        return
    for key, value in (("encoderDelay", tag["delay"]), ("encoderPadded", tag["padding"]),
                       ("encoderId", tag["encoder"].replace(" ", "_"))):
        if rec[key] != str(value):
            errors.append(f"{key}={rec[key]}, LAME tag says {value}")
    # The tag itself is checked against the known length: delay + samples + padding = frames.
    if "samples" in e and tag["delay"] + e["samples"] + tag["padding"] != e["frames"] * e["spf"]:
        errors.append("LAME tag read by the test disagrees with the sample count")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--probe", required=True)
    ap.add_argument("--work", required=True)
    args = ap.parse_args()
    os.makedirs(args.work, exist_ok=True)
    cases = build(args.work, random.Random(4))
    records = probe(args.probe, [c.path for c in cases])
    failed = 0
    for case in cases:
        errors = check(case, records[case.path], args.probe)
        print(("FAIL " if errors else "ok   ") + case.name + ("".join("\n     " + x for x in errors)))
        failed += bool(errors)
    print(f"{len(cases) - failed} of {len(cases)} corpus files as expected")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
