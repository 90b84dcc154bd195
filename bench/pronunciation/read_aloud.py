#!/usr/bin/python3
"""read_aloud.py [--jobs N] [--voice NAME ...] < export.json

How well the read-aloud window's voices can be understood: every English line of the fifty
stories (Stories table) is spoken by each voice and taken down by CMU PocketSphinx with its
default US English language model; prints each voice's word error rate, best first. Without
--voice: the flite voices the window loads, and espeak-ng's "en", which speech-dispatcher speaks
English with out of the box.

  build/tools/chenxing-export | bench/pronunciation/read_aloud.py

Debian: flite, espeak-ng, pocketsphinx-en-us, python3-pocketsphinx, sox. A benchmark: CI does
not run it.
"""
import argparse
import json
import os
import re
import sys
import tempfile
from multiprocessing import Pool

from listener import Listener
from voices import VOICES, speak

WINDOW_VOICES = ["flite slt", "flite kal16", "flite awb", "flite rms", "flite kal", "espeak-ng en"]

UNITS = "zero one two three four five six seven eight nine ten eleven twelve thirteen fourteen " \
        "fifteen sixteen seventeen eighteen nineteen".split()
TENS = "_ _ twenty thirty forty fifty sixty seventy eighty ninety".split()


def number_words(match):
    n = int(match.group())
    if n < 20:
        return UNITS[n]
    if n < 100:
        return TENS[n // 10] + ("" if n % 10 == 0 else " " + UNITS[n % 10])
    return match.group()


def words(text):
    """The words a listener should take down: lower case, digits spelt out, no punctuation."""
    text = re.sub(r"\d+", number_words, text.lower().replace("’", "'"))
    return re.sub(r"[^a-z' ]", " ", text).split()


def story_lines(export):
    table = next(t for t in export["tables"] if t["name"] == "Stories")
    return [line.strip() for row in table["rows"] for line in row["payloads"][0].split("\r")
            if line.strip()]


def errors(said, heard):
    """Word-level edit distance: substitutions, deletions and insertions."""
    row = list(range(len(heard) + 1))
    for i, s in enumerate(said, 1):
        previous, row[0] = row[0], i
        for j, h in enumerate(heard, 1):
            previous, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1, previous + (s != h))
    return row[-1]


_listener = None


def start_listener():
    global _listener
    _listener = Listener()


def listen(job):
    voice, line, wav = job
    speak(voice, line, wav)
    heard = _listener.hear(wav).split()
    os.remove(wav)
    said = words(line)
    return errors(said, heard), len(said)


def main():
    parser = argparse.ArgumentParser(usage=__doc__.strip().splitlines()[0])
    parser.add_argument("--voice", action="append", choices=sorted(VOICES), default=[])
    parser.add_argument("--jobs", type=int, default=2, help="lines handled side by side (default 2)")
    args = parser.parse_args()

    lines = story_lines(json.load(sys.stdin))
    results = []
    with tempfile.TemporaryDirectory() as tmp, Pool(args.jobs, start_listener) as pool:
        for voice in args.voice or WINDOW_VOICES:
            jobs = [(voice, line, os.path.join(tmp, f"{i}.wav")) for i, line in enumerate(lines)]
            counted = pool.map(listen, jobs)
            wrong, total = sum(c[0] for c in counted), sum(c[1] for c in counted)
            results.append((wrong / total, voice, wrong, total))
            print(f"{voice}: {wrong} errors in {total} words", file=sys.stderr, flush=True)
    print(f"word error rate on the {len(lines)} English lines of the stories:")
    for rate, voice, wrong, total in sorted(results):
        print(f"  {voice:18} {100 * rate:5.1f} %  ({wrong} of {total} words)")


if __name__ == "__main__":
    main()
