#!/usr/bin/env python3
"""make_code_readings.py [DATA_DIR]

Writes DATA_DIR/code_readings.txt (content/data by default): the reading of every character of
the practice units' codes, which the review cards show under each letter. Re-run it after a code
changes (the build says so); it needs the pinyin command (Debian
golang-github-mozillazg-go-pinyin-dev), the build does not:

  python3 tools/make_code_readings.py

A character's usual reading is what `pinyin -s zhao` prints; a second reading of
DATA_DIR/readings.txt is added wherever the word that carries it stands in a code.
"""
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import gen_content  # noqa: E402

HEADER = """\
# Readings of the practice units' code characters, made by tools/make_code_readings.py.
# 字 reading       the usual reading, as `pinyin -s zhao 字` prints it
# 字 reading 词    a second reading (readings.txt), taken only where 词 stands in the code
"""


def usual_readings(chars):
    out = {}
    for i in range(0, len(chars), 400):
        chunk = chars[i:i + 400]
        got = subprocess.run(["pinyin", "-s", "zhao", "".join(chunk)], stdin=subprocess.DEVNULL,
                             capture_output=True, text=True, check=True).stdout.split()
        if len(got) != len(chunk):
            sys.exit(f"pinyin gave {len(got)} readings for {len(chunk)} characters")
        out.update((c, r.split(",")[0]) for c, r in zip(chunk, got))
    return out


def main():
    data = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "content" / "data")
    try:
        review = gen_content.build(data)[3]
    except gen_content.ContentError as e:
        sys.exit(f"error: {e}")
    codes = [code for unit in review["units"] for _, _, code in unit]
    chars = sorted(set("".join(codes)))
    usual = usual_readings(chars)
    seconds = []
    for _, line in gen_content.read_lines(data / "readings.txt"):
        parts = line.split("#", 1)[0].split()
        if len(parts) == 3 and parts[0] in parts[2] and any(parts[2] in c for c in codes):
            seconds.append(" ".join(parts))
    text = HEADER + "".join(f"{c} {usual[c]}\n" for c in chars) + "".join(f"{s}\n" for s in sorted(set(seconds)))
    (data / "code_readings.txt").write_text(text, encoding="utf-8")
    print(f"code_readings.txt: {len(chars)} characters, {len(seconds)} second readings")


if __name__ == "__main__":
    main()
