#!/usr/bin/env python3
"""Holds the benchmark cases to their budgets.

Reads the JSON that TavvoBenchmarks writes (--benchmark_format=json, or
--benchmark_out=FILE --benchmark_out_format=json) from FILE, or from
standard input when FILE is absent or "-". Each budget divides the median
real time of its cases by that of its floor, both from the same run, so
the verdict does not depend on how fast the machine is; the median of
repetitions, so that one run slowed by the machine's other work does not
decide it either. A budget held to CPU time instead (the collector's
incremental pass, paid on every change it watches) still prints its ratio
to its floor, for comparison between machines. Prints one line per budget and exits 1 when
any budget fails or cannot be read.
"""

import json
import sys
from dataclasses import dataclass

TO_NANOSECONDS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}

FILE_FLOOR = ("SnapshotFile/FloorOpenReadClose", "SnapshotFile/FloorBareParse")


@dataclass(frozen=True)
class Budget:
    name: str
    cases: tuple  # their times add up
    floor: tuple  # likewise
    limit: float | None  # of the ratio; None when only reported
    # A counter both sides are divided by, to compare costs per item.
    per: str | None = None
    # A limit on the median CPU time of the cases, in milliseconds.
    cpu_limit_ms: float | None = None


BUDGETS = (
    Budget("store read", ("SnapshotFile/ReadSnapshot",), FILE_FLOOR, 3.0),
    Budget("host timeline", ("SnapshotFile/HostTimeline",), FILE_FLOOR, 4.0),
    # A guard against regressions only: every text lookup re-reads the
    # language override, which the drawing floor never does. What a user
    # waits for, a whole render run, is held to its floor by
    # process-budgets.sh.
    Budget(
        "large picture",
        ("Widget/ViewTree/systemLarge", "Widget/Layout/systemLarge", "Widget/RenderImage/systemLarge"),
        ("Widget/FloorPangoCairo/systemLarge",),
        12.0,
    ),
    Budget("decode per limit", ("Codec/DecodeLimits/1000",), ("Codec/DecodeLimits/10",), 1.2, per="limits"),
    # What `tavvo collect --watch` spends on each change, next to a stat of
    # every file it reads and folder it watches.
    Budget("incremental pass", ("Collect/IncrementalPass",), ("Collect/FloorStatWatched",), None, cpu_limit_ms=10.0),
)


def median_times(document):
    """Real time in nanoseconds of each case, per its counter when asked:
    the "median" aggregate when the run had repetitions, else the one run.
    Cases that reported an error are left out."""
    runs, medians = {}, {}
    for entry in document.get("benchmarks", []):
        if entry.get("error_occurred"):
            continue
        name = entry.get("run_name", entry["name"])
        if entry.get("run_type") == "aggregate":
            if entry.get("aggregate_name") == "median":
                medians[name] = entry
        else:
            runs.setdefault(name, entry)
    return {**runs, **medians}


def nanoseconds(entry, per, clock="real_time"):
    time = entry[clock] * TO_NANOSECONDS[entry.get("time_unit", "ns")]
    return time / entry[per] if per else time


def total(entries, names, per, clock="real_time"):
    if any(name not in entries for name in names):
        return None
    return sum(nanoseconds(entries[name], per, clock) for name in names)


def main(arguments):
    if len(arguments) > 1:
        sys.exit("usage: check-budgets.py [FILE|-]")
    if not arguments or arguments[0] == "-":
        document = json.load(sys.stdin)
    else:
        with open(arguments[0], encoding="utf-8") as file:
            document = json.load(file)
    entries = median_times(document)

    print(f"{'budget':<17} {'case (ns)':>12} {'floor (ns)':>12} {'ratio':>7} {'limit':>6}  result")
    failed = False
    for budget in BUDGETS:
        case = total(entries, budget.cases, budget.per)
        floor = total(entries, budget.floor, budget.per)
        limit = "-" if budget.limit is None else f"{budget.limit:.2f}"
        if case is None or floor is None or floor <= 0:
            failed = True
            print(f"{budget.name:<17} {'':>12} {'':>12} {'':>7} {limit:>6}  MISSING")
            continue
        ratio = case / floor
        passed = budget.limit is None or ratio <= budget.limit
        cpu_note = ""
        if budget.cpu_limit_ms is not None:
            cpu = total(entries, budget.cases, None, "cpu_time") / 1e6
            passed = passed and cpu <= budget.cpu_limit_ms
            cpu_note = f"  (CPU time {cpu:.2f} ms, limit {budget.cpu_limit_ms:g} ms)"
        failed = failed or not passed
        print(f"{budget.name:<17} {case:>12.1f} {floor:>12.1f} {ratio:>7.2f} {limit:>6}  {'pass' if passed else 'FAIL'}{cpu_note}")
    for budget in BUDGETS:
        unit = f" per '{budget.per}'" if budget.per else ""
        print(f"  {budget.name}: {' + '.join(budget.cases)} over {' + '.join(budget.floor)}{unit}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
