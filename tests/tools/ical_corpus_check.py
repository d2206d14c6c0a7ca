#!/usr/bin/python3
"""Real .ics files from other programs (tests/data/ical-corpus, sources in
SOURCES.md) imported into an empty calendar and set against an independent
reader (Python's icalendar with recurring-ical-events), every day of the two
years from the import day: once with the import day before the file's first
event, once after its last start. A second reader (dateutil's rules, Python's
own zone database) reads what the first cannot, and the files limits.txt
names, where the first reads otherwise than RFC 5545 says. Then the round
trip: the imported calendar exported and imported into an empty one gives
the same days, and imported again adds nothing. Prints the agreement per
file; fails below 100 %.
Exit 77 where the reader is missing.

  ical_corpus_check.py ALMANOUK-HEADLESS LISTED-DAYS [FILE...]"""
import datetime
import re
import subprocess
import sys
import tempfile
import unicodedata
from collections import Counter
from pathlib import Path

try:
    import icalendar
    import recurring_ical_events
    import pytz
    from dateutil.rrule import rrulestr, rruleset
    from zoneinfo import ZoneInfo
except ImportError:
    print("python3-icalendar or python3-recurring-ical-events is not installed: skipped")
    sys.exit(77)

headless, listed_days = sys.argv[1:3]
CORPUS = Path(__file__).resolve().parent.parent / "data" / "ical-corpus"
ZONE = pytz.timezone("Europe/Amsterdam")  # the zone the headless clock's local time is in
YEARS = 2


def key_text(text):
    """A text as both sides can compare it: plain letters and digits, the first ten."""
    plain = unicodedata.normalize("NFKD", text)
    return re.sub(r"[^a-z0-9]", "", plain.lower())[:10]


def window(day):
    return day, day.replace(year=day.year + YEARS)


def local(moment):
    if isinstance(moment, datetime.datetime) and moment.tzinfo is not None:
        return moment.astimezone(ZONE).replace(tzinfo=None)
    return moment


def text_of(event):
    """As the import writes it: the summary, and the location after " - "."""
    text = " - ".join(str(part) for part in (event.get("SUMMARY", ""), event.get("LOCATION", "")) if str(part))
    return text.replace("#", "nr.") or "(zonder titel)"


def days_of(occurrences, first, last):
    """(date, hh:mm or -, text) of every day an occurrence touches in [first, last)."""
    seen = Counter()
    for start, end, text in occurrences:
        start, end = local(start), local(end) if end is not None else None
        timed = isinstance(start, datetime.datetime)
        start_day = start.date() if timed else start
        if timed:
            end_day = start_day if end is None or end <= start else (end - datetime.timedelta(microseconds=1)).date()
        else:
            end_day = start_day if end is None or end <= start else end - datetime.timedelta(days=1)
        day = start_day
        while day <= end_day:
            if first <= day < last:
                seen[(day.isoformat(), start.strftime("%H:%M") if timed and day == start_day else "-",
                      key_text(text))] += 1
            day += datetime.timedelta(days=1)
    return seen


def end_of(event, start):
    if "DTEND" in event:
        return event.decoded("DTEND")
    if "DURATION" in event:
        return start + event.decoded("DURATION")
    return None


def reader(ics, first, last):
    """The independent reader: recurring-ical-events."""
    calendar = icalendar.Calendar.from_ical(ics.read_bytes())
    begin = datetime.datetime.combine(first - datetime.timedelta(days=400), datetime.time())
    occurrences = []
    for event in recurring_ical_events.of(calendar).between(begin, datetime.datetime.combine(last, datetime.time())):
        if str(event.get("STATUS", "")).upper() == "CANCELLED":
            continue
        start = event.decoded("DTSTART")
        occurrences.append((start, end_of(event, start), text_of(event)))
    return days_of(occurrences, first, last)


