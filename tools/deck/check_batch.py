#!/usr/bin/env python3
"""Checks deck files (content/data/deck/uNNN-NNN.txt) for what a machine can check.

check_batch.py FILE...   prints file:line: problem for each fault; exit 1 if any

Words and order against wordlist.txt, the record's fields, parts of speech, the transcription
alphabet, the sentence (length, the word in it), GBK, and each code against the letter table
under the usual readings of the `pinyin` command (through the hanzima helper's rules).
"""
import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
DECK = ROOT / "content" / "data" / "deck"
POS = {"n.", "v.", "vt.", "vi.", "adj.", "adv.", "prep.", "conj.", "pron.", "art.", "num.", "int.", "aux.", "det."}
ALPHABET = set("5:ABCEFIJNQRTVW\\^abdefhijklmnprstuvwz()")


def letter_of(syl):
    s = syl.replace("ü", "v")
    if s.startswith("z"):
        return "Z" if s in ("zhou", "zou") else "A"
    if s.startswith("j"):
        return "J" if s.startswith("ju") else "E"
    if s.startswith("y"):
        return "Y" if s.startswith("yu") else "I"
    if s.startswith("q"):
        return "Q" if s == "qiu" else "O"
    if s.startswith("x"):
        return "X" if s.startswith("xu") else "U"
    if s[0] in "aeo":
        return "V"
    return s[0].upper()


def usual_readings(chars):
    chars = sorted(set(chars))
    out = {}
    for i in range(0, len(chars), 400):
        chunk = chars[i:i + 400]
        got = subprocess.run(["pinyin", "-s", "zhao", "".join(chunk)], capture_output=True, text=True).stdout.split()
        if len(got) != len(chunk):
            got = [(subprocess.run(["pinyin", "-s", "zhao", c], capture_output=True, text=True).stdout.split() or ["?"])[0]
                   for c in chunk]
        out.update(zip(chunk, got))
    return out


def forms(word):
    w = word.lower()
    stems = {w, w + "s", w + "es", w + "ed", w + "d", w + "ing", w + "er", w + "est", w + "'s"}
    if w.endswith("e"):
        stems |= {w[:-1] + "ing", w[:-1] + "ed"}
    if w.endswith("y"):
        stems |= {w[:-1] + "ies", w[:-1] + "ied", w[:-1] + "ier", w[:-1] + "iest"}
    if len(w) > 2 and w[-1] not in "aeiouwxy" and w[-2] in "aeiou":
        stems |= {w + w[-1] + "ing", w + w[-1] + "ed", w + w[-1] + "er"}
    return stems


def main(files):
    order = {}
    for line in (DECK / "wordlist.txt").read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            unit, word = line.split()
            order.setdefault(int(unit), []).append(word)
    problems = []
    codes = []
    for f in files:
        path = Path(f)
        m = re.fullmatch(r"u(\d{3})-(\d{3})\.txt", path.name)
        if not m:
            problems.append(f"{f}: name is not uNNN-NNN.txt")
            continue
        expected = [w for u in range(int(m.group(1)), int(m.group(2)) + 1) for w in order.get(u, [])]
        records = []
        for n, line in enumerate(path.read_text(encoding="utf-8").split("\n"), 1):
            where = f"{f}:{n}"
            if not line or line.startswith("#"):
                continue
            try:
                line.encode("gbk")
            except UnicodeEncodeError as e:
                problems.append(f"{where}: not GBK: {line[e.start:e.end]!r}")
            tag, _, rest = line.partition(" ")
            if tag == "@":
                parts = [p.strip() for p in rest.split("|")]
                if len(parts) != 4 or not all(parts):
                    problems.append(f"{where}: expected '@ word | pos | meaning | code'")
                    parts = (parts + ["", "", "", ""])[:4]
                records.append({"word": parts[0], "line": n, "fields": {"@"}})
                if parts[1] not in POS:
                    problems.append(f"{where}: part of speech {parts[1]!r}")
                codes.append((where, parts[0], parts[3]))
            elif not records:
                problems.append(f"{where}: line before the first '@'")
                continue
            elif tag in "/><":
                r = records[-1]
                if tag in r["fields"]:
                    problems.append(f"{where}: a second '{tag}' line")
                r["fields"].add(tag)
                if tag == "/" and (set(rest) - ALPHABET or not rest):
                    problems.append(f"{where}: transcription has {''.join(sorted(set(rest) - ALPHABET))!r}")
                if tag == ">":
                    words = re.findall(r"[A-Za-z']+", rest)
                    if len(words) > 12:
                        problems.append(f"{where}: sentence of {len(words)} words")
                    if not forms(r["word"]) & {w.lower() for w in words}:
                        problems.append(f"{where}: '{r['word']}' is not in the sentence")
            elif tag == "+":
                parts = [p.strip() for p in rest.split("|")]
                if len(parts) != 3 or not all(parts) or parts[1] not in POS:
                    problems.append(f"{where}: expected '+ word | pos | meaning'")
            else:
                problems.append(f"{where}: unknown line")
        for r in records:
            missing = {"@", "/", ">", "<"} - r["fields"]
            if missing:
                problems.append(f"{f}:{r['line']}: {r['word']} lacks {''.join(sorted(missing))}")
        got = [r["word"] for r in records]
        if got != expected:
            extra = [w for w in got if w not in expected]
            lacking = [w for w in expected if w not in got]
            problems.append(f"{f}: words differ from wordlist.txt: missing {lacking[:8]}, extra {extra[:8]}"
                            + ("" if extra or lacking else " (order)"))
    usual = usual_readings("".join(c for _, _, code in codes for c in code))
    for where, word, code in codes:
        letters = [c for c in word.upper() if c.isalpha()]
        if len(code) != len(letters):
            problems.append(f"{where}: {word} {code}: {len(code)} characters for {len(letters)} letters")
            continue
        for ch, L in zip(code, letters):
            r = usual.get(ch, "?")
            if r == "?" or letter_of(r) != L:
                problems.append(f"{where}: {word} {code}: {ch} reads {r}, should give {L}")
    for p in problems:
        print(p)
    print(f"{len(codes)} records, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
