#!/usr/bin/python3
"""The answer field under a Chinese input method switched on, driven by real key events (XTest).

input_methods.py fcitx5|ibus MAIN_PROGRAM REVIEW_PROGRAM   (inside tests/support/atspi_session.sh)

First the main program's input box shows that the input method is really on: "nihao" and Space
give 你好. Then the review program's answer field takes a Space and the asked word as the letters themselves:
no preedit, Enter checks at once, the answer is graded Good. A second start of the review
program on the same data folder ends at once and brings the first one to the front.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app"))
from accessibility import ENV, ask_first_word, focus, log_rows, named, registry, start_review, text_of, wait_for, window_of  # noqa: E402

FCITX_PROFILE = """[Groups/0]
Name=Default
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
"""


def run(*args, env):
    return subprocess.run(args, env=env, capture_output=True, text=True, timeout=20).stdout.strip()


def start_input_method(name, home):
    """The input method daemon with pinyin switched on, and the environment a desktop gives programs."""
    env = dict(ENV, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))
    if name == "fcitx5":
        config = os.path.join(home, ".config", "fcitx5")
        os.makedirs(config)
        with open(os.path.join(config, "profile"), "w") as f:
            f.write(FCITX_PROFILE)
        with open(os.path.join(config, "config"), "w") as f:
            f.write("[Behavior]\nActiveByDefault=True\nShareInputState=All\n")
        daemon = subprocess.Popen(["fcitx5", "--replace"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        on = wait_for(lambda: run("fcitx5-remote", "-n", env=env) == "pinyin" and run("fcitx5-remote", env=env) == "2", 60)
        env.update(QT_IM_MODULE="fcitx", XMODIFIERS="@im=fcitx")
    else:
        env["GSETTINGS_BACKEND"] = "memory"
        # Qt talks to ibus over its bus, not XIM.
        daemon = subprocess.Popen(["ibus-daemon", "--replace", "--panel=disable"], env=env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        on = wait_for(lambda: run("ibus", "engine", "libpinyin", env=env) is not None
                      and run("ibus", "engine", env=env) == "libpinyin", 60)
        env.update(QT_IM_MODULE="ibus", XMODIFIERS="@im=ibus")
    assert on, f"{name} did not switch pinyin on"
    return daemon, env


def main():
    name, main_program, review_program = sys.argv[1:4]
    home = tempfile.mkdtemp()
    daemon, env = start_input_method(name, home)
    programs = []
    try:
        registry()
        # The input method is on: pinyin in the main program's input box gives Chinese.
        main = subprocess.Popen([main_program], env=env, cwd=home, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        programs.append(main)
        _, window = window_of(registry(), ("晨星学堂", "chenxing"), "晨星学堂")
        box = named(window, "输入区")
        assert wait_for(lambda: focus(main.pid, "晨星学堂 3.9", box), 30), "the input box takes the focus"
        time.sleep(0.5)  # the input method's context follows the focus on its own connection
        subprocess.run(["xdotool", "type", "--delay", "60", "nihao"], check=True)
        subprocess.run(["xdotool", "key", "--delay", "60", "space"], check=True)
        assert wait_for(lambda: "你好" in text_of(box), 10), f"{name}: 'nihao' and Space gave {text_of(box)!r}, not 你好"

        data = os.path.join(home, "data")
        review, window, answer = start_review(review_program, env, data)
        programs.append(review)
        word, _ = ask_first_word(review, window, answer)
        time.sleep(0.5)
        subprocess.run(["xdotool", "type", "--delay", "60", " " + word], check=True)
        assert wait_for(lambda: text_of(answer) == word, 10), f"{name}: the field holds {text_of(answer)!r}"
        subprocess.run(["xdotool", "key", "Return"], check=True)
        assert wait_for(lambda: "对了" in text_of(named(window, "对错")), 10), f"{name}: one Enter checks the answer"
        subprocess.run(["xdotool", "key", "Return"], check=True)
        assert wait_for(lambda: log_rows(data) == [(word, 3)], 10), f"{name}: logged {log_rows(data)}"

        # One copy: the second start ends, the first comes to the front.
        assert focus(main.pid, "晨星学堂 3.9", box), "the main program takes the focus back"
        second = subprocess.run([review_program], env=dict(env, XDG_DATA_HOME=data), timeout=30,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        assert second.returncode == 0, "the second copy ends quietly"
        active = lambda: run("xdotool", "getactivewindow", "getwindowpid", env=env) == str(review.pid)  # noqa: E731
        assert wait_for(active, 10), "the running copy comes to the front"
        print(f"{name}: 你好 in the main program; ' {word}' typed, checked and graded Good; second start showed the first")
    finally:
        for p in programs:
            p.terminate()
            p.wait(10)
        daemon.terminate()
        daemon.wait(10)
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    main()
