"""The listener the pronunciation benchmarks share: CMU PocketSphinx with its US English model,
a fresh decoder for every file so that no file's result depends on the ones heard before."""
import array
import os
import random
import subprocess

MODEL = "/usr/share/pocketsphinx/model/en-us"
DICTIONARY = os.path.join(MODEL, "cmudict-en-us.dict")


def known_words():
    with open(DICTIONARY, encoding="utf-8") as f:
        return {line.split()[0].split("(")[0] for line in f if line.strip()}


def pcm16k(path):
    """The file as raw 16-bit mono samples at the listener's 16 kHz, under a least-bit dither of
    fixed seed: the listener fails on stretches of digital silence, and the result must not
    change from run to run."""
    pcm = subprocess.run(["sox", "-D", path, "-t", "raw", "-r", "16000", "-c", "1", "-b", "16",
                          "-e", "signed-integer", "-L", "-"],
                         check=True, capture_output=True, timeout=60).stdout
    samples = array.array("h", pcm)
    noise = random.Random(0)
    for i, x in enumerate(samples):
        samples[i] = max(-32768, min(32767, x + noise.randint(-1, 1)))
    return samples.tobytes()


class Listener:
    """grammar: a JSGF file (closed-set recognition), or None for the default language model."""

    def __init__(self, grammar=None):
        from pocketsphinx import Decoder
        self._decoder_type = Decoder
        self._config = Decoder.default_config()
        self._config.set_string("-hmm", os.path.join(MODEL, "en-us"))
        self._config.set_string("-dict", DICTIONARY)
        if grammar:
            self._config.set_string("-jsgf", grammar)
        else:
            self._config.set_string("-lm", os.path.join(MODEL, "en-us.lm.bin"))
        self._config.set_string("-logfn", os.devnull)

    def hear(self, wav):
        decoder = self._decoder_type(self._config)
        decoder.start_utt()
        decoder.process_raw(pcm16k(wav), False, True)
        decoder.end_utt()
        hyp = decoder.hyp()
        return hyp.hypstr.strip() if hyp else ""
