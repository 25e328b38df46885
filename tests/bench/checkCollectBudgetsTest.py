#!/usr/bin/env python3
"""The collector's budget check decides by the right floor: a first pass
must stat every log as well as read the kept ones, so only the ratio to a
floor doing both may fail a run.

    checkCollectBudgetsTest.py CHECK_SCRIPT
"""

import json
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = None
COLLECTED = {"providers": [{"id": "codex", "status": "available", "limits": [{"window": "five_hour"}]}]}
# Medians in microseconds as a quiet run shows them: the collector costs
# more than reading the kept files, less than the walk and the reading.
QUIET = {
    "cat-kept": 25_000,
    "find-cat-kept": 32_000,
    "cat-all": 250_000,
    "collect": 38_000,
    "snapshot-path": 4_700,
    "statusline-first": 7_000,
    "statusline-again": 6_000,
}


def check(medians):
    """The check's exit status and output for runs of these times."""
    with tempfile.TemporaryDirectory() as folder:
        runs = os.path.join(folder, "runs")
        collected = os.path.join(folder, "collected.json")
        with open(runs, "w", encoding="utf-8") as file:
            for key, time in medians.items():
                for spread in (-200, -100, 0, 100, 5_000):
                    file.write(f"{key} {time + spread} {time + spread} 9000\n")
        with open(collected, "w", encoding="utf-8") as file:
            json.dump(COLLECTED, file)
        result = subprocess.run([sys.executable, CHECK, runs, collected], capture_output=True, text=True)
        return result.returncode, result.stdout


class FirstPassFloor(unittest.TestCase):
    def test_over_reading_alone_but_within_the_walk_passes(self):
        status, output = check(QUIET)
        self.assertEqual(status, 0, output)
        self.assertIn("over cat of the files the pruning keeps: 1.52, no limit", output)

    def test_over_the_walk_and_reading_fails(self):
        status, output = check(QUIET | {"collect": 49_000})
        self.assertEqual(status, 1, output)
        self.assertIn("1.53, limit 1.50  FAIL", output)

    def test_a_run_without_the_walk_floor_fails(self):
        status, output = check({key: time for key, time in QUIET.items() if key != "find-cat-kept"})
        self.assertEqual(status, 1, output)
        self.assertIn("MISSING", output)


if __name__ == "__main__":
    CHECK = sys.argv.pop(1)
    unittest.main()
