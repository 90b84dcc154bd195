#!/usr/bin/env python3
"""Writes words in the program's ASCII transcription alphabet from espeak-ng's British IPA.

ipa_to_alphabet.py [--secondary] [--check DATA] [WORD ...]

Words come from the command line or, without any, one a line from standard input; each prints as
"word<TAB>transcription". espeak-ng (apt-get install espeak-ng) gives the IPA of the RP voice;
the output follows the house style of content/data/words.txt: stress marks before the syllable,
no mark on a word of one syllable, a final r that British English drops written "(r)".
--secondary keeps secondary stress (9), which the word list leaves out.
--check DATA compares with the headword transcriptions of DATA (content/data/words.txt) and
prints the agreement and the words that differ.
"""
import re
import subprocess
import sys

VOICE = "en-gb-x-rp"

# Longest first, so that diphthongs and affricates win over their parts.
PHONEMES = [
    ("aɪə", "aIE"), ("aʊə", "aJE"),
    ("tʃ", "tF"), ("dʒ", "dV"),
    ("eɪ", "eI"), ("aɪ", "aI"), ("ɔɪ", "CI"), ("aʊ", "aJ"), ("əʊ", "EJ"), ("oʊ", "EJ"),
    ("iə", "IE"), ("ɪə", "IE"), ("eə", "eE"), ("ɛə", "eE"), ("ʊə", "JE"),
    ("iː", "i:"), ("uː", "u:"), ("ɑː", "B:"), ("ɔː", "C:"), ("ɜː", "\\:"), ("ɑ", "B"),
    ("æ", "A"), ("ɒ", "R"), ("ɔ", "C"), ("ʌ", "Q"), ("ʊ", "J"), ("ɪ", "I"), ("ᵻ", "I"),
    ("i", "I"), ("u", "u"), ("e", "e"), ("ɛ", "e"), ("ə", "E"), ("ɐ", "E"), ("ɚ", "E"),
    ("ɜ", "\\"), ("a", "a"), ("o", "C"),
    ("θ", "W"), ("ð", "T"), ("ʃ", "F"), ("ʒ", "V"), ("ŋ", "N"), ("ɡ", "^"), ("g", "^"),
    ("ɹ", "r"), ("r", "r"), ("ɾ", "t"), ("ʔ", "t"), ("ɫ", "l"), ("l", "l"),
    ("b", "b"), ("d", "d"), ("f", "f"), ("h", "h"), ("j", "j"), ("k", "k"), ("m", "m"),
    ("n", "n"), ("p", "p"), ("s", "s"), ("t", "t"), ("v", "v"), ("w", "w"), ("z", "z"),
    ("x", "k"),
]
VOWELS = {"aIE", "aJE", "eI", "aI", "CI", "aJ", "EJ", "IE", "eE", "JE", "i:", "u:", "B:", "C:",
          "\\:", "B", "A", "R", "C", "Q", "J", "I", "u", "e", "E", "\\", "a"}
# Consonant clusters that may begin an English syllable: a stress mark moves in front of them.
ONSETS = {tuple(x.split()) for x in (
    "p b t d k ^ f v W T s z F V h m n l r w j tF dV".split() +
    ["p l", "p r", "p j", "b l", "b r", "b j", "t r", "t j", "t w", "d r", "d j", "d w",
     "k l", "k r", "k j", "k w", "^ l", "^ r", "^ j", "^ w", "f l", "f r", "f j", "W r",
     "W j", "W w", "s p", "s t", "s k", "s m", "s n", "s l", "s w", "s f", "s j", "F r",
     "m j", "n j", "h j", "l j", "v j", "s p l", "s p r", "s p j", "s t r", "s t j",
     "s k r", "s k w", "s k j", "s k l"])}
# Vowels after which a final written r is silent in British English.
R_VOWELS = {"E", "eE", "IE", "JE", "C:", "B:", "\\:", "aIE", "aJE", "EJE"}


def espeak(word):
    out = subprocess.run(["espeak-ng", "-q", "--ipa", "-v", VOICE, word],
                         capture_output=True, text=True, check=True).stdout
    return " ".join(out.split())


def tokens(ipa):
    """[(symbol, kind)]: kind 'V' vowel, 'C' consonant, '1' primary, '2' secondary stress."""
    out, i = [], 0
    while i < len(ipa):
        ch = ipa[i]
        if ch == "ˈ":
            out.append(("5", "1"))
            i += 1
            continue
        if ch == "ˌ":
            out.append(("9", "2"))
            i += 1
            continue
        if ch in " -_‿" or ch == "\u0329":
            i += 1
            continue
        for ipa_sym, ours in PHONEMES:
            if ipa.startswith(ipa_sym, i):
                out.append((ours, "V" if ours in VOWELS else "C"))
                i += len(ipa_sym)
                break
        else:
            raise ValueError(f"unknown IPA symbol {ch!r} in {ipa!r}")
    return out


