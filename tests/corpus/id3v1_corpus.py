#!/usr/bin/env python3
"""Writes ID3v1 tags with `zuvo-probe id3v1` (the tag editor's build and write) into MP3 files
made by lame, and lets independent readers judge them: mutagen (`mutagen-inspect`) and ffprobe
read back what was entered, the audio bytes before the tag keep their MD5, saving twice
replaces the tag, and removing leaves exactly the audio bytes. Also the raw ID3v2 view
(`zuvo-probe id3v2-view`) of files tagged by `id3v2` (version 2.3) and by mutagen's `mid3v2`
(version 2.4, with a picture) shows their frames.

    id3v1_corpus.py --probe build/native/src/probe/zuvo-probe --work build/native/tests/corpus/id3v1
"""
import argparse
import hashlib
import json
import os
import shutil
import subprocess
import sys

# title, artist, album, year, comment, track, genre -> what the readers must show.
CASES = [
    ("plain v1.1", ["Song", "Band", "Album", "1999", "Nice", "7", "Pop/Funk"],
     {"title": "Song", "artist": "Band", "album": "Album", "date": "1999", "comment": "Nice",
      "track": "7", "genre": "Pop/Funk"}),
    # mutagen takes the last comment byte as a track number whenever it is not 0 (it ignores
    # byte 125), so only ffprobe judges the comment and track of this one.
    ("30-character comment without a track", ["T", "A", "B", "2020", "c" * 30, "0", "Psybient"],
     {"title": "T", "comment": "c" * 30, "genre": "Psybient", "track": None}),
    ("a track cuts the comment to 28", ["T", "A", "B", "2020", "d" * 30, "12", ""],
     {"comment": "d" * 28, "track": "12", "genre": None}),
    ("long fields are cut at 30", ["t" * 40, "a" * 31, "", "", "", "0", "Blues"],
     {"title": "t" * 30, "artist": "a" * 30, "genre": "Blues"}),
]
FFPROBE_KEYS = {"title", "artist", "album", "date", "comment", "track", "genre"}
INSPECT = {"title": "TIT2", "artist": "TPE1", "album": "TALB", "date": "TDRC", "track": "TRCK",
           "genre": "TCON"}


def run(*cmd):
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def ffprobe_tags(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format_tags", "-of", "json",
                          path], check=True, capture_output=True, text=True).stdout
    return json.loads(out).get("format", {}).get("tags", {})


def inspect_tags(path):
    """{frame: text} from mutagen-inspect's "FRAME=text" lines."""
    out = subprocess.run(["mutagen-inspect", path], check=True, capture_output=True).stdout
    tags = {}
    for line in out.decode("utf-8", "replace").splitlines():
        if "=" in line and line[:4].isalnum() and line[:4].isupper():
            key, value = line.split("=", 1)
            tags[key] = value
    return tags


def md5(data):
    return hashlib.md5(data).hexdigest()


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--probe", required=True)
    p.add_argument("--work", required=True)
    args = p.parse_args()
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    wav, mp3 = os.path.join(args.work, "src.wav"), os.path.join(args.work, "src.mp3")
    run("sox", "-D", "-r", "44100", "-c", "2", "-n", "-b", "16", wav, "synth", "2", "sine",
        "200-3000", "vol", "0.5")
    run("lame", "--quiet", "-b", "128", wav, mp3)
    audio = open(mp3, "rb").read()
    failures = []

    def check(name, cond, detail):
        if not cond:
            failures.append(f"{name}: {detail}")

    for name, fields, want in CASES:
        path = os.path.join(args.work, "t.mp3")
        with open(path, "wb") as f:
            f.write(audio)
        run(args.probe, "id3v1", path, *fields)
        run(args.probe, "id3v1", path, *fields)  # a second save replaces, never appends
        data = open(path, "rb").read()
        check(name, len(data) == len(audio) + 128, f"{len(data) - len(audio)} bytes added")
        check(name, md5(data[:len(audio)]) == md5(audio), "audio bytes changed")
        ff, mu = ffprobe_tags(path), inspect_tags(path)
        for key, value in want.items():
            check(name, ff.get(key) == value, f"ffprobe {key}={ff.get(key)!r}, want {value!r}")
            if key == "comment":
                got = mu.get("COMM", "").split("=")[-1] or None
            else:
                got = mu.get(INSPECT[key])
            if not (name.startswith("30-character") and key in ("comment", "track")):
                check(name, got == value, f"mutagen {key}={got!r}, want {value!r}")
        run(args.probe, "id3v1", "--remove", path)
        check(name, open(path, "rb").read() == audio, "removing left other bytes than the audio")

    # 8-bit text: the editor writes the ANSI bytes as they are; mutagen reads ID3v1 as Latin-1.
    path = os.path.join(args.work, "latin.mp3")
    with open(path, "wb") as f:
        f.write(audio)
    subprocess.run([args.probe, "id3v1", path, b"Caf\xe9", b"Bj\xf6rk", b"", b"", b"", b"1", b""],
                   check=True)
    check("latin-1", inspect_tags(path).get("TIT2") == "Café", str(inspect_tags(path)))

    # The raw view of tags written by other tools.
    v23, v24 = os.path.join(args.work, "v23.mp3"), os.path.join(args.work, "v24.mp3")
    pic = os.path.join(args.work, "pic.jpg")
    with open(pic, "wb") as f:
        f.write(b"\xff\xd8" + bytes(range(256)) * 8 + b"\xff\xd9")
    for path in (v23, v24):
        with open(path, "wb") as f:
            f.write(audio)
    run("id3v2", "-2", "-t", "My Title", "-a", "The Artist", "-y", "2001", "-c", "one line", v23)
    run("mid3v2", "-t", "Mut Title", "--TXXX", "mood:calm", "--WOAR", "http://band.example/",
        "-p", pic + "::3:image/jpeg", v24)
    views = {
        v23: ["ID3v2.3 raw strings", "TIT2\tMy Title", "TPE1\tThe Artist", "TYER\t2001",
              "COMM\tone line", "picture: 0 bytes"],
        v24: ["ID3v2.4 raw strings", "TIT2\tMut Title", "TXXX\tcalm", "WOAR\thttp://band.example/",
              # The frame's body (encoding, "image/jpeg" and its NUL, type, empty description,
              # the bytes) less a header's 10 bytes, as the view has always counted it.
              "picture: %d bytes" % (os.path.getsize(pic) + len("image/jpeg") + 4 - 10)],
    }
    for path, lines in views.items():
        shown = subprocess.run([args.probe, "id3v2-view", path], check=True, capture_output=True,
                               text=True).stdout
        for line in lines:
            check("raw view " + os.path.basename(path), line in shown, f"no {line!r} in {shown!r}")

    for f in failures:
        print("FAIL", f)
    print(f"{len(CASES) + 3} cases, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
