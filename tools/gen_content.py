#!/usr/bin/env python3
"""Builds the constant content tables from content/data/*.txt.

gen_content.py DATA_DIR OUT_CPP [CARDS_CPP]

Validates every record (errors name file:line and stop the build) and writes one C++ file whose
tables are string_view rows in static storage. Layouts that follow from the data (word and code
sheets, vocabulary units, contents pages, navigation rows, twin rows) are computed here.
CARDS_CPP receives the review program's cards (review/cards.h): the words of the practice units,
each code letter with the reading that gives it (content/data/code_readings.txt).
"""
import re
import sys
from pathlib import Path

LABELS = ("n.", "adj.", "vt.", "v.", "vi.", "adv.", "pron.", "num.", "prep.", "int.")
GLOSS_LABELS = ("(a) art.", "modal v.", "n.", "adj.", "vt.", "adv.", "vi.", "v.", "pron.", "prep.",
                "conj.", "num.", "vbl.", "int.", "art.", "aux.", "abbr.")
PHONETIC_CHARS = set("5`9:ABCEFIJNQRTVW\\^abdefhijklmnprstuvwz()")


class ContentError(Exception):
    pass


def fail(path, line, msg):
    raise ContentError(f"{path}:{line}: {msg}")


def gbk_width(text):
    return len(text.encode("gbk"))


def check_text(path, line, text):
    if "\n" in text or "\t" in text:
        fail(path, line, "line feed or tab in content")
    try:
        text.encode("gbk")
    except UnicodeEncodeError as e:
        fail(path, line, f"character {text[e.start]!r} cannot be written in GBK")


def read_lines(path):
    with open(path, encoding="utf-8") as f:
        for n, raw in enumerate(f, 1):
            yield n, raw.rstrip("\n").rstrip("\r")


def records(path):
    """Splits a file into records that start with '@ '; '#' lines outside '|' text are comments."""
    out, cur = [], None
    for n, line in read_lines(path):
        if line.startswith("@ "):
            cur = {"head": line[2:], "line": n, "lines": []}
            out.append(cur)
        elif line.startswith("|") or (line.strip() and not line.startswith("#")):
            if cur is None:
                fail(path, n, "text before the first '@' record")
            cur["lines"].append((n, line))
    return out


# ---------------------------------------------------------------- dictionary

HEADLINE = re.compile(r"([A-Za-z]+)  ([^\s/]+)/(\S+)")


def parse_headline(path, n, text):
    m = HEADLINE.fullmatch(text)
    if not m:
        fail(path, n, f"headword line must be 'word  meaning/code': {text!r}")
    word, meaning, code = m.groups()
    if len(code) != len(word):
        fail(path, n, f"code {code} has {len(code)} characters for the {len(word)} letters of {word}")
    check_text(path, n, text)
    return word, meaning, code


