"""The voices Debian main offers for English, each as a command that speaks a text into a WAV
file. flite's are the ones the read-aloud window loads; espeak-ng's "en" is what
speech-dispatcher speaks English with out of the box."""
import subprocess


def _flite(name):
    return lambda text, wav: ["flite", "-voice", name, "-t", text, "-o", wav]


VOICES = {
    "espeak-ng en-gb": lambda text, wav: ["espeak-ng", "-v", "en-gb", "-s", "140", "-w", wav, text],
    "espeak-ng en-us": lambda text, wav: ["espeak-ng", "-v", "en-us", "-w", wav, text],
    "espeak-ng en": lambda text, wav: ["espeak-ng", "-v", "en", "-w", wav, text],
    "festival slt hts": lambda text, wav: ["text2wave", "-eval", "(voice_cmu_us_slt_arctic_hts)",
                                           "-o", wav],
    "flite slt": _flite("slt"),
    "flite kal16": _flite("kal16"),
    "flite awb": _flite("awb"),
    "flite rms": _flite("rms"),
    "flite kal": _flite("kal"),
}


def speak(voice, text, wav):
    command = VOICES[voice](text, wav)
    # text2wave reads its text from standard input; the others take it as an argument.
    subprocess.run(command, input=text.encode("utf-8") if command[0] == "text2wave" else None,
                   check=True, capture_output=True, timeout=120)
