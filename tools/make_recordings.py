#!/usr/bin/env python3
"""make_recordings.py SOUND_DIR [RESPELLINGS] < export.json

Speaks every word of the sound table into the file the table names (sound/<letter>/<number>.wav),
and each review card of units 013-024 into the file the card names (sound/review/<letter>/<word>.wav),
with flite's awb voice: 16-bit PCM mono at the voice's 16 kHz, silence before and after trimmed,
every word at the same loudness. Words in RESPELLINGS (content/data/respellings.txt by default)
are spoken from the phones given there. SOUND_DIR/voice.txt records the voice and what each file
says; files that match it are kept, so a second run costs nothing, and a change of voice, of
processing or of a respelling makes the files concerned again.
"""
import array
import json
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import wave
from concurrent.futures import ThreadPoolExecutor

# The voice, and how its output is finished. Changing either remakes every recording.
VOICE = "awb"
MADE_BY = f"flite {VOICE}; speech at -21 dBFS, peaks below -1 dBFS; silence trimmed to 50 ms"
STAMP = "voice.txt"

FRAME_SECONDS = 0.005
EDGE_DB = -40.0         # sound this far below the loudest frame, at either end, counts as silence
MARGIN_SECONDS = 0.05   # kept before the first and after the last sound: a soft h, f or th starts
                        # below the edge level
FADE_SECONDS = 0.005
SPEECH_DB = -20.0       # frames within this of the loudest one are the speech that loudness is
                        # measured on
LOUDNESS_DBFS = -21.0
PEAK_DBFS = -1.0

# The voice's phone set (CMU): vowels carry 1 (stressed) or 0 (unstressed).
VOWELS = {"aa", "ae", "ah", "ao", "aw", "ax", "ay", "eh", "er", "ey", "ih", "iy", "ow", "oy",
          "uh", "uw"}
CONSONANTS = {"b", "ch", "d", "dh", "f", "g", "hh", "jh", "k", "l", "m", "n", "ng", "p", "r", "s",
              "sh", "t", "th", "v", "w", "y", "z", "zh"}


def recordings(export):
    """Recording path as the table has it -> the word it says."""
    table = next(t for t in export["tables"] if t["name"] == "SoundTable")
    files = {}
    for row in table["rows"]:
        # A capitalised key and its lower-case form share one file; speak the first one met.
        files.setdefault(row["payloads"][0], row["key"])
    return files


def review_recordings(export):
    """The review cards' own recordings (the dictionary words' cards use the sound table's)."""
    return {c["recording"]: c["word"] for c in export.get("ReviewCards", [])
            if c["recording"].startswith("sound/review/")}


def read_respellings(path, words):
    """word -> phones, from lines "word  phones  # note"; a malformed line stops the build."""
    respelt = {}
    if not os.path.isfile(path):
        return respelt
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            text = line.split("#", 1)[0].split()
            if not text:
                continue
            word, phones = text[0], text[1:]

            def fail(why):
                sys.exit(f"{path}:{number}: {why}")

            if word not in words:
                fail(f"{word} is not a recorded word")
            if word in respelt:
                fail(f"{word} is respelt twice")
            if not phones:
                fail(f"{word} has no phones")
            for p in phones:
                vowel = re.fullmatch(r"([a-z]+)([01])", p)
                if not (p in CONSONANTS or (vowel and vowel.group(1) in VOWELS)):
                    fail(f"{p} is not a phone (vowels end in 1 or 0)")
            if not any(p.endswith("1") for p in phones):
                fail(f"{word} has no stressed vowel")
            respelt[word] = " ".join(phones)
    return respelt