def parse_words(path):
    words = []
    for rec in records(path):
        n = rec["line"]
        word, meaning, code = parse_headline(path, n, rec["head"])
        phon, body = [], []
        for ln, line in rec["lines"]:
            if line.startswith("= "):
                parts = line[2:].split(" ", 3)
                if len(parts) == 2 and parts[1] == "-":
                    phon.append({"key": parts[0], "empty": True, "line": ln})
                    continue
                if len(parts) != 4:
                    fail(path, ln, "phonetic row must be '= KEY SPACING WORDPART TRANSCRIPTION'")
                key, spacing, wordpart, trans = parts
                if spacing not in ("3", "4", "4/5"):
                    fail(path, ln, f"spacing {spacing!r} must be 3, 4 or 4/5")
                if wordpart.lower() != key.lower():
                    fail(path, ln, f"word part {wordpart} does not spell {key}")
                bad = set(trans) - PHONETIC_CHARS - {",", ";", " "}
                if bad:
                    fail(path, ln, f"characters outside the phonetic alphabet: {''.join(sorted(bad))}")
                if any(not t for t in re.split(r"[,;] ", trans)) or re.search(r"[,;](?! )|  ", trans):
                    fail(path, ln, f"pronunciations are separated by ', ' or '; ': {trans!r}")
                phon.append({"key": key, "spacing": spacing, "wordpart": wordpart, "trans": trans,
                             "empty": False, "line": ln})
            elif line.startswith("|"):
                check_text(path, ln, line[1:])
                body.append((ln, line[1:]))
            else:
                fail(path, ln, "expected '= ' phonetic row or '|' entry line")
        if not phon or phon[0]["key"] != word or phon[0]["empty"]:
            fail(path, n, f"the first phonetic row must be the headword {word}'s own")
        if not body or body[0][1] != "" or body[-1][1] == "":
            fail(path, n, "the entry body must begin with an empty line and end with a text line")
        derived = []
        for i, (ln, text) in enumerate(body):
            if not text:
                continue
            m = re.fullmatch(r"([A-Za-z][A-Za-z-]*) ?（.+）", text)
            if m and i >= 1 and body[i - 1][1] == "":
                derived.append(m.group(1))
            elif not m and not text.startswith(LABELS):
                fail(path, ln, f"neither a part-of-speech line nor a derived-word line: {text!r}")
        for p in phon[1:]:
            if p["key"] not in derived and p["key"].lower() not in [d.lower() for d in derived]:
                fail(path, p["line"], f"{p['key']} has a phonetic row but no derived-word block")
        entry = "\r" + "\r".join([rec["head"]] + [t for _, t in body])
        words.append({"word": word, "meaning": meaning, "code": code, "headline": rec["head"],
                      "entry": entry, "phon": phon, "derived": derived, "line": n})
    return words


def phonetic_line(p, spacing, first_sense_only=False):
    """Pronunciations of different senses ('; ' in the data) are all shown by the typed lookup; the
    word list keeps to one line per word and shows the first sense's, the headword meaning's."""
    if p["empty"]:
        return ""
    before, after = {"3": (3, 3), "4": (4, 4), "4/5": (4, 5)}[spacing]
    senses = p["trans"].split("; ")
    trans = senses[0] if first_sense_only else ", ".join(senses)
    return f"{p['wordpart']}{' ' * before}/{' ' * after}{trans}"


def twin(key):
    """A capitalised key is also looked up in lower case."""
    return key.lower() if key[0].isupper() else None


# ---------------------------------------------------------------- output

class Emitter:
    def __init__(self):
        self.lines = []
        self.strings = {}  # text -> variable name; each distinct payload is stored once

    def literal(self, text):
        out = ['"']
        for ch in text:
            if ch == "\r":
                out.append("\\r")
            elif ch == '"':
                out.append('\\"')
            elif ch == "\\":
                out.append("\\\\")
            elif ch == "?":
                out.append("\\?")
            else:
                out.append(ch)
        out.append('"')
        return "".join(out)

    def string(self, text):
        if text not in self.strings:
            name = f"s{len(self.strings)}"
            self.strings[text] = name
            self.lines.append(f"constexpr std::string_view {name} = {self.literal(text)}sv;")
        return self.strings[text]

    def table(self, ident, name, source, targets, rows):
        """rows: list of (key, [payload texts]); payloads may be fewer than targets."""
        row_items = []
        for i, (key, payloads) in enumerate(rows):
            refs = ", ".join(self.string(p) for p in payloads)
            self.lines.append(f"constexpr std::string_view {ident}_r{i}[] = {{{refs}}};")
            row_items.append(f"{{{self.literal(key)}sv, {ident}_r{i}}}")
        self.lines.append(f"constexpr std::string_view {ident}_targets[] = {{"
                          + ", ".join(self.literal(t) + "sv" for t in targets) + "};")
        if row_items:
            self.lines.append(f"constexpr Row {ident}_rows[] = {{\n    " + ",\n    ".join(row_items) + "};")
        else:
            self.lines.append(f"constexpr std::span<const Row> {ident}_rows{{}};")
        self.lines.append(f"}} // namespace\nconst KeyedTextTable {ident}{{{self.literal(name)}sv, "
                          f"{self.literal(source)}sv, {ident}_targets, {ident}_rows}};\nnamespace {{")