def zoned(moment, zone):
    """A time in the zone database's zone of its own (pytz's fixed offsets do not follow summer time), or in
    the calendar's zone when it has none."""
    if not isinstance(moment, datetime.datetime):
        return moment
    if moment.tzinfo is not None:
        name = getattr(moment.tzinfo, "zone", None)
        return moment.replace(tzinfo=ZoneInfo(name)) if name and name != "UTC" else moment
    return moment.replace(tzinfo=zone) if zone else moment


def second_reader(ics, first, last):
    """A second reader, for files the first cannot read (several rules, broken extra dates, an end before the
    start): icalendar's properties, dateutil's rules and Python's own zone database."""
    calendar = icalendar.Calendar.from_ical(ics.read_bytes())
    wr = str(calendar.get("X-WR-TIMEZONE", "")) or None
    zone = ZoneInfo(wr) if wr else None
    events = calendar.walk("VEVENT")
    moved = {(str(e.get("UID")), zoned(e.decoded("RECURRENCE-ID"), zone)) for e in events if "RECURRENCE-ID" in e}
    # icalendar reads "20131210Z" as no date at all; such values are left out, as the import leaves them.
    occurrences = []
    for event in events:
        if str(event.get("STATUS", "")).upper() == "CANCELLED" or "DTSTART" not in event:
            continue
        try:
            start = zoned(event.decoded("DTSTART"), zone)
        except Exception:  # no date at all ("Next Year"): no occurrence, as the import skips it
            continue
        end = zoned(end_of(event, event.decoded("DTSTART")), zone)
        if isinstance(start, datetime.datetime) and end is not None and not isinstance(end, datetime.datetime):
            # A timed start with an end day: up to that day's midnight, in the local clock.
            end = datetime.datetime.combine(end, datetime.time(), tzinfo=ZoneInfo("Europe/Amsterdam"))
        same_kind = end is not None and isinstance(end, datetime.datetime) == isinstance(start, datetime.datetime)
        length = end - start if same_kind and end > start else None
        starts = {start}
        if "RECURRENCE-ID" not in event:
            rules = event.get("RRULE")
            rules = rules if isinstance(rules, list) else [rules] if rules is not None else []
            dates = rruleset()
            for rule in rules:
                dates.rrule(rrulestr(rule.to_ical().decode(), dtstart=start))
            for name, add in (("RDATE", starts.add), ("EXDATE", starts.discard)):
                values = event.get(name)
                for value in values if isinstance(values, list) else [values] if values is not None else []:
                    for moment in getattr(value, "dts", []):
                        add(zoned(moment.dt, zone))
            low = datetime.datetime.combine(first - datetime.timedelta(days=400), datetime.time())
            high = datetime.datetime.combine(last, datetime.time())
            if isinstance(start, datetime.datetime) and start.tzinfo:
                low, high = low.replace(tzinfo=start.tzinfo), high.replace(tzinfo=start.tzinfo)
            if rules:
                if not isinstance(start, datetime.datetime):
                    low, high = low.date(), high.date()
                    occurs = [o.date() for o in dates.between(datetime.datetime.combine(low, datetime.time()),
                                                              datetime.datetime.combine(high, datetime.time()))]
                else:
                    occurs = dates.between(low, high)
                starts |= set(occurs)
            for name in ("EXDATE",):
                values = event.get(name)
                for value in values if isinstance(values, list) else [values] if values is not None else []:
                    for moment in getattr(value, "dts", []):
                        starts.discard(zoned(moment.dt, zone))
            starts = {s for s in starts if (str(event.get("UID")), s) not in moved}
        for occurrence in starts:
            occurrences.append((occurrence, occurrence + length if length else None, text_of(event)))
    return days_of(occurrences, first, last)


def run(*args, check=True):
    return subprocess.run([headless, *args], capture_output=True, text=True, check=check)


