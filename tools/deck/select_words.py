#!/usr/bin/env python3
"""Chooses the new basic words of review units 025-120.

select_words.py            writes content/data/deck/wordlist.txt from tools/deck/inputs/
select_words.py --report   also prints what each filter dropped and the hand-review counts
                           (--report=full: every dropped word, not the first twelve)
select_words.py --extract [NPM_DIR]
                           remakes the inputs from the installed Debian packages scowl,
                           festlex-poslex and wordnet-base and from the npm package
                           popular-english-words (NPM_DIR: its folder, default
                           /tmp/deckwords/node_modules/popular-english-words)

Ranking: word forms of the popularity list (an encyclopedia count) are lemmatised with WordNet's
exception lists and detachment rules, a form's count shared among its lemmas in the proportions of
its part-of-speech tags in the news lexicon (left: leave and left). A lemma's weight is the
geometric mean of its frequencies in the encyclopedia (1/rank, counted twice), the news lexicon
and SemCor, so that neither encyclopedia nor news vocabulary wins alone. Only lemmas of the
common SCOWL sizes that pass the filters take part; derived words whose stem is in the deck or
the list drop out; hand_review.txt forces words in and out.
"""
import math
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
INPUTS = ROOT / "tools" / "deck" / "inputs"
OUTPUT = ROOT / "content" / "data" / "deck" / "wordlist.txt"
DECK_FILES = (ROOT / "content" / "data" / "words.txt", ROOT / "content" / "data" / "practice.txt")

NEW_WORDS = 2592
UNIT_SIZE = 27
FIRST_UNIT = 25
COMMON_BAND = 35          # SCOWL size up to which a word counts as common
SCOWL_BANDS = (10, 20, 35, 40, 50)
SCOWL_LISTS = [("english", c) for c in ("words", "upper", "proper-names", "abbreviations",
                                        "contractions")] + [("american", "words"),
                                                            ("british", "words")]
WIKI_WEIGHT, NEWS_WEIGHT, SEMCOR_WEIGHT = 2, 1, 1
POPULAR_ALL = 30000       # the popularity list is kept whole up to this rank, further on only
                          # where SCOWL knows the word

# Penn tags of the news lexicon, by the WordNet part of speech whose inflection they mark.
INFLECTION_TAGS = {"nns": "n", "nnps": "n", "vbd": "v", "vbn": "v", "vbg": "v", "vbz": "v",
                   "vbp": "v", "jjr": "a", "jjs": "a", "rbr": "r", "rbs": "r"}
CLOSED_CLASS_TAGS = {"in", "cc", "dt", "pdt", "wdt", "wp", "wp$", "prp", "prp$", "cd", "md",
                     "ex", "to", "rp", "wrb", "of"}
NAME_TAGS = {"nnp", "nnps"}
# Tags of no word class a learner drills: names, interjections, foreign words, symbols.
OTHER_TAGS = NAME_TAGS | {"uh", "fw", "sym", "ls", "pos", "punc"}

# WordNet's detachment rules (morphy), by part of speech.
DETACH = {
    "n": [("s", ""), ("ses", "s"), ("xes", "x"), ("zes", "z"), ("ches", "ch"), ("shes", "sh"),
          ("men", "man"), ("ies", "y")],
    "v": [("s", ""), ("ies", "y"), ("es", "e"), ("es", ""), ("ed", "e"), ("ed", ""),
          ("ing", "e"), ("ing", "")],
    "a": [("er", ""), ("est", ""), ("er", "e"), ("est", "e")],
    "r": [],
}

# Derivational affixes whose words become extension words of their stem.
SUFFIXES = {
    "ly": ("ly", "ily", "ally"),
    "ness": ("ness", "iness"),
    "agent": ("er", "or", "ar", "r"),
    "ment": ("ment",),
    "tion": ("tion", "sion", "ation", "ition", "ion"),
    "ful": ("ful", "iful"),
    "less": ("less", "iless"),
    "able": ("able", "ible", "iable"),
}
PREFIXES = ("un", "dis", "re", "in", "im", "il", "ir")


