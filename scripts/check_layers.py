#!/usr/bin/python3
"""Checks that the program's includes point down the floors of src/.

Each folder of src/ stands on one floor; a file may include its own folder
and the floors below its own, never its own floor's other folders nor a floor
above. Outside src/platform/ only the executables' entry points (apps) pick a
backend (platform/sdl, platform/headless, ...). Prints every include that
breaks this, with its file and line, and exits 1; exits 0 when none does.
Argument: the source tree's root (the folder that holds src/); by default the
one this script lies in.
"""
import pathlib
import re
import sys

# Bottom to top. Folders on one floor know nothing of each other.
FLOORS = [
    ["platform"],
    ["screen", "calendar"],
    ["settings"],
    ["ui", "alarm"],
    ["diary", "help"],
    ["month", "editors", "search", "sync"],
    ["shell"],
    ["apps"],
]
FLOOR = {folder: number for number, floor in enumerate(FLOORS) for folder in floor}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def faults(src):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        relative = path.relative_to(src)
        folder = relative.parts[0]
        if folder not in FLOOR:
            yield f"src/{relative}: folder {folder}/ stands on no floor (scripts/check_layers.py)"
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match or "/" not in match.group(1):
                continue  # beside the file, or not one of ours
            target = match.group(1).split("/")
            where = f"src/{relative}:{number}: {match.group(1)}"
            if target[0] not in FLOOR:
                yield f"{where}: folder {target[0]}/ stands on no floor"
            elif target[0] == folder:
                continue
            elif FLOOR[target[0]] >= FLOOR[folder]:
                how = "beside it" if FLOOR[target[0]] == FLOOR[folder] else "above it"
                yield f"{where}: {folder}/ includes {target[0]}/, which stands {how}"
            elif target[0] == "platform" and len(target) > 2 and folder != "apps":
                yield f"{where}: only apps/ picks a backend"


def main():
    root = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent
    found = list(faults(root / "src"))
    for fault in found:
        print(fault)
    if found:
        print("Floors, bottom to top: " + " < ".join("/".join(floor) for floor in FLOORS))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
