#!/usr/bin/python3
"""Fails when a GoogleTest case skipped that .ci/run does not expect to skip.

    tools/check-skips.py LOG...

Reads the output of ctest runs: "Test #N: Suite.Case ...***Skipped" where each case is a ctest
entry, and GoogleTest's own "[  SKIPPED ] Suite.Case" where a whole suite is one (the suites
under Wine). A case is expected to skip when a line of .ci/run names it:

    expected_skip Suite.Case "why it cannot run on this machine"

Prints every skipped case, expected or not, and fails when one was not expected.
"""

import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CTEST_SKIP = re.compile(r"Test +#\d+: +(\S+) +\.*\s*\*\*\*Skipped")
GTEST_SKIP = re.compile(r"\[  SKIPPED \] (\S+\.\S+)")
EXPECTED = re.compile(r"^\s*expected_skip\s+(\S+)\s+\S")


def expected_skips():
    with open(os.path.join(ROOT, ".ci", "run"), encoding="utf-8") as run:
        return {match.group(1) for match in map(EXPECTED.match, run) if match}


def skipped_cases(log):
    with open(log, encoding="utf-8", errors="replace") as text:
        return {match.group(1) for line in text
                for match in (CTEST_SKIP.search(line), GTEST_SKIP.search(line)) if match}


def main(logs):
    if not logs:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    expected = expected_skips()
    skipped = set().union(*(skipped_cases(log) for log in logs))
    unexpected = sorted(skipped - expected)
    for case in sorted(skipped & expected):
        print(f"skipped, as .ci/run expects: {case}")
    for case in unexpected:
        print(f"skipped, and no line of .ci/run expects it: {case}")
    print(f"check-skips: {len(skipped)} skipped, {len(unexpected)} not expected")
    return 1 if unexpected else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