def die(msg):
    sys.stderr.write(f"select_words: {msg}\n")
    sys.exit(1)


def read_rows(path):
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line and not line.startswith("#"):
                yield line.split("\t")


# --- extraction from the installed sources ---------------------------------------------------

def extract(npm_dir):
    INPUTS.mkdir(parents=True, exist_ok=True)
    scowl_dir = Path("/usr/share/dict/scowl")
    scowl = []
    for variety, cls in SCOWL_LISTS:
        for band in SCOWL_BANDS:
            p = scowl_dir / f"{variety}-{cls}.{band}"
            if not p.exists():
                continue
            name = cls if variety == "english" else variety
            for w in p.read_text(encoding="utf-8").split("\n"):
                if w and not w.endswith("'s"):
                    scowl.append((band, name, w))
    scowl_lower = {w.lower() for _, _, w in scowl}

    text = (Path(npm_dir) / "words.js").read_text(encoding="utf-8")
    body = text[text.index("[") + 1:text.rindex("]")]
    popular = re.findall(r"'([^']*)'", body)
    kept_popular = set()
    with open(INPUTS / "popular_english_words.txt", "w", encoding="utf-8", newline="\n") as f:
        f.write(f"# popular-english-words 1.0.2 (npm), {len(popular)} words by popularity; whole "
                f"to rank {POPULAR_ALL}, further only words that SCOWL lists\n# rank\tword\n"
                f"# total\t{len(popular)}\n")
        for rank, w in enumerate(popular, 1):
            if rank <= POPULAR_ALL or w in scowl_lower:
                f.write(f"{rank}\t{w}\n")
                kept_popular.add(w)

    # Only SCOWL's verdict on the words of the popularity list is needed (and the contractions).
    with open(INPUTS / "scowl.txt", "w", encoding="utf-8", newline="\n") as f:
        f.write("# SCOWL 2020.12.07 (Debian scowl), english-* lists and american-words and "
                f"british-words of sizes {', '.join(map(str, SCOWL_BANDS))}, the words that the "
                "popularity list has\n# size\tlist\tword\n")
        for band, cls, w in sorted(scowl, key=lambda r: (r[0], r[1], r[2])):
            if cls == "contractions" or w.lower() in kept_popular:
                f.write(f"{band}\t{cls}\t{w}\n")
    known = scowl_lower | kept_popular

    # The lexicon gives log P(word | tag); a tag's rarest word is taken to occur once, which
    # turns the probabilities back into counts.
    lex = []
    floor = {}
    for line in open("/usr/share/festival/dicts/wsj.wp39.poslexR", encoding="latin-1"):
        m = re.match(r'\("(.*)" \((.*)\) \(\) \)$', line.strip())
        if not m:
            continue
        tags = [(t, float(lp)) for t, lp in re.findall(r"\((\S+) (-?[0-9.]+)\)", m.group(2))]
        for t, lp in tags:
            floor[t] = min(floor.get(t, 0.0), lp)
        lex.append((m.group(1), tags))
    total = sum(math.exp(lp - floor[t]) for _, tags in lex for t, lp in tags)
    with open(INPUTS / "poslex.txt", "w", encoding="utf-8", newline="\n") as f:
        f.write("# festlex-poslex 2.4 (Debian), wsj.wp39.poslexR: Wall Street Journal words with "
                "Penn tags;\n# counts = exp(logprob - the tag's lowest logprob), ? where the tag "
                f"has one word\n# word\ttag:count ...\n# total\t{total:.0f}\n")
        for w, tags in sorted(lex):
            if not re.fullmatch(r"[a-z]+", w) or w not in known:
                continue
            # A tag of one word (of, existential there) has probability 1: no count to recover.
            counts = " ".join(f"{t}:{math.exp(lp - floor[t]):.0f}" if floor[t] < 0 else f"{t}:?"
                              for t, lp in tags)
            f.write(f"{w}\t{counts}\n")

    extract_wordnet(known)
    write_licences(npm_dir)


