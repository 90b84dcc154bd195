#!/usr/bin/python3
"""recognise_words.py [--jobs N] (SOUND_DIR | --voice NAME ...) < export.json

How intelligible the recordings are, told by an independent listener: CMU PocketSphinx picks,
for each recording, one word out of every word of the sound table that its dictionary knows
(closed-set recognition). Prints the share of recordings heard as their own word and the words
missed. With --voice, the table is first spoken by that voice and finished as the recordings
maker finishes its files, so voices can be compared (names in voices.py; repeatable).

  build/tools/chenxing-export | bench/pronunciation/recognise_words.py build/sound
  build/tools/chenxing-export | bench/pronunciation/recognise_words.py --voice "flite slt"

Debian: pocketsphinx-en-us, python3-pocketsphinx, sox (and the voices' packages for --voice).
A benchmark: CI does not run it.
"""
import argparse
import json
import os
import sys
import tempfile
from multiprocessing import Pool

from listener import Listener, known_words
from voices import VOICES, speak

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import make_recordings  # noqa: E402  (the maker's finishing, for --voice)


def table_files(export):
    """Recording file (relative to the sound folder) -> the word it says."""
    return {"/".join(path.split("\\")[1:]): word
            for path, word in make_recordings.recordings(export).items()}


_listener = None


def start_listener(grammar):
    global _listener
    _listener = Listener(grammar)


def hear(path):
    return _listener.hear(path)


def record(job):
    voice, word, target = job
    os.makedirs(os.path.dirname(target), exist_ok=True)
    speak(voice, word, target + ".raw.wav")
    samples, rate = make_recordings.read_wave(target + ".raw.wav")
    make_recordings.write_wave(target, make_recordings.finish(samples, rate), rate)
    os.remove(target + ".raw.wav")


def measure(sound_dir, tried, grammar, jobs):
    paths = sorted(tried)
    with Pool(jobs, start_listener, (grammar,)) as pool:
        heard = pool.map(hear, [os.path.join(sound_dir, p) for p in paths], chunksize=8)
    missed = sorted((tried[p], got, p) for p, got in zip(paths, heard) if got != tried[p])
    return len(paths) - len(missed), missed


def main():
    parser = argparse.ArgumentParser(usage=__doc__.strip().splitlines()[0])
    parser.add_argument("sound_dir", nargs="?")
    parser.add_argument("--voice", action="append", choices=sorted(VOICES), default=[])
    parser.add_argument("--jobs", type=int, default=2, help="files handled side by side (default 2)")
    args = parser.parse_args()
    if bool(args.sound_dir) == bool(args.voice):
        parser.error("give either SOUND_DIR or --voice")

    files = table_files(json.load(sys.stdin))
    known = known_words()
    unknown = sorted({w.lower() for w in files.values() if w.lower() not in known})
    tried = {path: word.lower() for path, word in files.items() if word.lower() in known}

    with tempfile.TemporaryDirectory() as tmp:
        grammar = os.path.join(tmp, "words.gram")
        with open(grammar, "w", encoding="utf-8") as f:
            f.write("#JSGF V1.0;\ngrammar words;\npublic <word> = "
                    + " | ".join(sorted(set(tried.values()))) + ";\n")
        if unknown:
            print(f"not in the listener's dictionary, so not tried: {' '.join(unknown)}")
        for voice in args.voice or [None]:
            sound_dir = args.sound_dir
            if voice:
                sound_dir = os.path.join(tmp, "sound")
                with Pool(args.jobs) as pool:
                    pool.map(record, [(voice, word, os.path.join(sound_dir, path))
                                      for path, word in files.items()])
            else:
                absent = sorted(p for p in tried if not os.path.isfile(os.path.join(sound_dir, p)))
                if absent:
                    sys.exit(f"{len(absent)} recordings missing under {sound_dir}, first {absent[0]}")
            right, missed = measure(sound_dir, tried, grammar, args.jobs)
            print(f"{voice or sound_dir}: recognised {right} of {len(tried)}"
                  f" ({100.0 * right / len(tried):.1f} %)")
            for word, got, path in missed:
                print(f"  missed {word:14} heard {got or '(nothing)':14} {path}")
            sys.stdout.flush()


if __name__ == "__main__":
    main()