def finish(samples, rate):
    """Trims the silence at both ends and brings the speech to the common loudness."""
    frame = max(1, int(rate * FRAME_SECONDS))
    frames = [samples[i:i + frame] for i in range(0, len(samples), frame)]
    peaks = [max(map(abs, f)) for f in frames]
    top = max(peaks, default=0)
    if top == 0:
        raise ValueError("the voice made no sound")
    edge = top * 10 ** (EDGE_DB / 20)
    loud = [i for i, p in enumerate(peaks) if p >= edge]
    margin = int(rate * MARGIN_SECONDS)
    start = max(0, loud[0] * frame - margin)
    end = min(len(samples), (loud[-1] + 1) * frame + margin)
    cut = samples[start:end]

    energies = [sum(x * x for x in f) / len(f) for f in frames]
    speech = [e for e in energies if e >= max(energies) * 10 ** (SPEECH_DB / 10)]
    rms = math.sqrt(sum(speech) / len(speech))
    gain = min(32767 * 10 ** (LOUDNESS_DBFS / 20) / rms, 32767 * 10 ** (PEAK_DBFS / 20) / top)

    fade = int(rate * FADE_SECONDS)
    out = array.array("h", bytes(2 * len(cut)))
    for i, x in enumerate(cut):
        ramp = min(1.0, (i + 1) / fade, (len(cut) - i) / fade)
        out[i] = int(round(x * gain * ramp))
    return out


def read_wave(path):
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2 or w.getnchannels() != 1:
            raise ValueError(f"{path}: expected 16-bit mono")
        samples = array.array("h", w.readframes(w.getnframes()))
        if sys.byteorder == "big":
            samples.byteswap()
        return samples, w.getframerate()


def write_wave(path, samples, rate):
    if sys.byteorder == "big":
        samples = array.array("h", samples)
        samples.byteswap()
    part = path + ".part"
    with wave.open(part, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(samples.tobytes())
    os.replace(part, path)


def speak(word, phones, target):
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "raw.wav")
        command = ["flite", "-voice", VOICE]
        if phones:
            # The word's entry in the voice's lexicon, for this one utterance.
            lexicon = os.path.join(tmp, "lexicon")
            with open(lexicon, "w", encoding="utf-8") as f:
                f.write(f"{word.lower()} : {phones}\n")
            command += ["-add_lex", lexicon]
        subprocess.run(command + ["-t", word, "-o", raw], check=True, timeout=60)
        samples, rate = read_wave(raw)
        write_wave(target, finish(samples, rate), rate)


def read_stamp(path):
    """(who made the files, file -> what it says) as the last run left them."""
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    except FileNotFoundError:
        return None, {}
    if not lines:
        return None, {}
    said = dict(line.split("\t", 1) for line in lines[1:] if "\t" in line)
    return lines[0], said


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__.strip().splitlines()[0])
    out = sys.argv[1]
    respellings = sys.argv[2] if len(sys.argv) == 3 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "content", "data", "respellings.txt")
    export = json.load(sys.stdin)
    review = review_recordings(export)
    files = {**recordings(export), **review}
    respelt = read_respellings(respellings, set(files.values()))

    stamp = os.path.join(out, STAMP)
    made_by, said = read_stamp(stamp)
    todo = []
    saying = {}
    for path, word in files.items():
        name = "/".join(re.split(r"[\\/]", path)[1:])  # relative to the sound folder
        saying[name] = respelt.get(word, word)
        target = os.path.join(out, *name.split("/"))
        if made_by != MADE_BY or said.get(name) != saying[name] or not os.path.isfile(target):
            todo.append((word, respelt.get(word), target))
    missing = [tool for tool in ("flite",) if not shutil.which(tool)]
    if todo and missing:
        sys.exit(f"make_recordings.py: needs {' and '.join(missing)} (Debian packages of the same names)")

    os.makedirs(out, exist_ok=True)
    # An interrupted run leaves the old record, which disagrees with every file it was to make.
    with ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        for f in [pool.submit(speak, *job) for job in todo]:
            f.result()
    if todo or made_by != MADE_BY or said != saying:
        with open(stamp + ".part", "w", encoding="utf-8") as f:
            f.write(MADE_BY + "\n" + "".join(f"{n}\t{s}\n" for n, s in sorted(saying.items())))
        os.replace(stamp + ".part", stamp)
    print(f"recordings: {len(files)} files ({len(review)} for the review cards), {len(todo)} made now "
          f"by flite {VOICE}, {len(respelt)} respelt")


if __name__ == "__main__":
    main()