def extract_wordnet(known):
    wn = Path("/usr/share/wordnet")
    pos_of_file = {"noun": "n", "verb": "v", "adj": "a", "adv": "r"}
    synsets = {}
    for name, pos in pos_of_file.items():
        for line in open(wn / f"data.{name}", encoding="latin-1"):
            if line.startswith("  "):
                continue
            head, _, gloss = line.partition("|")
            p = head.split()
            n = int(p[3], 16)
            words = [re.sub(r"\(.*\)$", "", p[4 + 2 * i]) for i in range(n)]
            k = 4 + 2 * n
            ptrs = []
            for i in range(int(p[k])):
                sym, off, ppos, st = p[k + 1 + 4 * i:k + 5 + 4 * i]
                ptrs.append((sym, off, "a" if ppos == "s" else ppos, st))
            synsets[(pos, p[0])] = (words, ptrs, gloss.strip())

    semcor = {}
    for line in open(wn / "cntlist.rev", encoding="latin-1"):
        key, _, cnt = line.split()
        lemma = key.split("%")[0]
        semcor[lemma] = semcor.get(lemma, 0) + int(cnt)

    lemmas = {}
    for (pos, _), (words, _, _) in synsets.items():
        for w in words:
            lw = w.lower()
            if re.fullmatch(r"[a-z]+", lw) and lw in known:
                lemmas.setdefault(lw, set()).add(pos)
    with open(INPUTS / "wordnet_lemmas.txt", "w", encoding="utf-8", newline="\n") as f:
        f.write("# WordNet 3.0 (Debian wordnet-base): one-word lemmas that SCOWL or the popularity "
                "list knows, their parts of speech (n v a r) and SemCor sense-tag count\n"
                f"# lemma\tpos\tsemcor\n# total\t{sum(semcor.values())}\n")
        for w in sorted(lemmas):
            f.write(f"{w}\t{''.join(p for p in 'nvar' if p in lemmas[w])}\t{semcor.get(w, 0)}\n")

    # Derivation (+), pertainym (\) and antonym (!) pointers between two words, and re- verbs
    # glossed as doing their stem again.
    links = set()
    for (pos, _), (words, ptrs, gloss) in synsets.items():
        for sym, off, ppos, st in ptrs:
            if sym not in ("+", "\\", "!") or st == "0000":
                continue
            src, dst = int(st[:2], 16), int(st[2:], 16)
            a = words[src - 1].lower()
            b = synsets[(ppos, off)][0][dst - 1].lower()
            kind = {"+": "deriv", "\\": "pert", "!": "anto"}[sym]
            if a in lemmas and b in lemmas and a != b:
                links.add((a, pos, b, ppos, kind))
        if pos == "v" and re.search(r"\b(again|anew)\b", gloss):
            for w in words:
                lw = w.lower()
                if lw.startswith("re") and lw in lemmas and "v" in lemmas.get(lw[2:], ()):
                    links.add((lw, "v", lw[2:], "v", "again"))
    with open(INPUTS / "wordnet_links.txt", "w", encoding="utf-8", newline="\n") as f:
        f.write("# WordNet 3.0: related word pairs (deriv: derivationally related form, pert: "
                "pertainym, anto: antonym, again: re- verb glossed as its stem done again)\n"
                "# word\tpos\trelated\tpos\tkind\n")
        for row in sorted(links):
            f.write("\t".join(row) + "\n")

    # Words whose commonest sense, in each part of speech they have, is an obscenity or an
    # ethnic slur (WordNet orders senses by frequency): boy and dirt stay, their slang does not.
    domains = [off for (pos, off), (words, ptrs, _) in synsets.items()
               if pos == "n" and words[0] in ("obscenity", "ethnic_slur") and
               any(sym == "-u" for sym, *_ in ptrs)]
    marked = {}
    for off in domains:
        for sym, toff, tpos, _ in synsets[("n", off)][1]:
            if sym == "-u":
                marked[(tpos, toff)] = synsets[("n", off)][0][0]
    first = {}
    for name, pos in pos_of_file.items():
        for line in open(wn / f"index.{name}", encoding="latin-1"):
            if line.startswith("  "):
                continue
            p = line.split()
            first.setdefault(p[0], []).append((pos, p[-int(p[2])]))
    vulgar = set()
    for lemma, senses in first.items():
        domain = {marked.get(s) for s in senses}
        if lemma in lemmas and len(domain) == 1 and None not in domain:
            vulgar.add((lemma, domain.pop()))
    with open(INPUTS / "wordnet_usage.txt", "w", encoding="utf-8", newline="\n") as f:
        f.write("# WordNet 3.0: words whose first sense in each part of speech is in the usage "
                "domain of obscenities or of ethnic slurs\n# word\tdomain\n")
        for row in sorted(vulgar):
            f.write("\t".join(row) + "\n")

    for name in ("noun", "verb", "adj", "adv"):
        with open(INPUTS / f"wordnet_{name}.exc", "w", encoding="utf-8", newline="\n") as f:
            for line in open(wn / f"{name}.exc", encoding="latin-1"):
                f.write(line)


