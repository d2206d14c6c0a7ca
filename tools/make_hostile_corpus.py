#!/usr/bin/env python3
"""Write the hostile-file corpus, tests/data/hostile/.

Every reader of calendar and settings files must get through each of these
files without crashing or hanging: binary junk, an empty file, text without
sections, a calendar without its end line, one with missing and misspelt
headers, one of 10,000 lines, one with 5,000-character lines, and settings
files with a huge choice list, no marked line or an early end. The diary
pages of the corpus hold NUL and 0xFF bytes, line ends, or are one byte, one
byte short of a full screen and one byte past it.

Usage:
    tools/make_hostile_corpus.py [--out FOLDER]

The output is fixed by the seed below, so re-running gives identical files.
Each file stays well under 1 MB.
"""

import argparse
import os
import random

SEED = 1901
CRLF = b"\r\n"
MONTHS = ["Januari", "Februari", "Maart", "April", "Mei", "Juni", "Juli",
          "Augustus", "September", "Oktober", "November", "December"]
WEEKDAYS = ["Ma", "Di", "Wo", "Do", "Vr", "Za", "Zo"]


def lines(*rows):
    return b"".join(row.encode("cp437") + CRLF for row in rows)


def section(header, entries):
    return [header, ""] + entries + ["", ""]


def binary_junk(rng):
    # Mostly bytes that matter to a line reader: NUL, CR, LF, blanks, 0xFF.
    alphabet = bytes([0, 10, 13, 32, 255]) + bytes(range(256))
    return bytes(rng.choice(alphabet) for _ in range(16384))


def no_sections(rng):
    return lines("Zomaar tekst", "x", "geen getal",
                 *(f"{rng.randint(0, 99):02d} regel zonder kop" for _ in range(40)))


def no_einde(rng):
    rows = ["Zonder einde", "1", "7", "", ""]
    rows += section("Maandelijks", ["01 maand"])
    rows += section("Wekelijks", ["Ma 08:00 week"])
    rows += section("Dagelijks", ["07:00 dag"])
    for month in MONTHS:
        rows += section(month, [f"{rng.randint(1, 28)} {month.lower()}"])
    # The last entry has no line end at all.
    return lines(*rows) + b"31 laatste regel zonder regeleinde"


def missing_headers(rng):
    rows = ["Rommelig", "2", "7", ""]
    rows += section("Maandelijks", ["5 zonder wekelijks", "Dagelijks"])
    rows += section("dagelijks", ["12:00 kleine letters"])
    for month in MONTHS:
        if month in ("Maart", "Juli"):
            continue
        rows += section(month, ["1", " ", "xyz geen dag", "#", f" {rng.randint(1, 9)} dag"])
    rows += ["einde", "na het einde", "Einde", "Januari", "99 na alles"]
    return lines(*rows)


def ten_thousand_lines(rng):
    rows = ["Tienduizend regels", "3", "30", "", ""]
    headers = ["Maandelijks", "Wekelijks", "Dagelijks"] + MONTHS
    per_section = (10000 - len(rows) - 1) // len(headers) - 4
    for header in headers:
        entries = []
        for _ in range(per_section):
            if header == "Wekelijks":
                entries.append(f"{rng.choice(WEEKDAYS)} {rng.randint(0, 23):02d}:{rng.randint(0, 59):02d} week")
            elif header == "Dagelijks":
                entries.append(f"{rng.randint(0, 23):02d}:{rng.randint(0, 59):02d} dag")
            else:
                entries.append(f"{rng.randint(1, 31)} {rng.randint(1801, 2099)} regel {rng.random():.6f}")
        rows += section(header, entries)
    rows.append("Einde")
    rows += [""] * (10000 - len(rows))
    return lines(*rows)


def long_lines(rng):
    def long_text(first):
        return first + "".join(rng.choice("abcdefghij é") for _ in range(5000 - len(first)))

    rows = [long_text("Lange omschrijving "), long_text("4"), long_text("12"), ""]
    headers = ["Maandelijks", "Wekelijks", "Dagelijks"] + MONTHS
    for header in headers:
        prefix = "Ma " if header == "Wekelijks" else "08:00 " if header == "Dagelijks" else "1 "
        rows += section(header, [long_text(prefix) for _ in range(6)])
    rows += ["Einde", long_text("na het einde ")]
    return lines(*rows)


def settings_head(theme="1"):
    return ["[Aan/Uit]", "PopUp=ntp", "PC-Speaker=aan", "Sound=aan", "",
            "[Kleurthema]", theme, "", "[Tekstkleur]", "12", "", "[Dagboekdagkleur]", "13", "",
            "[Almanoukkeuze]"]


def settings_long_list(rng):
    rows = settings_head()
    for i in range(10000):
        marker = "-> " if i in (3, 9990) else "   "
        rows.append(f"{marker}CAL{i % 100000:05d}.AMN = omschrijving{' ' * rng.randint(0, 30)}{rng.randint(0, 99)}")
    rows += ["   " + "x" * 4997, "", "Einde."]
    return lines(*rows)


def settings_no_marker(rng):
    rows = settings_head("2")
    rows += [f"   NOMARK0{i}.AMN = geen pijl{' ' * 17}{rng.randint(1, 45):2d}" for i in range(3)]
    rows += ["", "Einde."]
    return lines(*rows)


def settings_early_end(rng):
    return lines(*settings_head()[:rng.randint(9, 12)])


def settings_long_lines(rng):
    rows = [row + "x" * 5000 if row.startswith("[") else row for row in settings_head()]
    rows += ["-> " + "L" * 5000, "", "Einde."]
    return lines(*rows)


def diary_page(rng, length, alphabet):
    return bytes(rng.choice(alphabet) for _ in range(length))


FILES = {
    "binary_junk.dat": binary_junk,
    "empty.dat": lambda rng: b"",
    "no_sections.dat": no_sections,
    "no_einde.dat": no_einde,
    "missing_headers.dat": missing_headers,
    "ten_thousand_lines.dat": ten_thousand_lines,
    "long_lines.dat": long_lines,
    "settings_long_list.dat": settings_long_list,
    "settings_no_marker.dat": settings_no_marker,
    "settings_early_end.dat": settings_early_end,
    "settings_long_lines.dat": settings_long_lines,
    "page_nul_bytes.dat": lambda rng: diary_page(rng, 3000, b"\0\0\0 ab"),
    "page_ff_bytes.dat": lambda rng: diary_page(rng, 2000, b"\xff\xff x"),
    "page_line_ends.dat": lambda rng: diary_page(rng, 2500, b"\r\n\r\nregel "),
    "page_one_byte.dat": lambda rng: b"q",
    "page_1839_bytes.dat": lambda rng: diary_page(rng, 1839, b"abc  "),
    "page_1841_bytes.dat": lambda rng: diary_page(rng, 1841, b"abc  "),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "tests", "data", "hostile"))
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    for name, make in FILES.items():
        data = make(random.Random(f"{SEED}-{name}"))
        assert len(data) < 1_000_000, name
        with open(os.path.join(args.out, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
