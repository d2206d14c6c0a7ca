#!/usr/bin/env python3
"""Changes one line of the program at a time and checks that the tests see it.

Each mutant in tests/mutants/*.txt is a block of four lines and a blank one:
    file: src/alarm/MissedAlarms.cpp
    from: minuteOf(after) + 1
    to:   minuteOf(after)
    tests: Edges/CatchUpWindow.*
The text after "from:" must stand exactly once in the file. The file is put
back from memory, so work not yet committed is safe. Arguments, if any, keep
the mutants whose file or list name holds one of them (make mutants ONLY=alarm). Prints one line per
mutant and the score; exits 1 when a mutant lived or
did not build.
"""
import os
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
BUILD = ROOT / os.environ.get("BUILD", "build")


def mutants():
    for path in sorted((ROOT / "tests" / "mutants").glob("*.txt")):
        block = {}
        for number, line in enumerate(path.read_text().splitlines() + [""], 1):
            if not line.strip():
                if block:
                    yield path.name, block
                block = {}
                continue
            key, _, value = line.partition(":")
            block[key.strip()] = value.strip()


def build():
    result = subprocess.run(["cmake", "--build", str(BUILD), "--target", "almanouk_tests", "-j2"],
                            capture_output=True, text=True)
    return result.returncode == 0


def killed(block):
    tests = BUILD / "tests" / "almanouk_tests"
    result = subprocess.run([str(tests), "--gtest_filter=" + block["tests"], "--gtest_brief=1"],
                            capture_output=True, text=True, timeout=600)
    return result.returncode != 0


def main():
    only = sys.argv[1:]
    lived, total = [], 0
    for list_name, block in mutants():
        if only and not any(word in block["file"] or word in list_name for word in only):
            continue
        source = ROOT / block["file"]
        original = source.read_text()
        if original.count(block["from"]) != 1:
            print(f"?  {block['file']}: '{block['from']}' does not stand there exactly once")
            lived.append(block)
            continue
        total += 1
        try:
            source.write_text(original.replace(block["from"], block["to"]))
            outcome = "DOES NOT BUILD" if not build() else ("killed" if killed(block) else "LIVED")
        finally:
            source.write_text(original)
        if outcome != "killed":
            lived.append(block)
        print(f"{outcome:18} {block['file']}: {block['from']}  ->  {block['to']}", flush=True)
    build()
    print(f"{total - len(lived)} of {total} mutants killed")
    return 1 if lived else 0


if __name__ == "__main__":
    sys.exit(main())