ISC_TEXT = """\
Permission to use, copy, modify, and/or distribute this software for any purpose with or without
fee is hereby granted, provided that the above copyright notice and this permission notice appear
in all copies.

THE SOFTWARE IS PROVIDED "AS IS" AND THE AUTHOR DISCLAIMS ALL WARRANTIES WITH REGARD TO THIS
SOFTWARE INCLUDING ALL IMPLIED WARRANTIES OF MERCHANTABILITY AND FITNESS. IN NO EVENT SHALL THE
AUTHOR BE LIABLE FOR ANY SPECIAL, DIRECT, INDIRECT, OR CONSEQUENTIAL DAMAGES OR ANY DAMAGES
WHATSOEVER RESULTING FROM LOSS OF USE, DATA OR PROFITS, WHETHER IN AN ACTION OF CONTRACT,
NEGLIGENCE OR OTHER TORTIOUS ACTION, ARISING OUT OF OR IN CONNECTION WITH THE USE OR PERFORMANCE
OF THIS SOFTWARE.
"""


def write_licences(npm_dir):
    pkg = (Path(npm_dir) / "package.json").read_text(encoding="utf-8")
    author = re.search(r'"author":\s*"([^"]*)"', pkg).group(1)
    licence = re.search(r'"license":\s*"([^"]*)"', pkg).group(1)
    if licence != "ISC":
        die(f"popular-english-words declares licence {licence}, not ISC")
    (INPUTS / "LICENSE.popular-english-words").write_text(
        f"popular-english-words 1.0.2 (npm), by {author}.\n"
        "Its package.json declares the ISC licence; the package ships no licence file, so the\n"
        f"ISC licence text is given here.\n\nCopyright (c) {author}\n\n" + ISC_TEXT,
        encoding="utf-8")
    for name, pkgname in (("scowl", "scowl"), ("festlex-poslex", "festlex-poslex"),
                          ("wordnet", "wordnet-base")):
        text = Path(f"/usr/share/doc/{pkgname}/copyright").read_text(encoding="utf-8")
        (INPUTS / f"LICENSE.{name}").write_text(text, encoding="utf-8")


def header_total(path):
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("# total\t"):
                return int(line.split("\t")[1])
    die(f"{path}: no '# total' line")


# --- selection -------------------------------------------------------------------------------

