#!/usr/bin/env python3
"""make_recordings.py SOUND_DIR < export.json

Speaks every word of the sound table with espeak-ng's British English voice into the file the
table names (sound/<letter>/<number>.wav): 16-bit PCM, leading silence trimmed. Files already
there are kept, so a second run costs nothing.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor


def recordings(export):
    table = next(t for t in export["tables"] if t["name"] == "SoundTable")
    files = {}
    for row in table["rows"]:
        # A capitalised key and its lower-case form share one file; speak the first one met.
        files.setdefault(row["payloads"][0], row["key"])
    return files


def make(word, target):
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "raw.wav")
        subprocess.run(["espeak-ng", "-v", "en-gb", "-s", "140", "-w", raw, word], check=True)
        part = target + ".part"
        subprocess.run(["sox", raw, "-b", "16", "-e", "signed-integer", "-t", "wav", part,
                        "silence", "1", "0.02", "0.5%"], check=True)
        os.replace(part, target)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[0])
    out = sys.argv[1]
    files = recordings(json.load(sys.stdin))
    todo = []
    for path, word in files.items():
        target = os.path.join(out, *path.split("\\")[1:])
        if not os.path.isfile(target):
            todo.append((word, target))
    missing = [tool for tool in ("espeak-ng", "sox") if not shutil.which(tool)]
    if todo and missing:
        sys.exit(f"make_recordings.py: needs {' and '.join(missing)} (Debian packages of the same names)")
    with ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        for f in [pool.submit(make, w, t) for w, t in todo]:
            f.result()
    print(f"recordings: {len(files)} files, {len(todo)} made now")


if __name__ == "__main__":
    main()
