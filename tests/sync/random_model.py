"""Random sequences of local edits, phone edits and syncs against a model of
what the sync promises; after a last sync of both: the same occurrences on
every day of two years on both sides, no event twice, nothing lost that was
not deleted on purpose, and a further sync with nothing to do.

SYNC_SEQUENCES (20) sequences of SYNC_STEPS (14) steps; SYNC_SEED for the
first (a fixed one, so that make test runs the same sequences every time;
make sync-soak takes the day's); the seed of a failing sequence is printed.
"""
import datetime
import os
import random

from synclib import MONTHS, Agenda, Phone, assert_same_both_sides, check, counts, event


class Version:
    """What an entry is at one moment; every version has a summary of its own."""

    def __init__(self, summary, rng):
        self.summary = summary
        self.month = rng.randint(1, 12)
        self.day = rng.randint(1, 28)
        self.time = rng.choice([None, None, f"{rng.randint(7, 21):02d}:{rng.choice([0, 15, 30, 45]):02d}"])

    def line(self):
        when = f" {self.time}" if self.time else ""
        return f"{self.day:02d} 2027{when} {self.summary}"

    def section(self):
        return MONTHS[self.month - 1]

    def ics(self):
        if self.time:
            hour, minute = map(int, self.time.split(":"))
            return event(self.summary, datetime.datetime(2027, self.month, self.day, hour, minute))
        return event(self.summary, datetime.date(2027, self.month, self.day))


class Item:
    def __init__(self, local=None, remote=None):
        self.base = None  # the version both sides had at the last sync
        self.local = local
        self.remote = remote


class Sequence:
    def __init__(self, context, seed, steps):
        self.rng = random.Random(seed)
        self.seed = seed
        self.steps = steps
        url = context.server.new_collection()
        self.agenda = Agenda(context.program, context.workspace.folder(f"seed{seed}"))
        self.agenda.link(url)
        self.phone = Phone(url)
        self.items = []
        self.hrefs = {}  # summary -> href on the server
        self.made = 0
        self.trail = []

    def version(self):
        self.made += 1
        return Version(f"V{self.seed % 1000}n{self.made}", self.rng)

    # ------------------------------------------------ what the user and the phone do

    def local_add(self):
        version = self.version()
        self.agenda.edit(version.section(), None, version.line())
        self.items.append(Item(local=version))
        return f"local add {version.line()}"

    def local_line(self, version):
        for line in self.agenda.lines(version.section()):
            if line.endswith(" " + version.summary):
                return line
        raise AssertionError(f"{version.summary} not in {version.section()}: {self.agenda.lines(version.section())}")

    def local_edit(self):
        item = self.rng.choice([i for i in self.items if i.local])
        old = item.local
        new = self.version()
        if self.rng.random() < 0.5:  # only the text changes: the same place
            new.month, new.day, new.time = old.month, old.day, old.time
        if new.section() == old.section():
            self.agenda.edit(old.section(), self.local_line(old), new.line())
        else:
            self.agenda.edit(old.section(), self.local_line(old), None)
            self.agenda.edit(new.section(), None, new.line())
        item.local = new
        return f"local edit {old.summary} -> {new.line()}"

    def local_delete(self):
        item = self.rng.choice([i for i in self.items if i.local])
        self.agenda.edit(item.local.section(), self.local_line(item.local), None)
        gone, item.local = item.local, None
        return f"local delete {gone.summary}"

    def phone_add(self):
        version = self.version()
        self.hrefs[version.summary] = self.phone.create(version.ics())
        self.items.append(Item(remote=version))
        return f"phone add {version.line()}"

    def phone_edit(self):
        item = self.rng.choice([i for i in self.items if i.remote])
        old, new = item.remote, self.version()

        def edit(vevent):
            vevent["SUMMARY"] = new.summary
            start = vevent["DTSTART"].dt
            if isinstance(start, datetime.datetime):
                new.time = new.time or old.time
                hour, minute = map(int, new.time.split(":"))
                vevent["DTSTART"].dt = datetime.datetime(2027, new.month, new.day, hour, minute)
                if "DTEND" in vevent:
                    vevent["DTEND"].dt = vevent["DTSTART"].dt + datetime.timedelta(hours=1)
            else:
                new.time = None
                vevent["DTSTART"].dt = datetime.date(2027, new.month, new.day)
                if "DTEND" in vevent:
                    vevent["DTEND"].dt = vevent["DTSTART"].dt + datetime.timedelta(days=1)
        href = self.hrefs.pop(old.summary)
        self.phone.change(href, edit)
        self.hrefs[new.summary] = href
        item.remote = new
        return f"phone edit {old.summary} -> {new.line()}"

    def phone_delete(self):
        item = self.rng.choice([i for i in self.items if i.remote])
        self.phone.delete(self.hrefs.pop(item.remote.summary))
        gone, item.remote = item.remote, None
        return f"phone delete {gone.summary}"

    def sync(self):
        done = self.agenda.sync()
        self.settle()
        # The server's names of what the sync sent or kept.
        self.hrefs = {}
        for href, text in self.phone.events().items():
            summary = text.replace("\r\n ", "").split("SUMMARY:")[1].split("\r\n")[0].strip()
            self.hrefs[summary] = href
        return "sync: " + done.stdout.splitlines()[0]

    # ------------------------------------------------ what the sync promises

    def settle(self):
        kept = []
        for item in self.items:
            local, remote, base = item.local, item.remote, item.base
            if base is None:
                item.local = item.remote = local or remote
            elif local is not base and remote is not base:
                if local is None and remote is None:
                    pass
                elif local is None:
                    item.local = remote  # deleted here, changed there: it comes back
                elif remote is None:
                    item.remote = local  # deleted there, changed here: it goes again
                else:  # changed on both sides: both kept
                    item.local = remote
                    twin = Item(local=local, remote=local)
                    twin.base = local
                    kept.append(twin)
            elif local is not base:
                item.remote = local
            elif remote is not base:
                item.local = remote
            item.base = item.local
            if item.local is not None:
                kept.append(item)
        self.items = kept

    def expected(self):
        return {item.local.summary for item in self.items}

    def run(self):
        for _ in range(self.steps):
            choices = [self.local_add, self.phone_add, self.sync, self.sync]
            if any(i.local for i in self.items):
                choices += [self.local_edit, self.local_edit, self.local_delete]
            if any(i.remote for i in self.items):
                choices += [self.phone_edit, self.phone_edit, self.phone_delete]
            self.trail.append(self.rng.choice(choices)())
        self.trail.append(self.sync())
        assert_same_both_sides(self.agenda, self.phone, self.expected())
        done = self.agenda.sync()
        check(counts(done.stdout) == (0, 0, 0, 0, 0, 0), f"a sync with nothing to do did: {done.stdout}")


def random_sequences_keep_both_sides_equal(context):
    sequences = int(os.environ.get("SYNC_SEQUENCES", "20"))
    steps = int(os.environ.get("SYNC_STEPS", "14"))
    first = int(os.environ.get("SYNC_SEED", "739959"))
    failed = []
    for n in range(sequences):
        seed = first + n
        sequence = Sequence(context, seed, steps)
        try:
            sequence.run()
        except Exception as error:
            print(f"sequence with SYNC_SEED={seed} failed: {error}\n  " + "\n  ".join(sequence.trail), flush=True)
            failed.append(seed)
    check(not failed, f"{len(failed)} of {sequences} sequences failed; seeds {failed}")


TESTS = [random_sequences_keep_both_sides_equal]
