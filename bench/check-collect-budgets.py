#!/usr/bin/env python3
"""Holds the collector's whole runs to their budgets.

    check-collect-budgets.py RUNS COLLECTED

RUNS has one line per run, as bench/collect-budgets.sh writes them: a key,
the wall time and the CPU time (user + system) in microseconds, and the
peak resident memory in kilobytes. Each budget divides the median of a
command's runs by the median of its floor's, both from the same session, so
that the verdict depends neither on the machine's speed nor on one run slowed
by other work; the memory limit holds for every run. A ratio without a limit
is printed for information and decides nothing. COLLECTED is the
document one collect run printed: its Codex provider must be available with
limits, since a collector that found nothing would be fast for nothing.
Prints the runs as a table and one line per budget; exits 1 when any budget
fails or cannot be read.
"""

import json
import statistics
import sys
from dataclasses import dataclass
from typing import Optional

RUNS = {
    "cat-kept": "cat of the files the pruning keeps",
    "find-cat-kept": "find stating every session file, cat of those the pruning keeps",
    "cat-all": "cat of every session file",
    "collect": "tavvo collect --print, first pass",
    "snapshot-path": "tavvo snapshot path",
    "statusline-first": "tavvo claude-statusline, first feed",
    "statusline-again": "tavvo claude-statusline, feed unchanged",
}


@dataclass(frozen=True)
class Ratio:
    case: str
    floor: str
    measure: str  # "wall" or "cpu"
    limit: Optional[float]  # None: shown, never failed


# The first pass must stat every log, not only read the kept ones (a resumed
# session appends to an old file), so its budget is against a floor that
# does both; the ratio to reading the kept files alone shows what the walk
# and the program's start cost on top of reading.
RATIOS = (
    Ratio("collect", "find-cat-kept", "cpu", 1.5),
    Ratio("collect", "find-cat-kept", "wall", 1.5),
    Ratio("collect", "cat-kept", "cpu", None),
    Ratio("collect", "cat-kept", "wall", None),
    Ratio("collect", "cat-all", "cpu", 0.2),
    Ratio("collect", "cat-all", "wall", 0.2),
    Ratio("statusline-first", "snapshot-path", "cpu", 2.0),
    Ratio("statusline-again", "snapshot-path", "cpu", 2.0),
)
# Peak resident memory in kilobytes, whatever the history's size.
MEMORY_LIMITS = {"collect": 30 * 1024}


def read_runs(path):
    """Each key's runs as lists of wall times, CPU times and peaks."""
    runs = {}
    with open(path, encoding="utf-8") as file:
        for line in file:
            key, wall, cpu, peak = line.split()
            entry = runs.setdefault(key, {"wall": [], "cpu": [], "peak": []})
            entry["wall"].append(int(wall))
            entry["cpu"].append(int(cpu))
            entry["peak"].append(int(peak))
    return runs


def codex_problem(path):
    """Why the collected document shows no Codex limits, or None."""
    try:
        with open(path, encoding="utf-8") as file:
            document = json.load(file)
        codex = next(provider for provider in document["providers"] if provider["id"] == "codex")
    except (OSError, ValueError, KeyError, TypeError, StopIteration) as error:
        return f"the collected document has no Codex provider ({error!r})"
    if codex.get("status") != "available" or not codex.get("limits"):
        return f"the collected Codex provider is {codex.get('status')!r} with {len(codex.get('limits') or [])} limits"
    return None


def milliseconds(microseconds):
    return f"{microseconds / 1000:.1f} ms"


def main(arguments):
    if len(arguments) != 2:
        sys.exit("usage: check-collect-budgets.py RUNS COLLECTED")
    runs = read_runs(arguments[0])
    failed = False

    print("| run | wall time | CPU time | peak resident memory |")
    print("|---|---|---|---|")
    for key, label in RUNS.items():
        if key in runs:
            entry = runs[key]
            print(
                f"| {label} | {milliseconds(statistics.median(entry['wall']))} | {milliseconds(statistics.median(entry['cpu']))} "
                f"| {max(entry['peak']) / 1024:.1f} MB |"
            )
    print("(medians of each command's runs; the largest peak)")

    for ratio in RATIOS:
        name = f"{ratio.measure} time of {RUNS[ratio.case]} over {RUNS[ratio.floor]}"
        if ratio.case not in runs or ratio.floor not in runs:
            failed = failed or ratio.limit is not None
            print(f"{name}: MISSING")
            continue
        case = statistics.median(runs[ratio.case][ratio.measure])
        floor = statistics.median(runs[ratio.floor][ratio.measure])
        value = case / floor if floor > 0 else float("inf")
        if ratio.limit is None:
            print(f"{name}: {value:.2f}, no limit (for information)")
            continue
        passed = value <= ratio.limit
        failed = failed or not passed
        print(f"{name}: {value:.2f}, limit {ratio.limit:.2f}  {'pass' if passed else 'FAIL'}")
    for key, limit in MEMORY_LIMITS.items():
        peak = max(runs[key]["peak"]) if key in runs else None
        passed = peak is not None and peak < limit
        failed = failed or not passed
        shown = "MISSING" if peak is None else f"{peak / 1024:.1f} MB"
        print(f"peak memory of {RUNS[key]}: {shown}, limit {limit / 1024:.0f} MB  {'pass' if passed else 'FAIL'}")

    problem = codex_problem(arguments[1])
    if problem:
        failed = True
        print(f"FAIL: {problem}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
