#!/usr/bin/python3
"""Through the desktop's accessibility bus, as a screen reader would: find the main window,
type a word into the input area and read the display area; then, given the review program, read
its card before and after an answer.

accessibility.py PROGRAM [REVIEW_PROGRAM]   (run inside a D-Bus session with the AT-SPI bus running)
"""
import os
import sqlite3
import subprocess
import sys
import tempfile
import time

import pyatspi


def find(node, pred, depth=0):
    if node is None or depth > 12:
        return None
    try:
        if pred(node):
            return node
        for i in range(node.childCount):
            hit = find(node.getChildAtIndex(i), pred, depth + 1)
            if hit is not None:
                return hit
    except Exception:
        return None
    return None


def wait_for(fn, seconds=60):
    end = time.time() + seconds
    while time.time() < end:
        got = fn()
        if got:
            return got
        time.sleep(0.2)
    return None


def text_of(node):
    t = node.queryText()
    return t.getText(0, t.characterCount)


ENV = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")


def registry():
    """The desktop, once the registry answers: a program started before may never register."""
    desktop = pyatspi.Registry.getDesktop(0)

    def registry_answers():
        try:
            return desktop.childCount >= 0
        except Exception:
            return False
    assert wait_for(registry_answers), "gave up after 60 s waiting for the accessibility registry to answer"
    return desktop


def window_of(desktop, app_names, title):
    app = wait_for(lambda: next((a for a in desktop if a is not None and a.name in app_names), None))
    assert app is not None, f"gave up after 60 s waiting for {app_names[0]} to appear on the accessibility bus"
    window = wait_for(lambda: find(app, lambda n: n.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW) and title in n.name))
    assert window is not None, f"no window named {title}"
    return app, window


def named(window, name):
    node = find(window, lambda n: n.name == name and n.getRole() != pyatspi.ROLE_COMBO_BOX)
    assert node is not None, f"no control named {name}"
    return node


def focus(pid, title, node):
    """Keystrokes go to the X window with the input focus: give it to ours, then to the control."""
    subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(pid), "--name", title,
                    "windowfocus", "--sync"], check=True, timeout=20)
    node.queryComponent().grabFocus()
    return wait_for(lambda: node.getState().contains(pyatspi.STATE_FOCUSED), 5)


def start_review(program, env, data):
    """The review program on a fresh data folder, its window focused: the first new word shown."""
    prog = subprocess.Popen([program], env=dict(env, XDG_DATA_HOME=data), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    _, window = window_of(registry(), ("晨星复习", "chenxing-review"), "晨星复习")
    subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(prog.pid), "--name", "晨星复习",
                    "windowfocus", "--sync"], check=True, timeout=20)
    assert wait_for(lambda: text_of(named(window, "题目")).startswith("新词："), 30), "the first new word is shown"
    return prog, window, named(window, "答案")


def ask_first_word(prog, window, answer):
    """Enter past the four new words shown first, until the first of them is asked; the answer field
    focused. Returns that word and its meaning."""
    prompt, word = named(window, "题目"), text_of(named(window, "单词"))
    meaning = text_of(prompt)[len("新词："):]
    for _ in range(4):
        subprocess.run(["xdotool", "key", "Return"], check=True)
        time.sleep(0.2)
    assert wait_for(lambda: text_of(prompt) == meaning, 10), f"{word} is asked: {text_of(prompt)!r}"
    assert wait_for(lambda: focus(prog.pid, "晨星复习", answer), 30), "the answer field takes the focus"
    return word, meaning


def log_rows(data):
    path = os.path.join(data, "chenxing-review", "progress.sqlite")
    with sqlite3.connect(f"file:{path}?mode=ro", uri=True) as db:
        return db.execute("SELECT word, grade FROM review_log ORDER BY id").fetchall()


