#!/usr/bin/env python3
"""Seeds small faults into the core and counts how many the core tests catch.

  scripts/seed-faults.py select [--count N] [--seed S] [--out FILE]
      Picks N fault sites in src/core (flipped comparisons, && for ||, true for false, +1 for -1 ...)
      and writes them to FILE (default scripts/seeded-faults.tsv). A site is named by its file, the
      whole text of its line and which match on that line it is, so the same faults can be seeded
      again after the code around them has moved.

  scripts/seed-faults.py run [--faults FILE] [--build DIR] [--only K,...] [--results FILE]
      Seeds each fault in turn, rebuilds norla_core_tests in DIR (default build), runs it, and puts
      the file back. Prints one line a fault (caught, survived, no-build, gone) and the totals.

The work tree's files are always restored, also when the run is interrupted.
"""

import argparse
import os
import random
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_FAULTS = os.path.join(ROOT, "scripts", "seeded-faults.tsv")

# (name, pattern, replacement). Binary operators are matched with the spaces clang-format puts
# around them, which keeps template brackets, streams and pointers out.
OPERATORS = [
    ("eq", r" == ", " != "),
    ("ne", r" != ", " == "),
    ("lt", r" < ", " >= "),
    ("gt", r" > ", " <= "),
    ("le", r" <= ", " > "),
    ("ge", r" >= ", " < "),
    ("and", r" && ", " || "),
    ("or", r" \|\| ", " && "),
    ("true", r"\btrue\b", "false"),
    ("false", r"\bfalse\b", "true"),
    ("plus1", r" \+ 1\b", " - 1"),
    ("minus1", r" - 1\b", " + 1"),
    ("not", r"(?<![!=<>&|])!(?!=)", ""),
]


def blank_literals(line):
    """The line with string and character literals and comments blanked, columns unchanged."""
    out, i, quote = list(line), 0, None
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out[i] = " "
                if i + 1 < len(line):
                    out[i + 1] = " "
                i += 2
                continue
            if c == quote:
                quote = None
            else:
                out[i] = " "
        elif c in "\"'":
            quote = c
        elif line.startswith("//", i):
            return "".join(out[:i]) + " " * (len(line) - i)
        i += 1
    return "".join(out)


def candidate_sites():
    sources = []
    for folder, _, files in os.walk(os.path.join(ROOT, "src", "core")):
        sources += [os.path.join(folder, f) for f in files if f.endswith((".cpp", ".h"))]
    for path in sorted(sources):
        rel = os.path.relpath(path, ROOT)
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
        in_block_comment = False
        for text in lines:
            stripped = text.strip()
            if in_block_comment:
                in_block_comment = "*/" not in stripped
                continue
            if stripped.startswith("/*"):
                in_block_comment = "*/" not in stripped
                continue
            if not stripped or stripped.startswith(("#", "//", "static_assert")):
                continue
            code = blank_literals(text)
            for name, pattern, _ in OPERATORS:
                for occurrence, _ in enumerate(re.finditer(pattern, code)):
                    yield (rel, name, stripped, occurrence)


def select(args):
    sites = list(candidate_sites())
    random.Random(args.seed).shuffle(sites)
    chosen = sorted(sites[: args.count])
    with open(args.out, "w", encoding="utf-8") as f:
        f.write("# file\toperator\toccurrence\tline\n")
        for rel, name, stripped, occurrence in chosen:
            f.write(f"{rel}\t{name}\t{occurrence}\t{stripped}\n")
    print(f"{len(chosen)} of {len(sites)} fault sites written to {os.path.relpath(args.out, ROOT)}")


def read_faults(path):
    with open(path, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t", 3) for line in f if not line.startswith("#")]
    return [(rel, name, int(occurrence), stripped) for rel, name, occurrence, stripped in rows]


def seeded_text(original, name, occurrence, stripped):
    """The file's text with the fault seeded, or None where its line is gone."""
    pattern, replacement = next((p, r) for n, p, r in OPERATORS if n == name)
    lines = original.split("\n")
    for index, text in enumerate(lines):
        if text.strip() != stripped:
            continue
        matches = list(re.finditer(pattern, blank_literals(text)))
        if occurrence >= len(matches):
            return None
        m = matches[occurrence]
        lines[index] = text[: m.start()] + replacement + text[m.end() :]
        return "\n".join(lines)
    return None


def run(args):
    faults = read_faults(args.faults)
    only = {int(k) for k in args.only.split(",")} if args.only else None
    binary = os.path.join(args.build, "tests", "norla_core_tests")
    counts = {"caught": 0, "survived": 0, "no-build": 0, "gone": 0}
    results = []
    restore = {}

    def put_back(*_):
        for path, text in restore.items():
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
        restore.clear()

    signal.signal(signal.SIGTERM, lambda *a: (put_back(), sys.exit(1)))
    try:
        for number, (rel, name, occurrence, stripped) in enumerate(faults, 1):
            if only and number not in only:
                continue
            path = os.path.join(ROOT, rel)
            with open(path, encoding="utf-8") as f:
                original = f.read()
            mutated = seeded_text(original, name, occurrence, stripped)
            if mutated is None:
                outcome = "gone"
            else:
                restore[path] = original
                with open(path, "w", encoding="utf-8") as f:
                    f.write(mutated)
                build = subprocess.run(
                    ["cmake", "--build", args.build, "--target", "norla_core_tests", "-j2"],
                    capture_output=True,
                )
                if build.returncode != 0:
                    outcome = "no-build"
                else:
                    try:
                        test = subprocess.run(
                            [binary, "--gtest_brief=1"], capture_output=True, timeout=args.timeout
                        )
                        outcome = "survived" if test.returncode == 0 else "caught"
                    except subprocess.TimeoutExpired:
                        outcome = "caught"
                put_back()
            counts[outcome] += 1
            results.append(f"{number}\t{outcome}\t{rel}\t{name}\t{stripped}")
            print(f"{number:3d} {outcome:8s} {rel} {name}: {stripped}", flush=True)
    finally:
        put_back()
        # Leave the build matching the restored sources.
        subprocess.run(["cmake", "--build", args.build, "--target", "norla_core_tests", "-j2"],
                       capture_output=True)
    if args.results:
        with open(args.results, "w", encoding="utf-8") as f:
            f.write("\n".join(results) + "\n")
    built = counts["caught"] + counts["survived"]
    print(f"caught {counts['caught']} of {built} faults that build "
          f"({counts['no-build']} do not build, {counts['gone']} gone)")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    verbs = parser.add_subparsers(dest="verb", required=True)
    s = verbs.add_parser("select")
    s.add_argument("--count", type=int, default=80)
    s.add_argument("--seed", type=int, default=14)
    s.add_argument("--out", default=DEFAULT_FAULTS)
    r = verbs.add_parser("run")
    r.add_argument("--faults", default=DEFAULT_FAULTS)
    r.add_argument("--build", default=os.path.join(ROOT, "build"))
    r.add_argument("--only", default="")
    r.add_argument("--results", default="")
    r.add_argument("--timeout", type=int, default=300)
    args = parser.parse_args()
    started = time.monotonic()
    select(args) if args.verb == "select" else run(args)
    print(f"({time.monotonic() - started:.0f} s)", file=sys.stderr)


if __name__ == "__main__":
    main()
