#!/usr/bin/python3
"""The export read by an independent reader (Python's icalendar, recurrences
expanded by dateutil) against the month view's own list, every day of the
export's year, for every calendar. Exit 77 where the reader is missing."""
import datetime
import subprocess
import sys
import tempfile
from collections import Counter
from pathlib import Path

try:
    import icalendar
    from dateutil.rrule import rrulestr
except ImportError:
    print("python3-icalendar is not installed: skipped")
    sys.exit(77)

almanouk, headless, listed_days = sys.argv[1:4]
YEAR = datetime.date.today().year

RICH = [
    "Rijk, vol", "4", "7", "", "",
    "Maandelijks", "", "31 Laatste dag", "1 Eerste", "15 %d 14:00 Alleen dit jaar" % YEAR, "30 08:15 Bijna einde",
    "", "", "Wekelijks", "", "Ma 09:00 Maandag", "Zo %d Zondag dit jaar" % YEAR, "Wo Woensdag ë", "Vr 2004 Lang geleden",
    "", "", "Dagelijks", "", "07:15 Opstaan", "", "",
    "Januari", "", "1 Nieuwjaar", "12 # notepad geheim.txt", "20 10:30 # defrag c:", "", "",
    "Februari", "", "29 Schrikkel", "14 Valentijn", "", "",
    "Maart", "", "12 %d 10:00 Eenmalig" % YEAR, "", "", "April", "", "", "Mei", "", "", "Juni", "", "",
    "Juli", "", "", "Augustus", "", "", "September", "", "", "Oktober", "", "", "November", "", "",
    "December", "", " 5 Sinterklaas", "31 23:59 Oud en nieuw", "", "", "Einde",
]

# Shapes a user types: entries right under and above headers, lines below a
# blank line (they count on no day), a second copy of a header, an end line
# in another case with a line after it.
ODD = [
    "Vreemd", "6", "7", "", "",
    "Maandelijks", "03 07:00 Direct onder de kop", "", "04 Geparkeerd", "", "Wekelijks", "", "do 07:10 Kleine letters",
    "Vr %d 07:15 Alleen dit jaar" % YEAR, "", "Dagelijks", "", "",
    "Januari", "05 10:00 Direct onder januari", "06 10:05 Direct boven februari", "Februari", "", "Maart", "",
    "08 Onder de eerste kop", "Maart", "09 Onder een tweede kop", "", "April", "", "Mei", "", "Juni", "", "Juli", "",
    "Augustus", "", "September", "", "Oktober", "", "November", "", "december", "12 08:00 Verjaardag", "",
    "28 %d 10:00 Geparkeerd" % YEAR, "", "EINDE", "", "17 Na het einde", "Einde",
]

def month_view(files):
    out = subprocess.run([listed_days, str(YEAR)] + [str(f) for f in files], check=True, capture_output=True,
                         text=True).stdout
    # The category list is separated by commas: a comma in a description comes as ";".
    listed = Counter()
    for line in out.splitlines():
        date, time, text, description = line.split("\t")
        listed[(date, time, text, description.replace(",", ";"))] += 1
    return listed


def reader(ics):
    seen = Counter()
    first, last = datetime.datetime(YEAR, 1, 1), datetime.datetime(YEAR, 12, 31, 23, 59, 59)
    for event in icalendar.Calendar.from_ical(ics.read_bytes()).walk("VEVENT"):
        start = event.decoded("DTSTART")
        timed = isinstance(start, datetime.datetime)
        rule = event.get("RRULE")
        if rule is not None and rule.get("FREQ") == ["DAILY"]:
            continue  # daily entries only ring
        if "X-ALMANOUK-COMMAND" in event and not timed:
            continue  # day commands are started, not listed
        begin = start if timed else datetime.datetime(start.year, start.month, start.day)
        if rule is None:
            days = [begin] if first <= begin <= last else []
        else:
            text = rule.to_ical().decode()
            days = rrulestr(text, dtstart=begin).between(first, last, inc=True)
        category = str(event.get("CATEGORIES").cats[0]) if event.get("CATEGORIES") else ""
        for day in days:
            seen[(day.strftime("%Y-%m-%d"), day.strftime("%H:%M") if timed else "-", str(event["SUMMARY"]),
                  category)] += 1
    return seen


def main():
    with tempfile.TemporaryDirectory() as root:
        root = Path(root)
        subprocess.run([headless, "--data", str(root), "--keys", "Alt+X"], check=True, capture_output=True)
        data = root / "Almanouk"
        (data / "RIJK0000.AMN").write_bytes("\r\n".join(RICH).encode("cp437") + b"\r\n")
        (data / "VREEMD00.AMN").write_bytes("\r\n".join(ODD).encode("cp437") + b"\r\n")
        ics = root / "alles.ics"
        subprocess.run([almanouk, "--export-all", str(ics)], check=True, env={"APPDATA": str(root)})
        expected = month_view(sorted(data.glob("*.AMN")))
        found = reader(ics)
        if expected != found:
            for item in sorted((expected - found).elements()):
                print("month view only:", item)
            for item in sorted((found - expected).elements()):
                print("reader only:    ", item)
            return 1
        print("%d occurrences in %d agree" % (sum(found.values()), YEAR))
        return 0


sys.exit(main())