def check_review(program):
    """The card as a screen reader reads it: each label's name says what it is, its text what it shows."""
    with tempfile.TemporaryDirectory() as data:
        prog, window, answer = start_review(program, ENV, data)
        try:
            # The new word shown first: the word, its code letter by letter, its phonetic line in IPA.
            assert text_of(named(window, "单元")).startswith("第 0"), "the unit is read"
            assert "新词 54" in text_of(named(window, "计数")), "the counts are read"
            word = text_of(named(window, "单词"))
            code = text_of(named(window, "汉字码"))
            phrase, _, letters = code.partition("：")
            assert len(phrase) == len(word) and "".join(p.split()[-1] for p in letters.split("，")) == word, \
                f"the code of {word} is read with its letters: {code!r}"
            phonetic = text_of(named(window, "音标"))
            # Units 001-002 come first: dictionary words, each with its phonetic line.
            assert phonetic.startswith(word.lower() + " /") and phonetic.endswith("/") and phonetic.isascii() is False, \
                f"the phonetic line is read in IPA: {phonetic!r}"
            asked, meaning = ask_first_word(prog, window, answer)
            subprocess.run(["xdotool", "type", "--delay", "30", asked[:-1]], check=True)
            subprocess.run(["xdotool", "key", "Return"], check=True)
            feedback = named(window, "对错")
            assert wait_for(lambda: f"缺 {asked[-1]}" in text_of(feedback), 10), f"the feedback is read: {text_of(feedback)!r}"
            assert text_of(named(window, "单词")) == asked, "the word is read"
            print("accessibility: review card read:", meaning, "|", asked, "|", code[:24])
        finally:
            prog.terminate()
            prog.wait(10)


def main():
    env = ENV
    desktop = registry()
    prog = subprocess.Popen([sys.argv[1]], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        app = wait_for(lambda: next((a for a in desktop if a is not None and a.name in ("晨星学堂", "chenxing")), None))
        assert app is not None, "gave up after 60 s waiting for the program to appear on the accessibility bus"
        window = wait_for(lambda: find(app, lambda n: n.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW) and "晨星学堂" in n.name))
        assert window is not None, "no main window named 晨星学堂"
        names = {}
        for wanted in ("输入区", "浏览区", "显示区", "音标区", "幽默故事", "语音引擎", "单词练习", "真人发音", "主菜单"):
            names[wanted] = find(window, lambda n, w=wanted: n.name == w and n.getRole() != pyatspi.ROLE_COMBO_BOX)
            assert names[wanted] is not None, f"no control named {wanted}"
        entry = names["显示区"]
        start = text_of(entry)
        assert "晨" in start, "the display area shows the start page"
        editable = names["输入区"]
        # Keystrokes go to the X window with the input focus: give it to ours, then to the box.
        # Another program on the same display may take the focus back, so try a few times.
        shown = None
        for _ in range(3):
            subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(prog.pid),
                            "--name", "晨星学堂 3.9", "windowfocus", "--sync"], check=True, timeout=20)
            editable.queryComponent().grabFocus()
            wait_for(lambda: editable.getState().contains(pyatspi.STATE_FOCUSED), 5)
            subprocess.run(["xdotool", "key", "ctrl+a", "BackSpace"], check=True)
            subprocess.run(["xdotool", "type", "--delay", "30", "back"], check=True)
            shown = wait_for(lambda: "爸在吃苦" in text_of(entry) and text_of(entry), 5)
            if shown:
                break
        assert shown, f"typing 'back' did not show its entry; the display area reads {text_of(entry)[:60]!r}"
        assert "bAk" in text_of(names["音标区"]), "the phonetic area shows the transcription"
        for picture in ("幽默故事", "语音引擎", "单词练习", "真人发音", "主菜单"):
            assert names[picture].getRole() == pyatspi.ROLE_PUSH_BUTTON, f"{picture} is announced as a button"
        # Pressing a picture through its action works as a click: the practice window appears.
        action = names["单词练习"].queryAction()
        action.doAction(0)
        assert wait_for(lambda: find(app, lambda n: n.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW) and n.name == "单词练习"), 10), \
            "pressing 单词练习 shows the practice window"
        print("accessibility: main window found, 'back' typed, entry read:", shown.split("\n")[1])
    finally:
        prog.terminate()
        prog.wait(10)
    if len(sys.argv) > 2:
        check_review(sys.argv[2])


if __name__ == "__main__":
    main()