class Folder:
    """A data folder with one empty calendar made by an import."""

    def __init__(self, root, day):
        self.root, self.now = Path(root), day.isoformat() + " 09:00:00"
        run("--data", str(self.root), "--now", self.now, "--keys", "Alt+X")

    def command(self, *args):
        return run("--data", str(self.root), "--start-dir", str(self.root), "--now", self.now, "--run", *args,
                   check=False)

    def listed(self, name, first, last):
        calendar = next(self.root.joinpath("Almanouk").glob(name + "*.AMN"))
        out = subprocess.run([listed_days, "--dagelijks", "%s:%s" % (first, last - datetime.timedelta(days=1)),
                              str(calendar)], check=True, capture_output=True, text=True).stdout
        seen = Counter()
        for line in out.splitlines():
            date, time, text, _ = line.split("\t")
            seen[(date, time, key_text(text))] += 1
        return seen


def agreement(expected, found):
    days = {item[0] for item in expected} | {item[0] for item in found}
    if not days:
        return 100.0, []
    wrong = sorted(day for day in days
                   if Counter({k: v for k, v in expected.items() if k[0] == day})
                   != Counter({k: v for k, v in found.items() if k[0] == day}))
    return 100.0 * (len(days) - len(wrong)) / len(days), wrong


def import_days(ics):
    starts = []
    for event in icalendar.Calendar.from_ical(ics.read_bytes()).walk("VEVENT"):
        try:
            start = event.decoded("DTSTART")
        except Exception:  # no start, or one the reader cannot read
            continue
        starts.append(start.date() if isinstance(start, datetime.datetime) else start)
    starts = [day for day in starts if 1902 <= day.year <= 2096]
    if not starts:
        return []
    return [datetime.date(min(starts).year, 1, 1), max(starts) + datetime.timedelta(days=1)]


def check(ics, limits):
    failures = []
    for day in import_days(ics):
        first, last = window(day)
        with tempfile.TemporaryDirectory() as root, tempfile.TemporaryDirectory() as again:
            folder = Folder(root, day)
            imported = folder.command("--import", str(ics), "corpus")
            if imported.returncode != 0:
                failures.append("%s: the import failed: %s" % (day, imported.stderr.strip()))
                continue
            found = folder.listed("CORPUS", first, last)
            try:
                expected = reader(ics, first, last)
            except Exception:  # the reader has its limits: the second one reads it
                expected = second_reader(ics, first, last)
            score, wrong = agreement(expected, found)
            print("%-34s from %s: %5.1f %%" % (ics.name, day, score))
            if score < 100 and ics.name in limits:
                # A limit of the first reader's: the second must agree on every day.
                expected = second_reader(ics, first, last)
                score, wrong = agreement(expected, found)
                print("%-34s from %s: %5.1f %% with the second reader" % (ics.name, day, score))
            if score < 100:
                for date in wrong[:3]:
                    failures.append("%s %s: reader %s, calendar %s" % (
                        day, date, sorted(k[1:] for k in expected.elements() if k[0] == date),
                        sorted(k[1:] for k in found.elements() if k[0] == date)))
            # The round trip: out again, into an empty calendar, the same days; in again, nothing new.
            exported = Path(root) / "terug.ics"
            folder.command("--export", "corpus", str(exported))
            second = Folder(again, day)
            second.command("--import", str(exported), "terug")
            if second.listed("TERUG", first, last) != found:
                failures.append("%s: the round trip does not give the same days" % day)
            repeated = second.command("--import", str(exported), "terug")
            if "Niets nieuws" not in repeated.stdout:
                failures.append("%s: importing the export again adds: %s" % (day, repeated.stdout.strip()))
    return failures


def main():
    limits = {}
    for line in (CORPUS / "limits.txt").read_text().splitlines():
        if line.strip() and not line.startswith("#"):
            name, reason = line.split(":", 1)
            limits[name.strip()] = reason.strip()
    files = [Path(f).resolve() for f in sys.argv[3:]] or sorted(CORPUS.glob("*.ics"))
    failed = False
    for ics in files:
        for failure in check(ics, limits):
            print("  " + failure)
            failed = True
    for name, reason in limits.items():
        print("limit %s: %s" % (name, reason))
    return 1 if failed else 0


sys.exit(main())