class Sources:
    def __init__(self):
        for name in ("scowl.txt", "popular_english_words.txt", "poslex.txt", "wordnet_lemmas.txt",
                     "wordnet_links.txt", "wordnet_usage.txt", "hand_review.txt"):
            if not (INPUTS / name).exists():
                die(f"missing input {INPUTS / name} (see --extract)")
        self.band = {}            # lower-case common word -> smallest SCOWL size
        self.upper = {}           # lower-case key -> capitalised spelling (names, languages...)
        self.abbrev = set()
        self.contractions = []
        british = {}
        for band, cls, w in read_rows(INPUTS / "scowl.txt"):
            band = int(band)
            if cls == "british":
                british.setdefault(w, band)
            elif cls in ("words", "american") and w == w.lower():
                self.band[w] = min(band, self.band.get(w, band))
            elif cls in ("upper", "proper-names", "words"):
                self.upper.setdefault(w.lower(), w)
            elif cls == "abbreviations":
                self.abbrev.add(w.lower())
            elif cls == "contractions":
                self.contractions.append(w.lower())
        self.american = american_spellings(british, self.band)
        self.popular = [(int(r), w) for r, w in read_rows(INPUTS / "popular_english_words.txt")]
        self.popular_total = header_total(INPUTS / "popular_english_words.txt")
        self.news_total = header_total(INPUTS / "poslex.txt")
        self.semcor_total = header_total(INPUTS / "wordnet_lemmas.txt")
        self.tags = {}
        self.uncounted = {}       # word -> its tags of unknown count
        for w, counts in read_rows(INPUTS / "poslex.txt"):
            pairs = [x.split(":") for x in counts.split()]
            self.tags[w] = {t: int(c) for t, c in pairs if c != "?"}
            if len(self.tags[w]) < len(pairs):
                self.uncounted[w] = {t for t, c in pairs if c == "?"}
        self.wn_pos = {}
        self.semcor = {}
        for w, pos, cnt in read_rows(INPUTS / "wordnet_lemmas.txt"):
            self.wn_pos[w] = set(pos)
            self.semcor[w] = int(cnt)
        self.links = {}
        for a, apos, b, bpos, kind in read_rows(INPUTS / "wordnet_links.txt"):
            self.links.setdefault(a, set()).add((b, apos, bpos, kind))
            self.links.setdefault(b, set()).add((a, bpos, apos, kind))
        self.vulgar = {w for w, _ in read_rows(INPUTS / "wordnet_usage.txt")}
        self.exc = {}
        for pos, name in (("n", "noun"), ("v", "verb"), ("a", "adj"), ("r", "adv")):
            table = self.exc[pos] = {}
            with open(INPUTS / f"wordnet_{name}.exc", encoding="utf-8") as f:
                for line in f:
                    form, *bases = line.split()
                    table.setdefault(form, bases)
        self.hand_in, self.hand_out = read_hand_review(INPUTS / "hand_review.txt")

    def closed_class(self, w):
        tags = self.tags.get(w, {})
        return sum(n for t, n in tags.items() if t in CLOSED_CLASS_TAGS) >= \
            0.5 * sum(tags.values()) > 0

    def common(self, w):
        return self.band.get(w, 99) <= COMMON_BAND

    def lemmas_of(self, form, pos):
        """WordNet's morphy: the exception list first, then the detachment rules."""
        if form in self.exc[pos]:
            return [b for b in self.exc[pos][form] if pos in self.wn_pos.get(b, ())]
        out = []
        for suffix, repl in DETACH[pos]:
            if form.endswith(suffix) and len(form) > len(suffix):
                base = form[:len(form) - len(suffix)] + repl
                if pos in self.wn_pos.get(base, ()) and base not in out:
                    out.append(base)
        return out

    def tag_lemmas(self, form):
        """{lemma: news count} of one word form: each tag's count goes to the lemma it inflects."""
        tags = self.tags.get(form)
        if not tags:
            return {}
        out = {}
        for t, c in sorted(tags.items()):
            lemma = form
            if t in INFLECTION_TAGS:
                bases = self.lemmas_of(form, INFLECTION_TAGS[t])
                # A lemma outside the common sizes (data -> datum) keeps the form itself.
                if bases and (self.common(bases[0]) or not self.common(form)):
                    lemma = bases[0]
            out[lemma] = out.get(lemma, 0) + c
        return out

    def lemma_shares(self, form):
        """[(lemma, share)] for one word form, by the news lexicon's tags, else by WordNet."""
        counts = self.tag_lemmas(form)
        if counts:
            total = sum(counts.values())
            return sorted((lemma, c / total) for lemma, c in counts.items())
        if self.wn_pos.get(form):
            return [(form, 1.0)]
        for p in "nvar":
            bases = self.lemmas_of(form, p)
            if bases and (self.common(bases[0]) or not self.common(form)):
                return [(bases[0], 1.0)]
        return [(form, 1.0)]


