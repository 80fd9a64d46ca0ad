#!/usr/bin/env python3
"""Compares the check runs the COM suite printed with the Linux command's on the same home.

    compare_json.py --velmora build/velmora --lots demo/lots.csv --home MODE=DIR [...] OUTPUT

OUTPUT is the suite's standard output: one line "JSON <object>" per run, the object holding
"mode", "trace" (the entries its trace received, without timestamps) and the fields of
`velmora check --format json`. Each run is compared, value for value and with the records in
order, with `velmora check --home DIR --lot L --step S --format json --trace FILE` for the DIR
of its mode, and its trace with that FILE's entries. Every scenario of the lots file must have
run in every mode given. Exit status 0 when all are equal, 1 otherwise.
"""
import argparse
import csv
import json
import subprocess
import sys
import tempfile
from pathlib import Path


def scenarios(lots_file):
    rows = []
    with open(lots_file, newline="") as f:
        for row in csv.reader(f):
            if not row or row[0].startswith("#") or row == ["lot", "step"]:
                continue
            rows.append((row[0], row[1]))
    return rows


def linux_run(velmora, home, lot, step):
    """The command's JSON object and its trace entries (the text after each timestamp)."""
    with tempfile.TemporaryDirectory() as folder:
        trace = Path(folder) / "trace.txt"
        done = subprocess.run(
            [velmora, "check", "--home", home, "--lot", lot, "--step", step, "--format", "json",
             "--trace", str(trace)], capture_output=True, text=True, check=False)
        if not done.stdout.strip():
            raise SystemExit(f"velmora check {lot} {step} printed nothing: {done.stderr.strip()}")
        entries = trace.read_text().splitlines() if trace.exists() else []
    return json.loads(done.stdout), [line.split(" ", 1)[1] for line in entries]


def differences(got, want, where=""):
    """Human-readable differences between two JSON values, records compared in order."""
    if isinstance(want, dict) and isinstance(got, dict):
        out = []
        for key in sorted(set(want) | set(got)):
            if key not in got:
                out.append(f"{where}{key}: missing (want {want[key]!r})")
            elif key not in want:
                out.append(f"{where}{key}: unexpected {got[key]!r}")
            else:
                out += differences(got[key], want[key], f"{where}{key}.")
        return out
    if isinstance(want, list) and isinstance(got, list):
        out = []
        if len(got) != len(want):
            out.append(f"{where}length {len(got)}, want {len(want)}")
        for i, (g, w) in enumerate(zip(got, want)):
            out += differences(g, w, f"{where}{i + 1}.")
        return out
    return [] if got == want else [f"{where.rstrip('.')}: got {got!r}, want {want!r}"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--velmora", required=True)
    parser.add_argument("--lots", required=True)
    parser.add_argument("--home", action="append", required=True, metavar="MODE=DIR")
    parser.add_argument("output")
    args = parser.parse_args()
    homes = dict(item.split("=", 1) for item in args.home)

    runs = []
    for number, line in enumerate(Path(args.output).read_text().splitlines(), 1):
        if line.startswith("JSON "):
            try:
                runs.append(json.loads(line[5:]))
            except json.JSONDecodeError as e:
                print(f"{args.output}:{number}: not JSON ({e}): {line[:200]}")
                return 1

    failures = 0
    seen = set()
    cache = {}
    for run in runs:
        mode = run.pop("mode")
        trace = run.pop("trace")
        if mode not in homes:
            print(f"a run in mode {mode!r}, which has no home given")
            failures += 1
            continue
        key = (homes[mode], run["lot"], run["step"])
        if key not in cache:
            cache[key] = linux_run(args.velmora, *key)
        want, want_trace = cache[key]
        seen.add((mode, run["lot"], run["step"]))
        found = differences(run, want) + differences(trace, want_trace, "trace.")
        if found:
            failures += 1
            print(f"DIFFERENT {mode} {run['lot']} at {run['step']}:")
            for text in found[:20]:
                print(f"  {text}")

    for mode in homes:
        for lot, step in scenarios(args.lots):
            if (mode, lot, step) not in seen:
                print(f"MISSING {mode} {lot} at {step}: the suite printed no run")
                failures += 1

    modes = ", ".join(sorted(homes))
    if failures:
        print(f"{failures} of {len(runs)} runs ({modes}) differ from the Linux command or are missing")
        return 1
    print(f"{len(runs)} runs ({modes}) equal to the Linux command, trace entries included")
    return 0


if __name__ == "__main__":
    sys.exit(main())