def build(data):
    data = Path(data)
    em = Emitter()
    tables = []   # identifiers, in export order
    texts = []    # (name, text)

    # --- dictionary
    words = parse_words(data / "words.txt")
    seen = {}
    for w in words:
        if w["word"] in seen:
            fail(data / "words.txt", w["line"], f"{w['word']} also at line {seen[w['word']]}")
        seen[w["word"]] = w["line"]
    entry_rows, phon_rows, list_rows = [], [], []
    for w in words:
        keys = [w["word"]] + ([twin(w["word"])] if twin(w["word"]) else [])
        entry_rows += [(k, [w["entry"]]) for k in keys]
    for w in words:
        for p in w["phon"]:
            line = phonetic_line(p, p.get("spacing", "3"))
            phon_rows += [(k, [line]) for k in [p["key"]] + ([twin(p["key"])] if twin(p["key"]) else [])]
    for w in sorted(words, key=lambda w: w["word"].lower()):
        list_rows.append((w["word"], [w["word"], phonetic_line(w["phon"][0], "3", first_sense_only=True), w["entry"]]))
    em.table("TypedEntryTable", "TypedEntryTable", "TForm1.ComboBox1", ["TForm1.Memo1"], entry_rows)
    em.table("TypedPhoneticTable", "TypedPhoneticTable", "TForm1.ComboBox1", ["TForm1.Memo2"], phon_rows)
    em.table("WordListTable", "WordListTable", "TForm1.ListBox1",
             ["TForm1.ComboBox1", "TForm1.Memo2", "TForm1.Memo1"], list_rows)
    tables += ["TypedEntryTable", "TypedPhoneticTable", "WordListTable"]

    # --- recordings
    sound_path = data / "sound.txt"
    rows, numbers = [], {}
    if sound_path.exists():
        for n, line in read_lines(sound_path):
            if not line.strip() or line.startswith("#"):
                continue
            m = re.fullmatch(r"([A-Za-z]+) (\d{3})", line)
            if not m:
                fail(sound_path, n, "expected 'word NNN'")
            key, num = m.groups()
            folder = key[0].lower()
            path = f"sound\\{folder}\\{num}.wav"
            owner = numbers.setdefault(path, key.lower())
            if owner != key.lower():
                fail(sound_path, n, f"{path} already belongs to {owner}")
            rows.append((key, [path]))
    em.table("SoundTable", "SoundTable", "TForm1.ComboBox1", ["play"], rows)
    tables.append("SoundTable")

    # --- practice units: 001-012 from the dictionary in list order, then the further words
    listed = sorted(words, key=lambda w: w["word"].lower())
    unit_words = [(w["word"], w["meaning"], w["code"]) for w in listed]
    written = {w["word"]: (data / "words.txt", w["line"]) for w in words}  # where each word stands
    practice_path = data / "practice.txt"
    if practice_path.exists():
        for rec in records(practice_path):
            if rec["lines"]:
                fail(practice_path, rec["lines"][0][0], "practice words have only a headword line")
            word, meaning, code = parse_headline(practice_path, rec["line"], rec["head"])
            if word in seen:
                fail(practice_path, rec["line"], f"{word} already has a dictionary entry")
            unit_words.append((word, meaning, code))
            written.setdefault(word, (practice_path, rec["line"]))
    if len({w for w, _, _ in unit_words}) != len(unit_words):
        fail(practice_path, 0, "a practice word occurs twice")
    units = [unit_words[i:i + 27] for i in range(0, len(unit_words) - len(unit_words) % 27, 27)]
    em.table("UnitWordSheets", "UnitWordSheets", "TForm3.ComboBox1", ["TForm3.Memo1"],
             [(f"{i + 1:03d}", [word_sheet(f"{i + 1:03d}", u)]) for i, u in enumerate(units)])
    em.table("UnitCodeSheets", "UnitCodeSheets", "TForm3.ComboBox2", ["TForm3.Memo2"],
             [(f"{i + 1:03d}", [code_sheet(f"{i + 1:03d}", u)]) for i, u in enumerate(units)])
    tables += ["UnitWordSheets", "UnitCodeSheets"]

    # --- stories
    stories_path = data / "stories.txt"
    stories = parse_stories(stories_path) if stories_path.exists() else []
    titles = [(s["key"], s["title"], s["zhtitle"]) for s in stories]
    titles_path = data / "titles.txt"
    if titles_path.exists():
        for n, line in read_lines(titles_path):
            if not line.strip() or line.startswith("#"):
                continue
            m = re.fullmatch(r"(\d{3}) (.+?) \| (.+)", line)
            if not m or int(m.group(1)) != len(titles) + 1:
                fail(titles_path, n, f"expected '{len(titles) + 1:03d} English title | 中文标题'")
            check_text(titles_path, n, line)
            titles.append(m.groups())
    contents_en = "\r" + "".join(f"     {k} {en}\r\r" for k, en, _ in titles)[:-1]
    contents_zh = "\r" + "".join(f"     {k} {zh}\r\r" for k, _, zh in titles)[:-1]
    units_rows = vocabulary_units(stories)
    gloss_path = data / "glossary.txt"
    story_rows = [(s["key"], [s["en"], s["zh"]]) for s in stories]
    em.table("VocabularyUnits", "VocabularyUnits", "TForm4.ComboBox1", ["TForm4.Memo1"], units_rows)
    em.table("StoryGlossary", "StoryGlossary", "TForm4.ComboBox1", ["TForm4.Memo2"],
             parse_glossary(gloss_path) if gloss_path.exists() else [])
    em.table("ContentsPage", "ContentsPage", "TForm4.ComboBox1", ["TForm4.Memo1", "TForm4.Memo2"],
             [("000", [contents_en, contents_zh])] if titles else [])
    em.table("Stories", "Stories", "TForm4.ComboBox1", ["TForm4.Memo1", "TForm4.Memo2"], story_rows)
    tables += ["VocabularyUnits", "StoryGlossary", "ContentsPage", "Stories"]
    # Navigation: each row writes the box, then the panes that typing the new key would write.
    # Forward steps list their keys descending and backward steps ascending, so one pass moves one step.
    unit_payload = dict(units_rows)
    page = {"000": [contents_en, contents_zh]}
    page.update({k: v for k, v in story_rows})
    ukeys = [k for k, _ in units_rows]
    skeys = (["000"] if titles else []) + [k for k, _ in story_rows]
    nxt = [(a, [b] + unit_payload[b]) for a, b in reversed(list(zip(ukeys, ukeys[1:])))]
    nxt += [(a, [b] + page[b]) for a, b in reversed(list(zip(skeys, skeys[1:])))]
    prv = [(b, [a] + unit_payload[a]) for a, b in zip(ukeys, ukeys[1:])]
    prv += [(b, [a] + page[a]) for a, b in zip(skeys, skeys[1:])]
    targets = ["TForm4.ComboBox1", "TForm4.Memo1", "TForm4.Memo2"]
    em.table("NextSteps", "NextSteps", "TForm4.ComboBox1", targets, nxt)
    em.table("PreviousSteps", "PreviousSteps", "TForm4.ComboBox1", targets, prv)
    tables += ["NextSteps", "PreviousSteps"]

    # --- fixed texts
    pages_path = data / "pages.txt"
    for rec in records(pages_path):
        name = rec["head"].strip()
        if " same " in name:
            name, other = name.split(" same ")
            found = [t for n, t in texts if n == other]
            if not found:
                fail(pages_path, rec["line"], f"{other} must stand before {name}")
            texts.append((name, found[0]))
            continue
        lines = []
        for ln, line in rec["lines"]:
            if not line.startswith("|"):
                fail(pages_path, ln, "page lines begin with '|'")
            check_text(pages_path, ln, line[1:])
            lines.append(line[1:])
        texts.append((name, "\r".join(lines)))

    review = {"units": units, "written": written, "sound": {k: p[0] for k, p in rows},
              "phonetic": {w["word"]: phonetic_line(w["phon"][0], "3", first_sense_only=True) for w in listed}}
    return em, tables, texts, review