BRITISH_TO_AMERICAN = [("our", "or"), ("re", "er"), ("res", "ers"), ("red", "ered"),
                       ("ise", "ize"), ("is", "iz"), ("isation", "ization"), ("yse", "yze"),
                       ("ys", "yz"), ("ence", "ense"), ("ogue", "og"), ("ll", "l"), ("mme", "m"),
                       ("ae", "e"), ("oe", "e"), ("ey", "ay"), ("ium", "um"), ("yre", "ire"),
                       ("ough", "ow"), ("que", "ck"), ("ou", "o"), ("l", "ll"), ("sc", "sk"),
                       ("ellery", "elry")]


def american_spellings(british, american):
    """{British spelling: American one} for the words SCOWL lists under both varieties: each
    rule rewrites one place of the British word and must hit a word of the American lists."""
    out = {}
    for w in sorted(british):
        if not w.islower():
            continue
        found = []
        for a, b in BRITISH_TO_AMERICAN:
            start = w.find(a)
            while start >= 0:
                cand = w[:start] + b + w[start + len(a):]
                if cand in american and cand not in british and cand not in found:
                    found.append(cand)
                start = w.find(a, start + 1)
        if len(found) == 1:
            out[w] = found[0]
    return out


def read_hand_review(path):
    forced_in, forced_out = {}, {}
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            text = line.split("#", 1)[0].strip()
            if not text:
                continue
            m = re.fullmatch(r"([+-])\s*([A-Za-z]+)", text)
            if not m:
                die(f"{path}:{n}: expected '+ word' or '- word'")
            sign, word = m.groups()
            table = forced_in if sign == "+" else forced_out
            if word.lower() in forced_in or word.lower() in forced_out:
                die(f"{path}:{n}: {word} reviewed twice")
            table[word.lower()] = (word, n)
    return forced_in, forced_out


def deck_words():
    words = set()
    for path in DECK_FILES:
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line.startswith("@ "):
                    words.add(line[2:].split()[0].lower())
    if len(words) != 648:
        die(f"expected the 648 words of units 001-024, found {len(words)}")
    return words


def rank_lemmas(src):
    """({lemma: weight}, {word form: weight}). A weight is the geometric mean of the frequencies
    per million words in the three corpora (web encyclopedia, news, SemCor's balanced texts),
    each smoothed by half an occurrence; SemCor tags content words only, so function words
    (in, I, a: WordNet's inch, iodine, ampere) go without it. A form's weight counts the form
    alone, whatever its lemmas."""
    wiki, news, form_wiki = {}, {}, {}
    for rank, form in src.popular:
        if not re.fullmatch(r"[a-z]+", form):
            continue
        form = src.american.get(form, form)
        form_wiki[form] = form_wiki.get(form, 0.0) + 1.0 / rank
        for lemma, share in src.lemma_shares(form):
            wiki[lemma] = wiki.get(lemma, 0.0) + share / rank
    for form in src.tags:
        for lemma, c in src.tag_lemmas(form).items():
            news[lemma] = news.get(lemma, 0) + c
    harmonic = sum(1.0 / r for r in range(1, src.popular_total + 1))

    def mean(w, word, count):
        logs = [(WIKI_WEIGHT, math.log(1e6 * w / harmonic))]
        if word not in src.uncounted:
            logs.append((NEWS_WEIGHT, math.log(1e6 * (count + 0.5) / src.news_total)))
        if word in src.wn_pos and not src.closed_class(word):
            logs.append((SEMCOR_WEIGHT,
                         math.log(1e6 * (src.semcor.get(word, 0) + 0.5) / src.semcor_total)))
        return math.exp(sum(k * x for k, x in logs) / sum(k for k, _ in logs))

    weight = {lemma: mean(w, lemma, news.get(lemma, 0)) for lemma, w in wiki.items()}
    form_weight = {form: mean(w, form, sum(src.tags.get(form, {}).values()))
                   for form, w in form_wiki.items()}
    return weight, form_weight


def fragments(src):
    """Halves of contractions (don't -> don) that are only rarely words of their own."""
    out = set()
    for c in src.contractions:
        for part in c.split("'"):
            tags = src.tags.get(part, {})
            own = sum(n for t, n in tags.items() if t not in NAME_TAGS)
            if part and own <= 2:
                out.add(part)
    return out


