"""Writes every key of every table as a libFuzzer dictionary: make_dict.py EXPORTER OUT."""
import json
import subprocess
import sys

exporter, out = sys.argv[1], sys.argv[2]
tables = json.loads(subprocess.run([exporter], check=True, capture_output=True).stdout)["tables"]
keys = sorted({row["key"] for table in tables for row in table["rows"]})
with open(out, "w", encoding="ascii") as f:
    for key in keys:
        escaped = key.replace("\\", "\\\\").replace('"', '\\"')
        f.write(f'"{escaped}"\n')