def cell_row(cells, width, min_gap=1):
    """Cells start every `width` columns; a cell too long for its place pushes the rest right."""
    out = ""
    for i, c in enumerate(cells):
        out += c
        if i < len(cells) - 1:
            out += " " * max(min_gap, width * (i + 1) - gbk_width(out))
    return out


def word_sheet(key, unit):
    header = f"Unit {key}"
    words = [w for w, _, _ in unit]
    means = [m for _, m, _ in unit]
    def block(items):
        rows = [[header] + items[0:6], items[6:13], items[13:20], items[20:27]]
        return [cell_row(r, 11) for r in rows]
    a, b = block(words), block(means)
    lines = ["", ""] + [a[0], "", "", a[1], "", "", a[2], "", "", a[3], "", "", ""] \
        + [b[0], "", "", b[1], "", "", b[2], "", "", b[3], ""]
    return "\r".join(lines)


def code_sheet(key, unit):
    entries = [f"{m}/{c}" for _, m, c in unit]
    lines = [cell_row([f"Unit {key}", entries[0]], 37)]
    for i in range(1, 27, 2):
        lines += ["", cell_row(entries[i:i + 2], 37)]
    return "\r".join(lines)


def parse_stories(path):
    stories = []
    for rec in records(path):
        key = rec["head"].strip()
        if not re.fullmatch(r"\d{3}", key) or int(key) != len(stories) + 1:
            fail(path, rec["line"], f"story keys run 001, 002, ...: {key}")
        s = {"key": key, "en_p": [], "zh_p": [], "words": [], "line": rec["line"]}
        for ln, line in rec["lines"]:
            tag, _, rest = line.partition(" ")
            check_text(path, ln, rest)
            if tag in ("title", "zhtitle"):
                s[tag] = rest
            elif tag == "en":
                if "'" in rest:
                    fail(path, ln, "English apostrophes are written ’")
                s["en_p"].append(rest)
            elif tag == "zh":
                s["zh_p"].append(rest)
            elif tag == "words":
                s["words"] = [w.strip() for w in rest.split(" | ")]
                for w in s["words"]:
                    if not re.fullmatch(r"[A-Za-z’ -]+?(<[^<>]+>)?", w):
                        fail(path, ln, f"unit word {w!r} must be 'word' or 'word<form,form>'")
            else:
                fail(path, ln, f"unknown field {tag!r}")
        for f in ("title", "zhtitle"):
            if f not in s:
                fail(path, rec["line"], f"story {key} has no {f}")
        if not s["en_p"] or not s["zh_p"] or not s["words"]:
            fail(path, rec["line"], f"story {key} needs en, zh and words lines")
        s["en"] = "\r    " + s["title"] + "".join("\r\r    " + p for p in s["en_p"]) + "\r"
        s["zh"] = "\r    " + s["zhtitle"] + "".join("\r\r    " + p for p in s["zh_p"]) + "\r"
        stories.append(s)
    return stories