def filter_reason(src, lemma, frags):
    """Why a ranked lemma is no basic word, or None."""
    if len(lemma) == 1:
        return "single letter"
    if lemma in frags:
        return "contraction or clipped form"
    if not src.common(lemma):
        if lemma in src.band:
            return "rare (SCOWL size above 35)"
        if lemma in src.upper:
            return "proper name"
        if lemma in src.abbrev:
            return "abbreviation"
        return "not in SCOWL (junk, foreign, obscure)"
    tags = src.tags.get(lemma, {})
    total = sum(tags.values())
    own = src.tag_lemmas(lemma)
    if sum(own.values()) and own.get(lemma, 0) < 0.5 * sum(own.values()):
        return "inflected form"
    if lemma in src.upper and total >= 20 and \
            sum(n for t, n in tags.items() if t not in NAME_TAGS) <= 0.05 * total:
        return "proper name"
    if total and tags.get("uh", 0) >= 0.5 * total:
        return "interjection"
    if lemma not in src.wn_pos and not src.uncounted.get(lemma, set()) - OTHER_TAGS and \
            not any(n >= 0.1 * total for t, n in tags.items() if t not in OTHER_TAGS):
        return "word class"
    if lemma in src.vulgar:
        return "vulgar"
    return None


SUFFIX_POS = {"ly": {("r", "a"), ("a", "n"), ("a", "a")}, "ness": {("n", "a")},
              "agent": {("n", "v")}, "ment": {("n", "v")}, "tion": {("n", "v")},
              "ful": {("a", "n"), ("a", "v")}, "less": {("a", "n"), ("a", "v")},
              "able": {("a", "v")}}


def stems(src, word):
    """[(stem, affix)]: words that `word` regularly derives from, or is a word form of."""
    forms = src.tag_lemmas(word)
    # ground is no word form of grind to drill apart: the other lemma needs a fifth of the uses.
    out = [(b, "inflection") for b, n in forms.items()
           if b != word and n >= 0.2 * sum(forms.values())]
    for b, apos, bpos, kind in sorted(src.links.get(word, ())):
        if len(b) >= len(word):
            continue
        for prefix in PREFIXES:
            if word == prefix + b and ((prefix == "re" and kind == "again") or
                                       (prefix != "re" and kind in ("anto", "deriv"))):
                out.append((b, prefix + "-"))
        if kind not in ("deriv", "pert"):
            continue
        common = len(b)
        while word[:common] != b[:common]:
            common -= 1
        if common < max(3, len(b) - 2):
            continue
        for affix, endings in SUFFIXES.items():
            if any(word.endswith(e) and len(word) - len(e) >= common - 1 for e in endings) and \
                    (apos, bpos) in SUFFIX_POS[affix]:
                out.append((b, "-" + affix))
    return sorted(set(out))


def choose(src, weight, ranked, deck, hand_in, hand_out):
    """The words that fill the room the forced-in words leave, by weight: ([word], {dropped
    lemma: reason}, {derived word: (stem, affix)})."""
    frags = fragments(src)
    reasons = {}
    eligible = []
    for w in ranked:
        if w in deck:
            reasons[w] = "already in units 001-024"
        elif w in hand_in:
            continue
        elif w in hand_out:
            reasons[w] = "hand review"
        else:
            r = filter_reason(src, w, frags)
            if r:
                reasons[w] = r
            else:
                eligible.append(w)
    room = NEW_WORDS - len(hand_in)
    # Dropping a derived word lets the next one in, which may be the stem of a word already
    # chosen: repeat until nothing changes.
    derived = {}
    while True:
        chosen = [w for w in eligible if w not in derived][:room]
        family = deck | set(chosen) | set(hand_in) | set(derived)
        new = {}
        for w in chosen:
            for stem, affix in stems(src, w):
                if stem in family:
                    new[w] = (stem, affix)
                    break
        if not new:
            break
        derived.update(new)
    if len(chosen) < room:
        die(f"only {len(chosen)} words for {room} places")
    for w, (stem, affix) in derived.items():
        reasons[w] = "derived (" + affix + ")"
    return chosen, reasons, derived