def place_stress(toks):
    """espeak marks stress before the vowel; the house style marks it before the syllable, so a
    mark moves left over the longest run of consonants that can begin a syllable."""
    out = []
    for sym, kind in toks:
        if kind in "12":
            run = []
            while out and out[-1][1] == "C":
                run.insert(0, out.pop())
            cut = len(run)
            for k in range(len(run) + 1):
                if k == len(run) or tuple(s for s, _ in run[k:]) in ONSETS:
                    cut = k
                    break
            out.extend(run[:cut])
            out.append((sym, kind))
            out.extend(run[cut:])
        else:
            out.append((sym, kind))
    return out


def house_style(word, toks, secondary):
    # aIE and aJE (fire, tower) count as two syllables, so such a word carries its stress mark.
    vowels = sum(2 if s in ("aIE", "aJE") else 1 for s, k in toks if k == "V")
    toks = [t for t in toks if not (t[1] == "2" and not secondary)]
    if vowels <= 1:
        toks = [t for t in toks if t[1] not in "12"]
    # A vowel is stressed when a mark stands before its syllable, or when the word has one.
    stressed, mark = [], vowels <= 1
    for sym, kind in toks:
        if kind in "12":
            mark = True
        stressed.append(kind == "V" and mark)
        if kind == "V":
            mark = vowels <= 1
    syms = [s for s, _ in toks]
    first_stress = next((i for i, (_, k) in enumerate(toks) if k in "12"), len(toks))
    for i, sym in enumerate(syms):
        if toks[i][1] != "V" or stressed[i]:
            continue
        if sym == "Q":
            syms[i] = "E"              # espeak's unstressed ʌ (welcome, subdue) is a schwa
        elif sym == "e" and i == 0 and i < first_stress:
            syms[i] = "I"              # unstressed initial e- (endow, exhibit) is ɪ in RP
        elif sym == "u:" and i + 1 < len(syms) and syms[i + 1] == "E":
            syms[i] = "J" if i and syms[i - 1] == "V" else "u"   # actual, usual
    # en-/in- keep their n before a g or k of the stem (engage), unlike bank or uncle.
    if len(syms) > 2 and syms[1] == "N" and re.match(r"[ei]n[gkc]", word.lower()):
        syms[1] = "n"
    # -llion, -nion: the i is a glide (billion, onion).
    if re.search(r"[ln]ion$", word.lower()) and len(syms) >= 3 and syms[-2] == "IE" and \
            syms[-1] == "n" and syms[-3] in ("l", "n"):
        syms[-2:-1] = ["j", "E"]
    # A final unstressed schwa + l or n is syllabic: written bare after most consonants, with
    # an optional schwa after d, v, n and f (model, devil, final, grateful).
    if len(syms) >= 3 and syms[-2] == "E" and syms[-1] in ("l", "n") and \
            toks[-3][1] == "C" and syms[-3] not in ("r", "dV", "V", "tF", "j", "w"):
        before = syms[-3]
        if before in ("d", "v", "n", "f") and not (syms[-1] == "n" and before == "f"):
            syms[-2:-1] = ["(E)"]
        elif syms[-1] == "l" or before in ("s", "f", "t"):
            del syms[-2]
    text = "".join(syms)
    if re.search(r"r(e|es|s|ed)?$", word.lower()) and syms and syms[-1] in R_VOWELS:
        text += "(r)"
    return text


def transcribe(word, secondary=False):
    return house_style(word, place_stress(tokens(espeak(word))), secondary)


def headwords(path):
    out = []
    cur = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("@ "):
                cur = line[2:].split()[0]
            elif line.startswith("= ") and cur:
                parts = line.rstrip("\n").split(" ", 4)
                if parts[1] == cur:
                    out.append((cur, parts[4]))
                    cur = None
    return out


def check(path, secondary):
    heads = headwords(path)
    wrong, other_sense = [], []
    for word, known in heads:
        # The list shows the first sense's pronunciation (variants of it are all accepted);
        # espeak gives one pronunciation whatever the sense.
        senses = [[v.strip() for v in sense.split(",")] for sense in known.split(";")]
        ours = transcribe(word, secondary)
        if ours not in senses[0]:
            wrong.append((word, known, ours))
            if any(ours in sense for sense in senses[1:]):
                other_sense.append(word)
    good = len(heads) - len(wrong)
    print(f"{good} of {len(heads)} agree with the first sense ({100.0 * good / len(heads):.1f}%); "
          f"{good + len(other_sense)} ({100.0 * (good + len(other_sense)) / len(heads):.1f}%) "
          f"with some sense ({' '.join(other_sense)} take another sense's)")
    for word, known, ours in wrong:
        print(f"  {word}\tlist {known}\tespeak {ours}")


def main(argv):
    args = argv[1:]
    secondary = "--secondary" in args
    args = [a for a in args if a != "--secondary"]
    if args[:1] == ["--check"]:
        if len(args) != 2:
            sys.exit(__doc__)
        check(args[1], secondary)
        return
    words = args or [w.strip() for w in sys.stdin if w.strip()]
    for w in words:
        print(f"{w}\t{transcribe(w, secondary)}")


if __name__ == "__main__":
    main(sys.argv)
