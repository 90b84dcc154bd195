"""Reads valgrind's XML report of a run of the program and fails on every definite leak that
has a frame of the program on its stack (the program's own code is linked into its binary).
Leaks wholly inside system libraries are listed and let through; the known ones are already
suppressed by tests/robustness/valgrind.supp.

usage: definite_leaks.py REPORT.xml PROGRAM SOURCE_DIR
"""
import os
import sys
import xml.etree.ElementTree as ET

report, program, source_dir = sys.argv[1], os.path.realpath(sys.argv[2]), os.path.realpath(sys.argv[3])


def ours(frame):
    obj = frame.findtext("obj")
    where = frame.findtext("dir")
    return (obj is not None and os.path.realpath(obj) == program) or (
        where is not None and os.path.realpath(where).startswith(source_dir + os.sep))


def describe(frame):
    fn = frame.findtext("fn") or frame.findtext("ip")
    place = frame.findtext("file")
    if place:
        return f"{fn} ({place}:{frame.findtext('line')})"
    return f"{fn} ({frame.findtext('obj')})"


root = ET.parse(report).getroot()
failed = allowed = 0
for error in root.iter("error"):
    if error.findtext("kind") != "Leak_DefinitelyLost":
        continue
    frames = error.find("stack").findall("frame")
    text = error.find("xwhat").findtext("text") if error.find("xwhat") is not None else error.findtext("what")
    if any(ours(f) for f in frames):
        failed += 1
        print(f"LEAK: {text}")
        for f in frames:
            print(f"    {describe(f)}")
    else:
        allowed += 1
        print(f"library-internal, allowed: {text} (in {describe(frames[1] if len(frames) > 1 else frames[0])})")

counts = root.find("suppcounts")
suppressed = sum(int(p.findtext("count")) for p in counts.iter("pair")) if counts is not None else 0
print(f"definite leaks: {failed} with the program's code on the stack, {allowed} inside libraries, "
      f"{suppressed} suppressed")
sys.exit(1 if failed else 0)