def select(src, report):
    deck = deck_words()
    for key, (word, n) in sorted(src.hand_in.items()):
        if key in deck:
            die(f"hand_review.txt:{n}: {word} is already in units 001-024")
    weight, form_weight = rank_lemmas(src)
    ranked = sorted(weight, key=lambda w: (-weight[w], w))
    chosen, reasons, derived = choose(src, weight, ranked, deck, src.hand_in, src.hand_out)
    for w in src.hand_in:
        # A word counted only under another lemma (trousers under trouser) ranks by its own form.
        if not weight.get(w):
            weight[w] = form_weight.get(w, 0.0)
    words = set(chosen) | set(src.hand_in)
    order = sorted(words, key=lambda w: (0, -weight[w], w) if weight.get(w) else (1, 0, w))
    if len({w.lower() for w in order}) != len(order) or deck & set(order):
        die("a word twice, or a word of units 001-024 again")
    if report:
        baseline, _, _ = choose(src, weight, ranked, deck, {}, {})
        print_report(src, weight, ranked, reasons, derived, chosen, set(baseline),
                     report == "full")
    return [src.hand_in[w][0] if w in src.hand_in else w for w in order]


def print_report(src, weight, ranked, reasons, derived, chosen, baseline, full):
    last = weight[chosen[-1]]
    by_reason = {}
    for w in ranked:
        if weight[w] >= last and w in reasons:
            by_reason.setdefault(reasons[w], []).append(w)
    print(f"lemmas ranked: {len(ranked)}; the frequency fill ({len(chosen)} words) stops at "
          f"weight {last:.3g} ({chosen[-1]}); dropped above that weight:")
    for r, ws in sorted(by_reason.items(), key=lambda x: (-len(x[1]), x[0])):
        print(f"  {len(ws):5d}  {r}: {' '.join(ws if full else ws[:12])}")
    forced_new = [w for w in src.hand_in if w not in baseline]
    out_hit = [w for w in src.hand_out if w in baseline]
    print(f"hand review: {len(src.hand_in)} forced in, {len(forced_new)} of them not chosen by "
          f"frequency alone; {len(src.hand_out)} forced out, {len(out_hit)} of them chosen by "
          f"frequency alone")
    no_rank = [w for w in src.hand_in if not weight.get(w)]
    print(f"forced in without a rank: {len(no_rank)} {' '.join(sorted(no_rank))}")
    pushed = [w for w in ranked if w in baseline and w not in chosen and
              w not in src.hand_out and w not in src.hand_in]
    print(f"chosen by frequency alone but pushed out by the forced-in words: {len(pushed)}")
    print(f"  {' '.join(pushed)}")
    print(f"derived words dropped: {len(derived)}")
    print("  " + " ".join(f"{w}<{s}" for w, (s, a) in sorted(derived.items())))


def write_list(words):
    if len(words) != NEW_WORDS:
        die(f"{len(words)} words, expected {NEW_WORDS}")
    OUTPUT.parent.mkdir(parents=True, exist_ok=True)
    with open(OUTPUT, "w", encoding="utf-8", newline="\n") as f:
        f.write("# Units 025-120 of the review deck: 2,592 basic words beyond the 648 of units "
                "001-024, most frequent\n# first, made by tools/deck/select_words.py from the "
                "inputs under tools/deck/inputs/ (licences there).\n# unit word\n")
        for i, w in enumerate(words):
            f.write(f"{FIRST_UNIT + i // UNIT_SIZE:03d} {w}\n")


def main(argv):
    if argv[1:2] == ["--extract"]:
        extract(argv[2] if len(argv) > 2 else
                "/tmp/deckwords/node_modules/popular-english-words")
        return
    if argv[1:] not in ([], ["--report"], ["--report=full"]):
        die(__doc__)
    src = Sources()
    write_list(select(src, report=argv[1][9:] or "short" if argv[1:] else ""))


if __name__ == "__main__":
    main(sys.argv)