def vocabulary_units(stories):
    rows = []
    for u in range(0, len(stories) // 10):
        lines = [""]
        for s in stories[u * 10:u * 10 + 10]:
            lines += [s["key"], ""]
            ws = s["words"]
            for i in range(0, len(ws), 3):
                # Two blanks at least, so that words holding a blank ("Uh oh") stay readable as one.
                lines += [cell_row(ws[i:i + 3], 25, min_gap=2), ""]
        rows.append((f"{u:02d}", ["\r".join(lines[:-1])]))
    return rows


def parse_glossary(path):
    rows, stored = [], {}
    for rec in records(path):
        head = rec["head"].split()
        key = head[0]
        if key in [k for k, _ in rows]:
            fail(path, rec["line"], f"glossary key {key} occurs twice")
        if len(head) == 3 and head[1] == "same":
            if head[2] not in stored:
                fail(path, rec["line"], f"{head[2]} must stand before {key}")
            if rec["lines"]:
                fail(path, rec["line"], "a row that shares an entry has no blocks of its own")
            rows.append((key, [stored[head[2]]]))
            continue
        show = " ".join(head[2:]) if len(head) >= 3 and head[1] == "show" else key
        if len(head) > 1 and head[1] != "show":
            fail(path, rec["line"], "expected '@ KEY', '@ KEY same OTHER' or '@ KEY show HEADWORD'")
        blocks = [line for _, line in rec["lines"]]
        if not 1 <= len(blocks) <= 6:
            fail(path, rec["line"], f"{key} needs one to six sense blocks")
        for ln, line in rec["lines"]:
            check_text(path, ln, line)
        entry = "\r" + show + "".join("\r\r" + b for b in blocks)
        stored[key] = entry
        rows.append((key, [entry]))
    return rows


# ---------------------------------------------------------------- review cards

def letter_of(syllable):
    """The letter a pinyin syllable gives under the letter table of the character code."""
    s = syllable.replace("ü", "v")
    if not s:
        return "?"
    if s[0] == "z":
        return "Z" if s in ("zhou", "zou") else "A"
    if s[0] == "j":
        return "J" if s.startswith("ju") else "E"
    if s[0] == "y":
        return "Y" if s.startswith("yu") else "I"
    if s[0] == "q":
        return "Q" if s == "qiu" else "O"
    if s[0] == "x":
        return "X" if s.startswith("xu") else "U"
    return "V" if s[0] in "aeo" else s[0].upper()


def parse_code_readings(path):
    """(char -> (usual reading, line), [(char, reading, carrying word, line)])."""
    usual, seconds = {}, []
    for n, line in read_lines(path):
        text = line.split("#", 1)[0].split()
        if not text:
            continue
        if not (2 <= len(text) <= 3 and len(text[0]) == 1 and re.fullmatch(r"[a-zü]+", text[1])):
            fail(path, n, "expected '字 reading' or '字 reading 词'")
        ch, reading = text[0], text[1]
        if len(text) == 3:
            if ch not in text[2]:
                fail(path, n, f"{ch} does not stand in {text[2]}")
            seconds.append((ch, reading, text[2], n))
        elif ch in usual:
            fail(path, n, f"{ch} already has its usual reading at line {usual[ch][1]}")
        else:
            usual[ch] = (reading, n)
    return usual, seconds


def code_letters(path, word, code, src, ln, usual, seconds):
    """Each code character with the reading it has in the phrase and that reading's line: a second
    reading where the word that carries it stands over the character, the usual one elsewhere.
    The reading must give the word's letter at that place."""
    out, where = [], f"{src.name}:{ln}"
    for i, ch in enumerate(code):
        here = sorted({(r, n) for c, r, w, n in seconds
                       if c == ch and any(code.startswith(w, j) and j <= i < j + len(w) for j in range(len(code)))})
        if len(here) > 1:
            fail(path, here[1][1], f"{ch} has two second readings in the code of {word} ({where})")
        if not here and ch not in usual:
            fail(src, ln, f"{ch} has no reading in {path.name}; rerun tools/make_code_readings.py")
        reading, n = here[0] if here else usual[ch]
        if letter_of(reading) != word[i].upper():
            fail(path, n, f"{ch} {reading} gives {letter_of(reading)}, but letter {i + 1} of {word} ({where}) "
                          f"is {word[i].upper()}")
        out.append((ch, reading, n))
    return out


def review_cards(data, review):
    """The cards as C++: unit order, each unit in its sheet order."""
    path = Path(data) / "code_readings.txt"
    if not path.exists():
        fail(path, 0, "missing; tools/make_code_readings.py writes it")
    usual, seconds = parse_code_readings(path)
    # The fronts: a meaning two cards share gets each card's hint.
    hints_path = Path(data) / "review_hints.txt"
    hints = {}
    for n, line in read_lines(hints_path):
        if line.strip() and not line.startswith("#"):
            word, _, hint = line.partition("  ")
            if not hint.strip() or word in hints:
                fail(hints_path, n, "expected 'word  hint', one line a word")
            hints[word] = (hint.strip(), n)
    words = {w for unit in review["units"] for w, _, _ in unit}
    for word, (_, n) in hints.items():
        if word not in words:
            fail(hints_path, n, f"{word} is not a review card")
    fronts = {}
    used, lines, items = set(), [], []
    lit = Emitter().literal
    for u, unit in enumerate(review["units"], 1):
        for word, meaning, code in unit:
            src, ln = review["written"][word]
            if word in hints:
                meaning = f"{meaning}（{hints[word][0]}）"
            if meaning in fronts:
                fail(src, ln, f"{word} and {fronts[meaning]} both ask {meaning}: give each a hint in {hints_path.name}")
            fronts[meaning] = word
            letters = code_letters(path, word, code, src, ln, usual, seconds)
            used |= {n for _, _, n in letters}
            ident = f"c{len(items)}"
            lines.append(f"constexpr CodeLetter {ident}[] = {{"
                         + ", ".join(f"{{{lit(c)}sv, {lit(r)}sv}}" for c, r, _ in letters) + "};")
            if u <= 12:
                sound, phonetic = review["sound"].get(word, ""), review["phonetic"].get(word, "")
            else:
                sound, phonetic = f"sound/review/{word[0].lower()}/{word.lower()}.wav", ""
            items.append(f"{{{lit(word)}sv, {lit(meaning)}sv, {lit(code)}sv, {u}, {lit(phonetic)}sv, "
                         f"{lit(sound)}sv, {ident}}}")
    unused = sorted(({n for _, n in usual.values()} | {n for *_, n in seconds}) - used)
    if unused:
        fail(path, unused[0], "a reading that no card's code uses; rerun tools/make_code_readings.py")
    body = "\n".join(lines)
    return f"""// Generated from content/data by tools/gen_content.py. Do not edit.
#include "review/cards.h"

namespace review {{
using namespace std::string_view_literals;
namespace {{
{body}
constexpr Card card_list[] = {{
    {(','+chr(10)+'    ').join(items)}}};
}} // namespace

std::span<const Card> allCards() {{ return card_list; }}
}} // namespace review
"""


def main():
    if len(sys.argv) not in (3, 4):
        print(__doc__.strip().splitlines()[0], file=sys.stderr)
        return 2
    data, out = sys.argv[1], sys.argv[2]
    try:
        em, tables, texts, review = build(data)
        cards = review_cards(data, review) if len(sys.argv) == 4 else None
    except ContentError as e:
        print(f"error: {e}", file=sys.stderr)
        return 1
    text_items = []
    for name, text in texts:
        ident = "text_" + re.sub(r"\W", "_", name)
        em.lines.append(f"constexpr std::string_view {ident} = {em.literal(text)}sv;")
        text_items.append(f"{{{em.literal(name)}sv, {ident}}}")
    body = "\n".join(em.lines)
    src = f"""// Generated from content/data by tools/gen_content.py. Do not edit.
#include "content/tables.h"

namespace content {{
using namespace std::string_view_literals;
namespace {{
{body}
constexpr const KeyedTextTable* table_list[] = {{{", ".join("&" + t for t in tables)}}};
constexpr NamedText text_list[] = {{
    {(','+chr(10)+'    ').join(text_items)}}};
}} // namespace

std::span<const KeyedTextTable* const> allTables() {{ return table_list; }}
std::span<const NamedText> allTexts() {{ return text_list; }}

std::string_view text(std::string_view name)
{{
    for (const auto& t : text_list)
        if (t.name == name)
            return t.text;
    return {{}};
}}
}} // namespace content
"""
    Path(out).write_text(src, encoding="utf-8")
    if cards is not None:
        Path(sys.argv[3]).write_text(cards, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
